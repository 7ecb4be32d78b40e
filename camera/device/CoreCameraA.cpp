#include "camera/device/CoreCameraA.h"

#include "camera/device/CoreCameraList.h"
#include "camera/device/ProductPresets.h"
#include "external/zedodir/ZedOdir.h"

#include <algorithm>
#include <cstring>

namespace {

int LibOk(int result) { return result == 0 ? CAM_OK : CAM_FAILED; }

void AddComboText(HWND combo, const CString& text)
{
    if (combo)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(text)));
}

void SelectFirst(HWND combo)
{
    if (combo)
        SendMessageW(combo, CB_SETCURSEL, 0, 0);
}

}  // namespace

int LibraryImageFormat(int pictureType)
{
    switch (pictureType) {
    case CAPTURE_TYPE_BMP: return ZEDODIR_FORMAT_BMP;
    case CAPTURE_TYPE_RAW: return ZEDODIR_FORMAT_RAW;
    case CAPTURE_TYPE_TIFF: return ZEDODIR_FORMAT_TIFF;
    default: return ZEDODIR_FORMAT_JPEG;
    }
}

CCoreCameraA::CCoreCameraA() : CCoreCameraA(kZedOdirLibrary) {}

CCoreCameraA::CCoreCameraA(const CameraLibrary& library)
    : m_lib(library), m_receiveSize(0), m_showChannel(3), m_levelsReadBack(false)
{
    memset(m_histogram, 0, sizeof m_histogram);
    m_last.aeOn = 0;
    m_last.exposureTime = 33000;
    m_last.aeTarget = 100;
    m_last.gain = 1;
    m_last.gainStep = 1;
    m_last.exposureStep = 20;
    m_last.exposureLines = 1;
    m_last.gamma = 100;
    m_last.contrast = 128;
    m_last.saturation = 100;
    m_last.gainFactor = 1;
    m_last.blackLevel = 0;
    m_last.filter = 0;
}

CCoreCameraA::~CCoreCameraA() = default;

const char* CCoreCameraA::Dev()
{
    if (m_libraryNameOf != m_deviceName) {
        m_libraryNameOf = m_deviceName;
        m_libraryName = ToLibraryName(m_deviceName);
    }
    return m_libraryName.c_str();
}

// --- device state and formats ----------------------------------------------------

int CCoreCameraA::ResumeDevice(int)
{
    if (!m_resumed) {
        m_lib.GetResolutionCount(Dev());
        if (m_lib.ResumeDevice(Dev()) != 0)
            return CAM_FAILED;
        ::SetCooled(1, Dev());
        Sleep(400);
        m_resumed = 1;
    }
    return CAM_OK;
}

int CCoreCameraA::SuspendDevice()
{
    if (m_resumed) {
        ::SetCooled(0, Dev());
        if (m_lib.SuspendDevice(Dev()) != 0)
            return CAM_FAILED;
        m_resumed = 0;
    }
    return CAM_OK;
}

int CCoreCameraA::FillFrameSpeedList(HWND comboBox)
{
    const int count = GetPixelclockCount(Dev());
    m_last.HDFrameSpeed = BYTE(GetPixelclock(Dev()));
    const int product = m_info.productIndex;
    const int first = ((product == 5 && m_lib.GetResolution(Dev()) == 0) || product == 24) ? 1 : 0;
    for (int i = first; i < count; ++i) {
        CString name = FromLibraryName(GetPixclkItemName(i, Dev()));
        if (name == L"50HZ refresh rate")
            name = L"Normal";
        else if (name == L"60HZ refresh rate")
            name = L"High";
        AddComboText(comboBox, name);
    }
    SelectFirst(comboBox);
    return CAM_OK;
}

void CCoreCameraA::FillLibraryResolutions(HWND comboBox, int previewList)
{
    const int count = m_lib.GetResolutionCount(Dev());
    for (int i = 0; i < count; ++i)
        AddComboText(comboBox, FromLibraryName(m_lib.GetResItemName(i, Dev())));
    m_info.previewResolutionCount = count;
    m_info.captureResolutionCount = count;
    if (m_info.Feature(21) && !previewList) {
        AddComboText(comboBox, m_info.extraResolutionName);
        m_info.captureResolutionCount = count + 1;
    }
}

