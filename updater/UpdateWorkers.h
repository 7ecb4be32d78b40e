// The updater's three one-shot workers and the job each of them shares with the dialog.
//
// A worker touches nothing of the dialog but its window handle, to which it posts (the
// extraction progress is sent).  Everything else it reads or writes lives in its job,
// which the dialog and the worker hold one reference each to: a dialog that gives up
// waiting can close while a worker is still blocked in the network, and the last one to
// let go closes the job's event.
#pragma once
#include "afx.h"
#include <wininet.h>
#include "SfxPackage.h"

// Results of the package download (WM_UPDATE_DOWNLOAD_DONE).
#define DOWNLOAD_DONE          0
#define DOWNLOAD_CANCELLED     1
#define DOWNLOAD_NO_INTERNET   2
#define DOWNLOAD_NO_CONNECTION 3
#define DOWNLOAD_NO_REQUEST    4
#define DOWNLOAD_READ_FAILED   5
#define DOWNLOAD_BAD_STATUS    6   // the service answered anything but 200
#define DOWNLOAD_INCOMPLETE    7   // fewer bytes than announced, or none
#define DOWNLOAD_MISMATCH      8   // size or SHA-256 differ from the version file's
#define DOWNLOAD_WRITE_FAILED  9

class CUpdateJob
{
public:
    // Made with two references: the dialog's and the worker's.
    static CUpdateJob* Create(HWND hDlg);
    void Release();

    BOOL IsCancelled() const { return m_bCancel != 0; }
    // Asks the worker to stop and closes the internet handles under it, which ends a
    // read that waits on the network where the platform allows it.
    void Cancel();
    // Each internet handle is closed once, by whoever takes it first.
    void CloseInternetHandles();

    // The package's temporary file. Cancel closes and deletes it, so a worker still
    // blocked in a read when the dialog stops waiting leaves nothing behind; once the
    // job is cancelled no new one is made.
    BOOL CreatePart(const CString& strPath);
    BOOL WritePart(const void* p, DWORD cb);
    BOOL KeepPartAs(const CString& strPath);   // renames it to the package
    void DropPart();

    HWND m_hDlg;
    HANDLE m_hDone;                  // manual reset; set when the result is in
    volatile LONG m_bCancel;

    // Version check: the service's version file and where it goes.
    CString m_strVersionUrl;
    CString m_strVersionPath;

    // Download: the package address, the folder and file name it is stored under, and
    // what the service said it must be.
    CString m_strPackageUrl;
    CString m_strDownloadFolder;
    CString m_strPackageFile;
    BOOL m_bHasSize;
    LONGLONG m_llExpectedSize;
    CString m_strExpectedSha256;
    HINTERNET volatile m_hInternet;
    HINTERNET volatile m_hConnect;
    HINTERNET volatile m_hRequest;

    // Extraction: the opened package and its target folder.
    CSfxPackage m_package;
    CString m_strTargetFolder;

    volatile LONG m_nResult;         // what the worker's final message carries

private:
    CUpdateJob();
    ~CUpdateJob();
    LONG m_nRefs;
    CRITICAL_SECTION m_partLock;
    HANDLE m_hPart;
    CString m_strPartPath;
};

// Started with _beginthread; each ends with _endthread after posting its final message
// and setting the job's event.
void VersionCheckThread(void* pJob);
void DownloadThread(void* pJob);
void ExtractThread(void* pJob);

// The package download proper (results DOWNLOAD_*): streamed into a temporary file in
// the download folder, checked, and only then renamed to the package's name.
int DownloadPackage(CUpdateJob& job);
