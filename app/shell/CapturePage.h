// The Capture tab page: camera, capture, exposure, colour, fluorescence and parameter
// group sections, the video record panel and the hidden capture progress panel above
// them.  It receives the camera library's capture messages.
#pragma once
#include "app/shell/TabPage.h"
#include "app/capture/CameraPanel.h"
#include "app/capture/CapturePanel.h"
#include "app/capture/ExposurePanel.h"
#include "app/capture/ColorParamPanel.h"
#include "app/capture/ParameterGroupPanel.h"
#include "app/capture/VideoRecordPanel.h"
#include "app/capture/CaptureProgressPanel.h"
#include "app/fluorescence/FluorescencePanel.h"
#include "app/shell/ShellLinks.h"

class CCapturePage : public CTabPage
{
    DECLARE_DYNAMIC(CCapturePage)
public:
    explicit CCapturePage(CWnd* pParent = NULL);
    virtual ~CCapturePage();
    enum { IDD = IDD_CAPTURE_PAGE };

    CCameraPanel m_cameraPanel;
    CCapturePanel m_capturePanel;
    CExposurePanel m_exposurePanel;
    CColorParamPanel m_colorParamPanel;
    CFluorescencePanel m_fluorescencePanel;
    CParameterGroupPanel m_paramGroupPanel;
    CVideoRecordPanel m_videoRecordPanel;
    CCaptureProgressPanel m_captureProgressPanel;

    virtual BOOL OnInitDialog() override;
    virtual void LayoutPanels() override;
    // Every camera panel refreshed, in the order the panels depend on each other.
    virtual void RefreshAllPanels();
    // The same refresh a piece at a time, each short enough for the window to answer
    // between them: runs piece `step` (from 0); FALSE when there is none left.
    virtual BOOL RefreshPanelsStep(int step);

protected:
    virtual CPoint FirstSectionOrigin() override;
    afx_msg LRESULT OnCaptureDone(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCaptureProgress(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // Deferred: the collapsed sections (1-5); the camera library's first look for
    // cameras is then left to the frame.
    virtual int DeferredSectionCount() const override { return 5; }
    virtual void AddDeferredSection(int index) override;
    virtual BOOL AfterSectionsBuiltStep(int step) override { return RefreshPanelsStep(step); }
    virtual void LinkDeferredParts(bool build) override;
    void ResetRecordButton(BOOL cameraRuns);
};