int CCoreCameraA::FillResolutionList(HWND comboBox, int previewList)
{
    const int product = m_info.productIndex;
    const wchar_t* only = nullptr;
    if (product == 27 && !previewList)
        only = L"3264X1836";
    else if (product == 28 || product == 34 || product == 35)
        only = L"1920X1080";
    else if (product == 29)
        only = L"2592*1932";
    else if (product == 33)
        only = L"2304*1728";
    if (only) {
        AddComboText(comboBox, reinterpret_cast<LPCWSTR>(only));
        const int count = m_lib.GetResolutionCount(Dev());
        m_info.previewResolutionCount = count;
        m_info.captureResolutionCount = count;
        if (m_info.Feature(21) && !previewList) {
            AddComboText(comboBox, m_info.extraResolutionName);
            m_info.captureResolutionCount = count + 1;
        }
    } else {
        FillLibraryResolutions(comboBox, previewList);
    }
    if (!previewList && product == 32) {
        AddComboText(comboBox, L"2304*1728-S");
    } else if (!previewList && product == 33) {
        AddComboText(comboBox, L"4608*3456");
    }
    SelectFirst(comboBox);
    return CAM_OK;
}

int CCoreCameraA::Init(CameraFrameCallback, int, HWND, HWND, int)
{
    GetDenoiseRange(&m_info.denoiseMin, &m_info.denoiseMax, Dev());
    UpdateExposureRange(&m_info, 0);
    GetSharpnessRange(&m_info.sharpnessMin, &m_info.sharpnessMax, Dev());
    GetShiftOperatorRange(&m_info.shiftOperatorMin, &m_info.shiftOperatorMax, Dev());
    GetColorTemperatureRange(&m_info.colorTemperatureMin, &m_info.colorTemperatureMax, Dev());
    int lo = 0, hi = 0;
    if (GetChannelGainRange(&lo, &hi, Dev()) == 0) {
        m_info.redGainMin = m_info.greenGainMin = m_info.blueGainMin = lo;
        m_info.redGainMax = m_info.greenGainMax = m_info.blueGainMax = hi;
    }
    m_lib.SetHistogramState(1, Dev());
    m_receiveSize = m_lib.RecvMemSize(Dev());
    try {
        m_receive.assign(size_t(std::max(m_receiveSize, 0)) * 3, 0);
    } catch (...) {
        return CAM_ERR_NO_MEMORY;
    }
    return m_resumed ? CAM_OK : CAM_FAILED;
}

int CCoreCameraA::UnInit()
{
    std::vector<BYTE>().swap(m_receive);
    return CAM_OK;
}

int CCoreCameraA::GetRecvBufferSize(int* size)
{
    if (size)
        *size = m_lib.RecvMemSize(Dev());
    return CAM_OK;
}

// --- frames --------------------------------------------------------------------------

int CCoreCameraA::GrabFrame(BYTE* frame)
{
    if (!m_receiveSize)
        m_receiveSize = m_lib.RecvMemSize(Dev());
    switch (m_lib.GetRawData(frame, m_receiveSize, Dev())) {
    case ZEDODIR_FRAME:
    case ZEDODIR_FRAME_TOO:
        return 1;
    case ZEDODIR_NO_FRAME:
        m_levelsReadBack = true;
        return 3;
    case ZEDODIR_OVEREXPOSED:
        Reexpose(frame);
        m_levelsReadBack = true;
        return 4;
    case ZEDODIR_NOTICE:
        return 5;
    case ZEDODIR_DEVICE_ERROR:
        return -9;
    default:
        return 0;
    }
}

void CCoreCameraA::Reexpose(const BYTE* frame)
{
    if (!frame)
        return;
    orvbench::RawFrameHeader hd;
    memcpy(&hd, frame, sizeof hd);
    if (hd.magic != orvbench::kRawFrameMagic || (hd.depth != 8 && hd.depth != 16))
        return;
    const long count = long(hd.width) * hd.height;
    long bins[256] = {0};
    const BYTE* px = frame + hd.headerSize;
    for (long i = 0; i < count; ++i)
        bins[hd.depth == 8 ? px[i] : px[2 * i + 1]]++;
    const long q = count / 1000;
    long running = 0;
    int i = 255;
    for (; i > 0; --i) {
        running += bins[i];
        if (running > 5 * q)
            break;
    }
    long total = 0, sum = 0;
    for (int b = i; b >= 0; --b) {
        total += bins[b];
        sum += long(b) * bins[b];
        if (total < 250 * q)
            break;
    }
    // A black frame has no mean to scale by: keep the exposure as it is.
    if (total <= 0 || sum / total == 0)
        return;
    double exposure = m_lib.GetExposure(Dev()) * 150.0 / double(sum / total);
    m_lib.SetExposure(float(exposure), Dev());
    ::ResetDevice(Dev());
}

