// One camera driver library: built once per family with CAMDRV_TOKEN (the function
// prefix), CAMDRV_FAMILY (the family letter) and CAMDRV_HAS_<group> for each group
// of operations the family exports (see CMakeLists.txt).
#include <windows.h>

#include <string.h>

#include <algorithm>
#include <vector>

#include "external/camdrv/CamDrv.h"
#include "external/camdrv/CamDrvPicture.h"

// The bench's module export. Calling it puts the bench into this library's import
// table, so Wine loads the bench as a module and resolves its own imports; the C++
// calls alone would bind to its file without that.
extern "C" DWORD WINAPI OrvBenchVersion(void);

#define CAMDRV_STR2(x) #x
#define CAMDRV_STR(x) CAMDRV_STR2(x)
#define CAMDRV_NAME2(token, op) token##Camera##op
#define CAMDRV_NAME(token, op) CAMDRV_NAME2(token, op)
#define CAMDRV_EXPORT(op) extern "C" int WINAPI CAMDRV_NAME(CAMDRV_TOKEN, op)

namespace {

struct Size
{
    int width, height;
};

struct Family
{
    char letter;
    bool mono;
    int gainMin, gainMax;      // gain register range
    int maxExposureMs;         // what GetMaxExposure answers (families that have it)
    double megapixelsPerSecond;
    int resolutionCount;       // live-view sizes first, then still-only sizes
    Size sizes[5];
};

const Family kFamilies[] = {
    {'A', false, 1, 120, 64800, 24, 4, {{1280, 1038}, {664, 512}, {640, 512}, {2560, 2076}}},
    {'B', true, 1, 120, 50000, 24, 4, {{1280, 1040}, {1280, 800}, {668, 512}, {640, 512}}},
    {'C', false, 1, 120, 60000, 48, 3, {{2048, 1536}, {1024, 768}, {4096, 3072}}},
    {'D', false, 20, 214, 0, 48, 5,
     {{3664, 2748}, {1600, 1200}, {1280, 960}, {800, 600}, {640, 480}}},
    {'E', false, 1, 80, 0, 24, 3, {{1280, 960}, {640, 480}, {320, 240}}},
    {'F', true, 1, 1023, 0, 20, 3, {{1360, 1024}, {680, 512}, {340, 256}}},
    {'G', false, 170, 600, 0, 20, 4,
     {{2572, 1956}, {1284, 852}, {1280, 960}, {640, 480}}},
    {'H', true, 1, 1023, 0, 20, 3, {{1360, 1024}, {680, 512}, {340, 256}}},
    {'J', false, 1, 80, 0, 36, 3, {{2048, 1536}, {1024, 768}, {640, 480}}},
    {'K', false, 1, 80, 0, 36, 3, {{2048, 1536}, {1024, 768}, {640, 480}}},
    {'L', false, 1, 80, 0, 40, 4, {{2592, 1944}, {1280, 960}, {1024, 768}, {640, 480}}},
};

const Family& ThisFamily()
{
    const char letter = CAMDRV_STR(CAMDRV_FAMILY)[0];
    for (const Family& family : kFamilies)
        if (family.letter == letter)
            return family;
    return kFamilies[0];
}

// The library's longest exposure; longer requests are cut to it.
const int kExposureLimitMs = 4400000;
// A grab waits at most this long before answering that the exposure still runs.
const DWORD kGrabSliceMs = 250;
// A white-balance or flat-field calculation needs this many frames, or this long
// when no frames are being grabbed.
const uint32_t kCalculationFrames = 3;
const DWORD kCalculationMs = 300;
// Parameter sets 0..21 (21 holds the last run's settings).
const int kParameterSets = 22;

struct Calculation
{
    int busy = 0;
    int result = 0;
    uint32_t startFrame = 0;
    DWORD startTick = 0;
};

struct ParameterSet
{
    bool saved = false;
    camdrv::PictureSettings picture;
    int aeOn = 0, aeTarget = 100, frameSpeed = 1;
};

struct Camera
{
    bool initialised = false;
    bool streaming = false;
    int resolution = 0;
    camdrv::SensorModel sensor;
    camdrv::PictureSettings picture;
    camdrv::Corrections corrections;
    int aeOn = 0;
    int aeTarget = 100;
    int frameSpeed = 1;
    int dataWide = 0;
    int filter = 0;
    int awbMode = 0;
    int team = 0;
    Calculation whiteBalance, flatField;
    ParameterSet sets[kParameterSets];
    std::vector<uint8_t> lastRaw;
    uint32_t frameNumber = 0;
    DWORD due = 0;            // tick at which the exposure running now ends
    bool notice = false;      // next frame was exposed across a setting change
    int levelCounts[256] = {0};
    HANDLE restart = NULL;    // wakes a grab waiting out a long exposure
};

SRWLOCK g_lock = SRWLOCK_INIT;

Camera& Cam()
{
    static Camera camera;
    return camera;
}

class Locked
{
public:
    Locked() { AcquireSRWLockExclusive(&g_lock); }
    ~Locked() { ReleaseSRWLockExclusive(&g_lock); }
    Camera& operator*() { return Cam(); }
    Camera* operator->() { return &Cam(); }
};

// Read-out time of one frame, or the exposure when that is longer.
double PeriodMs(const Camera& cam, double exposureMs)
{
    static const double kSpeedFactor[] = {0.5, 1.0, 2.0, 2.5, 3.0, 4.0};
    int speed = std::min(std::max(cam.frameSpeed, 0), 5);
    double readout = double(cam.sensor.width) * cam.sensor.height /
                     (ThisFamily().megapixelsPerSecond * 1000.0 * kSpeedFactor[speed]);
    return std::max(exposureMs, readout);
}

double PeriodMs(const Camera& cam)
{
    return PeriodMs(cam, cam.picture.exposureMs);
}

void RestartExposure(Camera& cam)
{
    cam.due = GetTickCount() + DWORD(PeriodMs(cam));
}

bool ValidResolution(int index)
{
    return index >= 0 && index < ThisFamily().resolutionCount;
}

bool SelectResolution(Camera& cam, int index)
{
    if (!ValidResolution(index))
        return false;
    cam.resolution = index;
    cam.sensor.width = ThisFamily().sizes[index].width;
    cam.sensor.height = ThisFamily().sizes[index].height;
    return true;
}

void PrepareSensor(Camera& cam)
{
    const Family& family = ThisFamily();
    cam.sensor.mono = family.mono;
    cam.sensor.gainMin = family.gainMin;
    cam.sensor.gainMax = family.gainMax;
    if (cam.picture.gain < family.gainMin)
        cam.picture.gain = family.gainMin;
    cam.picture.depth = cam.dataWide ? 16 : 8;
}

// The newest frame, rendering one when none was grabbed yet.
const uint8_t* CurrentFrame(Camera& cam)
{
    if (cam.lastRaw.empty()) {
        cam.lastRaw.resize(camdrv::RawFrameBytes(cam.sensor.width, cam.sensor.height,
                                                 cam.picture.depth));
        camdrv::RenderRawFrame(cam.sensor, cam.picture, cam.frameNumber, cam.resolution,
                               cam.lastRaw.data());
    }
    return cam.lastRaw.data();
}

bool CalculationDue(const Camera& cam, const Calculation& calc)
{
    return cam.frameNumber - calc.startFrame >= kCalculationFrames ||
           GetTickCount() - calc.startTick >= kCalculationMs;
}

void StartCalculation(Camera& cam, Calculation& calc)
{
    calc.busy = 1;
    calc.result = 0;
    calc.startFrame = cam.frameNumber;
    calc.startTick = GetTickCount();
}

void FinishWhiteBalance(Camera& cam)
{
    int gains[3];
    bool ok = camdrv::WhiteBalanceGains(cam.picture, cam.corrections, CurrentFrame(cam), gains);
    if (ok)
        for (int c = 0; c < 3; ++c)
            cam.picture.channelGain[c] = gains[c];
    cam.whiteBalance.busy = 0;
    cam.whiteBalance.result = ok ? 1 : 0;
}

void FinishFlatField(Camera& cam)
{
    bool ok = camdrv::ComputeFlatField(CurrentFrame(cam), cam.corrections);
    cam.flatField.busy = 0;
    cam.flatField.result = ok ? 1 : 0;
}

void AdvanceCalculations(Camera& cam)
{
    if (cam.whiteBalance.busy && CalculationDue(cam, cam.whiteBalance))
        FinishWhiteBalance(cam);
    if (cam.flatField.busy && CalculationDue(cam, cam.flatField))
        FinishFlatField(cam);
}

void FollowAutoExposure(Camera& cam, const uint8_t* frame)
{
    double mean = camdrv::RawMeanLevel(frame);
    if (mean < 1.0)
        mean = 1.0;
    double ratio = std::min(2.0, std::max(0.5, cam.aeTarget / mean));
    if (ratio > 0.97 && ratio < 1.03)
        return;
    cam.picture.exposureMs = std::min(1000.0, std::max(1.0, cam.picture.exposureMs * ratio));
}

int StartStreaming(CamDrvFrameCallback, int previewResolution, HWND, int)
{
    if (!OrvBenchVersion())
        return 0;
    Locked cam;
    if (!SelectResolution(*cam, previewResolution))
        return 0;
    PrepareSensor(*cam);
    if (!cam->restart)
        cam->restart = CreateEventW(NULL, FALSE, FALSE, NULL);
    cam->lastRaw.clear();
    cam->initialised = true;
    cam->streaming = true;
    RestartExposure(*cam);
    return 1;
}

}  // namespace

