#include "app/measure/CounterPanel.h"

IMPLEMENT_DYNAMIC(CCounterPanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CCounterPanel, CPanelDialog)
END_MESSAGE_MAP()

CCounterPanel::CCounterPanel(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CCounterPanel::~CCounterPanel() {}

void CCounterPanel::UpdateControlState() {}
