// Fluorescence panel (placeholder).
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/fluorescence/FluorescencePanelIds.h"

class CFluorescencePanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CFluorescencePanel)
public:
    explicit CFluorescencePanel(CWnd* pParent = NULL);
    virtual ~CFluorescencePanel();
    enum { IDD = IDD_FLUORESCENCE_PANEL };

    virtual void UpdateControlState();
    virtual void RefreshFromCamera();
    virtual void ShowDyeSettings();
    void LoadDyeFromCamera();

protected:

    DECLARE_MESSAGE_MAP()
};
