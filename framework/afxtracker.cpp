#include "afxtracker.h"

CRectTracker::CRectTracker()
    : m_nStyle(0), m_nHandleSize(6), m_sizeMin(4, 4), m_bAllowInvert(FALSE), m_bErase(FALSE),
      m_bFinalErase(FALSE)
{
    m_rect.SetRectEmpty();
}

CRectTracker::CRectTracker(LPCRECT lpSrcRect, UINT nStyle) : CRectTracker()
{
    m_rect = *lpSrcRect;
    m_nStyle = nStyle;
}

CRectTracker::~CRectTracker() {}

void CRectTracker::GetHandleRect(int nHandle, CRect* pHandleRect) const
{
    CRect r = m_rect;
    r.NormalizeRect();
    const int size = m_nHandleSize;
    // Handles sit outside the rectangle with resizeOutside, inside otherwise.
    const int off = (m_nStyle & resizeOutside) ? -size : 0;
    int x, y;
    switch (nHandle) {
    case hitTopLeft: x = r.left + off; y = r.top + off; break;
    case hitTopRight: x = r.right - size - off; y = r.top + off; break;
    case hitBottomRight: x = r.right - size - off; y = r.bottom - size - off; break;
    case hitBottomLeft: x = r.left + off; y = r.bottom - size - off; break;
    case hitTop: x = r.left + (r.Width() - size) / 2; y = r.top + off; break;
    case hitRight: x = r.right - size - off; y = r.top + (r.Height() - size) / 2; break;
    case hitBottom: x = r.left + (r.Width() - size) / 2; y = r.bottom - size - off; break;
    default: x = r.left + off; y = r.top + (r.Height() - size) / 2; break;
    }
    pHandleRect->SetRect(x, y, x + size, y + size);
}

void CRectTracker::GetTrueRect(LPRECT lpTrueRect) const
{
    CRect r = m_rect;
    r.NormalizeRect();
    if (m_nStyle & resizeOutside)
        r.InflateRect(m_nHandleSize, m_nHandleSize);
    *lpTrueRect = r;
}

void CRectTracker::Draw(CDC* pDC) const
{
    CRect r = m_rect;
    r.NormalizeRect();
    const int saved = pDC->SaveDC();
    if (m_nStyle & (dottedLine | solidLine)) {
        LOGBRUSH lb = {BS_SOLID, RGB(0, 0, 0), 0};
        HPEN pen = (m_nStyle & dottedLine) ? ::ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, NULL)
                                           : ::CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
        HGDIOBJ oldPen = pDC->SelectObject((HGDIOBJ)pen);
        HGDIOBJ oldBrush = pDC->SelectObject(::GetStockObject(NULL_BRUSH));
        pDC->Rectangle(r.left, r.top, r.right + 1, r.bottom + 1);
        pDC->SelectObject(oldBrush);
        pDC->SelectObject(oldPen);
        ::DeleteObject(pen);
    }
    if (m_nStyle & (resizeInside | resizeOutside)) {
        for (int i = 0; i < 8; ++i) {
            CRect h;
            GetHandleRect(i, &h);
            pDC->FillSolidRect(&h, RGB(0, 0, 0));
        }
    }
    pDC->RestoreDC(saved);
}

int CRectTracker::HitTestHandles(CPoint point) const
{
    if (m_nStyle & (resizeInside | resizeOutside))
        for (int i = 0; i < 8; ++i) {
            CRect h;
            GetHandleRect(i, &h);
            if (h.PtInRect(point))
                return i;
        }
    CRect r = m_rect;
    r.NormalizeRect();
    r.right += 1;
    r.bottom += 1;
    return r.PtInRect(point) ? (int)hitMiddle : (int)hitNothing;
}

int CRectTracker::HitTest(CPoint point) const
{
    if (m_rect.IsRectEmpty() && m_rect.left == m_rect.right && m_rect.top == m_rect.bottom)
        return hitNothing;
    return HitTestHandles(point);
}

int CRectTracker::NormalizeHit(int nHandle) const
{
    if (nHandle == hitNothing || nHandle == hitMiddle)
        return nHandle;
    // An inverted rectangle swaps the roles of its handles.
    static const int swapX[8] = {1, 0, 3, 2, 4, 7, 6, 5};
    static const int swapY[8] = {3, 2, 1, 0, 6, 5, 4, 7};
    if (m_rect.right < m_rect.left)
        nHandle = swapX[nHandle];
    if (m_rect.bottom < m_rect.top)
        nHandle = swapY[nHandle];
    return nHandle;
}

