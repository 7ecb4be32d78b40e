// ZuzIrazo camera library: the calls shared with ZedOdir plus its own, all with the
// prefix "Hd" (list in external/bench/LibraryCalls.h), and the frame and image
// records (external/bench/FrameRecords.h). The per-device calls take the device name last.
#pragma once

#include "external/bench/FrameRecords.h"
#include "external/bench/LibraryCalls.h"

#define ORV_ZUZIRAZO_DECLARE(result, name, params, call) extern "C" result WINAPI Hd##name params;
ORV_COMMON_CALLS(ORV_ZUZIRAZO_DECLARE)
ORV_ZUZIRAZO_CALLS(ORV_ZUZIRAZO_DECLARE)
#undef ORV_ZUZIRAZO_DECLARE
