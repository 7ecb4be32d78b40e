// The camera panel against the bench: opening and stopping with what they tell the other
// panels, the blank measuring picture, region display, the refresh rules per camera
// kind, sliders, resolutions and the white-balance wizard's life.
#include "tests/live_preview/PanelHarness.h"
#include "app/capture/CaptureStringIds.h"
#include "app/capture/LiveLayout.h"
#include "app/res/resource.h"

#include <fstream>
#include <iterator>

using namespace preview;
using orvbench::Bench;

namespace {

std::u16string U(const CString& s)
{
    return std::u16string((const char16_t*)(LPCWSTR)s, s.GetLength());
}

std::u16string Str(UINT id)
{
    CString s;
    s.LoadString(id);
    return U(s);
}

// Size, sample precision and component count from a JPEG file's frame header.
bool JpegFrame(const CString& path, int* width, int* height, int* precision, int* components)
{
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::vector<BYTE> data(::GetFileSize(file, NULL));
    DWORD read = 0;
    ::ReadFile(file, data.data(), (DWORD)data.size(), &read, NULL);
    ::CloseHandle(file);
    if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;
    size_t at = 2;
    while (at + 9 < data.size() && data[at] == 0xFF) {
        const BYTE marker = data[at + 1];
        const size_t length = (data[at + 2] << 8) | data[at + 3];
        if (marker >= 0xC0 && marker <= 0xC2) {
            *precision = data[at + 4];
            *height = (data[at + 5] << 8) | data[at + 6];
            *width = (data[at + 7] << 8) | data[at + 8];
            *components = data[at + 9];
            return true;
        }
        at += 2 + length;
    }
    return false;
}

// The fields of the manager record these tests read.
struct MgrFields
{
    int cameraType, sensorKind, mode, ResPreview;
};

MgrFields Mgr()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    return {mgr.cameraType, mgr.sensorKind, mgr.mode, mgr.ResPreview};
}

class CameraPanelTest : public ::testing::Test
{
protected:
    void SetUp() override { LoadBench(SmallCamera()); }
    void TearDown() override { QrCCameraUnInit(); }
};

}  // namespace

TEST_F(CameraPanelTest, PlayOpensIntoThePreviewAndTellsEveryPanel)
{
    PanelHarness h;
    EXPECT_EQ(U(h.Text(h.panel, IDC_CAMERA_PLAY)), u"播放");
    EXPECT_GE(h.panel.m_previewRes.GetCount(), 2);
    CallLog().clear();

    h.panel.PlayCamera();
    ASSERT_TRUE(IsCameraLive());
    EXPECT_EQ(U(h.Text(h.panel, IDC_CAMERA_PLAY)), Str(IDS_STOP));
    EXPECT_EQ(U(h.Text(h.capture, IDC_CAPTURE_PLAY)), Str(IDS_STOP));
    EXPECT_EQ(U(h.Text(h.videoRecord, IDC_VIDEO_PLAY)), Str(IDS_STOP));
    EXPECT_TRUE(h.videoSpy->WaitForMessage(WM_EXPOSURE_PROGRESS_START, 1000));
    for (const char* call : {"CapturePage::RefreshAllPanels", "CapturePanel::UpdateControlState",
                             "VideoRecord::UpdateControlState", "Compare::SetZoom", "Doc::OnOpenDocument",
                             "TitleBar::EnableByCameraState", "Measure::Refresh"})
        EXPECT_EQ(Calls(call), 1) << call;
    EXPECT_FLOAT_EQ(h.compare.m_zoom, h.live.preview.GetZoom());
    EXPECT_EQ(U(h.Text(h.tools, IDC_TOOL_ZOOM_TEXT)).empty(), false);

    // The blank measuring picture has the camera's size and is opened untracked.
    EXPECT_EQ(h.doc.openedPath, h.baseFolder + L"_Dynmeasure_.jpg");
    EXPECT_EQ(h.doc.trackingAtOpen, 0);
    EXPECT_EQ(h.store.IsTrackingOpenedFile(), 1);
    int w = 0, ht = 0, precision = 0, components = 0;
    ASSERT_TRUE(JpegFrame(h.doc.openedPath, &w, &ht, &precision, &components));
    EXPECT_EQ(w, 320);
    EXPECT_EQ(ht, 256);
    EXPECT_EQ(precision, 8);
    EXPECT_EQ(components, 1);

    // Frames arrive in the video static.
    MessageSpy frames(h.live.preview.m_hWnd);
    EXPECT_TRUE(frames.WaitForMessage(WM_CAMERA_FRAME_STATUS, 3000, 3));
    h.panel.UpdateWindow();
    h.tools.UpdateWindow();
    SaveScreenshot(h.panel.m_hWnd, "camera_panel");
    SaveScreenshot(h.tools.m_hWnd, "capture_tools");
    SaveScreenshot(h.live.preview.m_hWnd, "live_preview");

    // Stopping: the library stops, the panels are told, and every caption agrees.
    CallLog().clear();
    h.capture.m_bSeriesStop = 0;
    h.panel.PlayCamera();
    EXPECT_FALSE(IsCameraLive());
    EXPECT_EQ(U(h.Text(h.panel, IDC_CAMERA_PLAY)), Str(IDS_PLAY));
    EXPECT_EQ(U(h.Text(h.capture, IDC_CAPTURE_PLAY)), Str(IDS_PLAY));
    EXPECT_EQ(U(h.Text(h.videoRecord, IDC_VIDEO_PLAY)), Str(IDS_PLAY));
    EXPECT_EQ(h.capture.m_bSeriesStop, 1);
    EXPECT_TRUE(h.videoSpy->WaitForMessage(WM_EXPOSURE_PROGRESS_STOP, 1000));
    EXPECT_TRUE(h.progressSpy->WaitForMessage(WM_CAPTURE_PROGRESS_END, 1000));
    EXPECT_TRUE(h.videoRecord.IsWindowVisible() || (h.videoRecord.GetStyle() & WS_VISIBLE));
    EXPECT_FALSE(h.progress.GetStyle() & WS_VISIBLE);
    EXPECT_EQ(Calls("Measure::Refresh"), 1);
    EXPECT_FALSE(h.Enabled(IDC_CAMERA_EXPOSURE));
    EXPECT_FALSE(h.Enabled(IDC_CAMERA_DEFAULTS));
    EXPECT_TRUE(h.Enabled(IDC_CAMERA_PREVIEW_RES));
}

