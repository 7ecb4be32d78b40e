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
    // Called from C: nothing may be thrown through it.
    try {
        if (end > s->out->size())
            s->out->resize(static_cast<size_t>(end));
    } catch (...) {
        return -1;
    }
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

// One band's reading of a picture: its own handle over the same bytes, since a
// libtiff handle keeps a read position and a codec state.
struct BandReader {
    MemStream stream;
    TIFF* tif;
    bool own;
    bool ok;
};

// Hands every row of the first page of a chunky picture, top first, to sink(y, row)
// (rowBytes bytes; rows a strip or tile does not deliver are zeros). Bands of strips
// or tile rows are read at once, each row handed over once, so a sink may write its
// row of the picture without a lock.
template <class Sink>
bool ReadRows(const MemStream& source, TIFF* tif, uint32_t w, uint32_t h, size_t rowBytes,
              Sink& sink, char* message, size_t messageSize)
{
    const bool tiled = TIFFIsTiled(tif) != 0;
    uint32_t tw = 0, th = 0, rps = h;
    tmsize_t chunk = 0;
    if (tiled) {
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tw);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &th);
        chunk = TIFFTileSize(tif);
        if (tw == 0 || th == 0 || chunk <= 0)
            return false;
    } else {
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rps);
        if (rps == 0 || rps > h)
            rps = h;
        chunk = TIFFStripSize(tif);
        if (chunk <= 0)
            return false;
    }
    // Units: strips, or rows of tiles; each unit spans `step` rows.
    const uint32_t step = tiled ? th : rps;
    const int units = static_cast<int>((static_cast<uint64_t>(h) + step - 1) / step);
    // Every band holds a tile or strip of its own: together they stay within the limit.
    int count = BandsFor(units, static_cast<int>(h));
    while (count > 1 && static_cast<uint64_t>(chunk) * count > kMaxImageBytes)
        --count;
    // A tile taller than the picture only needs the picture's rows.
    const uint32_t unitRows = step < h ? step : h;
    std::vector<BandReader> bands(count);
    for (int k = 0; k < count; ++k) {
        BandReader& r = bands[k];
        r.stream = source;
        r.stream.pos = 0;
        r.stream.message[0] = 0;
        r.own = count > 1;
        r.tif = r.own ? OpenStream(r.stream, "rm") : tif;
        r.ok = r.tif != nullptr;
    }
    auto band = [&](int k) {
        BandReader& r = bands[k];
        if (!r.ok)
            return;
        int first = 0, last = 0;
        BandUnits(units, count, k, &first, &last);
        std::vector<uint8_t> buffer(static_cast<size_t>(chunk));
        if (tiled) {
            // Tiles are a multiple of 16 pixels wide, so their bytes are whole.
            const size_t tileRow = static_cast<size_t>(chunk) / th;
            std::vector<uint8_t> rows(rowBytes * unitRows);
            for (int u = first; u < last && r.ok; ++u) {
                const uint32_t ty = static_cast<uint32_t>(u) * th;
                for (uint32_t tx = 0; tx < w; tx += tw) {
                    if (TIFFReadEncodedTile(r.tif, TIFFComputeTile(r.tif, tx, ty, 0, 0),
                                            buffer.data(), chunk) < 0) {
                        r.ok = false;
                        break;
                    }
                    const size_t xBytes = static_cast<size_t>(
                        (static_cast<uint64_t>(tileRow) * tx) / tw);
                    const size_t n = xBytes + tileRow <= rowBytes ? tileRow : rowBytes - xBytes;
                    for (uint32_t y = 0; y < unitRows; ++y)
                        memcpy(rows.data() + rowBytes * y + xBytes, buffer.data() + tileRow * y, n);
                }
                for (uint32_t y = 0; r.ok && y < unitRows && ty + y < h; ++y)
                    sink(ty + y, rows.data() + rowBytes * y);
            }
            return;
        }
        for (int u = first; u < last; ++u) {
            const uint32_t row = static_cast<uint32_t>(u) * rps;
            const tmsize_t got = TIFFReadEncodedStrip(r.tif, TIFFComputeStrip(r.tif, row, 0),
                                                      buffer.data(), chunk);
            if (got < 0) {
                r.ok = false;
                return;
            }
            const uint32_t rows = row + rps <= h ? rps : h - row;
            const size_t want = rowBytes * rows;
            if (static_cast<size_t>(got) < want)
                memset(buffer.data() + got, 0, want - static_cast<size_t>(got));
            for (uint32_t y = 0; y < rows; ++y)
                sink(row + y, buffer.data() + rowBytes * y);
        }
    };
    bool ok = ForEachBand(count, band);
    if (!ok && !message[0])
        snprintf(message, messageSize, "Not enough memory");
    for (BandReader& r : bands) {
        if (!r.ok && ok && r.stream.message[0] && !message[0])
            snprintf(message, messageSize, "%s", r.stream.message);
        ok = ok && r.ok;
        if (r.own && r.tif)
            TIFFClose(r.tif);
    }
    return ok;
}

