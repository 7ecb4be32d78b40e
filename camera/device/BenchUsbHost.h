// The simulated USB tree of the camera bench's driver cameras, so the camera scan finds
// them as it would on a machine with the cameras plugged in.
#pragma once

class CUsbHostInterface;

// A simulated host holding the bench's driver cameras (hubs added where their port paths
// need them; cameras without a place on the free root ports of controller 0), or null
// when the bench has none. The caller deletes it.
CUsbHostInterface* CreateBenchUsbHost();
