// Creation of the driver-library cameras by camera-type code.
#pragma once

#include "camera/device/CameraDevice.h"

// A new device for a driver-library camera-type code (1, 2, 3, 5, 7, 8, 9, 11, 12, 13,
// 20); null for any other code. The caller owns it.
CCameraDevice* CreateDriverCameraDevice(int cameraType);