#if defined(CAMDRV_HAS_INIT3)
CAMDRV_EXPORT(Init)(int previewResolution, HWND window, int flag)
{
    return StartStreaming(NULL, previewResolution, window, flag);
}
#else
CAMDRV_EXPORT(Init)(CamDrvFrameCallback callback, int previewResolution, HWND window, int flag)
{
    return StartStreaming(callback, previewResolution, window, flag);
}
#endif

CAMDRV_EXPORT(UnInit)(void)
{
    if (camdrv::TakeStopFailure())
        return 0;
    Locked cam;
    cam->initialised = false;
    cam->streaming = false;
    cam->lastRaw.clear();
    cam->whiteBalance = Calculation();
    cam->flatField = Calculation();
    return 1;
}

CAMDRV_EXPORT(Play)(void)
{
    Locked cam;
    if (!cam->initialised)
        return 0;
    if (!cam->streaming)
        RestartExposure(*cam);
    cam->streaming = true;
    return 1;
}

CAMDRV_EXPORT(Stop)(void)
{
    Locked cam;
    cam->streaming = false;
    return 1;
}

CAMDRV_EXPORT(GrabFrame)(BYTE* frame)
{
    if (!frame)
        return 0;
    HANDLE restart;
    int wait;
    {
        Locked cam;
        if (!cam->initialised || !cam->streaming) {
            restart = NULL;
            wait = -1;
        } else {
            restart = cam->restart;
            wait = int(cam->due - GetTickCount());
        }
    }
    if (wait == -1 && !restart) {
        Sleep(10);  // not streaming: keep a polling grab thread from spinning
        return 0;
    }
    if (wait > int(kGrabSliceMs))
        return WaitForSingleObject(restart, kGrabSliceMs) == WAIT_OBJECT_0 ? 4 : 3;
    if (wait > 0 && WaitForSingleObject(restart, DWORD(wait)) == WAIT_OBJECT_0)
        return 4;

    camdrv::SensorModel sensor;
    camdrv::PictureSettings picture;
    uint32_t frameNumber;
    int resolution;
    {
        Locked cam;
        if (!cam->initialised || !cam->streaming)
            return 0;
        sensor = cam->sensor;
        picture = cam->picture;
        frameNumber = cam->frameNumber++;
        resolution = cam->resolution;
    }
    // Rendering takes a while; settings and decoding go on meanwhile.
    camdrv::RenderRawFrame(sensor, picture, frameNumber, resolution, frame);

    Locked cam;
    if (!cam->initialised)
        return 0;
    Camera& c = *cam;
    if (c.resolution == resolution && c.picture.depth == picture.depth)
        c.lastRaw.assign(frame, frame + camdrv::RawFrameBytes(sensor.width, sensor.height,
                                                              picture.depth));
    if (c.aeOn)
        FollowAutoExposure(c, frame);
    c.due = std::max(c.due, GetTickCount()) + DWORD(PeriodMs(c));
    AdvanceCalculations(c);
    int answer = c.notice ? 2 : 1;
    c.notice = false;
    return answer;
}

