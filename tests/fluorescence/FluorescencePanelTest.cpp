// The fluorescence panel on a plain parent with the real camera library and bench.
#include "FluorescenceSupport.h"

#include <iterator>
#include <utility>

#include "app/shell/CapturePage.h"
#include "app/controls/SkinComboBox.h"

using namespace fluotest;

namespace {

class FluorescencePanelTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (panel.GetSafeHwnd())
            panel.DestroyWindow();
        QrCCameraSetHWndReceive(nullptr);
        QrCCameraUnInit();
        QrCSetCamera(CAMERA_TYPE_NONE);
        QrCCameraSetTemperature(-30.0f);
    }
    // The cooled camera live, then the panel.
    void OpenCooled()
    {
        LoadCooledBench();
        ASSERT_TRUE(live.Open());
        CreatePanel();
    }
    void CreatePanel()
    {
        ASSERT_TRUE(panel.Create(CFluorescencePanel::IDD, &parent.wnd));
        panel.ShowWindow(SW_SHOW);
        dlg = panel.GetSafeHwnd();
    }
    void ChooseInCombo(const wchar_t* name)
    {
        const LRESULT entry = SendDlgItemMessageW(dlg, IDC_FLUO_DYE_COMBO, CB_FINDSTRINGEXACT, -1, (LPARAM)name);
        ASSERT_NE(entry, CB_ERR) << "no entry";
        SendDlgItemMessageW(dlg, IDC_FLUO_DYE_COMBO, CB_SETCURSEL, entry, 0);
        SendMessageW(dlg, WM_COMBO_SELCHANGED, IDC_FLUO_DYE_COMBO, 0);
    }
    void ClickSwatch(int id)
    {
        RECT r;
        GetWindowRect(GetDlgItem(dlg, id), &r);
        POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ScreenToClient(dlg, &p);
        SendMessageW(dlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        SendMessageW(dlg, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    }
    // A record the panel never sends, so that any send shows.
    void SetSentinel()
    {
        DyeSettings sentinel;
        sentinel.ApplyDye = 0;
        sentinel.ColorIndex = 7;
        sentinel.NameIndex = 8;
        sentinel.ExWaveLen = 1;
        sentinel.EmWaveLen = 2;
        sentinel.R = 3;
        sentinel.G = 4;
        sentinel.B = 5;
        ASSERT_EQ(QrCCameraSetFluorescenceDye(&sentinel), CAM_OK);
        this->sentinel = sentinel;
    }

    PlainParent parent;
    LiveWindows live;
    CFluorescencePanel panel;
    HWND dlg = nullptr;
    DyeSettings sentinel;
};

float g_degrees = 0.0f;

// A cooled camera whose sensor reads a fixed temperature.
class CFixedTemperatureCamera : public CCameraDevice {
public:
    CFixedTemperatureCamera()
    {
        m_info.productId = 0x840A;
        m_info.featureFlags[FEATURE_COOLED - 1] = 1;
    }
    int GetTemperature(float* degrees) override
    {
        *degrees = g_degrees;
        return CAM_OK;
    }
};

CCameraDevice* MakeFixedTemperatureCamera(int)
{
    return new CFixedTemperatureCamera;
}

const int kDyeGroup[] = {IDC_FLUO_DYE_COMBO, IDC_FLUO_DYE_SLIDER, IDC_FLUO_DEFAULT, IDC_FLUO_APPLY};
const int kCoolingGroup[] = {IDC_FLUO_COOLING_SLIDER, IDC_FLUO_COOLING_EDIT, IDC_FLUO_TEMPERATURE_EDIT};

}  // namespace

