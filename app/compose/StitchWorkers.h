// Stitching workers: the composition dialog's and the image adjust panel's.
//
// Each start gathers its inputs on the GUI thread into a heap StitchJob that the worker
// owns and deletes: nothing the worker reads belongs to a window. Paths are full and
// handed to the stitcher as UTF-8, so neither their length nor their characters limit
// them, and no later change of the current folder can move a result.
#pragma once

#include "afxwin.h"

#include <string>
#include <vector>

struct StitchJob
{
    HWND notify = nullptr;            // gets WM_STITCH_DONE
    std::vector<std::string> inputs;  // UTF-8 full paths, in the user's order
    CString output;                   // full path of the result
};

// The composition dialog's worker: stitches the job and posts WM_STITCH_DONE (1 when the
// result was written, else 0) to the job's window; deletes the job.
void StitchThread(void* job);
// The adjust panel's worker: the same, and records the result's path for
// GetStitchResultPath before it posts.
void StitchFromAdjustPanelThread(void* job);

// The adjust panel's stitching: a multi-selection open-file dialog (owned by *owner,
// starting in folder when given); with 2 to 30 files chosen, starts the worker on them
// with the result "圖像拼接" + the last file's extension, made unique, in their folder.
// 1 when a worker started; 0 when cancelled, for too few or too many files, or while
// the previous adjust-panel stitch still runs.
int StitchSelectedFiles(HWND* owner, HWND notify);
int StartStitchFromFiles(const CString& folder, HWND receiver);
// The same without the dialog: the files as the dialog would return them.
int StartAdjustPanelStitch(const std::vector<CString>& files, HWND notify);
// Whether an adjust-panel stitch is running.
bool AdjustPanelStitchRunning();
// The path of the last finished adjust-panel stitch.
void GetStitchResultPath(CString& path);