void CCoreCameraA::AfterDecode(BYTE* image, int rgbOut, bool readBack, bool tint)
{
    orvbench::ImageRecord rec;
    memcpy(&rec, image, sizeof rec);
    BYTE* px = image + rec.headerSize;
    rec.data = px;
    const orvbench::HistogramBlock* blocks = orvbench::ImageHistograms(rec);
    const int block = m_showChannel == 3 ? 0 : m_showChannel + 1;
    memcpy(m_histogram, blocks[block].counts, sizeof m_histogram);
    LevelsRecord& lv = m_levels[m_showChannel];
    if (lv.autoOn) {
        lv.low = blocks[block].low;
        lv.high = blocks[block].high;
    } else if (readBack && m_levelsReadBack) {
        int low = 0, high = 255, state = 0;
        if (GetStretchEx(&low, &high, &state, m_showChannel == 3 ? 1 : m_showChannel, Dev()) == 0) {
            lv.low = low;
            lv.high = high;
        }
        m_levelsReadBack = false;
    }

    const size_t n = size_t(rec.width) * rec.height;
    const int ch = rec.channels, bytes = rec.bits / 8;
    const bool dye = tint && m_dye.ApplyDye;
    auto sample = [&](size_t pixel, int c) -> unsigned {
        const BYTE* p = px + (pixel * ch + c) * bytes;
        return bytes == 2 ? unsigned(p[0] | (p[1] << 8)) : p[0];
    };
    // The channel a tint is taken from: red, or green when green is the brighter.
    int source = 0;
    if (ch == 3 && dye) {
        unsigned long long s1 = 0, s2 = 0;
        for (size_t i = 0; i < n; ++i) {
            s1 += sample(i, 1);
            s2 += sample(i, 2);
        }
        source = s1 > s2 ? 1 : 2;
    }
    if (rgbOut) {
        if (ch == 3 && !dye && bytes == 1)
            return;
        // In place: the output never runs ahead of the input when filled from the end
        // (one-channel images grow), or from the start (three-channel images shrink).
        auto convert = [&](size_t i) {
            unsigned v = sample(i, ch == 3 ? source : 0) >> (bytes == 2 ? 8 : 0);
            BYTE out[3];
            if (dye) {
                out[0] = BYTE(m_dye.B * v * 0.003921569);
                out[1] = BYTE(m_dye.G * v * 0.003921569);
                out[2] = BYTE(m_dye.R * v * 0.003921569);
            } else if (ch == 1) {
                out[0] = out[1] = out[2] = BYTE(v);
            } else {
                for (int c = 0; c < 3; ++c)
                    out[c] = BYTE(sample(i, c) >> (bytes == 2 ? 8 : 0));
            }
            memcpy(px + i * 3, out, 3);
        };
        if (ch == 1)
            for (size_t i = n; i-- > 0;)
                convert(i);
        else
            for (size_t i = 0; i < n; ++i)
                convert(i);
        rec.bits = 8;
        rec.channels = 3;
    } else if (dye) {
        auto tintPixel = [&](size_t i) {
            unsigned v = sample(i, ch == 3 ? source : 0);
            if (bytes == 1) {
                BYTE out[3] = {BYTE(m_dye.B * v * 0.003921569), BYTE(m_dye.G * v * 0.003921569),
                               BYTE(m_dye.R * v * 0.003921569)};
                memcpy(px + i * 3, out, 3);
            } else {
                v >>= 4;
                uint16_t out[3] = {uint16_t(unsigned(m_dye.B * v * 0.003921569) << 4),
                                   uint16_t(unsigned(m_dye.G * v * 0.003921569) << 4),
                                   uint16_t(unsigned(m_dye.R * v * 0.003921569) << 4)};
                memcpy(px + i * 6, out, 6);
            }
        };
        if (ch == 1)
            for (size_t i = n; i-- > 0;)
                tintPixel(i);
        else
            for (size_t i = 0; i < n; ++i)
                tintPixel(i);
        rec.channels = 3;
    } else {
        return;
    }
    rec.data = px;
    memcpy(image, &rec, sizeof rec);
}

