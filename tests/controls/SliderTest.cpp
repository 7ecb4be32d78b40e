// The skinned slider: position mapping, mouse and keys, posted notifications, looks.
#include "ControlsTest.h"
#include "SkinSlider.h"

namespace {

const COLORREF kChannel = RGB(0xB4, 0xBC, 0xC8), kActive = RGB(0x3C, 0x78, 0xC8);
const UINT IDC_SLIDER = 1801;

struct SliderFixture
{
    CTestHost host;
    CSkinSlider slider;
    bool Open(UINT nChannel, UINT nActive, UINT nThumb, UINT nThumbActive, BOOL bTransparent = TRUE)
    {
        if (!host.Open(400, 100, 0, 0, FALSE)) return false;
        if (!slider.Create(L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, CRect(20, 20, 60, 40), &host, IDC_SLIDER)) return false;
        return slider.SetChannelBitmaps(nChannel, nActive, bTransparent) &&
               slider.SetThumbBitmaps(nThumb, nThumbActive, bTransparent);
    }
    LPARAM LastPosted(UINT msg) { return host.Spy().LastLParam(msg); }
    // The system adds its own mouse moves at the real pointer: keep it where we say.
    void Mouse(UINT msg, int x, int y)
    {
        PointerTo(slider, CPoint(x, y));
        slider.SendMessage(msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, At(x, y));
    }
    int Posted(UINT msg) { return host.Count(msg, IDC_SLIDER); }
};

} // namespace

TEST(SkinSlider, MapsPositionsToTheThumbCentreAndClampsSilently)
{
    SliderFixture f;
    ASSERT_TRUE(f.Open(9024, 0, 9022, 0));
    CRect r;
    f.slider.GetWindowRect(&r);
    EXPECT_EQ(r.Size(), CSize(200, 20));   // the channel sizes the window
    f.slider.SetRange(-255, 255);
    f.slider.SetPos(0);
    EXPECT_EQ(f.slider.PositionToPixel(), 100);
    f.slider.SetPos(-255);
    EXPECT_EQ(f.slider.PositionToPixel(), 5);
    f.slider.SetPos(255);
    EXPECT_EQ(f.slider.PositionToPixel(), 195);

    f.slider.SetPos(1000);
    EXPECT_EQ(f.slider.GetPos(), 255);
    f.slider.SetPos(-1000);
    EXPECT_EQ(f.slider.GetPos(), -255);
    // SetRange stores the ends only.
    f.slider.SetRange(0, 10);
    EXPECT_EQ(f.slider.m_nPos, -255);
    PumpMessagesFor(30);
    EXPECT_EQ(f.host.Spy().Count(WM_SLIDER_MOVING) + f.host.Spy().Count(WM_SLIDER_MOVED), 0);

    // An empty range or a thumb as long as the channel never divides: the thumb sits at
    // the minimum end and a drag leaves the position alone.
    f.slider.SetRange(7, 7);
    f.slider.SetPos(7);
    EXPECT_EQ(f.slider.PositionToPixel(), 5);
    f.Mouse(WM_LBUTTONDOWN, 150, 10);
    f.Mouse(WM_MOUSEMOVE, 180, 10);
    f.Mouse(WM_LBUTTONUP, 180, 10);
    EXPECT_EQ(f.slider.GetPos(), 7);
    f.slider.SetRange(0, 100);
    f.slider.SetThumbBitmaps(9025, 0, FALSE);   // 10 wide: fine
    f.slider.m_nMarginLeft = 95;
    f.slider.m_nMarginRight = 95;                // travel 0
    f.slider.SetPos(50);
    EXPECT_EQ(f.slider.PositionToPixel(), 100);
    f.Mouse(WM_LBUTTONDOWN, 20, 10);
    f.Mouse(WM_LBUTTONUP, 20, 10);
    EXPECT_EQ(f.slider.GetPos(), 50);
    f.slider.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);   // paints without dividing
}

