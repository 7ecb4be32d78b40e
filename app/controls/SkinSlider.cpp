#include "SkinSlider.h"

CSkinSlider::CSkinSlider()
    : m_nMax(100), m_nMin(0), m_nPos(0), m_nPageStep(20), m_nMarginLeft(0), m_nMarginRight(0), m_nMarginTop(0),
      m_nMarginBottom(0), m_nChannelWidth(0), m_nChannelHeight(0), m_nThumbWidth(0), m_nThumbHeight(0),
      m_nSavedX(-1), m_nSavedY(-1), m_nGrabOffset(0), m_bVertical(FALSE), m_bChannelActive(FALSE),
      m_bThumbActive(FALSE), m_bChannelTransparent(FALSE), m_bThumbTransparent(FALSE), m_bThumbLoaded(FALSE),
      m_bChannelLoaded(FALSE), m_bDragging(FALSE), m_bEnabled(TRUE)
{
}

CSkinSlider::~CSkinSlider() { DeleteBitmaps(); }

BEGIN_MESSAGE_MAP(CSkinSlider, CStatic)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_GETDLGCODE()
    ON_WM_KEYDOWN()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

// Range and position ---------------------------------------------------------------------

void CSkinSlider::SetRange(int nMin, int nMax, BOOL bRedraw)
{
    SetMin(nMin, FALSE);
    SetMax(nMax, bRedraw);
}

void CSkinSlider::SetMin(int nMin, BOOL bRedraw)
{
    m_nMin = nMin;
    if (bRedraw && m_hWnd != NULL) Invalidate();
}

void CSkinSlider::SetMax(int nMax, BOOL bRedraw)
{
    m_nMax = nMax;
    if (bRedraw && m_hWnd != NULL) Invalidate();
}

int CSkinSlider::Clamp(int nPos) const
{
    if (nPos > m_nMax) nPos = m_nMax;
    if (nPos < m_nMin) nPos = m_nMin;
    return nPos;
}

void CSkinSlider::SetPos(int nPos)
{
    m_nPos = Clamp(nPos);
    if (m_hWnd != NULL) Invalidate();
}

void CSkinSlider::Enable(BOOL bEnable)
{
    m_bEnabled = bEnable;
    if (!bEnable && m_bDragging) {
        m_bDragging = FALSE;
        if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    }
    if (m_hWnd != NULL) Invalidate();
}

// Along the axis: thumb size S, margins M1 and M2, channel length L.
int CSkinSlider::Travel() const
{
    int S = m_bVertical ? m_nThumbHeight : m_nThumbWidth;
    int M1 = m_bVertical ? m_nMarginTop : m_nMarginLeft;
    int M2 = m_bVertical ? m_nMarginBottom : m_nMarginRight;
    int L = m_bVertical ? m_nChannelHeight : m_nChannelWidth;
    return L - M2 - S - M1;
}

int CSkinSlider::PositionToPixel() const
{
    int S = m_bVertical ? m_nThumbHeight : m_nThumbWidth;
    int M1 = m_bVertical ? m_nMarginTop : m_nMarginLeft;
    int T = Travel();
    // An empty range or a thumb as long as the channel leaves the thumb at the minimum end.
    if (m_nMax <= m_nMin || T <= 0) return M1 + S / 2;
    double f = (double)((long long)m_nPos - m_nMin) / ((long long)m_nMax - m_nMin) * T;
    return M1 + (int)f + S / 2;
}

int CSkinSlider::PixelToPosition(int nPixel) const
{
    int S = m_bVertical ? m_nThumbHeight : m_nThumbWidth;
    int M1 = m_bVertical ? m_nMarginTop : m_nMarginLeft;
    int T = Travel();
    if (m_nMax <= m_nMin || T <= 0) return m_nPos;
    double f = (double)(nPixel - S / 2 - M1) / T * ((double)m_nMax - m_nMin) + m_nMin;
    return (int)f;
}

void CSkinSlider::PostToParent(UINT message)
{
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent != NULL) ::PostMessageW(hParent, message, (WPARAM)GetDlgCtrlID(), (LPARAM)m_nPos);
}

// Mouse and keys ----------------------------------------------------------------------------

void CSkinSlider::HandleDrag(CPoint point)
{
    if (m_nMax <= m_nMin || Travel() <= 0) return;   // nothing to move along
    int S = m_bVertical ? m_nThumbHeight : m_nThumbWidth;
    int M1 = m_bVertical ? m_nMarginTop : m_nMarginLeft;
    int M2 = m_bVertical ? m_nMarginBottom : m_nMarginRight;
    int L = m_bVertical ? m_nChannelHeight : m_nChannelWidth;
    int nTarget = (m_bVertical ? point.y : point.x) - m_nGrabOffset;
    int lo = S / 2 + M1, hi = L - M2 - S / 2;
    if (nTarget < lo) nTarget = lo;
    if (nTarget > hi) nTarget = hi;
    if (nTarget == PositionToPixel()) return;
    m_nPos = Clamp(PixelToPosition(nTarget));
    PostToParent(WM_SLIDER_MOVING);
    Invalidate();
}

