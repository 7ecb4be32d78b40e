#include "afximpl.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)

#define SEND(msg, wp, lp) ::SendMessageW(m_hWnd, (msg), (WPARAM)(wp), (LPARAM)(lp))

// CStatic
CStatic::CStatic() {}
BOOL CStatic::Create(LPCWSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(L"STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
}
HICON CStatic::SetIcon(HICON hIcon) { return (HICON)SEND(STM_SETICON, hIcon, 0); }
HICON CStatic::GetIcon() const { return (HICON)SEND(STM_GETICON, 0, 0); }
HBITMAP CStatic::SetBitmap(HBITMAP hBitmap) { return (HBITMAP)SEND(STM_SETIMAGE, IMAGE_BITMAP, hBitmap); }
HBITMAP CStatic::GetBitmap() const { return (HBITMAP)SEND(STM_GETIMAGE, IMAGE_BITMAP, 0); }
HCURSOR CStatic::SetCursor(HCURSOR hCursor) { return (HCURSOR)SEND(STM_SETIMAGE, IMAGE_CURSOR, hCursor); }
HCURSOR CStatic::GetCursor() { return (HCURSOR)SEND(STM_GETIMAGE, IMAGE_CURSOR, 0); }
void CStatic::DrawItem(LPDRAWITEMSTRUCT) {}
BOOL CStatic::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM) return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem((LPDRAWITEMSTRUCT)lParam);
    if (pResult) *pResult = TRUE;
    return TRUE;
}

// CButton
CButton::CButton() {}
BOOL CButton::Create(LPCWSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(L"BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
}
UINT CButton::GetState() const { return (UINT)SEND(BM_GETSTATE, 0, 0); }
void CButton::SetState(BOOL bHighlight) { SEND(BM_SETSTATE, bHighlight, 0); }
int CButton::GetCheck() const { return (int)SEND(BM_GETCHECK, 0, 0); }
void CButton::SetCheck(int nCheck) { SEND(BM_SETCHECK, nCheck, 0); }
UINT CButton::GetButtonStyle() const { return (UINT)GetWindowLongW(m_hWnd, GWL_STYLE) & 0xFFFF; }
void CButton::SetButtonStyle(UINT nStyle, BOOL bRedraw) { SEND(BM_SETSTYLE, nStyle, bRedraw); }
HICON CButton::SetIcon(HICON hIcon) { return (HICON)SEND(BM_SETIMAGE, IMAGE_ICON, hIcon); }
HICON CButton::GetIcon() const { return (HICON)SEND(BM_GETIMAGE, IMAGE_ICON, 0); }
HBITMAP CButton::SetBitmap(HBITMAP hBitmap) { return (HBITMAP)SEND(BM_SETIMAGE, IMAGE_BITMAP, hBitmap); }
HBITMAP CButton::GetBitmap() const { return (HBITMAP)SEND(BM_GETIMAGE, IMAGE_BITMAP, 0); }
HCURSOR CButton::SetCursor(HCURSOR hCursor) { return (HCURSOR)SEND(BM_SETIMAGE, IMAGE_CURSOR, hCursor); }
HCURSOR CButton::GetCursor() { return (HCURSOR)SEND(BM_GETIMAGE, IMAGE_CURSOR, 0); }
void CButton::DrawItem(LPDRAWITEMSTRUCT) {}
BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM) return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem((LPDRAWITEMSTRUCT)lParam);
    if (pResult) *pResult = TRUE;
    return TRUE;
}

