#include "SkinComboBox.h"

CSkinComboBox::CSkinComboBox() : m_nLook(LOOK_NORMAL), m_bShowText(TRUE), m_bCentredText(FALSE), m_nMaxTextLength(18) {}
CSkinComboBox::~CSkinComboBox() {}

BEGIN_MESSAGE_MAP(CSkinComboBox, CComboBox)
    ON_WM_CTLCOLOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_KILLFOCUS()
    ON_CONTROL_REFLECT(CBN_SETFOCUS, OnSetFocusReflect)
    ON_CONTROL_REFLECT(CBN_EDITUPDATE, OnEditUpdateReflect)
    ON_CONTROL_REFLECT(CBN_SELCHANGE, OnSelChangeReflect)
    ON_WM_MOUSELEAVE()
    ON_WM_PAINT()
END_MESSAGE_MAP()

void CSkinComboBox::SetBitmaps(UINT nNormal, UINT nPressed, UINT nHover, UINT nDisabled)
{
    m_bmpNormal.DeleteObject();
    m_bmpPressed.DeleteObject();
    m_bmpHover.DeleteObject();
    m_bmpDisabled.DeleteObject();
    if (LOWORD(nNormal)) m_bmpNormal.LoadBitmap(LOWORD(nNormal));
    if (LOWORD(nPressed)) m_bmpPressed.LoadBitmap(LOWORD(nPressed));
    if (LOWORD(nHover)) m_bmpHover.LoadBitmap(LOWORD(nHover));
    UINT nOff = LOWORD(nDisabled) ? nDisabled : nNormal;
    if (LOWORD(nOff)) m_bmpDisabled.LoadBitmap(LOWORD(nOff));
    if (m_hWnd != NULL) Invalidate();
}

BOOL CSkinComboBox::InArrowZone(CPoint point) const
{
    CRect rect;
    GetClientRect(&rect);
    return point.x >= rect.right - ARROW_ZONE && rect.PtInRect(point);
}

void CSkinComboBox::SetLook(BYTE nLook)
{
    m_nLook = nLook;
    Invalidate();
}

HBRUSH CSkinComboBox::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hbr = CComboBox::OnCtlColor(pDC, pWnd, nCtlColor);
    if (nCtlColor == CTLCOLOR_EDIT) {
        pDC->SetBkMode(TRANSPARENT);
        hbr = (HBRUSH)::GetStockObject(NULL_BRUSH);
    }
    return hbr;
}

void CSkinComboBox::OnLButtonDown(UINT, CPoint point)
{
    if (InArrowZone(point)) m_nLook = LOOK_PRESSED;
    Invalidate();
    Default();
}

void CSkinComboBox::OnLButtonUp(UINT, CPoint)
{
    SetLook(LOOK_NORMAL);
    Default();
}

void CSkinComboBox::OnMouseMove(UINT, CPoint point)
{
    m_nLook = InArrowZone(point) ? LOOK_HOVER : LOOK_NORMAL;
    TRACKMOUSEEVENT tme = { sizeof(tme), TME_LEAVE | TME_HOVER, m_hWnd, HOVER_DEFAULT };
    ::_TrackMouseEvent(&tme);
    Invalidate();
    Default();
}

void CSkinComboBox::OnKillFocus(CWnd*)
{
    Default();
    SetLook(LOOK_NORMAL);
}

void CSkinComboBox::OnSetFocusReflect() { SetLook(LOOK_NORMAL); }
void CSkinComboBox::OnEditUpdateReflect() { SetLook(LOOK_NORMAL); }

void CSkinComboBox::OnSelChangeReflect()
{
    SetLook(LOOK_NORMAL);
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent != NULL) ::PostMessageW(hParent, WM_COMBO_SELCHANGED, (WPARAM)GetDlgCtrlID(), 0);
}

void CSkinComboBox::OnMouseLeave() { SetLook(LOOK_NORMAL); }

void CSkinComboBox::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    CString text;
    GetWindowText(text);

    CBitmap* pSkin;
    if (!IsWindowEnabled()) pSkin = &m_bmpDisabled;
    else if (m_nLook == LOOK_PRESSED) pSkin = &m_bmpPressed;
    else if (m_nLook == LOOK_HOVER) pSkin = &m_bmpHover;
    else pSkin = &m_bmpNormal;
    if (pSkin->GetSafeHandle() != NULL) {
        BITMAP bm = {};
        pSkin->GetBitmap(&bm);
        CDC mem;
        mem.CreateCompatibleDC(&dc);
        CBitmap* pOld = mem.SelectObject(pSkin);
        dc.SetStretchBltMode(COLORONCOLOR);
        dc.StretchBlt(rect.left, rect.top, rect.Width() + 2, bm.bmHeight + 2, &mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
        mem.SelectObject(pOld);
    }

    if (!m_bShowText) return;
    if (m_nMaxTextLength >= 0 && text.GetLength() > m_nMaxTextLength) text = text.Left(m_nMaxTextLength);
    HWND hParent = ::GetParent(m_hWnd);
    HFONT hFont = hParent != NULL ? (HFONT)::SendMessageW(hParent, WM_GETFONT, 0, 0) : NULL;
    HGDIOBJ hOldFont = hFont != NULL ? ::SelectObject(dc.m_hDC, hFont) : NULL;
    dc.SetBkMode(TRANSPARENT);
    if (!IsWindowEnabled()) dc.SetTextColor(RGB(172, 168, 153));
    if (!m_bCentredText) {
        dc.TextOut(4, 3, text);
    } else {
        CRect rc(rect.left - 10, rect.top + 3, rect.right, rect.bottom);
        dc.DrawText(text, &rc, DT_CENTER | DT_VCENTER);
    }
    if (hOldFont != NULL) ::SelectObject(dc.m_hDC, hOldFont);
}
