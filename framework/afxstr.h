// CString: a WCHAR string with the framework's value semantics.
// Every member that allocates or frees is compiled into the framework module, so a
// string filled in one module may be destroyed in another.
#pragma once
#include <windows.h>
#include <stdarg.h>
#include <cstddef>

// A CString handed to Format or any other "..." function arrives as the address of a
// temporary copy, not as its text: make that a compile error and pass (LPCWSTR)str.
#pragma GCC diagnostic error "-Wconditionally-supported"

class CString
{
public:
    CString();
    CString(const CString& stringSrc);
    CString(CString&& stringSrc) noexcept;
    CString(WCHAR ch, int nRepeat = 1);
    CString(LPCWSTR lpsz);              // NULL gives an empty string; MAKEINTRESOURCE loads it
    CString(LPCWSTR lpch, int nLength);
    CString(LPCSTR lpsz);               // converted from the ANSI code page; NULL gives empty
    CString(LPCSTR lpch, int nLength);
    CString(const unsigned char* psz);
    CString(std::nullptr_t);
    ~CString();

    int GetLength() const;
    BOOL IsEmpty() const;
    void Empty();

    WCHAR GetAt(int nIndex) const;
    WCHAR operator[](int nIndex) const;
    void SetAt(int nIndex, WCHAR ch);
    operator LPCWSTR() const { return m_pchData; }

    const CString& operator=(const CString& stringSrc);
    CString& operator=(CString&& stringSrc) noexcept;
    const CString& operator=(WCHAR ch);
    const CString& operator=(LPCWSTR lpsz);
    const CString& operator=(LPCSTR lpsz);
    const CString& operator=(const unsigned char* psz);
    const CString& operator=(std::nullptr_t);

    const CString& operator+=(const CString& string);
    const CString& operator+=(WCHAR ch);
    const CString& operator+=(LPCWSTR lpsz);

    friend CString operator+(const CString& string1, const CString& string2);
    friend CString operator+(const CString& string, WCHAR ch);
    friend CString operator+(WCHAR ch, const CString& string);
    friend CString operator+(const CString& string, LPCWSTR lpsz);
    friend CString operator+(LPCWSTR lpsz, const CString& string);

    int Compare(LPCWSTR lpsz) const;
    int CompareNoCase(LPCWSTR lpsz) const;
    int Collate(LPCWSTR lpsz) const;
    int CollateNoCase(LPCWSTR lpsz) const;

    CString Mid(int nFirst, int nCount) const;
    CString Mid(int nFirst) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(LPCWSTR lpszCharSet) const;
    CString SpanExcluding(LPCWSTR lpszCharSet) const;

    void MakeUpper();
    void MakeLower();
    void MakeReverse();

    int Replace(WCHAR chOld, WCHAR chNew);
    int Replace(LPCWSTR lpszOld, LPCWSTR lpszNew);
    int Remove(WCHAR chRemove);
    int Insert(int nIndex, WCHAR ch);
    int Insert(int nIndex, LPCWSTR pstr);
    int Delete(int nIndex, int nCount = 1);

    CString& Trim();
    CString& Trim(WCHAR chTarget);
    CString& Trim(LPCWSTR lpszTargets);
    void TrimRight();
    void TrimRight(WCHAR chTarget);
    void TrimRight(LPCWSTR lpszTargets);
    void TrimLeft();
    void TrimLeft(WCHAR chTarget);
    void TrimLeft(LPCWSTR lpszTargets);

    int Find(WCHAR ch) const;
    int Find(WCHAR ch, int nStart) const;
    int Find(LPCWSTR lpszSub) const;
    int Find(LPCWSTR lpszSub, int nStart) const;
    int ReverseFind(WCHAR ch) const;
    int FindOneOf(LPCWSTR lpszCharSet) const;

    // The framework's own formatter: %d %i %u %x %X %o %c %s %S %f %e %g %p %%
    // with flags, width, precision and the h/l/ll/I64 sizes.  %s takes a WCHAR
    // string, %S and %hs an ANSI one.  %ld and %lu read 32 bits, as on the platform.
    void Format(LPCWSTR lpszFormat, ...);
    void Format(UINT nFormatID, ...);
    void FormatV(LPCWSTR lpszFormat, va_list argList);

    BOOL LoadString(UINT nID);

    LPWSTR GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);
    LPWSTR GetBufferSetLength(int nNewLength);
    void FreeExtra();
    LPWSTR LockBuffer();
    void UnlockBuffer();

private:
    LPWSTR m_pchData;

    void Init();
    void AllocBuffer(int nLen);
    void Release();
    void AssignCopy(int nSrcLen, LPCWSTR lpszSrcData);
    void ConcatInPlace(int nSrcLen, LPCWSTR lpszSrcData);
    void AssignAnsi(LPCSTR lpsz, int nLength);
    int GetAllocLength() const;
    void SetLength(int nLength);
};

bool operator==(const CString& s1, const CString& s2);
bool operator==(const CString& s1, LPCWSTR s2);
bool operator==(LPCWSTR s1, const CString& s2);
bool operator!=(const CString& s1, const CString& s2);
bool operator!=(const CString& s1, LPCWSTR s2);
bool operator!=(LPCWSTR s1, const CString& s2);
bool operator<(const CString& s1, const CString& s2);
bool operator<(const CString& s1, LPCWSTR s2);
bool operator>(const CString& s1, const CString& s2);
bool operator>(const CString& s1, LPCWSTR s2);
bool operator<=(const CString& s1, const CString& s2);
bool operator>=(const CString& s1, const CString& s2);
