// The library behaviour the stand-in DLLs forward to: timing of the grabs, settings,
// decoding, files and configuration sets of the bench's cameras.
#include "BenchState.h"

namespace orvbench {

using namespace detail;

namespace {

// JPEG quality of the files the library writes itself.
const int kStillQuality = 90;

// Configuration sets: one text file per device and set in the library's folder.
struct IntField { const char* key; int CameraSettings::*member; };
const IntField kIntFields[] = {
    {"resolution", &CameraSettings::resolution}, {"pixelClock", &CameraSettings::pixelClock},
    {"rawDepth", &CameraSettings::rawDepth}, {"autoExposure", &CameraSettings::autoExposure},
    {"aeTarget", &CameraSettings::aeTarget}, {"analogGain", &CameraSettings::analogGain},
    {"blackLevel", &CameraSettings::blackLevel}, {"gamma", &CameraSettings::gamma},
    {"contrast", &CameraSettings::contrast}, {"saturation", &CameraSettings::saturation},
    {"monochrome", &CameraSettings::monochrome}, {"colorEnhancement", &CameraSettings::colorEnhancement},
    {"flip", &CameraSettings::flip}, {"colorTemperature", &CameraSettings::colorTemperature},
    {"flatField", &CameraSettings::flatField}, {"defectCorrection", &CameraSettings::defectCorrection},
    {"shiftOperator", &CameraSettings::shiftOperator}, {"sharpness", &CameraSettings::sharpness},
    {"denoise", &CameraSettings::denoise}, {"coolerOn", &CameraSettings::coolerOn},
    {"filter", &CameraSettings::filter},
};
struct TripleField { const char* key; int (CameraSettings::*member)[3]; };
const TripleField kTripleFields[] = {
    {"channelGain", &CameraSettings::channelGain}, {"gammaEx", &CameraSettings::gammaEx},
    {"stretchLow", &CameraSettings::stretchLow}, {"stretchHigh", &CameraSettings::stretchHigh},
    {"stretchAuto", &CameraSettings::stretchAuto},
};

std::string ConfigurationPath(int library, const Camera& cam, int set)
{
    std::vector<WCHAR> folder;
    {
        Lock lock;
        folder = S().folder[library];
    }
    if (folder.empty()) {
        WCHAR temp[MAX_PATH];
        DWORD n = GetTempPathW(MAX_PATH, temp);
        folder.assign(temp, temp + n);
        folder.push_back(0);
    }
    std::string dir = UnixPath(folder.data());
    if (dir.empty())
        return dir;
    std::string name = cam.spec.name;
    for (char& ch : name)
        if (!isalnum((unsigned char)ch) && ch != '.' && ch != '-')
            ch = '_';
    if (dir.back() != '/')
        dir += '/';
    return dir + (library == kLibraryZedOdir ? "ZedOdir_" : "ZuzIrazo_") + name + "_"
         + std::to_string(set) + ".cfg";
}

// Tests: byte k of the frame number into every channel of pixel k (both bytes of a
// 16-bit sample), so that a recording or a still tells which frame it holds.
void StampFrameNumber(const ImageRecord& rec, uint32_t frameNumber)
{
    const uint32_t sampleBytes = rec.bits / 8;
    const uint32_t pixelBytes = rec.channels * sampleBytes;
    if (uint32_t(rec.width) * rec.height < 4)
        return;
    for (uint32_t k = 0; k < 4; ++k)
        std::memset(rec.data + k * pixelBytes, int((frameNumber >> (8 * k)) & 0xFF), pixelBytes);
}

}  // namespace

LibraryFront& Front(int library)
{
    static LibraryFront zed(kLibraryZedOdir), zuz(kLibraryZuzIrazo);
    return library == kLibraryZuzIrazo ? zuz : zed;
}

int LibraryFront::InitDevice(const WCHAR* folder)
{
    Lock lock;
    EnsureLoaded();
    S().folder[m_library].clear();
    if (folder && *folder)
        S().folder[m_library].assign(folder, folder + lstrlenW(folder) + 1);
    return 0;
}

int LibraryFront::ExitDevice()
{
    for (auto& cam : Cameras(m_library)) {
        Lock lock;
        cam->resumed = false;
        cam->Interrupt();
    }
    return 0;
}

int LibraryFront::DeviceCount()
{
    return int(Cameras(m_library).size());
}

const char* LibraryFront::DeviceName(int index)
{
    auto cams = Cameras(m_library);
    if (index < 0 || index >= int(cams.size()))
        return Intern("");
    return Intern(cams[index]->spec.name);
}

int LibraryFront::DeviceVendor(const char* dev)
{
    auto cam = Find(m_library, dev);
    return cam ? cam->spec.vendor : 0;
}

int LibraryFront::DeviceProduct(const char* dev)
{
    auto cam = Find(m_library, dev);
    return cam ? cam->spec.product : 0;
}

const GUID* LibraryFront::DeviceGUID()
{
    return &kCameraInterface;
}

const char* LibraryFront::DeviceChange(const char*, int)
{
    Lock lock;
    EnsureLoaded();
    auto& queue = S().changes[m_library];
    if (queue.empty())
        return Intern("");
    std::string name = queue.front();
    queue.pop_front();
    return Intern(name);
}

int LibraryFront::ResumeDevice(const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    Lock lock;
    if (!cam->resumed) {
        cam->resumed = true;
        cam->nextDue = NowMs() + cam->PeriodMs();
    }
    return 0;
}

int LibraryFront::SuspendDevice(const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    Lock lock;
    cam->resumed = false;
    cam->Interrupt();
    return 0;
}

int LibraryFront::SetCooled(int on, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    Lock lock;
    UpdateTemperature(*cam, NowMs());
    cam->settings.coolerOn = on ? 1 : 0;
    return 0;
}

int LibraryFront::GetCooled(int* on, const char* dev)
{
    return GetOut(dev, m_library, &CameraSettings::coolerOn, on);
}

int LibraryFront::GetTemperature(float* degrees, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    if (!degrees)
        return kFailed;
    Lock lock;
    UpdateTemperature(*cam, NowMs());
    *degrees = cam->temperature;
    return 0;
}

int LibraryFront::ResetSupport(const char* dev)
{
    return Find(m_library, dev) ? 0 : kNoDevice;
}

// Abandons the exposure in progress: a waiting grab returns at once and the next
// frame is a full exposure from now.
int LibraryFront::ResetDevice(const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    Lock lock;
    cam->nextDue = NowMs() + cam->PeriodMs();
    cam->Interrupt();
    return 0;
}

int LibraryFront::GetResolutionCount(const char* dev)
{
    auto cam = Find(m_library, dev);
    return cam ? int(cam->spec.resolutions.size()) : 0;
}

const char* LibraryFront::GetResItemName(int index, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam || index < 0 || index >= int(cam->spec.resolutions.size()))
        return Intern("");
    return Intern(cam->spec.resolutions[index].name);
}

