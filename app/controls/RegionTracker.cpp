#include "RegionTracker.h"

namespace {

// Made once under the framework's lock and shared by every tracker.
struct TrackerShared
{
    bool bInit = false;
    HBRUSH hHatchBrush = NULL;
    HPEN hDottedPen = NULL;
    HPEN hSolidPen = NULL;
    COLORREF crPens = CLR_INVALID;
    HCURSOR hCursors[10] = {};
    int nHandleSize = 4;
};

TrackerShared& Shared()
{
    static TrackerShared s;
    return s;
}

HPEN MakePen(DWORD dwStyle, COLORREF cr)
{
    LOGBRUSH lb = { BS_SOLID, cr, 0 };
    return ::ExtCreatePen(PS_GEOMETRIC | dwStyle | PS_ENDCAP_FLAT | PS_JOIN_MITER, 2, &lb, 0, NULL);
}

// Both pens in the colour asked for; raises the resource exception when they cannot be made.
void EnsureShared(COLORREF cr)
{
    TrackerShared& s = Shared();
    AfxLockGlobals();
    if (!s.bInit) {
        static const WORD hatch[8] = { 0x1111, 0x2222, 0x4444, 0x8888, 0x1111, 0x2222, 0x4444, 0x8888 };
        HBITMAP hHatch = ::CreateBitmap(8, 8, 1, 1, hatch);
        if (hHatch == NULL) {
            AfxUnlockGlobals();
            AfxThrowResourceException();
        }
        s.hHatchBrush = ::CreatePatternBrush(hHatch);
        ::DeleteObject(hHatch);
        if (s.hHatchBrush == NULL) {
            AfxUnlockGlobals();
            AfxThrowResourceException();
        }
        s.nHandleSize = (int)::GetProfileIntW(L"windows", L"oleinplaceborderwidth", 4);
        s.bInit = true;
    }
    if (s.crPens != cr || s.hDottedPen == NULL || s.hSolidPen == NULL) {
        HPEN hDotted = MakePen(PS_DOT, cr);
        HPEN hSolid = MakePen(PS_SOLID, cr);
        if (hDotted == NULL || hSolid == NULL) {
            if (hDotted) ::DeleteObject(hDotted);
            if (hSolid) ::DeleteObject(hSolid);
            AfxUnlockGlobals();
            AfxThrowResourceException();
        }
        if (s.hDottedPen) ::DeleteObject(s.hDottedPen);
        if (s.hSolidPen) ::DeleteObject(s.hSolidPen);
        s.hDottedPen = hDotted;
        s.hSolidPen = hSolid;
        s.crPens = cr;
    }
    AfxUnlockGlobals();
}

// Handle codes of a rectangle whose sides are swapped, so the cursor matches what the
// user sees.
int Mirror(int nHit, const CRect& r)
{
    static const int swapX[9] = { 1, 0, 3, 2, 4, 7, 6, 5, 8 };
    static const int swapY[9] = { 3, 2, 1, 0, 6, 5, 4, 7, 8 };
    if (nHit < 0) return nHit;
    if (r.left > r.right) nHit = swapX[nHit];
    if (r.top > r.bottom) nHit = swapY[nHit];
    return nHit;
}

} // namespace

CRegionTracker::CRegionTracker() : m_nStyle(0), m_crColor(255) { Construct(); }

CRegionTracker::CRegionTracker(LPCRECT lpSrcRect, UINT nStyle) : m_rect(lpSrcRect), m_nStyle(nStyle), m_crColor(255)
{
    Construct();
}

CRegionTracker::~CRegionTracker() {}

void CRegionTracker::Construct()
{
    EnsureShared(m_crColor);
    int s = Shared().nHandleSize;
    m_sizeMin = CSize(2 * s, 2 * s);
    m_rectBounds.SetRectEmpty();
}

void CRegionTracker::SetColor(COLORREF cr)
{
    m_crColor = cr;
    EnsureShared(cr);
}

void CRegionTracker::SetCursors(UINT nNS, UINT nWE, UINT nNWSE, UINT nNESW, UINT nMove)
{
    auto load = [](UINT nID) {
        LPCWSTR name = MAKEINTRESOURCEW(nID);
        return ::LoadCursorW(AfxFindResourceHandle(name, (LPCWSTR)RT_GROUP_CURSOR), name);
    };
    HCURSOR ns = load(nNS), we = load(nWE), nwse = load(nNWSE), nesw = load(nNESW), move = load(nMove);
    AfxLockGlobals();
    HCURSOR* c = Shared().hCursors;
    c[hitTopLeft] = c[hitBottomRight] = nwse;
    c[hitTopRight] = c[hitBottomLeft] = nesw;
    c[hitTop] = c[hitBottom] = ns;
    c[hitLeft] = c[hitRight] = we;
    c[hitMiddle] = move;
    AfxUnlockGlobals();
}

