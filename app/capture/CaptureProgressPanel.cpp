#include "app/capture/CaptureProgressPanel.h"

IMPLEMENT_DYNAMIC(CCaptureProgressPanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CCaptureProgressPanel, CPanelDialog)
    ON_MESSAGE(WM_CAPTURE_PROGRESS_SAVED, OnProgressSaved)
    ON_MESSAGE(WM_CAPTURE_PROGRESS_END, OnProgressEnd)
END_MESSAGE_MAP()

CCaptureProgressPanel::CCaptureProgressPanel(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CCaptureProgressPanel::~CCaptureProgressPanel() {}

LRESULT CCaptureProgressPanel::OnProgressSaved(WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    return 0;
}

LRESULT CCaptureProgressPanel::OnProgressEnd(WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    return 0;
}
