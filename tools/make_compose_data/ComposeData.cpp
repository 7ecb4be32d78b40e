#include "ComposeData.h"

// Bench.h ties this module to the bench's module, whose threads the rendering uses.
#include "external/bench/Bench.h"

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

namespace composedata {

namespace {

using namespace orvbench;

const float kStandardExposureMs = 33.0f;

// One decoded frame of a colour camera of the given size, as the bench renders it.
Picture Render(int width, int height, const ExposureConditions& conditions,
               float exposureMs = kStandardExposureMs)
{
    CameraSpec spec;
    spec.library = kLibraryZedOdir;
    spec.name = "Compose.1";
    spec.colour = true;
    CompleteSpec(&spec);
    spec.resolutions = {{"", width, height}};
    CameraSettings settings = InitialSettings(spec);
    settings.exposureMs = exposureMs;
    std::vector<uint8_t> raw(RawFrameBytes(width, height, 8));
    RenderRawFrame(spec, settings, conditions, raw.data());
    RawFrameHeader header;
    std::memcpy(&header, raw.data(), sizeof header);
    std::vector<uint8_t> decoded(DecodedBytes(header));
    Picture p;
    if (!DecodeRawFrame(spec, settings, Corrections(), raw.data(), uint32_t(raw.size()),
                        decoded.data(), uint32_t(decoded.size())))
        return p;
    ImageRecord record;
    std::memcpy(&record, decoded.data(), sizeof record);
    p.width = width;
    p.height = height;
    p.bgr.resize(size_t(width) * height * 3);
    const uint8_t* pixels = decoded.data() + record.headerSize;
    const size_t row = size_t(width) * 3;
    for (int y = 0; y < height; ++y)   // the record's rows run bottom-up
        std::memcpy(p.bgr.data() + size_t(y) * row, pixels + size_t(height - 1 - y) * row, row);
    return p;
}

struct Lcg
{
    uint32_t state;
    uint32_t Next() { return state = state * 1664525u + 1013904223u; }
    int Within(int e) { return e > 0 ? int(Next() >> 8) % (2 * e + 1) - e : 0; }
    double Unit() { return (Next() >> 8) * (1.0 / 16777216.0); }
};

cv::Mat View(Picture& p)
{
    return cv::Mat(p.height, p.width, CV_8UC3, p.bgr.data());
}

uint32_t Hash(uint32_t x)
{
    x ^= x >> 16; x *= 0x7feb352dU; x ^= x >> 15; x *= 0x846ca68bU; x ^= x >> 16;
    return x;
}

// Where the slide is smooth: 1 inside a smooth region, 0 outside, a soft rim between;
// a field of value noise over slide pixels, so every tile sees the same regions.
float SmoothWeight(float x, float y, float share, uint32_t seed)
{
    const float kCell = 400.0f;
    const float gx = x / kCell, gy = y / kCell;
    const int ix = int(std::floor(gx)), iy = int(std::floor(gy));
    auto node = [&](int a, int b) {
        return (Hash(uint32_t(a) * 73856093u ^ uint32_t(b) * 19349663u ^ seed * 83492791u) >> 8)
               * (1.0f / 16777216.0f);
    };
    auto ease = [](float t) { return t * t * (3 - 2 * t); };
    const float fx = ease(gx - ix), fy = ease(gy - iy);
    const float top = node(ix, iy) + (node(ix + 1, iy) - node(ix, iy)) * fx;
    const float bottom = node(ix, iy + 1) + (node(ix + 1, iy + 1) - node(ix, iy + 1)) * fx;
    const float v = top + (bottom - top) * fy;
    // Eased value noise gathers round the middle: this threshold leaves about `share`.
    const float threshold = 0.5f + 0.42f * (0.5f - share);
    return std::clamp((v - threshold) / 0.06f + 0.5f, 0.0f, 1.0f);
}

// Blurs the smooth regions of a field whose corner lies at (x0, y0) on the slide.
void SmoothRegions(Picture* p, float x0, float y0, float share, uint32_t seed)
{
    if (share <= 0)
        return;
    cv::Mat blurred;
    cv::GaussianBlur(View(*p), blurred, cv::Size(0, 0), 8.0);
    for (int y = 0; y < p->height; ++y) {
        uint8_t* row = p->bgr.data() + size_t(y) * p->width * 3;
        const uint8_t* soft = blurred.ptr<uint8_t>(y);
        for (int x = 0; x < p->width; ++x) {
            const float m = SmoothWeight(x0 + x, y0 + y, share, seed);
            for (int c = 0; c < 3; ++c)
                row[3 * x + c] = uint8_t(std::lround(row[3 * x + c] + m * (soft[3 * x + c] - row[3 * x + c])));
        }
    }
}

void ApplyGain(Picture* p, double gain)
{
    for (uint8_t& v : p->bgr)
        v = uint8_t(std::clamp(std::lround(v * gain), 0L, 255L));
}

}  // namespace

FocusStack MakeFocusStack(int width, int height, int planes, float spread, uint32_t seed, bool noise)
{
    FocusStack stack;
    for (int i = 0; i < planes; ++i) {
        ExposureConditions c;
        c.seed = seed;
        c.frameNumber = uint32_t(i + 1);
        c.noiseFree = !noise;
        c.focus = planes > 1 ? -spread + 2 * spread * i / (planes - 1) : 0.0f;
        stack.focus.push_back(c.focus);
        stack.planes.push_back(Render(width, height, c));
    }
    ExposureConditions t;
    t.seed = seed;
    t.noiseFree = true;
    t.allInFocus = true;
    stack.truth = Render(width, height, t);
    return stack;
}

void AddCameraNoise(Picture* picture, float sigma, uint32_t seed)
{
    if (sigma <= 0)
        return;
    const double read = sigma / 3.0;
    const double shot = (double(sigma) * sigma - read * read) / 128.0;
    std::mt19937 random(seed);
    std::normal_distribution<float> normal(0.0f, 1.0f);
    float deviation[256];
    for (int v = 0; v < 256; ++v)
        deviation[v] = float(std::sqrt(read * read + shot * v));
    for (uint8_t& v : picture->bgr)
        v = uint8_t(std::clamp(std::lround(v + deviation[v] * normal(random)), 0L, 255L));
}

FocusStack MakeDepthStack(int width, int height, int planes, float noise, uint32_t seed)
{
    FocusStack stack;
    ExposureConditions t;
    t.seed = seed;
    t.noiseFree = true;
    t.allInFocus = true;
    stack.truth = Render(width, height, t);
    // Blur per unit of focus distance, as the bench blurs a layer one unit away.
    const float kSigmaPerUnit = 0.004f * float(std::min(width, height));
    const float kSigmas[] = {0.0f, 0.5f, 1.0f, 1.5f, 2.0f, 3.0f, 4.0f, 6.0f, 8.0f, 12.0f, 16.0f};
    const int levels = int(sizeof kSigmas / sizeof kSigmas[0]);
    std::vector<cv::Mat> bank(levels);
    cv::Mat truth = View(stack.truth);
    for (int k = 0; k < levels; ++k) {
        if (kSigmas[k] == 0)
            bank[k] = truth;
        else
            cv::GaussianBlur(truth, bank[k], cv::Size(0, 0), kSigmas[k]);
    }
    // A smooth tilted and curved surface from -1 to +1 units of focus.
    Lcg random{seed * 2246822519u + 3u};
    const double phaseX = random.Unit() * 6.28, phaseY = random.Unit() * 6.28;
    std::vector<float> depth(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            depth[size_t(y) * width + x] = float(0.6 * (u - 0.5) * 2 * 0.7 + 0.3 * (v - 0.5) * 2
                                                 + 0.35 * std::sin(5.0 * u + phaseX) * std::cos(4.0 * v + phaseY));
        }
    for (int i = 0; i < planes; ++i) {
        const float focus = planes > 1 ? -1.0f + 2.0f * i / (planes - 1) : 0.0f;
        stack.focus.push_back(focus);
        Picture p;
        p.width = width;
        p.height = height;
        p.bgr.resize(size_t(width) * height * 3);
        for (int y = 0; y < height; ++y) {
            uint8_t* out = p.bgr.data() + size_t(y) * width * 3;
            for (int x = 0; x < width; ++x) {
                const float sigma = kSigmaPerUnit * std::fabs(depth[size_t(y) * width + x] - focus);
                int k = 0;
                while (k + 2 < levels && kSigmas[k + 1] < sigma)
                    ++k;
                const float f = std::clamp((sigma - kSigmas[k]) / (kSigmas[k + 1] - kSigmas[k]), 0.0f, 1.0f);
                const uint8_t* a = bank[k].ptr<uint8_t>(y) + 3 * x;
                const uint8_t* b = bank[k + 1].ptr<uint8_t>(y) + 3 * x;
                for (int c = 0; c < 3; ++c)
                    out[3 * x + c] = uint8_t(std::lround(a[c] + f * (b[c] - a[c])));
            }
        }
        AddCameraNoise(&p, noise, seed * 7919u + uint32_t(i));
        stack.planes.push_back(std::move(p));
    }
    return stack;
}

TileGrid MakeTileGrid(const GridSpec& spec)
{
    TileGrid grid;
    Lcg random{spec.seed * 2654435761u + 17u};
    const int stepX = int(std::lround(spec.tileWidth * (1.0 - spec.overlap)));
    const int stepY = int(std::lround(spec.tileHeight * (1.0 - spec.overlap)));
    std::vector<int> sx, sy;
    for (int r = 0; r < spec.rows; ++r)
        for (int c = 0; c < spec.cols; ++c) {
            sx.push_back(spec.stageError + c * stepX + random.Within(spec.stageError));
            sy.push_back(spec.stageError + r * stepY + random.Within(spec.stageError));
        }
    const int minX = *std::min_element(sx.begin(), sx.end());
    const int minY = *std::min_element(sy.begin(), sy.end());
    int width = 0, height = 0;
    for (size_t i = 0; i < sx.size(); ++i) {
        ExposureConditions c;
        c.seed = spec.seed;
        c.frameNumber = uint32_t(i + 1);
        c.noiseFree = !spec.noise || spec.cameraNoise > 0;
        c.onSlide = true;
        c.stageX = float(sx[i]);
        c.stageY = float(sy[i]);
        c.emptyShare = spec.emptyShare;
        Picture tile = Render(spec.tileWidth, spec.tileHeight, c);
        SmoothRegions(&tile, c.stageX, c.stageY, spec.smoothShare, spec.seed);
        if (spec.gainSpread > 0)
            ApplyGain(&tile, 1.0 + spec.gainSpread * (2 * random.Unit() - 1));
        if (spec.noise)
            AddCameraNoise(&tile, spec.cameraNoise, spec.seed * 104729u + uint32_t(i));
        grid.tiles.push_back(std::move(tile));
        grid.x.push_back(sx[i] - minX);
        grid.y.push_back(sy[i] - minY);
        width = std::max(width, grid.x.back() + spec.tileWidth);
        height = std::max(height, grid.y.back() + spec.tileHeight);
    }
    ExposureConditions m;
    m.seed = spec.seed;
    m.noiseFree = true;
    m.onSlide = true;
    m.stageX = float(minX);
    m.stageY = float(minY);
    m.emptyShare = spec.emptyShare;
    m.evenLamp = true;
    grid.mosaic = Render(width, height, m);
    SmoothRegions(&grid.mosaic, m.stageX, m.stageY, spec.smoothShare, spec.seed);
    return grid;
}

Bracket MakeExposureBracket(int width, int height, int count, float stops, uint32_t seed)
{
    Bracket b;
    for (int i = 0; i < count; ++i) {
        ExposureConditions c;
        c.seed = seed;
        c.frameNumber = uint32_t(i + 1);
        float ms = kStandardExposureMs * std::pow(2.0f, stops * (i - (count - 1) * 0.5f));
        b.exposureMs.push_back(ms);
        b.exposures.push_back(Render(width, height, c, ms));
    }
    ExposureConditions t;
    t.seed = seed;
    t.noiseFree = true;
    b.truth = Render(width, height, t);
    return b;
}

bool Encode(const Picture& picture, const std::string& extension, std::vector<uint8_t>* file)
{
    if (picture.bgr.empty())
        return false;
    cv::Mat m(picture.height, picture.width, CV_8UC3, const_cast<uint8_t*>(picture.bgr.data()));
    std::vector<int> params;
    if (extension == ".jpg" || extension == ".jpeg")
        params = {cv::IMWRITE_JPEG_QUALITY, 95};
    try {
        return cv::imencode(extension, m, *file, params);
    } catch (const cv::Exception&) {
        return false;
    }
}

bool Decode(const std::vector<uint8_t>& file, Picture* picture)
{
    cv::Mat m;
    try {
        m = cv::imdecode(file, cv::IMREAD_COLOR);
    } catch (const cv::Exception&) {
        return false;
    }
    if (m.empty())
        return false;
    picture->width = m.cols;
    picture->height = m.rows;
    picture->bgr.resize(size_t(m.cols) * m.rows * 3);
    for (int y = 0; y < m.rows; ++y)
        std::memcpy(picture->bgr.data() + size_t(y) * m.cols * 3, m.ptr(y), size_t(m.cols) * 3);
    return true;
}

double MeanAbsDifference(const Picture& a, const Picture& b)
{
    if (a.width != b.width || a.height != b.height || a.bgr.size() != b.bgr.size())
        return -1;
    if (a.bgr.empty())
        return 0;
    double sum = 0;
    for (size_t i = 0; i < a.bgr.size(); ++i)
        sum += std::abs(int(a.bgr[i]) - int(b.bgr[i]));
    return sum / double(a.bgr.size());
}

double RmsDifference(const Picture& a, const Picture& b)
{
    if (a.width != b.width || a.height != b.height || a.bgr.size() != b.bgr.size())
        return -1;
    if (a.bgr.empty())
        return 0;
    double sum = 0;
    for (size_t i = 0; i < a.bgr.size(); ++i) {
        const double d = double(a.bgr[i]) - double(b.bgr[i]);
        sum += d * d;
    }
    return std::sqrt(sum / double(a.bgr.size()));
}

}  // namespace composedata
