// The camera panel and capture tool column on a plain parent: the live windows, and
// recording stand-ins for every other part they call, reached through the links.
#pragma once
#include "tests/live_preview/PreviewSupport.h"

#include "app/capture/CameraPanel.h"
#include "app/capture/CaptureToolBar.h"
#include "app/capture/CaptureProgressPanel.h"
#include "app/capture/ColorParamPanel.h"
#include "app/capture/ParameterGroupPanel.h"
#include "app/capture/WhiteBalanceWizard.h"
#include "app/shell/MainFrame.h"
#include "app/shell/CapturePage.h"
#include "app/shell/ImagePage.h"
#include "app/shell/TitleBar.h"
#include "app/shell/ProgressPopup.h"
#include "app/shell/DravenluxDoc.h"
#include "app/store/ImageStore.h"
#include "app/image/ComparePane.h"
#include "app/measure/MeasurePanel.h"

#include <string>
#include <vector>

namespace preview {

// The calls of all stand-ins, in order, as "Class::Operation" texts.
std::vector<std::string>& CallLog();
int Calls(const std::string& name);
int IndexOf(const std::string& name);   // first position in the log, -1 when absent

class FakeFrame : public CMainFrame
{
public:
    void RefreshCameraList() override { CallLog().push_back("Frame::RefreshCameraList"); }
    void SetFullPreview(BOOL on) override { m_bFullPreview = on ? 1 : 0; }
    void SetCompareMode(BOOL on) override
    {
        CallLog().push_back("Frame::SetCompareMode");
        m_bCompareMode = on ? 1 : 0;
    }
};

class FakeCapturePage : public CCapturePage
{
public:
    void RefreshAllPanels() override;
    // Whether a region was shown when the panels were last refreshed.
    int partialAtRefresh = -1;
};

class FakeImagePage : public CImagePage
{
public:
    void RefreshAllPanels() override { CallLog().push_back("ImagePage::RefreshAllPanels"); }
};

class FakeCapturePanel : public CCapturePanel
{
public:
    void UpdateControlState() override { CallLog().push_back("CapturePanel::UpdateControlState"); }
    void OnCapture() override { CallLog().push_back("CapturePanel::OnCapture"); }
};

class FakeVideoRecord : public CVideoRecordPanel
{
public:
    void UpdateControlState() override { CallLog().push_back("VideoRecord::UpdateControlState"); }
};

class FakeExposure : public CExposurePanel
{
public:
    void RefreshFromCamera() override { CallLog().push_back("Exposure::RefreshFromCamera"); }
    void UpdateControlState() override { CallLog().push_back("Exposure::UpdateControlState"); }
};

class FakeColorParam : public CColorParamPanel
{
public:
    void OnWhiteBalance() override { CallLog().push_back("ColorParam::OnWhiteBalance"); }
    void OnCalcFlatField() override { CallLog().push_back("ColorParam::OnCalcFlatField"); }
};

class FakeParamGroup : public CParameterGroupPanel
{
public:
    void ToggleBlackBackground() override { CallLog().push_back("ParamGroup::ToggleBlackBackground"); }
};

class FakeTitleBar : public CTitleBar
{
public:
    void EnableByCameraState() override { CallLog().push_back("TitleBar::EnableByCameraState"); }
};

class FakeMeasurePanel : public CMeasurePanel
{
public:
    void Refresh() override { CallLog().push_back("Measure::Refresh"); }
    void DisableTools() override { CallLog().push_back("Measure::DisableTools"); }
    void ResetMeasurements() override { CallLog().push_back("Measure::ResetMeasurements"); }
};

class FakeComparePane : public CComparePane
{
public:
    void SetZoom(float zoom) override
    {
        CallLog().push_back("Compare::SetZoom");
        m_zoom = zoom;
    }
    void FitToWindow(int) override { CallLog().push_back("Compare::FitToWindow"); }
    void MirrorImage() override { CallLog().push_back("Compare::MirrorImage"); }
    void FlipImage() override { CallLog().push_back("Compare::FlipImage"); }
};

class FakeDoc : public CDravenluxDoc
{
public:
    BOOL OnOpenDocument(LPCWSTR path) override;
    CString openedPath;
    int trackingAtOpen = -1;
};

// A camera panel whose region pick answers as told instead of asking the user.
class RegionCameraPanel : public CCameraPanel
{
public:
    CRect answer = CRect(0, 0, 0, 0);
    int picks = 0;
    CRect lastBounds;

protected:
    BOOL PickScreenRegion(const CRect& bounds, CRect* chosen) override
    {
        picks++;
        lastBounds = bounds;
        *chosen = answer;
        return !answer.IsRectEmpty();
    }
};

// Everything the camera panel reaches, on plain windows.
class PanelHarness
{
public:
    PanelHarness();
    ~PanelHarness();

    CString Text(CWnd& wnd, int id);
    BOOL Enabled(int id);
    BOOL Visible(int id);
    // Moves a slider of the panel as a drag release would.
    void MoveSlider(int id, int position);

    LiveWindows live;
    Owner host;
    CImageStore store;
    FakeDoc doc;
    FakeFrame frame;
    FakeCapturePage capturePage;
    FakeImagePage imagePage;
    FakeCapturePanel capture;
    FakeVideoRecord videoRecord;
    CCaptureProgressPanel progress;
    FakeExposure exposure;
    FakeColorParam colorParam;
    FakeParamGroup paramGroup;
    FakeTitleBar titleBar;
    FakeMeasurePanel measure;
    FakeComparePane compare;
    CProgressPopup meter;
    CCaptureToolBar tools;
    RegionCameraPanel panel;
    std::unique_ptr<MessageSpy> videoSpy, progressSpy;
    CString baseFolder;
};

}  // namespace preview
