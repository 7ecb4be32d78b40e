#include "Sha256.h"
#include <string.h>
#include <vector>

CSha256::CSha256() : m_hProv(0), m_hHash(0), m_bFailed(FALSE) {}

CSha256::~CSha256() { Free(); }

void CSha256::Free()
{
    if (m_hHash) ::CryptDestroyHash(m_hHash);
    if (m_hProv) ::CryptReleaseContext(m_hProv, 0);
    m_hHash = 0;
    m_hProv = 0;
}

BOOL CSha256::Begin()
{
    Free();
    m_bFailed = !::CryptAcquireContextW(&m_hProv, NULL, NULL, PROV_RSA_AES, CRYPT_VERIFYCONTEXT) ||
                !::CryptCreateHash(m_hProv, CALG_SHA_256, 0, 0, &m_hHash);
    return !m_bFailed;
}

BOOL CSha256::Add(const void* pData, DWORD cb)
{
    if (m_bFailed || !m_hHash) return FALSE;
    if (cb && !::CryptHashData(m_hHash, (const BYTE*)pData, cb, 0)) m_bFailed = TRUE;
    return !m_bFailed;
}

CString CSha256::Finish()
{
    CString hex;
    BYTE digest[32];
    DWORD cb = sizeof(digest);
    if (!m_bFailed && m_hHash && ::CryptGetHashParam(m_hHash, HP_HASHVAL, digest, &cb, 0) && cb == sizeof(digest)) {
        static const WCHAR kHex[] = L"0123456789abcdef";
        LPWSTR p = hex.GetBuffer(64);
        for (int i = 0; i < 32; i++) {
            p[2 * i] = kHex[digest[i] >> 4];
            p[2 * i + 1] = kHex[digest[i] & 15];
        }
        hex.ReleaseBuffer(64);
    }
    Free();
    return hex;
}

CSha256Pipe::CSha256Pipe() : m_hFree(NULL), m_hFilled(NULL), m_hThread(NULL), m_nNext(0), m_bOk(FALSE)
{
    for (Slot& s : m_slots) {
        s.data = NULL;
        s.cb = 0;
    }
}

CSha256Pipe::~CSha256Pipe()
{
    Stop();
    for (Slot& s : m_slots) delete[] s.data;
}

BOOL CSha256Pipe::Begin()
{
    Stop();
    m_bOk = m_sha.Begin();
    for (Slot& s : m_slots)
        if (s.data == NULL) s.data = new char[kSlotBytes];
    m_nNext = 0;
    m_hFree = ::CreateSemaphoreW(NULL, kSlots, kSlots, NULL);
    m_hFilled = ::CreateSemaphoreW(NULL, 0, kSlots, NULL);
    if (m_bOk && m_hFree && m_hFilled) m_hThread = ::CreateThread(NULL, 0, HashProc, this, 0, NULL);
    m_bOk = m_bOk && m_hThread != NULL;
    return m_bOk;
}

BOOL CSha256Pipe::Add(const void* pData, DWORD cb)
{
    const char* p = (const char*)pData;
    while (m_bOk && cb > 0) {
        ::WaitForSingleObject(m_hFree, INFINITE);
        Slot& s = m_slots[m_nNext];
        s.cb = cb < (DWORD)kSlotBytes ? cb : (DWORD)kSlotBytes;
        memcpy(s.data, p, s.cb);
        p += s.cb;
        cb -= s.cb;
        m_nNext = (m_nNext + 1) % kSlots;
        ::ReleaseSemaphore(m_hFilled, 1, NULL);
    }
    return m_bOk;
}

DWORD WINAPI CSha256Pipe::HashProc(LPVOID pParam)
{
    CSha256Pipe* pipe = (CSha256Pipe*)pParam;
    for (int i = 0;; i = (i + 1) % kSlots) {
        ::WaitForSingleObject(pipe->m_hFilled, INFINITE);
        Slot& s = pipe->m_slots[i];
        if (s.cb == 0) break;
        if (!pipe->m_sha.Add(s.data, s.cb)) pipe->m_bOk = FALSE;
        ::ReleaseSemaphore(pipe->m_hFree, 1, NULL);
    }
    return 0;
}

void CSha256Pipe::Stop()
{
    if (m_hThread) {
        // An empty slot ends the hashing thread.
        ::WaitForSingleObject(m_hFree, INFINITE);
        m_slots[m_nNext].cb = 0;
        ::ReleaseSemaphore(m_hFilled, 1, NULL);
        ::WaitForSingleObject(m_hThread, INFINITE);
        ::CloseHandle(m_hThread);
        m_hThread = NULL;
    }
    if (m_hFree) ::CloseHandle(m_hFree);
    if (m_hFilled) ::CloseHandle(m_hFilled);
    m_hFree = m_hFilled = NULL;
}

CString CSha256Pipe::Finish()
{
    Stop();
    CString hex;
    if (m_bOk) hex = m_sha.Finish();
    m_bOk = FALSE;
    return hex;
}

BOOL Sha256OfFile(const CString& strPath, CString& strHex, LONGLONG& llSize)
{
    strHex.Empty();
    llSize = 0;
    HANDLE h = ::CreateFileW(strPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (h == INVALID_HANDLE_VALUE) return FALSE;
    CSha256 sha;
    BOOL ok = sha.Begin();
    std::vector<char> buf(256 * 1024);
    for (DWORD got = 0; ok; llSize += got) {
        ok = ::ReadFile(h, buf.data(), (DWORD)buf.size(), &got, NULL);
        if (!ok || got == 0) break;
        ok = sha.Add(buf.data(), got);
    }
    ::CloseHandle(h);
    if (ok) strHex = sha.Finish();
    return ok && !strHex.IsEmpty();
}
