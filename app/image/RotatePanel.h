// Rotate panel (placeholder).
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

    DECLARE_MESSAGE_MAP()
};
