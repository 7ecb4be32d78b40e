// The exposure panel on a plain parent against the bench's cameras: the slider's scale
// per camera kind, the gain in the camera's unit, the deferred exposure of camera
// types 11 to 13, typed times, long exposure with its restart marker, frame speed,
// pixel clock and data width, and the panel without a camera.
#include "SettingsSupport.h"

#include "app/capture/ExposurePanel.h"

#include <cmath>

using namespace settingstest;
using orvbench::Bench;

namespace {

struct Panel {
    explicit Panel(PlainParent& parent)
    {
        created = panel.Create(CExposurePanel::IDD, &parent.wnd) != FALSE;
        panel.ShowWindow(SW_SHOW);
    }
    ~Panel() { panel.DestroyWindow(); }
    HWND H() const { return panel.m_hWnd; }
    CExposureTimeEdit* Time() const
    {
        return static_cast<CExposureTimeEdit*>(CWnd::FromHandlePermanent(GetDlgItem(H(), IDC_EXP_TIME)));
    }
    // What the Capture page does after a camera change.
    void Refresh()
    {
        panel.ConfigureForCamera();
        panel.RefreshFromCamera();
        panel.UpdateControlState();
    }
    // Types a number of milliseconds into the time input and leaves the field.
    void TypeMilliseconds(int ms)
    {
        CNumericEdit& field = Time()->FieldEdit(2);
        field.SetFocus();
        CString text;
        text.Format(L"%d", ms);
        field.SetWindowText(text);
        panel.SetFocus();
    }
    CExposurePanel panel;
    bool created = false;
};

struct BenchCamera {
    const char* line;
    const char* name;
    int type;
    int product;          // -1: any
    const char* driver;   // the driver library and its export prefix, for driver cameras
    const char* token;
    int deviceScale = 1;  // the device counts this many of its units per millisecond
};

// The exposure the device holds now, in milliseconds.
int DeviceExposureMs(const BenchCamera& c)
{
    if (c.driver != nullptr) {
        typedef int(WINAPI * GetFn)(int*);
        std::string op = std::string(c.token) + "CameraGetExposureTime";
        GetFn get = reinterpret_cast<GetFn>(GetProcAddress(GetModuleHandleA(c.driver), op.c_str()));
        int ms = -1;
        if (get != nullptr)
            get(&ms);
        return ms;
    }
    orvbench::CameraSettings s;
    return Bench::Get().Settings(c.name, &s) ? static_cast<int>(std::lround(s.exposureMs / c.deviceScale)) : -1;
}

const BenchCamera kCameras[] = {
    {"camera zedodir 0547:A005 Model73.1 colour", "Model73.1", 18, 11, nullptr, nullptr},
    {"camera zuzirazo EB1A:7585 Model82.1", "Model82.1", 26, 27, nullptr, nullptr, 2},
    {"camera camdrv 0547:C003 D.1 colour", "D.1", 5, -1, "CamDrvD.dll", "CamDrvDII"},
    {"camera camdrv 0547:C008 E.1 colour", "E.1", 1, -1, "CamDrvE.dll", "CamDrvEC"},
    {"camera camdrv 0547:D004 F.1 mono", "F.1", 7, -1, "CamDrvF.dll", "CamDrvFBW"},
    {"camera camdrv 0547:D006 H.1 mono", "H.1", 8, -1, "CamDrvH.dll", "CamDrvHBW"},
    {"camera camdrv 0547:D001 G.1 colour", "G.1", 9, -1, "CamDrvG.dll", "CamDrvG"},
    {"camera camdrv 0547:C005 A.1 colour", "A.1", 11, -1, "CamDrvA.dll", "CamDrvAII"},
    {"camera camdrv 0547:C00A B.1 colour", "B.1", 12, -1, "CamDrvB.dll", "CamDrvB"},
    {"camera camdrv 0547:C009 C.1 colour", "C.1", 13, -1, "CamDrvC.dll", "CamDrvCII"},
    {"camera zedodir 0547:A007 Model64.1 colour", "Model64.1", 18, 2, nullptr, nullptr},
    {"camera zedodir 0547:A004 Model65.1 colour", "Model65.1", 18, 3, nullptr, nullptr},
    {"camera zedodir EBA1:7584 Model85.1 colour", "Model85.1", 18, 28, nullptr, nullptr},
    {"camera zedodir 5172:2A01 Model87.1 colour", "Model87.1", 18, 32, nullptr, nullptr},
    {"camera zedodir 5172:2901 Model97.1 colour", "Model97.1", 18, 37, nullptr, nullptr},
    {"camera zedodir 5172:2902 Model98.1 colour", "Model98.1", 18, 38, nullptr, nullptr},
    {"camera camdrv 0547:C008 E.2 colour", "E.2", 1, -1, "CamDrvE.dll", "CamDrvEC"},
};

bool Deferred(int type)
{
    return type == 11 || type == 12 || type == 13;
}

// The slider's top end the way each kind of camera counts its exposure.
int ExpectedSliderMax(const Manager& m, const CameraParamInfo& info)
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (mgr.mode != 0)
        return std::max(1, static_cast<int>(info.exposureMax / (info.exposureUnit * 1000.0) + 0.5));
    if (m.sensorKind == SENSOR_KIND_CCD && m.cameraType != 9)
        return info.maxExposure;
    float row = 1.0f;
    QrCCameraGetRowTime(&row);
    return std::max(1, static_cast<int>(info.maxExposure * static_cast<double>(row) * 0.001));
}

