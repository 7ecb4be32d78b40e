// TIFF over libtiff, first page: strips and tiles, every compression libtiff reads,
// 1 to 16 bits, grey, palette and colour. Samples of 16 bits are scaled to 8.
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <tiffio.h>

#include "Codecs.h"

namespace orv_img {

using namespace detail;

namespace {

struct MemStream {
    const uint8_t* data;   // reading
    ByteBuffer* out;       // writing
    uint64_t size;
    uint64_t pos;
    char message[256];
};

tmsize_t MemRead(thandle_t h, void* buf, tmsize_t n)
{
    MemStream* s = static_cast<MemStream*>(h);
    if (n <= 0 || s->pos >= s->size)
        return 0;
    const uint64_t k = static_cast<uint64_t>(n) < s->size - s->pos ? static_cast<uint64_t>(n)
                                                                    : s->size - s->pos;
    memcpy(buf, (s->out ? s->out->data() : s->data) + s->pos, static_cast<size_t>(k));
    s->pos += k;
    return static_cast<tmsize_t>(k);
}

tmsize_t MemWrite(thandle_t h, void* buf, tmsize_t n)
{
    MemStream* s = static_cast<MemStream*>(h);
    if (!s->out || n < 0)
        return -1;
    const uint64_t end = s->pos + static_cast<uint64_t>(n);
    if (end > kMaxImageBytes * 2)
        return -1;
    if (end > s->out->size())
        s->out->resize(static_cast<size_t>(end));
    memcpy(s->out->data() + s->pos, buf, static_cast<size_t>(n));
    s->pos = end;
    if (end > s->size)
        s->size = end;
    return n;
}

toff_t MemSeek(thandle_t h, toff_t off, int whence)
{
    MemStream* s = static_cast<MemStream*>(h);
    int64_t base = whence == SEEK_CUR ? static_cast<int64_t>(s->pos)
                                      : (whence == SEEK_END ? static_cast<int64_t>(s->size) : 0);
    const int64_t p = base + static_cast<int64_t>(off);
    if (p < 0)
        return static_cast<toff_t>(-1);
    s->pos = static_cast<uint64_t>(p);
    return s->pos;
}

int MemClose(thandle_t) { return 0; }
toff_t MemSize(thandle_t h) { return static_cast<MemStream*>(h)->size; }
int MemMap(thandle_t, void**, toff_t*) { return 0; }
void MemUnmap(thandle_t, void*, toff_t) {}

int ErrorHandler(TIFF*, void* user, const char* module, const char* fmt, va_list ap)
{
    MemStream* s = static_cast<MemStream*>(user);
    if (!s->message[0]) {
        char text[200];
        vsnprintf(text, sizeof text, fmt, ap);
        snprintf(s->message, sizeof s->message, "%s%s%s", module ? module : "", module ? ": " : "",
                 text);
    }
    return 1;
}

int WarningHandler(TIFF*, void*, const char*, const char*, va_list) { return 1; }

TIFF* OpenStream(MemStream& s, const char* mode)
{
    TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
    if (!opts)
        return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(opts, ErrorHandler, &s);
    TIFFOpenOptionsSetWarningHandlerExtR(opts, WarningHandler, &s);
    TIFFOpenOptionsSetMaxSingleMemAlloc(opts, static_cast<tmsize_t>(kMaxImageBytes));
    TIFF* tif = TIFFClientOpenExt("memory", mode, &s, MemRead, MemWrite, MemSeek, MemClose, MemSize,
                                  MemMap, MemUnmap, opts);
    TIFFOpenOptionsFree(opts);
    return tif;
}

struct TiffCloser {
    TIFF* tif;
    ~TiffCloser()
    {
        if (tif)
            TIFFClose(tif);
    }
};

// Reads the whole first page of a chunky picture into top-down rows of rowBytes.
bool ReadRaw(TIFF* tif, uint32_t w, uint32_t h, size_t rowBytes, std::vector<uint8_t>& raw)
{
    raw.assign(rowBytes * h, 0);
    if (TIFFIsTiled(tif)) {
        uint32_t tw = 0, th = 0;
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tw);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &th);
        const tmsize_t tileSize = TIFFTileSize(tif);
        if (tw == 0 || th == 0 || tileSize <= 0)
            return false;
        const size_t tileRow = static_cast<size_t>(tileSize) / th;
        std::vector<uint8_t> tile(static_cast<size_t>(tileSize));
        for (uint32_t ty = 0; ty < h; ty += th)
            for (uint32_t tx = 0; tx < w; tx += tw) {
                if (TIFFReadEncodedTile(tif, TIFFComputeTile(tif, tx, ty, 0, 0), tile.data(),
                                        tileSize) < 0)
                    return false;
                // Tiles are a multiple of 16 pixels wide, so their bytes are whole.
                const size_t xBytes = static_cast<size_t>(
                    (static_cast<uint64_t>(tileRow) * tx) / tw);
                for (uint32_t r = 0; r < th && ty + r < h; ++r) {
                    const size_t n = xBytes + tileRow <= rowBytes ? tileRow : rowBytes - xBytes;
                    memcpy(raw.data() + rowBytes * (ty + r) + xBytes, tile.data() + tileRow * r, n);
                }
            }
        return true;
    }
    uint32_t rps = h;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rps);
    if (rps == 0 || rps > h)
        rps = h;
    const tmsize_t stripSize = TIFFStripSize(tif);
    if (stripSize <= 0)
        return false;
    std::vector<uint8_t> strip(static_cast<size_t>(stripSize));
    for (uint32_t row = 0; row < h; row += rps) {
        const tmsize_t got = TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, row, 0), strip.data(),
                                                  stripSize);
        if (got < 0)
            return false;
        const uint32_t rows = row + rps <= h ? rps : h - row;
        const size_t n = static_cast<size_t>(got) < rowBytes * rows ? static_cast<size_t>(got)
                                                                    : rowBytes * rows;
        memcpy(raw.data() + rowBytes * row, strip.data(), n);
    }
    return true;
}