// CEdit
CEdit::CEdit() {}
BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) { return CWnd::Create(L"EDIT", NULL, dwStyle, rect, pParentWnd, nID); }
BOOL CEdit::CanUndo() const { return (BOOL)SEND(EM_CANUNDO, 0, 0); }
int CEdit::GetLineCount() const { return (int)SEND(EM_GETLINECOUNT, 0, 0); }
BOOL CEdit::GetModify() const { return (BOOL)SEND(EM_GETMODIFY, 0, 0); }
void CEdit::SetModify(BOOL bModified) { SEND(EM_SETMODIFY, bModified, 0); }
void CEdit::GetRect(LPRECT lpRect) const { SEND(EM_GETRECT, 0, lpRect); }
DWORD CEdit::GetSel() const { return (DWORD)SEND(EM_GETSEL, 0, 0); }
void CEdit::GetSel(int& nStartChar, int& nEndChar) const
{
    DWORD s = 0, e = 0;
    SEND(EM_GETSEL, &s, &e);
    nStartChar = (int)s;
    nEndChar = (int)e;
}
int CEdit::GetLine(int nIndex, LPWSTR lpszBuffer, int nMaxLength) const
{
    if (nMaxLength <= 0) return 0;
    *(LPWORD)lpszBuffer = (WORD)nMaxLength;
    return (int)SEND(EM_GETLINE, nIndex, lpszBuffer);
}
void CEdit::SetSel(DWORD dwSelection, BOOL bNoScroll)
{
    SEND(EM_SETSEL, LOWORD(dwSelection), HIWORD(dwSelection));
    if (!bNoScroll) SEND(EM_SCROLLCARET, 0, 0);
}
void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll)
{
    SEND(EM_SETSEL, nStartChar, nEndChar);
    if (!bNoScroll) SEND(EM_SCROLLCARET, 0, 0);
}
void CEdit::ReplaceSel(LPCWSTR lpszNewText, BOOL bCanUndo) { SEND(EM_REPLACESEL, bCanUndo, lpszNewText); }
void CEdit::LimitText(int nChars) { SEND(EM_LIMITTEXT, nChars, 0); }
void CEdit::SetLimitText(UINT nMax) { SEND(EM_SETLIMITTEXT, nMax, 0); }
UINT CEdit::GetLimitText() const { return (UINT)SEND(EM_GETLIMITTEXT, 0, 0); }
int CEdit::LineFromChar(int nIndex) const { return (int)SEND(EM_LINEFROMCHAR, nIndex, 0); }
int CEdit::LineIndex(int nLine) const { return (int)SEND(EM_LINEINDEX, nLine, 0); }
int CEdit::LineLength(int nLine) const { return (int)SEND(EM_LINELENGTH, nLine, 0); }
void CEdit::LineScroll(int nLines, int nChars) { SEND(EM_LINESCROLL, nChars, nLines); }
void CEdit::SetPasswordChar(WCHAR ch) { SEND(EM_SETPASSWORDCHAR, ch, 0); }
void CEdit::SetRect(LPCRECT lpRect) { SEND(EM_SETRECT, 0, lpRect); }
BOOL CEdit::SetReadOnly(BOOL bReadOnly) { return (BOOL)SEND(EM_SETREADONLY, bReadOnly, 0); }
void CEdit::SetMargins(UINT nLeft, UINT nRight) { SEND(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(nLeft, nRight)); }
void CEdit::EmptyUndoBuffer() { SEND(EM_EMPTYUNDOBUFFER, 0, 0); }
BOOL CEdit::Undo() { return (BOOL)SEND(EM_UNDO, 0, 0); }
void CEdit::Clear() { SEND(WM_CLEAR, 0, 0); }
void CEdit::Copy() { SEND(WM_COPY, 0, 0); }
void CEdit::Cut() { SEND(WM_CUT, 0, 0); }
void CEdit::Paste() { SEND(WM_PASTE, 0, 0); }

// Owner-drawn list controls share the reflection of their item messages.
static BOOL ListChildNotify(CWnd* pWnd, UINT message, LPARAM lParam, LRESULT* pResult,
                            void (*draw)(CWnd*, LPDRAWITEMSTRUCT), void (*measure)(CWnd*, LPMEASUREITEMSTRUCT),
                            int (*compare)(CWnd*, LPCOMPAREITEMSTRUCT), void (*del)(CWnd*, LPDELETEITEMSTRUCT))
{
    switch (message) {
    case WM_DRAWITEM: draw(pWnd, (LPDRAWITEMSTRUCT)lParam); if (pResult) *pResult = TRUE; return TRUE;
    case WM_MEASUREITEM: measure(pWnd, (LPMEASUREITEMSTRUCT)lParam); if (pResult) *pResult = TRUE; return TRUE;
    case WM_COMPAREITEM: { int n = compare(pWnd, (LPCOMPAREITEMSTRUCT)lParam); if (pResult) *pResult = n; return TRUE; }
    case WM_DELETEITEM: del(pWnd, (LPDELETEITEMSTRUCT)lParam); if (pResult) *pResult = TRUE; return TRUE;
    }
    return FALSE;
}

