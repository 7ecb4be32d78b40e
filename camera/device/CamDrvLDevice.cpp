#include "camera/device/CamDrvLDevice.h"
#include "camera/device/GainTables.h"

namespace {

const LPCWSTR kPreviewResolutions[] = {L"2592*1944", L"1280*960", L"1024*768", L"640*480"};

const DriverCameraTraits kTraits = {
    .cameraType = CAMERA_TYPE_CAMDRVL,
    .sensorKind = SENSOR_KIND_CMOS,
    .module = L"CamDrvL.dll",
    .token = "CamDrvLC",
    .init = &CamDrvLCCameraInit,
    .initNoCallback = nullptr,
    .groups = DRV_AWB | DRV_AWB_STATE | DRV_COLOUR | DRV_FILTER | DRV_GAMMA_EX,
    .modelNameId = 3,
    .modelName = L"Model30",
    .gainValues = kGainG2,
    .gainCount = int(sizeof kGainG2 / sizeof kGainG2[0]),
    .gainRegisterMin = 1,
    .gainRegisterMax = 80,
    .gain = kDriverKeep,
    .gainFactorMin = kDriverKeep,
    .gainFactorMax = kDriverKeep,
    .maxExposure = 3072,
    .modeByte = 3,
    .exposureCount = 0,
    .extraExposures = nullptr,
    .extraExposureCount = 0,
    .flagsOff = DriverFlags(14, 15),
    .flagsOn = 0,
    .colorEnhancement = 1,
    .frameSpeed = kDriverKeep,
    .previewResolutions = kPreviewResolutions,
    .previewResolutionCount = int(sizeof kPreviewResolutions / sizeof kPreviewResolutions[0]),
    .captureResolutions = kPreviewResolutions,
    .captureResolutionCount = int(sizeof kPreviewResolutions / sizeof kPreviewResolutions[0]),
    .maxExposureCap = 0,
    .whiteBalance = {132, 64, 82},
    .defaultsForm = DRV_DEFAULTS_BASE,
    .defaultsColorEnhancement = 0,
    .defaultsExposureTime = 0,
};

}  // namespace

CCamDrvLDevice::CCamDrvLDevice() : CDriverCameraDevice(kTraits) {}

int CCamDrvLDevice::GetFrameSpeed(BYTE* speed)
{
    BYTE value = 0;
    const int result = CDriverCameraDevice::GetFrameSpeed(&value);
    if (value == 1) {
        // Speed 1 does not always take at start-up; setting it again through 0 does.
        SetFrameSpeed(0);
        Sleep(100);
        SetFrameSpeed(1);
    }
    if (speed)
        *speed = BYTE(value + 1 < 2 ? value + 1 : 2);
    return result;
}
