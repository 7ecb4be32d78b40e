#include "afximpl.h"
#include "afxprotect.h"
#include "afxframe.h"
#include <stdlib.h>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {

LPWSTR DupString(LPCWSTR s)
{
    if (s == NULL) return NULL;
    int n = 0;   // no Win32 here: the application object is built before the platform is ready
    while (s[n]) n++;
    LPWSTR p = (LPWSTR)malloc((n + 1) * sizeof(WCHAR));
    memcpy(p, s, (n + 1) * sizeof(WCHAR));
    return p;
}

struct ThreadStartup
{
    CWinThread* pThread;
    HANDLE hEvent;
    BOOL bError;
};

DWORD WINAPI AfxThreadEntry(LPVOID pParam)
{
    ThreadStartup* pStartup = (ThreadStartup*)pParam;
    CWinThread* pThread = pStartup->pThread;
    AfxGetThreadState()->m_pCurrentWinThread = pThread;
    ::SetEvent(pStartup->hEvent);   // pStartup is gone after this

    UINT nResult;
    if (pThread->m_pfnThreadProc != NULL) {
        nResult = (*pThread->m_pfnThreadProc)(pThread->m_pThreadParams);
    } else if (!pThread->InitInstance()) {
        nResult = pThread->ExitInstance();
    } else {
        nResult = pThread->Run();
    }
    AfxEndThread(nResult, TRUE);
    return nResult;
}

} // namespace

// CWinThread -----------------------------------------------------------------------

CWinThread::CWinThread()
    : m_pMainWnd(NULL), m_pActiveWnd(NULL), m_bAutoDelete(TRUE), m_hThread(NULL), m_nThreadID(0),
      m_msgCur(), m_pfnThreadProc(NULL), m_pThreadParams(NULL), m_ptCursorLast(), m_nMsgLast(0)
{
}

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam) : CWinThread()
{
    m_pfnThreadProc = pfnThreadProc;
    m_pThreadParams = pParam;
}

CWinThread::~CWinThread()
{
    if (m_hThread != NULL) ::CloseHandle(m_hThread);
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_pCurrentWinThread == this) pState->m_pCurrentWinThread = NULL;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    ThreadStartup startup = { this, ::CreateEventW(NULL, TRUE, FALSE, NULL), FALSE };
    if (startup.hEvent == NULL) return FALSE;
    DWORD tid = 0;
    m_hThread = ::CreateThread(lpSecurityAttrs, nStackSize, AfxThreadEntry, &startup, dwCreateFlags | CREATE_SUSPENDED, &tid);
    if (m_hThread == NULL) {
        ::CloseHandle(startup.hEvent);
        return FALSE;
    }
    m_nThreadID = tid;
    ::ResumeThread(m_hThread);
    ::WaitForSingleObject(startup.hEvent, INFINITE);
    ::CloseHandle(startup.hEvent);
    if (dwCreateFlags & CREATE_SUSPENDED) ::SuspendThread(m_hThread);
    return TRUE;
}

int CWinThread::GetThreadPriority() { return ::GetThreadPriority(m_hThread); }
BOOL CWinThread::SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
DWORD CWinThread::SuspendThread() { return ::SuspendThread(m_hThread); }
DWORD CWinThread::ResumeThread() { return ::ResumeThread(m_hThread); }
BOOL CWinThread::PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) { return ::PostThreadMessageW(m_nThreadID, message, wParam, lParam); }
BOOL CWinThread::InitInstance() { return FALSE; }
CWnd* CWinThread::GetMainWnd() { return m_pMainWnd; }
void CWinThread::Delete() { if (m_bAutoDelete) delete this; }

