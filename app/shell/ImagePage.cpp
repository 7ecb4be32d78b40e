#include "app/shell/ImagePage.h"
#include "app/shell/FoldPanel.h"
#include "app/shell/ShellLinks.h"
#include "app/browse/BrowseToolBar.h"
#include "app/res/resource.h"

IMPLEMENT_DYNAMIC(CImagePage, CTabPage)

BEGIN_MESSAGE_MAP(CImagePage, CTabPage)
    ON_MESSAGE(WM_ADJUST_PANEL_REFRESH, OnAdjustPanelRefresh)
END_MESSAGE_MAP()

CImagePage::CImagePage(CWnd* pParent) : CTabPage(IDD, pParent)
{
    ShellLinks& links = Links();
    links.imagePage = this;
    links.imageAdjust = &m_imageAdjustPanel;
    links.channelMerge = &m_channelMergePanel;
    links.stamp = &m_stampPanel;
    links.counter = &m_counterPanel;
    links.fusion = &m_fusionPanel;
    links.rotate = &m_rotatePanel;
    links.layers = &m_layersDialog;
}

CImagePage::~CImagePage()
{
    ShellLinks& links = Links();
    if (links.imagePage == this) links.imagePage = NULL;
    if (links.imageAdjust == &m_imageAdjustPanel) links.imageAdjust = NULL;
    if (links.channelMerge == &m_channelMergePanel) links.channelMerge = NULL;
    if (links.stamp == &m_stampPanel) links.stamp = NULL;
    if (links.counter == &m_counterPanel) links.counter = NULL;
    if (links.fusion == &m_fusionPanel) links.fusion = NULL;
    if (links.rotate == &m_rotatePanel) links.rotate = NULL;
    if (links.layers == &m_layersDialog) links.layers = NULL;
}

BOOL CImagePage::OnInitDialog()
{
    CTabPage::OnInitDialog();
    AddSection(m_imageAdjustPanel, CImageAdjustPanel::IDD, IDS_SECTION_ADJUST);
    AddSection(m_channelMergePanel, CChannelMergePanel::IDD, IDS_SECTION_MERGE);
    AddSection(m_stampPanel, CStampPanel::IDD, IDS_SECTION_STAMP);
    AddSection(m_counterPanel, CCounterPanel::IDD, IDS_SECTION_COUNTER);
    AddSection(m_fusionPanel, CFusionPanel::IDD, IDS_SECTION_ADVANCED);
    for (size_t i = 1; i < m_sections.size(); i++) m_sections[i]->SetExpanded(FALSE);
    // The layers panel floats: a topmost popup of the page, hidden until asked for.
    m_layersDialog.Create(CLayersDialog::IDD, this);
    m_layersDialog.SetWindowPos(&CWnd::wndTopMost, 212, 80, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    LayoutPanels();
    return TRUE;
}

void CImagePage::RefreshAllPanels()
{
    if (m_imageAdjustPanel.m_hWnd == NULL || m_stampPanel.m_hWnd == NULL || m_fusionPanel.m_hWnd == NULL) return;
    m_imageAdjustPanel.UpdateControlState();
    m_channelMergePanel.UpdateControlState();
    m_channelMergePanel.RefillLists();
    m_fusionPanel.UpdateControlState();
    m_stampPanel.UpdateControlState();
    m_layersDialog.UpdateControlState();
    m_counterPanel.UpdateControlState();
}

LRESULT CImagePage::OnAdjustPanelRefresh(WPARAM, LPARAM)
{
    m_imageAdjustPanel.ResetSliders();
    return 0;
}
