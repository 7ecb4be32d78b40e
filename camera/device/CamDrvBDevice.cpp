#include "camera/device/CamDrvBDevice.h"
#include "camera/device/GainTables.h"

namespace {

const LPCWSTR kPreviewResolutions[] = {L"1280*1040", L"1280*800", L"668*512Bin", L"640*512SWBin"};

const DriverCameraTraits kTraits = {
    .cameraType = CAMERA_TYPE_CAMDRVB,
    .sensorKind = SENSOR_KIND_CMOS,
    .module = L"CamDrvB.dll",
    .token = "CamDrvB",
    .init = &CamDrvBCameraInit,
    .initNoCallback = nullptr,
    .groups = DRV_BLACK_LEVEL | DRV_DATA_WIDE | DRV_DEFECT | DRV_RESOLUTION | DRV_MAX_EXPOSURE,
    .modelNameId = 31,
    .modelName = L"Model51",
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
    .flagsOff = DriverFlags(4, 5, 6, 8, 14, 15),
    .flagsOn = DriverFlags(1, 7, 17),
    .colorEnhancement = kDriverKeep,
    .frameSpeed = kDriverKeep,
    .previewResolutions = kPreviewResolutions,
    .previewResolutionCount = int(sizeof kPreviewResolutions / sizeof kPreviewResolutions[0]),
    .captureResolutions = kPreviewResolutions,
    .captureResolutionCount = int(sizeof kPreviewResolutions / sizeof kPreviewResolutions[0]),
    .maxExposureCap = 27000,
    .whiteBalance = {0, 0, 0},
    .defaultsForm = DRV_DEFAULTS_DRIVER,
    .defaultsColorEnhancement = 0,
    .defaultsExposureTime = 40000,
};

}  // namespace

CCamDrvBDevice::CCamDrvBDevice() : CDriverCameraDevice(kTraits) {}

int CCamDrvBDevice::GetFrameSpeed(BYTE* speed)
{
    BYTE value = 0;
    const int result = CDriverCameraDevice::GetFrameSpeed(&value);
    if (speed)
        *speed = value < 2 ? 1 : value;
    return result;
}
