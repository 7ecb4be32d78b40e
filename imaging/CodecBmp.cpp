// Windows bitmaps: 1, 2, 4, 8, 16, 24 and 32 bits, RLE4 and RLE8, bit fields,
// top-down rows, the OS/2 core header; and the headerless DIBs inside icons.
#include <string.h>

#include <algorithm>

#include "Codecs.h"

namespace orv_img {

using namespace detail;

namespace {

enum { BI_RGB_ = 0, BI_RLE8_ = 1, BI_RLE4_ = 2, BI_BITFIELDS_ = 3, BI_ALPHABITFIELDS_ = 6 };

struct MaskChannel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    uint32_t max = 0;
    void Set(uint32_t m)
    {
        mask = m;
        shift = 0;
        max = 0;
        if (!m)
            return;
        while (!((m >> shift) & 1))
            ++shift;
        max = m >> shift;
        // A mask with holes counts up to its highest bit.
        while (max & (max + 1))
            max |= max >> 1;
        while (bits < 32 && (max >> bits))
            ++bits;
    }
    uint8_t Get(uint32_t px) const
    {
        if (!mask)
            return 0;
        return WidenBits((px & mask) >> shift, bits);
    }
};

// Writes index v of pixel x in a row of the output picture (1, 4 or 8 bits).
inline void PutIndex(uint8_t* row, int bpp, int x, unsigned v)
{
    if (bpp == 8) {
        row[x] = static_cast<uint8_t>(v);
    } else if (bpp == 4) {
        const int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & ~(15 << shift)) | ((v & 15) << shift));
    } else {
        const uint8_t m = static_cast<uint8_t>(0x80 >> (x & 7));
        row[x >> 3] = (v & 1) ? (row[x >> 3] | m) : (row[x >> 3] & ~m);
    }
}

