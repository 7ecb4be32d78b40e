// The one-button bar that leaves full-screen live preview; dragged by any point.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/shell/LeaveBarIds.h"

class CLeaveBar : public CPanelDialog
{
    DECLARE_DYNAMIC(CLeaveBar)
public:
    explicit CLeaveBar(CWnd* pParent = NULL);
    virtual ~CLeaveBar();
    enum { IDD = IDD_LEAVE_BAR };

protected:
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnLeave();
    DECLARE_MESSAGE_MAP()
};
