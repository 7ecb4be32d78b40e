// The colour panel on a plain parent against the bench: ranges and enabling per camera
// and product, value texts, display values reaching the device, white balance with a
// failing first request, region white balance, the button caption and flat field.
#include "SettingsSupport.h"

#include "app/capture/CameraCapabilities.h"
#include "app/capture/CaptureStringIds.h"
#include "app/capture/ColorParamPanel.h"

using namespace settingstest;
using orvbench::Bench;

namespace {

const char kCoreCamera[] = "camera zedodir 0547:A005 Model73.1 colour";
const char kProduct28[] = "camera zedodir EBA1:7584 Model85.1 colour";
const char kProduct32[] = "camera zedodir 5172:2A01 Model87.1 colour";
const char kProduct37[] = "camera zedodir 5172:2901 Model97.1 colour";
const char kDriverCamera[] = "camera camdrv 0547:C003 D.1 colour";

const int kSliders[] = {IDC_COLOR_GAMMA,       IDC_COLOR_CONTRAST, IDC_COLOR_SATURATION,
                        IDC_COLOR_RED,         IDC_COLOR_GREEN,    IDC_COLOR_BLUE,
                        IDC_COLOR_TEMPERATURE, IDC_COLOR_DENOISE,  IDC_COLOR_SHARPNESS};

struct Panel {
    explicit Panel(PlainParent& parent)
    {
        created = panel.Create(CColorParamPanel::IDD, &parent.wnd) != FALSE;
        panel.ShowWindow(SW_SHOW);
        Refresh();
    }
    ~Panel() { panel.DestroyWindow(); }
    HWND H() const { return panel.m_hWnd; }
    void Refresh()
    {
        panel.ConfigureForCamera();
        panel.RefreshFromCamera();
        panel.UpdateControlState();
    }
    void Range(int id, int* lo, int* hi) const
    {
        *lo = Slider(H(), id)->m_nMin;
        *hi = Slider(H(), id)->m_nMax;
    }
    CColorParamPanel panel;
    bool created = false;
};

std::pair<int, int> RangeOf(const Panel& p, int id)
{
    int lo, hi;
    p.Range(id, &lo, &hi);
    return {lo, hi};
}

void Check(HWND h, int id, bool on)
{
    CheckDlgButton(h, id, on ? BST_CHECKED : BST_UNCHECKED);
    Click(h, id);
}

}  // namespace

TEST(ColorPanel, WithoutACameraEverythingIsOffWithTheDefaultRanges)
{
    FakeLinks links;
    LoadEmptyBench();
    PlainParent parent;
    Panel p(parent);
    ASSERT_TRUE(p.created);
    for (int id : kSliders)
        EXPECT_FALSE(Enabled(p.H(), id)) << id;
    for (int id : {IDC_COLOR_WHITE_BALANCE, IDC_COLOR_BLACK_BALANCE, IDC_COLOR_AREA_WB, IDC_COLOR_DEFAULT,
                   IDC_COLOR_FLAT_FIELD_CALC, IDC_COLOR_FLAT_FIELD, IDC_COLOR_ENHANCE, IDC_COLOR_MONOCHROME})
        EXPECT_FALSE(Enabled(p.H(), id)) << id;
    EXPECT_EQ(RangeOf(p, IDC_COLOR_GAMMA), std::make_pair(20, 150));
    EXPECT_EQ(RangeOf(p, IDC_COLOR_CONTRAST), std::make_pair(0, 100));
    EXPECT_EQ(RangeOf(p, IDC_COLOR_SATURATION), std::make_pair(0, 255));
    EXPECT_EQ(RangeOf(p, IDC_COLOR_RED), std::make_pair(0, 255));
    EXPECT_EQ(RangeOf(p, IDC_COLOR_TEMPERATURE), std::make_pair(0, 63));
    EXPECT_EQ(RangeOf(p, IDC_COLOR_DENOISE), std::make_pair(0, 10));
    EXPECT_EQ(RangeOf(p, IDC_COLOR_SHARPNESS), std::make_pair(0, 10));
    EXPECT_FALSE(Visible(p.H(), IDC_COLOR_WB_LOCK));
    EXPECT_FALSE(Visible(p.H(), IDC_COLOR_WB_LOCK_LABEL));
    EXPECT_TRUE(Visible(p.H(), IDC_COLOR_WHITE_BALANCE));
}

