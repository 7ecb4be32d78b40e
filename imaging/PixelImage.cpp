#include "PixelImage.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <utility>

namespace orv_img {

bool CheckImageSize(int64_t width, int64_t height, int bpp, std::string& err)
{
    if (width <= 0 || height <= 0) {
        err = "Invalid image size";
        return false;
    }
    if (width > kMaxImageSide || height > kMaxImageSide) {
        err = "Image dimensions too large";
        return false;
    }
    const uint64_t stride = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4;
    if (stride * static_cast<uint64_t>(height) > kMaxImageBytes) {
        err = "Image too large for memory";
        return false;
    }
    return true;
}

PixelImage::PixelImage(const PixelImage& other)
{
    *this = other;
}

PixelImage& PixelImage::operator=(const PixelImage& other)
{
    if (this == &other)
        return *this;
    // A picture of the same byte size keeps its memory: fresh pages of a large picture
    // cost more than copying into it.
    const bool reuse = m_bits && other.m_bits && PixelBytes() == other.PixelBytes();
    if (!reuse)
        Destroy();
    if (other.m_bits) {
        if (!reuse) {
            m_bits = static_cast<uint8_t*>(malloc(other.PixelBytes()));
            if (!m_bits)
                return *this;
        }
        memcpy(m_bits, other.m_bits, other.PixelBytes());
        const size_t n = static_cast<size_t>(other.m_width) * other.m_height;
        if (m_alpha && (!other.m_alpha || static_cast<size_t>(m_width) * m_height != n)) {
            free(m_alpha);
            m_alpha = nullptr;
        }
        if (other.m_alpha) {
            if (!m_alpha)
                m_alpha = static_cast<uint8_t*>(malloc(n));
            if (m_alpha)
                memcpy(m_alpha, other.m_alpha, n);
        }
        m_width = other.m_width;
        m_height = other.m_height;
        m_bpp = other.m_bpp;
        m_stride = other.m_stride;
    }
    format = other.format;
    palette = other.palette;
    xDpi = other.xDpi;
    yDpi = other.yDpi;
    m_selValid = other.m_selValid;
    m_selLeft = other.m_selLeft;
    m_selTop = other.m_selTop;
    m_selRight = other.m_selRight;
    m_selBottom = other.m_selBottom;
    return *this;
}

PixelImage::PixelImage(PixelImage&& other) noexcept
{
    Swap(other);
}

PixelImage& PixelImage::operator=(PixelImage&& other) noexcept
{
    if (this != &other) {
        Destroy();
        Swap(other);
    }
    return *this;
}

PixelImage::~PixelImage()
{
    Destroy();
}

void PixelImage::Swap(PixelImage& o) noexcept
{
    std::swap(format, o.format);
    palette.swap(o.palette);
    std::swap(xDpi, o.xDpi);
    std::swap(yDpi, o.yDpi);
    std::swap(m_width, o.m_width);
    std::swap(m_height, o.m_height);
    std::swap(m_bpp, o.m_bpp);
    std::swap(m_stride, o.m_stride);
    std::swap(m_bits, o.m_bits);
    std::swap(m_alpha, o.m_alpha);
    std::swap(m_selValid, o.m_selValid);
    std::swap(m_selLeft, o.m_selLeft);
    std::swap(m_selTop, o.m_selTop);
    std::swap(m_selRight, o.m_selRight);
    std::swap(m_selBottom, o.m_selBottom);
}

void PixelImage::Destroy()
{
    free(m_bits);
    free(m_alpha);
    m_bits = nullptr;
    m_alpha = nullptr;
    m_width = m_height = m_bpp = 0;
    m_stride = 0;
    palette.clear();
    m_selValid = false;
}

bool PixelImage::AllocLike(int width, int height, int bpp, std::string& err)
{
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24) {
        err = "Unsupported bit depth";
        return false;
    }
    if (!CheckImageSize(width, height, bpp, err))
        return false;
    const size_t stride = StrideFor(width, bpp);
    // calloc leaves untouched pages unmapped, so a refused decode of a large picture
    // costs little.
    uint8_t* bits = static_cast<uint8_t*>(calloc(stride * static_cast<size_t>(height), 1));
    if (!bits) {
        err = "Not enough memory";
        return false;
    }
    free(m_bits);
    free(m_alpha);
    m_alpha = nullptr;
    m_bits = bits;
    m_width = width;
    m_height = height;
    m_bpp = bpp;
    m_stride = stride;
    m_selValid = false;
    return true;
}

