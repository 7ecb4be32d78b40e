// Dialog data exchange: members to controls and back.
#include "afximpl.h"
#include <stdio.h>
#include <stdlib.h>
#include <errno.h>
#include <float.h>
#include <limits.h>

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    BOOL bOK = FALSE;
    try {
        DoDataExchange(&dx);
        bOK = TRUE;
    } catch (CUserException* e) {
        // The user was already told what was wrong.
        e->Delete();
    }
    return bOK;
}

void CWnd::DoDataExchange(CDataExchange*) {}

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_hWndLastControl(NULL), m_bEditLastControl(FALSE)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    if (hWndCtrl == NULL) AfxThrowNotSupportedException();
    m_hWndLastControl = hWndCtrl;
    m_bEditLastControl = FALSE;
    return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hWndCtrl = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWndCtrl;
}

void CDataExchange::Fail()
{
    if (!m_bSaveAndValidate) AfxThrowUserException();
    if (m_hWndLastControl != NULL) {
        if (m_bEditLastControl) {
            ::SetFocus(m_hWndLastControl);
            ::SendMessageW(m_hWndLastControl, EM_SETSEL, 0, -1);
        } else {
            ::SetFocus(m_hWndLastControl);
        }
    }
    AfxThrowUserException();
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd == NULL) {
        HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
        if (!rControl.SubclassWindow(hWndCtrl)) AfxThrowNotSupportedException();
    }
}

namespace {

CString GetText(HWND hWnd)
{
    CString s;
    int nLen = ::GetWindowTextLengthW(hWnd);
    ::GetWindowTextW(hWnd, s.GetBufferSetLength(nLen), nLen + 1);
    s.ReleaseBuffer();
    return s;
}

// Narrow copy of an edit's number text; digits, signs, points and exponents are ASCII.
bool ToAscii(const CString& s, char* buf, int cb)
{
    int n = s.GetLength();
    if (n >= cb) return false;
    for (int i = 0; i < n; i++) {
        WCHAR c = s[i];
        if (c > 0x7F) return false;
        buf[i] = (char)c;
    }
    buf[n] = 0;
    return true;
}

bool ParseLongLong(const CString& text, long long& value, bool bUnsigned)
{
    CString s(text);
    s.Trim();
    char buf[64];
    if (s.IsEmpty() || !ToAscii(s, buf, sizeof buf)) return false;
    if (bUnsigned && buf[0] == '-') return false;
    char* end = NULL;
    errno = 0;
    value = strtoll(buf, &end, 10);
    return errno == 0 && end != buf && *end == 0;
}

bool ParseDouble(const CString& text, double& value)
{
    CString s(text);
    s.Trim();
    char buf[128];
    if (s.IsEmpty() || !ToAscii(s, buf, sizeof buf)) return false;
    char* end = NULL;
    errno = 0;
    value = strtod(buf, &end);
    return errno == 0 && end != buf && *end == 0;
}

[[noreturn]] void FailWith(CDataExchange* pDX, LPCWSTR lpszMessage)
{
    AfxMessageBox(lpszMessage, MB_ICONEXCLAMATION);
    pDX->Fail();
}

template <class T>
void DDX_Integer(CDataExchange* pDX, int nIDC, T& value, long long minVal, long long maxVal, bool bUnsigned)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long v = 0;
        if (!ParseLongLong(GetText(hWndCtrl), v, bUnsigned) || v < minVal || v > maxVal)
            FailWith(pDX, bUnsigned ? L"Enter a whole number that is not negative." : L"Enter a whole number.");
        value = (T)v;
    } else {
        CString s;
        if (bUnsigned) s.Format(L"%I64u", (unsigned long long)value);
        else s.Format(L"%I64d", (long long)value);
        AfxSetWindowText(hWndCtrl, s);
    }
}

} // namespace