TEST(ColorPanel, ValueTextsAndTheColourTemperatureTable)
{
    EXPECT_EQ(ColorTemperatureKelvin(0), 1800);
    EXPECT_EQ(ColorTemperatureKelvin(-5), 1800);
    EXPECT_EQ(ColorTemperatureKelvin(10), 2862);
    EXPECT_EQ(ColorTemperatureKelvin(61), 10000);
    EXPECT_EQ(ColorTemperatureKelvin(63), 10000);
    EXPECT_EQ(ColorTemperatureKelvin(90), 10000);

    FakeLinks links;
    LiveCamera camera(kProduct32);
    ASSERT_TRUE(camera.open);
    PlainParent parent;
    Panel p(parent);
    ASSERT_TRUE(Enabled(p.H(), IDC_COLOR_TEMPERATURE));
    MoveSlider(p.H(), IDC_COLOR_TEMPERATURE, 63);
    EXPECT_EQ(Text(p.H(), IDC_COLOR_TEMPERATURE_VALUE), u"10000K");
    MoveSlider(p.H(), IDC_COLOR_TEMPERATURE, 0);
    EXPECT_EQ(Text(p.H(), IDC_COLOR_TEMPERATURE_VALUE), u"1800K");

    LiveCamera core(kCoreCamera);
    p.Refresh();
    MoveSlider(p.H(), IDC_COLOR_RED, 64);
    MoveSlider(p.H(), IDC_COLOR_BLUE, 128);
    EXPECT_EQ(Text(p.H(), IDC_COLOR_RED_VALUE), u" 1.00");
    EXPECT_EQ(Text(p.H(), IDC_COLOR_BLUE_VALUE), u" 2.00");
    EXPECT_EQ(Current().redGain, 64);
    EXPECT_EQ(Current().blueGain, 128);
}

// The sliders offer display values; the device takes its own range, -20..20 by default.
TEST(ColorPanel, GammaContrastAndSaturationRangeOverDisplayValues)
{
    CameraParamInfo info;
    info.gammaMin = -20;
    info.gammaMax = 20;
    info.contrastMin = -10;
    info.contrastMax = 10;
    info.saturationMin = -20;
    info.saturationMax = 20;
    info.sensorKind = SENSOR_KIND_CMOS;
    DisplayRanges r = DisplayRangesFor(info, 1);
    EXPECT_EQ(r.gammaMin, 20);
    EXPECT_EQ(r.gammaMax, 150);
    EXPECT_EQ(r.contrastMin, 68);
    EXPECT_EQ(r.contrastMax, 188);
    EXPECT_EQ(r.saturationMin, 0);
    EXPECT_EQ(r.saturationMax, 240);
    info.sensorKind = SENSOR_KIND_THIRD;   // takes display values itself
    r = DisplayRangesFor(info, 1);
    EXPECT_EQ(r.gammaMin, -20);
    EXPECT_EQ(r.gammaMax, 20);

    FakeLinks links;
    LiveCamera camera(kCoreCamera);
    ASSERT_TRUE(camera.open);
    PlainParent parent;
    Panel p(parent);
    const CameraParamInfo device = Info();
    const DisplayRanges shown = DisplayRangesFor(device, 1);
    EXPECT_EQ(RangeOf(p, IDC_COLOR_GAMMA), std::make_pair(shown.gammaMin, shown.gammaMax));
    EXPECT_EQ(RangeOf(p, IDC_COLOR_CONTRAST), std::make_pair(shown.contrastMin, shown.contrastMax));
    ASSERT_LE(shown.gammaMin, 100);
    ASSERT_GE(shown.gammaMax, 100);

    // Display 100 is gamma 1.0: device value 0, the bench's 100.
    MoveSlider(p.H(), IDC_COLOR_GAMMA, 100);
    EXPECT_EQ(Text(p.H(), IDC_COLOR_GAMMA_VALUE), u"100");
    EXPECT_EQ(Current().gamma, 0);
    orvbench::CameraSettings s;
    ASSERT_TRUE(Bench::Get().Settings("Model73.1", &s));
    EXPECT_EQ(s.gamma, 100);
    // Both ends of the slider reach the device's ends.
    MoveSlider(p.H(), IDC_COLOR_GAMMA, shown.gammaMax);
    EXPECT_EQ(Current().gamma, device.gammaMax);
    MoveSlider(p.H(), IDC_COLOR_GAMMA, shown.gammaMin);
    EXPECT_EQ(Current().gamma, device.gammaMin);
}

