// CCamDrvEDevice: the CMOS camera of the CamDrvE library (camera type 1).
#pragma once

#include "camera/device/DriverCameraDevice.h"

class CCamDrvEDevice : public CDriverCameraDevice {
public:
    CCamDrvEDevice();

    // The family has no filter; both calls answer done without reaching the library.
    int SetFilter(int on) override;
    int GetFilter(int* on) override;
};
