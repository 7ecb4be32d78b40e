#include "EdgeSnap.h"
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Luminance of the bitmap as a top-down 8-bit plane; 16-bit samples keep their high bits.
bool ToGray(const EdgeSnapImage& image, cv::Mat& gray)
{
    const int bytesPerSample = image.bitsPerSample > 8 ? 2 : 1;
    if (image.bitsPerSample < 1 || image.bitsPerSample > 16 || image.bytesPerPixel < bytesPerSample)
        return false;
    const int samples = std::min(image.bytesPerPixel / bytesPerSample, 3);
    const int shift = image.bitsPerSample > 8 ? image.bitsPerSample - 8 : 0;
    const size_t stride = ((size_t)image.width * image.bytesPerPixel + 3) & ~(size_t)3;

    gray.create(image.height, image.width, CV_8U);
    for (int y = 0; y < image.height; ++y)
    {
        const unsigned char* row = image.pixels + (size_t)(image.height - 1 - y) * stride;
        unsigned char* dst = gray.ptr<unsigned char>(y);
        for (int x = 0; x < image.width; ++x)
        {
            const unsigned char* px = row + (size_t)x * image.bytesPerPixel;
            int sum = 0;
            for (int s = 0; s < samples; ++s)
            {
                int v = bytesPerSample == 2 ? (px[2 * s] | (px[2 * s + 1] << 8)) >> shift : px[s];
                sum += std::min(v, 255);
            }
            dst[x] = (unsigned char)(sum / samples);
        }
    }
    return true;
}

double DistanceToSegment(double px, double py, const double l[4])
{
    const double dx = l[2] - l[0], dy = l[3] - l[1];
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - l[0]) * dx + (py - l[1]) * dy) / len2 : 0.0;
    t = std::max(0.0, std::min(1.0, t));
    return std::hypot(px - (l[0] + t * dx), py - (l[1] + t * dy));
}

// Angle between two directions, folded into 0..pi/2 (a line has no orientation).
double AngleBetween(double ax, double ay, double bx, double by)
{
    double d = std::fabs(std::atan2(ay, ax) - std::atan2(by, bx));
    d = std::fmod(d, CV_PI);
    return std::min(d, CV_PI - d);
}

} // namespace

int EdgeSnapLine(const EdgeSnapImage& image, const EdgeSnapParams& params,
                 const double line[4], double out[4])
{
    if (!image.pixels || image.width <= 0 || image.height <= 0 || params.band < 1)
        return 0;
    const double dx = line[2] - line[0], dy = line[3] - line[1];
    const double length = std::hypot(dx, dy);
    if (length < 2.0)
        return 0;

    cv::Mat gray;
    if (!ToGray(image, gray))
        return 0;

    // Only the band around the rough line is searched.
    const int band = params.band;
    const int left = std::max(0, (int)std::floor(std::min(line[0], line[2])) - band);
    const int top = std::max(0, (int)std::floor(std::min(line[1], line[3])) - band);
    const int right = std::min(image.width, (int)std::ceil(std::max(line[0], line[2])) + band + 1);
    const int bottom = std::min(image.height, (int)std::ceil(std::max(line[1], line[3])) + band + 1);
    if (right - left < 3 || bottom - top < 3)
        return 0;
    const cv::Rect roi(left, top, right - left, bottom - top);

    int aperture = params.aperture;
    if (aperture != 3 && aperture != 5 && aperture != 7)
        aperture = 3;
    cv::Mat smooth, edges;
    cv::GaussianBlur(gray(roi), smooth, cv::Size(3, 3), 0);
    cv::Canny(smooth, edges, params.cannyLow, params.cannyHigh, aperture);

    const double local[4] = { line[0] - left, line[1] - top, line[2] - left, line[3] - top };
    std::vector<cv::Point2f> edgePoints;
    for (int y = 0; y < edges.rows; ++y)
    {
        unsigned char* row = edges.ptr<unsigned char>(y);
        for (int x = 0; x < edges.cols; ++x)
        {
            if (!row[x])
                continue;
            if (DistanceToSegment(x, y, local) > band)
                row[x] = 0;
            else
                edgePoints.emplace_back((float)x, (float)y);
        }
    }
    if (edgePoints.empty())
        return 0;

    const double rho = params.rho > 0 ? params.rho : 1.0;
    const double theta = params.theta > 0 ? params.theta : CV_PI / 180.0;
    const int minLength = std::max(params.minLength, 2);
    std::vector<cv::Vec4i> segments;
    cv::HoughLinesP(edges, segments, rho, theta, minLength, minLength, 3);

    // The strongest edge: the longest stretch, measured along the rough line, of a
    // segment lying nearly parallel to it.
    const double maxTilt = std::max(5.0 * theta, 10.0 * CV_PI / 180.0);
    const double ux = dx / length, uy = dy / length;
    double bestCover = 0;
    cv::Vec4i best;
    for (const cv::Vec4i& s : segments)
    {
        const double sx = s[2] - s[0], sy = s[3] - s[1];
        if (AngleBetween(sx, sy, dx, dy) > maxTilt)
            continue;
        const double cover = std::fabs(sx * ux + sy * uy);
        if (cover > bestCover)
        {
            bestCover = cover;
            best = s;
        }
    }
    if (bestCover <= 0)
        return 0;

    // Refine with every edge pixel on that segment's line; the segment alone is only as
    // straight as the angle step allows.
    const double bx = best[2] - best[0], by = best[3] - best[1];
    const double blen = std::hypot(bx, by);
    std::vector<cv::Point2f> onEdge;
    for (const cv::Point2f& p : edgePoints)
    {
        const double off = std::fabs((p.x - best[0]) * by - (p.y - best[1]) * bx) / blen;
        if (off <= 2.0)
            onEdge.push_back(p);
    }
    if ((int)onEdge.size() < 2)
        return 0;
    cv::Vec4f fit;
    cv::fitLine(onEdge, fit, cv::DIST_HUBER, 0, 0.01, 0.01);
    const double fx = fit[0], fy = fit[1], ox = fit[2] + left, oy = fit[3] + top;

    for (int end = 0; end < 2; ++end)
    {
        const double px = line[2 * end], py = line[2 * end + 1];
        const double t = (px - ox) * fx + (py - oy) * fy;
        out[2 * end] = ox + t * fx;
        out[2 * end + 1] = oy + t * fy;
    }
    return 1;
}
