// CCamDrvCDevice: the CMOS camera of the CamDrvC library (camera type 13).
#pragma once

#include "camera/device/DriverCameraDevice.h"

class CCamDrvCDevice : public CDriverCameraDevice {
public:
    CCamDrvCDevice();
};
