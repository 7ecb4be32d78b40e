#include "app/image/RotatePanel.h"
#include "app/store/ImageStore.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/ShellLinks.h"

namespace {

CImageStore* Store()
{
    return Links().store != NULL ? Links().store : CImageStore::Instance();
}

void UpdateViews()
{
    if (Links().doc != NULL)
        Links().doc->UpdateAllViews(NULL);
}

}  // namespace

IMPLEMENT_DYNAMIC(CRotatePanel, CDialog)

BEGIN_MESSAGE_MAP(CRotatePanel, CDialog)
    ON_BN_CLICKED(IDC_ROTATE_LEFT, OnRotateLeft)
    ON_BN_CLICKED(IDC_ROTATE_RIGHT, OnRotateRight)
END_MESSAGE_MAP()

CRotatePanel::CRotatePanel(CWnd* pParent) : CDialog(IDD, pParent) {}

CRotatePanel::~CRotatePanel() {}

// A child panel: Enter and Escape do not end it.
void CRotatePanel::OnOK() {}
void CRotatePanel::OnCancel() {}

void CRotatePanel::OnRotateLeft()
{
    Store()->RotateLeft();
    UpdateViews();
}

void CRotatePanel::OnRotateRight()
{
    Store()->RotateRight();
    UpdateViews();
}
