// Control bars: windows docked along a side of their parent that take their share of
// its client area when the parent calls RepositionBars.
#pragma once
#include "afxwnd.h"
#include "afxcmn.h"

// Control-bar styles (the low word of the style a bar is created with).
#define CBRS_ALIGN_LEFT     0x1000L
#define CBRS_ALIGN_TOP      0x2000L
#define CBRS_ALIGN_RIGHT    0x4000L
#define CBRS_ALIGN_BOTTOM   0x8000L
#define CBRS_ALIGN_ANY      0xF000L
#define CBRS_BORDER_LEFT    0x0100L
#define CBRS_BORDER_TOP     0x0200L
#define CBRS_BORDER_RIGHT   0x0400L
#define CBRS_BORDER_BOTTOM  0x0800L
#define CBRS_BORDER_ANY     0x0F00L
#define CBRS_TOOLTIPS       0x0010L
#define CBRS_FLYBY          0x0020L
#define CBRS_FLOAT_MULTI    0x0040L
#define CBRS_BORDER_3D      0x0080L
#define CBRS_HIDE_INPLACE   0x0008L
#define CBRS_SIZE_DYNAMIC   0x0004L
#define CBRS_SIZE_FIXED     0x0002L
#define CBRS_FLOATING       0x0001L
#define CBRS_GRIPPER        0x00400000L
#define CBRS_ORIENT_HORZ    (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT    (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_ALL            0x0040FFFFL
#define CBRS_NOALIGN        0x00000000L
#define CBRS_LEFT           (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_TOP            (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_RIGHT          (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_BOTTOM         (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)

// Standard child ids of a frame.
#ifndef AFX_IDW_CONTROLBAR_FIRST
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_CONTROLBAR_LAST  0xE8FF
#define AFX_IDW_TOOLBAR          0xE800
#define AFX_IDW_STATUS_BAR       0xE801
#define AFX_IDW_REBAR            0xE804
#define AFX_IDW_PANE_FIRST       0xE900
#define AFX_IDW_PANE_LAST        0xE9FF
#endif

class CControlBar : public CWnd
{
    DECLARE_DYNAMIC(CControlBar)
public:
    CControlBar();

    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle) { m_dwStyle = dwStyle; }
    BOOL IsVisible() const;
    // The size the bar asks for along its side; bStretch lets it span the whole side.
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);

    DWORD m_dwStyle;   // the CBRS_ styles; the window style keeps none of them

protected:
    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

class CReBarCtrl : public CWnd
{
    DECLARE_DYNAMIC(CReBarCtrl)
public:
    CReBarCtrl();
    UINT GetBandCount() const;
    BOOL GetBandInfo(UINT uBand, REBARBANDINFOW* prbbi) const;
    BOOL SetBandInfo(UINT uBand, REBARBANDINFOW* prbbi);
    UINT GetBarHeight() const;
    BOOL GetRect(UINT uBand, LPRECT prc) const;
    UINT GetRowCount() const;
    BOOL InsertBand(UINT uIndex, REBARBANDINFOW* prbbi);
    BOOL DeleteBand(UINT uBand);
    BOOL ShowBand(UINT uBand, BOOL fShow = TRUE);
    void MinimizeBand(UINT uBand);
    void MaximizeBand(UINT uBand);
};

class CReBar : public CControlBar
{
    DECLARE_DYNAMIC(CReBar)
public:
    CReBar();
    BOOL Create(CWnd* pParentWnd, DWORD dwCtrlStyle = RBS_BANDBORDERS,
                DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CBRS_TOP,
                UINT nID = AFX_IDW_REBAR);
    // A band holding pBar; the band's minimum child size is pBar's present size, so
    // the child's height sets the bar's.  The parent lays itself out again afterwards
    // (RepositionBars).
    BOOL AddBar(CWnd* pBar, LPCWSTR pszText = NULL, CBitmap* pbmp = NULL,
                DWORD dwStyle = RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP);
    BOOL AddBar(CWnd* pBar, COLORREF clrFore, COLORREF clrBack, LPCWSTR pszText = NULL,
                DWORD dwStyle = RBBS_GRIPPERALWAYS);
    CReBarCtrl& GetReBarCtrl() const { return *(CReBarCtrl*)this; }
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;

protected:
    BOOL InsertBar(CWnd* pBar, REBARBANDINFOW* pInfo);
};

// Named so code can refer to them; the program uses neither.
class CStatusBar : public CControlBar
{
public:
    CStatusBar() {}
};

class CToolBar : public CControlBar
{
public:
    CToolBar() {}
};