CAMDRV_EXPORT(Decode)(BYTE* raw, BYTE* image, int width, int height, int rgbOut)
{
    camdrv::PictureSettings picture;
    camdrv::Corrections corrections;
    bool wide;
    {
        Locked cam;
        picture = cam->picture;
        corrections = cam->corrections;
        wide = !rgbOut && cam->dataWide;
    }
    int counts[256];
    if (!camdrv::DecodeRawFrame(picture, corrections, raw, width, height, wide, image, counts))
        return 0;
    Locked cam;
    memcpy(cam->levelCounts, counts, sizeof(counts));
    return 1;
}

CAMDRV_EXPORT(CaptureFile)(LPCWSTR path, int pictureType, int resolution)
{
    static const struct { int pictureType; const WCHAR* extension; } kExtensions[] = {
        {1, L".jpg"}, {2, L".bmp"}, {4, L".raw"}, {8, L".tif"}};
    const WCHAR* extension = nullptr;
    for (const auto& entry : kExtensions)
        if (entry.pictureType == pictureType)
            extension = entry.extension;
    if (!path || !extension || lstrlenW(path) + lstrlenW(extension) >= MAX_PATH)
        return 0;

    camdrv::SensorModel sensor;
    camdrv::PictureSettings picture;
    camdrv::Corrections corrections;
    uint32_t frameNumber;
    {
        Locked cam;
        if (!cam->initialised)
            return 0;
        if (!ValidResolution(resolution))
            resolution = cam->resolution;
        sensor = cam->sensor;
        sensor.width = ThisFamily().sizes[resolution].width;
        sensor.height = ThisFamily().sizes[resolution].height;
        picture = cam->picture;
        corrections = cam->corrections;
        frameNumber = cam->frameNumber;
    }
    std::vector<uint8_t> raw(camdrv::RawFrameBytes(sensor.width, sensor.height, picture.depth));
    camdrv::RenderRawFrame(sensor, picture, frameNumber, resolution, raw.data());

    WCHAR file[MAX_PATH];
    lstrcpyW(file, path);
    lstrcatW(file, extension);
    char* unixPath = wine_get_unix_file_name(file);
    if (!unixPath)
        return 0;
    bool written = camdrv::WriteCaptureFile(picture, corrections, raw.data(), unixPath,
                                            pictureType);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return written ? 1 : 0;
}

