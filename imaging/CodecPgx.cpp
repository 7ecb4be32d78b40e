// PGX, the one-component test format of JPEG 2000: 1 to 16 bits, signed or not,
// big-endian ("ML") or little-endian ("LM") samples.
#include <stdio.h>
#include <string.h>

#include "Codecs.h"

namespace orv_img {

using namespace detail;

namespace {

bool SkipBlanks(const uint8_t* d, size_t n, size_t& pos)
{
    const size_t start = pos;
    while (pos < n && (d[pos] == ' ' || d[pos] == '\t'))
        ++pos;
    return pos > start;
}

bool ReadUnsigned(const uint8_t* d, size_t n, size_t& pos, uint32_t& v)
{
    if (pos >= n || d[pos] < '0' || d[pos] > '9')
        return false;
    uint64_t x = 0;
    while (pos < n && d[pos] >= '0' && d[pos] <= '9') {
        x = x * 10 + (d[pos++] - '0');
        if (x > 0xFFFFFFFFull)
            return false;
    }
    v = static_cast<uint32_t>(x);
    return true;
}

}  // namespace

bool DecodePgx(const uint8_t* d, size_t n, PixelImage& img, std::string& err)
{
    size_t pos = 2;
    if (n < 3 || d[0] != 'P' || d[1] != 'G' || !SkipBlanks(d, n, pos) || pos + 2 > n) {
        err = "Not a PGX file";
        return false;
    }
    bool bigEndian;
    if (d[pos] == 'M' && d[pos + 1] == 'L')
        bigEndian = true;
    else if (d[pos] == 'L' && d[pos + 1] == 'M')
        bigEndian = false;
    else {
        err = "Invalid PGX byte order";
        return false;
    }
    pos += 2;
    bool isSigned = false;
    while (pos < n && (d[pos] == ' ' || d[pos] == '\t' || d[pos] == '+' || d[pos] == '-')) {
        if (d[pos] == '-')
            isSigned = true;
        ++pos;
    }
    uint32_t depth, w, h;
    if (!ReadUnsigned(d, n, pos, depth) || !SkipBlanks(d, n, pos) || !ReadUnsigned(d, n, pos, w) ||
        !SkipBlanks(d, n, pos) || !ReadUnsigned(d, n, pos, h)) {
        err = "Invalid PGX header";
        return false;
    }
    if (depth < 1 || depth > 16) {
        err = "Unsupported PGX bit depth";
        return false;
    }
    // The header ends with one line break (some writers put a blank before it).
    while (pos < n && (d[pos] == ' ' || d[pos] == '\t'))
        ++pos;
    if (pos < n && d[pos] == '\r')
        ++pos;
    if (pos >= n || d[pos] != '\n') {
        err = "Invalid PGX header";
        return false;
    }
    ++pos;
    if (w == 0 || h == 0 || w > static_cast<uint32_t>(kMaxImageSide) ||
        h > static_cast<uint32_t>(kMaxImageSide)) {
        err = "Invalid image size";
        return false;
    }
    const uint32_t bytes = depth <= 8 ? 1 : 2;
    if (static_cast<uint64_t>(w) * h * bytes > n - pos) {
        err = "PGX pixel data beyond the end of the file";
        return false;
    }
    if (!img.Create(static_cast<int>(w), static_cast<int>(h), 8, err))
        return false;
    const uint32_t maxval = (1u << depth) - 1;
    const int32_t offset = isSigned ? (1 << (depth - 1)) : 0;
    for (uint32_t r = 0; r < h; ++r) {
        uint8_t* row = img.TopRow(static_cast<int>(r));
        for (uint32_t x = 0; x < w; ++x) {
            uint32_t raw = bytes == 1 ? d[pos] : (bigEndian ? Be16(d + pos) : Le16(d + pos));
            pos += bytes;
            raw &= maxval;
            int32_t v;
            if (isSigned) {
                // Sign-extend, then shift the range to 0..maxval.
                v = (raw & (1u << (depth - 1))) ? static_cast<int32_t>(raw) - static_cast<int32_t>(1u << depth)
                                                 : static_cast<int32_t>(raw);
                v += offset;
            } else {
                v = static_cast<int32_t>(raw);
            }
            row[x] = static_cast<uint8_t>((static_cast<uint64_t>(v) * 255 + maxval / 2) / maxval);
        }
    }
    return true;
}

bool EncodePgx(const PixelImage& img, ByteBuffer& out, std::string& err)
{
    // One component: colour pictures are written as their grey value.
    PixelImage grey(img);
    if (!grey.IsValid() || !grey.ConvertToGrey(err))
        return false;
    char header[64];
    snprintf(header, sizeof header, "PG ML +8 %d %d\n", grey.Width(), grey.Height());
    out.assign(header, header + strlen(header));
    for (int r = 0; r < grey.Height(); ++r)
        out.insert(out.end(), grey.TopRow(r), grey.TopRow(r) + grey.Width());
    return true;
}

}  // namespace orv_img
