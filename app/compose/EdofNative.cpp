#include "app/compose/EdofNative.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>

void TakeSharperPixels(uint8_t* running, float* runningFocus, const uint8_t* candidate,
                       const float* candidateFocus, int width, int height, int stride)
{
    for (int y = 0; y < height; ++y) {
        uint8_t* a = running + size_t(y) * stride;
        const uint8_t* b = candidate + size_t(y) * stride;
        float* f = runningFocus + size_t(y) * width;
        const float* g = candidateFocus + size_t(y) * width;
        for (int x = 0; x < width; ++x) {
            if (std::fabs(f[x]) <= std::fabs(g[x])) {
                a[3 * x] = b[3 * x];
                a[3 * x + 1] = b[3 * x + 1];
                a[3 * x + 2] = b[3 * x + 2];
                f[x] = g[x];
            }
        }
    }
}

void SmoothForSharpening(const uint8_t* src, uint8_t* dst, int width, int height, int stride)
{
    cv::setNumThreads(0);
    cv::Mat in(height, width, CV_8UC3, const_cast<uint8_t*>(src), size_t(stride));
    cv::Mat out(height, width, CV_8UC3, dst, size_t(stride));
    cv::GaussianBlur(in, out, cv::Size(3, 3), 0, 0, cv::BORDER_REFLECT101);
}
