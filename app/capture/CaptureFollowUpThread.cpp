#include "app/capture/CaptureFollowUpThread.h"
#include "app/capture/CapturePanel.h"
#include "app/browse/ThumbnailListCtrl.h"

namespace {
const DWORD kPollMs = 10;
// Files reach the strip at most twice a second, however fast the camera saves them.
const DWORD kFilePauseMs = 500;
} // namespace

void CaptureFollowUpThread(void* param)
{
    CCapturePanel* panel = static_cast<CCapturePanel*>(param);
    const HWND hPanel = panel->m_hWnd;
    int processed = 0;
    while (panel->m_bSeriesRunning) {
        if (processed == panel->m_nExpected || panel->m_bSeriesStop) break;
        CString name;
        BOOL taken = FALSE;
        BOOL finished = FALSE;
        {
            CSingleLock lock(&panel->m_queueLock, TRUE);
            if (!panel->m_nameQueue.IsEmpty()) {
                name = panel->m_nameQueue.RemoveHead();
                taken = TRUE;
            } else {
                finished = panel->m_bQueueClosed;
            }
        }
        if (finished) break;
        if (!taken) {
            ::Sleep(kPollMs);
            continue;
        }
        // Not ShowWindow: that would wait for the user-interface thread.
        if (panel->m_hStripProgress != NULL) ::ShowWindowAsync(panel->m_hStripProgress, SW_SHOW);
        ::Sleep(kFilePauseMs);
        if (panel->m_pThumbList != NULL) panel->m_pThumbList->AddFile(name, 1);
        processed++;
        ::PostMessageW(hPanel, WM_SERIES_PROGRESS, (WPARAM)processed, 0);
    }
    panel->m_bSeriesStop = 1;
    panel->m_bSeriesRunning = 0;
    // From here on the panel may be gone: only the copies are used.
    ::SetEvent(panel->m_hSeriesDone);
    ::PostMessageW(hPanel, WM_SERIES_PROGRESS, (WPARAM)processed, SERIES_ENDED);
    _endthread();
}