TEST(ColorPanel, ProductsDecideWhatIsOffered)
{
    FakeLinks links;
    PlainParent parent;
    Panel p(parent);
    {
        LiveCamera camera(kProduct37);
        ASSERT_TRUE(camera.open);
        ASSERT_EQ(Info().productIndex, 37);
        p.Refresh();
        for (int id : {IDC_COLOR_DENOISE, IDC_COLOR_SHARPNESS, IDC_COLOR_GAMMA, IDC_COLOR_CONTRAST,
                       IDC_COLOR_TEMPERATURE})
            EXPECT_FALSE(Enabled(p.H(), id)) << id;
        EXPECT_TRUE(Visible(p.H(), IDC_COLOR_WB_LOCK));
        EXPECT_FALSE(Visible(p.H(), IDC_COLOR_WHITE_BALANCE));
    }
    {
        LiveCamera camera(kProduct32);
        ASSERT_EQ(Info().productIndex, 32);
        p.Refresh();
        EXPECT_FALSE(Enabled(p.H(), IDC_COLOR_FLAT_FIELD_CALC));
        EXPECT_FALSE(Enabled(p.H(), IDC_COLOR_FLAT_FIELD));
        for (int id : {IDC_COLOR_DENOISE, IDC_COLOR_SHARPNESS, IDC_COLOR_TEMPERATURE, IDC_COLOR_GAMMA})
            EXPECT_TRUE(Enabled(p.H(), id)) << id;
        const CameraParamInfo info = Info();
        EXPECT_EQ(RangeOf(p, IDC_COLOR_DENOISE), std::make_pair(info.denoiseMin, info.denoiseMax));
    }
    // Another camera afterwards gets the white-balance button back.
    LiveCamera camera(kCoreCamera);
    p.Refresh();
    EXPECT_FALSE(Visible(p.H(), IDC_COLOR_WB_LOCK));
    EXPECT_TRUE(Visible(p.H(), IDC_COLOR_WHITE_BALANCE));
    EXPECT_TRUE(Enabled(p.H(), IDC_COLOR_WHITE_BALANCE));
}

TEST(ColorPanel, DriverCameraSaturationFollowsEnhancementAndMonochrome)
{
    FakeLinks links;
    LiveCamera camera(kDriverCamera);
    ASSERT_TRUE(camera.open);
    const CameraParamInfo info = Info();
    if (!info.Feature(CAN_SATURATION) || !info.Feature(CAN_MONOCHROME) || !info.Feature(CAN_COLOR_PROCESSING))
        GTEST_SKIP() << "camera lacks saturation, monochrome or enhancement";
    PlainParent parent;
    Panel p(parent);
    Check(p.H(), IDC_COLOR_ENHANCE, true);
    EXPECT_EQ(Current().colorEnhancement, 1);
    EXPECT_TRUE(Enabled(p.H(), IDC_COLOR_SATURATION));
    Check(p.H(), IDC_COLOR_MONOCHROME, true);
    EXPECT_FALSE(Enabled(p.H(), IDC_COLOR_SATURATION));
    EXPECT_FALSE(Enabled(p.H(), IDC_COLOR_ENHANCE));
    // Refreshed with monochrome on, whatever the enhancement check says.
    p.Refresh();
    EXPECT_FALSE(Enabled(p.H(), IDC_COLOR_SATURATION));
    Check(p.H(), IDC_COLOR_MONOCHROME, false);
    EXPECT_TRUE(Enabled(p.H(), IDC_COLOR_SATURATION));
    Check(p.H(), IDC_COLOR_ENHANCE, false);
    EXPECT_FALSE(Enabled(p.H(), IDC_COLOR_SATURATION));
}

TEST(ColorPanel, WhiteBalanceGoesOnAfterAFailedFirstRequest)
{
    FakeLinks links;
    LiveCamera camera(kCoreCamera);
    ASSERT_TRUE(camera.open);
    PlainParent parent;
    Panel p(parent);
    ASSERT_TRUE(WaitFor([] { return Bench::Get().FrameCount("Model73.1") > 3; }, 5000));
    MoveSlider(p.H(), IDC_COLOR_RED, 30);
    MoveSlider(p.H(), IDC_COLOR_BLUE, 200);

    Bench& bench = Bench::Get();
    const uint32_t before = bench.WhiteBalanceCount();
    bench.FailNextWhiteBalance();
    DialogWatcher boxes(IDOK);
    Click(p.H(), IDC_COLOR_WHITE_BALANCE);
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.LastText(), LoadU16(IDS_WB_NO_AREA));
    EXPECT_EQ(bench.WhiteBalanceCount() - before, 3u);
    const CameraCurParam cur = Current();
    EXPECT_NE(cur.redGain, 30);   // the later requests balanced
    EXPECT_EQ(Slider(p.H(), IDC_COLOR_RED)->GetPos(), cur.redGain);
    EXPECT_EQ(Slider(p.H(), IDC_COLOR_BLUE)->GetPos(), cur.blueGain);
    CString red;
    red.Format(L"%5.2f", cur.redGain / 64.0);
    EXPECT_EQ(Text(p.H(), IDC_COLOR_RED_VALUE), U16(red));

    // A balance that works shows nothing.
    Click(p.H(), IDC_COLOR_WHITE_BALANCE);
    EXPECT_EQ(boxes.Count(), 1);
}

