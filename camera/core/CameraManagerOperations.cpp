// Exposure, gain, colour, resolution and correction operations: most store the value
// in the current parameters and pass it to one device operation; the rest follow the
// camera's family (library or driver camera), sensor kind and product.
#include "camera/core/CameraManager.h"

#include "afxwin.h"
#include "camera/core/GainTransform.h"
#include "external/bench/FrameRecords.h"

#if __has_include("external/lineapproach/LineApproachShell.h")
#include "external/lineapproach/LineApproachShell.h"
#define QRC_HAVE_LINE_APPROACH 1
#endif

#include <algorithm>
#include <vector>
#include <string.h>

namespace {

bool AnyOf(int value, std::initializer_list<int> set)
{
    return std::find(set.begin(), set.end(), value) != set.end();
}

// Products that switch white balance on and off in the device instead of computing
// it from a frame.
bool TogglesWhiteBalance(int product)
{
    return AnyOf(product, {28, 29, 32, 33, 34, 35, 37, 38});
}

// Locks a section the camera may not have yet (the locks exist while it is open).
class COptionalLock {
public:
    explicit COptionalLock(CCriticalSection* section) : m_section(section)
    {
        if (m_section)
            m_section->Lock();
    }
    ~COptionalLock()
    {
        if (m_section)
            m_section->Unlock();
    }

private:
    CCriticalSection* m_section;
};

} // namespace

#define REQUIRE_DEVICE()                  \
    do {                                  \
        if (!m_pDevice)                   \
            return CAM_ERR_NO_DEVICE;     \
    } while (0)

// --- read-backs ----------------------------------------------------------------------------

void CCameraManager::ClampChannelGains()
{
    m_cur.redGain = std::max(m_info.redGainMin, std::min(m_info.redGainMax, m_cur.redGain));
    m_cur.greenGain = std::max(m_info.greenGainMin, std::min(m_info.greenGainMax, m_cur.greenGain));
    m_cur.blueGain = std::max(m_info.blueGainMin, std::min(m_info.blueGainMax, m_cur.blueGain));
}

void CCameraManager::ReadChannelGains()
{
    m_pDevice->GetGain(&m_cur.redGain, &m_cur.greenGain, &m_cur.blueGain);
    ClampChannelGains();
}

// Rows of an exposure, both times in microseconds: whole rows, rounded up, so that
// lines x row time gives the exposure back.
int CCameraManager::ExposureLines(int exposureUs, float rowTimeUs)
{
    return static_cast<int>((exposureUs + static_cast<double>(rowTimeUs) - 1.0) / rowTimeUs);
}

void CCameraManager::ReadExposureBack(bool driverCamera)
{
    int exposure = m_cur.exposureTime;
    if (driverCamera) {
        float row = 1.0f;
        m_pDevice->GetRowTime(&row);
        m_rowTime = row > 0.0f ? row : 1.0f;
    }
    m_pDevice->GetExposureTime(&exposure);
    {
        CSingleLock lock(&m_exposureLock, TRUE);
        m_cur.exposureTime = exposure ? exposure : 1;
        m_param.exposureChanged = 0;
    }
    m_cur.exposureStep = m_pDevice->ExposureToStep(static_cast<unsigned>(exposure) / 1000);
    if (driverCamera)
        m_cur.exposureLines = ExposureLines(exposure, m_rowTime);
}

void CCameraManager::ReadGainBack()
{
    short gain = static_cast<short>(m_cur.gain);
    m_pDevice->GetAnalogGain(&gain);
    m_cur.gain = gain;
    m_cur.gainStep = m_pDevice->GainToStep(gain);
    m_cur.gainFactor = m_pDevice->GainRegisterToFactor(gain);
}

// --- lists and resolutions -------------------------------------------------------------------

int CCameraManager::Registerpixclk(HWND comboBox)
{
    REQUIRE_DEVICE();
    return m_pDevice->FillFrameSpeedList(comboBox);
}

int CCameraManager::Registerpixel(HWND comboBox, int previewList)
{
    REQUIRE_DEVICE();
    const int result = m_pDevice->FillResolutionList(comboBox, previewList);
    // A list filled later keeps the counts current; the preview list knows nothing of
    // the extra capture resolution, so it leaves the capture count alone.
    CameraParamInfo device;
    m_pDevice->GetParameterInfo(&device);
    m_info.previewResolutionCount = device.previewResolutionCount;
    if (!previewList)
        m_info.captureResolutionCount = device.captureResolutionCount;
    return result;
}

