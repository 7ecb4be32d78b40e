#include "app/shell/DravenluxApp.h"
#include "app/shell/AboutDialog.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/DravenluxView.h"
#include "app/shell/MainFrame.h"
#include "app/shell/ShellLinks.h"
#include "app/res/resource.h"
#include "app/browse/ThumbnailStrip.h"
#include "app/capture/CameraPanel.h"
#include "camera/core/QrCCamera.h"

BEGIN_MESSAGE_MAP(CDravenluxApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
    ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, CWinApp::OnFileOpen)
    ON_COMMAND(ID_FILE_PRINT_SETUP, CWinApp::OnFilePrintSetup)
END_MESSAGE_MAP()

CDravenluxApp::CDravenluxApp() : CWinApp(NULL), m_hMutex(NULL) {}
CDravenluxApp::~CDravenluxApp() {}

BOOL CDravenluxApp::InitInstance()
{
    // Held, never released, until the process ends.
    m_hMutex = ::CreateMutexW(NULL, TRUE, L"Jolsnap");
    if (m_hMutex != NULL && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        AfxMessageBox(IDS_ALREADY_RUNNING, MB_OK);
        return FALSE;
    }

    AfxEnableControlContainer();
    Enable3dControls();

    SetRegistryKey(IDS_COMPANY_KEY);
    LoadStdProfileSettings(4);

    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CDravenluxDoc), RUNTIME_CLASS(CMainFrame),
                                          RUNTIME_CLASS(CDravenluxView)));

    // Shown once, at its final size: showing it normal first and maximised after costs a
    // second layout of every pane.
    m_nCmdShow = SW_SHOWMAXIMIZED;
    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo)) {
        // The frame is gone again by now; the user still learns which file failed.
        if (cmdInfo.m_nShellCommand == CCommandLineInfo::FileOpen) {
            CString format, text;
            format.LoadString(IDS_OPEN_FILE_FAILED);
            text.Format(format, (LPCWSTR)cmdInfo.m_strFileName);
            AfxMessageBox(text, MB_OK);
        }
        return FALSE;
    }

    m_pMainWnd->ShowWindow(SW_SHOWMAXIMIZED);
    m_pMainWnd->UpdateWindow();

    CString title;
    title.LoadString(AFX_IDS_APP_TITLE);
    m_pMainWnd->SetWindowText(title);

    // Once the window is up: the capture folder into the strip, the camera library's look
    // for cameras, then the live picture (or word that no camera was found).
    static_cast<CMainFrame*>(m_pMainWnd)->StartAfterFirstPaint();
    return TRUE;
}

void CDravenluxApp::OnAppAbout()
{
    CAboutDialog dlg(m_pMainWnd);
    dlg.DoModal();
}