int LibraryFront::GetResolution(const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    Lock lock;
    return cam->settings.resolution;
}

int LibraryFront::SetResolution(int index, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    if (index < 0 || index >= int(cam->spec.resolutions.size()))
        return kFailed;
    Lock lock;
    cam->settings.resolution = index;
    cam->nextDue = NowMs() + cam->PeriodMs();
    cam->Interrupt();
    return 0;
}

int LibraryFront::GetPixelclockCount(const char* dev)
{
    auto cam = Find(m_library, dev);
    return cam ? int(cam->spec.clocks.size()) : 0;
}

int LibraryFront::GetPixelclock(const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    Lock lock;
    return cam->settings.pixelClock;
}

int LibraryFront::SetPixelclock(int index, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    return SetIn(dev, m_library, &CameraSettings::pixelClock, index, 0, int(cam->spec.clocks.size()) - 1);
}

const char* LibraryFront::GetPixclkItemName(int index, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam || index < 0 || index >= int(cam->spec.clocks.size()))
        return Intern("");
    return Intern(cam->spec.clocks[index].name);
}

int LibraryFront::SetRawDepth(int bits, const char* dev)
{
    if (bits != 8 && bits != 16)
        return Find(m_library, dev) ? kFailed : kNoDevice;
    return SetIn(dev, m_library, &CameraSettings::rawDepth, bits, 8, 16);
}

int LibraryFront::GetRawDepth(const char* dev)
{
    int bits = 0;
    int r = GetOut(dev, m_library, &CameraSettings::rawDepth, &bits);
    return r ? r : bits;
}

