// CCaptureOverlay: the circle and cross marks the main program lays over captured
// stills (CaptureParam::Overlay). The main program fills it; the camera library scales
// it to the still's size and draws it. One definition, in the camera library.
#pragma once

#include "afxwin.h"

class CCaptureOverlay {
public:
    struct CrossMark {
        int horizontalLength = 0, verticalLength = 0;
        int horizontalX = 0, horizontalY = 0;   // centre of the horizontal line
        int verticalX = 0, verticalY = 0;       // centre of the vertical line
        int scaled[6] = {0, 0, 0, 0, 0, 0};     // the six values above, scaled
    };

    CCaptureOverlay();

    // Scales the circle and every mark by s (rounded to the nearest pixel).
    void SetScale(float s);
    // Draws the scaled overlay with its origin at `origin`; nothing when not visible.
    void Draw(CDC* dc, POINT origin) const;

    int radius, centerX, centerY;
    int scaledRadius, scaledCenterX, scaledCenterY;
    BOOL visible;
    float scale;
    LOGPEN pen;
    LOGBRUSH brush;
    CArray<CrossMark, const CrossMark&> marks;
};