int CWinThread::ExitInstance()
{
    int nResult = (int)m_msgCur.wParam;
    return nResult;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    // Mouse moves that do not move and the caret's blink timer do not end idle time.
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        if (m_ptCursorLast.x == pMsg->pt.x && m_ptCursorLast.y == pMsg->pt.y && pMsg->message == m_nMsgLast)
            return FALSE;
        m_ptCursorLast = pMsg->pt;
        m_nMsgLast = pMsg->message;
        return TRUE;
    }
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118;
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount <= 0) {
        AfxUnlockTempMaps(TRUE);
    }
    return lCount < 0;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->hwnd == NULL) return FALSE;
    CWnd* pMainWnd = GetMainWnd();
    if (CWnd::WalkPreTranslateTree(pMainWnd->GetSafeHwnd(), pMsg)) return TRUE;
    // A window outside the main window's tree (a modeless popup) still gives the main
    // window its chance, as the last stop before the thread itself.
    if (pMainWnd != NULL && pMainWnd->m_hWnd != NULL) {
        CWnd* pWnd = CWnd::FromHandle(pMsg->hwnd);
        if (pWnd->GetTopLevelParent() != pMainWnd) return pMainWnd->PreTranslateMessage(pMsg);
    }
    return FALSE;
}

BOOL CWinThread::PumpMessage()
{
    if (!::GetMessageW(&m_msgCur, NULL, 0, 0)) return FALSE;
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageW(&m_msgCur);
    }
    return TRUE;
}

int CWinThread::Run()
{
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    for (;;) {
        while (bIdle && !::PeekMessageW(&m_msgCur, NULL, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(lIdleCount++)) bIdle = FALSE;
        }
        do {
            if (!PumpMessage()) return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessageW(&m_msgCur, NULL, 0, 0, PM_NOREMOVE));
    }
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    CWinThread* pThread = new CWinThread(pfnThreadProc, pParam);
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
        pThread->Delete();
        return NULL;
    }
    pThread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED)) pThread->ResumeThread();
    return pThread;
}

CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority, UINT nStackSize, DWORD dwCreateFlags,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    CWinThread* pThread = (CWinThread*)pThreadClass->CreateObject();
    if (pThread == NULL) return NULL;
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
        pThread->Delete();
        return NULL;
    }
    pThread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED)) pThread->ResumeThread();
    return pThread;
}

void AfxEndThread(UINT nExitCode, BOOL bDelete)
{
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    CWinThread* pThread = pState->m_pCurrentWinThread;
    if (pThread != NULL && bDelete) pThread->Delete();
    pState->m_pCurrentWinThread = NULL;
    AfxTermThreadState();
    ::ExitThread(nExitCode);
}

// CWinApp -----------------------------------------------------------------------------

CWinApp::CWinApp(LPCWSTR lpszAppName)
    : m_pszAppName(NULL), m_hInstance(NULL), m_hPrevInstance(NULL), m_lpCmdLine(NULL), m_nCmdShow(SW_SHOWNORMAL),
      m_pszExeName(NULL), m_pszHelpFilePath(NULL), m_pszProfileName(NULL), m_pszRegistryKey(NULL),
      m_pRecentFileList(NULL), m_hDevMode(NULL), m_hDevNames(NULL)
{
    // Runs before the platform is ready (global constructors): no Win32 calls here.
    if (lpszAppName != NULL) m_pszAppName = DupString(lpszAppName);
    AfxGetProcessState()->m_pCurrentWinApp = this;
}

CWinApp::~CWinApp()
{
    for (int i = 0; i < m_templateList.GetSize(); i++) delete (CDocTemplate*)m_templateList[i];
    m_templateList.RemoveAll();
    delete m_pRecentFileList;
    if (m_hDevMode != NULL) ::GlobalFree(m_hDevMode);
    if (m_hDevNames != NULL) ::GlobalFree(m_hDevNames);
    free((void*)m_pszAppName);
    free((void*)m_pszExeName);
    free((void*)m_pszHelpFilePath);
    free((void*)m_pszProfileName);
    free((void*)m_pszRegistryKey);
    if (AfxGetProcessState()->m_pCurrentWinApp == this) AfxGetProcessState()->m_pCurrentWinApp = NULL;
}

BOOL CWinApp::InitApplication() { return TRUE; }
BOOL CWinApp::InitInstance() { return TRUE; }
int CWinApp::ExitInstance()
{
    SaveStdProfileSettings();
    return (int)m_msgCur.wParam;
}
int CWinApp::Run()
{
    if (m_pMainWnd == NULL) ::PostQuitMessage(0);   // nothing to run
    return CWinThread::Run();
}
BOOL CWinApp::OnIdle(LONG lCount) { return CWinThread::OnIdle(lCount); }

