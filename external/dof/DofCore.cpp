#include "DofCore.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace dofcore {

namespace {

// The unsharp mask: image + kAmountPercent % of (image - smoothed) where the two differ by more
// than a threshold: at least kThreshold levels, and three times the spread of that
// difference over the picture, which sensor noise sets on noisy pictures; smaller
// differences are mostly noise, which sharpening would only raise.
const int kAmountPercent = 25;
const int kThreshold = 6;
const double kNoiseSpreads = 3.0;
// The luminance is smoothed before its Laplacian is taken, so the measure follows the
// structure that defocus takes away rather than the pixel-to-pixel noise of the
// sensor and the block edges of compressed planes. The Laplacian's energy is then
// averaged over a window, each pass two passes of a box (near a Gaussian, and cheap at
// any size): a small one, so that the choice follows the edges between regions in focus
// at different depths, plus a wide one, so that on noisy planes it follows regions,
// not single noisy pixels. Reach: kPreKernel / 2 + 1 + 2 x (kWideWindow / 2) rows either
// side (kFocusReach in the header).
const int kPreKernel = 15;
const double kPreSigma = 2.5;
const int kWindow = 13;
const int kWideWindow = 41;
static_assert(kPreKernel / 2 + 1 + 2 * (kWideWindow / 2) <= kFocusReach, "band reach");

}  // namespace

void KeepOpenCvSingleThreaded()
{
    static bool done = false;
    if (!done) {
        cv::setNumThreads(0);
        done = true;
    }
}

void FocusRows(const DofImage& image, const DofMatrix& focus, int first, int last)
{
    // The band with its neighbours, so the window at the band's edge sees what it would
    // see in one pass over the whole picture.
    const int top = std::max(0, first - kFocusReach);
    const int bottom = std::min(image.height, last + kFocusReach);
    cv::Mat bgr(bottom - top, image.width, CV_8UC3, image.data + size_t(top) * image.step,
                size_t(image.step));
    cv::Mat grey, level;
    cv::cvtColor(bgr, grey, cv::COLOR_BGR2GRAY);
    grey.convertTo(level, CV_32F);
    cv::GaussianBlur(level, level, cv::Size(kPreKernel, kPreKernel), kPreSigma, kPreSigma,
                     cv::BORDER_REFLECT101);
    // In place: the pages of a fresh buffer cost more to fault in than the filter.
    cv::Laplacian(level, level, CV_32F, 1, 1.0, 0.0, cv::BORDER_REFLECT101);
    cv::multiply(level, level, level);
    cv::Mat& energy = level;
    cv::Mat wide;
    for (int pass = 0; pass < 2; ++pass) {
        cv::blur(pass ? wide : energy, wide, cv::Size(kWideWindow, kWideWindow), cv::Point(-1, -1),
                 cv::BORDER_REFLECT101);
        cv::blur(energy, energy, cv::Size(kWindow, kWindow), cv::Point(-1, -1), cv::BORDER_REFLECT101);
    }
    energy += wide;
    for (int y = first; y < last; ++y) {
        const float* from = energy.ptr<float>(y - top);
        float* to = reinterpret_cast<float*>(reinterpret_cast<unsigned char*>(focus.data)
                                             + size_t(y) * focus.step);
        std::copy(from, from + image.width, to);
    }
}

int SharpenThreshold(const DofImage& smoothed, const DofImage& image)
{
    // The median of |image - smoothed| in green over every other row, as a spread.
    std::vector<long> counts(256, 0);
    long total = 0;
    for (int y = 0; y < image.height; y += 2) {
        const unsigned char* s = smoothed.data + size_t(y) * smoothed.step;
        const unsigned char* d = image.data + size_t(y) * image.step;
        for (int x = 0; x < image.width; ++x)
            ++counts[std::abs(int(d[3 * x + 1]) - int(s[3 * x + 1]))];
        total += image.width;
    }
    int median = 0;
    for (long below = 0; median < 255 && 2 * (below + counts[median]) < total; ++median)
        below += counts[median];
    const double spread = 1.4826 * (median + 0.5);
    return std::max(kThreshold, int(kNoiseSpreads * spread + 0.5));
}

void SharpenRows(const DofImage& smoothed, const DofImage& image, int threshold, int first,
                 int last)
{
    for (int y = first; y < last; ++y) {
        const unsigned char* s = smoothed.data + size_t(y) * smoothed.step;
        unsigned char* d = image.data + size_t(y) * image.step;
        for (int i = 0; i < 3 * image.width; ++i) {
            const int diff = int(d[i]) - int(s[i]);
            if (diff > threshold || diff < -threshold) {
                const int v = int(d[i]) + (diff * kAmountPercent + (diff > 0 ? 50 : -50)) / 100;
                d[i] = (unsigned char)(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        }
    }
}

}  // namespace dofcore
