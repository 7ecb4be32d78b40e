// The tab strip's skin, and the levels and range bars' markers.
#include "ControlsTest.h"
#include "SkinTabCtrl.h"
#include "LevelsBar.h"
#include "RangeBar.h"
#include "SkinBackground.h"

namespace {

const COLORREF kAccent = RGB(70, 130, 200);
const UINT IDC_LEVELS = 2100, IDC_RANGE = 2101;

// The marker's centre in the bar's client coordinates.
int CentreOf(CMarkerBar& bar, CStatic& marker)
{
    CRect r;
    marker.GetWindowRect(&r);
    bar.ScreenToClient(&r);
    return r.left + r.Width() / 2;
}

CRect TrackOf(CMarkerBar& bar)
{
    CRect r;
    bar.Track().GetWindowRect(&r);
    bar.ScreenToClient(&r);
    return r;
}

void Drag(CWnd& bar, CPoint from, CPoint to)
{
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(from.x, from.y));
    bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(to.x, to.y));
    bar.SendMessage(WM_LBUTTONUP, 0, At(to.x, to.y));
}

// The bar's skin as a plain stretch of the file over a client area of this size draws it.
COLORREF SkinAt(CSize client, CPoint p)
{
    HBITMAP skin = (HBITMAP)::LoadImageW(NULL, ProgramFolder() + L"skin\\panel_small_bg.bmp", IMAGE_BITMAP, 0, 0,
                                         LR_LOADFROMFILE);
    if (skin == NULL) return CLR_INVALID;
    BITMAP bm = {};
    ::GetObjectW(skin, sizeof bm, &bm);
    HDC screen = ::GetDC(NULL);
    HDC src = ::CreateCompatibleDC(screen), dst = ::CreateCompatibleDC(screen);
    HBITMAP canvas = ::CreateCompatibleBitmap(screen, client.cx, client.cy);
    HGDIOBJ oldSrc = ::SelectObject(src, skin), oldDst = ::SelectObject(dst, canvas);
    ::SetStretchBltMode(dst, COLORONCOLOR);
    ::StretchBlt(dst, 0, 0, client.cx, client.cy, src, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    COLORREF c = ::GetPixel(dst, p.x, p.y);
    ::SelectObject(src, oldSrc);
    ::SelectObject(dst, oldDst);
    ::DeleteObject(canvas);
    ::DeleteObject(skin);
    ::DeleteDC(src);
    ::DeleteDC(dst);
    ::ReleaseDC(NULL, screen);
    return c;
}

} // namespace

TEST(SkinTabCtrl, TheStripShowsTheSelectedTabsBitmap)
{
    CTestHost host;
    ASSERT_TRUE(host.Open(300, 120));
    CSkinTabCtrl tab;
    ASSERT_TRUE(tab.Create(WS_CHILD | WS_VISIBLE, CRect(5, 5, 295, 105), &host, 132));
    tab.SetMinTabWidth(72);
    tab.InsertItem(0, L"擷取");
    tab.InsertItem(1, L"瀏覽");
    tab.InsertItem(2, L"圖像");
    tab.SetBitmaps(360, 361, 362);
    CRect item[3];
    for (int i = 0; i < 3; i++) tab.GetItemRect(i, &item[i]);
    auto accentOver = [&](int i) {
        return Near(PixelAt(tab.m_hWnd, item[i].CenterPoint().x, item[i].top - 1), kAccent, 30);
    };
    for (int sel = 0; sel < 3; sel++) {
        tab.SetCurSel(sel);
        Painted(tab, 0, 0);
        for (int i = 0; i < 3; i++) EXPECT_EQ(accentOver(i), i == sel) << "selected " << sel << ", tab " << i;
    }
    // The selected tab's caption reaches one pixel left, two up and one down further.
    CRect caption = tab.GetCaptionRect(2);
    EXPECT_EQ(caption, CRect(item[2].left - 1, item[2].top - 2, item[2].right, item[2].bottom + 1));
    EXPECT_EQ(tab.GetCaptionRect(1), item[1]);
    SaveScreenshot(host.m_hWnd, "tabs");
}