UINT ExpectedTime(const CameraParamInfo& info, bool core, int position)
{
    return core ? static_cast<UINT>(position * static_cast<double>(info.exposureUnit) * 1000.0)
                : static_cast<UINT>(position) * 1000u;
}

}  // namespace

TEST(ExposureScale, EachKindOfCameraCountsItsOwnWay)
{
    CameraMgrParam core;
    core.mode = 1;
    core.cameraType = CAMERA_TYPE_CORE_A;
    CameraParamInfo info;
    info.exposureUnit = 0.5f;
    info.exposureMax = 1000000;
    ExposureScale s = ExposureScaleFor(core, info, 1.0f);
    EXPECT_EQ(s.sliderMin, 1);
    EXPECT_EQ(s.sliderMax, 2000);
    EXPECT_EQ(s.timeMax, 1000000u);
    EXPECT_EQ(PositionToExposure(s, 3), 1500u);
    EXPECT_EQ(ExposureToPosition(s, 1500), 3);

    CameraMgrParam ccd;
    ccd.cameraType = CAMERA_TYPE_CAMDRVF;
    ccd.sensorKind = SENSOR_KIND_CCD;
    info.maxExposure = 3000;
    s = ExposureScaleFor(ccd, info, 1.0f);
    EXPECT_EQ(s.sliderMax, 3000);
    EXPECT_EQ(s.timeMax, 3000000u);
    EXPECT_EQ(PositionToExposure(s, 5), 5000u);
    EXPECT_EQ(ExposureToPosition(s, 5999), 5);

    // Type 9 and the CMOS cameras count sensor lines of the library's row time.
    CameraMgrParam lines;
    lines.cameraType = CAMERA_TYPE_CAMDRVG;
    lines.sensorKind = SENSOR_KIND_CCD;
    info.maxExposure = 1040;
    EXPECT_EQ(ExposureScaleFor(lines, info, 100.0f).sliderMax, 104);
    lines.cameraType = CAMERA_TYPE_CAMDRVA;
    lines.sensorKind = SENSOR_KIND_CMOS;
    EXPECT_EQ(ExposureScaleFor(lines, info, 20.0f).sliderMax, 20);

    // Rows too short for a millisecond, a step of nothing, no maximum: one step, no
    // division by zero.
    s = ExposureScaleFor(lines, info, 0.5f);
    EXPECT_EQ(s.sliderMax, 1);
    EXPECT_EQ(s.timeMax, 1000u);
    info.exposureUnit = 0.0f;
    s = ExposureScaleFor(core, info, 1.0f);
    EXPECT_EQ(s.sliderMax, 1000);
    EXPECT_EQ(PositionToExposure(s, 3), 3000u);
    info.exposureMax = 0;
    s = ExposureScaleFor(core, info, 1.0f);
    EXPECT_GE(s.sliderMax, s.sliderMin);
    EXPECT_GE(s.timeMax, s.timeMin);
}

