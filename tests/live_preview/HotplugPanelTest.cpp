// Cameras unplugged and plugged back while the camera panel runs them: the bench's
// notices through the listener, a frame stand-in that reads them as the main frame does,
// and the panel closing and reopening.
#include "tests/live_preview/PanelHarness.h"
#include "app/capture/CameraHotplugListener.h"
#include "app/capture/CaptureStringIds.h"
#include "app/capture/LiveLayout.h"

using namespace preview;
using orvbench::Bench;

namespace {

// Reads the listener's messages as the main frame does.
class FrameStandIn : public CWnd
{
public:
    FrameStandIn()
    {
        CreateEx(0, HostClass(), L"frame", WS_POPUP, 0, 0, 10, 10, NULL, NULL);
        listener.Register(m_hWnd);
    }
    ~FrameStandIn()
    {
        listener.Unregister();
        DestroyWindow();
    }
    CCameraHotplugListener listener;

protected:
    afx_msg LRESULT OnDeviceChangeMsg(WPARAM wParam, LPARAM lParam) { return listener.OnDeviceChange(wParam, lParam); }
    afx_msg LRESULT OnArrived(WPARAM wParam, LPARAM lParam)
    {
        ShellLinks& links = Links();
        if (lParam == 0 && (int)wParam != CAMERA_TYPE_NONE) QrCSetCamera((int)wParam);
        if (links.frame != NULL) links.frame->RefreshCameraList();
        links.camera->RefreshControls();
        links.camera->RefreshResolutionCombos();
        links.capture->UpdateControlState();
        links.videoRecord->UpdateControlState();
        links.imagePage->RefreshAllPanels();
        links.captureTools->UpdateControlState();
        return 1;
    }
    afx_msg LRESULT OnRemoved(WPARAM wParam, LPARAM lParam)
    {
        CCameraPanel* camera = Links().camera;
        if (lParam == 0) {
            if ((int)wParam != CAMERA_TYPE_NONE) camera->PostMessage(WM_CAMERA_REMOVED, 0, 0);
        } else if (wParam != 0) {
            camera->PostMessage(WM_CAMERA_REMOVED, 1, 0);
        } else if (Links().frame != NULL) {
            Links().frame->RefreshCameraList();
        }
        return 1;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(FrameStandIn, CWnd)
    ON_MESSAGE(WM_DEVICECHANGE, OnDeviceChangeMsg)
    ON_MESSAGE(WM_CAMERA_ARRIVED, OnArrived)
    ON_MESSAGE(WM_CAMERA_REMOVED, OnRemoved)
END_MESSAGE_MAP()

int CameraCount()
{
    int count = -1;
    QrCGetCameraCount(&count);
    return count;
}

int CameraType()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    return mgr.cameraType;
}

std::u16string U(const CString& s)
{
    return std::u16string((const char16_t*)(LPCWSTR)s, s.GetLength());
}

// After a close: the panel and the column show a stopped camera and nothing is drawn.
void ExpectClosed(PanelHarness& h)
{
    EXPECT_FALSE(IsCameraLive());
    CString play;
    play.LoadString(IDS_PLAY);
    EXPECT_EQ(U(h.Text(h.panel, IDC_CAMERA_PLAY)), U(play));
    EXPECT_FALSE(h.Enabled(IDC_CAMERA_EXPOSURE));
    EXPECT_FALSE(h.Enabled(IDC_CAMERA_DEFAULTS));
    EXPECT_FALSE(h.tools.GetDlgItem(IDC_TOOL_ZOOM_IN)->IsWindowEnabled());
    MessageSpy frames(h.live.preview.m_hWnd);
    PumpMessagesFor(500);
    EXPECT_EQ(frames.Count(WM_CAMERA_FRAME_STATUS), 0);
}

class HotplugPanelTest : public ::testing::Test
{
protected:
    void TearDown() override { QrCCameraUnInit(); }
};

}  // namespace

TEST_F(HotplugPanelTest, TheRunningLibraryCameraIsClosedWhenUnpluggedAndOpensAgainWhenBack)
{
    LoadBench(SmallCamera());
    PanelHarness h;
    FrameStandIn frame;
    h.panel.PlayCamera();
    ASSERT_TRUE(IsCameraLive());
    h.capture.m_bSeriesStop = 0;
    CallLog().clear();

    ASSERT_TRUE(Bench::Get().Unplug(kCamera));
    ASSERT_TRUE(WaitFor([] { return CameraCount() == 0; }, 3000));
    EXPECT_EQ(CameraType(), CAMERA_TYPE_NONE);
    ExpectClosed(h);
    // A series in progress ends, and the measuring tools follow the stopped camera.
    EXPECT_EQ(h.capture.m_bSeriesStop, 1);
    for (const char* call : {"Frame::RefreshCameraList", "CapturePage::RefreshAllPanels", "ImagePage::RefreshAllPanels",
                             "Measure::Refresh"})
        EXPECT_EQ(Calls(call), 1) << call;
    EXPECT_GT(IndexOf("Measure::Refresh"), IndexOf("ImagePage::RefreshAllPanels"));

    ASSERT_TRUE(Bench::Get().Plug(SmallCamera()));
    ASSERT_TRUE(WaitFor([] { return CameraCount() == 1; }, 3000));
    EXPECT_EQ(CameraType(), CAMERA_TYPE_CORE_A);
    PumpMessagesFor(100);
    EXPECT_TRUE(h.Enabled(IDC_CAMERA_PLAY));
    h.panel.PlayCamera();
    ASSERT_TRUE(IsCameraLive());
    MessageSpy frames(h.live.preview.m_hWnd);
    EXPECT_TRUE(frames.WaitForMessage(WM_CAMERA_FRAME_STATUS, 3000, 3));
}

TEST_F(HotplugPanelTest, ADriverCameraIsClosedAndChosenAgainByItsCode)
{
    LoadBench("");   // no library camera listed from before: the driver camera is chosen
    LoadBench("camera camdrv 0547:C00A Drv.1 colour\n");
    ASSERT_EQ(CameraType(), CAMERA_TYPE_CAMDRVB);
    PanelHarness h;
    FrameStandIn frame;
    h.panel.PlayCamera();
    ASSERT_TRUE(IsCameraLive());

    ASSERT_TRUE(Bench::Get().Unplug("Drv.1"));
    ASSERT_TRUE(WaitFor([] { return CameraType() == CAMERA_TYPE_NONE; }, 3000));
    ExpectClosed(h);

    ASSERT_TRUE(Bench::Get().Plug("camera camdrv 0547:C00A Drv.1 colour"));
    ASSERT_TRUE(WaitFor([] { return CameraType() == CAMERA_TYPE_CAMDRVB; }, 3000));
    h.panel.PlayCamera();
    ASSERT_TRUE(IsCameraLive());
    MessageSpy frames(h.live.preview.m_hWnd);
    EXPECT_TRUE(frames.WaitForMessage(WM_CAMERA_FRAME_STATUS, 3000, 3));
}

TEST_F(HotplugPanelTest, AnotherCameraLeavingOrAFailingDeviceLeavingDoesNoHarm)
{
    LoadBench(SmallCamera() + SmallCamera("Prev.2"));
    PanelHarness h;
    FrameStandIn frame;
    h.panel.PlayCamera();
    ASSERT_TRUE(IsCameraLive());
    ASSERT_TRUE(Bench::Get().Unplug("Prev.2"));
    ASSERT_TRUE(WaitFor([] { return CameraCount() == 1; }, 3000));
    PumpMessagesFor(200);
    EXPECT_TRUE(IsCameraLive());
    MessageSpy frames(h.live.preview.m_hWnd);
    EXPECT_TRUE(frames.WaitForMessage(WM_CAMERA_FRAME_STATUS, 3000, 3));

    // The running camera fails, then goes.
    ASSERT_TRUE(Bench::Get().InjectDeviceError(kCamera, true));
    EXPECT_TRUE(WaitFor([&] {
        for (const SpyMessage& m : frames.Messages())
            if (m.msg == WM_CAMERA_FRAME_STATUS && m.wParam == 3) return true;
        return false;
    }, 3000));
    ASSERT_TRUE(Bench::Get().Unplug(kCamera));
    ASSERT_TRUE(WaitFor([] { return CameraCount() == 0; }, 3000));
    ExpectClosed(h);
}

// The library refuses a stop while it finishes a recording: the panel retries, changes
// nothing until the stop gets through, and never opens the camera again on the way.
TEST_F(HotplugPanelTest, RefusedStopsAreRetriedByTheTimersAndChangeNothingUntilThen)
{
    LoadBench("");
    LoadBench("camera camdrv 0547:C00A Drv.1 colour\n");
    PanelHarness h;
    CString play, stop;
    play.LoadString(IDS_PLAY);
    stop.LoadString(IDS_STOP);
    h.panel.PlayCamera();
    ASSERT_TRUE(IsCameraLive());

    CallLog().clear();
    h.videoSpy->Clear();
    Bench::Get().InjectStopFailures(2);
    h.panel.PlayCamera();
    EXPECT_EQ(U(h.Text(h.panel, IDC_CAMERA_PLAY)), U(stop));
    EXPECT_EQ(Calls("VideoRecord::UpdateControlState"), 0);
    ASSERT_TRUE(WaitFor([&] { return U(h.Text(h.panel, IDC_CAMERA_PLAY)) == U(play); }, 3000));
    PumpMessagesFor(600);
    EXPECT_FALSE(IsCameraLive());
    EXPECT_EQ(Calls("VideoRecord::UpdateControlState"), 1);
    EXPECT_EQ(Calls("Doc::OnOpenDocument"), 0);
    EXPECT_GE(h.videoSpy->Count(WM_EXPOSURE_PROGRESS_STOP), 2);

    // Removals likewise, through the timer of each kind: deselect (0) and drop (1).
    for (WPARAM current : {0, 1}) {
        SCOPED_TRACE(current);
        if (CameraType() == CAMERA_TYPE_NONE) QrCSetCamera(CAMERA_TYPE_CAMDRVB);
        h.panel.PlayCamera();
        ASSERT_TRUE(IsCameraLive());
        Bench::Get().InjectStopFailures(1);
        CallLog().clear();
        h.capture.m_bSeriesStop = 0;
        h.panel.SendMessage(WM_CAMERA_REMOVED, current, 0);
        EXPECT_EQ(U(h.Text(h.panel, IDC_CAMERA_PLAY)), U(stop));
        EXPECT_EQ(CameraType(), CAMERA_TYPE_CAMDRVB);
        EXPECT_EQ(Calls("Frame::RefreshCameraList"), 0);
        ASSERT_TRUE(WaitFor([] { return CameraType() == CAMERA_TYPE_NONE; }, 3000));
        EXPECT_EQ(U(h.Text(h.panel, IDC_CAMERA_PLAY)), U(play));
        EXPECT_EQ(h.capture.m_bSeriesStop, 1);
        for (const char* call : {"Frame::RefreshCameraList", "CapturePage::RefreshAllPanels",
                                 "ImagePage::RefreshAllPanels", "Measure::Refresh"})
            EXPECT_EQ(Calls(call), 1) << call;
    }
}
