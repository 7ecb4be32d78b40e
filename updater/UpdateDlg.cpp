#include "UpdateDlg.h"
#include "AboutDlg.h"
#include "VersionFile.h"
#include <shellapi.h>
#include <tlhelp32.h>

namespace {

// How long Cancel waits for a network worker before leaving it behind, and for the
// extraction, which only copies local files.
const DWORD kNetWorkerWaitMs = 5000;
const DWORD kExtractWaitMs = 60000;
// How long an ended target program may take to go away.
const DWORD kProcessEndWaitMs = 10000;

const WCHAR kCaption[] = L"JolUpdate";
const WCHAR kCancelQuestion[] = L"是否取消更新？";

CString NormalisePath(const CString& strPath)
{
    WCHAR full[MAX_PATH * 2], longer[MAX_PATH * 2];
    DWORD n = ::GetFullPathNameW(strPath, MAX_PATH * 2, full, NULL);
    if (n == 0 || n >= MAX_PATH * 2) return strPath;
    n = ::GetLongPathNameW(full, longer, MAX_PATH * 2);
    return (n == 0 || n >= MAX_PATH * 2) ? CString(full) : CString(longer);
}

void EnsureFolder(const CString& strFolder)
{
    if (::GetFileAttributesW(strFolder) == INVALID_FILE_ATTRIBUTES) ::CreateDirectoryW(strFolder, NULL);
}

CString LoadText(UINT nID)
{
    CString s;
    s.LoadString(nID);
    return s;
}

} // namespace

BEGIN_MESSAGE_MAP(CUpdateDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_UPDATE, OnUpdateButton)
    ON_MESSAGE(WM_UPDATE_CHECKED, OnUpdateChecked)
    ON_MESSAGE(WM_UPDATE_DOWNLOAD_PROGRESS, OnDownloadProgress)
    ON_MESSAGE(WM_UPDATE_DOWNLOAD_DONE, OnDownloadDone)
    ON_MESSAGE(WM_UPDATE_EXTRACT_PROGRESS, OnExtractProgress)
    ON_MESSAGE(WM_UPDATE_EXTRACT_DONE, OnExtractDone)
END_MESSAGE_MAP()

CUpdateDlg::CUpdateDlg(CWnd* pParent)
    : CDialog(IDD, pParent), m_hIcon(NULL), m_nInstalledVersionId(1000), m_nDownloadedVersionId(1000),
      m_bHasPackageSize(FALSE), m_llPackageSize(0), m_bWithProgram(FALSE), m_bUpdateOffered(FALSE),
      m_bFinished(FALSE), m_bCancel(FALSE), m_pNetJob(NULL), m_pExtractJob(NULL), m_nExtractCount(0)
{
}

CUpdateDlg::~CUpdateDlg()
{
    Abandon(m_pNetJob);
    Abandon(m_pExtractJob);
}

// ---- start ----------------------------------------------------------------------------

