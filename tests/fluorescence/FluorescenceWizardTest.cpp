// The fluorescence wizard, modal, driven from the dialog watcher's thread while the
// test thread sits in the wizard's modal loop.
#include "FluorescenceSupport.h"

#include "app/shell/CapturePage.h"
#include "app/capture/CameraPanel.h"
#include "app/capture/ColorParamPanel.h"
#include "app/capture/ExposurePanel.h"
#include "app/capture/PreviewWnd.h"

#include <functional>
#include <vector>

using namespace fluotest;

namespace {

// Recording fakes of the parts the panel and the wizard reach through the links.
std::vector<std::string> g_calls;

class CFakeCapturePage : public CCapturePage {
public:
    void RefreshAllPanels() override { g_calls.push_back("RefreshAllPanels"); }
};

class CFakeExposurePanel : public CExposurePanel {
public:
    void RefreshFromCamera() override { g_calls.push_back("RefreshFromCamera"); }
    void EnableLongExposure() override { g_calls.push_back("EnableLongExposure"); }
};

class CFakeCameraPanel : public CCameraPanel {
public:
    void UseSmallPreviewResolution() override { g_calls.push_back("UseSmallPreviewResolution"); }
};

class CFakeColorParamPanel : public CColorParamPanel {
public:
    void OnBlackBalance() override { g_calls.push_back("OnBlackBalance"); }
};

class CFakePreviewWnd : public CPreviewWnd {
public:
    void FitVideoToWindow() override { g_calls.push_back("FitVideoToWindow"); }
    void ApplyZoom() override { g_calls.push_back("ApplyZoom"); }
};

int Count(const char* call)
{
    int n = 0;
    for (const std::string& c : g_calls)
        n += c == call;
    return n;
}

struct ButtonStates {
    bool image = false, optimise = false;
};

ButtonStates States(HWND h)
{
    return {Enabled(h, IDC_FLUW_IMAGE_STEP), Enabled(h, IDC_FLUW_OPTIMISE_STEP)};
}

void Click(HWND h, int id)
{
    PostMessageW(h, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(h, id));
}

// Keeps the grabs answering "no new frame" until cond holds (or 4 s have passed).
bool NoFramesUntil(const char* camera, const std::function<bool()>& cond)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 4000) {
        if (cond())
            return true;
        orvbench::Bench::Get().InjectGrabResult(camera, kNoNewFrame);
        PumpMessagesFor(20);
    }
    return cond();
}

class FluorescenceWizardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_calls.clear();
        Links().capturePage = &page;
        Links().exposure = &exposure;
        Links().camera = &camera;
        Links().preview = &preview;
        Links().colorParam = &colour;
    }
    void TearDown() override
    {
        QrCCameraFluorescenceGuide(nullptr, 0);
        QrCCameraUnInit();
        QrCSetCamera(CAMERA_TYPE_NONE);
    }

    ShellLinksScope scope;
    CFakeCapturePage page;
    CFakeExposurePanel exposure;
    CFakeCameraPanel camera;
    CFakePreviewWnd preview;
    CFakeColorParamPanel colour;
    LiveWindows live;
};

}  // namespace

TEST_F(FluorescenceWizardTest, ResultTextShowsExposureAndGain)
{
    EXPECT_EQ(U16(CFluorescenceWizard::ResultText(CString(L"螢光嚮導"), 2500000, 100)),
              u"\r\n\r\n螢光嚮導\r\n曝光：2.50S\r\n增益：9.510dB");
    EXPECT_EQ(U16(CFluorescenceWizard::ResultText(CString(L"x"), 33000, 1)),
              u"\r\n\r\nx\r\n曝光：0.03S\r\n增益：6.035dB");
}

