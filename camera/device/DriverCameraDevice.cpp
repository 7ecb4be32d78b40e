#include "camera/device/DriverCameraDevice.h"

#include "camera/device/ProductPresets.h"

#include <limits.h>
#include <string>


// A call the family forwards, or the device base's answer when it does not.
#define DRIVER_FORWARD(op, ...) \
    (m_calls.op ? m_calls.op(__VA_ARGS__) : CCameraDevice::op(__VA_ARGS__))

CDriverCameraDevice::CDriverCameraDevice(const DriverCameraTraits& traits) : m_traits(traits)
{
    m_calls.Init = traits.init;
    m_calls.InitNoCallback = traits.initNoCallback;
    ResolveCalls();
    ApplyTraitDefaults();
}

CDriverCameraDevice::~CDriverCameraDevice() = default;

void CDriverCameraDevice::ResolveCalls()
{
    // The library is in the import table through its Init, so it is loaded already.
    HMODULE module = GetModuleHandleW(m_traits.module);
    if (!module)
        return;
    const std::string prefix = std::string(m_traits.token) + "Camera";
    const unsigned groups = m_traits.groups;
    auto resolve = [&](const char* op, unsigned group) -> FARPROC {
        if (group != DRV_COMMON && !(groups & group))
            return nullptr;
        return GetProcAddress(module, (prefix + op).c_str());
    };
#define DRIVER_CALL_RESOLVE(op, group, params) \
    m_calls.op = reinterpret_cast<decltype(m_calls.op)>(resolve(#op, group));
    DRIVER_CAMERA_CALLS(DRIVER_CALL_RESOLVE)
#undef DRIVER_CALL_RESOLVE
}

bool CDriverCameraDevice::CallsComplete() const
{
    if (!m_calls.Init && !m_calls.InitNoCallback)
        return false;
    const unsigned groups = m_traits.groups;
    bool complete = true;
#define DRIVER_CALL_CHECK(op, group, params) \
    if ((group == DRV_COMMON || (groups & group)) && !m_calls.op) complete = false;
    DRIVER_CAMERA_CALLS(DRIVER_CALL_CHECK)
#undef DRIVER_CALL_CHECK
    return complete;
}

void CDriverCameraDevice::ApplyTraitDefaults()
{
    const DriverCameraTraits& t = m_traits;
    m_info.productIndex = t.cameraType;
    m_info.sensorKind = t.sensorKind;
    CString name = LoadLibraryString(t.modelNameId);
    if (name.IsEmpty())
        name = t.modelName;
    m_info.modelName = name;
    m_info.deviceName = name;
    m_deviceName = name;

    m_gainTable.insert(m_gainTable.end(), t.gainValues, t.gainValues + t.gainCount);
    m_info.gainStepMin = 1;
    m_info.gainStepMax = t.gainCount;
    m_info.gainRegisterMin = t.gainRegisterMin;
    m_info.gainRegisterMax = t.gainRegisterMax;
    if (t.gain != kDriverKeep)
        m_last.gain = t.gain;
    if (t.gainFactorMin != kDriverKeep) {
        m_info.gainFactorMin = t.gainFactorMin;
        m_info.gainFactorMax = t.gainFactorMax;
    }
    if (t.maxExposure != kDriverKeep)
        m_info.maxExposure = t.maxExposure;
    if (t.modeByte != kDriverKeep)
        m_last.modeByte = BYTE(t.modeByte);
    if (t.exposureCount > 0) {
        const int* common = CProductPresets::kExposureTable;
        m_exposureTable.insert(m_exposureTable.end(), common, common + t.exposureCount);
        m_exposureTable.insert(m_exposureTable.end(), t.extraExposures,
                               t.extraExposures + t.extraExposureCount);
        m_info.exposureStepMin = 1;
        m_info.exposureStepMax = t.exposureCount + t.extraExposureCount;
    }
    for (int n = 1; n <= FEATURE_FLAG_COUNT; ++n) {
        if (t.flagsOff & (1u << n))
            m_info.featureFlags[n - 1] = 0;
        if (t.flagsOn & (1u << n))
            m_info.featureFlags[n - 1] = 1;
    }
    if (t.colorEnhancement != kDriverKeep)
        m_last.colorEnhancement = t.colorEnhancement;
    if (t.frameSpeed != kDriverKeep)
        m_last.HDFrameSpeed = BYTE(t.frameSpeed);
}

int CDriverCameraDevice::MillisecondsToMicroseconds(int milliseconds)
{
    // The longest exposures (over 35 minutes) do not fit an int in microseconds.
    const long long micro = static_cast<long long>(milliseconds) * 1000;
    if (micro > INT_MAX)
        return INT_MAX;
    if (micro < INT_MIN)
        return INT_MIN;
    return static_cast<int>(micro);
}

// --- device state and formats ----------------------------------------------------

int CDriverCameraDevice::FillResolutionList(HWND comboBox, int previewList)
{
    LPCWSTR const* names = previewList ? m_traits.previewResolutions : m_traits.captureResolutions;
    const int count = previewList ? m_traits.previewResolutionCount
                                  : m_traits.captureResolutionCount;
    if (comboBox) {
        for (int i = 0; i < count; ++i)
            SendMessageW(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i]));
        SendMessageW(comboBox, CB_SETCURSEL, 0, 0);
    }
    if (previewList)
        m_info.previewResolutionCount = count;
    else
        m_info.captureResolutionCount = count;
    return CAM_OK;
}