BOOL CUpdateDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE);
    CString strAbout = LoadText(IDS_ABOUTBOX);
    if (hSysMenu != NULL && !strAbout.IsEmpty()) {
        ::AppendMenuW(hSysMenu, MF_SEPARATOR, 0, NULL);
        ::AppendMenuW(hSysMenu, MF_STRING, IDM_ABOUTBOX, strAbout);
    }
    HINSTANCE hRes = AfxFindResourceHandle(MAKEINTRESOURCEW(IDR_MAINFRAME), (LPCWSTR)RT_GROUP_ICON);
    m_hIcon = ::LoadIconW(hRes, MAKEINTRESOURCEW(IDR_MAINFRAME));
    HICON hSmall = (HICON)::LoadImageW(hRes, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                       ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    SetIcon(m_hIcon, TRUE);
    SetIcon(hSmall ? hSmall : m_hIcon, FALSE);
    ::SendDlgItemMessageW(m_hWnd, IDC_PROGRESS, PBM_SETRANGE32, 0, 100);

    if (m_strOwnFolder.IsEmpty()) {
        WCHAR path[MAX_PATH];
        DWORD n = ::GetModuleFileNameW(NULL, path, MAX_PATH);
        m_strOwnFolder = CString(path, n < MAX_PATH ? (int)n : 0);
        m_strOwnFolder = m_strOwnFolder.Left(m_strOwnFolder.ReverseFind(L'\\') + 1);
    }
    m_strDownloadFolder = m_strOwnFolder + L"Update\\";
    EnsureFolder(m_strDownloadFolder);
    m_strDownloadedVersionPath = m_strDownloadFolder + VERSION_FILE_NAME;

    ParseCommandLine();
    if (m_strTargetFolder.IsEmpty()) {
        m_strTargetFolder = m_strDownloadFolder + L"JolExtract\\";
        EnsureFolder(m_strTargetFolder);
    }

    SetStatus(IDS_CHECKING);
    GetDlgItem(IDC_UPDATE)->EnableWindow(FALSE);

    CVersionInfo installed;
    installed.Read(m_strOwnFolder + VERSION_FILE_NAME);
    m_strInstalledVersion = installed.m_strVersion;
    m_nInstalledVersionId = installed.m_nVersionId;
    m_strBaseUrl = installed.m_strUrl;
    m_strVersionUrl = m_strBaseUrl + VERSION_FILE_NAME;

    CUpdateJob* pJob = CUpdateJob::Create(m_hWnd);
    if (pJob != NULL) {
        pJob->m_strVersionUrl = m_strVersionUrl;
        pJob->m_strVersionPath = m_strDownloadedVersionPath;
    }
    if (!StartWorker(m_pNetJob, VersionCheckThread, pJob)) SetStatus(IDS_CONNECT_FAILED);
    return TRUE;
}

void CUpdateDlg::ParseCommandLine()
{
    CString line = m_strCmdLine;
    line.Trim();
    if (line.IsEmpty()) return;
    // The splitter reads its first argument as a program name by its own rules; give
    // it one so the path is parsed as an ordinary argument.
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(CString(L"JolUpdate ") + line, &argc);
    if (argv != NULL && (argc == 2 || argc == 3)) {
        CString path = argv[1];
        int cut = path.ReverseFind(L'\\');
        int slash = path.ReverseFind(L'/');
        if (slash > cut) cut = slash;
        m_strTargetName = path.Mid(cut + 1);
        m_strTargetFolder = path.Left(cut + 1);
        m_bWithProgram = TRUE;
    }
    if (argv != NULL) ::LocalFree(argv);
}

// ---- workers ----------------------------------------------------------------------------

BOOL CUpdateDlg::StartWorker(CUpdateJob*& pSlot, void (*pfnWorker)(void*), CUpdateJob* pJob)
{
    if (pJob == NULL) return FALSE;
    pSlot = pJob;
    if (_beginthread(pfnWorker, 0, pJob) == (uintptr_t)-1) {
        pJob->Release();   // the worker's reference
        pJob->Release();
        pSlot = NULL;
        return FALSE;
    }
    return TRUE;
}

void CUpdateDlg::Abandon(CUpdateJob*& pSlot)
{
    // A worker still running keeps its own reference and never touches the dialog.
    if (pSlot == NULL) return;
    pSlot->Cancel();
    pSlot->Release();
    pSlot = NULL;
}

BOOL CUpdateDlg::IsJobDone(const CUpdateJob* pJob)
{
    return pJob != NULL && ::WaitForSingleObject(pJob->m_hDone, 0) == WAIT_OBJECT_0;
}

BOOL CUpdateDlg::WaitForJob(CUpdateJob*& pSlot, DWORD dwLimitMs, int* pResult)
{
    CUpdateJob* pJob = pSlot;
    pSlot = NULL;
    if (pJob == NULL) return FALSE;
    // Messages the worker sends meanwhile are answered; posted ones wait their turn.
    BOOL bDone = AfxWaitForSingleObjectSent(pJob->m_hDone, dwLimitMs) == WAIT_OBJECT_0;
    if (bDone && pResult != NULL) *pResult = pJob->m_nResult;
    if (!bDone) pJob->Cancel();
    pJob->Release();
    return bDone;
}

