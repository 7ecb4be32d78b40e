#include "afximpl.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)
IMPLEMENT_DYNAMIC(CReBarCtrl, CWnd)
IMPLEMENT_DYNAMIC(CReBar, CControlBar)

#define SEND(msg, wp, lp) ::SendMessageW(m_hWnd, (msg), (WPARAM)(wp), (LPARAM)(lp))

// CControlBar ----------------------------------------------------------------------------

CControlBar::CControlBar() : m_dwStyle(0) {}

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
END_MESSAGE_MAP()

BOOL CControlBar::IsVisible() const { return (GetStyle() & WS_VISIBLE) != 0; }

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CRect rect;
    GetWindowRect(&rect);
    CSize size = rect.Size();
    if (bStretch) {
        if (bHorz) size.cx = 32767;
        else size.cy = 32767;
    }
    return size;
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    AFX_SIZEPARENTPARAMS* pLayout = (AFX_SIZEPARENTPARAMS*)lParam;
    if (!IsVisible() || (m_dwStyle & CBRS_ALIGN_ANY) == 0) return 0;

    CRect free(pLayout->rect);
    BOOL bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    CSize size = CalcFixedLayout(pLayout->bStretch, bHorz);
    size.cx = size.cx < free.Width() ? size.cx : free.Width();
    size.cy = size.cy < free.Height() ? size.cy : free.Height();
    if (size.cx < 0) size.cx = 0;
    if (size.cy < 0) size.cy = 0;

    CRect rect(free.left, free.top, free.left + size.cx, free.top + size.cy);
    if (bHorz) {
        pLayout->sizeTotal.cy += size.cy;
        if (size.cx > pLayout->sizeTotal.cx) pLayout->sizeTotal.cx = size.cx;
        if (m_dwStyle & CBRS_ALIGN_TOP) {
            pLayout->rect.top += size.cy;
        } else {
            rect.OffsetRect(0, free.Height() - size.cy);
            pLayout->rect.bottom -= size.cy;
        }
    } else {
        pLayout->sizeTotal.cx += size.cx;
        if (size.cy > pLayout->sizeTotal.cy) pLayout->sizeTotal.cy = size.cy;
        if (m_dwStyle & CBRS_ALIGN_LEFT) {
            pLayout->rect.left += size.cx;
        } else {
            rect.OffsetRect(free.Width() - size.cx, 0);
            pLayout->rect.right -= size.cx;
        }
    }
    if (pLayout->hDWP != NULL)
        pLayout->hDWP = ::DeferWindowPos(pLayout->hDWP, m_hWnd, NULL, rect.left, rect.top, rect.Width(),
                                         rect.Height(), SWP_NOACTIVATE | SWP_NOZORDER);
    return 0;
}

// CReBarCtrl -----------------------------------------------------------------------------

CReBarCtrl::CReBarCtrl() {}
UINT CReBarCtrl::GetBandCount() const { return (UINT)SEND(RB_GETBANDCOUNT, 0, 0); }
BOOL CReBarCtrl::GetBandInfo(UINT uBand, REBARBANDINFOW* prbbi) const { return (BOOL)SEND(RB_GETBANDINFOW, uBand, prbbi); }
BOOL CReBarCtrl::SetBandInfo(UINT uBand, REBARBANDINFOW* prbbi) { return (BOOL)SEND(RB_SETBANDINFOW, uBand, prbbi); }
UINT CReBarCtrl::GetBarHeight() const { return (UINT)SEND(RB_GETBARHEIGHT, 0, 0); }
BOOL CReBarCtrl::GetRect(UINT uBand, LPRECT prc) const { return (BOOL)SEND(RB_GETRECT, uBand, prc); }
UINT CReBarCtrl::GetRowCount() const { return (UINT)SEND(RB_GETROWCOUNT, 0, 0); }
BOOL CReBarCtrl::InsertBand(UINT uIndex, REBARBANDINFOW* prbbi) { return (BOOL)SEND(RB_INSERTBANDW, uIndex, prbbi); }
BOOL CReBarCtrl::DeleteBand(UINT uBand) { return (BOOL)SEND(RB_DELETEBAND, uBand, 0); }
BOOL CReBarCtrl::ShowBand(UINT uBand, BOOL fShow) { return (BOOL)SEND(RB_SHOWBAND, uBand, fShow); }
void CReBarCtrl::MinimizeBand(UINT uBand) { SEND(RB_MINIMIZEBAND, uBand, 0); }
void CReBarCtrl::MaximizeBand(UINT uBand) { SEND(RB_MAXIMIZEBAND, uBand, 0); }

