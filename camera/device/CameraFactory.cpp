#include "camera/device/CameraFactory.h"

CCameraDevice* CreateCameraDevice(int cameraType)
{
    switch (cameraType) {
    default:
        return nullptr;
    }
}

CCameraListBase* CreateCameraList(CameraListKind kind)
{
    switch (kind) {
    default:
        return nullptr;
    }
}
