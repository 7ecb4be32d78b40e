// The owner-draw menu and the check list with its cell check boxes.
#include "ControlsTest.h"
#include "OwnerDrawMenu.h"
#include "CheckListCtrl.h"
#include <functional>
#include <vector>

namespace {

const COLORREF kBack = RGB(216, 220, 227), kHighlight = RGB(178, 184, 190);

class CProbeMenu : public COwnerDrawMenu
{
public:
    explicit CProbeMenu(CImageList* pList = NULL) : COwnerDrawMenu(pList) {}
    std::vector<UINT> m_measured, m_drawn;
    std::vector<CSize> m_measuredSize, m_drawnSize;
    virtual void MeasureItem(LPMEASUREITEMSTRUCT p) override
    {
        COwnerDrawMenu::MeasureItem(p);
        m_measured.push_back(p->itemID);
        m_measuredSize.push_back(CSize(p->itemWidth, p->itemHeight));
    }
    virtual void DrawItem(LPDRAWITEMSTRUCT p) override
    {
        COwnerDrawMenu::DrawItem(p);
        m_drawn.push_back(p->itemID);
        m_drawnSize.push_back(CSize(p->rcItem.right - p->rcItem.left, p->rcItem.bottom - p->rcItem.top));
    }
    using COwnerDrawMenu::BuildFromTemplate;
};

class CMenuOwner : public CWnd
{
public:
    std::function<void()> m_whileOpen;
    afx_msg void OnEnterIdle(UINT nWhy, CWnd*)
    {
        if (nWhy != MSGF_MENU) return;
        if (m_whileOpen) m_whileOpen();
        m_whileOpen = nullptr;
        ::EndMenu();
    }
    afx_msg void OnTimer(UINT_PTR) { ::EndMenu(); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMenuOwner, CWnd)
    ON_WM_ENTERIDLE()
    ON_WM_TIMER()
END_MESSAGE_MAP()

// Same items, ids, states and texts, level by level.
void ExpectSameMenu(HMENU a, HMENU b)
{
    int n = ::GetMenuItemCount(a);
    ASSERT_EQ(n, ::GetMenuItemCount(b));
    for (int i = 0; i < n; i++) {
        UINT sa = ::GetMenuState(a, i, MF_BYPOSITION), sb = ::GetMenuState(b, i, MF_BYPOSITION);
        EXPECT_EQ(sa & (MF_GRAYED | MF_CHECKED | MF_SEPARATOR | MF_POPUP), sb & (MF_GRAYED | MF_CHECKED | MF_SEPARATOR | MF_POPUP));
        HMENU subA = ::GetSubMenu(a, i), subB = ::GetSubMenu(b, i);
        EXPECT_EQ(subA == NULL, subB == NULL);
        if (subA == NULL) {
            EXPECT_EQ(::GetMenuItemID(a, i), ::GetMenuItemID(b, i));
        }
        WCHAR ta[128] = {}, tb[128] = {};
        ::GetMenuStringW(a, i, ta, 128, MF_BYPOSITION);
        ::GetMenuStringW(b, i, tb, 128, MF_BYPOSITION);
        EXPECT_EQ(lstrcmpW(ta, tb), 0) << i;
        if (subA != NULL && subB != NULL) ExpectSameMenu(subA, subB);
    }
}

COwnerDrawMenu::Item* RecordOf(CMenu& menu, UINT nID)
{
    MENUITEMINFOW mii = { sizeof(mii) };
    mii.fMask = MIIM_DATA;
    if (!menu.GetMenuItemInfo(nID, &mii)) return NULL;
    return (COwnerDrawMenu::Item*)mii.dwItemData;
}

// Draws item nID of the menu into a fresh bitmap as the menu would be asked to.
struct ItemPicture
{
    CDC mem;
    CBitmap bmp;
    CBitmap* pOld = NULL;
    ItemPicture(COwnerDrawMenu& menu, UINT nID, UINT nState)
    {
        CClientDC screen(NULL);
        mem.CreateCompatibleDC(&screen);
        bmp.CreateCompatibleBitmap(&screen, 100, 30);
        pOld = mem.SelectObject(&bmp);
        mem.FillSolidRect(0, 0, 100, 30, RGB(1, 2, 3));
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_MENU;
        dis.itemID = nID;
        dis.itemState = nState;
        dis.hwndItem = (HWND)menu.m_hMenu;
        dis.hDC = mem.m_hDC;
        dis.rcItem = CRect(0, 0, 100, 30);
        dis.itemData = (ULONG_PTR)RecordOf(menu, nID);
        menu.DrawItem(&dis);
    }
    ~ItemPicture() { mem.SelectObject(pOld); }
    // Pixels within tol of c (text edges are smoothed).
    int Count(COLORREF c, int tol = 0)
    {
        int n = 0;
        for (int x = 0; x < 100; x++)
            for (int y = 0; y < 30; y++)
                if (Near(mem.GetPixel(x, y), c, tol)) n++;
        return n;
    }
};

void SolidBitmap(CBitmap& bmp, COLORREF colour)
{
    CClientDC screen(NULL);
    CDC mem;
    mem.CreateCompatibleDC(&screen);
    bmp.CreateCompatibleBitmap(&screen, 16, 16);
    CBitmap* pOld = mem.SelectObject(&bmp);
    mem.FillSolidRect(0, 0, 16, 16, colour);
    mem.SelectObject(pOld);
}

} // namespace

TEST(OwnerDrawMenu, BuiltFromAResourceItMatchesTheResource)
{
    CProbeMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDM_TEST_CONTEXT));
    HMENU hRef = ::LoadMenuW(::GetModuleHandleW(NULL), MAKEINTRESOURCEW(IDM_TEST_CONTEXT));
    ASSERT_NE(hRef, nullptr);
    ExpectSameMenu(menu.m_hMenu, hRef);
    ::DestroyMenu(hRef);
    EXPECT_EQ(menu.GetSubMenuCount(), 3);

    // Data that ends before the menu says it does: building stops there.
    const WORD cut[] = { 0, 0, 0, 0x65, L'A', 0, 0, 0x66, L'B' };
    CProbeMenu partial;
    ASSERT_TRUE(partial.BuildFromTemplate((const BYTE*)cut, sizeof(cut)));
    EXPECT_EQ(partial.GetMenuItemCount(), 1u);
    EXPECT_EQ(partial.GetMenuItemID(0), 0x65u);
    const WORD headerOnly[] = { 0, 0 };
    CProbeMenu empty;
    ASSERT_TRUE(empty.BuildFromTemplate((const BYTE*)headerOnly, sizeof(headerOnly)));
    EXPECT_EQ(empty.GetMenuItemCount(), 0u);
}

