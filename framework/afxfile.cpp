#include "afximpl.h"
#include "afxprotect.h"

namespace {

// Seconds between 1601-01-01 (file times) and 1970-01-01 (CTime).
const LONGLONG kEpochDelta = 11644473600LL;

void TimeToFileTime(LONGLONG t, FILETIME& ft)
{
    ULONGLONG v = (ULONGLONG)(t + kEpochDelta) * 10000000ULL;
    ft.dwLowDateTime = (DWORD)v;
    ft.dwHighDateTime = (DWORD)(v >> 32);
}

LONGLONG FileTimeToTime(const FILETIME& ft)
{
    ULONGLONG v = ((ULONGLONG)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
    return (LONGLONG)(v / 10000000ULL) - kEpochDelta;
}

LONGLONG LocalSystemTimeToTime(const SYSTEMTIME& local)
{
    SYSTEMTIME utc;
    FILETIME ft;
    if (!::TzSpecificLocalTimeToSystemTime(NULL, &local, &utc) || !::SystemTimeToFileTime(&utc, &ft)) return 0;
    return FileTimeToTime(ft);
}

LPCWSTR const kDayNames[] = { L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday" };
LPCWSTR const kMonthNames[] = { L"January", L"February", L"March", L"April", L"May", L"June", L"July",
                                L"August", L"September", L"October", L"November", L"December" };

int DayOfYear(const SYSTEMTIME& st)
{
    static const int before[] = { 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334 };
    int y = st.wYear;
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return before[st.wMonth - 1] + st.wDay + (leap && st.wMonth > 2 ? 1 : 0);
}

} // namespace

// CTime --------------------------------------------------------------------------------

CTime CTime::GetCurrentTime()
{
    FILETIME ft;
    ::GetSystemTimeAsFileTime(&ft);
    return CTime(FileTimeToTime(ft));
}

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int)
{
    SYSTEMTIME st = {};
    st.wYear = (WORD)nYear;
    st.wMonth = (WORD)nMonth;
    st.wDay = (WORD)nDay;
    st.wHour = (WORD)nHour;
    st.wMinute = (WORD)nMin;
    st.wSecond = (WORD)nSec;
    m_time = LocalSystemTimeToTime(st);
}

CTime::CTime(const SYSTEMTIME& st, int)
{
    SYSTEMTIME local = st;
    local.wMilliseconds = 0;
    m_time = LocalSystemTimeToTime(local);
}

CTime::CTime(const FILETIME& ft, int) : m_time(FileTimeToTime(ft)) {}

BOOL CTime::GetFields(SYSTEMTIME& st, BOOL bLocal) const
{
    FILETIME ft;
    SYSTEMTIME utc;
    TimeToFileTime(m_time, ft);
    if (!::FileTimeToSystemTime(&ft, &utc)) return FALSE;
    if (!bLocal) {
        st = utc;
        return TRUE;
    }
    return ::SystemTimeToTzSpecificLocalTime(NULL, &utc, &st);
}

BOOL CTime::GetAsSystemTime(SYSTEMTIME& st) const { return GetFields(st, TRUE); }

BOOL CTime::GetAsFileTime(FILETIME& ft) const
{
    TimeToFileTime(m_time, ft);
    return TRUE;
}

int CTime::GetYear() const { SYSTEMTIME st = {}; GetFields(st, TRUE); return st.wYear; }
int CTime::GetMonth() const { SYSTEMTIME st = {}; GetFields(st, TRUE); return st.wMonth; }
int CTime::GetDay() const { SYSTEMTIME st = {}; GetFields(st, TRUE); return st.wDay; }
int CTime::GetHour() const { SYSTEMTIME st = {}; GetFields(st, TRUE); return st.wHour; }
int CTime::GetMinute() const { SYSTEMTIME st = {}; GetFields(st, TRUE); return st.wMinute; }
int CTime::GetSecond() const { SYSTEMTIME st = {}; GetFields(st, TRUE); return st.wSecond; }
int CTime::GetDayOfWeek() const { SYSTEMTIME st = {}; GetFields(st, TRUE); return st.wDayOfWeek + 1; }

CString CTime::FormatFields(LPCWSTR pFormat, BOOL bLocal) const
{
    CString out;
    SYSTEMTIME st = {};
    if (pFormat == NULL || !GetFields(st, bLocal)) return out;
    CString part;
    for (LPCWSTR p = pFormat; *p; p++) {
        if (*p != L'%' || p[1] == 0) {
            out += *p;
            continue;
        }
        p++;
        if (*p == L'#' && p[1] != 0) p++;   // the "no leading zeros" flag is read and ignored
        switch (*p) {
        case L'Y': part.Format(L"%04d", st.wYear); break;
        case L'y': part.Format(L"%02d", st.wYear % 100); break;
        case L'm': part.Format(L"%02d", st.wMonth); break;
        case L'd': part.Format(L"%02d", st.wDay); break;
        case L'H': part.Format(L"%02d", st.wHour); break;
        case L'I': part.Format(L"%02d", st.wHour % 12 == 0 ? 12 : st.wHour % 12); break;
        case L'M': part.Format(L"%02d", st.wMinute); break;
        case L'S': part.Format(L"%02d", st.wSecond); break;
        case L'p': part = st.wHour < 12 ? L"AM" : L"PM"; break;
        case L'j': part.Format(L"%03d", DayOfYear(st)); break;
        case L'w': part.Format(L"%d", st.wDayOfWeek); break;
        case L'A': part = kDayNames[st.wDayOfWeek % 7]; break;
        case L'a': part = CString(kDayNames[st.wDayOfWeek % 7]).Left(3); break;
        case L'B': part = kMonthNames[(st.wMonth + 11) % 12]; break;
        case L'b': part = CString(kMonthNames[(st.wMonth + 11) % 12]).Left(3); break;
        case L'%': part = L"%"; break;
        default:
            part = L"%";
            part += *p;
            break;
        }
        out += part;
    }
    return out;
}

CString CTime::Format(LPCWSTR pFormat) const { return FormatFields(pFormat, TRUE); }
CString CTime::FormatGmt(LPCWSTR pFormat) const { return FormatFields(pFormat, FALSE); }

// CFileException -------------------------------------------------------------------------

int CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND: case ERROR_INVALID_NAME: case ERROR_BAD_PATHNAME: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED: case ERROR_WRITE_PROTECT: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_DISK_FULL: case ERROR_HANDLE_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    case ERROR_NEGATIVE_SEEK: case ERROR_SEEK: return badSeek;
    }
    return genericException;
}