// At start-up the placeholder comes by a message of its own, once, after the open.
TEST_F(CameraPanelTest, PlayWithThePlaceholderLaterOpensItByTheNextMessage)
{
    PanelHarness h;
    CallLog().clear();
    h.panel.PlayCameraPlaceholderLater();
    ASSERT_TRUE(IsCameraLive());
    EXPECT_EQ(Calls("Doc::OnOpenDocument"), 0);
    EXPECT_EQ(Calls("TitleBar::EnableByCameraState"), 1);
    PumpMessagesFor(200);
    EXPECT_EQ(Calls("Doc::OnOpenDocument"), 1);
    EXPECT_EQ(h.doc.openedPath, h.baseFolder + L"_Dynmeasure_.jpg");
    EXPECT_EQ(h.doc.trackingAtOpen, 0);

    // A later open of the same panel opens it at once again.
    h.panel.PlayCamera();
    CallLog().clear();
    h.panel.PlayCamera();
    EXPECT_EQ(Calls("Doc::OnOpenDocument"), 1);
}

TEST_F(CameraPanelTest, AFailedOpenTellsTheUserAndChangesNothing)
{
    LoadBench("");
    PanelHarness h;
    // The preview and overlay are dialogs too: only a box with a message is answered.
    std::u16string shown;
    DialogWatcher watcher([](const SeenDialog& d) { return d.texts.empty() ? 0 : IDOK; });
    CallLog().clear();
    h.panel.PlayCamera();
    EXPECT_TRUE(WaitFor([&] {
        for (const SeenDialog& d : watcher.Dialogs())
            if (!d.texts.empty()) shown = d.Text();
        return !shown.empty();
    }, 3000));
    EXPECT_EQ(shown, Str(IDS_CAMERA_INIT_FAILED));
    EXPECT_EQ(U(h.Text(h.panel, IDC_CAMERA_PLAY)), u"播放");
    EXPECT_TRUE(CallLog().empty());
    EXPECT_EQ(::GetFileAttributesW(h.baseFolder + L"_Dynmeasure_.jpg"), INVALID_FILE_ATTRIBUTES);
    // Without a camera nothing but the play button's neighbours are usable.
    EXPECT_FALSE(h.Enabled(IDC_CAMERA_PREVIEW_RES));
    EXPECT_FALSE(h.Enabled(IDC_CAMERA_PLAY));
}

