#include "camera/device/CamDrvEDevice.h"
#include "camera/device/GainTables.h"

namespace {

const LPCWSTR kPreviewResolutions[] = {L"1280*960", L"640*480", L"320*240 "};

const DriverCameraTraits kTraits = {
    .cameraType = CAMERA_TYPE_CAMDRVE,
    .sensorKind = SENSOR_KIND_CMOS,
    .module = L"CamDrvE.dll",
    .token = "CamDrvEC",
    .init = &CamDrvECCameraInit,
    .initNoCallback = nullptr,
    .groups = DRV_RGB24 | DRV_AWB | DRV_COLOUR | DRV_GAMMA_EX,
    .modelNameId = 17,
    .modelName = L"Model44",
    .gainValues = kGainG2,
    .gainCount = int(sizeof kGainG2 / sizeof kGainG2[0]),
    .gainRegisterMin = 1,
    .gainRegisterMax = 80,
    .gain = kDriverKeep,
    .gainFactorMin = kDriverKeep,
    .gainFactorMax = kDriverKeep,
    .maxExposure = 2048,
    .modeByte = 2,
    .exposureCount = 0,
    .extraExposures = nullptr,
    .extraExposureCount = 0,
    .flagsOff = DriverFlags(15),
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

CCamDrvEDevice::CCamDrvEDevice() : CDriverCameraDevice(kTraits) {}

int CCamDrvEDevice::SetFilter(int) { return CAM_OK; }
int CCamDrvEDevice::GetFilter(int*) { return CAM_OK; }