// CFile ----------------------------------------------------------------------------------

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

CFile::CFile() : m_hFile(INVALID_HANDLE_VALUE), m_bCloseOnDelete(FALSE) {}
CFile::CFile(HANDLE hFile) : m_hFile(hFile), m_bCloseOnDelete(FALSE) {}

CFile::~CFile()
{
    if (m_hFile != INVALID_HANDLE_VALUE && m_bCloseOnDelete) Close();
}

BOOL CFile::Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (m_hFile != INVALID_HANDLE_VALUE) Close();
    nOpenFlags &= ~(UINT)typeBinary;
    DWORD dwAccess = 0;
    switch (nOpenFlags & 3) {
    case modeRead: dwAccess = GENERIC_READ; break;
    case modeWrite: dwAccess = GENERIC_WRITE; break;
    case modeReadWrite: dwAccess = GENERIC_READ | GENERIC_WRITE; break;
    default: dwAccess = GENERIC_READ; break;
    }
    DWORD dwShare = 0;
    switch (nOpenFlags & 0x70) {
    case shareCompat: case shareExclusive: dwShare = 0; break;
    case shareDenyWrite: dwShare = FILE_SHARE_READ; break;
    case shareDenyRead: dwShare = FILE_SHARE_WRITE; break;
    case shareDenyNone: dwShare = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: dwShare = 0; break;
    }
    SECURITY_ATTRIBUTES sa = { sizeof(sa), NULL, (nOpenFlags & modeNoInherit) == 0 };
    DWORD dwCreate;
    if (nOpenFlags & modeCreate) dwCreate = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    else dwCreate = OPEN_EXISTING;

    HANDLE hFile = AfxCreateFileRespectingProtection(lpszFileName, dwAccess, dwShare, &sa, dwCreate,
                                                     FILE_ATTRIBUTE_NORMAL);
    if (hFile == INVALID_HANDLE_VALUE) {
        if (pError != NULL) {
            pError->m_lOsError = (LONG)::GetLastError();
            pError->m_cause = CFileException::OsErrorToException(pError->m_lOsError);
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }
    m_hFile = hFile;
    m_bCloseOnDelete = TRUE;
    // Keep the full path: GetStatus and GetFileName answer from it.
    WCHAR full[MAX_PATH * 4];
    DWORD n = ::GetFullPathNameW(lpszFileName, sizeof(full) / sizeof(full[0]), full, NULL);
    m_strFileName = (n > 0 && n < sizeof(full) / sizeof(full[0])) ? CString(full) : CString(lpszFileName);
    return TRUE;
}

