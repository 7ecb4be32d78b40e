// The deep TIFF writer and TIFF depth reader over libtiff, on memory buffers. No Win32
// header: the store writes the buffer through Win32 (beside the target, replaced only
// when complete).
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <vector>

namespace deep_tiff {

enum Result {
    TIFF_WRITE_OK = 0,
    TIFF_BAD_KIND = -1,
    TIFF_OPEN_FAILED = 2,
    TIFF_ROW_FAILED = 3,
};

// kind 1 grey, 2 RGB, 3 palette (8-bit writer only); compression 0 none, 1 JPEG,
// 2 LZW; sampleMode as ConvertSamples16. Rows are top-down.
// 16-bit samples, width × samples per pixel words a row.
int WriteTiff16(std::vector<uint8_t>& out, int width, int height, int kind, int bitsPerPixel,
                int compression, int sampleMode, const uint16_t* pixels);
// Padded rows of ((bitsPerPixel × width + 31) / 32) × 4 bytes, bottom-up as in a BMP;
// RGB pixels in B,G,R order; palette of paletteCount B,G,R,0 entries.
int WriteTiff8(std::vector<uint8_t>& out, int width, int height, int kind, int bitsPerPixel,
               int compression, int sampleMode, int paletteCount, const uint8_t* palette,
               const uint8_t* pixels);
// Changes each 16-bit word in place: 2 swaps its bytes, 3 swaps the nibbles of its low
// byte, 4 both, 5 rotates it left by 4 bits.
void ConvertSamples16(uint16_t* words, size_t byteCount, int mode);
// Samples per pixel × bits per sample of the first page, 24 where a tag is missing,
// -1 when the data is no TIFF.
int ReadTiffBitDepth(const uint8_t* data, size_t size);

}  // namespace deep_tiff
