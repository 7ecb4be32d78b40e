// Messages of the composition workers and windows (all posted).
#pragma once

#include <windows.h>

// To the composition dialog and the image adjust panel: a stitch ended,
// wParam 1 done, 0 failed.
const UINT WM_STITCH_DONE = 0x920;
// To the composition dialog from the depth-of-field worker.
const UINT WM_FUSION_PROGRESS = 0x921;
const WPARAM FUSION_FAILED = 0;
const WPARAM FUSION_DONE = 1;
const WPARAM FUSION_STEP = 2;   // one more input merged
// To the image adjust panel: the user pressed OK in the stitch progress window.
const UINT WM_STITCH_PROGRESS_CLOSED = 0x930;
