// Turns the opened picture by 90 degrees to the left or the right.
#pragma once
#include "afxwin.h"
#include "app/image/RotatePanelIds.h"

class CRotatePanel : public CDialog
{
    DECLARE_DYNAMIC(CRotatePanel)
public:
    explicit CRotatePanel(CWnd* pParent = NULL);
    virtual ~CRotatePanel();
    enum { IDD = IDD_ROTATE_PANEL };

protected:
    virtual void OnOK() override;
    virtual void OnCancel() override;
    afx_msg void OnRotateLeft();
    afx_msg void OnRotateRight();
    DECLARE_MESSAGE_MAP()
};