void AfxSetWindowText(HWND hWnd, LPCWSTR lpszNew)
{
    // Setting the same text again would move the caret, flicker, and cost a redraw and
    // the change notices.
    if (hWnd != NULL && GetText(hWnd) != lpszNew) ::SetWindowTextW(hWnd, lpszNew);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) value = GetText(hWndCtrl);
    else AfxSetWindowText(hWndCtrl, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) { DDX_Integer(pDX, nIDC, value, INT_MIN, INT_MAX, false); }
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) { DDX_Integer(pDX, nIDC, value, 0, UINT_MAX, true); }
void DDX_Text(CDataExchange* pDX, int nIDC, long& value) { DDX_Integer(pDX, nIDC, value, INT_MIN, INT_MAX, false); }

void DDX_Text(CDataExchange* pDX, int nIDC, float& value)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        double d = 0;
        if (!ParseDouble(GetText(hWndCtrl), d) || d > FLT_MAX || d < -FLT_MAX) FailWith(pDX, L"Enter a number.");
        value = (float)d;
    } else {
        CString s;
        s.Format(L"%.*g", FLT_DIG, (double)value);
        AfxSetWindowText(hWndCtrl, s);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        double d = 0;
        if (!ParseDouble(GetText(hWndCtrl), d)) FailWith(pDX, L"Enter a number.");
        value = d;
    } else {
        CString s;
        s.Format(L"%.*g", DBL_DIG, value);
        AfxSetWindowText(hWndCtrl, s);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = (int)::SendMessageW(hWndCtrl, BM_GETCHECK, 0, 0);
    } else {
        if (value < 0 || value > 2) value = 0;
        ::SendMessageW(hWndCtrl, BM_SETCHECK, (WPARAM)value, 0);
    }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    // nIDC is the first button of a group; the group runs to the next WS_GROUP control.
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) value = -1;
    int iButton = 0;
    do {
        if (::SendMessageW(hWndCtrl, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (pDX->m_bSaveAndValidate) {
                if (::SendMessageW(hWndCtrl, BM_GETCHECK, 0, 0) != 0) value = iButton;
            } else {
                ::SendMessageW(hWndCtrl, BM_SETCHECK, (iButton == value), 0);
            }
            iButton++;
        }
        hWndCtrl = ::GetWindow(hWndCtrl, GW_HWNDNEXT);
    } while (hWndCtrl != NULL && !(::GetWindowLongW(hWndCtrl, GWL_STYLE) & WS_GROUP));
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) index = (int)::SendMessageW(hWndCtrl, CB_GETCURSEL, 0, 0);
    else ::SendMessageW(hWndCtrl, CB_SETCURSEL, (WPARAM)index, 0);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = GetText(hWndCtrl);
    } else {
        if (::SendMessageW(hWndCtrl, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)(LPCWSTR)value) == CB_ERR)
            ::SetWindowTextW(hWndCtrl, value);
    }
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) index = (int)::SendMessageW(hWndCtrl, LB_GETCURSEL, 0, 0);
    else ::SendMessageW(hWndCtrl, LB_SETCURSEL, (WPARAM)index, 0);
}

void DDX_Slider(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) value = (int)::SendMessageW(hWndCtrl, TBM_GETPOS, 0, 0);
    else ::SendMessageW(hWndCtrl, TBM_SETPOS, TRUE, value);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
    CString s;
    s.Format(L"Enter a whole number between %d and %d.", minVal, maxVal);
    FailWith(pDX, s);
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
    CString s;
    s.Format(L"Enter a whole number between %u and %u.", minVal, maxVal);
    FailWith(pDX, s);
}

void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
    CString s;
    s.Format(L"Enter a number between %g and %g.", minVal, maxVal);
    FailWith(pDX, s);
}

void DDV_MaxChars(CDataExchange* pDX, CString const& value, int nChars)
{
    if (!pDX->m_bSaveAndValidate) {
        if (pDX->m_hWndLastControl != NULL && pDX->m_bEditLastControl)
            ::SendMessageW(pDX->m_hWndLastControl, EM_LIMITTEXT, nChars, 0);
        return;
    }
    if (value.GetLength() <= nChars) return;
    CString s;
    s.Format(L"Enter no more than %d characters.", nChars);
    FailWith(pDX, s);
}
