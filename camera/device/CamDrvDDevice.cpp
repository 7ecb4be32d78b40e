#include "camera/device/CamDrvDDevice.h"
#include "camera/device/GainTables.h"

namespace {

const LPCWSTR kPreviewResolutions[] = {L"3664*2748", L"1600*1200", L"1280*960", L"800*600", L"640*480"};

const DriverCameraTraits kTraits = {
    .cameraType = CAMERA_TYPE_CAMDRVD,
    .sensorKind = SENSOR_KIND_CMOS,
    .module = L"CamDrvD.dll",
    .token = "CamDrvDII",
    .init = &CamDrvDIICameraInit,
    .initNoCallback = nullptr,
    .groups = DRV_AWB | DRV_AWB_STATE | DRV_COLOUR | DRV_DEFECT | DRV_FILTER | DRV_GAMMA_EX,
    .modelNameId = 6,
    .modelName = L"Model33",
    .gainValues = kGainG1,
    .gainCount = int(sizeof kGainG1 / sizeof kGainG1[0]),
    .gainRegisterMin = 20,
    .gainRegisterMax = 214,
    .gain = 20,
    .gainFactorMin = 1,
    .gainFactorMax = 7,
    .maxExposure = 3000,
    .modeByte = 2,
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
    .whiteBalance = {97, 64, 59},
    .defaultsForm = DRV_DEFAULTS_BASE,
    .defaultsColorEnhancement = 0,
    .defaultsExposureTime = 0,
};

}  // namespace

CCamDrvDDevice::CCamDrvDDevice() : CDriverCameraDevice(kTraits) {}

int CCamDrvDDevice::GetExposureTime(int* microseconds)
{
    if (!m_calls.GetExposureTime)
        return CDriverCameraDevice::GetExposureTime(microseconds);
    int milliseconds = 0;
    int result = m_calls.GetExposureTime(&milliseconds);
    const DWORD start = GetTickCount();
    while (milliseconds == 0 && GetTickCount() - start < kExposureWaitMs) {
        Sleep(kExposurePollMs);
        result = m_calls.GetExposureTime(&milliseconds);
    }
    if (microseconds)
        *microseconds = MillisecondsToMicroseconds(milliseconds);
    // A camera that never settles has no exposure time to report.
    return milliseconds == 0 ? CAM_FAILED : result;
}