TEST_F(CameraPanelTest, RegionDisplayCropsWithTheFocusMeterAndAStopRestoresTheFullFrameFirst)
{
    PanelHarness h;
    h.panel.PlayCamera();
    ASSERT_TRUE(IsCameraLive());
    CRect video;
    h.live.preview.GetVideoStatic()->GetWindowRect(&video);
    h.panel.answer = CRect(video.left + 20, video.top + 20, video.left + 180, video.top + 140);
    CallLog().clear();
    h.panel.OnPartialDisplay();
    EXPECT_EQ(h.panel.picks, 1);
    EXPECT_TRUE(h.panel.lastBounds.Width() > 0 && h.panel.lastBounds.Height() > 0);
    EXPECT_EQ(h.panel.IsPartialDisplay(), 1);
    RECT shown = {};
    QrCCameraGetShowRect(&shown);
    EXPECT_LT(CRect(shown).Width(), 320);
    EXPECT_TRUE(h.meter.IsWindowVisible());
    EXPECT_TRUE(h.Enabled(IDC_CAMERA_FULL));
    EXPECT_FALSE(h.Enabled(IDC_CAMERA_PARTIAL));
    EXPECT_EQ(Calls("Measure::ResetMeasurements"), 1);
    EXPECT_EQ(Calls("Measure::DisableTools"), 1);
    // The library's focus values drive the meter while cropped.
    EXPECT_TRUE(WaitFor([&] { return h.meter.GetProgress().GetPos() > 0; }, 3000));

    h.panel.PlayCamera();
    EXPECT_EQ(h.capturePage.partialAtRefresh, 0);
    EXPECT_EQ(h.panel.IsPartialDisplay(), 0);
    QrCCameraGetShowRect(&shown);
    EXPECT_EQ(CRect(shown), CRect(0, 0, 320, 256));
    EXPECT_FALSE(h.meter.IsWindowVisible());

    // A cancelled pick leaves the picture whole.
    h.panel.PlayCamera();
    h.panel.answer = CRect(0, 0, 0, 0);
    h.panel.OnPartialDisplay();
    EXPECT_EQ(h.panel.IsPartialDisplay(), 0);
    EXPECT_TRUE(h.Enabled(IDC_CAMERA_PARTIAL));
}

TEST_F(CameraPanelTest, ExposureTextRoundsToTheTenthAndTheSliderCommitsOnceOnTheTypesThatRestart)
{
    PanelHarness h;
    h.panel.PlayCamera();   // the library learns the camera's exposure range
    h.panel.PlayCamera();
    // Stopped, the library keeps the exposure exactly as given.
    QrCCameraSetAeState(0);
    ASSERT_EQ(QrCCameraSetExposureTimeMS(999, 0), CAM_OK);
    h.panel.ShowExposureTime();
    EXPECT_EQ(U(h.Text(h.panel, IDC_CAMERA_EXPOSURE_TEXT)), u"00:00:001.0");
    ASSERT_EQ(QrCCameraSetExposureTimeMS(123456, 0), CAM_OK);
    h.panel.ShowExposureTime();
    EXPECT_EQ(U(h.Text(h.panel, IDC_CAMERA_EXPOSURE_TEXT)), u"00:00:123.5");
    h.panel.PlayCamera();
    ASSERT_TRUE(IsCameraLive());
    QrCCameraSetAeState(0);

    // A library camera applies the slider at once.
    h.panel.RefreshControls();
    h.MoveSlider(IDC_CAMERA_EXPOSURE, 40);
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    EXPECT_EQ(cur.exposureTime, (int)(40 * info.exposureUnit * 1000.0));
    EXPECT_TRUE(h.videoSpy->WaitForMessage(WM_EXPOSURE_PROGRESS_START, 1000, 2));
    EXPECT_EQ(Calls("Exposure::RefreshFromCamera"), 1);
    h.panel.PlayCamera();

    // A camera of type 12 takes the value at once and applies it 200 ms after the last move.
    LoadBench("camera camdrv 0547:C00A Drv.1 colour\n");
    ASSERT_EQ(Mgr().cameraType, CAMERA_TYPE_CAMDRVB);
    h.panel.RefreshResolutionCombos();
    h.panel.PlayCamera();
    ASSERT_TRUE(IsCameraLive());
    QrCCameraSetAeState(0);
    h.panel.RefreshControls();
    PumpMessagesFor(100);
    h.videoSpy->Clear();
    h.MoveSlider(IDC_CAMERA_EXPOSURE, 20);
    h.MoveSlider(IDC_CAMERA_EXPOSURE, 25);
    QrCCameraGetCurParameter(&cur);
    EXPECT_EQ(cur.exposureTime, 25000);
    EXPECT_EQ(h.videoSpy->Count(WM_EXPOSURE_PROGRESS_START), 0);
    EXPECT_TRUE(h.videoSpy->WaitForMessage(WM_EXPOSURE_PROGRESS_START, 2000));
    // The frames since report the device's exposure: the one moved to.
    PumpMessagesFor(400);
    QrCCameraGetCurParameter(&cur);
    EXPECT_EQ(cur.exposureTime, 25000);
    EXPECT_EQ(h.videoSpy->Count(WM_EXPOSURE_PROGRESS_START), 1);
}