// ---- version check ------------------------------------------------------------------------

LRESULT CUpdateDlg::OnUpdateChecked(WPARAM wParam, LPARAM)
{
    if (!IsJobDone(m_pNetJob)) return 0;
    WaitForJob(m_pNetJob, 0);
    if (wParam != 0) {
        SetStatus(IDS_CONNECT_FAILED);
        return 0;
    }
    CVersionInfo offered;
    offered.Read(m_strDownloadedVersionPath, L"");
    m_strDownloadedVersion = offered.m_strVersion;
    m_nDownloadedVersionId = offered.m_nVersionId;
    // The service may move itself, but only to another plain http address.
    if (IsServiceUrl(offered.m_strUrl)) m_strBaseUrl = offered.m_strUrl;
    // The package is stored in the download folder under this name: it must be a
    // plain file name, or the service could write anywhere.
    if (!IsPlainPackageName(offered.m_strFile)) {
        SetStatus(IDS_CONNECT_FAILED);
        return 0;
    }
    m_strPackageFile = offered.m_strFile;
    m_bHasPackageSize = offered.m_bHasSize;
    m_llPackageSize = offered.m_llSize;
    m_strPackageSha256 = offered.m_strSha256;
    m_strPackageUrl = m_strBaseUrl + m_strPackageFile;

    if (m_nInstalledVersionId < m_nDownloadedVersionId) {
        m_bUpdateOffered = TRUE;
        GetDlgItem(IDC_UPDATE)->EnableWindow(TRUE);
        SetStatus(IDS_NEW_VERSION);
    } else {
        SetStatus(IDS_LATEST_VERSION);
    }
    return 0;
}

// ---- download ------------------------------------------------------------------------------

void CUpdateDlg::OnUpdateButton()
{
    if (m_bFinished) {
        // Without a program the name is empty and the shell opens the folder.
        ::ShellExecuteW(NULL, L"open", m_strTargetFolder + m_strTargetName, NULL, NULL, SW_SHOWNORMAL);
        EndDialog(IDOK);
        return;
    }
    if (!m_bUpdateOffered || m_pNetJob != NULL || m_pExtractJob != NULL) return;
    GetDlgItem(IDC_UPDATE)->EnableWindow(FALSE);
    m_bCancel = FALSE;
    ::SendDlgItemMessageW(m_hWnd, IDC_PROGRESS, PBM_SETRANGE32, 0, 100);
    ::SendDlgItemMessageW(m_hWnd, IDC_PROGRESS, PBM_SETPOS, 0, 0);

    CUpdateJob* pJob = CUpdateJob::Create(m_hWnd);
    if (pJob != NULL) {
        pJob->m_strPackageUrl = m_strPackageUrl;
        pJob->m_strDownloadFolder = m_strDownloadFolder;
        pJob->m_strPackageFile = m_strPackageFile;
        pJob->m_bHasSize = m_bHasPackageSize;
        pJob->m_llExpectedSize = m_llPackageSize;
        pJob->m_strExpectedSha256 = m_strPackageSha256;
    }
    if (!StartWorker(m_pNetJob, DownloadThread, pJob)) {
        GetDlgItem(IDC_UPDATE)->EnableWindow(TRUE);
        SetStatus(IDS_DOWNLOAD_FAILED);
    }
}

LRESULT CUpdateDlg::OnDownloadProgress(WPARAM wParam, LPARAM lParam)
{
    CString text;
    if (lParam == 0) {
        int nPercent = wParam > 100 ? 100 : (int)wParam;
        text.Format(L"%s %d%%", (LPCWSTR)LoadText(IDS_DOWNLOAD_PROGRESS), nPercent);
        ::SendDlgItemMessageW(m_hWnd, IDC_PROGRESS, PBM_SETPOS, nPercent, 0);
    } else {
        // The service gave no length: no percentage, the amount received instead.
        text.Format(L"%s %d KB", (LPCWSTR)LoadText(IDS_DOWNLOAD_PROGRESS), (int)lParam);
    }
    SetStatus(text);
    return 0;
}