// Room for the largest frame at 16 bits, so buffers sized once fit every resolution.
int LibraryFront::RecvMemSize(const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return 0;
    int w = 0, h = 0;
    for (const Resolution& r : cam->spec.resolutions)
        if (r.width * r.height > w * h) {
            w = r.width;
            h = r.height;
        }
    return int(ReceiveBytes(w, h, 16));
}

int LibraryFront::GetRawSize(int* width, int* height, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    if (!width || !height)
        return kFailed;
    Lock lock;
    *width = cam->CurrentResolution().width;
    *height = cam->CurrentResolution().height;
    return 0;
}

int LibraryFront::SetHistogramState(int on, const char* dev)
{
    return SetIn(dev, m_library, &CameraSettings::histogram, on ? 1 : 0, 0, 1);
}

int LibraryFront::GetRawData(void* frame, int size, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam) {
        // A camera that is gone answers after the device's time-out, as hardware does.
        Sleep(kGrabWaitMs);
        return kResultDeviceError;
    }
    double due = 0;
    LONG generation = 0;
    int answer = 0;   // an injected 1 comes with its frame
    {
        Lock lock;
        if (cam->deviceError)
            generation = -1;
        else if (cam->injected != kNoInjection) {
            int r = cam->injected;
            cam->injected = kNoInjection;
            if (r != 0 && r != 1)
                return r;
            answer = r;
            cam->nextDue = NowMs();
        }
    }
    if (generation == -1) {
        // A failing device answers at the pace of a grab, not in a tight loop.
        WaitForSingleObject(cam->wake, kGrabWaitMs);
        return kResultDeviceError;
    }
    {
        Lock lock;
        generation = cam->generation;
        due = cam->nextDue;
        if (!cam->resumed)
            due = NowMs() + kGrabWaitMs;
    }
    double now = NowMs();
    if (due > now) {
        DWORD wait = DWORD(std::min<double>(std::ceil(due - now), kGrabWaitMs));
        WaitForSingleObject(cam->wake, wait);
        now = NowMs();
        Lock lock;
        if (cam->generation != generation || !cam->resumed || now < cam->nextDue)
            return kResultNoFrame;
    }
    CameraSettings s;
    ExposureConditions c;
    {
        Lock lock;
        if (!cam->resumed)
            return kResultNoFrame;
        if (!cam->pendingStill.empty()) {
            std::vector<uint8_t> still;
            still.swap(cam->pendingStill);
            if (!frame || size < int(still.size()))
                return kResultDeviceError;
            double period = cam->PeriodMs();
            cam->nextDue += period;
            if (cam->nextDue < now)
                cam->nextDue = now + period;
            std::memcpy(frame, still.data(), still.size());
            cam->lastRaw.swap(still);
            return 0;
        }
        const Resolution& r = cam->CurrentResolution();
        if (!frame || size < int(RawFrameBytes(r.width, r.height, cam->settings.rawDepth)))
            return kResultDeviceError;
        // Keep the pace; after a stall start again from now rather than burst.
        double period = cam->PeriodMs();
        cam->nextDue += period;
        if (cam->nextDue < now)
            cam->nextDue = now + period;
        UpdateTemperature(*cam, now);
        s = cam->settings;
        c = Conditions(*cam, ++cam->frameNumber);
    }
    uint8_t* out = static_cast<uint8_t*>(frame);
    RenderRawFrame(cam->spec, s, c, out);
    RawFrameHeader hd;
    std::memcpy(&hd, out, sizeof hd);
    Lock lock;
    cam->lastRaw.assign(out, out + hd.headerSize + hd.dataBytes);
    if (cam->settings.autoExposure) {
        double mean = RawMeanLevel(out);
        double target = cam->settings.aeTarget * (cam->spec.profile.gammaNeutral == 100 ? 1.0 : 16.0);
        if (mean > 0.5 && target > 0) {
            double f = std::clamp(target / mean, 0.5, 2.0);
            cam->settings.exposureMs = float(std::clamp<double>(cam->settings.exposureMs * f,
                                                                kExposureUnitMs, kExposureMaxMs));
        }
    }
    return answer;
}