int CWinApp::DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT)
{
    HWND hWndTop = NULL;
    CWnd* pOwner = CWnd::GetSafeOwner(NULL, &hWndTop);
    LPCWSTR caption = m_pszAppName ? m_pszAppName : L"";
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK: case MB_OKCANCEL: nType |= MB_ICONEXCLAMATION; break;
        case MB_YESNO: case MB_YESNOCANCEL: nType |= MB_ICONQUESTION; break;
        }
    }
    int nResult = ::MessageBoxW(pOwner->GetSafeHwnd(), lpszPrompt, caption, nType);
    if (hWndTop != NULL) ::EnableWindow(hWndTop, TRUE);
    return nResult;
}

HCURSOR CWinApp::LoadCursor(LPCWSTR lpszResourceName) const
{
    return ::LoadCursorW(AfxFindResourceHandle(lpszResourceName, (LPCWSTR)RT_GROUP_CURSOR), lpszResourceName);
}
HCURSOR CWinApp::LoadCursor(UINT nIDResource) const { return LoadCursor(MAKEINTRESOURCEW(nIDResource)); }
HCURSOR CWinApp::LoadStandardCursor(LPCWSTR lpszCursorName) const { return ::LoadCursorW(NULL, lpszCursorName); }
HICON CWinApp::LoadIcon(LPCWSTR lpszResourceName) const
{
    return ::LoadIconW(AfxFindResourceHandle(lpszResourceName, (LPCWSTR)RT_GROUP_ICON), lpszResourceName);
}
HICON CWinApp::LoadIcon(UINT nIDResource) const { return LoadIcon(MAKEINTRESOURCEW(nIDResource)); }
HICON CWinApp::LoadStandardIcon(LPCWSTR lpszIconName) const { return ::LoadIconW(NULL, lpszIconName); }

// Profile -----------------------------------------------------------------------------

void CWinApp::SetRegistryKey(LPCWSTR lpszRegistryKey)
{
    free((void*)m_pszRegistryKey);
    m_pszRegistryKey = DupString(lpszRegistryKey);
    // With a registry key the profile name is the application's name.
    free((void*)m_pszProfileName);
    m_pszProfileName = DupString(m_pszAppName ? m_pszAppName : (m_pszExeName ? m_pszExeName : L""));
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString key;
    key.LoadString(nIDRegistryKey);
    SetRegistryKey(key);
}

HKEY CWinApp::GetAppRegistryKey()
{
    if (m_pszRegistryKey == NULL || m_pszProfileName == NULL) return NULL;
    HKEY hSoftKey = NULL, hCompanyKey = NULL, hAppKey = NULL;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_WRITE | KEY_READ, &hSoftKey) == ERROR_SUCCESS) {
        DWORD dw;
        if (::RegCreateKeyExW(hSoftKey, m_pszRegistryKey, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ,
                              NULL, &hCompanyKey, &dw) == ERROR_SUCCESS) {
            ::RegCreateKeyExW(hCompanyKey, m_pszProfileName, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ,
                              NULL, &hAppKey, &dw);
        }
    }
    if (hSoftKey) ::RegCloseKey(hSoftKey);
    if (hCompanyKey) ::RegCloseKey(hCompanyKey);
    return hAppKey;
}

HKEY CWinApp::GetSectionKey(LPCWSTR lpszSection)
{
    HKEY hAppKey = GetAppRegistryKey();
    if (hAppKey == NULL) return NULL;
    HKEY hSectionKey = NULL;
    DWORD dw;
    ::RegCreateKeyExW(hAppKey, lpszSection, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ, NULL, &hSectionKey, &dw);
    ::RegCloseKey(hAppKey);
    return hSectionKey;
}

UINT CWinApp::GetProfileInt(LPCWSTR lpszSection, LPCWSTR lpszEntry, int nDefault)
{
    if (m_pszRegistryKey != NULL) {
        HKEY hSecKey = GetSectionKey(lpszSection);
        if (hSecKey == NULL) return nDefault;
        DWORD dwValue = 0, dwType = 0, dwCount = sizeof(DWORD);
        LONG lResult = ::RegQueryValueExW(hSecKey, lpszEntry, NULL, &dwType, (LPBYTE)&dwValue, &dwCount);
        ::RegCloseKey(hSecKey);
        if (lResult == ERROR_SUCCESS && dwType == REG_DWORD && dwCount == sizeof(DWORD)) return (UINT)dwValue;
        return nDefault;
    }
    return ::GetPrivateProfileIntW(lpszSection, lpszEntry, nDefault, m_pszProfileName);
}

