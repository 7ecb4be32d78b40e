// Image lists, control bars and the list view: pixels, layout and notifications.
#include "support/gtest.h"
#include "support/wintest.h"
#include "afxwin.h"
#include <algorithm>
#include <vector>

namespace {

LPCWSTR PlainClass() { return AfxRegisterWndClass(0, ::LoadCursorW(NULL, (LPCWSTR)IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1)); }

void SolidBitmap(CBitmap& bmp, int cx, int cy, COLORREF colour)
{
    CClientDC screen(NULL);
    CDC mem;
    mem.CreateCompatibleDC(&screen);
    bmp.CreateCompatibleBitmap(&screen, cx, cy);
    CBitmap* pOld = mem.SelectObject(&bmp);
    mem.FillSolidRect(0, 0, cx, cy, colour);
    mem.SelectObject(pOld);
}

// The colour at the centre of image nImage as the list draws it.
COLORREF DrawnColour(CImageList& list, int nImage)
{
    CClientDC screen(NULL);
    CDC mem;
    mem.CreateCompatibleDC(&screen);
    CBitmap target;
    target.CreateCompatibleBitmap(&screen, 16, 16);
    CBitmap* pOld = mem.SelectObject(&target);
    mem.FillSolidRect(0, 0, 16, 16, RGB(1, 2, 3));
    list.Draw(&mem, nImage, CPoint(0, 0), ILD_NORMAL);
    COLORREF c = mem.GetPixel(8, 8);
    mem.SelectObject(pOld);
    return c;
}

const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255), kYellow = RGB(255, 255, 0);

class CListParent : public CWnd
{
public:
    std::vector<UINT> m_codes;
    int m_nClickItem = -2;
    afx_msg void OnClick(NMHDR* pNMHDR, LRESULT*) { m_codes.push_back(NM_CLICK); m_nClickItem = ((NMITEMACTIVATE*)pNMHDR)->iItem; }
    afx_msg void OnDblClk(NMHDR*, LRESULT*) { m_codes.push_back(NM_DBLCLK); }
    afx_msg void OnRClick(NMHDR*, LRESULT*) { m_codes.push_back(NM_RCLICK); }
    afx_msg void OnHotTrack(NMHDR*, LRESULT* pResult) { m_codes.push_back(LVN_HOTTRACK); *pResult = 0; }
    afx_msg void OnCustomDraw(NMHDR*, LRESULT* pResult)
    {
        if (std::find(m_codes.begin(), m_codes.end(), (UINT)NM_CUSTOMDRAW) == m_codes.end()) m_codes.push_back(NM_CUSTOMDRAW);
        *pResult = CDRF_DODEFAULT;
    }
    bool Got(UINT code) const { return std::find(m_codes.begin(), m_codes.end(), code) != m_codes.end(); }
    DECLARE_MESSAGE_MAP()
};

const UINT IDC_LIST = 1500;

BEGIN_MESSAGE_MAP(CListParent, CWnd)
    ON_NOTIFY(NM_CLICK, IDC_LIST, OnClick)
    ON_NOTIFY(NM_DBLCLK, IDC_LIST, OnDblClk)
    ON_NOTIFY(NM_RCLICK, IDC_LIST, OnRClick)
    ON_NOTIFY(LVN_HOTTRACK, IDC_LIST, OnHotTrack)
    ON_NOTIFY(NM_CUSTOMDRAW, IDC_LIST, OnCustomDraw)
END_MESSAGE_MAP()

} // namespace

TEST(ImageList, ReplaceRemoveAndSwapKeepEveryImageInItsPlace)
{
    CImageList list;
    ASSERT_TRUE(list.Create(16, 16, ILC_COLOR24, 4, 4));
    CBitmap red, green, blue, yellow;
    SolidBitmap(red, 16, 16, kRed);
    SolidBitmap(green, 16, 16, kGreen);
    SolidBitmap(blue, 16, 16, kBlue);
    SolidBitmap(yellow, 16, 16, kYellow);
    EXPECT_EQ(list.Add(&red, (CBitmap*)NULL), 0);
    EXPECT_EQ(list.Add(&green, (CBitmap*)NULL), 1);
    EXPECT_EQ(list.Add(&blue, (CBitmap*)NULL), 2);

    ASSERT_TRUE(list.Replace(1, &yellow, NULL));
    EXPECT_EQ(DrawnColour(list, 0), kRed);
    EXPECT_EQ(DrawnColour(list, 1), kYellow);
    EXPECT_EQ(DrawnColour(list, 2), kBlue);

    ASSERT_TRUE(list.Remove(0));
    ASSERT_EQ(list.GetImageCount(), 2);
    EXPECT_EQ(DrawnColour(list, 0), kYellow);
    EXPECT_EQ(DrawnColour(list, 1), kBlue);

    ASSERT_TRUE(list.Copy(0, 1, ILCF_SWAP));
    EXPECT_EQ(DrawnColour(list, 0), kBlue);
    EXPECT_EQ(DrawnColour(list, 1), kYellow);

    IMAGEINFO info = {};
    ASSERT_TRUE(list.GetImageInfo(1, &info));
    EXPECT_EQ(info.rcImage.right - info.rcImage.left, 16);
    HICON hIcon = list.ExtractIcon(1);
    EXPECT_NE(hIcon, nullptr);
    ::DestroyIcon(hIcon);

    ASSERT_TRUE(list.SetImageCount(5));
    EXPECT_EQ(list.GetImageCount(), 5);
    EXPECT_EQ(DrawnColour(list, 0), kBlue);
}

