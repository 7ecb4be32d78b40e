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

protected:

    DECLARE_MESSAGE_MAP()
};
