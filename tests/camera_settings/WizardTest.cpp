// The white-balance wizard on an owner window of the test's, against a live bench
// camera: every step's texts and buttons, the keys, the close box, the balances it asks
// of the camera, and its GDI objects over many uses.
#include "SettingsSupport.h"

#include "app/capture/CaptureStringIds.h"
#include "app/capture/WhiteBalanceWizard.h"

using namespace settingstest;
using orvbench::Bench;

namespace {

const char kColourCamera[] = "camera zedodir 0547:A005 Model73.1 colour";

struct Screen
{
    UINT text, ok, cancel;   // cancel 0: hidden
};

const Screen kScreens[] = {
    {IDS_WBW_INTRO, IDS_WBW_RESET_AND_GO, IDS_WBW_CANCEL},
    {IDS_WBW_LIGHT, IDS_WBW_NEXT, 0},
    {IDS_WBW_WHITE_AREA, IDS_WBW_TAKE, 0},
    {IDS_WBW_SUCCESS, IDS_WBW_FINISH, 0},
    {IDS_WBW_FAILURE, IDS_WBW_SET_EXPOSURE, IDS_WBW_REDO},
    {IDS_WBW_MANUAL, IDS_WBW_TAKE, 0},
};

// The wizard as the camera panel makes it: new for each use, on its owner.
class Wizard {
public:
    Wizard() : spy(owner.hwnd)
    {
        wizard = new CWhiteBalanceWizard(&owner.wnd);
        created = wizard->Create(CWhiteBalanceWizard::IDD, &owner.wnd) != FALSE;
        if (created)
            wizard->ShowWindow(SW_SHOW);
    }
    ~Wizard()
    {
        if (wizard->GetSafeHwnd() != NULL)
            wizard->DestroyWindow();
        delete wizard;
    }
    HWND H() const { return wizard->m_hWnd; }
    int Step() const { return wizard->GetStep(); }
    void Key(WPARAM key)
    {
        PostMessageW(GetDlgItem(H(), IDOK), WM_KEYDOWN, key, 0);
        PumpProgramMessages(30);
    }
    void Ok() { Click(H(), IDOK); }
    void Cancel() { Click(H(), IDCANCEL); }
    int Closed()
    {
        PumpMessagesFor(20);
        return spy.Count(WM_WB_WIZARD_CLOSED);
    }
    // From the intro to `step`; steps 4 and 5 through a balance that fails.
    void WalkTo(int step)
    {
        const int oks = step <= 3 ? step : step - 1;
        for (int i = 0; i < oks; i++) {
            if (i == 2 && step >= 4)
                Bench::Get().FailNextWhiteBalance();
            Ok();
        }
    }

    PlainParent owner;
    MessageSpy spy;
    CWhiteBalanceWizard* wizard = nullptr;
    bool created = false;
};

void ExpectScreen(HWND h, int step)
{
    SCOPED_TRACE(step);
    const Screen& s = kScreens[step];
    EXPECT_EQ(Text(h, IDC_WB_WIZARD_TEXT), LoadU16(s.text));
    EXPECT_EQ(Text(h, IDOK), LoadU16(s.ok));
    EXPECT_EQ(Visible(h, IDCANCEL), s.cancel != 0);
    if (s.cancel != 0)
        EXPECT_EQ(Text(h, IDCANCEL), LoadU16(s.cancel));
}

}  // namespace

TEST(WhiteBalanceWizard, EnterWalksTheStepsAndTheBalanceIsAskedTwice)
{
    FakeLinks links;
    LiveCamera camera(kColourCamera);
    ASSERT_TRUE(camera.open);
    QrCCameraSetAeState(0);
    Wizard w;
    ASSERT_TRUE(w.created);
    EXPECT_EQ(U16(CString(L"白平衡嚮導")), [&] {
        WCHAR caption[64] = {};
        GetWindowTextW(w.H(), caption, 64);
        return U16(CString(caption));
    }());
    ExpectScreen(w.H(), 0);

    w.Key(VK_RETURN);
    ASSERT_EQ(w.Step(), 1);
    ExpectScreen(w.H(), 1);
    EXPECT_EQ(Current().aeOn, 1);
    EXPECT_EQ(CallCount("RefreshAllPanels"), 1);
    EXPECT_EQ(CallCount("ToolsRefreshFromCamera"), 1);

    w.Key(VK_RETURN);
    ExpectScreen(w.H(), 2);
    const uint32_t before = Bench::Get().WhiteBalanceCount();
    w.Key(VK_RETURN);
    ExpectScreen(w.H(), 3);
    EXPECT_EQ(Bench::Get().WhiteBalanceCount() - before, 2u);
    EXPECT_EQ(w.Closed(), 0);

    // Finishing only asks the owner; the window stays until the owner destroys it.
    w.Key(VK_RETURN);
    EXPECT_EQ(w.Closed(), 1);
    EXPECT_TRUE(IsWindow(w.H()));
}

