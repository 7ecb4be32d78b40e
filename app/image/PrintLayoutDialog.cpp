#include "app/image/PrintLayoutDialog.h"

IMPLEMENT_DYNAMIC(CPrintLayoutDialog, CPanelDialog)

BEGIN_MESSAGE_MAP(CPrintLayoutDialog, CPanelDialog)
    ON_MESSAGE(WM_PRINT_ADD_IMAGE, OnAddImage)
END_MESSAGE_MAP()

CPrintLayoutDialog::CPrintLayoutDialog(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CPrintLayoutDialog::~CPrintLayoutDialog() {}

void CPrintLayoutDialog::OnPrint() {}

LRESULT CPrintLayoutDialog::OnAddImage(WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    return 0;
}