CAMDRV_EXPORT(GetImageSize)(int* width, int* height)
{
    Locked cam;
    if (!width || !height)
        return 0;
    *width = cam->sensor.width;
    *height = cam->sensor.height;
    return cam->initialised ? 1 : 0;
}

#if defined(CAMDRV_HAS_RGB24)
CAMDRV_EXPORT(GetImageDataRGB24)(BYTE* image)
{
    Locked cam;
    if (!image || !cam->initialised)
        return 0;
    return camdrv::DecodeRawFrame(cam->picture, cam->corrections, CurrentFrame(*cam),
                                  cam->sensor.width, cam->sensor.height, false, image, nullptr)
               ? 1 : 0;
}
#endif

CAMDRV_EXPORT(SetAeState)(int on)
{
    Locked cam;
    cam->aeOn = on ? 1 : 0;
    return 1;
}

CAMDRV_EXPORT(GetAeState)(int* on)
{
    Locked cam;
    if (!on)
        return 0;
    *on = cam->aeOn;
    return 1;
}

CAMDRV_EXPORT(SetAeTarget)(int target)
{
    Locked cam;
    if (target < 1 || target > 255)
        return 0;
    cam->aeTarget = target;
    return 1;
}

CAMDRV_EXPORT(GetAeTarget)(BYTE* target)
{
    Locked cam;
    if (!target)
        return 0;
    *target = BYTE(cam->aeTarget);
    return 1;
}