bool PixelImage::Create(int width, int height, int bpp, std::string& err)
{
    if (!AllocLike(width, height, bpp, err))
        return false;
    palette.clear();
    if (bpp <= 8)
        SetGreyPalette();
    return true;
}

void PixelImage::SetGreyPalette()
{
    palette.clear();
    if (m_bpp > 8 || m_bpp <= 0)
        return;
    const int n = 1 << m_bpp;
    palette.resize(n);
    for (int i = 0; i < n; ++i) {
        const uint8_t v = static_cast<uint8_t>(i * 255 / (n - 1));
        palette[i] = {v, v, v, 0};
    }
}

bool PixelImage::IsGrey() const
{
    if (m_bpp != 8 || palette.size() != 256)
        return false;
    for (int i = 0; i < 256; ++i)
        if (palette[i].r != i || palette[i].g != i || palette[i].b != i)
            return false;
    return true;
}

bool PixelImage::CreateAlpha()
{
    if (!m_bits)
        return false;
    if (m_alpha)
        return true;
    const size_t n = static_cast<size_t>(m_width) * m_height;
    m_alpha = static_cast<uint8_t*>(malloc(n));
    if (!m_alpha)
        return false;
    memset(m_alpha, 255, n);
    return true;
}

void PixelImage::DeleteAlpha()
{
    free(m_alpha);
    m_alpha = nullptr;
}

uint8_t PixelImage::GetIndex(int x, int y) const
{
    const uint8_t* row = TopRow(y);
    switch (m_bpp) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
    case 8: return row[x];
    default: return 0;
    }
}

void PixelImage::SetIndex(int x, int y, uint8_t index)
{
    uint8_t* row = TopRow(y);
    switch (m_bpp) {
    case 1: {
        const uint8_t mask = static_cast<uint8_t>(0x80 >> (x & 7));
        row[x >> 3] = (index & 1) ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask);
        break;
    }
    case 4: {
        const int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & ~(15 << shift)) | ((index & 15) << shift));
        break;
    }
    case 8: row[x] = index; break;
    default: break;
    }
}

PaletteEntry PixelImage::GetColor(int x, int y) const
{
    if (m_bpp == 24) {
        const uint8_t* p = TopRow(y) + x * 3;
        return {p[0], p[1], p[2], 0};
    }
    const uint8_t i = GetIndex(x, y);
    if (i < palette.size())
        return palette[i];
    return {0, 0, 0, 0};
}

void PixelImage::SelectionAddRect(int left, int top, int right, int bottom)
{
    if (!m_bits)
        return;
    if (left > right)
        std::swap(left, right);
    if (bottom > top)
        std::swap(bottom, top);
    // Right and top are exclusive; a row below the picture (-1) may bound it.
    left = std::max(0, std::min(left, m_width));
    right = std::max(0, std::min(right, m_width));
    bottom = std::max(-1, std::min(bottom, m_height - 1));
    top = std::max(-1, std::min(top, m_height - 1));
    if (right <= left || top <= bottom)
        return;
    if (m_selValid) {
        left = std::min(left, m_selLeft);
        bottom = std::min(bottom, m_selBottom);
        right = std::max(right, m_selRight);
        top = std::max(top, m_selTop);
    }
    m_selLeft = left;
    m_selTop = top;
    m_selRight = right;
    m_selBottom = bottom;
    m_selValid = true;
}