TEST_F(FluorescencePanelTest, EnablingFollowsTheCamera)
{
    ASSERT_EQ(QrCSetCamera(CAMERA_TYPE_NONE), CAM_OK);
    CreatePanel();
    for (int id : kDyeGroup)
        EXPECT_FALSE(Enabled(dlg, id)) << id;
    for (int id : kCoolingGroup)
        EXPECT_FALSE(Enabled(dlg, id)) << id;
    EXPECT_FALSE(Enabled(dlg, IDC_FLUO_BLACK_SLIDER));
    EXPECT_FALSE(Enabled(dlg, IDC_FLUO_WIZARD));
    EXPECT_EQ(SliderMin(dlg, IDC_FLUO_COOLING_SLIDER), -30);
    EXPECT_EQ(SliderMax(dlg, IDC_FLUO_COOLING_SLIDER), 30);
    EXPECT_EQ(SliderMax(dlg, IDC_FLUO_DYE_SLIDER), 147);
    EXPECT_EQ(SendDlgItemMessageW(dlg, IDC_FLUO_DYE_COMBO, CB_GETCOUNT, 0, 0), DYE_COUNT);

    // The cooled camera of sensor kind 2, live: dye, cooling, black level, wizard.
    LoadCooledBench();
    ASSERT_TRUE(live.Open());
    panel.UpdateControlState();
    for (int id : kDyeGroup)
        EXPECT_TRUE(Enabled(dlg, id)) << id;
    for (int id : kCoolingGroup)
        EXPECT_TRUE(Enabled(dlg, id)) << id;
    EXPECT_TRUE(Enabled(dlg, IDC_FLUO_BLACK_SLIDER));
    EXPECT_TRUE(Enabled(dlg, IDC_FLUO_WIZARD));
    EXPECT_TRUE(Enabled(dlg, IDC_FLUO_BLACK_BALANCE));

    // Stopped, the dye group goes; the default colour camera never has it.
    QrCCameraUnInit();
    panel.UpdateControlState();
    EXPECT_FALSE(Enabled(dlg, IDC_FLUO_DYE_COMBO));
    QrCSetCamera(CAMERA_TYPE_NONE);
    orvbench::Bench::Get().LoadDefault();
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);
    ASSERT_TRUE(live.Open());
    panel.UpdateControlState();
    EXPECT_FALSE(Enabled(dlg, IDC_FLUO_DYE_COMBO));
    EXPECT_FALSE(Enabled(dlg, IDC_FLUO_DYE_SLIDER));
}

TEST_F(FluorescencePanelTest, ComboSliderAndSwatchChoicesReachTheLibrary)
{
    OpenCooled();
    ChooseInCombo(L"DAPI");
    DyeSettings d = LibraryDye();
    EXPECT_EQ(d.EmWaveLen, 461);
    EXPECT_EQ(d.ExWaveLen, 358);
    EXPECT_EQ(d.ColorIndex, 104);
    EXPECT_EQ(d.R, 0);
    EXPECT_EQ(d.G, 107);
    EXPECT_EQ(d.B, 255);
    EXPECT_EQ(SliderPos(dlg, IDC_FLUO_DYE_SLIDER), 104);

    MoveSlider(dlg, IDC_FLUO_DYE_SLIDER, 76);
    d = LibraryDye();
    EXPECT_EQ(Text(dlg, IDC_FLUO_DYE_COMBO), u"Alexa 488");
    EXPECT_EQ(d.ColorIndex, 76);
    EXPECT_EQ(d.EmWaveLen, 519);
    EXPECT_EQ(Text(dlg, IDC_FLUO_CURRENT_RGB), u"RGB(032,255,000)");

    // Red and magenta swatches force their colour on their dye's wavelengths.
    ClickSwatch(IDC_FLUO_SWATCH_RED);
    d = LibraryDye();
    EXPECT_EQ(Text(dlg, IDC_FLUO_DYE_COMBO), u"7-ADD(7-amino-actinomycin D)");
    EXPECT_EQ(d.R, 255);
    EXPECT_EQ(d.G, 0);
    EXPECT_EQ(d.B, 0);
    EXPECT_EQ(d.EmWaveLen, 647);
    ClickSwatch(IDC_FLUO_SWATCH_MAGENTA);
    d = LibraryDye();
    EXPECT_EQ(Text(dlg, IDC_FLUO_DYE_COMBO), u"FuraZin-1 Em375");
    EXPECT_EQ(d.ExWaveLen, 325);
    EXPECT_EQ(d.EmWaveLen, 375);
    EXPECT_EQ(d.R, 255);
    EXPECT_EQ(d.G, 0);
    EXPECT_EQ(d.B, 255);
    EXPECT_EQ(d.ColorIndex, 124);
    EXPECT_EQ(Text(dlg, IDC_FLUO_CURRENT_RGB), u"RGB(255,000,255)");

    // The apply box sends the same record with the flag.
    CheckDlgButton(dlg, IDC_FLUO_APPLY, BST_CHECKED);
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_FLUO_APPLY, BN_CLICKED), (LPARAM)GetDlgItem(dlg, IDC_FLUO_APPLY));
    DyeSettings applied = LibraryDye();
    EXPECT_EQ(applied.ApplyDye, 1);
    applied.ApplyDye = 0;
    d.ApplyDye = 0;   // whatever the stored settings had
    EXPECT_TRUE(SameDye(applied, d));
}

