// The capture progress panel's estimates and timers, and the video record panel's
// read-out and buttons, on plain parents with the real camera library.
#include "CaptureSupport.h"

#include "app/capture/CaptureStringIds.h"

#include <algorithm>

using namespace captest;

namespace {

using Inputs = CCaptureProgressPanel::ShotInputs;

Inputs Shot(unsigned exposureUs, int mode, int type, int preview, int capture, int product = 3,
            int processing = 0, int fluorescence = 0, int flat = 0)
{
    Inputs in;
    in.exposureUs = exposureUs;
    in.flatField = flat;
    in.mode = mode;
    in.cameraType = type;
    in.previewRes = preview;
    in.captureRes = capture;
    in.product = product;
    in.processing = processing;
    in.fluorescenceType = fluorescence;
    return in;
}

}  // namespace

TEST(CaptureProgressEstimate, BranchesKeepAUsableTimer)
{
    struct Case {
        const char* what;
        Inputs in;
        int total, period;
        BOOL restart;
    } cases[] = {
        {"averaged still", Shot(33000, 1, 18, 0, 0, 3, 1, 2), 54, 54, TRUE},
        // k is the whole part of 2.5 x the resolution step: 2 for one step up, 5 for two down.
        {"binned product, capture above preview", Shot(1000000, 1, 18, 0, 1, 17), 70, 70, TRUE},
        {"binned product, capture below preview", Shot(1000000, 1, 18, 2, 0, 24), 115, 115, TRUE},
        {"driver camera 9, same resolution", Shot(33000, 0, 9, 0, 0), 32, 32, TRUE},
        {"driver camera 9 with flat field", Shot(1000000, 0, 9, 0, 1, 3, 0, 0, 1), 80, 100, FALSE},
    };
    for (const Case& c : cases) {
        const CCaptureProgressPanel::ShotEstimate e = CCaptureProgressPanel::FirstShot(c.in);
        EXPECT_EQ(e.total, c.total) << c.what;
        EXPECT_EQ(e.period, c.period) << c.what;
        EXPECT_EQ(e.restart, c.restart) << c.what;
    }
    // After an interval: no 200 ms floor and no averaging; even a zero exposure gives a
    // valid timer period and divisor.
    EXPECT_EQ(CCaptureProgressPanel::NextShot(Shot(50000, 1, 18, 0, 0)).total, 5);
    EXPECT_EQ(CCaptureProgressPanel::NextShot(Shot(1000000, 1, 18, 0, 1, 17, 1, 2)).total, 15);
    EXPECT_GE(CCaptureProgressPanel::NextShot(Shot(0, 1, 18, 0, 0)).total, 1);
}

class ProgressPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadBench();
        ASSERT_TRUE(live.Open());
        EditCaptureSettings([](CaptureParam& c) {
            c.IsLapse = 0;
            c.ProcessingEnabled = 0;
            c.FluorescenceType = 0;
        });
        ASSERT_TRUE(panel.Create(CCaptureProgressPanel::IDD, &parent.wnd));
        dlg = panel.m_hWnd;
    }
    void TearDown() override
    {
        panel.DestroyWindow();
        QrCCameraUnInit();
        QrCSetCamera(CAMERA_TYPE_NONE);
    }
    void Timer(UINT id) { SendMessageW(dlg, WM_TIMER, id, 0); }

    PlainParent parent;
    LiveWindows live;
    CCaptureProgressPanel panel;
    HWND dlg = nullptr;
};

TEST_F(ProgressPanelTest, ShotBarStepsToTheFullBarAndStays)
{
    SendMessageW(dlg, WM_CAPTURE_PROGRESS_START, 0, 0);
    EXPECT_EQ(panel.GetTickTotal(), 7);
    EXPECT_EQ(panel.GetShotPeriod(), 7);
    EXPECT_EQ(Text(dlg, IDC_PROGRESS_PERCENT), u"0%");
    std::vector<std::u16string> shown;
    for (int i = 0; i < 9; ++i) {
        Timer(CCaptureProgressPanel::TIMER_SHOT);
        shown.push_back(Text(dlg, IDC_PROGRESS_PERCENT));
    }
    const std::vector<std::u16string> expected = {u"14%", u"28%", u"42%", u"57%", u"71%", u"85%",
                                                  u"100%", u"100%", u"100%"};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(panel.GetPosition(), 100);
    // A single still: the saved shot stops the bar where it stands.
    SendMessageW(dlg, WM_CAPTURE_PROGRESS_SAVED, 0, 0);
    EXPECT_EQ(panel.GetShotPeriod(), 0);
    EXPECT_EQ(panel.GetIntervalPeriod(), 0);
    EXPECT_EQ(panel.GetPosition(), 100);
}

