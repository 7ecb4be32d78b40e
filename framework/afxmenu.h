// Menus and update-UI.  A CMenu owns its menu handle (the destructor destroys it)
// unless it is a temporary from FromHandle; owner-drawn items reach the permanent
// CMenu that holds them through the window that owns the menu.
#pragma once
#include "afxwnd.h"

class CBitmap;

class CMenu : public CObject
{
    DECLARE_DYNCREATE(CMenu)
public:
    CMenu();
    virtual ~CMenu();

    HMENU m_hMenu;
    operator HMENU() const { return GetSafeHmenu(); }
    HMENU GetSafeHmenu() const;
    BOOL operator==(const CMenu& menu) const { return menu.m_hMenu == m_hMenu; }
    BOOL operator!=(const CMenu& menu) const { return menu.m_hMenu != m_hMenu; }

    // Handle map, as for windows: temporaries live until the thread's next idle time.
    static CMenu* FromHandle(HMENU hMenu);
    static CMenu* FromHandlePermanent(HMENU hMenu);
    static void DeleteTempMap();
    BOOL Attach(HMENU hMenu);
    HMENU Detach();

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    BOOL LoadMenu(LPCWSTR lpszResourceName);
    BOOL LoadMenu(UINT nIDResource);
    BOOL LoadMenuIndirect(const void* lpMenuTemplate);
    BOOL DestroyMenu();

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCWSTR lpszNewItem = NULL);
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, const CBitmap* pBmp);
    BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCWSTR lpszNewItem = NULL);
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCWSTR lpszNewItem = NULL);
    BOOL RemoveMenu(UINT nPosition, UINT nFlags);
    BOOL DeleteMenu(UINT nPosition, UINT nFlags);
    CMenu* GetSubMenu(int nPos) const;
    UINT GetMenuItemCount() const;
    UINT GetMenuItemID(int nPos) const;
    UINT GetMenuState(UINT nID, UINT nFlags) const;
    int GetMenuString(UINT nIDItem, LPWSTR lpString, int nMaxCount, UINT nFlags) const;
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
    BOOL GetMenuItemInfo(UINT uItem, LPMENUITEMINFOW lpMenuItemInfo, BOOL fByPos = FALSE);
    BOOL SetMenuItemInfo(UINT uItem, LPMENUITEMINFOW lpMenuItemInfo, BOOL fByPos = FALSE);
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable);
    UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck);
    BOOL CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags);
    UINT GetDefaultItem(UINT gmdiFlags, BOOL fByPos = FALSE);
    BOOL SetDefaultItem(UINT uItem, BOOL fByPos = FALSE);

    // Shows the popup modally; WM_MEASUREITEM of its owner-drawn items is routed
    // here (or to the sub-menu that holds the item) while it runs.
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = NULL);

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
};

// The permanent CMenu of hMenu or of one of its sub-menus that holds an item with this
// id (a popup item is found by its sub-menu handle); NULL when none does.
CMenu* AfxFindPopupMenuFromID(CMenu* pMenu, UINT nID);

// One command's user interface (a menu item or a control) while its update-UI
// handler runs.  A handler that leaves m_bContinueRouting set lets routing go on.
class CCmdUI
{
public:
    CCmdUI();
    virtual ~CCmdUI() {}

    UINT m_nID;
    UINT m_nIndex;        // position of the item in m_pMenu
    CMenu* m_pMenu;       // the menu being updated, or NULL
    CMenu* m_pSubMenu;    // the popup this item opens, or NULL
    CWnd* m_pOther;       // the control being updated, or NULL
    BOOL m_bEnableChanged;
    BOOL m_bContinueRouting;
    UINT m_nIndexMax;
    CMenu* m_pParentMenu;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);   // 0 off, 1 on, 2 indeterminate
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCWSTR lpszText);
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Asks pTarget's routing for the update handler; with bDisableIfNoHndler, an item
    // that no handler updated is enabled exactly when some target handles the command.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
};

// Runs the update-UI handlers of every item of a popup about to open, through
// pTarget's routing.  Windows do this on WM_INITMENUPOPUP; a frame passes TRUE so
// that items without a handler are greyed.
void AfxUpdateMenuCmdUI(CCmdTarget* pTarget, CMenu* pPopupMenu, BOOL bDisableIfNoHndler);