BOOL CRectTracker::SetCursor(CWnd* pWnd, UINT nHitTest) const
{
    if (nHitTest != HTCLIENT)
        return FALSE;
    POINT pt;
    ::GetCursorPos(&pt);
    pWnd->ScreenToClient(&pt);
    const int hit = NormalizeHit(HitTest(pt));
    if (hit < 0)
        return FALSE;
    static const LPCWSTR cursors[9] = {IDC_SIZENWSE, IDC_SIZENESW, IDC_SIZENWSE, IDC_SIZENESW,
                                       IDC_SIZENS, IDC_SIZEWE, IDC_SIZENS, IDC_SIZEWE, IDC_SIZEALL};
    ::SetCursor(::LoadCursorW(NULL, cursors[hit]));
    return TRUE;
}

void CRectTracker::DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd)
{
    (void)pWndClipTo;
    (void)pWnd;
    CRect r = *lpRect;
    r.NormalizeRect();
    // Exclusive-or drawing: the second draw of the same rectangle erases it.
    if (m_bErase || m_bFinalErase || !m_rectLast.IsRectEmpty())
        pDC->DrawFocusRect(&m_rectLast);
    if (!m_bFinalErase)
        pDC->DrawFocusRect(&r);
    m_rectLast = m_bFinalErase ? CRect(0, 0, 0, 0) : r;
}

BOOL CRectTracker::Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert, CWnd* pWndClipTo)
{
    const int hit = HitTest(point);
    if (hit < 0)
        return FALSE;
    m_bAllowInvert = bAllowInvert;
    return TrackHandle(hit, pWnd, point, pWndClipTo);
}

BOOL CRectTracker::TrackRubberBand(CWnd* pWnd, CPoint point, BOOL bAllowInvert)
{
    m_bAllowInvert = bAllowInvert;
    m_rect.SetRect(point.x, point.y, point.x, point.y);
    return TrackHandle(hitBottomRight, pWnd, point, NULL);
}

BOOL CRectTracker::TrackHandle(int nHandle, CWnd* pWnd, CPoint point, CWnd* pWndClipTo)
{
    if (pWnd == NULL || pWnd->GetSafeHwnd() == NULL)
        return FALSE;
    const CRect start = m_rect;
    pWnd->UpdateWindow();
    pWnd->SetCapture();
    HDC hdc = ::GetDC(pWnd->GetSafeHwnd());
    CDC dc;
    dc.Attach(hdc);
    m_rectLast.SetRectEmpty();
    m_bErase = m_bFinalErase = FALSE;
    BOOL moved = FALSE, done = FALSE, cancelled = FALSE;
    const CPoint anchor = point;
    while (!done) {
        MSG msg;
        if (!::GetMessageW(&msg, NULL, 0, 0)) {
            ::PostQuitMessage((int)msg.wParam);
            break;
        }
        if (::GetCapture() != pWnd->GetSafeHwnd())
            break;
        switch (msg.message) {
        case WM_LBUTTONUP:
        case WM_MOUSEMOVE: {
            const CPoint pt((short)LOWORD(msg.lParam), (short)HIWORD(msg.lParam));
            const int dx = pt.x - anchor.x, dy = pt.y - anchor.y;
            CRect r = start;
            if (nHandle == hitMiddle) {
                r.OffsetRect(dx, dy);
            } else {
                if (nHandle == hitTopLeft || nHandle == hitBottomLeft || nHandle == hitLeft) r.left += dx;
                if (nHandle == hitTopRight || nHandle == hitBottomRight || nHandle == hitRight) r.right += dx;
                if (nHandle == hitTopLeft || nHandle == hitTopRight || nHandle == hitTop) r.top += dy;
                if (nHandle == hitBottomLeft || nHandle == hitBottomRight || nHandle == hitBottom) r.bottom += dy;
                if (!m_bAllowInvert) {
                    if (r.right < r.left) r.right = r.left;
                    if (r.bottom < r.top) r.bottom = r.top;
                }
            }
            if (r != m_rect || msg.message == WM_LBUTTONUP) {
                if (r != start)
                    moved = TRUE;
                m_rect = r;
                if (msg.message == WM_MOUSEMOVE)
                    DrawTrackerRect(&m_rect, pWndClipTo, &dc, pWnd);
            }
            if (msg.message == WM_LBUTTONUP)
                done = TRUE;
            break;
        }
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE) {
                cancelled = TRUE;
                done = TRUE;
            }
            break;
        case WM_RBUTTONDOWN:
            cancelled = TRUE;
            done = TRUE;
            break;
        default:
            ::DispatchMessageW(&msg);
            break;
        }
    }
    m_bFinalErase = TRUE;
    if (!m_rectLast.IsRectEmpty())
        DrawTrackerRect(&m_rect, pWndClipTo, &dc, pWnd);
    dc.Detach();
    ::ReleaseDC(pWnd->GetSafeHwnd(), hdc);
    ::ReleaseCapture();
    if (cancelled) {
        m_rect = start;
        return FALSE;
    }
    // A rubber band that never left its point is no rectangle.
    if (m_rect.left == m_rect.right || m_rect.top == m_rect.bottom)
        return moved && nHandle != hitBottomRight ? TRUE : (m_rect != start);
    return moved;
}