CAMDRV_EXPORT(SetExposureTime)(int milliseconds)
{
    Locked cam;
    cam->picture.exposureMs = std::min(kExposureLimitMs, std::max(1, milliseconds));
    cam->notice = true;
    RestartExposure(*cam);
    return 1;
}

CAMDRV_EXPORT(GetExposureTime)(int* milliseconds)
{
    Locked cam;
    if (!milliseconds)
        return 0;
    *milliseconds = int(cam->picture.exposureMs + 0.5);
    return 1;
}

#if defined(CAMDRV_HAS_MAXEXP)
CAMDRV_EXPORT(GetMaxExposure)(int* milliseconds)
{
    if (!milliseconds)
        return 0;
    *milliseconds = ThisFamily().maxExposureMs;
    return 1;
}
#endif

CAMDRV_EXPORT(GetRowTime)(float* microseconds)
{
    Locked cam;
    if (!microseconds || cam->sensor.height <= 0)
        return 0;
    *microseconds = float(PeriodMs(*cam, 0.0) * 1000.0 / cam->sensor.height);
    return 1;
}

#if defined(CAMDRV_HAS_LONGEXP)
CAMDRV_EXPORT(RestartLongExposure)(int)
{
    Locked cam;
    RestartExposure(*cam);
    if (cam->restart)
        SetEvent(cam->restart);
    return 1;
}
#endif

CAMDRV_EXPORT(SetAnalogGain)(int gain)
{
    Locked cam;
    const Family& family = ThisFamily();
    cam->picture.gain = std::min(family.gainMax, std::max(family.gainMin, gain));
    return 1;
}

CAMDRV_EXPORT(GetAnalogGain)(short* gain)
{
    Locked cam;
    if (!gain)
        return 0;
    *gain = short(std::max(cam->picture.gain, ThisFamily().gainMin));
    return 1;
}

#if defined(CAMDRV_HAS_BLACK)
CAMDRV_EXPORT(SetBlackLevel)(int level)
{
    Locked cam;
    cam->picture.blackLevel = std::min(255, std::max(0, level));
    return 1;
}

CAMDRV_EXPORT(GetBlackLevel)(int* level)
{
    Locked cam;
    if (!level)
        return 0;
    *level = cam->picture.blackLevel;
    return 1;
}
#endif

CAMDRV_EXPORT(SetGamma)(int gamma)
{
    Locked cam;
    cam->picture.gamma = std::min(255, std::max(1, gamma));
    return 1;
}

CAMDRV_EXPORT(GetGamma)(BYTE* gamma)
{
    Locked cam;
    if (!gamma)
        return 0;
    *gamma = BYTE(cam->picture.gamma);
    return 1;
}

CAMDRV_EXPORT(SetContrast)(int contrast)
{
    Locked cam;
    cam->picture.contrast = std::min(255, std::max(0, contrast));
    return 1;
}

CAMDRV_EXPORT(GetContrast)(BYTE* contrast)
{
    Locked cam;
    if (!contrast)
        return 0;
    *contrast = BYTE(cam->picture.contrast);
    return 1;
}

#if defined(CAMDRV_HAS_COLOUR)
CAMDRV_EXPORT(SetGain)(int red, int green, int blue)
{
    Locked cam;
    const int gains[3] = {red, green, blue};
    for (int c = 0; c < 3; ++c)
        cam->picture.channelGain[c] = std::min(255, std::max(1, gains[c]));
    return 1;
}

CAMDRV_EXPORT(GetGain)(int* red, int* green, int* blue)
{
    Locked cam;
    if (!red || !green || !blue)
        return 0;
    *red = cam->picture.channelGain[0];
    *green = cam->picture.channelGain[1];
    *blue = cam->picture.channelGain[2];
    return 1;
}

CAMDRV_EXPORT(SetSaturation)(int saturation)
{
    Locked cam;
    cam->picture.saturation = std::min(255, std::max(0, saturation));
    return 1;
}

