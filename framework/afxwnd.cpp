#include "afximpl.h"
#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))
#include <vector>

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

#define WM_KICKIDLE_PRIVATE 0x036A

namespace {

bool IsSpecialWnd(const CWnd* p)
{
    return p == &CWnd::wndTop || p == &CWnd::wndBottom || p == &CWnd::wndTopMost || p == &CWnd::wndNoTopMost;
}

LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (code != HCBT_CREATEWND)
        return ::CallNextHookEx(pState->m_hHookOldCbtFilter, code, wParam, lParam);

    const HHOOK hook = pState->m_hHookOldCbtFilter;
    CWnd* pWndInit = pState->m_pWndInit;
    if (pWndInit != NULL) {
        // The first window created after the hook was set is the one being created:
        // attach and subclass it before it sees any message, so WM_NCCREATE and
        // WM_CREATE already reach the derived class.
        HWND hWnd = (HWND)wParam;
        pState->m_pWndInit = NULL;
        if (pWndInit->Attach(hWnd)) {
            try {
                pWndInit->PreSubclassWindow();
            } catch (CException* e) {
                e->Delete();   // must not unwind through the platform's window creation
            }
            WNDPROC* pOldWndProc = pWndInit->GetSuperWndProcAddr();
            WNDPROC oldWndProc = (WNDPROC)::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
            if (oldWndProc != AfxWndProc) *pOldWndProc = oldWndProc;
        }
    }
    const LRESULT result = ::CallNextHookEx(hook, code, wParam, lParam);
    // The window is attached: its children (a dialog's controls) need not pass here, each
    // hook call being a round trip to the server.
    if (pState->m_pWndInit == NULL && hook != NULL && pState->m_hHookOldCbtFilter == hook) {
        ::UnhookWindowsHookEx(hook);
        pState->m_hHookOldCbtFilter = NULL;
    }
    return result;
}

union MessageMapFunctions
{
    AFX_PMSG pfn;
    BOOL (CWnd::*pfn_b_D)(CDC*);
    BOOL (CWnd::*pfn_b_W_uu)(CWnd*, UINT, UINT);
    HBRUSH (CWnd::*pfn_h_D_W_u)(CDC*, CWnd*, UINT);
    HBRUSH (CWnd::*pfn_h_D_u)(CDC*, UINT);
    int (CWnd::*pfn_i_s)(LPCREATESTRUCT);
    void (CWnd::*pfn_v_v)();
    void (CWnd::*pfn_v_u)(UINT);
    void (CWnd::*pfn_v_up)(UINT_PTR);
    void (CWnd::*pfn_v_u_ii)(UINT, int, int);
    void (CWnd::*pfn_v_ii)(int, int);
    void (CWnd::*pfn_v_u_pt)(UINT, CPoint);
    BOOL (CWnd::*pfn_b_u_s_pt)(UINT, short, CPoint);
    void (CWnd::*pfn_v_i_s)(int, void*);
    void (CWnd::*pfn_v_s)(void*);
    void (CWnd::*pfn_v_W)(CWnd*);
    void (CWnd::*pfn_v_b)(BOOL);
    void (CWnd::*pfn_v_b_u)(BOOL, UINT);
    void (CWnd::*pfn_v_b_dw)(BOOL, DWORD);
    void (CWnd::*pfn_v_u_u_W)(UINT, UINT, CScrollBar*);
    void (CWnd::*pfn_v_uu)(UINT, UINT);
    void (CWnd::*pfn_v_uuu)(UINT, UINT, UINT);
    void (CWnd::*pfn_v_u_l)(UINT, LPARAM);
    void (CWnd::*pfn_v_u_W_b)(UINT, CWnd*, BOOL);
    LRESULT (CWnd::*pfn_l_pt)(CPoint);
    void (CWnd::*pfn_v_W_pt)(CWnd*, CPoint);
    BOOL (CWnd::*pfn_b_u_dwp)(UINT, DWORD_PTR);
    UINT (CWnd::*pfn_u_v)();
    void (CWnd::*pfn_v_b_s)(BOOL, void*);
    LRESULT (CWnd::*pfn_l_w_l)(WPARAM, LPARAM);
    BOOL (CWnd::*pfn_b_v)();
    int (CWnd::*pfn_i_u_W_u)(UINT, CWnd*, UINT);
    void (CWnd::*pfn_v_pt)(CPoint);
    UINT (CWnd::*pfn_u_u_l)(UINT, LPARAM);
    void (CWnd::*pfn_v_M_u_b)(CMenu*, UINT, BOOL);
    void (CWnd::*pfn_v_u_W)(UINT, CWnd*);
};

