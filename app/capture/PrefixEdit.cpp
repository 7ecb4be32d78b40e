#include "app/capture/PrefixEdit.h"

CPrefixEdit::CPrefixEdit() : m_bCleaning(FALSE) {}
CPrefixEdit::~CPrefixEdit() {}

BOOL CPrefixEdit::IsRefused(WCHAR c)
{
    static const WCHAR kRefused[] = L"\\/:*?\"<>|";
    for (const WCHAR* p = kRefused; *p != 0; p++)
        if (*p == c) return TRUE;
    return c < 32 && c != 0;
}

CString CPrefixEdit::Clean(const CString& text)
{
    CString clean;
    for (int i = 0; i < text.GetLength(); i++)
        if (!IsRefused(text[i])) clean += text[i];
    return clean;
}

LRESULT CPrefixEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Typed control keys (backspace, Ctrl+letter) pass; refused characters beep.
    if (message == WM_CHAR && wParam >= 32 && IsRefused((WCHAR)wParam)) {
        ::MessageBeep(MB_ICONWARNING);
        return 0;
    }
    LRESULT result = CSkinEdit::WindowProc(message, wParam, lParam);
    // Pasted or set text loses what typing could not enter.
    if ((message == WM_PASTE || message == WM_SETTEXT) && !m_bCleaning) {
        CString text;
        GetWindowText(text);
        const CString clean = Clean(text);
        if (clean != text) {
            m_bCleaning = TRUE;
            SetWindowText(clean);
            SetSel(clean.GetLength(), clean.GetLength());
            m_bCleaning = FALSE;
            ::MessageBeep(MB_ICONWARNING);
        }
    }
    return result;
}
