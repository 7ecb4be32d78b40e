#include "app/capture/CaptureToolBar.h"
#include "app/capture/CaptureStringIds.h"
#include "app/capture/LiveLayout.h"
#include "app/capture/PreviewWnd.h"
#include "app/capture/OverlayWnd.h"
#include "app/capture/CameraPanel.h"
#include "app/capture/ParameterGroupPanel.h"
#include "app/shell/ShellLinks.h"
#include "app/shell/AppDirectory.h"
#include "app/shell/MainFrame.h"
#include "app/shell/ManageView.h"
#include "app/shell/DravenluxView.h"
#include "app/store/ImageStore.h"
#include "app/image/ComparePane.h"
#include "camera/core/QrCCamera.h"

IMPLEMENT_DYNAMIC(CCaptureToolBar, CDialog)

BEGIN_MESSAGE_MAP(CCaptureToolBar, CDialog)
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_BN_CLICKED(IDC_TOOL_ZOOM_IN, OnZoomIn)
    ON_BN_CLICKED(IDC_TOOL_ZOOM_OUT, OnZoomOut)
    ON_BN_CLICKED(IDC_TOOL_ACTUAL_SIZE, OnActualSize)
    ON_BN_CLICKED(IDC_TOOL_ZOOM_FIT, OnZoomFit)
    ON_BN_CLICKED(IDC_TOOL_CROP, OnCrop)
    ON_BN_CLICKED(IDC_TOOL_RESTORE, OnRestore)
    ON_BN_CLICKED(IDC_TOOL_MIRROR_H_SMALL, OnMirrorHSmall)
    ON_BN_CLICKED(IDC_TOOL_MIRROR_V_SMALL, OnMirrorVSmall)
    ON_BN_CLICKED(IDC_TOOL_COMPARE, OnCompare)
    ON_WM_CTLCOLOR()
    ON_WM_MOUSEMOVE()
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_TOOL_FULL_SCREEN, OnFullScreen)
    ON_BN_CLICKED(IDC_TOOL_BLACK_BACKGROUND, OnBlackBackground)
    ON_BN_CLICKED(IDC_TOOL_MIRROR_H, OnMirrorH)
    ON_BN_CLICKED(IDC_TOOL_MIRROR_V, OnMirrorV)
END_MESSAGE_MAP()

namespace {

struct ToolButton
{
    int id;
    UINT tip;
    UINT normal, pressed, hover, disabled;
};

// Bound in this order; tool tips from the string table, skins by state.
const ToolButton kButtons[13] = {
    {IDC_TOOL_MIRROR_V, IDS_TIP_MIRROR_V, 587, 588, 590, 589},
    {IDC_TOOL_MIRROR_H, IDS_TIP_MIRROR_H, 594, 591, 593, 592},
    {IDC_TOOL_BLACK_BACKGROUND, IDS_TIP_BLACK_BACKGROUND, 619, 620, 622, 621},
    {IDC_TOOL_FULL_SCREEN, IDS_TIP_FULL_SCREEN, 611, 612, 614, 613},
    {IDC_TOOL_COMPARE, IDS_TIP_COMPARE, 601, 598, 600, 599},
    {IDC_TOOL_MIRROR_V_SMALL, IDS_TIP_MIRROR_V, 587, 588, 590, 589},
    {IDC_TOOL_MIRROR_H_SMALL, IDS_TIP_MIRROR_H, 594, 591, 593, 592},
    {IDC_TOOL_RESTORE, IDS_TIP_RESTORE, 366, 363, 365, 364},
    {IDC_TOOL_CROP, IDS_TIP_CROP, 263, 260, 262, 261},
    {IDC_TOOL_ZOOM_FIT, IDS_TIP_ZOOM_FIT, 259, 256, 258, 257},
    {IDC_TOOL_ACTUAL_SIZE, IDS_TIP_ACTUAL_SIZE, 255, 252, 254, 253},
    {IDC_TOOL_ZOOM_OUT, IDS_TIP_ZOOM_OUT, 251, 248, 250, 249},
    {IDC_TOOL_ZOOM_IN, IDS_TIP_ZOOM_IN, 247, 244, 246, 245},
};

// The visible buttons from the top down.
const int kStack[11] = {IDC_TOOL_MIRROR_H, IDC_TOOL_MIRROR_V, IDC_TOOL_ZOOM_IN, IDC_TOOL_ZOOM_OUT,
                        IDC_TOOL_ACTUAL_SIZE, IDC_TOOL_ZOOM_FIT, IDC_TOOL_FULL_SCREEN, IDC_TOOL_CROP,
                        IDC_TOOL_RESTORE, IDC_TOOL_COMPARE, IDC_TOOL_BLACK_BACKGROUND};
const int kHeader = 26;
const int kStackLeft = 8;

BOOL InCompareMode()
{
    CMainFrame* frame = Links().frame;
    return frame != NULL && frame->IsCompareMode();
}

void Repaint(CWnd* wnd)
{
    if (wnd != NULL && wnd->m_hWnd != NULL) wnd->Invalidate();
}

} // namespace