TEST_F(FluorescenceWizardTest, StepsDrawIntoTheWizardAndEscapeGivesTheDrawingBack)
{
    LoadCooledBench();
    ASSERT_TRUE(live.Open());
    HDC before = nullptr;
    QrCCameraGetDrawHDC(&before);
    ASSERT_EQ(WindowFromDC(before), live.child);
    RECT source;
    QrCCameraGetShowRect(&source);

    struct Seen {
        HWND drawWnd = nullptr, picture = nullptr;
        RECT show = {}, pictureRect = {};
        ButtonStates start, during1, after1, after2;
        bool stepped1 = false, stepped2 = false, guideRegistered = false;
        std::u16string result;
    } seen;
    DialogWatcher watcher([&](const SeenDialog& d) {
        HWND h = d.hwnd;
        seen.picture = GetDlgItem(h, IDC_FLUW_PICTURE);
        HDC dc = nullptr;
        QrCCameraGetDrawHDC(&dc);
        seen.drawWnd = WindowFromDC(dc);
        seen.show = CCameraManagerProbe::ShowRect();
        GetClientRect(seen.picture, &seen.pictureRect);
        seen.start = States(h);

        Click(h, IDC_FLUW_IMAGE_STEP);
        WaitFor([&] { return !Enabled(h, IDC_FLUW_IMAGE_STEP); }, 2000);
        seen.during1 = States(h);
        seen.guideRegistered = WaitFor([&] { return CCameraManagerProbe::GuideWindow() == h; }, 2000);
        seen.stepped1 = NoFramesUntil(kCooled, [&] { return Enabled(h, IDC_FLUW_OPTIMISE_STEP); });
        seen.after1 = States(h);
        seen.result = Text(h, IDC_FLUW_GUIDE_TEXT);
        SaveScreenshot(h, "fluorescence_wizard");

        Click(h, IDC_FLUW_OPTIMISE_STEP);
        WaitFor([&] { return !Enabled(h, IDC_FLUW_OPTIMISE_STEP); }, 2000);
        seen.stepped2 = NoFramesUntil(kCooled, [&] { return Enabled(h, IDC_FLUW_IMAGE_STEP); });
        seen.after2 = States(h);

        PostMessageW(GetDlgItem(h, IDC_FLUW_FINISH), WM_KEYDOWN, VK_ESCAPE, 0);
        return 0;
    });
    CFluorescenceWizard wizard(nullptr);
    EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    watcher.Stop();

    EXPECT_EQ(seen.drawWnd, seen.picture);
    EXPECT_EQ(seen.show.left, 0);
    EXPECT_EQ(seen.show.top, 0);
    EXPECT_EQ(seen.show.right - seen.show.left, seen.pictureRect.right);
    EXPECT_EQ(seen.show.bottom - seen.show.top, seen.pictureRect.bottom);
    EXPECT_TRUE(seen.start.image && !seen.start.optimise);
    EXPECT_TRUE(!seen.during1.image && !seen.during1.optimise);
    EXPECT_TRUE(seen.guideRegistered);
    EXPECT_TRUE(seen.stepped1);
    EXPECT_TRUE(seen.after1.image && seen.after1.optimise);
    EXPECT_TRUE(seen.stepped2);
    EXPECT_TRUE(seen.after2.image && !seen.after2.optimise);
    EXPECT_NE(seen.result.find(u"曝光："), std::u16string::npos);
    EXPECT_NE(seen.result.find(u"dB"), std::u16string::npos);
    EXPECT_GE(Count("RefreshFromCamera"), 1);

    // Cancelled: no finish, the earlier window draws again with the earlier rectangle.
    EXPECT_EQ(Count("RefreshAllPanels"), 0);
    HDC after = nullptr;
    QrCCameraGetDrawHDC(&after);
    EXPECT_EQ(WindowFromDC(after), live.child);
    const RECT show = CCameraManagerProbe::ShowRect();
    EXPECT_TRUE(EqualRect(&show, &source));
    EXPECT_EQ(CCameraManagerProbe::GuideWindow(), nullptr);

    // The wizard's window is gone: "no new frame" grabs reach nothing.
    MessageReceiver bystander;
    NoFramesFor(kCooled, 2000);
    EXPECT_EQ(bystander.Count(WM_CAMERA_FRAME_STATUS), 0);
    EXPECT_EQ(CCameraManagerProbe::RunState(), CCameraManager::RUN_LIVE);
}

