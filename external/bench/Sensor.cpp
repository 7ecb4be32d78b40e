// The scene under the microscope and the sensor that looks at it.
//
// The scene is a bright-field slide: stained cells (cytoplasm, membrane, a nucleus
// with chromatin texture and a few granules) in three layers of depth, lit by a lamp
// that falls off towards the corners. Only the layer at the stage focus is sharp.
// On a slide larger than a field, cells and faint debris are placed by slide position
// (block by block, from a hash of the block), so fields that overlap show the same
// cells while each keeps its own lamp fall-off and noise.
// The sensor adds dark current (doubling every 6 degrees), shot and read noise, a
// small pedestal and a few hot pixels, and quantises to 8 or 12 bits.
#include "Pipeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>

namespace orvbench {

namespace {

const float kFullWell = 20000.0f;     // electrons at full scale, gain 1
const float kReadNoise = 3.0f;        // electrons
const float kPedestal = 2.0f / 255;   // raw offset of a dark pixel
const float kHotLevel = 0.6f;         // raw level of a hot pixel
const float kReferenceMs = 33.0f;     // exposure at which the lamp fills half the range

struct Cell
{
    float x, y;        // centre, in units of the picture's shorter side
    float rx, ry, angle;
    float nucleus;     // nucleus radius as a fraction of the cell radius
    int layer;         // 0 near, 1 middle, 2 far
    uint32_t seed;
};

uint32_t Hash(uint32_t x)
{
    x ^= x >> 16; x *= 0x7feb352dU; x ^= x >> 15; x *= 0x846ca68bU; x ^= x >> 16;
    return x;
}

struct Random
{
    uint32_t state;
    explicit Random(uint32_t seed) : state(Hash(seed) | 1u) {}
    uint32_t Next() { state ^= state << 13; state ^= state >> 17; state ^= state << 5; return state; }
    float Uniform() { return (Next() >> 8) * (1.0f / 16777216.0f); }
    // Sum of four uniforms: close enough to a normal deviate for sensor noise.
    float Normal() { return (Uniform() + Uniform() + Uniform() + Uniform() - 2.0f) * 1.7320508f; }
};

std::vector<Cell> MakeCells()
{
    std::vector<Cell> cells;
    Random r(7);
    for (int i = 0; i < 36; ++i) {
        Cell c;
        c.x = 0.05f + r.Uniform() * 1.2f;
        c.y = 0.05f + r.Uniform() * 0.9f;
        c.rx = 0.035f + r.Uniform() * 0.04f;
        c.ry = c.rx * (0.6f + r.Uniform() * 0.4f);
        c.angle = r.Uniform() * 3.14159f;
        c.nucleus = 0.3f + r.Uniform() * 0.2f;
        c.layer = i % 3;
        c.seed = r.Next();
        cells.push_back(c);
    }
    return cells;
}

// Optical density of the two stains per colour channel (red, green, blue).
const float kEosin[3] = {0.10f, 0.55f, 0.22f};
const float kHaematoxylin[3] = {0.60f, 0.70f, 0.25f};

// unit: pixels per unit of cell geometry; (ox, oy): the picture's top-left corner in
// those pixels.
void PaintCell(const Cell& c, int w, int h, float unit, float ox, float oy,
               float* density /* 3 planes */)
{
    const float cx = c.x * unit - ox, cy = c.y * unit - oy;
    const float rx = c.rx * unit, ry = c.ry * unit;
    const float rmax = std::max(rx, ry) * 1.1f;
    if (cx + rmax < 0 || cy + rmax < 0 || cx - rmax >= w || cy - rmax >= h)
        return;
    const int x0 = std::max(0, int(cx - rmax)), x1 = std::min(w - 1, int(cx + rmax));
    const int y0 = std::max(0, int(cy - rmax)), y1 = std::min(h - 1, int(cy + rmax));
    const float ca = std::cos(c.angle), sa = std::sin(c.angle);
    const float freq = 6.2832f / std::max(2.0f, rx * 0.18f);
    Random gr(c.seed);
    float gx[6], gy[6];
    for (int i = 0; i < 6; ++i) {
        float a = gr.Uniform() * 6.2832f, d = 0.45f + gr.Uniform() * 0.35f;
        gx[i] = std::cos(a) * d;
        gy[i] = std::sin(a) * d;
    }
    const size_t plane = size_t(w) * h;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            float dx = x - cx, dy = y - cy;
            float u = (dx * ca + dy * sa) / rx, v = (-dx * sa + dy * ca) / ry;
            float r2 = u * u + v * v;
            if (r2 > 1.0f)
                continue;
            float r = std::sqrt(r2);
            float eosin = 0.35f + (r > 0.9f ? 0.5f : 0.0f);   // cytoplasm and membrane
            float haem = 0.0f;
            if (r < c.nucleus) {
                float chromatin = 0.5f + 0.5f * std::sin(u * rx * freq) * std::sin(v * ry * freq);
                haem = 0.9f + 0.6f * chromatin;
            }
            for (int i = 0; i < 6; ++i) {
                float gu = u - gx[i], gv = v - gy[i];
                if (gu * gu + gv * gv < 0.006f)
                    haem += 1.2f;
            }
            size_t at = size_t(y) * w + x;
            for (int k = 0; k < 3; ++k)
                density[k * plane + at] += eosin * kEosin[k] + haem * kHaematoxylin[k];
        }
    }
}

