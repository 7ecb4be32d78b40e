// Portable anymaps P1 to P6, maxval up to 65535. Written here rather than over the
// netpbm library, whose error handling jumps out of the process-wide state and is not
// safe beside the thumbnail loader's thread.
#include <stdio.h>
#include <string.h>

#include "Codecs.h"

namespace orv_img {

using namespace detail;

namespace {

inline bool IsSpace(uint8_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads one decimal header number, skipping white space and comments.
bool ReadNumber(const uint8_t* d, size_t n, size_t& pos, uint32_t& value)
{
    while (pos < n) {
        if (IsSpace(d[pos])) {
            ++pos;
        } else if (d[pos] == '#') {
            while (pos < n && d[pos] != '\n' && d[pos] != '\r')
                ++pos;
        } else {
            break;
        }
    }
    if (pos >= n || d[pos] < '0' || d[pos] > '9')
        return false;
    uint64_t v = 0;
    while (pos < n && d[pos] >= '0' && d[pos] <= '9') {
        v = v * 10 + (d[pos] - '0');
        if (v > 0xFFFFFFFFull)
            return false;
        ++pos;
    }
    value = static_cast<uint32_t>(v);
    return true;
}

inline uint8_t ScaleSample(uint32_t v, uint32_t maxval)
{
    if (v > maxval)
        v = maxval;
    if (maxval == 255)
        return static_cast<uint8_t>(v);
    return static_cast<uint8_t>((static_cast<uint64_t>(v) * 255 + maxval / 2) / maxval);
}

}  // namespace

bool DecodePnm(const uint8_t* d, size_t n, PixelImage& img, std::string& err)
{
    if (n < 3 || d[0] != 'P' || d[1] < '1' || d[1] > '6') {
        err = "Not a PNM file";
        return false;
    }
    const int kind = d[1] - '0';
    const bool bitmap = kind == 1 || kind == 4;
    const bool colour = kind == 3 || kind == 6;
    const bool ascii = kind <= 3;
    size_t pos = 2;
    uint32_t w, h, maxval = 1;
    if (!ReadNumber(d, n, pos, w) || !ReadNumber(d, n, pos, h) ||
        (!bitmap && !ReadNumber(d, n, pos, maxval))) {
        err = "Truncated or invalid PNM header";
        return false;
    }
    if (maxval == 0 || maxval > 65535) {
        err = "Invalid PNM maximum value";
        return false;
    }
    if (w == 0 || h == 0 || w > static_cast<uint32_t>(kMaxImageSide) ||
        h > static_cast<uint32_t>(kMaxImageSide)) {
        err = "Invalid image size";
        return false;
    }
    // One white-space byte ends the header of the binary kinds.
    if (pos >= n) {
        err = "PNM pixel data missing";
        return false;
    }
    ++pos;
    const uint32_t spp = colour ? 3 : 1;
    const uint64_t samples = static_cast<uint64_t>(w) * h * spp;
    const size_t avail = n - pos + (ascii ? 1 : 0);
    const uint32_t bps = maxval > 255 ? 2 : 1;
    uint64_t needed;
    if (kind == 4)
        needed = (static_cast<uint64_t>(w) + 7) / 8 * h;
    else if (!ascii)
        needed = samples * bps;
    else
        needed = kind == 1 ? samples : (samples + 1) / 2;  // digits and separators
    if (needed > avail) {
        err = "PNM pixel data beyond the end of the file";
        return false;
    }
    if (ascii)
        --pos;  // the separator may be the first data byte's own
    if (!img.Create(static_cast<int>(w), static_cast<int>(h), bitmap ? 1 : (colour ? 24 : 8), err))
        return false;
    if (bitmap) {
        img.palette[0] = {255, 255, 255, 0};  // 1 is black
        img.palette[1] = {0, 0, 0, 0};
    }
    for (uint32_t r = 0; r < h; ++r) {
        uint8_t* row = img.TopRow(static_cast<int>(r));
        if (kind == 4) {
            const size_t rb = (w + 7) / 8;
            memcpy(row, d + pos, rb);
            pos += rb;
            continue;
        }
        for (uint32_t x = 0; x < w; ++x) {
            for (uint32_t s = 0; s < spp; ++s) {
                uint32_t v;
                if (kind == 1) {
                    while (pos < n && (IsSpace(d[pos]) || d[pos] == '#')) {
                        if (d[pos] == '#')
                            while (pos < n && d[pos] != '\n')
                                ++pos;
                        else
                            ++pos;
                    }
                    if (pos >= n || (d[pos] != '0' && d[pos] != '1')) {
                        err = "Invalid or missing PBM sample";
                        return false;
                    }
                    v = d[pos++] - '0';
                } else if (ascii) {
                    if (!ReadNumber(d, n, pos, v)) {
                        err = "Invalid or missing PNM sample";
                        return false;
                    }
                } else if (bps == 2) {
                    v = Be16(d + pos);
                    pos += 2;
                } else {
                    v = d[pos++];
                }
                if (bitmap)
                    img.SetIndex(static_cast<int>(x), static_cast<int>(r), static_cast<uint8_t>(v));
                else if (colour)
                    row[3 * x + 2 - s] = ScaleSample(v, maxval);
                else
                    row[x] = ScaleSample(v, maxval);
            }
        }
    }
    return true;
}

bool EncodePnm(const PixelImage& img, ByteBuffer& out, std::string& err)
{
    (void)err;
    const int w = img.Width(), h = img.Height();
    bool bitmap = false;
    bool blackIsOne = true;
    if (img.Bpp() == 1 && img.palette.size() == 2) {
        const PaletteEntry a = img.palette[0], b = img.palette[1];
        const bool aBlack = !a.r && !a.g && !a.b, aWhite = a.r == 255 && a.g == 255 && a.b == 255;
        const bool bBlack = !b.r && !b.g && !b.b, bWhite = b.r == 255 && b.g == 255 && b.b == 255;
        if ((aWhite && bBlack) || (aBlack && bWhite)) {
            bitmap = true;
            blackIsOne = bBlack;
        }
    }
    const bool grey = !bitmap && img.IsGrey();
    char header[64];
    snprintf(header, sizeof header, "P%c\n%d %d\n%s", bitmap ? '4' : (grey ? '5' : '6'), w, h,
             bitmap ? "" : "255\n");
    out.insert(out.end(), header, header + strlen(header));
    for (int r = 0; r < h; ++r) {
        const uint8_t* row = img.TopRow(r);
        if (bitmap) {
            const size_t rb = (static_cast<size_t>(w) + 7) / 8;
            for (size_t i = 0; i < rb; ++i)
                out.push_back(blackIsOne ? row[i] : static_cast<uint8_t>(~row[i]));
            if (w & 7)
                out.back() &= static_cast<uint8_t>(0xFF << (8 - (w & 7)));
        } else if (grey) {
            out.insert(out.end(), row, row + w);
        } else {
            for (int x = 0; x < w; ++x) {
                const PaletteEntry c = img.GetColor(x, r);
                out.push_back(c.r);
                out.push_back(c.g);
                out.push_back(c.b);
            }
        }
    }
    return true;
}

}  // namespace orv_img