TEST_F(FluorescencePanelTest, SwatchesPutTheSliderOnTheirOwnDye)
{
    OpenCooled();
    struct { int swatch; const char16_t* dye; int position; } cases[] = {
        {IDC_FLUO_SWATCH_GREEN, u"Fluoro-Jade", 83},   {IDC_FLUO_SWATCH_BLUE, u"Calcofluor White", 114},
        {IDC_FLUO_SWATCH_YELLOW, u"POPO-3", 34},       {IDC_FLUO_SWATCH_CYAN, u"Dibromobimane", 93},
        {IDC_FLUO_SWATCH_WHITE, u"Brightfield", 39},   {IDC_FLUO_SWATCH_MAGENTA, u"FuraZin-1 Em375", 124},
    };
    for (const auto& c : cases) {
        ClickSwatch(c.swatch);
        EXPECT_EQ(Text(dlg, IDC_FLUO_DYE_COMBO), c.dye);
        EXPECT_EQ(SliderPos(dlg, IDC_FLUO_DYE_SLIDER), c.position);
        EXPECT_EQ(LibraryDye().ColorIndex, c.position);
        // Letting go of the thumb where it stands keeps the swatch's dye.
        SetSentinel();
        MoveSlider(dlg, IDC_FLUO_DYE_SLIDER, c.position);
        EXPECT_TRUE(SameDye(LibraryDye(), sentinel)) << c.position;
        EXPECT_EQ(Text(dlg, IDC_FLUO_DYE_COMBO), c.dye);
    }
}