int CCoreCameraA::Decode(BYTE* raw, BYTE* image, int, int, int rgbOut)
{
    if (!raw || !image || m_lib.DecodeRaw2Image(raw, image, Dev()) != 0)
        return CAM_FAILED;
    AfterDecode(image, rgbOut, true, true);
    return CAM_OK;
}

int CCoreCameraA::CaptureFile(LPCWSTR path, int pictureType, int quality)
{
    m_lib.SetImageFormat(LibraryImageFormat(pictureType), Dev());
    return LibOk(m_lib.SaveImage(path, quality, Dev()));
}

int CCoreCameraA::GetImageSize(int* width, int* height)
{
    return LibOk(m_lib.GetRawSize(width, height, Dev()));
}

int CCoreCameraA::SaveFile(LPCWSTR path, BYTE* data, int pictureType)
{
    const int format = LibraryImageFormat(pictureType);
    m_lib.SetImageFormat(format, Dev());
    return LibOk(m_lib.SaveFile(path, data, format, Dev()));
}

int CCoreCameraA::ResizeImage(BYTE* source, BYTE* target, int width, int height)
{
    return LibOk(m_lib.ResizeImage(source, target, width, height, Dev()));
}

// --- exposure, white balance, gain --------------------------------------------------

int CCoreCameraA::SetAeState(int on) { return LibOk(m_lib.SetAutoExposure(on, Dev())); }

int CCoreCameraA::GetAeState(int* on)
{
    BYTE v = 0;
    if (m_lib.GetAutoExposure(&v, Dev()) != 0)
        return CAM_FAILED;
    if (on)
        *on = v;
    return CAM_OK;
}

int CCoreCameraA::GetAWBState(int* state)
{
    BYTE v = 0;
    m_lib.GetWhiteBalance(&v, Dev());
    if (state)
        *state = v;
    return CAM_OK;
}

int CCoreCameraA::ResetChannelGains()
{
    return LibOk(m_lib.SetChannelGain(m_last.defaultBlueGain, m_last.defaultGreenGain,
                                      m_last.defaultRedGain, Dev()));
}

int CCoreCameraA::CalcWhiteBalance(BYTE* mode, const RECT* rect)
{
    RECT copy;
    if (rect)
        copy = *rect;
    return m_lib.CalcWhiteBalance(mode, rect ? &copy : nullptr, Dev()) == 0 ? CAM_OK : CAM_ERR_NO_DEVICE;
}

int CCoreCameraA::GetImageIntensity(BYTE* image, int, int, const RECT* rect, int* intensity, int)
{
    if (!image || !rect || rect->right <= rect->left || rect->bottom <= rect->top)
        return CAM_ERR_ORDER;
    int value = 0;
    if (m_lib.GetImageIntensity(image, rect->left, rect->top, rect->right - rect->left,
                                rect->bottom - rect->top, &value, Dev()) != 0)
        return CAM_ERR_NO_DEVICE;
    if (intensity)
        *intensity = value;
    return CAM_OK;
}

int CCoreCameraA::SetAeTarget(int target) { return LibOk(m_lib.SetAETarget(target, Dev())); }
int CCoreCameraA::GetAeTarget(BYTE* target) { return LibOk(m_lib.GetAETarget(target, Dev())); }

// The library is handed the exposure plus one unit; reading it back takes the unit off
// again, so reading and re-applying an exposure leaves it where it was.
int CCoreCameraA::SetExposureTime(int microseconds)
{
    if (m_info.sensorKind == SENSOR_KIND_THIRD)
        return LibOk(m_lib.SetExposure(float(microseconds * 0.001), Dev()));
    return LibOk(m_lib.SetExposure(float(microseconds * 0.001 + ExposureUnit()), Dev()));
}

int CCoreCameraA::GetExposureTime(int* microseconds)
{
    double ms = m_lib.GetExposure(Dev());
    if (m_info.sensorKind != SENSOR_KIND_THIRD)
        ms -= ExposureUnit();
    if (microseconds)
        *microseconds = int(ms * 1000 + 0.5);
    return CAM_OK;
}

int CCoreCameraA::RestartLongExposure(int)
{
    return (ResetSupport(Dev()) == 0 && ::ResetDevice(Dev()) == 0) ? CAM_OK : CAM_FAILED;
}

int CCoreCameraA::SetAnalogGain(int gain)
{
    int lo = 0, hi = 0;
    m_lib.GetAnaloggainRange(&lo, &hi, Dev());
    return LibOk(m_lib.SetAnaloggain(lo + gain, Dev()));
}

