// Reduced-size JPEG decoding for thumbnails: libjpeg scales by n/8 while it decodes,
// so a photo of many megapixels costs about as much as its thumbnail needs.  No Win32
// header here or in the implementation.
#pragma once
#include <stddef.h>
#include <vector>

namespace thumb_decode {

// Decodes a grey or colour JPEG at the smallest n/8 scale whose output is at least
// minWidth x minHeight (the natural size when the picture is smaller).  Rows are
// top-down, packed, 3 bytes each pixel in B, G, R order.  false for CMYK pictures,
// broken data or sizes past maxPixels; the caller then takes the general loader.
bool DecodeJpegReduced(const unsigned char* data, size_t size, int minWidth, int minHeight,
                       size_t maxPixels, std::vector<unsigned char>& bgr, int& width, int& height);

}  // namespace thumb_decode