// CListBox
CListBox::CListBox() {}
BOOL CListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) { return CWnd::Create(L"LISTBOX", NULL, dwStyle, rect, pParentWnd, nID); }
int CListBox::GetCount() const { return (int)SEND(LB_GETCOUNT, 0, 0); }
int CListBox::GetHorizontalExtent() const { return (int)SEND(LB_GETHORIZONTALEXTENT, 0, 0); }
void CListBox::SetHorizontalExtent(int cxExtent) { SEND(LB_SETHORIZONTALEXTENT, cxExtent, 0); }
int CListBox::GetTopIndex() const { return (int)SEND(LB_GETTOPINDEX, 0, 0); }
int CListBox::SetTopIndex(int nIndex) { return (int)SEND(LB_SETTOPINDEX, nIndex, 0); }
int CListBox::GetCurSel() const { return (int)SEND(LB_GETCURSEL, 0, 0); }
int CListBox::SetCurSel(int nSelect) { return (int)SEND(LB_SETCURSEL, nSelect, 0); }
int CListBox::GetSel(int nIndex) const { return (int)SEND(LB_GETSEL, nIndex, 0); }
int CListBox::SetSel(int nIndex, BOOL bSelect) { return (int)SEND(LB_SETSEL, bSelect, nIndex); }
int CListBox::GetSelCount() const { return (int)SEND(LB_GETSELCOUNT, 0, 0); }
int CListBox::GetSelItems(int nMaxItems, LPINT rgIndex) const { return (int)SEND(LB_GETSELITEMS, nMaxItems, rgIndex); }
DWORD_PTR CListBox::GetItemData(int nIndex) const { return (DWORD_PTR)SEND(LB_GETITEMDATA, nIndex, 0); }
int CListBox::SetItemData(int nIndex, DWORD_PTR dwItemData) { return (int)SEND(LB_SETITEMDATA, nIndex, dwItemData); }
void* CListBox::GetItemDataPtr(int nIndex) const { return (void*)GetItemData(nIndex); }
int CListBox::SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, (DWORD_PTR)pData); }
int CListBox::GetItemRect(int nIndex, LPRECT lpRect) const { return (int)SEND(LB_GETITEMRECT, nIndex, lpRect); }
int CListBox::GetText(int nIndex, LPWSTR lpszBuffer) const { return (int)SEND(LB_GETTEXT, nIndex, lpszBuffer); }
void CListBox::GetText(int nIndex, CString& rString) const
{
    int nLen = GetTextLen(nIndex);
    if (nLen == LB_ERR) { rString.Empty(); return; }
    SEND(LB_GETTEXT, nIndex, rString.GetBufferSetLength(nLen));
    rString.ReleaseBuffer();
}
int CListBox::GetTextLen(int nIndex) const { return (int)SEND(LB_GETTEXTLEN, nIndex, 0); }
int CListBox::SetItemHeight(int nIndex, UINT cyItemHeight) { return (int)SEND(LB_SETITEMHEIGHT, nIndex, MAKELONG(cyItemHeight, 0)); }
int CListBox::GetItemHeight(int nIndex) const { return (int)SEND(LB_GETITEMHEIGHT, nIndex, 0); }
int CListBox::GetCaretIndex() const { return (int)SEND(LB_GETCARETINDEX, 0, 0); }
int CListBox::SetCaretIndex(int nIndex, BOOL bScroll) { return (int)SEND(LB_SETCARETINDEX, nIndex, MAKELONG(bScroll, 0)); }
UINT CListBox::ItemFromPoint(CPoint pt, BOOL& bOutside) const
{
    DWORD dw = (DWORD)SEND(LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
    bOutside = !!HIWORD(dw);
    return LOWORD(dw);
}
int CListBox::AddString(LPCWSTR lpszItem) { return (int)SEND(LB_ADDSTRING, 0, lpszItem); }
int CListBox::DeleteString(UINT nIndex) { return (int)SEND(LB_DELETESTRING, nIndex, 0); }
int CListBox::InsertString(int nIndex, LPCWSTR lpszItem) { return (int)SEND(LB_INSERTSTRING, nIndex, lpszItem); }
void CListBox::ResetContent() { SEND(LB_RESETCONTENT, 0, 0); }
int CListBox::FindString(int nStartAfter, LPCWSTR lpszItem) const { return (int)SEND(LB_FINDSTRING, nStartAfter, lpszItem); }
int CListBox::FindStringExact(int nIndexStart, LPCWSTR lpszFind) const { return (int)SEND(LB_FINDSTRINGEXACT, nIndexStart, lpszFind); }
int CListBox::SelectString(int nStartAfter, LPCWSTR lpszItem) { return (int)SEND(LB_SELECTSTRING, nStartAfter, lpszItem); }
void CListBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
int CListBox::CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
void CListBox::DeleteItem(LPDELETEITEMSTRUCT) {}
BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (ListChildNotify(this, message, lParam, pResult,
                        [](CWnd* w, LPDRAWITEMSTRUCT p) { ((CListBox*)w)->DrawItem(p); },
                        [](CWnd* w, LPMEASUREITEMSTRUCT p) { ((CListBox*)w)->MeasureItem(p); },
                        [](CWnd* w, LPCOMPAREITEMSTRUCT p) { return ((CListBox*)w)->CompareItem(p); },
                        [](CWnd* w, LPDELETEITEMSTRUCT p) { ((CListBox*)w)->DeleteItem(p); }))
        return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

// CComboBox
CComboBox::CComboBox() {}
BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) { return CWnd::Create(L"COMBOBOX", NULL, dwStyle, rect, pParentWnd, nID); }
int CComboBox::GetCount() const { return (int)SEND(CB_GETCOUNT, 0, 0); }
int CComboBox::GetCurSel() const { return (int)SEND(CB_GETCURSEL, 0, 0); }
int CComboBox::SetCurSel(int nSelect) { return (int)SEND(CB_SETCURSEL, nSelect, 0); }
DWORD CComboBox::GetEditSel() const { return (DWORD)SEND(CB_GETEDITSEL, 0, 0); }
BOOL CComboBox::LimitText(int nMaxChars) { return (BOOL)SEND(CB_LIMITTEXT, nMaxChars, 0); }
BOOL CComboBox::SetEditSel(int nStartChar, int nEndChar) { return (BOOL)SEND(CB_SETEDITSEL, 0, MAKELONG(nStartChar, nEndChar)); }
DWORD_PTR CComboBox::GetItemData(int nIndex) const { return (DWORD_PTR)SEND(CB_GETITEMDATA, nIndex, 0); }
int CComboBox::SetItemData(int nIndex, DWORD_PTR dwItemData) { return (int)SEND(CB_SETITEMDATA, nIndex, dwItemData); }
void* CComboBox::GetItemDataPtr(int nIndex) const { return (void*)GetItemData(nIndex); }
int CComboBox::SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, (DWORD_PTR)pData); }
int CComboBox::GetLBText(int nIndex, LPWSTR lpszText) const { return (int)SEND(CB_GETLBTEXT, nIndex, lpszText); }
void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    int nLen = GetLBTextLen(nIndex);
    if (nLen == CB_ERR) { rString.Empty(); return; }
    SEND(CB_GETLBTEXT, nIndex, rString.GetBufferSetLength(nLen));
    rString.ReleaseBuffer();
}
int CComboBox::GetLBTextLen(int nIndex) const { return (int)SEND(CB_GETLBTEXTLEN, nIndex, 0); }
int CComboBox::SetItemHeight(int nIndex, UINT cyItemHeight) { return (int)SEND(CB_SETITEMHEIGHT, nIndex, MAKELONG(cyItemHeight, 0)); }
int CComboBox::GetItemHeight(int nIndex) const { return (int)SEND(CB_GETITEMHEIGHT, nIndex, 0); }
int CComboBox::FindStringExact(int nIndexStart, LPCWSTR lpszFind) const { return (int)SEND(CB_FINDSTRINGEXACT, nIndexStart, lpszFind); }
int CComboBox::SetExtendedUI(BOOL bExtended) { return (int)SEND(CB_SETEXTENDEDUI, bExtended, 0); }
BOOL CComboBox::GetExtendedUI() const { return (BOOL)SEND(CB_GETEXTENDEDUI, 0, 0); }
void CComboBox::GetDroppedControlRect(LPRECT lprect) const { SEND(CB_GETDROPPEDCONTROLRECT, 0, lprect); }
BOOL CComboBox::GetDroppedState() const { return (BOOL)SEND(CB_GETDROPPEDSTATE, 0, 0); }
int CComboBox::GetDroppedWidth() const { return (int)SEND(CB_GETDROPPEDWIDTH, 0, 0); }
int CComboBox::SetDroppedWidth(UINT nWidth) { return (int)SEND(CB_SETDROPPEDWIDTH, nWidth, 0); }
int CComboBox::GetTopIndex() const { return (int)SEND(CB_GETTOPINDEX, 0, 0); }
int CComboBox::SetTopIndex(int nIndex) { return (int)SEND(CB_SETTOPINDEX, nIndex, 0); }
void CComboBox::ShowDropDown(BOOL bShowIt) { SEND(CB_SHOWDROPDOWN, bShowIt, 0); }
int CComboBox::AddString(LPCWSTR lpszString) { return (int)SEND(CB_ADDSTRING, 0, lpszString); }
int CComboBox::DeleteString(UINT nIndex) { return (int)SEND(CB_DELETESTRING, nIndex, 0); }
int CComboBox::InsertString(int nIndex, LPCWSTR lpszString) { return (int)SEND(CB_INSERTSTRING, nIndex, lpszString); }
void CComboBox::ResetContent() { SEND(CB_RESETCONTENT, 0, 0); }
int CComboBox::FindString(int nStartAfter, LPCWSTR lpszString) const { return (int)SEND(CB_FINDSTRING, nStartAfter, lpszString); }
int CComboBox::SelectString(int nStartAfter, LPCWSTR lpszString) { return (int)SEND(CB_SELECTSTRING, nStartAfter, lpszString); }
void CComboBox::Clear() { SEND(WM_CLEAR, 0, 0); }
void CComboBox::Copy() { SEND(WM_COPY, 0, 0); }
void CComboBox::Cut() { SEND(WM_CUT, 0, 0); }
void CComboBox::Paste() { SEND(WM_PASTE, 0, 0); }
void CComboBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
int CComboBox::CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
void CComboBox::DeleteItem(LPDELETEITEMSTRUCT) {}
BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (ListChildNotify(this, message, lParam, pResult,
                        [](CWnd* w, LPDRAWITEMSTRUCT p) { ((CComboBox*)w)->DrawItem(p); },
                        [](CWnd* w, LPMEASUREITEMSTRUCT p) { ((CComboBox*)w)->MeasureItem(p); },
                        [](CWnd* w, LPCOMPAREITEMSTRUCT p) { return ((CComboBox*)w)->CompareItem(p); },
                        [](CWnd* w, LPDELETEITEMSTRUCT p) { ((CComboBox*)w)->DeleteItem(p); }))
        return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

