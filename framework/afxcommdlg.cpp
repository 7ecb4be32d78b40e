#include "afximpl.h"
#include "afxdlgs.h"

IMPLEMENT_DYNAMIC(CFileDialog, CDialog)
IMPLEMENT_DYNAMIC(CColorDialog, CDialog)
IMPLEMENT_DYNAMIC(CPrintDialog, CDialog)

// CFileDialog ----------------------------------------------------------------------------

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszDefExt, LPCWSTR lpszFileName, DWORD dwFlags,
                         LPCWSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog)
{
    m_pParentWnd = pParentWnd;
    memset(&m_ofn, 0, sizeof(m_ofn));
    memset(m_szFileTitle, 0, sizeof(m_szFileTitle));
    memset(m_szFileName, 0, sizeof(m_szFileName));
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = sizeof(m_szFileTitle) / sizeof(m_szFileTitle[0]);
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    if (lpszDefExt != NULL) {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt;
    }
    if (lpszFileName != NULL) lstrcpynW(m_szFileName, lpszFileName, MAX_PATH);
    if (lpszFilter != NULL) {
        m_strFilter = lpszFilter;
        // The platform wants NUL separators and a double NUL at the end.
        if (m_strFilter.Right(1) != L"|") m_strFilter += L"|";
        m_strFilter += L"|";
        LPWSTR p = m_strFilter.GetBuffer(0);
        for (LPWSTR q = p; *q; q++)
            if (*q == L'|') *q = 0;
        m_strFilter.ReleaseBuffer(m_strFilter.GetLength());
        m_ofn.lpstrFilter = m_strFilter;
    }
}

CFileDialog::~CFileDialog() {}

BOOL AfxGetFileName(OPENFILENAMEW* pOfn, BOOL bOpen) { return bOpen ? ::GetOpenFileNameW(pOfn) : ::GetSaveFileNameW(pOfn); }

INT_PTR CFileDialog::DoModal()
{
    // The whole buffer is the answer, so clear what the last run left behind it.
    if (m_ofn.lpstrFile != NULL && m_ofn.nMaxFile > 0) {
        DWORD nLen = (DWORD)lstrlenW(m_ofn.lpstrFile);
        if (nLen + 1 < m_ofn.nMaxFile) memset(m_ofn.lpstrFile + nLen + 1, 0, (m_ofn.nMaxFile - nLen - 1) * sizeof(WCHAR));
    }
    m_ofn.hwndOwner = PreModal();
    BOOL bResult = AfxGetFileName(&m_ofn, m_bOpenFileDialog);
    PostModal();
    return bResult ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const { return m_ofn.lpstrFile != NULL ? CString(m_ofn.lpstrFile) : CString(); }
CString CFileDialog::GetFileName() const { return m_ofn.lpstrFileTitle != NULL ? CString(m_ofn.lpstrFileTitle) : CString(); }

CString CFileDialog::GetFileExt() const
{
    if (m_ofn.lpstrFile == NULL || m_ofn.nFileExtension == 0) return CString();
    return CString(m_ofn.lpstrFile + m_ofn.nFileExtension);
}

CString CFileDialog::GetFileTitle() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind(L'.');
    return dot < 0 ? name : name.Left(dot);
}

POSITION CFileDialog::GetStartPosition() const
{
    if (m_ofn.lpstrFile == NULL || m_ofn.lpstrFile[0] == 0) return NULL;
    return (POSITION)m_ofn.lpstrFile;
}

CString CFileDialog::GetNextPathName(POSITION& pos) const
{
    LPCWSTR pFile = m_ofn.lpstrFile;
    LPCWSTR p = (LPCWSTR)pos;
    if (p == NULL || pFile == NULL) {
        pos = NULL;
        return CString();
    }
    if (p == pFile) {
        // One file chosen: the buffer holds its full path alone.
        LPCWSTR after = p + lstrlenW(p) + 1;
        if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT) || after >= pFile + m_ofn.nMaxFile || *after == 0) {
            pos = NULL;
            return CString(pFile);
        }
        p = after;
    }
    // Several: the folder, then each name, NUL-separated, ending in a double NUL.
    CString folder(pFile);
    CString name(p);
    LPCWSTR next = p + lstrlenW(p) + 1;
    pos = (next < pFile + m_ofn.nMaxFile && *next != 0) ? (POSITION)next : NULL;
    if (!folder.IsEmpty() && folder.Right(1) != L"\\" && folder.Right(1) != L"/") folder += L"\\";
    return folder + name;
}

// CColorDialog ---------------------------------------------------------------------------

COLORREF* CColorDialog::GetSavedCustomColors()
{
    static COLORREF s_custom[16] = { 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                     0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF };
    return s_custom;
}

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd)
{
    m_pParentWnd = pParentWnd;
    memset(&m_cc, 0, sizeof(m_cc));
    m_cc.lStructSize = sizeof(m_cc);
    m_cc.lpCustColors = GetSavedCustomColors();
    m_cc.Flags = dwFlags | CC_RGBINIT;
    m_cc.rgbResult = clrInit;
}

INT_PTR CColorDialog::DoModal()
{
    m_cc.hwndOwner = PreModal();
    BOOL bResult = ::ChooseColorW(&m_cc);
    PostModal();
    return bResult ? IDOK : IDCANCEL;
}

