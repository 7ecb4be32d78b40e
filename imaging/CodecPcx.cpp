// PCX: one plane of 1, 2, 4 or 8 bits, 2 to 4 planes of 1 bit (EGA), 3 or 4 planes
// of 8 bits (true colour), run-length coded or raw.
#include <string.h>

#include "Codecs.h"

namespace orv_img {

using namespace detail;

bool DecodePcx(const uint8_t* data, size_t size, PixelImage& img, std::string& err)
{
    if (size < 128 || data[0] != 0x0A) {
        err = "Not a PCX file";
        return false;
    }
    const unsigned encoding = data[2], bits = data[3];
    const int xmin = Le16(data + 4), ymin = Le16(data + 6);
    const int xmax = Le16(data + 8), ymax = Le16(data + 10);
    const unsigned planes = data[65], bpl = Le16(data + 66);
    if (encoding > 1) {
        err = "Unsupported PCX encoding";
        return false;
    }
    const int w = xmax - xmin + 1, h = ymax - ymin + 1;
    if (w <= 0 || h <= 0) {
        err = "Invalid image size";
        return false;
    }
    int outBpp;
    if (bits == 8 && (planes == 3 || planes == 4))
        outBpp = 24;
    else if (bits == 8 && planes == 1)
        outBpp = 8;
    else if (bits == 1 && planes == 1)
        outBpp = 1;
    else if ((bits == 1 && planes >= 2 && planes <= 4) || (bits == 2 && planes == 1) ||
             (bits == 4 && planes == 1))
        outBpp = 4;
    else {
        err = "Unsupported PCX bit count or plane count";
        return false;
    }
    if (bpl == 0 || bpl < (static_cast<uint64_t>(w) * bits + 7) / 8) {
        err = "PCX line length too short";
        return false;
    }
    if (!CheckImageSize(w, h, outBpp, err))
        return false;
    const uint64_t lineBytes = static_cast<uint64_t>(planes) * bpl;
    const uint64_t total = lineBytes * h;
    size_t dataEnd = size;
    bool trailingPalette = false;
    if (outBpp == 8 && size >= 128 + 769 && data[size - 769] == 0x0C) {
        trailingPalette = true;
        dataEnd = size - 769;
    }
    const size_t avail = dataEnd - 128;
    // A run of two bytes yields at most 63.
    if (total > kMaxImageBytes || (encoding == 0 && total > avail) ||
        (encoding == 1 && total > static_cast<uint64_t>(avail) * 32 + 64)) {
        err = "PCX pixel data beyond the end of the file";
        return false;
    }
    if (!img.Create(w, h, outBpp, err))
        return false;

    // The planes of one line, decoded; runs may cross line ends.
    std::vector<uint8_t> line(static_cast<size_t>(lineBytes));
    const uint8_t* p = data + 128;
    const uint8_t* end = data + dataEnd;
    unsigned runLeft = 0;
    uint8_t runValue = 0;
    const bool alpha = outBpp == 24 && planes == 4 && img.CreateAlpha();
    std::vector<uint8_t> arow(alpha ? w : 0);
    for (int r = 0; r < h; ++r) {
        for (size_t i = 0; i < line.size(); ++i) {
            if (encoding == 0) {
                line[i] = *p++;
                continue;
            }
            if (runLeft == 0) {
                if (p >= end) {
                    err = "PCX compressed data end early";
                    return false;
                }
                if ((*p & 0xC0) == 0xC0) {
                    runLeft = *p & 0x3F;
                    if (p + 1 >= end) {
                        err = "PCX compressed data end early";
                        return false;
                    }
                    runValue = p[1];
                    p += 2;
                    if (runLeft == 0) {
                        --i;
                        continue;
                    }
                } else {
                    runLeft = 1;
                    runValue = *p++;
                }
            }
            line[i] = runValue;
            --runLeft;
        }
        uint8_t* row = img.TopRow(r);
        if (outBpp == 24) {
            for (int x = 0; x < w; ++x) {
                row[3 * x + 2] = line[x];
                row[3 * x + 1] = line[bpl + x];
                row[3 * x] = line[2 * bpl + x];
                if (alpha)
                    arow[x] = line[3 * bpl + x];
            }
            if (alpha)
                SetAlphaRow(img, r, arow.data());
        } else if (outBpp == 8 || outBpp == 1 || (bits == 4 && planes == 1)) {
            memcpy(row, line.data(), img.Stride() < bpl ? img.Stride() : bpl);
        } else {
            for (int x = 0; x < w; ++x) {
                unsigned v = 0;
                if (bits == 2) {
                    v = (line[x >> 2] >> (6 - 2 * (x & 3))) & 3;
                } else {
                    for (unsigned pl = 0; pl < planes; ++pl)
                        v |= ((line[pl * bpl + (x >> 3)] >> (7 - (x & 7))) & 1) << pl;
                }
                img.SetIndex(x, r, static_cast<uint8_t>(v));
            }
        }
    }
    if (alpha && !AlphaUsed(img))
        img.DeleteAlpha();
    if (outBpp == 8) {
        if (trailingPalette) {
            const uint8_t* pal = data + size - 768;
            for (int i = 0; i < 256; ++i)
                img.palette[i] = {pal[3 * i + 2], pal[3 * i + 1], pal[3 * i], 0};
        }
    } else if (outBpp == 1) {
        const uint8_t* pal = data + 16;
        // A header without colours means black on white.
        if (memcmp(pal, pal + 3, 3) != 0) {
            img.palette[0] = {pal[2], pal[1], pal[0], 0};
            img.palette[1] = {pal[5], pal[4], pal[3], 0};
        }
    } else if (outBpp == 4) {
        const uint8_t* pal = data + 16;
        for (int i = 0; i < 16; ++i)
            img.palette[i] = {pal[3 * i + 2], pal[3 * i + 1], pal[3 * i], 0};
    }
    return true;
}

namespace {

void RleLine(const uint8_t* line, size_t n, ByteBuffer& out)
{
    size_t i = 0;
    while (i < n) {
        size_t run = 1;
        while (i + run < n && run < 63 && line[i + run] == line[i])
            ++run;
        if (run > 1 || (line[i] & 0xC0) == 0xC0)
            out.push_back(static_cast<uint8_t>(0xC0 | run));
        out.push_back(line[i]);
        i += run;
    }
}

}  // namespace

bool EncodePcx(const PixelImage& source, ByteBuffer& out, std::string& err)
{
    // Readers take one-bit PCX as black on white whatever the header says: other
    // two-colour palettes go out as EGA planes.
    PixelImage widened;
    if (source.Bpp() == 1 && !IsBlackWhite(source, false) && !WidenIndices(source, 4, widened, err))
        return false;
    const PixelImage& img = widened.IsValid() ? widened : source;
    const int w = img.Width(), h = img.Height();
    if (w > 65535 || h > 65535) {
        err = "Image too large for a PCX file";
        return false;
    }
    const int bpp = img.Bpp();
    const unsigned planes = bpp == 24 ? 3 : (bpp == 4 ? 4 : 1);
    const unsigned bits = bpp == 24 ? 8 : (bpp == 4 ? 1 : bpp);
    const unsigned bpl = ((w * bits + 15) / 16) * 2;
    out.assign(128, 0);
    out[0] = 0x0A;
    out[1] = 5;
    out[2] = 1;
    out[3] = static_cast<uint8_t>(bits);
    out[8] = (w - 1) & 255;
    out[9] = ((w - 1) >> 8) & 255;
    out[10] = (h - 1) & 255;
    out[11] = ((h - 1) >> 8) & 255;
    out[12] = img.xDpi & 255;
    out[13] = (img.xDpi >> 8) & 255;
    out[14] = img.yDpi & 255;
    out[15] = (img.yDpi >> 8) & 255;
    if (bpp <= 4)
        for (size_t i = 0; i < img.palette.size() && i < 16; ++i) {
            out[16 + 3 * i] = img.palette[i].r;
            out[17 + 3 * i] = img.palette[i].g;
            out[18 + 3 * i] = img.palette[i].b;
        }
    out[65] = static_cast<uint8_t>(planes);
    out[66] = bpl & 255;
    out[67] = (bpl >> 8) & 255;
    out[68] = (bpp == 8 && img.IsGrey()) ? 2 : 1;
    std::vector<uint8_t> line(static_cast<size_t>(planes) * bpl);
    for (int r = 0; r < h; ++r) {
        std::fill(line.begin(), line.end(), 0);
        const uint8_t* row = img.TopRow(r);
        if (bpp == 24) {
            for (int x = 0; x < w; ++x) {
                line[x] = row[3 * x + 2];
                line[bpl + x] = row[3 * x + 1];
                line[2 * bpl + x] = row[3 * x];
            }
        } else if (bpp == 4) {
            for (int x = 0; x < w; ++x) {
                const unsigned v = img.GetIndex(x, r);
                for (unsigned pl = 0; pl < 4; ++pl)
                    if ((v >> pl) & 1)
                        line[pl * bpl + (x >> 3)] |= 0x80 >> (x & 7);
            }
        } else {
            memcpy(line.data(), row, (static_cast<size_t>(w) * bits + 7) / 8);
        }
        RleLine(line.data(), line.size(), out);
    }
    if (bpp == 8) {
        out.push_back(0x0C);
        for (int i = 0; i < 256; ++i) {
            const PaletteEntry e = i < static_cast<int>(img.palette.size()) ? img.palette[i]
                                                                            : PaletteEntry{0, 0, 0, 0};
            out.push_back(e.r);
            out.push_back(e.g);
            out.push_back(e.b);
        }
    }
    return true;
}

}  // namespace orv_img
