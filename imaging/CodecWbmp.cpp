// Wireless bitmap, level 0: one bit per pixel, 1 = white, rows padded to bytes.
#include <string.h>

#include "Codecs.h"

namespace orv_img {

using namespace detail;

namespace {

bool ReadMultiByte(const uint8_t* data, size_t size, size_t& pos, uint32_t& value)
{
    value = 0;
    for (int i = 0; i < 5; ++i) {
        if (pos >= size)
            return false;
        const uint8_t b = data[pos++];
        value = (value << 7) | (b & 0x7F);
        if (!(b & 0x80))
            return true;
    }
    return false;
}

void PutMultiByte(ByteBuffer& out, uint32_t v)
{
    uint8_t tmp[5];
    int n = 0;
    do {
        tmp[n++] = v & 0x7F;
        v >>= 7;
    } while (v);
    while (n > 1)
        out.push_back(tmp[--n] | 0x80);
    out.push_back(tmp[0]);
}

}  // namespace

bool DecodeWbmp(const uint8_t* data, size_t size, PixelImage& img, std::string& err)
{
    size_t pos = 0;
    uint32_t type, w, h;
    if (!ReadMultiByte(data, size, pos, type) || type != 0 || pos >= size ||
        (data[pos] & 0x9F) != 0) {
        err = "Not a WBMP file";
        return false;
    }
    ++pos;
    if (!ReadMultiByte(data, size, pos, w) || !ReadMultiByte(data, size, pos, h)) {
        err = "Truncated WBMP header";
        return false;
    }
    if (w == 0 || h == 0) {
        err = "Invalid image size";
        return false;
    }
    const uint64_t rowBytes = (static_cast<uint64_t>(w) + 7) / 8;
    if (rowBytes * h > size - pos) {
        err = "WBMP pixel data beyond the end of the file";
        return false;
    }
    if (!img.Create(static_cast<int>(w), static_cast<int>(h), 1, err))
        return false;
    img.palette[0] = {0, 0, 0, 0};
    img.palette[1] = {255, 255, 255, 0};
    for (uint32_t r = 0; r < h; ++r)
        memcpy(img.TopRow(static_cast<int>(r)), data + pos + rowBytes * r, static_cast<size_t>(rowBytes));
    return true;
}

bool EncodeWbmp(const PixelImage& img, ByteBuffer& out, std::string& err)
{
    (void)err;
    const int w = img.Width(), h = img.Height();
    PutMultiByte(out, 0);
    out.push_back(0);
    PutMultiByte(out, w);
    PutMultiByte(out, h);
    const size_t rowBytes = (static_cast<size_t>(w) + 7) / 8;
    for (int r = 0; r < h; ++r) {
        ByteBuffer row(rowBytes, 0);
        for (int x = 0; x < w; ++x) {
            const PaletteEntry c = img.GetColor(x, r);
            if (c.r * 299 + c.g * 587 + c.b * 114 >= 128000)
                row[x >> 3] |= 0x80 >> (x & 7);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return true;
}

}  // namespace orv_img
