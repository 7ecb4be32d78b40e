#include "afx.h"
#include <stdlib.h>
#include <string.h>

namespace {

struct CStringData
{
    int nDataLength;
    int nAllocLength;
    WCHAR* data() { return reinterpret_cast<WCHAR*>(this + 1); }
};

// The shared empty string; never written except its terminator, which stays 0.
struct NilString
{
    CStringData hdr;
    WCHAR ch[2];
};
NilString g_nil = { { 0, 0 }, { 0, 0 } };

inline CStringData* DataOf(LPCWSTR p) { return reinterpret_cast<CStringData*>(const_cast<LPWSTR>(p)) - 1; }
inline bool IsNil(LPCWSTR p) { return p == g_nil.ch; }

// Counted by hand: strings may be built by global constructors, before any Win32
// function can be called.
int SafeLen(LPCWSTR p)
{
    int n = 0;
    if (p) while (p[n]) n++;
    return n;
}

bool IsResourceId(LPCWSTR p) { return p != NULL && ((ULONG_PTR)p >> 16) == 0; }

WCHAR ToLowerW(WCHAR c)
{
    WCHAR s[2] = { c, 0 };
    CharLowerBuffW(s, 1);
    return s[0];
}

bool InSet(WCHAR c, LPCWSTR set)
{
    for (; set && *set; ++set)
        if (*set == c) return true;
    return false;
}

} // namespace

void CString::Init() { m_pchData = g_nil.ch; }

int CString::GetAllocLength() const { return DataOf(m_pchData)->nAllocLength; }

void CString::AllocBuffer(int nLen)
{
    if (nLen <= 0) { Init(); return; }
    CStringData* pData = (CStringData*)malloc(sizeof(CStringData) + (size_t)(nLen + 1) * sizeof(WCHAR));
    if (pData == NULL) AfxThrowMemoryException();
    pData->nAllocLength = nLen;
    pData->nDataLength = nLen;
    pData->data()[nLen] = 0;
    m_pchData = pData->data();
}

void CString::Release()
{
    if (!IsNil(m_pchData)) free(DataOf(m_pchData));
    Init();
}

void CString::SetLength(int nLength)
{
    if (IsNil(m_pchData)) return;
    DataOf(m_pchData)->nDataLength = nLength;
    m_pchData[nLength] = 0;
}

void CString::AssignCopy(int nSrcLen, LPCWSTR lpszSrcData)
{
    if (nSrcLen <= 0) { Release(); return; }
    // The source may live inside this string's own buffer (s = s.Mid(...) paths).
    if (nSrcLen > GetAllocLength() || (lpszSrcData >= m_pchData && lpszSrcData <= m_pchData + GetLength())) {
        CString tmp;
        tmp.AllocBuffer(nSrcLen);
        memcpy(tmp.m_pchData, lpszSrcData, nSrcLen * sizeof(WCHAR));
        LPWSTR p = tmp.m_pchData;
        tmp.Init();
        Release();
        m_pchData = p;
        return;
    }
    memcpy(m_pchData, lpszSrcData, nSrcLen * sizeof(WCHAR));
    SetLength(nSrcLen);
}

void CString::ConcatInPlace(int nSrcLen, LPCWSTR lpszSrcData)
{
    if (nSrcLen <= 0) return;
    int nOld = GetLength();
    if (nOld + nSrcLen > GetAllocLength()) {
        int nNewAlloc = nOld + nSrcLen;
        nNewAlloc += nNewAlloc / 2;    // amortise repeated appends
        CString tmp;
        tmp.AllocBuffer(nNewAlloc);
        memcpy(tmp.m_pchData, m_pchData, nOld * sizeof(WCHAR));
        memcpy(tmp.m_pchData + nOld, lpszSrcData, nSrcLen * sizeof(WCHAR));
        tmp.SetLength(nOld + nSrcLen);
        LPWSTR p = tmp.m_pchData;
        tmp.Init();
        Release();
        m_pchData = p;
        return;
    }
    memmove(m_pchData + nOld, lpszSrcData, nSrcLen * sizeof(WCHAR));
    SetLength(nOld + nSrcLen);
}

