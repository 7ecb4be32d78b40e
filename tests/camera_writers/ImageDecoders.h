// Reading back what the writers wrote, with the codec libraries themselves. No Win32
// header here: the test files hand over Unix paths.
#pragma once

#include <vector>

struct DecodedImage {
    int width = 0;
    int height = 0;
    int bitsPerSample = 0;
    int samplesPerPixel = 0;
    int sampleFormat = 0;  // TIFF only
    int photometric = 0;   // TIFF only
    std::vector<unsigned char> pixels;  // top-down rows of R,G,B samples, host order
};

bool DecodeJpegFile(const char* unixPath, DecodedImage& image);
int CountTiffPages(const char* unixPath);
bool DecodeTiffPage(const char* unixPath, int page, DecodedImage& image);
