// Where the camera manager gets its devices and camera lists. Each family's file adds
// its class to the switch in CameraFactory.cpp; a code or list without a class yet
// gives null, which the manager treats as "no device" / "list missing".
#pragma once

#include "camera/device/CameraDevice.h"
#include "camera/device/CameraListBase.h"

enum CameraListKind {
    CAMERA_LIST_CORE,     // first ZedOdir list (camera type 18)
    CAMERA_LIST_CORE_B,   // second ZedOdir list (camera type 19)
    CAMERA_LIST_MINOR,    // ZuzIrazo list (camera type 26)
};

// The device class of a camera-type code; null for codes without a class.
CCameraDevice* CreateCameraDevice(int cameraType);
// A camera list, not yet opened; null while its family is not built.
CCameraListBase* CreateCameraList(CameraListKind kind);

class CUsbHostInterface;
// The USB host the camera scan walks, deleted by the caller: the camera bench's
// simulated tree when the bench holds driver cameras; null for this machine's controllers.
CUsbHostInterface* CreateUsbHost();