// Finds the handler for a window message along the class chain.
const AFX_MSGMAP_ENTRY* FindWindowMessage(const AFX_MSGMAP* pMap, UINT message)
{
    for (; pMap != NULL; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : NULL) {
        if (message < 0xC000) {
            const AFX_MSGMAP_ENTRY* p = CCmdTarget::FindMessageEntry(pMap->lpEntries, message, 0, 0);
            if (p) return p;
        } else {
            for (const AFX_MSGMAP_ENTRY* p = pMap->lpEntries; p->nSig != AfxSig_end; p++)
                if (p->nMessage == 0xC000 && *(const UINT*)p->nSig == message) return p;
        }
    }
    return NULL;
}

} // namespace

// Construction ------------------------------------------------------------------

CWnd::CWnd() : m_hWnd(NULL), m_nFlags(0), m_pfnSuper(NULL), m_hWndOwner(NULL), m_nModalResult(0) {}

CWnd::CWnd(HWND hWndSpecial) : m_hWnd(hWndSpecial), m_nFlags(0), m_pfnSuper(NULL), m_hWndOwner(NULL), m_nModalResult(0) {}

CWnd::~CWnd()
{
    if (m_hWnd != NULL && !IsSpecialWnd(this) && !(m_nFlags & WF_TEMPORARY)) {
        if (FromHandlePermanent(m_hWnd) == this) {
            DestroyWindow();
            // DestroyWindow fails for a window of another thread; the map must not
            // keep pointing at this object once it is gone.
            if (m_hWnd != NULL) {
                if (m_pfnSuper != NULL && (WNDPROC)::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC) == AfxWndProc)
                    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
                Detach();
            }
        } else {
            m_hWnd = NULL;
        }
    }
}

HWND CWnd::GetSafeHwnd() const { return AfxIsNullThis(this) ? NULL : m_hWnd; }

// Handle map ----------------------------------------------------------------------

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (hWnd == NULL) return NULL;
    AfxGlobalsLock lock;
    auto& m = AfxGetProcessState()->m_permWnd;
    auto it = m.find(hWnd);
    return it == m.end() ? NULL : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == NULL) return NULL;
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd != NULL) return pWnd;
    auto& temps = AfxGetThreadState()->m_tempWnd;
    auto it = temps.find(hWnd);
    if (it != temps.end()) return it->second;
    pWnd = new CWnd;
    pWnd->m_hWnd = hWnd;
    pWnd->m_nFlags |= WF_TEMPORARY;
    temps[hWnd] = pWnd;
    return pWnd;
}

void CWnd::DeleteTempMap()
{
    auto& temps = AfxGetThreadState()->m_tempWnd;
    std::vector<CWnd*> doomed;
    for (auto& kv : temps) doomed.push_back(kv.second);
    temps.clear();
    for (CWnd* p : doomed) {
        p->m_hWnd = NULL;
        delete p;
    }
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (hWndNew == NULL || m_hWnd != NULL) return FALSE;
    {
        AfxGlobalsLock lock;
        auto& m = AfxGetProcessState()->m_permWnd;
        auto it = m.find(hWndNew);
        if (it != m.end() && it->second != this) return FALSE;   // one object per window
        m[hWndNew] = this;
    }
    m_hWnd = hWndNew;
    m_nFlags &= ~WF_TEMPORARY;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != NULL) {
        AfxGlobalsLock lock;
        auto& m = AfxGetProcessState()->m_permWnd;
        auto it = m.find(hWnd);
        if (it != m.end() && it->second == this) m.erase(it);
    }
    m_hWnd = NULL;
    return hWnd;
}

