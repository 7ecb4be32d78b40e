#include "app/measure/LayersDialog.h"

IMPLEMENT_DYNAMIC(CLayersDialog, CPanelDialog)

BEGIN_MESSAGE_MAP(CLayersDialog, CPanelDialog)
END_MESSAGE_MAP()

CLayersDialog::CLayersDialog(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CLayersDialog::~CLayersDialog() {}

void CLayersDialog::RefreshLayerList() {}

void CLayersDialog::UpdateControlState() {}
