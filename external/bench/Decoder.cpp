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

    // Raw-domain corrections. The plain colour path reads the samples three rows at a
    // time; the defect map, smoothing and grey sensors want the whole frame.
    const int step = mosaic ? 2 : 1;
    const bool defects = s.defectCorrection && sized && !corr.defect.empty();
    const bool smooth = s.denoise > 0 || s.sharpness > 0;
    const bool wholeFrame = defects || smooth || !mosaic;
    const float black = s.blackLevel / 255.0f;
    const bool flat = s.flatField && sized && !corr.flatGain.empty();
    float level8[256];
    for (int i = 0; i < 256; ++i)
        level8[i] = i * (1.0f / 255);
    auto convert = [&](size_t first, size_t count, float* out, bool corrections) {
        if (hd.depth == 8) {
            for (size_t i = 0; i < count; ++i)
                out[i] = level8[px[first + i]];
        } else {
            for (size_t i = 0; i < count; ++i)
                out[i] = Sample(hd, px, first + i);
        }
        if (!corrections || !(black > 0 || flat))
            return;
        for (size_t i = 0; i < count; ++i) {
            float v = out[i];
            if (black > 0)
                v = std::max(0.0f, v - black);
            if (flat)
                v *= corr.flatGain[first + i];
            out[i] = v;
        }
    };
    std::vector<float> m;
    if (wholeFrame) {
        m.resize(n);
        convert(0, n, m.data(), !defects);
        if (defects) {
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (corr.defect[size_t(y) * w + x])
                        m[size_t(y) * w + x] = NeighbourMean(m, w, h, x, y, step, &corr.defect);
            for (size_t i = 0; i < n && (black > 0 || flat); ++i) {
                float v = m[i];
                if (black > 0)
                    v = std::max(0.0f, v - black);
                if (flat)
                    v *= corr.flatGain[i];
                m[i] = v;
            }
        }
    }
    const int channels = mosaic ? 3 : 1;

    // Linear colour: channel gains, colour temperature, shift operator.
    const PictureProfile& pf = camera.profile;
    float factor[3];
    const float warm = std::clamp(s.colorTemperature, 0, 63) / 63.0f;
    const float temperature[3] = {1.0f + 0.5f * warm, 1.0f, 1.0f - 0.4f * warm};
    const float shift = float(1 << std::clamp(s.shiftOperator - 1, 0, 7));
    for (int c = 0; c < 3; ++c)
        factor[c] = shift * (mosaic ? float(s.channelGain[c]) / pf.channelGainNeutral * temperature[c] : 1.0f);

    // Saturation, colour enhancement and monochrome mix the channels.
    float sat = 1.0f;
    if (channels == 3) {
        sat = float(s.saturation) / pf.saturationNeutral * (s.colorEnhancement ? 1.3f : 1.0f);
        if (s.monochrome)
            sat = 0.0f;
    }
    const bool mix = sat != 1.0f;

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
    }

    // The image record and its histogram blocks.
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

    // Every pixel ends as a table index per channel: the histogram before the stretch,
    // the stretch and the output scaling are functions of that index alone. Without
    // automatic levels the output is known at once; otherwise the indices wait for
    // the histogram.
    const size_t entries = kLutSize + 1;
    std::vector<uint8_t> preBin(entries * channels);
    std::vector<float> preWeight(entries * channels);
    const float lumaWeight[3] = {0.299f, 0.587f, 0.114f};
    for (int c = 0; c < channels; ++c)
        for (size_t i = 0; i < entries; ++i) {
            preBin[c * entries + i] = uint8_t(int(lut[c][i] * 255 + 0.5f));
            preWeight[c * entries + i] = lumaWeight[c] * lut[c][i];
        }
    bool direct = true;
    for (int c = 0; c < channels; ++c)
        if (s.stretchAuto[channels == 3 ? c : 1])
            direct = false;
    int32_t autoLow[4] = {0, 0, 0, 0}, autoHigh[4] = {255, 255, 255, 255};
    const float scale = hd.depth == 16 ? 65535.0f : 255.0f;
    std::vector<uint32_t> level[3];
    auto makeLevels = [&]() {
        for (int c = 0; c < channels; ++c) {
            int ch = channels == 3 ? c : 1;
            float low = s.stretchAuto[ch] ? autoLow[ch + 1] : s.stretchLow[ch];
            float high = s.stretchAuto[ch] ? autoHigh[ch + 1] : s.stretchHigh[ch];
            const bool stretch = !(low == 0 && high == 255);
            float span = std::max(1.0f, high - low);
            level[c].resize(entries);
            for (size_t i = 0; i < entries; ++i) {
                float v = lut[c][i];
                if (stretch)
                    v = std::clamp((v * 255.0f - low) / span, 0.0f, 1.0f);
                level[c][i] = uint32_t(std::clamp(v, 0.0f, 1.0f) * scale + 0.5f);
            }
        }
    };
    if (direct)
        makeLevels();
    float weight[3][256];
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c)
            weight[c][i] = lumaWeight[c] * float(uint32_t(i));

    // Output: bottom-up rows, blue-green-red, mirrored as the flip mask says.
    const bool mirrorX = s.flip & 1, mirrorY = s.flip & 2;
    const bool wide = hd.depth == 16;
    const size_t pixelBytes = size_t(channels) * (wide ? 2 : 1);
    // The channel histograms before and after the stretch follow from one count per
    // table index; only the luminance is counted per pixel, into four interleaved
    // copies so that runs of equal values do not wait on one counter.
    // Bands of rows decode at once, each with its own counts.
    struct Tally
    {
        std::vector<int32_t> indexCount;
        std::vector<int32_t> counts;   // [before/after][copy][value]
        int32_t* At(int stage, int x) { return counts.data() + (size_t(stage) * 4 + (x & 3)) * 256; }
    };
    // Small frames are not worth a thread.
    const int bandCount = mosaic && !smooth && h >= 64 ? std::clamp(int(n / 200000), 1, 8) : 1;
    std::vector<Tally> tallies(bandCount);
    for (Tally& t : tallies) {
        t.indexCount.assign(entries * channels, 0);
        t.counts.assign(2 * 4 * 256, 0);
    }
    auto emit = [&](int x, int y, const uint16_t* p, Tally& t) {
        const int outX = mirrorX ? w - 1 - x : x;
        const int outRow = mirrorY ? y : h - 1 - y;
        uint8_t* out = rec.data + (size_t(outRow) * w + outX) * pixelBytes;
        if (channels == 3) {
            uint32_t v[3] = {level[0][p[0]], level[1][p[1]], level[2][p[2]]};
            uint32_t high8[3];
            for (int c = 0; c < 3; ++c) {
                uint32_t o = v[2 - c];   // blue first
                if (wide) {
                    out[2 * c] = uint8_t(o);
                    out[2 * c + 1] = uint8_t(o >> 8);
                    high8[2 - c] = o >> 8;
                } else {
                    out[c] = uint8_t(o);
                    high8[2 - c] = o;
                }
            }
            int luma = int(weight[0][high8[0]] + weight[1][high8[1]] + weight[2][high8[2]] + 0.5f);
            t.At(1, x)[std::min(luma, 255)]++;
        } else {
            uint32_t o = level[0][p[0]];
            out[0] = uint8_t(o);
            if (wide)
                out[1] = uint8_t(o >> 8);
        }
    };

    std::vector<uint16_t> index(direct ? 0 : n * channels);
    HistogramBlock pre[4];
    std::memset(pre, 0, sizeof pre);
    const float* wt0 = preWeight.data();
    const float* wt1 = channels == 3 ? wt0 + entries : wt0;
    const float* wt2 = channels == 3 ? wt0 + 2 * entries : wt0;
    auto toIndex = [](float v) { return uint16_t(int(std::clamp(v, 0.0f, 1.0f) * kLutSize + 0.5f)); };
    auto finishColour = [&](int x, int y, float r, float g, float b, Tally& t) {
        if (mix) {
            float l = 0.299f * r + 0.587f * g + 0.114f * b;
            r = l + sat * (r - l);
            g = l + sat * (g - l);
            b = l + sat * (b - l);
        }
        uint16_t local[3];
        uint16_t* out = direct ? local : &index[3 * (size_t(y) * w + x)];
        out[0] = toIndex(r);
        out[1] = toIndex(g);
        out[2] = toIndex(b);
        float l = wt0[out[0]] + wt1[out[1]] + wt2[out[2]];
        t.At(0, x)[int(l * 255 + 0.5f)]++;
        int32_t* indexCount = t.indexCount.data();
        indexCount[out[0]]++;
        indexCount[entries + out[1]]++;
        indexCount[2 * entries + out[2]]++;
        if (direct)
            emit(x, y, out, t);
    };
    auto finishGrey = [&](int x, int y, float v, Tally& t) {
        uint16_t local;
        uint16_t* out = direct ? &local : &index[size_t(y) * w + x];
        *out = toIndex(v);
        t.indexCount[*out]++;
        if (direct)
            emit(x, y, out, t);
    };

    // Denoise blends towards the local mean, sharpness away from it.
    if (smooth) {
        std::vector<float> planes[3];
        if (mosaic) {
            Demosaic(m, w, h, planes);
            m = std::vector<float>();
        } else {
            planes[0] = std::move(m);
        }
        for (int c = 0; c < channels; ++c)
            for (float& v : planes[c])
                v *= factor[c];
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
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                size_t i = size_t(y) * w + x;
                if (channels == 3)
                    finishColour(x, y, planes[0][i], planes[1][i], planes[2][i], tallies[0]);
                else
                    finishGrey(x, y, planes[0][i], tallies[0]);
            }
    } else if (!mosaic) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                finishGrey(x, y, m[size_t(y) * w + x] * factor[0], tallies[0]);
    } else {
        // Bilinear demosaic of the RGGB mosaic, row by row, with the frame's edges
        // reflected; rows come from the whole frame or a window of three per band.
        // The bands touch no shared state but the image's disjoint rows.
        auto decodeBand = [&](int band) {
            Tally& t = tallies[band];
            std::vector<float> window(wholeFrame ? 0 : size_t(3) * w);
            int windowRow[3] = {-1, -1, -1};
            auto rowAt = [&](int y) -> const float* {
                y = y < 0 ? -y : (y >= h ? 2 * h - 2 - y : y);
                if (wholeFrame)
                    return m.data() + size_t(y) * w;
                float* slot = window.data() + size_t(y % 3) * w;
                if (windowRow[y % 3] != y) {
                    convert(size_t(y) * w, size_t(w), slot, true);
                    windowRow[y % 3] = y;
                }
                return slot;
            };
            for (int y = h * band / bandCount; y < h * (band + 1) / bandCount; ++y) {
                const float* above = rowAt(y - 1);
                const float* below = rowAt(y + 1);
                const float* row = rowAt(y);
                for (int x = 0; x < w; ++x) {
                    const int xl = x > 0 ? x - 1 : 1;
                    const int xr = x < w - 1 ? x + 1 : 2 * w - 2 - (x + 1);
                    const float self = row[x];
                    const float left = row[xl], right = row[xr], up = above[x], down = below[x];
                    const float ul = above[xl], ur = above[xr], dl = below[xl], dr = below[xr];
                    float cross = (ul + ur + dl + dr) * 0.25f;
                    float plus = (left + right + up + down) * 0.25f;
                    float horiz = (left + right) * 0.5f;
                    float vert = (up + down) * 0.5f;
                    float rgb[3];
                    const int c = MosaicChannel(x, y);
                    if (c == 0) {
                        rgb[0] = self; rgb[1] = plus; rgb[2] = cross;
                    } else if (c == 2) {
                        rgb[2] = self; rgb[1] = plus; rgb[0] = cross;
                    } else if (y & 1) {   // green on a blue row
                        rgb[1] = self; rgb[2] = horiz; rgb[0] = vert;
                    } else {              // green on a red row
                        rgb[1] = self; rgb[0] = horiz; rgb[2] = vert;
                    }
                    finishColour(x, y, rgb[0] * factor[0], rgb[1] * factor[1], rgb[2] * factor[2], t);
                }
            }
        };
        ForEachBand(bandCount, decodeBand);
    }

    // Levels: automatic points come from the picture before the stretch.
    for (int c = 0; c < channels; ++c)
        for (size_t i = 0; i < entries; ++i)
            for (const Tally& t : tallies)
                pre[channels == 3 ? c + 1 : 0].counts[preBin[c * entries + i]] += t.indexCount[c * entries + i];
    if (channels == 3)
        for (int copy = 0; copy < 4; ++copy)
            for (int v = 0; v < 256; ++v)
                for (Tally& t : tallies)
                    pre[0].counts[v] += t.At(0, copy)[v];
    for (int b = 0; b < 4; ++b) {
        const HistogramBlock& src = channels == 3 ? pre[b] : pre[0];
        AutoLevels(src.counts, int(n), autoLow[b], autoHigh[b]);
    }
    if (!direct) {
        makeLevels();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                emit(x, y, &index[(size_t(y) * w + x) * channels], tallies[0]);
    }
    for (int c = 0; c < channels; ++c)
        for (size_t i = 0; i < entries; ++i)
            for (const Tally& t : tallies)
                blocks[channels == 3 ? c + 1 : 0].counts[wide ? level[c][i] >> 8 : level[c][i]] += t.indexCount[c * entries + i];
    if (channels == 3)
        for (int copy = 0; copy < 4; ++copy)
            for (int v = 0; v < 256; ++v)
                for (Tally& t : tallies)
                    blocks[0].counts[v] += t.At(1, copy)[v];
    if (channels == 1)
        for (int b = 1; b < 4; ++b)
            std::memcpy(blocks[b].counts, blocks[0].counts, sizeof blocks[0].counts);
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
