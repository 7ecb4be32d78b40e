// Stamp panel (placeholder).
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/image/StampPanelIds.h"

class CStampPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CStampPanel)
public:
    explicit CStampPanel(CWnd* pParent = NULL);
    virtual ~CStampPanel();
    enum { IDD = IDD_STAMP_PANEL };

    virtual void UpdateControlState();
    virtual void ResetStamp();

protected:

    DECLARE_MESSAGE_MAP()
};
