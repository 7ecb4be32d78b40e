#include "camera/device/CamDrvKDevice.h"
#include "camera/device/GainTables.h"

namespace {

const LPCWSTR kPreviewResolutions[] = {L"2048*1536", L"1024*768", L"640*480"};

const DriverCameraTraits kTraits = {
    .cameraType = CAMERA_TYPE_CAMDRVK,
    .sensorKind = SENSOR_KIND_CMOS,
    .module = L"CamDrvK.dll",
    .token = "CamDrvKC",
    .init = &CamDrvKCCameraInit,
    .initNoCallback = nullptr,
    .groups = DRV_RGB24 | DRV_AWB | DRV_COLOUR,
    .modelNameId = 67,
    .modelName = L"Model79",
    .gainValues = kGainG2,
    .gainCount = int(sizeof kGainG2 / sizeof kGainG2[0]),
    .gainRegisterMin = 1,
    .gainRegisterMax = 80,
    .gain = kDriverKeep,
    .gainFactorMin = kDriverKeep,
    .gainFactorMax = kDriverKeep,
    .maxExposure = 3072,
    .modeByte = 2,
    .exposureCount = 0,
    .extraExposures = nullptr,
    .extraExposureCount = 0,
    .flagsOff = 0,
    .flagsOn = 0,
    .colorEnhancement = kDriverKeep,
    .frameSpeed = kDriverKeep,
    .previewResolutions = kPreviewResolutions,
    .previewResolutionCount = int(sizeof kPreviewResolutions / sizeof kPreviewResolutions[0]),
    .captureResolutions = kPreviewResolutions,
    .captureResolutionCount = int(sizeof kPreviewResolutions / sizeof kPreviewResolutions[0]),
    .maxExposureCap = 0,
    .whiteBalance = {68, 64, 76},
    .defaultsForm = DRV_DEFAULTS_BASE,
    .defaultsColorEnhancement = 0,
    .defaultsExposureTime = 0,
};

}  // namespace

CCamDrvKDevice::CCamDrvKDevice() : CDriverCameraDevice(kTraits) {}