// Three box passes approximate a Gaussian of the given sigma.
void BoxBlur(float* p, int w, int h, float sigma)
{
    int radius = int(std::lround(sigma * 0.8f));
    if (radius < 1)
        return;
    std::vector<float> line(std::max(w, h));
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) {
            float* row = p + size_t(y) * w;
            double sum = 0;
            for (int x = -radius; x <= radius; ++x)
                sum += row[std::clamp(x, 0, w - 1)];
            for (int x = 0; x < w; ++x) {
                line[x] = float(sum / (2 * radius + 1));
                sum += row[std::min(x + radius + 1, w - 1)] - row[std::max(x - radius, 0)];
            }
            std::copy(line.begin(), line.begin() + w, row);
        }
        for (int x = 0; x < w; ++x) {
            double sum = 0;
            for (int y = -radius; y <= radius; ++y)
                sum += p[size_t(std::clamp(y, 0, h - 1)) * w + x];
            for (int y = 0; y < h; ++y) {
                line[y] = float(sum / (2 * radius + 1));
                sum += p[size_t(std::min(y + radius + 1, h - 1)) * w + x]
                     - p[size_t(std::max(y - radius, 0)) * w + x];
            }
            for (int y = 0; y < h; ++y)
                p[size_t(y) * w + x] = line[y];
        }
    }
}

// Debris on a slide: small soft specks, in slide pixels.
struct Speck
{
    float x, y, radius, density;
    int layer;
};

const float kDebris[3] = {0.45f, 0.50f, 0.58f};
const float kBlockUnits = 0.5f;     // side of a slide block in units
const int kCellsPerBlock = 8;
const int kSpecksPerBlock = 40;

void PaintSpeck(const Speck& sp, int w, int h, float ox, float oy, float* density)
{
    const float cx = sp.x - ox, cy = sp.y - oy, reach = sp.radius + 1.0f;
    const int x0 = std::max(0, int(std::floor(cx - reach))), x1 = std::min(w - 1, int(cx + reach));
    const int y0 = std::max(0, int(std::floor(cy - reach))), y1 = std::min(h - 1, int(cy + reach));
    const size_t plane = size_t(w) * h;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float d = std::hypot(x - cx, y - cy);
            float cover = std::clamp(sp.radius + 0.5f - d, 0.0f, 1.0f);
            if (cover <= 0)
                continue;
            size_t at = size_t(y) * w + x;
            for (int k = 0; k < 3; ++k)
                density[k * plane + at] += sp.density * cover * kDebris[k];
        }
}