int CDriverCameraDevice::Init(CameraFrameCallback callback, int previewResolution, HWND window,
                              HWND, int)
{
    // The libraries take no second window, and their flag is always 0.
    int result;
    if (m_calls.InitNoCallback)
        result = m_calls.InitNoCallback(previewResolution, window, 0);
    else if (m_calls.Init)
        result = m_calls.Init(callback, previewResolution, window, 0);
    else
        return CAM_ERR_NO_DEVICE;
    if (result == CAM_OK && m_calls.GetMaxExposure) {
        int maximum = 0;
        if (m_calls.GetMaxExposure(&maximum) == CAM_OK)
            m_info.maxExposure = maximum < m_traits.maxExposureCap ? maximum
                                                                   : m_traits.maxExposureCap;
    }
    return result;
}

int CDriverCameraDevice::UnInit() { return DRIVER_FORWARD(UnInit); }
int CDriverCameraDevice::Play() { return DRIVER_FORWARD(Play); }
int CDriverCameraDevice::Stop() { return DRIVER_FORWARD(Stop); }

int CDriverCameraDevice::GetDefaultParameter(CameraCurParam* out, int mode)
{
    if (m_traits.defaultsForm == DRV_DEFAULTS_BASE || !out)
        return CCameraDevice::GetDefaultParameter(out, mode);

    auto exposureGroup = [&](int exposureTime) {
        out->mirror[0] = 0;
        out->mirror[1] = 0;
        out->dataWide = 0;
        out->aeOn = 0;
        out->exposureTime = exposureTime;
        out->exposureStep = 20;
        out->exposureLines = 1;
        out->gain = 1;
        out->gainStep = 1;
        out->aeTarget = 100;
        out->HDFrameSpeed = 2;
        out->blackLevel = 0;
    };
    auto colourGroup = [&]() {
        out->monochrome = 0;
        out->colorEnhancement = m_traits.defaultsColorEnhancement;
        out->gammaValue = out->contrastValue = out->saturationValue = 0;
        out->gamma = 100;
        out->contrast = 0;
        out->saturation = 128;
        out->redGain = out->greenGain = out->blueGain = 64;
        out->flatField = 0;
    };
    if (mode == 1) {
        exposureGroup(m_traits.defaultsExposureTime);
    } else if (mode == 2) {
        colourGroup();
    } else {
        exposureGroup(33000);
        colourGroup();
        out->gainFactor = 1;
        out->blackLevel = 0;
    }
    return CAM_OK;
}

// --- frames and files --------------------------------------------------------------

int CDriverCameraDevice::GrabFrame(BYTE* frame) { return DRIVER_FORWARD(GrabFrame, frame); }

int CDriverCameraDevice::Decode(BYTE* raw, BYTE* image, int width, int height, int rgbOut)
{
    return DRIVER_FORWARD(Decode, raw, image, width, height, rgbOut);
}

int CDriverCameraDevice::CaptureFile(LPCWSTR path, int pictureType, int param)
{
    return DRIVER_FORWARD(CaptureFile, path, pictureType, param);
}

int CDriverCameraDevice::GetImageSize(int* width, int* height)
{
    return DRIVER_FORWARD(GetImageSize, width, height);
}

int CDriverCameraDevice::GetImageDataRGB24(BYTE* image)
{
    return DRIVER_FORWARD(GetImageDataRGB24, image);
}

// --- exposure, white balance, gain --------------------------------------------------