void CFile::Close()
{
    if (m_hFile != INVALID_HANDLE_VALUE) ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    if (m_hFile == INVALID_HANDLE_VALUE || nCount == 0 || lpBuf == NULL) return 0;
    DWORD dwRead = 0;
    if (!::ReadFile(m_hFile, lpBuf, nCount, &dwRead, NULL)) return 0;
    return (UINT)dwRead;
}

BOOL CFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0) return TRUE;
    if (m_hFile == INVALID_HANDLE_VALUE || lpBuf == NULL) return FALSE;
    DWORD dwWritten = 0;
    return ::WriteFile(m_hFile, lpBuf, nCount, &dwWritten, NULL) && dwWritten == nCount;
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    if (m_hFile == INVALID_HANDLE_VALUE || nFrom > end) return (ULONGLONG)-1;
    LARGE_INTEGER dist, pos;
    dist.QuadPart = lOff;
    if (!::SetFilePointerEx(m_hFile, dist, &pos, nFrom)) return (ULONGLONG)-1;
    return (ULONGLONG)pos.QuadPart;
}

ULONGLONG CFile::GetPosition() const
{
    if (m_hFile == INVALID_HANDLE_VALUE) return (ULONGLONG)-1;
    LARGE_INTEGER dist, pos;
    dist.QuadPart = 0;
    if (!::SetFilePointerEx(m_hFile, dist, &pos, FILE_CURRENT)) return (ULONGLONG)-1;
    return (ULONGLONG)pos.QuadPart;
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (m_hFile == INVALID_HANDLE_VALUE || !::GetFileSizeEx(m_hFile, &size)) return 0;
    return (ULONGLONG)size.QuadPart;
}

BOOL CFile::SetLength(ULONGLONG dwNewLen)
{
    ULONGLONG pos = GetPosition();
    if (Seek((LONGLONG)dwNewLen, begin) == (ULONGLONG)-1 || !::SetEndOfFile(m_hFile)) return FALSE;
    if (pos < dwNewLen) Seek((LONGLONG)pos, begin);
    return TRUE;
}

BOOL CFile::Flush() { return m_hFile != INVALID_HANDLE_VALUE && ::FlushFileBuffers(m_hFile); }

CString CFile::GetFileName() const
{
    int n = m_strFileName.ReverseFind(L'\\');
    int m = m_strFileName.ReverseFind(L'/');
    if (m > n) n = m;
    return m_strFileName.Mid(n + 1);
}

CString CFile::GetFileTitle() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind(L'.');
    return dot < 0 ? name : name.Left(dot);
}

BOOL CFile::GetStatus(CFileStatus& rStatus) const
{
    rStatus = CFileStatus();
    if (m_hFile == INVALID_HANDLE_VALUE) return FALSE;
    lstrcpynW(rStatus.m_szFullName, m_strFileName, MAX_PATH);
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(m_hFile, &info)) return FALSE;
    rStatus.m_ctime = CTime(info.ftCreationTime);
    rStatus.m_atime = CTime(info.ftLastAccessTime);
    rStatus.m_mtime = CTime(info.ftLastWriteTime);
    rStatus.m_size = ((ULONGLONG)info.nFileSizeHigh << 32) | info.nFileSizeLow;
    rStatus.m_attribute = (BYTE)info.dwFileAttributes;
    return TRUE;
}

