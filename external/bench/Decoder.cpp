// Raw frame to picture: defect and black-level correction, flat field, demosaic,
// channel gains and colour temperature, denoise and sharpening, saturation,
// contrast, gamma, levels, flip; then the histograms behind the pixels.
#include "Pipeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace orvbench {

namespace {

const int kLutSize = 16384;

float Sample(const RawFrameHeader& hd, const uint8_t* p, size_t i)
{
    if (hd.depth == 8)
        return p[i] * (1.0f / 255);
    return uint16_t(p[2 * i] | (p[2 * i + 1] << 8)) * (1.0f / 65535);
}

int MosaicChannel(int x, int y)
{
    return (y & 1) ? ((x & 1) ? 2 : 1) : ((x & 1) ? 1 : 0);
}

// Mean of the same-colour neighbours (step 2 on a mosaic, 1 on a grey sensor).
float NeighbourMean(const std::vector<float>& v, int w, int h, int x, int y, int step,
                    const std::vector<uint8_t>* skip)
{
    float sum = 0;
    int n = 0;
    for (int dy = -step; dy <= step; dy += step) {
        for (int dx = -step; dx <= step; dx += step) {
            int xx = x + dx, yy = y + dy;
            if ((!dx && !dy) || xx < 0 || yy < 0 || xx >= w || yy >= h)
                continue;
            size_t at = size_t(yy) * w + xx;
            if (skip && (*skip)[at])
                continue;
            sum += v[at];
            ++n;
        }
    }
    return n ? sum / n : 0.0f;
}

// Bilinear demosaic of an RGGB mosaic into three planes.
void Demosaic(const std::vector<float>& m, int w, int h, std::vector<float> planes[3])
{
    for (int c = 0; c < 3; ++c)
        planes[c].assign(size_t(w) * h, 0.0f);
    auto at = [&](int x, int y) {
        x = x < 0 ? -x : (x >= w ? 2 * w - 2 - x : x);
        y = y < 0 ? -y : (y >= h ? 2 * h - 2 - y : y);
        return m[size_t(y) * w + x];
    };
    for (int y = 0; y < h; ++y) {
        const bool innerRow = y > 0 && y < h - 1;
        for (int x = 0; x < w; ++x) {
            size_t i = size_t(y) * w + x;
            int c = MosaicChannel(x, y);
            float self = m[i];
            float left, right, up, down, ul, ur, dl, dr;
            if (innerRow && x > 0 && x < w - 1) {   // the common case, without reflection
                left = m[i - 1]; right = m[i + 1]; up = m[i - w]; down = m[i + w];
                ul = m[i - w - 1]; ur = m[i - w + 1]; dl = m[i + w - 1]; dr = m[i + w + 1];
            } else {
                left = at(x - 1, y); right = at(x + 1, y); up = at(x, y - 1); down = at(x, y + 1);
                ul = at(x - 1, y - 1); ur = at(x + 1, y - 1); dl = at(x - 1, y + 1); dr = at(x + 1, y + 1);
            }
            float cross = (ul + ur + dl + dr) * 0.25f;
            float plus = (left + right + up + down) * 0.25f;
            float horiz = (left + right) * 0.5f;
            float vert = (up + down) * 0.5f;
            if (c == 0) {
                planes[0][i] = self; planes[1][i] = plus; planes[2][i] = cross;
            } else if (c == 2) {
                planes[2][i] = self; planes[1][i] = plus; planes[0][i] = cross;
            } else if (y & 1) {   // green on a blue row
                planes[1][i] = self; planes[2][i] = horiz; planes[0][i] = vert;
            } else {              // green on a red row
                planes[1][i] = self; planes[0][i] = horiz; planes[2][i] = vert;
            }
        }
    }
}

void Box3(const std::vector<float>& in, int w, int h, std::vector<float>& out)
{
    out.resize(in.size());
    for (int y = 0; y < h; ++y) {
        int y0 = std::max(y - 1, 0), y1 = std::min(y + 1, h - 1);
        for (int x = 0; x < w; ++x) {
            int x0 = std::max(x - 1, 0), x1 = std::min(x + 1, w - 1);
            float sum = 0;
            for (int yy = y0; yy <= y1; ++yy)
                for (int xx = x0; xx <= x1; ++xx)
                    sum += in[size_t(yy) * w + xx];
            out[size_t(y) * w + x] = sum / float((y1 - y0 + 1) * (x1 - x0 + 1));
        }
    }
}

void AutoLevels(const int32_t* counts, int total, int32_t& low, int32_t& high)
{
    const int cut = total / 1000;
    int sum = 0;
    low = 0;
    for (int i = 0; i < 256; ++i) {
        sum += counts[i];
        if (sum > cut) { low = i; break; }
    }
    sum = 0;
    high = 255;
    for (int i = 255; i >= 0; --i) {
        sum += counts[i];
        if (sum > cut) { high = i; break; }
    }
    if (high <= low)
        high = std::min(255, low + 1);
}

}  // namespace

