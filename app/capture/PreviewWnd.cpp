#include "app/capture/PreviewWnd.h"
#include "app/capture/LiveLayout.h"
#include "app/capture/OverlayWnd.h"
#include "app/capture/CapturePanel.h"
#include "app/capture/ExposurePanel.h"
#include "app/capture/VideoRecordPanel.h"
#include "app/capture/ParameterGroupPanel.h"
#include "app/shell/ShellLinks.h"
#include "app/shell/MainFrame.h"
#include "app/shell/TitleBar.h"
#include "app/shell/ProgressPopup.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/DravenluxView.h"
#include "app/store/ImageStore.h"
#include "camera/core/QrCCamera.h"
#include <math.h>

IMPLEMENT_DYNAMIC(CPreviewWnd, CDialog)

BEGIN_MESSAGE_MAP(CPreviewWnd, CDialog)
    ON_WM_PAINT()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_ERASEBKGND()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEWHEEL()
    ON_MESSAGE(WM_CAMERA_FRAME_STATUS, OnFrameStatus)
    ON_MESSAGE(WM_CAMERA_FOCUS_VALUE, OnFocusValue)
END_MESSAGE_MAP()

namespace {

const UINT STATUS_INTERVAL_MS = 1000;
const UINT FRAME_STATUS_NOTICE = 2;   // the device's capture notice

void PostTo(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (wnd != NULL && wnd->m_hWnd != NULL) ::PostMessageW(wnd->m_hWnd, message, wParam, lParam);
}

int DocumentMode()
{
    CDravenluxDoc* doc = Links().doc;
    return doc != NULL ? doc->InteractionMode : MODE_NONE;
}

SCROLLINFO ReadScroll(CWnd* wnd, int bar)
{
    SCROLLINFO si;
    ZeroMemory(&si, sizeof(si));
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    if (wnd != NULL && wnd->m_hWnd != NULL) wnd->GetScrollInfo(bar, &si, si.fMask);
    return si;
}

void WriteScrollPos(CWnd* wnd, int bar, int pos)
{
    if (wnd == NULL || wnd->m_hWnd == NULL) return;
    SCROLLINFO si;
    ZeroMemory(&si, sizeof(si));
    si.cbSize = sizeof(si);
    si.fMask = SIF_POS;
    si.nPos = pos;
    wnd->SetScrollInfo(bar, &si, TRUE);
}

int TopPos(const SCROLLINFO& si) { return si.nMax - (int)si.nPage + 1; }

} // namespace

CPreviewWnd::CPreviewWnd(CWnd* pParent)
    : CDialog(IDD, pParent), m_zoom(1.0f), m_anchorX(0), m_anchorY(0), m_vScrolling(0), m_hScrolling(0),
      m_dragStartH(0), m_dragStartV(0), m_lastStatusTick(::GetTickCount())
{
    ::InitializeCriticalSection(&m_layoutLock);
}

CPreviewWnd::~CPreviewWnd()
{
    ::DeleteCriticalSection(&m_layoutLock);
}

BOOL CPreviewWnd::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_video.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, IDC_PREVIEW_VIDEO);
    m_background.DeleteObject();
    m_background.CreateSolidBrush(RGB(189, 189, 189));
    // The bar is made with the first full preview: a hidden top-level window would cost
    // the program's first paint.
    return TRUE;
}

CStatic* CPreviewWnd::GetVideoStatic()
{
    return &m_video;
}

float CPreviewWnd::GetZoom()
{
    return m_zoom;
}

void CPreviewWnd::GetScrollFlags(int* horizontal, int* vertical)
{
    if (horizontal != NULL) *horizontal = m_hScrolling;
    if (vertical != NULL) *vertical = m_vScrolling;
}

void CPreviewWnd::SetBackgroundColor(BYTE r, BYTE g, BYTE b)
{
    m_background.DeleteObject();
    m_background.CreateSolidBrush(RGB(r, g, b));
}

