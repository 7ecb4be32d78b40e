// Print layout (placeholder).
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/image/PrintLayoutDialogIds.h"

// Posted by the document while the layout is open (wParam the thumbnail index), and by
// the layout to the frame when it closes.
const UINT WM_PRINT_ADD_IMAGE = 0xB12;
const UINT WM_PRINT_DIALOG_CLOSED = 0xB13;

class CPrintLayoutDialog : public CPanelDialog
{
    DECLARE_DYNAMIC(CPrintLayoutDialog)
public:
    explicit CPrintLayoutDialog(CWnd* pParent = NULL);
    virtual ~CPrintLayoutDialog();
    enum { IDD = IDD_PRINT_LAYOUT };

    virtual void OnPrint();

protected:
    afx_msg LRESULT OnAddImage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