TEST_F(FluorescenceWizardTest, SpeedUpOnlyForItsProductAndEnterFinishes)
{
    LoadBench(std::string("camera zedodir 0547:E80C ") + kSpeedUp + " mono cooled resolutions=320X256");
    ASSERT_TRUE(live.Open());
    bool speedUp = false, speedUpAfterStep = true;
    DialogWatcher watcher([&](const SeenDialog& d) {
        speedUp = Enabled(d.hwnd, IDC_FLUW_SPEEDUP) && Enabled(d.hwnd, IDC_FLUW_SPEEDUP_LABEL);
        Click(d.hwnd, IDC_FLUW_IMAGE_STEP);
        // Disabled by the step for good (the step's frame statuses do not bring it back).
        WaitFor([&] { return !Enabled(d.hwnd, IDC_FLUW_SPEEDUP); }, 2000);
        NoFramesFor(kSpeedUp, 300);
        speedUpAfterStep = Enabled(d.hwnd, IDC_FLUW_SPEEDUP);
        PostMessageW(GetDlgItem(d.hwnd, IDC_FLUW_FINISH), WM_KEYDOWN, VK_RETURN, 0);
        return 0;
    });
    CFluorescenceWizard wizard(nullptr);
    EXPECT_EQ(wizard.DoModal(), IDOK);
    watcher.Stop();
    EXPECT_TRUE(speedUp);
    EXPECT_FALSE(speedUpAfterStep);
    EXPECT_EQ(Count("RefreshAllPanels"), 1);
    QrCCameraUnInit();

    LoadCooledBench();
    ASSERT_TRUE(live.Open());
    DialogWatcher second([&](const SeenDialog& d) {
        speedUp = Enabled(d.hwnd, IDC_FLUW_SPEEDUP);
        return IDCANCEL;
    });
    CFluorescenceWizard other(nullptr);
    EXPECT_EQ(other.DoModal(), IDCANCEL);
    EXPECT_FALSE(speedUp);
}

TEST_F(FluorescenceWizardTest, PanelReachesTheOtherPanelsThroughTheLinks)
{
    LoadBench(std::string("camera zedodir 0547:E80C ") + kSpeedUp + " mono cooled resolutions=320X256");
    ASSERT_TRUE(live.Open());
    PlainParent parent;
    CFluorescencePanel panel;
    ASSERT_TRUE(panel.Create(CFluorescencePanel::IDD, &parent.wnd));
    DialogWatcher watcher(IDCANCEL);
    SendMessageW(panel.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDC_FLUO_WIZARD, BN_CLICKED),
                 (LPARAM)GetDlgItem(panel.GetSafeHwnd(), IDC_FLUO_WIZARD));
    EXPECT_EQ(watcher.Count(), 1);
    const std::vector<std::string> expected = {"UseSmallPreviewResolution", "EnableLongExposure",
                                               "FitVideoToWindow", "ApplyZoom"};
    EXPECT_EQ(g_calls, expected);
    g_calls.clear();
    SendMessageW(panel.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDC_FLUO_BLACK_BALANCE, BN_CLICKED),
                 (LPARAM)GetDlgItem(panel.GetSafeHwnd(), IDC_FLUO_BLACK_BALANCE));
    EXPECT_EQ(g_calls, std::vector<std::string>{"OnBlackBalance"});
    panel.DestroyWindow();
    QrCCameraSetHWndReceive(nullptr);
}

