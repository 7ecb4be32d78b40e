// Line approach library: moves a roughly drawn line onto the strongest straight edge
// near it.
//
// Image: the bits of a device-independent bitmap, rows bottom-up and each padded to a
// multiple of 4 bytes; bitsPerSample 8 or up to 16 (16-bit samples little-endian, one
// or three samples per pixel as bytesPerPixel says). Line and result points are in
// image pixels with y growing downwards (the top row is y = 0).
//
// Tuning, as the camera library passes it: band (pixels either side of the rough line
// searched for an edge), cannyLow/cannyHigh (edge thresholds), aperture (gradient
// kernel size), rho/theta (line search steps in pixels and radians), minLength (the
// shortest edge accepted, in pixels).
//
// Returns 1 and the ends of the rough line projected onto the edge; 0 when no edge
// was found or the input is unusable, and then both result points are (-1, -1), which
// lies outside every image.
#pragma once
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

int WINAPI LineApproachShell(const BYTE* pixels, int width, int height, int bitsPerSample,
                             int bytesPerPixel, int x1, int y1, int x2, int y2,
                             POINT* out1, POINT* out2, int band, double cannyLow,
                             double cannyHigh, int aperture, double rho, double theta,
                             int minLength);

#ifdef __cplusplus
}
#endif