// Cells (in units) and specks (in slide pixels) of the slide blocks that can reach the
// rectangle [x0, x1) x [y0, y1) of slide pixels.
void SlideContents(float x0, float y0, float x1, float y1, float emptyShare,
                   std::vector<Cell>* cells, std::vector<Speck>* specks)
{
    const float unit = float(kSlideUnitPixels), block = kBlockUnits * unit;
    const float reach = 0.1f * unit;   // the largest cell's radius and then some
    const int bx0 = int(std::floor((x0 - reach) / block)), bx1 = int(std::floor((x1 + reach) / block));
    const int by0 = int(std::floor((y0 - reach) / block)), by1 = int(std::floor((y1 + reach) / block));
    for (int by = by0; by <= by1; ++by) {
        for (int bx = bx0; bx <= bx1; ++bx) {
            Random r(Hash(uint32_t(bx) * 73856093u) ^ Hash(uint32_t(by) * 19349663u + 7u));
            const bool empty = r.Uniform() < emptyShare;
            for (int i = 0; i < kCellsPerBlock; ++i) {
                Cell c;
                c.x = (bx + r.Uniform()) * kBlockUnits;
                c.y = (by + r.Uniform()) * kBlockUnits;
                c.rx = 0.035f + r.Uniform() * 0.04f;
                c.ry = c.rx * (0.6f + r.Uniform() * 0.4f);
                c.angle = r.Uniform() * 3.14159f;
                c.nucleus = 0.3f + r.Uniform() * 0.2f;
                c.layer = int(r.Next() % 3);
                c.seed = r.Next();
                if (!empty)
                    cells->push_back(c);
            }
            for (int i = 0; i < kSpecksPerBlock; ++i) {
                Speck sp;
                sp.x = (bx + r.Uniform()) * block;
                sp.y = (by + r.Uniform()) * block;
                sp.radius = 1.2f + r.Uniform() * 2.0f;
                sp.density = 0.12f + r.Uniform() * 0.25f;
                sp.layer = int(r.Next() % 3);
                specks->push_back(sp);
            }
        }
    }
}

struct SceneKey
{
    int width = 0, height = 0;
    float focus = 0;
    bool blank = false, onSlide = false, allInFocus = false, evenLamp = false;
    float stageX = 0, stageY = 0, emptyShare = 0;

    bool operator==(const SceneKey& o) const
    {
        return width == o.width && height == o.height && focus == o.focus && blank == o.blank
            && onSlide == o.onSlide && allInFocus == o.allInFocus && evenLamp == o.evenLamp
            && stageX == o.stageX && stageY == o.stageY && emptyShare == o.emptyShare;
    }
};

struct SceneImage
{
    SceneKey key;
    std::vector<float> radiance;   // 3 planes, red, green, blue
};

std::mutex g_sceneLock;
std::shared_ptr<const SceneImage> g_scenes[2];
int g_nextScene = 0;

std::shared_ptr<const SceneImage> BuildScene(const SceneKey& key)
{
    static const std::vector<Cell> cells = MakeCells();
    auto scene = std::make_shared<SceneImage>();
    scene->key = key;
    const int w = key.width, h = key.height;
    const float unit = key.onSlide ? float(kSlideUnitPixels) : float(std::min(w, h));
    float defocus[3];
    int margin = 0;
    for (int l = 0; l < 3; ++l) {
        defocus[l] = key.allInFocus ? 0.0f : std::fabs(key.focus - float(l - 1));
        // A field on a slide is painted with a rim, so its blur near the edges sees
        // the neighbouring slide as a larger field would.
        if (key.onSlide)
            margin = std::max(margin, 3 * int(std::lround(0.004f * unit * defocus[l] * 0.8f)) + 2);
    }
    const int pw = w + 2 * margin, ph = h + 2 * margin;
    const float ox = key.onSlide ? key.stageX - margin : 0.0f;
    const float oy = key.onSlide ? key.stageY - margin : 0.0f;
    std::vector<Cell> slideCells;
    std::vector<Speck> specks;
    if (key.onSlide && !key.blank)
        SlideContents(ox, oy, ox + pw, oy + ph, key.emptyShare, &slideCells, &specks);
    const std::vector<Cell>& painted = key.onSlide ? slideCells : cells;
    const size_t plane = size_t(pw) * ph;
    std::vector<float> total(3 * plane, 0.0f), layer(3 * plane);
    for (int l = 0; l < (key.blank ? 0 : 3); ++l) {
        std::fill(layer.begin(), layer.end(), 0.0f);
        for (const Cell& c : painted)
            if (c.layer == l)
                PaintCell(c, pw, ph, unit, ox, oy, layer.data());
        for (const Speck& sp : specks)
            if (sp.layer == l)
                PaintSpeck(sp, pw, ph, ox, oy, layer.data());
        float sigma = 0.004f * unit * defocus[l];
        for (int k = 0; k < 3; ++k)
            BoxBlur(layer.data() + k * plane, pw, ph, sigma);
        for (size_t i = 0; i < total.size(); ++i)
            total[i] += layer[i];
    }
    const size_t outPlane = size_t(w) * h;
    scene->radiance.resize(3 * outPlane);
    const float lampTint[3] = {1.0f, 0.97f, 0.92f};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            float dx = (x - w * 0.5f) / (w * 0.5f), dy = (y - h * 0.5f) / (h * 0.5f);
            float vignette = key.evenLamp ? 1.0f : 1.0f - 0.28f * (dx * dx + dy * dy) * 0.5f;
            size_t at = size_t(y) * w + x;
            size_t from = size_t(y + margin) * pw + x + margin;
            for (int k = 0; k < 3; ++k)
                scene->radiance[k * outPlane + at] =
                    lampTint[k] * vignette * std::exp(-total[k * plane + from]);
        }
    }
    return scene;
}

