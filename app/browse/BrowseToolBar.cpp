#include "app/browse/BrowseToolBar.h"

IMPLEMENT_DYNAMIC(CBrowseToolBar, CPanelDialog)

BEGIN_MESSAGE_MAP(CBrowseToolBar, CPanelDialog)
END_MESSAGE_MAP()

CBrowseToolBar::CBrowseToolBar(CWnd* pParent) : CPanelDialog(IDD, pParent, L"skin\\tool_bg.bmp") {}
CBrowseToolBar::~CBrowseToolBar() {}

void CBrowseToolBar::ShowZoom(float zoom)
{
    CString text;
    text.Format(L"%d%%", (int)(zoom * 100.0f + 0.5f));
    SetDlgItemText(IDC_BROWSE_ZOOM, text);
}

void CBrowseToolBar::OnSaveImage() {}

void CBrowseToolBar::CancelSelectionMode() {}

void CBrowseToolBar::UpdateControlState() {}