CAMDRV_EXPORT(GetSaturation)(int* saturation)
{
    Locked cam;
    if (!saturation)
        return 0;
    *saturation = cam->picture.saturation;
    return 1;
}

CAMDRV_EXPORT(SetColorEnhancement)(int on)
{
    Locked cam;
    cam->picture.colorEnhancement = on ? 1 : 0;
    return 1;
}

CAMDRV_EXPORT(GetColorEnhancement)(int* on)
{
    Locked cam;
    if (!on)
        return 0;
    *on = cam->picture.colorEnhancement;
    return 1;
}

CAMDRV_EXPORT(SetMonochrome)(int on)
{
    Locked cam;
    cam->picture.monochrome = on ? 1 : 0;
    return 1;
}

CAMDRV_EXPORT(GetMonochrome)(int* on)
{
    Locked cam;
    if (!on)
        return 0;
    *on = cam->picture.monochrome;
    return 1;
}
#endif

#if defined(CAMDRV_HAS_WIDE)
CAMDRV_EXPORT(SetDataWide)(int on)
{
    Locked cam;
    cam->dataWide = on ? 1 : 0;
    cam->picture.depth = cam->dataWide ? 16 : 8;
    cam->lastRaw.clear();
    return 1;
}

CAMDRV_EXPORT(GetDataWide)(int* on)
{
    Locked cam;
    if (!on)
        return 0;
    *on = cam->dataWide;
    return 1;
}
#endif

CAMDRV_EXPORT(SetMirror)(int axis, int on)
{
    Locked cam;
    if (axis < 0 || axis > 1)
        return 0;
    cam->picture.mirror[axis] = on ? 1 : 0;
    return 1;
}

CAMDRV_EXPORT(GetMirror)(int axis, int* on)
{
    Locked cam;
    if (axis < 0 || axis > 1 || !on)
        return 0;
    *on = cam->picture.mirror[axis];
    return 1;
}

CAMDRV_EXPORT(SetFrameSpeed)(int speed)
{
    Locked cam;
    if (speed < 0 || speed > 5)
        return 0;
    cam->frameSpeed = speed;
    return 1;
}

CAMDRV_EXPORT(GetFrameSpeed)(BYTE* speed)
{
    Locked cam;
    if (!speed)
        return 0;
    *speed = BYTE(cam->frameSpeed);
    return 1;
}

#if defined(CAMDRV_HAS_AWB)
CAMDRV_EXPORT(SetAWBState)(int mode)
{
    Locked cam;
    cam->awbMode = mode;
    if (!mode) {
        cam->whiteBalance = Calculation();
        cam->whiteBalance.result = 1;
        return 1;
    }
    if (!cam->initialised)
        return 0;
    StartCalculation(*cam, cam->whiteBalance);
    return 1;
}

CAMDRV_EXPORT(GetAWBStateResult)(int* busy, int* result)
{
    Locked cam;
    if (!busy || !result)
        return 0;
    if (cam->whiteBalance.busy && !cam->initialised)
        cam->whiteBalance = Calculation();  // the camera went away: failed
    AdvanceCalculations(*cam);
    *busy = cam->whiteBalance.busy;
    *result = cam->whiteBalance.result;
    return 1;
}
#endif

#if defined(CAMDRV_HAS_AWBSTATE)
CAMDRV_EXPORT(GetAWBState)(int* state)
{
    Locked cam;
    if (!state)
        return 0;
    *state = cam->awbMode;
    return 1;
}
#endif

#if defined(CAMDRV_HAS_DEFECT)
CAMDRV_EXPORT(CorrectionDead)(void)
{
    Locked cam;
    if (!cam->initialised)
        return 0;
    if (!camdrv::ComputeDefects(CurrentFrame(*cam), cam->corrections))
        return 0;
    cam->picture.defectCorrection = 1;
    return 1;
}
#endif

#if defined(CAMDRV_HAS_RES)
CAMDRV_EXPORT(SetResolution)(int index)
{
    Locked cam;
    if (!SelectResolution(*cam, index))
        return 0;
    cam->lastRaw.clear();
    cam->notice = true;
    RestartExposure(*cam);
    return 1;
}