// CScrollBar
CScrollBar::CScrollBar() {}
BOOL CScrollBar::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) { return CWnd::Create(L"SCROLLBAR", NULL, dwStyle, rect, pParentWnd, nID); }
int CScrollBar::GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
int CScrollBar::SetScrollPos(int nPos, BOOL bRedraw) { return ::SetScrollPos(m_hWnd, SB_CTL, nPos, bRedraw); }
void CScrollBar::GetScrollRange(LPINT lpMinPos, LPINT lpMaxPos) const { ::GetScrollRange(m_hWnd, SB_CTL, lpMinPos, lpMaxPos); }
void CScrollBar::SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw) { ::SetScrollRange(m_hWnd, SB_CTL, nMinPos, nMaxPos, bRedraw); }
void CScrollBar::ShowScrollBar(BOOL bShow) { ::ShowScrollBar(m_hWnd, SB_CTL, bShow); }
BOOL CScrollBar::EnableScrollBar(UINT nArrowFlags) { return ::EnableScrollBar(m_hWnd, SB_CTL, nArrowFlags); }
BOOL CScrollBar::SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw)
{
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    ::SetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo, bRedraw);
    return TRUE;
}
BOOL CScrollBar::GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask)
{
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo);
}
int CScrollBar::GetScrollLimit()
{
    SCROLLINFO info;
    if (!GetScrollInfo(&info, SIF_ALL)) return 0;
    int nMax = info.nMax;
    if (info.nPage > 1) nMax -= info.nPage - 1;
    return nMax;
}

