#include "Codecs.h"

#include <string.h>

#include <new>

namespace orv_img {

namespace {

BandRunner g_runner = nullptr;
int g_maxBands = 1;

// Fewer rows than this in a band cost more in the thread than they save.
const int kMinBandRows = 64;

}  // namespace

void SetBandRunner(BandRunner runner, int maxBands)
{
    g_runner = runner;
    g_maxBands = runner && maxBands > 1 ? maxBands : 1;
}

namespace detail {

int BandsFor(int units, int rows)
{
    int count = g_maxBands;
    if (count > units)
        count = units;
    if (count > rows / kMinBandRows)
        count = rows / kMinBandRows;
    return count < 1 ? 1 : count;
}

void RunInBands(int count, BandBody body, void* context)
{
    if (count > 1 && g_runner) {
        g_runner(count, body, context);
        return;
    }
    for (int band = 0; band < count; ++band)
        body(context, band);
}

void SetAlphaRow(PixelImage& image, int topY, const uint8_t* alpha)
{
    if (!image.HasAlpha())
        return;
    memcpy(image.Alpha() + static_cast<size_t>(image.Height() - 1 - topY) * image.Width(), alpha,
           image.Width());
}

bool AlphaUsed(const PixelImage& image)
{
    if (!image.HasAlpha())
        return false;
    const size_t n = static_cast<size_t>(image.Width()) * image.Height();
    const uint8_t* a = image.Alpha();
    for (size_t i = 0; i < n; ++i)
        if (a[i] != 255)
            return true;
    return false;
}

bool IsBlackWhite(const PixelImage& image, bool whiteFirst)
{
    if (image.Bpp() != 1 || image.palette.size() < 2)
        return false;
    const PaletteEntry& a = image.palette[whiteFirst ? 1 : 0];
    const PaletteEntry& b = image.palette[whiteFirst ? 0 : 1];
    return !a.r && !a.g && !a.b && b.r == 255 && b.g == 255 && b.b == 255;
}

bool WidenIndices(const PixelImage& image, int bpp, PixelImage& out, std::string& err)
{
    if (!out.Create(image.Width(), image.Height(), bpp, err))
        return false;
    out.palette.assign(out.palette.size(), PaletteEntry{0, 0, 0, 0});
    for (size_t i = 0; i < image.palette.size() && i < out.palette.size(); ++i)
        out.palette[i] = image.palette[i];
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            out.SetIndex(x, y, image.GetIndex(x, y));
    out.xDpi = image.xDpi;
    out.yDpi = image.yDpi;
    return true;
}

void PadPalette(PixelImage& image)
{
    if (image.Bpp() <= 8)
        image.palette.resize(1u << image.Bpp(), PaletteEntry{0, 0, 0, 0});
}

}  // namespace detail

int DetectFormat(const uint8_t* d, size_t n)
{
    if (n >= 2 && d[0] == 'B' && d[1] == 'M')
        return FORMAT_BMP;
    if (n >= 6 && (!memcmp(d, "GIF87a", 6) || !memcmp(d, "GIF89a", 6)))
        return FORMAT_GIF;
    if (n >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF)
        return FORMAT_JPG;
    if (n >= 8 && !memcmp(d, "\x89PNG\r\n\x1a\n", 8))
        return FORMAT_PNG;
    if (n >= 8 && (!memcmp(d, "\x8aMNG\r\n\x1a\n", 8) || !memcmp(d, "\x8bJNG\r\n\x1a\n", 8)))
        return FORMAT_MNG;
    if (n >= 4 && ((d[0] == 'I' && d[1] == 'I' && (d[2] == 42 || d[2] == 43) && d[3] == 0) ||
                   (d[0] == 'M' && d[1] == 'M' && d[2] == 0 && (d[3] == 42 || d[3] == 43))))
        return FORMAT_TIF;
    if (n >= 12 && !memcmp(d, "\0\0\0\x0cjP  \r\n\x87\n", 12))
        return FORMAT_JP2;
    if (n >= 4 && d[0] == 0xFF && d[1] == 0x4F && d[2] == 0xFF && d[3] == 0x51)
        return FORMAT_JPC;
    if (n >= 4 && d[0] == 0x59 && d[1] == 0xA6 && d[2] == 0x6A && d[3] == 0x95)
        return FORMAT_RAS;
    if (n >= 3 && d[0] == 'P' && d[1] == 'G' && (d[2] == ' ' || d[2] == '\t'))
        return FORMAT_PGX;
    if (n >= 3 && d[0] == 'P' && d[1] >= '1' && d[1] <= '6' &&
        (d[2] == ' ' || d[2] == '\n' || d[2] == '\r' || d[2] == '\t' || d[2] == '#'))
        return FORMAT_PNM;
    if (n >= 6 && d[0] == 0 && d[1] == 0 && (d[2] == 1 || d[2] == 2) && d[3] == 0 &&
        (d[4] | d[5]) != 0)
        return FORMAT_ICO;
    if (n >= 4 && d[0] == 0xD7 && d[1] == 0xCD && d[2] == 0xC6 && d[3] == 0x9A)
        return FORMAT_WMF;
    if (n >= 44 && d[0] == 1 && d[1] == 0 && d[2] == 0 && d[3] == 0 && !memcmp(d + 40, " EMF", 4))
        return FORMAT_WMF;
    if (n >= 6 && (d[0] == 1 || d[0] == 2) && d[1] == 0 && d[2] == 9 && d[3] == 0 &&
        d[4] == 0 && (d[5] == 1 || d[5] == 3))
        return FORMAT_WMF;
    if (n >= 128 && d[0] == 0x0A && d[1] <= 5 && d[2] <= 1 &&
        (d[3] == 1 || d[3] == 2 || d[3] == 4 || d[3] == 8))
        return FORMAT_PCX;
    return FORMAT_UNKNOWN;
}

bool CanDecode(int format)
{
    switch (format) {
    case FORMAT_BMP: case FORMAT_GIF: case FORMAT_JPG: case FORMAT_PNG: case FORMAT_ICO:
    case FORMAT_TIF: case FORMAT_TGA: case FORMAT_PCX: case FORMAT_WBMP: case FORMAT_JP2:
    case FORMAT_JPC: case FORMAT_PGX: case FORMAT_PNM: case FORMAT_RAS: case FORMAT_MNG:
        return true;
    default:
        return false;
    }
}

bool CanEncode(int format)
{
    return CanDecode(format);
}

bool DecodeImage(int format, const uint8_t* data, size_t size, PixelImage& image,
                 std::string& err)
{
    image.Destroy();
    err.clear();
    if (!data || size == 0) {
        err = "Empty file";
        return false;
    }
    // The content decides where it names a format: a JPEG saved as ".png" opens,
    // and a JP2 container and a bare code stream each go to the right reader.
    const int detected = DetectFormat(data, size);
    if (detected != FORMAT_UNKNOWN)
        format = detected;
    if (format == FORMAT_UNKNOWN) {
        err = "Unknown file format";
        return false;
    }
    bool ok = false;
    // Nothing a file holds may end the program: whatever a decoder or its library
    // throws (memory it could not get above all) is a refusal.
    try {
        switch (format) {
        case FORMAT_BMP: ok = DecodeBmp(data, size, image, err); break;
        case FORMAT_GIF: ok = DecodeGif(data, size, image, err); break;
        case FORMAT_JPG: ok = DecodeJpeg(data, size, image, err); break;
        case FORMAT_PNG: ok = DecodePng(data, size, image, err); break;
        case FORMAT_ICO: ok = DecodeIco(data, size, image, err); break;
        case FORMAT_TIF: ok = DecodeTiff(data, size, image, err); break;
        case FORMAT_TGA: ok = DecodeTga(data, size, image, err); break;
        case FORMAT_PCX: ok = DecodePcx(data, size, image, err); break;
        case FORMAT_WBMP: ok = DecodeWbmp(data, size, image, err); break;
        case FORMAT_JP2: case FORMAT_JPC: ok = DecodeJp2(data, size, image, err); break;
        case FORMAT_PGX: ok = DecodePgx(data, size, image, err); break;
        case FORMAT_PNM: ok = DecodePnm(data, size, image, err); break;
        case FORMAT_RAS: ok = DecodeRas(data, size, image, err); break;
        case FORMAT_MNG: ok = DecodeMng(data, size, image, err); break;
        default: err = "Format not supported for reading"; break;
        }
    } catch (const std::bad_alloc&) {
        ok = false;
        err = "Not enough memory";
    } catch (...) {
        ok = false;
        err = "Cannot decode the file";
    }
    if (!ok) {
        image.Destroy();
        if (err.empty())
            err = "Cannot decode the file";
        return false;
    }
    image.format = format;
    return true;
}

bool EncodeImage(int format, const PixelImage& image, ByteBuffer& out, int quality,
                 std::string& err)
{
    out.clear();
    err.clear();
    if (!image.IsValid()) {
        err = "No image";
        return false;
    }
    bool ok = false;
    try {
        switch (format) {
        case FORMAT_BMP: ok = EncodeBmp(image, out, err); break;
        case FORMAT_GIF: ok = EncodeGif(image, out, err); break;
        case FORMAT_JPG: ok = EncodeJpeg(image, out, quality, err); break;
        case FORMAT_PNG: ok = EncodePng(image, out, err); break;
        case FORMAT_ICO: ok = EncodeIco(image, out, err); break;
        case FORMAT_TIF: ok = EncodeTiff(image, out, err); break;
        case FORMAT_TGA: ok = EncodeTga(image, out, err); break;
        case FORMAT_PCX: ok = EncodePcx(image, out, err); break;
        case FORMAT_WBMP: ok = EncodeWbmp(image, out, err); break;
        case FORMAT_JP2: ok = EncodeJp2(image, true, out, err); break;
        case FORMAT_JPC: ok = EncodeJp2(image, false, out, err); break;
        case FORMAT_PGX: ok = EncodePgx(image, out, err); break;
        case FORMAT_PNM: ok = EncodePnm(image, out, err); break;
        case FORMAT_RAS: ok = EncodeRas(image, out, err); break;
        case FORMAT_MNG: ok = EncodeMng(image, out, err); break;
        default: err = "Format not supported for writing"; break;
        }
    } catch (const std::bad_alloc&) {
        ok = false;
        err = "Not enough memory";
    } catch (...) {
        ok = false;
        err = "Cannot encode the image";
    }
    if (!ok) {
        out.clear();
        if (err.empty())
            err = "Cannot encode the image";
    }
    return ok;
}

}  // namespace orv_img
