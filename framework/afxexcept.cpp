#include "afx.h"

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CSimpleException, CException)
IMPLEMENT_DYNAMIC(CMemoryException, CSimpleException)
IMPLEMENT_DYNAMIC(CResourceException, CSimpleException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CSimpleException)
IMPLEMENT_DYNAMIC(CUserException, CSimpleException)

CException::CException(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete) {}
CException::~CException() {}

void CException::Delete()
{
    if (m_bAutoDelete > 0) delete this;
}

BOOL CException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext) *pnHelpContext = 0;
    if (lpszError && nMaxError) *lpszError = 0;
    return FALSE;
}

int CException::ReportError(UINT nType, UINT nMessageID)
{
    WCHAR szMessage[512];
    CString text;
    if (GetErrorMessage(szMessage, 512))
        text = szMessage;
    else if (nMessageID != 0)
        text.LoadString(nMessageID);
    if (text.IsEmpty()) text = L"An unexpected error occurred.";
    return ::MessageBoxW(GetActiveWindow(), text, NULL, nType);
}

CSimpleException::CSimpleException() : CException(TRUE), m_pszMessage(NULL) {}
CSimpleException::CSimpleException(BOOL bAutoDelete) : CException(bAutoDelete), m_pszMessage(NULL) {}

BOOL CSimpleException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext) *pnHelpContext = 0;
    if (lpszError == NULL || nMaxError == 0) return FALSE;
    if (m_pszMessage == NULL) { *lpszError = 0; return FALSE; }
    lstrcpynW(lpszError, m_pszMessage, nMaxError);
    return TRUE;
}

CMemoryException::CMemoryException() { m_pszMessage = L"Out of memory."; }
CResourceException::CResourceException() { m_pszMessage = L"A required resource was unavailable."; }
CNotSupportedException::CNotSupportedException() { m_pszMessage = L"An unsupported operation was attempted."; }
CUserException::CUserException() { m_pszMessage = NULL; }

void AfxThrowMemoryException() { throw new CMemoryException; }
void AfxThrowResourceException() { throw new CResourceException; }
void AfxThrowNotSupportedException() { throw new CNotSupportedException; }
void AfxThrowUserException() { throw new CUserException; }