bool DecodeRle(const uint8_t* d, size_t n, bool rle4, PixelImage& img, std::string& err)
{
    const int w = img.Width(), h = img.Height();
    size_t i = 0;
    int x = 0, y = 0;  // y counts stored rows from the bottom
    while (y < h) {
        if (i + 2 > n) {
            // Some writers stop once the last row is full.
            if (y == h - 1 && x >= w)
                return true;
            err = "Compressed pixel data end early";
            return false;
        }
        const unsigned count = d[i], value = d[i + 1];
        i += 2;
        if (count > 0) {
            uint8_t* row = img.Row(y);
            for (unsigned k = 0; k < count; ++k, ++x)
                if (x < w)
                    PutIndex(row, img.Bpp(), x,
                             rle4 ? ((k & 1) ? (value & 15) : (value >> 4)) : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            return true;
        } else if (value == 2) {  // delta
            if (i + 2 > n) {
                err = "Compressed pixel data end early";
                return false;
            }
            x += d[i];
            y += d[i + 1];
            i += 2;
        } else {  // absolute run
            const size_t bytes = rle4 ? (value + 1) / 2 : value;
            const size_t padded = (bytes + 1) & ~static_cast<size_t>(1);
            if (i + bytes > n) {
                err = "Compressed pixel data end early";
                return false;
            }
            uint8_t* row = y < h ? img.Row(y) : nullptr;
            for (unsigned k = 0; k < value; ++k, ++x) {
                const unsigned v = rle4 ? ((k & 1) ? (d[i + k / 2] & 15) : (d[i + k / 2] >> 4))
                                        : d[i + k];
                if (row && x < w)
                    PutIndex(row, img.Bpp(), x, v);
            }
            i += std::min(padded, n - i);
        }
    }
    return true;
}

// The info header at data + hdr; pixel data at data + pixelOffset (0: right after
// the palette and masks).
bool DecodeDibAt(const uint8_t* data, size_t size, size_t hdr, size_t pixelOffset,
                 bool iconMask, PixelImage& img, std::string& err)
{
    if (hdr + 12 > size) {
        err = "Truncated bitmap header";
        return false;
    }
    const uint8_t* h = data + hdr;
    const uint32_t hsize = Le32(h);
    int64_t width, height;
    int bpp, planes;
    uint32_t compression = BI_RGB_, clrUsed = 0;
    bool core = false;
    if (hsize == 12) {
        core = true;
        width = Le16(h + 4);
        height = static_cast<int16_t>(Le16(h + 6));
        planes = Le16(h + 8);
        bpp = Le16(h + 10);
    } else if (hsize >= 16 && hsize <= 1024) {
        if (hdr + hsize > size) {
            err = "Truncated bitmap header";
            return false;
        }
        width = static_cast<int32_t>(Le32(h + 4));
        height = static_cast<int32_t>(Le32(h + 8));
        planes = Le16(h + 12);
        bpp = Le16(h + 14);
        if (hsize >= 20)
            compression = Le32(h + 16);
        if (hsize >= 36)
            clrUsed = Le32(h + 32);
        // OS/2 2.x reuses codes 3 and 4 for Huffman and RLE24.
        if (hsize == 64 && (compression == 3 || compression == 4)) {
            err = "Unsupported bitmap compression";
            return false;
        }
    } else {
        err = "Unknown bitmap header size";
        return false;
    }
    if (planes != 1) {
        err = "Invalid bitmap plane count";
        return false;
    }
    bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (iconMask)
        height /= 2;
    if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
        err = "Unsupported bitmap bit count";
        return false;
    }
    const bool rle = compression == BI_RLE8_ || compression == BI_RLE4_;
    if ((compression == BI_RLE8_ && bpp != 8) || (compression == BI_RLE4_ && bpp != 4) ||
        ((compression == BI_BITFIELDS_ || compression == BI_ALPHABITFIELDS_) && bpp != 16 &&
         bpp != 32) ||
        compression > BI_ALPHABITFIELDS_ || compression == 4 || compression == 5) {
        err = "Unsupported bitmap compression";
        return false;
    }
    const int outBpp = bpp <= 8 ? (bpp == 2 ? 4 : bpp) : 24;
    if (!CheckImageSize(width, height, outBpp, err))
        return false;

    size_t pos = hdr + hsize;
    MaskChannel red, green, blue, alpha;
    if (bpp == 16) {
        red.Set(0x7C00);
        green.Set(0x03E0);
        blue.Set(0x001F);
    } else if (bpp == 32) {
        red.Set(0xFF0000);
        green.Set(0xFF00);
        blue.Set(0xFF);
    }
    if (compression == BI_BITFIELDS_ || compression == BI_ALPHABITFIELDS_) {
        const uint8_t* m;
        bool hasAlphaMask = compression == BI_ALPHABITFIELDS_ || hsize >= 56;
        if (hsize >= 52) {
            m = h + 40;
        } else {
            const size_t bytes = compression == BI_ALPHABITFIELDS_ ? 16 : 12;
            if (pos + bytes > size) {
                err = "Truncated bit fields";
                return false;
            }
            m = data + pos;
            pos += bytes;
        }
        red.Set(Le32(m));
        green.Set(Le32(m + 4));
        blue.Set(Le32(m + 8));
        if (hasAlphaMask)
            alpha.Set(Le32(m + 12));
    } else if (hsize >= 56 && !core && bpp == 32) {
        // Version 4 and 5 headers may name an alpha mask with plain RGB.
        alpha.Set(Le32(h + 52));
    }
    if (iconMask && bpp == 32 && !alpha.mask)
        alpha.Set(0xFF000000);  // icons keep alpha in the fourth byte

    if (!img.Create(static_cast<int>(width), static_cast<int>(height), outBpp, err))
        return false;
    if (bpp <= 8) {
        const uint32_t maxColors = 1u << bpp;
        const uint32_t colors = (clrUsed == 0 || clrUsed > maxColors) ? maxColors : clrUsed;
        const size_t entry = core ? 3 : 4;
        if (pos + colors * entry > size) {
            err = "Palette beyond the end of the file";
            return false;
        }
        img.palette.assign(1u << outBpp, PaletteEntry{0, 0, 0, 0});
        for (uint32_t i = 0; i < colors; ++i) {
            const uint8_t* p = data + pos + i * entry;
            img.palette[i] = {p[0], p[1], p[2], 0};
        }
        pos += colors * entry;
    }
    if (pixelOffset == 0 || pixelOffset < hdr + hsize || pixelOffset >= size)
        pixelOffset = pos;

    const uint8_t* src = data + pixelOffset;
    const size_t avail = size - pixelOffset;
    const int w = img.Width(), ht = img.Height();
    if (rle) {
        if (!DecodeRle(src, avail, compression == BI_RLE4_, img, err))
            return false;
        if (topDown)
            img.Flip();
        return true;
    }
    const size_t fileStride = StrideFor(w, bpp);
    if (static_cast<uint64_t>(fileStride) * ht > avail) {
        err = "Pixel data beyond the end of the file";
        return false;
    }
    bool alphaSeen = false;
    if (alpha.mask)
        img.CreateAlpha();
    for (int r = 0; r < ht; ++r) {
        const uint8_t* s = src + fileStride * r;
        const int y = topDown ? ht - 1 - r : r;  // stored row from the bottom
        uint8_t* d = img.Row(y);
        if (bpp == outBpp && bpp <= 8) {
            memcpy(d, s, std::min(fileStride, img.Stride()));
            continue;
        }
        if (bpp == 2) {
            for (int x = 0; x < w; ++x)
                PutIndex(d, 4, x, (s[x >> 2] >> (6 - 2 * (x & 3))) & 3);
            continue;
        }
        if (bpp == 24) {
            memcpy(d, s, static_cast<size_t>(w) * 3);
            continue;
        }
        uint8_t* a = img.HasAlpha() ? img.Alpha() + static_cast<size_t>(y) * w : nullptr;
        for (int x = 0; x < w; ++x) {
            const uint32_t px = bpp == 16 ? Le16(s + 2 * x) : Le32(s + 4 * x);
            d[3 * x] = blue.Get(px);
            d[3 * x + 1] = green.Get(px);
            d[3 * x + 2] = red.Get(px);
            if (a) {
                a[x] = alpha.Get(px);
                alphaSeen |= a[x] != 0;
            }
        }
    }
    // An all-zero alpha channel is an unused one, not an invisible picture.
    if (img.HasAlpha() && !alphaSeen)
        img.DeleteAlpha();

    if (iconMask) {
        const size_t maskStride = StrideFor(w, 1);
        const size_t maskPos = pixelOffset + fileStride * ht;
        const bool hasOwnAlpha = bpp == 32;
        if (!hasOwnAlpha || !img.HasAlpha()) {
            if (maskPos + maskStride * ht <= size) {
                img.CreateAlpha();
                for (int r = 0; r < ht; ++r) {
                    const uint8_t* m = data + maskPos + maskStride * r;
                    uint8_t* a = img.Alpha() + static_cast<size_t>(r) * w;
                    for (int x = 0; x < w; ++x)
                        a[x] = ((m[x >> 3] >> (7 - (x & 7))) & 1) ? 0 : 255;
                }
                if (!AlphaUsed(img))
                    img.DeleteAlpha();
            }
        }
    }
    return true;
}

}  // namespace

