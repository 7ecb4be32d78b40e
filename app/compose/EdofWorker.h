// The depth-of-field worker: merges focal planes into one sharp picture.
#pragma once

#include "afxwin.h"

#include <vector>

// The JPEG quality of a depth-of-field result saved as JPEG.
const int kEdofJpegQuality = 95;

// Gathered on the GUI thread; the worker owns and deletes it.
struct EdofJob
{
    HWND notify = nullptr;         // gets WM_FUSION_PROGRESS
    std::vector<CString> inputs;   // full paths in merge-list order, all of one size
    CString output;                // full path of the result (the first input's type)
};

// Posts WM_FUSION_PROGRESS: FUSION_STEP after each further plane, then FUSION_DONE once
// the result is saved whole, or FUSION_FAILED (no inputs, an input that cannot be read
// at its turn or has another size, a result that cannot be saved; no file is left).
void EdofThread(void* job);

// folder + "\EDoF_P" + stamp + the first input's extension, made unique.
CString EdofResultPath(const CString& folder, const CString& firstName);
