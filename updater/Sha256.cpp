#include "Sha256.h"
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