int CCameraManager::SetResPreview(int index)
{
    REQUIRE_DEVICE();
    CameraMgrParam& p = m_param;
    const int product = m_info.productIndex;
    const int lastCapture = m_info.captureResolutionCount - 1;
    p.ResPreview = static_cast<BYTE>(index);
    if (p.ResLock) {
        if (p.sensorKind != SENSOR_KIND_THIRD) {
            p.ResCapture = p.ResPreview;
        } else if (AnyOf(product, {28, 34, 35})) {
            p.ResPreview = 0;
        } else if (product == 29) {
            p.ResCapture = 1;
        } else if (!(m_info.Feature(FEATURE_EXTRA_RESOLUTION) && p.ResCapture == lastCapture)) {
            p.ResCapture = static_cast<BYTE>(index);
        }
    }
    if (p.cameraType == CAMERA_TYPE_CAMDRVG && p.ResPreview == 1)
        p.longExposure = 0;
    if (AnyOf(product, {2, 3, 5})) {
        m_pDevice->GetFrameSpeed(&m_cur.HDFrameSpeed);
        if (p.ResPreview == 0 && product != 5)
            SetFrameSpeed(1);
    } else if (AnyOf(product, {17, 24})) {
        m_pDevice->GetFrameSpeed(&m_cur.HDFrameSpeed);
        if ((p.ResPreview == 0 && m_cur.HDFrameSpeed == 0) || (p.ResPreview != 0 && m_cur.HDFrameSpeed == 1))
            SetFrameSpeed(1);
    }
    m_pDevice->SetResolution(p.ResPreview + (product == 33 ? 3 : 0));
    if (product == 5 && p.ResPreview == 0 && m_cur.HDFrameSpeed == 0)
        m_pDevice->SetFrameSpeed(1);
    return CAM_OK;
}

int CCameraManager::SetResCapture(int index)
{
    REQUIRE_DEVICE();
    CameraMgrParam& p = m_param;
    const int product = m_info.productIndex;
    p.ResCapture = static_cast<BYTE>(index);
    if (!p.ResLock)
        return CAM_OK;
    if (AnyOf(product, {28, 34, 35}))
        return CAM_OK;
    if (product == 29) {
        p.ResCapture = 1;
    } else if (m_info.Feature(FEATURE_EXTRA_RESOLUTION) && index == m_info.captureResolutionCount - 1) {
        if (p.sensorKind != SENSOR_KIND_THIRD)
            p.ResPreview = 0;
    } else {
        p.ResPreview = static_cast<BYTE>(index);
    }
    if (p.cameraType == CAMERA_TYPE_CAMDRVG && p.ResPreview == 1)
        p.longExposure = 0;
    if (AnyOf(product, {2, 3})) {
        m_pDevice->GetFrameSpeed(&m_cur.HDFrameSpeed);
        if (p.ResPreview == 0)
            SetFrameSpeed(1);
    } else if (AnyOf(product, {17, 24})) {
        m_pDevice->GetFrameSpeed(&m_cur.HDFrameSpeed);
        if ((p.ResPreview == 0 && m_cur.HDFrameSpeed == 0) || (p.ResPreview != 0 && m_cur.HDFrameSpeed == 1))
            SetFrameSpeed(1);
    }
    if (!AnyOf(product, {28, 29, 33, 34, 35}))
        m_pDevice->SetResolution(p.ResPreview);
    return CAM_OK;
}

int CCameraManager::SetResLockState(int lock)
{
    REQUIRE_DEVICE();
    if (m_info.Feature(FEATURE_RES_LOCK)) {
        m_param.ResLock = lock;
        if (lock)
            m_param.ResCapture = m_param.ResPreview;
    }
    return CAM_OK;
}

int CCameraManager::SetLongExposureState(int on)
{
    REQUIRE_DEVICE();
    m_pDevice->UpdateExposureRange(&m_info, on);
    m_param.longExposure = on;
    return CAM_OK;
}

int CCameraManager::SetAELock(int lock)
{
    m_param.aeLock = lock;
    return CAM_OK;
}

// --- exposure ---------------------------------------------------------------------------------

int CCameraManager::SetAeState(int on)
{
    REQUIRE_DEVICE();
    const bool driverCamera = m_param.mode == 0;
    m_cur.aeOn = on;
    m_pDevice->SetAeState(on);
    // The device's own exposure rules from now on: nothing is left to apply.
    if (on)
        m_param.exposureChanged = 0;
    if (!on) {
        int raw = 0;
        m_pDevice->GetExposureTime(&raw);
        ReadExposureBack(driverCamera);
        if (driverCamera && raw == 0)
            m_pDevice->SetExposureTime(0);
        ReadGainBack();
    }
    if (m_param.sensorKind == SENSOR_KIND_THIRD &&
        !AnyOf(m_info.productIndex, {28, 29, 32, 35, 37, 38}))
        m_param.autoLevels[m_param.showChannel & 3] = on;
    return CAM_OK;
}

int CCameraManager::SetAeTarget(int target)
{
    REQUIRE_DEVICE();
    m_cur.aeTarget = std::max(m_info.aeTargetMin, std::min(m_info.aeTargetMax, target));
    return m_pDevice->SetAeTarget(target);
}

