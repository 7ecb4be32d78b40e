// The focus meter: a popup of the main frame holding one progress bar (0 to 255) over
// its whole client area, floating at the bottom of the live picture.
#pragma once
#include "afxwin.h"
#include "app/shell/ProgressPopupIds.h"
#include "app/controls/SkinProgressCtrl.h"

class CProgressPopup : public CDialog
{
    DECLARE_DYNAMIC(CProgressPopup)
public:
    explicit CProgressPopup(CWnd* pParent = NULL);
    virtual ~CProgressPopup();
    enum { IDD = IDD_PROGRESS_POPUP };

    virtual BOOL OnInitDialog() override;
    virtual BOOL PreTranslateMessage(MSG* pMsg) override;
    CSkinProgressCtrl& GetProgress() { return m_progress; }

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

    CSkinProgressCtrl m_progress;
};
