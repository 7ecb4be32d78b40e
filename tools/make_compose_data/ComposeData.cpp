#include "ComposeData.h"

// Bench.h ties this module to the bench's module, whose threads the rendering uses.
#include "external/bench/Bench.h"

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

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
};

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
        c.noiseFree = !spec.noise;
        c.onSlide = true;
        c.stageX = float(sx[i]);
        c.stageY = float(sy[i]);
        c.emptyShare = spec.emptyShare;
        grid.tiles.push_back(Render(spec.tileWidth, spec.tileHeight, c));
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

}  // namespace composedata