TEST(OwnerDrawMenu, OwnerDrawnItemsAreHundredByThirtyAndOrdinaryOnesAreLeftAlone)
{
    CTestHost host;
    ASSERT_TRUE(host.Open(300, 200));
    CMenuOwner owner;
    ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, host.m_hWnd, NULL));
    CProbeMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.SetTextColor(RGB(0, 0, 0));
    menu.SetBackColor(kBack);
    menu.SetHighlightColor(kHighlight);
    menu.SetHighlightTextColor(RGB(255, 255, 255));
    CString longText = L"設置列印 — a text far longer than thirty-one characters";
    ASSERT_TRUE(menu.AppendItem(MF_OWNERDRAW, 57606, longText));
    ASSERT_TRUE(menu.AppendItem(MF_STRING, 57609, L"plain"));
    ASSERT_TRUE(menu.AppendItem(MF_OWNERDRAW | MF_GRAYED, 57665, L"離開"));
    COwnerDrawMenu::Item* pRecord = RecordOf(menu, 57606);
    ASSERT_NE(pRecord, nullptr);
    EXPECT_TRUE(pRecord->text == longText);   // the whole text is kept
    EXPECT_EQ(RecordOf(menu, 57609), nullptr);

    owner.m_whileOpen = [&] {
        HWND hPopup = ::FindWindowW(L"#32768", NULL);
        if (hPopup != NULL) SaveScreenshot(hPopup, "owner_draw_menu");
    };
    host.SetForegroundWindow();
    owner.SetTimer(1, 5000, NULL);
    menu.TrackPopupMenu(0, 40, 40, &owner);
    owner.KillTimer(1);

    EXPECT_EQ(menu.m_measured, (std::vector<UINT>{ 57606, 57665 }));
    for (CSize s : menu.m_measuredSize) EXPECT_EQ(s, CSize(100, 30));
    ASSERT_FALSE(menu.m_drawn.empty());
    EXPECT_EQ(std::count(menu.m_drawn.begin(), menu.m_drawn.end(), 57609u), 0);
    for (CSize s : menu.m_drawnSize) EXPECT_EQ(s.cy, 30);
}

