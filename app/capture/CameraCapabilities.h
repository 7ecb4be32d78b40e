// The camera facts the camera settings panels decide by: capability flags of
// CameraParamInfo (numbered from 1, as CameraParamInfo::Feature counts them) and the
// product indexes with rules of their own.
#pragma once
#include "camera/core/QrCCamera.h"

enum {
    CAN_GAIN = 3,
    CAN_SATURATION = 4,
    CAN_COLOR_PROCESSING = 5,
    CAN_MONOCHROME = 6,
    CAN_16BIT = FEATURE_16BIT_DATA,
    CAN_COLOR = 8,              // colour gains, white and black balance, colour levels
    CAN_FRAME_SPEED = 9,
    CAN_LONG_EXPOSURE = 10,
    CAN_B2RGB = 14,
    CAN_FLAT_FIELD = 15,
};

// Products whose display gamma stays at the sensor's: the levels' middle is locked,
// the colour panel offers the white-balance lock, denoise and sharpness.
inline bool HasLockedMiddle(int productIndex)
{
    switch (productIndex) {
    case 28: case 29: case 32: case 33: case 34: case 35: case 37: case 38:
        return true;
    default:
        return false;
    }
}

// A core-class camera counts its exposure in the parameter information's steps.
inline bool IsCoreClass(const CameraMgrParam& mgr)
{
    return mgr.mode != 0;
}

inline bool IsLive(const CameraMgrParam& mgr)
{
    return mgr.cameraType != CAMERA_TYPE_NONE && mgr.runState == 0;
}
