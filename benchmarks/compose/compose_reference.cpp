// Native reference runs for the composition benchmark (built with the system compiler,
// not under Wine), each timed end to end from files to file:
//   compose_reference stitch <confidence|default> <out> <tile>...
//       OpenCV's stitcher in scan mode; prints "seconds <s> cpu <processor seconds>
//       kept <n> status <code>"
//   compose_reference mertens <out> <exposure>...
//       OpenCV's exposure fusion with decode and encode; prints "seconds <s>"
//   compose_reference measure <picture> <truth>
//       prints "sharpness <mean squared luminance Laplacian, 16-pixel border left out>
//       error <mean absolute difference from the truth per sample> rms <root mean square
//       difference> detail <share of the truth's luminance Laplacian the picture holds>"
//   compose_reference bestplane <truth> <plane>...
//       the plane nearest the truth: prints "rms <root mean square difference> plane <n>
//       detail <as above>"
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>
#include <opencv2/stitching.hpp>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

struct Measures
{
    double sharpness = 0, error = 0, rms = 0, detail = 0;
};

// The 16-pixel border is left out of the Laplacian figures.
static cv::Mat Laplacian(const cv::Mat& bgr)
{
    cv::Mat grey, lap;
    cv::cvtColor(bgr, grey, cv::COLOR_BGR2GRAY);
    cv::Laplacian(grey, lap, CV_64F);
    return lap(cv::Rect(16, 16, lap.cols - 32, lap.rows - 32)).clone();
}

static bool Measure(const char* picturePath, const char* truthPath, Measures* m)
{
    cv::Mat picture = cv::imread(picturePath, cv::IMREAD_COLOR);
    cv::Mat truth = cv::imread(truthPath, cv::IMREAD_COLOR);
    if (picture.empty() || truth.empty() || picture.size() != truth.size())
        return false;
    cv::Mat lap = Laplacian(picture), truthLap = Laplacian(truth);
    m->sharpness = lap.dot(lap) / double(lap.total());
    // Noise does not correlate with the truth's detail, so unlike the raw energy this
    // share rewards real detail only: 1 all of it, less where it was lost.
    m->detail = lap.dot(truthLap) / std::max(1e-9, truthLap.dot(truthLap));
    cv::Mat diff;
    cv::absdiff(picture, truth, diff);
    cv::Scalar mean = cv::mean(diff);
    m->error = (mean[0] + mean[1] + mean[2]) / 3;
    cv::Mat d;
    diff.convertTo(d, CV_64F);
    m->rms = std::sqrt(d.dot(d) / double(d.total() * d.channels()));
    return true;
}

static double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int main(int argc, char** argv)
{
    if (argc >= 5 && std::string(argv[1]) == "stitch") {
        auto start = std::chrono::steady_clock::now();
        const std::clock_t startCpu = std::clock();
        std::vector<cv::Mat> tiles;
        for (int i = 4; i < argc; ++i)
            tiles.push_back(cv::imread(argv[i], cv::IMREAD_COLOR));
        cv::Ptr<cv::Stitcher> stitcher = cv::Stitcher::create(cv::Stitcher::SCANS);
        if (std::string(argv[2]) != "default")
            stitcher->setPanoConfidenceThresh(std::atof(argv[2]));
        cv::Mat pano;
        cv::Stitcher::Status status = stitcher->stitch(tiles, pano);
        if (status == cv::Stitcher::OK)
            cv::imwrite(argv[3], pano);
        std::printf("seconds %.3f cpu %.3f kept %d status %d\n", Seconds(start),
                    double(std::clock() - startCpu) / CLOCKS_PER_SEC,
                    status == cv::Stitcher::OK ? int(stitcher->component().size()) : 0, int(status));
        return 0;
    }
    if (argc >= 4 && std::string(argv[1]) == "mertens") {
        auto start = std::chrono::steady_clock::now();
        std::vector<cv::Mat> exposures;
        for (int i = 3; i < argc; ++i)
            exposures.push_back(cv::imread(argv[i], cv::IMREAD_COLOR));
        cv::Mat fused, out;
        cv::createMergeMertens()->process(exposures, fused);
        fused.convertTo(out, CV_8UC3, 255.0);
        cv::imwrite(argv[2], out);
        std::printf("seconds %.3f\n", Seconds(start));
        return 0;
    }
    if (argc == 4 && std::string(argv[1]) == "measure") {
        Measures m;
        if (!Measure(argv[2], argv[3], &m)) {
            std::printf("sharpness 0 error -1 rms -1 detail 0\n");
            return 1;
        }
        std::printf("sharpness %.2f error %.3f rms %.3f detail %.3f\n", m.sharpness, m.error, m.rms, m.detail);
        return 0;
    }
    if (argc >= 4 && std::string(argv[1]) == "bestplane") {
        Measures best;
        int which = -1;
        for (int i = 3; i < argc; ++i) {
            Measures m;
            if (Measure(argv[i], argv[2], &m) && (which < 0 || m.rms < best.rms)) {
                best = m;
                which = i - 3;
            }
        }
        std::printf("rms %.3f plane %d detail %.3f\n", which < 0 ? -1.0 : best.rms, which, best.detail);
        return which < 0;
    }
    std::fprintf(stderr, "usage: compose_reference stitch <confidence|default> <out> <tile>...\n"
                         "       compose_reference mertens <out> <exposure>...\n"
                         "       compose_reference measure <picture> <truth>\n"
                         "       compose_reference bestplane <truth> <plane>...\n");
    return 2;
}