CAMDRV_EXPORT(GetResolution)(BYTE* index)
{
    Locked cam;
    if (!index)
        return 0;
    *index = BYTE(cam->resolution);
    return 1;
}
#endif

CAMDRV_EXPORT(SaveParameter)(int setNumber)
{
    Locked cam;
    if (setNumber < 0 || setNumber >= kParameterSets)
        return 0;
    ParameterSet& set = cam->sets[setNumber];
    set.saved = true;
    set.picture = cam->picture;
    set.aeOn = cam->aeOn;
    set.aeTarget = cam->aeTarget;
    set.frameSpeed = cam->frameSpeed;
    cam->team = setNumber;
    return 1;
}

CAMDRV_EXPORT(ReadParameter)(int setNumber)
{
    Locked cam;
    if (setNumber < 0 || setNumber >= kParameterSets)
        return 0;
    const ParameterSet& set = cam->sets[setNumber];
    if (set.saved) {
        int depth = cam->picture.depth;
        cam->picture = set.picture;
        cam->picture.depth = depth;  // data width is not part of a set
        cam->aeOn = set.aeOn;
        cam->aeTarget = set.aeTarget;
        cam->frameSpeed = set.frameSpeed;
    }
    cam->team = setNumber;
    return 1;
}

CAMDRV_EXPORT(GetCurrentParameterTeam)(BYTE* setNumber)
{
    Locked cam;
    if (!setNumber)
        return 0;
    *setNumber = BYTE(cam->team);
    return 1;
}

CAMDRV_EXPORT(CalcFlatFielding)(void)
{
    Locked cam;
    if (!cam->initialised)
        return 0;
    StartCalculation(*cam, cam->flatField);
    return 1;
}

CAMDRV_EXPORT(GetCalcFlatFieldingState)(int* busy, int* result)
{
    Locked cam;
    if (!busy || !result)
        return 0;
    if (cam->flatField.busy && !cam->initialised)
        cam->flatField = Calculation();
    AdvanceCalculations(*cam);
    *busy = cam->flatField.busy;
    *result = cam->flatField.result;
    return 1;
}

CAMDRV_EXPORT(SetFlatFieldingState)(int on)
{
    Locked cam;
    cam->picture.flatField = on ? 1 : 0;
    return 1;
}

CAMDRV_EXPORT(GetFlatFieldingState)(int* on)
{
    Locked cam;
    if (!on)
        return 0;
    *on = cam->picture.flatField;
    return 1;
}

CAMDRV_EXPORT(SetLevelsValues)(int low, int high)
{
    Locked cam;
    if (low < 0 || high > 255)
        return -5;
    if (low > high)
        return -4;
    cam->picture.levelsLow = low;
    cam->picture.levelsHigh = high;
    return 1;
}

CAMDRV_EXPORT(GetLevelsValues)(int* low, int* high)
{
    Locked cam;
    if (!low || !high)
        return 0;
    *low = cam->picture.levelsLow;
    *high = cam->picture.levelsHigh;
    return 1;
}

CAMDRV_EXPORT(SetAutoLevelsState)(int state)
{
    Locked cam;
    cam->picture.autoLevels = state ? 1 : 0;
    return 1;
}

CAMDRV_EXPORT(GetAutoLevelsState)(int* state)
{
    Locked cam;
    if (!state)
        return 0;
    *state = cam->picture.autoLevels;
    return 1;
}

CAMDRV_EXPORT(GetLevelsCounts)(int* counts256)
{
    Locked cam;
    if (!counts256)
        return 0;
    memcpy(counts256, cam->levelCounts, sizeof(cam->levelCounts));
    return 1;
}

#if defined(CAMDRV_HAS_FILTER)
CAMDRV_EXPORT(SetFilter)(int on)
{
    Locked cam;
    cam->filter = on ? 1 : 0;
    return 1;
}

CAMDRV_EXPORT(GetFilter)(int* on)
{
    Locked cam;
    if (!on)
        return 0;
    *on = cam->filter;
    return 1;
}
#endif
