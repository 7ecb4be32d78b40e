#include "UpdateWorkers.h"
#include "UpdateIds.h"
#include "Sha256.h"
#include "afxinet.h"
#include <urlmon.h>
#include <vector>

namespace {

// Reads take what has arrived, up to this much, so progress follows a slow download.
const DWORD kReadBlock = 1024;
// A read that gets nothing for this long fails instead of holding the download forever.
const DWORD kReceiveTimeoutMs = 30000;
// Without a length the status line shows the kilobytes received, refreshed this often.
const LONGLONG kUnknownLengthStep = 256 * 1024;
// A version file is a few lines; anything much larger is not one.
const ULONG kMaxVersionFile = 1024 * 1024;

// Watches the version-file download: keeps it away from the cache, notes the HTTP
// status and stops it when the job is cancelled.
class CVersionFileCallback : public IBindStatusCallback, public IHttpNegotiate
{
public:
    explicit CVersionFileCallback(const CUpdateJob& job) : m_job(job), m_dwStatus(0) {}
    DWORD GetStatus() const { return m_dwStatus; }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback))
            *ppv = static_cast<IBindStatusCallback*>(this);
        else if (IsEqualIID(riid, IID_IHttpNegotiate))
            *ppv = static_cast<IHttpNegotiate*>(this);
        else {
            *ppv = NULL;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    // Lives on the worker's stack for the whole call.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP OnStartBinding(DWORD, IBinding*) override { return S_OK; }
    STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnLowResource(DWORD) override { return S_OK; }
    STDMETHODIMP OnProgress(ULONG ulProgress, ULONG, ULONG, LPCWSTR) override
    {
        return m_job.IsCancelled() || ulProgress > kMaxVersionFile ? E_ABORT : S_OK;
    }
    STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
    STDMETHODIMP GetBindInfo(DWORD* grfBINDF, BINDINFO*) override
    {
        *grfBINDF |= BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE | BINDF_PRAGMA_NO_CACHE | BINDF_RESYNCHRONIZE;
        return S_OK;
    }
    STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
    STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

    STDMETHODIMP BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* pszAdditionalHeaders) override
    {
        if (pszAdditionalHeaders) *pszAdditionalHeaders = NULL;
        return S_OK;
    }
    STDMETHODIMP OnResponse(DWORD dwResponseCode, LPCWSTR, LPCWSTR, LPWSTR* pszAdditionalRequestHeaders) override
    {
        m_dwStatus = dwResponseCode;
        if (pszAdditionalRequestHeaders) *pszAdditionalRequestHeaders = NULL;
        return S_OK;
    }

private:
    const CUpdateJob& m_job;
    DWORD m_dwStatus;
};

void CloseTaken(HINTERNET volatile* pHandle)
{
    HINTERNET h = (HINTERNET)::InterlockedExchangePointer((PVOID volatile*)pHandle, NULL);
    if (h != NULL) ::InternetCloseHandle(h);
}

// The event is set before the message goes: a dialog that finds its job's event unset
// knows the message came from a worker it already let go.
void Finish(CUpdateJob* pJob, UINT message, int nResult)
{
    pJob->m_nResult = nResult;
    ::SetEvent(pJob->m_hDone);
    ::PostMessageW(pJob->m_hDlg, message, (WPARAM)nResult, 0);
    pJob->Release();
}

// Sent, so the worker waits while the dialog shows the name.
void OnEntryExtracted(CSfxEntry* pEntry, void* pContext)
{
    CUpdateJob* pJob = (CUpdateJob*)pContext;
    ::SendMessageW(pJob->m_hDlg, WM_UPDATE_EXTRACT_PROGRESS, (WPARAM)&pEntry->m_strName, (LPARAM)pJob->m_hDlg);
}

BOOL ParseLength(LPCWSTR psz, LONGLONG& llValue)
{
    llValue = 0;
    if (*psz == 0) return FALSE;
    for (int n = 0; *psz; psz++, n++) {
        if (*psz < '0' || *psz > '9' || n >= 18) return FALSE;
        llValue = llValue * 10 + (*psz - '0');
    }
    return TRUE;
}

} // namespace

