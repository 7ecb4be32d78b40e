#include "app/image/StampPanel.h"

IMPLEMENT_DYNAMIC(CStampPanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CStampPanel, CPanelDialog)
END_MESSAGE_MAP()

CStampPanel::CStampPanel(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CStampPanel::~CStampPanel() {}

void CStampPanel::UpdateControlState() {}

void CStampPanel::ResetStamp() {}
