// The one-button bar that leaves full-screen live preview; dragged by any point.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/shell/LeaveBarIds.h"
#include "app/controls/SkinBitmapButton.h"

class CLeaveBar : public CPanelDialog
{
    DECLARE_DYNAMIC(CLeaveBar)
public:
    explicit CLeaveBar(CWnd* pParent = NULL);
    virtual ~CLeaveBar();
    enum { IDD = IDD_LEAVE_BAR };

    virtual BOOL OnInitDialog() override;
    virtual void DoDataExchange(CDataExchange* pDX) override;

protected:
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnLeave();
    DECLARE_MESSAGE_MAP()

    CSkinBitmapButton m_btnLeave;
};