int CCameraManager::SetExposureTimeMS(int microseconds, int apply)
{
    REQUIRE_DEVICE();
    if (m_cur.aeOn || m_bGainTransformActive)
        return CAM_ERR_NO_DEVICE;
    const bool driverCamera = m_param.mode == 0;
    const int exposure = microseconds ? microseconds : 1;
    if (driverCamera) {
        float row = 1.0f;
        m_pDevice->GetRowTime(&row);
        m_rowTime = row > 0.0f ? row : 1.0f;
    }
    {
        CSingleLock lock(&m_exposureLock, TRUE);
        if (microseconds != m_cur.exposureTime)
            m_param.exposureChanged = 1;
        m_cur.exposureTime = exposure;
    }
    m_cur.exposureStep = m_pDevice->ExposureToStep(static_cast<unsigned>(microseconds) / 1000);
    if (!apply)
        return CAM_OK;
    int result;
    if (!driverCamera) {
        result = m_pDevice->SetExposureTime(microseconds);
    } else {
        m_cur.exposureLines = ExposureLines(microseconds, m_rowTime);
        result = m_pDevice->SetExposureTime(microseconds / 1000);
        m_frameReceived = 0;
        if (m_param.longExposure && m_runState != RUN_STOPPED) {
            StopPreview(1);
            StartPreview();
        }
    }
    m_param.exposureChanged = 0;
    return result;
}

int CCameraManager::SetExposureLineTime(int lines)
{
    REQUIRE_DEVICE();
    if (m_cur.aeOn || m_bGainTransformActive)
        return CAM_ERR_NO_DEVICE;
    if (m_param.mode == 1)
        return CAM_OK;
    float row = 1.0f;
    m_pDevice->GetRowTime(&row);
    m_rowTime = row > 0.0f ? row : 1.0f;
    m_cur.exposureLines = lines;
    {
        CSingleLock lock(&m_exposureLock, TRUE);
        m_cur.exposureTime = static_cast<int>(lines * static_cast<double>(m_rowTime));
        m_param.exposureChanged = 0;
    }
    m_cur.exposureStep = m_pDevice->ExposureToStep(static_cast<unsigned>(m_cur.exposureTime) / 1000);
    int result = m_pDevice->SetExposureLines(lines);
    if (m_param.longExposure)
        result = m_pDevice->RestartLongExposure(0);
    return result;
}

int CCameraManager::SetExposureValue(int step)
{
    REQUIRE_DEVICE();
    m_cur.exposureStep = step;
    return SetExposureTimeMS(m_pDevice->StepToExposure(step) * 1000, 1);
}

int CCameraManager::ValueToTime(int* milliseconds, int value)
{
    REQUIRE_DEVICE();
    if (!milliseconds)
        return CAM_ERR_RANGE;
    *milliseconds = 1;
    if (m_param.sensorKind == SENSOR_KIND_CCD || AnyOf(m_info.productIndex, {11, 12, 13}))
        *milliseconds = m_pDevice->StepToExposure(value);
    return CAM_OK;
}

int CCameraManager::TimeToValue(int* value, int milliseconds)
{
    REQUIRE_DEVICE();
    if (!value)
        return CAM_ERR_RANGE;
    *value = 1;
    if (m_param.sensorKind == SENSOR_KIND_CCD || AnyOf(m_info.productIndex, {11, 12, 13}))
        *value = m_pDevice->ExposureToStep(milliseconds);
    return CAM_OK;
}

int CCameraManager::ReStartLongExpTime()
{
    REQUIRE_DEVICE();
    if (m_param.mode == 1) {
        m_frameReceived = 0;
        if (!m_param.longExposure)
            return CAM_OK;
        Sleep(100);
        return m_pDevice->RestartLongExposure(0);
    }
    if (m_param.sensorKind == SENSOR_KIND_CCD && m_runState != RUN_STOPPED) {
        StopPreview(1);
        const int result = m_pDevice->RestartLongExposure(0);
        StartPreview();
        return result;
    }
    return m_pDevice->RestartLongExposure(0);
}

// --- gain ---------------------------------------------------------------------------------------

int CCameraManager::SetAnalogGain(int gain)
{
    REQUIRE_DEVICE();
    m_cur.gain = gain;
    m_cur.gainStep = m_pDevice->GainToStep(gain);
    m_cur.gainFactor = m_pDevice->GainRegisterToFactor(gain);
    return m_pDevice->SetAnalogGain(gain);
}

int CCameraManager::SetISO(int step)
{
    REQUIRE_DEVICE();
    const int gain = m_pDevice->StepToGain(step);
    m_pDevice->SetAnalogGain(gain);
    m_cur.gainStep = step;
    m_cur.gain = gain;
    m_cur.gainFactor = m_pDevice->GainRegisterToFactor(gain);
    return CAM_OK;
}

int CCameraManager::SetGainValue(int factor)
{
    REQUIRE_DEVICE();
    const int gain = m_pDevice->GainFactorToRegister(factor);
    m_cur.gainFactor = factor;
    m_cur.gain = gain;
    m_cur.gainStep = m_pDevice->GainToStep(gain);
    return m_pDevice->SetAnalogGain(gain);
}

int CCameraManager::GetRowTime(float* rowTime)
{
    REQUIRE_DEVICE();
    if (!rowTime)
        return CAM_ERR_RANGE;
    return m_pDevice->GetRowTime(rowTime);
}

