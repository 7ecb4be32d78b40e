#include "app/shell/LeaveBar.h"
#include "app/shell/ShellLinks.h"
#include "app/shell/DravenluxView.h"
#include "app/capture/PreviewWnd.h"
#include "app/capture/OverlayWnd.h"
#include "app/capture/CaptureToolBar.h"
#include "app/store/ImageStore.h"

IMPLEMENT_DYNAMIC(CLeaveBar, CPanelDialog)

BEGIN_MESSAGE_MAP(CLeaveBar, CPanelDialog)
    ON_WM_NCHITTEST()
    ON_BN_CLICKED(IDC_LEAVE_BUTTON, OnLeave)
END_MESSAGE_MAP()

CLeaveBar::CLeaveBar(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CLeaveBar::~CLeaveBar() {}

void CLeaveBar::DoDataExchange(CDataExchange* pDX)
{
    CPanelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LEAVE_BUTTON, m_btnLeave);
}

BOOL CLeaveBar::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    m_btnLeave.SetSkin(194, 196, 195, 197, 0, 0, CSkinBitmapButton::DRAW_STRETCH, 0, 4);
    return TRUE;
}

LRESULT CLeaveBar::OnNcHitTest(CPoint point)
{
    CRect client;
    GetClientRect(&client);
    ClientToScreen(&client);
    if (client.PtInRect(point)) return HTCAPTION;
    return CPanelDialog::OnNcHitTest(point);
}

void CLeaveBar::OnLeave()
{
    ShellLinks& links = Links();
    CPreviewWnd* preview = links.preview;
    COverlayWnd* overlay = links.overlay;
    if (preview == NULL) return;
    preview->ToggleFullScreen();
    preview->ZoomActualSize();
    if (overlay != NULL) overlay->ZoomActualSize();
    // The window manager needs the layout to settle before the fit reads sizes.
    ::Sleep(300);
    preview->ZoomToFit();
    if (overlay != NULL) overlay->ZoomToFit();
    ::Sleep(300);
    if (links.store != NULL) links.store->SetZoom(preview->GetZoom());
    if (links.view != NULL) links.view->RefreshMainView();
    if (links.captureTools != NULL) links.captureTools->OnZoomFit();
    if (links.view != NULL && links.view->m_hWnd != NULL) links.view->Invalidate(FALSE);
}