// CSliderCtrl
CSliderCtrl::CSliderCtrl() {}
BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    AfxInitCommonControlsOnce();
    return CWnd::Create(TRACKBAR_CLASSW, NULL, dwStyle, rect, pParentWnd, nID);
}
int CSliderCtrl::GetLineSize() const { return (int)SEND(TBM_GETLINESIZE, 0, 0); }
int CSliderCtrl::SetLineSize(int nSize) { return (int)SEND(TBM_SETLINESIZE, 0, nSize); }
int CSliderCtrl::GetPageSize() const { return (int)SEND(TBM_GETPAGESIZE, 0, 0); }
int CSliderCtrl::SetPageSize(int nSize) { return (int)SEND(TBM_SETPAGESIZE, 0, nSize); }
int CSliderCtrl::GetRangeMax() const { return (int)SEND(TBM_GETRANGEMAX, 0, 0); }
int CSliderCtrl::GetRangeMin() const { return (int)SEND(TBM_GETRANGEMIN, 0, 0); }
void CSliderCtrl::GetRange(int& nMin, int& nMax) const { nMin = GetRangeMin(); nMax = GetRangeMax(); }
void CSliderCtrl::SetRangeMin(int nMin, BOOL bRedraw) { SEND(TBM_SETRANGEMIN, bRedraw, nMin); }
void CSliderCtrl::SetRangeMax(int nMax, BOOL bRedraw) { SEND(TBM_SETRANGEMAX, bRedraw, nMax); }
void CSliderCtrl::SetRange(int nMin, int nMax, BOOL bRedraw) { SetRangeMin(nMin, FALSE); SetRangeMax(nMax, bRedraw); }
void CSliderCtrl::GetSelection(int& nMin, int& nMax) const { nMin = (int)SEND(TBM_GETSELSTART, 0, 0); nMax = (int)SEND(TBM_GETSELEND, 0, 0); }
void CSliderCtrl::SetSelection(int nMin, int nMax) { SEND(TBM_SETSELSTART, FALSE, nMin); SEND(TBM_SETSELEND, TRUE, nMax); }
void CSliderCtrl::GetChannelRect(LPRECT lprc) const { SEND(TBM_GETCHANNELRECT, 0, lprc); }
void CSliderCtrl::GetThumbRect(LPRECT lprc) const { SEND(TBM_GETTHUMBRECT, 0, lprc); }
int CSliderCtrl::GetPos() const { return (int)SEND(TBM_GETPOS, 0, 0); }
void CSliderCtrl::SetPos(int nPos) { SEND(TBM_SETPOS, TRUE, nPos); }
UINT CSliderCtrl::GetNumTics() const { return (UINT)SEND(TBM_GETNUMTICS, 0, 0); }
int CSliderCtrl::GetTic(int nTic) const { return (int)SEND(TBM_GETTIC, nTic, 0); }
BOOL CSliderCtrl::SetTic(int nTic) { return (BOOL)SEND(TBM_SETTIC, 0, nTic); }
void CSliderCtrl::SetTicFreq(int nFreq) { SEND(TBM_SETTICFREQ, nFreq, 0); }
void CSliderCtrl::ClearSel(BOOL bRedraw) { SEND(TBM_CLEARSEL, bRedraw, 0); }
void CSliderCtrl::ClearTics(BOOL bRedraw) { SEND(TBM_CLEARTICS, bRedraw, 0); }

