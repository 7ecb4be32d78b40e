#include "camera/device/CamDrvGDevice.h"
#include "camera/device/GainTables.h"

namespace {

const LPCWSTR kPreviewResolutions[] = {L"2572*1956 Full Res", L"1284*852 Fast View", L"1280*960 2X2Bin", L"640*480 4X4Bin"};
const int kExtraExposures[] = {616679};

const DriverCameraTraits kTraits = {
    .cameraType = CAMERA_TYPE_CAMDRVG,
    .sensorKind = SENSOR_KIND_CCD,
    .module = L"CamDrvG.dll",
    .token = "CamDrvG",
    .init = nullptr,
    .initNoCallback = &CamDrvGCameraInit,
    .groups = DRV_AWB | DRV_AWB_STATE | DRV_LONG_EXPOSURE | DRV_BLACK_LEVEL | DRV_COLOUR |
              DRV_DATA_WIDE | DRV_RESOLUTION | DRV_FILTER | DRV_GAMMA_EX,
    .modelNameId = 26,
    .modelName = L"Model48",
    .gainValues = kGainG6,
    .gainCount = int(sizeof kGainG6 / sizeof kGainG6[0]),
    .gainRegisterMin = 170,
    .gainRegisterMax = 600,
    .gain = 170,
    .gainFactorMin = 1,
    .gainFactorMax = 1023,
    .maxExposure = 1040,
    .modeByte = 2,
    .exposureCount = 88,
    .extraExposures = kExtraExposures,
    .extraExposureCount = 1,
    .flagsOff = DriverFlags(14, 15),
    .flagsOn = DriverFlags(1, 2, 7, 9, 10, 17),
    .colorEnhancement = 1,
    .frameSpeed = 1,
    .previewResolutions = kPreviewResolutions,
    .previewResolutionCount = int(sizeof kPreviewResolutions / sizeof kPreviewResolutions[0]),
    .captureResolutions = kPreviewResolutions,
    .captureResolutionCount = int(sizeof kPreviewResolutions / sizeof kPreviewResolutions[0]),
    .maxExposureCap = 0,
    .whiteBalance = {96, 64, 80},
    .defaultsForm = DRV_DEFAULTS_BASE,
    .defaultsColorEnhancement = 0,
    .defaultsExposureTime = 0,
};

}  // namespace

CCamDrvGDevice::CCamDrvGDevice() : CDriverCameraDevice(kTraits) {}

int CCamDrvGDevice::DecodeEx(BYTE* raw, BYTE* image, int width, int height)
{
    return Decode(raw, image, width, height, 1);
}
