// Translation-only stitching of microscope tiles.
//
// Every pair of tiles is registered by phase correlation on band-passed, reduced
// copies (hot pixels and the lamp's fall-off removed first, since both sit at the same
// sensor place in every tile and would otherwise pull every pair towards no shift);
// each correlation peak is tried in its four wrap-around readings and checked by the
// normalised cross-correlation of the overlap it implies, and the best is refined at
// full size. Pairs whose fine detail correlates well are sure links; pairs that only a
// broader band ties (smooth or noisy overlaps) are weak links, taken in only where a
// loop with other links confirms them. The tiles' places are the weighted
// least-squares answer over all links taken, dropping a link that disagrees with the
// others. A tile that no link ties to the rest fails the job.
#include "Stitcher.h"

#include "Bands.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <cstdio>

namespace eastitch {

namespace {

const int kLowSide = 320;          // the search over all shifts runs on copies this large
const int kCandidates = 3;         // best shifts of the search refined at full size
const int kCandidateGap = 4;       // reduced pixels between two candidates
const double kMinOverlapShare = 0.05;  // of a tile's area: no corner-to-corner links
const int kMinOverlapSide = 12;    // full-size pixels
// A link needs the fine detail of its overlap to correlate at least this well. Coarse
// shapes (blurred cells, smooth background) can look alike at a wrong shift; fine
// detail (the sharp layer, debris) only lines up at the true one, and the sensor's
// noise, independent in every tile, is what keeps a true overlap below 1.
const double kMinNcc = 0.7;
const double kMinSearchNcc = 0.25; // reduced search results worth refining
// Where fine detail is missing (smooth or blurred overlaps, noise), a broader band still
// finds the shift, but not surely: such a weak link counts only where a loop of other
// links confirms it, and weighs less in the placement.
const double kMinWeakNcc = 0.4;
const double kMidSigma = 2.0;      // the middle band: between this blur and three times it
const double kWeakWeight = 0.25;
const double kMaxWeakMisfit = 1.5; // pixels a loop of weak links may fail to close
const int kMaxWeakCheckSide = 512;  // a smooth overlap needs more of its length
const double kMinWeakSearchNcc = 0.4;  // reduced search results worth a weak link
const double kFineSigma = 1.0;     // the fine band: between this blur and three times it
const double kMaxResidual = 2.5;   // pixels a link may disagree with the placement
const int kHighPassBox = 31;       // full-size box whose mean is taken away
const int kMaxCheckSide = 256;     // full-size pixels of an overlap's fine check

// A tile ready for registration. The reduced copy is zero-padded to twice its size so
// that the correlation of two tiles over every shift comes out of one product of
// spectra without wrapping round; an overlap is a rectangle of each tile, so the sums
// that normalise it come from the tile's integral images.
struct Prepared
{
    cv::Mat fine;        // fine detail only, full size: what only a true overlap shares
    cv::Mat mid;         // the middle band, half size: for overlaps without fine detail
    cv::Mat low;         // everything but the lamp's fall-off, reduced by `scale`
    cv::Mat spectrum;    // of `low`, padded
    cv::Mat sums, squares;  // integral images of `low` and of its squares
};

struct Link
{
    int a, b;          // tile b's corner lies at (dx, dy) in tile a's pixels
    double dx, dy;
    double weight;
};

void KeepOpenCvSingleThreaded()
{
    static bool done = false;
    if (!done) {
        cv::setNumThreads(0);
        done = true;
    }
}

int ItemBands(int items)
{
    return std::max(1, std::min(items, orvbands::BandCount(1 << 20, 1)));
}

// Calls body(item, band) for every item, the items spread over bands that run at once;
// a band's items run one after another, so they may share the band's scratch memory.
template <class F>
void ForEachItem(int items, F body)
{
    const int count = ItemBands(items);
    auto band = [&](int k) {
        for (int i = k; i < items; i += count)
            body(i, k);
    };
    orvbands::ForEachBand(count, band);
}

// Memory one registration after another reuses: fresh pages of this size cost more to
// fault in than the arithmetic done on them.
struct Scratch
{
    cv::Mat product, surface, ncc;
};

cv::Mat Spectrum(const cv::Mat& m, cv::Size padded)
{
    cv::Mat pad, spectrum;
    cv::copyMakeBorder(m, pad, 0, padded.height - m.rows, 0, padded.width - m.cols,
                       cv::BORDER_CONSTANT, cv::Scalar(0));
    cv::dft(pad, spectrum, cv::DFT_COMPLEX_OUTPUT);
    return spectrum;
}

// r(t) = sum over x of first(x + t) x second(x), for every shift t (modulo the size),
// into scratch.surface.
const cv::Mat& Correlate(const cv::Mat& first, const cv::Mat& second, Scratch* scratch)
{
    cv::mulSpectrums(first, second, scratch->product, 0, true);
    cv::idft(scratch->product, scratch->surface, cv::DFT_REAL_OUTPUT | cv::DFT_SCALE);
    return scratch->surface;
}

struct Geometry
{
    int scale;
    cv::Size low, padded;
};

Prepared Prepare(const cv::Mat& bgr, const Geometry& g)
{
    Prepared p;
    cv::Mat grey;
    cv::cvtColor(bgr, grey, cv::COLOR_BGR2GRAY);
    cv::medianBlur(grey, grey, 3);
    // Two full-size buffers, filtered in place: the pages of a fresh one cost more to
    // fault in than the filtering done on them. The lamp's fall-off goes at the reduced
    // size, where a box is cheap.
    cv::Mat f, detail;
    grey.convertTo(f, CV_32F);
    cv::GaussianBlur(f, detail, cv::Size(0, 0), kFineSigma);
    // The middle band has no detail a half-size copy loses, and costs a quarter there.
    cv::Mat half, broad;
    cv::pyrDown(f, half);
    cv::GaussianBlur(half, p.mid, cv::Size(0, 0), kMidSigma / 2);
    cv::GaussianBlur(p.mid, broad, cv::Size(0, 0), std::sqrt(8.0) * kMidSigma / 2);
    p.mid -= broad;
    cv::GaussianBlur(f, f, cv::Size(0, 0), 3 * kFineSigma);
    cv::subtract(detail, f, f);
    p.fine = f;
    if (g.scale > 1)
        cv::resize(detail, p.low, g.low, 0, 0, cv::INTER_AREA);
    else
        p.low = detail;
    const int box = std::max(3, kHighPassBox / g.scale | 1);
    cv::Mat mean;
    cv::boxFilter(p.low, mean, CV_32F, cv::Size(box, box), cv::Point(-1, -1), true,
                  cv::BORDER_REFLECT101);
    p.low -= mean;
    p.spectrum = Spectrum(p.low, g.padded);
    cv::integral(p.low, p.sums, p.squares, CV_64F, CV_64F);
    return p;
}

// Overlap of tile b placed at (dx, dy) in tile a's pixels, both w x h, in a's pixels.
cv::Rect Overlap(int w, int h, int dx, int dy)
{
    int x0 = std::max(0, dx), y0 = std::max(0, dy);
    int x1 = std::min(w, dx + w), y1 = std::min(h, dy + h);
    return cv::Rect(x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0));
}

bool OverlapBigEnough(int ow, int oh, int w, int h, int minSide)
{
    return ow >= minSide && oh >= minSide && double(ow) * oh >= kMinOverlapShare * w * h;
}

struct Candidate
{
    double ncc;
    int dx, dy;        // reduced pixels
    double fx, fy;     // and the fraction of one beyond
};

// Where between three scores the peak lies, for a sub-pixel touch.
double PeakOffset(float before, float peak, float after)
{
    const double d = before - 2.0 * peak + after;
    return d < 0 ? std::clamp(0.5 * (before - after) / d, -0.5, 0.5) : 0.0;
}

struct Match
{
    double score;
    double dx, dy;     // tile b's corner in tile a's pixels
};

// The best match of b's band against a's within r pixels of (cx, cy), judged on the
// middle of the overlap; score -2 when the overlap is too small to judge.
Match MatchAround(const cv::Mat& a, const cv::Mat& b, int cx, int cy, int r, int checkSide)
{
    const int w = a.cols, h = a.rows;
    cv::Rect ra = Overlap(w, h, cx, cy);
    cv::Rect inner(ra.x + r, ra.y + r, ra.width - 2 * r, ra.height - 2 * r);
    if (inner.width < kMinOverlapSide || inner.height < kMinOverlapSide)
        return {-2, 0, 0};
    const int tw = std::min(inner.width, checkSide), th = std::min(inner.height, checkSide);
    inner = cv::Rect(inner.x + (inner.width - tw) / 2, inner.y + (inner.height - th) / 2, tw, th);
    cv::Rect search(inner.x - r, inner.y - r, tw + 2 * r, th + 2 * r);
    cv::Rect templ = inner - cv::Point(cx, cy);
    cv::Mat scores;
    cv::matchTemplate(a(search), b(templ), scores, cv::TM_CCOEFF_NORMED);
    double score;
    cv::Point at;
    cv::minMaxLoc(scores, nullptr, &score, nullptr, &at);
    const int dx = cx + at.x - r, dy = cy + at.y - r;
    cv::Rect final = Overlap(w, h, dx, dy);
    if (!std::isfinite(score) || !OverlapBigEnough(final.width, final.height, w, h, kMinOverlapSide))
        return {-2, 0, 0};
    double fx = 0, fy = 0;
    if (at.x > 0 && at.x < scores.cols - 1)
        fx = PeakOffset(scores.at<float>(at.y, at.x - 1), float(score), scores.at<float>(at.y, at.x + 1));
    if (at.y > 0 && at.y < scores.rows - 1)
        fy = PeakOffset(scores.at<float>(at.y - 1, at.x), float(score), scores.at<float>(at.y + 1, at.x));
    return {score, dx + fx, dy + fy};
}

// Registers tile b against tile a. A sure link (fine detail agreeing) goes to `sure`;
// otherwise every shift where the middle band agrees goes to `weak`, for loops of other
// links to confirm or not.
void Register(const Prepared& a, const Prepared& b, const Geometry& g, int ia, int ib,
              Scratch* scratch, std::vector<Link>* sure, std::vector<Link>* weak)
{
    // Normalised cross-correlation of the overlap for every shift at once.
    const cv::Mat& products = Correlate(a.spectrum, b.spectrum, scratch);
    const int lw = g.low.width, lh = g.low.height, pw = g.padded.width, ph = g.padded.height;
    const int minSide = std::max(3, kMinOverlapSide / g.scale);
    cv::Mat& ncc = scratch->ncc;
    ncc.create(ph, pw, CV_32F);
    ncc.setTo(-2);
    for (int y = 0; y < ph; ++y) {
        const int dy = y < ph / 2 ? y : y - ph;
        if (dy <= -lh || dy >= lh)
            continue;
        const float* sab = products.ptr<float>(y);
        // Rows of the overlap in a and in b.
        const int ay0 = std::max(0, dy), ay1 = std::min(lh, lh + dy);
        const int by0 = ay0 - dy, by1 = ay1 - dy;
        const double* aTop = a.sums.ptr<double>(ay0);
        const double* aFoot = a.sums.ptr<double>(ay1);
        const double* a2Top = a.squares.ptr<double>(ay0);
        const double* a2Foot = a.squares.ptr<double>(ay1);
        const double* bTop = b.sums.ptr<double>(by0);
        const double* bFoot = b.sums.ptr<double>(by1);
        const double* b2Top = b.squares.ptr<double>(by0);
        const double* b2Foot = b.squares.ptr<double>(by1);
        float* out = ncc.ptr<float>(y);
        for (int x = 0; x < pw; ++x) {
            const int dx = x < pw / 2 ? x : x - pw;
            if (dx <= -lw || dx >= lw
                || !OverlapBigEnough(lw - std::abs(dx), lh - std::abs(dy), lw, lh, minSide))
                continue;
            const int ax0 = std::max(0, dx), ax1 = std::min(lw, lw + dx);
            const int bx0 = ax0 - dx, bx1 = ax1 - dx;
            const double count = double(ax1 - ax0) * (ay1 - ay0);
            const double sa = aFoot[ax1] - aFoot[ax0] - aTop[ax1] + aTop[ax0];
            const double sa2 = a2Foot[ax1] - a2Foot[ax0] - a2Top[ax1] + a2Top[ax0];
            const double sb = bFoot[bx1] - bFoot[bx0] - bTop[bx1] + bTop[bx0];
            const double sb2 = b2Foot[bx1] - b2Foot[bx0] - b2Top[bx1] + b2Top[bx0];
            const double va = sa2 - sa * sa / count;
            const double vb = sb2 - sb * sb / count;
            if (va <= 1e-6 * count || vb <= 1e-6 * count)
                continue;
            out[x] = float((sab[x] - sa * sb / count) / std::sqrt(va * vb));
        }
    }
    std::vector<Candidate> candidates;
    for (int k = 0; k < kCandidates; ++k) {
        cv::Point at;
        double value;
        cv::minMaxLoc(ncc, nullptr, &value, nullptr, &at);
        if (value < kMinSearchNcc)
            break;
        Candidate c{value, at.x < pw / 2 ? at.x : at.x - pw, at.y < ph / 2 ? at.y : at.y - ph, 0, 0};
        // Where between the reduced pixels the peak lies, so the full-size search
        // around it can stay small.
        auto offset = [](float before, float peak, float after) {
            return before < -1 || after < -1 ? 0.0 : PeakOffset(before, peak, after);
        };
        c.fx = offset(ncc.at<float>(at.y, (at.x + pw - 1) % pw), float(value), ncc.at<float>(at.y, (at.x + 1) % pw));
        c.fy = offset(ncc.at<float>((at.y + ph - 1) % ph, at.x), float(value), ncc.at<float>((at.y + 1) % ph, at.x));
        candidates.push_back(c);
        for (int y = at.y - kCandidateGap; y <= at.y + kCandidateGap; ++y)
            for (int x = at.x - kCandidateGap; x <= at.x + kCandidateGap; ++x)
                ncc.at<float>((y + ph) % ph, (x + pw) % pw) = -2;
    }

    // Full size, around each reduced answer.
    const int r = std::max(2, g.scale / 2 + 1);
    Match best{-2, 0, 0};
    std::vector<Link> maybe;
    for (const Candidate& c : candidates) {
        const int cx = int(std::lround((c.dx + c.fx) * g.scale));
        const int cy = int(std::lround((c.dy + c.fy) * g.scale));
        Match fine = MatchAround(a.fine, b.fine, cx, cy, r, kMaxCheckSide);
        if (fine.score > best.score)
            best = fine;
        if (best.score >= kMinNcc || c.ncc < kMinWeakSearchNcc)
            continue;
        // A wider search, so that the peak of a coarse reduced answer lies inside it.
        Match mid = MatchAround(a.mid, b.mid, cx / 2, cy / 2, r / 2 + 2, kMaxWeakCheckSide / 2);
        mid.dx *= 2;
        mid.dy *= 2;
        if (mid.score < kMinWeakNcc)
            continue;
        // The fine band places more exactly: over the whole overlap, close to the middle
        // band's answer, it still finds its peak through the noise.
        Match exact = MatchAround(a.fine, b.fine, int(std::lround(mid.dx)), int(std::lround(mid.dy)), 3,
                                  kMaxWeakCheckSide);
        if (exact.score > 0 && std::abs(exact.dx - mid.dx) <= 2.5 && std::abs(exact.dy - mid.dy) <= 2.5)
            mid.dx = exact.dx, mid.dy = exact.dy;
        maybe.push_back({ia, ib, mid.dx, mid.dy, kWeakWeight * mid.score * mid.score});
    }
    if (best.score >= kMinNcc)
        sure->push_back({ia, ib, best.dx, best.dy, best.score * best.score});
    else
        weak->insert(weak->end(), maybe.begin(), maybe.end());
}

// The groups of tiles that links join: each tile's group is its lowest tile.
std::vector<int> Groups(int n, const std::vector<Link>& links)
{
    std::vector<int> parent(n);
    std::iota(parent.begin(), parent.end(), 0);
    auto root = [&](int i) {
        while (parent[i] != i)
            i = parent[i] = parent[parent[i]];
        return i;
    };
    for (const Link& l : links) {
        int a = root(l.a), b = root(l.b);
        if (a != b)
            parent[std::max(a, b)] = std::min(a, b);
    }
    std::vector<int> group(n);
    for (int i = 0; i < n; ++i)
        group[i] = root(i);
    return group;
}

// Weighted least squares of the corners over the links, the first tile of every group
// held at the origin.
void Solve(int n, const std::vector<Link>& links, std::vector<double>* xs, std::vector<double>* ys)
{
    cv::Mat m = cv::Mat::zeros(n, n, CV_64F), bx = cv::Mat::zeros(n, 1, CV_64F),
            by = cv::Mat::zeros(n, 1, CV_64F);
    for (const Link& l : links) {
        m.at<double>(l.a, l.a) += l.weight;
        m.at<double>(l.b, l.b) += l.weight;
        m.at<double>(l.a, l.b) -= l.weight;
        m.at<double>(l.b, l.a) -= l.weight;
        bx.at<double>(l.b) += l.weight * l.dx;
        bx.at<double>(l.a) -= l.weight * l.dx;
        by.at<double>(l.b) += l.weight * l.dy;
        by.at<double>(l.a) -= l.weight * l.dy;
    }
    const std::vector<int> group = Groups(n, links);
    for (int i = 0; i < n; ++i) {
        if (group[i] != i)
            continue;
        m.row(i).setTo(0);
        m.at<double>(i, i) = 1;
        bx.at<double>(i) = by.at<double>(i) = 0;
    }
    cv::Mat px, py;
    cv::solve(m, bx, px, cv::DECOMP_LU);
    cv::solve(m, by, py, cv::DECOMP_LU);
    xs->assign(px.begin<double>(), px.end<double>());
    ys->assign(py.begin<double>(), py.end<double>());
}

// Solves, dropping the link that disagrees most with the placement until none
// disagrees by more than kMaxResidual.
void SolveDroppingOutliers(int n, std::vector<Link>* links, std::vector<double>* xs,
                           std::vector<double>* ys)
{
    for (;;) {
        Solve(n, *links, xs, ys);
        size_t worst = 0;
        double worstResidual = 0;
        for (size_t k = 0; k < links->size(); ++k) {
            const Link& l = (*links)[k];
            double r = std::hypot((*xs)[l.b] - (*xs)[l.a] - l.dx, (*ys)[l.b] - (*ys)[l.a] - l.dy);
            if (r > worstResidual) {
                worstResidual = r;
                worst = k;
            }
        }
        if (worstResidual <= kMaxResidual)
            return;
        links->erase(links->begin() + worst);
    }
}

// Takes in the weak links that loops confirm: one that agrees with the placement of two
// tiles already joined, or a loop of two or three weak links through groups of joined
// tiles that closes within kMaxWeakMisfit. A weak link alone joins nothing, since smooth
// overlaps can look alike at a wrong shift; wrong ones closing a loop would take chance.
// The loop whose weakest link is strongest goes first.
void AcceptConfirmedWeakLinks(int n, std::vector<Link> weak, std::vector<Link>* links,
                              std::vector<double>* xs, std::vector<double>* ys)
{
    struct Edge
    {
        int to;            // group
        cv::Point2d move;  // where the link puts `to`'s group against where it lies now
        double weight;
        size_t link;
    };
    for (;;) {
        SolveDroppingOutliers(n, links, xs, ys);
        const std::vector<int> group = Groups(n, *links);
        std::vector<std::vector<Edge>> from(n);
        std::vector<Link> left;
        for (const Link& l : weak) {
            const cv::Point2d m((*xs)[l.a] + l.dx - (*xs)[l.b], (*ys)[l.a] + l.dy - (*ys)[l.b]);
            const int ga = group[l.a], gb = group[l.b];
            if (ga == gb) {
                if (std::hypot(m.x, m.y) <= kMaxWeakMisfit)
                    links->push_back(l);
                continue;
            }
            from[ga].push_back({gb, m, l.weight, left.size()});
            from[gb].push_back({ga, -m, l.weight, left.size()});
            left.push_back(l);
        }
        weak.swap(left);
        auto closes = [](cv::Point2d d) { return std::hypot(d.x, d.y) <= kMaxWeakMisfit; };
        double bestWeight = 0;
        std::vector<size_t> best;
        for (int g = 0; g < n; ++g)
            for (const Edge& e1 : from[g])
                for (const Edge& e2 : from[e1.to]) {
                    if (e2.link == e1.link || std::min(e1.weight, e2.weight) <= bestWeight)
                        continue;
                    if (e2.to == g) {
                        // Two links between the same two groups, of different tile pairs.
                        if (weak[e1.link].a != weak[e2.link].a || weak[e1.link].b != weak[e2.link].b)
                            if (closes(e1.move + e2.move)) {
                                bestWeight = std::min(e1.weight, e2.weight);
                                best = {e1.link, e2.link};
                            }
                        continue;
                    }
                    for (const Edge& e3 : from[e2.to]) {
                        const double w = std::min({e1.weight, e2.weight, e3.weight});
                        if (e3.to == g && w > bestWeight && closes(e1.move + e2.move + e3.move)) {
                            bestWeight = w;
                            best = {e1.link, e2.link, e3.link};
                        }
                    }
                }
        if (best.empty())
            return;
        // Each weak link is taken once, so that the loop ends even where the fit drops
        // what a loop brought in.
        std::sort(best.rbegin(), best.rend());
        for (size_t k : best) {
            links->push_back(weak[k]);
            weak.erase(weak.begin() + k);
        }
    }
}

// Feathered blend: each tile weighs by its distance from its own edges.
void Blend(const std::vector<TileView>& tiles, const std::vector<Placement>& at, int width,
           int height, unsigned char* mosaic, int step)
{
    auto ramp = [](int i, int n) { return float(std::min(i + 1, n - i)); };
    const int count = orvbands::BandCount(height, 64);
    auto band = [&](int k) {
        int first, last;
        orvbands::BandRows(height, count, k, &first, &last);
        std::vector<float> sum(size_t(width) * 3), weight(width);
        for (int y = first; y < last; ++y) {
            std::fill(sum.begin(), sum.end(), 0.0f);
            std::fill(weight.begin(), weight.end(), 0.0f);
            for (size_t t = 0; t < tiles.size(); ++t) {
                const int ty = y - at[t].y;
                if (ty < 0 || ty >= tiles[t].height)
                    continue;
                const int w = tiles[t].width;
                const float wy = ramp(ty, tiles[t].height);
                const unsigned char* row = tiles[t].data + size_t(ty) * tiles[t].step;
                float* s = sum.data() + size_t(at[t].x) * 3;
                float* wt = weight.data() + at[t].x;
                for (int x = 0; x < w; ++x) {
                    const float g = wy * ramp(x, w);
                    s[3 * x] += g * row[3 * x];
                    s[3 * x + 1] += g * row[3 * x + 1];
                    s[3 * x + 2] += g * row[3 * x + 2];
                    wt[x] += g;
                }
            }
            unsigned char* o = mosaic + size_t(y) * step;
            for (int x = 0; x < width; ++x) {
                if (weight[x] <= 0) {
                    o[3 * x] = o[3 * x + 1] = o[3 * x + 2] = 0;
                    continue;
                }
                const float inv = 1.0f / weight[x];
                for (int c = 0; c < 3; ++c)
                    o[3 * x + c] = cv::saturate_cast<unsigned char>(sum[3 * x + c] * inv);
            }
        }
    };
    orvbands::ForEachBand(count, band);
}

int PlaceMats(const std::vector<cv::Mat>& tiles, std::vector<Placement>* placements)
{
    const int n = int(tiles.size());
    if (n < 2)
        return kBadArgument;
    const int w = tiles[0].cols, h = tiles[0].rows;
    for (const cv::Mat& t : tiles)
        if (t.cols != w || t.rows != h || t.type() != CV_8UC3)
            return kUnreadable;
    Geometry g;
    g.scale = std::max(1, (std::max(w, h) + kLowSide - 1) / kLowSide);
    g.low = cv::Size(w / g.scale, h / g.scale);
    if (g.low.width < 8 || g.low.height < 8)
        return kUnplaceable;
    g.padded = cv::Size(cv::getOptimalDFTSize(2 * g.low.width), cv::getOptimalDFTSize(2 * g.low.height));

    std::vector<Prepared> prepared(n);
    ForEachItem(n, [&](int i, int) { prepared[i] = Prepare(tiles[i], g); });

    std::vector<std::pair<int, int>> pairs;
    for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b)
            pairs.push_back({a, b});
    std::vector<std::vector<Link>> sure(pairs.size()), weak(pairs.size());
    std::vector<Scratch> scratch(ItemBands(int(pairs.size())));
    ForEachItem(int(pairs.size()), [&](int k, int band) {
        Register(prepared[pairs[k].first], prepared[pairs[k].second], g, pairs[k].first,
                 pairs[k].second, &scratch[band], &sure[k], &weak[k]);
    });
    std::vector<Link> links, weakLinks;
    for (size_t k = 0; k < pairs.size(); ++k) {
        links.insert(links.end(), sure[k].begin(), sure[k].end());
        weakLinks.insert(weakLinks.end(), weak[k].begin(), weak[k].end());
    }
    std::vector<double> xs, ys;
    AcceptConfirmedWeakLinks(n, weakLinks, &links, &xs, &ys);
    SolveDroppingOutliers(n, &links, &xs, &ys);
    const std::vector<int> group = Groups(n, links);
    if (std::any_of(group.begin(), group.end(), [](int g) { return g != 0; }))
        return kUnplaceable;
    const double minX = *std::min_element(xs.begin(), xs.end());
    const double minY = *std::min_element(ys.begin(), ys.end());
    placements->resize(n);
    for (int i = 0; i < n; ++i)
        (*placements)[i] = {int(std::lround(xs[i] - minX)), int(std::lround(ys[i] - minY))};
    return kOk;
}

}  // namespace

int PlaceTiles(const std::vector<TileView>& tiles, std::vector<Placement>* placements)
{
    KeepOpenCvSingleThreaded();
    std::vector<cv::Mat> mats;
    for (const TileView& t : tiles) {
        if (!t.data || t.width <= 0 || t.height <= 0 || t.step < 3 * t.width)
            return kBadArgument;
        mats.emplace_back(t.height, t.width, CV_8UC3, const_cast<unsigned char*>(t.data),
                          size_t(t.step));
    }
    return PlaceMats(mats, placements);
}

void MosaicSize(const std::vector<TileView>& tiles, const std::vector<Placement>& at,
                int* width, int* height)
{
    *width = *height = 0;
    for (size_t i = 0; i < tiles.size() && i < at.size(); ++i) {
        *width = std::max(*width, at[i].x + tiles[i].width);
        *height = std::max(*height, at[i].y + tiles[i].height);
    }
}

void BlendTiles(const std::vector<TileView>& tiles, const std::vector<Placement>& at,
                unsigned char* mosaic, int step)
{
    int width, height;
    MosaicSize(tiles, at, &width, &height);
    Blend(tiles, at, width, height, mosaic, step);
}

}  // namespace eastitch
