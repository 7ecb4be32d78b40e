// The update dialog: checks the service for a newer version, downloads and unpacks it,
// records it, and hands the program named on the command line over and back.
#pragma once
#include "afxwin.h"
#include "UpdateIds.h"
#include "UpdateWorkers.h"

class CUpdateDlg : public CDialog
{
public:
    enum { IDD = IDD_JOLUPDATE_DIALOG };

    explicit CUpdateDlg(CWnd* pParent = NULL);
    virtual ~CUpdateDlg();

    // The program's command line after its own name: nothing, or the path of the program
    // to update (a second argument is ignored, three or more ignore the whole line).
    void SetCommandLine(LPCWSTR lpszCmdLine) { m_strCmdLine = lpszCmdLine; }
    // The folder the updater works in, with a trailing "\"; by default its own.
    void SetOwnFolder(const CString& strFolder) { m_strOwnFolder = strFolder; }

    // Process id of the running target program (matched by its full path), or -1.
    int FindTargetProcess();

protected:
    virtual BOOL OnInitDialog() override;
    virtual void OnCancel() override;
    virtual void OnOK() override;

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnDestroy();
    afx_msg void OnUpdateButton();
    afx_msg LRESULT OnUpdateChecked(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDownloadProgress(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDownloadDone(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnExtractProgress(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnExtractDone(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void ParseCommandLine();
    void SetStatus(const CString& strText);
    void SetStatus(UINT nID);
    BOOL StartWorker(CUpdateJob*& pSlot, void (*pfnWorker)(void*), CUpdateJob* pJob);
    // Waits for a job's worker, answering messages it sends meanwhile; the slot is
    // emptied either way.  FALSE when the worker was still running at the limit.
    BOOL WaitForJob(CUpdateJob*& pSlot, DWORD dwLimitMs, int* pResult = NULL);
    static void Abandon(CUpdateJob*& pSlot);
    // A worker's final message counts only when it comes from the job in the slot.
    static BOOL IsJobDone(const CUpdateJob* pJob);
    BOOL EndTargetProcess();
    void StartExtraction();
    void FinishExtraction(int nResult);

    CString m_strCmdLine;
    HICON m_hIcon;

    CString m_strOwnFolder;
    CString m_strTargetName;
    CString m_strTargetFolder;
    CString m_strBaseUrl;
    CString m_strVersionUrl;
    CString m_strPackageUrl;
    CString m_strDownloadFolder;
    CString m_strDownloadedVersionPath;
    CString m_strPackageFile;
    CString m_strInstalledVersion;
    CString m_strDownloadedVersion;
    int m_nInstalledVersionId;
    int m_nDownloadedVersionId;
    BOOL m_bHasPackageSize;
    LONGLONG m_llPackageSize;
    CString m_strPackageSha256;

    BOOL m_bWithProgram;
    BOOL m_bUpdateOffered;
    BOOL m_bFinished;
    BOOL m_bCancel;

    // The first job serves the version check and then the download, the second the
    // extraction.
    CUpdateJob* m_pNetJob;
    CUpdateJob* m_pExtractJob;
    UINT32 m_nExtractCount;
};