inline uint32_t Sample(const uint8_t* row, uint32_t i, int bps)
{
    switch (bps) {
    case 16: return reinterpret_cast<const uint16_t*>(row)[i];
    case 8: return row[i];
    default: {
        const uint32_t bit = i * bps;
        return (row[bit >> 3] >> (8 - bps - (bit & 7))) & ((1u << bps) - 1);
    }
    }
}

inline uint8_t To8(uint32_t v, int bps)
{
    if (bps == 8)
        return static_cast<uint8_t>(v);
    const uint32_t max = (1u << bps) - 1;
    return static_cast<uint8_t>((v * 255 + max / 2) / max);
}

bool DecodeRgba(TIFF* tif, uint32_t w, uint32_t h, bool alpha, PixelImage& img, std::string& err)
{
    char emsg[1024] = "";
    if (!TIFFRGBAImageOK(tif, emsg)) {
        err = emsg[0] ? emsg : "Unsupported TIFF layout";
        return false;
    }
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    if (!TIFFReadRGBAImageOriented(tif, w, h, px.data(), ORIENTATION_TOPLEFT, 0))
        return false;
    if (!img.Create(static_cast<int>(w), static_cast<int>(h), 24, err))
        return false;
    if (alpha)
        img.CreateAlpha();
    for (uint32_t y = 0; y < h; ++y) {
        uint8_t* d = img.TopRow(static_cast<int>(y));
        const uint32_t* s = px.data() + static_cast<size_t>(w) * y;
        uint8_t* a = alpha ? img.Alpha() + static_cast<size_t>(h - 1 - y) * w : nullptr;
        for (uint32_t x = 0; x < w; ++x) {
            d[3 * x] = TIFFGetB(s[x]);
            d[3 * x + 1] = TIFFGetG(s[x]);
            d[3 * x + 2] = TIFFGetR(s[x]);
            if (a)
                a[x] = TIFFGetA(s[x]);
        }
    }
    if (img.HasAlpha() && !AlphaUsed(img))
        img.DeleteAlpha();
    return true;
}

