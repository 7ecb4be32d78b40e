// CCamDrvBDevice: the CMOS camera of the CamDrvB library (camera type 12).
#pragma once

#include "camera/device/DriverCameraDevice.h"

class CCamDrvBDevice : public CDriverCameraDevice {
public:
    CCamDrvBDevice();

    // The two slowest library speeds are one speed to the program.
    int GetFrameSpeed(BYTE* speed) override;
};
