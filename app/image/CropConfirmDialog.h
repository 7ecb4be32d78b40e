// The crop: cut switches the main view into selection mode; OK crops to the selection,
// cancel drops it; both end selection mode.
#pragma once
#include "afxwin.h"
#include "app/image/CropConfirmDialogIds.h"

class CCropConfirmDialog : public CDialog
{
    DECLARE_DYNAMIC(CCropConfirmDialog)
public:
    explicit CCropConfirmDialog(CWnd* pParent = NULL);
    virtual ~CCropConfirmDialog();
    enum { IDD = IDD_CROP_CONFIRM };

protected:
    virtual void OnOK() override;
    virtual void OnCancel() override;
    afx_msg void OnCut();
    afx_msg void OnCropOk();
    afx_msg void OnCropCancel();
    DECLARE_MESSAGE_MAP()
};
