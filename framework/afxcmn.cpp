#include "afximpl.h"
#include <vector>

IMPLEMENT_DYNCREATE(CImageList, CObject)
IMPLEMENT_DYNAMIC(CHeaderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CListCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

#define SEND(msg, wp, lp) ::SendMessageW(m_hWnd, (msg), (WPARAM)(wp), (LPARAM)(lp))

// CImageList ---------------------------------------------------------------------------

CImageList::CImageList() : m_hImageList(NULL) {}
CImageList::~CImageList() { DeleteImageList(); }

HIMAGELIST CImageList::GetSafeHandle() const { return AfxIsNullThis(this) ? NULL : m_hImageList; }

CImageList* CImageList::FromHandlePermanent(HIMAGELIST hImageList)
{
    if (hImageList == NULL) return NULL;
    AfxGlobalsLock lock;
    auto& m = AfxGetProcessState()->m_permImageList;
    auto it = m.find(hImageList);
    return it == m.end() ? NULL : it->second;
}

CImageList* CImageList::FromHandle(HIMAGELIST hImageList)
{
    if (hImageList == NULL) return NULL;
    CImageList* p = FromHandlePermanent(hImageList);
    if (p != NULL) return p;
    auto& temps = AfxGetThreadState()->m_tempImageList;
    auto it = temps.find(hImageList);
    if (it != temps.end()) return it->second;
    p = new CImageList;
    p->m_hImageList = hImageList;
    temps[hImageList] = p;
    return p;
}

void CImageList::DeleteTempMap()
{
    auto& temps = AfxGetThreadState()->m_tempImageList;
    std::vector<CImageList*> doomed;
    for (auto& kv : temps) doomed.push_back(kv.second);
    temps.clear();
    for (CImageList* p : doomed) {
        p->m_hImageList = NULL;
        delete p;
    }
}

BOOL CImageList::Attach(HIMAGELIST hImageList)
{
    if (hImageList == NULL || m_hImageList != NULL) return FALSE;
    {
        AfxGlobalsLock lock;
        auto& m = AfxGetProcessState()->m_permImageList;
        auto it = m.find(hImageList);
        if (it != m.end() && it->second != this) return FALSE;
        m[hImageList] = this;
    }
    m_hImageList = hImageList;
    return TRUE;
}

HIMAGELIST CImageList::Detach()
{
    HIMAGELIST h = m_hImageList;
    if (h != NULL) {
        AfxGlobalsLock lock;
        auto& m = AfxGetProcessState()->m_permImageList;
        auto it = m.find(h);
        if (it != m.end() && it->second == this) m.erase(it);
    }
    m_hImageList = NULL;
    return h;
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
{
    AfxInitCommonControlsOnce();
    return Attach(::ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
    AfxInitCommonControlsOnce();
    LPCWSTR name = MAKEINTRESOURCEW(nBitmapID);
    HINSTANCE hInst = AfxFindResourceHandle(name, (LPCWSTR)RT_BITMAP);
    return Attach(::ImageList_LoadImageW(hInst, name, cx, nGrow, crMask, IMAGE_BITMAP, LR_CREATEDIBSECTION));
}

BOOL CImageList::Create(CImageList* pImageList)
{
    return Attach(::ImageList_Duplicate(pImageList->GetSafeHandle()));
}

BOOL CImageList::DeleteImageList()
{
    if (AfxIsNullThis(this) || m_hImageList == NULL) return FALSE;
    return ::ImageList_Destroy(Detach());
}

int CImageList::GetImageCount() const { return ::ImageList_GetImageCount(m_hImageList); }
BOOL CImageList::SetImageCount(UINT uNewCount) { return ::ImageList_SetImageCount(m_hImageList, uNewCount); }
BOOL CImageList::GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const { return ::ImageList_GetImageInfo(m_hImageList, nImage, pImageInfo); }
BOOL CImageList::GetIconSize(int* cx, int* cy) const { return ::ImageList_GetIconSize(m_hImageList, cx, cy); }
COLORREF CImageList::SetBkColor(COLORREF cr) { return ::ImageList_SetBkColor(m_hImageList, cr); }
COLORREF CImageList::GetBkColor() const { return ::ImageList_GetBkColor(m_hImageList); }

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask)
{
    return ::ImageList_Add(m_hImageList, (HBITMAP)pbmImage->GetSafeHandle(), (HBITMAP)pbmMask->GetSafeHandle());
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask)
{
    return ::ImageList_AddMasked(m_hImageList, (HBITMAP)pbmImage->GetSafeHandle(), crMask);
}

int CImageList::Add(HICON hIcon) { return ::ImageList_ReplaceIcon(m_hImageList, -1, hIcon); }

BOOL CImageList::Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask)
{
    return ::ImageList_Replace(m_hImageList, nImage, (HBITMAP)pbmImage->GetSafeHandle(),
                               (HBITMAP)pbmMask->GetSafeHandle());
}

int CImageList::Replace(int nImage, HICON hIcon) { return ::ImageList_ReplaceIcon(m_hImageList, nImage, hIcon); }
BOOL CImageList::Remove(int nImage) { return ::ImageList_Remove(m_hImageList, nImage); }

BOOL CImageList::Copy(int iDst, int iSrc, UINT uFlags)
{
    if (!(uFlags & ILCF_SWAP)) return ::ImageList_Copy(m_hImageList, iDst, m_hImageList, iSrc, uFlags);
    // The platform's own swap restores the source slot from the saved mask, leaving it
    // black: park the destination image in a one-slot list of the same kind instead.
    int nCount = ::ImageList_GetImageCount(m_hImageList);
    if (iDst < 0 || iSrc < 0 || iDst >= nCount || iSrc >= nCount) return FALSE;
    if (iDst == iSrc) return TRUE;
    IMAGEINFO info = {};
    if (!::ImageList_GetImageInfo(m_hImageList, iDst, &info)) return FALSE;
    BITMAP bm = {};
    ::GetObjectW(info.hbmImage, sizeof(bm), &bm);
    UINT nFlags = info.hbmMask != NULL ? ILC_MASK : 0;
    switch (bm.bmBitsPixel) {
    case 4: nFlags |= ILC_COLOR4; break;
    case 8: nFlags |= ILC_COLOR8; break;
    case 16: nFlags |= ILC_COLOR16; break;
    case 24: nFlags |= ILC_COLOR24; break;
    default: nFlags |= ILC_COLOR32; break;
    }
    int cx = 0, cy = 0;
    ::ImageList_GetIconSize(m_hImageList, &cx, &cy);
    HIMAGELIST hPark = ::ImageList_Create(cx, cy, nFlags, 1, 1);
    if (hPark == NULL) return FALSE;
    BOOL bOk = ::ImageList_SetImageCount(hPark, 1) &&
               ::ImageList_Copy(hPark, 0, m_hImageList, iDst, ILCF_MOVE) &&
               ::ImageList_Copy(m_hImageList, iDst, m_hImageList, iSrc, ILCF_MOVE) &&
               ::ImageList_Copy(m_hImageList, iSrc, hPark, 0, ILCF_MOVE);
    ::ImageList_Destroy(hPark);
    return bOk;
}

BOOL CImageList::Copy(int iDst, CImageList* pSrc, int iSrc, UINT uFlags)
{
    return ::ImageList_Copy(m_hImageList, iDst, pSrc->GetSafeHandle(), iSrc, uFlags);
}

HICON CImageList::ExtractIcon(int nImage) { return ::ImageList_GetIcon(m_hImageList, nImage, ILD_NORMAL); }

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle)
{
    return ::ImageList_Draw(m_hImageList, nImage, pDC->GetSafeHdc(), pt.x, pt.y, nStyle);
}