TEST(ControlBars, ARebarTakesItsBandChildsHeightFromTheTopAndLeavesTheRestShownOrNot)
{
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, PlainClass(), L"bars", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 400, 300, NULL, NULL));
    CReBar rebar;
    ASSERT_TRUE(rebar.Create(&frame, RBS_BANDBORDERS, 0x56002800, AFX_IDW_REBAR));
    EXPECT_EQ(rebar.GetBarStyle() & CBRS_ALIGN_ANY, (DWORD)CBRS_ALIGN_TOP);
    EXPECT_EQ(rebar.GetStyle() & 0x2800, 0u);   // the bar styles stay out of the control's

    CStatic band;
    ASSERT_TRUE(band.Create(L"band", WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 40), &rebar, 1));
    ASSERT_TRUE(rebar.AddBar(&band, NULL, NULL, RBBS_FIXEDSIZE | RBBS_FIXEDBMP));
    CStatic pane;
    ASSERT_TRUE(pane.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &frame, AFX_IDW_PANE_FIRST));

    // Asking moves nothing.
    CRect left;
    frame.RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &left);
    CRect paneRect;
    pane.GetWindowRect(&paneRect);
    EXPECT_EQ(paneRect.Width(), 10);

    frame.RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, AFX_IDW_PANE_FIRST);
    CRect barRect;
    rebar.GetWindowRect(&barRect);
    frame.ScreenToClient(&barRect);
    pane.GetWindowRect(&paneRect);
    frame.ScreenToClient(&paneRect);
    int nHeight = (int)rebar.GetReBarCtrl().GetBarHeight();
    EXPECT_GE(nHeight, 40);
    EXPECT_LE(nHeight, 50);
    EXPECT_EQ(barRect, CRect(0, 0, 400, nHeight));
    EXPECT_EQ(paneRect, CRect(0, nHeight, 400, 300));
    EXPECT_EQ(left, paneRect);
    CRect bandRect;
    band.GetClientRect(&bandRect);
    EXPECT_EQ(bandRect.Height(), 40);

    // A hidden bar takes nothing.
    rebar.ShowWindow(SW_HIDE);
    frame.RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, AFX_IDW_PANE_FIRST);
    pane.GetWindowRect(&paneRect);
    frame.ScreenToClient(&paneRect);
    EXPECT_EQ(paneRect, CRect(0, 0, 400, 300));

    // A frame laid out before it is shown places its shown bars all the same.
    rebar.ShowWindow(SW_SHOW);
    frame.ShowWindow(SW_HIDE);
    frame.RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, AFX_IDW_PANE_FIRST);
    pane.GetWindowRect(&paneRect);
    frame.ScreenToClient(&paneRect);
    EXPECT_EQ(paneRect, CRect(0, nHeight, 400, 300));
    frame.DestroyWindow();
}