void PixelImage::SelectionBox(int& left, int& top, int& right, int& bottom) const
{
    left = m_selLeft;
    top = m_selTop;
    right = m_selRight;
    bottom = m_selBottom;
}

bool PixelImage::Crop(int left, int top, int right, int bottom, std::string& err)
{
    if (!m_bits)
        return false;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, m_width);
    bottom = std::min(bottom, m_height);
    if (right <= left || bottom <= top) {
        err = "Empty crop rectangle";
        return false;
    }
    PixelImage out;
    if (!out.AllocLike(right - left, bottom - top, m_bpp, err))
        return false;
    out.palette = palette;
    out.format = format;
    out.xDpi = xDpi;
    out.yDpi = yDpi;
    const int w = right - left;
    for (int y = top; y < bottom; ++y) {
        const uint8_t* src = TopRow(y);
        uint8_t* dst = out.TopRow(y - top);
        if (m_bpp == 24) {
            memcpy(dst, src + left * 3, static_cast<size_t>(w) * 3);
        } else if (m_bpp == 8) {
            memcpy(dst, src + left, w);
        } else {
            for (int x = 0; x < w; ++x)
                out.SetIndex(x, y - top, GetIndex(left + x, y));
        }
    }
    if (m_alpha && out.CreateAlpha()) {
        for (int y = top; y < bottom; ++y)
            memcpy(out.m_alpha + static_cast<size_t>(out.m_height - 1 - (y - top)) * w,
                   m_alpha + static_cast<size_t>(m_height - 1 - y) * m_width + left, w);
    }
    Swap(out);
    return true;
}

bool PixelImage::Flip()
{
    if (!m_bits)
        return false;
    std::vector<uint8_t> tmp(m_stride);
    for (int y = 0; y < m_height / 2; ++y) {
        memcpy(tmp.data(), Row(y), m_stride);
        memcpy(Row(y), Row(m_height - 1 - y), m_stride);
        memcpy(Row(m_height - 1 - y), tmp.data(), m_stride);
    }
    if (m_alpha) {
        std::vector<uint8_t> t(m_width);
        for (int y = 0; y < m_height / 2; ++y) {
            uint8_t* a = m_alpha + static_cast<size_t>(y) * m_width;
            uint8_t* b = m_alpha + static_cast<size_t>(m_height - 1 - y) * m_width;
            memcpy(t.data(), a, m_width);
            memcpy(a, b, m_width);
            memcpy(b, t.data(), m_width);
        }
    }
    return true;
}

bool PixelImage::Mirror()
{
    if (!m_bits)
        return false;
    for (int y = 0; y < m_height; ++y) {
        if (m_bpp == 24) {
            uint8_t* row = Row(y);
            for (int a = 0, b = m_width - 1; a < b; ++a, --b)
                for (int k = 0; k < 3; ++k)
                    std::swap(row[a * 3 + k], row[b * 3 + k]);
        } else if (m_bpp == 8) {
            std::reverse(Row(y), Row(y) + m_width);
        } else {
            for (int a = 0, b = m_width - 1; a < b; ++a, --b) {
                const uint8_t ia = GetIndex(a, y), ib = GetIndex(b, y);
                SetIndex(a, y, ib);
                SetIndex(b, y, ia);
            }
        }
        if (m_alpha)
            std::reverse(m_alpha + static_cast<size_t>(y) * m_width,
                         m_alpha + static_cast<size_t>(y + 1) * m_width);
    }
    return true;
}

bool PixelImage::Rotate180()
{
    return Flip() && Mirror();
}