WNDPROC* CWnd::GetSuperWndProcAddr() { return &m_pfnSuper; }

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd)) return FALSE;
    PreSubclassWindow();
    WNDPROC* lplpfn = GetSuperWndProcAddr();
    WNDPROC oldWndProc = (WNDPROC)::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
    if (oldWndProc == NULL) { Detach(); return FALSE; }
    if (*lplpfn == NULL && oldWndProc != AfxWndProc) *lplpfn = oldWndProc;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = ::GetDlgItem(pParent->GetSafeHwnd(), nID);
    return hWndControl != NULL && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow()
{
    WNDPROC* lplpfn = GetSuperWndProcAddr();
    if (m_hWnd != NULL && *lplpfn != NULL) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, (LONG_PTR)*lplpfn);
        *lplpfn = NULL;
    }
    return Detach();
}

// Creation ------------------------------------------------------------------------

void AfxHookWindowCreate(CWnd* pWnd)
{
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_pWndInit == pWnd) return;
    if (pState->m_hHookOldCbtFilter == NULL)
        pState->m_hHookOldCbtFilter = ::SetWindowsHookExW(WH_CBT, AfxCbtFilterHook, NULL, ::GetCurrentThreadId());
    pState->m_pWndInit = pWnd;
}

BOOL AfxUnhookWindowCreate()
{
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_hHookOldCbtFilter != NULL) {
        ::UnhookWindowsHookEx(pState->m_hHookOldCbtFilter);
        pState->m_hHookOldCbtFilter = NULL;
    }
    if (pState->m_pWndInit != NULL) {
        pState->m_pWndInit = NULL;
        return FALSE;
    }
    return TRUE;
}

void AfxInitCommonControlsOnce()
{
    static LONG s_done = 0;
    if (InterlockedCompareExchange(&s_done, 1, 0) == 0) {
        INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_USEREX_CLASSES |
                                     ICC_COOL_CLASSES | ICC_DATE_CLASSES | ICC_PROGRESS_CLASS | ICC_TAB_CLASSES };
        ::InitCommonControlsEx(&icc);
    }
}

BOOL AfxRegisterClass(WNDCLASSW* lpWndClass)
{
    WNDCLASSW wndcls;
    if (::GetClassInfoW(lpWndClass->hInstance, lpWndClass->lpszClassName, &wndcls)) return TRUE;
    return ::RegisterClassW(lpWndClass) != 0;
}

LPCWSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    static std::vector<CString*>* s_names = new std::vector<CString*>;
    HINSTANCE hInst = AfxGetInstanceHandle();
    CString name;
    name.Format(L"OrvfwWnd:%p:%x:%p:%p:%p", hInst, nClassStyle, hCursor, hbrBackground, hIcon);

    AfxGlobalsLock lock;
    for (CString* p : *s_names)
        if (*p == name) return *p;
    WNDCLASSW wndcls = {};
    wndcls.style = nClassStyle;
    wndcls.lpfnWndProc = ::DefWindowProcW;
    wndcls.hInstance = hInst;
    wndcls.hIcon = hIcon;
    wndcls.hCursor = hCursor;
    wndcls.hbrBackground = hbrBackground;
    CString* pName = new CString(name);
    wndcls.lpszClassName = *pName;
    if (!AfxRegisterClass(&wndcls)) {
        delete pName;
        AfxThrowResourceException();
    }
    s_names->push_back(pName);
    return *pName;
}

LPCWSTR AfxDefaultWndClass()
{
    return AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorW(NULL, (LPCWSTR)IDC_ARROW));
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == NULL) cs.lpszClass = AfxDefaultWndClass();
    return TRUE;
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    if (m_hWnd != NULL) return FALSE;
    AfxInitCommonControlsOnce();
    CREATESTRUCTW cs;
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = dwStyle;
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;

    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                                  cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();   // the window was never made, so no WM_NCDESTROY will clean up
    return hWnd != NULL;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                    (HMENU)(UINT_PTR)nID, lpParam);
}

