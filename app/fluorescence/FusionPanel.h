// Composition launcher (placeholder).
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/fluorescence/FusionPanelIds.h"

class CFusionPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CFusionPanel)
public:
    explicit CFusionPanel(CWnd* pParent = NULL);
    virtual ~CFusionPanel();
    enum { IDD = IDD_FUSION_PANEL };

    virtual void UpdateControlState();

protected:

    DECLARE_MESSAGE_MAP()
};
