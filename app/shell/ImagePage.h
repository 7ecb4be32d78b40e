// The Image tab page: adjust, channel merge, stamp, counter and composition sections,
// and the layers panel as a popup of the page.
#pragma once
#include "app/shell/TabPage.h"
#include "app/image/ImageAdjustPanel.h"
#include "app/image/RotatePanel.h"
#include "app/image/StampPanel.h"
#include "app/measure/CounterPanel.h"
#include "app/measure/LayersDialog.h"
#include "app/compose/ChannelMergePanel.h"
#include "app/compose/FusionPanel.h"
#include "app/shell/ShellLinks.h"

// Posted to the Image page: put the image-adjust sliders back to neutral.
const UINT WM_ADJUST_PANEL_REFRESH = 0x621;

class CImagePage : public CTabPage
{
    DECLARE_DYNAMIC(CImagePage)
public:
    explicit CImagePage(CWnd* pParent = NULL);
    virtual ~CImagePage();
    enum { IDD = IDD_IMAGE_PAGE };

    CImageAdjustPanel m_imageAdjustPanel;
    CChannelMergePanel m_channelMergePanel;
    CStampPanel m_stampPanel;
    CCounterPanel m_counterPanel;
    CFusionPanel m_fusionPanel;
    CRotatePanel m_rotatePanel;
    CLayersDialog m_layersDialog;

    virtual BOOL OnInitDialog() override;
    virtual void RefreshAllPanels();

protected:
    // Deferred: the sections; the layers panel is made with the page.
    virtual int DeferredSectionCount() const override { return 5; }
    virtual void AddDeferredSection(int index) override;
    virtual void AfterSectionsBuilt() override { RefreshAllPanels(); }
    virtual void LinkDeferredParts(bool build) override;
    afx_msg LRESULT OnAdjustPanelRefresh(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
