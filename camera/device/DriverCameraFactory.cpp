#include "camera/device/DriverCameraFactory.h"

#include "camera/device/CamDrvADevice.h"
#include "camera/device/CamDrvBDevice.h"
#include "camera/device/CamDrvCDevice.h"
#include "camera/device/CamDrvDDevice.h"
#include "camera/device/CamDrvEDevice.h"
#include "camera/device/CamDrvFDevice.h"
#include "camera/device/CamDrvGDevice.h"
#include "camera/device/CamDrvHDevice.h"
#include "camera/device/CamDrvJDevice.h"
#include "camera/device/CamDrvKDevice.h"
#include "camera/device/CamDrvLDevice.h"

CCameraDevice* CreateDriverCameraDevice(int cameraType)
{
    switch (cameraType) {
    case CAMERA_TYPE_CAMDRVE: return new CCamDrvEDevice;
    case CAMERA_TYPE_CAMDRVJ: return new CCamDrvJDevice;
    case CAMERA_TYPE_CAMDRVL: return new CCamDrvLDevice;
    case CAMERA_TYPE_CAMDRVD: return new CCamDrvDDevice;
    case CAMERA_TYPE_CAMDRVF: return new CCamDrvFDevice;
    case CAMERA_TYPE_CAMDRVH: return new CCamDrvHDevice;
    case CAMERA_TYPE_CAMDRVG: return new CCamDrvGDevice;
    case CAMERA_TYPE_CAMDRVA: return new CCamDrvADevice;
    case CAMERA_TYPE_CAMDRVB: return new CCamDrvBDevice;
    case CAMERA_TYPE_CAMDRVC: return new CCamDrvCDevice;
    case CAMERA_TYPE_CAMDRVK: return new CCamDrvKDevice;
    default: return nullptr;
    }
}