int CCameraManager::TransformGainExposure(int on)
{
    REQUIRE_DEVICE();
    const int type = m_param.cameraType;
    const bool tenthDecibelFamily = type == CAMERA_TYPE_CAMDRVA || type == CAMERA_TYPE_CAMDRVB;
    if (m_param.sensorKind == SENSOR_KIND_CMOS && !tenthDecibelFamily)
        return CAM_ERR_NO_DEVICE;
    if (m_cur.aeOn)
        return CAM_ERR_NO_DEVICE;
    if (on) {
        if (m_bGainTransformActive)
            return CAM_ERR_NO_DEVICE;
        const int gain = HalvedGainRegister(m_cur.gain, tenthDecibelFamily);
        if (gain < m_info.gainRegisterMin)
            return CAM_ERR_NO_DEVICE;
        m_savedExposure = m_cur.exposureTime;
        m_savedGainRegister = m_cur.gain;
        SetAnalogGain(std::max(1, gain));
        SetExposureTimeMS(m_savedExposure * 2, 1);
        Sleep(200);
        m_bGainTransformActive = TRUE;
        return CAM_OK;
    }
    if (!m_bGainTransformActive)
        return CAM_ERR_NO_DEVICE;
    m_bGainTransformActive = FALSE;
    SetAnalogGain(m_savedGainRegister);
    SetExposureTimeMS(m_savedExposure, 1);
    Sleep(200);
    return CAM_OK;
}

void CCameraManager::EndGainTransform()
{
    if (m_bGainTransformActive && m_pDevice)
        TransformGainExposure(0);
    m_bGainTransformActive = FALSE;
}

// --- white and black balance, channel gains -----------------------------------------------------

// Waits for the device to finish a white-balance or flat-field calculation.
int CCameraManager::PollDevice(bool flatField)
{
    const DWORD start = GetTickCount();
    for (;;) {
        int busy = 0, result = 0;
        if (flatField)
            m_pDevice->GetCalcFlatFieldingState(&busy, &result);
        else
            m_pDevice->GetAWBStateResult(&busy, &result);
        if (!busy)
            return result == 1 ? CAM_OK : CAM_ERR_NO_DEVICE;
        if (GetTickCount() - start >= s_pollTimeout)
            return CAM_ERR_NO_DEVICE;
        Sleep(10);
    }
}

int CCameraManager::SetAWBState(int mode)
{
    REQUIRE_DEVICE();
    const int product = m_info.productIndex;
    int result = CAM_OK;
    if (m_param.mode == 1) {
        COptionalLock lock(m_pProcessLock);
        BYTE* processing = m_buffers[BUF_PROCESSING];
        if (m_param.sensorKind == SENSOR_KIND_THIRD || m_param.cameraType == CAMERA_TYPE_CORE_B ||
            AnyOf(product, {29, 32, 33})) {
            if (TogglesWhiteBalance(product) || m_param.cameraType == CAMERA_TYPE_CORE_B) {
                BYTE one = 1;
                m_cur.HDAutoWB = mode ? 1 : 0;
                result = m_pDevice->CalcWhiteBalance(mode ? &one : nullptr, nullptr);
            } else if (m_cur.HDAutoWB) {
                m_pDevice->SetGain(m_cur.redGain, m_cur.greenGain, m_cur.blueGain);
            } else {
                result = m_pDevice->CalcWhiteBalance(processing, nullptr);
            }
        } else {
            // The device's answer is the caller's: a balance it could not take is a failure.
            result = m_pDevice->CalcWhiteBalance(processing, nullptr);
        }
    } else {
        m_pDevice->SetAWBState(mode);
        result = PollDevice(false);
    }
    ReadChannelGains();
    m_pDevice->GetColorTemperature(&m_cur.colorTemperature);
    return result;
}

int CCameraManager::SetABBState()
{
    REQUIRE_DEVICE();
    // The devices balance black on their own; the manager only takes the new gains.
    m_pDevice->GetGain(&m_cur.redGain, &m_cur.greenGain, &m_cur.blueGain);
    return CAM_OK;
}