BOOL CWnd::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(0, lpszClassName, lpszWindowName, (dwStyle & ~WS_POPUP) | WS_CHILD, rect, pParentWnd, nID, lpParam);
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == NULL) return FALSE;
    CWnd* pWnd = FromHandlePermanent(m_hWnd);
    HWND hWndOrig = m_hWnd;
    BOOL bResult = ::DestroyWindow(hWndOrig);
    // 'this' may be gone now when it was the permanent object (PostNcDestroy).
    if (pWnd != this && m_hWnd == hWndOrig && bResult) Detach();
    return bResult;
}

void CWnd::PostNcDestroy() {}

void CWnd::OnNcDestroy()
{
    CWinThread* pThread = AfxGetThread();
    if (pThread != NULL) {
        if (pThread->m_pMainWnd == this) {
            // The main window going away ends its thread's message loop.
            ::PostQuitMessage(0);
            pThread->m_pMainWnd = NULL;
        }
        if (pThread->m_pActiveWnd == this) pThread->m_pActiveWnd = NULL;
    }
    WNDPROC pfnWndProc = (WNDPROC)::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC);
    Default();
    if ((WNDPROC)::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC) == pfnWndProc) {
        WNDPROC pfnSuper = *GetSuperWndProcAddr();
        if (pfnSuper != NULL) ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, (LONG_PTR)pfnSuper);
    }
    Detach();
    PostNcDestroy();
}

// Message dispatch ------------------------------------------------------------------

const MSG* AfxGetCurrentMessage() { return &AfxGetThreadState()->m_lastSentMsg; }