// CReBar ---------------------------------------------------------------------------------

CReBar::CReBar() {}

BOOL CReBar::Create(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    AfxInitCommonControlsOnce();
    // The bar styles share their bits with the control's own: keep them apart, and let
    // the parent's layout, not the control, decide where the bar goes.
    m_dwStyle = dwStyle & CBRS_ALL;
    dwStyle &= ~CBRS_ALL;
    dwStyle |= CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE | RBS_VARHEIGHT;
    dwStyle |= dwCtrlStyle;
    CRect rect(0, 0, 0, 0);
    return CWnd::Create(REBARCLASSNAMEW, NULL, dwStyle, rect, pParentWnd, nID);
}

BOOL CReBar::InsertBar(CWnd* pBar, REBARBANDINFOW* pInfo)
{
    CRect rect;
    pBar->GetWindowRect(&rect);
    pInfo->fMask |= RBBIM_CHILD | RBBIM_CHILDSIZE;
    pInfo->hwndChild = pBar->GetSafeHwnd();
    pInfo->cxMinChild = rect.Width();
    pInfo->cyMinChild = rect.Height();
    return (BOOL)SEND(RB_INSERTBANDW, (WPARAM)-1, pInfo);
}

BOOL CReBar::AddBar(CWnd* pBar, LPCWSTR pszText, CBitmap* pbmp, DWORD dwStyle)
{
    REBARBANDINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = RBBIM_STYLE;
    info.fStyle = dwStyle;
    if (pszText != NULL) {
        info.fMask |= RBBIM_TEXT;
        info.lpText = (LPWSTR)pszText;
    }
    if (pbmp != NULL) {
        info.fMask |= RBBIM_BACKGROUND;
        info.hbmBack = (HBITMAP)pbmp->GetSafeHandle();
    }
    return InsertBar(pBar, &info);
}

BOOL CReBar::AddBar(CWnd* pBar, COLORREF clrFore, COLORREF clrBack, LPCWSTR pszText, DWORD dwStyle)
{
    REBARBANDINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = RBBIM_STYLE | RBBIM_COLORS;
    info.fStyle = dwStyle;
    info.clrFore = clrFore;
    info.clrBack = clrBack;
    if (pszText != NULL) {
        info.fMask |= RBBIM_TEXT;
        info.lpText = (LPWSTR)pszText;
    }
    return InsertBar(pBar, &info);
}

CSize CReBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    // The bands' union is what the bar needs across its side.
    CRect bound(0, 0, 0, 0);
    UINT nCount = (UINT)SEND(RB_GETBANDCOUNT, 0, 0);
    for (UINT i = 0; i < nCount; i++) {
        REBARBANDINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = RBBIM_STYLE;
        if (!SEND(RB_GETBANDINFOW, i, &info) || (info.fStyle & RBBS_HIDDEN)) continue;
        CRect r;
        if (SEND(RB_GETRECT, i, &r)) bound.UnionRect(&bound, &r);
    }
    int nAcross = bHorz ? (int)SEND(RB_GETBARHEIGHT, 0, 0) : bound.Width();
    if (nAcross < (bHorz ? bound.Height() : bound.Width())) nAcross = bHorz ? bound.Height() : bound.Width();
    if (bHorz) return CSize(bStretch ? 32767 : bound.Width(), nAcross);
    return CSize(nAcross, bStretch ? 32767 : bound.Height());
}