LRESULT CUpdateDlg::OnDownloadDone(WPARAM wParam, LPARAM)
{
    if (!IsJobDone(m_pNetJob)) return 0;
    WaitForJob(m_pNetJob, 0);
    switch ((int)wParam) {
    case DOWNLOAD_CANCELLED:
        return 0;
    case DOWNLOAD_DONE:
        break;
    default:
        GetDlgItem(IDC_UPDATE)->EnableWindow(TRUE);
        SetStatus(IDS_DOWNLOAD_FAILED);
        return 0;
    }
    SetStatus(IDS_DOWNLOAD_SUCCESS);
    if (m_bWithProgram && !EndTargetProcess()) {
        // Files of a program that still runs are not replaced.
        GetDlgItem(IDC_UPDATE)->EnableWindow(TRUE);
        SetStatus(IDS_INTERNAL_ERROR);
        return 0;
    }
    StartExtraction();
    return 0;
}

// ---- the target program -------------------------------------------------------------------

int CUpdateDlg::FindTargetProcess()
{
    if (m_strTargetName.IsEmpty()) return -1;
    const CString want = NormalisePath(m_strTargetFolder + m_strTargetName);
    HANDLE hSnap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnap == INVALID_HANDLE_VALUE) return -1;
    int nFound = -1;
    PROCESSENTRY32W pe;
    pe.dwSize = sizeof(pe);
    for (BOOL ok = ::Process32FirstW(hSnap, &pe); ok && nFound == -1; ok = ::Process32NextW(hSnap, &pe)) {
        if (pe.th32ProcessID == ::GetCurrentProcessId()) continue;
        CString exe = pe.szExeFile;
        exe = exe.Mid(exe.ReverseFind(L'\\') + 1);
        if (exe.CompareNoCase(m_strTargetName) != 0) continue;
        // The same name in another folder is another program.
        HANDLE hProcess = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pe.th32ProcessID);
        if (hProcess == NULL) continue;
        WCHAR image[MAX_PATH * 2];
        DWORD cch = MAX_PATH * 2;
        if (::QueryFullProcessImageNameW(hProcess, 0, image, &cch) && NormalisePath(CString(image, (int)cch)).CompareNoCase(want) == 0)
            nFound = (int)pe.th32ProcessID;
        ::CloseHandle(hProcess);
    }
    ::CloseHandle(hSnap);
    return nFound;
}

BOOL CUpdateDlg::EndTargetProcess()
{
    if (FindTargetProcess() == -1) return TRUE;
    MessageBox(LoadText(IDS_PROGRAM_RUNNING), kCaption, MB_OK | MB_ICONINFORMATION);
    // Every copy started from that path goes; the user may have closed it meanwhile.
    for (int i = 0; i < 16; i++) {
        int pid = FindTargetProcess();
        if (pid == -1) return TRUE;
        HANDLE hProcess = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, (DWORD)pid);
        if (hProcess == NULL) return FALSE;
        ::TerminateProcess(hProcess, 0);
        BOOL bEnded = AfxWaitForSingleObjectSent(hProcess, kProcessEndWaitMs) == WAIT_OBJECT_0;
        ::CloseHandle(hProcess);
        if (!bEnded) return FALSE;
    }
    return FindTargetProcess() == -1;
}

// ---- extraction ---------------------------------------------------------------------------

