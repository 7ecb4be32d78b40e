#include "app/browse/ThumbnailStrip.h"

IMPLEMENT_DYNAMIC(CThumbnailStrip, CDialog)

BEGIN_MESSAGE_MAP(CThumbnailStrip, CDialog)
END_MESSAGE_MAP()

CThumbnailStrip::CThumbnailStrip(CWnd* pParent) : CDialog(IDD, pParent) {}
CThumbnailStrip::~CThumbnailStrip() {}

BOOL CThumbnailStrip::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.SubclassDlgItem(IDC_STRIP_LIST, this);
    return TRUE;
}

int CThumbnailStrip::SetFolder(const CString& folder)
{
    (void)folder;
    return 0;
}

void CThumbnailStrip::RefreshAfterChange() {}

void CThumbnailStrip::UpdateCurrentImageLabel(int force)
{
    (void)force;
}
