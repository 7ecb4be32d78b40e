#include "app/fluorescence/FluorescencePanel.h"

IMPLEMENT_DYNAMIC(CFluorescencePanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CFluorescencePanel, CPanelDialog)
END_MESSAGE_MAP()

CFluorescencePanel::CFluorescencePanel(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CFluorescencePanel::~CFluorescencePanel() {}

void CFluorescencePanel::UpdateControlState() {}

void CFluorescencePanel::RefreshFromCamera() {}

void CFluorescencePanel::ShowDyeSettings() {}

void CFluorescencePanel::LoadDyeFromCamera()
{
    ShowDyeSettings();
}