namespace {

// Rotation by a quarter turn; clockwise maps new (x, y) to old (y, H-1-x).
bool RotateQuarter(PixelImage& img, bool clockwise, std::string& err)
{
    if (!img.IsValid())
        return false;
    const int w = img.Width(), h = img.Height();
    PixelImage out;
    if (!out.Create(h, w, img.Bpp(), err))
        return false;
    out.palette = img.palette;
    out.format = img.format;
    out.xDpi = img.yDpi;
    out.yDpi = img.xDpi;
    const bool alpha = img.HasAlpha() && out.CreateAlpha();
    for (int ny = 0; ny < w; ++ny) {
        uint8_t* dst = out.TopRow(ny);
        for (int nx = 0; nx < h; ++nx) {
            const int ox = clockwise ? ny : w - 1 - ny;
            const int oy = clockwise ? h - 1 - nx : nx;
            if (img.Bpp() == 24) {
                const uint8_t* s = img.TopRow(oy) + ox * 3;
                dst[nx * 3] = s[0];
                dst[nx * 3 + 1] = s[1];
                dst[nx * 3 + 2] = s[2];
            } else if (img.Bpp() == 8) {
                dst[nx] = img.TopRow(oy)[ox];
            } else {
                out.SetIndex(nx, ny, img.GetIndex(ox, oy));
            }
            if (alpha)
                out.Alpha()[static_cast<size_t>(w - 1 - ny) * h + nx] =
                    img.Alpha()[static_cast<size_t>(h - 1 - oy) * w + ox];
        }
    }
    img.Swap(out);
    return true;
}

}  // namespace

bool PixelImage::RotateLeft(std::string& err)
{
    return RotateQuarter(*this, false, err);
}

bool PixelImage::RotateRight(std::string& err)
{
    return RotateQuarter(*this, true, err);
}

bool PixelImage::ConvertTo24(std::string& err)
{
    if (!m_bits)
        return false;
    if (m_bpp == 24)
        return true;
    PixelImage out;
    if (!out.AllocLike(m_width, m_height, 24, err))
        return false;
    out.format = format;
    out.xDpi = xDpi;
    out.yDpi = yDpi;
    for (int y = 0; y < m_height; ++y) {
        uint8_t* dst = out.Row(y);
        for (int x = 0; x < m_width; ++x) {
            const PaletteEntry c = GetColor(x, m_height - 1 - y);
            dst[x * 3] = c.b;
            dst[x * 3 + 1] = c.g;
            dst[x * 3 + 2] = c.r;
        }
    }
    if (m_alpha) {
        out.m_alpha = m_alpha;
        m_alpha = nullptr;
    }
    out.m_selValid = m_selValid;
    out.m_selLeft = m_selLeft;
    out.m_selTop = m_selTop;
    out.m_selRight = m_selRight;
    out.m_selBottom = m_selBottom;
    Swap(out);
    return true;
}

bool PixelImage::ConvertToGrey(std::string& err)
{
    if (!m_bits)
        return false;
    if (IsGrey())
        return true;
    PixelImage out;
    if (!out.Create(m_width, m_height, 8, err))
        return false;
    out.format = format;
    out.xDpi = xDpi;
    out.yDpi = yDpi;
    for (int y = 0; y < m_height; ++y) {
        uint8_t* dst = out.TopRow(y);
        for (int x = 0; x < m_width; ++x) {
            const PaletteEntry c = GetColor(x, y);
            dst[x] = static_cast<uint8_t>((c.r * 299 + c.g * 587 + c.b * 114 + 500) / 1000);
        }
    }
    if (m_alpha) {
        out.m_alpha = m_alpha;
        m_alpha = nullptr;
    }
    Swap(out);
    return true;
}

