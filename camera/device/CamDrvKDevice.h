// CCamDrvKDevice: the CMOS camera of the CamDrvK library (camera type 20).
#pragma once

#include "camera/device/DriverCameraDevice.h"

class CCamDrvKDevice : public CDriverCameraDevice {
public:
    CCamDrvKDevice();
};