void CString::AssignAnsi(LPCSTR lpsz, int nLength)
{
    if (lpsz == NULL || nLength <= 0) { Release(); return; }
    bool bAscii = true;
    for (int i = 0; i < nLength && bAscii; i++) bAscii = (unsigned char)lpsz[i] < 0x80;
    if (bAscii) {
        CString tmp;
        tmp.AllocBuffer(nLength);
        for (int i = 0; i < nLength; i++) tmp.m_pchData[i] = (WCHAR)lpsz[i];
        *this = std::move(tmp);
        return;
    }
    int nWide = MultiByteToWideChar(CP_ACP, 0, lpsz, nLength, NULL, 0);
    CString tmp;
    tmp.AllocBuffer(nWide);
    if (nWide > 0) MultiByteToWideChar(CP_ACP, 0, lpsz, nLength, tmp.m_pchData, nWide);
    *this = std::move(tmp);
}

CString::CString() { Init(); }
CString::CString(std::nullptr_t) { Init(); }

CString::CString(const CString& stringSrc)
{
    Init();
    AssignCopy(stringSrc.GetLength(), stringSrc.m_pchData);
}

CString::CString(CString&& stringSrc) noexcept
{
    m_pchData = stringSrc.m_pchData;
    stringSrc.Init();
}

CString::CString(WCHAR ch, int nRepeat)
{
    Init();
    if (nRepeat > 0) {
        AllocBuffer(nRepeat);
        for (int i = 0; i < nRepeat; i++) m_pchData[i] = ch;
    }
}

CString::CString(LPCWSTR lpsz)
{
    Init();
    if (IsResourceId(lpsz))
        LoadString(LOWORD((ULONG_PTR)lpsz));
    else
        AssignCopy(SafeLen(lpsz), lpsz);
}

CString::CString(LPCWSTR lpch, int nLength)
{
    Init();
    if (lpch != NULL && nLength > 0) AssignCopy(nLength, lpch);
}

CString::CString(LPCSTR lpsz)
{
    Init();
    if (IsResourceId((LPCWSTR)lpsz))
        LoadString(LOWORD((ULONG_PTR)lpsz));
    else if (lpsz)
        AssignAnsi(lpsz, (int)strlen(lpsz));
}

CString::CString(LPCSTR lpch, int nLength)
{
    Init();
    AssignAnsi(lpch, nLength);
}

CString::CString(const unsigned char* psz)
{
    Init();
    if (psz) AssignAnsi((LPCSTR)psz, (int)strlen((LPCSTR)psz));
}

CString::~CString() { Release(); }

int CString::GetLength() const { return DataOf(m_pchData)->nDataLength; }
BOOL CString::IsEmpty() const { return GetLength() == 0; }
void CString::Empty() { Release(); }

WCHAR CString::GetAt(int nIndex) const
{
    return (nIndex >= 0 && nIndex < GetLength()) ? m_pchData[nIndex] : 0;
}

WCHAR CString::operator[](int nIndex) const { return GetAt(nIndex); }

void CString::SetAt(int nIndex, WCHAR ch)
{
    if (nIndex >= 0 && nIndex < GetLength()) m_pchData[nIndex] = ch;
}

const CString& CString::operator=(const CString& stringSrc)
{
    if (this != &stringSrc) AssignCopy(stringSrc.GetLength(), stringSrc.m_pchData);
    return *this;
}

CString& CString::operator=(CString&& stringSrc) noexcept
{
    if (this != &stringSrc) {
        Release();
        m_pchData = stringSrc.m_pchData;
        stringSrc.Init();
    }
    return *this;
}

const CString& CString::operator=(WCHAR ch)
{
    AssignCopy(1, &ch);
    return *this;
}

const CString& CString::operator=(LPCWSTR lpsz)
{
    if (IsResourceId(lpsz)) {
        if (lpsz == NULL) Release(); else LoadString(LOWORD((ULONG_PTR)lpsz));
    } else {
        AssignCopy(SafeLen(lpsz), lpsz);
    }
    return *this;
}

const CString& CString::operator=(LPCSTR lpsz)
{
    AssignAnsi(lpsz, lpsz ? (int)strlen(lpsz) : 0);
    return *this;
}

const CString& CString::operator=(const unsigned char* psz) { return *this = (LPCSTR)psz; }
const CString& CString::operator=(std::nullptr_t) { Release(); return *this; }

