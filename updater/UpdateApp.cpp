#include "UpdateApp.h"
#include "UpdateDlg.h"

CUpdateApp theApp;

CUpdateApp::CUpdateApp() : CWinApp(L"JolUpdate"), m_hMutex(NULL) {}

BOOL CUpdateApp::InitInstance()
{
    m_hMutex = ::CreateMutexW(NULL, TRUE, L"JolUpdate");
    // A second copy leaves without a word.
    if (m_hMutex == NULL || ::GetLastError() == ERROR_ALREADY_EXISTS) return FALSE;

    CUpdateDlg dlg;
    dlg.SetCommandLine(m_lpCmdLine);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = NULL;
    return FALSE;
}

int CUpdateApp::ExitInstance()
{
    if (m_hMutex != NULL) ::CloseHandle(m_hMutex);
    m_hMutex = NULL;
    CWinApp::ExitInstance();
    // The last message the dialog handled says nothing about how the program ended.
    return 0;
}
