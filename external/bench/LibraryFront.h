// The camera-library behaviour behind the stand-in DLLs: one front per library, each
// seeing the bench's cameras of its library. The DLLs' exports forward here
// (LibraryCalls.h), so both libraries behave alike where their calls agree.
#pragma once

#include "Bench.h"
#include "FrameRecords.h"
#include "LibraryCalls.h"

namespace orvbench {

class LibraryFront
{
public:
    explicit LibraryFront(int library) : m_library(library) {}

#define ORV_DECLARE_CALL(result, name, params, call) result name params;
    ORV_COMMON_CALLS(ORV_DECLARE_CALL)
    ORV_ZEDODIR_CALLS(ORV_DECLARE_CALL)
#undef ORV_DECLARE_CALL
    int SetDisplayHWND(HWND window, const char* dev);

private:
    int m_library;
};

LibraryFront& Front(int library);

}  // namespace orvbench