AFX_MSG_OBSERVER AfxSetMessageObserver(AFX_MSG_OBSERVER pfnObserver)
{
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    AFX_MSG_OBSERVER old = pState->m_pfnObserver;
    pState->m_pfnObserver = pfnObserver;
    return old;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == NULL || pWnd->m_hWnd != hWnd) return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    MSG oldState = pState->m_lastSentMsg;
    pState->m_lastSentMsg.hwnd = hWnd;
    pState->m_lastSentMsg.message = nMsg;
    pState->m_lastSentMsg.wParam = wParam;
    pState->m_lastSentMsg.lParam = lParam;
    if (pState->m_pfnObserver != NULL) pState->m_pfnObserver(hWnd, nMsg, wParam, lParam);

    LRESULT lResult = 0;
    try {
        lResult = pWnd->WindowProc(nMsg, wParam, lParam);
    } catch (CException* e) {
        // An exception must not unwind through the platform's dispatch code.
        e->Delete();
        lResult = 0;
    }
    // A derived OnNcDestroy that did not chain to the base leaves the object attached
    // to a dead handle; finish the job here.
    if (nMsg == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == pWnd) {
        pWnd->Detach();
        pWnd->PostNcDestroy();
    }
    pState->m_lastSentMsg = oldState;
    return lResult;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != NULL) return ::CallWindowProcW(m_pfnSuper, m_hWnd, nMsg, wParam, lParam);
    WNDPROC* lplpfn = GetSuperWndProcAddr();
    if (lplpfn != NULL && *lplpfn != NULL) return ::CallWindowProcW(*lplpfn, m_hWnd, nMsg, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, nMsg, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG* pMsg = &AfxGetThreadState()->m_lastSentMsg;
    return DefWindowProc(pMsg->message, pMsg->wParam, pMsg->lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT lResult = 0;

    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        lResult = 1;
        if (pResult) *pResult = lResult;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        NMHDR* pNMHDR = (NMHDR*)lParam;
        if (pNMHDR == NULL || pNMHDR->hwndFrom == NULL || !OnNotify(wParam, lParam, &lResult)) return FALSE;
        if (pResult) *pResult = lResult;
        return TRUE;
    }

    // The colour requests of every control kind reach one handler with the kind.
    UINT nCtlType = 0;
    UINT nLookup = message;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        nCtlType = message - WM_CTLCOLORMSGBOX;
        nLookup = WM_CTLCOLOR;
    }

    const AFX_MSGMAP_ENTRY* lpEntry = FindWindowMessage(GetMessageMap(), nLookup);
    if (lpEntry == NULL) {
        // Item messages of owner-drawn list controls go back to the control.
        HWND hWndChild = NULL;
        switch (message) {
        case WM_COMPAREITEM: hWndChild = ((LPCOMPAREITEMSTRUCT)lParam)->hwndItem; break;
        case WM_DELETEITEM: hWndChild = ((LPDELETEITEMSTRUCT)lParam)->hwndItem; break;
        case WM_VKEYTOITEM: case WM_CHARTOITEM: hWndChild = (HWND)lParam; break;
        }
        if (hWndChild != NULL && ReflectLastMsg(hWndChild, pResult)) return TRUE;
        return FALSE;
    }

    MessageMapFunctions mmf;
    mmf.pfn = lpEntry->pfn;
    UINT_PTR nSig = lpEntry->nMessage == 0xC000 ? (UINT_PTR)AfxSig_l_w_l : lpEntry->nSig;
    CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));

    switch (nSig) {
    case AfxSig_b_D:
        lResult = (this->*mmf.pfn_b_D)(CDC::FromHandle((HDC)wParam));
        break;
    case AfxSig_b_W_uu:
        lResult = (this->*mmf.pfn_b_W_uu)(CWnd::FromHandle((HWND)wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case AfxSig_h_D_W_u: {
        CDC dcTemp;
        dcTemp.m_hDC = dcTemp.m_hAttribDC = (HDC)wParam;
        lResult = (LRESULT)(this->*mmf.pfn_h_D_W_u)(&dcTemp, CWnd::FromHandle((HWND)lParam), nCtlType);
        dcTemp.m_hDC = dcTemp.m_hAttribDC = NULL;
        break;
    }
    case AfxSig_h_D_u: {
        // Reflected colour request; a NULL brush hands it back to the parent.
        AFX_CTLCOLOR* pCtl = (AFX_CTLCOLOR*)lParam;
        CDC dcTemp;
        dcTemp.m_hDC = dcTemp.m_hAttribDC = pCtl->hDC;
        lResult = (LRESULT)(this->*mmf.pfn_h_D_u)(&dcTemp, pCtl->nCtlType);
        dcTemp.m_hDC = dcTemp.m_hAttribDC = NULL;
        if (lResult == 0) return FALSE;
        break;
    }
    case AfxSig_i_s:
        lResult = (this->*mmf.pfn_i_s)((LPCREATESTRUCT)lParam);
        break;
    case AfxSig_v_v:
        (this->*mmf.pfn_v_v)();
        break;
    case AfxSig_v_u:
        (this->*mmf.pfn_v_u)((UINT)wParam);
        break;
    case AfxSig_v_up:
        (this->*mmf.pfn_v_up)((UINT_PTR)wParam);
        break;
    case AfxSig_v_u_ii:
        (this->*mmf.pfn_v_u_ii)((UINT)wParam, (short)LOWORD(lParam), (short)HIWORD(lParam));
        break;
    case AfxSig_v_ii:
        (this->*mmf.pfn_v_ii)((short)LOWORD(lParam), (short)HIWORD(lParam));
        break;
    case AfxSig_v_u_pt:
        (this->*mmf.pfn_v_u_pt)((UINT)wParam, pt);
        break;
    case AfxSig_b_u_s_pt:
        lResult = (this->*mmf.pfn_b_u_s_pt)(LOWORD(wParam), (short)HIWORD(wParam), pt);
        break;
    case AfxSig_v_i_s:
        (this->*mmf.pfn_v_i_s)((int)wParam, (void*)lParam);
        if (message == WM_MEASUREITEM || message == WM_DRAWITEM) lResult = TRUE;
        break;
    case AfxSig_v_s:
        (this->*mmf.pfn_v_s)((void*)lParam);
        if (message == WM_REFLECT_BASE + WM_MEASUREITEM || message == WM_REFLECT_BASE + WM_DRAWITEM) lResult = TRUE;
        break;
    case AfxSig_v_W:
        (this->*mmf.pfn_v_W)(CWnd::FromHandle((HWND)(message == WM_CAPTURECHANGED ? lParam : wParam)));
        break;
    case AfxSig_v_b:
        (this->*mmf.pfn_v_b)((BOOL)wParam);
        break;
    case AfxSig_v_b_u:
        (this->*mmf.pfn_v_b_u)((BOOL)wParam, (UINT)lParam);
        break;
    case AfxSig_v_b_dw:
        (this->*mmf.pfn_v_b_dw)((BOOL)wParam, (DWORD)lParam);
        break;
    case AfxSig_v_u_u_W:
        (this->*mmf.pfn_v_u_u_W)(LOWORD(wParam), (UINT)(short)HIWORD(wParam), (CScrollBar*)CWnd::FromHandle((HWND)lParam));
        break;
    case AfxSig_v_uu:
        (this->*mmf.pfn_v_uu)(LOWORD(wParam), (UINT)(short)HIWORD(wParam));
        break;
    case AfxSig_v_uuu:
        (this->*mmf.pfn_v_uuu)((UINT)wParam, LOWORD(lParam), HIWORD(lParam));
        break;
    case AfxSig_v_u_l:
        (this->*mmf.pfn_v_u_l)((UINT)wParam, lParam);
        break;
    case AfxSig_v_u_W_b:
        (this->*mmf.pfn_v_u_W_b)(LOWORD(wParam), CWnd::FromHandle((HWND)lParam), (BOOL)HIWORD(wParam));
        break;
    case AfxSig_l_pt:
        lResult = (this->*mmf.pfn_l_pt)(pt);
        break;
    case AfxSig_v_W_pt:
        (this->*mmf.pfn_v_W_pt)(CWnd::FromHandle((HWND)wParam), pt);
        break;
    case AfxSig_b_u_dwp:
        lResult = (this->*mmf.pfn_b_u_dwp)((UINT)wParam, (DWORD_PTR)lParam);
        break;
    case AfxSig_u_v:
        lResult = (this->*mmf.pfn_u_v)();
        break;
    case AfxSig_v_b_s:
        (this->*mmf.pfn_v_b_s)((BOOL)wParam, (void*)lParam);
        break;
    case AfxSig_l_w_l:
        lResult = (this->*mmf.pfn_l_w_l)(wParam, lParam);
        break;
    case AfxSig_b_v:
        lResult = (this->*mmf.pfn_b_v)();
        break;
    case AfxSig_i_u_W_u:
        lResult = (this->*mmf.pfn_i_u_W_u)(LOWORD(wParam), CWnd::FromHandle((HWND)lParam), HIWORD(wParam));
        break;
    case AfxSig_v_pt:
        (this->*mmf.pfn_v_pt)(pt);
        break;
    case AfxSig_u_u_l:
        lResult = (this->*mmf.pfn_u_u_l)((UINT)wParam, lParam);
        break;
    case AfxSig_v_M_u_b:
        (this->*mmf.pfn_v_M_u_b)(CMenu::FromHandle((HMENU)wParam), LOWORD(lParam), (BOOL)HIWORD(lParam));
        break;
    case AfxSig_v_u_W:
        (this->*mmf.pfn_v_u_W)((UINT)wParam, CWnd::FromHandle((HWND)lParam));
        break;
    default:
        return FALSE;
    }
    if (pResult) *pResult = lResult;
    return TRUE;
}

BOOL CWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    return CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = (HWND)lParam;
    int nCode = HIWORD(wParam);
    if (hWndCtrl == NULL) {
        if (nID == 0) return FALSE;
        nCode = CN_COMMAND;   // menu or accelerator
    } else {
        // The control may handle its own notification; then the parent never sees it.
        if (ReflectLastMsg(hWndCtrl)) return TRUE;
    }
    return OnCmdMsg(nID, nCode, NULL, NULL);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = (NMHDR*)lParam;
    HWND hWndCtrl = pNMHDR->hwndFrom;
    UINT nID = (UINT)pNMHDR->idFrom;
    int nCode = pNMHDR->code;
    if (ReflectLastMsg(hWndCtrl, pResult)) return TRUE;
    AFX_NOTIFY notify;
    notify.pResult = pResult;
    notify.pNMHDR = pNMHDR;
    return OnCmdMsg(nID, MAKELONG(nCode, WM_NOTIFY), &notify, NULL);
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult)
{
    CWnd* pWnd = FromHandlePermanent(hWndChild);
    if (pWnd == NULL) return FALSE;
    return pWnd->SendChildNotifyLastMsg(pResult);
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult)
{
    const MSG* pMsg = &AfxGetThreadState()->m_lastSentMsg;
    return OnChildNotify(pMsg->message, pMsg->wParam, pMsg->lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (uMsg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_PARENTNOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
        return CWnd::OnWndMsg(WM_REFLECT_BASE + uMsg, wParam, lParam, pResult);

    case WM_COMMAND: {
        int nCode = HIWORD(wParam);
        if (CWnd::OnCmdMsg(0, MAKELONG(nCode, WM_REFLECT_BASE + WM_COMMAND), NULL, NULL)) {
            if (pResult != NULL) *pResult = 1;
            return TRUE;
        }
        break;
    }
    case WM_NOTIFY: {
        NMHDR* pNMHDR = (NMHDR*)lParam;
        int nCode = pNMHDR->code;
        AFX_NOTIFY notify;
        LRESULT lDummy = 0;
        notify.pResult = pResult ? pResult : &lDummy;
        notify.pNMHDR = pNMHDR;
        return CWnd::OnCmdMsg(0, MAKELONG(nCode, WM_REFLECT_BASE + WM_NOTIFY), &notify, NULL);
    }
    default:
        if (uMsg >= WM_CTLCOLORMSGBOX && uMsg <= WM_CTLCOLORSTATIC) {
            AFX_CTLCOLOR ctl;
            ctl.hDC = (HDC)wParam;
            ctl.nCtlType = uMsg - WM_CTLCOLORMSGBOX;
            ctl.hWnd = (HWND)lParam;
            return CWnd::OnWndMsg(WM_REFLECT_BASE + WM_CTLCOLOR, 0, (LPARAM)&ctl, pResult);
        }
        break;
    }
    return FALSE;
}

// Base handlers -------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_NCDESTROY()
    ON_WM_CTLCOLOR()
    ON_WM_DRAWITEM()
    ON_WM_MEASUREITEM()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_PARENTNOTIFY()
    ON_WM_INITMENUPOPUP()
END_MESSAGE_MAP()

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT)
{
    LRESULT lResult;
    if (pWnd != NULL && pWnd->m_hWnd != NULL && pWnd->SendChildNotifyLastMsg(&lResult))
        return (HBRUSH)lResult;
    return (HBRUSH)Default();
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (lpDrawItemStruct->CtlType == ODT_MENU) {
        // For a menu item hwndItem is the menu that holds it.
        CMenu* pMenu = CMenu::FromHandlePermanent((HMENU)lpDrawItemStruct->hwndItem);
        if (pMenu != NULL) {
            pMenu->DrawItem(lpDrawItemStruct);
            return;
        }
    } else if (ReflectLastMsg(lpDrawItemStruct->hwndItem)) {
        return;
    }
    Default();
}

