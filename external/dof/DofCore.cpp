#include "DofCore.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace dofcore {

namespace {

// The unsharp mask: image + kAmountPercent % of (image - smoothed) where the two differ by more
// than kThreshold levels; smaller differences are mostly sensor noise, which sharpening
// would only raise.
const int kAmountPercent = 25;
const int kThreshold = 6;
// The Laplacian's energy is averaged over a Gaussian window of this size; large enough
// that a per-pixel choice between planes follows regions, not single noisy pixels.
const int kWindow = 9;
const double kWindowSigma = 2.0;

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
    cv::Mat grey;
    cv::cvtColor(bgr, grey, cv::COLOR_BGR2GRAY);
    cv::Mat lap;
    cv::Laplacian(grey, lap, CV_32F, 1, 1.0, 0.0, cv::BORDER_REFLECT101);
    cv::Mat energy = lap.mul(lap);
    cv::GaussianBlur(energy, energy, cv::Size(kWindow, kWindow), kWindowSigma, kWindowSigma,
                     cv::BORDER_REFLECT101);
    for (int y = first; y < last; ++y) {
        const float* from = energy.ptr<float>(y - top);
        float* to = reinterpret_cast<float*>(reinterpret_cast<unsigned char*>(focus.data)
                                             + size_t(y) * focus.step);
        std::copy(from, from + image.width, to);
    }
}

void SharpenRows(const DofImage& smoothed, const DofImage& image, int first, int last)
{
    for (int y = first; y < last; ++y) {
        const unsigned char* s = smoothed.data + size_t(y) * smoothed.step;
        unsigned char* d = image.data + size_t(y) * image.step;
        for (int i = 0; i < 3 * image.width; ++i) {
            const int diff = int(d[i]) - int(s[i]);
            if (diff > kThreshold || diff < -kThreshold) {
                const int v = int(d[i]) + (diff * kAmountPercent + (diff > 0 ? 50 : -50)) / 100;
                d[i] = (unsigned char)(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        }
    }
}

}  // namespace dofcore
