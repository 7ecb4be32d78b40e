#include "app/image/RotatePanel.h"

IMPLEMENT_DYNAMIC(CRotatePanel, CDialog)

BEGIN_MESSAGE_MAP(CRotatePanel, CDialog)
END_MESSAGE_MAP()

CRotatePanel::CRotatePanel(CWnd* pParent) : CDialog(IDD, pParent) {}
CRotatePanel::~CRotatePanel() {}

