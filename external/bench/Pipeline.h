// The simulated camera's picture path, native side (no Win32 header): the scene, the
// sensor that turns it into raw frames and the decoder that turns raw frames into
// pictures. Everything here is a pure function of its inputs, so a test can render
// the picture the libraries should deliver for given settings.
#pragma once

#include "FrameRecords.h"

#include <stdint.h>
#include <string>
#include <vector>

namespace orvbench {

// Neutral points and ranges of the picture controls; they differ between camera
// families (a value equal to the neutral point leaves the picture unchanged).
struct PictureProfile
{
    int gammaNeutral;        // gamma value for an exponent of 1
    int contrastNeutral;
    int saturationNeutral;
    int channelGainNeutral;  // channel gain for a factor of 1
    int channelGainMin, channelGainMax;
};

struct Resolution
{
    std::string name;        // "1280X1024"
    int width, height;
};

struct PixelClock
{
    std::string name;        // shown to the user
    double megahertz;        // read-out speed: pixels per microsecond
};

// One attached camera as the bench file describes it.
struct CameraSpec
{
    int library = 0;         // kLibraryZedOdir, kLibraryZuzIrazo or kLibraryCamDrv
    int vendor = 0x0547;
    int product = 0xA005;
    std::string name;        // the library's device name, "<model>.<n>"
    bool colour = true;
    bool cooled = false;
    std::vector<Resolution> resolutions;
    std::vector<PixelClock> clocks;
    PictureProfile profile{};
    // Driver cameras only: host controller and port path from its root hub down (a hub
    // on every port but the last); no ports lets the USB tree pick a free root port.
    int usbController = 0;
    std::vector<int> usbPorts;
};

// Everything a library call can set on a camera; the decoder and the sensor read it.
struct CameraSettings
{
    int resolution = 0;
    int pixelClock = 0;
    int rawDepth = 8;
    float exposureMs = 33.0f;
    int autoExposure = 0;
    int aeTarget = 100;
    int analogGain = 0;      // gain register; factor 1 + register x 0.0351
    int channelGain[3] = {64, 64, 64};   // red, green, blue
    int blackLevel = 0;      // in 8-bit steps, subtracted from the raw samples
    int gamma = 100;
    int gammaEx[3] = {100, 100, 100};
    int contrast = 128;
    int saturation = 100;
    int monochrome = 0;
    int colorEnhancement = 0;
    int flip = 0;            // mask 1 mirrors left-right, mask 2 top-bottom
    int colorTemperature = 0;
    int flatField = 0;
    int defectCorrection = 0;
    int shiftOperator = 1;
    int sharpness = 0;
    int denoise = 0;
    int stretchLow[3] = {0, 0, 0};
    int stretchHigh[3] = {255, 255, 255};
    int stretchAuto[3] = {0, 0, 0};
    int histogram = 0;
    int imageFormat = 16;
    int coolerOn = 0;
    int filter = 0;
    int whiteBalanceState = 0;
    int fluorescenceStep = 0, fluorescenceMode = 0;
};

// Inputs of one raw frame besides the settings.
struct ExposureConditions
{
    uint32_t seed = 1;
    uint32_t frameNumber = 0;
    bool noiseFree = false;
    float focus = 0.0f;      // stage focus; 0 puts the middle layer of cells in focus
    float temperature = 25.0f;
    bool blank = false;      // an empty part of the slide (for flat-field calibration)
    bool dark = false;       // lamp off (for defect calibration)
    // A field of a slide larger than the picture: its top-left corner sits at
    // (stageX, stageY) slide pixels, so overlapping fields show the same cells. Off: the
    // classic scene, scaled to the field.
    bool onSlide = false;
    float stageX = 0.0f, stageY = 0.0f;
    float emptyShare = 0.0f; // share of the slide without cells (faint debris only)
    bool allInFocus = false; // every layer sharp: the truth of a focus stack
    bool evenLamp = false;   // no fall-off towards the corners: the truth of a mosaic
};

// Slide pixels per unit of cell geometry on a slide (the classic scene uses the
// field's shorter side instead).
static const int kSlideUnitPixels = 480;

// Corrections computed from frames (flat field, defect map); empty until calculated.
struct Corrections
{
    int width = 0, height = 0;
    std::vector<float> flatGain;       // per raw pixel, multiplies the sample
    std::vector<uint8_t> defect;       // per raw pixel, 1 = replace by neighbours
};

float AnalogGainFactor(int gainRegister);

// Raw frame size for a camera at a resolution and depth, header included.
uint32_t RawFrameBytes(int width, int height, int depth);
// Size of a receive buffer: a raw frame plus room for the histograms.
uint32_t ReceiveBytes(int width, int height, int depth);

// Renders a raw frame (header and samples) into out, which must hold RawFrameBytes.
void RenderRawFrame(const CameraSpec& camera, const CameraSettings& settings,
                    const ExposureConditions& conditions, uint8_t* out);

// Decodes a raw frame into an image record; image must hold the record, the pixels
// (three channels for a colour sensor) and the histograms. False for a malformed frame.
bool DecodeRawFrame(const CameraSpec& camera, const CameraSettings& settings,
                    const Corrections& corrections, const uint8_t* raw, uint32_t rawBytes,
                    uint8_t* image, uint32_t imageBytes);
// Bytes DecodeRawFrame needs for a raw frame of that header.
uint32_t DecodedBytes(const RawFrameHeader& header);

// Flat field from one raw frame: per-pixel gains that even out illumination per colour.
void ComputeFlatField(const uint8_t* raw, Corrections& corrections);
// Defect map from one raw frame: pixels far above their same-colour neighbours.
void ComputeDefectMap(const uint8_t* raw, Corrections& corrections);

// Channel gains that make the mean of the rectangle neutral, from a decoded image
// made with the current gains. Rectangle null: the whole picture.
void ComputeWhiteBalance(const ImageRecord& image, const int* rect /* l,t,w,h */,
                         const PictureProfile& profile, int gains[3]);
// Mean luminance (0..255) of a rectangle of a decoded image; -1 for an empty rectangle.
int ImageIntensity(const ImageRecord& image, int left, int top, int width, int height);
// Nearest-neighbour copy of a decoded image into another record of the given size.
bool ResizeImageRecord(const ImageRecord& src, uint8_t* dst, int width, int height);

// Mean 8-bit level of a raw frame (for automatic exposure).
double RawMeanLevel(const uint8_t* raw);

// Calls body(context, band) for every band in 0..count-1, the calls at once on threads
// of the process (defined on the Win32 side, whose threads the system knows).
using BandBody = void (*)(void* context, int band);
void RunBands(int count, BandBody body, void* context);

template <class F>
void ForEachBand(int count, F& f)
{
    RunBands(count, [](void* context, int band) { (*static_cast<F*>(context))(band); }, &f);
}

}  // namespace orvbench