TEST(SkinSlider, PressDragAndReleasePostMovingThenMoved)
{
    SliderFixture f;
    ASSERT_TRUE(f.Open(9020, 9021, 9022, 9023));
    f.slider.SetRange(0, 290);
    f.slider.SetPos(0);
    // A press far from the thumb puts its centre under the pointer at once.
    f.Mouse(WM_LBUTTONDOWN, 150, 10);
    EXPECT_TRUE(f.slider.IsDragging());
    EXPECT_EQ(::GetCapture(), f.slider.m_hWnd);
    EXPECT_EQ(::GetFocus(), f.slider.m_hWnd);
    EXPECT_EQ(f.slider.PositionToPixel(), 150);
    ASSERT_TRUE(f.host.Spy().WaitForMessage(WM_SLIDER_MOVING, 1000));
    EXPECT_EQ(f.LastPosted(WM_SLIDER_MOVING), 145);
    // Dragging beyond the end stops at the maximum; moving on the spot posts nothing new.
    f.Mouse(WM_MOUSEMOVE, 500, 10);
    f.Mouse(WM_MOUSEMOVE, 510, 10);
    PumpMessagesFor(20);
    EXPECT_EQ(f.Posted(WM_SLIDER_MOVING), 2);
    EXPECT_EQ(f.slider.GetPos(), 290);
    // The active thumb shows while dragging.
    f.slider.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(Near(PixelAt(f.slider.m_hWnd, 292, 10), RGB(0xF0, 0xA0, 0x50), 60));
    f.Mouse(WM_LBUTTONUP, 510, 10);
    ASSERT_TRUE(f.host.Spy().WaitForMessage(WM_SLIDER_MOVED, 1000));
    EXPECT_EQ(f.LastPosted(WM_SLIDER_MOVED), 290);
    EXPECT_EQ(::GetCapture(), (HWND)NULL);

    // A press on the thumb grabs it where it was pressed: no jump.
    f.slider.SetPos(100);
    int centre = f.slider.PositionToPixel();
    int before = f.Posted(WM_SLIDER_MOVING);
    f.Mouse(WM_LBUTTONDOWN, centre + 3, 10);
    PumpMessagesFor(20);
    EXPECT_EQ(f.Posted(WM_SLIDER_MOVING), before);
    EXPECT_EQ(f.slider.GetPos(), 100);
    f.Mouse(WM_MOUSEMOVE, centre + 13, 10);
    EXPECT_EQ(f.slider.PositionToPixel(), centre + 10);
    f.Mouse(WM_LBUTTONUP, centre + 13, 10);
}

TEST(SkinSlider, KeysStepAndAlwaysPostMoved)
{
    SliderFixture f;
    ASSERT_TRUE(f.Open(9020, 0, 9022, 0));
    f.slider.SetRange(0, 100);
    f.slider.SetPos(10);
    auto key = [&](UINT vk) {
        int n = f.Posted(WM_SLIDER_MOVED);
        f.slider.SendMessage(WM_KEYDOWN, vk, 0);
        EXPECT_TRUE(f.host.Spy().WaitForMessage(WM_SLIDER_MOVED, 1000, n + 1));
        return f.slider.GetPos();
    };
    EXPECT_EQ(key(VK_PRIOR), 0);   // less than a page above the minimum
    EXPECT_EQ(key(VK_PRIOR), 0);   // unchanged, still posted
    EXPECT_EQ(key(VK_NEXT), 20);
    EXPECT_EQ(key(VK_RIGHT), 21);
    EXPECT_EQ(key(VK_DOWN), 22);
    EXPECT_EQ(key(VK_LEFT), 21);
    EXPECT_EQ(key(VK_UP), 20);
    EXPECT_EQ(key(VK_END), 100);
    EXPECT_EQ(key(VK_HOME), 0);
    EXPECT_EQ(f.LastPosted(WM_SLIDER_MOVED), 0);
    EXPECT_EQ(f.slider.SendMessage(WM_GETDLGCODE) & DLGC_WANTARROWS, (LRESULT)DLGC_WANTARROWS);
}

TEST(SkinSlider, DisabledIgnoresInputAndShowsNoThumbAndTheKeyColourIsSeeThrough)
{
    SliderFixture f;
    ASSERT_TRUE(f.Open(9020, 9021, 9022, 9023));
    f.slider.SetRange(0, 290);
    f.slider.SetPos(145);
    // The active channel runs from the minimum to the thumb; the key colour shows the
    // parent through the channel and the thumb.
    f.host.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(Near(PixelAt(f.slider.m_hWnd, 40, 10), kActive));
    EXPECT_TRUE(Near(PixelAt(f.slider.m_hWnd, 250, 10), kChannel));
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(PixelAt(f.slider.m_hWnd, 250, 1), face);
    EXPECT_EQ(PixelAt(f.slider.m_hWnd, 150, 0), face);   // the thumb's key-coloured corner
    SaveScreenshot(f.host.m_hWnd, "slider");

    // Dragging while being disabled ends the drag and frees the mouse.
    f.Mouse(WM_LBUTTONDOWN, 100, 10);
    f.slider.Enable(FALSE);
    PumpMessagesFor(20);
    EXPECT_FALSE(f.slider.IsDragging());
    EXPECT_EQ(::GetCapture(), (HWND)NULL);
    int pos = f.slider.GetPos();
    int n = f.Posted(WM_SLIDER_MOVING) + f.Posted(WM_SLIDER_MOVED);
    f.Mouse(WM_LBUTTONDOWN, 250, 10);
    f.Mouse(WM_MOUSEMOVE, 260, 10);
    f.Mouse(WM_LBUTTONUP, 260, 10);
    f.slider.SendMessage(WM_KEYDOWN, VK_END, 0);
    PumpMessagesFor(30);
    EXPECT_EQ(f.slider.GetPos(), pos);
    EXPECT_EQ(f.Posted(WM_SLIDER_MOVING) + f.Posted(WM_SLIDER_MOVED), n);
    // No thumb, and the whole channel in its normal look.
    f.host.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(Near(PixelAt(f.slider.m_hWnd, 40, 10), kChannel));
    int P = f.slider.PositionToPixel();
    EXPECT_TRUE(Near(PixelAt(f.slider.m_hWnd, P, 10), kChannel));
    EXPECT_EQ(PixelAt(f.slider.m_hWnd, P, 2), face);
}