int CCameraManager::SetAreaWBState(const RECT* area)
{
    REQUIRE_DEVICE();
    if (!area)
        return CAM_ERR_RANGE;
    const int width = m_frameWidth, height = m_frameHeight;
    // Without a drawing window the rectangle is taken as frame pixels.
    RECT r = *area;
    if (!DrawWindowHandle())
        ClampToFrame(&r);
    else if (!MapWindowRectToFrame(area, &r))
        return CAM_ERR_NO_DEVICE;
    if (r.right - r.left <= 1 || r.bottom - r.top <= 1 || !m_buffers[BUF_WORKING])
        return CAM_ERR_NO_DEVICE;

    if (m_param.mode == 1) {
        COptionalLock lock(m_pProcessLock);
        const int result = m_pDevice->CalcWhiteBalance(m_buffers[BUF_PROCESSING], &r);
        ReadChannelGains();
        return result;
    }

    const int savedEnhancement = m_cur.colorEnhancement, savedGamma = m_cur.gamma;
    const int savedContrast = m_cur.contrast;
    const int savedRed = m_cur.redGain, savedGreen = m_cur.greenGain, savedBlue = m_cur.blueGain;
    const bool wasLive = m_runState != RUN_STOPPED;
    StopPreview(1);
    m_pDevice->SetGain(64, 64, 64);
    m_pDevice->SetColorEnhancement(0);
    m_pDevice->SetGamma(100);
    m_pDevice->SetContrast(0);
    m_pDevice->Decode(m_buffers[BUF_WORKING], m_buffers[BUF_DECODED], width, height, 1);
    const BYTE* pixels = m_buffers[BUF_DECODED];
    INT64 sum[3] = {0, 0, 0};
    for (int y = r.top; y < r.bottom; ++y) {
        const BYTE* row = pixels + (static_cast<INT64>(y) * width + r.left) * 3;
        for (int x = r.left; x < r.right; ++x, row += 3)
            for (int c = 0; c < 3; ++c)
                sum[c] += row[c];
    }
    const INT64 count = static_cast<INT64>(r.right - r.left) * (r.bottom - r.top);
    const int blue = static_cast<int>(sum[0] / count), green = static_cast<int>(sum[1] / count);
    const int red = static_cast<int>(sum[2] / count);
    if (!blue || !green || !red) {
        if (wasLive)
            StartPreview();
        m_pDevice->SetGain(savedRed, savedGreen, savedBlue);
        m_pDevice->SetColorEnhancement(savedEnhancement);
        m_pDevice->SetGamma(savedGamma);
        m_pDevice->SetContrast(savedContrast);
        return CAM_ERR_NO_DEVICE;
    }
    const int m = 64 * std::max(red, std::max(green, blue));
    SetGain(std::min(m / red, m_info.redGainMax), std::min(m / green, m_info.greenGainMax),
            std::min(m / blue, m_info.blueGainMax));
    m_pDevice->SetColorEnhancement(savedEnhancement);
    m_pDevice->SetGamma(savedGamma);
    m_pDevice->SetContrast(savedContrast);
    if (wasLive)
        StartPreview();
    return CAM_OK;
}

int CCameraManager::SetGain(int red, int green, int blue)
{
    REQUIRE_DEVICE();
    const int product = m_info.productIndex;
    const bool thirdKind = m_param.sensorKind == SENSOR_KIND_THIRD;
    m_cur.redGain = static_cast<WORD>(red);
    m_cur.greenGain = static_cast<WORD>(green);
    m_cur.blueGain = static_cast<WORD>(blue);
    if (thirdKind && m_cur.HDAutoWB) {
        m_cur.HDAutoWB = 0;
        m_pDevice->CalcWhiteBalance(nullptr, nullptr);
    }
    m_pDevice->SetGain(m_cur.redGain, m_cur.greenGain, m_cur.blueGain);
    if (thirdKind && !AnyOf(product, {28, 32, 33, 34, 35, 37, 38})) {
        BYTE one = 1;
        m_pDevice->CalcWhiteBalance(m_cur.HDAutoWB ? &one : nullptr, nullptr);
        ReadChannelGains();
    }
    if ((product == 32 || product == 33) && !m_cur.HDAutoWB)
        m_pDevice->CalcWhiteBalance(nullptr, nullptr);
    return CAM_OK;
}

int CCameraManager::SetColorTemperature(int step)
{
    REQUIRE_DEVICE();
    m_cur.colorTemperature = step;
    m_pDevice->SetColorTemperature(step);
    m_pDevice->GetGain(&m_cur.redGain, &m_cur.greenGain, &m_cur.blueGain);
    return CAM_OK;
}

int CCameraManager::GetColorTemperature(int* step)
{
    REQUIRE_DEVICE();
    if (!step)
        return CAM_ERR_RANGE;
    m_pDevice->GetColorTemperature(step);
    m_cur.colorTemperature = *step;
    return CAM_OK;
}

// --- picture ------------------------------------------------------------------------------------

int CCameraManager::SetGamma(int gamma)
{
    REQUIRE_DEVICE();
    m_cur.gamma = gamma;
    m_cur.gammaValue = m_param.sensorKind == SENSOR_KIND_THIRD ? gamma : m_pDevice->RegisterToGamma(gamma);
    return m_pDevice->SetGamma(gamma);
}

int CCameraManager::SetGammaValue(int display)
{
    REQUIRE_DEVICE();
    m_cur.gammaValue = display;
    m_cur.gamma = m_param.sensorKind == SENSOR_KIND_THIRD ? display : m_pDevice->GammaToRegister(display);
    return m_pDevice->SetGamma(m_cur.gamma);
}

int CCameraManager::SetSaturation(int saturation)
{
    REQUIRE_DEVICE();
    m_cur.saturation = saturation;
    m_cur.saturationValue = m_param.sensorKind == SENSOR_KIND_THIRD
                                ? saturation : m_pDevice->RegisterToSaturation(saturation, m_param.mode);
    return m_pDevice->SetSaturation(saturation);
}

int CCameraManager::SetSaturationValue(int display)
{
    REQUIRE_DEVICE();
    m_cur.saturationValue = display;
    m_cur.saturation = m_param.sensorKind == SENSOR_KIND_THIRD
                           ? display : m_pDevice->SaturationToRegister(display, m_param.mode);
    return m_pDevice->SetSaturation(m_cur.saturation);
}

