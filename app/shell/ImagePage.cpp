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
    LinkDeferredParts(false);
    Links().layers.Forget(&m_layersDialog);
}

void CImagePage::LinkDeferredParts(bool build)
{
    ShellLinks& links = Links();
    Link(links.imagePage, this, build);
    Link(links.imageAdjust, &m_imageAdjustPanel, build);
    Link(links.channelMerge, &m_channelMergePanel, build);
    Link(links.stamp, &m_stampPanel, build);
    Link(links.counter, &m_counterPanel, build);
    Link(links.fusion, &m_fusionPanel, build);
    Link(links.rotate, &m_rotatePanel, build);
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

void CImagePage::AddDeferredSection(int index)
{
    CPanelDialog* const panels[] = {&m_imageAdjustPanel, &m_channelMergePanel, &m_stampPanel, &m_counterPanel,
                                    &m_fusionPanel};
    const UINT templates[] = {CImageAdjustPanel::IDD, CChannelMergePanel::IDD, CStampPanel::IDD, CCounterPanel::IDD,
                              CFusionPanel::IDD};
    const UINT titles[] = {IDS_SECTION_ADJUST, IDS_SECTION_MERGE, IDS_SECTION_STAMP, IDS_SECTION_COUNTER,
                           IDS_SECTION_ADVANCED};
    CFoldPanel* section = AddSectionInSteps(*panels[index], templates[index], titles[index]);
    // The first stays open.
    if (index > 0) section->SetExpanded(FALSE);
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