uint32_t DecodedBytes(const RawFrameHeader& hd)
{
    int channels = hd.mosaic ? 3 : 1;
    return kImageHeaderSize + uint32_t(hd.width) * hd.height * channels * (hd.depth / 8)
         + kHistogramBytes;
}

bool DecodeRawFrame(const CameraSpec& camera, const CameraSettings& s,
                    const Corrections& corr, const uint8_t* raw, uint32_t rawBytes,
                    uint8_t* image, uint32_t imageBytes)
{
    if (!raw || !image || rawBytes < kRawHeaderSize)
        return false;
    RawFrameHeader hd;
    std::memcpy(&hd, raw, sizeof hd);
    if (hd.magic != kRawFrameMagic || (hd.depth != 8 && hd.depth != 16) || !hd.width
        || !hd.height || rawBytes < hd.headerSize + hd.dataBytes
        || hd.dataBytes < uint32_t(hd.width) * hd.height * (hd.depth / 8))
        return false;
    if (imageBytes < DecodedBytes(hd))
        return false;
    const int w = hd.width, h = hd.height;
    const size_t n = size_t(w) * h;
    const bool mosaic = hd.mosaic != 0;
    const uint8_t* px = raw + hd.headerSize;
    const bool sized = corr.width == w && corr.height == h;

    // Raw-domain corrections.
    std::vector<float> m(n);
    for (size_t i = 0; i < n; ++i)
        m[i] = Sample(hd, px, i);
    const int step = mosaic ? 2 : 1;
    if (s.defectCorrection && sized && !corr.defect.empty()) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (corr.defect[size_t(y) * w + x])
                    m[size_t(y) * w + x] = NeighbourMean(m, w, h, x, y, step, &corr.defect);
    }
    const float black = s.blackLevel / 255.0f;
    if (black > 0)
        for (float& v : m)
            v = std::max(0.0f, v - black);
    if (s.flatField && sized && !corr.flatGain.empty())
        for (size_t i = 0; i < n; ++i)
            m[i] *= corr.flatGain[i];

    std::vector<float> planes[3];
    if (mosaic)
        Demosaic(m, w, h, planes);
    else
        planes[0] = std::move(m);
    const int channels = mosaic ? 3 : 1;

    // Linear colour: channel gains, colour temperature, shift operator.
    const PictureProfile& pf = camera.profile;
    float factor[3];
    const float warm = std::clamp(s.colorTemperature, 0, 63) / 63.0f;
    const float temperature[3] = {1.0f + 0.5f * warm, 1.0f, 1.0f - 0.4f * warm};
    const float shift = float(1 << std::clamp(s.shiftOperator - 1, 0, 7));
    for (int c = 0; c < 3; ++c)
        factor[c] = shift * (mosaic ? float(s.channelGain[c]) / pf.channelGainNeutral * temperature[c] : 1.0f);
    for (int c = 0; c < channels; ++c)
        for (float& v : planes[c])
            v *= factor[c];

    // Denoise blends towards the local mean, sharpness away from it.
    if (s.denoise > 0 || s.sharpness > 0) {
        std::vector<float> blur;
        const float dn = std::clamp(s.denoise, 0, 10) / 10.0f;
        const float sh = std::clamp(s.sharpness, 0, 10) / 5.0f;
        for (int c = 0; c < channels; ++c) {
            Box3(planes[c], w, h, blur);
            for (size_t i = 0; i < n; ++i) {
                float v = planes[c][i] + (blur[i] - planes[c][i]) * dn;
                planes[c][i] = v + (v - blur[i]) * sh;
            }
        }
    }

    // Saturation, colour enhancement and monochrome mix the channels.
    if (channels == 3) {
        float sat = float(s.saturation) / pf.saturationNeutral * (s.colorEnhancement ? 1.3f : 1.0f);
        if (s.monochrome)
            sat = 0.0f;
        if (sat != 1.0f) {
            for (size_t i = 0; i < n; ++i) {
                float y = 0.299f * planes[0][i] + 0.587f * planes[1][i] + 0.114f * planes[2][i];
                for (int c = 0; c < 3; ++c)
                    planes[c][i] = y + sat * (planes[c][i] - y);
            }
        }
    }

    // Contrast and gamma as one table per channel over the clamped value.
    const float contrast = float(s.contrast) / pf.contrastNeutral;
    std::vector<float> lut[3];
    for (int c = 0; c < channels; ++c) {
        int ch = channels == 3 ? c : 1;
        float gamma = (s.gammaEx[ch] / 100.0f) * (float(s.gamma) / pf.gammaNeutral);
        gamma = std::max(gamma, 0.05f);
        lut[c].resize(kLutSize + 1);
        for (int i = 0; i <= kLutSize; ++i) {
            float v = float(i) / kLutSize;
            v = std::clamp((v - 0.5f) * contrast + 0.5f, 0.0f, 1.0f);
            lut[c][i] = std::pow(v, 1.0f / gamma);
        }
        for (float& v : planes[c])
            v = lut[c][int(std::clamp(v, 0.0f, 1.0f) * kLutSize + 0.5f)];
    }

    // Levels: automatic points come from the picture before the stretch.
    ImageRecord rec;
    std::memset(&rec, 0, sizeof rec);
    rec.data = image + kImageHeaderSize;
    rec.width = uint16_t(w);
    rec.height = uint16_t(h);
    rec.bits = uint8_t(hd.depth);
    rec.channels = uint8_t(channels);
    rec.resolution = hd.resolution;
    rec.headerSize = kImageHeaderSize;
    rec.frameNumber = hd.frameNumber;
    std::memcpy(image, &rec, sizeof rec);
    HistogramBlock* blocks = reinterpret_cast<HistogramBlock*>(rec.data + ImagePixelBytes(rec));
    std::memset(blocks, 0, kHistogramBytes);
    int32_t autoLow[4], autoHigh[4];
    {
        HistogramBlock pre[4];
        std::memset(pre, 0, sizeof pre);
        for (size_t i = 0; i < n; ++i) {
            if (channels == 3) {
                float y = 0.299f * planes[0][i] + 0.587f * planes[1][i] + 0.114f * planes[2][i];
                pre[0].counts[int(y * 255 + 0.5f)]++;
                for (int c = 0; c < 3; ++c)
                    pre[c + 1].counts[int(planes[c][i] * 255 + 0.5f)]++;
            } else {
                pre[0].counts[int(planes[0][i] * 255 + 0.5f)]++;
            }
        }
        for (int b = 0; b < 4; ++b) {
            const HistogramBlock& src = channels == 3 ? pre[b] : pre[0];
            AutoLevels(src.counts, int(n), autoLow[b], autoHigh[b]);
        }
    }
    for (int c = 0; c < channels; ++c) {
        int ch = channels == 3 ? c : 1;
        float low = s.stretchAuto[ch] ? autoLow[ch + 1] : s.stretchLow[ch];
        float high = s.stretchAuto[ch] ? autoHigh[ch + 1] : s.stretchHigh[ch];
        if (low == 0 && high == 255)
            continue;
        float span = std::max(1.0f, high - low);
        for (float& v : planes[c])
            v = std::clamp((v * 255.0f - low) / span, 0.0f, 1.0f);
    }

    // Output: bottom-up rows, blue-green-red, mirrored as the flip mask says.
    const bool mirrorX = s.flip & 1, mirrorY = s.flip & 2;
    const float scale = hd.depth == 16 ? 65535.0f : 255.0f;
    for (int y = 0; y < h; ++y) {
        int srcY = mirrorY ? h - 1 - y : y;
        int outRow = h - 1 - y;
        for (int x = 0; x < w; ++x) {
            int srcX = mirrorX ? w - 1 - x : x;
            size_t si = size_t(srcY) * w + srcX;
            size_t oi = (size_t(outRow) * w + x) * channels;
            uint32_t high8[3];
            for (int c = 0; c < channels; ++c) {
                int ch = channels == 3 ? 2 - c : 0;   // blue first
                uint32_t v = uint32_t(std::clamp(planes[ch][si], 0.0f, 1.0f) * scale + 0.5f);
                if (hd.depth == 16) {
                    rec.data[2 * (oi + c)] = uint8_t(v);
                    rec.data[2 * (oi + c) + 1] = uint8_t(v >> 8);
                    high8[ch] = v >> 8;
                } else {
                    rec.data[oi + c] = uint8_t(v);
                    high8[ch] = v;
                }
            }
            if (channels == 3) {
                int luma = int(0.299f * high8[0] + 0.587f * high8[1] + 0.114f * high8[2] + 0.5f);
                blocks[0].counts[std::min(luma, 255)]++;
                for (int c = 0; c < 3; ++c)
                    blocks[c + 1].counts[high8[c]]++;
            } else {
                for (int b = 0; b < 4; ++b)
                    blocks[b].counts[high8[0]]++;
            }
        }
    }
    for (int b = 0; b < 4; ++b) {
        blocks[b].low = autoLow[b];
        blocks[b].high = autoHigh[b];
    }
    return true;
}

