#include "afximpl.h"
#include <vector>

IMPLEMENT_DYNCREATE(CMenu, CObject)

// CMenu ------------------------------------------------------------------------------

CMenu::CMenu() : m_hMenu(NULL) {}

CMenu::~CMenu() { DestroyMenu(); }

HMENU CMenu::GetSafeHmenu() const { return AfxIsNullThis(this) ? NULL : m_hMenu; }

CMenu* CMenu::FromHandlePermanent(HMENU hMenu)
{
    if (hMenu == NULL) return NULL;
    AfxGlobalsLock lock;
    auto& m = AfxGetProcessState()->m_permMenu;
    auto it = m.find(hMenu);
    return it == m.end() ? NULL : it->second;
}

CMenu* CMenu::FromHandle(HMENU hMenu)
{
    if (hMenu == NULL) return NULL;
    CMenu* pMenu = FromHandlePermanent(hMenu);
    if (pMenu != NULL) return pMenu;
    auto& temps = AfxGetThreadState()->m_tempMenu;
    auto it = temps.find(hMenu);
    if (it != temps.end()) return it->second;
    pMenu = new CMenu;
    pMenu->m_hMenu = hMenu;
    temps[hMenu] = pMenu;
    return pMenu;
}

void CMenu::DeleteTempMap()
{
    auto& temps = AfxGetThreadState()->m_tempMenu;
    std::vector<CMenu*> doomed;
    for (auto& kv : temps) doomed.push_back(kv.second);
    temps.clear();
    for (CMenu* p : doomed) {
        p->m_hMenu = NULL;   // a temporary never owns its menu
        delete p;
    }
}

BOOL CMenu::Attach(HMENU hMenu)
{
    if (hMenu == NULL || m_hMenu != NULL) return FALSE;
    {
        AfxGlobalsLock lock;
        auto& m = AfxGetProcessState()->m_permMenu;
        auto it = m.find(hMenu);
        if (it != m.end() && it->second != this) return FALSE;
        m[hMenu] = this;
    }
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU hMenu = m_hMenu;
    if (hMenu != NULL) {
        AfxGlobalsLock lock;
        auto& m = AfxGetProcessState()->m_permMenu;
        auto it = m.find(hMenu);
        if (it != m.end() && it->second == this) m.erase(it);
    }
    m_hMenu = NULL;
    return hMenu;
}

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }
BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }

BOOL CMenu::LoadMenu(LPCWSTR lpszResourceName)
{
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, (LPCWSTR)RT_MENU);
    return Attach(::LoadMenuW(hInst, lpszResourceName));
}

BOOL CMenu::LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCEW(nIDResource)); }
BOOL CMenu::LoadMenuIndirect(const void* lpMenuTemplate) { return Attach(::LoadMenuIndirectW(lpMenuTemplate)); }

BOOL CMenu::DestroyMenu()
{
    if (AfxIsNullThis(this) || m_hMenu == NULL) return FALSE;
    return ::DestroyMenu(Detach());
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCWSTR lpszNewItem)
{
    return ::AppendMenuW(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, const CBitmap* pBmp)
{
    return ::AppendMenuW(m_hMenu, nFlags | MF_BITMAP, nIDNewItem, (LPCWSTR)pBmp->GetSafeHandle());
}

BOOL CMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCWSTR lpszNewItem)
{
    return ::InsertMenuW(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCWSTR lpszNewItem)
{
    return ::ModifyMenuW(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::RemoveMenu(UINT nPosition, UINT nFlags) { return ::RemoveMenu(m_hMenu, nPosition, nFlags); }
BOOL CMenu::DeleteMenu(UINT nPosition, UINT nFlags) { return ::DeleteMenu(m_hMenu, nPosition, nFlags); }
CMenu* CMenu::GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }
UINT CMenu::GetMenuItemCount() const { return (UINT)::GetMenuItemCount(m_hMenu); }
UINT CMenu::GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }

int CMenu::GetMenuString(UINT nIDItem, LPWSTR lpString, int nMaxCount, UINT nFlags) const
{
    return ::GetMenuStringW(m_hMenu, nIDItem, lpString, nMaxCount, nFlags);
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    int nLen = ::GetMenuStringW(m_hMenu, nIDItem, NULL, 0, nFlags);
    if (nLen <= 0) {
        rString.Empty();
        return 0;
    }
    ::GetMenuStringW(m_hMenu, nIDItem, rString.GetBufferSetLength(nLen), nLen + 1, nFlags);
    rString.ReleaseBuffer();
    return rString.GetLength();
}

BOOL CMenu::GetMenuItemInfo(UINT uItem, LPMENUITEMINFOW lpMenuItemInfo, BOOL fByPos)
{
    return ::GetMenuItemInfoW(m_hMenu, uItem, fByPos, lpMenuItemInfo);
}

BOOL CMenu::SetMenuItemInfo(UINT uItem, LPMENUITEMINFOW lpMenuItemInfo, BOOL fByPos)
{
    return ::SetMenuItemInfoW(m_hMenu, uItem, fByPos, lpMenuItemInfo);
}

UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable) { return ::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable); }
UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck) { return (UINT)::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck); }