// Whether a raw frame header is one the camera delivers at one of its resolutions.
static bool FrameOfCamera(const Camera& cam, const RawFrameHeader& hd)
{
    const int index = hd.resolution;
    return hd.magic == kRawFrameMagic && index < int(cam.spec.resolutions.size())
        && hd.width == cam.spec.resolutions[index].width && hd.height == cam.spec.resolutions[index].height
        && (hd.depth == 8 || hd.depth == 16) && hd.headerSize == kRawHeaderSize
        && hd.dataBytes == uint32_t(hd.width) * hd.height * (hd.depth / 8);
}

int LibraryFront::DecodeRaw2Image(const void* frame, void* image, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    if (!frame || !image)
        return kFailed;
    RawFrameHeader hd;
    std::memcpy(&hd, frame, sizeof hd);
    // The buffers are the caller's and of unknown size: only a frame this camera can
    // deliver is read (and the image written) - never sizes taken from a stray header.
    if (!FrameOfCamera(*cam, hd))
        return kFailed;
    CameraSettings s;
    Corrections corr;
    bool stamp = false;
    {
        Lock lock;
        s = cam->settings;
        corr = cam->corrections;
        stamp = S().options.stampFrames;
    }
    uint32_t bytes = DecodedBytes(hd);
    if (!DecodeRawFrame(cam->spec, s, corr, static_cast<const uint8_t*>(frame),
                        hd.headerSize + hd.dataBytes, static_cast<uint8_t*>(image), bytes))
        return kFailed;
    const uint8_t* img = static_cast<const uint8_t*>(image);
    ImageRecord rec = Record(image);
    if (stamp)
        StampFrameNumber(rec, hd.frameNumber);
    const HistogramBlock* blocks = ImageHistograms(rec);
    Lock lock;
    cam->lastImage.assign(img, img + bytes);
    for (int c = 0; c < 3; ++c) {
        cam->autoLow[c] = blocks[c + 1].low;
        cam->autoHigh[c] = blocks[c + 1].high;
    }
    return 0;
}

int LibraryFront::GetStretchEx(int* low, int* high, int* state, int channel, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    if (!low || !high || !state || channel < 0 || channel > 2)
        return kFailed;
    Lock lock;
    const CameraSettings& s = cam->settings;
    *state = s.stretchAuto[channel];
    // Under automatic levels the library's own points are the answer.
    *low = s.stretchAuto[channel] ? cam->autoLow[channel] : s.stretchLow[channel];
    *high = s.stretchAuto[channel] ? cam->autoHigh[channel] : s.stretchHigh[channel];
    return 0;
}

int LibraryFront::SetStretchEx(int low, int high, int state, int channel, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    if (channel < 0 || channel > 2 || low < 0 || high > 255 || low > high)
        return kFailed;
    Lock lock;
    cam->settings.stretchLow[channel] = low;
    cam->settings.stretchHigh[channel] = high;
    cam->settings.stretchAuto[channel] = state ? 1 : 0;
    return 0;
}

// The library names its files itself: the caller hands a path without extension and the
// extension follows the image format.
static std::string WithFormatExtension(const std::string& path, int format)
{
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        return path;
    switch (format) {
    case kFormatRaw: return path + ".raw";
    case kFormatTiff: return path + ".tif";
    case kFormatJpeg: return path + ".jpg";
    default: return path + ".bmp";
    }
}

int LibraryFront::SetImageFormat(int format, const char* dev)
{
    if (format != kFormatBmp && format != kFormatRaw && format != kFormatTiff && format != kFormatJpeg)
        return Find(m_library, dev) ? kFailed : kNoDevice;
    return SetIn(dev, m_library, &CameraSettings::imageFormat, format, 0, 255);
}

int LibraryFront::SaveImage(const WCHAR* path, int quality, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    std::string unix = UnixPath(path);
    if (unix.empty())
        return kFailed;
    // The caller passes the capture resolution index where the quality goes: a
    // device asked for another readout than the stream's reads one frame out there.
    const int readout = quality;
    int format;
    bool other;
    std::vector<uint8_t> raw;
    {
        Lock lock;
        // A device in error has no picture to give.
        if (cam->deviceError)
            return kFailed;
        format = cam->settings.imageFormat;
        other = readout >= 0 && readout < int(cam->spec.resolutions.size()) &&
                readout != cam->settings.resolution;
        if (!other)
            raw = cam->lastRaw;
    }
    unix = WithFormatExtension(unix, format);
    if (other) {
        raw = ReadOutAt(*cam, readout);
        Lock lock;
        cam->pendingStill = raw;
    }
    if (format == kFormatRaw) {
        if (raw.empty())
            raw = RenderNow(*cam, false, false);
        return WriteBytes(unix.c_str(), raw.data(), uint32_t(raw.size())) ? 0 : kFailed;
    }
    std::vector<uint8_t> image;
    if (other) {
        RawFrameHeader hd;
        std::memcpy(&hd, raw.data(), sizeof hd);
        image.assign(DecodedBytes(hd), 0);
        Lock lock;
        if (!DecodeRawFrame(cam->spec, cam->settings, cam->corrections, raw.data(), uint32_t(raw.size()),
                            image.data(), uint32_t(image.size())))
            return kFailed;
    } else if (!LastImage(*cam, &image)) {
        return kFailed;
    }
    return WriteImageFile(unix.c_str(), Record(image.data()), format, kStillQuality) ? 0 : kFailed;
}