BOOL CImageList::DrawEx(CDC* pDC, int nImage, POINT pt, SIZE sz, COLORREF clrBk, COLORREF clrFg, UINT nStyle)
{
    return ::ImageList_DrawEx(m_hImageList, nImage, pDC->GetSafeHdc(), pt.x, pt.y, sz.cx, sz.cy, clrBk, clrFg, nStyle);
}

BOOL CImageList::SetOverlayImage(int nImage, int nOverlay) { return ::ImageList_SetOverlayImage(m_hImageList, nImage, nOverlay); }

// CHeaderCtrl ----------------------------------------------------------------------------

CHeaderCtrl::CHeaderCtrl() {}
BOOL CHeaderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(WC_HEADERW, NULL, dwStyle, rect, pParentWnd, nID);
}
int CHeaderCtrl::GetItemCount() const { return (int)SEND(HDM_GETITEMCOUNT, 0, 0); }
BOOL CHeaderCtrl::GetItem(int nPos, HDITEMW* pHeaderItem) const { return (BOOL)SEND(HDM_GETITEMW, nPos, pHeaderItem); }
BOOL CHeaderCtrl::SetItem(int nPos, HDITEMW* pHeaderItem) { return (BOOL)SEND(HDM_SETITEMW, nPos, pHeaderItem); }
BOOL CHeaderCtrl::GetItemRect(int nIndex, LPRECT lpRect) const { return (BOOL)SEND(HDM_GETITEMRECT, nIndex, lpRect); }
int CHeaderCtrl::HitTest(LPHDHITTESTINFO pHeaderHitTestInfo) { return (int)SEND(HDM_HITTEST, 0, pHeaderHitTestInfo); }