TEST(LevelsBar, MarkersFollowTheirValuesAndNeverCross)
{
    CTestHost host;
    ASSERT_TRUE(host.Open(320, 100));
    CLevelsBar bar;
    EXPECT_FALSE(bar.Create(&host, CRect(10, 10, 290, 40), IDC_LEVELS, 0, 0, 0, 0));
    ASSERT_TRUE(bar.Create(&host, CRect(10, 10, 290, 40), IDC_LEVELS, 9060, 9061, 9062, 9063));
    CRect track = TrackOf(bar);
    EXPECT_EQ(track, CRect(4, 0, 260, 10));
    bar.SetRange(0, 255);
    EXPECT_EQ(bar.GetHigh(), 255);
    EXPECT_EQ(bar.GetMid(), 127);
    bar.SetLowHigh(0, 255);
    EXPECT_EQ(CentreOf(bar, bar.LowMarker()), track.left);
    EXPECT_EQ(CentreOf(bar, bar.HighMarker()), track.right);

    // The track's right end gives 255, centred on the right edge.
    bar.SetLowHigh(0, 100);
    Drag(bar, CPoint(CentreOf(bar, bar.HighMarker()), 14), CPoint(track.right, 14));
    EXPECT_EQ(bar.GetHigh(), 255);
    EXPECT_EQ(CentreOf(bar, bar.HighMarker()), track.right);
    EXPECT_TRUE(host.Spy().WaitForMessage(WM_LEVELS_CHANGED, 1000));
    EXPECT_EQ(host.Spy().LastWParam(WM_LEVELS_CHANGED), (WPARAM)IDC_LEVELS);

    // The low marker stops short of the high one: beyond it nothing changes.
    bar.SetLowHigh(50, 100);
    Drag(bar, CPoint(CentreOf(bar, bar.LowMarker()), 14), CPoint(track.left + 200, 14));
    EXPECT_EQ(bar.GetLow(), 50);
    EXPECT_EQ(bar.GetHigh(), 100);
    bar.SetLowHigh(200, 100);
    EXPECT_EQ(bar.GetLow(), 50);
    EXPECT_EQ(bar.GetHigh(), 100);

    // Equal markers: at 0 any press takes the high one, at the top the low one.
    bar.SetLowHigh(0, 0);
    Drag(bar, CPoint(200, 25), CPoint(track.left + 30, 14));
    EXPECT_EQ(bar.GetLow(), 0);
    EXPECT_EQ(bar.GetHigh(), 29);
    bar.SetLowHigh(255, 255);
    Drag(bar, CPoint(20, 25), CPoint(track.left + 30, 14));
    EXPECT_EQ(bar.GetLow(), 29);
    EXPECT_EQ(bar.GetHigh(), 255);

    // The middle marker rounds and is not held by the others.
    bar.SetLowHigh(100, 150);
    bar.SetMid(20);
    Drag(bar, CPoint(CentreOf(bar, bar.MidMarker()), 14), CPoint(track.left + 128, 14));
    EXPECT_EQ(bar.GetMid(), 128);
    Painted(host, 0, 0);
    SaveScreenshot(host.m_hWnd, "levels_bar");
}