int LibraryFront::SaveFile(const WCHAR* path, const void* image, int format, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    if (!image)
        return kFailed;
    std::string unix = UnixPath(path);
    if (unix.empty())
        return kFailed;
    if (!format) {
        Lock lock;
        format = cam->settings.imageFormat;
    }
    unix = WithFormatExtension(unix, format);
    // A frame as grabbed is written as it came, the way the device writes its own raw
    // files; it has no pixels to put in a picture format.
    RawFrameHeader hd;
    std::memcpy(&hd, image, sizeof hd);
    if (FrameOfCamera(*cam, hd)) {
        if (format != kFormatRaw)
            return kFailed;
        return WriteBytes(unix.c_str(), image, hd.headerSize + hd.dataBytes) ? 0 : kFailed;
    }
    ImageRecord rec = Record(image);
    if (!ValidRecord(rec))
        return kFailed;
    return WriteImageFile(unix.c_str(), rec, format, kStillQuality) ? 0 : kFailed;
}

int LibraryFront::SetAutoExposure(int on, const char* dev)
{
    return SetIn(dev, m_library, &CameraSettings::autoExposure, on ? 1 : 0, 0, 1);
}

int LibraryFront::GetAutoExposure(BYTE* on, const char* dev)
{
    int v = 0;
    int r = on ? GetOut(dev, m_library, &CameraSettings::autoExposure, &v) : kFailed;
    if (!r)
        *on = BYTE(v);
    return r;
}

int LibraryFront::SetAETarget(int target, const char* dev)
{
    return SetIn(dev, m_library, &CameraSettings::aeTarget, target, 0, 255);
}

int LibraryFront::GetAETarget(BYTE* target, const char* dev)
{
    int v = 0;
    int r = target ? GetOut(dev, m_library, &CameraSettings::aeTarget, &v) : kFailed;
    if (!r)
        *target = BYTE(v);
    return r;
}

int LibraryFront::SetExposure(float ms, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    if (!(ms >= kExposureUnitMs && ms <= kExposureMaxMs))
        return kFailed;
    Lock lock;
    cam->settings.exposureMs = ms;
    // A shorter exposure takes effect with the next frame, not after the old one.
    cam->nextDue = std::min(cam->nextDue, NowMs() + cam->PeriodMs());
    return 0;
}

double LibraryFront::GetExposure(const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return 0;
    Lock lock;
    return cam->settings.exposureMs;
}

int LibraryFront::GetExposureRange(float* minMs, float* maxMs, float* unitMs, const char* dev)
{
    if (!Find(m_library, dev))
        return kNoDevice;
    if (!minMs || !maxMs || !unitMs)
        return kFailed;
    *minMs = kExposureUnitMs;
    *maxMs = kExposureMaxMs;
    *unitMs = kExposureUnitMs;
    return 0;
}

int LibraryFront::SetAnaloggain(int gain, const char* dev)
{
    return SetIn(dev, m_library, &CameraSettings::analogGain, gain, 0, kAnalogGainMax);
}

int LibraryFront::GetAnaloggain(const char* dev)
{
    int v = 0;
    int r = GetOut(dev, m_library, &CameraSettings::analogGain, &v);
    return r ? r : v;
}

int LibraryFront::GetAnaloggainRange(int* minGain, int* maxGain, const char* dev)
{
    return Range(dev, m_library, minGain, maxGain, 0, kAnalogGainMax);
}

