#include "ImageCorpus.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include <zlib.h>

#include "SeededRng.h"

using orv_img::PaletteEntry;
using orv_img::PixelImage;

namespace {

std::string Token(const Bytes& d, size_t& pos)
{
    while (pos < d.size() && isspace(d[pos]))
        ++pos;
    std::string t;
    while (pos < d.size() && !isspace(d[pos]))
        t += static_cast<char>(d[pos++]);
    return t;
}

}  // namespace

bool ReadPam(const Bytes& d, RgbaImage& img)
{
    if (d.size() < 3 || d[0] != 'P' || d[1] != '7')
        return false;
    size_t pos = 2;
    int depth = 0, maxval = 0;
    img.width = img.height = 0;
    for (;;) {
        const std::string t = Token(d, pos);
        if (t.empty())
            return false;
        if (t == "ENDHDR")
            break;
        if (t == "WIDTH")
            img.width = atoi(Token(d, pos).c_str());
        else if (t == "HEIGHT")
            img.height = atoi(Token(d, pos).c_str());
        else if (t == "DEPTH")
            depth = atoi(Token(d, pos).c_str());
        else if (t == "MAXVAL")
            maxval = atoi(Token(d, pos).c_str());
        else if (t == "TUPLTYPE")
            Token(d, pos);
    }
    ++pos;  // the line break after ENDHDR
    if (img.width <= 0 || img.height <= 0 || depth < 1 || depth > 4 || maxval != 255)
        return false;
    const size_t n = static_cast<size_t>(img.width) * img.height;
    if (pos + n * depth > d.size())
        return false;
    img.hasAlpha = depth == 2 || depth == 4;
    img.px.resize(n * 4);
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* s = d.data() + pos + i * depth;
        uint8_t* o = img.px.data() + i * 4;
        if (depth <= 2) {
            o[0] = o[1] = o[2] = s[0];
            o[3] = depth == 2 ? s[1] : 255;
        } else {
            o[0] = s[0];
            o[1] = s[1];
            o[2] = s[2];
            o[3] = depth == 4 ? s[3] : 255;
        }
    }
    return true;
}

RgbaImage ToRgba(const PixelImage& image)
{
    RgbaImage r;
    r.width = image.Width();
    r.height = image.Height();
    r.hasAlpha = image.HasAlpha();
    r.px.resize(static_cast<size_t>(r.width) * r.height * 4);
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x) {
            const PaletteEntry c = image.GetColor(x, y);
            uint8_t* o = r.px.data() + (static_cast<size_t>(y) * r.width + x) * 4;
            o[0] = c.r;
            o[1] = c.g;
            o[2] = c.b;
            o[3] = image.HasAlpha()
                       ? image.Alpha()[static_cast<size_t>(r.height - 1 - y) * r.width + x]
                       : 255;
        }
    return r;
}

std::string CompareRgba(const RgbaImage& ours, const RgbaImage& ref, int tol)
{
    char buf[200];
    if (ours.width != ref.width || ours.height != ref.height) {
        snprintf(buf, sizeof buf, "size %dx%d, expected %dx%d", ours.width, ours.height, ref.width,
                 ref.height);
        return buf;
    }
    for (int y = 0; y < ref.height; ++y)
        for (int x = 0; x < ref.width; ++x) {
            uint8_t a[4];
            memcpy(a, ours.At(x, y), 4);
            const uint8_t* b = ref.At(x, y);
            if (ref.premultiplied && !ours.premultiplied)
                for (int k = 0; k < 3; ++k)
                    a[k] = static_cast<uint8_t>((a[k] * a[3] + 127) / 255);
            const int first = b[3] == 0 ? 3 : 0;
            for (int k = first; k < 4; ++k)
                if (abs(a[k] - b[k]) > tol) {
                    snprintf(buf, sizeof buf,
                             "pixel (%d,%d) is %d,%d,%d,%d, expected %d,%d,%d,%d", x, y, a[0],
                             a[1], a[2], a[3], b[0], b[1], b[2], b[3]);
                    return buf;
                }
        }
    return std::string();
}

double Psnr(const RgbaImage& a, const RgbaImage& b)
{
    if (a.width != b.width || a.height != b.height)
        return 0;
    double se = 0;
    const size_t n = static_cast<size_t>(a.width) * a.height;
    for (size_t i = 0; i < n; ++i)
        for (int k = 0; k < 3; ++k) {
            const double d = static_cast<double>(a.px[i * 4 + k]) - b.px[i * 4 + k];
            se += d * d;
        }
    if (se == 0)
        return 1000;
    return 10 * log10(255.0 * 255.0 / (se / (n * 3)));
}