// Tiles and strips are sized by the file. Their buffers are held to the picture-size
// limit, and uncompressed data must be in the file, before any of them is taken.
bool CheckChunkGeometry(TIFF* tif, uint32_t w, uint32_t h, uint64_t rowBytes, uint64_t fileSize,
                        std::string& err)
{
    uint64_t chunk = 0, chunks = 0;
    if (TIFFIsTiled(tif)) {
        uint32_t tw = 0, th = 0;
        if (!TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tw) || !TIFFGetField(tif, TIFFTAG_TILELENGTH, &th) ||
            tw == 0 || th == 0) {
            err = "TIFF tile size missing";
            return false;
        }
        chunk = TIFFTileSize64(tif);
        chunks = ((static_cast<uint64_t>(w) + tw - 1) / tw) * ((static_cast<uint64_t>(h) + th - 1) / th);
    } else {
        chunk = TIFFStripSize64(tif);
        chunks = TIFFNumberOfStrips(tif);
    }
    if (chunk == 0 || chunk > kMaxImageBytes || chunks == 0 || chunk * chunks / chunks != chunk ||
        chunk * chunks > kMaxImageBytes * 2ull) {
        err = "TIFF tiles or strips too large";
        return false;
    }
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    const uint64_t stored = TIFFIsTiled(tif) ? chunk * chunks : rowBytes * h;
    if (compression == COMPRESSION_NONE && stored > fileSize) {
        err = "TIFF data larger than the file";
        return false;
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
    if (static_cast<uint64_t>(w) * h * 4 > kMaxImageBytes) {
        err = "Image too large for memory";
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

bool DecodeTiffOpen(MemStream& source, TIFF* tif, PixelImage& img, std::string& err)
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
    if (!CheckChunkGeometry(tif, w, h, rowBytes64, source.size, err))
        return false;
    const size_t rowBytes = static_cast<size_t>(rowBytes64);
    char* message = source.message;
    const size_t messageSize = sizeof source.message;

    if (plain && greyKind && (spp == 1 || (spp == 2 && hasAlpha))) {
        const bool invert = photometric == PHOTOMETRIC_MINISWHITE;
        if (bps == 1 && spp == 1) {
            if (!img.Create(static_cast<int>(w), static_cast<int>(h), 1, err))
                return false;
            img.palette[0] = invert ? PaletteEntry{255, 255, 255, 0} : PaletteEntry{0, 0, 0, 0};
            img.palette[1] = invert ? PaletteEntry{0, 0, 0, 0} : PaletteEntry{255, 255, 255, 0};
            auto sink = [&](uint32_t y, const uint8_t* s) {
                memcpy(img.TopRow(static_cast<int>(y)), s, rowBytes);
            };
            return ReadRows(source, tif, w, h, rowBytes, sink, message, messageSize);
        }
        if (!img.Create(static_cast<int>(w), static_cast<int>(h), 8, err))
            return false;
        if (spp == 2)
            img.CreateAlpha();
        const uint32_t signFlip = sampleFormat == SAMPLEFORMAT_INT ? (1u << (bps - 1)) : 0;
        auto sink = [&](uint32_t y, const uint8_t* s) {
            uint8_t* d = img.TopRow(static_cast<int>(y));
            uint8_t* a = spp == 2 ? img.Alpha() + static_cast<size_t>(h - 1 - y) * w : nullptr;
            for (uint32_t x = 0; x < w; ++x) {
                uint8_t v = To8(Sample(s, x * spp, bps) ^ signFlip, bps);
                d[x] = invert ? static_cast<uint8_t>(255 - v) : v;
                if (a)
                    a[x] = To8(Sample(s, x * spp + 1, bps), bps);
            }
        };
        if (!ReadRows(source, tif, w, h, rowBytes, sink, message, messageSize))
            return false;
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
        auto sink = [&](uint32_t y, const uint8_t* s) {
            if (outBpp == bps) {
                memcpy(img.TopRow(static_cast<int>(y)), s, rowBytes);
            } else {
                for (uint32_t x = 0; x < w; ++x)
                    img.SetIndex(static_cast<int>(x), static_cast<int>(y),
                                 static_cast<uint8_t>(Sample(s, x, bps)));
            }
        };
        return ReadRows(source, tif, w, h, rowBytes, sink, message, messageSize);
    }
    if (plain && photometric == PHOTOMETRIC_RGB && spp >= 3 && (bps == 8 || bps == 16)) {
        if (!img.Create(static_cast<int>(w), static_cast<int>(h), 24, err))
            return false;
        const bool alpha = spp >= 4 && hasAlpha && img.CreateAlpha();
        auto sink = [&](uint32_t y, const uint8_t* s) {
            uint8_t* d = img.TopRow(static_cast<int>(y));
            uint8_t* a = alpha ? img.Alpha() + static_cast<size_t>(h - 1 - y) * w : nullptr;
            if (bps == 8 && spp == 3) {
                for (uint32_t x = 0; x < w; ++x, s += 3, d += 3) {
                    d[0] = s[2];
                    d[1] = s[1];
                    d[2] = s[0];
                }
                return;
            }
            for (uint32_t x = 0; x < w; ++x) {
                const uint32_t i = x * spp;
                d[3 * x + 2] = To8(Sample(s, i, bps), bps);
                d[3 * x + 1] = To8(Sample(s, i + 1, bps), bps);
                d[3 * x] = To8(Sample(s, i + 2, bps), bps);
                if (a)
                    a[x] = To8(Sample(s, i + 3, bps), bps);
            }
        };
        if (!ReadRows(source, tif, w, h, rowBytes, sink, message, messageSize))
            return false;
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
    if (!DecodeTiffOpen(s, tif.tif, img, err)) {
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

namespace {

// The layout of a picture as written: the same tags on every handle that codes it.
struct TiffLayout {
    int w, h, spp, bps;
    bool alpha, grey, indexed;
};

TiffLayout LayoutOf(const PixelImage& img)
{
    TiffLayout l;
    l.w = img.Width();
    l.h = img.Height();
    l.alpha = AlphaUsed(img);
    l.grey = img.IsGrey();
    l.indexed = img.Bpp() <= 8 && !l.grey && !l.alpha;
    l.spp = l.indexed || l.grey ? (l.alpha ? 2 : 1) : (l.alpha ? 4 : 3);
    l.bps = l.indexed ? img.Bpp() : 8;
    return l;
}

void SetTags(TIFF* tif, const PixelImage& img, const TiffLayout& l)
{
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(l.w));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(l.h));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, l.spp);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, l.bps);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC,
                 l.indexed ? PHOTOMETRIC_PALETTE : (l.grey ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB));
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(img.xDpi));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(img.yDpi));
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    if (l.alpha) {
        uint16_t kind = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &kind);
    }
    if (l.indexed) {
        const int n = 1 << l.bps;
        std::vector<uint16_t> r(n), g(n), b(n);
        for (int i = 0; i < n && i < static_cast<int>(img.palette.size()); ++i) {
            r[i] = img.palette[i].r * 257;
            g[i] = img.palette[i].g * 257;
            b[i] = img.palette[i].b * 257;
        }
        TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
    }
}