int CCoreCameraA::GetAnalogGain(short* gain)
{
    int lo = 0, hi = 0;
    m_lib.GetAnaloggainRange(&lo, &hi, Dev());
    if (gain)
        *gain = short(m_lib.GetAnaloggain(Dev()) - lo);
    return CAM_OK;
}

int CCoreCameraA::SetBlackLevel(int level) { return LibOk(SetBlacklevel(level, Dev())); }
int CCoreCameraA::GetBlackLevel(int* level) { return LibOk(GetBlacklevel(level, Dev())); }

int CCoreCameraA::SetGain(int red, int green, int blue)
{
    return LibOk(m_lib.SetChannelGain(blue, green, red, Dev()));
}

int CCoreCameraA::GetGain(int* red, int* green, int* blue)
{
    int r = 0, g = 0, b = 0;
    if (m_lib.GetChannelGain(&b, &g, &r, Dev()) != 0)
        return CAM_FAILED;
    if (red) *red = r;
    if (green) *green = g;
    if (blue) *blue = b;
    return CAM_OK;
}

int CCoreCameraA::GetColorTemperature(int* step)
{
    // Answers 0 even with the value written: callers use the value, not the answer.
    ::GetColorTemperature(step, Dev());
    return CAM_FAILED;
}

int CCoreCameraA::SetColorTemperature(int step) { return LibOk(::SetColorTemperature(step, Dev())); }

// --- picture ------------------------------------------------------------------------

int CCoreCameraA::SetGamma(int gamma)
{
    if (m_info.sensorKind == SENSOR_KIND_THIRD)
        return LibOk(m_lib.SetGamma(gamma, Dev()));
    int result = CAM_OK;
    for (int c = 0; c < 3; ++c)
        if (m_lib.SetGammaEx(gamma, c, Dev()) != 0)
            result = CAM_FAILED;
    return result;
}

int CCoreCameraA::GetGamma(int* gamma)
{
    if (m_info.sensorKind == SENSOR_KIND_THIRD)
        return LibOk(m_lib.GetGamma(gamma, Dev()));
    return LibOk(m_lib.GetGammaEx(gamma, 1, Dev()));
}

int CCoreCameraA::SetSaturation(int saturation) { return LibOk(m_lib.SetSaturation(saturation, Dev())); }
int CCoreCameraA::GetSaturation(int* saturation) { return LibOk(m_lib.GetSaturation(saturation, Dev())); }
int CCoreCameraA::SetColorEnhancement(int on) { return LibOk(::SetColorEnhancement(on, Dev())); }
int CCoreCameraA::GetColorEnhancement(int* on) { return LibOk(::GetColorEnhancement(on, Dev())); }
int CCoreCameraA::SetDataWide(int on) { return LibOk(SetRawDepth(on ? 16 : 8, Dev())); }

int CCoreCameraA::GetDataWide(int* on)
{
    if (on)
        *on = GetRawDepth(Dev()) == 16 ? 1 : 0;
    return CAM_OK;
}

int CCoreCameraA::SetContrast(int contrast) { return LibOk(m_lib.SetContrast(contrast, Dev())); }

int CCoreCameraA::GetContrast(BYTE* contrast)
{
    int v = 0;
    if (m_lib.GetContrast(&v, Dev()) != 0)
        return CAM_FAILED;
    if (contrast)
        *contrast = BYTE(v);
    return CAM_OK;
}

int CCoreCameraA::SetMirror(int axis, int on)
{
    if (axis != 0 && axis != 1)
        return CAM_ERR_RANGE;
    int mask = 0;
    m_lib.GetFlip(&mask, Dev());
    const int bit = axis == 0 ? 1 : 2;
    mask = on ? (mask | bit) : (mask & ~bit);
    return LibOk(m_lib.SetFlip(mask, Dev()));
}

int CCoreCameraA::GetMirror(int axis, int* on)
{
    if (axis != 0 && axis != 1)
        return CAM_ERR_RANGE;
    int mask = 0;
    if (m_lib.GetFlip(&mask, Dev()) != 0)
        return CAM_FAILED;
    if (on)
        *on = (mask & (axis == 0 ? 1 : 2)) ? 1 : 0;
    return CAM_OK;
}

int CCoreCameraA::SetMonochrome(int on) { return LibOk(m_lib.SetMonochrome(on, Dev())); }
int CCoreCameraA::GetMonochrome(int* on) { return LibOk(m_lib.GetMonochrome(on, Dev())); }
int CCoreCameraA::SetFrameSpeed(int speed) { return LibOk(SetPixelclock(speed, Dev())); }

