#include "afximpl.h"

namespace {

// Touched only by the noinline functions below: the compiler's TLS access inside a
// WINAPI function (DllMain, window procedures) is not reliable.
thread_local AFX_THREAD_STATE* t_pState = NULL;

CRITICAL_SECTION* GlobalsLock()
{
    // No Win32 call may run while the module's ELF constructors run, so the lock is
    // made on first use rather than at load.
    static CRITICAL_SECTION cs;
    static bool bInit = (::InitializeCriticalSection(&cs), true);
    (void)bInit;
    return &cs;
}

} // namespace

__attribute__((noinline)) AFX_THREAD_STATE* AfxGetThreadState()
{
    if (t_pState == NULL) t_pState = new AFX_THREAD_STATE;
    return t_pState;
}

__attribute__((noinline)) void AfxTermThreadState()
{
    if (t_pState == NULL) return;
    AfxUnlockTempMaps(TRUE);
    delete t_pState;
    t_pState = NULL;
}

AFX_PROCESS_STATE* AfxGetProcessState()
{
    static AFX_PROCESS_STATE state;
    return &state;
}

void AfxLockGlobals() { ::EnterCriticalSection(GlobalsLock()); }
void AfxUnlockGlobals() { ::LeaveCriticalSection(GlobalsLock()); }

HINSTANCE AfxGetInstanceHandle()
{
    AFX_PROCESS_STATE* p = AfxGetProcessState();
    return p->m_hCurrentInstanceHandle ? p->m_hCurrentInstanceHandle : ::GetModuleHandleW(NULL);
}

HINSTANCE AfxGetResourceHandle()
{
    AFX_PROCESS_STATE* p = AfxGetProcessState();
    return p->m_hCurrentResourceHandle ? p->m_hCurrentResourceHandle : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstResource)
{
    AfxGetProcessState()->m_hCurrentResourceHandle = hInstResource;
}

HINSTANCE AfxFindResourceHandle(LPCWSTR lpszName, LPCWSTR lpszType)
{
    HINSTANCE hRes = AfxGetResourceHandle();
    if (::FindResourceW(hRes, lpszName, lpszType) != NULL) return hRes;
    HINSTANCE hExe = ::GetModuleHandleW(NULL);
    if (hExe != hRes && ::FindResourceW(hExe, lpszName, lpszType) != NULL) return hExe;
    return hRes;
}

int AfxLoadString(UINT nIDS, LPWSTR lpszBuf, UINT nMaxBuf)
{
    if (lpszBuf == NULL || nMaxBuf == 0) return 0;
    CString s;
    s.LoadString(nIDS);
    lstrcpynW(lpszBuf, s, nMaxBuf);
    return lstrlenW(lpszBuf);
}

__attribute__((noinline)) void AfxUnlockTempMaps(BOOL bDeleteTemps)
{
    if (!bDeleteTemps || t_pState == NULL) return;
    CWnd::DeleteTempMap();
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    CMenu::DeleteTempMap();
    CImageList::DeleteTempMap();
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_THREAD_DETACH) AfxTermThreadState();
    return TRUE;
}