void ComputeFlatField(const uint8_t* raw, Corrections& corr)
{
    RawFrameHeader hd;
    std::memcpy(&hd, raw, sizeof hd);
    const int w = hd.width, h = hd.height;
    const uint8_t* px = raw + hd.headerSize;
    // Block means per mosaic colour, smoothed: the illumination, not the cells.
    const int block = 32;
    const int bw = (w + block - 1) / block, bh = (h + block - 1) / block;
    std::vector<double> sum(size_t(bw) * bh * 3, 0.0);
    std::vector<int> count(sum.size(), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int c = hd.mosaic ? MosaicChannel(x, y) : 0;
            size_t b = (size_t(y / block) * bw + x / block) * 3 + c;
            sum[b] += Sample(hd, px, size_t(y) * w + x);
            count[b]++;
        }
    std::vector<float> level(sum.size());
    float peak[3] = {0, 0, 0};
    for (size_t b = 0; b < sum.size(); ++b) {
        level[b] = count[b] ? float(sum[b] / count[b]) : 0.0f;
        peak[b % 3] = std::max(peak[b % 3], level[b]);
    }
    corr.width = w;
    corr.height = h;
    corr.flatGain.assign(size_t(w) * h, 1.0f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int c = hd.mosaic ? MosaicChannel(x, y) : 0;
            // Bilinear between block centres keeps the map free of block edges.
            float fx = std::clamp((x + 0.5f) / block - 0.5f, 0.0f, float(bw - 1));
            float fy = std::clamp((y + 0.5f) / block - 0.5f, 0.0f, float(bh - 1));
            int x0 = int(fx), y0 = int(fy);
            int x1 = std::min(x0 + 1, bw - 1), y1 = std::min(y0 + 1, bh - 1);
            float ax = fx - x0, ay = fy - y0;
            auto L = [&](int bx, int by) { return level[(size_t(by) * bw + bx) * 3 + c]; };
            float v = (L(x0, y0) * (1 - ax) + L(x1, y0) * ax) * (1 - ay)
                    + (L(x0, y1) * (1 - ax) + L(x1, y1) * ax) * ay;
            corr.flatGain[size_t(y) * w + x] = v > 1e-4f ? std::min(peak[c] / v, 4.0f) : 1.0f;
        }
}