std::shared_ptr<const SceneImage> Scene(const SceneKey& key)
{
    std::lock_guard<std::mutex> lock(g_sceneLock);
    for (auto& s : g_scenes)
        if (s && s->key == key)
            return s;
    auto s = BuildScene(key);
    g_scenes[g_nextScene] = s;
    g_nextScene ^= 1;
    return s;
}

// Fraction of full scale per second of dark current at a temperature.
float DarkRate(float temperature)
{
    return 40.0f / kFullWell * std::pow(2.0f, (temperature - 25.0f) / 6.0f);
}

}  // namespace

float AnalogGainFactor(int gainRegister)
{
    return 1.0f + 0.0351f * std::max(0, gainRegister);
}

uint32_t RawFrameBytes(int width, int height, int depth)
{
    return kRawHeaderSize + uint32_t(width) * height * (depth / 8);
}

uint32_t ReceiveBytes(int width, int height, int depth)
{
    return RawFrameBytes(width, height, depth) + kHistogramBytes;
}

static bool IsHotPixel(uint32_t index)
{
    return Hash(index * 2654435761u + 12345u) < 60000u;   // about 1 in 70000
}

// The generator is linear over two-element arithmetic: skipping ahead is a power of
// its 32 x 32 step matrix, kept as the images of the single bits.
static uint32_t SkipAhead(uint32_t state, uint64_t steps)
{
    uint32_t step[32];
    for (int j = 0; j < 32; ++j) {
        Random g(0);
        g.state = 1u << j;
        step[j] = g.Next();
    }
    auto apply = [](const uint32_t* m, uint32_t v) {
        uint32_t r = 0;
        for (int j = 0; j < 32; ++j)
            if ((v >> j) & 1)
                r ^= m[j];
        return r;
    };
    while (steps) {
        if (steps & 1)
            state = apply(step, state);
        uint32_t squared[32];
        for (int j = 0; j < 32; ++j)
            squared[j] = apply(step, step[j]);
        std::memcpy(step, squared, sizeof step);
        steps >>= 1;
    }
    return state;
}

