#include "app/capture/ParameterGroupPanel.h"

IMPLEMENT_DYNAMIC(CParameterGroupPanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CParameterGroupPanel, CPanelDialog)
END_MESSAGE_MAP()

CParameterGroupPanel::CParameterGroupPanel(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CParameterGroupPanel::~CParameterGroupPanel() {}

void CParameterGroupPanel::UpdateControlState() {}

void CParameterGroupPanel::RefillGroupCombo() {}

void CParameterGroupPanel::FillTeamCombo()
{
    RefillGroupCombo();
}

void CParameterGroupPanel::ToggleBlackBackground() {}

int CParameterGroupPanel::IsBlackBackground() const
{
    return 0;
}

void CParameterGroupPanel::ApplyBackgroundColors() {}
