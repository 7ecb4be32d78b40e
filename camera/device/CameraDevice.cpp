#include "camera/device/CameraDevice.h"
#include "camera/device/DisplayValues.h"

#include <algorithm>

namespace {

int Clamp(int v, int lo, int hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

} // namespace

CCameraDevice::CCameraDevice()
    : m_gainTable(1, 1), m_exposureTable(1, 1), m_resumed(0)
{
    m_deviceName = LoadLibraryString(IDS_UNKNOWN_DEVICE);
    m_info.modelName = m_deviceName;
}

CCameraDevice::~CCameraDevice() = default;

// --- device state and formats ------------------------------------------------

int CCameraDevice::ResumeDevice(int) { return CAM_OK; }
int CCameraDevice::SuspendDevice() { return CAM_OK; }
int CCameraDevice::FillFrameSpeedList(HWND) { return CAM_ERR_NO_DEVICE; }
int CCameraDevice::FillResolutionList(HWND, int) { return CAM_OK; }
int CCameraDevice::Init(CameraFrameCallback, int, HWND, HWND, int) { return CAM_OK; }
int CCameraDevice::UnInit() { return CAM_OK; }
int CCameraDevice::Play() { return CAM_OK; }
int CCameraDevice::Stop() { return CAM_OK; }
int CCameraDevice::GetRecvBufferSize(int*) { return CAM_OK; }

bool CCameraDevice::IsHighDefinitionProduct(int p)
{
    return (p >= 27 && p <= 29) || (p >= 33 && p <= 35) || p == 37 || p == 38;
}

int CCameraDevice::GetDefaultParameter(CameraCurParam* out, int mode)
{
    if (!out)
        return CAM_OK;
    const int product = m_info.productIndex;
    const bool hd = IsHighDefinitionProduct(product);

    auto exposureGroup = [&](bool resetMirrors) {
        if (resetMirrors) {
            out->mirror[0] = 0;
            out->mirror[1] = 0;
        }
        out->dataWide = 0;
        if (hd || product == 32) {
            out->aeOn = 1;
            out->aeTarget = 10;
        } else {
            out->HDAutoWB = 0;
            out->aeOn = 0;
            out->aeTarget = 100;
        }
        out->exposureTime = 33000;
        out->exposureStep = 20;
        out->exposureLines = 1;
        out->HDFrameSpeed = 0;
        out->blackLevel = 0;
        out->gain = (product == 2 || product == 3) ? 7 : (product == 5 ? 20 : 1);
        out->gainStep = 1;
    };
    auto colourGroup = [&]() {
        out->monochrome = 0;
        out->colorEnhancement = 0;
        int gains;
        if (hd) {
            out->gammaValue = 0; out->contrastValue = 8; out->saturationValue = 8;
            out->gamma = 0; out->contrast = 8; out->saturation = 8;
            gains = 50;
        } else if (product == 32) {
            out->gammaValue = 0; out->contrastValue = 8; out->saturationValue = 7;
            out->gamma = 0; out->contrast = 8; out->saturation = 7;
            gains = 50;
        } else {
            out->gammaValue = 0; out->contrastValue = 0; out->saturationValue = 0;
            out->gamma = 100; out->contrast = 0; out->saturation = 128;
            gains = 64;
        }
        out->redGain = out->greenGain = out->blueGain = gains;
        out->flatField = 0;
    };

    if (mode == 1) {
        exposureGroup(true);
    } else if (mode == 2) {
        colourGroup();
    } else {
        out->colorEnhancement = 0;
        out->mirror[0] = 0;
        out->mirror[1] = 0;
        out->monochrome = 0;
        out->gammaValue = out->contrastValue = out->saturationValue = 0;
        out->gainFactor = 1;
        exposureGroup(false);
        colourGroup();
        out->HDFrameSpeed = 0;
        out->flatField = 0;
        out->blackLevel = 0;
    }
    return CAM_OK;
}

// --- frames and files ----------------------------------------------------------

int CCameraDevice::GrabFrame(BYTE*) { return CAM_OK; }
int CCameraDevice::Decode(BYTE*, BYTE*, int, int, int) { return CAM_OK; }
int CCameraDevice::DecodeEx(BYTE*, BYTE*, int, int) { return CAM_OK; }
int CCameraDevice::CaptureFile(LPCWSTR, int, int) { return CAM_OK; }
int CCameraDevice::GetImageSize(int*, int*) { return CAM_OK; }
int CCameraDevice::GetImageDataRGB24(BYTE*) { return CAM_OK; }
int CCameraDevice::Reserved1(INT_PTR) { return CAM_OK; }
int CCameraDevice::SaveFile(LPCWSTR, BYTE*, int) { return CAM_OK; }

// --- exposure, white balance, gain ---------------------------------------------

int CCameraDevice::SetAeState(int) { return CAM_OK; }
int CCameraDevice::GetAeState(int*) { return CAM_OK; }
int CCameraDevice::SetAWBState(int) { return CAM_OK; }
int CCameraDevice::GetAWBState(int*) { return CAM_OK; }

int CCameraDevice::GetAWBStateResult(int* busy, int* result)
{
    if (busy)
        *busy = 0;
    if (result)
        *result = 1;
    return CAM_OK;
}

int CCameraDevice::ResetChannelGains() { return CAM_OK; }
int CCameraDevice::CalcWhiteBalance(BYTE*, const RECT*) { return CAM_OK; }
int CCameraDevice::GetImageIntensity(BYTE*, int, int, const RECT*, int*, int) { return CAM_OK; }
int CCameraDevice::SetAeTarget(int) { return CAM_OK; }
int CCameraDevice::GetAeTarget(BYTE*) { return CAM_OK; }
int CCameraDevice::SetExposureTime(int) { return CAM_OK; }
int CCameraDevice::GetExposureTime(int*) { return CAM_OK; }
int CCameraDevice::SetExposureLines(int) { return CAM_OK; }
int CCameraDevice::Reserved2(int) { return CAM_OK; }
int CCameraDevice::GetRowTime(float*) { return CAM_OK; }
int CCameraDevice::RestartLongExposure(int) { return CAM_OK; }
int CCameraDevice::SetAnalogGain(int) { return CAM_OK; }
int CCameraDevice::GetAnalogGain(short*) { return CAM_OK; }
int CCameraDevice::SetBlackLevel(int) { return CAM_OK; }
int CCameraDevice::GetBlackLevel(int*) { return CAM_OK; }
int CCameraDevice::SetGain(int, int, int) { return CAM_OK; }
int CCameraDevice::GetGain(int*, int*, int*) { return CAM_OK; }
int CCameraDevice::GetColorTemperature(int*) { return CAM_OK; }
int CCameraDevice::SetColorTemperature(int) { return CAM_OK; }

// --- picture ---------------------------------------------------------------------

int CCameraDevice::SetGamma(int) { return CAM_OK; }
int CCameraDevice::GetGamma(int*) { return CAM_OK; }
int CCameraDevice::SetSaturation(int) { return CAM_OK; }
int CCameraDevice::GetSaturation(int*) { return CAM_OK; }
int CCameraDevice::SetColorEnhancement(int) { return CAM_OK; }
int CCameraDevice::GetColorEnhancement(int*) { return CAM_OK; }
int CCameraDevice::SetDataWide(int) { return CAM_OK; }

int CCameraDevice::GetDataWide(int* on)
{
    if (on)
        *on = 0;
    return CAM_OK;
}

int CCameraDevice::SetContrast(int) { return CAM_OK; }
int CCameraDevice::GetContrast(BYTE*) { return CAM_OK; }
int CCameraDevice::SetMirror(int, int) { return CAM_OK; }
int CCameraDevice::GetMirror(int, int*) { return CAM_OK; }
int CCameraDevice::SetMonochrome(int) { return CAM_OK; }
int CCameraDevice::GetMonochrome(int*) { return CAM_OK; }
int CCameraDevice::SetFrameSpeed(int) { return CAM_OK; }
int CCameraDevice::GetFrameSpeed(BYTE*) { return CAM_OK; }
int CCameraDevice::SetLightFrequency(int) { return CAM_OK; }
int CCameraDevice::Reserved3(int) { return CAM_OK; }
int CCameraDevice::SetB2RGBMode(int) { return CAM_OK; }
int CCameraDevice::Reserved4(int) { return CAM_OK; }
int CCameraDevice::Reserved5(int) { return CAM_OK; }
int CCameraDevice::Reserved6(int) { return CAM_OK; }

// --- corrections, resolution, parameter sets -----------------------------------

int CCameraDevice::CalcDefectCorrection() { return CAM_OK; }
int CCameraDevice::SetDefectCorrectionState(int) { return CAM_OK; }
int CCameraDevice::GetDefectCorrectionState(int*) { return CAM_OK; }
int CCameraDevice::SetResolution(int) { return CAM_OK; }
int CCameraDevice::GetResolution(BYTE*) { return CAM_OK; }
int CCameraDevice::SaveParameter(int) { return CAM_OK; }
int CCameraDevice::ReadParameter(int) { return CAM_OK; }
int CCameraDevice::GetCurrentParameterTeam(BYTE*) { return CAM_OK; }
int CCameraDevice::CalcFlatFielding() { return CAM_OK; }
int CCameraDevice::CalcFlatfield(BYTE*) { return CAM_OK; }
int CCameraDevice::GetCalcFlatFieldingState(int*, int*) { return CAM_OK; }
int CCameraDevice::SetFlatFieldingState(int) { return CAM_OK; }
int CCameraDevice::GetFlatFieldingState(int*) { return CAM_OK; }

// --- levels, channels, dye ---------------------------------------------------------

int CCameraDevice::SetGammaEx(int, int) { return CAM_OK; }
int CCameraDevice::GetGammaEx(int*, int) { return CAM_OK; }
int CCameraDevice::SetLevelsValues(int, int, int) { return CAM_OK; }
int CCameraDevice::GetLevelsValues(int*, int*, int) { return CAM_OK; }
int CCameraDevice::SetAutoLevelsState(int, int) { return CAM_OK; }
int CCameraDevice::GetAutoLevelsState(int*, int) { return CAM_OK; }
int CCameraDevice::GetLevelsCounts(int*) { return CAM_OK; }
int CCameraDevice::SetShowChannel(int) { return CAM_OK; }
int CCameraDevice::SetDyeSettings(const DyeSettings*) { return CAM_OK; }
int CCameraDevice::GetDyeSettings(DyeSettings*) { return CAM_OK; }
int CCameraDevice::FluorescenceGuide(int, int) { return CAM_OK; }
int CCameraDevice::ResizeImage(BYTE*, BYTE*, int, int) { return CAM_OK; }
int CCameraDevice::UpdateExposureRange(CameraParamInfo*, int) { return CAM_OK; }

// --- enhancement, cooling, presets -------------------------------------------------

int CCameraDevice::SetShiftOperator(int) { return CAM_OK; }
int CCameraDevice::GetShiftOperator(int*) { return CAM_OK; }
int CCameraDevice::Reserved7(INT_PTR, INT_PTR) { return CAM_OK; }
int CCameraDevice::SetSharpness(int) { return CAM_OK; }
int CCameraDevice::GetSharpness(int*) { return CAM_OK; }
int CCameraDevice::SetDenoise(int) { return CAM_OK; }
int CCameraDevice::GetDenoise(int*) { return CAM_OK; }
int CCameraDevice::SetCooled(int) { return CAM_OK; }
int CCameraDevice::GetCooled(int*) { return CAM_OK; }
int CCameraDevice::GetTemperature(float*) { return CAM_OK; }
int CCameraDevice::ApplyProductPreset(CameraListEntry*) { return SENSOR_KIND_NONE; }
int CCameraDevice::Reserved8(int) { return 0; }
void CCameraDevice::Reserved9() {}
int CCameraDevice::SetFilter(int) { return CAM_FAILED; }

int CCameraDevice::GetFilter(int* on)
{
    if (on)
        *on = 0;
    return CAM_OK;
}

// --- copies --------------------------------------------------------------------------

int CCameraDevice::GetParameterInfo(CameraParamInfo* out) const
{
    if (out)
        *out = m_info;
    return CAM_OK;
}

int CCameraDevice::GetLastParameter(CameraCurParam* out) const
{
    if (out)
        *out = m_last;
    return CAM_OK;
}

int CCameraDevice::SetLastParameter(const CameraCurParam* in)
{
    if (in)
        m_last = *in;
    return CAM_OK;
}

// --- table look-ups --------------------------------------------------------------

int CCameraDevice::GainToStep(int gain) const
{
    const int n = static_cast<int>(m_gainTable.size());
    for (int i = 0; i < n; ++i) {
        if (m_gainTable[i] >= gain)
            return std::min(i + 1, n);
    }
    return n;
}

int CCameraDevice::ExposureToStep(int milliseconds) const
{
    const int n = static_cast<int>(m_exposureTable.size());
    const unsigned int wanted = static_cast<unsigned int>(milliseconds);
    for (int i = 0; i < n; ++i) {
        if (static_cast<unsigned int>(m_exposureTable[i]) >= wanted)
            return std::min(i + 1, n);
    }
    return n;
}

// Steps outside the table are clamped to it: callers offer step ranges that a preset
// may have left wider than the table.
int CCameraDevice::StepToGain(int step) const
{
    if (m_gainTable.empty())
        return 0;
    const int n = static_cast<int>(m_gainTable.size());
    return m_gainTable[Clamp(step, 1, n) - 1];
}

int CCameraDevice::StepToExposure(int step) const
{
    if (m_exposureTable.empty())
        return 0;
    const int n = static_cast<int>(m_exposureTable.size());
    return m_exposureTable[Clamp(step, 1, n) - 1];
}

// --- conversions ---------------------------------------------------------------------

int CCameraDevice::GammaToRegister(int value) const
{
    if (value >= 100) {
        float r = static_cast<float>(value - 100) * 0.4f;
        if (r > static_cast<float>(m_info.gammaMax))
            r = static_cast<float>(m_info.gammaMax);
        return static_cast<int>(r);
    }
    return std::max((value - 100) / 4, m_info.gammaMin);
}

int CCameraDevice::RegisterToGamma(int reg) const
{
    return displayvalues::GammaFromDevice(reg, m_info.gammaMin, m_info.gammaMax);
}

int CCameraDevice::ContrastToRegister(int value, int wide) const
{
    if (wide)
        return Clamp((value - 128) / 6, m_info.contrastMin, m_info.contrastMax);
    if (value >= 20)
        return std::min((value - 20) / 4, m_info.contrastMax);
    return std::max(value - 20, m_info.contrastMin);
}

int CCameraDevice::RegisterToContrast(int reg, int wide) const
{
    return displayvalues::ContrastFromDevice(reg, wide, m_info.contrastMin, m_info.contrastMax);
}

int CCameraDevice::SaturationToRegister(int value, int wide) const
{
    int r;
    if (wide)
        r = value > 100 ? (value - 100) / 7 : (value - 100) / 5;
    else
        r = (value - 128) / 6;
    return Clamp(r, m_info.saturationMin, m_info.saturationMax);
}

int CCameraDevice::RegisterToSaturation(int reg, int wide) const
{
    return displayvalues::SaturationFromDevice(reg, wide, m_info.saturationMin, m_info.saturationMax);
}

int CCameraDevice::GainRegisterToFactor(int reg) const
{
    const int r = Clamp(reg, m_info.gainRegisterMin, m_info.gainRegisterMax);
    double factor = (r - m_info.gainRegisterMin) * 0.0351 + 1.0;
    if (factor > m_info.gainFactorMax)
        factor = m_info.gainFactorMax;
    return static_cast<int>(factor);
}

int CCameraDevice::GainFactorToRegister(int factor) const
{
    return static_cast<int>(factor * 28.49002849002849 + m_info.gainRegisterMin);
}