namespace {

struct CameraKind
{
    const char* name;
    const char* benchLine;
    int cameraType;
    bool decibelLabel;
    bool whiteBalanceLock;
    int gainPosition;
    const char16_t* gainText;
};

const CameraKind kKinds[] = {
    {"library", "camera zedodir 0547:A005 K.1 colour resolutions=320X256,160X128", CAMERA_TYPE_CORE_A, false, false, 10, u"10"},
    {"library ccd", "camera zedodir 0547:840A K.1 mono resolutions=320X256,160X128", CAMERA_TYPE_CORE_A, false, false, 0, nullptr},
    {"product 32", "camera zedodir 5172:2A01 K.1 colour resolutions=320X256,160X128", CAMERA_TYPE_CORE_A, false, true, 0, nullptr},
    {"driver cmos 12", "camera camdrv 0547:C00A K.1 colour", CAMERA_TYPE_CAMDRVB, true, false, 10, u"3.0dB"},
    {"driver cmos 11", "camera camdrv 0547:C005 K.1 colour", CAMERA_TYPE_CAMDRVA, true, false, 0, nullptr},
    {"driver cmos 13", "camera camdrv 0547:C009 K.1 colour", CAMERA_TYPE_CAMDRVC, true, false, 0, nullptr},
    {"driver type 5", "camera camdrv 0547:C003 K.1 colour", CAMERA_TYPE_CAMDRVD, true, false, 3, u"3"},
    {"driver cmos 1", "camera camdrv 0547:C008 K.1 colour", CAMERA_TYPE_CAMDRVE, false, false, 7, u"7"},
    {"driver ccd", "camera camdrv 0547:D004 K.1 mono", CAMERA_TYPE_CAMDRVF, false, false, 100, u"9.510dB"},
};

}  // namespace