TEST(ListCtrl, SubItemRectanglesHitTestsAndNotificationsToTheParentsMap)
{
    CListParent parent;
    ASSERT_TRUE(parent.CreateEx(0, PlainClass(), L"list", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, NULL, NULL));
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, CRect(0, 0, 300, 200), &parent, IDC_LIST));
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_ONECLICKACTIVATE);
    EXPECT_EQ(list.GetExtendedStyle() & 0x21, 0x21u);
    EXPECT_EQ(list.InsertColumn(0, L"名稱", LVCFMT_LEFT, 100), 0);
    EXPECT_EQ(list.InsertColumn(1, L"目前", LVCFMT_LEFT, 40), 1);
    EXPECT_EQ(list.InsertColumn(2, L"顯示", LVCFMT_LEFT, 50), 2);
    for (int i = 0; i < 4; i++) {
        CString name;
        name.Format(L"layer %d", i);
        EXPECT_EQ(list.InsertItem(i, name), i);
    }
    ASSERT_TRUE(list.SetItemText(2, 2, L"a longer text than the column shows"));
    EXPECT_TRUE(list.GetItemText(2, 2) == L"a longer text than the column shows");
    EXPECT_TRUE(list.GetItemText(3, 0) == L"layer 3");
    EXPECT_EQ(list.GetItemCount(), 4);

    CRect cell, row;
    ASSERT_TRUE(list.GetSubItemRect(1, 2, LVIR_BOUNDS, cell));
    ASSERT_TRUE(list.GetItemRect(1, &row, LVIR_BOUNDS));
    EXPECT_EQ(cell.left, 140);
    EXPECT_EQ(cell.Width(), 50);
    EXPECT_EQ(cell.top, row.top);
    EXPECT_EQ(cell.bottom, row.bottom);
    EXPECT_EQ(list.HitTest(cell.CenterPoint()), 1);
    UINT flags = 0;
    EXPECT_EQ(list.HitTest(CPoint(250, 190), &flags), -1);

    // The header answers whether a point lies on a column divider.
    CHeaderCtrl* pHeader = list.GetHeaderCtrl();
    ASSERT_NE(pHeader, nullptr);
    HDHITTESTINFO hit = {};
    hit.pt = CPoint(100, 5);
    pHeader->HitTest(&hit);
    EXPECT_TRUE(hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN));
    hit.pt = CPoint(50, 5);
    pHeader->HitTest(&hit);
    EXPECT_FALSE(hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN));

    list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 3);
    EXPECT_TRUE(list.EnsureVisible(3, FALSE));
    list.SetBkColor(RGB(10, 20, 30));
    EXPECT_EQ(list.GetBkColor(), RGB(10, 20, 30));

    parent.UpdateWindow();
    list.UpdateWindow();
    EXPECT_TRUE(parent.Got(NM_CUSTOMDRAW));

    CPoint at = cell.CenterPoint();
    LPARAM lp = MAKELPARAM(at.x, at.y);
    list.SendMessage(WM_MOUSEMOVE, 0, lp);
    list.PostMessage(WM_LBUTTONUP, 0, lp);
    list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, lp);
    PumpMessagesFor(20);
    list.PostMessage(WM_RBUTTONUP, 0, lp);
    list.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, lp);
    list.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, lp);
    list.SendMessage(WM_LBUTTONUP, 0, lp);
    EXPECT_TRUE(WaitFor([&] { return parent.Got(NM_CLICK) && parent.Got(NM_RCLICK) && parent.Got(NM_DBLCLK); }, 2000));
    EXPECT_EQ(parent.m_nClickItem, 1);
    // The platform's list view never sends its hover notification: hand one in as
    // the control would.
    NMLISTVIEW hot = {};
    hot.hdr.hwndFrom = list.m_hWnd;
    hot.hdr.idFrom = IDC_LIST;
    hot.hdr.code = LVN_HOTTRACK;
    hot.iItem = 2;
    parent.SendMessage(WM_NOTIFY, IDC_LIST, (LPARAM)&hot);
    EXPECT_TRUE(parent.Got(LVN_HOTTRACK));

    ASSERT_TRUE(list.DeleteItem(0));
    EXPECT_TRUE(list.GetItemText(0, 0) == L"layer 1");
    ASSERT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
    parent.DestroyWindow();
}

TEST(TabAndTooltip, TabRectanglesFollowTheMinimumWidthAndTipsChangeText)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, PlainClass(), L"tabs", WS_POPUP | WS_VISIBLE, 0, 0, 400, 200, NULL, NULL));
    CTabCtrl tab;
    ASSERT_TRUE(tab.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 380, 100), &parent, 1600));
    tab.SetMinTabWidth(72);
    tab.InsertItem(0, L"擷取");
    tab.InsertItem(1, L"瀏覽");
    tab.InsertItem(2, L"圖像");
    EXPECT_EQ(tab.GetItemCount(), 3);
    CRect r0, r1;
    ASSERT_TRUE(tab.GetItemRect(0, &r0));
    ASSERT_TRUE(tab.GetItemRect(1, &r1));
    EXPECT_GE(r0.Width(), 72);
    EXPECT_EQ(r1.left, r0.right);
    tab.SetCurSel(2);
    EXPECT_EQ(tab.GetCurSel(), 2);
    WCHAR text[32] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 32;
    ASSERT_TRUE(tab.GetItem(1, &item));
    EXPECT_TRUE(CString(text) == L"瀏覽");

    CButton button;
    ASSERT_TRUE(button.Create(L"b", WS_CHILD | WS_VISIBLE, CRect(10, 120, 80, 150), &parent, 1601));
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&button));
    ASSERT_TRUE(tip.AddTool(&button, L"first"));
    tip.Activate(TRUE);
    EXPECT_EQ(tip.GetToolCount(), 1);
    CString got;
    tip.GetText(got, &button);
    EXPECT_TRUE(got == L"first");
    tip.UpdateTipText(L"第二", &button);
    tip.GetText(got, &button);
    EXPECT_TRUE(got == L"第二");
    MSG msg = { button.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5), 0, { 15, 125 } };
    tip.RelayEvent(&msg);   // must be accepted without a tool rectangle of its own
    tip.DestroyWindow();
    parent.DestroyWindow();
}