int LibraryFront::SetGamma(int value, const char* dev)
{
    return SetIn(dev, m_library, &CameraSettings::gamma, value, 0, 255);
}

int LibraryFront::GetGamma(int* value, const char* dev)
{
    return GetOut(dev, m_library, &CameraSettings::gamma, value);
}

int LibraryFront::SetGammaEx(int value, int channel, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    if (channel < 0 || channel > 2 || value < 1 || value > 400)
        return kFailed;
    Lock lock;
    cam->settings.gammaEx[channel] = value;
    return 0;
}

int LibraryFront::GetGammaEx(int* value, int channel, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    if (!value || channel < 0 || channel > 2)
        return kFailed;
    Lock lock;
    *value = cam->settings.gammaEx[channel];
    return 0;
}

int LibraryFront::SetContrast(int value, const char* dev)
{
    return SetIn(dev, m_library, &CameraSettings::contrast, value, 0, 255);
}

int LibraryFront::GetContrast(int* value, const char* dev)
{
    return GetOut(dev, m_library, &CameraSettings::contrast, value);
}

int LibraryFront::SetSaturation(int value, const char* dev)
{
    return SetIn(dev, m_library, &CameraSettings::saturation, value, 0, 255);
}

int LibraryFront::GetSaturation(int* value, const char* dev)
{
    return GetOut(dev, m_library, &CameraSettings::saturation, value);
}

int LibraryFront::SetMonochrome(int on, const char* dev)
{
    return SetIn(dev, m_library, &CameraSettings::monochrome, on ? 1 : 0, 0, 1);
}

int LibraryFront::GetMonochrome(int* on, const char* dev)
{
    return GetOut(dev, m_library, &CameraSettings::monochrome, on);
}

int LibraryFront::SetColorEnhancement(int on, const char* dev)
{
    return SetIn(dev, m_library, &CameraSettings::colorEnhancement, on ? 1 : 0, 0, 1);
}

int LibraryFront::GetColorEnhancement(int* on, const char* dev)
{
    return GetOut(dev, m_library, &CameraSettings::colorEnhancement, on);
}

int LibraryFront::SetFlip(int mask, const char* dev)
{
    return SetIn(dev, m_library, &CameraSettings::flip, mask, 0, 3);
}

int LibraryFront::GetFlip(int* mask, const char* dev)
{
    return GetOut(dev, m_library, &CameraSettings::flip, mask);
}

int LibraryFront::SetChannelGain(int blue, int green, int red, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    const PictureProfile& p = cam->spec.profile;
    for (int v : {blue, green, red})
        if (v < p.channelGainMin || v > p.channelGainMax)
            return kFailed;
    Lock lock;
    cam->settings.channelGain[0] = red;
    cam->settings.channelGain[1] = green;
    cam->settings.channelGain[2] = blue;
    return 0;
}

int LibraryFront::GetChannelGain(int* blue, int* green, int* red, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    if (!blue || !green || !red)
        return kFailed;
    Lock lock;
    *red = cam->settings.channelGain[0];
    *green = cam->settings.channelGain[1];
    *blue = cam->settings.channelGain[2];
    return 0;
}

int LibraryFront::GetChannelGainRange(int* minGain, int* maxGain, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    return Range(dev, m_library, minGain, maxGain, cam->spec.profile.channelGainMin,
                 cam->spec.profile.channelGainMax);
}

int LibraryFront::SetBlacklevel(int value, const char* dev)
{
    return SetIn(dev, m_library, &CameraSettings::blackLevel, value, 0, 255);
}

int LibraryFront::GetBlacklevel(int* value, const char* dev)
{
    return GetOut(dev, m_library, &CameraSettings::blackLevel, value);
}

int LibraryFront::CalcWhiteBalance(BYTE*, const RECT* area, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    if (!Bench::Get().CountWhiteBalance())
        return kFailed;
    std::vector<uint8_t> image;
    if (!LastImage(*cam, &image))
        return kFailed;
    ImageRecord rec = Record(image.data());
    if (rec.channels != 3)
        return kFailed;
    int rect[4];
    if (area) {
        rect[0] = area->left;
        rect[1] = area->top;
        rect[2] = area->right - area->left;
        rect[3] = area->bottom - area->top;
        if (rect[2] <= 0 || rect[3] <= 0)
            return kFailed;
    }
    Lock lock;
    int gains[3] = {cam->settings.channelGain[0], cam->settings.channelGain[1], cam->settings.channelGain[2]};
    ComputeWhiteBalance(rec, area ? rect : nullptr, cam->spec.profile, gains);
    std::copy(gains, gains + 3, cam->settings.channelGain);
    cam->settings.whiteBalanceState = 1;
    return 0;
}