int CCameraManager::SetContrast(int contrast)
{
    REQUIRE_DEVICE();
    m_cur.contrast = contrast;
    m_cur.contrastValue = m_param.sensorKind == SENSOR_KIND_THIRD
                              ? contrast : m_pDevice->RegisterToContrast(contrast, m_param.mode);
    return m_pDevice->SetContrast(contrast);
}

int CCameraManager::SetContrastValue(int display)
{
    REQUIRE_DEVICE();
    m_cur.contrastValue = display;
    m_cur.contrast = m_param.sensorKind == SENSOR_KIND_THIRD
                         ? display : m_pDevice->ContrastToRegister(display, m_param.mode);
    return m_pDevice->SetContrast(m_cur.contrast);
}

int CCameraManager::SetColorEnhancement(int on)
{
    REQUIRE_DEVICE();
    m_cur.colorEnhancement = on;
    return m_pDevice->SetColorEnhancement(on);
}

int CCameraManager::SetMirror(int axis, int on)
{
    REQUIRE_DEVICE();
    if (axis != 0 && axis != 1)
        return CAM_ERR_RANGE;
    m_cur.mirror[axis] = on;
    return m_pDevice->SetMirror(axis, on);
}

int CCameraManager::SetMonochrome(int on)
{
    REQUIRE_DEVICE();
    m_cur.monochrome = on;
    return m_pDevice->SetMonochrome(on);
}

int CCameraManager::SetBlackLevel(int level)
{
    REQUIRE_DEVICE();
    m_cur.blackLevel = level;
    return m_pDevice->SetBlackLevel(level);
}

int CCameraManager::SetDataWide(int on)
{
    REQUIRE_DEVICE();
    if (on && m_cur.HDFrameSpeed < 2) {
        const int product = m_info.productIndex;
        SetFrameSpeed(m_param.cameraType == CAMERA_TYPE_CAMDRVC ? 3
                      : AnyOf(product, {14, 15, 25, 36}) ? 1 : 2);
        Sleep(600);
    }
    m_cur.dataWide = on;
    return m_pDevice->SetDataWide(on);
}

int CCameraManager::SetFrameSpeed(int speed)
{
    REQUIRE_DEVICE();
    CCameraDevice& d = *m_pDevice;
    const int product = m_info.productIndex;
    const auto dataWideOffBelow2 = [this, &d]() {
        if (m_cur.dataWide && m_cur.HDFrameSpeed < 2) {
            m_cur.dataWide = 0;
            d.SetDataWide(0);
        }
    };
    if (m_param.mode == 1) {
        if (AnyOf(product, {28, 29, 35})) {
            d.SetResolution(speed ? 0 : 1);
            m_cur.HDFrameSpeed = speed ? 1 : 0;
            return CAM_OK;
        }
        if ((product == 2 || product == 5) && m_param.ResPreview == 0 && speed == 0) {
            if (product == 2)
                return CAM_ERR_NO_DEVICE;
            m_cur.HDFrameSpeed = 0;
            d.SetFrameSpeed(1);
        } else if (product == 24 && m_param.ResPreview == 0 && speed == 0) {
            m_cur.HDFrameSpeed = 1;
            d.SetFrameSpeed(1);
        } else {
            m_cur.HDFrameSpeed = static_cast<BYTE>(speed);
            d.SetFrameSpeed(speed);
        }
        dataWideOffBelow2();
        d.UpdateExposureRange(&m_info, m_param.longExposure);
        ReadExposureBack(false);
        return CAM_OK;
    }
    int mapped = speed;
    if (m_param.cameraType == CAMERA_TYPE_CAMDRVC && speed > 1)
        mapped = 3;
    if (AnyOf(product, {2, 3, 5}))
        mapped = speed < 2 ? 1 : 2;
    if ((product == 2 || product == 3) && m_param.ResPreview == 0)
        mapped = 2;
    if (product == 8 && speed > 1)
        mapped = 5;
    m_cur.HDFrameSpeed = static_cast<BYTE>(std::min(mapped, 2));
    dataWideOffBelow2();
    d.SetFrameSpeed(mapped);
    ReadExposureBack(true);
    return CAM_OK;
}

int CCameraManager::SetLightFrquency(int value)
{
    REQUIRE_DEVICE();
    m_lightFrequency = value;
    return m_pDevice->SetLightFrequency(value);
}

int CCameraManager::SetB2RGBMode(int mode)
{
    REQUIRE_DEVICE();
    m_cur.b2rgbMode = static_cast<BYTE>(mode);
    return m_pDevice->SetB2RGBMode(mode);
}

int CCameraManager::SetShiftOperator(int value)
{
    REQUIRE_DEVICE();
    m_shiftOperator = value;
    return m_pDevice->SetShiftOperator(value);
}

int CCameraManager::GetShiftOperator(int* value)
{
    REQUIRE_DEVICE();
    if (!value)
        return CAM_ERR_RANGE;
    const int result = m_pDevice->GetShiftOperator(value);
    m_shiftOperator = *value;
    return result;
}

