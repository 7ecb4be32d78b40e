#include "LineApproachShell.h"
#include "EdgeSnap.h"
#include <cmath>

extern "C" int WINAPI LineApproachShell(const BYTE* pixels, int width, int height,
                                        int bitsPerSample, int bytesPerPixel, int x1, int y1,
                                        int x2, int y2, POINT* out1, POINT* out2, int band,
                                        double cannyLow, double cannyHigh, int aperture,
                                        double rho, double theta, int minLength)
{
    if (!out1 || !out2)
        return 0;
    out1->x = out1->y = out2->x = out2->y = -1;

    EdgeSnapImage image = { pixels, width, height, bitsPerSample, bytesPerPixel };
    EdgeSnapParams params = { band, cannyLow, cannyHigh, aperture, rho, theta, minLength };
    const double line[4] = { (double)x1, (double)y1, (double)x2, (double)y2 };
    double snapped[4];
    if (!EdgeSnapLine(image, params, line, snapped))
        return 0;
    out1->x = lround(snapped[0]);
    out1->y = lround(snapped[1]);
    out2->x = lround(snapped[2]);
    out2->y = lround(snapped[3]);
    return 1;
}
