// The HDR merge over OpenCV, on encoded files in memory. No Win32 header.
#pragma once
#include <stdint.h>
#include <string>
#include <vector>

namespace hdr_merge {

enum Result { MERGE_FAILED = 0, MERGE_OK = 1, MERGE_SIZE_MISMATCH = -1 };

// Decodes three pictures as 3-channel 8-bit images; their per-pixel mean in YUV,
// converted back and clamped to 0..255, goes into out, encoded like extension
// (".jpg", ".png", ...).
int MergeThree(const std::vector<uint8_t>* inputs[3], const std::string& extension,
               std::vector<uint8_t>& out);

}  // namespace hdr_merge
