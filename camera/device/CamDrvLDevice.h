// CCamDrvLDevice: the CMOS camera of the CamDrvL library (camera type 3).
#pragma once

#include "camera/device/DriverCameraDevice.h"

class CCamDrvLDevice : public CDriverCameraDevice {
public:
    CCamDrvLDevice();

    // Reports the library's speed plus one, at most 2.
    int GetFrameSpeed(BYTE* speed) override;
};
