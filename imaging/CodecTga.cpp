// Targa: colour-mapped, true-colour and grey pictures (types 1, 2, 3), their
// run-length forms (9, 10, 11), both vertical and both horizontal origins.
#include <string.h>

#include "Codecs.h"

namespace orv_img {

using namespace detail;

namespace {

inline uint8_t Scale5(unsigned v)
{
    return WidenBits(v, 5);
}

}  // namespace

bool DecodeTga(const uint8_t* data, size_t size, PixelImage& img, std::string& err)
{
    if (size < 18) {
        err = "Truncated TGA header";
        return false;
    }
    const unsigned idLen = data[0], mapType = data[1], type = data[2];
    const unsigned mapFirst = Le16(data + 3), mapLen = Le16(data + 5), mapBits = data[7];
    const int w = Le16(data + 12), h = Le16(data + 14);
    const unsigned depth = data[16], desc = data[17];
    const unsigned base = type & 7;
    const bool rle = (type & 8) != 0;
    if ((base != 1 && base != 2 && base != 3) || (type & ~11u) != 0 || mapType > 1) {
        err = "Unsupported TGA image type";
        return false;
    }
    if ((base == 1 && (depth != 8 || mapType != 1)) ||
        (base == 2 && depth != 15 && depth != 16 && depth != 24 && depth != 32) ||
        (base == 3 && depth != 8 && depth != 16)) {
        err = "Unsupported TGA pixel depth";
        return false;
    }
    size_t pos = 18 + idLen;
    std::vector<PaletteEntry> map;
    if (mapType == 1) {
        if (mapBits != 15 && mapBits != 16 && mapBits != 24 && mapBits != 32) {
            err = "Unsupported TGA colour map depth";
            return false;
        }
        const size_t eb = (mapBits + 7) / 8;
        if (pos + eb * mapLen > size) {
            err = "TGA colour map beyond the end of the file";
            return false;
        }
        map.resize(mapLen);
        for (unsigned i = 0; i < mapLen; ++i) {
            const uint8_t* p = data + pos + eb * i;
            if (eb == 2) {
                const unsigned v = Le16(p);
                map[i] = {Scale5(v & 31), Scale5((v >> 5) & 31), Scale5((v >> 10) & 31), 0};
            } else {
                map[i] = {p[0], p[1], p[2], 0};
            }
        }
        pos += eb * mapLen;
    }
    if (pos > size) {
        err = "TGA data beyond the end of the file";
        return false;
    }
    const size_t bpp = (depth + 7) / 8;
    const size_t avail = size - pos;
    const uint64_t pixels = static_cast<uint64_t>(w) * h;
    // A run packet of 1 + bpp bytes covers at most 128 pixels.
    if (w <= 0 || h <= 0 || (!rle && pixels * bpp > avail) ||
        (rle && pixels > static_cast<uint64_t>(avail) / (1 + bpp) * 128 + 128)) {
        err = w <= 0 || h <= 0 ? "Invalid image size" : "TGA pixel data beyond the end of the file";
        return false;
    }
    const int outBpp = base == 2 ? 24 : 8;
    if (!img.Create(w, h, outBpp, err))
        return false;
    if (base == 1) {
        img.palette.assign(256, PaletteEntry{0, 0, 0, 0});
        for (unsigned i = 0; i < mapLen && mapFirst + i < 256; ++i)
            img.palette[mapFirst + i] = map[i];
    }
    const bool alpha = (base == 2 && depth == 32 && (desc & 15) != 0) ||
                       (base == 2 && depth == 16 && (desc & 15) == 1) || (base == 3 && depth == 16);
    if (alpha)
        img.CreateAlpha();
    const bool topOrigin = (desc & 0x20) != 0;
    const bool rightOrigin = (desc & 0x10) != 0;

    // Walk the pixels in file order; packets may cross rows.
    const uint8_t* p = data + pos;
    const uint8_t* end = data + size;
    unsigned runLeft = 0;
    bool runRepeat = false;
    const uint8_t* runPixel = nullptr;
    bool alphaSeen = false;
    for (int r = 0; r < h; ++r) {
        const int y = topOrigin ? h - 1 - r : r;  // stored row from the bottom
        uint8_t* row = img.Row(y);
        uint8_t* arow = alpha ? img.Alpha() + static_cast<size_t>(y) * w : nullptr;
        for (int c = 0; c < w; ++c) {
            const uint8_t* px;
            if (rle) {
                if (runLeft == 0) {
                    if (p >= end) {
                        err = "TGA compressed data end early";
                        return false;
                    }
                    runRepeat = (*p & 0x80) != 0;
                    runLeft = (*p & 0x7F) + 1;
                    ++p;
                    runPixel = p;
                    if (runRepeat)
                        p += bpp;
                }
                if (runRepeat) {
                    px = runPixel;
                } else {
                    px = p;
                    p += bpp;
                }
                --runLeft;
                if (p > end) {
                    err = "TGA compressed data end early";
                    return false;
                }
            } else {
                px = p;
                p += bpp;
            }
            const int x = rightOrigin ? w - 1 - c : c;
            if (base == 2) {
                uint8_t* d = row + 3 * x;
                if (bpp == 2) {
                    const unsigned v = Le16(px);
                    d[0] = Scale5(v & 31);
                    d[1] = Scale5((v >> 5) & 31);
                    d[2] = Scale5((v >> 10) & 31);
                    if (arow)
                        arow[x] = (v & 0x8000) ? 255 : 0;
                } else {
                    d[0] = px[0];
                    d[1] = px[1];
                    d[2] = px[2];
                    if (arow)
                        arow[x] = px[3];
                }
            } else {
                row[x] = px[0];
                if (arow)
                    arow[x] = px[1];
            }
            if (arow)
                alphaSeen |= arow[x] != 0;
        }
    }
    if (img.HasAlpha() && (!alphaSeen || !AlphaUsed(img)))
        img.DeleteAlpha();
    return true;
}

bool EncodeTga(const PixelImage& img, ByteBuffer& out, std::string& err)
{
    (void)err;
    const int w = img.Width(), h = img.Height();
    if (w > 65535 || h > 65535) {
        err = "Image too large for a TGA file";
        return false;
    }
    const bool alpha = AlphaUsed(img);
    const bool grey = img.IsGrey() && !alpha;
    const bool mapped = img.Bpp() <= 8 && !grey && !alpha;
    const int depth = grey || mapped ? 8 : (alpha ? 32 : 24);
    out.push_back(0);
    out.push_back(mapped ? 1 : 0);
    out.push_back(mapped ? 1 : (grey ? 3 : 2));
    PutLe16(out, 0);
    PutLe16(out, mapped ? static_cast<unsigned>(img.palette.size()) : 0);
    out.push_back(mapped ? 24 : 0);
    PutLe16(out, 0);
    PutLe16(out, 0);
    PutLe16(out, w);
    PutLe16(out, h);
    out.push_back(depth);
    out.push_back(alpha ? 8 : 0);
    if (mapped)
        for (const PaletteEntry& e : img.palette) {
            out.push_back(e.b);
            out.push_back(e.g);
            out.push_back(e.r);
        }
    out.reserve(out.size() + static_cast<size_t>(w) * h * (depth / 8));
    for (int y = 0; y < h; ++y) {  // bottom origin: stored order
        const uint8_t* row = img.Row(y);
        const uint8_t* a = alpha ? img.Alpha() + static_cast<size_t>(y) * w : nullptr;
        if (depth == 24) {
            out.insert(out.end(), row, row + static_cast<size_t>(w) * 3);
            continue;
        }
        if (grey) {
            out.insert(out.end(), row, row + w);
            continue;
        }
        for (int x = 0; x < w; ++x) {
            if (mapped) {
                out.push_back(img.GetIndex(x, h - 1 - y));
            } else {
                const PaletteEntry c = img.GetColor(x, h - 1 - y);
                out.push_back(c.b);
                out.push_back(c.g);
                out.push_back(c.r);
                out.push_back(a[x]);
            }
        }
    }
    return true;
}

}  // namespace orv_img