// CListCtrl ------------------------------------------------------------------------------

CListCtrl::CListCtrl() {}

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    AfxInitCommonControlsOnce();
    return CWnd::Create(WC_LISTVIEWW, NULL, dwStyle, rect, pParentWnd, nID);
}

DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle) { return (DWORD)SEND(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwNewStyle); }
DWORD CListCtrl::GetExtendedStyle() const { return (DWORD)SEND(LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0); }

int CListCtrl::InsertColumn(int nCol, const LVCOLUMNW* pColumn) { return (int)SEND(LVM_INSERTCOLUMNW, nCol, pColumn); }

int CListCtrl::InsertColumn(int nCol, LPCWSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem)
{
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_FMT;
    column.pszText = (LPWSTR)lpszColumnHeading;
    column.fmt = nFormat;
    if (nWidth != -1) {
        column.mask |= LVCF_WIDTH;
        column.cx = nWidth;
    }
    if (nSubItem != -1) {
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = nSubItem;
    }
    return InsertColumn(nCol, &column);
}

BOOL CListCtrl::DeleteColumn(int nCol) { return (BOOL)SEND(LVM_DELETECOLUMN, nCol, 0); }
BOOL CListCtrl::GetColumn(int nCol, LVCOLUMNW* pColumn) const { return (BOOL)SEND(LVM_GETCOLUMNW, nCol, pColumn); }
BOOL CListCtrl::SetColumn(int nCol, const LVCOLUMNW* pColumn) { return (BOOL)SEND(LVM_SETCOLUMNW, nCol, pColumn); }
int CListCtrl::GetColumnWidth(int nCol) const { return (int)SEND(LVM_GETCOLUMNWIDTH, nCol, 0); }
BOOL CListCtrl::SetColumnWidth(int nCol, int cx) { return (BOOL)SEND(LVM_SETCOLUMNWIDTH, nCol, MAKELPARAM(cx, 0)); }

int CListCtrl::InsertItem(const LVITEMW* pItem) { return (int)SEND(LVM_INSERTITEMW, 0, pItem); }
int CListCtrl::InsertItem(int nItem, LPCWSTR lpszItem) { return InsertItem(LVIF_TEXT, nItem, lpszItem, 0, 0, 0, 0); }
int CListCtrl::InsertItem(int nItem, LPCWSTR lpszItem, int nImage)
{
    return InsertItem(LVIF_TEXT | LVIF_IMAGE, nItem, lpszItem, 0, 0, nImage, 0);
}

int CListCtrl::InsertItem(UINT nMask, int nItem, LPCWSTR lpszItem, UINT nState, UINT nStateMask, int nImage, LPARAM lParam)
{
    LVITEMW item = {};
    item.mask = nMask;
    item.iItem = nItem;
    item.state = nState;
    item.stateMask = nStateMask;
    item.pszText = (LPWSTR)lpszItem;
    item.iImage = nImage;
    item.lParam = lParam;
    return InsertItem(&item);
}

