// The print layout: one to four pictures on a page with file names, the date and
// borders; previews the page (400 x 574 pixels) and sends it to the printer through the
// main view. The layout itself lives in the process-wide image store. Modeless: it
// posts WM_PRINT_DIALOG_CLOSED to the main frame when it closes, and the frame deletes
// it.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/controls/NumericEdit.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/image/PrintLayoutDialogIds.h"

// Posted by the document while the layout is open (wParam the thumbnail index), and by
// the layout to the frame when it closes.
const UINT WM_PRINT_ADD_IMAGE = 0xB12;
const UINT WM_PRINT_DIALOG_CLOSED = 0xB13;

class CImageStore;

class CPrintLayoutDialog : public CPanelDialog
{
    DECLARE_DYNAMIC(CPrintLayoutDialog)
public:
    explicit CPrintLayoutDialog(CWnd* pParent = NULL);
    virtual ~CPrintLayoutDialog();
    enum { IDD = IDD_PRINT_LAYOUT };
    static const int kPreviewWidth = 400;
    static const int kPreviewHeight = 574;
    static const int kMaxItems = 4;

    virtual void OnPrint();
    virtual void UpdateControlState();
    virtual void LoadSettings();
    // Enter and Escape (as key codes of key messages) confirm the typed zoom and never
    // close the dialog.
    virtual BOOL PreTranslateMessage(MSG* pMsg) override;
    // The preview's rectangle in client coordinates (the store's page rectangle).
    CRect GetPreviewRect() const { return m_preview; }

protected:
    virtual BOOL OnInitDialog() override;
    virtual void OnOK() override;
    virtual void OnCancel() override;

    afx_msg void OnPaint();
    afx_msg void OnImport();
    afx_msg void OnCloseAll();
    afx_msg void OnFullPage();
    afx_msg void OnFixedZoom();
    afx_msg void OnShowTime();
    afx_msg void OnShowFileName();
    afx_msg void OnShowBorder();
    afx_msg void OnPrintButton();
    afx_msg LRESULT OnAddImage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    CImageStore* Store() const;
    void RedrawPreview();
    void ApplyTypedZoom();
    void AfterAdding();

    CSkinBitmapButton m_buttons[4];
    CSkinBitmapButton m_options[5];
    CNumericEdit m_zoomEdit;
    CRect m_preview;
};
