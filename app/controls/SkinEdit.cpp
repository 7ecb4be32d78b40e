#include "SkinEdit.h"

void DrawEditBackground(CWnd* pEdit, CDC* pDC, CBitmap& normal, CBitmap& disabled, int dx, int dy, int dw, int dh)
{
    CBitmap& bmp = pEdit->IsWindowEnabled() ? normal : disabled;
    if (bmp.GetSafeHandle() == NULL) return;
    CRect rect;
    pEdit->GetClientRect(&rect);
    BITMAP bm = {};
    bmp.GetBitmap(&bm);
    CDC mem;
    mem.CreateCompatibleDC(pDC);
    CBitmap* pOld = mem.SelectObject(&bmp);
    pDC->SetStretchBltMode(COLORONCOLOR);
    pDC->StretchBlt(rect.left + dx, rect.top + dy, rect.Width() + dw, rect.Height() + dh, &mem, 0, 0, bm.bmWidth,
                    bm.bmHeight, SRCCOPY);
    mem.SelectObject(pOld);
}

CSkinEdit::CSkinEdit() : m_bFocusRedirect(FALSE), m_pFocusTarget(NULL) {}
CSkinEdit::~CSkinEdit() {}

BEGIN_MESSAGE_MAP(CSkinEdit, CEdit)
    ON_WM_ERASEBKGND()
    ON_CONTROL_REFLECT(EN_CHANGE, OnChangeReflect)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_KILLFOCUS()
    ON_WM_MOUSEMOVE()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

void CSkinEdit::SetBitmaps(UINT nNormal, UINT nDisabled)
{
    m_bmpNormal.DeleteObject();
    m_bmpDisabled.DeleteObject();
    if (LOWORD(nNormal)) m_bmpNormal.LoadBitmap(LOWORD(nNormal));
    UINT nOff = LOWORD(nDisabled) ? nDisabled : nNormal;
    if (LOWORD(nOff)) m_bmpDisabled.LoadBitmap(LOWORD(nOff));
    if (m_hWnd != NULL) Invalidate();
}

void CSkinEdit::SetFocusRedirect(BOOL bRedirect, CWnd* pTarget)
{
    m_bFocusRedirect = bRedirect;
    m_pFocusTarget = pTarget;
}

HBRUSH CSkinEdit::CtlColor(CDC* pDC, UINT)
{
    pDC->SetBkMode(TRANSPARENT);
    return (HBRUSH)::GetStockObject(NULL_BRUSH);
}

BOOL CSkinEdit::OnEraseBkgnd(CDC* pDC)
{
    DrawEditBackground(this, pDC, m_bmpNormal, m_bmpDisabled, -2, -4, 2, 0);
    return TRUE;
}

void CSkinEdit::OnChangeReflect()
{
    Invalidate();
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent != NULL) ::SendMessageW(hParent, WM_EDIT_CHANGED, (WPARAM)GetDlgCtrlID(), 0);
}

void CSkinEdit::OnLButtonDown(UINT, CPoint)
{
    Invalidate();
    Default();
    if (!m_bFocusRedirect) return;
    if (m_pFocusTarget != NULL && m_pFocusTarget->GetSafeHwnd() != NULL) {
        m_pFocusTarget->SetFocus();
        return;
    }
    HWND hGrand = ::GetParent(::GetParent(m_hWnd));
    if (hGrand != NULL) ::SetFocus(hGrand);
}

void CSkinEdit::OnLButtonUp(UINT, CPoint)
{
    Invalidate();
    Default();
}

void CSkinEdit::OnKillFocus(CWnd*)
{
    Default();
    Invalidate();
}

void CSkinEdit::OnMouseMove(UINT, CPoint)
{
    Default();
    Invalidate();
}

void CSkinEdit::OnKeyDown(UINT, UINT, UINT)
{
    Default();
    Invalidate();
}
