// Native reference runs for the composition benchmark (built with the system compiler,
// not under Wine), each timed end to end from files to file:
//   compose_reference stitch <confidence|default> <out> <tile>...
//       OpenCV's stitcher in scan mode; prints "seconds <s> kept <n>"
//   compose_reference mertens <out> <exposure>...
//       OpenCV's exposure fusion with decode and encode; prints "seconds <s>"
//   compose_reference measure <picture> <truth>
//       prints "sharpness <mean squared luminance Laplacian, 16-pixel border left out>
//       error <mean absolute difference from the truth per sample>"
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>
#include <opencv2/stitching.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

static double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int main(int argc, char** argv)
{
    if (argc >= 5 && std::string(argv[1]) == "stitch") {
        auto start = std::chrono::steady_clock::now();
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
        std::printf("seconds %.3f kept %d status %d\n", Seconds(start),
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
        cv::Mat picture = cv::imread(argv[2], cv::IMREAD_COLOR);
        cv::Mat truth = cv::imread(argv[3], cv::IMREAD_COLOR);
        if (picture.empty() || truth.empty() || picture.size() != truth.size()) {
            std::printf("sharpness 0 error -1\n");
            return 1;
        }
        cv::Mat grey, lap;
        cv::cvtColor(picture, grey, cv::COLOR_BGR2GRAY);
        cv::Laplacian(grey, lap, CV_64F);
        cv::Rect inner(16, 16, lap.cols - 32, lap.rows - 32);
        cv::Mat core = lap(inner);
        double sharpness = core.dot(core) / double(core.total());
        cv::Mat diff;
        cv::absdiff(picture, truth, diff);
        cv::Scalar m = cv::mean(diff);
        std::printf("sharpness %.2f error %.3f\n", sharpness, (m[0] + m[1] + m[2]) / 3);
        return 0;
    }
    std::fprintf(stderr, "usage: compose_reference stitch <confidence|default> <out> <tile>...\n"
                         "       compose_reference mertens <out> <exposure>...\n"
                         "       compose_reference measure <picture> <truth>\n");
    return 2;
}
