// The calls both outside camera libraries offer, as a table of entry points: the
// ZedOdir table and the ZuzIrazo ("Hd") table. CCoreCameraA works through a table, so
// CMinorCamera mirrors it operation by operation over the other library.
#pragma once

#include "external/bench/LibraryCalls.h"

struct CameraLibrary {
#define ORV_CALL_POINTER(result, name, params, call) result (WINAPI* name) params;
    ORV_COMMON_CALLS(ORV_CALL_POINTER)
#undef ORV_CALL_POINTER
    int (WINAPI* GetWhiteBalance)(BYTE* state, const char* dev);
};

extern const CameraLibrary kZedOdirLibrary;
extern const CameraLibrary kZuzIrazoLibrary;
