#include "afxinet.h"

BOOL AfxParseURL(LPCWSTR pstrURL, DWORD& dwServiceType, CString& strServer, CString& strObject, INTERNET_PORT& nPort)
{
    dwServiceType = AFX_INET_SERVICE_UNK;
    strServer.Empty();
    strObject.Empty();
    nPort = 0;
    if (pstrURL == NULL || *pstrURL == 0) return FALSE;

    // Lengths without buffers: the platform answers with pointers into the address.
    URL_COMPONENTSW uc;
    ZeroMemory(&uc, sizeof(uc));
    uc.dwStructSize = sizeof(uc);
    uc.dwSchemeLength = 1;
    uc.dwHostNameLength = 1;
    uc.dwUrlPathLength = 1;
    uc.dwExtraInfoLength = 1;
    if (!::InternetCrackUrlW(pstrURL, 0, 0, &uc)) return FALSE;

    DWORD dwService;
    switch (uc.nScheme) {
    case INTERNET_SCHEME_HTTP: dwService = AFX_INET_SERVICE_HTTP; break;
    case INTERNET_SCHEME_HTTPS: dwService = AFX_INET_SERVICE_HTTPS; break;
    case INTERNET_SCHEME_FTP: dwService = AFX_INET_SERVICE_FTP; break;
    case INTERNET_SCHEME_GOPHER: dwService = AFX_INET_SERVICE_GOPHER; break;
    case INTERNET_SCHEME_FILE: dwService = AFX_INET_SERVICE_FILE; break;
    default: return FALSE;
    }
    if (uc.lpszHostName != NULL) strServer = CString(uc.lpszHostName, (int)uc.dwHostNameLength);
    if (strServer.IsEmpty() && dwService != AFX_INET_SERVICE_FILE) return FALSE;
    if (uc.lpszUrlPath != NULL) strObject = CString(uc.lpszUrlPath, (int)uc.dwUrlPathLength);
    if (uc.lpszExtraInfo != NULL) strObject += CString(uc.lpszExtraInfo, (int)uc.dwExtraInfoLength);
    if (strObject.IsEmpty()) strObject = L"/";
    dwServiceType = dwService;
    nPort = uc.nPort;
    return TRUE;
}
