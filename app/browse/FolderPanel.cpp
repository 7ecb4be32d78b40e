#include "app/browse/FolderPanel.h"

IMPLEMENT_DYNAMIC(CFolderPanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CFolderPanel, CPanelDialog)
END_MESSAGE_MAP()

CFolderPanel::CFolderPanel(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CFolderPanel::~CFolderPanel() {}