int CCoreCameraA::GetFrameSpeed(BYTE* speed)
{
    if (speed)
        *speed = BYTE(GetPixelclock(Dev()));
    return CAM_OK;
}

// --- corrections, resolution, parameter sets --------------------------------------

int CCoreCameraA::CalcDefectCorrection()
{
    if (::CalcDefectCorrection(Dev()) != 0)
        return CAM_FAILED;
    return LibOk(::SetDefectCorrectionState(1, Dev()));
}

int CCoreCameraA::SetDefectCorrectionState(int on) { return LibOk(::SetDefectCorrectionState(on, Dev())); }
int CCoreCameraA::GetDefectCorrectionState(int* on) { return LibOk(::GetDefectCorrectionState(on, Dev())); }
int CCoreCameraA::SetResolution(int index) { return LibOk(m_lib.SetResolution(index, Dev())); }

int CCoreCameraA::GetResolution(BYTE* index)
{
    if (index)
        *index = BYTE(m_lib.GetResolution(Dev()));
    return CAM_OK;
}

int CCoreCameraA::SaveParameter(int setNumber) { return LibOk(m_lib.SaveConfiguration(setNumber, Dev())); }
int CCoreCameraA::ReadParameter(int setNumber) { return LibOk(m_lib.LoadConfiguration(setNumber, Dev())); }
int CCoreCameraA::GetCurrentParameterTeam(BYTE* setNumber) { return LibOk(m_lib.GetCurrentConfiguration(setNumber, Dev())); }

int CCoreCameraA::CalcFlatfield(BYTE* frame)
{
    return LibOk(m_lib.CalcFlatfield(int(reinterpret_cast<INT_PTR>(frame)), 0, Dev()));
}

int CCoreCameraA::SetFlatFieldingState(int on) { return LibOk(m_lib.SetFlatfieldState(on, Dev())); }
int CCoreCameraA::GetFlatFieldingState(int* on) { return LibOk(m_lib.GetFlatfieldState(on, Dev())); }

// --- levels, channels, dye -----------------------------------------------------------

int CCoreCameraA::SetGammaEx(int value, int channel)
{
    if (!ValidChannel(channel))
        return CAM_ERR_RANGE;
    if (m_info.sensorKind == SENSOR_KIND_THIRD && m_info.productIndex != 32)
        return LibOk(m_lib.SetGamma(value, Dev()));
    if (channel != 3)
        return LibOk(m_lib.SetGammaEx(value, channel, Dev()));
    int result = CAM_OK;
    for (int c = 0; c < 3; ++c)
        if (m_lib.SetGammaEx(value, c, Dev()) != 0)
            result = CAM_FAILED;
    return result;
}

int CCoreCameraA::GetGammaEx(int* value, int channel)
{
    if (!ValidChannel(channel))
        return CAM_ERR_RANGE;
    int v = 100;
    int r = (m_info.sensorKind == SENSOR_KIND_THIRD && m_info.productIndex != 32)
                ? m_lib.GetGamma(&v, Dev())
                : m_lib.GetGammaEx(&v, channel == 3 ? 1 : channel, Dev());
    if (v < 20 || v > 150)
        v = 100;
    if (value)
        *value = v;
    return LibOk(r);
}

int CCoreCameraA::SetLevelsValues(int low, int high, int channel)
{
    if (!ValidChannel(channel))
        return CAM_ERR_RANGE;
    if (m_levels[channel].autoOn)
        return CAM_ERR_NO_DEVICE;
    if (low > 254)
        low = 255;
    if (high > 254)
        high = 255;
    if (high < low)
        return CAM_ERR_ORDER;
    int result = CAM_OK;
    for (int c = (channel == 3 ? 0 : channel); c <= (channel == 3 ? 2 : channel); ++c)
        if (m_lib.SetStretchEx(low, high, m_levels[channel].autoOn, c, Dev()) != 0)
            result = CAM_FAILED;
    m_levels[channel].low = low;
    m_levels[channel].high = high;
    return result;
}

int CCoreCameraA::GetLevelsValues(int* low, int* high, int channel)
{
    if (!ValidChannel(channel))
        return CAM_ERR_RANGE;
    if (low)
        *low = m_levels[channel].low;
    if (high)
        *high = m_levels[channel].high;
    return CAM_OK;
}