bool DecodeTiffOpen(TIFF* tif, PixelImage& img, std::string& err)
{
    uint32_t w = 0, h = 0;
    uint16_t spp = 1, bps = 1, photometric = PHOTOMETRIC_MINISBLACK, planar = PLANARCONFIG_CONTIG;
    uint16_t sampleFormat = SAMPLEFORMAT_UINT;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h)) {
        err = "TIFF size missing";
        return false;
    }
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bps);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &sampleFormat);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric))
        photometric = spp >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    uint16_t extraCount = 0;
    uint16_t* extra = nullptr;
    TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
    const bool hasAlpha = extraCount > 0 && extra &&
                          (extra[0] == EXTRASAMPLE_ASSOCALPHA || extra[0] == EXTRASAMPLE_UNASSALPHA);
    if (!CheckImageSize(w, h, 24, err))
        return false;
    if (sampleFormat == SAMPLEFORMAT_IEEEFP || bps > 16 || bps == 0 || spp == 0) {
        err = "Unsupported TIFF sample format";
        return false;
    }
    const bool greyKind = photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE;
    const bool plain = planar == PLANARCONFIG_CONTIG &&
                       (bps == 1 || bps == 2 || bps == 4 || bps == 8 || bps == 16);
    const uint64_t rowBytes64 = (static_cast<uint64_t>(w) * spp * bps + 7) / 8;
    if (rowBytes64 * h > kMaxImageBytes * 2ull) {
        err = "Image too large for memory";
        return false;
    }
    const size_t rowBytes = static_cast<size_t>(rowBytes64);

    if (plain && greyKind && (spp == 1 || (spp == 2 && hasAlpha))) {
        std::vector<uint8_t> raw;
        if (!ReadRaw(tif, w, h, rowBytes, raw))
            return false;
        const bool invert = photometric == PHOTOMETRIC_MINISWHITE;
        if (bps == 1 && spp == 1) {
            if (!img.Create(static_cast<int>(w), static_cast<int>(h), 1, err))
                return false;
            img.palette[0] = invert ? PaletteEntry{255, 255, 255, 0} : PaletteEntry{0, 0, 0, 0};
            img.palette[1] = invert ? PaletteEntry{0, 0, 0, 0} : PaletteEntry{255, 255, 255, 0};
            for (uint32_t y = 0; y < h; ++y)
                memcpy(img.TopRow(static_cast<int>(y)), raw.data() + rowBytes * y, rowBytes);
            return true;
        }
        if (!img.Create(static_cast<int>(w), static_cast<int>(h), 8, err))
            return false;
        if (spp == 2)
            img.CreateAlpha();
        const uint32_t signFlip = sampleFormat == SAMPLEFORMAT_INT ? (1u << (bps - 1)) : 0;
        for (uint32_t y = 0; y < h; ++y) {
            const uint8_t* s = raw.data() + rowBytes * y;
            uint8_t* d = img.TopRow(static_cast<int>(y));
            uint8_t* a = spp == 2 ? img.Alpha() + static_cast<size_t>(h - 1 - y) * w : nullptr;
            for (uint32_t x = 0; x < w; ++x) {
                uint8_t v = To8(Sample(s, x * spp, bps) ^ signFlip, bps);
                d[x] = invert ? static_cast<uint8_t>(255 - v) : v;
                if (a)
                    a[x] = To8(Sample(s, x * spp + 1, bps), bps);
            }
        }
        if (img.HasAlpha() && !AlphaUsed(img))
            img.DeleteAlpha();
        return true;
    }
    if (plain && photometric == PHOTOMETRIC_PALETTE && spp == 1 && bps <= 8) {
        uint16_t *rmap = nullptr, *gmap = nullptr, *bmap = nullptr;
        if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &rmap, &gmap, &bmap)) {
            err = "TIFF colour map missing";
            return false;
        }
        std::vector<uint8_t> raw;
        if (!ReadRaw(tif, w, h, rowBytes, raw))
            return false;
        const int outBpp = bps == 2 ? 4 : bps;
        if (!img.Create(static_cast<int>(w), static_cast<int>(h), outBpp, err))
            return false;
        const int n = 1 << bps;
        // Some writers store 8-bit colour maps; 16-bit ones have values above 255.
        bool wide = false;
        for (int i = 0; i < n; ++i)
            wide |= rmap[i] > 255 || gmap[i] > 255 || bmap[i] > 255;
        for (int i = 0; i < n; ++i)
            img.palette[i] = wide ? PaletteEntry{static_cast<uint8_t>(bmap[i] >> 8),
                                                 static_cast<uint8_t>(gmap[i] >> 8),
                                                 static_cast<uint8_t>(rmap[i] >> 8), 0}
                                  : PaletteEntry{static_cast<uint8_t>(bmap[i]),
                                                 static_cast<uint8_t>(gmap[i]),
                                                 static_cast<uint8_t>(rmap[i]), 0};
        for (uint32_t y = 0; y < h; ++y) {
            const uint8_t* s = raw.data() + rowBytes * y;
            if (outBpp == bps) {
                memcpy(img.TopRow(static_cast<int>(y)), s, rowBytes);
            } else {
                for (uint32_t x = 0; x < w; ++x)
                    img.SetIndex(static_cast<int>(x), static_cast<int>(y),
                                 static_cast<uint8_t>(Sample(s, x, bps)));
            }
        }
        return true;
    }
    if (plain && photometric == PHOTOMETRIC_RGB && spp >= 3 && (bps == 8 || bps == 16)) {
        std::vector<uint8_t> raw;
        if (!ReadRaw(tif, w, h, rowBytes, raw))
            return false;
        if (!img.Create(static_cast<int>(w), static_cast<int>(h), 24, err))
            return false;
        const bool alpha = spp >= 4 && hasAlpha && img.CreateAlpha();
        for (uint32_t y = 0; y < h; ++y) {
            const uint8_t* s = raw.data() + rowBytes * y;
            uint8_t* d = img.TopRow(static_cast<int>(y));
            uint8_t* a = alpha ? img.Alpha() + static_cast<size_t>(h - 1 - y) * w : nullptr;
            for (uint32_t x = 0; x < w; ++x) {
                const uint32_t i = x * spp;
                d[3 * x + 2] = To8(Sample(s, i, bps), bps);
                d[3 * x + 1] = To8(Sample(s, i + 1, bps), bps);
                d[3 * x] = To8(Sample(s, i + 2, bps), bps);
                if (a)
                    a[x] = To8(Sample(s, i + 3, bps), bps);
            }
        }
        if (img.HasAlpha() && !AlphaUsed(img))
            img.DeleteAlpha();
        return true;
    }
    // YCbCr, CMYK, JPEG-coded colour, separate planes and the rest: libtiff's own
    // RGBA reader.
    return DecodeRgba(tif, w, h, hasAlpha, img, err);
}

}  // namespace

