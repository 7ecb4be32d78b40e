#include "app/capture/OverlayWnd.h"
#include "app/capture/LiveLayout.h"
#include "app/capture/PreviewWnd.h"
#include "app/shell/ShellLinks.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/DravenluxView.h"
#include "app/store/ImageStore.h"
#include "app/store/MemDC.h"
#include "camera/core/QrCCamera.h"

IMPLEMENT_DYNAMIC(COverlayWnd, CDialog)

BEGIN_MESSAGE_MAP(COverlayWnd, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_OVERLAY_REDRAW, OnOverlayRedraw)
END_MESSAGE_MAP()

namespace {

typedef BOOL(WINAPI* SetLayeredWindowAttributesFn)(HWND, COLORREF, BYTE, DWORD);

int DocumentMode()
{
    CDravenluxDoc* doc = Links().doc;
    return doc != NULL ? doc->InteractionMode : MODE_NONE;
}

} // namespace

COverlayWnd::COverlayWnd(CWnd* pParent)
    : CDialog(IDD, pParent), m_zoom(1.0f), m_paintOffset(0, 0), m_scrollOffset(0, 0), m_vScrolling(0),
      m_hScrolling(0)
{
    ::InitializeCriticalSection(&m_lock);
}

COverlayWnd::~COverlayWnd()
{
    ::DeleteCriticalSection(&m_lock);
}

BOOL COverlayWnd::OnInitDialog()
{
    CDialog::OnInitDialog();
    ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, ::GetWindowLongW(m_hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    // Looked up by name: without it the overlay stays an ordinary opaque window.
    HMODULE user = ::LoadLibraryW(L"User32.DLL");
    if (user != NULL) {
        SetLayeredWindowAttributesFn setLayered =
            (SetLayeredWindowAttributesFn)::GetProcAddress(user, "SetLayeredWindowAttributes");
        if (setLayered != NULL) setLayered(m_hWnd, RGB(255, 255, 255), 255, LWA_COLORKEY);
        ::FreeLibrary(user);
    }
    Invalidate();
    return TRUE;
}

BOOL COverlayWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE) return FALSE;
    return CDialog::PreTranslateMessage(pMsg);
}

// ------------------------------------------------------------------------------------
// Zoom

void COverlayWnd::ZoomIn()
{
    StepLiveZoom(this, m_zoom, TRUE);
}

void COverlayWnd::ZoomOut()
{
    StepLiveZoom(this, m_zoom, FALSE);
}

void COverlayWnd::ZoomActualSize()
{
    SetLiveZoomActualSize(this, m_zoom);
}

void COverlayWnd::ZoomToFit()
{
    FitLiveZoom(this, m_zoom, FALSE);
}

void COverlayWnd::ApplyZoom()
{
    if (m_hWnd == NULL) return;
    ::EnterCriticalSection(&m_lock);
    int w, h;
    GetLiveImageSize(&w, &h);
    CSize size = ZoomedSize(w, h, m_zoom, TRUE);
    SetScrollBars(size.cx, size.cy);
    SetScrollBars(size.cx, size.cy);
    ::LeaveCriticalSection(&m_lock);
}

void COverlayWnd::ApplyZoomToShownRect()
{
    if (m_hWnd == NULL) return;
    ::EnterCriticalSection(&m_lock);
    CRect shown(0, 0, 0, 0);
    QrCCameraGetShowRect(&shown);
    CSize size = ZoomedSize(shown.Width(), shown.Height(), m_zoom, FALSE);
    SetScrollBars(size.cx, size.cy);
    SetScrollBars(size.cx, size.cy);
    ::LeaveCriticalSection(&m_lock);
    ShellLinks& links = Links();
    if (links.store != NULL && links.preview != NULL) links.store->SetZoom(links.preview->GetZoom());
    if (links.view != NULL) links.view->RefreshMainView();
}

void COverlayWnd::SetScrollBars(int width, int height)
{
    m_paintOffset = CPoint(0, 0);
    SetLiveScrollBars(this, width, height, &m_hScrolling, &m_vScrolling);
    m_scrollOffset = CPoint(0, 0);
}

void COverlayWnd::GetScrollOffset(POINT* offset)
{
    if (offset == NULL) return;
    offset->x = m_scrollOffset.x;
    offset->y = m_scrollOffset.y;
}

void COverlayWnd::GetScrollFlags(int* horizontal, int* vertical)
{
    if (horizontal != NULL) *horizontal = m_hScrolling;
    if (vertical != NULL) *vertical = m_vScrolling;
}

void COverlayWnd::SetCursorPoint(POINT* point)
{
    if (Links().store != NULL) Links().store->SetCursorPoint(point);
    if (m_hWnd != NULL) Invalidate();
}

// ------------------------------------------------------------------------------------
// Painting: white is the colour key, so only the store's marks are seen.

void COverlayWnd::OnPaint()
{
    CPaintDC dc(this);
    dc.SetBkColor(RGB(255, 255, 255));   // the off-screen fill: the colour key
    CMemDC mem(&dc, &m_paintSurface);
    CImageStore* store = Links().store;
    if (store != NULL) store->DrawLiveOverlay(this, &mem, m_paintOffset.x, m_paintOffset.y);
}

BOOL COverlayWnd::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

