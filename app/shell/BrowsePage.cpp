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

CBrowsePage::~CBrowsePage() { LinkDeferredParts(false); }

void CBrowsePage::LinkDeferredParts(bool build)
{
    ShellLinks& links = Links();
    Link(links.browsePage, this, build);
    Link(links.imageInfo, &m_imageInfoPanel, build);
    Link(links.folder, &m_folderPanel, build);
}

BOOL CBrowsePage::OnInitDialog()
{
    CTabPage::OnInitDialog();
    AddOrDeferSections();
    LayoutPanels();
    return TRUE;
}

void CBrowsePage::AddDeferredSection(int index)
{
    if (index == 0) AddSection(m_imageInfoPanel, CImageInfoPanel::IDD, IDS_SECTION_IMAGE_INFO)->ShowToggle(FALSE);
    else AddSection(m_folderPanel, CFolderPanel::IDD, IDS_SECTION_PATH)->ShowToggle(FALSE);
}

void CBrowsePage::RefreshImageInfo() { m_imageInfoPanel.Refresh(); }