TEST(OwnerDrawMenu, DrawsEtchedDisabledTextImagesAndItsColours)
{
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24, 2, 2));
    CBitmap red, blue;
    SolidBitmap(red, RGB(255, 0, 0));
    SolidBitmap(blue, RGB(0, 0, 255));
    images.Add(&red, (CBitmap*)NULL);
    images.Add(&blue, (CBitmap*)NULL);
    COwnerDrawMenu menu(&images);
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.SetBackColor(kBack);
    menu.SetHighlightColor(kHighlight);
    menu.AppendItem(MF_OWNERDRAW, 1, L"MMMM", 0, 1, -1);
    menu.AppendItem(MF_OWNERDRAW | MF_GRAYED, 2, L"MMMM", 0, 1, -1);

    {
        ItemPicture grey(menu, 2, ODS_GRAYED);
        EXPECT_GT(grey.Count(::GetSysColor(COLOR_GRAYTEXT), 20), 5);
        EXPECT_GT(grey.Count(::GetSysColor(COLOR_BTNHIGHLIGHT), 20), 5);
        EXPECT_EQ(grey.mem.GetPixel(8, 15), RGB(255, 0, 0));   // no disabled image: the normal one
        EXPECT_EQ(grey.mem.GetPixel(60, 2), kBack);
    }
    {
        ItemPicture selected(menu, 1, ODS_SELECTED);
        EXPECT_EQ(selected.mem.GetPixel(8, 15), RGB(0, 0, 255));
        EXPECT_EQ(selected.mem.GetPixel(60, 2), kHighlight);
        EXPECT_GT(selected.Count(RGB(255, 255, 255), 20), 5);
    }
    // A new background colour changes the fill and the outline together.
    menu.SetBackColor(RGB(10, 200, 10));
    ItemPicture plain(menu, 1, 0);
    EXPECT_EQ(plain.mem.GetPixel(0, 0), RGB(10, 200, 10));
    EXPECT_EQ(plain.mem.GetPixel(99, 29), RGB(10, 200, 10));
    EXPECT_EQ(plain.mem.GetPixel(60, 15), RGB(10, 200, 10));
}

TEST(CheckListCtrl, CheckBoxesFollowTheirRowsAndReportClicks)
{
    CTestHost host;
    ASSERT_TRUE(host.Open(300, 200));
    CCheckListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(10, 10, 290, 190), &host, 2400));
    list.InsertColumn(0, L"圖層", LVCFMT_LEFT, 120);
    list.InsertColumn(1, L"目前", LVCFMT_LEFT, 50);
    list.InsertColumn(2, L"顯示", LVCFMT_LEFT, 50);
    for (int r = 0; r < 4; r++) {
        CString name;
        name.Format(L"圖層 %d", r + 1);
        list.InsertItem(r, name);
        EXPECT_TRUE(list.AddCheckButton(r, 1, host.m_hWnd, r == 0 ? 1 : 0, 0));
        EXPECT_TRUE(list.AddCheckButton(r, 2, host.m_hWnd, 2, r % 2));
    }
    EXPECT_FALSE(list.AddCheckButton(0, 3, host.m_hWnd, 1, 1));
    EXPECT_FALSE(list.AddCheckButton(0, 0, host.m_hWnd, 1, 1));
    CRect cell;
    list.GetSubItemRect(2, 2, LVIR_BOUNDS, cell);
    EXPECT_EQ(list.GetButton(2, 2)->m_rect, cell);
    EXPECT_EQ(list.GetButton(2, 2)->GetDlgCtrlID(), 4000);
    EXPECT_TRUE(list.IsSecondChecked(1));
    EXPECT_FALSE(list.IsSecondChecked(2));
    Painted(host, 0, 0);
    SaveScreenshot(host.m_hWnd, "check_list");

    // A click reaches the notify window with the row and column of its button.
    list.GetButton(3, 2)->SendMessage(BM_CLICK);
    EXPECT_EQ(host.Spy().LastWParam(WM_CELLCHECK_CLICKED), 3u);
    EXPECT_EQ(host.Spy().LastLParam(WM_CELLCHECK_CLICKED), 2);

    // The current row is checked in both columns; the others keep their visibility.
    list.SetCurrentRow(2);
    EXPECT_TRUE(list.GetButton(2, 1)->GetCheck());
    EXPECT_FALSE(list.GetButton(0, 1)->GetCheck());
    EXPECT_TRUE(list.IsSecondChecked(2));
    EXPECT_TRUE(list.IsSecondChecked(1));
    EXPECT_FALSE(list.IsSecondChecked(0));
    // The current layer cannot be hidden; another one toggles.
    list.ToggleSecond(2);
    EXPECT_TRUE(list.IsSecondChecked(2));
    list.ToggleSecond(0);
    EXPECT_TRUE(list.IsSecondChecked(0));

    // Removing a row moves the states below it up and drops the last row's buttons.
    list.RemoveRow(1);   // rows were 0:(-,on) 1:(-,on) 2:(cur,on) 3:(-,on)
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetButtonRowCount(1), 3);
    EXPECT_EQ(list.GetButtonRowCount(2), 3);
    EXPECT_TRUE(list.GetButton(1, 1)->GetCheck());   // the current row moved up
    EXPECT_TRUE(list.GetItemText(1, 0) == L"圖層 3");
    list.RemoveRow(2);
    EXPECT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.GetButtonRowCount(2), 2);

    // Rows that are not there are ignored.
    list.RemoveRow(7);
    list.SetCurrentRow(7);
    list.ToggleSecond(-1);
    EXPECT_FALSE(list.IsSecondChecked(7));
    EXPECT_EQ(list.GetItemCount(), 2);
    list.RemoveAllButtons();
    list.DeleteAllItems();
    list.RemoveRow(0);
    EXPECT_FALSE(list.IsSecondChecked(0));
}
