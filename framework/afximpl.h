// Framework internals shared by its own source files; not for other modules.
#pragma once
#include "afxwin.h"
#include <unordered_map>

class CWinThread;
class CImageList;

// Per-thread state: window creation hook, the last message delivered, temporaries.
struct AFX_THREAD_STATE
{
    CWnd* m_pWndInit = NULL;
    HHOOK m_hHookOldCbtFilter = NULL;
    MSG m_lastSentMsg = {};
    MSG m_msgCur = {};            // the message the thread pumped last
    CWinThread* m_pCurrentWinThread = NULL;
    std::unordered_map<HWND, CWnd*> m_tempWnd;
    std::unordered_map<HDC, CDC*> m_tempDC;
    std::unordered_map<HGDIOBJ, CGdiObject*> m_tempGdi;
    std::unordered_map<HMENU, CMenu*> m_tempMenu;
    std::unordered_map<HIMAGELIST, CImageList*> m_tempImageList;
    // The popup TrackPopupMenu is showing and its owner: WM_MEASUREITEM names no menu.
    HMENU m_hTrackingMenu = NULL;
    HWND m_hTrackingWindow = NULL;
    AFX_MSG_OBSERVER m_pfnObserver = NULL;
};

AFX_THREAD_STATE* AfxGetThreadState();
void AfxTermThreadState();

// Process-wide state, reached under AfxLockGlobals.
struct AFX_PROCESS_STATE
{
    std::unordered_map<HWND, CWnd*> m_permWnd;
    std::unordered_map<HDC, CDC*> m_permDC;
    std::unordered_map<HGDIOBJ, CGdiObject*> m_permGdi;
    std::unordered_map<HMENU, CMenu*> m_permMenu;
    std::unordered_map<HIMAGELIST, CImageList*> m_permImageList;
    HINSTANCE m_hCurrentInstanceHandle = NULL;
    HINSTANCE m_hCurrentResourceHandle = NULL;
    CWinApp* m_pCurrentWinApp = NULL;
};

AFX_PROCESS_STATE* AfxGetProcessState();
void AfxLockGlobals();
void AfxUnlockGlobals();

struct AfxGlobalsLock
{
    AfxGlobalsLock() { AfxLockGlobals(); }
    ~AfxGlobalsLock() { AfxUnlockGlobals(); }
};

// Hides a null `this` from the optimiser: framework code, like its callers, calls
// GetSafeHwnd and friends through null pointers on purpose.
template <class T> inline bool AfxIsNullThis(const T* p)
{
    const void* q = p;
    __asm__("" : "+r"(q));
    return q == NULL;
}

void AfxInitCommonControlsOnce();
LPCWSTR AfxDefaultWndClass();