// CProgressCtrl
CProgressCtrl::CProgressCtrl() {}
BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    AfxInitCommonControlsOnce();
    return CWnd::Create(PROGRESS_CLASSW, NULL, dwStyle, rect, pParentWnd, nID);
}
void CProgressCtrl::SetRange(short nLower, short nUpper) { SEND(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper)); }
void CProgressCtrl::SetRange32(int nLower, int nUpper) { SEND(PBM_SETRANGE32, nLower, nUpper); }
void CProgressCtrl::GetRange(int& nLower, int& nUpper) const
{
    PBRANGE range;
    SEND(PBM_GETRANGE, FALSE, &range);
    nLower = range.iLow;
    nUpper = range.iHigh;
}
int CProgressCtrl::GetPos() const { return (int)SEND(PBM_GETPOS, 0, 0); }
int CProgressCtrl::SetPos(int nPos) { return (int)SEND(PBM_SETPOS, nPos, 0); }
int CProgressCtrl::OffsetPos(int nPos) { return (int)SEND(PBM_DELTAPOS, nPos, 0); }
int CProgressCtrl::SetStep(int nStep) { return (int)SEND(PBM_SETSTEP, nStep, 0); }
int CProgressCtrl::StepIt() { return (int)SEND(PBM_STEPIT, 0, 0); }
COLORREF CProgressCtrl::SetBarColor(COLORREF clrBar) { return (COLORREF)SEND(PBM_SETBARCOLOR, 0, clrBar); }
COLORREF CProgressCtrl::SetBkColor(COLORREF clrNew) { return (COLORREF)SEND(PBM_SETBKCOLOR, 0, clrNew); }