void CSkinSlider::OnLButtonDown(UINT, CPoint point)
{
    if (!m_bEnabled) return;
    SetCapture();
    SetFocus();
    m_bDragging = TRUE;
    int S = m_bVertical ? m_nThumbHeight : m_nThumbWidth;
    int c = m_bVertical ? point.y : point.x;
    int nCentre = PositionToPixel();
    m_nGrabOffset = (c - nCentre <= S / 2 && nCentre - c <= S / 2) ? c - nCentre : 0;
    HandleDrag(point);
    Invalidate();
}

void CSkinSlider::OnMouseMove(UINT, CPoint point)
{
    if (m_bDragging && m_bEnabled) HandleDrag(point);
}

void CSkinSlider::OnLButtonUp(UINT, CPoint)
{
    if (!m_bEnabled) return;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    m_bDragging = FALSE;
    Invalidate();
    PostToParent(WM_SLIDER_MOVED);
}

UINT CSkinSlider::OnGetDlgCode()
{
    if (::GetKeyState(VK_TAB) >= 0) return DLGC_WANTARROWS;
    return (UINT)Default();
}

void CSkinSlider::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (!m_bEnabled || nChar < VK_PRIOR || nChar > VK_DOWN) {
        Default();
        return;
    }
    int nPos = m_nPos;
    switch (nChar) {
    case VK_PRIOR: nPos = m_nPos - m_nPageStep; break;
    case VK_NEXT: nPos = m_nPos + m_nPageStep; break;
    case VK_END: nPos = m_nMax; break;
    case VK_HOME: nPos = m_nMin; break;
    case VK_LEFT: case VK_UP: nPos = m_nPos - 1; break;
    case VK_RIGHT: case VK_DOWN: nPos = m_nPos + 1; break;
    }
    SetPos(nPos);
    PostToParent(WM_SLIDER_MOVED);
}

void CSkinSlider::OnSetFocus(CWnd*)
{
    Default();
    Invalidate();
}

void CSkinSlider::OnKillFocus(CWnd*)
{
    Default();
    Invalidate();
}

void CSkinSlider::OnDestroy()
{
    Default();
    DeleteBitmaps();
}

// Bitmaps --------------------------------------------------------------------------------

void CSkinSlider::DeleteChannel()
{
    m_bmpChannel.DeleteObject();
    m_bmpChannelMask.DeleteObject();
    m_bmpChannelActive.DeleteObject();
    m_bmpChannelActiveMask.DeleteObject();
    m_bChannelLoaded = FALSE;
    m_bChannelActive = FALSE;
}

void CSkinSlider::DeleteThumb()
{
    m_bmpThumb.DeleteObject();
    m_bmpThumbMask.DeleteObject();
    m_bmpThumbActive.DeleteObject();
    m_bmpThumbActiveMask.DeleteObject();
    m_bmpThumbBack.DeleteObject();
    m_nSavedX = m_nSavedY = -1;
    m_bThumbLoaded = FALSE;
    m_bThumbActive = FALSE;
}

void CSkinSlider::DeleteBitmaps()
{
    DeleteChannel();
    DeleteThumb();
}

BOOL CSkinSlider::LoadWithMask(UINT nID, CBitmap& bmp, CBitmap& mask, BOOL bTransparent, COLORREF crKey, int x, int y)
{
    bmp.DeleteObject();
    mask.DeleteObject();
    if (!bmp.LoadBitmap(LOWORD(nID))) return FALSE;
    if (!bTransparent) return TRUE;

    BITMAP bm = {};
    bmp.GetBitmap(&bm);
    CClientDC screen(NULL);
    CDC dcImage, dcMask;
    dcImage.CreateCompatibleDC(&screen);
    dcMask.CreateCompatibleDC(&screen);
    mask.CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, NULL);
    CBitmap* pOldImage = dcImage.SelectObject(&bmp);
    CBitmap* pOldMask = dcMask.SelectObject(&mask);
    COLORREF key = crKey == KEY_FROM_PIXEL ? dcImage.GetPixel(x, y) : crKey;
    // Key-coloured pixels become white in the mask, all others black...
    dcImage.SetBkColor(key);
    dcMask.BitBlt(0, 0, bm.bmWidth, bm.bmHeight, &dcImage, 0, 0, SRCCOPY);
    // ...and black in the picture, so that the two combine over any background.
    dcImage.SetTextColor(RGB(255, 255, 255));
    dcImage.SetBkColor(RGB(0, 0, 0));
    dcImage.BitBlt(0, 0, bm.bmWidth, bm.bmHeight, &dcMask, 0, 0, SRCAND);
    dcMask.SelectObject(pOldMask);
    dcImage.SelectObject(pOldImage);
    return TRUE;
}