void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    if (lpMeasureItemStruct->CtlType == ODT_MENU) {
        // The measure request names only the item: look for it in the popup being
        // tracked, then in this window's own menu.
        UINT nID = lpMeasureItemStruct->itemID;
        CMenu* pMenu = NULL;
        AFX_THREAD_STATE* pState = AfxGetThreadState();
        if (pState->m_hTrackingMenu != NULL) {
            CMenu tracking;
            tracking.m_hMenu = pState->m_hTrackingMenu;
            pMenu = AfxFindPopupMenuFromID(&tracking, nID);
            tracking.m_hMenu = NULL;
        }
        if (pMenu == NULL && m_hWnd != NULL) {
            HMENU hOwn = ::GetMenu(m_hWnd);
            if (hOwn != NULL && !(GetStyle() & WS_CHILD)) {
                CMenu own;
                own.m_hMenu = hOwn;
                pMenu = AfxFindPopupMenuFromID(&own, nID);
                own.m_hMenu = NULL;
            }
        }
        if (pMenu != NULL) {
            pMenu->MeasureItem(lpMeasureItemStruct);
            return;
        }
    } else {
        CWnd* pChild = GetDescendantWindow(lpMeasureItemStruct->CtlID, TRUE);
        if (pChild != NULL && pChild->SendChildNotifyLastMsg()) return;
    }
    Default();
}

void CWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT, BOOL bSysMenu)
{
    Default();
    if (!bSysMenu) AfxUpdateMenuCmdUI(this, pPopupMenu, FALSE);
}

void CWnd::OnEnterIdle(UINT, CWnd*) { Default(); }

void CWnd::OnHScroll(UINT, UINT, CScrollBar* pScrollBar)
{
    if (pScrollBar != NULL && ((CWnd*)pScrollBar)->SendChildNotifyLastMsg()) return;
    Default();
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar* pScrollBar)
{
    if (pScrollBar != NULL && ((CWnd*)pScrollBar)->SendChildNotifyLastMsg()) return;
    Default();
}

void CWnd::OnParentNotify(UINT message, LPARAM lParam)
{
    if ((LOWORD(message) == WM_CREATE || LOWORD(message) == WM_DESTROY)) {
        if (ReflectLastMsg((HWND)lParam)) return;
    }
    Default();
}

int CWnd::OnCreate(LPCREATESTRUCT) { return (int)Default(); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnNcPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return (BOOL)Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnActivateApp(BOOL, DWORD) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return (BOOL)Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnHotKey(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
UINT CWnd::OnGetDlgCode() { return (UINT)Default(); }
BOOL CWnd::OnDeviceChange(UINT, DWORD_PTR) { return (BOOL)Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseHover(UINT, CPoint) { Default(); }
void CWnd::OnMouseLeave() { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return (BOOL)Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
UINT CWnd::OnPowerBroadcast(UINT, LPARAM) { return (UINT)Default(); }

// Pre-translation and modal loops ----------------------------------------------------

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd != NULL; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd != NULL && pWnd->PreTranslateMessage(pMsg)) return TRUE;
        if (hWnd == hWndStop) break;
    }
    return FALSE;
}

BOOL CWnd::IsDialogMessage(LPMSG lpMsg) { return ::IsDialogMessageW(m_hWnd, lpMsg); }

BOOL CWnd::PreTranslateInput(LPMSG lpMsg)
{
    if ((lpMsg->message < WM_KEYFIRST || lpMsg->message > WM_KEYLAST) &&
        (lpMsg->message < WM_MOUSEFIRST || lpMsg->message > WM_MOUSELAST))
        return FALSE;
    return IsDialogMessage(lpMsg);
}

BOOL CWnd::ContinueModal() { return (m_nFlags & WF_CONTINUEMODAL) != 0; }

void CWnd::EndModalLoop(int nResult)
{
    m_nModalResult = nResult;
    if (m_nFlags & WF_CONTINUEMODAL) {
        m_nFlags &= ~WF_CONTINUEMODAL;
        PostMessage(WM_NULL);   // wake the loop
    }
}

int CWnd::RunModalLoop(DWORD dwFlags)
{
    BOOL bIdle = TRUE;
    BOOL bShowIdle = (dwFlags & MLF_SHOWONIDLE) && !(GetStyle() & WS_VISIBLE);
    HWND hWndParent = ::GetParent(m_hWnd);
    HWND hWndSelf = m_hWnd;
    m_nFlags |= (WF_MODALLOOP | WF_CONTINUEMODAL);
    MSG msg;
    for (;;) {
        while (bIdle && !::PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE)) {
            if (bShowIdle) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                bShowIdle = FALSE;
            }
            if (!(dwFlags & MLF_NOIDLEMSG) && hWndParent != NULL)
                ::SendMessageW(hWndParent, WM_ENTERIDLE, MSGF_DIALOGBOX, (LPARAM)m_hWnd);
            bIdle = FALSE;
        }
        do {
            if (!ContinueModal() || !::IsWindow(hWndSelf)) goto ExitModal;
            if (!AfxPumpMessage()) {
                // Keep the quit request for the outer loop.
                ::PostQuitMessage((int)AfxGetThreadState()->m_msgCur.wParam);
                m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
                return -1;
            }
            if (!ContinueModal() || !::IsWindow(hWndSelf)) goto ExitModal;
            bIdle = TRUE;
        } while (::PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE));
    }
ExitModal:
    m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
    return m_nModalResult;
}
