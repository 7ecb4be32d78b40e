// Menus: owner-draw routing to the menu that holds an item, and update-UI of popups
// through the routing of the window that tracks them.
#include "support/gtest.h"
#include "support/wintest.h"
#include "afxwin.h"
#include "dlgtemplate.h"
#include <algorithm>
#include <functional>
#include <vector>

namespace {

LPCWSTR OwnerClass() { return AfxRegisterWndClass(0, ::LoadCursorW(NULL, (LPCWSTR)IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1)); }

class CProbeMenu : public CMenu
{
public:
    std::vector<UINT> m_measured, m_drawn;
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override
    {
        m_measured.push_back(lpMIS->itemID);
        lpMIS->itemWidth = 80;
        lpMIS->itemHeight = 20;
    }
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDIS) override
    {
        m_drawn.push_back(lpDIS->itemID);
        ::FillRect(lpDIS->hDC, &lpDIS->rcItem, (HBRUSH)::GetStockObject(GRAY_BRUSH));
    }
    bool Measured(UINT id) const { return std::find(m_measured.begin(), m_measured.end(), id) != m_measured.end(); }
    bool Drawn(UINT id) const { return std::find(m_drawn.begin(), m_drawn.end(), id) != m_drawn.end(); }
};

// Owner of tracked popups: once the menu loop goes idle it runs the test's probe (with
// the menu open) and closes the menu, or first sends keys when asked to.
class CMenuOwner : public CWnd
{
public:
    std::function<bool()> m_onIdle;   // returns true when the menu may close
    int m_nIdle = 0;
    afx_msg void OnEnterIdle(UINT nWhy, CWnd*)
    {
        if (nWhy != MSGF_MENU) return;
        m_nIdle++;
        if (!m_onIdle || m_onIdle() || m_nIdle > 20) ::EndMenu();
    }
    afx_msg void OnTimer(UINT_PTR) { ::EndMenu(); }   // never left hanging
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMenuOwner, CWnd)
    ON_WM_ENTERIDLE()
    ON_WM_TIMER()
END_MESSAGE_MAP()

void Track(CMenu& menu, CMenuOwner& owner)
{
    owner.SetForegroundWindow();
    owner.SetTimer(1, 5000);
    menu.TrackPopupMenu(TPM_LEFTALIGN, 100, 100, &owner);
    owner.KillTimer(1);
}

const UINT ID_APP_GREY = 0x8201;
const UINT ID_PARENT_CHECK = 0x8202;
const UINT ID_DIALOG_GREY = 0x8203;
const UINT ID_DIALOG_TEXT = 0x8204;
const UINT ID_NOBODY = 0x8205;
const UINT ID_HANDLED = 0x8206;