TEST(LevelsBar, ASpanWiderThanTheTrackStillSpreadsTheMarkers)
{
    CTestHost host;
    ASSERT_TRUE(host.Open(240, 100));
    CLevelsBar bar;
    ASSERT_TRUE(bar.Create(&host, CRect(10, 10, 190, 40), IDC_LEVELS, 9064, 9061, 9062, 9063));
    CRect track = TrackOf(bar);
    ASSERT_EQ(track.Width(), 150);
    bar.SetRange(0, 188);
    bar.SetLowHigh(47, 141);
    bar.SetMid(94);
    EXPECT_EQ(CentreOf(bar, bar.LowMarker()), track.left + 47 * 150 / 188);
    EXPECT_EQ(CentreOf(bar, bar.MidMarker()), track.left + 94 * 150 / 188);
    EXPECT_EQ(CentreOf(bar, bar.HighMarker()), track.left + 141 * 150 / 188);
    // A span of 0 never divides.
    bar.SetRange(0, 0);
    bar.SetLowHigh(0, 0);
    bar.SetMid(0);
    EXPECT_EQ(CentreOf(bar, bar.HighMarker()), track.right);
    Drag(bar, CPoint(60, 14), CPoint(100, 14));
    EXPECT_EQ(bar.GetHigh(), 0);
}

TEST(RangeBar, TwoMarkersAndItsOwnNotification)
{
    CTestHost host;
    ASSERT_TRUE(host.Open(320, 100));
    CRangeBar bar;
    ASSERT_TRUE(bar.Create(&host, CRect(10, 10, 290, 40), IDC_RANGE, 9060, 9061, 9062));
    EXPECT_EQ(bar.Track().GetDlgCtrlID(), 2020);
    EXPECT_EQ(bar.LowMarker().GetDlgCtrlID(), 2021);
    EXPECT_EQ(bar.HighMarker().GetDlgCtrlID(), 2022);
    bar.SetRange(0, 255);
    bar.SetLowHigh(10, 200);
    CRect track = TrackOf(bar);
    Drag(bar, CPoint(CentreOf(bar, bar.LowMarker()), 14), CPoint(track.left + 64, 14));
    EXPECT_EQ(bar.GetLow(), 63);
    EXPECT_TRUE(host.Spy().WaitForMessage(WM_RANGE_CHANGED, 1000));
    EXPECT_EQ(host.Spy().LastWParam(WM_RANGE_CHANGED), (WPARAM)IDC_RANGE);
    // A press between the markers takes neither.
    Drag(bar, CPoint(track.left + 130, 25), CPoint(track.left + 10, 14));
    EXPECT_EQ(bar.GetLow(), 63);
    EXPECT_EQ(bar.GetHigh(), 200);
}

TEST(LevelsBar, AMovedMarkerUncoversTheSkinAtEverySize)
{
    CTestHost host;
    ASSERT_TRUE(host.Open(320, 100));
    CLevelsBar bar;
    ASSERT_TRUE(bar.Create(&host, CRect(10, 10, 290, 40), IDC_LEVELS, 9060, 9061, 9062, 9063));
    bar.SetRange(0, 255);
    bar.SetLowHigh(0, 255);
    Painted(host, 0, 0);
    const CPoint old(CentreOf(bar, bar.HighMarker()), TrackOf(bar).bottom + 4);
    ASSERT_TRUE(Near(PixelAt(bar.m_hWnd, old.x, old.y), RGB(255, 255, 255)));
    ASSERT_FALSE(Near(SkinAt(CSize(280, 30), old), RGB(255, 255, 255)));

    // No forced repaint: what the move uncovered is the bar's own to draw.
    bar.SetLowHigh(0, 100);
    PumpMessagesFor(50);
    EXPECT_TRUE(Near(PixelAt(bar.m_hWnd, old.x, old.y), SkinAt(CSize(280, 30), old), 2));
    EXPECT_TRUE(Near(PixelAt(bar.m_hWnd, CentreOf(bar, bar.HighMarker()), old.y), RGB(255, 255, 255)));

    // A taller bar gets the skin stretched anew, not the copy made for the old size.
    bar.MoveWindow(10, 10, 280, 70);
    Painted(host, 0, 0);
    for (int y : {25, 45, 68})
        EXPECT_TRUE(Near(PixelAt(bar.m_hWnd, 140, y), SkinAt(CSize(280, 70), CPoint(140, y)), 2)) << "row " << y;
}
