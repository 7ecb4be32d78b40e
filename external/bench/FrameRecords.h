// Records that cross the boundary of the camera libraries (ZedOdir and ZuzIrazo share
// them): the raw frame that GetRawData delivers and the image record that
// DecodeRaw2Image fills. Plain data only, so both the Win32 side and the native
// sensor/decode code include this header. 16-bit samples are little-endian.
#pragma once

#include <stdint.h>

namespace orvbench {

// The two camera libraries served by the bench.
static const int kLibraryZedOdir = 0;
static const int kLibraryZuzIrazo = 1;
// Cameras of the driver libraries: the bench only places them on the simulated USB
// tree (the driver stand-ins make their pictures themselves).
static const int kLibraryCamDrv = 2;

static const uint32_t kRawFrameMagic = 0x4652524Fu;  // "ORRF"
static const uint32_t kRawHeaderSize = 64;

// Raw frame: this header, then width x height samples (1 or 2 bytes each) in sensor
// order, top row first. A colour sensor has an RGGB mosaic (red at row 0, column 0).
struct RawFrameHeader
{
    uint32_t magic;
    uint16_t headerSize;   // bytes before the first sample
    uint16_t depth;        // 8 or 16 bits per sample
    uint16_t width;
    uint16_t height;
    uint8_t mosaic;        // 0 monochrome, 1 RGGB
    uint8_t resolution;    // resolution index the frame was read out at
    uint16_t reserved0;
    uint32_t frameNumber;
    float exposureMs;
    float gainFactor;
    float temperature;     // sensor temperature in degrees Celsius
    uint32_t dataBytes;    // bytes of samples behind the header
    uint8_t reserved[28];
};
static_assert(sizeof(RawFrameHeader) == kRawHeaderSize, "raw header is 64 bytes");

static const uint32_t kImageHeaderSize = 64;

// Decoded image as DecodeRaw2Image writes it into the caller's buffer: this record,
// then the pixels at headerSize (rows bottom-up; three channels in blue, green, red
// order, so an 8-bit colour image is a device-independent bitmap's pixel array), then
// four HistogramBlocks (all channels, red, green, blue).
struct ImageRecord
{
    uint8_t* data;         // the pixels, = (uint8_t*)this + headerSize
    uint16_t width;
    uint16_t height;
    uint8_t bits;          // 8 or 16 bits per sample
    uint8_t channels;      // 1 or 3
    uint8_t resolution;    // resolution index of the frame
    uint8_t reserved0;
    uint32_t headerSize;
    uint32_t frameNumber;
    uint8_t reserved[36];
};
static_assert(sizeof(ImageRecord) == kImageHeaderSize, "image header is 64 bytes");

// Histogram of the 8-bit (high-byte) values of the decoded picture; low and high are
// the automatic levels found for that channel before any levels stretch.
struct HistogramBlock
{
    int32_t counts[256];
    int32_t low;
    int32_t high;
};

static const uint32_t kHistogramBytes = 4 * sizeof(HistogramBlock);

inline uint32_t ImagePixelBytes(const ImageRecord& r)
{
    return uint32_t(r.width) * r.height * r.channels * (r.bits / 8);
}

inline const HistogramBlock* ImageHistograms(const ImageRecord& r)
{
    return reinterpret_cast<const HistogramBlock*>(r.data + ImagePixelBytes(r));
}

}  // namespace orvbench
