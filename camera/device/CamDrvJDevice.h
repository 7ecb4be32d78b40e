// CCamDrvJDevice: the CMOS camera of the CamDrvJ library (camera type 2).
#pragma once

#include "camera/device/DriverCameraDevice.h"

class CCamDrvJDevice : public CDriverCameraDevice {
public:
    CCamDrvJDevice();
};
