#include "app/shell/BrowsePage.h"
#include "app/shell/FoldPanel.h"
#include "app/shell/ShellLinks.h"
#include "app/res/resource.h"

IMPLEMENT_DYNAMIC(CBrowsePage, CTabPage)

CBrowsePage::CBrowsePage(CWnd* pParent) : CTabPage(IDD, pParent)
{
    ShellLinks& links = Links();
    links.browsePage = this;
    links.imageInfo = &m_imageInfoPanel;
    links.folder = &m_folderPanel;
}

CBrowsePage::~CBrowsePage()
{
    ShellLinks& links = Links();
    links.browsePage.Forget(this);
    links.imageInfo.Forget(&m_imageInfoPanel);
    links.folder.Forget(&m_folderPanel);
}

void CBrowsePage::DeferSections()
{
    m_bDeferSections = TRUE;
    ShellLinks& links = Links();
    links.browsePage.BuildWith(this, this);
    links.imageInfo.BuildWith(&m_imageInfoPanel, this);
    links.folder.BuildWith(&m_folderPanel, this);
}

BOOL CBrowsePage::OnInitDialog()
{
    CTabPage::OnInitDialog();
    AddOrDeferSections();
    LayoutPanels();
    return TRUE;
}

void CBrowsePage::AddDeferredSections()
{
    AddSection(m_imageInfoPanel, CImageInfoPanel::IDD, IDS_SECTION_IMAGE_INFO)->ShowToggle(FALSE);
    AddSection(m_folderPanel, CFolderPanel::IDD, IDS_SECTION_PATH)->ShowToggle(FALSE);
}

void CBrowsePage::RefreshImageInfo() { m_imageInfoPanel.Refresh(); }