BOOL CWinApp::WriteProfileInt(LPCWSTR lpszSection, LPCWSTR lpszEntry, int nValue)
{
    if (m_pszRegistryKey != NULL) {
        HKEY hSecKey = GetSectionKey(lpszSection);
        if (hSecKey == NULL) return FALSE;
        DWORD dw = (DWORD)nValue;
        LONG lResult = ::RegSetValueExW(hSecKey, lpszEntry, 0, REG_DWORD, (const BYTE*)&dw, sizeof(dw));
        ::RegCloseKey(hSecKey);
        return lResult == ERROR_SUCCESS;
    }
    CString s;
    s.Format(L"%d", nValue);
    if (AfxIsProtectedFile(m_pszProfileName)) return FALSE;
    return ::WritePrivateProfileStringW(lpszSection, lpszEntry, s, m_pszProfileName);
}

CString CWinApp::GetProfileString(LPCWSTR lpszSection, LPCWSTR lpszEntry, LPCWSTR lpszDefault)
{
    if (m_pszRegistryKey != NULL) {
        HKEY hSecKey = GetSectionKey(lpszSection);
        if (hSecKey == NULL) return CString(lpszDefault);
        CString strValue;
        DWORD dwType = 0, dwCount = 0;
        LONG lResult = ::RegQueryValueExW(hSecKey, lpszEntry, NULL, &dwType, NULL, &dwCount);
        if (lResult == ERROR_SUCCESS && dwType == REG_SZ) {
            int nChars = (int)(dwCount / sizeof(WCHAR));
            lResult = ::RegQueryValueExW(hSecKey, lpszEntry, NULL, &dwType, (LPBYTE)strValue.GetBuffer(nChars + 1), &dwCount);
            strValue.GetBuffer(nChars + 1)[nChars] = 0;
            strValue.ReleaseBuffer();
        }
        ::RegCloseKey(hSecKey);
        if (lResult == ERROR_SUCCESS && dwType == REG_SZ) return strValue;
        return CString(lpszDefault);
    }
    if (lpszDefault == NULL) lpszDefault = L"";
    WCHAR buf[4096];
    ::GetPrivateProfileStringW(lpszSection, lpszEntry, lpszDefault, buf, 4096, m_pszProfileName);
    return CString(buf);
}

