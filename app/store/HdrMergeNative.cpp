#include "app/store/HdrMerge.h"

#include <opencv2/core.hpp>

#include <cmath>

namespace hdr_merge {

namespace {

cv::Mat View(const Picture& p)
{
    return cv::Mat(p.height, p.width, CV_8UC3, p.data, size_t(p.stride));
}

}  // namespace

int MergeThree(const Picture inputs[3], const Picture& out)
{
    cv::Mat images[3];
    for (int i = 0; i < 3; ++i) {
        if (inputs[i].data == nullptr || inputs[i].width <= 0 || inputs[i].height <= 0
            || inputs[i].stride < 3 * inputs[i].width)
            return MERGE_FAILED;
        images[i] = View(inputs[i]);
    }
    if (images[1].size() != images[0].size() || images[2].size() != images[0].size())
        return MERGE_SIZE_MISMATCH;
    if (out.data == nullptr || out.width != inputs[0].width || out.height != inputs[0].height
        || out.stride < 3 * out.width)
        return MERGE_FAILED;
    cv::Mat output = View(out);
    const int h = output.rows, w = output.cols;
    for (int y = 0; y < h; ++y) {
        uint8_t* d = output.ptr<uint8_t>(y);
        const uint8_t* s[3] = {images[0].ptr<uint8_t>(y), images[1].ptr<uint8_t>(y), images[2].ptr<uint8_t>(y)};
        for (int x = 0; x < w; ++x) {
            double Y = 0, U = 0, V = 0;
            for (int i = 0; i < 3; ++i) {
                // The coefficients are for red, green, blue; the decoded bytes are blue first.
                const double c0 = s[i][3 * x + 2], c1 = s[i][3 * x + 1], c2 = s[i][3 * x];
                Y += 0.299 * c0 + 0.587 * c1 + 0.114 * c2;
                U += 0.436 * c2 - (0.289 * c1 + 0.147 * c0);
                V += 0.615 * c0 - 0.515 * c1 - 0.1 * c2;
            }
            Y *= 0.3333333333333333;
            U *= 0.3333333333333333;
            V *= 0.3333333333333333;
            // The back-conversion is no exact inverse (within half a level): rounding to
            // the nearest level, not truncating, gives identical inputs back unchanged.
            // It overshoots a little near black and white.
            const int c[3] = {(int)std::lround(Y + 2.03 * U), (int)std::lround(Y - 0.39 * U - 0.58 * V),
                              (int)std::lround(Y + 1.14 * V)};
            for (int k = 0; k < 3; ++k)
                d[3 * x + k] = (uint8_t)(c[k] < 0 ? 0 : (c[k] > 255 ? 255 : c[k]));
        }
    }
    return MERGE_OK;
}

}  // namespace hdr_merge
