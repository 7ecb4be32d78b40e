#include "SkinBitmapButton.h"
#include <vector>

namespace {

void LoadSkinBitmap(CBitmap& bmp, UINT nID)
{
    bmp.DeleteObject();
    if (LOWORD(nID) != 0) bmp.LoadBitmap(LOWORD(nID));
}

CSize BitmapSize(CBitmap& bmp)
{
    BITMAP bm = {};
    if (bmp.GetSafeHandle() == NULL || !bmp.GetBitmap(&bm)) return CSize(0, 0);
    return CSize(bm.bmWidth, bm.bmHeight);
}

} // namespace

HRGN CreateRegionFromMask(HBITMAP hMask, COLORREF crTransparent)
{
    BITMAP bm = {};
    if (hMask == NULL || !::GetObjectW(hMask, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return ::CreateRectRgn(0, 0, 0, 0);
    int w = bm.bmWidth, h = bm.bmHeight;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;   // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> px((size_t)w * h);
    HDC hdc = ::GetDC(NULL);
    int nRows = ::GetDIBits(hdc, hMask, 0, h, px.data(), &bi, DIB_RGB_COLORS);
    ::ReleaseDC(NULL, hdc);
    if (nRows != h) return ::CreateRectRgn(0, 0, 0, 0);

    const DWORD key = (GetRValue(crTransparent) << 16) | (GetGValue(crTransparent) << 8) | GetBValue(crTransparent);
    // One rectangle per run, gathered 40 at a time and handed over in one piece.
    std::vector<RECT> runs;
    for (int y = 0; y < h; y++) {
        const DWORD* row = &px[(size_t)y * w];
        for (int x = 0; x < w;) {
            while (x < w && (row[x] & 0xFFFFFF) == key) x++;
            if (x >= w) break;
            int x0 = x;
            while (x < w && (row[x] & 0xFFFFFF) != key) x++;
            if (runs.size() == runs.capacity()) runs.reserve(runs.size() + 40);
            runs.push_back(RECT{ x0, y, x, y + 1 });
        }
    }
    if (runs.empty()) return ::CreateRectRgn(0, 0, 0, 0);
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    RGNDATA* pData = (RGNDATA*)data.data();
    pData->rdh.dwSize = sizeof(RGNDATAHEADER);
    pData->rdh.iType = RDH_RECTANGLES;
    pData->rdh.nCount = (DWORD)runs.size();
    pData->rdh.nRgnSize = (DWORD)(runs.size() * sizeof(RECT));
    ::SetRect(&pData->rdh.rcBound, 0, 0, w, h);
    memcpy(pData->Buffer, runs.data(), runs.size() * sizeof(RECT));
    return ::ExtCreateRegion(NULL, (DWORD)data.size(), pData);
}

CSkinBitmapButton::CSkinBitmapButton()
    : m_bRightText(FALSE), m_bChecked(0), m_nKind(KIND_PUSH), m_bHover(0), m_bMouseDown(0), m_pToolTip(NULL),
      m_nCaptionOffset(0), m_crText(::GetSysColor(COLOR_BTNTEXT)), m_bEdge3D(FALSE), m_nDrawMode(DRAW_STRETCH)
{
}

CSkinBitmapButton::~CSkinBitmapButton()
{
    if (m_pToolTip != NULL) {
        m_pToolTip->DestroyWindow();
        delete m_pToolTip;
    }
}

BEGIN_MESSAGE_MAP(CSkinBitmapButton, CButton)
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_KILLFOCUS()
    ON_WM_KEYDOWN()
    ON_WM_MOUSELEAVE()
    ON_MESSAGE(WM_RADIO_UNCHECK, OnRadioUncheck)
    ON_MESSAGE(BM_SETCHECK, OnSetCheck)
    ON_MESSAGE(BM_GETCHECK, OnGetCheck)
END_MESSAGE_MAP()

void CSkinBitmapButton::PreSubclassWindow()
{
    DWORD dwType = GetStyle() & 0xFF;
    if ((dwType & 3) == 3) m_nKind = KIND_CHECKBOX;
    else if ((dwType & 9) == 9) m_nKind = KIND_RADIO;
    else m_nKind = KIND_PUSH;
    CButton::PreSubclassWindow();
    ModifyStyle(0, BS_OWNERDRAW);
}

void CSkinBitmapButton::SetSkin(UINT nNormal, UINT nPressed, UINT nHover, UINT nDisabled, UINT nFocus, UINT nMask,
                                short nDrawMode, short bEdge3D, short nCaptionOffset)
{
    LoadSkinBitmap(m_bmpNormal, nNormal);
    LoadSkinBitmap(m_bmpPressed, nPressed);
    LoadSkinBitmap(m_bmpHover, nHover);
    LoadSkinBitmap(m_bmpDisabled, LOWORD(nDisabled) != 0 ? nDisabled : nNormal);
    LoadSkinBitmap(m_bmpFocus, nFocus);
    LoadSkinBitmap(m_bmpMask, nMask);
    m_nDrawMode = nDrawMode < DRAW_NATURAL ? DRAW_NATURAL : (nDrawMode > DRAW_TILE ? DRAW_TILE : nDrawMode);
    m_nCaptionOffset = nCaptionOffset < 0 ? 0 : nCaptionOffset;
    m_bEdge3D = bEdge3D;

    if (m_bmpMask.GetSafeHandle() != NULL && m_hWnd != NULL) {
        // The system deletes the region it had, and owns this one from now on.
        HRGN hRgn = CreateRegionFromMask((HBITMAP)m_bmpMask.GetSafeHandle(), RGB(255, 255, 255));
        if (hRgn != NULL && !SetWindowRgn(hRgn, TRUE)) ::DeleteObject(hRgn);
        if (m_nDrawMode == DRAW_NATURAL) {
            CSize size = BitmapSize(m_bmpMask);
            SetWindowPos(NULL, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (m_hWnd != NULL) Invalidate();
}

void CSkinBitmapButton::SetToolTipText(LPCWSTR lpszText)
{
    if (lpszText == NULL || m_hWnd == NULL) return;
    m_strTip = lpszText;
    if (m_pToolTip != NULL) m_pToolTip->UpdateTipText(lpszText, this);
}

COLORREF CSkinBitmapButton::SetTextColor(COLORREF crText)
{
    COLORREF crOld = m_crText;
    m_crText = crText;
    if (m_hWnd != NULL) Invalidate();
    return crOld;
}

void CSkinBitmapButton::SetRightAlignedText(BOOL bRight)
{
    m_bRightText = bRight;
    if (m_hWnd != NULL) Invalidate();
}

void CSkinBitmapButton::RelayToTip(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pToolTip == NULL && !m_strTip.IsEmpty() && m_hWnd != NULL) {
        m_pToolTip = new CToolTipCtrl;
        if (!m_pToolTip->Create(this)) {
            delete m_pToolTip;
            m_pToolTip = NULL;
            m_strTip.Empty();
            return;
        }
        m_pToolTip->AddTool(this, m_strTip);
        m_pToolTip->Activate(TRUE);
    }
    if (m_pToolTip == NULL || m_pToolTip->m_hWnd == NULL) return;
    MSG msg = { m_hWnd, message, wParam, lParam, 0, { (short)LOWORD(lParam), (short)HIWORD(lParam) } };
    m_pToolTip->RelayEvent(&msg);
}

BOOL CSkinBitmapButton::CursorOverSelf() const
{
    POINT pt;
    return ::GetCursorPos(&pt) && ::WindowFromPoint(pt) == m_hWnd;
}

void CSkinBitmapButton::ToggleByUser()
{
    if (m_nKind == KIND_CHECKBOX) SendMessage(BM_SETCHECK, !m_bChecked, 0);
    else if (m_nKind == KIND_RADIO) SendMessage(BM_SETCHECK, TRUE, 0);
}

BOOL CSkinBitmapButton::OnEraseBkgnd(CDC*) { return TRUE; }

void CSkinBitmapButton::OnLButtonDown(UINT, CPoint)
{
    const MSG* pMsg = AfxGetCurrentMessage();
    RelayToTip(WM_LBUTTONDOWN, pMsg->wParam, pMsg->lParam);
    if (m_bHover) {
        TRACKMOUSEEVENT tme = { sizeof(tme), TME_CANCEL | TME_LEAVE, m_hWnd, 0 };
        if (::_TrackMouseEvent(&tme)) m_bHover = 0;
    }
    Default();
    m_bMouseDown = 1;
}

void CSkinBitmapButton::OnLButtonUp(UINT, CPoint point)
{
    const MSG* pMsg = AfxGetCurrentMessage();
    WPARAM wParam = pMsg->wParam;
    LPARAM lParam = pMsg->lParam;
    if (m_nKind == KIND_CHECKBOX || m_nKind == KIND_RADIO) {
        CPoint screen = point;
        ClientToScreen(&screen);
        if (::WindowFromPoint(screen) == m_hWnd) ToggleByUser();
    }
    RelayToTip(WM_LBUTTONUP, wParam, lParam);
    m_bMouseDown = 0;
    DefWindowProc(WM_LBUTTONUP, wParam, lParam);
}

void CSkinBitmapButton::OnMouseMove(UINT, CPoint point)
{
    const MSG* pMsg = AfxGetCurrentMessage();
    RelayToTip(WM_MOUSEMOVE, pMsg->wParam, pMsg->lParam);
    if (m_bMouseDown && ::GetCapture() == m_hWnd) {
        CPoint screen = point;
        ClientToScreen(&screen);
        BOOL bPushed = ::WindowFromPoint(screen) == m_hWnd;
        BOOL bShown = (SendMessage(BM_GETSTATE) & BST_PUSHED) != 0;
        if (bPushed != bShown) {
            SendMessage(BM_SETSTATE, bPushed);
            Invalidate();
        }
        return;
    }
    if (!m_bHover) {
        TRACKMOUSEEVENT tme = { sizeof(tme), TME_LEAVE, m_hWnd, 0 };
        if (::_TrackMouseEvent(&tme)) {
            m_bHover = 1;
            Invalidate();
        }
    }
}

void CSkinBitmapButton::OnLButtonDblClk(UINT, CPoint)
{
    const MSG* pMsg = AfxGetCurrentMessage();
    SendMessage(WM_LBUTTONDOWN, pMsg->wParam, pMsg->lParam);
}

void CSkinBitmapButton::OnKillFocus(CWnd*)
{
    if (::GetCapture() == m_hWnd) {
        ::ReleaseCapture();
        m_bMouseDown = 0;
    }
    Default();
}

void CSkinBitmapButton::OnKeyDown(UINT nChar, UINT, UINT)
{
    const MSG* pMsg = AfxGetCurrentMessage();
    WPARAM wParam = pMsg->wParam;
    LPARAM lParam = pMsg->lParam;
    if (nChar == VK_SPACE && (m_nKind == KIND_CHECKBOX || m_nKind == KIND_RADIO)) ToggleByUser();
    DefWindowProc(WM_KEYDOWN, wParam, lParam);
}

void CSkinBitmapButton::OnMouseLeave()
{
    m_bHover = 0;
    Invalidate();
}

LRESULT CSkinBitmapButton::OnRadioUncheck(WPARAM, LPARAM)
{
    if (m_bChecked) {
        m_bChecked = 0;
        Invalidate();
    }
    return 0;
}

LRESULT CSkinBitmapButton::OnSetCheck(WPARAM wParam, LPARAM)
{
    const int before = m_bChecked;
    m_bChecked = (wParam != 0 && m_nKind != KIND_PUSH) ? 1 : 0;
    if (m_nKind == KIND_RADIO && m_bChecked) {
        HWND hParent = ::GetParent(m_hWnd);
        HWND hNext = m_hWnd;
        for (;;) {
            hNext = ::GetNextDlgGroupItem(hParent, hNext, FALSE);
            if (hNext == NULL || hNext == m_hWnd) break;
            ::PostMessageW(hNext, WM_RADIO_UNCHECK, 0, 0);
        }
    }
    // Panels push their checks on every slider move: an unchanged one is not repainted.
    if (m_bChecked != before)
        Invalidate(TRUE);
    return 0;
}

LRESULT CSkinBitmapButton::OnGetCheck(WPARAM, LPARAM) { return m_bChecked; }

void CSkinBitmapButton::DrawSkinBitmap(CDC* pDC, CBitmap& bitmap, const CRect& rect)
{
    CSize size = BitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0) return;
    CDC dcImage;
    dcImage.CreateCompatibleDC(pDC);
    CBitmap* pOldImage = dcImage.SelectObject(&bitmap);
    int w = rect.Width(), h = rect.Height();

    if (m_nDrawMode == DRAW_TILE) {
        for (int y = 0; y < h; y += size.cy)
            for (int x = 0; x < w; x += size.cx)
                pDC->BitBlt(rect.left + x, rect.top + y, size.cx < w - x ? size.cx : w - x,
                            size.cy < h - y ? size.cy : h - y, &dcImage, 0, 0, SRCCOPY);
    } else if (m_bmpMask.GetSafeHandle() != NULL) {
        // Where the mask is white the background stays, where it is black the picture shows.
        CSize maskSize = BitmapSize(m_bmpMask);
        CDC dcMask, dcWork;
        dcMask.CreateCompatibleDC(pDC);
        dcWork.CreateCompatibleDC(pDC);
        CBitmap work;
        work.CreateCompatibleBitmap(pDC, w, h);
        CBitmap* pOldMask = dcMask.SelectObject(&m_bmpMask);
        CBitmap* pOldWork = dcWork.SelectObject(&work);
        dcWork.BitBlt(0, 0, w, h, pDC, rect.left, rect.top, SRCCOPY);
        if (m_nDrawMode == DRAW_STRETCH) {
            dcWork.SetStretchBltMode(COLORONCOLOR);
            dcWork.StretchBlt(0, 0, w, h, &dcImage, 0, 0, size.cx, size.cy, SRCINVERT);
            dcWork.StretchBlt(0, 0, w, h, &dcMask, 0, 0, maskSize.cx, maskSize.cy, SRCAND);
            dcWork.StretchBlt(0, 0, w, h, &dcImage, 0, 0, size.cx, size.cy, SRCINVERT);
        } else {
            dcWork.BitBlt(0, 0, size.cx, size.cy, &dcImage, 0, 0, SRCINVERT);
            dcWork.BitBlt(0, 0, maskSize.cx, maskSize.cy, &dcMask, 0, 0, SRCAND);
            dcWork.BitBlt(0, 0, size.cx, size.cy, &dcImage, 0, 0, SRCINVERT);
        }
        pDC->BitBlt(rect.left, rect.top, w, h, &dcWork, 0, 0, SRCCOPY);
        dcWork.SelectObject(pOldWork);
        dcMask.SelectObject(pOldMask);
    } else if (m_nDrawMode == DRAW_STRETCH) {
        pDC->SetStretchBltMode(COLORONCOLOR);
        pDC->StretchBlt(rect.left, rect.top, w, h, &dcImage, 0, 0, size.cx, size.cy, SRCCOPY);
    } else {
        pDC->BitBlt(rect.left, rect.top, size.cx, size.cy, &dcImage, 0, 0, SRCCOPY);
    }
    dcImage.SelectObject(pOldImage);
}

void CSkinBitmapButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    // The pushed look follows the pointer while the button is held: correct the state
    // first; the state change paints again.
    if (m_bMouseDown && ::GetCapture() == m_hWnd) {
        POINT pt;
        if (::GetCursorPos(&pt)) {
            BOOL bOver = ::WindowFromPoint(pt) == m_hWnd;
            BOOL bPushed = (SendMessage(BM_GETSTATE) & BST_PUSHED) != 0;
            if (bOver && !bPushed) {
                SendMessage(BM_SETSTATE, TRUE);
                return;
            }
            if (!bOver && bPushed) {
                SendMessage(BM_SETSTATE, FALSE);
                return;
            }
        }
    }

    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CRect rcItem(lpDIS->rcItem);
    CRect rcText(rcItem);
    rcText.DeflateRect(m_nCaptionOffset + 2, 0);
    CString strText;
    GetWindowText(strText);
    int nOldMode = pDC->SetBkMode(TRANSPARENT);
    UINT nFormat = DT_SINGLELINE | DT_VCENTER | (m_bRightText ? DT_RIGHT : DT_CENTER);
    HFONT hFont = (HFONT)SendMessage(WM_GETFONT);
    HGDIOBJ hOldFont = hFont != NULL ? ::SelectObject(lpDIS->hDC, hFont) : NULL;

    if (lpDIS->itemState & ODS_DISABLED) {
        if (m_bmpDisabled.GetSafeHandle() != NULL) DrawSkinBitmap(pDC, m_bmpDisabled, rcItem);
        else pDC->FillSolidRect(&rcItem, ::GetSysColor(COLOR_BTNFACE));
        if (m_bEdge3D) pDC->DrawEdge(&rcItem, EDGE_RAISED, BF_RECT);
        pDC->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
        pDC->DrawText(strText, &rcText, nFormat);
        rcText.OffsetRect(-1, -1);
        pDC->SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
        pDC->DrawText(strText, &rcText, nFormat);
    } else {
        if ((lpDIS->itemState & ODS_SELECTED) || m_bChecked) {
            if (m_bmpPressed.GetSafeHandle() != NULL) DrawSkinBitmap(pDC, m_bmpPressed, rcItem);
            else pDC->FillSolidRect(&rcItem, ::GetSysColor(COLOR_BTNFACE));
            rcText.OffsetRect(1, 1);
            if (m_bEdge3D) pDC->DrawEdge(&rcItem, EDGE_SUNKEN, BF_RECT);
        } else {
            if (m_bmpNormal.GetSafeHandle() == NULL) {
                pDC->FillSolidRect(&rcItem, ::GetSysColor(COLOR_BTNFACE));
            } else if (m_bHover && m_bmpHover.GetSafeHandle() != NULL) {
                DrawSkinBitmap(pDC, m_bmpHover, rcItem);
            } else if ((lpDIS->itemState & ODS_FOCUS) && m_bmpFocus.GetSafeHandle() != NULL) {
                DrawSkinBitmap(pDC, m_bmpFocus, rcItem);
            } else {
                DrawSkinBitmap(pDC, m_bmpNormal, rcItem);
            }
            if (m_bEdge3D) pDC->DrawEdge(&rcItem, EDGE_RAISED, BF_RECT);
        }
        pDC->SetTextColor(m_crText);
        pDC->DrawText(strText, &rcText, nFormat);
    }
    if (hOldFont != NULL) ::SelectObject(lpDIS->hDC, hOldFont);
    pDC->SetBkMode(nOldMode);
}