// CPrintDialog ---------------------------------------------------------------------------

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd)
{
    m_pParentWnd = pParentWnd;
    memset(&m_pd, 0, sizeof(m_pd));
    m_pd.lStructSize = sizeof(m_pd);
    m_pd.Flags = dwFlags | PD_RETURNDC;
    if (bPrintSetupOnly) m_pd.Flags |= PD_PRINTSETUP;
    m_pd.nCopies = 1;
    m_pd.nMinPage = 1;
    m_pd.nMaxPage = 0xFFFF;
    m_pd.nFromPage = 1;
    m_pd.nToPage = 0xFFFF;
}

CPrintDialog::~CPrintDialog()
{
    if (m_pd.hDevMode != NULL) ::GlobalFree(m_pd.hDevMode);
    if (m_pd.hDevNames != NULL) ::GlobalFree(m_pd.hDevNames);
}

INT_PTR CPrintDialog::DoModal()
{
    m_pd.hwndOwner = PreModal();
    BOOL bResult = ::PrintDlgW(&m_pd);
    PostModal();
    return bResult ? IDOK : IDCANCEL;
}

BOOL CPrintDialog::GetDefaults()
{
    const DWORD flags = m_pd.Flags;
    m_pd.Flags |= PD_RETURNDEFAULT;
    // The system refuses default requests that already carry device blocks.
    if (m_pd.hDevMode != NULL) ::GlobalFree(m_pd.hDevMode);
    if (m_pd.hDevNames != NULL) ::GlobalFree(m_pd.hDevNames);
    m_pd.hDevMode = m_pd.hDevNames = NULL;
    BOOL bResult = ::PrintDlgW(&m_pd);
    m_pd.Flags = flags;
    return bResult;
}

HDC CPrintDialog::CreatePrinterDC()
{
    if (m_pd.hDevNames == NULL) return NULL;
    CString device = GetDeviceName(), driver = GetDriverName(), port = GetPortName();
    LPDEVMODEW mode = GetDevMode();
    HDC hdc = ::CreateDCW(driver, device, port, mode);
    if (mode != NULL) ::GlobalUnlock(m_pd.hDevMode);
    if (hdc != NULL) m_pd.hDC = hdc;
    return hdc;
}

int CPrintDialog::GetCopies() const
{
    if (m_pd.Flags & PD_USEDEVMODECOPIES) {
        LPDEVMODEW mode = GetDevMode();
        if (mode != NULL) {
            int copies = mode->dmCopies;
            ::GlobalUnlock(m_pd.hDevMode);
            return copies;
        }
    }
    return m_pd.nCopies;
}

LPDEVMODEW CPrintDialog::GetDevMode() const
{
    return m_pd.hDevMode != NULL ? (LPDEVMODEW)::GlobalLock(m_pd.hDevMode) : NULL;
}

CString CPrintDialog::DevNamesText(int which) const
{
    CString text;
    if (m_pd.hDevNames == NULL) return text;
    LPDEVNAMES names = (LPDEVNAMES)::GlobalLock(m_pd.hDevNames);
    if (names == NULL) return text;
    const WORD offsets[3] = {names->wDriverOffset, names->wDeviceOffset, names->wOutputOffset};
    text = (LPCWSTR)names + offsets[which];
    ::GlobalUnlock(m_pd.hDevNames);
    return text;
}

CString CPrintDialog::GetDriverName() const { return DevNamesText(0); }
CString CPrintDialog::GetDeviceName() const { return DevNamesText(1); }
CString CPrintDialog::GetPortName() const { return DevNamesText(2); }


// The application's printer -----------------------------------------------------------

namespace {

HGLOBAL CopyGlobal(HGLOBAL hSource)
{
    if (hSource == NULL) return NULL;
    const SIZE_T size = ::GlobalSize(hSource);
    HGLOBAL hCopy = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (hCopy == NULL) return NULL;
    void* from = ::GlobalLock(hSource);
    void* to = ::GlobalLock(hCopy);
    if (from != NULL && to != NULL) memcpy(to, from, size);
    if (to != NULL) ::GlobalUnlock(hCopy);
    if (from != NULL) ::GlobalUnlock(hSource);
    return hCopy;
}

void ReplaceGlobal(HGLOBAL& hTarget, HGLOBAL hNew)
{
    if (hTarget != NULL && hTarget != hNew) ::GlobalFree(hTarget);
    hTarget = hNew;
}

}  // namespace

// The dialog's blocks are copies, freed with the dialog; the application keeps its own.
BOOL CWinApp::GetPrinterDeviceDefaults(PRINTDLGW* pPrintDlg)
{
    if (m_hDevNames == NULL) {
        PRINTDLGW pd = {};
        pd.lStructSize = sizeof(pd);
        pd.Flags = PD_RETURNDEFAULT;
        if (!::PrintDlgW(&pd)) return FALSE;
        ReplaceGlobal(m_hDevMode, pd.hDevMode);
        ReplaceGlobal(m_hDevNames, pd.hDevNames);
    }
    ReplaceGlobal(pPrintDlg->hDevMode, CopyGlobal(m_hDevMode));
    ReplaceGlobal(pPrintDlg->hDevNames, CopyGlobal(m_hDevNames));
    return pPrintDlg->hDevNames != NULL;
}

INT_PTR CWinApp::DoPrintDialog(CPrintDialog* pPD)
{
    // Without any printer the dialog itself says so.
    GetPrinterDeviceDefaults(&pPD->m_pd);
    const INT_PTR nResult = pPD->DoModal();
    if (nResult == IDOK && pPD->m_pd.hDevNames != NULL) {
        ReplaceGlobal(m_hDevMode, CopyGlobal(pPD->m_pd.hDevMode));
        ReplaceGlobal(m_hDevNames, CopyGlobal(pPD->m_pd.hDevNames));
    }
    return nResult;
}