int CCoreCameraA::SetAutoLevelsState(int state, int channel)
{
    if (!ValidChannel(channel))
        return CAM_ERR_RANGE;
    const LevelsRecord& lv = m_levels[channel];
    int result = CAM_OK;
    for (int c = (channel == 3 ? 0 : channel); c <= (channel == 3 ? 2 : channel); ++c)
        if (m_lib.SetStretchEx(lv.low, lv.high, state, c, Dev()) != 0)
            result = CAM_FAILED;
    m_levels[channel].autoOn = state;
    return result;
}

int CCoreCameraA::GetAutoLevelsState(int* state, int channel)
{
    if (!ValidChannel(channel))
        return CAM_ERR_RANGE;
    if (state)
        *state = m_levels[channel].autoOn;
    return CAM_OK;
}

int CCoreCameraA::GetLevelsCounts(int* counts256)
{
    if (!counts256)
        return CAM_ERR_ORDER;
    memcpy(counts256, m_histogram, sizeof m_histogram);
    return CAM_OK;
}

int CCoreCameraA::SetShowChannel(int channel)
{
    if (!ValidChannel(channel))
        return CAM_ERR_RANGE;
    const LevelsRecord& all = m_levels[3];
    for (int c = 0; c < 3; ++c)
        m_lib.SetStretchEx(all.low, all.high, 0, c, Dev());
    m_levels[3].autoOn = 0;
    SetAutoLevelsState(m_levels[channel].autoOn, channel);
    m_showChannel = channel;
    return CAM_OK;
}

int CCoreCameraA::SetDyeSettings(const DyeSettings* dye)
{
    if (dye)
        m_dye = *dye;
    return CAM_OK;
}

int CCoreCameraA::GetDyeSettings(DyeSettings* dye)
{
    if (dye)
        *dye = m_dye;
    return CAM_OK;
}

int CCoreCameraA::FluorescenceGuide(int step, int mode)
{
    if (step < 0 || step > 2)
        return CAM_ERR_RANGE;
    return LibOk(::FluorescenceGuide(step, mode, Dev()));
}

int CCoreCameraA::UpdateExposureRange(CameraParamInfo* info, int flag)
{
    if (!info)
        info = &m_info;
    float lo = 0, hi = 0, unit = 1.0f;
    m_lib.GetExposureRange(&lo, &hi, &unit, Dev());
    if (info->productIndex == 37)
        unit = 1.0f;
    else if (info->productIndex == 38)
        unit = 0.1f;
    info->exposureMin = int(lo * 1000);
    info->exposureMax = int(std::min(double(hi) * 1000, double(1 << 30)));
    info->exposureUnit = unit;
    const int product = info->productIndex;
    if (info->sensorKind != SENSOR_KIND_CCD && !(product >= 11 && product <= 13))
        return CAM_OK;
    if (flag) {
        const int cap = StepToExposure(info->exposureStepMax) * 1000;
        info->exposureMax = std::min(info->exposureMax, cap);
        info->exposureStepMax = ExposureToStep(info->exposureMax / 1000);
        if (product == 13) {
            info->gainRegisterMin = 1;
            info->gainRegisterMax = 50;
            info->gainFactorMin = 1;
            info->gainFactorMax = 50;
            m_last.gain = std::clamp(m_last.gain, 1, 53);
            SetAnalogGain(m_last.gain);
        }
    } else if (product >= 11 && product <= 13) {
        info->exposureMax = std::min(info->exposureMax, product == 13 ? 793000 : 1000000);
        if (product == 13) {
            info->gainRegisterMin = 1;
            info->gainRegisterMax = 50;
            info->gainFactorMin = 1;
            info->gainFactorMax = 50;
        }
    } else {
        info->exposureMax = std::min(info->exposureMax, 2000000);
    }
    return CAM_OK;
}

// --- enhancement, cooling, presets ---------------------------------------------------

