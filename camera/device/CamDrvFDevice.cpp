#include "camera/device/CamDrvFDevice.h"
#include "camera/device/GainTables.h"

namespace {

const LPCWSTR kPreviewResolutions[] = {L"1360*1024", L"680*512", L"340*256"};

const DriverCameraTraits kTraits = {
    .cameraType = CAMERA_TYPE_CAMDRVF,
    .sensorKind = SENSOR_KIND_CCD,
    .module = L"CamDrvF.dll",
    .token = "CamDrvFBW",
    .init = &CamDrvFBWCameraInit,
    .initNoCallback = nullptr,
    .groups = DRV_RGB24 | DRV_LONG_EXPOSURE | DRV_BLACK_LEVEL | DRV_DATA_WIDE,
    .modelNameId = 9,
    .modelName = L"Model36",
    .gainValues = kGainG3,
    .gainCount = int(sizeof kGainG3 / sizeof kGainG3[0]),
    .gainRegisterMin = 1,
    .gainRegisterMax = 1023,
    .gain = 1,
    .gainFactorMin = 1,
    .gainFactorMax = 1023,
    .maxExposure = kDriverKeep,
    .modeByte = kDriverKeep,
    .exposureCount = 87,
    .extraExposures = nullptr,
    .extraExposureCount = 0,
    .flagsOff = DriverFlags(2, 4, 5, 6, 8, 11, 14),
    .flagsOn = DriverFlags(1, 7, 9, 10, 17),
    .colorEnhancement = kDriverKeep,
    .frameSpeed = kDriverKeep,
    .previewResolutions = kPreviewResolutions,
    .previewResolutionCount = int(sizeof kPreviewResolutions / sizeof kPreviewResolutions[0]),
    .captureResolutions = kPreviewResolutions,
    .captureResolutionCount = int(sizeof kPreviewResolutions / sizeof kPreviewResolutions[0]),
    .maxExposureCap = 0,
    .whiteBalance = {0, 0, 0},
    .defaultsForm = DRV_DEFAULTS_DRIVER,
    .defaultsColorEnhancement = 0,
    .defaultsExposureTime = 33000,
};

}  // namespace

CCamDrvFDevice::CCamDrvFDevice() : CDriverCameraDevice(kTraits) {}