void CPreviewWnd::SetScrollBars(int width, int height)
{
    SetLiveScrollBars(this, width, height, &m_hScrolling, &m_vScrolling);
}

// ------------------------------------------------------------------------------------
// Layout

CPoint CPreviewWnd::CentreIn(int width, int height)
{
    CRect client;
    GetClientRect(&client);
    int x = (client.Width() - width) >> 1;
    int y = (client.Height() - height) >> 1;
    return CPoint(x < 0 ? 0 : x, y < 0 ? 0 : y);
}

void CPreviewWnd::PlaceVideo(int x, int y, int width, int height)
{
    if (m_video.m_hWnd == NULL) return;
    m_video.SetWindowPos(NULL, x, y, width, height, SWP_NOZORDER | SWP_SHOWWINDOW);
    CRect show(0, 0, width, height);
    QrCCameraSetShowRect(&show);
}

void CPreviewWnd::FitVideoToWindow()
{
    if (m_hWnd == NULL) return;
    int w, h;
    GetLiveImageSize(&w, &h);
    CRect client;
    GetClientRect(&client);
    // Without room beyond the margin the ratios are meaningless.
    if (client.Width() <= 6 || client.Height() <= 6) return;
    const float rw = (float)w / (float)(client.Width() - 6);
    const float rh = (float)h / (float)(client.Height() - 6);
    int width = w, height = h;
    if (!(rw < 1.0f && rh < 1.0f)) {
        const BOOL byWidth = rw > rh;
        const float r = byWidth ? rw : rh;
        if (r < 2.0f) {
            width = (int)(w / r);
            height = (int)(h / r);
        } else {
            const int whole = byWidth ? (int)(rw + 0.5f) : (int)(rh + 0.5f);
            width = w / whole;
            height = h / whole;
        }
    }
    CPoint at = CentreIn(width, height);
    PlaceVideo(at.x, at.y, width, height);
}

void CPreviewWnd::FitShownRectToWindow()
{
    if (m_hWnd == NULL) return;
    CRect shown(0, 0, 0, 0);
    QrCCameraGetShowRect(&shown);
    CRect client;
    GetClientRect(&client);
    if (client.Width() <= 0 || client.Height() <= 0) return;
    const float rw = (float)shown.Width() / (float)client.Width();
    const float rh = (float)shown.Height() / (float)client.Height();
    const float r = rw > rh ? rw : rh;
    if (r <= 0.0f) {
        PlaceVideo(client.left, client.top, client.Width() - 2, client.Height());
        return;
    }
    const int width = (int)(shown.Width() / r);
    const int height = (int)(shown.Height() / r);
    CPoint at = CentreIn(width, height);
    PlaceVideo(at.x, at.y, width - 2, height);
}

void CPreviewWnd::ApplyZoom()
{
    if (m_hWnd == NULL) return;
    ::EnterCriticalSection(&m_layoutLock);
    int w, h;
    GetLiveImageSize(&w, &h);
    CSize size = ZoomedSize(w, h, m_zoom, TRUE);
    SetScrollBars(size.cx, size.cy);
    CPoint at = CentreIn(size.cx, size.cy);
    SetScrollBars(size.cx, size.cy);
    PlaceVideo(at.x, at.y, size.cx, size.cy);
    ::LeaveCriticalSection(&m_layoutLock);
}

void CPreviewWnd::ApplyZoomToShownRect()
{
    if (m_hWnd == NULL) return;
    ::EnterCriticalSection(&m_layoutLock);
    CRect shown(0, 0, 0, 0);
    QrCCameraGetShowRect(&shown);
    CSize size = ZoomedSize(shown.Width(), shown.Height(), m_zoom, TRUE);
    SetScrollBars(size.cx, size.cy);
    CPoint at = CentreIn(size.cx, size.cy);
    SetScrollBars(size.cx, size.cy);
    PlaceVideo(at.x, at.y, size.cx, size.cy);
    m_dragStartH = 0;
    m_dragStartV = 0;
    ::LeaveCriticalSection(&m_layoutLock);
}