TEST_F(ProgressPanelTest, SeriesIntervalCountsUpThenTheNextShotStarts)
{
    EditCaptureSettings([](CaptureParam& c) {
        c.IsLapse = 1;
        c.Space = 10000;
    });
    SendMessageW(dlg, WM_CAPTURE_PROGRESS_START, 0, 0);
    SendMessageW(dlg, WM_CAPTURE_PROGRESS_SAVED, 0, 0);
    EXPECT_EQ(panel.GetShotPeriod(), 0);
    EXPECT_EQ(panel.GetIntervalPeriod(), 100);
    EXPECT_EQ(Text(dlg, IDC_PROGRESS_PERCENT), u"Interval");
    for (int i = 0; i < 99; ++i)
        Timer(CCaptureProgressPanel::TIMER_INTERVAL);
    EXPECT_EQ(panel.GetPosition(), 99);
    EXPECT_EQ(panel.GetShotPeriod(), 0) << "the next shot waits for the whole interval";
    // The second shot is estimated from the exposure now in force.
    ASSERT_EQ(QrCCameraSetExposureTimeMS(250000, 1), CAM_OK);
    Timer(CCaptureProgressPanel::TIMER_INTERVAL);
    EXPECT_EQ(panel.GetIntervalPeriod(), 0);
    EXPECT_EQ(panel.GetTickTotal(), 7);
    EXPECT_EQ(panel.GetShotPeriod(), 7);
    EXPECT_EQ(panel.GetPosition(), 0);
    EXPECT_EQ(Text(dlg, IDC_PROGRESS_PERCENT), u"0%");

    // An interval under 100 ms still gives a timer.
    EditCaptureSettings([](CaptureParam& c) { c.Space = 50; });
    SendMessageW(dlg, WM_CAPTURE_PROGRESS_SAVED, 0, 0);
    EXPECT_EQ(panel.GetIntervalPeriod(), 1);
    SendMessageW(dlg, WM_CAPTURE_PROGRESS_END, 0, 0);
    EXPECT_EQ(panel.GetIntervalPeriod(), 0);
    EXPECT_EQ(panel.GetShotPeriod(), 0);
}

TEST_F(ProgressPanelTest, EndWhileIdleChangesNothing)
{
    SendMessageW(dlg, WM_CAPTURE_PROGRESS_END, 0, 0);
    EXPECT_EQ(panel.GetShotPeriod(), 0);
    EXPECT_EQ(panel.GetIntervalPeriod(), 0);
    EXPECT_EQ(panel.GetTicks(), 0);
    EXPECT_EQ(panel.GetTickTotal(), 100);
}

namespace {

class VideoRecordPanelTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (panel.m_hWnd != nullptr)
            panel.DestroyWindow();
        QrCCameraUnInit();
        QrCSetCamera(CAMERA_TYPE_NONE);
    }
    void Create()
    {
        ASSERT_TRUE(panel.Create(CVideoRecordPanel::IDD, &parent.wnd));
        panel.ShowWindow(SW_SHOW);
        dlg = panel.m_hWnd;
    }
    std::u16string RateFor(int product, LPARAM rate)
    {
        CCameraManagerProbe::SetProduct(product);
        SendMessageW(dlg, WM_EXPOSURE_PROGRESS_POS, 1, rate);
        return Text(dlg, IDC_VIDEO_RATE);
    }

    ShellLinksScope scope;
    PlainParent parent;
    CVideoRecordPanel panel;
    HWND dlg = nullptr;
};

}  // namespace

TEST_F(VideoRecordPanelTest, FrameRateReadsTheSameForEveryProduct)
{
    LoadBench();
    Create();
    const int product = CCameraManagerProbe::Product();
    EXPECT_EQ(RateFor(32, 25000), u"25.0 fps");
    EXPECT_EQ(RateFor(3, 25000), u"25.0 fps");
    EXPECT_EQ(RateFor(17, 29970), u"30.0 fps");
    EXPECT_EQ(RateFor(3, 0), u"0.0 fps");
    CCameraManagerProbe::SetProduct(product);
}

