#include "NumericEdit.h"

CNumericEdit::CNumericEdit()
    : m_nMax(100), m_nMin(0), m_nValue(0), m_bFocusRedirect(FALSE), m_bAltInset(FALSE), m_bCorrecting(FALSE)
{
}

CNumericEdit::~CNumericEdit() {}

BEGIN_MESSAGE_MAP(CNumericEdit, CEdit)
    ON_WM_ERASEBKGND()
    ON_CONTROL_REFLECT(EN_CHANGE, OnChangeReflect)
    ON_CONTROL_REFLECT(EN_UPDATE, OnUpdateReflect)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_KILLFOCUS()
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_MOUSEMOVE()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

void CNumericEdit::SetRange(int nMin, int nMax)
{
    m_nMin = nMin;
    m_nMax = nMax;
    m_nValue = nMin;
}

void CNumericEdit::SetBitmaps(UINT nNormal, UINT nDisabled)
{
    m_bmpNormal.DeleteObject();
    m_bmpDisabled.DeleteObject();
    if (LOWORD(nNormal)) m_bmpNormal.LoadBitmap(LOWORD(nNormal));
    UINT nOff = LOWORD(nDisabled) ? nDisabled : nNormal;
    if (LOWORD(nOff)) m_bmpDisabled.LoadBitmap(LOWORD(nOff));
    if (m_hWnd != NULL) Invalidate();
}

HBRUSH CNumericEdit::CtlColor(CDC* pDC, UINT)
{
    pDC->SetBkMode(TRANSPARENT);
    return (HBRUSH)::GetStockObject(NULL_BRUSH);
}

BOOL CNumericEdit::OnEraseBkgnd(CDC* pDC)
{
    if (m_bAltInset) DrawEditBackground(this, pDC, m_bmpNormal, m_bmpDisabled, -3, -2, 3, 3);
    else DrawEditBackground(this, pDC, m_bmpNormal, m_bmpDisabled, -2, -4, 2, 0);
    return TRUE;
}

void CNumericEdit::OnChangeReflect()
{
    Invalidate();
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent != NULL) ::SendMessageW(hParent, WM_EDIT_CHANGED, (WPARAM)GetDlgCtrlID(), 0);
}

void CNumericEdit::ReplaceText(const CString& text, int nCaret)
{
    // The field's own correction must not be checked again: with a minimum above the
    // maximum no text would ever pass, and each check would start another.
    m_bCorrecting = TRUE;
    SetWindowText(text);
    SetSel(nCaret, nCaret);
    m_bCorrecting = FALSE;
}

void CNumericEdit::OnUpdateReflect()
{
    if (m_bCorrecting) return;
    CString text;
    GetWindowText(text);

    if (text.GetLength() > 1) {
        int nFirst = text.FindOneOf(L"-123456789");
        if (nFirst != 0) {
            text = nFirst > 0 ? text.Mid(nFirst) : CString(L"0");
            ReplaceText(text, 0);
        }
    }

    if (text.IsEmpty()) {
        m_nValue = -1;
        return;
    }
    // Leading digits with an optional sign; anything after them is ignored.
    long long n = 0;
    int i = 0;
    BOOL bNeg = FALSE;
    if (text[0] == L'-' || text[0] == L'+') {
        bNeg = text[0] == L'-';
        i = 1;
    }
    for (; i < text.GetLength() && text[i] >= L'0' && text[i] <= L'9'; i++) {
        n = n * 10 + (text[i] - L'0');
        if (n > 0xFFFFFFFFLL) break;
    }
    if (bNeg) n = -n;
    if (n >= m_nMin && n <= m_nMax) {
        m_nValue = (int)n;
        HWND hParent = ::GetParent(m_hWnd);
        if (hParent != NULL) ::SendMessageW(hParent, WM_NUMEDIT_VALUE, (WPARAM)GetDlgCtrlID(), 0);
        return;
    }
    CString last;
    if (m_nValue >= 0) last.Format(L"%d", m_nValue);
    ReplaceText(last, last.GetLength());
}

void CNumericEdit::OnLButtonDown(UINT, CPoint)
{
    Invalidate();
    Default();
    if (m_bFocusRedirect) {
        HWND hGrand = ::GetParent(::GetParent(m_hWnd));
        if (hGrand != NULL) ::SetFocus(hGrand);
    }
}

void CNumericEdit::OnLButtonUp(UINT, CPoint)
{
    Invalidate();
    Default();
}

void CNumericEdit::OnKillFocus(CWnd*)
{
    Default();
    Invalidate();
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent != NULL) ::SendMessageW(hParent, WM_KILLFOCUS, (WPARAM)GetDlgCtrlID(), 0);
}

void CNumericEdit::OnMouseMove(UINT, CPoint)
{
    Default();
    Invalidate();
}

void CNumericEdit::OnKeyDown(UINT, UINT, UINT)
{
    Default();
    Invalidate();
}