bool PixelImage::Resample(int newWidth, int newHeight, int mode, std::string& err)
{
    if (!m_bits)
        return false;
    if (newWidth == m_width && newHeight == m_height)
        return true;
    if (!CheckImageSize(newWidth, newHeight, 24, err))
        return false;
    if (mode == 0) {
        PixelImage out;
        if (!out.Create(newWidth, newHeight, m_bpp, err))
            return false;
        out.palette = palette;
        out.format = format;
        const bool alpha = m_alpha && out.CreateAlpha();
        for (int y = 0; y < newHeight; ++y) {
            const int sy = static_cast<int>(static_cast<int64_t>(y) * m_height / newHeight);
            for (int x = 0; x < newWidth; ++x) {
                const int sx = static_cast<int>(static_cast<int64_t>(x) * m_width / newWidth);
                if (m_bpp == 24)
                    memcpy(out.TopRow(y) + x * 3, TopRow(sy) + sx * 3, 3);
                else
                    out.SetIndex(x, y, GetIndex(sx, sy));
                if (alpha)
                    out.m_alpha[static_cast<size_t>(newHeight - 1 - y) * newWidth + x] =
                        m_alpha[static_cast<size_t>(m_height - 1 - sy) * m_width + sx];
            }
        }
        Swap(out);
        return true;
    }
    const bool grey = IsGrey();
    if (!grey && m_bpp != 24 && !ConvertTo24(err))
        return false;
    const int channels = grey ? 1 : 3;
    PixelImage out;
    if (!out.Create(newWidth, newHeight, grey ? 8 : 24, err))
        return false;
    out.format = format;
    const bool alpha = m_alpha && out.CreateAlpha();
    const double fx = static_cast<double>(m_width) / newWidth;
    const double fy = static_cast<double>(m_height) / newHeight;
    for (int y = 0; y < newHeight; ++y) {
        double sy = (y + 0.5) * fy - 0.5;
        sy = std::max(0.0, std::min(sy, m_height - 1.0));
        const int y0 = static_cast<int>(sy);
        const int y1 = std::min(y0 + 1, m_height - 1);
        const double wy = sy - y0;
        const uint8_t* r0 = TopRow(y0);
        const uint8_t* r1 = TopRow(y1);
        uint8_t* dst = out.TopRow(y);
        for (int x = 0; x < newWidth; ++x) {
            double sx = (x + 0.5) * fx - 0.5;
            sx = std::max(0.0, std::min(sx, m_width - 1.0));
            const int x0 = static_cast<int>(sx);
            const int x1 = std::min(x0 + 1, m_width - 1);
            const double wx = sx - x0;
            for (int c = 0; c < channels; ++c) {
                const double top = r0[x0 * channels + c] * (1 - wx) + r0[x1 * channels + c] * wx;
                const double bot = r1[x0 * channels + c] * (1 - wx) + r1[x1 * channels + c] * wx;
                dst[x * channels + c] = static_cast<uint8_t>(top * (1 - wy) + bot * wy + 0.5);
            }
            if (alpha) {
                auto a = [&](int xx, int yy) {
                    return m_alpha[static_cast<size_t>(m_height - 1 - yy) * m_width + xx];
                };
                const double top = a(x0, y0) * (1 - wx) + a(x1, y0) * wx;
                const double bot = a(x0, y1) * (1 - wx) + a(x1, y1) * wx;
                out.m_alpha[static_cast<size_t>(newHeight - 1 - y) * newWidth + x] =
                    static_cast<uint8_t>(top * (1 - wy) + bot * wy + 0.5);
            }
        }
    }
    Swap(out);
    return true;
}

void PixelImage::ApplyTable(const uint8_t table[256])
{
    if (!m_bits)
        return;
    if (m_bpp == 24 || IsGrey()) {
        const size_t rowBytes = m_bpp == 24 ? static_cast<size_t>(m_width) * 3 : m_width;
        for (int y = 0; y < m_height; ++y) {
            uint8_t* p = Row(y);
            for (size_t i = 0; i < rowBytes; ++i)
                p[i] = table[p[i]];
        }
        return;
    }
    for (PaletteEntry& e : palette) {
        e.r = table[e.r];
        e.g = table[e.g];
        e.b = table[e.b];
    }
}

void PixelImage::LightTable(long brightness, long contrast, uint8_t table[256])
{
    const double c = (100.0 + contrast) / 100.0;
    for (int i = 0; i < 256; ++i) {
        const double v = (i - 128) * c + 128 + brightness;
        table[i] = static_cast<uint8_t>(std::max(0.0, std::min(255.0, floor(v + 0.5))));
    }
}