int CRegionTracker::GetHandleSize(LPCRECT lpRect) const
{
    int s = Shared().nHandleSize;
    if (lpRect != NULL && !(m_nStyle & resizeOutside)) {
        // Handles inside a small rectangle may not cover more than half of it.
        CRect r(lpRect);
        r.NormalizeRect();
        int nMax = r.Width() < r.Height() ? r.Width() : r.Height();
        if (s * 2 > nMax) s = nMax / 2;
    }
    return s;
}

UINT CRegionTracker::GetHandleMask() const
{
    UINT mask = 0x0F;
    int s = GetHandleSize(&m_rect);
    CRect r(m_rect);
    r.NormalizeRect();
    if (r.Width() - 3 * s >= 5) mask |= 0x50;
    if (r.Height() - 3 * s >= 5) mask |= 0xA0;
    return mask;
}

int CRegionTracker::HandleReach() const
{
    int s = GetHandleSize(&m_rect);
    if (!(m_nStyle & resizeOutside)) return 0;
    return (m_nStyle & centeredHandles) ? s - s / 2 - 1 : s - 1;
}

// The frame is the normalised rectangle; handles sit on its corners and mid-sides,
// reaching HandleReach() pixels beyond it.
CRect CRegionTracker::HandleRect(int nHandle, const CRect& r) const
{
    int s = GetHandleSize(&m_rect);
    int e = HandleReach();
    int xl = r.left - e, xr = r.right + e - s, xm = (r.left + r.right - s) / 2;
    int yt = r.top - e, yb = r.bottom + e - s, ym = (r.top + r.bottom - s) / 2;
    static const int col[8] = { 0, 2, 2, 0, 1, 2, 1, 0 };   // 0 left, 1 middle, 2 right
    static const int row[8] = { 0, 0, 2, 2, 0, 1, 2, 1 };
    int x = col[nHandle] == 0 ? xl : (col[nHandle] == 1 ? xm : xr);
    int y = row[nHandle] == 0 ? yt : (row[nHandle] == 1 ? ym : yb);
    return CRect(x, y, x + s, y + s);
}

void CRegionTracker::GetTrueRect(LPRECT lpTrueRect) const
{
    CRect r(m_rect);
    r.NormalizeRect();
    int e = HandleReach();
    if (m_nStyle & (solidLine | dottedLine)) r.InflateRect(1, 1);
    if (e > 0) r.InflateRect(e, e);
    if (m_nStyle & hatchedBorder) r.InflateRect(GetHandleSize(), GetHandleSize());
    *lpTrueRect = r;
}

int CRegionTracker::HitTest(CPoint point) const
{
    CRect trueRect;
    GetTrueRect(&trueRect);
    if (!trueRect.PtInRect(point)) return hitNothing;
    CRect r(m_rect);
    r.NormalizeRect();
    if (m_nStyle & (resizeInside | resizeOutside)) {
        UINT mask = GetHandleMask();
        for (int i = 0; i < 8; i++)
            if ((mask & (1u << i)) && HandleRect(i, r).PtInRect(point)) return i;
    }
    CRect inner(r);
    inner.InflateRect(1, 1);
    if ((m_nStyle & hatchedBorder) || inner.PtInRect(point)) return hitMiddle;
    return hitNothing;
}

BOOL CRegionTracker::SetCursor(CWnd* pWnd, UINT nHitTest) const
{
    if (nHitTest != HTCLIENT || pWnd == NULL) return FALSE;
    CPoint point;
    ::GetCursorPos(&point);
    pWnd->ScreenToClient(&point);
    int nHit = Mirror(HitTest(point), m_rect);
    if (nHit < 0) return FALSE;
    HCURSOR hCursor = Shared().hCursors[nHit];
    if (hCursor == NULL) return FALSE;
    ::SetCursor(hCursor);
    return TRUE;
}

void CRegionTracker::DrawTrackerRect(LPCRECT, CWnd*, CDC*, CWnd* pWnd)
{
    if (pWnd != NULL) pWnd->Invalidate(FALSE);
}