BOOL CListCtrl::DeleteItem(int nItem) { return (BOOL)SEND(LVM_DELETEITEM, nItem, 0); }
BOOL CListCtrl::DeleteAllItems() { return (BOOL)SEND(LVM_DELETEALLITEMS, 0, 0); }
int CListCtrl::GetItemCount() const { return (int)SEND(LVM_GETITEMCOUNT, 0, 0); }
void CListCtrl::SetItemCount(int nItems) { SEND(LVM_SETITEMCOUNT, nItems, 0); }
BOOL CListCtrl::GetItem(LVITEMW* pItem) const { return (BOOL)SEND(LVM_GETITEMW, 0, pItem); }
BOOL CListCtrl::SetItem(const LVITEMW* pItem) { return (BOOL)SEND(LVM_SETITEMW, 0, pItem); }

BOOL CListCtrl::SetItem(int nItem, int nSubItem, UINT nMask, LPCWSTR lpszItem, int nImage, UINT nState,
                        UINT nStateMask, LPARAM lParam)
{
    LVITEMW item = {};
    item.mask = nMask;
    item.iItem = nItem;
    item.iSubItem = nSubItem;
    item.state = nState;
    item.stateMask = nStateMask;
    item.pszText = (LPWSTR)lpszItem;
    item.iImage = nImage;
    item.lParam = lParam;
    return SetItem(&item);
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCWSTR lpszText)
{
    LVITEMW item = {};
    item.iSubItem = nSubItem;
    item.pszText = (LPWSTR)lpszText;
    return (BOOL)SEND(LVM_SETITEMTEXTW, nItem, &item);
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    // The control copies at most the buffer it is given; grow until the text fits.
    CString str;
    for (int nLen = 128;; nLen *= 2) {
        LVITEMW item = {};
        item.iSubItem = nSubItem;
        item.cchTextMax = nLen;
        item.pszText = str.GetBufferSetLength(nLen);
        int nRes = (int)SEND(LVM_GETITEMTEXTW, nItem, &item);
        str.ReleaseBuffer(nRes);
        if (nRes < nLen - 1 || nLen >= 0x100000) break;
    }
    return str;
}

int CListCtrl::GetItemText(int nItem, int nSubItem, LPWSTR lpszText, int nLen) const
{
    LVITEMW item = {};
    item.iSubItem = nSubItem;
    item.cchTextMax = nLen;
    item.pszText = lpszText;
    return (int)SEND(LVM_GETITEMTEXTW, nItem, &item);
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData)
{
    return SetItem(nItem, 0, LVIF_PARAM, NULL, 0, 0, 0, (LPARAM)dwData);
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    return GetItem(&item) ? (DWORD_PTR)item.lParam : 0;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask)
{
    LVITEMW item = {};
    item.state = nState;
    item.stateMask = nMask;
    return (BOOL)SEND(LVM_SETITEMSTATE, nItem, &item);
}

BOOL CListCtrl::SetItemState(int nItem, LVITEMW* pItem) { return (BOOL)SEND(LVM_SETITEMSTATE, nItem, pItem); }
UINT CListCtrl::GetItemState(int nItem, UINT nMask) const { return (UINT)SEND(LVM_GETITEMSTATE, nItem, nMask); }
int CListCtrl::GetNextItem(int nItem, int nFlags) const { return (int)SEND(LVM_GETNEXTITEM, nItem, MAKELPARAM(nFlags, 0)); }
UINT CListCtrl::GetSelectedCount() const { return (UINT)SEND(LVM_GETSELECTEDCOUNT, 0, 0); }

// Positions are item index + 1, so that NULL ends the walk.
POSITION CListCtrl::GetFirstSelectedItemPosition() const
{
    return (POSITION)(INT_PTR)(1 + GetNextItem(-1, LVNI_SELECTED));
}

int CListCtrl::GetNextSelectedItem(POSITION& pos) const
{
    int nOld = (int)(INT_PTR)pos - 1;
    pos = (POSITION)(INT_PTR)(1 + GetNextItem(nOld, LVNI_SELECTED));
    return nOld;
}

BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const
{
    lpRect->left = (LONG)nCode;
    return (BOOL)SEND(LVM_GETITEMRECT, nItem, lpRect);
}

BOOL CListCtrl::GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const
{
    RECT r = {};
    r.top = iSubItem;
    r.left = nArea;
    BOOL bRet = (BOOL)SEND(LVM_GETSUBITEMRECT, iItem, &r);
    if (bRet) ref = r;
    return bRet;
}

