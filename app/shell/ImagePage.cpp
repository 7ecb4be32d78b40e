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
    if (links.imagePage.Peek() == this) links.imagePage = NULL;
    if (links.imageAdjust.Peek() == &m_imageAdjustPanel) links.imageAdjust = NULL;
    if (links.channelMerge.Peek() == &m_channelMergePanel) links.channelMerge = NULL;
    if (links.stamp.Peek() == &m_stampPanel) links.stamp = NULL;
    if (links.counter.Peek() == &m_counterPanel) links.counter = NULL;
    if (links.fusion.Peek() == &m_fusionPanel) links.fusion = NULL;
    if (links.rotate.Peek() == &m_rotatePanel) links.rotate = NULL;
    if (links.layers.Peek() == &m_layersDialog) links.layers = NULL;
}

void CImagePage::DeferSections()
{
    m_bDeferSections = TRUE;
    ShellLinks& links = Links();
    if (links.imagePage.Peek() == this) links.imagePage.Set(this, this);
    if (links.imageAdjust.Peek() == &m_imageAdjustPanel) links.imageAdjust.Set(&m_imageAdjustPanel, this);
    if (links.channelMerge.Peek() == &m_channelMergePanel) links.channelMerge.Set(&m_channelMergePanel, this);
    if (links.stamp.Peek() == &m_stampPanel) links.stamp.Set(&m_stampPanel, this);
    if (links.counter.Peek() == &m_counterPanel) links.counter.Set(&m_counterPanel, this);
    if (links.fusion.Peek() == &m_fusionPanel) links.fusion.Set(&m_fusionPanel, this);
    if (links.rotate.Peek() == &m_rotatePanel) links.rotate.Set(&m_rotatePanel, this);
}

BOOL CImagePage::OnInitDialog()
{
    CTabPage::OnInitDialog();
    // The layers panel floats: a topmost popup of the page, hidden until asked for.  Made
    // with the page even when the sections wait: a topmost window made once the frame is
    // up may leave the frame stacked over its floating panels on the display.
    m_layersDialog.Create(CLayersDialog::IDD, this);
    m_layersDialog.SetWindowPos(&CWnd::wndTopMost, 212, 80, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    AddOrDeferSections();
    LayoutPanels();
    return TRUE;
}

void CImagePage::AddDeferredSections()
{
    AddSection(m_imageAdjustPanel, CImageAdjustPanel::IDD, IDS_SECTION_ADJUST);
    AddSection(m_channelMergePanel, CChannelMergePanel::IDD, IDS_SECTION_MERGE);
    AddSection(m_stampPanel, CStampPanel::IDD, IDS_SECTION_STAMP);
    AddSection(m_counterPanel, CCounterPanel::IDD, IDS_SECTION_COUNTER);
    AddSection(m_fusionPanel, CFusionPanel::IDD, IDS_SECTION_ADVANCED);
    for (size_t i = 1; i < m_sections.size(); i++) m_sections[i]->SetExpanded(FALSE);
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
