// The exposure panel's lower half on a plain parent against the bench: markers, typed
// and automatic levels, locked middles, channels, levels from a region of the live
// picture, and the histogram the library draws into the panel.
#include "SettingsSupport.h"

#include "app/capture/ExposurePanel.h"
#include "app/capture/PreviewRegion.h"

using namespace settingstest;
using orvbench::Bench;

namespace {

const char kCoreCamera[] = "camera zedodir 0547:A005 Model73.1 colour";
const char kDriverCamera[] = "camera camdrv 0547:C003 D.1 colour";
const char kMonoCamera[] = "camera camdrv 0547:D004 F.1 mono";
const char kLockedMiddle[] = "camera zedodir EBA1:7584 Model85.1 colour";   // product 28

struct Panel {
    explicit Panel(PlainParent& parent)
    {
        created = panel.Create(CExposurePanel::IDD, &parent.wnd) != FALSE;
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
    CLevelsBar* Bar() const
    {
        return static_cast<CLevelsBar*>(CWnd::FromHandlePermanent(GetDlgItem(H(), IDC_EXP_LEVELS_BAR)));
    }
    // A marker drag as the bar reports it.
    void Drag(int low, int high, int mid)
    {
        Bar()->SetLowHigh(low, high);
        Bar()->SetMid(mid);
        SendMessageW(H(), WM_LEVELS_CHANGED, IDC_EXP_LEVELS_BAR, 0);
    }
    void Type(int id, int value)
    {
        CString s;
        s.Format(L"%d", value);
        SetDlgItemTextW(H(), id, s);
    }
    void Channel(int index)
    {
        SendDlgItemMessageW(H(), IDC_EXP_CHANNEL, CB_SETCURSEL, index, 0);
        SendMessageW(H(), WM_COMBO_SELCHANGED, IDC_EXP_CHANNEL, 0);
    }
    CExposurePanel panel;
    bool created = false;
};

int ComboCount(HWND h, int id)
{
    return (int)SendDlgItemMessageW(h, id, CB_GETCOUNT, 0, 0);
}

std::u16string ComboText(HWND h, int id, int index)
{
    char16_t buffer[64] = {};
    SendDlgItemMessageW(h, id, CB_GETLBTEXT, index, (LPARAM)buffer);
    return buffer;
}

std::u16string Number(int v)
{
    CString s;
    s.Format(L"%d", v);
    return U16(s);
}

}  // namespace

TEST(Levels, MarkersTypedValuesAndARefusedPair)
{
    FakeLinks links;
    LivePreview live(kCoreCamera, "Model73.1");
    ASSERT_TRUE(live.open);
    PlainParent parent;
    Panel p(parent);
    ASSERT_TRUE(p.created);
    ASSERT_TRUE(Enabled(p.H(), IDC_EXP_LEVELS_BAR));

    // White marker at the bar's end and middle at its centre: 255 and gamma 1.0.
    p.Drag(0, LEVELS_BAR_STEPS, 94);
    Manager m = ManagerRecord();
    EXPECT_EQ(m.showChannel, 3);
    EXPECT_EQ(m.high[3], 255);
    EXPECT_EQ(m.gamma[3], 100);
    EXPECT_EQ(Text(p.H(), IDC_EXP_WHITE), u"255");
    EXPECT_EQ(Text(p.H(), IDC_EXP_MIDDLE), u"50");

    p.Drag(30, 150, 40);
    m = ManagerRecord();
    EXPECT_EQ(m.low[3], 41);    // 30 x 1.3564 rounded
    EXPECT_EQ(m.high[3], 203);
    EXPECT_EQ(m.gamma[3], 21 + 50);
    EXPECT_EQ(Text(p.H(), IDC_EXP_BLACK), u"41");

    // Typed values: the markers follow on the bar's scale.
    p.Type(IDC_EXP_BLACK, 100);
    p.Type(IDC_EXP_WHITE, 240);
    p.Type(IDC_EXP_MIDDLE, 60);
    Click(p.H(), IDC_EXP_LEVELS_APPLY);
    m = ManagerRecord();
    EXPECT_EQ(p.Bar()->GetLow(), 74);
    EXPECT_EQ(p.Bar()->GetMid(), 112);
    EXPECT_EQ(m.low[3], 100);
    EXPECT_EQ(m.high[3], 240);
    EXPECT_EQ(m.gamma[3], 110);

    // Black not below white: the camera refuses, and the panel shows what it kept.
    p.Type(IDC_EXP_BLACK, 200);
    p.Type(IDC_EXP_WHITE, 150);
    Click(p.H(), IDC_EXP_LEVELS_APPLY);
    m = ManagerRecord();
    EXPECT_EQ(m.low[3], 100);
    EXPECT_EQ(m.high[3], 240);
    EXPECT_EQ(Text(p.H(), IDC_EXP_BLACK), u"100");
    EXPECT_EQ(Text(p.H(), IDC_EXP_WHITE), u"240");
    EXPECT_EQ(p.Bar()->GetLow(), 73);   // 100 x 0.73725 truncated
    EXPECT_EQ(p.Bar()->GetHigh(), 176);

    // Default gives the camera's levels back to every control.
    Click(p.H(), IDC_EXP_LEVELS_DEFAULT);
    EXPECT_EQ(Text(p.H(), IDC_EXP_BLACK), u"0");
    EXPECT_EQ(Text(p.H(), IDC_EXP_WHITE), u"255");
    EXPECT_EQ(Text(p.H(), IDC_EXP_MIDDLE), u"50");
    EXPECT_EQ(p.Bar()->GetMid(), 94);
}

TEST(Levels, RefreshFollowsTheCameraOnlyWithAutomaticLevels)
{
    FakeLinks links;
    LivePreview live(kCoreCamera, "Model73.1");
    ASSERT_TRUE(live.open);
    PlainParent parent;
    Panel p(parent);

    // The camera's levels change behind the panel: without automatic levels the panel
    // keeps its own.
    QrCCameraSetLevelsValues(20, 220);
    SendMessageW(p.H(), WM_LEVELS_REFRESH, 0, 0);
    EXPECT_EQ(Text(p.H(), IDC_EXP_BLACK), u"0");
    EXPECT_EQ(Text(p.H(), IDC_EXP_WHITE), u"255");

    CheckDlgButton(p.H(), IDC_EXP_AUTO_LEVELS, BST_CHECKED);
    Click(p.H(), IDC_EXP_AUTO_LEVELS);
    EXPECT_EQ(ManagerRecord().autoLevels[3], 1);
    for (int round = 0; round < 2; round++) {
        ASSERT_TRUE(live.Frames());
        SendMessageW(p.H(), WM_LEVELS_REFRESH, 0, 0);
        int black = -1, white = -1;
        QrCCameraGetLevelsValues(&black, &white);
        EXPECT_EQ(Text(p.H(), IDC_EXP_BLACK), Number(black));
        EXPECT_EQ(Text(p.H(), IDC_EXP_WHITE), Number(white));
        EXPECT_EQ(p.Bar()->GetLow(), std::min(188, (int)(black * 0.73725)));
        EXPECT_EQ(p.Bar()->GetHigh(), std::min(188, (int)(white * 0.73725)));
    }
}

TEST(Levels, LockedMiddleResendsTheSensorGammaAndChannelsFollowTheList)
{
    FakeLinks links;
    {
        LivePreview live(kLockedMiddle, "Model85.1");
        ASSERT_TRUE(live.open);
        ASSERT_EQ(Info().productIndex, 28);
        PlainParent parent;
        Panel p(parent);
        EXPECT_FALSE(Enabled(p.H(), IDC_EXP_MIDDLE));
        const int gamma = ManagerRecord().gamma[3];
        EXPECT_EQ(Text(p.H(), IDC_EXP_MIDDLE), Number(gamma));
        const int sensorGamma = Current().gamma;
        p.Drag(0, 188, 20);
        EXPECT_EQ(ManagerRecord().gamma[3], gamma);
        EXPECT_EQ(Current().gamma, sensorGamma);
        EXPECT_EQ(ManagerRecord().high[3], 255);
    }
    {
        // A core-class colour camera lists RGB, B, G, R.
        LivePreview live(kCoreCamera, "Model73.1");
        PlainParent parent;
        Panel p(parent);
        ASSERT_EQ(ComboCount(p.H(), IDC_EXP_CHANNEL), 4);
        EXPECT_EQ(ComboText(p.H(), IDC_EXP_CHANNEL, 0), u"RGB");
        EXPECT_EQ(ComboText(p.H(), IDC_EXP_CHANNEL, 3), u"R");
        const int channelOf[] = {3, 0, 1, 2};
        for (int index : {1, 2, 3, 0}) {
            p.Channel(index);
            EXPECT_EQ(ManagerRecord().showChannel, channelOf[index]);
            EXPECT_EQ(SendDlgItemMessageW(p.H(), IDC_EXP_CHANNEL, CB_GETCURSEL, 0, 0), index);
        }
        // Levels of one channel leave the others alone.
        p.Channel(3);
        p.Drag(40, 188, 94);
        p.Channel(1);
        EXPECT_EQ(ManagerRecord().low[2], 54);
        EXPECT_EQ(ManagerRecord().low[0], 0);
        EXPECT_EQ(Text(p.H(), IDC_EXP_BLACK), u"0");
    }
    {
        LivePreview live(kDriverCamera, "D.1");
        PlainParent parent;
        Panel p(parent);
        ASSERT_EQ(ComboCount(p.H(), IDC_EXP_CHANNEL), 1);
        EXPECT_EQ(ComboText(p.H(), IDC_EXP_CHANNEL, 0), u"RGB");
    }
    LivePreview live(kMonoCamera, "F.1");
    PlainParent parent;
    Panel p(parent);
    ASSERT_EQ(ComboCount(p.H(), IDC_EXP_CHANNEL), 1);
    EXPECT_EQ(ComboText(p.H(), IDC_EXP_CHANNEL, 0), u"Gray");
}

TEST(Levels, RegionOfThePicture)
{
    FakeLinks links;
    {
        LivePreview live(kCoreCamera, "Model73.1");
        ASSERT_TRUE(live.open);
        PlainParent parent;
        Panel p(parent);
        ASSERT_TRUE(live.Frames());
        p.Type(IDC_EXP_WHITE, 200);
        Click(p.H(), IDC_EXP_LEVELS_APPLY);

        // Shown scroll bars stay outside the bounds.
        EXPECT_EQ(PreviewRegionBounds(&live.preview), CRect(600, 0, 920, 256));
        live.preview.scrollV = 1;
        live.preview.scrollH = 1;
        EXPECT_EQ(PreviewRegionBounds(&live.preview),
                  CRect(600, 0, 920 - GetSystemMetrics(SM_CXVSCROLL), 256 - GetSystemMetrics(SM_CYHSCROLL)));
        live.preview.scrollV = live.preview.scrollH = 0;

        {
            DialogWatcher cancel(IDCANCEL);
            Click(p.H(), IDC_EXP_LEVELS_AREA);
            EXPECT_EQ(cancel.Count(), 1);
        }
        EXPECT_EQ(ManagerRecord().high[3], 200);
        EXPECT_EQ(Text(p.H(), IDC_EXP_WHITE), u"200");

        // A core-class camera takes the black point from the region, white 255.
        {
            DialogWatcher pick(RegionAt({760, 128}, {800, 168}));
            Click(p.H(), IDC_EXP_LEVELS_AREA);
            EXPECT_EQ(pick.Count(), 1);
        }
        const Manager m = ManagerRecord();
        EXPECT_EQ(m.high[3], 255);
        EXPECT_GT(m.low[3], 0);
        EXPECT_EQ(Text(p.H(), IDC_EXP_BLACK), Number(m.low[3]));
        EXPECT_EQ(Text(p.H(), IDC_EXP_WHITE), u"255");
        EXPECT_EQ(p.Bar()->GetLow(), (int)(m.low[3] * 0.73725));

        // A region dragged out to the picture's corner still measures: it stops at the
        // frame's last pixel instead of being refused and zeroing the black point.
        p.Type(IDC_EXP_BLACK, 0);
        Click(p.H(), IDC_EXP_LEVELS_APPLY);
        {
            DialogWatcher pick(RegionAt({760, 128}, {1000, 600}));
            Click(p.H(), IDC_EXP_LEVELS_AREA);
            EXPECT_EQ(pick.Count(), 1);
        }
        EXPECT_GT(ManagerRecord().low[3], 0);
    }
    // A driver camera refuses and keeps its levels.
    LivePreview live(kDriverCamera, "D.1");
    ASSERT_TRUE(live.open);
    PlainParent parent;
    Panel p(parent);
    p.Type(IDC_EXP_BLACK, 12);
    Click(p.H(), IDC_EXP_LEVELS_APPLY);
    RECT r = {10, 10, 50, 50};
    EXPECT_EQ(QrCCameraCalcAreaLevels(&r), -8);
    {
        DialogWatcher pick(RegionAt({760, 128}, {800, 168}));
        Click(p.H(), IDC_EXP_LEVELS_AREA);
    }
    EXPECT_EQ(ManagerRecord().low[3], 12);
    EXPECT_EQ(Text(p.H(), IDC_EXP_BLACK), u"12");
}

TEST(Levels, HistogramDrawnOverTheGreyArea)
{
    FakeLinks links;
    LivePreview live(kCoreCamera, "Model73.1");
    ASSERT_TRUE(live.open);
    PlainParent parent;
    Panel p(parent);
    p.Type(IDC_EXP_BLACK, 64);
    p.Type(IDC_EXP_WHITE, 192);
    Click(p.H(), IDC_EXP_LEVELS_APPLY);
    ASSERT_TRUE(live.Frames(5));

    CRect area;
    GetWindowRect(GetDlgItem(p.H(), IDC_EXP_HISTOGRAM), &area);
    MapWindowPoints(nullptr, p.H(), (POINT*)&area, 2);
    SendMessageW(p.H(), WM_LEVELS_REFRESH, 0, 0);
    PumpProgramMessages(50);
    HDC dc = GetDC(p.H());
    int grey = 0, columns = 0;
    for (int x = area.left + 1; x < area.left + 189 && x < area.right - 1; x++) {
        const COLORREF top = GetPixel(dc, x, area.top + 1);
        const COLORREF bottom = GetPixel(dc, x, area.bottom - 2);
        grey += top == RGB(191, 191, 191);
        columns += bottom == RGB(0, 0, 222);
    }
    const double scale = (area.Width() - 1) / 188.0;
    const int blackX = area.left + 1 + (int)(64 * 0.73725 * scale);
    const int whiteX = area.left + 1 + (int)(192 * 0.73725 * scale);
    const COLORREF blackLine = GetPixel(dc, blackX, area.top + 2);
    const COLORREF whiteLine = GetPixel(dc, whiteX, area.top + 2);
    const COLORREF outside = GetPixel(dc, area.left - 2, area.top + 2);
    EXPECT_GT(grey, 20);       // tall columns reach the top only where the picture is
    EXPECT_GT(columns, 20);    // the scene covers a good part of the levels
    EXPECT_EQ(blackLine, RGB(0, 0, 0));
    EXPECT_EQ(whiteLine, RGB(255, 255, 255));
    EXPECT_NE(outside, RGB(191, 191, 191));

    // A marker drag redraws the histogram before the handler returns, not on some later
    // turn of the message loop: the black line stands at 128 at once.
    p.Drag(94, LEVELS_BAR_STEPS, 94);
    const int movedX = area.left + 1 + (int)(128 * 0.73725 * scale);
    EXPECT_EQ(GetPixel(dc, movedX, area.top + 2), RGB(0, 0, 0));
    EXPECT_NE(GetPixel(dc, blackX, area.top + 2), RGB(0, 0, 0));
    ReleaseDC(p.H(), dc);
}
