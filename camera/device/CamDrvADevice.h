// CCamDrvADevice: the CMOS camera of the CamDrvA library (camera type 11).
#pragma once

#include "camera/device/DriverCameraDevice.h"

class CCamDrvADevice : public CDriverCameraDevice {
public:
    CCamDrvADevice();
};
