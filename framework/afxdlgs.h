// Common dialogs: file open and save, colour choice, printing.
#pragma once
#include "afxdlg.h"
#include <commdlg.h>

// The system's open or save dialog on a filled-in OPENFILENAMEW. Called through the
// framework, the dialogs' library is loaded at the first call instead of at the start
// of every program that would import it (it brings the print spooler along).
BOOL AfxGetFileName(OPENFILENAMEW* pOfn, BOOL bOpen);

class CFileDialog : public CDialog
{
    DECLARE_DYNAMIC(CFileDialog)
public:
    // lpszFilter pairs texts and patterns with "|": "Bitmap (*.bmp)|*.bmp|All|*.*||".
    explicit CFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszDefExt = NULL, LPCWSTR lpszFileName = NULL,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCWSTR lpszFilter = NULL,
                         CWnd* pParentWnd = NULL);
    virtual ~CFileDialog();

    // Callers may point lpstrFile at a buffer of their own (with nMaxFile) before DoModal.
    OPENFILENAMEW m_ofn;

    virtual INT_PTR DoModal() override;

    // With several files chosen the path is their folder; walk the names with
    // GetStartPosition and GetNextPathName.
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }
    POSITION GetStartPosition() const;
    CString GetNextPathName(POSITION& pos) const;

protected:
    BOOL m_bOpenFileDialog;
    CString m_strFilter;   // the filter with its separators turned into NULs
    CString m_strDefExt;
    WCHAR m_szFileTitle[64];
    WCHAR m_szFileName[MAX_PATH];
};

class CColorDialog : public CDialog
{
    DECLARE_DYNAMIC(CColorDialog)
public:
    explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = NULL);

    CHOOSECOLORW m_cc;

    virtual INT_PTR DoModal() override;
    COLORREF GetColor() const { return m_cc.rgbResult; }
    void SetCurrentColor(COLORREF clr) { m_cc.rgbResult = clr; }
    static COLORREF* GetSavedCustomColors();
};

// The system's print dialog.  With PD_RETURNDC (always asked for) a successful DoModal or
// GetDefaults leaves the printer's context in m_pd.hDC; the caller deletes it.  The
// device-mode and device-name blocks the dialog returns are freed with the object.
class CPrintDialog : public CDialog
{
    DECLARE_DYNAMIC(CPrintDialog)
public:
    explicit CPrintDialog(BOOL bPrintSetupOnly,
                          DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE |
                                          PD_NOSELECTION,
                          CWnd* pParentWnd = NULL);
    virtual ~CPrintDialog();

    PRINTDLGW m_pd;

    virtual INT_PTR DoModal() override;
    // The default printer without showing anything; FALSE when there is none.
    BOOL GetDefaults();
    // A context for the printer the dialog holds (device names and mode); NULL on failure.
    HDC CreatePrinterDC();
    HDC GetPrinterDC() const { return m_pd.hDC; }

    int GetCopies() const;
    BOOL PrintAll() const { return (m_pd.Flags & (PD_PAGENUMS | PD_SELECTION)) == 0; }
    BOOL PrintRange() const { return (m_pd.Flags & PD_PAGENUMS) != 0; }
    BOOL PrintSelection() const { return (m_pd.Flags & PD_SELECTION) != 0; }
    int GetFromPage() const { return m_pd.nFromPage; }
    int GetToPage() const { return m_pd.nToPage; }
    CString GetDeviceName() const;
    CString GetDriverName() const;
    CString GetPortName() const;
    LPDEVMODEW GetDevMode() const;

protected:
    CString DevNamesText(int which) const;
};