int CCoreCameraA::SetShiftOperator(int value) { return LibOk(::SetShiftOperator(value, Dev())); }
int CCoreCameraA::GetShiftOperator(int* value) { return LibOk(::GetShiftOperator(value, Dev())); }
int CCoreCameraA::SetSharpness(int value) { return LibOk(::SetSharpness(value, Dev())); }
int CCoreCameraA::GetSharpness(int* value) { return LibOk(::GetSharpness(value, Dev())); }
int CCoreCameraA::SetDenoise(int value) { return LibOk(::SetDenoise(value, Dev())); }
int CCoreCameraA::GetDenoise(int* value) { return LibOk(::GetDenoise(value, Dev())); }
int CCoreCameraA::SetCooled(int on) { return LibOk(::SetCooled(on, Dev())); }
int CCoreCameraA::GetCooled(int* on) { return LibOk(::GetCooled(on, Dev())); }
int CCoreCameraA::GetTemperature(float* degrees) { return LibOk(::GetTemperature(degrees, Dev())); }
int CCoreCameraA::SetFilter(int on) { return LibOk(::SetFilter(on, Dev())); }
int CCoreCameraA::GetFilter(int* on) { return LibOk(::GetFilter(on, Dev())); }

void CCoreCameraA::CopyEntry(const CameraListEntry& entry)
{
    m_deviceName = entry.deviceName;
    m_info.deviceName = entry.deviceName;
    m_info.productIndex = entry.productIndex;
    m_info.productId = entry.productId;
    m_info.sensorKind = entry.sensorKind;
    m_info.modelName = entry.displayName;
}

int CCoreCameraA::ApplyProductPreset(CameraListEntry* entry)
{
    if (!entry)
        return SENSOR_KIND_NONE;
    CopyEntry(*entry);
    CProductPresets::Target target{m_info, m_last, m_gainTable, m_exposureTable};
    if (!CProductPresets::ApplyZedOdir(entry->productId, entry->vendorId, target)) {
        entry->productIndex = -1;
        entry->sensorKind = SENSOR_KIND_NONE;
        return SENSOR_KIND_NONE;
    }
    return entry->sensorKind;
}

int CCoreCameraA::GetDefaultParameter(CameraCurParam* out, int mode)
{
    if (!out)
        return CAM_OK;
    const int product = m_info.productIndex;
    const bool hd = IsHighDefinitionProduct(product);
    auto exposureGroup = [&](bool everything) {
        out->mirror[0] = 0;
        out->mirror[1] = product == 37 ? 1 : 0;
        out->dataWide = 0;
        if (hd) {
            out->aeOn = 1;
            out->aeTarget = everything ? 10 : 12;
            out->HDFrameSpeed = 0;
        } else if (product == 32) {
            out->aeOn = 1;
            out->aeTarget = 9;
            out->HDFrameSpeed = 0;
        } else {
            out->HDAutoWB = 0;
            out->aeOn = 0;
            out->aeTarget = 100;
            out->exposureTime = 33000;
            out->exposureStep = 20;
            out->exposureLines = 1;
            out->HDFrameSpeed = 1;
        }
        if (product == 1) {
            out->gain = 35;
            out->aeTarget = 150;
        } else if (product == 2 || product == 3) {
            out->gain = 7;
        } else if (product == 5) {
            out->gain = 20;
        } else {
            out->gain = m_info.sensorKind == SENSOR_KIND_CCD ? 256 : 1;
        }
        out->gainStep = 1;
        out->blackLevel = 0;
    };
    auto colourGroup = [&]() {
        out->monochrome = 0;
        out->colorEnhancement = 0;
        auto set = [&](int g, int c, int s, int r, int gr, int b) {
            out->gammaValue = g; out->contrastValue = c; out->saturationValue = s;
            out->gamma = g; out->contrast = c; out->saturation = s;
            out->redGain = r; out->greenGain = gr; out->blueGain = b;
        };
        if (product == 27)
            set(2, 8, 6, 50, 50, 50);
        else if (hd)
            set(28, 8, 8, 21, 50, 28);
        else if (product == 32) {
            set(28, 8, 7, 21, 50, 28);
            out->aeTarget = 9;
        } else {
            out->gammaValue = 0; out->contrastValue = 0; out->saturationValue = 0;
            out->gamma = 100; out->contrast = 128; out->saturation = 100;
            out->redGain = out->greenGain = out->blueGain = 64;
        }
        out->flatField = 0;
        out->denoise = 5;
        out->sharpness = 3;   // field 38
    };
    if (mode == 1) {
        exposureGroup(false);
    } else if (mode == 2) {
        colourGroup();
    } else if (mode != 3) {
        exposureGroup(true);
        colourGroup();
        out->gainFactor = 1;
        out->blackLevel = 0;
    }
    // Closing rules for every mode.
    if (product == 37)
        out->saturation = 28;
    if (product == 28 || product == 29 || product == 34 || product == 35)
        out->HDFrameSpeed = 1;
    return CAM_OK;
}
