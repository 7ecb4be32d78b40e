#include "camera/device/CamDrvCDevice.h"
#include "camera/device/GainTables.h"

namespace {

const LPCWSTR kPreviewResolutions[] = {L"2048*1536", L"1024*768 Bin"};
const LPCWSTR kCaptureResolutions[] = {L"2048*1536", L"1024*768 Bin", L"4096*3072"};

const DriverCameraTraits kTraits = {
    .cameraType = CAMERA_TYPE_CAMDRVC,
    .sensorKind = SENSOR_KIND_CMOS,
    .module = L"CamDrvC.dll",
    .token = "CamDrvCII",
    .init = &CamDrvCIICameraInit,
    .initNoCallback = nullptr,
    .groups = DRV_AWB | DRV_AWB_STATE | DRV_BLACK_LEVEL | DRV_COLOUR | DRV_DATA_WIDE |
              DRV_DEFECT | DRV_RESOLUTION | DRV_MAX_EXPOSURE,
    .modelNameId = 30,
    .modelName = L"Model50",
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
    .maxExposureCap = 37800,
    .whiteBalance = {64, 64, 69},
    .defaultsForm = DRV_DEFAULTS_DRIVER,
    .defaultsColorEnhancement = 1,
    .defaultsExposureTime = 33000,
};

}  // namespace

CCamDrvCDevice::CCamDrvCDevice() : CDriverCameraDevice(kTraits) {}