BOOL CListCtrl::GetItemPosition(int nItem, LPPOINT lpPoint) const { return (BOOL)SEND(LVM_GETITEMPOSITION, nItem, lpPoint); }
BOOL CListCtrl::SetItemPosition(int nItem, POINT pt) { return (BOOL)SEND(LVM_SETITEMPOSITION32, nItem, &pt); }
BOOL CListCtrl::GetViewRect(LPRECT lpRect) const { return (BOOL)SEND(LVM_GETVIEWRECT, 0, lpRect); }
BOOL CListCtrl::GetOrigin(LPPOINT lpPoint) const { return (BOOL)SEND(LVM_GETORIGIN, 0, lpPoint); }

int CListCtrl::HitTest(CPoint pt, UINT* pFlags) const
{
    LVHITTESTINFO hti = {};
    hti.pt = pt;
    int nRes = (int)SEND(LVM_HITTEST, 0, &hti);
    if (pFlags != NULL) *pFlags = hti.flags;
    return nRes;
}

int CListCtrl::HitTest(LVHITTESTINFO* pHitTestInfo) const { return (int)SEND(LVM_HITTEST, 0, pHitTestInfo); }
int CListCtrl::SubItemHitTest(LPLVHITTESTINFO pInfo) { return (int)SEND(LVM_SUBITEMHITTEST, 0, pInfo); }
int CListCtrl::FindItem(LVFINDINFOW* pFindInfo, int nStart) const { return (int)SEND(LVM_FINDITEMW, nStart, pFindInfo); }

CImageList* CListCtrl::SetImageList(CImageList* pImageList, int nImageListType)
{
    return CImageList::FromHandle((HIMAGELIST)SEND(LVM_SETIMAGELIST, nImageListType, pImageList->GetSafeHandle()));
}

CImageList* CListCtrl::GetImageList(int nImageListType) const
{
    return CImageList::FromHandle((HIMAGELIST)SEND(LVM_GETIMAGELIST, nImageListType, 0));
}

COLORREF CListCtrl::GetBkColor() const { return (COLORREF)SEND(LVM_GETBKCOLOR, 0, 0); }
BOOL CListCtrl::SetBkColor(COLORREF cr) { return (BOOL)SEND(LVM_SETBKCOLOR, 0, cr); }
COLORREF CListCtrl::GetTextColor() const { return (COLORREF)SEND(LVM_GETTEXTCOLOR, 0, 0); }
BOOL CListCtrl::SetTextColor(COLORREF cr) { return (BOOL)SEND(LVM_SETTEXTCOLOR, 0, cr); }
COLORREF CListCtrl::GetTextBkColor() const { return (COLORREF)SEND(LVM_GETTEXTBKCOLOR, 0, 0); }
BOOL CListCtrl::SetTextBkColor(COLORREF cr) { return (BOOL)SEND(LVM_SETTEXTBKCOLOR, 0, cr); }
int CListCtrl::SetHotItem(int iIndex) { return (int)SEND(LVM_SETHOTITEM, iIndex, 0); }
int CListCtrl::GetHotItem() { return (int)SEND(LVM_GETHOTITEM, 0, 0); }
BOOL CListCtrl::EnsureVisible(int nItem, BOOL bPartialOK) { return (BOOL)SEND(LVM_ENSUREVISIBLE, nItem, MAKELPARAM(bPartialOK, 0)); }
int CListCtrl::GetTopIndex() const { return (int)SEND(LVM_GETTOPINDEX, 0, 0); }
int CListCtrl::GetCountPerPage() const { return (int)SEND(LVM_GETCOUNTPERPAGE, 0, 0); }
BOOL CListCtrl::Scroll(CSize size) { return (BOOL)SEND(LVM_SCROLL, size.cx, size.cy); }
BOOL CListCtrl::RedrawItems(int nFirst, int nLast) { return (BOOL)SEND(LVM_REDRAWITEMS, nFirst, nLast); }
BOOL CListCtrl::Update(int nItem) { return (BOOL)SEND(LVM_UPDATE, nItem, 0); }
BOOL CListCtrl::Arrange(UINT nCode) { return (BOOL)SEND(LVM_ARRANGE, nCode, 0); }

CSize CListCtrl::SetIconSpacing(int cx, int cy)
{
    DWORD dw = (DWORD)SEND(LVM_SETICONSPACING, 0, MAKELPARAM(cx, cy));
    return CSize(LOWORD(dw), HIWORD(dw));
}