LRESULT COverlayWnd::OnOverlayRedraw(WPARAM, LPARAM)
{
    Invalidate();
    return 0;
}

// ------------------------------------------------------------------------------------
// Scrolling moves this window and the preview below it by the same amount and keeps the
// main view's position equal, so measuring maps points with the picture's offset.

void COverlayWnd::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar*)
{
    Scroll(SB_HORZ, nSBCode, nPos);
}

void COverlayWnd::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar*)
{
    Scroll(SB_VERT, nSBCode, nPos);
}

void COverlayWnd::Scroll(int bar, UINT nSBCode, UINT nPos)
{
    SCROLLINFO si;
    ZeroMemory(&si, sizeof(si));
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    GetScrollInfo(bar, &si, si.fMask);
    const int top = si.nMax - (int)si.nPage + 1;
    int pos = si.nPos;
    int move = 0;   // pixels the contents move, right or down positive
    BOOL set = FALSE;
    switch (nSBCode) {
    case SB_LINEUP:   // SB_LINELEFT
        if (pos - 1 >= si.nMin) { pos--; move = LIVE_SCROLL_UNIT; set = TRUE; }
        break;
    case SB_LINEDOWN:   // SB_LINERIGHT
        if (pos + 1 <= top) { pos++; move = -LIVE_SCROLL_UNIT; set = TRUE; }
        break;
    case SB_PAGEDOWN: {   // SB_PAGERIGHT
        const int step = top - pos < 5 ? top - pos : 5;
        if (step > 0) { pos += step; move = -step * LIVE_SCROLL_UNIT; set = TRUE; }
        break;
    }
    case SB_PAGEUP:   // SB_PAGELEFT
        if (bar == SB_VERT) {
            const int step = pos - si.nMin < 5 ? pos - si.nMin : 5;
            if (step > 0) { pos -= step; move = step * LIVE_SCROLL_UNIT; set = TRUE; }
        } else if (pos - 5 >= si.nMin) {
            pos -= 5;
            move = 5 * LIVE_SCROLL_UNIT;
            set = TRUE;
        }
        break;
    case SB_THUMBTRACK:
        move = (pos - (int)nPos) * LIVE_SCROLL_UNIT;
        pos = (int)nPos;
        set = TRUE;
        break;
    case SB_TOP:   // SB_LEFT
        move = (pos - si.nMin) * LIVE_SCROLL_UNIT;
        pos = si.nMin;
        set = TRUE;
        break;
    case SB_BOTTOM:   // SB_RIGHT
        move = (pos - top) * LIVE_SCROLL_UNIT;
        pos = top;
        set = TRUE;
        break;
    default:
        break;
    }
    if (set) {
        SCROLLINFO sp;
        ZeroMemory(&sp, sizeof(sp));
        sp.cbSize = sizeof(sp);
        sp.fMask = SIF_POS;
        sp.nPos = pos;
        SetScrollInfo(bar, &sp, TRUE);
    }
    if (move != 0) {
        const int dx = bar == SB_HORZ ? move : 0;
        const int dy = bar == SB_VERT ? move : 0;
        ScrollWindow(dx, dy);
        CWnd* owner = GetParent();
        if (owner != NULL && owner->m_hWnd != NULL) owner->ScrollWindow(dx, dy);
    }
    if (bar == SB_HORZ) m_paintOffset.x = m_scrollOffset.x = pos * LIVE_SCROLL_UNIT;
    else m_paintOffset.y = m_scrollOffset.y = pos * LIVE_SCROLL_UNIT;
    Default();
    Invalidate();
    CDravenluxView* view = Links().view;
    if (view != NULL && view->m_hWnd != NULL) view->SetScrollPos(bar, pos * LIVE_SCROLL_UNIT, TRUE);
}

// ------------------------------------------------------------------------------------
// Mouse: the main view's handlers measure on the live picture with this offset.

void COverlayWnd::OnLButtonDown(UINT nFlags, CPoint point)
{
    CDravenluxView* view = Links().view;
    if (view != NULL && view->m_hWnd != NULL) view->OnLButtonDown(nFlags, point);
    const int mode = DocumentMode();
    if (m_hWnd != NULL && (mode == MODE_NONE || mode == MODE_SELECT || mode == MODE_MEASURE)) Invalidate();
}

void COverlayWnd::OnLButtonUp(UINT nFlags, CPoint point)
{
    CDravenluxView* view = Links().view;
    if (view != NULL && view->m_hWnd != NULL) view->OnLButtonUp(nFlags, point);
    if (m_hWnd != NULL && DocumentMode() == MODE_MEASURE) Invalidate();
}

void COverlayWnd::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    CDravenluxView* view = Links().view;
    if (view != NULL && view->m_hWnd != NULL) view->OnLButtonDblClk(nFlags, point);
    const int mode = DocumentMode();
    if (m_hWnd != NULL && (mode == MODE_SELECT || mode == MODE_MEASURE)) Invalidate();
}

void COverlayWnd::OnMouseMove(UINT nFlags, CPoint point)
{
    CDravenluxView* view = Links().view;
    if (view == NULL || view->m_hWnd == NULL) return;
    view->OnMouseMove(nFlags, point);
    view->RefreshMainView();
}
