// The bench controls: loading, hot plug, test switches and observation.
#include "BenchState.h"

#include <dbt.h>

namespace orvbench {

using namespace detail;

namespace {

// What the system hands a window for a device-interface arrival or removal.
struct DeviceNotice
{
    WPARAM event;
    std::vector<BYTE> data;   // DEV_BROADCAST_DEVICEINTERFACE_W with its name
};

BOOL CALLBACK SendNotice(HWND window, LPARAM param)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId())
        return TRUE;
    const DeviceNotice* notice = reinterpret_cast<const DeviceNotice*>(param);
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, WM_DEVICECHANGE, notice->event,
                        reinterpret_cast<LPARAM>(notice->data.data()), SMTO_NORMAL | SMTO_ABORTIFHUNG, 5000, &answer);
    return TRUE;
}

// Simulated cameras have no driver to make the system announce them, so the bench tells
// this process's top-level windows itself, as the system would.  Called without the
// bench's lock: the receivers call back into the libraries.
void AnnounceDeviceChange(const CameraSpec& spec, bool arrived)
{
    const GUID& g = kCameraInterface;
    char path[512];
    snprintf(path, sizeof path,
             "\\\\?\\USB#VID_%04X&PID_%04X#%s#{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
             spec.vendor & 0xFFFF, spec.product & 0xFFFF, spec.name.c_str(), (unsigned long)g.Data1,
             g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5],
             g.Data4[6], g.Data4[7]);
    const size_t length = strlen(path);
    const size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    const size_t size = nameOffset + (length + 1) * sizeof(WCHAR);
    DeviceNotice notice;
    notice.event = arrived ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
    notice.data.assign(size, 0);
    auto* header = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(notice.data.data());
    header->dbcc_size = DWORD(size);
    header->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    header->dbcc_classguid = g;
    WCHAR* name = reinterpret_cast<WCHAR*>(notice.data.data() + nameOffset);
    for (size_t i = 0; i <= length; ++i)
        name[i] = WCHAR((unsigned char)path[i]);
    EnumWindows(SendNotice, reinterpret_cast<LPARAM>(&notice));
}

}  // namespace

Bench::Bench() {}

Bench& Bench::Get()
{
    static Bench bench;
    return bench;
}

bool Bench::Load(const std::string& text, std::string* error)
{
    std::vector<CameraSpec> specs;
    BenchOptions options;
    if (!ParseBench(text, &specs, &options, error))
        return false;
    Replace(specs, options);
    return true;
}

bool Bench::LoadFile(const std::string& path, std::string* error)
{
    std::string unix = path;
    if (!path.empty() && path[0] != '/') {
        WCHAR wide[MAX_PATH];
        if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH))
            wide[0] = 0;
        unix = UnixPath(wide);
    }
    FILE* f = unix.empty() ? nullptr : std::fopen(unix.c_str(), "r");
    if (!f) {
        if (error)
            *error = "cannot read bench file '" + path + "'";
        return false;
    }
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    std::fclose(f);
    return Load(text, error);
}

void Bench::LoadDefault()
{
    Replace(DefaultBench(), BenchOptions());
}