BOOL CListCtrl::SortItems(PFNLVCOMPARE pfnCompare, DWORD_PTR dwData) { return (BOOL)SEND(LVM_SORTITEMS, dwData, pfnCompare); }
CHeaderCtrl* CListCtrl::GetHeaderCtrl() { return (CHeaderCtrl*)CWnd::FromHandle((HWND)SEND(LVM_GETHEADER, 0, 0)); }

// CTabCtrl -------------------------------------------------------------------------------

CTabCtrl::CTabCtrl() {}

BOOL CTabCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    AfxInitCommonControlsOnce();
    return CWnd::Create(WC_TABCONTROLW, NULL, dwStyle, rect, pParentWnd, nID);
}

int CTabCtrl::GetItemCount() const { return (int)SEND(TCM_GETITEMCOUNT, 0, 0); }
BOOL CTabCtrl::GetItem(int nItem, TCITEMW* pTabCtrlItem) const { return (BOOL)SEND(TCM_GETITEMW, nItem, pTabCtrlItem); }
BOOL CTabCtrl::SetItem(int nItem, TCITEMW* pTabCtrlItem) { return (BOOL)SEND(TCM_SETITEMW, nItem, pTabCtrlItem); }
LONG CTabCtrl::InsertItem(int nItem, TCITEMW* pTabCtrlItem) { return (LONG)SEND(TCM_INSERTITEMW, nItem, pTabCtrlItem); }

LONG CTabCtrl::InsertItem(int nItem, LPCWSTR lpszItem)
{
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = (LPWSTR)lpszItem;
    return InsertItem(nItem, &item);
}

LONG CTabCtrl::InsertItem(int nItem, LPCWSTR lpszItem, int nImage)
{
    TCITEMW item = {};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = (LPWSTR)lpszItem;
    item.iImage = nImage;
    return InsertItem(nItem, &item);
}

BOOL CTabCtrl::DeleteItem(int nItem) { return (BOOL)SEND(TCM_DELETEITEM, nItem, 0); }
BOOL CTabCtrl::DeleteAllItems() { return (BOOL)SEND(TCM_DELETEALLITEMS, 0, 0); }
int CTabCtrl::GetCurSel() const { return (int)SEND(TCM_GETCURSEL, 0, 0); }
int CTabCtrl::SetCurSel(int nItem) { return (int)SEND(TCM_SETCURSEL, nItem, 0); }
int CTabCtrl::GetCurFocus() const { return (int)SEND(TCM_GETCURFOCUS, 0, 0); }
void CTabCtrl::SetCurFocus(int nItem) { SEND(TCM_SETCURFOCUS, nItem, 0); }
BOOL CTabCtrl::GetItemRect(int nItem, LPRECT lpRect) const { return (BOOL)SEND(TCM_GETITEMRECT, nItem, lpRect); }

CSize CTabCtrl::SetItemSize(CSize size)
{
    DWORD dw = (DWORD)SEND(TCM_SETITEMSIZE, 0, MAKELPARAM(size.cx, size.cy));
    return CSize(LOWORD(dw), HIWORD(dw));
}

void CTabCtrl::SetPadding(CSize size) { SEND(TCM_SETPADDING, 0, MAKELPARAM(size.cx, size.cy)); }
int CTabCtrl::SetMinTabWidth(int cx) { return (int)SEND(TCM_SETMINTABWIDTH, 0, cx); }
int CTabCtrl::GetRowCount() const { return (int)SEND(TCM_GETROWCOUNT, 0, 0); }
void CTabCtrl::AdjustRect(BOOL bLarger, LPRECT lpRect) { SEND(TCM_ADJUSTRECT, bLarger, lpRect); }
int CTabCtrl::HitTest(TCHITTESTINFO* pHitTestInfo) const { return (int)SEND(TCM_HITTEST, 0, pHitTestInfo); }

CImageList* CTabCtrl::SetImageList(CImageList* pImageList)
{
    return CImageList::FromHandle((HIMAGELIST)SEND(TCM_SETIMAGELIST, 0, pImageList->GetSafeHandle()));
}

