// CMinorCameraList: the cameras the ZuzIrazo library sees (source of camera type 26).
#pragma once

#include "camera/device/CameraListBase.h"

class CMinorCameraList : public CCameraListBase {
public:
    int Open() override;
    void Close() override;
    void Refresh() override;
};
