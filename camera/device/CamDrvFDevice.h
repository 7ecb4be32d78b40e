// CCamDrvFDevice: the CCD camera of the CamDrvF library (camera type 7).
#pragma once

#include "camera/device/DriverCameraDevice.h"

class CCamDrvFDevice : public CDriverCameraDevice {
public:
    CCamDrvFDevice();
};
