// Reads back a TIFF the store wrote, with libtiff. No Win32 header.
#include <stdio.h>
#include <string.h>
#include <vector>

#include <tiffio.h>

struct TiffFacts {
    int width = 0, height = 0, bitsPerSample = 0, samplesPerPixel = 0, sampleFormat = 0;
    std::vector<unsigned short> samples16;
    std::vector<unsigned char> samples8;
};

namespace {

struct Mem {
    const std::vector<unsigned char>* d;
    uint64_t pos;
};
tmsize_t Rd(thandle_t h, void* b, tmsize_t n)
{
    Mem* m = static_cast<Mem*>(h);
    const uint64_t k = std::min<uint64_t>(n, m->d->size() - m->pos);
    memcpy(b, m->d->data() + m->pos, k);
    m->pos += k;
    return (tmsize_t)k;
}
tmsize_t Wr(thandle_t, void*, tmsize_t) { return -1; }
toff_t Sk(thandle_t h, toff_t o, int w)
{
    Mem* m = static_cast<Mem*>(h);
    m->pos = (w == SEEK_SET ? 0 : (w == SEEK_CUR ? m->pos : m->d->size())) + o;
    return m->pos;
}
int Cl(thandle_t) { return 0; }
toff_t Sz(thandle_t h) { return static_cast<Mem*>(h)->d->size(); }

}  // namespace

bool ReadTiffFacts(const std::vector<unsigned char>& file, TiffFacts& f)
{
    Mem m = {&file, 0};
    TIFF* t = TIFFClientOpen("facts", "r", &m, Rd, Wr, Sk, Cl, Sz, nullptr, nullptr);
    if (!t)
        return false;
    uint32_t w = 0, h = 0;
    uint16_t bps = 0, spp = 0, fmt = 1;
    TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(t, TIFFTAG_IMAGELENGTH, &h);
    TIFFGetField(t, TIFFTAG_BITSPERSAMPLE, &bps);
    TIFFGetField(t, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLEFORMAT, &fmt);
    f.width = w;
    f.height = h;
    f.bitsPerSample = bps;
    f.samplesPerPixel = spp;
    f.sampleFormat = fmt;
    std::vector<unsigned char> row(TIFFScanlineSize(t));
    bool ok = true;
    for (uint32_t y = 0; y < h && ok; ++y) {
        ok = TIFFReadScanline(t, row.data(), y, 0) >= 0;
        if (bps == 16) {
            const unsigned short* p = reinterpret_cast<const unsigned short*>(row.data());
            f.samples16.insert(f.samples16.end(), p, p + (size_t)w * spp);
        } else {
            f.samples8.insert(f.samples8.end(), row.begin(), row.begin() + (size_t)w * spp);
        }
    }
    TIFFClose(t);
    return ok;
}