int CCameraManager::SetDenoise(int value)
{
    REQUIRE_DEVICE();
    m_cur.denoise = value;
    return m_pDevice->SetDenoise(value);
}

int CCameraManager::GetDenoise(int* value)
{
    REQUIRE_DEVICE();
    if (!value)
        return CAM_ERR_RANGE;
    const int result = m_pDevice->GetDenoise(value);
    m_cur.denoise = *value;
    return result;
}

int CCameraManager::SetSharpness(int value)
{
    REQUIRE_DEVICE();
    m_cur.sharpness = value;
    return m_pDevice->SetSharpness(value);
}

int CCameraManager::GetSharpness(int* value)
{
    REQUIRE_DEVICE();
    if (!value)
        return CAM_ERR_RANGE;
    const int result = m_pDevice->GetSharpness(value);
    m_cur.sharpness = *value;
    return result;
}

int CCameraManager::SetFilter(int on)
{
    REQUIRE_DEVICE();
    // A refusal is passed on and the stored filter stays as it was.
    const int result = m_pDevice->SetFilter(on);
    if (result == CAM_OK)
        m_cur.filter = on;
    return result;
}

// --- flat field and dead pixels -------------------------------------------------------------------

int CCameraManager::CalcFlatFielding()
{
    REQUIRE_DEVICE();
    int result;
    if (m_param.mode == 1) {
        {
            COptionalLock lock(m_pProcessLock);
            result = m_pDevice->CalcFlatfield(m_buffers[BUF_PROCESSING]) == CAM_OK ? CAM_OK
                                                                                   : CAM_ERR_NO_DEVICE;
        }
        if (result == CAM_OK)
            SetFlatFieldingState(1);
    } else {
        m_pDevice->CalcFlatFielding();
        result = PollDevice(true);
    }
    m_cur.flatField = result == CAM_OK;
    m_bFlatFieldCalculated = result == CAM_OK;
    return result;
}

int CCameraManager::SetFlatFieldingState(int on)
{
    REQUIRE_DEVICE();
    m_cur.flatField = on;
    return m_pDevice->SetFlatFieldingState(on);
}

int CCameraManager::CorrectionDead()
{
    REQUIRE_DEVICE();
    if (m_pDevice->CalcDefectCorrection() != CAM_OK)
        return CAM_FAILED;
    m_pDevice->SetDefectCorrectionState(1);
    m_deadPixelState = 1;
    return CAM_OK;
}

int CCameraManager::SetCorrectionDeadState(int on)
{
    REQUIRE_DEVICE();
    m_deadPixelState = on;
    m_info.featureFlags[FEATURE_DEAD_PIXEL - 1] = 1;
    return m_pDevice->SetDefectCorrectionState(on);
}

// --- fluorescence ---------------------------------------------------------------------------------

int CCameraManager::FluoSpeedupRes(int on)
{
    REQUIRE_DEVICE();
    if (m_info.productIndex != 25)
        return CAM_OK;
    if (on && !m_bFluoSpeedupOn) {
        m_bFluoSpeedupOn = TRUE;
        if (m_fluoResolution < 0)
            m_fluoResolution = m_param.ResPreview;
        int exposure = 0;
        m_pDevice->GetExposureTime(&exposure);
        const int r = m_fluoResolution - 3;
        const unsigned divisor = std::max(1, 4 * r * r);
        m_pDevice->SetExposureTime(static_cast<int>(static_cast<unsigned>(exposure) / divisor));
        m_pDevice->FluorescenceGuide(0, 1);
        m_pDevice->SetResolution(m_fluoResolution);
    } else if (!on && m_bFluoSpeedupOn) {
        m_bFluoSpeedupOn = FALSE;
        BYTE resolution = static_cast<BYTE>(m_param.ResPreview);
        m_pDevice->GetResolution(&resolution);
        m_fluoResolution = resolution;
        m_pDevice->SetResolution(1);
        m_pDevice->FluorescenceGuide(0, 2);
    }
    return CAM_OK;
}

int CCameraManager::SetFluorescenceDye(const DyeSettings* dye)
{
    REQUIRE_DEVICE();
    if (!dye)
        return CAM_ERR_RANGE;
    m_param.dye = *dye;
    return m_pDevice->SetDyeSettings(dye);
}

int CCameraManager::FluorescenceGuide(CWnd* guide, int step)
{
    // (none, 0) only withdraws the guide window, with or without a device.
    if (!guide && step == 0) {
        CSingleLock lock(&m_guideLock, TRUE);
        m_hGuideWnd = nullptr;
        return CAM_OK;
    }
    REQUIRE_DEVICE();
    {
        CSingleLock lock(&m_guideLock, TRUE);
        m_hGuideWnd = guide ? guide->GetSafeHwnd() : nullptr;
    }
    return m_pDevice->FluorescenceGuide(step, 1);
}

// --- all stored values at once --------------------------------------------------------------------