void PixelImage::GammaTable(float gamma, uint8_t table[256])
{
    if (gamma <= 0)
        gamma = 0.01f;
    const double inv = 1.0 / gamma;
    for (int i = 0; i < 256; ++i) {
        const double v = 255.0 * pow(i / 255.0, inv);
        table[i] = static_cast<uint8_t>(std::max(0.0, std::min(255.0, floor(v + 0.5))));
    }
}

bool PixelImage::Light(long brightness, long contrast)
{
    if (!m_bits)
        return false;
    uint8_t t[256];
    LightTable(brightness, contrast, t);
    ApplyTable(t);
    return true;
}

bool PixelImage::Gamma(float gamma)
{
    if (!m_bits)
        return false;
    uint8_t t[256];
    GammaTable(gamma, t);
    ApplyTable(t);
    return true;
}

namespace {

// HSL on a 0..1 scale; h in [0, 6).
void RgbToHsl(double r, double g, double b, double& h, double& s, double& l)
{
    const double mx = std::max(r, std::max(g, b)), mn = std::min(r, std::min(g, b));
    l = (mx + mn) / 2;
    const double d = mx - mn;
    if (d <= 0) {
        h = s = 0;
        return;
    }
    s = l <= 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (mx == r)
        h = (g - b) / d + (g < b ? 6 : 0);
    else if (mx == g)
        h = (b - r) / d + 2;
    else
        h = (r - g) / d + 4;
}

double HueToRgb(double p, double q, double t)
{
    if (t < 0)
        t += 6;
    if (t >= 6)
        t -= 6;
    if (t < 1)
        return p + (q - p) * t;
    if (t < 3)
        return q;
    if (t < 4)
        return p + (q - p) * (4 - t);
    return p;
}

void HslToRgb(double h, double s, double l, double& r, double& g, double& b)
{
    if (s <= 0) {
        r = g = b = l;
        return;
    }
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
    const double p = 2 * l - q;
    r = HueToRgb(p, q, h + 2);
    g = HueToRgb(p, q, h);
    b = HueToRgb(p, q, h - 2);
}

inline uint8_t ToByte(double v)
{
    return static_cast<uint8_t>(std::max(0.0, std::min(255.0, floor(v * 255.0 + 0.5))));
}

void SaturatePixel(uint8_t& b, uint8_t& g, uint8_t& r, double factor)
{
    double h, s, l;
    RgbToHsl(r / 255.0, g / 255.0, b / 255.0, h, s, l);
    s = std::max(0.0, std::min(1.0, s * factor));
    double rr, gg, bb;
    HslToRgb(h, s, l, rr, gg, bb);
    r = ToByte(rr);
    g = ToByte(gg);
    b = ToByte(bb);
}

}  // namespace

bool PixelImage::Saturate(long saturation)
{
    if (!m_bits)
        return false;
    if (saturation == 0 || IsGrey())
        return true;
    const double factor = std::max(0.0, (100.0 + saturation) / 100.0);
    if (m_bpp != 24) {
        for (PaletteEntry& e : palette)
            SaturatePixel(e.b, e.g, e.r, factor);
        return true;
    }
    // Many pixels share a colour; a small cache keyed by the colour saves the
    // conversions on photographs with large flat areas.
    for (int y = 0; y < m_height; ++y) {
        uint8_t* p = Row(y);
        uint32_t lastIn = 0xFFFFFFFF, lastOut = 0;
        for (int x = 0; x < m_width; ++x, p += 3) {
            const uint32_t key = p[0] | (p[1] << 8) | (p[2] << 16);
            if (key == lastIn) {
                p[0] = lastOut & 255;
                p[1] = (lastOut >> 8) & 255;
                p[2] = (lastOut >> 16) & 255;
                continue;
            }
            SaturatePixel(p[0], p[1], p[2], factor);
            lastIn = key;
            lastOut = p[0] | (p[1] << 8) | (p[2] << 16);
        }
    }
    return true;
}

}  // namespace orv_img