const CString& CString::operator+=(const CString& string)
{
    if (&string == this) { CString copy(string); ConcatInPlace(copy.GetLength(), copy.m_pchData); }
    else ConcatInPlace(string.GetLength(), string.m_pchData);
    return *this;
}

const CString& CString::operator+=(WCHAR ch)
{
    ConcatInPlace(1, &ch);
    return *this;
}

const CString& CString::operator+=(LPCWSTR lpsz)
{
    if (lpsz && lpsz >= m_pchData && lpsz <= m_pchData + GetLength()) {
        CString copy(lpsz);
        ConcatInPlace(copy.GetLength(), copy.m_pchData);
    } else {
        ConcatInPlace(SafeLen(lpsz), lpsz);
    }
    return *this;
}

CString operator+(const CString& string1, const CString& string2)
{
    CString s;
    s.GetBuffer(string1.GetLength() + string2.GetLength());
    s.ReleaseBuffer(0);
    s += string1;
    s += string2;
    return s;
}

CString operator+(const CString& string, WCHAR ch) { CString s(string); s += ch; return s; }
CString operator+(WCHAR ch, const CString& string) { CString s(ch); s += string; return s; }
CString operator+(const CString& string, LPCWSTR lpsz) { CString s(string); s += lpsz; return s; }
CString operator+(LPCWSTR lpsz, const CString& string) { CString s(lpsz); s += string; return s; }

int CString::Compare(LPCWSTR lpsz) const
{
    // Ordinal comparison, as the platform's wide strcmp.
    LPCWSTR a = m_pchData;
    LPCWSTR b = lpsz ? lpsz : L"";
    while (*a && *a == *b) { a++; b++; }
    return (*a < *b) ? -1 : (*a > *b) ? 1 : 0;
}

int CString::CompareNoCase(LPCWSTR lpsz) const
{
    LPCWSTR a = m_pchData;
    LPCWSTR b = lpsz ? lpsz : L"";
    for (;; a++, b++) {
        WCHAR ca = ToLowerW(*a), cb = ToLowerW(*b);
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}

int CString::Collate(LPCWSTR lpsz) const
{
    return CompareStringW(LOCALE_USER_DEFAULT, 0, m_pchData, -1, lpsz ? lpsz : L"", -1) - CSTR_EQUAL;
}

int CString::CollateNoCase(LPCWSTR lpsz) const
{
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, m_pchData, -1, lpsz ? lpsz : L"", -1) - CSTR_EQUAL;
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength() - (nFirst < 0 ? 0 : nFirst)); }

CString CString::Mid(int nFirst, int nCount) const
{
    int nLen = GetLength();
    if (nFirst < 0) nFirst = 0;
    if (nCount < 0) nCount = 0;
    if (nFirst > nLen) nFirst = nLen;
    if (nCount > nLen - nFirst) nCount = nLen - nFirst;
    return CString(m_pchData + nFirst, nCount);
}

CString CString::Left(int nCount) const
{
    if (nCount < 0) nCount = 0;
    if (nCount > GetLength()) nCount = GetLength();
    return CString(m_pchData, nCount);
}

CString CString::Right(int nCount) const
{
    if (nCount < 0) nCount = 0;
    if (nCount > GetLength()) nCount = GetLength();
    return CString(m_pchData + GetLength() - nCount, nCount);
}

CString CString::SpanIncluding(LPCWSTR lpszCharSet) const
{
    int n = 0;
    while (n < GetLength() && InSet(m_pchData[n], lpszCharSet)) n++;
    return Left(n);
}

CString CString::SpanExcluding(LPCWSTR lpszCharSet) const
{
    int n = 0;
    while (n < GetLength() && !InSet(m_pchData[n], lpszCharSet)) n++;
    return Left(n);
}

void CString::MakeUpper() { if (GetLength()) CharUpperBuffW(m_pchData, GetLength()); }
void CString::MakeLower() { if (GetLength()) CharLowerBuffW(m_pchData, GetLength()); }

void CString::MakeReverse()
{
    for (int i = 0, j = GetLength() - 1; i < j; i++, j--) {
        WCHAR t = m_pchData[i]; m_pchData[i] = m_pchData[j]; m_pchData[j] = t;
    }
}

