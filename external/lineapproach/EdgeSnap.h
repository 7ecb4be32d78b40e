// The OpenCV side of the line approach: plain types only, no Win32 header.
#pragma once

struct EdgeSnapImage
{
    const unsigned char* pixels;   // bottom-up rows padded to 4 bytes
    int width;
    int height;
    int bitsPerSample;
    int bytesPerPixel;
};

struct EdgeSnapParams
{
    int band;
    double cannyLow;
    double cannyHigh;
    int aperture;
    double rho;
    double theta;
    int minLength;
};

// line: x1, y1, x2, y2 (top-down image pixels). On success writes the snapped ends into
// out (same order) and returns 1; returns 0 otherwise and leaves out alone.
int EdgeSnapLine(const EdgeSnapImage& image, const EdgeSnapParams& params,
                 const double line[4], double out[4]);