BOOL CRegionTracker::Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert, CWnd* pWndClipTo)
{
    if (pWnd == NULL || ::GetCapture() != NULL) return FALSE;
    int nHit = HitTest(point);
    if (nHit < 0) return FALSE;

    CRect rectSave(m_rect);
    CRect start(m_rect);
    start.NormalizeRect();
    m_rect = start;
    // Which edges follow the pointer.
    BOOL bLeft = nHit == hitTopLeft || nHit == hitBottomLeft || nHit == hitLeft || nHit == hitMiddle;
    BOOL bRight = nHit == hitTopRight || nHit == hitBottomRight || nHit == hitRight || nHit == hitMiddle;
    BOOL bTop = nHit == hitTopLeft || nHit == hitTopRight || nHit == hitTop || nHit == hitMiddle;
    BOOL bBottom = nHit == hitBottomLeft || nHit == hitBottomRight || nHit == hitBottom || nHit == hitMiddle;
    CRect bounds(m_rectBounds);
    BOOL bBounded = !bounds.IsRectEmpty();

    pWnd->SetCapture();
    BOOL bCancelled = FALSE;
    for (;;) {
        MSG msg;
        if (!::GetMessageW(&msg, NULL, 0, 0)) {
            ::PostQuitMessage((int)msg.wParam);
            bCancelled = TRUE;
            break;
        }
        if (::GetCapture() != pWnd->m_hWnd) {
            ::DispatchMessageW(&msg);
            bCancelled = TRUE;
            break;
        }
        // The owner's own handlers see every message as usual.
        ::DispatchMessageW(&msg);
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            bCancelled = TRUE;
            break;
        }
        if (msg.message == WM_RBUTTONDOWN) {
            bCancelled = TRUE;
            break;
        }
        if (msg.message != WM_MOUSEMOVE && msg.message != WM_LBUTTONUP) continue;

        CPoint pt((short)LOWORD(msg.lParam), (short)HIWORD(msg.lParam));
        if (msg.hwnd != pWnd->m_hWnd) {
            ::MapWindowPoints(msg.hwnd, pWnd->m_hWnd, &pt, 1);
        }
        int dx = pt.x - point.x, dy = pt.y - point.y;
        CRect r(start);
        if (nHit == hitMiddle) {
            r.OffsetRect(dx, dy);
            if (bBounded) {
                // Against an edge the rectangle stops; it never shrinks.
                if (r.left < bounds.left) r.OffsetRect(bounds.left - r.left, 0);
                if (r.right > bounds.right) r.OffsetRect(bounds.right - r.right, 0);
                if (r.top < bounds.top) r.OffsetRect(0, bounds.top - r.top);
                if (r.bottom > bounds.bottom) r.OffsetRect(0, bounds.bottom - r.bottom);
            }
        } else {
            auto clampX = [&](int x) { return bBounded ? (x < bounds.left ? bounds.left : (x > bounds.right ? bounds.right : x)) : x; };
            auto clampY = [&](int y) { return bBounded ? (y < bounds.top ? bounds.top : (y > bounds.bottom ? bounds.bottom : y)) : y; };
            if (bLeft) r.left = clampX(start.left + dx);
            if (bRight) r.right = clampX(start.right + dx);
            if (bTop) r.top = clampY(start.top + dy);
            if (bBottom) r.bottom = clampY(start.bottom + dy);
            if (!bAllowInvert) {
                if (bLeft && r.right - r.left < m_sizeMin.cx) r.left = r.right - m_sizeMin.cx;
                if (bRight && r.right - r.left < m_sizeMin.cx) r.right = r.left + m_sizeMin.cx;
                if (bTop && r.bottom - r.top < m_sizeMin.cy) r.top = r.bottom - m_sizeMin.cy;
                if (bBottom && r.bottom - r.top < m_sizeMin.cy) r.bottom = r.top + m_sizeMin.cy;
            }
        }
        if (r != m_rect) {
            m_rect = r;
            DrawTrackerRect(&m_rect, pWndClipTo, NULL, pWnd);
        }
        if (msg.message == WM_LBUTTONUP) break;
    }
    if (::GetCapture() == pWnd->m_hWnd) ::ReleaseCapture();
    if (bCancelled) {
        m_rect = rectSave;
        DrawTrackerRect(&m_rect, pWndClipTo, NULL, pWnd);
        return FALSE;
    }
    return m_rect != rectSave;
}

void CRegionTracker::Draw(CDC* pDC) const
{
    CRect r(m_rect);
    r.NormalizeRect();
    int nSaved = pDC->SaveDC();
    pDC->SetMapMode(MM_TEXT);
    if (m_nStyle & (solidLine | dottedLine)) {
        HGDIOBJ hPen = (m_nStyle & dottedLine) ? Shared().hDottedPen : Shared().hSolidPen;
        ::SelectObject(pDC->m_hDC, hPen);
        ::SelectObject(pDC->m_hDC, ::GetStockObject(NULL_BRUSH));
        pDC->SetBkMode(TRANSPARENT);
        pDC->Rectangle(r.left, r.top, r.right, r.bottom);
    }
    if (m_nStyle & (hatchInside | hatchedBorder)) {
        ::SetBkMode(pDC->m_hDC, TRANSPARENT);
        ::SetTextColor(pDC->m_hDC, m_crColor);
        CRect hatch(r);
        if (m_nStyle & hatchedBorder) {
            int s = GetHandleSize();
            CRect outer(r);
            outer.InflateRect(s, s);
            HRGN hOuter = ::CreateRectRgnIndirect(&outer);
            HRGN hInner = ::CreateRectRgnIndirect(&r);
            ::CombineRgn(hOuter, hOuter, hInner, RGN_DIFF);
            ::FillRgn(pDC->m_hDC, hOuter, Shared().hHatchBrush);
            ::DeleteObject(hOuter);
            ::DeleteObject(hInner);
        }
        if (m_nStyle & hatchInside) ::FillRect(pDC->m_hDC, &hatch, Shared().hHatchBrush);
    }
    if (m_nStyle & (resizeInside | resizeOutside)) {
        UINT mask = GetHandleMask();
        for (int i = 0; i < 8; i++)
            if (mask & (1u << i)) {
                CRect handle = HandleRect(i, r);
                pDC->FillSolidRect(&handle, m_crColor);
            }
    }
    pDC->RestoreDC(nSaved);
}