BOOL CMenu::CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags)
{
    return ::CheckMenuRadioItem(m_hMenu, nIDFirst, nIDLast, nIDItem, nFlags);
}

UINT CMenu::GetDefaultItem(UINT gmdiFlags, BOOL fByPos) { return ::GetMenuDefaultItem(m_hMenu, fByPos, gmdiFlags); }
BOOL CMenu::SetDefaultItem(UINT uItem, BOOL fByPos) { return ::SetMenuDefaultItem(m_hMenu, uItem, fByPos); }

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect)
{
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    // A popup tracked from inside another one's command keeps the outer one's record.
    HMENU hOldMenu = pState->m_hTrackingMenu;
    HWND hOldWnd = pState->m_hTrackingWindow;
    pState->m_hTrackingMenu = m_hMenu;
    pState->m_hTrackingWindow = pWnd->GetSafeHwnd();
    BOOL bResult = ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd->GetSafeHwnd(), lpRect);
    pState = AfxGetThreadState();
    pState->m_hTrackingMenu = hOldMenu;
    pState->m_hTrackingWindow = hOldWnd;
    return bResult;
}

void CMenu::DrawItem(LPDRAWITEMSTRUCT) {}
void CMenu::MeasureItem(LPMEASUREITEMSTRUCT) {}

CMenu* AfxFindPopupMenuFromID(CMenu* pMenu, UINT nID)
{
    if (pMenu == NULL || pMenu->m_hMenu == NULL) return NULL;
    HMENU hMenu = pMenu->m_hMenu;
    int nCount = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < nCount; i++) {
        HMENU hSub = ::GetSubMenu(hMenu, i);
        if (hSub == NULL) {
            if (::GetMenuItemID(hMenu, i) == nID) return CMenu::FromHandlePermanent(hMenu);
            continue;
        }
        if ((UINT)(UINT_PTR)hSub == nID) return CMenu::FromHandlePermanent(hMenu);
        CMenu sub;
        sub.m_hMenu = hSub;   // borrowed for the walk, never owned
        CMenu* pFound = AfxFindPopupMenuFromID(&sub, nID);
        sub.m_hMenu = NULL;
        if (pFound != NULL) return pFound;
    }
    return NULL;
}

// CCmdUI -----------------------------------------------------------------------------

CCmdUI::CCmdUI()
    : m_nID(0), m_nIndex(0), m_pMenu(NULL), m_pSubMenu(NULL), m_pOther(NULL), m_bEnableChanged(FALSE),
      m_bContinueRouting(FALSE), m_nIndexMax(0), m_pParentMenu(NULL)
{
}

