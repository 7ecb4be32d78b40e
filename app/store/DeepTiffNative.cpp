#include "app/store/DeepTiff.h"

#include <stdio.h>
#include <string.h>

#include <tiffio.h>

namespace deep_tiff {

namespace {

struct Mem {
    std::vector<uint8_t>* out;
    const uint8_t* in;
    uint64_t size;
    uint64_t pos;
};

tmsize_t Read(thandle_t h, void* buf, tmsize_t n)
{
    Mem* m = static_cast<Mem*>(h);
    const uint8_t* src = m->out ? m->out->data() : m->in;
    if (n <= 0 || m->pos >= m->size)
        return 0;
    const uint64_t k = (uint64_t)n < m->size - m->pos ? (uint64_t)n : m->size - m->pos;
    memcpy(buf, src + m->pos, k);
    m->pos += k;
    return (tmsize_t)k;
}

tmsize_t Write(thandle_t h, void* buf, tmsize_t n)
{
    Mem* m = static_cast<Mem*>(h);
    if (!m->out || n < 0)
        return -1;
    if (m->pos + n > m->out->size())
        m->out->resize(m->pos + n);
    memcpy(m->out->data() + m->pos, buf, n);
    m->pos += n;
    if (m->pos > m->size)
        m->size = m->pos;
    return n;
}

toff_t Seek(thandle_t h, toff_t off, int whence)
{
    Mem* m = static_cast<Mem*>(h);
    const int64_t base = whence == SEEK_CUR ? (int64_t)m->pos : (whence == SEEK_END ? (int64_t)m->size : 0);
    if (base + (int64_t)off < 0)
        return (toff_t)-1;
    m->pos = base + off;
    return m->pos;
}

int Close(thandle_t) { return 0; }
toff_t Size(thandle_t h) { return static_cast<Mem*>(h)->size; }
int Map(thandle_t, void**, toff_t*) { return 0; }
void Unmap(thandle_t, void*, toff_t) {}

int Quiet(TIFF*, void*, const char*, const char*, va_list) { return 1; }

TIFF* Open(Mem& m, const char* mode)
{
    TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(opts, Quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(opts, Quiet, nullptr);
    TIFF* t = TIFFClientOpenExt("deep", mode, &m, Read, Write, Seek, Close, Size, Map, Unmap, opts);
    TIFFOpenOptionsFree(opts);
    return t;
}

int Samples(int kind)
{
    return kind == 2 ? 3 : 1;
}

void SetTags(TIFF* t, int width, int height, int kind, int bitsPerSample, int compression)
{
    static const uint16_t photometric[] = {0, PHOTOMETRIC_MINISBLACK, PHOTOMETRIC_RGB, PHOTOMETRIC_PALETTE};
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, (uint32_t)width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, (uint32_t)height);
    TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, Samples(kind));
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, bitsPerSample);
    TIFFSetField(t, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, photometric[kind]);
    // Unsigned samples: signed ones would make every reader shift the values.
    TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
    const uint16_t codes[] = {COMPRESSION_NONE, COMPRESSION_JPEG, COMPRESSION_LZW};
    TIFFSetField(t, TIFFTAG_COMPRESSION, codes[compression >= 0 && compression <= 2 ? compression : 0]);
    if (compression == 1)
        TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
}

int WriteRows(TIFF* t, const uint8_t* first, ptrdiff_t stride, size_t rowBytes, int height,
              int sampleMode, bool wide)
{
    std::vector<uint8_t> row(rowBytes);
    for (int y = 0; y < height; ++y) {
        memcpy(row.data(), first + stride * y, rowBytes);
        (void)wide;
        ConvertSamples16(reinterpret_cast<uint16_t*>(row.data()), rowBytes, sampleMode);
        if (TIFFWriteScanline(t, row.data(), (uint32_t)y, 0) < 0) {
            fprintf(stderr, "scanline %lu: Write error.\n", (unsigned long)y);
            return TIFF_ROW_FAILED;
        }
    }
    return TIFF_WRITE_OK;
}

}  // namespace

