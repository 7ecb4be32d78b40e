#include "camera/device/CamDrvADevice.h"
#include "camera/device/GainTables.h"

namespace {

const LPCWSTR kPreviewResolutions[] = {L"1280*1038", L"664*512Bin", L"640*512SWBin"};
const LPCWSTR kCaptureResolutions[] = {L"1280*1038", L"664*512Bin", L"640*512SWBin", L"2560*2076"};

const DriverCameraTraits kTraits = {
    .cameraType = CAMERA_TYPE_CAMDRVA,
    .sensorKind = SENSOR_KIND_CMOS,
    .module = L"CamDrvA.dll",
    .token = "CamDrvAII",
    .init = &CamDrvAIICameraInit,
    .initNoCallback = nullptr,
    .groups = DRV_AWB | DRV_AWB_STATE | DRV_BLACK_LEVEL | DRV_COLOUR | DRV_DATA_WIDE |
              DRV_DEFECT | DRV_RESOLUTION | DRV_FILTER | DRV_MAX_EXPOSURE,
    .modelNameId = 29,
    .modelName = L"Model49",
    .gainValues = kGainG7,
    .gainCount = int(sizeof kGainG7 / sizeof kGainG7[0]),
    .gainRegisterMin = 1,
    .gainRegisterMax = 120,
    .gain = 1,
    .gainFactorMin = 1,
    .gainFactorMax = 6,
    .maxExposure = 21600,
    .modeByte = 2,
    .exposureCount = 0,
    .extraExposures = nullptr,
    .extraExposureCount = 0,
    .flagsOff = DriverFlags(14, 15),
    .flagsOn = DriverFlags(1, 7, 17),
    .colorEnhancement = 1,
    .frameSpeed = kDriverKeep,
    .previewResolutions = kPreviewResolutions,
    .previewResolutionCount = int(sizeof kPreviewResolutions / sizeof kPreviewResolutions[0]),
    .captureResolutions = kCaptureResolutions,
    .captureResolutionCount = int(sizeof kCaptureResolutions / sizeof kCaptureResolutions[0]),
    .maxExposureCap = 64800,
    .whiteBalance = {64, 64, 69},
    .defaultsForm = DRV_DEFAULTS_DRIVER,
    .defaultsColorEnhancement = 1,
    .defaultsExposureTime = 33000,
};

}  // namespace

CCamDrvADevice::CCamDrvADevice() : CDriverCameraDevice(kTraits) {}