namespace {

struct CameraState {
    int resolution = -1;
    float exposureMs = 0;
    int gain = -1;
    RECT shown = {};
};

CameraState ReadCameraState(const char* camera)
{
    CameraState s;
    orvbench::CameraSettings settings;
    orvbench::Bench::Get().Settings(camera, &settings);
    s.resolution = settings.resolution;
    s.exposureMs = settings.exposureMs;
    s.gain = settings.analogGain;
    QrCCameraGetShowRect(&s.shown);
    return s;
}

bool operator==(const CameraState& a, const CameraState& b)
{
    return a.resolution == b.resolution && a.exposureMs == b.exposureMs && a.gain == b.gain &&
           EqualRect(&a.shown, &b.shown);
}

std::ostream& operator<<(std::ostream& os, const CameraState& s)
{
    return os << "resolution " << s.resolution << ", exposure " << s.exposureMs << " ms, gain " << s.gain
              << ", shown " << s.shown.right - s.shown.left << "x" << s.shown.bottom - s.shown.top;
}

}  // namespace

// The speed-up product with the box checked (its default): cancelling the guide by
// Escape or the close box, before any step, after the image step or after the optimise
// step, leaves the camera's resolution, exposure, gain and shown part as they were.
TEST_F(FluorescenceWizardTest, CancelAtAnyStepLeavesTheCameraAsItWas)
{
    LoadBench(std::string("camera zedodir 0547:E80C ") + kSpeedUp + " mono cooled resolutions=1280X1024,640X512");
    ASSERT_TRUE(live.Open());
    ASSERT_EQ(QrCCameraSetExposureTimeMS(40000, 1), CAM_OK);
    ASSERT_EQ(QrCCameraSetAnalogGain(20), CAM_OK);
    PumpMessagesFor(300);
    const CameraState before = ReadCameraState(kSpeedUp);
    ASSERT_EQ(before.shown.right - before.shown.left, 1280);

    for (int steps = 0; steps <= 2; ++steps) {
        for (bool closeBox : {false, true}) {
            bool stepped = true;
            CameraState during;
            DialogWatcher watcher([&](const SeenDialog& d) {
                const HWND h = d.hwnd;
                if (steps >= 1) {
                    Click(h, IDC_FLUW_IMAGE_STEP);
                    WaitFor([&] { return !Enabled(h, IDC_FLUW_IMAGE_STEP); }, 2000);
                    stepped = NoFramesUntil(kSpeedUp, [&] { return Enabled(h, IDC_FLUW_OPTIMISE_STEP); });
                    during = ReadCameraState(kSpeedUp);
                }
                if (steps >= 2) {
                    Click(h, IDC_FLUW_OPTIMISE_STEP);
                    WaitFor([&] { return !Enabled(h, IDC_FLUW_OPTIMISE_STEP); }, 2000);
                    stepped = stepped && NoFramesUntil(kSpeedUp, [&] { return Enabled(h, IDC_FLUW_IMAGE_STEP); });
                }
                if (closeBox)
                    PostMessageW(h, WM_CLOSE, 0, 0);
                else
                    PostMessageW(GetDlgItem(h, IDC_FLUW_FINISH), WM_KEYDOWN, VK_ESCAPE, 0);
                return 0;
            });
            CFluorescenceWizard wizard(nullptr);
            EXPECT_EQ(wizard.DoModal(), IDCANCEL);
            watcher.Stop();
            EXPECT_TRUE(stepped) << steps;
            if (steps >= 1)
                EXPECT_EQ(during.resolution, 1) << "the image step takes the speed-up resolution";
            // Frames at the restored resolution bring the shown part back to the whole frame.
            CameraState after;
            EXPECT_TRUE(WaitFor([&] {
                after = ReadCameraState(kSpeedUp);
                return after == before;
            }, 5000)) << "steps " << steps << (closeBox ? ", close box" : ", Escape") << ": " << after
                      << " instead of " << before;
        }
    }
}
