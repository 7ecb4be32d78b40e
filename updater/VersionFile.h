// "version.ini": the installed version beside the updater and the service's description
// of the current version and its package.  No window code here: the updater, the package
// tool and the tests share it.
#pragma once
#include "afx.h"

#define VERSION_FILE_NAME L"version.ini"
// The built-in service: a host of a reserved domain, so an updater that was never pointed
// at a real service reaches nothing.
#define DEFAULT_SERVICE_URL L"http://updates.orvisnap.invalid/html/softwareupdate/"
#define VERSION_TEXT_MAX 259

class CVersionInfo
{
public:
    CVersionInfo();

    // Missing keys take their defaults; a missing file gives all defaults.
    void Read(const CString& strPath, LPCWSTR lpszDefaultUrl = DEFAULT_SERVICE_URL);
    // The service's file: every key, with the package's size and SHA-256 when known.
    BOOL WriteServiceFile(const CString& strPath) const;

    CString m_strVersion;      // [Version] version, default "0.0.0.0"
    int m_nVersionId;          // [Version] version_id, default 0
    CString m_strUrl;          // [Url] url
    CString m_strFile;         // [File] file, default ""
    // [File] size and sha256: the package must match them when given.  A size that is
    // not a number is kept as -1, which no download matches.
    BOOL m_bHasSize;
    LONGLONG m_llSize;
    CString m_strSha256;       // lower-case hex, empty when not given
};

// Records a finished update in the installed file.
BOOL WriteInstalledVersion(const CString& strPath, const CString& strVersion, int nVersionId,
                           const CString& strUrl, const CString& strFile);

// A package name the updater downloads: one plain file name of URL-safe characters, so
// it can name neither another folder nor a different address.
BOOL IsPlainPackageName(const CString& strName);
// A service address the updater adopts: "http://", a host, ending in "/", at most 259
// characters.
BOOL IsServiceUrl(const CString& strUrl);