BOOL CWinApp::WriteProfileString(LPCWSTR lpszSection, LPCWSTR lpszEntry, LPCWSTR lpszValue)
{
    if (m_pszRegistryKey != NULL) {
        LONG lResult;
        if (lpszEntry == NULL) {
            // Deleting a whole section.
            HKEY hAppKey = GetAppRegistryKey();
            if (hAppKey == NULL) return FALSE;
            lResult = ::RegDeleteKeyW(hAppKey, lpszSection);
            ::RegCloseKey(hAppKey);
        } else if (lpszValue == NULL) {
            HKEY hSecKey = GetSectionKey(lpszSection);
            if (hSecKey == NULL) return FALSE;
            lResult = ::RegDeleteValueW(hSecKey, lpszEntry);
            ::RegCloseKey(hSecKey);
        } else {
            HKEY hSecKey = GetSectionKey(lpszSection);
            if (hSecKey == NULL) return FALSE;
            lResult = ::RegSetValueExW(hSecKey, lpszEntry, 0, REG_SZ, (const BYTE*)lpszValue,
                                       (lstrlenW(lpszValue) + 1) * sizeof(WCHAR));
            ::RegCloseKey(hSecKey);
        }
        return lResult == ERROR_SUCCESS;
    }
    if (AfxIsProtectedFile(m_pszProfileName)) return FALSE;
    return ::WritePrivateProfileStringW(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
}

// Globals and start-up ---------------------------------------------------------------------

CWinApp* AfxGetApp() { return AfxGetProcessState()->m_pCurrentWinApp; }

CWinThread* AfxGetThread()
{
    CWinThread* pThread = AfxGetThreadState()->m_pCurrentWinThread;
    return pThread != NULL ? pThread : AfxGetApp();
}

CWnd* AfxGetMainWnd()
{
    CWinThread* pThread = AfxGetThread();
    return pThread != NULL ? pThread->GetMainWnd() : NULL;
}

void AfxEnableControlContainer() {}

BOOL AfxPreTranslateMessage(MSG* pMsg)
{
    CWinThread* pThread = AfxGetThread();
    if (pThread != NULL) return pThread->PreTranslateMessage(pMsg);
    return CWnd::WalkPreTranslateTree(NULL, pMsg);
}

BOOL AfxPumpMessage()
{
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    CWinThread* pThread = AfxGetThread();
    if (pThread != NULL && pThread->m_nThreadID == ::GetCurrentThreadId()) {
        BOOL bResult = pThread->PumpMessage();
        pState->m_msgCur = pThread->m_msgCur;
        return bResult;
    }
    MSG& msg = pState->m_msgCur;
    if (!::GetMessageW(&msg, NULL, 0, 0)) return FALSE;
    if (!AfxPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return TRUE;
}

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow)
{
    AFX_PROCESS_STATE* pState = AfxGetProcessState();
    pState->m_hCurrentInstanceHandle = hInstance;
    if (pState->m_hCurrentResourceHandle == NULL) pState->m_hCurrentResourceHandle = hInstance;

    CWinApp* pApp = AfxGetApp();
    if (pApp != NULL) {
        pApp->m_hInstance = hInstance;
        pApp->m_hPrevInstance = hPrevInstance;
        pApp->m_lpCmdLine = lpCmdLine;
        pApp->m_nCmdShow = nCmdShow;
        pApp->m_nThreadID = ::GetCurrentThreadId();
        pApp->m_hThread = NULL;
        AfxGetThreadState()->m_pCurrentWinThread = pApp;

        WCHAR szPath[MAX_PATH];
        ::GetModuleFileNameW(hInstance, szPath, MAX_PATH);
        LPWSTR pszFile = szPath;
        for (LPWSTR p = szPath; *p; p++)
            if (*p == '\\' || *p == '/') pszFile = p + 1;
        CString exeName(pszFile);
        int nDot = exeName.ReverseFind('.');
        if (nDot > 0) exeName = exeName.Left(nDot);
        if (pApp->m_pszExeName == NULL) pApp->m_pszExeName = DupString(exeName);
        if (pApp->m_pszAppName == NULL) {
            CString title;
            title.LoadString(AFX_IDS_APP_TITLE);
            pApp->m_pszAppName = DupString(title.IsEmpty() ? (LPCWSTR)exeName : (LPCWSTR)title);
        }
        if (pApp->m_pszProfileName == NULL) {
            CString ini(szPath);
            int n = ini.ReverseFind('.');
            if (n > 0) ini = ini.Left(n);
            ini += L".INI";
            pApp->m_pszProfileName = DupString(ini);
        }
    }
    return TRUE;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow)
{
    int nReturnCode = -1;
    CWinApp* pApp = AfxGetApp();
    if (pApp == NULL || !AfxWinInit(hInstance, hPrevInstance, lpCmdLine, nCmdShow)) return nReturnCode;
    if (!pApp->InitApplication()) return nReturnCode;
    if (!pApp->InitInstance()) {
        if (pApp->m_pMainWnd != NULL) pApp->m_pMainWnd->DestroyWindow();
        return pApp->ExitInstance();
    }
    return pApp->Run();
}

int AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT nIDHelp)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != NULL) return pApp->DoMessageBox(lpszText, nType, nIDHelp);
    HWND hWndTop = NULL;
    CWnd* pOwner = CWnd::GetSafeOwner(NULL, &hWndTop);
    int nResult = ::MessageBoxW(pOwner->GetSafeHwnd(), lpszText, L"", nType);
    if (hWndTop != NULL) ::EnableWindow(hWndTop, TRUE);
    return nResult;
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString string;
    string.LoadString(nIDPrompt);
    if (nIDHelp == (UINT)-1) nIDHelp = nIDPrompt;
    return AfxMessageBox(string, nType, nIDHelp);
}