TEST_F(VideoRecordPanelTest, ButtonsFollowTheCamera)
{
    // No camera: play disabled showing "播放", capture disabled.
    ASSERT_EQ(QrCSetCamera(CAMERA_TYPE_NONE), CAM_OK);
    Create();
    EXPECT_FALSE(Enabled(dlg, IDC_VIDEO_PLAY));
    EXPECT_FALSE(Enabled(dlg, IDC_VIDEO_CAPTURE));
    EXPECT_EQ(Text(dlg, IDC_VIDEO_PLAY), LoadU16(IDS_PLAY));
    EXPECT_FALSE(panel.PlayShowsRunning());

    // A camera with the picture stopped: play enabled, capture not, labels shown.
    LoadBench();
    ShowWindow(GetDlgItem(dlg, IDC_VIDEO_RATE), SW_HIDE);
    panel.UpdateControlState();
    EXPECT_TRUE(Enabled(dlg, IDC_VIDEO_PLAY));
    EXPECT_FALSE(Enabled(dlg, IDC_VIDEO_CAPTURE));
    EXPECT_EQ(Text(dlg, IDC_VIDEO_PLAY), LoadU16(IDS_PLAY));
    EXPECT_TRUE(Visible(dlg, IDC_VIDEO_RATE));
    EXPECT_TRUE(Visible(dlg, IDC_VIDEO_RATE_LABEL));

    // Running: "停止" with the running skin, capture enabled.
    LiveWindows live;
    ASSERT_TRUE(live.Open());
    panel.UpdateControlState();
    EXPECT_TRUE(Enabled(dlg, IDC_VIDEO_PLAY));
    EXPECT_TRUE(Enabled(dlg, IDC_VIDEO_CAPTURE));
    EXPECT_EQ(Text(dlg, IDC_VIDEO_PLAY), LoadU16(IDS_STOP));
    EXPECT_TRUE(panel.PlayShowsRunning());
    EXPECT_FALSE(Visible(dlg, IDC_VIDEO_COUNTER));

    // While a recording runs, capture is disabled and the counter left to the page.
    TempFolder folder;
    EditCaptureSettings([&](CaptureParam& c) {
        c.Path = folder.Path();
        c.FileName = L"R";
        c.IsCaptureDlg = 0;
        c.CaptureType = CAPTURE_TYPE_AVI;
        c.IsManual = 1;
        c.ReceiveWnd = nullptr;
    });
    CaptureParam request = LibraryCapture();
    ASSERT_EQ(QrCCameraCapture(&request), CAM_OK);
    panel.UpdateControlState();
    EXPECT_FALSE(Enabled(dlg, IDC_VIDEO_CAPTURE));
    EXPECT_FALSE(Visible(dlg, IDC_VIDEO_COUNTER));
    QrCCameraStopRecording();
    QrCCameraReleaseCapture();
    QrCCameraUnInit();
}

namespace {

// Columns of a painted button holding its glyph (pixels near the glyph's ink) and its
// caption (dark neutral pixels of the button text); first and last, -1 when none.
struct Columns {
    int glyphFirst = -1, glyphLast = -1, textFirst = -1, textLast = -1;
};

Columns GlyphAndCaption(HWND button, COLORREF ink)
{
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpMessagesFor(100);
    RECT rc;
    GetClientRect(button, &rc);
    Columns c;
    HDC dc = GetDC(button);
    for (int x = 0; x < rc.right; x++) {
        bool glyph = false, text = false;
        for (int y = 0; y < rc.bottom; y++) {
            const COLORREF p = GetPixel(dc, x, y);
            const int r = GetRValue(p), g = GetGValue(p), b = GetBValue(p);
            const int spread = std::max(r, std::max(g, b)) - std::min(r, std::min(g, b));
            // Grey text edges come near a dark ink: a glyph pixel is coloured as well.
            if (abs(r - GetRValue(ink)) <= 30 && abs(g - GetGValue(ink)) <= 30 && abs(b - GetBValue(ink)) <= 30 &&
                spread >= 40)
                glyph = true;
            else if (r < 100 && g < 100 && b < 100 && abs(r - b) < 30 && abs(r - g) < 30)
                text = true;
        }
        if (glyph) {
            if (c.glyphFirst < 0) c.glyphFirst = x;
            c.glyphLast = x;
        }
        if (text) {
            if (c.textFirst < 0) c.textFirst = x;
            c.textLast = x;
        }
    }
    ReleaseDC(button, dc);
    return c;
}

void ExpectApart(HWND button, COLORREF ink, const char* what)
{
    const Columns c = GlyphAndCaption(button, ink);
    ASSERT_GE(c.glyphFirst, 0) << what << ": no glyph painted";
    ASSERT_GE(c.textFirst, 0) << what << ": no caption painted";
    EXPECT_TRUE(c.glyphLast < c.textFirst || c.textLast < c.glyphFirst)
        << what << ": glyph in columns " << c.glyphFirst << "-" << c.glyphLast << ", caption in "
        << c.textFirst << "-" << c.textLast;
}

}  // namespace

// The buttons' glyphs and captions share one face: whichever side the caption is drawn
// on, the glyph keeps to the other.
TEST_F(VideoRecordPanelTest, GlyphsStandApartFromCaptions)
{
    LoadBench();
    Create();
    ASSERT_TRUE(Enabled(dlg, IDC_VIDEO_PLAY));
    ExpectApart(GetDlgItem(dlg, IDC_VIDEO_PLAY), RGB(0x2F, 0x7D, 0x32), "play");
    LiveWindows live;
    ASSERT_TRUE(live.Open());
    panel.UpdateControlState();
    ASSERT_TRUE(Enabled(dlg, IDC_VIDEO_CAPTURE));
    ExpectApart(GetDlgItem(dlg, IDC_VIDEO_CAPTURE), RGB(0x3A, 0x5A, 0x8C), "capture");
    ExpectApart(GetDlgItem(dlg, IDC_VIDEO_PLAY), RGB(0xB0, 0x3A, 0x2E), "stop");
    SaveScreenshot(dlg, "video_record_panel");
}
