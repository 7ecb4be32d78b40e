#include "app/image/CropConfirmDialog.h"
#include "app/store/ImageStore.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/DravenluxView.h"
#include "app/shell/ShellLinks.h"

namespace {

CImageStore* Store()
{
    return Links().store != NULL ? Links().store : CImageStore::Instance();
}

// Leaves selection mode and shows the result everywhere.
void EndSelection()
{
    ShellLinks& links = Links();
    if (links.view != NULL && links.view->GetSafeHwnd() != NULL)
        links.view->Invalidate(FALSE);
    if (links.doc != NULL) {
        links.doc->InteractionMode = MODE_NONE;
        links.doc->UpdateAllViews(NULL);
    }
}

}  // namespace

IMPLEMENT_DYNAMIC(CCropConfirmDialog, CDialog)

BEGIN_MESSAGE_MAP(CCropConfirmDialog, CDialog)
    ON_BN_CLICKED(IDC_CROP_CUT, OnCut)
    ON_BN_CLICKED(IDC_CROP_OK, OnCropOk)
    ON_BN_CLICKED(IDC_CROP_CANCEL, OnCropCancel)
END_MESSAGE_MAP()

CCropConfirmDialog::CCropConfirmDialog(CWnd* pParent) : CDialog(IDD, pParent) {}

CCropConfirmDialog::~CCropConfirmDialog() {}

// A child panel: Enter and Escape do not end it.
void CCropConfirmDialog::OnOK() {}
void CCropConfirmDialog::OnCancel() {}

void CCropConfirmDialog::OnCut()
{
    if (Links().doc != NULL)
        Links().doc->InteractionMode = MODE_SELECT;
}

void CCropConfirmDialog::OnCropOk()
{
    Store()->CropToSelection();
    EndSelection();
}

void CCropConfirmDialog::OnCropCancel()
{
    Store()->ClearSelection();
    EndSelection();
}