std::vector<ManifestEntry> ParseManifest(const Bytes& text)
{
    std::vector<ManifestEntry> out;
    size_t pos = 0;
    for (;;) {
        ManifestEntry e;
        e.file = Token(text, pos);
        if (e.file.empty())
            break;
        const std::string t = Token(text, pos);
        e.library = t == "lib";
        e.tolerance = e.library ? 0 : atoi(t.c_str());
        out.push_back(e);
    }
    return out;
}

int LibraryTolerance(const ManifestEntry& e)
{
    if (!e.library)
        return e.tolerance;
    return e.file.find("16") != std::string::npos ? 1 : 0;
}

int FormatFromName(const std::string& name)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return 0;
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(tolower(c));
    static const struct {
        const char* ext;
        int format;
    } kTable[] = {{"bmp", 1}, {"gif", 2}, {"jpg", 3}, {"jpeg", 3}, {"png", 4}, {"ico", 5},
                  {"cur", 5}, {"tif", 6}, {"tiff", 6}, {"tga", 7}, {"pcx", 8}, {"wbmp", 9},
                  {"wmf", 10}, {"emf", 10}, {"jp2", 11}, {"j2k", 11}, {"j2c", 12}, {"jpc", 12},
                  {"pgx", 13}, {"pnm", 14}, {"pgm", 14}, {"ppm", 14}, {"pbm", 14}, {"ras", 15},
                  {"mng", 17}, {"jng", 17}};
    for (const auto& e : kTable)
        if (ext == e.ext)
            return e.format;
    return 0;
}

