#include "app/measure/MeasurePanel.h"

IMPLEMENT_DYNAMIC(CMeasurePanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CMeasurePanel, CPanelDialog)
END_MESSAGE_MAP()

CMeasurePanel::CMeasurePanel(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CMeasurePanel::~CMeasurePanel() {}

void CMeasurePanel::Refresh() {}

void CMeasurePanel::DisableTools() {}

void CMeasurePanel::ResetMeasurements() {}

void CMeasurePanel::SyncToolButtons() {}
