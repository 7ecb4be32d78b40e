#include "VersionFile.h"

namespace {

CString ReadText(const CString& strPath, LPCWSTR lpszSection, LPCWSTR lpszKey, LPCWSTR lpszDefault)
{
    WCHAR buf[VERSION_TEXT_MAX + 1];
    ::GetPrivateProfileStringW(lpszSection, lpszKey, lpszDefault, buf, VERSION_TEXT_MAX + 1, strPath);
    return CString(buf);
}

BOOL WriteText(const CString& strPath, LPCWSTR lpszSection, LPCWSTR lpszKey, LPCWSTR lpszValue)
{
    return ::WritePrivateProfileStringW(lpszSection, lpszKey, lpszValue, strPath);
}

} // namespace

CVersionInfo::CVersionInfo()
    : m_strVersion(L"0.0.0.0"), m_nVersionId(0), m_strUrl(DEFAULT_SERVICE_URL), m_bHasSize(FALSE), m_llSize(0)
{
}

void CVersionInfo::Read(const CString& strPath, LPCWSTR lpszDefaultUrl)
{
    m_strVersion = ReadText(strPath, L"Version", L"version", L"0.0.0.0");
    m_nVersionId = (int)::GetPrivateProfileIntW(L"Version", L"version_id", 0, strPath);
    m_strUrl = ReadText(strPath, L"Url", L"url", lpszDefaultUrl);
    m_strFile = ReadText(strPath, L"File", L"file", L"");

    CString size = ReadText(strPath, L"File", L"size", L"");
    size.Trim();
    m_bHasSize = !size.IsEmpty();
    m_llSize = size.IsEmpty() ? 0 : -1;
    if (m_bHasSize && size.GetLength() <= 18 && size.SpanIncluding(L"0123456789") == size) {
        m_llSize = 0;
        for (int i = 0; i < size.GetLength(); i++) m_llSize = m_llSize * 10 + (size[i] - '0');
    }
    m_strSha256 = ReadText(strPath, L"File", L"sha256", L"");
    m_strSha256.Trim();
    m_strSha256.MakeLower();
}

BOOL CVersionInfo::WriteServiceFile(const CString& strPath) const
{
    CString id, size;
    id.Format(L"%d", m_nVersionId);
    size.Format(L"%I64d", m_llSize);
    BOOL ok = WriteText(strPath, L"Version", L"version", m_strVersion);
    ok = ok && WriteText(strPath, L"Version", L"version_id", id);
    ok = ok && WriteText(strPath, L"Url", L"url", m_strUrl);
    ok = ok && WriteText(strPath, L"File", L"file", m_strFile);
    if (ok && m_bHasSize) ok = WriteText(strPath, L"File", L"size", size);
    if (ok && !m_strSha256.IsEmpty()) ok = WriteText(strPath, L"File", L"sha256", m_strSha256);
    return ok;
}

BOOL WriteInstalledVersion(const CString& strPath, const CString& strVersion, int nVersionId,
                           const CString& strUrl, const CString& strFile)
{
    CString id;
    id.Format(L"%d", nVersionId);
    BOOL ok = WriteText(strPath, L"Version", L"version", strVersion) &&
              WriteText(strPath, L"Version", L"version_id", id) &&
              WriteText(strPath, L"Url", L"url", strUrl) &&
              WriteText(strPath, L"File", L"file", strFile);
    // The profile functions cache files; make the record reach the disk now.
    ::WritePrivateProfileStringW(NULL, NULL, NULL, strPath);
    return ok;
}

BOOL IsPlainPackageName(const CString& strName)
{
    int n = strName.GetLength();
    if (n == 0 || n > 200 || strName == L"." || strName == L"..") return FALSE;
    for (int i = 0; i < n; i++) {
        WCHAR c = strName[i];
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                  c == '.' || c == '-' || c == '_' || c == '~' || c == '+' || c == '(' || c == ')';
        if (!ok) return FALSE;
    }
    // Trailing dots vanish from file names on this platform: "a." would be "a".
    return strName[n - 1] != '.';
}

BOOL IsServiceUrl(const CString& strUrl)
{
    int n = strUrl.GetLength();
    if (n > VERSION_TEXT_MAX || n < 9 || strUrl.Left(7).CompareNoCase(L"http://") != 0 || strUrl[n - 1] != '/')
        return FALSE;
    // The host runs to the first "/" after the scheme; a port may follow it.
    CString rest = strUrl.Mid(7);
    CString hostPort = rest.Left(rest.Find(L'/'));
    int colon = hostPort.Find(L':');
    CString host = colon >= 0 ? hostPort.Left(colon) : hostPort;
    if (host.IsEmpty()) return FALSE;
    for (int i = 0; i < host.GetLength(); i++) {
        WCHAR c = host[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-'))
            return FALSE;
    }
    if (colon >= 0) {
        CString port = hostPort.Mid(colon + 1);
        if (port.IsEmpty() || port.GetLength() > 5 || port.SpanIncluding(L"0123456789") != port) return FALSE;
    }
    for (int i = 0; i < n; i++)
        if (strUrl[i] <= ' ' || strUrl[i] == '\\' || strUrl[i] >= 0x7F) return FALSE;
    return TRUE;
}