BOOL CSkinSlider::SetChannelBitmaps(UINT nID, UINT nActiveID, BOOL bTransparent, COLORREF crKey, int nKeyX, int nKeyY)
{
    if (LOWORD(nID) == 0) {
        DeleteChannel();
        if (m_hWnd != NULL) Invalidate();
        return TRUE;
    }
    if (!LoadWithMask(nID, m_bmpChannel, m_bmpChannelMask, bTransparent, crKey, nKeyX, nKeyY)) return FALSE;
    m_bmpChannelActive.DeleteObject();
    m_bmpChannelActiveMask.DeleteObject();
    if (LOWORD(nActiveID) != 0 &&
        !LoadWithMask(nActiveID, m_bmpChannelActive, m_bmpChannelActiveMask, bTransparent, crKey, nKeyX, nKeyY)) {
        m_bmpChannel.DeleteObject();
        m_bmpChannelMask.DeleteObject();
        return FALSE;
    }
    m_bChannelActive = LOWORD(nActiveID) != 0;
    BITMAP bm = {};
    m_bmpChannel.GetBitmap(&bm);
    m_nChannelWidth = bm.bmWidth;
    m_nChannelHeight = bm.bmHeight;
    if (m_hWnd != NULL) {
        SetWindowPos(NULL, 0, 0, m_nChannelWidth, m_nChannelHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetClientRect(&m_rcClient);
        Invalidate();
    }
    m_bChannelTransparent = bTransparent;
    m_bChannelLoaded = TRUE;
    return TRUE;
}

BOOL CSkinSlider::SetThumbBitmaps(UINT nID, UINT nActiveID, BOOL bTransparent, COLORREF crKey, int nKeyX, int nKeyY)
{
    if (LOWORD(nID) == 0) {
        DeleteThumb();
        if (m_hWnd != NULL) Invalidate();
        return TRUE;
    }
    if (!LoadWithMask(nID, m_bmpThumb, m_bmpThumbMask, bTransparent, crKey, nKeyX, nKeyY)) return FALSE;
    m_bmpThumbActive.DeleteObject();
    m_bmpThumbActiveMask.DeleteObject();
    if (LOWORD(nActiveID) != 0 &&
        !LoadWithMask(nActiveID, m_bmpThumbActive, m_bmpThumbActiveMask, bTransparent, crKey, nKeyX, nKeyY)) {
        m_bmpThumb.DeleteObject();
        m_bmpThumbMask.DeleteObject();
        return FALSE;
    }
    m_bThumbActive = LOWORD(nActiveID) != 0;
    BITMAP bm = {};
    m_bmpThumb.GetBitmap(&bm);
    m_nThumbWidth = bm.bmWidth;
    m_nThumbHeight = bm.bmHeight;
    m_bmpThumbBack.DeleteObject();
    m_nSavedX = m_nSavedY = -1;
    if (!m_bChannelLoaded && m_hWnd != NULL) {
        GetClientRect(&m_rcClient);
        m_nChannelWidth = m_rcClient.Width();
        m_nChannelHeight = m_rcClient.Height();
    }
    m_bThumbTransparent = bTransparent;
    m_bThumbLoaded = TRUE;
    if (m_hWnd != NULL) Invalidate();
    return TRUE;
}

// Painting -------------------------------------------------------------------------------

BOOL CSkinSlider::OnEraseBkgnd(CDC*) { return TRUE; }

void CSkinSlider::DrawPart(CDC* pDC, CBitmap& bmp, CBitmap& mask, BOOL bTransparent, int xDst, int yDst, int xSrc,
                           int ySrc, int cx, int cy)
{
    if (cx <= 0 || cy <= 0 || bmp.GetSafeHandle() == NULL) return;
    CDC dcImage;
    dcImage.CreateCompatibleDC(pDC);
    CBitmap* pOld = dcImage.SelectObject(&bmp);
    if (bTransparent && mask.GetSafeHandle() != NULL) {
        CDC dcMask;
        dcMask.CreateCompatibleDC(pDC);
        CBitmap* pOldMask = dcMask.SelectObject(&mask);
        COLORREF crOldBk = pDC->SetBkColor(RGB(255, 255, 255));
        COLORREF crOldText = pDC->SetTextColor(RGB(0, 0, 0));
        pDC->BitBlt(xDst, yDst, cx, cy, &dcMask, xSrc, ySrc, SRCAND);
        pDC->BitBlt(xDst, yDst, cx, cy, &dcImage, xSrc, ySrc, SRCPAINT);
        pDC->SetBkColor(crOldBk);
        pDC->SetTextColor(crOldText);
        dcMask.SelectObject(pOldMask);
    } else {
        pDC->BitBlt(xDst, yDst, cx, cy, &dcImage, xSrc, ySrc, SRCCOPY);
    }
    dcImage.SelectObject(pOld);
}

void CSkinSlider::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    int w = rect.Width(), h = rect.Height();
    if (w <= 0 || h <= 0) return;
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap canvas;
    canvas.CreateCompatibleBitmap(&dc, w, h);
    CBitmap* pOldCanvas = mem.SelectObject(&canvas);

    BOOL bSeeThrough = m_bChannelLoaded && m_bChannelTransparent;
    if (bSeeThrough) mem.BitBlt(0, 0, w, h, &dc, 0, 0, SRCCOPY);
    else mem.FillSolidRect(0, 0, w, h, dc.GetBkColor());

    // What lay under the thumb goes back before the channel is drawn over it, so the
    // channel's own look is never replaced by an old copy of itself.
    CDC dcBack;
    dcBack.CreateCompatibleDC(&dc);
    if (m_nSavedX != -1 && m_bmpThumbBack.GetSafeHandle() != NULL) {
        CBitmap* pOld = dcBack.SelectObject(&m_bmpThumbBack);
        mem.BitBlt(m_nSavedX, m_nSavedY, m_nThumbWidth, m_nThumbHeight, &dcBack, 0, 0, SRCCOPY);
        dcBack.SelectObject(pOld);
        m_nSavedX = m_nSavedY = -1;
    }

    int P = PositionToPixel();
    if (m_bChannelLoaded) {
        if (m_bChannelActive && m_bEnabled) {
            int a = P < 0 ? 0 : P;
            if (!m_bVertical) {
                if (a > m_nChannelWidth) a = m_nChannelWidth;
                DrawPart(&mem, m_bmpChannelActive, m_bmpChannelActiveMask, m_bChannelTransparent, 0, 0, 0, 0, a, m_nChannelHeight);
                DrawPart(&mem, m_bmpChannel, m_bmpChannelMask, m_bChannelTransparent, a, 0, a, 0, m_nChannelWidth - a, m_nChannelHeight);
            } else {
                if (a > m_nChannelHeight) a = m_nChannelHeight;
                DrawPart(&mem, m_bmpChannelActive, m_bmpChannelActiveMask, m_bChannelTransparent, 0, 0, 0, 0, m_nChannelWidth, a);
                DrawPart(&mem, m_bmpChannel, m_bmpChannelMask, m_bChannelTransparent, 0, a, 0, a, m_nChannelWidth, m_nChannelHeight - a);
            }
        } else {
            DrawPart(&mem, m_bmpChannel, m_bmpChannelMask, m_bChannelTransparent, 0, 0, 0, 0, m_nChannelWidth, m_nChannelHeight);
        }
    }

    if (m_bThumbLoaded && m_bEnabled) {
        BOOL bActive = m_bDragging && m_bThumbActive;
        int x = m_bVertical ? m_nMarginLeft : P - m_nThumbWidth / 2;
        int y = m_bVertical ? P - m_nThumbHeight / 2 : m_nMarginTop;
        if (bSeeThrough || !m_bChannelLoaded) {
            if (m_bmpThumbBack.GetSafeHandle() == NULL) m_bmpThumbBack.CreateCompatibleBitmap(&dc, m_nThumbWidth, m_nThumbHeight);
            CBitmap* pOld = dcBack.SelectObject(&m_bmpThumbBack);
            dcBack.BitBlt(0, 0, m_nThumbWidth, m_nThumbHeight, &mem, x, y, SRCCOPY);
            dcBack.SelectObject(pOld);
            m_nSavedX = x;
            m_nSavedY = y;
        }
        if (bActive)
            DrawPart(&mem, m_bmpThumbActive, m_bmpThumbActiveMask, m_bThumbTransparent, x, y, 0, 0, m_nThumbWidth, m_nThumbHeight);
        else
            DrawPart(&mem, m_bmpThumb, m_bmpThumbMask, m_bThumbTransparent, x, y, 0, 0, m_nThumbWidth, m_nThumbHeight);
    }

    dc.BitBlt(0, 0, w, h, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(pOldCanvas);
}