void CCmdUI::Enable(BOOL bOn)
{
    if (m_pMenu != NULL) {
        if (m_pSubMenu != NULL) return;   // a popup item is not greyed through its first item
        m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    } else if (m_pOther != NULL) {
        // A control losing its enabled state must not keep the focus.
        if (!bOn && ::GetFocus() == m_pOther->m_hWnd) {
            HWND hParent = ::GetParent(m_pOther->m_hWnd);
            if (hParent != NULL) ::SendMessageW(hParent, WM_NEXTDLGCTL, 0, FALSE);
        }
        m_pOther->EnableWindow(bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_pMenu != NULL) {
        if (m_pSubMenu != NULL) return;
        m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther != NULL) {
        if (::SendMessageW(m_pOther->m_hWnd, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)
            ::SendMessageW(m_pOther->m_hWnd, BM_SETCHECK, (WPARAM)nCheck, 0);
    }
}

void CCmdUI::SetRadio(BOOL bOn)
{
    if (m_pMenu != NULL && m_pSubMenu == NULL) {
        MENUITEMINFOW mii = { sizeof(mii) };
        mii.fMask = MIIM_FTYPE | MIIM_STATE;
        if (!::GetMenuItemInfoW(m_pMenu->m_hMenu, m_nIndex, TRUE, &mii)) return;
        if (bOn) {
            mii.fType |= MFT_RADIOCHECK;
            mii.fState |= MFS_CHECKED;
        } else {
            mii.fState &= ~MFS_CHECKED;
        }
        ::SetMenuItemInfoW(m_pMenu->m_hMenu, m_nIndex, TRUE, &mii);
        return;
    }
    SetCheck(bOn ? 1 : 0);
}

void CCmdUI::SetText(LPCWSTR lpszText)
{
    if (m_pMenu != NULL) {
        if (m_pSubMenu != NULL) return;
        // An owner-drawn item's data is its owner's record: the text is not ours to set.
        UINT nState = m_pMenu->GetMenuState(m_nIndex, MF_BYPOSITION);
        if (nState & (MF_OWNERDRAW | MF_BITMAP | MF_SEPARATOR)) return;
        nState &= (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_MENUBARBREAK | MF_MENUBREAK);
        m_pMenu->ModifyMenu(m_nIndex, MF_BYPOSITION | MF_STRING | nState, m_nID, lpszText);
    } else if (m_pOther != NULL) {
        CString old;
        m_pOther->GetWindowText(old);
        if (old != lpszText) m_pOther->SetWindowText(lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF) return TRUE;   // separators and broken ids
    m_bEnableChanged = FALSE;
    BOOL bResult = pTarget->OnCmdMsg(m_nID, (int)CN_UPDATE_COMMAND_UI, this, NULL);
    if (bDisableIfNoHndler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info = { NULL, NULL };
        BOOL bHandler = pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info);
        Enable(bHandler);
    }
    return bResult;
}

void AfxUpdateMenuCmdUI(CCmdTarget* pTarget, CMenu* pPopupMenu, BOOL bDisableIfNoHndler)
{
    if (pTarget == NULL || pPopupMenu == NULL || pPopupMenu->m_hMenu == NULL) return;
    CCmdUI state;
    state.m_pMenu = pPopupMenu;
    state.m_nIndexMax = pPopupMenu->GetMenuItemCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; state.m_nIndex++) {
        state.m_nID = pPopupMenu->GetMenuItemID(state.m_nIndex);
        if (state.m_nID == 0) continue;   // separator
        if (state.m_nID == (UINT)-1) {
            // A popup item is updated through its sub-menu's first command; it is
            // never greyed for want of a handler.
            state.m_pSubMenu = pPopupMenu->GetSubMenu(state.m_nIndex);
            if (state.m_pSubMenu == NULL) continue;
            state.m_nID = state.m_pSubMenu->GetMenuItemID(0);
            if (state.m_nID == 0 || state.m_nID == (UINT)-1) continue;
            state.DoUpdate(pTarget, FALSE);
        } else {
            state.m_pSubMenu = NULL;
            state.DoUpdate(pTarget, bDisableIfNoHndler && state.m_nID < 0xF000);
        }
        // A handler may have inserted or removed items: stay on the same command.
        UINT nCount = pPopupMenu->GetMenuItemCount();
        if (nCount < state.m_nIndexMax) {
            UINT nGone = state.m_nIndexMax - nCount;
            state.m_nIndex = state.m_nIndex >= nGone ? state.m_nIndex - nGone : 0;
            while (state.m_nIndex < nCount && pPopupMenu->GetMenuItemID(state.m_nIndex) == state.m_nID)
                state.m_nIndex++;
        }
        state.m_nIndexMax = nCount;
    }
}