void RenderRawFrame(const CameraSpec& camera, const CameraSettings& s,
                    const ExposureConditions& cond, uint8_t* out)
{
    const Resolution& res = camera.resolutions[std::clamp(s.resolution, 0,
                                                           int(camera.resolutions.size()) - 1)];
    const int w = res.width, h = res.height;
    const int depth = s.rawDepth == 16 ? 16 : 8;
    SceneKey key;
    key.width = w;
    key.height = h;
    key.focus = cond.focus;
    key.blank = cond.blank;
    key.onSlide = cond.onSlide;
    key.allInFocus = cond.allInFocus;
    key.evenLamp = cond.evenLamp;
    if (cond.onSlide) {
        key.stageX = cond.stageX;
        key.stageY = cond.stageY;
        key.emptyShare = cond.emptyShare;
    }
    auto scene = Scene(key);
    RawFrameHeader hd;
    std::memset(&hd, 0, sizeof hd);
    hd.magic = kRawFrameMagic;
    hd.headerSize = kRawHeaderSize;
    hd.depth = uint16_t(depth);
    hd.width = uint16_t(w);
    hd.height = uint16_t(h);
    hd.mosaic = camera.colour ? 1 : 0;
    hd.resolution = uint8_t(std::clamp(s.resolution, 0, int(camera.resolutions.size()) - 1));
    hd.frameNumber = cond.frameNumber;
    hd.exposureMs = s.exposureMs;
    hd.gainFactor = AnalogGainFactor(s.analogGain);
    hd.temperature = cond.temperature;
    hd.dataBytes = uint32_t(w) * h * (depth / 8);
    std::memcpy(out, &hd, sizeof hd);

    const float gain = hd.gainFactor;
    const float light = cond.dark ? 0.0f : 0.5f * s.exposureMs / kReferenceMs;
    const float dark = DarkRate(cond.temperature) * s.exposureMs * 0.001f;
    const float qe[3] = {0.92f, 1.0f, 0.88f};
    const size_t plane = size_t(w) * h;
    const float* rad = scene->radiance.data();
    uint8_t* px8 = out + kRawHeaderSize;
    uint16_t* px16 = reinterpret_cast<uint16_t*>(out + kRawHeaderSize);
    // Noise draws eight numbers per pixel from one sequence. The frame is read as
    // several stretches at once, each starting its own generator where the sequence
    // stands at its first pixel, so the result is the same as one pass.
    struct Stretch
    {
        size_t at, end;
        int x, y;
        Random rnd{0};
    };
    const Random first(cond.seed * 0x9E3779B9u + cond.frameNumber);
    const int count = plane < 200000 ? 1 : 4;   // small frames are not worth a thread
    const size_t length = (plane + count - 1) / count;
    Stretch parts[4];
    for (int k = 0; k < count; ++k) {
        Stretch& st = parts[k];
        st.at = std::min(plane, length * k);
        st.end = std::min(plane, st.at + length);
        st.x = int(st.at % size_t(w));
        st.y = int(st.at / size_t(w));
        st.rnd.state = cond.noiseFree ? first.state : SkipAhead(first.state, uint64_t(st.at) * 8);
    }
    auto pixel = [&](Stretch& st) {
        const size_t at = st.at;
        const int x = st.x, y = st.y;
        Random& rnd = st.rnd;
        float signal;
        if (camera.colour) {
            int c = (y & 1) ? ((x & 1) ? 2 : 1) : ((x & 1) ? 1 : 0);
            signal = rad[c * plane + at] * qe[c];
        } else {
            signal = (rad[at] + rad[plane + at] + rad[2 * plane + at]) * (1.0f / 3);
        }
        float electrons = (signal * light + dark) * kFullWell;
        if (!cond.noiseFree) {
            electrons += std::sqrt(std::max(electrons, 0.0f)) * rnd.Normal();
            electrons += kReadNoise * rnd.Normal();
        }
        float v = electrons / kFullWell * gain + kPedestal;
        if (IsHotPixel(uint32_t(at)))
            v = std::max(v, kHotLevel);
        v = std::clamp(v, 0.0f, 1.0f);
        if (depth == 8) {
            px8[at] = uint8_t(v * 255.0f + 0.5f);
        } else {
            uint16_t adc = uint16_t(v * 4095.0f + 0.5f) << 4;
            px16[at] = adc;   // little-endian on every target we build for
        }
        ++st.at;
        if (++st.x == w) {
            st.x = 0;
            ++st.y;
        }
    };
    auto stretch = [&](int k) {
        Stretch st = parts[k];   // a private copy: the stretches share cache lines
        while (st.at < st.end)
            pixel(st);
    };
    ForEachBand(count, stretch);
}

double RawMeanLevel(const uint8_t* raw)
{
    RawFrameHeader hd;
    std::memcpy(&hd, raw, sizeof hd);
    const size_t n = size_t(hd.width) * hd.height;
    if (!n)
        return 0;
    double sum = 0;
    const uint8_t* p = raw + hd.headerSize;
    if (hd.depth == 8) {
        for (size_t i = 0; i < n; ++i)
            sum += p[i];
    } else {
        for (size_t i = 0; i < n; ++i)
            sum += p[2 * i + 1];
    }
    return sum / n;
}

}  // namespace orvbench