CCaptureToolBar::CCaptureToolBar(CWnd* pParent)
    : CDialog(IDD, pParent), m_bMirrorH(0), m_bMirrorV(0), m_bCompare(0), m_bBlackBackground(0), m_hBackground(NULL),
      m_hMemDC(NULL), m_hOldBitmap(NULL)
{
}

CCaptureToolBar::~CCaptureToolBar()
{
    if (m_hMemDC != NULL) {
        ::SelectObject(m_hMemDC, m_hOldBitmap);
        ::DeleteDC(m_hMemDC);
    }
    if (m_hBackground != NULL) ::DeleteObject(m_hBackground);
}

void CCaptureToolBar::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    for (int i = 0; i < 13; i++) DDX_Control(pDX, kButtons[i].id, m_buttons[i]);
    DDX_Check(pDX, IDC_TOOL_COMPARE, m_bCompare);
    DDX_Check(pDX, IDC_TOOL_BLACK_BACKGROUND, m_bBlackBackground);
    DDX_Check(pDX, IDC_TOOL_MIRROR_H, m_bMirrorH);
    DDX_Check(pDX, IDC_TOOL_MIRROR_V, m_bMirrorV);
}

BOOL CCaptureToolBar::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_hBackground = AfxLoadBitmapFile(AppPath(L"skin\\tool_bg.bmp"));
    HDC dc = ::GetDC(m_hWnd);
    m_hMemDC = ::CreateCompatibleDC(dc);
    ::ReleaseDC(m_hWnd, dc);
    if (m_hBackground != NULL) m_hOldBitmap = ::SelectObject(m_hMemDC, m_hBackground);
    for (int i = 0; i < 13; i++) {
        const ToolButton& b = kButtons[i];
        CString tip;
        tip.LoadString(b.tip);
        m_buttons[i].SetToolTipText(tip);
        m_buttons[i].SetSkin(b.normal, b.pressed, b.hover, b.disabled, 0, 0, CSkinBitmapButton::DRAW_NATURAL, 0, 4);
    }
    UpdateControlState();
    return TRUE;
}

// ------------------------------------------------------------------------------------
// Look

void CCaptureToolBar::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    BITMAP bm = {};
    if (m_hBackground != NULL && ::GetObjectW(m_hBackground, sizeof(bm), &bm) != 0)
        ::StretchBlt(dc.m_hDC, 0, 0, client.Width(), client.Height(), m_hMemDC, 0, 0, bm.bmWidth, bm.bmHeight,
                     SRCCOPY);
}

BOOL CCaptureToolBar::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