void CUpdateDlg::StartExtraction()
{
    const CString strPackage = m_strDownloadFolder + m_strPackageFile;
    CUpdateJob* pJob = CUpdateJob::Create(m_hWnd);
    int r = pJob != NULL ? pJob->m_package.Open(strPackage) : SFX_OPEN_FAILED;
    if (r != SFX_OK) {
        if (pJob != NULL) {
            pJob->Release();   // the worker's reference, never started
            pJob->Release();
        }
        if (r != SFX_OPEN_FAILED) ::DeleteFileW(strPackage);
        GetDlgItem(IDC_UPDATE)->EnableWindow(TRUE);
        SetStatus(r == SFX_NO_TRAILER || r == SFX_NO_FILES ? IDS_ARCHIVE_EMPTY : IDS_INTERNAL_ERROR);
        return;
    }
    m_nExtractCount = pJob->m_package.GetFileCount();
    ::SendDlgItemMessageW(m_hWnd, IDC_PROGRESS, PBM_SETRANGE32, 0, (LPARAM)m_nExtractCount);
    ::SendDlgItemMessageW(m_hWnd, IDC_PROGRESS, PBM_SETPOS, 0, 0);
    pJob->m_strTargetFolder = m_strTargetFolder;
    if (!StartWorker(m_pExtractJob, ExtractThread, pJob)) {
        m_bUpdateOffered = FALSE;
        SetStatus(IDS_INTERNAL_ERROR);
    }
}

LRESULT CUpdateDlg::OnExtractProgress(WPARAM wParam, LPARAM)
{
    const CString* pName = (const CString*)wParam;
    if (m_pExtractJob == NULL || pName == NULL) return 0;
    SetStatus(LoadText(IDS_INSTALL_PROGRESS) + *pName);
    int pos = (int)::SendDlgItemMessageW(m_hWnd, IDC_PROGRESS, PBM_GETPOS, 0, 0);
    ::SendDlgItemMessageW(m_hWnd, IDC_PROGRESS, PBM_SETPOS, pos + 1, 0);
    return 0;
}

LRESULT CUpdateDlg::OnExtractDone(WPARAM wParam, LPARAM)
{
    if (!IsJobDone(m_pExtractJob)) return 0;
    WaitForJob(m_pExtractJob, 0);
    FinishExtraction((int)wParam);
    return 0;
}

void CUpdateDlg::FinishExtraction(int nResult)
{
    m_bUpdateOffered = FALSE;
    if (nResult == SFX_OK) {
        if (!WriteInstalledVersion(m_strOwnFolder + VERSION_FILE_NAME, m_strDownloadedVersion, m_nDownloadedVersionId,
                                   m_strBaseUrl, m_strPackageFile)) {
            SetStatus(IDS_INTERNAL_ERROR);
            return;
        }
        m_bFinished = TRUE;
        SetDlgItemText(IDC_UPDATE, L"Finish");
        GetDlgItem(IDC_UPDATE)->EnableWindow(TRUE);
        CString text;
        text.Format(L"%d %s", (int)m_nExtractCount, (LPCWSTR)LoadText(IDS_FILES_EXTRACTED));
        SetStatus(text);
    } else if (nResult == SFX_NO_TRAILER || nResult == SFX_NO_FILES) {
        SetStatus(IDS_ARCHIVE_EMPTY);
    } else {
        SetStatus(IDS_INTERNAL_ERROR);
    }
}

// ---- closing ------------------------------------------------------------------------------

void CUpdateDlg::OnOK()
{
    // Enter presses the default button, never ends the dialog.
}

void CUpdateDlg::OnCancel()
{
    if (m_bUpdateOffered) {
        if (MessageBox(kCancelQuestion, kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
        m_bCancel = TRUE;
        if (m_pNetJob != NULL) {
            m_pNetJob->Cancel();
            WaitForJob(m_pNetJob, kNetWorkerWaitMs);
        }
        // Extraction is not broken off half way; when it completes meanwhile, the
        // installed version is recorded to match the files.
        int nResult = 0;
        if (m_pExtractJob != NULL && WaitForJob(m_pExtractJob, kExtractWaitMs, &nResult)) FinishExtraction(nResult);
    } else {
        // Nothing offered yet: close at once and leave the version check to end alone.
        Abandon(m_pNetJob);
    }
    EndDialog(IDCANCEL);
}

void CUpdateDlg::OnDestroy()
{
    Abandon(m_pNetJob);
    Abandon(m_pExtractJob);
    CDialog::OnDestroy();
}

void CUpdateDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlg(this);
        dlg.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CUpdateDlg::SetStatus(const CString& strText) { SetDlgItemText(IDC_STATUS, strText); }

void CUpdateDlg::SetStatus(UINT nID) { SetStatus(LoadText(nID)); }