int LibraryFront::GetWhiteBalanceState(BYTE* state, const char* dev)
{
    int v = 0;
    int r = state ? GetOut(dev, m_library, &CameraSettings::whiteBalanceState, &v) : kFailed;
    if (!r)
        *state = BYTE(v);
    return r;
}

int LibraryFront::GetColorTemperatureRange(int* minValue, int* maxValue, const char* dev)
{
    return Range(dev, m_library, minValue, maxValue, 0, 63);
}

int LibraryFront::GetColorTemperature(int* value, const char* dev)
{
    return GetOut(dev, m_library, &CameraSettings::colorTemperature, value);
}

int LibraryFront::SetColorTemperature(int value, const char* dev)
{
    return SetIn(dev, m_library, &CameraSettings::colorTemperature, value, 0, 63);
}

// The first argument (a frame count for some callers, a buffer for others) does not
// matter: the bench calibrates on an empty part of the slide.
int LibraryFront::CalcFlatfield(int, int, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    std::vector<uint8_t> raw = RenderNow(*cam, true, false);
    Corrections corr;
    {
        Lock lock;
        corr = cam->corrections;
    }
    ComputeFlatField(raw.data(), corr);
    if (corr.defect.size() != corr.flatGain.size())
        corr.defect.clear();
    Lock lock;
    cam->corrections = corr;
    return 0;
}

int LibraryFront::SetFlatfieldState(int on, const char* dev)
{
    return SetIn(dev, m_library, &CameraSettings::flatField, on ? 1 : 0, 0, 1);
}

int LibraryFront::GetFlatfieldState(int* on, const char* dev)
{
    return GetOut(dev, m_library, &CameraSettings::flatField, on);
}

int LibraryFront::CalcDefectCorrection(const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    std::vector<uint8_t> raw = RenderNow(*cam, false, true);
    Corrections corr;
    {
        Lock lock;
        corr = cam->corrections;
    }
    ComputeDefectMap(raw.data(), corr);
    Lock lock;
    cam->corrections = corr;
    return 0;
}

int LibraryFront::SetDefectCorrectionState(int on, const char* dev)
{
    return SetIn(dev, m_library, &CameraSettings::defectCorrection, on ? 1 : 0, 0, 1);
}

int LibraryFront::GetDefectCorrectionState(int* on, const char* dev)
{
    return GetOut(dev, m_library, &CameraSettings::defectCorrection, on);
}

int LibraryFront::GetShiftOperatorRange(int* minValue, int* maxValue, const char* dev)
{
    return Range(dev, m_library, minValue, maxValue, 1, 4);
}

int LibraryFront::SetShiftOperator(int value, const char* dev)
{
    return SetIn(dev, m_library, &CameraSettings::shiftOperator, value, 1, 4);
}

int LibraryFront::GetShiftOperator(int* value, const char* dev)
{
    return GetOut(dev, m_library, &CameraSettings::shiftOperator, value);
}

int LibraryFront::GetSharpnessRange(int* minValue, int* maxValue, const char* dev)
{
    return Range(dev, m_library, minValue, maxValue, 0, 10);
}

int LibraryFront::SetSharpness(int value, const char* dev)
{
    return SetIn(dev, m_library, &CameraSettings::sharpness, value, 0, 10);
}

int LibraryFront::GetSharpness(int* value, const char* dev)
{
    return GetOut(dev, m_library, &CameraSettings::sharpness, value);
}

int LibraryFront::GetDenoiseRange(int* minValue, int* maxValue, const char* dev)
{
    return Range(dev, m_library, minValue, maxValue, 0, 10);
}

int LibraryFront::SetDenoise(int value, const char* dev)
{
    return SetIn(dev, m_library, &CameraSettings::denoise, value, 0, 10);
}

int LibraryFront::GetDenoise(int* value, const char* dev)
{
    return GetOut(dev, m_library, &CameraSettings::denoise, value);
}