BOOL CFile::GetStatus(LPCWSTR lpszFileName, CFileStatus& rStatus)
{
    rStatus = CFileStatus();
    if (lpszFileName == NULL || *lpszFileName == 0) return FALSE;
    DWORD n = ::GetFullPathNameW(lpszFileName, MAX_PATH, rStatus.m_szFullName, NULL);
    if (n == 0 || n >= MAX_PATH) {
        rStatus.m_szFullName[0] = 0;
        return FALSE;
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(lpszFileName, GetFileExInfoStandard, &data)) return FALSE;
    rStatus.m_ctime = CTime(data.ftCreationTime);
    rStatus.m_atime = CTime(data.ftLastAccessTime);
    rStatus.m_mtime = CTime(data.ftLastWriteTime);
    rStatus.m_size = ((ULONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
    rStatus.m_attribute = (BYTE)data.dwFileAttributes;
    return TRUE;
}

BOOL CFile::Remove(LPCWSTR lpszFileName) { return ::DeleteFileW(lpszFileName); }
BOOL CFile::Rename(LPCWSTR lpszOldName, LPCWSTR lpszNewName) { return ::MoveFileW(lpszOldName, lpszNewName); }

// CFileFind ------------------------------------------------------------------------------

CFileFind::CFileFind() : m_hFind(INVALID_HANDLE_VALUE), m_found(), m_next(), m_bHaveFound(FALSE), m_bHaveNext(FALSE) {}
CFileFind::~CFileFind() { Close(); }

void CFileFind::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE) ::FindClose(m_hFind);
    m_hFind = INVALID_HANDLE_VALUE;
    m_bHaveFound = m_bHaveNext = FALSE;
    m_strRoot.Empty();
}

BOOL CFileFind::FindFile(LPCWSTR pstrName, DWORD)
{
    Close();
    CString pattern = (pstrName == NULL || *pstrName == 0) ? CString(L"*.*") : CString(pstrName);
    m_hFind = ::FindFirstFileW(pattern, &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE) return FALSE;
    m_bHaveNext = TRUE;

    WCHAR full[MAX_PATH * 4];
    DWORD n = ::GetFullPathNameW(pattern, sizeof(full) / sizeof(full[0]), full, NULL);
    CString root = (n > 0 && n < sizeof(full) / sizeof(full[0])) ? CString(full) : pattern;
    int cut = root.ReverseFind(L'\\');
    int cut2 = root.ReverseFind(L'/');
    if (cut2 > cut) cut = cut2;
    m_strRoot = cut >= 0 ? root.Left(cut + 1) : CString();
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (!m_bHaveNext) {
        m_bHaveFound = FALSE;
        return FALSE;
    }
    m_found = m_next;
    m_bHaveFound = TRUE;
    m_bHaveNext = m_hFind != INVALID_HANDLE_VALUE && ::FindNextFileW(m_hFind, &m_next);
    return m_bHaveNext;
}

CString CFileFind::GetFileName() const { return m_bHaveFound ? CString(m_found.cFileName) : CString(); }
CString CFileFind::GetFilePath() const { return m_bHaveFound ? m_strRoot + m_found.cFileName : CString(); }

CString CFileFind::GetFileTitle() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind(L'.');
    return dot <= 0 ? name : name.Left(dot);
}

ULONGLONG CFileFind::GetLength() const
{
    if (!m_bHaveFound) return 0;
    return ((ULONGLONG)m_found.nFileSizeHigh << 32) | m_found.nFileSizeLow;
}

BOOL CFileFind::GetLastWriteTime(FILETIME* pTimeStamp) const
{
    if (!m_bHaveFound || pTimeStamp == NULL) return FALSE;
    *pTimeStamp = m_found.ftLastWriteTime;
    return TRUE;
}

BOOL CFileFind::GetLastWriteTime(CTime& refTime) const
{
    if (!m_bHaveFound) return FALSE;
    refTime = CTime(m_found.ftLastWriteTime);
    return TRUE;
}

BOOL CFileFind::GetCreationTime(FILETIME* pTimeStamp) const
{
    if (!m_bHaveFound || pTimeStamp == NULL) return FALSE;
    *pTimeStamp = m_found.ftCreationTime;
    return TRUE;
}

BOOL CFileFind::GetCreationTime(CTime& refTime) const
{
    if (!m_bHaveFound) return FALSE;
    refTime = CTime(m_found.ftCreationTime);
    return TRUE;
}

BOOL CFileFind::MatchesMask(DWORD dwMask) const { return m_bHaveFound && (m_found.dwFileAttributes & dwMask) != 0; }

BOOL CFileFind::IsDots() const
{
    if (!m_bHaveFound || !IsDirectory()) return FALSE;
    LPCWSTR n = m_found.cFileName;
    return (n[0] == L'.' && n[1] == 0) || (n[0] == L'.' && n[1] == L'.' && n[2] == 0);
}