HBRUSH CCaptureToolBar::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (pWnd != NULL && pWnd->GetDlgCtrlID() == IDC_TOOL_ZOOM_TEXT) {
        pDC->SetBkMode(TRANSPARENT);
        pDC->SetTextColor(RGB(255, 255, 255));
        return (HBRUSH)::GetStockObject(HOLLOW_BRUSH);
    }
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CCaptureToolBar::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    CWnd* text = GetDlgItem(IDC_TOOL_ZOOM_TEXT);
    if (text == NULL) return;
    for (const ToolButton& b : kButtons)
        if (GetDlgItem(b.id) == NULL) return;
    CRect client;
    GetClientRect(&client);
    text->MoveWindow(1, 1, client.Width() - 1, 20);
    CRect first;
    GetDlgItem(IDC_TOOL_MIRROR_H)->GetWindowRect(&first);
    const int h = first.Height();
    const int room = client.Height() - kHeader - 11 * h;
    int gap = room / 10;
    if (gap > 30) gap = 30;
    int spare = (room - 10 * gap) / 2;
    int y = kHeader + (spare > 0 ? spare : 0);
    for (int id : kStack) {
        CWnd* button = GetDlgItem(id);
        CRect r;
        button->GetWindowRect(&r);
        button->SetWindowPos(NULL, kStackLeft, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        y += r.Height() + gap;
    }
}

void CCaptureToolBar::OnMouseMove(UINT, CPoint)
{
    SetFocus();
    Default();
}

// ------------------------------------------------------------------------------------
// Operations others call

void CCaptureToolBar::UpdateControlState()
{
    if (m_hWnd == NULL) return;
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    const BOOL camera = mgr.cameraType != CAMERA_TYPE_NONE;
    for (CButton& button : m_buttons)
        if (button.m_hWnd != NULL) button.EnableWindow(camera);
}

void CCaptureToolBar::RefreshFromCamera()
{
    if (m_hWnd == NULL) return;
    if (!IsCameraLive()) {
        m_bMirrorH = 0;
        m_bMirrorV = 0;
    } else {
        CameraCurParam cur;
        QrCCameraGetCurParameter(&cur);
        m_bMirrorH = cur.mirror[0];
        m_bMirrorV = cur.mirror[1];
    }
    UpdateData(FALSE);
}

void CCaptureToolBar::ShowZoom(float zoom)
{
    if (m_hWnd == NULL) return;
    CString text;
    text.Format(L"%.1f%%", zoom * 100.0f);
    SetDlgItemText(IDC_TOOL_ZOOM_TEXT, text);
    Invalidate();
}

void CCaptureToolBar::SyncStoreZoomToPreview(BOOL repaint)
{
    ShellLinks& links = Links();
    if (links.store != NULL && links.preview != NULL) links.store->SetZoom(links.preview->GetZoom());
    if (links.view != NULL) {
        links.view->RefreshMainView();
        if (repaint) Repaint(links.view);
    }
}

void CCaptureToolBar::RefitLivePreview()
{
    ShellLinks& links = Links();
    if (links.frame == NULL || links.preview == NULL || links.preview->m_hWnd == NULL) return;
    links.preview->ApplyZoomToShownRect();
    links.preview->ApplyZoom();
}

// ------------------------------------------------------------------------------------
// Zoom

void CCaptureToolBar::Zoom(ZoomKind kind)
{
    ShellLinks& links = Links();
    CPreviewWnd* preview = links.preview;
    COverlayWnd* overlay = links.overlay;
    if (preview == NULL) return;
    if (IsCameraLive()) {
        switch (kind) {
        case ZOOM_IN: preview->ZoomIn(); if (overlay != NULL) overlay->ZoomIn(); break;
        case ZOOM_OUT: preview->ZoomOut(); if (overlay != NULL) overlay->ZoomOut(); break;
        case ZOOM_ACTUAL: preview->ZoomActualSize(); if (overlay != NULL) overlay->ZoomActualSize(); break;
        case ZOOM_FIT: preview->ZoomToFit(); if (overlay != NULL) overlay->ZoomToFit(); break;
        }
    }
    if (InCompareMode() && links.comparePane != NULL) {
        if (kind == ZOOM_FIT) links.comparePane->FitToWindow(0);
        else links.comparePane->SetZoom(preview->GetZoom());
    }
    ShowZoom(preview->GetZoom());
    SyncStoreZoomToPreview();
    if (preview->m_hWnd != NULL) {
        // Hidden and shown again so that it is redrawn whole.
        preview->ShowWindow(SW_HIDE);
        preview->ShowWindow(SW_SHOWNOACTIVATE);
    }
    if (kind == ZOOM_ACTUAL || kind == ZOOM_FIT) {
        Repaint(this);
        Repaint((CWnd*)links.frame);
    }
}

