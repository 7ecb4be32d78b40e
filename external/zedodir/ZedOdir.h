// ZedOdir camera library: the calls as the camera library's devices use them (list in
// external/bench/LibraryCalls.h), and the frame and image records they exchange
// (external/bench/FrameRecords.h). The per-device calls take the device name last.
#pragma once

#include "external/bench/FrameRecords.h"
#include "external/bench/LibraryCalls.h"

#define ORV_ZEDODIR_DECLARE(result, name, params, call) extern "C" result WINAPI name params;
ORV_COMMON_CALLS(ORV_ZEDODIR_DECLARE)
ORV_ZEDODIR_CALLS(ORV_ZEDODIR_DECLARE)
#undef ORV_ZEDODIR_DECLARE

// SetImageFormat codes.
#define ZEDODIR_FORMAT_RAW 1
#define ZEDODIR_FORMAT_TIFF 2
#define ZEDODIR_FORMAT_JPEG 8
#define ZEDODIR_FORMAT_BMP 16

// GetRawData answers.
#define ZEDODIR_FRAME 0
#define ZEDODIR_FRAME_TOO 1
#define ZEDODIR_NO_FRAME 2
#define ZEDODIR_OVEREXPOSED 3
#define ZEDODIR_NOTICE 5
#define ZEDODIR_DEVICE_ERROR (-5)
