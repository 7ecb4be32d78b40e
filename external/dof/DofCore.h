// The OpenCV side of the depth-of-field library: plain types only, no Win32 header.
// Each call handles the rows [first, last) of a picture whose arguments the caller has
// checked, so row bands can run at once.
#pragma once

#include "DoFDll.h"

namespace dofcore {

// Rows of neighbours either side that a band of the focus measure reads.
const int kFocusReach = 48;

void FocusRows(const DofImage& image, const DofMatrix& focus, int first, int last);
// The least difference from the smoothed copy that the mask sharpens, for the whole
// picture: above the picture's own noise.
int SharpenThreshold(const DofImage& smoothed, const DofImage& image);
void SharpenRows(const DofImage& smoothed, const DofImage& image, int threshold, int first,
                 int last);
// OpenCV keeps to the caller's thread (no pool of its own).
void KeepOpenCvSingleThreaded();

}  // namespace dofcore
