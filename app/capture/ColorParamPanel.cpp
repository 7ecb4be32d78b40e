#include "app/capture/ColorParamPanel.h"

IMPLEMENT_DYNAMIC(CColorParamPanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CColorParamPanel, CPanelDialog)
END_MESSAGE_MAP()

CColorParamPanel::CColorParamPanel(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CColorParamPanel::~CColorParamPanel() {}

void CColorParamPanel::ConfigureForCamera() {}

void CColorParamPanel::RefreshFromCamera() {}

void CColorParamPanel::UpdateControlState() {}

void CColorParamPanel::OnWhiteBalance() {}

void CColorParamPanel::OnCalcFlatField() {}

void CColorParamPanel::OnBlackBalance() {}