TEST(ColorPanel, RegionWhiteBalanceCancelledSendsNothing)
{
    FakeLinks links;
    LivePreview live(kCoreCamera, "Model73.1");
    ASSERT_TRUE(live.open);
    PlainParent parent;
    Panel p(parent);
    MoveSlider(p.H(), IDC_COLOR_RED, 41);
    ASSERT_TRUE(live.Frames());
    {
        DialogWatcher cancel(IDCANCEL);
        Click(p.H(), IDC_COLOR_AREA_WB);
        EXPECT_EQ(cancel.Count(), 1);
    }
    EXPECT_EQ(Current().redGain, 41);
    EXPECT_EQ(Text(p.H(), IDC_COLOR_RED_VALUE), u" 0.64");

    // Confirmed, the region balances and the sliders show the new gains.
    {
        DialogWatcher pick(RegionAt({760, 128}, {800, 168}));
        Click(p.H(), IDC_COLOR_AREA_WB);
        EXPECT_EQ(pick.Count(), 1);
    }
    EXPECT_NE(Current().redGain, 41);
    EXPECT_EQ(Slider(p.H(), IDC_COLOR_RED)->GetPos(), Current().redGain);
}

// The button names the switch a press makes, the same way after a gain change as after
// a balance or a refresh.
TEST(ColorPanel, WhiteBalanceCaptionKeepsOnePairing)
{
    FakeLinks links;
    LiveCamera camera(kProduct28);
    ASSERT_TRUE(camera.open);
    ASSERT_EQ(ManagerRecord().sensorKind, SENSOR_KIND_THIRD);
    PlainParent parent;
    Panel p(parent);
    auto expected = [] { return LoadU16(Current().HDAutoWB ? IDS_MANUAL_WHITE_BALANCE : IDS_AUTO_WHITE_BALANCE); };
    const std::u16string refreshed = Text(p.H(), IDC_COLOR_WHITE_BALANCE);
    EXPECT_EQ(refreshed, expected());
    MoveSlider(p.H(), IDC_COLOR_GREEN, 70);
    EXPECT_EQ(Text(p.H(), IDC_COLOR_WHITE_BALANCE), expected());
    EXPECT_EQ(CallCount("RefreshSliders"), 1);
    p.panel.OnWhiteBalance();
    EXPECT_EQ(Text(p.H(), IDC_COLOR_WHITE_BALANCE), expected());
    EXPECT_EQ(Checked(p.H(), IDC_COLOR_WB_LOCK), Current().HDAutoWB == 0);
    MoveSlider(p.H(), IDC_COLOR_RED, 90);
    EXPECT_EQ(Text(p.H(), IDC_COLOR_WHITE_BALANCE), expected());
}

// The camera clears its correction when a calibration fails: the check must follow.
TEST(ColorPanel, FailedFlatFieldSaysSoAndClearsTheCorrectionCheck)
{
    FakeLinks links;
    LiveCamera camera(kCoreCamera);
    ASSERT_TRUE(camera.open);
    PlainParent parent;
    Panel p(parent);
    ASSERT_TRUE(WaitFor([] { return Bench::Get().FrameCount("Model73.1") > 3; }, 5000));
    DialogWatcher boxes(IDOK);
    Click(p.H(), IDC_COLOR_FLAT_FIELD_CALC);
    EXPECT_EQ(boxes.Count(), 0);
    EXPECT_EQ(Current().flatField, 1);
    EXPECT_TRUE(Checked(p.H(), IDC_COLOR_FLAT_FIELD));
    EXPECT_EQ(Enabled(p.H(), IDC_COLOR_FLAT_FIELD), Info().Feature(CAN_FLAT_FIELD) != 0);

    ASSERT_TRUE(Bench::Get().Unplug("Model73.1"));
    Click(p.H(), IDC_COLOR_FLAT_FIELD_CALC);
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.LastText(), LoadU16(IDS_FLAT_FIELD_FAILED));
    EXPECT_EQ(boxes.LastText(), u"平場校正失敗！");
    EXPECT_EQ(Current().flatField, 0);
    EXPECT_FALSE(Checked(p.H(), IDC_COLOR_FLAT_FIELD));
}