int CString::Replace(WCHAR chOld, WCHAR chNew)
{
    int n = 0;
    if (chOld == chNew) return 0;
    for (int i = 0; i < GetLength(); i++)
        if (m_pchData[i] == chOld) { m_pchData[i] = chNew; n++; }
    return n;
}

int CString::Replace(LPCWSTR lpszOld, LPCWSTR lpszNew)
{
    int nOldLen = SafeLen(lpszOld);
    if (nOldLen == 0) return 0;
    int nNewLen = SafeLen(lpszNew);
    CString result;
    int nCount = 0;
    int i = 0;
    while (i < GetLength()) {
        if (i + nOldLen <= GetLength() && memcmp(m_pchData + i, lpszOld, nOldLen * sizeof(WCHAR)) == 0) {
            result.ConcatInPlace(nNewLen, lpszNew);
            i += nOldLen;
            nCount++;
        } else {
            result.ConcatInPlace(1, m_pchData + i);
            i++;
        }
    }
    if (nCount) *this = std::move(result);
    return nCount;
}

int CString::Remove(WCHAR chRemove)
{
    int nLen = GetLength(), j = 0;
    for (int i = 0; i < nLen; i++)
        if (m_pchData[i] != chRemove) m_pchData[j++] = m_pchData[i];
    SetLength(j);
    return nLen - j;
}

int CString::Insert(int nIndex, WCHAR ch)
{
    WCHAR s[2] = { ch, 0 };
    return Insert(nIndex, s);
}

int CString::Insert(int nIndex, LPCWSTR pstr)
{
    if (nIndex < 0) nIndex = 0;
    if (nIndex > GetLength()) nIndex = GetLength();
    CString result(m_pchData, nIndex);
    result += pstr;
    result.ConcatInPlace(GetLength() - nIndex, m_pchData + nIndex);
    *this = std::move(result);
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    int nLen = GetLength();
    if (nIndex < 0) nIndex = 0;
    if (nCount > 0 && nIndex < nLen) {
        if (nCount > nLen - nIndex) nCount = nLen - nIndex;
        memmove(m_pchData + nIndex, m_pchData + nIndex + nCount, (nLen - nIndex - nCount) * sizeof(WCHAR));
        SetLength(nLen - nCount);
    }
    return GetLength();
}

static bool IsSpaceW(WCHAR c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == 0x3000; }

void CString::TrimRight()
{
    int n = GetLength();
    while (n > 0 && IsSpaceW(m_pchData[n - 1])) n--;
    SetLength(n);
}

void CString::TrimRight(WCHAR chTarget)
{
    int n = GetLength();
    while (n > 0 && m_pchData[n - 1] == chTarget) n--;
    SetLength(n);
}

void CString::TrimRight(LPCWSTR lpszTargets)
{
    int n = GetLength();
    while (n > 0 && InSet(m_pchData[n - 1], lpszTargets)) n--;
    SetLength(n);
}

void CString::TrimLeft()
{
    int n = 0;
    while (n < GetLength() && IsSpaceW(m_pchData[n])) n++;
    Delete(0, n);
}

void CString::TrimLeft(WCHAR chTarget)
{
    int n = 0;
    while (n < GetLength() && m_pchData[n] == chTarget) n++;
    Delete(0, n);
}

void CString::TrimLeft(LPCWSTR lpszTargets)
{
    int n = 0;
    while (n < GetLength() && InSet(m_pchData[n], lpszTargets)) n++;
    Delete(0, n);
}

CString& CString::Trim() { TrimRight(); TrimLeft(); return *this; }
CString& CString::Trim(WCHAR chTarget) { TrimRight(chTarget); TrimLeft(chTarget); return *this; }
CString& CString::Trim(LPCWSTR lpszTargets) { TrimRight(lpszTargets); TrimLeft(lpszTargets); return *this; }

int CString::Find(WCHAR ch) const { return Find(ch, 0); }

int CString::Find(WCHAR ch, int nStart) const
{
    if (nStart < 0) nStart = 0;
    for (int i = nStart; i < GetLength(); i++)
        if (m_pchData[i] == ch) return i;
    return -1;
}