void CPreviewWnd::ZoomIn()
{
    StepLiveZoom(this, m_zoom, TRUE);
}

void CPreviewWnd::ZoomOut()
{
    StepLiveZoom(this, m_zoom, FALSE);
}

void CPreviewWnd::ZoomActualSize()
{
    SetLiveZoomActualSize(this, m_zoom);
}

void CPreviewWnd::ZoomToFit()
{
    FitLiveZoom(this, m_zoom, TRUE);
}

void CPreviewWnd::ToggleFullScreen()
{
    if (m_hWnd == NULL) return;
    if (!IsCameraLive()) {
        Invalidate();
        return;
    }
    ShellLinks& links = Links();
    if (links.titleBar != NULL && !links.titleBar->IsMaximized()) links.titleBar->ToggleMaximize();
    CMainFrame* frame = links.frame;
    if (frame != NULL) frame->SetFullPreview(!frame->IsFullPreview());
    BringWindowToTop();
    ZoomToFit();
    FitShownRectToWindow();
    FitVideoToWindow();
    Invalidate();
    const BOOL full = frame != NULL && frame->IsFullPreview();
    if (full) {
        if (m_leaveBar.m_hWnd == NULL) m_leaveBar.Create(CLeaveBar::IDD, this);
        if (m_leaveBar.m_hWnd != NULL) {
            CRect bar;
            m_leaveBar.GetWindowRect(&bar);
            const int sx = ::GetSystemMetrics(SM_CXSCREEN), sy = ::GetSystemMetrics(SM_CYSCREEN);
            m_leaveBar.SetWindowPos(NULL, sx - bar.Width(), sy - bar.Height(), 0, 0,
                                    SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            m_leaveBar.ShowWindow(SW_SHOW);
        }
    } else {
        if (m_leaveBar.m_hWnd != NULL) m_leaveBar.ShowWindow(SW_HIDE);
        CParameterGroupPanel* groups = links.paramGroup;
        if (groups != NULL && groups->IsBlackBackground()) groups->ApplyBackgroundColors();
    }
    Invalidate();
}

// ------------------------------------------------------------------------------------
// Painting and keys

void CPreviewWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    ::FillRect(dc.m_hDC, &client, (HBRUSH)m_background.m_hObject);
}

BOOL CPreviewWnd::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

BOOL CPreviewWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->wParam == VK_RETURN) return FALSE;
    if (pMsg->wParam == VK_ESCAPE) {
        // Only a key leaves full screen: a posted number of 27 (a focus value, a timer)
        // must not.
        CMainFrame* frame = Links().frame;
        if (pMsg->message == WM_KEYDOWN && frame != NULL && frame->IsFullPreview()) {
            ToggleFullScreen();
            ZoomToFit();
            ShellLinks& links = Links();
            if (links.overlay != NULL) links.overlay->ZoomToFit();
            if (links.store != NULL) links.store->SetZoom(m_zoom);
            if (links.view != NULL) {
                links.view->RefreshMainView();
                if (links.view->m_hWnd != NULL) links.view->Invalidate();
            }
        }
        return FALSE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

// ------------------------------------------------------------------------------------
// Scrolling: one position is 10 pixels; the vertical bar follows the overlay's.

void CPreviewWnd::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar*)
{
    SCROLLINFO si = ReadScroll(this, SB_HORZ);
    const int top = TopPos(si);
    int pos = si.nPos;
    int scroll = 0;
    switch (nSBCode) {
    case SB_LINELEFT:
        if (pos - 1 >= si.nMin) { pos--; scroll = LIVE_SCROLL_UNIT; }
        break;
    case SB_LINERIGHT:
        if (pos + 1 <= top) { pos++; scroll = -LIVE_SCROLL_UNIT; }
        break;
    case SB_PAGERIGHT: {
        int step = top - pos < 5 ? top - pos : 5;
        if (step > 0) { pos += step; scroll = -step * LIVE_SCROLL_UNIT; }
        break;
    }
    case SB_PAGELEFT:
        if (pos - 5 >= si.nMin) { pos -= 5; scroll = 5 * LIVE_SCROLL_UNIT; }
        break;
    case SB_THUMBTRACK:
        scroll = (pos - (int)nPos) * LIVE_SCROLL_UNIT;
        pos = (int)nPos;
        break;
    case SB_LEFT:
        scroll = (pos - si.nMin) * LIVE_SCROLL_UNIT;
        pos = si.nMin;
        break;
    case SB_RIGHT:
        scroll = (pos - top) * LIVE_SCROLL_UNIT;
        pos = top;
        break;
    default:
        break;
    }
    if (pos != si.nPos || scroll != 0) {
        WriteScrollPos(this, SB_HORZ, pos);
        if (scroll != 0) ScrollWindow(scroll, 0);
    }
    Default();
}