bool DecodeDib(const uint8_t* data, size_t size, bool iconMask, PixelImage& image,
               std::string& err)
{
    return DecodeDibAt(data, size, 0, 0, iconMask, image, err);
}

bool DecodeBmp(const uint8_t* data, size_t size, PixelImage& image, std::string& err)
{
    if (size < 14 + 12 || data[0] != 'B' || data[1] != 'M') {
        err = "Not a BMP file";
        return false;
    }
    return DecodeDibAt(data, size, 14, Le32(data + 10), false, image, err);
}

bool EncodeBmp(const PixelImage& img, ByteBuffer& out, std::string& err)
{
    const bool alpha = AlphaUsed(img);
    const int bpp = alpha ? 32 : img.Bpp();
    const int w = img.Width(), h = img.Height();
    const size_t stride = StrideFor(w, bpp);
    const uint32_t colors = bpp <= 8 ? (1u << bpp) : 0;
    const uint32_t infoSize = alpha ? 108 : 40;
    const uint32_t offset = 14 + infoSize + colors * 4;
    const uint64_t total = offset + static_cast<uint64_t>(stride) * h;
    if (total > 0xFFFFFFFFull) {
        err = "Image too large for a BMP file";
        return false;
    }
    out.reserve(total);
    out.push_back('B');
    out.push_back('M');
    PutLe32(out, static_cast<uint32_t>(total));
    PutLe32(out, 0);
    PutLe32(out, offset);
    PutLe32(out, infoSize);
    PutLe32(out, w);
    PutLe32(out, h);
    PutLe16(out, 1);
    PutLe16(out, bpp);
    PutLe32(out, alpha ? BI_BITFIELDS_ : BI_RGB_);
    PutLe32(out, static_cast<uint32_t>(stride * h));
    const uint32_t ppm = static_cast<uint32_t>(img.xDpi * 10000 / 254);
    PutLe32(out, ppm);
    PutLe32(out, static_cast<uint32_t>(img.yDpi * 10000 / 254));
    PutLe32(out, colors);
    PutLe32(out, 0);
    if (alpha) {
        PutLe32(out, 0x00FF0000);
        PutLe32(out, 0x0000FF00);
        PutLe32(out, 0x000000FF);
        PutLe32(out, 0xFF000000);
        PutLe32(out, 0x73524742);  // 'sRGB'
        out.insert(out.end(), 108 - 60, 0);
    }
    for (uint32_t i = 0; i < colors; ++i) {
        const PaletteEntry e = i < img.palette.size() ? img.palette[i] : PaletteEntry{0, 0, 0, 0};
        out.push_back(e.b);
        out.push_back(e.g);
        out.push_back(e.r);
        out.push_back(0);
    }
    if (!alpha) {
        for (int y = 0; y < h; ++y)
            out.insert(out.end(), img.Row(y), img.Row(y) + stride);
        return true;
    }
    for (int y = 0; y < h; ++y) {
        const uint8_t* a = img.Alpha() + static_cast<size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            const PaletteEntry c = img.GetColor(x, h - 1 - y);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
            out.push_back(a[x]);
        }
    }
    return true;
}

}  // namespace orv_img
