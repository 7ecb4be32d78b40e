// Icons and cursors: the largest entry, stored as a DIB with its AND mask or as PNG.
#include <string.h>

#include "Codecs.h"

namespace orv_img {

using namespace detail;

bool DecodeIco(const uint8_t* data, size_t size, PixelImage& image, std::string& err)
{
    if (size < 6 || Le16(data) != 0 || (Le16(data + 2) != 1 && Le16(data + 2) != 2)) {
        err = "Not an icon file";
        return false;
    }
    const unsigned count = Le16(data + 4);
    if (count == 0 || 6 + 16ull * count > size) {
        err = "Icon directory beyond the end of the file";
        return false;
    }
    // Pick the largest picture; the directory's own sizes may be 0 (256) or wrong,
    // so every entry is decoded and measured.
    PixelImage best;
    std::string firstErr;
    uint64_t bestArea = 0;
    int bestBpp = 0;
    for (unsigned i = 0; i < count; ++i) {
        const uint8_t* e = data + 6 + 16 * i;
        const uint32_t bytes = Le32(e + 8), offset = Le32(e + 12);
        if (offset >= size || bytes > size - offset || bytes < 8) {
            if (firstErr.empty())
                firstErr = "Icon entry beyond the end of the file";
            continue;
        }
        PixelImage entry;
        std::string entryErr;
        const uint8_t* p = data + offset;
        const bool png = !memcmp(p, "\x89PNG\r\n\x1a\n", 8);
        const bool ok = png ? DecodePng(p, bytes, entry, entryErr)
                            : DecodeDib(p, bytes, true, entry, entryErr);
        if (!ok) {
            if (firstErr.empty())
                firstErr = entryErr;
            continue;
        }
        const uint64_t area = static_cast<uint64_t>(entry.Width()) * entry.Height();
        const int bpp = entry.HasAlpha() ? 32 : entry.Bpp();
        if (area > bestArea || (area == bestArea && bpp > bestBpp)) {
            best.Swap(entry);
            bestArea = area;
            bestBpp = bpp;
        }
    }
    if (!best.IsValid()) {
        err = firstErr.empty() ? "No readable icon entry" : firstErr;
        return false;
    }
    image.Swap(best);
    return true;
}

bool EncodeIco(const PixelImage& img, ByteBuffer& out, std::string& err)
{
    const int w = img.Width(), h = img.Height();
    ByteBuffer entry;
    const bool alpha = AlphaUsed(img);
    if (w > 256 || h > 256) {
        // Pictures larger than the directory can describe are stored as PNG.
        if (!EncodePng(img, entry, err))
            return false;
    } else {
        // A DIB without file header, its height doubled for the AND mask.
        ByteBuffer bmp;
        if (!EncodeBmp(img, bmp, err))
            return false;
        const uint32_t off = Le32(bmp.data() + 10);
        entry.assign(bmp.begin() + 14, bmp.begin() + 14 + 40);
        const uint32_t infoSize = 40, doubled = static_cast<uint32_t>(h) * 2;
        memcpy(entry.data(), &infoSize, 4);
        memcpy(entry.data() + 8, &doubled, 4);
        const int bpp = Le16(entry.data() + 14);
        // Icons carry 32-bit pixels as plain BGRA.
        const uint32_t rgb = 0;
        memcpy(entry.data() + 16, &rgb, 4);
        if (bpp <= 8)
            entry.insert(entry.end(), bmp.begin() + 14 + 40, bmp.begin() + off);
        entry.insert(entry.end(), bmp.begin() + off, bmp.end());
        const size_t maskStride = StrideFor(w, 1);
        for (int y = 0; y < h; ++y) {
            ByteBuffer row(maskStride, 0);
            if (alpha) {
                const uint8_t* a = img.Alpha() + static_cast<size_t>(y) * w;
                for (int x = 0; x < w; ++x)
                    if (a[x] < 128)
                        row[x >> 3] |= 0x80 >> (x & 7);
            }
            entry.insert(entry.end(), row.begin(), row.end());
        }
    }
    const int bpp = alpha ? 32 : img.Bpp();
    PutLe16(out, 0);
    PutLe16(out, 1);
    PutLe16(out, 1);
    out.push_back(w >= 256 ? 0 : w);
    out.push_back(h >= 256 ? 0 : h);
    out.push_back(bpp < 8 ? (1 << bpp) : 0);
    out.push_back(0);
    PutLe16(out, 1);
    PutLe16(out, bpp);
    PutLe32(out, static_cast<uint32_t>(entry.size()));
    PutLe32(out, 22);
    out.insert(out.end(), entry.begin(), entry.end());
    return true;
}

}  // namespace orv_img
