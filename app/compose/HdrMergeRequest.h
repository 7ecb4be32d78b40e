// What the HDR merge hands to the image store: three inputs, in order, and the output.
#pragma once

#include "afxwin.h"

#include <vector>

struct HdrMergeRequest
{
    CString output;
    std::vector<CString> inputs;
};