namespace {

typedef SeededRng Rng;

struct Field {
    size_t offset;
    int width;
    bool bigEndian;
    size_t crcStart;  // PNG-style chunk whose CRC follows (0: none)
    size_t crcEnd;
};

uint32_t Get(const Bytes& d, size_t p, int w, bool be)
{
    uint32_t v = 0;
    for (int i = 0; i < w; ++i)
        v |= static_cast<uint32_t>(d[p + i]) << (8 * (be ? w - 1 - i : i));
    return v;
}

void Put(Bytes& d, size_t p, int w, bool be, uint32_t v)
{
    for (int i = 0; i < w; ++i)
        d[p + i] = static_cast<uint8_t>(v >> (8 * (be ? w - 1 - i : i)));
}

void AddPngChunks(const Bytes& d, size_t start, std::vector<Field>& f)
{
    size_t p = start;
    while (p + 12 <= d.size()) {
        const uint32_t len = Get(d, p, 4, true);
        if (len > d.size() - p - 12)
            break;
        const char* type = reinterpret_cast<const char*>(d.data() + p + 4);
        const size_t data = p + 8;
        f.push_back({p, 4, true, 0, 0});  // chunk length
        if (!memcmp(type, "IHDR", 4) || !memcmp(type, "MHDR", 4) || !memcmp(type, "JHDR", 4)) {
            for (size_t k : {0, 4})
                f.push_back({data + k, 4, true, p + 4, data + len});
            for (size_t k = 8; k < len && k < 13; ++k)
                f.push_back({data + k, 1, true, p + 4, data + len});
        }
        if (!memcmp(type, "PLTE", 4) || !memcmp(type, "tRNS", 4))
            f.push_back({data, 1, true, p + 4, data + len});
        p = data + len + 4;
    }
}

std::vector<Field> FieldsOf(const Bytes& d, int format)
{
    std::vector<Field> f;
    auto le = [&](std::initializer_list<std::pair<size_t, int>> list) {
        for (auto& e : list)
            f.push_back({e.first, e.second, false, 0, 0});
    };
    auto be = [&](std::initializer_list<std::pair<size_t, int>> list) {
        for (auto& e : list)
            f.push_back({e.first, e.second, true, 0, 0});
    };
    switch (format) {
    case 1:  // BMP: file size, offset, header size, sizes, planes, bits, compression, colours
        le({{2, 4}, {10, 4}, {14, 4}, {18, 4}, {22, 4}, {26, 2}, {28, 2}, {30, 4}, {34, 4}, {46, 4}});
        break;
    case 5: {  // icon directory and its first DIB
        le({{4, 2}, {6, 1}, {7, 1}, {8, 1}, {10, 2}, {12, 2}, {14, 4}, {18, 4}});
        if (d.size() >= 22) {
            const size_t off = Get(d, 18, 4, false);
            if (off + 40 <= d.size())
                le({{off, 4}, {off + 4, 4}, {off + 8, 4}, {off + 14, 2}, {off + 16, 4}, {off + 32, 4}});
        }
        break;
    }
    case 7:  // TGA
        le({{0, 1}, {1, 1}, {2, 1}, {3, 2}, {5, 2}, {7, 1}, {12, 2}, {14, 2}, {16, 1}, {17, 1}});
        break;
    case 8:  // PCX
        le({{1, 1}, {2, 1}, {3, 1}, {4, 2}, {6, 2}, {8, 2}, {10, 2}, {65, 1}, {66, 2}, {68, 2}});
        break;
    case 9:
        le({{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}});
        break;
    case 15:  // Sun raster
        be({{4, 4}, {8, 4}, {12, 4}, {16, 4}, {20, 4}, {24, 4}, {28, 4}});
        break;
    case 2: {  // GIF: screen, then image descriptors and their LZW code size
        le({{6, 2}, {8, 2}, {10, 1}});
        size_t p = 13;
        if (d.size() > 10 && (d[10] & 0x80))
            p += 3u << ((d[10] & 7) + 1);
        while (p < d.size()) {
            if (d[p] == 0x21 && p + 2 < d.size()) {  // extension: skip its blocks
                p += 2;
                while (p < d.size() && d[p])
                    p += d[p] + 1u;
                ++p;
            } else if (d[p] == 0x2C && p + 10 < d.size()) {
                le({{p + 1, 2}, {p + 3, 2}, {p + 5, 2}, {p + 7, 2}, {p + 9, 1}});
                size_t q = p + 10;
                if (d[p + 9] & 0x80)
                    q += 3u << ((d[p + 9] & 7) + 1);
                if (q < d.size())
                    le({{q, 1}});
                break;
            } else {
                break;
            }
        }
        break;
    }
    case 3:  // JPEG: frame header and table lengths
        for (size_t p = 2; p + 10 < d.size(); ++p) {
            if (d[p] != 0xFF)
                continue;
            const uint8_t m = d[p + 1];
            if (m == 0xC0 || m == 0xC1 || m == 0xC2)
                be({{p + 2, 2}, {p + 4, 1}, {p + 5, 2}, {p + 7, 2}, {p + 9, 1}, {p + 11, 1}});
            else if (m == 0xC4 || m == 0xDB || m == 0xDA || m == 0xDD)
                be({{p + 2, 2}, {p + 4, 1}});
        }
        break;
    case 4:
        AddPngChunks(d, 8, f);
        break;
    case 17:
        AddPngChunks(d, 8, f);
        break;
    case 6: {  // TIFF: the first directory's entries, counts and values
        if (d.size() < 8)
            break;
        const bool big = d[0] == 'M';
        const size_t ifd = Get(d, 4, 4, big);
        if (ifd + 2 > d.size())
            break;
        const unsigned n = Get(d, ifd, 2, big);
        f.push_back({ifd, 2, big, 0, 0});
        for (unsigned i = 0; i < n && ifd + 2 + 12 * (i + 1) <= d.size(); ++i) {
            const size_t e = ifd + 2 + 12 * i;
            f.push_back({e + 4, 4, big, 0, 0});
            f.push_back({e + 8, Get(d, e + 2, 2, big) == 3 ? 2 : 4, big, 0, 0});
        }
        break;
    }
    case 11:
    case 12:  // JPEG 2000: image and tile sizes, components, tile-part lengths
        for (size_t p = 0; p + 42 < d.size(); ++p) {
            if (d[p] != 0xFF)
                continue;
            if (d[p + 1] == 0x51)
                be({{p + 2, 2}, {p + 6, 4}, {p + 10, 4}, {p + 22, 4}, {p + 26, 4}, {p + 38, 2}, {p + 40, 1},
                    {p + 41, 1}});
            else if (d[p + 1] == 0x90)
                be({{p + 6, 4}, {p + 4, 2}});
            else if (d[p + 1] == 0x52)
                be({{p + 2, 2}, {p + 9, 1}, {p + 10, 1}, {p + 11, 1}});
        }
        break;
    default:
        break;
    }
    f.erase(std::remove_if(f.begin(), f.end(),
                           [&](const Field& x) { return x.offset + x.width > d.size(); }),
            f.end());
    return f;
}

// TIFF tile and strip geometry: a tile or strip tag of the first directory set to a
// size no buffer should be taken for, or a stripped file turned into a tiled one.
bool MutateTiffGeometry(Bytes& d, Rng& rng, char* what, size_t whatSize)
{
    if (d.size() < 8)
        return false;
    const bool big = d[0] == 'M';
    const size_t ifd = Get(d, 4, 4, big);
    if (ifd + 2 > d.size())
        return false;
    const unsigned n = Get(d, ifd, 2, big);
    static const uint32_t kGeometry[] = {256, 257, 273, 278, 279, 322, 323, 324, 325};
    static const uint32_t kSizes[] = {0, 1, 15, 16, 17, 0x10000, 1u << 30, 0x7FFFFFFF, 0xFFFFFFFF, 0xFFFFFFF0};
    std::vector<size_t> entries;
    for (unsigned i = 0; i < n && ifd + 2 + 12 * (i + 1) <= d.size(); ++i) {
        const size_t e = ifd + 2 + 12 * i;
        const uint32_t tag = Get(d, e, 2, big);
        for (uint32_t g : kGeometry)
            if (tag == g)
                entries.push_back(e);
    }
    if (entries.empty())
        return false;
    if (rng.Below(3) == 0) {
        // Strips become tiles: offsets and counts renamed, the strip height a tile
        // length, and the first other entry a tile width.
        uint32_t width = kSizes[rng.Below(10)];
        for (size_t e : entries) {
            const uint32_t tag = Get(d, e, 2, big);
            const uint32_t to = tag == 273 ? 324 : tag == 279 ? 325 : tag == 278 ? 323 : tag;
            Put(d, e, 2, big, to);
            if (to == 323) {
                Put(d, e + 2, 2, big, 4);  // LONG
                Put(d, e + 8, 4, big, kSizes[rng.Below(10)]);
            }
        }
        for (unsigned i = 0; i < n && ifd + 2 + 12 * (i + 1) <= d.size(); ++i) {
            const size_t e = ifd + 2 + 12 * i;
            const uint32_t tag = Get(d, e, 2, big);
            if (tag != 256 && tag != 257 && (tag < 273 || tag > 279) && (tag < 322 || tag > 325) &&
                tag != 258 && tag != 259 && tag != 262 && tag != 277) {
                Put(d, e, 2, big, 322);
                Put(d, e + 2, 2, big, 4);
                Put(d, e + 4, 4, big, 1);
                Put(d, e + 8, 4, big, width);
                break;
            }
        }
        snprintf(what, whatSize, "strips made tiles, tile width %u", width);
        return true;
    }
    const size_t e = entries[rng.Below(static_cast<uint32_t>(entries.size()))];
    const uint32_t type = Get(d, e + 2, 2, big);
    const uint32_t v = kSizes[rng.Below(10)];
    Put(d, e + 8, type == 3 ? 2 : 4, big, v);
    snprintf(what, whatSize, "geometry tag %u set to %u", Get(d, e, 2, big), v);
    return true;
}

// Text headers (PNM, PGX): number runs near the start.
std::vector<std::pair<size_t, size_t>> NumberRuns(const Bytes& d)
{
    std::vector<std::pair<size_t, size_t>> runs;
    const size_t limit = std::min<size_t>(d.size(), 64);
    for (size_t p = 2; p < limit;) {
        if (isdigit(d[p])) {
            size_t q = p;
            while (q < limit && isdigit(d[q]))
                ++q;
            runs.push_back({p, q - p});
            p = q;
        } else {
            ++p;
        }
    }
    return runs;
}

}  // namespace

