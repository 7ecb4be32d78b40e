// Internet helpers of the framework: splitting an address into what the platform's
// internet client calls need.
#pragma once
#include "afx.h"
#include <wininet.h>

// Service kinds reported by AfxParseURL.
#define AFX_INET_SERVICE_UNK    0x1000
#define AFX_INET_SERVICE_FTP    INTERNET_SERVICE_FTP
#define AFX_INET_SERVICE_GOPHER INTERNET_SERVICE_GOPHER
#define AFX_INET_SERVICE_HTTP   INTERNET_SERVICE_HTTP
#define AFX_INET_SERVICE_HTTPS  0x1001
#define AFX_INET_SERVICE_FILE   0x1002

// Splits "scheme://server[:port]/object" into the service kind, the server, the object
// (path and query, "/" when the address has none) and the port (the scheme's default
// when none is written).  FALSE, with the service kind AFX_INET_SERVICE_UNK, for text
// that is not such an address or names no server where its scheme needs one.
BOOL AfxParseURL(LPCWSTR pstrURL, DWORD& dwServiceType, CString& strServer, CString& strObject, INTERNET_PORT& nPort);