// Row y (top first) as the file stores it.
void FileRow(const PixelImage& img, const TiffLayout& l, int y, uint8_t* d)
{
    const uint8_t* src = img.TopRow(y);
    const uint8_t* a = l.alpha ? img.Alpha() + static_cast<size_t>(l.h - 1 - y) * l.w : nullptr;
    if (l.indexed) {
        memcpy(d, src, (static_cast<size_t>(l.w) * l.bps + 7) / 8);
    } else if (img.Bpp() == 24 && !a) {
        for (int x = 0; x < l.w; ++x, src += 3, d += 3) {
            d[0] = src[2];
            d[1] = src[1];
            d[2] = src[0];
        }
    } else {
        for (int x = 0; x < l.w; ++x) {
            const PaletteEntry c = img.GetColor(x, y);
            if (l.grey) {
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
}

// One band's coding of its strips: a handle of its own writing into a buffer of its
// own, from which the coded strips are taken whole.
struct BandWriter {
    ByteBuffer bytes;
    MemStream stream;
    std::vector<uint64_t> offset, size;  // of each strip of the band, in `bytes`
    bool ok;
};

// Codes the strips in bands at once and appends them in order: the same bytes a
// row-by-row write gives, since every strip is coded on its own.
bool WriteStripsInBands(TIFF* tif, const PixelImage& img, const TiffLayout& l, uint32_t rps,
                        int count, std::string& err)
{
    const int strips = static_cast<int>((static_cast<uint64_t>(l.h) + rps - 1) / rps);
    const size_t rowBytes = (static_cast<size_t>(l.w) * l.spp * l.bps + 7) / 8;
    std::vector<BandWriter> bands(count);
    auto band = [&](int k) {
        BandWriter& b = bands[k];
        b.stream = {nullptr, &b.bytes, 0, 0, {0}};
        b.ok = false;
        TIFF* t = OpenStream(b.stream, "w");
        if (!t)
            return;
        SetTags(t, img, l);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, rps);
        int first = 0, last = 0;
        BandUnits(strips, count, k, &first, &last);
        std::vector<uint8_t> buffer(rowBytes * rps + 4);
        b.ok = true;
        for (int strip = first; strip < last && b.ok; ++strip) {
            const int y0 = strip * static_cast<int>(rps);
            const int rows = y0 + static_cast<int>(rps) <= l.h ? static_cast<int>(rps) : l.h - y0;
            for (int r = 0; r < rows; ++r)
                FileRow(img, l, y0 + r, buffer.data() + rowBytes * r);
            const uint64_t before = b.stream.size;
            if (TIFFWriteEncodedStrip(t, static_cast<uint32_t>(strip), buffer.data(),
                                      static_cast<tmsize_t>(rowBytes * rows)) < 0) {
                b.ok = false;
                break;
            }
            // The coded strip is what the write appended.
            b.offset.push_back(before);
            b.size.push_back(b.stream.size - before);
        }
        // Closing writes the band's directory after the strips; the strips stay put.
        TIFFClose(t);
    };
    if (!ForEachBand(count, band)) {
        err = "Not enough memory";
        return false;
    }
    for (int k = 0; k < count; ++k) {
        BandWriter& b = bands[k];
        if (!b.ok) {
            err = b.stream.message[0] ? b.stream.message : "TIFF write error";
            return false;
        }
        int first = 0, last = 0;
        BandUnits(strips, count, k, &first, &last);
        for (int strip = first; strip < last; ++strip) {
            const size_t i = static_cast<size_t>(strip - first);
            if (TIFFWriteRawStrip(tif, static_cast<uint32_t>(strip), b.bytes.data() + b.offset[i],
                                  static_cast<tmsize_t>(b.size[i])) < 0)
                return false;
        }
    }
    return true;
}

}  // namespace

bool EncodeTiff(const PixelImage& img, ByteBuffer& out, std::string& err)
{
    out.clear();
    MemStream s = {nullptr, &out, 0, 0, {0}};
    TiffCloser tif = {OpenStream(s, "w")};
    if (!tif.tif) {
        err = s.message[0] ? s.message : "Cannot create the TIFF file";
        return false;
    }
    const TiffLayout l = LayoutOf(img);
    SetTags(tif.tif, img, l);
    const uint32_t rps = TIFFDefaultStripSize(tif.tif, 0);
    TIFFSetField(tif.tif, TIFFTAG_ROWSPERSTRIP, rps);
    const int strips = rps ? static_cast<int>((static_cast<uint64_t>(l.h) + rps - 1) / rps) : 0;
    const int count = rps ? BandsFor(strips, l.h) : 1;
    if (count > 1) {
        if (!WriteStripsInBands(tif.tif, img, l, rps, count, err)) {
            if (err.empty())
                err = s.message[0] ? s.message : "TIFF write error";
            return false;
        }
    } else {
        std::vector<uint8_t> row(static_cast<size_t>(l.w) * l.spp + 4);
        for (int y = 0; y < l.h; ++y) {
            FileRow(img, l, y, row.data());
            if (TIFFWriteScanline(tif.tif, row.data(), static_cast<uint32_t>(y), 0) < 0) {
                err = s.message[0] ? s.message : "TIFF write error";
                return false;
            }
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