void ConvertSamples16(uint16_t* words, size_t byteCount, int mode)
{
    const size_t n = byteCount / 2;
    for (size_t i = 0; i < n; ++i) {
        uint16_t v = words[i];
        switch (mode) {
        case 2: v = (uint16_t)((v >> 8) | (v << 8)); break;
        case 3: v = (uint16_t)((v & 0xFF00) | ((v & 0x0F) << 4) | ((v & 0xF0) >> 4)); break;
        case 4: v = (uint16_t)((v >> 8) | (v << 8));
                v = (uint16_t)((v & 0xFF00) | ((v & 0x0F) << 4) | ((v & 0xF0) >> 4)); break;
        case 5: v = (uint16_t)((v << 4) | (v >> 12)); break;
        default: break;
        }
        words[i] = v;
    }
}

int WriteTiff16(std::vector<uint8_t>& out, int width, int height, int kind, int bitsPerPixel,
                int compression, int sampleMode, const uint16_t* pixels)
{
    if (kind != 1 && kind != 2)
        return TIFF_BAD_KIND;
    out.clear();
    Mem m = {&out, nullptr, 0, 0};
    TIFF* t = Open(m, "w");
    if (!t) {
        fprintf(stderr, "Cannot open file for output.\n");
        return TIFF_OPEN_FAILED;
    }
    SetTags(t, width, height, kind, bitsPerPixel / Samples(kind), compression);
    const size_t rowBytes = (size_t)width * Samples(kind) * 2;
    int rc = WriteRows(t, reinterpret_cast<const uint8_t*>(pixels), (ptrdiff_t)rowBytes, rowBytes,
                       height, sampleMode, true);
    if (rc == TIFF_WRITE_OK && !TIFFWriteDirectory(t))
        rc = TIFF_ROW_FAILED;
    TIFFClose(t);
    out.resize(m.size);
    return rc;
}

int WriteTiff8(std::vector<uint8_t>& out, int width, int height, int kind, int bitsPerPixel,
               int compression, int sampleMode, int paletteCount, const uint8_t* palette,
               const uint8_t* pixels)
{
    if (kind != 1 && kind != 2 && kind != 3)
        return TIFF_BAD_KIND;
    out.clear();
    Mem m = {&out, nullptr, 0, 0};
    TIFF* t = Open(m, "w");
    if (!t) {
        fprintf(stderr, "Cannot open file for output.\n");
        return TIFF_OPEN_FAILED;
    }
    SetTags(t, width, height, kind, kind == 3 ? bitsPerPixel : bitsPerPixel / Samples(kind), compression);
    if (kind == 3) {
        const int n = 1 << bitsPerPixel;
        std::vector<uint16_t> r(n, 0), g(n, 0), b(n, 0);
        for (int i = 0; i < n && i < paletteCount; ++i) {
            b[i] = palette[4 * i] * 257;
            g[i] = palette[4 * i + 1] * 257;
            r[i] = palette[4 * i + 2] * 257;
        }
        TIFFSetField(t, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
    }
    const size_t stride = (((size_t)bitsPerPixel * width + 31) / 32) * 4;
    std::vector<uint8_t> rows(stride * height);
    // Top row first, red before blue.
    for (int y = 0; y < height; ++y) {
        uint8_t* d = rows.data() + stride * y;
        memcpy(d, pixels + stride * (height - 1 - y), stride);
        if (kind == 2)
            for (int x = 0; x < width; ++x) {
                const uint8_t tmp = d[3 * x];
                d[3 * x] = d[3 * x + 2];
                d[3 * x + 2] = tmp;
            }
    }
    int rc = WriteRows(t, rows.data(), (ptrdiff_t)stride, ((size_t)bitsPerPixel * width + 7) / 8, height,
                       sampleMode, false);
    if (rc == TIFF_WRITE_OK && !TIFFWriteDirectory(t))
        rc = TIFF_ROW_FAILED;
    TIFFClose(t);
    out.resize(m.size);
    return rc;
}

int ReadTiffBitDepth(const uint8_t* data, size_t size)
{
    Mem m = {nullptr, data, size, 0};
    TIFF* t = Open(m, "rm");
    if (!t)
        return -1;
    uint16_t spp = 0, bps = 0;
    int depth = 24;
    if (TIFFGetField(t, TIFFTAG_SAMPLESPERPIXEL, &spp) && TIFFGetField(t, TIFFTAG_BITSPERSAMPLE, &bps))
        depth = spp * bps;
    TIFFClose(t);
    return depth;
}

}  // namespace deep_tiff
