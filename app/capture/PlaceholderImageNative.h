// The blank picture that stands for the live frame while the camera runs: 8-bit grey,
// encoded as JPEG in memory.  Plain interface, no Win32 header (the imaging codecs behind it).
#pragma once
#include <vector>

// false when the size is not positive or the encoder fails.
bool EncodeBlankGreyJpeg(int width, int height, std::vector<unsigned char>* jpeg);
