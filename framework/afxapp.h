// Threads with message loops and the application object.  A program defines one global
// CWinApp-derived object; the framework's WinMain runs it.
#pragma once
#include "afxwnd.h"

typedef UINT (*AFX_THREADPROC)(LPVOID);

class CDocTemplate;
class CDocument;
class CCommandLineInfo;
class CRecentFileList;
class CPrintDialog;

class CWinThread : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    virtual ~CWinThread();

    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);

    CWnd* m_pMainWnd;
    CWnd* m_pActiveWnd;
    BOOL m_bAutoDelete;
    HANDLE m_hThread;
    DWORD m_nThreadID;
    operator HANDLE() const { return m_hThread; }

    int GetThreadPriority();
    BOOL SetThreadPriority(int nPriority);
    DWORD SuspendThread();
    DWORD ResumeThread();
    BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam);

    virtual BOOL InitInstance();
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL PumpMessage();
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual int ExitInstance();
    virtual void Delete();
    virtual CWnd* GetMainWnd();

    MSG m_msgCur;
    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;

protected:
    POINT m_ptCursorLast;
    UINT m_nMsgLast;
};

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
void AfxEndThread(UINT nExitCode, BOOL bDelete = TRUE);

class CWinApp : public CWinThread
{
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCWSTR lpszAppName = NULL);
    virtual ~CWinApp();

    LPCWSTR m_pszAppName;
    HINSTANCE m_hInstance;
    HINSTANCE m_hPrevInstance;
    LPWSTR m_lpCmdLine;
    int m_nCmdShow;
    LPCWSTR m_pszExeName;
    LPCWSTR m_pszHelpFilePath;
    LPCWSTR m_pszProfileName;
    LPCWSTR m_pszRegistryKey;

    virtual BOOL InitApplication();
    virtual BOOL InitInstance() override;
    virtual int ExitInstance() override;
    virtual int Run() override;
    virtual BOOL OnIdle(LONG lCount) override;
    virtual int DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt);

    HCURSOR LoadCursor(LPCWSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCWSTR lpszCursorName) const;
    HICON LoadIcon(LPCWSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadStandardIcon(LPCWSTR lpszIconName) const;

    // Profile: under HKEY_CURRENT_USER\Software\<registry key>\<profile name> once
    // SetRegistryKey was called, otherwise in the INI file m_pszProfileName.
    void SetRegistryKey(LPCWSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCWSTR lpszSection);
    UINT GetProfileInt(LPCWSTR lpszSection, LPCWSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCWSTR lpszSection, LPCWSTR lpszEntry, int nValue);
    CString GetProfileString(LPCWSTR lpszSection, LPCWSTR lpszEntry, LPCWSTR lpszDefault = NULL);
    BOOL WriteProfileString(LPCWSTR lpszSection, LPCWSTR lpszEntry, LPCWSTR lpszValue);

    // Kept for programs that ask for them; both are what the platform does anyway.
    BOOL Enable3dControls() { return TRUE; }
    BOOL Enable3dControlsStatic() { return TRUE; }

    // Documents (afxframe.h).  The application owns its templates.
    void AddDocTemplate(CDocTemplate* pTemplate);
    int GetDocTemplateCount() const { return (int)m_templateList.GetSize(); }
    CDocTemplate* GetDocTemplate(int i) const { return (CDocTemplate*)m_templateList[i]; }
    virtual CDocument* OpenDocumentFile(LPCWSTR lpszFileName);
    virtual void AddToRecentFileList(LPCWSTR lpszPathName);
    // Reads the recent-file list ("Recent File List", File1..FileN); written at exit.
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void SaveStdProfileSettings();
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);
    virtual BOOL SaveAllModified();
    void CloseAllDocuments(BOOL bEndSession);

    CPtrArray m_templateList;
    CRecentFileList* m_pRecentFileList;

    // The printer and page settings every print starts from: the system's default printer
    // until print setup chooses others.  The application owns both blocks.
    HGLOBAL m_hDevMode;
    HGLOBAL m_hDevNames;
    // Fills pPrintDlg's device blocks with copies of the application's (fetching the
    // default printer first when none is chosen yet); FALSE when there is no printer.
    BOOL GetPrinterDeviceDefaults(PRINTDLGW* pPrintDlg);
    // The print (or print setup) dialog on the application's printer; on OK its choice
    // becomes the application's, on Cancel nothing changes.
    INT_PTR DoPrintDialog(CPrintDialog* pPD);

    afx_msg void OnFileNew();
    afx_msg void OnFileOpen();
    afx_msg void OnFilePrintSetup();
    afx_msg void OnAppExit();
    afx_msg void OnOpenRecentFile(UINT nID);

protected:
    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWinThread* AfxGetThread();
CWnd* AfxGetMainWnd();
void AfxEnableControlContainer();
BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);

int AfxMessageBox(LPCWSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);

// Resource id of the application's title string, read when no name was given.
#define AFX_IDS_APP_TITLE 0xE000