void ComputeDefectMap(const uint8_t* raw, Corrections& corr)
{
    RawFrameHeader hd;
    std::memcpy(&hd, raw, sizeof hd);
    const int w = hd.width, h = hd.height;
    const uint8_t* px = raw + hd.headerSize;
    std::vector<float> v(size_t(w) * h);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = Sample(hd, px, i);
    if (corr.width != w || corr.height != h) {
        corr.flatGain.clear();
        corr.width = w;
        corr.height = h;
    }
    corr.defect.assign(v.size(), 0);
    const int step = hd.mosaic ? 2 : 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float mean = NeighbourMean(v, w, h, x, y, step, nullptr);
            if (v[size_t(y) * w + x] > mean * 1.8f + 0.08f)
                corr.defect[size_t(y) * w + x] = 1;
        }
}

void ComputeWhiteBalance(const ImageRecord& img, const int* rect, const PictureProfile& pf,
                         int gains[3])
{
    int l = 0, t = 0, rw = img.width, rh = img.height;
    if (rect) {
        l = std::clamp(rect[0], 0, int(img.width) - 1);
        t = std::clamp(rect[1], 0, int(img.height) - 1);
        rw = std::clamp(rect[2], 1, int(img.width) - l);
        rh = std::clamp(rect[3], 1, int(img.height) - t);
    }
    double sum[3] = {0, 0, 0};
    const int bytes = img.bits / 8;
    for (int y = t; y < t + rh; ++y) {
        int row = img.height - 1 - y;
        for (int x = l; x < l + rw; ++x)
            for (int c = 0; c < 3; ++c) {
                size_t i = ((size_t(row) * img.width + x) * img.channels + (img.channels == 3 ? 2 - c : 0)) * bytes;
                sum[c] += bytes == 2 ? img.data[i + 1] : img.data[i];
            }
    }
    for (int c = 0; c < 3; ++c) {
        double g = gains[c] * (sum[c] > 0 ? sum[1] / sum[c] : 1.0);
        gains[c] = std::clamp(int(std::lround(g)), pf.channelGainMin, pf.channelGainMax);
    }
}