void CPreviewWnd::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar*)
{
    COverlayWnd* overlay = Links().overlay;
    CWnd* source = overlay != NULL && overlay->m_hWnd != NULL ? (CWnd*)overlay : (CWnd*)this;
    SCROLLINFO sh = ReadScroll(source, SB_HORZ);
    SCROLLINFO si = ReadScroll(source, SB_VERT);
    m_dragStartH = sh.nPos;
    m_dragStartV = si.nPos;
    const int top = TopPos(si);
    int pos = si.nPos;
    switch (nSBCode) {
    case SB_LINEUP:
    case SB_LINEDOWN: {
        const BOOL up = nSBCode == SB_LINEUP;
        if (up ? pos - 1 >= si.nMin : pos + 1 <= top) {
            pos += up ? -1 : 1;
            WriteScrollPos(this, SB_VERT, pos);
            if (source != this) {
                WriteScrollPos(source, SB_VERT, pos);
                // The overlay steps once more and scrolls both windows itself.
                source->SendMessage(WM_VSCROLL, MAKEWPARAM(nSBCode, 0), 0);
            }
            ScrollWindow(0, up ? LIVE_SCROLL_UNIT : -LIVE_SCROLL_UNIT);
        }
        break;
    }
    case SB_PAGEUP: {
        int step = pos - si.nMin < 5 ? pos - si.nMin : 5;
        if (step > 0) {
            WriteScrollPos(this, SB_VERT, pos - step);
            ScrollWindow(0, step * LIVE_SCROLL_UNIT);
        }
        break;
    }
    case SB_PAGEDOWN: {
        int step = top - pos < 5 ? top - pos : 5;
        if (step > 0) {
            WriteScrollPos(this, SB_VERT, pos + step);
            ScrollWindow(0, -step * LIVE_SCROLL_UNIT);
        }
        break;
    }
    case SB_THUMBTRACK:
        WriteScrollPos(this, SB_VERT, (int)nPos);
        ScrollWindow(0, (pos - (int)nPos) * LIVE_SCROLL_UNIT);
        break;
    case SB_TOP:
        WriteScrollPos(this, SB_VERT, si.nMin);
        ScrollWindow(0, (pos - si.nMin) * LIVE_SCROLL_UNIT);
        break;
    case SB_BOTTOM:
        WriteScrollPos(this, SB_VERT, top);
        ScrollWindow(0, (pos - top) * LIVE_SCROLL_UNIT);
        break;
    default:
        break;
    }
    Default();
}

BOOL CPreviewWnd::OnMouseWheel(UINT, short zDelta, CPoint)
{
    PostMessage(WM_VSCROLL, zDelta < 0 ? SB_LINEDOWN : SB_LINEUP, 0);
    return (BOOL)Default();
}

// ------------------------------------------------------------------------------------
// Mouse: measuring goes to the overlay; otherwise a left drag pans the picture.