void CCaptureToolBar::OnZoomIn()
{
    Zoom(ZOOM_IN);
}

void CCaptureToolBar::OnZoomOut()
{
    Zoom(ZOOM_OUT);
}

void CCaptureToolBar::OnActualSize()
{
    Zoom(ZOOM_ACTUAL);
}

void CCaptureToolBar::OnZoomFit()
{
    Zoom(ZOOM_FIT);
}

void CCaptureToolBar::OnFullScreen()
{
    ShellLinks& links = Links();
    CPreviewWnd* preview = links.preview;
    COverlayWnd* overlay = links.overlay;
    if (preview == NULL || overlay == NULL) return;
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    preview->ToggleFullScreen();
    Repaint(overlay);
    preview->ZoomActualSize();
    overlay->ZoomActualSize();
    ::Sleep(200);
    preview->ZoomToFit();
    overlay->ZoomToFit();
    if (info.productIndex == 28 || info.productIndex == 34 || info.productIndex == 35) {
        preview->ZoomOut();
        overlay->ZoomOut();
    }
    SyncStoreZoomToPreview(FALSE);
    OnZoomFit();
    Repaint(preview);
    Repaint(overlay);
    Repaint((CWnd*)links.frame);
    Repaint((CWnd*)links.manage);
    Repaint((CWnd*)links.view);
}

void CCaptureToolBar::OnBlackBackground()
{
    if (Links().paramGroup != NULL) Links().paramGroup->ToggleBlackBackground();
    OnFullScreen();
}

void CCaptureToolBar::OnCompare()
{
    UpdateData(TRUE);
    if (Links().frame != NULL) Links().frame->SetCompareMode(m_bCompare);
}

// ------------------------------------------------------------------------------------
// Region and flips

void CCaptureToolBar::OnCrop()
{
    CCameraPanel* camera = Links().camera;
    if (InCompareMode() || camera == NULL) return;
    if (!camera->IsPartialDisplay()) camera->PartialDisplayIfLive();
}

void CCaptureToolBar::OnRestore()
{
    CCameraPanel* camera = Links().camera;
    if (InCompareMode() || camera == NULL) return;
    if (camera->IsPartialDisplay()) camera->FullDisplayIfLive();
}

void CCaptureToolBar::Flip(BOOL horizontal, BOOL paneAlways)
{
    ShellLinks& links = Links();
    const BOOL live = IsCameraLive();
    if (live && links.camera != NULL) {
        if (horizontal) links.camera->ToggleMirrorHorizontal();
        else links.camera->ToggleMirrorVertical();
    }
    if ((live || paneAlways) && links.comparePane != NULL) {
        if (horizontal) links.comparePane->MirrorImage();
        else links.comparePane->FlipImage();
    }
    // The check shows the camera's flip, not the click: a stopped camera flips nothing.
    RefreshFromCamera();
}

void CCaptureToolBar::OnMirrorH()
{
    Flip(TRUE, FALSE);
}

void CCaptureToolBar::OnMirrorV()
{
    Flip(FALSE, FALSE);
}

void CCaptureToolBar::OnMirrorHSmall()
{
    Flip(TRUE, TRUE);
}

void CCaptureToolBar::OnMirrorVSmall()
{
    Flip(FALSE, TRUE);
}
