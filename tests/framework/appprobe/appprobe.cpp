// A program made of nothing but a global application object: the framework's own
// WinMain must find it, run InitInstance, pump until the main window is gone and
// return ExitInstance's code.
#include "afxwin.h"

class CProbeWnd : public CWnd
{
public:
    afx_msg void OnTimer(UINT_PTR nIDEvent)
    {
        KillTimer(nIDEvent);
        DestroyWindow();   // the main window going away ends the message loop
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeWnd, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

class CProbeApp : public CWinApp
{
public:
    CProbeApp() : CWinApp(L"FwAppProbe") {}
    CProbeWnd m_wnd;
    virtual BOOL InitInstance() override
    {
        if (!m_wnd.CreateEx(0, AfxRegisterWndClass(0), L"probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, NULL, NULL))
            return FALSE;
        m_pMainWnd = &m_wnd;
        m_wnd.SetTimer(1, 20);
        return TRUE;
    }
    virtual int ExitInstance() override
    {
        // 40 + the quit code (0) + whether the command line reached the application.
        return 40 + CWinApp::ExitInstance() + (lstrcmpW(m_lpCmdLine, L"--probe") == 0 ? 2 : 0);
    }
};

CProbeApp theApp;
