#include "SfxPackage.h"
#include <string.h>
#include <vector>

namespace {

const DWORD kCopyBlock = 256 * 1024;
// Marker, count and the largest table the entry limits allow.
const LONGLONG kMaxTail = SFX_MARKER_LEN + 4 + (LONGLONG)SFX_MAX_ENTRIES * (12 + SFX_MAX_NAME_BYTES);

INT32 ReadInt32(const unsigned char* p)
{
    return (INT32)((UINT32)p[0] | ((UINT32)p[1] << 8) | ((UINT32)p[2] << 16) | ((UINT32)p[3] << 24));
}

BOOL ReadAt(HANDLE hFile, LONGLONG llPos, void* pBuf, DWORD cb)
{
    LARGE_INTEGER li;
    li.QuadPart = llPos;
    if (!::SetFilePointerEx(hFile, li, NULL, FILE_BEGIN)) return FALSE;
    DWORD got = 0;
    return ::ReadFile(hFile, pBuf, cb, &got, NULL) && got == cb;
}

bool IsSeparator(WCHAR c) { return c == '\\' || c == '/'; }

bool IsDeviceName(LPCWSTR p, int n)
{
    // The part up to its first dot, trailing blanks ignored, is what the platform matches.
    int len = 0;
    while (len < n && p[len] != '.') len++;
    while (len > 0 && p[len - 1] == ' ') len--;
    CString base(p, len);
    base.MakeUpper();
    static const WCHAR* const kDevices[] = { L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$" };
    for (LPCWSTR d : kDevices)
        if (base == d) return true;
    if (len == 4 && (base.Left(3) == L"COM" || base.Left(3) == L"LPT") && base[3] >= '0' && base[3] <= '9')
        return true;
    return false;
}

class CFileHandle
{
public:
    explicit CFileHandle(HANDLE h = INVALID_HANDLE_VALUE) : m_h(h) {}
    ~CFileHandle() { Close(); }
    void Close()
    {
        if (m_h != INVALID_HANDLE_VALUE) ::CloseHandle(m_h);
        m_h = INVALID_HANDLE_VALUE;
    }
    operator HANDLE() const { return m_h; }
    bool IsValid() const { return m_h != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_h;
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
};

} // namespace

BOOL SfxDecodeName(const char* pBytes, int nLength, CString& strName)
{
    strName.Empty();
    if (nLength <= 0) return nLength == 0;
    int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, pBytes, nLength, NULL, 0);
    if (n <= 0) return FALSE;
    LPWSTR p = strName.GetBuffer(n);
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, pBytes, nLength, p, n);
    strName.ReleaseBuffer(n);
    return TRUE;
}

std::string SfxEncodeName(const CString& strName)
{
    int n = ::WideCharToMultiByte(CP_UTF8, 0, strName, strName.GetLength(), NULL, 0, NULL, NULL);
    std::string s(n > 0 ? n : 0, '\0');
    if (n > 0) ::WideCharToMultiByte(CP_UTF8, 0, strName, strName.GetLength(), &s[0], n, NULL, NULL);
    return s;
}