int CCameraManager::ApplyCurrentParameters()
{
    REQUIRE_DEVICE();
    CCameraDevice& d = *m_pDevice;
    const bool ccd = m_param.sensorKind == SENSOR_KIND_CCD;
    d.SetGamma(m_cur.gamma);
    d.SetContrast(m_cur.contrast);
    d.SetSaturation(m_cur.saturation);
    d.SetBlackLevel(m_cur.blackLevel);
    d.SetColorEnhancement(m_cur.colorEnhancement);
    d.SetMonochrome(m_cur.monochrome);
    d.SetFlatFieldingState(m_cur.flatField);
    d.SetMirror(0, m_cur.mirror[0]);
    Sleep(200);
    d.SetMirror(1, m_cur.mirror[1]);
    d.SetGain(m_cur.redGain, m_cur.greenGain, m_cur.blueGain);
    const auto applyExposure = [this, ccd, &d]() {
        if (ccd)
            m_cur.exposureTime = d.StepToExposure(m_cur.exposureStep) * 1000;
        SetExposureTimeMS(m_cur.exposureTime, 1);
    };
    applyExposure();
    if (m_param.cameraType != CAMERA_TYPE_CAMDRVC && m_info.productIndex != 9)
        SetFrameSpeed(m_cur.HDFrameSpeed);
    else if (m_cur.HDFrameSpeed > 1)
        d.SetFrameSpeed(3);
    d.SetDataWide(m_cur.dataWide);
    d.SetAeState(m_cur.aeOn);
    d.SetAeTarget(m_cur.aeTarget);
    applyExposure();
    d.SetAnalogGain(m_cur.gain);
    const int shown = m_param.showChannel;
    const int first = shown == 3 ? 0 : shown, last = shown == 3 ? 3 : shown;
    for (int c = first; c <= last; ++c) {
        d.SetAutoLevelsState(m_param.autoLevels[c], c);
        d.SetLevelsValues(m_param.levelsLow[c], m_param.levelsHigh[c], c);
    }
    d.SetGammaEx(m_param.gamma[shown & 3], shown);
    d.SetDyeSettings(&m_param.dye);
    // The team number reaches the device with the last-parameter block; saving a set
    // here would overwrite it.
    d.SetFilter(m_cur.filter);
    return CAM_OK;
}

// --- line approach --------------------------------------------------------------------------------

namespace {

const int kBand = 20;
const double kCannyLow = 50.0, kCannyHigh = 150.0;
const int kAperture = 3;
const double kRho = 1.0, kTheta = 0.0349065850;   // two degrees
const int kMinLength = 30;

int CallLineApproach(const BYTE* pixels, int width, int height, int x1, int y1, int x2, int y2,
                     POINT* out1, POINT* out2)
{
#ifdef QRC_HAVE_LINE_APPROACH
    LineApproachShell(pixels, width, height, 8, 3, x1, y1, x2, y2, out1, out2, kBand,
                      kCannyLow, kCannyHigh, kAperture, kRho, kTheta, kMinLength);
    return CAM_OK;
#else
    (void)pixels; (void)width; (void)height; (void)x1; (void)y1; (void)x2; (void)y2;
    (void)out1; (void)out2;
    return CAM_FAILED;
#endif
}

} // namespace

int CCameraManager::LineApproach(int x1, int y1, int x2, int y2, POINT* out1, POINT* out2)
{
    REQUIRE_DEVICE();
    if (!out1 || !out2)
        return CAM_ERR_RANGE;
    if (m_runState == RUN_STOPPED || !m_pFrameLock)
        return CAM_OK;
    StopPreview(1);
    const int width = m_frameWidth, height = m_frameHeight;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<BYTE> copy;
    {
        CSingleLock lock(m_pFrameLock, TRUE);
        const int result = m_pDevice->Decode(m_buffers[BUF_WORKING], m_buffers[BUF_DECODED],
                                             width, height, 1);
        const BYTE* pixels = m_buffers[BUF_DECODED];
        const bool record = m_param.mode == 1 && result != 5;
        int w = width, h = height;
        if (record) {
            orvbench::ImageRecord header;
            memcpy(&header, pixels, sizeof header);
            pixels += header.headerSize;
            if (header.width != width || header.height != height) {
                // Never read past the decoded frame.
                w = std::min(width, static_cast<int>(header.width));
                h = std::min(height, static_cast<int>(header.height));
            }
        }
        copy.assign(static_cast<size_t>(stride) * height, 0);
        for (int y = 0; y < h; ++y)
            memcpy(&copy[static_cast<size_t>(y) * stride], pixels + static_cast<size_t>(y) * w * 3,
                   static_cast<size_t>(w) * 3);
    }
    StartPreview();
    CallLineApproach(copy.data(), width, height, x1, y1, x2, y2, out1, out2);
    return CAM_OK;
}

int CCameraManager::LineApproachEx(const BYTE* bits, int width, int height, int x1, int y1,
                                   int x2, int y2, POINT* out1, POINT* out2)
{
    if (!bits || !out1 || !out2 || width <= 0 || height <= 0)
        return CAM_ERR_RANGE;
    CallLineApproach(bits, width, height, x1, y1, x2, y2, out1, out2);
    return CAM_OK;
}
