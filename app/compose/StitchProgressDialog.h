// The adjust panel's stitching progress: a running bar until the result arrives, then
// the result text and an OK button that asks the owner to close the window.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/compose/StitchProgressDialogIds.h"

class CStitchProgressDialog : public CPanelDialog
{
    DECLARE_DYNAMIC(CStitchProgressDialog)
public:
    // owner: the window that gets WM_STITCH_PROGRESS_CLOSED and destroys this one.
    explicit CStitchProgressDialog(CWnd* owner);
    virtual ~CStitchProgressDialog();
    enum { IDD = IDD_STITCH_PROGRESS };

    virtual BOOL OnInitDialog() override;
    // The bar climbs by one every 500 ms and wraps at 100 until StopProgress.
    void StartProgress();
    // The bar at 100 and the OK button shown.
    void StopProgress();
    int GetProgressStep() const { return m_step; }

protected:
    virtual void OnOK() override;
    virtual void OnCancel() override;
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

    CWnd* m_owner;
    int m_step;
};
