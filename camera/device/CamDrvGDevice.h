// CCamDrvGDevice: the CCD camera of the CamDrvG library (camera type 9).
#pragma once

#include "camera/device/DriverCameraDevice.h"

class CCamDrvGDevice : public CDriverCameraDevice {
public:
    CCamDrvGDevice();

    // Decode with 8-bit three-channel output.
    int DecodeEx(BYTE* raw, BYTE* image, int width, int height) override;
};
