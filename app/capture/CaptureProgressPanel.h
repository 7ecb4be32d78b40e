// Capture progress panel (placeholder).
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/capture/CaptureProgressPanelIds.h"

// From the Capture page: a shot was saved, and the capture ended (wParam 0, lParam 0).
const UINT WM_CAPTURE_PROGRESS_SAVED = 0xB06;
const UINT WM_CAPTURE_PROGRESS_END = 0xB07;

class CCaptureProgressPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CCaptureProgressPanel)
public:
    explicit CCaptureProgressPanel(CWnd* pParent = NULL);
    virtual ~CCaptureProgressPanel();
    enum { IDD = IDD_CAPTURE_PROGRESS_PANEL };

protected:
    afx_msg LRESULT OnProgressSaved(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnProgressEnd(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
