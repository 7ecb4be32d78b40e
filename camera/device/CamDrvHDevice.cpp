#include "camera/device/CamDrvHDevice.h"
#include "camera/device/GainTables.h"

namespace {

const LPCWSTR kPreviewResolutions[] = {L"1360*1024", L"680*512", L"340*256"};
const int kExtraExposures[] = {3999999, 4366666};

const DriverCameraTraits kTraits = {
    .cameraType = CAMERA_TYPE_CAMDRVH,
    .sensorKind = SENSOR_KIND_CCD,
    .module = L"CamDrvH.dll",
    .token = "CamDrvHBW",
    .init = &CamDrvHBWCameraInit,
    .initNoCallback = nullptr,
    .groups = DRV_RGB24 | DRV_LONG_EXPOSURE | DRV_BLACK_LEVEL | DRV_DATA_WIDE,
    .modelNameId = 12,
    .modelName = L"Model39",
    .gainValues = kGainG4,
    .gainCount = int(sizeof kGainG4 / sizeof kGainG4[0]),
    .gainRegisterMin = 1,
    .gainRegisterMax = 1023,
    .gain = 1,
    .gainFactorMin = 1,
    .gainFactorMax = 1023,
    .maxExposure = kDriverKeep,
    .modeByte = kDriverKeep,
    .exposureCount = 100,
    .extraExposures = kExtraExposures,
    .extraExposureCount = 2,
    .flagsOff = DriverFlags(1, 2, 4, 5, 6, 8, 11, 14, 15),
    .flagsOn = DriverFlags(7, 9, 10, 17),
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

CCamDrvHDevice::CCamDrvHDevice() : CDriverCameraDevice(kTraits) {}
