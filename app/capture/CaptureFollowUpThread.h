// The collector of a timed still series: takes each saved file's name from the capture
// panel's queue and adds the file to the thumbnail strip, half a second apart.
#pragma once

// Started with _beginthread on the capture panel (CCapturePanel*).  It runs until the
// expected number of files was added, the panel's queue is closed and empty, or the
// series stop flag is set; it reports to the panel only by posting WM_SERIES_PROGRESS.
void CaptureFollowUpThread(void* panel);