TEST(ExposurePanel, GainTexts)
{
    EXPECT_EQ(U16(GainText(CAMERA_TYPE_CAMDRVF, SENSOR_KIND_CCD, 100)), u"9.510dB");
    EXPECT_EQ(U16(GainText(CAMERA_TYPE_CAMDRVB, SENSOR_KIND_CMOS, 20)), u"6.0dB");
    EXPECT_EQ(U16(GainText(CAMERA_TYPE_CAMDRVE, SENSOR_KIND_CMOS, 20)), u"20");
    EXPECT_EQ(U16(GainText(CAMERA_TYPE_CAMDRVD, SENSOR_KIND_CMOS, 7)), u"7");
    EXPECT_EQ(U16(GainText(CAMERA_TYPE_CORE_A, SENSOR_KIND_THIRD, 12)), u"12");
}

TEST(ExposurePanel, EveryBenchCameraGetsItsScaleGainUnitAndTimeInput)
{
    FakeLinks links;
    PlainParent parent;
    Panel p(parent);
    ASSERT_TRUE(p.created);
    for (const BenchCamera& c : kCameras) {
        SCOPED_TRACE(c.line);
        LiveCamera camera(c.line);
        ASSERT_TRUE(camera.open);
        p.Refresh();
        const Manager m = ManagerRecord();
        const CameraParamInfo info = Info();
        ASSERT_EQ(m.cameraType, c.type);
        if (c.product >= 0)
            ASSERT_EQ(info.productIndex, c.product);
        CameraMgrParam mgr;
        QrCCameraGetMgrParameter(&mgr);
        const bool core = mgr.mode != 0;

        const int top = ExpectedSliderMax(m, info);
        EXPECT_EQ(Slider(p.H(), IDC_EXP_EXPOSURE)->m_nMin, 1);
        EXPECT_EQ(Slider(p.H(), IDC_EXP_EXPOSURE)->m_nMax, top);
        EXPECT_EQ(p.Time()->GetValue() <= (core ? (UINT)info.exposureMax : (UINT)top * 1000u), true);

        const bool decibels = c.type == 5 || Deferred(c.type);
        EXPECT_EQ(Text(p.H(), IDC_EXP_GAIN_LABEL), decibels ? u"增益(dB)" : u"增益");
        const bool factor = m.sensorKind == SENSOR_KIND_CCD || c.type == 5;
        EXPECT_EQ(Slider(p.H(), IDC_EXP_GAIN)->m_nMin, factor ? info.gainFactorMin : info.gainRegisterMin);
        EXPECT_EQ(Visible(p.H(), IDC_EXP_PIXEL_CLOCK), c.type == 18);
        EXPECT_EQ(Visible(p.H(), IDC_EXP_SPEED_HIGH), c.type != 18);

        // Manual exposure, then the slider: the time reaches the camera at once unless
        // the camera type defers it.
        Click(p.H(), IDC_EXP_MANUAL);
        ASSERT_EQ(Current().aeOn, 0);

        // Each product keeps its own fields: 37 only milliseconds, 38 no minutes and
        // seconds, any other all four.
        CExposureTimeEdit* time = p.Time();
        EXPECT_EQ(time->FieldEdit(0).IsWindowEnabled() != FALSE, c.product != 37 && c.product != 38);
        EXPECT_EQ(time->FieldEdit(3).IsWindowEnabled() != FALSE, c.product != 37);
        EXPECT_TRUE(time->FieldEdit(2).IsWindowEnabled());
        if (c.product == 2 || c.product == 3)
            EXPECT_EQ(Enabled(p.H(), IDC_EXP_SPEED_HIGH), mgr.ResPreview != 0);

        // About 20 ms in the camera's own steps.
        const int position = std::min(top, core ? std::max(1, (int)(20.0 / info.exposureUnit + 0.5)) : 20);
        const UINT expected = ExpectedTime(info, core, position);
        MoveSlider(p.H(), IDC_EXP_EXPOSURE, position);
        EXPECT_EQ((UINT)Current().exposureTime, expected);
        EXPECT_EQ(p.Time()->GetValue(), expected);
        if (Deferred(c.type))
            EXPECT_TRUE(WaitFor([&] { return DeviceExposureMs(c) == (int)(expected / 1000); }, 3000))
                << DeviceExposureMs(c) << " for " << expected;
        else
            EXPECT_NEAR(DeviceExposureMs(c), (int)(expected / 1000), 1);
    }
}