int LibraryFront::GetImageIntensity(const void* image, int left, int top, int width, int height,
                                    int* intensity, const char* dev)
{
    if (!Find(m_library, dev))
        return kNoDevice;
    if (!image || !intensity)
        return kFailed;
    ImageRecord rec = Record(image);
    if (!ValidRecord(rec))
        return kFailed;
    int v = ImageIntensity(rec, left, top, width, height);
    if (v < 0)
        return kFailed;
    *intensity = v;
    return 0;
}

int LibraryFront::FluorescenceGuide(int step, int mode, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    if (step < 0 || step > 2)
        return kFailed;
    Lock lock;
    cam->settings.fluorescenceStep = step;
    cam->settings.fluorescenceMode = mode;
    return 0;
}

int LibraryFront::ResizeImage(const void* image, void* out, int width, int height, const char* dev)
{
    if (!Find(m_library, dev))
        return kNoDevice;
    if (!image || !out)
        return kFailed;
    ImageRecord rec = Record(image);
    if (!ValidRecord(rec))
        return kFailed;
    return ResizeImageRecord(rec, static_cast<uint8_t*>(out), width, height) ? 0 : kFailed;
}

int LibraryFront::SaveConfiguration(int set, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    if (set < 0 || set >= kConfigurationSets)
        return kFailed;
    std::string path = ConfigurationPath(m_library, *cam, set);
    CameraSettings s;
    {
        Lock lock;
        s = cam->settings;
    }
    FILE* f = path.empty() ? nullptr : std::fopen(path.c_str(), "w");
    if (!f)
        return kFailed;
    std::fprintf(f, "exposureMs=%.6g\n", double(s.exposureMs));
    for (const IntField& field : kIntFields)
        std::fprintf(f, "%s=%d\n", field.key, s.*field.member);
    for (const TripleField& field : kTripleFields)
        for (int c = 0; c < 3; ++c)
            std::fprintf(f, "%s%d=%d\n", field.key, c, (s.*field.member)[c]);
    if (std::fclose(f) != 0)
        return kFailed;
    Lock lock;
    cam->configuration = set;
    return 0;
}

int LibraryFront::LoadConfiguration(int set, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    if (set < 0 || set >= kConfigurationSets)
        return kFailed;
    std::string path = ConfigurationPath(m_library, *cam, set);
    FILE* f = path.empty() ? nullptr : std::fopen(path.c_str(), "r");
    if (!f)
        return kFailed;
    CameraSettings s;
    {
        Lock lock;
        s = cam->settings;
    }
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
        char* eq = std::strchr(line, '=');
        if (!eq)
            continue;
        *eq = 0;
        std::string key = line;
        if (key == "exposureMs") {
            float v = float(std::atof(eq + 1));
            if (v >= kExposureUnitMs && v <= kExposureMaxMs)
                s.exposureMs = v;
            continue;
        }
        int v = std::atoi(eq + 1);
        for (const IntField& field : kIntFields)
            if (key == field.key)
                s.*field.member = v;
        for (const TripleField& field : kTripleFields)
            for (int c = 0; c < 3; ++c)
                if (key == field.key + std::to_string(c))
                    (s.*field.member)[c] = v;
    }
    std::fclose(f);
    // A file from another camera must not select a resolution or clock it lacks.
    s.resolution = std::clamp(s.resolution, 0, int(cam->spec.resolutions.size()) - 1);
    s.pixelClock = std::clamp(s.pixelClock, 0, int(cam->spec.clocks.size()) - 1);
    if (s.rawDepth != 16)
        s.rawDepth = 8;
    Lock lock;
    cam->settings = s;
    cam->configuration = set;
    return 0;
}

int LibraryFront::GetCurrentConfiguration(BYTE* set, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    if (!set)
        return kFailed;
    Lock lock;
    *set = BYTE(cam->configuration);
    return 0;
}

int LibraryFront::SetFilter(int value, const char* dev)
{
    return SetIn(dev, m_library, &CameraSettings::filter, value, 0, 255);
}

int LibraryFront::GetFilter(int* value, const char* dev)
{
    return GetOut(dev, m_library, &CameraSettings::filter, value);
}

int LibraryFront::SetDisplayHWND(HWND window, const char* dev)
{
    auto cam = Find(m_library, dev);
    if (!cam)
        return kNoDevice;
    Lock lock;
    cam->display = window;
    return 0;
}

}  // namespace orvbench
