// CCamDrvDDevice: the CMOS camera of the CamDrvD library (camera type 5).
#pragma once

#include "camera/device/DriverCameraDevice.h"

class CCamDrvDDevice : public CDriverCameraDevice {
public:
    CCamDrvDDevice();

    // The library reports 0 ms while it is still taking a new exposure time on.
    int GetExposureTime(int* microseconds) override;

    // How long GetExposureTime waits for a non-zero answer, and how often it asks.
    static const DWORD kExposureWaitMs = 1000;
    static const DWORD kExposurePollMs = 5;
};