TEST_F(CameraPanelTest, RulesFollowTheCameraKind)
{
    for (const CameraKind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        LoadBench(std::string(kind.benchLine) + "\n");
        PanelHarness h;
        ASSERT_EQ(Mgr().cameraType, kind.cameraType);
        // Stopped: only the resolution controls and play, with the fallback ranges.
        EXPECT_FALSE(h.Enabled(IDC_CAMERA_EXPOSURE));
        EXPECT_TRUE(h.Enabled(IDC_CAMERA_PLAY));
        EXPECT_EQ(h.panel.m_exposure.m_nMax, 10000);
        EXPECT_EQ(h.panel.m_gain.m_nMax, 100);
        EXPECT_EQ(h.panel.m_gamma.m_nMin, -20);

        h.panel.PlayCamera();
        ASSERT_TRUE(IsCameraLive());
        const MgrFields mgr = Mgr();
        CameraParamInfo info;
        QrCCameraGetParameterInfo(&info, 1);
        EXPECT_TRUE(h.Enabled(IDC_CAMERA_DEFAULTS));
        EXPECT_TRUE(h.Enabled(IDC_CAMERA_GAIN));
        EXPECT_EQ(h.Enabled(IDC_CAMERA_FLUO_WIZARD), mgr.sensorKind == SENSOR_KIND_CCD && mgr.mode != 0);
        EXPECT_EQ(h.Visible(IDC_CAMERA_WB_LOCK), kind.whiteBalanceLock);
        EXPECT_EQ(h.Visible(IDC_CAMERA_WHITE_BALANCE), !kind.whiteBalanceLock);
        EXPECT_FALSE(h.Visible(IDC_CAMERA_PLAY));
        CString label = h.Text(h.panel, IDC_CAMERA_GAIN_LABEL);
        EXPECT_EQ(label.Find(L"(dB)") >= 0, kind.decibelLabel);
        EXPECT_EQ(h.panel.m_gamma.m_nMax, info.gammaMax);
        // The exposure slider reaches the camera's longest exposure, whatever its unit.
        EXPECT_GT(h.panel.m_exposure.m_nMax, 1);
        if (kind.gainText != nullptr) {
            h.panel.m_gain.m_nPos = kind.gainPosition;   // as a drag leaves it, unclamped
            h.panel.SendMessage(WM_SLIDER_MOVED, IDC_CAMERA_GAIN, kind.gainPosition);
            EXPECT_EQ(U(h.Text(h.panel, IDC_CAMERA_GAIN_TEXT)), std::u16string(kind.gainText));
        }
        h.panel.PlayCamera();
        EXPECT_FALSE(h.Enabled(IDC_CAMERA_GAIN));
    }

    // The second library family is chosen only by its code; its one-push button is
    // captioned by the automatic white balance.
    LoadBench("");
    ASSERT_EQ(QrCSetCamera(CAMERA_TYPE_CORE_B), CAM_OK);
    PanelHarness h;
    h.panel.RefreshSliders();
    EXPECT_EQ(U(h.Text(h.panel, IDC_CAMERA_WHITE_BALANCE)), Str(IDS_AUTO_WHITE_BALANCE));
    EXPECT_EQ(h.panel.m_bWhiteBalanceLock, 1);
}

TEST_F(CameraPanelTest, ResolutionsAndTheSmallPreviewForTheFluorescenceWizard)
{
    LoadBench("camera zedodir 0547:A005 Res.1 colour resolutions=1280X1024,640X512,320X256,160X128 clocks=fast:400\n");
    PanelHarness h;
    ASSERT_EQ(h.panel.m_previewRes.GetCount(), 4);
    h.panel.m_previewRes.SetCurSel(1);
    h.panel.UseSmallPreviewResolution();
    EXPECT_EQ(h.panel.m_previewRes.GetCurSel(), 2);
    EXPECT_EQ(Mgr().ResPreview, 2);
    EXPECT_FALSE(IsCameraLive());   // stopped: only the library is told
    h.panel.m_previewRes.SetCurSel(3);
    h.panel.UseSmallPreviewResolution();
    EXPECT_EQ(h.panel.m_previewRes.GetCurSel(), 3);

    // Running: a new preview resolution opens the camera again at it.
    h.panel.m_previewRes.SetCurSel(0);
    h.panel.SendMessage(WM_COMBO_SELCHANGED, IDC_CAMERA_PREVIEW_RES, 0);
    h.panel.PlayCamera();
    ASSERT_TRUE(IsCameraLive());
    h.panel.m_previewRes.SetCurSel(2);
    h.panel.SendMessage(WM_COMBO_SELCHANGED, IDC_CAMERA_PREVIEW_RES, 0);
    EXPECT_TRUE(IsCameraLive());
    int w = 0, ht = 0;
    QrCCameraGetImageSize(&w, &ht);
    EXPECT_EQ(w, 320);
    int jw = 0, jh = 0, precision = 0, components = 0;
    ASSERT_TRUE(JpegFrame(h.doc.openedPath, &jw, &jh, &precision, &components));
    EXPECT_EQ(jw, 320);
}

TEST_F(CameraPanelTest, TheWizardGoesWithItsWindow)
{
    PanelHarness h;
    h.panel.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CAMERA_WB_WIZARD, BN_CLICKED), 0);
    CWhiteBalanceWizard* wizard = h.panel.GetWizard();
    ASSERT_NE(wizard, nullptr);
    const HWND window = wizard->m_hWnd;
    ASSERT_TRUE(::IsWindow(window));
    // A second press only shows the open one.
    h.panel.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CAMERA_WB_WIZARD, BN_CLICKED), 0);
    EXPECT_EQ(h.panel.GetWizard(), wizard);
    ::SendMessageW(window, WM_CLOSE, 0, 0);   // its close box
    EXPECT_TRUE(WaitFor([&] { return h.panel.GetWizard() == nullptr; }, 2000));
    EXPECT_FALSE(::IsWindow(window));
}
