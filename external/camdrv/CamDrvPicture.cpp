#include "external/camdrv/CamDrvPicture.h"

#include <string.h>

#include <algorithm>
#include <vector>

#include "external/bench/Bench.h"
#include "external/bench/ImageFiles.h"

namespace camdrv {

namespace {

using orvbench::RawFrameHeader;

// Contrast 0 is neutral for the driver families; the bench scales by a neutral point.
const int kContrastNeutral = 100;

orvbench::PictureProfile DriverProfile()
{
    orvbench::PictureProfile profile;
    profile.gammaNeutral = 100;
    profile.contrastNeutral = kContrastNeutral;
    profile.saturationNeutral = 128;
    profile.channelGainNeutral = 64;
    profile.channelGainMin = 1;
    profile.channelGainMax = 255;
    return profile;
}

orvbench::CameraSpec Spec(int width, int height, bool colour)
{
    orvbench::CameraSpec spec;
    spec.colour = colour;
    spec.resolutions.push_back(orvbench::Resolution{"frame", width, height});
    spec.profile = DriverProfile();
    return spec;
}

orvbench::CameraSettings BenchSettings(const PictureSettings& s)
{
    orvbench::CameraSettings b;
    b.rawDepth = s.depth == 16 ? 16 : 8;
    b.exposureMs = float(s.exposureMs);
    for (int c = 0; c < 3; ++c) {
        b.channelGain[c] = s.channelGain[c];
        b.stretchLow[c] = s.levelsLow;
        b.stretchHigh[c] = s.levelsHigh;
        b.stretchAuto[c] = s.autoLevels;
    }
    b.blackLevel = s.blackLevel;
    b.gamma = s.gamma;
    b.contrast = s.contrast + kContrastNeutral;
    b.saturation = s.saturation;
    b.monochrome = s.monochrome;
    b.colorEnhancement = s.colorEnhancement;
    b.flip = (s.mirror[0] ? 1 : 0) | (s.mirror[1] ? 2 : 0);
    b.flatField = s.flatField;
    b.defectCorrection = s.defectCorrection;
    b.histogram = 1;
    return b;
}

// A raw frame's header when it is one of width x height (any size when width is 0).
bool FrameHeader(const uint8_t* raw, int width, int height, RawFrameHeader* header)
{
    if (!raw)
        return false;
    memcpy(header, raw, sizeof(*header));
    if (header->magic != orvbench::kRawFrameMagic || header->headerSize < sizeof(*header) ||
        (header->depth != 8 && header->depth != 16) || header->width == 0 ||
        header->height == 0)
        return false;
    if (width && (header->width != width || header->height != height))
        return false;
    return header->dataBytes == uint32_t(header->width) * header->height * (header->depth / 8);
}

// The bench's decoded record of a raw frame.
bool DecodeRecord(const PictureSettings& settings, const Corrections& corrections,
                  const uint8_t* raw, const RawFrameHeader& header, std::vector<uint8_t>& image)
{
    image.resize(orvbench::DecodedBytes(header));
    orvbench::CameraSpec spec = Spec(header.width, header.height, header.mosaic != 0);
    return orvbench::DecodeRawFrame(spec, BenchSettings(settings), corrections, raw,
                                    header.headerSize + header.dataBytes, image.data(),
                                    uint32_t(image.size()));
}

}  // namespace

uint32_t RawFrameBytes(int width, int height, int depth)
{
    return orvbench::RawFrameBytes(width, height, depth == 16 ? 16 : 8);
}

void RenderRawFrame(const SensorModel& sensor, const PictureSettings& settings,
                    uint32_t frameNumber, int resolutionIndex, uint8_t* out)
{
    orvbench::CameraSettings b = BenchSettings(settings);
    int span = std::max(1, sensor.gainMax - sensor.gainMin);
    // The bench's gain register gives a factor of 1 + register x 0.0351; the family's
    // register range spans factors 1 to 8.
    b.analogGain = int(199.4 * std::max(0, settings.gain - sensor.gainMin) / span + 0.5);

    orvbench::BenchOptions options = orvbench::Bench::Get().Options();
    orvbench::ExposureConditions conditions;
    conditions.seed = options.seed;
    conditions.noiseFree = options.noiseFree;
    conditions.focus = options.focus;
    conditions.temperature = options.ambient;
    conditions.frameNumber = frameNumber;
    orvbench::RenderRawFrame(Spec(sensor.width, sensor.height, !sensor.mono), b, conditions, out);
    reinterpret_cast<RawFrameHeader*>(out)->resolution = uint8_t(resolutionIndex);
}

bool DecodeRawFrame(const PictureSettings& settings, const Corrections& corrections,
                    const uint8_t* raw, int width, int height, bool wide, uint8_t* out,
                    int* histogram)
{
    RawFrameHeader header;
    if (!out || width <= 0 || height <= 0 || !FrameHeader(raw, width, height, &header))
        return false;
    std::vector<uint8_t> image;
    if (!DecodeRecord(settings, corrections, raw, header, image))
        return false;
    const orvbench::ImageRecord* record =
        reinterpret_cast<const orvbench::ImageRecord*>(image.data());
    const uint8_t* pixels = image.data() + record->headerSize;
    const int inBytes = record->bits / 8;
    const int channels = record->channels;
    const size_t count = size_t(width) * height;
    // Both sides keep rows bottom-up; only sample width and channel count change.
    for (size_t i = 0; i < count; ++i) {
        for (int slot = 0; slot < 3; ++slot) {
            const uint8_t* in = pixels + (i * channels + (channels == 3 ? slot : 0)) * inBytes;
            unsigned value = inBytes == 2 ? unsigned(in[0] | (in[1] << 8)) : unsigned(in[0]) * 257u;
            if (wide) {
                out[(i * 3 + slot) * 2] = uint8_t(value & 0xFF);
                out[(i * 3 + slot) * 2 + 1] = uint8_t(value >> 8);
            } else {
                out[i * 3 + slot] = uint8_t(value >> 8);
            }
        }
    }
    if (histogram) {
        const orvbench::HistogramBlock* blocks = orvbench::ImageHistograms(*record);
        for (int i = 0; i < 256; ++i)
            histogram[i] = blocks[0].counts[i];
    }
    return true;
}

double RawMeanLevel(const uint8_t* raw)
{
    RawFrameHeader header;
    return FrameHeader(raw, 0, 0, &header) ? orvbench::RawMeanLevel(raw) : 0.0;
}

bool WhiteBalanceGains(const PictureSettings& settings, const Corrections& corrections,
                       const uint8_t* raw, int gains[3])
{
    RawFrameHeader header;
    if (!FrameHeader(raw, 0, 0, &header) || !header.mosaic)
        return false;
    std::vector<uint8_t> image;
    if (!DecodeRecord(settings, corrections, raw, header, image))
        return false;
    for (int c = 0; c < 3; ++c)
        gains[c] = settings.channelGain[c];
    orvbench::ComputeWhiteBalance(*reinterpret_cast<const orvbench::ImageRecord*>(image.data()),
                                  nullptr, DriverProfile(), gains);
    return true;
}

bool ComputeFlatField(const uint8_t* raw, Corrections& corrections)
{
    RawFrameHeader header;
    if (!FrameHeader(raw, 0, 0, &header))
        return false;
    orvbench::ComputeFlatField(raw, corrections);
    return !corrections.flatGain.empty();
}

bool ComputeDefects(const uint8_t* raw, Corrections& corrections)
{
    RawFrameHeader header;
    if (!FrameHeader(raw, 0, 0, &header))
        return false;
    orvbench::ComputeDefectMap(raw, corrections);
    return !corrections.defect.empty();
}

bool WriteCaptureFile(const PictureSettings& settings, const Corrections& corrections,
                      const uint8_t* raw, const char* unixPath, int pictureType)
{
    static const int kJpegQuality = 90;
    RawFrameHeader header;
    if (!unixPath || !FrameHeader(raw, 0, 0, &header))
        return false;
    int format;
    switch (pictureType) {
    case 1: format = orvbench::kFormatJpeg; break;
    case 2: format = orvbench::kFormatBmp; break;
    case 8: format = orvbench::kFormatTiff; break;
    case 4: return orvbench::WriteBytes(unixPath, raw, header.headerSize + header.dataBytes);
    default: return false;
    }
    std::vector<uint8_t> image;
    if (!DecodeRecord(settings, corrections, raw, header, image))
        return false;
    return orvbench::WriteImageFile(
        unixPath, *reinterpret_cast<const orvbench::ImageRecord*>(image.data()), format,
        kJpegQuality);
}

}  // namespace camdrv

bool camdrv::TakeStopFailure()
{
    return orvbench::Bench::Get().TakeStopFailure();
}
