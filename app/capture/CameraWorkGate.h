// Long camera-library work on a worker thread (a parameter team loaded or saved, which
// may open the camera again) against the GUI thread's own timed calls into the library.
// While such work runs, a timer that would call the library leaves its timer armed and
// tries again on its next tick, so it never reaches a camera that is being reopened.
// GUI thread only: the work is begun before its worker starts and ended when the
// worker's done message arrives.
#pragma once
#include "afxwin.h"

void BeginCameraWork();
void EndCameraWork();
BOOL CameraWorkRunning();