TEST(ExposurePanel, DeferredTypesApplyOnce200msAfterTheLastMessageTypedTimesAtOnce)
{
    FakeLinks links;
    const BenchCamera& c = kCameras[8];   // camera type 12
    LiveCamera camera(c.line);
    ASSERT_TRUE(camera.open);
    PlainParent parent;
    Panel p(parent);
    Click(p.H(), IDC_EXP_MANUAL);
    MoveSlider(p.H(), IDC_EXP_EXPOSURE, 10);
    ASSERT_TRUE(WaitFor([&] { return DeviceExposureMs(c) == 10; }, 3000));

    // Messages in a row, nothing pumped in between: the camera keeps its exposure.
    for (int position : {12, 15, 18, 22, 25})
        MoveSlider(p.H(), IDC_EXP_EXPOSURE, position);
    EXPECT_EQ(DeviceExposureMs(c), 10);
    const DWORD last = GetTickCount();
    ASSERT_TRUE(WaitFor([&] { return DeviceExposureMs(c) != 10; }, 3000));
    EXPECT_GE(GetTickCount() - last, 190u);
    EXPECT_EQ(DeviceExposureMs(c), 25);

    // A typed time needs no timer.
    p.TypeMilliseconds(33);
    EXPECT_EQ(DeviceExposureMs(c), 33);
    EXPECT_EQ(Slider(p.H(), IDC_EXP_EXPOSURE)->GetPos(), 33);
}

// The timer applies what the library holds as the current time; frames arriving while
// the device still runs the old time must not put that back in its place.
TEST(ExposurePanel, StoredTimeOutlivesTheFramesBeforeItsApply)
{
    const BenchCamera& c = kCameras[0];   // its frames are counted on the bench
    LiveCamera camera(c.line);
    ASSERT_TRUE(camera.open);
    ASSERT_EQ(QrCCameraSetAeState(0), CAM_OK);
    QrCCameraSetExposureTimeMS(10000, 1);
    ASSERT_NEAR(DeviceExposureMs(c), 10, 1);

    ASSERT_EQ(QrCCameraSetExposureTimeMS(25000, 0), CAM_OK);
    const uint32_t frames = Bench::Get().FrameCount(c.name);
    ASSERT_TRUE(WaitFor([&] { return Bench::Get().FrameCount(c.name) >= frames + 5; }, 5000));
    EXPECT_NEAR(DeviceExposureMs(c), 10, 1);
    ASSERT_EQ(Current().exposureTime, 25000);

    QrCCameraSetExposureTimeMS(Current().exposureTime, 1);
    EXPECT_NEAR(DeviceExposureMs(c), 25, 1);
}

