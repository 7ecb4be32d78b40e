// Sun raster files: 1, 8, 24 and 32 bits, raw or byte-run coded, B,G,R or R,G,B order.
#include <string.h>

#include "Codecs.h"

namespace orv_img {

using namespace detail;

namespace {

enum { RT_OLD = 0, RT_STANDARD = 1, RT_BYTE_ENCODED = 2, RT_FORMAT_RGB = 3 };

}  // namespace

bool DecodeRas(const uint8_t* data, size_t size, PixelImage& img, std::string& err)
{
    if (size < 32 || Be32(data) != 0x59A66A95) {
        err = "Not a Sun raster file";
        return false;
    }
    const uint32_t w = Be32(data + 4), h = Be32(data + 8), depth = Be32(data + 12);
    const uint32_t type = Be32(data + 20), mapType = Be32(data + 24), mapLength = Be32(data + 28);
    if (depth != 1 && depth != 8 && depth != 24 && depth != 32) {
        err = "Unsupported Sun raster depth";
        return false;
    }
    if (type > RT_FORMAT_RGB || mapType > 1) {
        err = "Unsupported Sun raster type";
        return false;
    }
    if (w == 0 || h == 0 || w > static_cast<uint32_t>(kMaxImageSide) ||
        h > static_cast<uint32_t>(kMaxImageSide)) {
        err = "Invalid image size";
        return false;
    }
    if (mapLength > size - 32) {
        err = "Sun raster colour map beyond the end of the file";
        return false;
    }
    const uint8_t* map = data + 32;
    const uint8_t* src = map + mapLength;
    const size_t avail = size - 32 - mapLength;
    const size_t lineBytes = ((static_cast<size_t>(w) * depth + 15) / 16) * 2;
    const uint64_t total = static_cast<uint64_t>(lineBytes) * h;
    // A three-byte run yields at most 256 bytes.
    if (total > kMaxImageBytes || (type != RT_BYTE_ENCODED && total > avail) ||
        (type == RT_BYTE_ENCODED && total > static_cast<uint64_t>(avail) * 86 + 256)) {
        err = "Sun raster pixel data beyond the end of the file";
        return false;
    }
    const int outBpp = depth == 1 ? 1 : (depth == 8 ? 8 : 24);
    if (!img.Create(static_cast<int>(w), static_cast<int>(h), outBpp, err))
        return false;
    std::vector<uint8_t> decoded;
    if (type == RT_BYTE_ENCODED) {
        decoded.resize(static_cast<size_t>(total));
        size_t i = 0, o = 0;
        while (o < decoded.size()) {
            if (i >= avail) {
                err = "Sun raster compressed data end early";
                return false;
            }
            const uint8_t b = src[i++];
            if (b != 0x80) {
                decoded[o++] = b;
                continue;
            }
            if (i >= avail) {
                err = "Sun raster compressed data end early";
                return false;
            }
            const unsigned count = src[i++];
            if (count == 0) {
                decoded[o++] = 0x80;
                continue;
            }
            if (i >= avail) {
                err = "Sun raster compressed data end early";
                return false;
            }
            const uint8_t v = src[i++];
            for (unsigned k = 0; k <= count && o < decoded.size(); ++k)
                decoded[o++] = v;
        }
        src = decoded.data();
    }
    const unsigned colors = mapType == 1 ? mapLength / 3 : 0;
    if (depth == 1) {
        if (colors >= 2) {
            for (int i = 0; i < 2; ++i)
                img.palette[i] = {map[2 * colors + i], map[colors + i], map[i], 0};
        } else {
            img.palette[0] = {255, 255, 255, 0};  // 1 is black
            img.palette[1] = {0, 0, 0, 0};
        }
    } else if (depth == 8 && colors > 0) {
        img.palette.assign(256, PaletteEntry{0, 0, 0, 0});
        for (unsigned i = 0; i < colors && i < 256; ++i)
            img.palette[i] = {map[2 * colors + i], map[colors + i], map[i], 0};
    }
    const bool alpha = depth == 32 && img.CreateAlpha();
    std::vector<uint8_t> arow(alpha ? w : 0);
    const bool rgbOrder = type == RT_FORMAT_RGB;
    for (uint32_t r = 0; r < h; ++r) {
        const uint8_t* s = src + lineBytes * r;
        uint8_t* row = img.TopRow(static_cast<int>(r));
        if (depth <= 8) {
            memcpy(row, s, (static_cast<size_t>(w) * depth + 7) / 8);
            continue;
        }
        const unsigned step = depth / 8;
        for (uint32_t x = 0; x < w; ++x) {
            const uint8_t* p = s + step * x + (depth == 32 ? 1 : 0);
            row[3 * x] = rgbOrder ? p[2] : p[0];
            row[3 * x + 1] = p[1];
            row[3 * x + 2] = rgbOrder ? p[0] : p[2];
            if (alpha)
                arow[x] = s[step * x];
        }
        if (alpha)
            SetAlphaRow(img, static_cast<int>(r), arow.data());
    }
    if (alpha && !AlphaUsed(img))
        img.DeleteAlpha();
    return true;
}

bool EncodeRas(const PixelImage& source, ByteBuffer& out, std::string& err)
{
    // One-bit rasters mean 1 = black, and readers ignore a colour map there: other
    // two-colour pictures go out with eight bits and their map.
    PixelImage widened;
    const bool blackWhite = IsBlackWhite(source, false), whiteBlack = IsBlackWhite(source, true);
    if (source.Bpp() == 1 && !blackWhite && !whiteBlack && !WidenIndices(source, 8, widened, err))
        return false;
    const PixelImage& img = widened.IsValid() ? widened : source;
    const bool invert = img.Bpp() == 1 && blackWhite;
    const int w = img.Width(), h = img.Height();
    const bool alpha = AlphaUsed(img);
    const int depth = alpha ? 32 : (img.Bpp() == 24 ? 24 : (img.Bpp() == 1 ? 1 : 8));
    const size_t lineBytes = ((static_cast<size_t>(w) * depth + 15) / 16) * 2;
    const bool mapped = depth == 8;
    const unsigned colors = mapped ? (1u << depth) : 0;
    PutBe32(out, 0x59A66A95);
    PutBe32(out, w);
    PutBe32(out, h);
    PutBe32(out, depth);
    PutBe32(out, static_cast<uint32_t>(lineBytes * h));
    PutBe32(out, RT_STANDARD);
    PutBe32(out, mapped ? 1 : 0);
    PutBe32(out, colors * 3);
    for (int c = 0; c < 3; ++c)
        for (unsigned i = 0; i < colors; ++i) {
            PaletteEntry e{0, 0, 0, 0};
            if (img.Bpp() <= 8 && i < img.palette.size())
                e = img.palette[i];
            out.push_back(c == 0 ? e.r : (c == 1 ? e.g : e.b));
        }
    for (int r = 0; r < h; ++r) {
        ByteBuffer line(lineBytes, 0);
        const uint8_t* row = img.TopRow(r);
        if (depth == 1) {
            memcpy(line.data(), row, (static_cast<size_t>(w) + 7) / 8);
            if (invert)
                for (size_t i = 0; i < (static_cast<size_t>(w) + 7) / 8; ++i)
                    line[i] = static_cast<uint8_t>(~line[i]);
        } else if (depth == 8) {
            for (int x = 0; x < w; ++x)
                line[x] = img.GetIndex(x, r);
        } else if (depth == 24) {
            memcpy(line.data(), row, static_cast<size_t>(w) * 3);
        } else {
            const uint8_t* a = img.Alpha() + static_cast<size_t>(h - 1 - r) * w;
            for (int x = 0; x < w; ++x) {
                const PaletteEntry c = img.GetColor(x, r);
                line[4 * x] = a[x];
                line[4 * x + 1] = c.b;
                line[4 * x + 2] = c.g;
                line[4 * x + 3] = c.r;
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return true;
}

}  // namespace orv_img
