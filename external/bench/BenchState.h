// Internal state of the camera bench shared by the bench controls (Bench.cpp) and the
// library behaviour (LibraryFront.cpp): the attached cameras, their timing, the lock
// and small helpers. Win32 side; not for use outside the bench.
#pragma once

#include <windows.h>

#include "Bench.h"
#include "ImageFiles.h"
#include "LibraryFront.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <set>

namespace orvbench {
namespace detail {

const int kNoInjection = INT_MIN;
// A grab never keeps its caller longer than this; the caller loops.
const DWORD kGrabWaitMs = 100;
const int kResultNoFrame = 2;
const int kResultDeviceError = -5;
const int kFailed = 1;
const int kNoDevice = -1;
const int kConfigurationSets = 22;
const float kExposureUnitMs = 0.1f;
const float kExposureMaxMs = 3600000.0f;
const int kAnalogGainMax = 1023;
const float kCoolingTimeConstantS = 15.0f;

// Interface class of the simulated cameras.
const GUID kCameraInterface = {0x6f4a3c21, 0x9b7e, 0x4d10,
                               {0x8a, 0x55, 0x3e, 0x0b, 0x72, 0xc4, 0x19, 0xd6}};
double NowMs();

struct Camera
{
    CameraSpec spec;
    CameraSettings settings;
    Corrections corrections;
    bool resumed = false;
    uint32_t frameNumber = 0;
    double nextDue = 0;
    std::vector<uint8_t> lastRaw, lastImage;
    // A still read out at another resolution; the stream delivers it next, as a device
    // that switched its readout for the still does.
    std::vector<uint8_t> pendingStill;
    float temperature = 25.0f;
    double temperatureAt = 0;
    int injected = kNoInjection;
    bool deviceError = false;
    HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    LONG generation = 0;        // bumped to send waiting grabs home
    int configuration = 0;
    int autoLow[3] = {0, 0, 0}, autoHigh[3] = {255, 255, 255};
    HWND display = nullptr;

    ~Camera() { CloseHandle(wake); }
    const Resolution& CurrentResolution() const
    {
        return spec.resolutions[std::clamp(settings.resolution, 0, int(spec.resolutions.size()) - 1)];
    }
    double PeriodMs() const
    {
        const Resolution& r = CurrentResolution();
        const PixelClock& c = spec.clocks[std::clamp(settings.pixelClock, 0, int(spec.clocks.size()) - 1)];
        double readout = double(r.width) * r.height / (c.megahertz * 1000.0) + 1.0;
        return std::max<double>(settings.exposureMs, readout);
    }
    void Interrupt()
    {
        InterlockedIncrement(&generation);
        SetEvent(wake);
    }
};

struct State
{
    CRITICAL_SECTION lock;
    std::vector<std::shared_ptr<Camera>> cameras;
    BenchOptions options;
    std::deque<std::string> changes[2];
    std::vector<WCHAR> folder[2];
    std::set<std::string> names;   // every name handed out stays valid
    bool loaded = false;
    int stopFailures = 0;

    State() { InitializeCriticalSection(&lock); }
};
State& S();

struct Lock
{
    Lock() { EnterCriticalSection(&S().lock); }
    ~Lock() { LeaveCriticalSection(&S().lock); }
};
const char* Intern(const std::string& s);
std::shared_ptr<Camera> MakeCamera(const CameraSpec& spec);
void Replace(const std::vector<CameraSpec>& specs, const BenchOptions& options);
std::string UnixPath(const WCHAR* path);
void EnsureLoaded();
std::shared_ptr<Camera> Find(int library, const char* dev);
std::shared_ptr<Camera> FindAny(const std::string& name);
std::vector<std::shared_ptr<Camera>> Cameras(int library);

// The sensor warms towards its resting point or is pulled down by the cooler.
void UpdateTemperature(Camera& cam, double now);
ExposureConditions Conditions(const Camera& cam, uint32_t frameNumber);

// Renders one frame of the camera at its current settings (lock held by the caller
// for the copy only).
std::vector<uint8_t> RenderNow(Camera& cam, bool blank, bool dark);
// Reads out a new frame at a resolution index (it counts as a delivered frame).
std::vector<uint8_t> ReadOutAt(Camera& cam, int resolution);

// The last decoded picture, decoding (or rendering) one when there is none yet.
bool LastImage(Camera& cam, std::vector<uint8_t>* out);

// An image record handed in by a caller: its pixels follow the header wherever the
// buffer has been copied to.
ImageRecord Record(const void* image);
bool ValidRecord(const ImageRecord& r);
int SetIn(const char* dev, int library, int CameraSettings::*member, int value, int lo, int hi);
int GetOut(const char* dev, int library, int CameraSettings::*member, int* out);
int Range(const char* dev, int library, int* lo, int* hi, int a, int b);

}  // namespace detail
}  // namespace orvbench