void CPreviewWnd::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_anchorX = point.x;
    m_anchorY = point.y;
    COverlayWnd* overlay = Links().overlay;
    if (overlay != NULL && overlay->m_hWnd != NULL) {
        overlay->OnLButtonDown(nFlags, point);
        m_dragStartV = overlay->GetScrollPos(SB_VERT);
        m_dragStartH = overlay->GetScrollPos(SB_HORZ);
    }
}

void CPreviewWnd::OnMouseMove(UINT nFlags, CPoint point)
{
    COverlayWnd* overlay = Links().overlay;
    if (overlay == NULL || overlay->m_hWnd == NULL) return;
    overlay->SetCursorPoint(&point);
    if (DocumentMode() == MODE_MEASURE) {
        overlay->OnMouseMove(nFlags, point);
        return;
    }
    if (!(nFlags & MK_LBUTTON)) return;
    ::SetCursor(::LoadCursorW(NULL, (LPCWSTR)IDC_SIZEALL));
    struct Axis { int bar; int anchor; int point; int* start; };
    Axis axes[2] = {{SB_VERT, m_anchorY, point.y, &m_dragStartV}, {SB_HORZ, m_anchorX, point.x, &m_dragStartH}};
    for (Axis& axis : axes) {
        SCROLLINFO si = ReadScroll(overlay, axis.bar);
        const int top = TopPos(si);
        int delta = (axis.anchor - axis.point) / LIVE_SCROLL_UNIT;
        int target = *axis.start + delta;
        if (target > top) target = top;
        if (target < 0) {
            target = 0;
            *axis.start = 0;
        }
        const int amount = (si.nPos - target) * LIVE_SCROLL_UNIT;
        if (axis.bar == SB_VERT) ScrollWindow(0, amount);
        else ScrollWindow(amount, 0);
        overlay->SetScrollPos(axis.bar, target, TRUE);
    }
    // The overlay's handlers bring its offsets and the main view's in line again.
    overlay->SendMessage(WM_HSCROLL, SB_LINELEFT, 0);
    overlay->SendMessage(WM_VSCROLL, SB_LINEUP, 0);
}

void CPreviewWnd::OnLButtonUp(UINT nFlags, CPoint point)
{
    COverlayWnd* overlay = Links().overlay;
    if (overlay != NULL && overlay->m_hWnd != NULL) overlay->OnLButtonUp(nFlags, point);
    Default();
}

void CPreviewWnd::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    COverlayWnd* overlay = Links().overlay;
    if (overlay != NULL && overlay->m_hWnd != NULL) overlay->OnLButtonDblClk(nFlags, point);
}

// ------------------------------------------------------------------------------------
// Camera library messages

LRESULT CPreviewWnd::OnFrameStatus(WPARAM wParam, LPARAM lParam)
{
    const DWORD now = ::GetTickCount();
    if (now - m_lastStatusTick > STATUS_INTERVAL_MS) {
        m_lastStatusTick = now;
        PostTo((CWnd*)Links().videoRecord, WM_EXPOSURE_PROGRESS_POS, 1, lParam);
        // A panel not built yet shows fresh levels once built: the live picture must not
        // wait for it.
        PostTo((CWnd*)Links().exposure.Peek(), WM_LEVELS_REFRESH, 0, 0);
    }
    if (wParam == FRAME_STATUS_NOTICE) PostTo((CWnd*)Links().capture, WM_HOTKEY_CAPTURE, 0, 0);
    return 0;
}

LRESULT CPreviewWnd::OnFocusValue(WPARAM wParam, LPARAM)
{
    const unsigned int variance = (unsigned int)wParam;
    int level = (int)sqrt((double)variance);
    // The meter's range ends at 255; larger variances show full.
    if (level > 255) level = 255;
    CProgressPopup* meter = Links().focusMeter.Peek();
    if (meter != NULL && meter->m_hWnd != NULL) meter->GetProgress().SetPos(level);
    return 0;
}