BOOL CSfxPackage::IsSafeEntryName(const CString& strName)
{
    int n = strName.GetLength();
    if (n == 0 || IsSeparator(strName[0])) return FALSE;
    LPCWSTR p = strName;
    for (int i = 0; i < n; i++) {
        WCHAR c = p[i];
        if (c < 0x20 || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|')
            return FALSE;
    }
    int start = 0;
    while (start <= n) {
        int end = start;
        while (end < n && !IsSeparator(p[end])) end++;
        int len = end - start;
        // Empty parts, "." and "..", and parts the platform would shorten (trailing dots
        // or blanks, which can turn "..." into "..") are all refused.
        if (len == 0 || len > 255 || p[end - 1] == '.' || p[end - 1] == ' ') return FALSE;
        if (IsDeviceName(p + start, len)) return FALSE;
        start = end + 1;
    }
    return TRUE;
}

CSfxPackage::CSfxPackage() : m_nFileCount(0), m_nTailLength(0)
{
    Reset();
}

void CSfxPackage::Reset()
{
    for (CSfxEntry& e : m_entries) {
        e.m_strName.Empty();
        e.m_nSize = 0;
        e.m_nOffset = 0;
    }
    m_nFileCount = 0;
    m_nTailLength = 0;
}

int CSfxPackage::Open(const CString& strPath)
{
    Reset();
    m_strPath = strPath;
    CFileHandle file(::CreateFileW(strPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.IsValid()) return SFX_OPEN_FAILED;
    LARGE_INTEGER liSize;
    if (!::GetFileSizeEx(file, &liSize)) return SFX_OPEN_FAILED;
    const LONGLONG llFile = liSize.QuadPart;

    char marker[SFX_MARKER_LEN];
    if (llFile < SFX_MARKER_LEN || !ReadAt(file, llFile - SFX_MARKER_LEN, marker, SFX_MARKER_LEN) ||
        memcmp(marker, SFX_MARKER, SFX_MARKER_LEN) != 0)
        return SFX_NO_TRAILER;

    // The whole table fits in a bounded tail; read it once and parse backwards.
    const LONGLONG llTail = llFile < kMaxTail ? llFile : kMaxTail;
    std::vector<unsigned char> tail((size_t)llTail);
    if (!ReadAt(file, llFile - llTail, tail.data(), (DWORD)llTail)) return SFX_BAD_TABLE;
    const unsigned char* pEnd = tail.data() + tail.size();

    if (llTail < SFX_MARKER_LEN + 4) return SFX_BAD_TABLE;
    const UINT32 nCount = (UINT32)ReadInt32(pEnd - SFX_MARKER_LEN - 4);
    if (nCount == 0) return SFX_NO_FILES;
    if (nCount > SFX_MAX_ENTRIES) return SFX_BAD_TABLE;

    LONGLONG t = SFX_MARKER_LEN + 4;
    CSfxEntry parsed[SFX_MAX_ENTRIES];
    for (int k = (int)nCount - 1; k >= 0; k--) {
        if (t + 4 > llTail) return SFX_BAD_TABLE;
        const INT32 nNameLen = ReadInt32(pEnd - t - 4);
        if (nNameLen <= 0 || nNameLen > SFX_MAX_NAME_BYTES) return SFX_BAD_TABLE;
        if (t + 12 + nNameLen > llTail) return SFX_BAD_TABLE;
        const unsigned char* pName = pEnd - t - 4 - nNameLen;
        CSfxEntry& e = parsed[k];
        if (!SfxDecodeName((const char*)pName, nNameLen, e.m_strName)) return SFX_BAD_TABLE;
        e.m_nSize = ReadInt32(pName - 4);
        e.m_nOffset = ReadInt32(pName - 8);
        t += 12 + nNameLen;
    }
    // Stored bytes lie before the table; every name stays inside the target folder.
    const LONGLONG llData = llFile - t;
    for (UINT32 k = 0; k < nCount; k++) {
        const CSfxEntry& e = parsed[k];
        if (e.m_nOffset < 0 || e.m_nSize < 0 || (LONGLONG)e.m_nOffset + e.m_nSize > llData)
            return SFX_BAD_TABLE;
        if (!IsSafeEntryName(e.m_strName)) return SFX_BAD_TABLE;
    }

    for (UINT32 k = 0; k < nCount; k++) m_entries[k] = parsed[k];
    m_nFileCount = nCount;
    m_nTailLength = (UINT32)t;
    return SFX_OK;
}

int CSfxPackage::ExtractAll(const CString& strFolder, SFX_PROGRESS_CALLBACK pfnProgress, void* pContext)
{
    CString folder = strFolder;
    if (folder.IsEmpty() || folder[folder.GetLength() - 1] != '\\') folder += L'\\';
    CFileHandle file(::CreateFileW(m_strPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, NULL));
    if (!file.IsValid()) return SFX_READ_FAILED;

    int nResult = SFX_OK;
    for (int k = (int)m_nFileCount - 1; k >= 0; k--) {
        int r = ExtractFile(file, k, folder);
        if (r != SFX_OK && nResult == SFX_OK) nResult = r;
        if (pfnProgress) pfnProgress(&m_entries[k], pContext);
    }
    return nResult;
}

int CSfxPackage::ExtractFile(HANDLE hPackage, int nIndex, const CString& strFolder)
{
    if (nIndex < 0 || (UINT32)nIndex >= m_nFileCount) return SFX_BAD_TABLE;
    const CSfxEntry& e = m_entries[nIndex];
    CString target = strFolder + e.m_strName;
    target.Replace(L'/', L'\\');

    // Written beside the target under a temporary name and moved into place, so a file
    // that fails or is in use keeps its old content; a loaded module is replaced by the
    // move, never overwritten in place.
    CString dir = target.Left(target.ReverseFind(L'\\') + 1);
    WCHAR temp[MAX_PATH];
    if (!::GetTempFileNameW(dir, L"~jo", 0, temp)) return SFX_CREATE_FAILED;

    int nResult = SFX_OK;
    {
        CFileHandle out(::CreateFileW(temp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
        if (!out.IsValid()) {
            ::DeleteFileW(temp);
            return SFX_CREATE_FAILED;
        }
        LARGE_INTEGER li;
        li.QuadPart = e.m_nOffset;
        if (!::SetFilePointerEx(hPackage, li, NULL, FILE_BEGIN)) nResult = SFX_READ_FAILED;
        std::vector<char> block(e.m_nSize < (INT32)kCopyBlock ? (size_t)e.m_nSize : kCopyBlock);
        LONGLONG left = e.m_nSize;
        while (nResult == SFX_OK && left > 0) {
            DWORD want = left < (LONGLONG)block.size() ? (DWORD)left : (DWORD)block.size();
            DWORD got = 0, put = 0;
            // A read that comes back short means the package ended early: no retry.
            if (!::ReadFile(hPackage, block.data(), want, &got, NULL) || got != want)
                nResult = SFX_READ_FAILED;
            else if (!::WriteFile(out, block.data(), got, &put, NULL) || put != got)
                nResult = SFX_CREATE_FAILED;
            else
                left -= got;
        }
    }
    if (nResult == SFX_OK && !::MoveFileExW(temp, target, MOVEFILE_REPLACE_EXISTING))
        nResult = SFX_CREATE_FAILED;
    if (nResult != SFX_OK) ::DeleteFileW(temp);
    return nResult;
}