int CDriverCameraDevice::SetAeState(int on) { return DRIVER_FORWARD(SetAeState, on); }
int CDriverCameraDevice::GetAeState(int* on) { return DRIVER_FORWARD(GetAeState, on); }
int CDriverCameraDevice::SetAWBState(int mode) { return DRIVER_FORWARD(SetAWBState, mode); }
int CDriverCameraDevice::GetAWBState(int* state) { return DRIVER_FORWARD(GetAWBState, state); }

int CDriverCameraDevice::GetAWBStateResult(int* busy, int* result)
{
    return DRIVER_FORWARD(GetAWBStateResult, busy, result);
}

int CDriverCameraDevice::ResetChannelGains()
{
    const int* wb = m_traits.whiteBalance;
    if (!m_calls.SetGain || !m_calls.SetColorEnhancement || (!wb[0] && !wb[1] && !wb[2]))
        return CCameraDevice::ResetChannelGains();
    m_calls.SetColorEnhancement(0);
    return m_calls.SetGain(wb[0], wb[1], wb[2]);
}

int CDriverCameraDevice::SetAeTarget(int target) { return DRIVER_FORWARD(SetAeTarget, target); }
int CDriverCameraDevice::GetAeTarget(BYTE* target) { return DRIVER_FORWARD(GetAeTarget, target); }

int CDriverCameraDevice::SetExposureTime(int time)
{
    return DRIVER_FORWARD(SetExposureTime, time);
}

int CDriverCameraDevice::GetExposureTime(int* microseconds)
{
    if (!m_calls.GetExposureTime)
        return CCameraDevice::GetExposureTime(microseconds);
    int milliseconds = 0;
    const int result = m_calls.GetExposureTime(&milliseconds);
    if (microseconds)
        *microseconds = MillisecondsToMicroseconds(milliseconds);
    return result;
}

int CDriverCameraDevice::GetRowTime(float* rowTime) { return DRIVER_FORWARD(GetRowTime, rowTime); }

int CDriverCameraDevice::RestartLongExposure(int value)
{
    return DRIVER_FORWARD(RestartLongExposure, value);
}

int CDriverCameraDevice::SetAnalogGain(int gain) { return DRIVER_FORWARD(SetAnalogGain, gain); }
int CDriverCameraDevice::GetAnalogGain(short* gain) { return DRIVER_FORWARD(GetAnalogGain, gain); }
int CDriverCameraDevice::SetBlackLevel(int level) { return DRIVER_FORWARD(SetBlackLevel, level); }
int CDriverCameraDevice::GetBlackLevel(int* level) { return DRIVER_FORWARD(GetBlackLevel, level); }

int CDriverCameraDevice::SetGain(int red, int green, int blue)
{
    return DRIVER_FORWARD(SetGain, red, green, blue);
}

int CDriverCameraDevice::GetGain(int* red, int* green, int* blue)
{
    return DRIVER_FORWARD(GetGain, red, green, blue);
}

// --- picture -------------------------------------------------------------------------

int CDriverCameraDevice::SetGamma(int gamma) { return DRIVER_FORWARD(SetGamma, gamma); }

int CDriverCameraDevice::GetGamma(int* gamma)
{
    // The library writes one byte; the rest of the caller's int must not keep old bits.
    if (!m_calls.GetGamma)
        return CCameraDevice::GetGamma(gamma);
    BYTE value = 0;
    const int result = m_calls.GetGamma(&value);
    if (gamma)
        *gamma = value;
    return result;
}

int CDriverCameraDevice::SetSaturation(int saturation)
{
    return DRIVER_FORWARD(SetSaturation, saturation);
}

int CDriverCameraDevice::GetSaturation(int* saturation)
{
    return DRIVER_FORWARD(GetSaturation, saturation);
}

int CDriverCameraDevice::SetColorEnhancement(int on)
{
    return DRIVER_FORWARD(SetColorEnhancement, on);
}

int CDriverCameraDevice::GetColorEnhancement(int* on)
{
    return DRIVER_FORWARD(GetColorEnhancement, on);
}