void Bench::LoadFromEnvironment()
{
    char path[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA("ORV_BENCH_FILE", path, sizeof path);
    std::string error;
    if (n > 0 && n < sizeof path && LoadFile(path, &error))
        return;
    if (n > 0)
        std::fprintf(stderr, "camera bench: %s; using the default bench\n",
                     error.empty() ? "bench file path too long" : error.c_str());
    LoadDefault();
}

std::vector<std::string> Bench::CameraNames(int library) const
{
    std::vector<std::string> names;
    for (auto& cam : Cameras(library))
        names.push_back(cam->spec.name);
    return names;
}

std::vector<CameraSpec> Bench::DriverCameras() const
{
    std::vector<CameraSpec> specs;
    for (auto& cam : Cameras(kLibraryCamDrv))
        specs.push_back(cam->spec);
    return specs;
}

bool Bench::Plug(const std::string& cameraLine, std::string* error)
{
    std::vector<CameraSpec> specs;
    BenchOptions ignored;
    if (!ParseBench(cameraLine, &specs, &ignored, error) || specs.size() != 1) {
        if (error && error->empty())
            *error = "want one camera line";
        return false;
    }
    {
        Lock lock;
        EnsureLoaded();
        for (auto& cam : S().cameras)
            if ((cam->spec.library == specs[0].library && cam->spec.name == specs[0].name)
                || UsbPlacesClash(cam->spec, specs[0])) {
                if (error)
                    *error = cam->spec.name == specs[0].name ? "already plugged in" : "usb place taken";
                return false;
            }
        S().cameras.push_back(MakeCamera(specs[0]));
        // Driver cameras are found by the USB scan, not through a library's change queue.
        if (specs[0].library != kLibraryCamDrv)
            S().changes[specs[0].library].push_back(specs[0].name);
    }
    AnnounceDeviceChange(specs[0], true);
    return true;
}

bool Bench::Unplug(const std::string& name)
{
    CameraSpec gone;
    {
        Lock lock;
        EnsureLoaded();
        auto& cams = S().cameras;
        auto it = cams.begin();
        while (it != cams.end() && (*it)->spec.name != name)
            ++it;
        if (it == cams.end())
            return false;
        (*it)->resumed = false;
        (*it)->Interrupt();
        if ((*it)->spec.library != kLibraryCamDrv)
            S().changes[(*it)->spec.library].push_back(name);
        gone = (*it)->spec;
        cams.erase(it);
    }
    AnnounceDeviceChange(gone, false);
    return true;
}

void Bench::SetSeed(uint32_t seed)
{
    Lock lock;
    EnsureLoaded();
    S().options.seed = seed;
}

void Bench::SetNoiseFree(bool noiseFree)
{
    Lock lock;
    EnsureLoaded();
    S().options.noiseFree = noiseFree;
}

void Bench::SetFrameStamp(bool on)
{
    Lock lock;
    EnsureLoaded();
    S().options.stampFrames = on;
}

void Bench::SetFocus(float focus)
{
    Lock lock;
    EnsureLoaded();
    S().options.focus = focus;
}

void Bench::SetStage(float x, float y)
{
    Lock lock;
    EnsureLoaded();
    S().options.onSlide = true;
    S().options.stageX = x;
    S().options.stageY = y;
}

void Bench::SetEmptyShare(float share)
{
    Lock lock;
    EnsureLoaded();
    S().options.emptyShare = std::clamp(share, 0.0f, 1.0f);
}

BenchOptions Bench::Options() const
{
    Lock lock;
    EnsureLoaded();
    return S().options;
}

bool Bench::InjectGrabResult(const std::string& name, int result)
{
    auto cam = FindAny(name);
    if (!cam)
        return false;
    Lock lock;
    cam->injected = result;
    cam->Interrupt();
    return true;
}

void Bench::InjectStopFailures(int count)
{
    Lock lock;
    S().stopFailures = count > 0 ? count : 0;
}

bool Bench::TakeStopFailure()
{
    Lock lock;
    if (S().stopFailures <= 0)
        return false;
    --S().stopFailures;
    return true;
}

bool Bench::InjectDeviceError(const std::string& name, bool on)
{
    auto cam = FindAny(name);
    if (!cam)
        return false;
    Lock lock;
    cam->deviceError = on;
    cam->Interrupt();
    return true;
}

void Bench::FailNextWhiteBalance()
{
    Lock lock;
    S().failNextWhiteBalance = true;
}

uint32_t Bench::WhiteBalanceCount() const
{
    Lock lock;
    return S().whiteBalances;
}

bool Bench::CountWhiteBalance()
{
    Lock lock;
    S().whiteBalances++;
    const bool fail = S().failNextWhiteBalance;
    S().failNextWhiteBalance = false;
    return !fail;
}

bool Bench::Settings(const std::string& name, CameraSettings* out) const
{
    auto cam = FindAny(name);
    if (!cam || !out)
        return false;
    Lock lock;
    *out = cam->settings;
    return true;
}

bool Bench::Spec(const std::string& name, CameraSpec* out) const
{
    auto cam = FindAny(name);
    if (!cam || !out)
        return false;
    *out = cam->spec;
    return true;
}

uint32_t Bench::FrameCount(const std::string& name) const
{
    auto cam = FindAny(name);
    if (!cam)
        return 0;
    Lock lock;
    return cam->frameNumber;
}

double Bench::FrameRate(const std::string& name) const
{
    auto cam = FindAny(name);
    if (!cam)
        return 0;
    Lock lock;
    return 1000.0 / cam->PeriodMs();
}

bool Bench::ReferenceImage(const std::string& name, const CameraSettings& settings,
                           const RawFrameHeader& frame, std::vector<uint8_t>* image) const
{
    return RenderReference(name, settings, frame, false, image);
}

bool Bench::TruthImage(const std::string& name, const CameraSettings& settings,
                       const RawFrameHeader& frame, std::vector<uint8_t>* image) const
{
    return RenderReference(name, settings, frame, true, image);
}

bool Bench::RenderReference(const std::string& name, const CameraSettings& settings,
                            const RawFrameHeader& frame, bool truth,
                            std::vector<uint8_t>* image) const
{
    auto cam = FindAny(name);
    if (!cam || !image)
        return false;
    ExposureConditions c;
    Corrections corr;
    {
        Lock lock;
        c = Conditions(*cam, frame.frameNumber);
        corr = cam->corrections;
    }
    c.temperature = frame.temperature;
    if (truth) {
        c.noiseFree = true;
        c.allInFocus = true;
    }
    const Resolution& r = cam->spec.resolutions[std::clamp(settings.resolution, 0,
                                                           int(cam->spec.resolutions.size()) - 1)];
    std::vector<uint8_t> raw(RawFrameBytes(r.width, r.height, settings.rawDepth == 16 ? 16 : 8));
    RenderRawFrame(cam->spec, settings, c, raw.data());
    RawFrameHeader hd;
    std::memcpy(&hd, raw.data(), sizeof hd);
    image->assign(DecodedBytes(hd), 0);
    return DecodeRawFrame(cam->spec, settings, corr, raw.data(), uint32_t(raw.size()),
                          image->data(), uint32_t(image->size()));
}

}  // namespace orvbench
