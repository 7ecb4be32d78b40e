// Parameter group panel (placeholder).
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/capture/ParameterGroupPanelIds.h"

class CParameterGroupPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CParameterGroupPanel)
public:
    explicit CParameterGroupPanel(CWnd* pParent = NULL);
    virtual ~CParameterGroupPanel();
    enum { IDD = IDD_PARAMETER_GROUP_PANEL };

    virtual void UpdateControlState();
    virtual void RefillGroupCombo();
    void FillTeamCombo();
    // The black-background option of the live picture: the capture tool column toggles
    // it; the preview re-applies the colours after full screen while it is on.
    virtual void ToggleBlackBackground();
    virtual int IsBlackBackground() const;
    virtual void ApplyBackgroundColors();

protected:

    DECLARE_MESSAGE_MAP()
};