bool DecodeTiff(const uint8_t* data, size_t size, PixelImage& img, std::string& err)
{
    MemStream s = {data, nullptr, size, 0, {0}};
    TiffCloser tif = {OpenStream(s, "rm")};
    if (!tif.tif) {
        err = s.message[0] ? s.message : "Cannot open the TIFF file";
        return false;
    }
    if (!DecodeTiffOpen(tif.tif, img, err)) {
        img.Destroy();
        if (s.message[0])
            err = s.message;
        if (err.empty())
            err = "Cannot decode the TIFF file";
        return false;
    }
    float xres = 0, yres = 0;
    uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tif.tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (TIFFGetField(tif.tif, TIFFTAG_XRESOLUTION, &xres) &&
        TIFFGetField(tif.tif, TIFFTAG_YRESOLUTION, &yres) && xres > 0 && yres > 0 &&
        xres < 100000 && yres < 100000) {
        const float f = unit == RESUNIT_CENTIMETER ? 2.54f : 1.0f;
        img.xDpi = static_cast<int>(xres * f + 0.5f);
        img.yDpi = static_cast<int>(yres * f + 0.5f);
    }
    return true;
}

bool EncodeTiff(const PixelImage& img, ByteBuffer& out, std::string& err)
{
    out.clear();
    MemStream s = {nullptr, &out, 0, 0, {0}};
    TiffCloser tif = {OpenStream(s, "w")};
    if (!tif.tif) {
        err = s.message[0] ? s.message : "Cannot create the TIFF file";
        return false;
    }
    const int w = img.Width(), h = img.Height();
    const bool alpha = AlphaUsed(img);
    const bool grey = img.IsGrey();
    const bool indexed = img.Bpp() <= 8 && !grey && !alpha;
    const int spp = indexed || grey ? (alpha ? 2 : 1) : (alpha ? 4 : 3);
    const int bps = indexed ? img.Bpp() : 8;
    TIFFSetField(tif.tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(w));
    TIFFSetField(tif.tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(h));
    TIFFSetField(tif.tif, TIFFTAG_SAMPLESPERPIXEL, spp);
    TIFFSetField(tif.tif, TIFFTAG_BITSPERSAMPLE, bps);
    TIFFSetField(tif.tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif.tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif.tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif.tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
    TIFFSetField(tif.tif, TIFFTAG_PHOTOMETRIC,
                 indexed ? PHOTOMETRIC_PALETTE : (grey ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB));
    TIFFSetField(tif.tif, TIFFTAG_XRESOLUTION, static_cast<float>(img.xDpi));
    TIFFSetField(tif.tif, TIFFTAG_YRESOLUTION, static_cast<float>(img.yDpi));
    TIFFSetField(tif.tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    if (alpha) {
        uint16_t kind = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tif.tif, TIFFTAG_EXTRASAMPLES, 1, &kind);
    }
    if (indexed) {
        const int n = 1 << bps;
        std::vector<uint16_t> r(n), g(n), b(n);
        for (int i = 0; i < n && i < static_cast<int>(img.palette.size()); ++i) {
            r[i] = img.palette[i].r * 257;
            g[i] = img.palette[i].g * 257;
            b[i] = img.palette[i].b * 257;
        }
        TIFFSetField(tif.tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
    }
    TIFFSetField(tif.tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif.tif, 0));
    std::vector<uint8_t> row(static_cast<size_t>(w) * spp + 4);
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = img.TopRow(y);
        const uint8_t* a = alpha ? img.Alpha() + static_cast<size_t>(h - 1 - y) * w : nullptr;
        if (indexed) {
            memcpy(row.data(), src, (static_cast<size_t>(w) * bps + 7) / 8);
        } else {
            uint8_t* d = row.data();
            for (int x = 0; x < w; ++x) {
                const PaletteEntry c = img.GetColor(x, y);
                if (grey) {
                    *d++ = c.b;
                } else {
                    *d++ = c.r;
                    *d++ = c.g;
                    *d++ = c.b;
                }
                if (a)
                    *d++ = a[x];
            }
        }
        if (TIFFWriteScanline(tif.tif, row.data(), static_cast<uint32_t>(y), 0) < 0) {
            err = s.message[0] ? s.message : "TIFF write error";
            return false;
        }
    }
    if (!TIFFWriteDirectory(tif.tif)) {
        err = s.message[0] ? s.message : "TIFF write error";
        return false;
    }
    TIFFClose(tif.tif);
    tif.tif = nullptr;
    out.resize(static_cast<size_t>(s.size));
    return true;
}

}  // namespace orv_img
