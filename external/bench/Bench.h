// The simulated camera bench: which cameras are attached, what they look at, and the
// controls that tests use. One bench per process: it lives in OrvBench.dll, which the
// stand-in camera libraries and the tests link.
//
// The bench starts from the file named by the environment variable ORV_BENCH_FILE, or
// from the default bench (one colour ZedOdir camera) when the variable is unset.
// Boundary rules: plain data and std types only; nothing throws out of the bench.
#pragma once

#include "FrameRecords.h"
#include "Pipeline.h"

#include <stdint.h>
#include <string>
#include <vector>

// The bench's one plain export. Every module that uses the bench refers to it once
// (below), so the bench is in its import table and Wine loads it as a module.
extern "C" __attribute__((ms_abi)) unsigned int OrvBenchVersion(void);
static void* const orvBenchImport __attribute__((used)) = (void*)&OrvBenchVersion;

namespace orvbench {

// Settings of the whole bench (the file's global lines).
struct BenchOptions
{
    uint32_t seed = 1;
    bool noiseFree = false;
    float focus = 0.0f;
    float ambient = 25.0f;   // degrees Celsius
    bool stampFrames = false; // tests: frame numbers in the decoded pictures
    int stopFailures = 0;    // driver-library stops that answer failure first
    // Set once a stage position is given: the camera looks at a field of a slide
    // larger than its picture, its top-left corner at (stageX, stageY) sensor pixels.
    bool onSlide = false;
    float stageX = 0.0f, stageY = 0.0f;
    float emptyShare = 0.0f; // share of the slide that holds no cells
};

// Parses a bench file's text; false with a message naming the line on an error.
bool ParseBench(const std::string& text, std::vector<CameraSpec>* cameras,
                BenchOptions* options, std::string* error);
// Whether two driver cameras claim the same USB port (or one a port of the other's path).
bool UsbPlacesClash(const CameraSpec& a, const CameraSpec& b);
// The default bench: one colour camera of the first library.
std::vector<CameraSpec> DefaultBench();
// Fills what a bench line leaves out (resolutions, clocks, picture profile, cooling)
// from the library and product.
void CompleteSpec(CameraSpec* spec);
// Start settings of a camera as the library powers it up.
CameraSettings InitialSettings(const CameraSpec& spec);

class Bench
{
public:
    static Bench& Get();

    // Contents. Loading replaces every attached camera and its state.
    bool Load(const std::string& text, std::string* error = nullptr);
    bool LoadFile(const std::string& path, std::string* error = nullptr);  // Unix or Windows path
    void LoadDefault();
    // What the bench starts from: the file named by ORV_BENCH_FILE, or the default
    // bench when it is unset or unreadable (the reason goes to the error stream).
    void LoadFromEnvironment();
    std::vector<std::string> CameraNames(int library) const;
    // The attached driver-library cameras with their USB places, for the simulated USB
    // tree the camera scan walks.
    std::vector<CameraSpec> DriverCameras() const;

    // Plugs a camera in (a bench "camera" line); the library's DeviceChange then
    // reports its name. Unplug reports the name the same way.
    bool Plug(const std::string& cameraLine, std::string* error = nullptr);
    bool Unplug(const std::string& name);

    // Test controls.
    void SetSeed(uint32_t seed);
    void SetNoiseFree(bool noiseFree);
    void SetFocus(float focus);
    // Moves the stage: from then on the field shows the slide at (x, y) sensor pixels.
    void SetStage(float x, float y);
    void SetEmptyShare(float share);
    BenchOptions Options() const;
    // The next grab of that camera answers result (0 or 1 still deliver a frame).
    bool InjectGrabResult(const std::string& name, int result);
    // While on, every grab of that camera answers the device error (-5).
    bool InjectDeviceError(const std::string& name, bool on);
    // The next white balance of any camera fails and leaves the gains alone.
    void FailNextWhiteBalance();
    // White balances asked of the cameras since the process started.
    uint32_t WhiteBalanceCount() const;
    // For the stand-in libraries: counts a white balance; false when it is to fail.
    bool CountWhiteBalance();
    // While on, each decoded picture carries its frame number in its first four pixels
    // (pixel k, every channel: byte k of the number, lowest first).
    void SetFrameStamp(bool on);
    // The next count stops of a driver-library camera (its UnInit) answer failure (0),
    // as a library still finishing a recording does.
    void InjectStopFailures(int count);
    // Takes one injected stop failure: true while any remain.
    bool TakeStopFailure();

    // Observation.
    bool Settings(const std::string& name, CameraSettings* out) const;
    bool Spec(const std::string& name, CameraSpec* out) const;
    // Frames the camera has delivered since the bench was loaded.
    uint32_t FrameCount(const std::string& name) const;
    // Frames per second the camera runs at with its current settings.
    double FrameRate(const std::string& name) const;
    // The decoded picture of a delivered frame (its header gives the frame number and
    // temperature) for given settings, with the camera's current corrections.
    bool ReferenceImage(const std::string& name, const CameraSettings& settings,
                        const RawFrameHeader& frame, std::vector<uint8_t>* image) const;
    // The same picture noise-free with every layer of cells sharp: what a perfect
    // composition of a focus stack would show.
    bool TruthImage(const std::string& name, const CameraSettings& settings,
                    const RawFrameHeader& frame, std::vector<uint8_t>* image) const;

private:
    bool RenderReference(const std::string& name, const CameraSettings& settings,
                         const RawFrameHeader& frame, bool truth,
                         std::vector<uint8_t>* image) const;
    Bench();
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;
};

}  // namespace orvbench