CImageList* CTabCtrl::GetImageList() const { return CImageList::FromHandle((HIMAGELIST)SEND(TCM_GETIMAGELIST, 0, 0)); }

void CTabCtrl::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CTabCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM) return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem((LPDRAWITEMSTRUCT)lParam);
    if (pResult) *pResult = TRUE;
    return TRUE;
}

// CToolTipCtrl ---------------------------------------------------------------------------

CToolTipCtrl::CToolTipCtrl() {}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    AfxInitCommonControlsOnce();
    BOOL bResult = CWnd::CreateEx(0, TOOLTIPS_CLASSW, NULL, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd->GetSafeHwnd(), NULL);
    if (bResult) SetOwner(pParentWnd);
    return bResult;
}

void CToolTipCtrl::FillInToolInfo(TTTOOLINFOW& ti, CWnd* pWnd, UINT_PTR nIDTool) const
{
    memset(&ti, 0, sizeof(ti));
    ti.cbSize = sizeof(ti);
    HWND hWnd = pWnd->GetSafeHwnd();
    if (nIDTool == 0) {
        ti.hwnd = ::GetParent(hWnd);
        ti.uFlags = TTF_IDISHWND;
        ti.uId = (UINT_PTR)hWnd;
    } else {
        ti.hwnd = hWnd;
        ti.uId = nIDTool;
    }
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCWSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    TTTOOLINFOW ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    if (lpRectTool != NULL) {
        // A rectangle belongs to a tool of its own inside pWnd.
        ti.hwnd = pWnd->GetSafeHwnd();
        ti.uFlags &= ~TTF_IDISHWND;
        if (nIDTool == 0) ti.uId = 0;
        ti.rect = *lpRectTool;
    } else if (nIDTool != 0) {
        ::GetClientRect(ti.hwnd, &ti.rect);
    }
    ti.hinst = AfxGetResourceHandle();
    ti.lpszText = (LPWSTR)lpszText;
    return (BOOL)SEND(TTM_ADDTOOLW, 0, &ti);
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    CString text;
    text.LoadString(nIDText);
    return AddTool(pWnd, text, lpRectTool, nIDTool);
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool)
{
    TTTOOLINFOW ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    SEND(TTM_DELTOOLW, 0, &ti);
}

void CToolTipCtrl::UpdateTipText(LPCWSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool)
{
    TTTOOLINFOW ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.lpszText = (LPWSTR)lpszText;
    SEND(TTM_UPDATETIPTEXTW, 0, &ti);
}

void CToolTipCtrl::UpdateTipText(UINT nIDText, CWnd* pWnd, UINT_PTR nIDTool)
{
    CString text;
    text.LoadString(nIDText);
    UpdateTipText(text, pWnd, nIDTool);
}

void CToolTipCtrl::GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool) const
{
    TTTOOLINFOW ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    // TTM_GETTEXT has no length: give the control the size it documents as enough.
    ti.lpszText = str.GetBufferSetLength(1024);
    ti.lpszText[0] = 0;
    SEND(TTM_GETTEXTW, 1024, &ti);
    str.ReleaseBuffer();
}

int CToolTipCtrl::GetToolCount() const { return (int)SEND(TTM_GETTOOLCOUNT, 0, 0); }

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect)
{
    TTTOOLINFOW ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.rect = *lpRect;
    SEND(TTM_NEWTOOLRECTW, 0, &ti);
}

void CToolTipCtrl::Activate(BOOL bActivate) { SEND(TTM_ACTIVATE, bActivate, 0); }
void CToolTipCtrl::RelayEvent(LPMSG lpMsg) { SEND(TTM_RELAYEVENT, 0, lpMsg); }
void CToolTipCtrl::SetDelayTime(UINT nDelay) { SEND(TTM_SETDELAYTIME, TTDT_AUTOMATIC, MAKELPARAM(nDelay, 0)); }
void CToolTipCtrl::SetDelayTime(DWORD dwDuration, int iTime) { SEND(TTM_SETDELAYTIME, dwDuration, MAKELPARAM(iTime, 0)); }
int CToolTipCtrl::SetMaxTipWidth(int iWidth) { return (int)SEND(TTM_SETMAXTIPWIDTH, 0, iWidth); }
void CToolTipCtrl::Pop() { SEND(TTM_POP, 0, 0); }
