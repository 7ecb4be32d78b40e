#include "camera/device/CameraFactory.h"

#include "camera/device/BenchUsbHost.h"

#include "camera/device/CoreCameraA.h"
#include "camera/device/CoreCameraB.h"
#include "camera/device/CoreCameraList.h"
#include "camera/device/CoreCameraListB.h"
#include "camera/device/DriverCameraFactory.h"
#include "camera/device/MinorCamera.h"
#include "camera/device/MinorCameraList.h"

CCameraDevice* CreateCameraDevice(int cameraType)
{
    switch (cameraType) {
    case CAMERA_TYPE_CORE_A:
        return new CCoreCameraA;
    case CAMERA_TYPE_CORE_B:
        return new CCoreCameraB;
    case CAMERA_TYPE_MINOR:
        return new CMinorCamera;
    default:
        return CreateDriverCameraDevice(cameraType);
    }
}

CCameraListBase* CreateCameraList(CameraListKind kind)
{
    switch (kind) {
    case CAMERA_LIST_CORE:
        return new CCoreCameraList;
    case CAMERA_LIST_CORE_B:
        return new CCoreCameraListB;
    case CAMERA_LIST_MINOR:
        return new CMinorCameraList;
    default:
        return nullptr;
    }
}

CUsbHostInterface* CreateUsbHost()
{
    return CreateBenchUsbHost();
}
