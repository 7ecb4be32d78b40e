// Decoders and encoders of every file format, over plain memory buffers. No Win32
// header: file I/O and the metafile formats (played by GDI) stay with CxImage.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <atomic>
#include <string>
#include <vector>

#include "PixelImage.h"

namespace orv_img {

typedef std::vector<uint8_t> ByteBuffer;

// The format a buffer's signature names, FORMAT_UNKNOWN when it has none we know
// (TGA and WBMP carry none). JPEG 2000 is told apart by container or code stream.
int DetectFormat(const uint8_t* data, size_t size);

// Decodes a buffer of the given format (FORMAT_UNKNOWN: by signature). On failure
// the image is left empty and err holds a clear reason.
bool DecodeImage(int format, const uint8_t* data, size_t size, PixelImage& image,
                 std::string& err);
// Encodes into out (replaced). quality is used by JPEG only (1..100).
bool EncodeImage(int format, const PixelImage& image, ByteBuffer& out, int quality,
                 std::string& err);
// Whether the native side reads / writes the format (the metafiles are read by GDI).
bool CanDecode(int format);
bool CanEncode(int format);

// Large pictures are coded in row bands at once where the format allows it (TIFF
// strips). The codecs make no threads: the program hands them a runner that calls
// body(context, band) for every band in 0..count-1 and returns when all have ended,
// with the most bands worth asking for. Without one (or with maxBands 1) every band
// runs on the caller's thread. The files written are the same either way.
typedef void (*BandBody)(void* context, int band);
typedef void (*BandRunner)(int count, BandBody body, void* context);
void SetBandRunner(BandRunner runner, int maxBands);

// One entry point per format, used by the dispatch above and by the tests.
bool DecodeBmp(const uint8_t* data, size_t size, PixelImage& image, std::string& err);
bool EncodeBmp(const PixelImage& image, ByteBuffer& out, std::string& err);
// A DIB without file header, as icons store it: info header, palette, pixels;
// with iconMask the height counts the AND mask too, which becomes the alpha plane.
bool DecodeDib(const uint8_t* data, size_t size, bool iconMask, PixelImage& image,
               std::string& err);
bool DecodeIco(const uint8_t* data, size_t size, PixelImage& image, std::string& err);
bool EncodeIco(const PixelImage& image, ByteBuffer& out, std::string& err);
bool DecodeTga(const uint8_t* data, size_t size, PixelImage& image, std::string& err);
bool EncodeTga(const PixelImage& image, ByteBuffer& out, std::string& err);
bool DecodePcx(const uint8_t* data, size_t size, PixelImage& image, std::string& err);
bool EncodePcx(const PixelImage& image, ByteBuffer& out, std::string& err);
bool DecodeWbmp(const uint8_t* data, size_t size, PixelImage& image, std::string& err);
bool EncodeWbmp(const PixelImage& image, ByteBuffer& out, std::string& err);
bool DecodePnm(const uint8_t* data, size_t size, PixelImage& image, std::string& err);
bool EncodePnm(const PixelImage& image, ByteBuffer& out, std::string& err);
bool DecodeRas(const uint8_t* data, size_t size, PixelImage& image, std::string& err);
bool EncodeRas(const PixelImage& image, ByteBuffer& out, std::string& err);
bool DecodePgx(const uint8_t* data, size_t size, PixelImage& image, std::string& err);
bool EncodePgx(const PixelImage& image, ByteBuffer& out, std::string& err);
bool DecodeJpeg(const uint8_t* data, size_t size, PixelImage& image, std::string& err);
bool EncodeJpeg(const PixelImage& image, ByteBuffer& out, int quality, std::string& err);
bool DecodePng(const uint8_t* data, size_t size, PixelImage& image, std::string& err);
bool EncodePng(const PixelImage& image, ByteBuffer& out, std::string& err);
bool DecodeTiff(const uint8_t* data, size_t size, PixelImage& image, std::string& err);
bool EncodeTiff(const PixelImage& image, ByteBuffer& out, std::string& err);
bool DecodeGif(const uint8_t* data, size_t size, PixelImage& image, std::string& err);
bool EncodeGif(const PixelImage& image, ByteBuffer& out, std::string& err);
bool DecodeJp2(const uint8_t* data, size_t size, PixelImage& image, std::string& err);
// container true: JP2 file; false: bare code stream (J2K/JPC).
bool EncodeJp2(const PixelImage& image, bool container, ByteBuffer& out, std::string& err);
bool DecodeMng(const uint8_t* data, size_t size, PixelImage& image, std::string& err);
bool EncodeMng(const PixelImage& image, ByteBuffer& out, std::string& err);

// Helpers shared by the codecs.
namespace detail {

inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Le32(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint32_t Be32(const uint8_t* p)
{
    return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}
inline void PutLe16(ByteBuffer& b, unsigned v)
{
    b.push_back(v & 255);
    b.push_back((v >> 8) & 255);
}
inline void PutLe32(ByteBuffer& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back((v >> (8 * i)) & 255);
}
inline void PutBe16(ByteBuffer& b, unsigned v)
{
    b.push_back((v >> 8) & 255);
    b.push_back(v & 255);
}
inline void PutBe32(ByteBuffer& b, uint32_t v)
{
    for (int i = 3; i >= 0; --i)
        b.push_back((v >> (8 * i)) & 255);
}

// An n-bit sample as 8 bits by repeating its bits (5-bit 31 gives 255).
inline uint8_t WidenBits(uint32_t v, int bits)
{
    if (bits >= 8)
        return static_cast<uint8_t>(v >> (bits - 8));
    if (bits <= 0)
        return 0;
    uint32_t out = 0;
    for (int shift = 8 - bits; shift > -bits; shift -= bits)
        out |= shift >= 0 ? v << shift : v >> -shift;
    return static_cast<uint8_t>(out);
}

// Fills the alpha plane from a top-down row of one byte per pixel.
void SetAlphaRow(PixelImage& image, int topY, const uint8_t* alpha);
// Whether any alpha value is below 255.
bool AlphaUsed(const PixelImage& image);
// Whether a two-colour palette is exactly {black, white} (or {white, black} with
// whiteFirst).
bool IsBlackWhite(const PixelImage& image, bool whiteFirst);
// The same indices at a wider depth (4 or 8), palette kept.
bool WidenIndices(const PixelImage& image, int bpp, PixelImage& out, std::string& err);
// Palette of an indexed picture, padded to 1 << bpp entries.
void PadPalette(PixelImage& image);

// How many bands suit `units` units of work (strips) over `rows` rows: at most the
// runner's limit, at most one per unit, and enough rows in each to pay for a thread.
int BandsFor(int units, int rows);
// Runs f(band) for every band through the installed runner.
void RunInBands(int count, BandBody body, void* context);
// Bands run on the runner's threads, where an exception would end the process: one
// that escapes f stops there, and the result is false.
template <class F>
bool ForEachBand(int count, F& f)
{
    struct Call {
        F* f;
        std::atomic<bool> ok;
    } call{&f, {true}};
    RunInBands(count,
               [](void* context, int band) {
                   Call* c = static_cast<Call*>(context);
                   try {
                       (*c->f)(band);
                   } catch (...) {
                       c->ok = false;
                   }
               },
               &call);
    return call.ok;
}
// The units [first, last) of band `band` out of `count`.
inline void BandUnits(int units, int count, int band, int* first, int* last)
{
    *first = static_cast<int>(static_cast<int64_t>(units) * band / count);
    *last = static_cast<int>(static_cast<int64_t>(units) * (band + 1) / count);
}

}  // namespace detail

}  // namespace orv_img