TEST_F(FluorescencePanelTest, OffSliderDyeMovesTheSliderToAnEqualEmissionOrLeavesIt)
{
    OpenCooled();
    ChooseInCombo(L"Hoescht 33342");   // emission 461, as DAPI at 104
    EXPECT_EQ(SliderPos(dlg, IDC_FLUO_DYE_SLIDER), 104);
    DyeSettings d = LibraryDye();
    EXPECT_EQ(d.NameIndex, (int)SendDlgItemMessageW(dlg, IDC_FLUO_DYE_COMBO, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(d.ExWaveLen, 350);
    ChooseInCombo(L"Cy5");             // no slider dye emits at 670
    EXPECT_EQ(SliderPos(dlg, IDC_FLUO_DYE_SLIDER), 104);
    EXPECT_EQ(LibraryDye().EmWaveLen, 670);
    EXPECT_EQ(LibraryDye().ExWaveLen, 649);
}

TEST_F(FluorescencePanelTest, NothingIsSentForTheShownNameOrAClickBesideTheSwatches)
{
    OpenCooled();
    ChooseInCombo(L"Calcein");
    const int pos = SliderPos(dlg, IDC_FLUO_DYE_SLIDER);
    SetSentinel();
    MoveSlider(dlg, IDC_FLUO_DYE_SLIDER, pos);
    SendMessageW(dlg, WM_SLIDER_MOVING, IDC_FLUO_DYE_SLIDER, pos);
    EXPECT_TRUE(SameDye(LibraryDye(), sentinel));

    RECT r;
    GetWindowRect(GetDlgItem(dlg, IDC_FLUO_SWATCH_WHITE), &r);
    POINT p = {r.right + 3, r.bottom + 3};
    ScreenToClient(dlg, &p);
    SendMessageW(dlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    EXPECT_TRUE(SameDye(LibraryDye(), sentinel));
    EXPECT_EQ(Text(dlg, IDC_FLUO_DYE_COMBO), u"Calcein");
}

TEST_F(FluorescencePanelTest, DefaultsShowBrightfieldOnItsOwnSliderPlace)
{
    OpenCooled();
    ChooseInCombo(L"DAPI");
    CheckDlgButton(dlg, IDC_FLUO_APPLY, BST_CHECKED);
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_FLUO_APPLY, BN_CLICKED), (LPARAM)GetDlgItem(dlg, IDC_FLUO_APPLY));
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_FLUO_DEFAULT, BN_CLICKED), (LPARAM)GetDlgItem(dlg, IDC_FLUO_DEFAULT));
    EXPECT_EQ(SendDlgItemMessageW(dlg, IDC_FLUO_DYE_COMBO, CB_GETCURSEL, 0, 0), 78);
    EXPECT_EQ(Text(dlg, IDC_FLUO_DYE_COMBO), u"Brightfield");
    EXPECT_EQ(SliderPos(dlg, IDC_FLUO_DYE_SLIDER), 39);
    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_FLUO_APPLY), (UINT)BST_UNCHECKED);
    const DyeSettings d = LibraryDye();
    EXPECT_EQ(d.ApplyDye, 0);
    EXPECT_EQ(d.ColorIndex, 39);
    EXPECT_EQ(d.NameIndex, 78);
    EXPECT_EQ(d.ExWaveLen, 550);
    EXPECT_EQ(d.R + d.G + d.B, 3 * 255);
}

TEST_F(FluorescencePanelTest, StoredIndexesOutsideTheListsStillNameADye)
{
    OpenCooled();
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    mgr.dye.NameIndex = 9999;
    mgr.dye.ColorIndex = 83;
    QrCCameraSetMgrParameter(&mgr);
    panel.LoadDyeFromCamera();
    EXPECT_EQ(Text(dlg, IDC_FLUO_DYE_COMBO), u"Fluoro-Jade");
    EXPECT_EQ(LibraryDye().EmWaveLen, 510);
    EXPECT_EQ(LibraryDye().NameIndex, (int)SendDlgItemMessageW(dlg, IDC_FLUO_DYE_COMBO, CB_GETCURSEL, 0, 0));

    QrCCameraGetMgrParameter(&mgr);
    mgr.dye.NameIndex = 9999;
    mgr.dye.ColorIndex = -5;
    QrCCameraSetMgrParameter(&mgr);
    panel.LoadDyeFromCamera();
    EXPECT_EQ(Text(dlg, IDC_FLUO_DYE_COMBO), u"Brightfield");
    EXPECT_EQ(SliderPos(dlg, IDC_FLUO_DYE_SLIDER), 39);
    const DyeSettings d = LibraryDye();
    EXPECT_EQ(d.NameIndex, 78);
    EXPECT_EQ(d.ExWaveLen, 550);
    EXPECT_EQ(d.EmWaveLen, 550);
}

TEST_F(FluorescencePanelTest, CoolingTargetInForceSurvivesARefresh)
{
    OpenCooled();
    panel.RefreshFromCamera();
    EXPECT_EQ(SliderPos(dlg, IDC_FLUO_COOLING_SLIDER), -30);
    MoveSlider(dlg, IDC_FLUO_COOLING_SLIDER, -12);
    EXPECT_EQ(CCameraManagerProbe::SetPoint(), -12);
    EXPECT_EQ(Text(dlg, IDC_FLUO_COOLING_EDIT), u"-12 ℃");
    // The current parameters' cooling degree is the product's default whenever the
    // parameters are reloaded; the cooling thread still works to -12.
    CCameraManagerProbe::SetCoolingDegree(5);
    ASSERT_EQ(CCameraManagerProbe::SetPoint(), -12);
    panel.UpdateControlState();
    panel.RefreshFromCamera();
    EXPECT_EQ(SliderPos(dlg, IDC_FLUO_COOLING_SLIDER), -12);
    EXPECT_EQ(Text(dlg, IDC_FLUO_COOLING_EDIT), u"-12 ℃");

    MoveSlider(dlg, IDC_FLUO_BLACK_SLIDER, 17);
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    EXPECT_EQ(cur.blackLevel, 17);
    EXPECT_EQ(Text(dlg, IDC_FLUO_BLACK_EDIT), u"17");
}

