#include "app/capture/PlaceholderImageNative.h"
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

bool EncodeBlankGreyJpeg(int width, int height, std::vector<unsigned char>* jpeg)
{
    if (width <= 0 || height <= 0 || jpeg == nullptr) return false;
    try {
        cv::Mat blank(height, width, CV_8UC1, cv::Scalar(0));
        return cv::imencode(".jpg", blank, *jpeg);
    } catch (const cv::Exception&) {
        return false;
    }
}