int ImageIntensity(const ImageRecord& img, int left, int top, int width, int height)
{
    if (width <= 0 || height <= 0 || left < 0 || top < 0 || left + width > img.width
        || top + height > img.height)
        return -1;
    const int bytes = img.bits / 8;
    double sum = 0;
    for (int y = top; y < top + height; ++y) {
        int row = img.height - 1 - y;
        for (int x = left; x < left + width; ++x) {
            const uint8_t* p = img.data + (size_t(row) * img.width + x) * img.channels * bytes;
            if (img.channels == 3)
                sum += 0.114 * p[bytes - 1] + 0.587 * p[2 * bytes - 1] + 0.299 * p[3 * bytes - 1];
            else
                sum += p[bytes - 1];
        }
    }
    return int(sum / (double(width) * height) + 0.5);
}

bool ResizeImageRecord(const ImageRecord& src, uint8_t* dst, int width, int height)
{
    if (!dst || width <= 0 || height <= 0 || width > 65535 || height > 65535)
        return false;
    ImageRecord rec = src;
    rec.data = dst + kImageHeaderSize;
    rec.width = uint16_t(width);
    rec.height = uint16_t(height);
    rec.headerSize = kImageHeaderSize;
    std::memcpy(dst, &rec, sizeof rec);
    const size_t pixel = size_t(src.channels) * (src.bits / 8);
    for (int y = 0; y < height; ++y) {
        int sy = int(int64_t(y) * src.height / height);
        for (int x = 0; x < width; ++x) {
            int sx = int(int64_t(x) * src.width / width);
            std::memcpy(rec.data + (size_t(y) * width + x) * pixel,
                        src.data + (size_t(sy) * src.width + sx) * pixel, pixel);
        }
    }
    return true;
}

}  // namespace orvbench