int CDriverCameraDevice::SetDataWide(int on) { return DRIVER_FORWARD(SetDataWide, on); }
int CDriverCameraDevice::GetDataWide(int* on) { return DRIVER_FORWARD(GetDataWide, on); }
int CDriverCameraDevice::SetContrast(int contrast) { return DRIVER_FORWARD(SetContrast, contrast); }
int CDriverCameraDevice::GetContrast(BYTE* contrast) { return DRIVER_FORWARD(GetContrast, contrast); }
int CDriverCameraDevice::SetMirror(int axis, int on) { return DRIVER_FORWARD(SetMirror, axis, on); }
int CDriverCameraDevice::GetMirror(int axis, int* on) { return DRIVER_FORWARD(GetMirror, axis, on); }
int CDriverCameraDevice::SetMonochrome(int on) { return DRIVER_FORWARD(SetMonochrome, on); }
int CDriverCameraDevice::GetMonochrome(int* on) { return DRIVER_FORWARD(GetMonochrome, on); }
int CDriverCameraDevice::SetFrameSpeed(int speed) { return DRIVER_FORWARD(SetFrameSpeed, speed); }
int CDriverCameraDevice::GetFrameSpeed(BYTE* speed) { return DRIVER_FORWARD(GetFrameSpeed, speed); }

// --- corrections, resolution, parameter sets --------------------------------------

int CDriverCameraDevice::CalcDefectCorrection()
{
    return m_calls.CorrectionDead ? m_calls.CorrectionDead() : CCameraDevice::CalcDefectCorrection();
}

int CDriverCameraDevice::SetResolution(int index) { return DRIVER_FORWARD(SetResolution, index); }
int CDriverCameraDevice::GetResolution(BYTE* index) { return DRIVER_FORWARD(GetResolution, index); }

int CDriverCameraDevice::SaveParameter(int setNumber)
{
    return DRIVER_FORWARD(SaveParameter, setNumber);
}

int CDriverCameraDevice::ReadParameter(int setNumber)
{
    return DRIVER_FORWARD(ReadParameter, setNumber);
}

int CDriverCameraDevice::GetCurrentParameterTeam(BYTE* setNumber)
{
    return DRIVER_FORWARD(GetCurrentParameterTeam, setNumber);
}

int CDriverCameraDevice::CalcFlatFielding() { return DRIVER_FORWARD(CalcFlatFielding); }

int CDriverCameraDevice::GetCalcFlatFieldingState(int* busy, int* result)
{
    return DRIVER_FORWARD(GetCalcFlatFieldingState, busy, result);
}

int CDriverCameraDevice::SetFlatFieldingState(int on)
{
    return DRIVER_FORWARD(SetFlatFieldingState, on);
}

int CDriverCameraDevice::GetFlatFieldingState(int* on)
{
    return DRIVER_FORWARD(GetFlatFieldingState, on);
}

// --- levels ----------------------------------------------------------------------------

int CDriverCameraDevice::SetGammaEx(int value, int channel)
{
    if (!(m_traits.groups & DRV_GAMMA_EX))
        return CCameraDevice::SetGammaEx(value, channel);
    return SetGamma(value);
}

int CDriverCameraDevice::GetGammaEx(int* value, int channel)
{
    if (!(m_traits.groups & DRV_GAMMA_EX))
        return CCameraDevice::GetGammaEx(value, channel);
    return GetGamma(value);
}

// The libraries keep one set of levels for all channels.
int CDriverCameraDevice::SetLevelsValues(int low, int high, int channel)
{
    return m_calls.SetLevelsValues ? m_calls.SetLevelsValues(low, high)
                                   : CCameraDevice::SetLevelsValues(low, high, channel);
}

int CDriverCameraDevice::GetLevelsValues(int* low, int* high, int channel)
{
    return m_calls.GetLevelsValues ? m_calls.GetLevelsValues(low, high)
                                   : CCameraDevice::GetLevelsValues(low, high, channel);
}

int CDriverCameraDevice::SetAutoLevelsState(int state, int channel)
{
    return m_calls.SetAutoLevelsState ? m_calls.SetAutoLevelsState(state)
                                      : CCameraDevice::SetAutoLevelsState(state, channel);
}

int CDriverCameraDevice::GetAutoLevelsState(int* state, int channel)
{
    return m_calls.GetAutoLevelsState ? m_calls.GetAutoLevelsState(state)
                                      : CCameraDevice::GetAutoLevelsState(state, channel);
}

int CDriverCameraDevice::GetLevelsCounts(int* counts256)
{
    return DRIVER_FORWARD(GetLevelsCounts, counts256);
}

int CDriverCameraDevice::SetFilter(int on) { return DRIVER_FORWARD(SetFilter, on); }
int CDriverCameraDevice::GetFilter(int* on) { return DRIVER_FORWARD(GetFilter, on); }
