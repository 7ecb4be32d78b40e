#include "app/image/ImageAdjustPanel.h"

IMPLEMENT_DYNAMIC(CImageAdjustPanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CImageAdjustPanel, CPanelDialog)
END_MESSAGE_MAP()

CImageAdjustPanel::CImageAdjustPanel(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CImageAdjustPanel::~CImageAdjustPanel() {}

void CImageAdjustPanel::UpdateControlState() {}

void CImageAdjustPanel::ResetSliders() {}
