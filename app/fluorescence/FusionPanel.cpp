#include "app/fluorescence/FusionPanel.h"

IMPLEMENT_DYNAMIC(CFusionPanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CFusionPanel, CPanelDialog)
END_MESSAGE_MAP()

CFusionPanel::CFusionPanel(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CFusionPanel::~CFusionPanel() {}

void CFusionPanel::UpdateControlState() {}