TEST_F(FluorescencePanelTest, TemperatureMessageUpdatesTheTextAndRepaintsTheChart)
{
    CCameraManager::SetDeviceFactory(MakeFixedTemperatureCamera);
    ASSERT_EQ(QrCSetCamera(CAMERA_TYPE_CAMDRVE), CAM_OK);
    CreatePanel();
    CString unit;
    unit.LoadString(IDS_FLUO_DEGREES);
    MessageSpy spy(dlg);
    // Truncated toward zero.
    for (auto c : {std::make_pair(-5.9f, u"-5 "), std::make_pair(-0.7f, u"0 "), std::make_pair(12.8f, u"12 ")}) {
        g_degrees = c.first;
        PumpMessagesFor(50);
        spy.Clear();
        PostMessageW(dlg, WM_CAMERA_TEMPERATURE, 0, 0);
        ASSERT_TRUE(spy.WaitForMessage(WM_PAINT, 2000));
        EXPECT_EQ(Text(dlg, IDC_FLUO_TEMPERATURE_EDIT), c.second + U16(unit));
    }
    CCameraManager::SetDeviceFactory(nullptr);
}

TEST_F(FluorescencePanelTest, Screenshot)
{
    OpenCooled();
    panel.RefreshFromCamera();
    PumpMessagesFor(300);
    SaveScreenshot(parent.hwnd, "fluorescence_panel");
}

TEST(FluorescenceInCapturePage, PageRefreshShowsTheLibraryDyeWithoutSendingIt)
{
    ShellLinksScope scope;
    LoadCooledBench();
    PlainParent parent;
    CCapturePage page(nullptr);
    ASSERT_TRUE(page.Create(CCapturePage::IDD, &parent.wnd));
    ASSERT_NE(Links().fluorescence, nullptr);
    const HWND dlg = Links().fluorescence->GetSafeHwnd();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(GetParent(GetParent(dlg)), page.GetSafeHwnd());   // inside its fold section
    LiveWindows live;
    ASSERT_TRUE(live.Open());

    // Settings that came from elsewhere (a restored backup), with a colour of their own.
    DyeSettings stored;
    stored.ApplyDye = 1;
    stored.ColorIndex = 104;
    stored.NameIndex = (int)std::distance(DyeTable.begin(), DyeTable.find(CString(L"DAPI")));
    stored.ExWaveLen = 358;
    stored.EmWaveLen = 461;
    stored.R = 1;
    stored.G = 2;
    stored.B = 3;
    ASSERT_EQ(QrCCameraSetFluorescenceDye(&stored), CAM_OK);
    page.RefreshAllPanels();
    EXPECT_EQ(Text(dlg, IDC_FLUO_DYE_COMBO), u"DAPI");
    EXPECT_EQ(SliderPos(dlg, IDC_FLUO_DYE_SLIDER), 104);
    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_FLUO_APPLY), (UINT)BST_CHECKED);
    EXPECT_EQ(Text(dlg, IDC_FLUO_CURRENT_RGB), u"RGB(001,002,003)");
    EXPECT_TRUE(SameDye(LibraryDye(), stored));
    EXPECT_TRUE(Enabled(dlg, IDC_FLUO_DYE_COMBO));

    page.DestroyWindow();
    QrCCameraSetHWndReceive(nullptr);
    QrCCameraUnInit();
    QrCSetCamera(CAMERA_TYPE_NONE);
}