class CUpdateApp : public CWinApp
{
public:
    CUpdateApp() : CWinApp(L"FwUpdateApp") {}
    afx_msg void OnUpdateAppGrey(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CUpdateApp, CWinApp)
    ON_UPDATE_COMMAND_UI(ID_APP_GREY, OnUpdateAppGrey)
END_MESSAGE_MAP()

class CUpdateParent : public CWnd
{
public:
    afx_msg void OnUpdateParentCheck(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    afx_msg void OnHandled() {}
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CUpdateParent, CWnd)
    ON_UPDATE_COMMAND_UI(ID_PARENT_CHECK, OnUpdateParentCheck)
    ON_COMMAND(ID_HANDLED, OnHandled)
END_MESSAGE_MAP()

class CUpdateDialog : public CDialog
{
public:
    std::vector<UINT> m_statesSeen;   // read while the popup is open
    CMenu* m_pTracked = NULL;
    afx_msg void OnUpdateDialogGrey(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    afx_msg void OnUpdateDialogText(CCmdUI* pCmdUI) { pCmdUI->SetText(L"已改名"); }
    afx_msg void OnEnterIdle(UINT nWhy, CWnd*)
    {
        if (nWhy != MSGF_MENU || m_pTracked == NULL) return;
        if (m_statesSeen.empty())
            for (UINT i = 0; i < m_pTracked->GetMenuItemCount(); i++)
                m_statesSeen.push_back(m_pTracked->GetMenuState(i, MF_BYPOSITION));
        ::EndMenu();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CUpdateDialog, CDialog)
    ON_UPDATE_COMMAND_UI(ID_DIALOG_GREY, OnUpdateDialogGrey)
    ON_UPDATE_COMMAND_UI(ID_DIALOG_TEXT, OnUpdateDialogText)
    ON_WM_ENTERIDLE()
END_MESSAGE_MAP()

} // namespace

TEST(Menu, OwnerDrawItemsReachTheMenuThatHoldsThem)
{
    CMenuOwner owner;
    ASSERT_TRUE(owner.CreateEx(0, OwnerClass(), L"menus", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, NULL, NULL));

    CProbeMenu first, second, sub;
    ASSERT_TRUE(first.CreatePopupMenu());
    ASSERT_TRUE(second.CreatePopupMenu());
    ASSERT_TRUE(sub.CreatePopupMenu());
    first.AppendMenu(MF_OWNERDRAW, 101, (LPCWSTR)1);
    first.AppendMenu(MF_STRING, 102, L"plain");
    first.AppendMenu(MF_OWNERDRAW, 103, (LPCWSTR)3);
    sub.AppendMenu(MF_OWNERDRAW, 301, (LPCWSTR)4);
    second.AppendMenu(MF_POPUP | MF_STRING, (UINT_PTR)sub.m_hMenu, L"more");
    second.AppendMenu(MF_OWNERDRAW, 201, (LPCWSTR)5);

    Track(first, owner);
    EXPECT_TRUE(first.Measured(101) && first.Measured(103));
    EXPECT_FALSE(first.Measured(102));   // an ordinary item is never the menu's to measure
    EXPECT_TRUE(first.Drawn(101) && first.Drawn(103));
    EXPECT_TRUE(second.m_measured.empty() && second.m_drawn.empty());

    // The second menu's sub-menu item is found inside it while the parent is tracked.
    int nStep = 0;
    owner.m_nIdle = 0;
    owner.m_onIdle = [&] {
        if (nStep++ == 0) {
            owner.PostMessage(WM_KEYDOWN, VK_DOWN, 0);
            owner.PostMessage(WM_KEYDOWN, VK_RIGHT, 0);
            return false;
        }
        return sub.Drawn(301);
    };
    Track(second, owner);
    EXPECT_TRUE(second.Measured(201) && second.Drawn(201));
    EXPECT_TRUE(sub.Measured(301));
    EXPECT_TRUE(sub.Drawn(301));
    EXPECT_FALSE(second.Measured(301));
    EXPECT_EQ(first.m_measured.size(), 2u);

    // Outside any tracking, a window's own menu bar is measured through GetMenu.
    CUpdateParent framed;
    ASSERT_TRUE(framed.CreateEx(0, OwnerClass(), L"bar", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, NULL, NULL));
    CProbeMenu bar;
    ASSERT_TRUE(bar.CreateMenu());
    bar.AppendMenu(MF_OWNERDRAW, 401, (LPCWSTR)6);
    ASSERT_TRUE(framed.SetMenu(&bar));
    framed.DrawMenuBar();
    framed.RedrawWindow(NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(WaitFor([&] { return bar.Measured(401); }, 2000));
    EXPECT_EQ(framed.GetMenu(), &bar);
    framed.SetMenu(NULL);
    framed.DestroyWindow();
    owner.DestroyWindow();
}

TEST(Menu, TemporaryObjectsNeverDestroyTheMenu)
{
    HMENU h = ::CreatePopupMenu();
    ::AppendMenuW(h, MF_STRING, 5, L"x");
    CMenu* pTemp = CMenu::FromHandle(h);
    ASSERT_NE(pTemp, nullptr);
    EXPECT_EQ(CMenu::FromHandlePermanent(h), nullptr);
    AfxUnlockTempMaps(TRUE);
    EXPECT_TRUE(::IsMenu(h));
    {
        CMenu owned;
        ASSERT_TRUE(owned.Attach(h));
        EXPECT_EQ(CMenu::FromHandle(h), &owned);
        EXPECT_EQ(owned.GetMenuItemID(0), 5u);
    }
    EXPECT_FALSE(::IsMenu(h));   // a permanent object owns its menu
}

TEST(UpdateUI, ADialogUpdatesThePopupItTracksThroughItselfItsParentAndTheApp)
{
    CUpdateApp app;
    CUpdateParent parent;
    ASSERT_TRUE(parent.CreateEx(0, OwnerClass(), L"parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, NULL, NULL));
    DlgTemplate t(WS_POPUP | WS_VISIBLE, 120, 60, L"dlg");
    CUpdateDialog dlg;
    ASSERT_TRUE(dlg.CreateIndirect(t.Get(), &parent));

    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    popup.AppendMenu(MF_STRING, ID_APP_GREY, L"app");
    popup.AppendMenu(MF_STRING, ID_PARENT_CHECK, L"parent");
    popup.AppendMenu(MF_SEPARATOR);
    popup.AppendMenu(MF_STRING, ID_DIALOG_GREY, L"dialog");
    popup.AppendMenu(MF_STRING, ID_DIALOG_TEXT, L"old");
    popup.AppendMenu(MF_STRING, ID_NOBODY, L"nobody");
    dlg.m_pTracked = &popup;
    dlg.SetForegroundWindow();
    dlg.SetTimer(1, 5000, NULL);
    popup.TrackPopupMenu(TPM_LEFTALIGN, 50, 50, &dlg);
    dlg.KillTimer(1);

    ASSERT_EQ(dlg.m_statesSeen.size(), 6u);
    EXPECT_TRUE(dlg.m_statesSeen[0] & MF_GRAYED);
    EXPECT_TRUE(dlg.m_statesSeen[1] & MF_CHECKED);
    EXPECT_FALSE(dlg.m_statesSeen[1] & MF_GRAYED);
    EXPECT_TRUE(dlg.m_statesSeen[3] & MF_GRAYED);
    // A dialog does not grey what nobody handles; only a frame asks for that.
    EXPECT_FALSE(dlg.m_statesSeen[5] & MF_GRAYED);
    CString text;
    popup.GetMenuString(4, text, MF_BYPOSITION);
    EXPECT_TRUE(text == L"已改名");
    EXPECT_EQ(popup.GetMenuItemID(4), ID_DIALOG_TEXT);

    // The frame's variant: commands without any handler are greyed, handled ones
    // enabled.
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING | MF_GRAYED, ID_HANDLED, L"handled");
    menu.AppendMenu(MF_STRING, ID_NOBODY, L"nobody");
    AfxUpdateMenuCmdUI(&parent, &menu, TRUE);
    EXPECT_FALSE(menu.GetMenuState(0, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_TRUE(menu.GetMenuState(1, MF_BYPOSITION) & MF_GRAYED);

    dlg.DestroyWindow();
    parent.DestroyWindow();
}