// ---- the job ---------------------------------------------------------------------------

CUpdateJob::CUpdateJob()
    : m_hDlg(NULL), m_hDone(NULL), m_bCancel(0), m_bHasSize(FALSE), m_llExpectedSize(0), m_hInternet(NULL),
      m_hConnect(NULL), m_hRequest(NULL), m_nResult(0), m_nRefs(2), m_hPart(INVALID_HANDLE_VALUE)
{
    ::InitializeCriticalSection(&m_partLock);
}

CUpdateJob::~CUpdateJob()
{
    CloseInternetHandles();
    DropPart();
    if (m_hDone) ::CloseHandle(m_hDone);
    ::DeleteCriticalSection(&m_partLock);
}

CUpdateJob* CUpdateJob::Create(HWND hDlg)
{
    CUpdateJob* pJob = new CUpdateJob;
    pJob->m_hDlg = hDlg;
    pJob->m_hDone = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    if (pJob->m_hDone == NULL) {
        delete pJob;
        return NULL;
    }
    return pJob;
}

void CUpdateJob::Release()
{
    if (::InterlockedDecrement(&m_nRefs) == 0) delete this;
}

void CUpdateJob::Cancel()
{
    ::InterlockedExchange(&m_bCancel, 1);
    CloseInternetHandles();
    DropPart();
}