int CString::Find(LPCWSTR lpszSub) const { return Find(lpszSub, 0); }

int CString::Find(LPCWSTR lpszSub, int nStart) const
{
    int nSub = SafeLen(lpszSub);
    int nLen = GetLength();
    if (nStart < 0) nStart = 0;
    if (nStart > nLen) return -1;
    if (nSub == 0) return nStart;
    for (int i = nStart; i + nSub <= nLen; i++)
        if (memcmp(m_pchData + i, lpszSub, nSub * sizeof(WCHAR)) == 0) return i;
    return -1;
}

int CString::ReverseFind(WCHAR ch) const
{
    for (int i = GetLength() - 1; i >= 0; i--)
        if (m_pchData[i] == ch) return i;
    return -1;
}

int CString::FindOneOf(LPCWSTR lpszCharSet) const
{
    for (int i = 0; i < GetLength(); i++)
        if (InSet(m_pchData[i], lpszCharSet)) return i;
    return -1;
}

BOOL CString::LoadString(UINT nID)
{
    HINSTANCE candidates[2] = { AfxGetResourceHandle(), GetModuleHandleW(NULL) };
    for (int i = 0; i < 2; i++) {
        if (i == 1 && candidates[1] == candidates[0]) break;
        LPCWSTR pRes = NULL;
        // With a zero buffer size the platform hands back the resource text itself.
        int nLen = ::LoadStringW(candidates[i], nID, (LPWSTR)&pRes, 0);
        if (nLen > 0 && pRes != NULL) {
            AssignCopy(nLen, pRes);
            return TRUE;
        }
    }
    Release();
    return FALSE;
}

LPWSTR CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength > GetAllocLength()) {
        int nOld = GetLength();
        CString tmp;
        tmp.AllocBuffer(nMinBufLength);
        memcpy(tmp.m_pchData, m_pchData, (nOld + 1) * sizeof(WCHAR));
        DataOf(tmp.m_pchData)->nDataLength = nOld;
        LPWSTR p = tmp.m_pchData;
        tmp.Init();
        Release();
        m_pchData = p;
    }
    return m_pchData;
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (IsNil(m_pchData)) return;
    int nAlloc = GetAllocLength();
    if (nNewLength < 0) {
        nNewLength = 0;
        while (nNewLength < nAlloc && m_pchData[nNewLength]) nNewLength++;
    }
    if (nNewLength > nAlloc) nNewLength = nAlloc;
    SetLength(nNewLength);
}

LPWSTR CString::GetBufferSetLength(int nNewLength)
{
    if (nNewLength < 0) nNewLength = 0;
    GetBuffer(nNewLength);
    SetLength(nNewLength);
    return m_pchData;
}

void CString::FreeExtra()
{
    if (GetLength() != GetAllocLength()) {
        CString tmp(m_pchData, GetLength());
        *this = std::move(tmp);
    }
}

LPWSTR CString::LockBuffer() { return m_pchData; }
void CString::UnlockBuffer() {}

bool operator==(const CString& s1, const CString& s2) { return s1.GetLength() == s2.GetLength() && s1.Compare(s2) == 0; }
bool operator==(const CString& s1, LPCWSTR s2) { return s1.Compare(s2) == 0; }
bool operator==(LPCWSTR s1, const CString& s2) { return s2.Compare(s1) == 0; }
bool operator!=(const CString& s1, const CString& s2) { return !(s1 == s2); }
bool operator!=(const CString& s1, LPCWSTR s2) { return s1.Compare(s2) != 0; }
bool operator!=(LPCWSTR s1, const CString& s2) { return s2.Compare(s1) != 0; }
bool operator<(const CString& s1, const CString& s2) { return s1.Compare(s2) < 0; }
bool operator<(const CString& s1, LPCWSTR s2) { return s1.Compare(s2) < 0; }
bool operator>(const CString& s1, const CString& s2) { return s1.Compare(s2) > 0; }
bool operator>(const CString& s1, LPCWSTR s2) { return s1.Compare(s2) > 0; }
bool operator<=(const CString& s1, const CString& s2) { return s1.Compare(s2) <= 0; }
bool operator>=(const CString& s1, const CString& s2) { return s1.Compare(s2) >= 0; }