TEST(ExposurePanel, LongExposureMarksAPendingRestartAndIsCappedWhenLeft)
{
    FakeLinks links;
    const BenchCamera& c = kCameras[6];   // camera type 9: long-exposure values
    LiveCamera camera(c.line);
    ASSERT_TRUE(camera.open);
    PlainParent parent;
    Panel p(parent);
    Click(p.H(), IDC_EXP_MANUAL);
    const int before = Current().exposureTime;

    p.panel.EnableLongExposure();
    ASSERT_EQ(ManagerRecord().longExposure, 1);
    EXPECT_TRUE(Checked(p.H(), IDC_EXP_LONG));
    EXPECT_TRUE(Visible(p.H(), IDC_EXP_RESTART));
    const CameraParamInfo info = Info();
    EXPECT_EQ(Slider(p.H(), IDC_EXP_EXPOSURE)->m_nMin, info.exposureStepMin);
    EXPECT_EQ(Slider(p.H(), IDC_EXP_EXPOSURE)->m_nMax, info.exposureStepMax);

    CSkinBitmapButton* restart =
        static_cast<CSkinBitmapButton*>(CWnd::FromHandlePermanent(GetDlgItem(p.H(), IDC_EXP_RESTART)));
    auto captionColour = [&] {
        const COLORREF c = restart->SetTextColor(0);
        restart->SetTextColor(c);
        return c;
    };
    for (int cycle = 0; cycle < 2; cycle++) {
        SCOPED_TRACE(cycle);
        const int value = info.exposureStepMin + 3 + cycle;
        const int shown = Current().exposureTime;
        MoveSlider(p.H(), IDC_EXP_EXPOSURE, value);
        MoveSlider(p.H(), IDC_EXP_EXPOSURE, value);
        EXPECT_EQ(Text(p.H(), IDC_EXP_RESTART), u"更新 ?");
        EXPECT_EQ(captionColour(), RGB(255, 0, 0));
        EXPECT_EQ(Current().exposureTime, shown);
        int ms = 0;
        QrCCameraValueToTime(&ms, value);
        EXPECT_EQ(p.Time()->GetValue(), (UINT)ms * 1000u);

        Click(p.H(), IDC_EXP_RESTART);
        EXPECT_EQ(Text(p.H(), IDC_EXP_RESTART), u"更新");
        EXPECT_EQ(captionColour(), RGB(0, 0, 0));
        EXPECT_EQ(Current().exposureTime, ms * 1000);
    }
    EXPECT_NE(Current().exposureTime, before);

    // A typed time in long exposure moves the slider to its value, waiting for restart.
    p.TypeMilliseconds(120);
    int value = 0;
    QrCCameraTimeToValue(&value, p.Time()->GetValue() / 1000);
    EXPECT_EQ(Slider(p.H(), IDC_EXP_EXPOSURE)->GetPos(), value);
    EXPECT_EQ(Text(p.H(), IDC_EXP_RESTART), u"更新 ?");

    // Left at the longest value, the exposure is cut to what the slider then reaches.
    MoveSlider(p.H(), IDC_EXP_EXPOSURE, info.exposureStepMax);
    int longest = 0;
    QrCCameraValueToTime(&longest, info.exposureStepMax);
    CheckDlgButton(p.H(), IDC_EXP_LONG, BST_UNCHECKED);
    Click(p.H(), IDC_EXP_LONG);
    ASSERT_EQ(ManagerRecord().longExposure, 0);
    const int top = Slider(p.H(), IDC_EXP_EXPOSURE)->m_nMax;
    ASSERT_LT(top, longest);
    EXPECT_EQ(Current().exposureTime, top * 1000);
    EXPECT_FALSE(Visible(p.H(), IDC_EXP_RESTART));
}

