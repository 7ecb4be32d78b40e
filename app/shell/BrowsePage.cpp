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
    if (links.browsePage == this) links.browsePage = NULL;
    if (links.imageInfo == &m_imageInfoPanel) links.imageInfo = NULL;
    if (links.folder == &m_folderPanel) links.folder = NULL;
}

BOOL CBrowsePage::OnInitDialog()
{
    CTabPage::OnInitDialog();
    AddSection(m_imageInfoPanel, CImageInfoPanel::IDD, IDS_SECTION_IMAGE_INFO)->ShowToggle(FALSE);
    AddSection(m_folderPanel, CFolderPanel::IDD, IDS_SECTION_PATH)->ShowToggle(FALSE);
    LayoutPanels();
    return TRUE;
}

void CBrowsePage::RefreshImageInfo() { m_imageInfoPanel.Refresh(); }
