// The HDR merge over OpenCV, on decoded pictures. No Win32 header.
#pragma once
#include <stdint.h>
#include <string>
#include <vector>

namespace hdr_merge {

enum Result { MERGE_FAILED = 0, MERGE_OK = 1, MERGE_SIZE_MISMATCH = -1 };

// 8-bit blue, green, red pixels, rows `stride` bytes apart.
struct Picture
{
    uint8_t* data;
    int width, height, stride;
};

// The three pictures' per-pixel mean in YUV, converted back and clamped to 0..255,
// goes into out (a picture of the same size; it may be one of the inputs).
int MergeThree(const Picture inputs[3], const Picture& out);

}  // namespace hdr_merge
