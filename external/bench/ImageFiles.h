// Picture files the camera libraries write (native side: libjpeg and libtiff live
// here, so no Win32 header). Paths are Unix paths; results are true on success.
#pragma once

#include "FrameRecords.h"

#include <stdint.h>

namespace orvbench {

// Library file-format codes of SetImageFormat.
static const int kFormatRaw = 1;
static const int kFormatTiff = 2;
static const int kFormatJpeg = 8;
static const int kFormatBmp = 16;

// Writes a decoded image (pixels at headerSize behind the record) in a format.
// BMP and JPEG hold 8 bits per sample (16-bit samples keep their high byte); TIFF
// keeps 16-bit samples; RAW is the pixel bytes as they are.
bool WriteImageFile(const char* unixPath, const ImageRecord& image, int format, int quality);
// Writes bytes as they are (a raw frame).
bool WriteBytes(const char* unixPath, const void* data, uint32_t size);

}  // namespace orvbench