std::vector<Mutation> MakeMutations(const Bytes& file, int format, uint32_t seed, int count)
{
    std::vector<Mutation> out;
    if (file.empty())
        return out;
    Rng rng(seed);
    const std::vector<Field> fields = FieldsOf(file, format);
    const auto runs = (format == 13 || format == 14) ? NumberRuns(file)
                                                     : std::vector<std::pair<size_t, size_t>>();
    static const uint32_t k1[] = {0, 1, 0x7F, 0x80, 0xFF};
    static const uint32_t k2[] = {0, 1, 0x7FFF, 0x8000, 0xFFFF, 0x100};
    static const uint32_t k4[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x10000, 0x4000};
    static const char* kNumbers[] = {"0", "99999999", "65536", "4294967296", "1"};
    for (int i = 0; i < count; ++i) {
        Mutation m;
        m.data = file;
        char what[96];
        const uint32_t kind = rng.Below(10);
        if (kind < 3) {
            const size_t cut = rng.Below(static_cast<uint32_t>(file.size()));
            m.data.resize(cut);
            snprintf(what, sizeof what, "truncated to %zu bytes", cut);
        } else if (kind < 5) {
            const int flips = 1 + static_cast<int>(rng.Below(8));
            // Mostly in the first kilobyte, where the headers are.
            const uint32_t span = static_cast<uint32_t>(std::min<size_t>(file.size(), rng.Below(2) ? 1024 : file.size()));
            for (int k = 0; k < flips; ++k) {
                const size_t p = rng.Below(span);
                m.data[p] ^= static_cast<uint8_t>(1u << rng.Below(8));
            }
            snprintf(what, sizeof what, "%d bits flipped", flips);
        } else if (kind < (format == 6 ? 7 : 9) && (!fields.empty() || !runs.empty())) {
            if (!runs.empty()) {
                const auto r = runs[rng.Below(static_cast<uint32_t>(runs.size()))];
                const char* n = kNumbers[rng.Below(5)];
                m.data.erase(m.data.begin() + r.first, m.data.begin() + r.first + r.second);
                m.data.insert(m.data.begin() + r.first, n, n + strlen(n));
                snprintf(what, sizeof what, "number at %zu set to %s", r.first, n);
            } else {
                const Field& fd = fields[rng.Below(static_cast<uint32_t>(fields.size()))];
                uint32_t v;
                if (fd.width == 1)
                    v = k1[rng.Below(5)];
                else if (fd.width == 2)
                    v = k2[rng.Below(6)];
                else
                    v = k4[rng.Below(7)];
                if (rng.Below(4) == 0)  // near the old value: off by a little
                    v = Get(file, fd.offset, fd.width, fd.bigEndian) + 1 + rng.Below(16);
                Put(m.data, fd.offset, fd.width, fd.bigEndian, v);
                if (fd.crcStart && fd.crcEnd + 4 <= m.data.size()) {
                    const uint32_t crc = static_cast<uint32_t>(
                        crc32(0, m.data.data() + fd.crcStart, static_cast<uInt>(fd.crcEnd - fd.crcStart)));
                    Put(m.data, fd.crcEnd, 4, true, crc);
                }
                snprintf(what, sizeof what, "field at %zu (%d bytes) set to %u", fd.offset, fd.width, v);
            }
        } else if (format == 6 && MutateTiffGeometry(m.data, rng, what, sizeof what)) {
        } else {
            // Long runs where the pixel data lies: run lengths and counts out of bounds.
            const size_t start = file.size() > 32 ? 16 + rng.Below(static_cast<uint32_t>(file.size() - 16)) : 0;
            const uint8_t v = rng.Below(2) ? 0xFF : 0x80;
            for (size_t p = start; p < start + 24 && p < m.data.size(); ++p)
                m.data[p] = v;
            snprintf(what, sizeof what, "run of 0x%02X at %zu", v, start);
        }
        m.what = what;
        out.push_back(std::move(m));
    }
    return out;
}

PixelImage MakeTestPicture(int width, int height, int bpp, bool grey, bool alpha)
{
    PixelImage img;
    std::string err;
    img.Create(width, height, bpp, err);
    if (bpp <= 8 && !grey)
        for (size_t i = 0; i < img.palette.size(); ++i)
            img.palette[i] = {static_cast<uint8_t>(i * 37 + 11), static_cast<uint8_t>(255 - i * 5),
                              static_cast<uint8_t>(i * 91 + 3), 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (bpp == 24) {
                uint8_t* p = img.TopRow(y) + 3 * x;
                p[0] = static_cast<uint8_t>(x * 7 + y * 3);
                p[1] = static_cast<uint8_t>((x * y) ^ 0x5A);
                p[2] = static_cast<uint8_t>(200 - x * 2 + y);
            } else {
                img.SetIndex(x, y, static_cast<uint8_t>((x * 3 + y * 5 + (x >> 2)) % (1 << bpp)));
            }
        }
    if (alpha) {
        img.CreateAlpha();
        for (int i = 0; i < width * height; ++i)
            img.Alpha()[i] = static_cast<uint8_t>(40 + (i * 29) % 216);
    }
    return img;
}
