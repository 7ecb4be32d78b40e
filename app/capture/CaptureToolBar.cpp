#include "app/capture/CaptureToolBar.h"

IMPLEMENT_DYNAMIC(CCaptureToolBar, CDialog)

BEGIN_MESSAGE_MAP(CCaptureToolBar, CDialog)
END_MESSAGE_MAP()

CCaptureToolBar::CCaptureToolBar(CWnd* pParent) : CDialog(IDD, pParent) {}
CCaptureToolBar::~CCaptureToolBar() {}

void CCaptureToolBar::UpdateControlState() {}

void CCaptureToolBar::RefreshFromCamera() {}

void CCaptureToolBar::ShowZoom(float zoom)
{
    (void)zoom;
}

void CCaptureToolBar::OnZoomFit() {}

void CCaptureToolBar::RefitLivePreview() {}
