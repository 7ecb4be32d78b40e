#include "app/capture/ExposurePanel.h"

IMPLEMENT_DYNAMIC(CExposurePanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CExposurePanel, CPanelDialog)
END_MESSAGE_MAP()

CExposurePanel::CExposurePanel(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CExposurePanel::~CExposurePanel() {}

void CExposurePanel::ConfigureForCamera() {}

void CExposurePanel::RefreshFromCamera() {}

void CExposurePanel::UpdateControlState() {}

void CExposurePanel::EnableLongExposure() {}
