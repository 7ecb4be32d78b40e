#include "app/image/ApplyDefaultBar.h"
#include "app/store/ImageStore.h"
#include "app/shell/DravenluxView.h"
#include "app/shell/ImagePage.h"
#include "app/shell/ShellLinks.h"

namespace {

const UINT kButtonSkin[4] = {194, 196, 195, 197};   // normal, pressed, hover, disabled

CImageStore* Store()
{
    return Links().store != NULL ? Links().store : CImageStore::Instance();
}

}  // namespace

IMPLEMENT_DYNAMIC(CApplyDefaultBar, CPanelDialog)

BEGIN_MESSAGE_MAP(CApplyDefaultBar, CPanelDialog)
    ON_BN_CLICKED(IDC_BAR_APPLY, OnApply)
    ON_BN_CLICKED(IDC_BAR_DEFAULT, OnDefault)
END_MESSAGE_MAP()

CApplyDefaultBar::CApplyDefaultBar(CWnd* pParent) : CPanelDialog(IDD, pParent) {}

CApplyDefaultBar::~CApplyDefaultBar() {}

BOOL CApplyDefaultBar::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    m_apply.SubclassDlgItem(IDC_BAR_APPLY, this);
    m_default.SubclassDlgItem(IDC_BAR_DEFAULT, this);
    m_apply.SetSkin(kButtonSkin[0], kButtonSkin[1], kButtonSkin[2], kButtonSkin[3], 0, 0);
    m_default.SetSkin(kButtonSkin[0], kButtonSkin[1], kButtonSkin[2], kButtonSkin[3], 0, 0);
    return TRUE;
}

void CApplyDefaultBar::RedrawAndNotify()
{
    CDravenluxView* view = Links().view;
    if (view != NULL && view->GetSafeHwnd() != NULL) {
        view->RefreshMainView();
        view->Invalidate(FALSE);
    }
    // The bar sits in a fold section of a page: the page is two levels up.
    CWnd* section = GetParent();
    CWnd* page = section != NULL ? section->GetParent() : NULL;
    if (page != NULL && page->GetSafeHwnd() != NULL)
        page->PostMessage(WM_ADJUST_PANEL_REFRESH, 0, 0);
}

void CApplyDefaultBar::OnApply()
{
    Store()->ApplyAdjustments();
    RedrawAndNotify();
}

void CApplyDefaultBar::OnDefault()
{
    Store()->RevertAdjustments();
    RedrawAndNotify();
}
