#include "BenchState.h"

namespace orvbench {
namespace detail {

double NowMs()
{
    static LARGE_INTEGER freq = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1000.0 / double(freq.QuadPart);
}

// Never destroyed: modules unloading at process exit may still call into the bench
// after this module's static objects are gone.
State& S()
{
    static State* state = new State;
    return *state;
}

const char* Intern(const std::string& s)
{
    Lock lock;
    return S().names.insert(s).first->c_str();
}

std::shared_ptr<Camera> MakeCamera(const CameraSpec& spec)
{
    auto cam = std::make_shared<Camera>();
    cam->spec = spec;
    cam->settings = InitialSettings(spec);
    cam->temperature = S().options.ambient + (spec.cooled ? 5.0f : 8.0f);
    cam->temperatureAt = NowMs();
    return cam;
}

void Replace(const std::vector<CameraSpec>& specs, const BenchOptions& options)
{
    Lock lock;
    for (auto& cam : S().cameras)
        cam->Interrupt();
    S().cameras.clear();
    S().options = options;
    S().stopFailures = options.stopFailures;
    for (auto& c : S().changes)
        c.clear();
    for (const CameraSpec& spec : specs)
        S().cameras.push_back(MakeCamera(spec));
    S().loaded = true;
}

std::string UnixPath(const WCHAR* path)
{
    if (!path || !*path)
        return std::string();
    char* unix = wine_get_unix_file_name(path);
    if (!unix)
        return std::string();
    std::string s = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return s;
}

void EnsureLoaded()
{
    if (!S().loaded)
        Bench::Get().LoadFromEnvironment();
}

std::shared_ptr<Camera> Find(int library, const char* dev)
{
    Lock lock;
    EnsureLoaded();
    if (!dev)
        return nullptr;
    for (auto& cam : S().cameras)
        if (cam->spec.library == library && cam->spec.name == dev)
            return cam;
    return nullptr;
}

std::shared_ptr<Camera> FindAny(const std::string& name)
{
    Lock lock;
    EnsureLoaded();
    for (auto& cam : S().cameras)
        if (cam->spec.name == name)
            return cam;
    return nullptr;
}

std::vector<std::shared_ptr<Camera>> Cameras(int library)
{
    Lock lock;
    EnsureLoaded();
    std::vector<std::shared_ptr<Camera>> out;
    for (auto& cam : S().cameras)
        if (cam->spec.library == library)
            out.push_back(cam);
    return out;
}

void UpdateTemperature(Camera& cam, double now)
{
    float ambient = S().options.ambient;
    float target = ambient + (cam.spec.cooled ? 5.0f : 8.0f);
    if (cam.spec.cooled && cam.settings.coolerOn)
        target = ambient - 55.0f;
    double dt = (now - cam.temperatureAt) / 1000.0;
    cam.temperatureAt = now;
    cam.temperature += float((target - cam.temperature) * (1.0 - std::exp(-dt / kCoolingTimeConstantS)));
}

ExposureConditions Conditions(const Camera& cam, uint32_t frameNumber)
{
    ExposureConditions c;
    c.seed = S().options.seed;
    c.noiseFree = S().options.noiseFree;
    c.focus = S().options.focus;
    c.onSlide = S().options.onSlide;
    c.stageX = S().options.stageX;
    c.stageY = S().options.stageY;
    c.emptyShare = S().options.emptyShare;
    c.frameNumber = frameNumber;
    c.temperature = cam.temperature;
    return c;
}

std::vector<uint8_t> RenderNow(Camera& cam, bool blank, bool dark)
{
    CameraSettings s;
    ExposureConditions c;
    {
        Lock lock;
        s = cam.settings;
        c = Conditions(cam, cam.frameNumber);
    }
    c.blank = blank;
    c.dark = dark;
    const Resolution& r = cam.spec.resolutions[std::clamp(s.resolution, 0, int(cam.spec.resolutions.size()) - 1)];
    std::vector<uint8_t> raw(RawFrameBytes(r.width, r.height, s.rawDepth == 16 ? 16 : 8));
    RenderRawFrame(cam.spec, s, c, raw.data());
    return raw;
}

std::vector<uint8_t> ReadOutAt(Camera& cam, int resolution)
{
    CameraSettings s;
    ExposureConditions c;
    {
        Lock lock;
        s = cam.settings;
        s.resolution = resolution;
        UpdateTemperature(cam, NowMs());
        c = Conditions(cam, ++cam.frameNumber);
    }
    const Resolution& r = cam.spec.resolutions[std::clamp(resolution, 0, int(cam.spec.resolutions.size()) - 1)];
    std::vector<uint8_t> raw(RawFrameBytes(r.width, r.height, s.rawDepth == 16 ? 16 : 8));
    RenderRawFrame(cam.spec, s, c, raw.data());
    return raw;
}

bool LastImage(Camera& cam, std::vector<uint8_t>* out)
{
    std::vector<uint8_t> raw;
    {
        Lock lock;
        if (!cam.lastImage.empty()) {
            *out = cam.lastImage;
            return true;
        }
        raw = cam.lastRaw;
    }
    if (raw.empty())
        raw = RenderNow(cam, false, false);
    RawFrameHeader hd;
    std::memcpy(&hd, raw.data(), sizeof hd);
    out->assign(DecodedBytes(hd), 0);
    Lock lock;
    return DecodeRawFrame(cam.spec, cam.settings, cam.corrections, raw.data(), uint32_t(raw.size()),
                          out->data(), uint32_t(out->size()));
}

ImageRecord Record(const void* image)
{
    ImageRecord r;
    std::memcpy(&r, image, sizeof r);
    r.data = const_cast<uint8_t*>(static_cast<const uint8_t*>(image)) + r.headerSize;
    return r;
}

bool ValidRecord(const ImageRecord& r)
{
    return r.headerSize >= kImageHeaderSize && r.width && r.height
        && (r.bits == 8 || r.bits == 16) && (r.channels == 1 || r.channels == 3);
}

int SetIn(const char* dev, int library, int CameraSettings::*member, int value, int lo, int hi)
{
    auto cam = Find(library, dev);
    if (!cam)
        return kNoDevice;
    if (value < lo || value > hi)
        return kFailed;
    Lock lock;
    cam->settings.*member = value;
    return 0;
}

int GetOut(const char* dev, int library, int CameraSettings::*member, int* out)
{
    auto cam = Find(library, dev);
    if (!cam)
        return kNoDevice;
    if (!out)
        return kFailed;
    Lock lock;
    *out = cam->settings.*member;
    return 0;
}

int Range(const char* dev, int library, int* lo, int* hi, int a, int b)
{
    if (!Find(library, dev))
        return kNoDevice;
    if (!lo || !hi)
        return kFailed;
    *lo = a;
    *hi = b;
    return 0;
}

}  // namespace detail
}  // namespace orvbench
