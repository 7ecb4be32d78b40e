// The driver libraries' picture path, without any Win32 header: raw frames of the
// simulated camera bench's scene and the bench's decoder, adapted to what a driver
// library hands out (bitmap rows of 8- or 16-bit samples, one camera per library).
#pragma once

#include <stdint.h>

#include "external/bench/Pipeline.h"

namespace camdrv {

struct SensorModel
{
    int width = 0, height = 0;
    bool mono = false;
    int gainMin = 1, gainMax = 100;  // gain register range: factor 1 at min, 8 at max
};

struct PictureSettings
{
    double exposureMs = 33.0;
    int gain = 1;
    int depth = 8;                   // raw bits per sample
    int blackLevel = 0;              // 8-bit steps
    int channelGain[3] = {64, 64, 64};  // red, green, blue; 64 is 1
    int gamma = 100;                 // 100 is linear
    int contrast = 0;                // 0 is neutral
    int saturation = 128;            // 128 is neutral
    int colorEnhancement = 0;
    int monochrome = 0;
    int mirror[2] = {0, 0};          // axis 0 left-right, axis 1 top-bottom
    int flatField = 0;
    int defectCorrection = 0;
    int levelsLow = 0, levelsHigh = 255;
    int autoLevels = 0;
};

typedef orvbench::Corrections Corrections;

uint32_t RawFrameBytes(int width, int height, int depth);

// A raw frame (header and samples) as the bench renders it; out must hold RawFrameBytes.
void RenderRawFrame(const SensorModel& sensor, const PictureSettings& settings,
                    uint32_t frameNumber, int resolutionIndex, uint8_t* out);

// Bitmap rows (bottom-up, blue-green-red) of a raw frame of width x height; false when
// raw is not such a frame. wide: 16-bit samples out. histogram (256 counts of the
// picture's 8-bit values) may be null.
bool DecodeRawFrame(const PictureSettings& settings, const Corrections& corrections,
                    const uint8_t* raw, int width, int height, bool wide, uint8_t* out,
                    int* histogram);

// Whether the bench wants this stop to fail (an injected fault).
bool TakeStopFailure();

// Mean 8-bit level of a raw frame.
double RawMeanLevel(const uint8_t* raw);
// Channel gains that make the frame's picture neutral; false for a malformed frame.
bool WhiteBalanceGains(const PictureSettings& settings, const Corrections& corrections,
                       const uint8_t* raw, int gains[3]);

// Flat-field gains and the defect map from one raw frame.
bool ComputeFlatField(const uint8_t* raw, Corrections& corrections);
bool ComputeDefects(const uint8_t* raw, Corrections& corrections);

// Writes a capture file of a raw frame: picture type 1 JPEG, 2 BMP, 8 TIFF (decoded with
// the settings) or 4 RAW (the frame's bytes). False for another type or a failed write.
bool WriteCaptureFile(const PictureSettings& settings, const Corrections& corrections,
                      const uint8_t* raw, const char* unixPath, int pictureType);

}  // namespace camdrv
