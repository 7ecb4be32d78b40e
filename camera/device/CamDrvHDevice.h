// CCamDrvHDevice: the CCD camera of the CamDrvH library (camera type 8).
#pragma once

#include "camera/device/DriverCameraDevice.h"

class CCamDrvHDevice : public CDriverCameraDevice {
public:
    CCamDrvHDevice();
};