TEST(WhiteBalanceWizard, FailuresAlternateWithManualExposureAndEscapeGoesBack)
{
    FakeLinks links;
    LiveCamera camera(kColourCamera);
    ASSERT_TRUE(camera.open);
    Wizard w;
    w.WalkTo(2);
    Bench& bench = Bench::Get();

    uint32_t count = bench.WhiteBalanceCount();
    bench.FailNextWhiteBalance();
    w.Ok();
    ExpectScreen(w.H(), 4);
    EXPECT_EQ(bench.WhiteBalanceCount() - count, 1u);

    // Escape in the failure step goes back to the white area, closing nothing.
    w.Key(VK_ESCAPE);
    ExpectScreen(w.H(), 2);
    EXPECT_EQ(w.Closed(), 0);

    bench.FailNextWhiteBalance();
    w.Ok();
    ASSERT_EQ(w.Step(), 4);
    count = bench.WhiteBalanceCount();
    w.Ok();
    ExpectScreen(w.H(), 5);
    EXPECT_EQ(bench.WhiteBalanceCount(), count);   // the user sets the exposure meanwhile
    bench.FailNextWhiteBalance();
    w.Ok();
    ExpectScreen(w.H(), 4);
    w.Ok();
    count = bench.WhiteBalanceCount();
    w.Ok();
    ExpectScreen(w.H(), 3);
    EXPECT_EQ(bench.WhiteBalanceCount() - count, 1u);

    // Escape anywhere else asks to be closed.
    w.Key(VK_ESCAPE);
    EXPECT_EQ(w.Closed(), 1);
}

TEST(WhiteBalanceWizard, TheCloseBoxClosesInEveryStep)
{
    FakeLinks links;
    LiveCamera camera(kColourCamera);
    ASSERT_TRUE(camera.open);
    for (int step = 0; step <= 5; step++) {
        SCOPED_TRACE(step);
        Wizard w;
        w.WalkTo(step);
        ASSERT_EQ(w.Step(), step);
        w.wizard->SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(w.Closed(), 1);
        EXPECT_EQ(w.Step(), step);
    }
}

namespace {

// The highest handle slot that fresh GDI objects land in: objects left behind by
// earlier work push fresh ones to higher slots.
ULONG_PTR FreshObjectSlots()
{
    std::vector<HBRUSH> brushes;
    ULONG_PTR highest = 0;
    for (int i = 0; i < 3000; i++) {
        HBRUSH b = CreateSolidBrush(RGB(i & 255, 0, 0));
        if (b == NULL)
            break;
        highest = std::max<ULONG_PTR>(highest, reinterpret_cast<ULONG_PTR>(b) & 0xFFFF);
        brushes.push_back(b);
    }
    for (HBRUSH b : brushes)
        DeleteObject(b);
    return highest;
}

}  // namespace

TEST(WhiteBalanceWizard, TwoHundredUsesLeaveNoGdiObjects)
{
    FakeLinks links;
    PlainParent owner;
    {
        // Warm up what the first creation loads once for good (fonts, classes).
        CWhiteBalanceWizard first(&owner.wnd);
        first.Create(CWhiteBalanceWizard::IDD, &owner.wnd);
        first.DestroyWindow();
    }
    const ULONG_PTR before = FreshObjectSlots();
    for (int i = 0; i < 200; i++) {
        CWhiteBalanceWizard* wizard = new CWhiteBalanceWizard(&owner.wnd);
        ASSERT_TRUE(wizard->Create(CWhiteBalanceWizard::IDD, &owner.wnd));
        wizard->ShowWindow(SW_SHOW);
        wizard->UpdateWindow();
        wizard->DestroyWindow();
        delete wizard;
    }
    PumpMessagesFor(50);
    const ULONG_PTR after = FreshObjectSlots();
    EXPECT_LT(after, before + 100) << "before " << before << ", after " << after;
}
