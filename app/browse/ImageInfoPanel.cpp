#include "app/browse/ImageInfoPanel.h"

IMPLEMENT_DYNAMIC(CImageInfoPanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CImageInfoPanel, CPanelDialog)
END_MESSAGE_MAP()

CImageInfoPanel::CImageInfoPanel(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CImageInfoPanel::~CImageInfoPanel() {}

void CImageInfoPanel::Refresh() {}
