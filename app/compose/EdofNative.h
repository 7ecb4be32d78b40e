// Pixel steps of the depth-of-field merge over plain buffers (no Win32 header).
#pragma once

#include <stdint.h>

// Where |candidate focus| >= |running focus| (ties go to the candidate, the later
// plane), takes the candidate's pixel (3 bytes) and its focus value. Rows are
// `stride` bytes apart in both pictures; focus values are width x height floats.
void TakeSharperPixels(uint8_t* running, float* runningFocus, const uint8_t* candidate,
                       const float* candidateFocus, int width, int height, int stride);

// A 3 x 3 Gaussian smoothing of a 3-channel picture into dst (same layout), the copy
// the unsharp mask sharpens against.
void SmoothForSharpening(const uint8_t* src, uint8_t* dst, int width, int height, int stride);
