// Times, files and file searches.  Failures come back as results: nothing here throws.
#pragma once
#include "afxobject.h"
#include "afxstr.h"

class CTimeSpan
{
public:
    CTimeSpan() : m_timeSpan(0) {}
    CTimeSpan(LONGLONG time) : m_timeSpan(time) {}
    CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs)
        : m_timeSpan(((LONGLONG)lDays * 24 * 3600) + nHours * 3600 + nMins * 60 + nSecs) {}

    LONGLONG GetDays() const { return m_timeSpan / (24 * 3600); }
    LONGLONG GetTotalHours() const { return m_timeSpan / 3600; }
    LONG GetHours() const { return (LONG)(GetTotalHours() - GetDays() * 24); }
    LONGLONG GetTotalMinutes() const { return m_timeSpan / 60; }
    LONG GetMinutes() const { return (LONG)(GetTotalMinutes() - GetTotalHours() * 60); }
    LONGLONG GetTotalSeconds() const { return m_timeSpan; }
    LONG GetSeconds() const { return (LONG)(GetTotalSeconds() - GetTotalMinutes() * 60); }
    LONGLONG GetTimeSpan() const { return m_timeSpan; }

    CTimeSpan operator+(CTimeSpan span) const { return CTimeSpan(m_timeSpan + span.m_timeSpan); }
    CTimeSpan operator-(CTimeSpan span) const { return CTimeSpan(m_timeSpan - span.m_timeSpan); }
    bool operator==(CTimeSpan span) const { return m_timeSpan == span.m_timeSpan; }
    bool operator!=(CTimeSpan span) const { return m_timeSpan != span.m_timeSpan; }
    bool operator<(CTimeSpan span) const { return m_timeSpan < span.m_timeSpan; }
    bool operator>(CTimeSpan span) const { return m_timeSpan > span.m_timeSpan; }

private:
    LONGLONG m_timeSpan;   // seconds
};

// A moment as seconds since 1970-01-01 00:00 UTC; the broken-down fields and Format
// are local time.
class CTime
{
public:
    static CTime GetCurrentTime();

    CTime() : m_time(0) {}
    CTime(LONGLONG time) : m_time(time) {}
    CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);
    CTime(const SYSTEMTIME& st, int nDST = -1);   // local time
    CTime(const FILETIME& ft, int nDST = -1);     // UTC, as file times are

    LONGLONG GetTime() const { return m_time; }
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;   // 1 = Sunday
    BOOL GetAsSystemTime(SYSTEMTIME& st) const;   // local time
    BOOL GetAsFileTime(FILETIME& ft) const;       // UTC

    // %Y %y %m %d %H %I %M %S %p %j %a %A %b %B %w %%; anything else is copied.
    CString Format(LPCWSTR pFormat) const;
    CString FormatGmt(LPCWSTR pFormat) const;

    CTimeSpan operator-(CTime time) const { return CTimeSpan(m_time - time.m_time); }
    CTime operator-(CTimeSpan span) const { return CTime(m_time - span.GetTimeSpan()); }
    CTime operator+(CTimeSpan span) const { return CTime(m_time + span.GetTimeSpan()); }
    bool operator==(CTime time) const { return m_time == time.m_time; }
    bool operator!=(CTime time) const { return m_time != time.m_time; }
    bool operator<(CTime time) const { return m_time < time.m_time; }
    bool operator>(CTime time) const { return m_time > time.m_time; }
    bool operator<=(CTime time) const { return m_time <= time.m_time; }
    bool operator>=(CTime time) const { return m_time >= time.m_time; }

private:
    BOOL GetFields(SYSTEMTIME& st, BOOL bLocal) const;
    CString FormatFields(LPCWSTR pFormat, BOOL bLocal) const;
    LONGLONG m_time;
};

struct CFileStatus
{
    CTime m_ctime;        // creation
    CTime m_mtime;        // last write
    CTime m_atime;        // last access
    ULONGLONG m_size;
    BYTE m_attribute;     // the low byte of the file attributes
    BYTE m_padding;
    WCHAR m_szFullName[MAX_PATH];
};