TEST(ExposurePanel, SpeedPixelClockAndDataWidthReachTheCamera)
{
    FakeLinks links;
    {
        LiveCamera camera(kCameras[0].line);
        ASSERT_TRUE(camera.open);
        PlainParent parent;
        Panel p(parent);
        p.Refresh();
        HWND clock = GetDlgItem(p.H(), IDC_EXP_PIXEL_CLOCK);
        ASSERT_EQ(SendMessageW(clock, CB_GETCOUNT, 0, 0), 2);
        SendMessageW(clock, CB_SETCURSEL, 1, 0);
        SendMessageW(p.H(), WM_COMBO_SELCHANGED, IDC_EXP_PIXEL_CLOCK, 0);
        orvbench::CameraSettings s;
        ASSERT_TRUE(Bench::Get().Settings(kCameras[0].name, &s));
        EXPECT_EQ(s.pixelClock, 1);
        EXPECT_EQ(CallCount("RefreshControls"), 1);

        ASSERT_TRUE(Enabled(p.H(), IDC_EXP_WIDTH_16));
        Click(p.H(), IDC_EXP_WIDTH_16);
        EXPECT_EQ(Current().dataWide, 1);
        EXPECT_TRUE(Checked(p.H(), IDC_EXP_WIDTH_16));
        Click(p.H(), IDC_EXP_WIDTH_8);
        EXPECT_EQ(Current().dataWide, 0);
    }
    LiveCamera camera(kCameras[8].line);
    ASSERT_TRUE(camera.open);
    PlainParent parent;
    Panel p(parent);
    Click(p.H(), IDC_EXP_SPEED_HIGH);
    EXPECT_EQ(Current().HDFrameSpeed, 1);
    EXPECT_TRUE(Checked(p.H(), IDC_EXP_SPEED_HIGH));
    Click(p.H(), IDC_EXP_SPEED_NORMAL);
    EXPECT_EQ(Current().HDFrameSpeed, 2);
    EXPECT_FALSE(Checked(p.H(), IDC_EXP_SPEED_HIGH));
}

TEST(ExposurePanel, WithoutACameraEverythingIsOffAndRangesAreNeutral)
{
    FakeLinks links;
    LoadEmptyBench();
    ASSERT_EQ(ManagerRecord().cameraType, CAMERA_TYPE_NONE);
    PlainParent parent;
    Panel p(parent);
    for (int id : {IDC_EXP_AUTO, IDC_EXP_MANUAL, IDC_EXP_AE_LOCK, IDC_EXP_LONG, IDC_EXP_GAIN, IDC_EXP_EXPOSURE,
                   IDC_EXP_AE_TARGET, IDC_EXP_TIME, IDC_EXP_CHANNEL, IDC_EXP_BLACK, IDC_EXP_WHITE, IDC_EXP_MIDDLE,
                   IDC_EXP_LEVELS_APPLY, IDC_EXP_LEVELS_AREA, IDC_EXP_LEVELS_BAR, IDC_EXP_WIDTH_16})
        EXPECT_FALSE(Enabled(p.H(), id)) << id;
    for (int id : {IDC_EXP_GAIN, IDC_EXP_EXPOSURE}) {
        EXPECT_EQ(Slider(p.H(), id)->m_nMin, 1);
        EXPECT_EQ(Slider(p.H(), id)->m_nMax, 10000);
    }
    EXPECT_EQ(Slider(p.H(), IDC_EXP_AE_TARGET)->m_nMax, 1000);
    p.Time()->SetValue(50000);
    EXPECT_EQ(p.Time()->GetValue(), 10000u);
}

// The slider tracks are drawn without colour-key transparency here: what surrounds the
// track must be the panel's colour, never the key.
TEST(ExposurePanel, SliderTracksShowNoKeyColour)
{
    FakeLinks links;
    LoadEmptyBench();
    PlainParent parent;
    Panel p(parent);
    for (int id : {IDC_EXP_AE_TARGET, IDC_EXP_EXPOSURE, IDC_EXP_GAIN}) {
        HWND slider = GetDlgItem(p.H(), id);
        RedrawWindow(slider, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RECT rc;
        GetClientRect(slider, &rc);
        ASSERT_GT(rc.right, 0);
        int key = 0;
        HDC dc = GetDC(slider);
        for (int y = 0; y < rc.bottom; y++)
            for (int x = 0; x < rc.right; x++)
                if (GetPixel(dc, x, y) == RGB(255, 0, 255)) key++;
        ReleaseDC(slider, dc);
        EXPECT_EQ(key, 0) << "slider " << id;
    }
}