BOOL CUpdateJob::CreatePart(const CString& strPath)
{
    ::EnterCriticalSection(&m_partLock);
    BOOL bOk = FALSE;
    if (!IsCancelled() && m_hPart == INVALID_HANDLE_VALUE) {
        m_hPart = ::CreateFileW(strPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        bOk = m_hPart != INVALID_HANDLE_VALUE;
        if (bOk) m_strPartPath = strPath;
    }
    ::LeaveCriticalSection(&m_partLock);
    return bOk;
}

BOOL CUpdateJob::WritePart(const void* p, DWORD cb)
{
    ::EnterCriticalSection(&m_partLock);
    DWORD put = 0;
    const BOOL bOk = m_hPart != INVALID_HANDLE_VALUE && ::WriteFile(m_hPart, p, cb, &put, NULL) && put == cb;
    ::LeaveCriticalSection(&m_partLock);
    return bOk;
}

BOOL CUpdateJob::KeepPartAs(const CString& strPath)
{
    ::EnterCriticalSection(&m_partLock);
    BOOL bOk = FALSE;
    if (m_hPart != INVALID_HANDLE_VALUE && !IsCancelled()) {
        ::CloseHandle(m_hPart);
        m_hPart = INVALID_HANDLE_VALUE;
        bOk = ::MoveFileExW(m_strPartPath, strPath, MOVEFILE_REPLACE_EXISTING);
        if (bOk) m_strPartPath.Empty();
    }
    ::LeaveCriticalSection(&m_partLock);
    if (!bOk) DropPart();
    return bOk;
}

void CUpdateJob::DropPart()
{
    ::EnterCriticalSection(&m_partLock);
    if (m_hPart != INVALID_HANDLE_VALUE) ::CloseHandle(m_hPart);
    m_hPart = INVALID_HANDLE_VALUE;
    if (!m_strPartPath.IsEmpty()) ::DeleteFileW(m_strPartPath);
    m_strPartPath.Empty();
    ::LeaveCriticalSection(&m_partLock);
}

void CUpdateJob::CloseInternetHandles()
{
    CloseTaken(&m_hRequest);
    CloseTaken(&m_hConnect);
    CloseTaken(&m_hInternet);
}

// ---- workers ---------------------------------------------------------------------------

void VersionCheckThread(void* pParam)
{
    CUpdateJob* pJob = (CUpdateJob*)pParam;
    ::Sleep(500);
    ::CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    // A stale copy must never be read as the service's answer.
    ::DeleteFileW(pJob->m_strVersionPath);
    CVersionFileCallback callback(*pJob);
    HRESULT hr = pJob->IsCancelled()
                     ? E_ABORT
                     : ::URLDownloadToFileW(NULL, pJob->m_strVersionUrl, pJob->m_strVersionPath, 0, &callback);
    // The moniker saves error pages too: only a 200 answer is the version file.
    BOOL bOk = SUCCEEDED(hr) && callback.GetStatus() == 200 && !pJob->IsCancelled();
    if (!bOk) ::DeleteFileW(pJob->m_strVersionPath);
    ::CoUninitialize();
    Finish(pJob, WM_UPDATE_CHECKED, bOk ? 0 : 1);
}

void DownloadThread(void* pParam)
{
    CUpdateJob* pJob = (CUpdateJob*)pParam;
    int nResult = DownloadPackage(*pJob);
    pJob->CloseInternetHandles();
    Finish(pJob, WM_UPDATE_DOWNLOAD_DONE, nResult);
}

void ExtractThread(void* pParam)
{
    CUpdateJob* pJob = (CUpdateJob*)pParam;
    int nResult = pJob->m_package.ExtractAll(pJob->m_strTargetFolder, OnEntryExtracted, pJob);
    Finish(pJob, WM_UPDATE_EXTRACT_DONE, nResult);
}

// ---- the package download --------------------------------------------------------------

namespace {

class CPackageWriter
{
public:
    explicit CPackageWriter(CUpdateJob& job) : m_job(job), m_llWritten(0) {}
    // Anything not handed over is thrown away: no partial package stays behind.
    ~CPackageWriter() { m_job.DropPart(); }
    BOOL Create(const CString& strTemp) { return m_job.CreatePart(strTemp) && m_sha.Begin(); }
    BOOL Write(const void* p, DWORD cb)
    {
        if (!m_job.WritePart(p, cb)) return FALSE;
        m_llWritten += cb;
        return m_sha.Add(p, cb);
    }
    LONGLONG GetWritten() const { return m_llWritten; }
    CString FinishHash() { return m_sha.Finish(); }
    BOOL MoveTo(const CString& strPath) { return m_job.KeepPartAs(strPath); }

private:
    CUpdateJob& m_job;
    LONGLONG m_llWritten;
    CSha256Pipe m_sha;
};

} // namespace

int DownloadPackage(CUpdateJob& job)
{
    DWORD dwService = 0;
    CString strServer, strObject;
    INTERNET_PORT nPort = 0;
    if (!AfxParseURL(job.m_strPackageUrl, dwService, strServer, strObject, nPort) || dwService != AFX_INET_SERVICE_HTTP)
        return DOWNLOAD_NO_CONNECTION;

    const CString strPackage = job.m_strDownloadFolder + job.m_strPackageFile;
    // A package from an earlier attempt must not pass for this one.
    ::DeleteFileW(strPackage);

    HINTERNET h = ::InternetOpenW(L"JolUpdate", INTERNET_OPEN_TYPE_PRECONFIG, NULL, NULL, 0);
    if (h == NULL) return DOWNLOAD_NO_INTERNET;
    job.m_hInternet = h;
    DWORD dwTimeout = kReceiveTimeoutMs;
    ::InternetSetOptionW(h, INTERNET_OPTION_RECEIVE_TIMEOUT, &dwTimeout, sizeof(dwTimeout));
    if (job.IsCancelled()) return DOWNLOAD_CANCELLED;

    h = ::InternetConnectW(h, strServer, nPort, NULL, NULL, INTERNET_SERVICE_HTTP, 0, 0);
    if (h == NULL) return job.IsCancelled() ? DOWNLOAD_CANCELLED : DOWNLOAD_NO_CONNECTION;
    job.m_hConnect = h;
    if (job.IsCancelled()) return DOWNLOAD_CANCELLED;

    LPCWSTR accept[] = { L"*/*", NULL };
    h = ::HttpOpenRequestW(h, L"GET", strObject, NULL, NULL, accept,
                           INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION, 0);
    if (h == NULL) return job.IsCancelled() ? DOWNLOAD_CANCELLED : DOWNLOAD_NO_REQUEST;
    job.m_hRequest = h;
    if (job.IsCancelled()) return DOWNLOAD_CANCELLED;

    if (!::HttpSendRequestW(h, NULL, 0, NULL, 0)) return job.IsCancelled() ? DOWNLOAD_CANCELLED : DOWNLOAD_READ_FAILED;
    DWORD dwStatus = 0, cb = sizeof(dwStatus);
    if (!::HttpQueryInfoW(h, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &dwStatus, &cb, NULL) || dwStatus != 200)
        return DOWNLOAD_BAD_STATUS;
    WCHAR szLength[32];
    cb = sizeof(szLength);
    LONGLONG llLength = -1;
    if (!::HttpQueryInfoW(h, HTTP_QUERY_CONTENT_LENGTH, szLength, &cb, NULL) || !ParseLength(szLength, llLength))
        llLength = -1;
    if (llLength >= 0 && job.m_bHasSize && llLength != job.m_llExpectedSize) return DOWNLOAD_MISMATCH;

    CPackageWriter writer(job);
    if (!writer.Create(strPackage + L".part")) return job.IsCancelled() ? DOWNLOAD_CANCELLED : DOWNLOAD_WRITE_FAILED;
    std::vector<char> block(kReadBlock);
    int nLastPercent = -1;
    LONGLONG llNextReport = kUnknownLengthStep;
    for (;;) {
        if (job.IsCancelled()) return DOWNLOAD_CANCELLED;
        // A read waits for its whole buffer: ask first what has come, and take that.
        DWORD available = 0;
        if (!::InternetQueryDataAvailable(h, &available, 0, 0))
            return job.IsCancelled() ? DOWNLOAD_CANCELLED : DOWNLOAD_READ_FAILED;
        if (job.IsCancelled()) return DOWNLOAD_CANCELLED;
        const DWORD want = available == 0 ? 1 : available < kReadBlock ? available : kReadBlock;
        DWORD got = 0;
        if (!::InternetReadFile(h, block.data(), want, &got))
            return job.IsCancelled() ? DOWNLOAD_CANCELLED : DOWNLOAD_READ_FAILED;
        if (got == 0) break;
        if (!writer.Write(block.data(), got)) return DOWNLOAD_WRITE_FAILED;
        const LONGLONG llReceived = writer.GetWritten();
        if (llLength > 0) {
            LONGLONG pct = llReceived * 100 / llLength;
            int nPercent = (int)(pct > 100 ? 100 : pct);
            if (nPercent != nLastPercent) {
                nLastPercent = nPercent;
                ::PostMessageW(job.m_hDlg, WM_UPDATE_DOWNLOAD_PROGRESS, (WPARAM)nPercent, 0);
            }
        } else if (llLength < 0 && llReceived >= llNextReport) {
            llNextReport = llReceived + kUnknownLengthStep;
            ::PostMessageW(job.m_hDlg, WM_UPDATE_DOWNLOAD_PROGRESS, 0, (LPARAM)(llReceived / 1024));
        }
    }
    if (job.IsCancelled()) return DOWNLOAD_CANCELLED;

    const LONGLONG llReceived = writer.GetWritten();
    if (llReceived == 0 || (llLength >= 0 && llReceived != llLength)) return DOWNLOAD_INCOMPLETE;
    if (job.m_bHasSize && llReceived != job.m_llExpectedSize) return DOWNLOAD_MISMATCH;
    CString strSha = writer.FinishHash();
    if (strSha.IsEmpty()) return DOWNLOAD_WRITE_FAILED;
    if (!job.m_strExpectedSha256.IsEmpty() && strSha != job.m_strExpectedSha256) return DOWNLOAD_MISMATCH;
    if (llLength < 0) ::PostMessageW(job.m_hDlg, WM_UPDATE_DOWNLOAD_PROGRESS, 0, (LPARAM)((llReceived + 1023) / 1024));
    return writer.MoveTo(strPackage) ? DOWNLOAD_DONE : DOWNLOAD_WRITE_FAILED;
}