class CFileException : public CObject
{
public:
    enum { none, genericException, fileNotFound, badPath, tooManyOpenFiles, accessDenied, invalidFile,
           removeCurrentDir, directoryFull, badSeek, hardIO, sharingViolation, lockViolation, diskFull,
           endOfFile };
    CFileException() : m_cause(none), m_lOsError(0) {}
    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
    static int OsErrorToException(LONG lOsError);
};

class CFile : public CObject
{
public:
    enum OpenFlags {
        modeRead = 0x0000, modeWrite = 0x0001, modeReadWrite = 0x0002,
        shareCompat = 0x0000, shareExclusive = 0x0010, shareDenyWrite = 0x0020, shareDenyRead = 0x0030,
        shareDenyNone = 0x0040, modeNoInherit = 0x0080, modeCreate = 0x1000, modeNoTruncate = 0x2000,
        typeText = 0x4000, typeBinary = 0x8000
    };
    enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };
    static const HANDLE hFileNull;

    CFile();
    explicit CFile(HANDLE hFile);
    virtual ~CFile();

    HANDLE m_hFile;
    operator HANDLE() const { return m_hFile; }

    // FALSE, with the reason in pError when given, when the file cannot be opened.
    virtual BOOL Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL);
    virtual void Close();
    void Abort() { Close(); }
    // Bytes read; 0 at the end of the file or on failure.
    virtual UINT Read(void* lpBuf, UINT nCount);
    // FALSE when not every byte was written.
    virtual BOOL Write(const void* lpBuf, UINT nCount);
    // The new position, or (ULONGLONG)-1 when the seek failed.
    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    void SeekToBegin() { Seek(0, begin); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    virtual BOOL SetLength(ULONGLONG dwNewLen);
    virtual BOOL Flush();
    CString GetFilePath() const { return m_strFileName; }
    CString GetFileName() const;
    CString GetFileTitle() const;

    BOOL GetStatus(CFileStatus& rStatus) const;
    static BOOL GetStatus(LPCWSTR lpszFileName, CFileStatus& rStatus);
    static BOOL Remove(LPCWSTR lpszFileName);
    static BOOL Rename(LPCWSTR lpszOldName, LPCWSTR lpszNewName);

protected:
    CString m_strFileName;
    BOOL m_bCloseOnDelete;
};

// Walks the files matching a pattern.  After FindFile, each FindNextFile steps to the
// next match and answers whether one more follows it, so the loop is
//   BOOL more = ff.FindFile(L"C:\\x\\*.bmp"); while (more) { more = ff.FindNextFile(); ... }
class CFileFind : public CObject
{
public:
    CFileFind();
    virtual ~CFileFind();

    BOOL FindFile(LPCWSTR pstrName = NULL, DWORD dwUnused = 0);
    BOOL FindNextFile();
    void Close();

    CString GetFileName() const;
    CString GetFilePath() const;
    CString GetFileTitle() const;
    CString GetRoot() const { return m_strRoot; }
    ULONGLONG GetLength() const;
    BOOL GetLastWriteTime(FILETIME* pTimeStamp) const;
    BOOL GetLastWriteTime(CTime& refTime) const;
    BOOL GetCreationTime(FILETIME* pTimeStamp) const;
    BOOL GetCreationTime(CTime& refTime) const;
    BOOL MatchesMask(DWORD dwMask) const;
    BOOL IsDots() const;
    BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    BOOL IsReadOnly() const { return MatchesMask(FILE_ATTRIBUTE_READONLY); }
    BOOL IsHidden() const { return MatchesMask(FILE_ATTRIBUTE_HIDDEN); }
    BOOL IsSystem() const { return MatchesMask(FILE_ATTRIBUTE_SYSTEM); }
    BOOL IsArchived() const { return MatchesMask(FILE_ATTRIBUTE_ARCHIVE); }
    BOOL IsNormal() const { return MatchesMask(FILE_ATTRIBUTE_NORMAL); }
    BOOL IsCompressed() const { return MatchesMask(FILE_ATTRIBUTE_COMPRESSED); }

private:
    HANDLE m_hFind;
    WIN32_FIND_DATAW m_found;
    WIN32_FIND_DATAW m_next;
    BOOL m_bHaveFound;
    BOOL m_bHaveNext;
    CString m_strRoot;   // folder of the pattern, ending in a backslash
};
