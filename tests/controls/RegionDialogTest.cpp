// The screen-region dialog, run modally and driven step by step from a timer.
#include "ControlsTest.h"
#include "ScreenRegionDialog.h"
#include <vector>
#include <functional>

namespace {

std::vector<std::function<void()>> g_steps;
size_t g_next = 0;
bool g_inStep = false;
CWnd* g_pDialog = NULL;

// One step per tick once the dialog shows; a step that runs a loop of its own is not
// re-entered.
void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_inStep || g_next >= g_steps.size()) return;
    if (g_pDialog == NULL || !::IsWindowVisible(g_pDialog->m_hWnd)) return;
    g_inStep = true;
    std::function<void()> step = g_steps[g_next++];
    step();
    g_inStep = false;
}

INT_PTR RunScripted(CScreenRegionDialog& dlg, std::vector<std::function<void()>> steps)
{
    g_steps = std::move(steps);
    g_next = 0;
    g_pDialog = &dlg;
    UINT_PTR timer = ::SetTimer(NULL, 0, 30, RunStep);
    INT_PTR result = dlg.DoModal();
    ::KillTimer(NULL, timer);
    g_steps.clear();
    g_pDialog = NULL;
    return result;
}

void Send(CWnd& w, UINT msg, CPoint pt, WPARAM keys = 0)
{
    PointerTo(w, pt);
    w.SendMessage(msg, keys, At(pt.x, pt.y));
}

CRect WindowRectOf(CWnd& w)
{
    CRect r;
    w.GetWindowRect(&r);
    return r;
}

const COLORREF kScene = RGB(200, 100, 50);

} // namespace

TEST(ScreenRegionDialog, FirstClickSquareButtonsDragMoveAndEscapeTwice)
{
    CTestHost scene;
    ASSERT_TRUE(scene.Open(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)));
    CBrush paint(kScene);
    scene.UpdateWindow();   // its own erase must not come after the scene is drawn
    {
        CClientDC dc(&scene);
        CRect all;
        scene.GetClientRect(&all);
        dc.FillRect(&all, &paint);
    }
    // The dialog copies the screen when it opens: wait until the fill has reached it, not
    // only the window's own surface.
    ASSERT_TRUE(WaitFor([] {
        return Near(PixelAt(NULL, 325, 300), kScene, 3) && Near(PixelAt(NULL, 700, 500), kScene, 3);
    }, 5000));
    CScreenRegionDialog dlg;
    CRect bounds(300, 100, 900, 600);
    EXPECT_EQ(dlg.SetBoundsRect(&bounds), 1);
    EXPECT_EQ(dlg.Tracker().m_nStyle, 82u);
    EXPECT_EQ(dlg.Tracker().m_crColor, (COLORREF)0x3200FF);

    CRect moved;
    bool stayedOpen = false;
    INT_PTR result = RunScripted(dlg, {
        [&] {
            // A click 10 pixels inside the left bound: the square is cut there.
            Send(dlg, WM_LBUTTONDOWN, CPoint(310, 300), MK_LBUTTON);
            EXPECT_EQ(dlg.Tracker().m_rect, CRect(300, 260, 350, 340));
            EXPECT_FALSE(dlg.OkButton().IsWindowVisible());
            Send(dlg, WM_LBUTTONUP, CPoint(310, 300));
            EXPECT_TRUE(dlg.OkButton().IsWindowVisible());
            EXPECT_EQ(WindowRectOf(dlg.CancelButton()), CRect(240, 342, 309, 360));
            EXPECT_EQ(WindowRectOf(dlg.OkButton()), CRect(310, 342, 349, 360));
        },
        [&] {
            // Undimmed inside the rectangle, dimmed outside.
            dlg.UpdateWindow();
            EXPECT_TRUE(Near(PixelAt(dlg.m_hWnd, 325, 300), kScene, 3));
            EXPECT_TRUE(Near(PixelAt(dlg.m_hWnd, 700, 500), RGB(100, 50, 25), 3));
            SaveScreenshot(NULL, "screen_region_dialog");
        },
        [&] {
            // A press beside the rectangle only hides the buttons.
            Send(dlg, WM_LBUTTONDOWN, CPoint(700, 500), MK_LBUTTON);
            EXPECT_FALSE(dlg.OkButton().IsWindowVisible());
            EXPECT_EQ(dlg.Tracker().m_rect, CRect(300, 260, 350, 340));
            Send(dlg, WM_LBUTTONUP, CPoint(700, 500));
            // The right button drops it.
            Send(dlg, WM_RBUTTONUP, CPoint(700, 500));
            EXPECT_FALSE(dlg.HasRectangle());
            EXPECT_FALSE(dlg.OkButton().IsWindowVisible());
        },
        [&] {
            // After a drag the pointer is kept 25 pixels away: at least 21 wide and high.
            Send(dlg, WM_LBUTTONDOWN, CPoint(500, 300), MK_LBUTTON);
            Send(dlg, WM_MOUSEMOVE, CPoint(505, 310), MK_LBUTTON);
            EXPECT_EQ(dlg.Tracker().m_rect, CRect(504, 304, 525, 325));
            Send(dlg, WM_MOUSEMOVE, CPoint(650, 420), MK_LBUTTON);
            Send(dlg, WM_LBUTTONUP, CPoint(650, 420));
            EXPECT_EQ(dlg.Tracker().m_rect, CRect(504, 304, 650, 420));
            EXPECT_TRUE(dlg.OkButton().IsWindowVisible());
        },
        [&] {
            // Moved far to the left it stops at the bound, the same size.
            dlg.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, At(100, 350));
            dlg.PostMessage(WM_LBUTTONUP, 0, At(100, 350));
            dlg.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(577, 362));
            moved = dlg.Tracker().m_rect;
            EXPECT_TRUE(dlg.OkButton().IsWindowVisible());   // shown again under it
        },
        [&] {
            // Escape: first the rectangle goes, the dialog stays.
            dlg.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
        },
        [&] {
            stayedOpen = ::IsWindowVisible(dlg.m_hWnd) && !dlg.HasRectangle();
            dlg.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
        },
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(moved, CRect(300, 292, 446, 408));
}

TEST(ScreenRegionDialog, OkGivesTheRectangleAndTheRightButtonWithoutOneCancels)
{
    CScreenRegionDialog dlg;
    CRect bounds(100, 100, 800, 700);
    dlg.SetBoundsRect(&bounds);
    INT_PTR result = RunScripted(dlg, {
        [&] {
            Send(dlg, WM_LBUTTONDOWN, CPoint(600, 300), MK_LBUTTON);
            Send(dlg, WM_LBUTTONUP, CPoint(600, 300));
        },
        [&] { dlg.OkButton().SendMessage(BM_CLICK); },
    });
    EXPECT_EQ(result, IDOK);
    CRect r;
    EXPECT_TRUE(dlg.GetSelectedRect(&r));
    EXPECT_EQ(r, CRect(560, 260, 640, 340));

    CScreenRegionDialog other;
    other.SetBoundsRect(&bounds);
    result = RunScripted(other, { [&] { Send(other, WM_RBUTTONUP, CPoint(400, 400)); } });
    EXPECT_EQ(result, IDCANCEL);

    // A double click in the middle of a rectangle confirms it.
    CScreenRegionDialog third;
    third.SetBoundsRect(&bounds);
    result = RunScripted(third, {
        [&] {
            Send(third, WM_LBUTTONDOWN, CPoint(300, 300), MK_LBUTTON);
            Send(third, WM_LBUTTONUP, CPoint(300, 300));
            Send(third, WM_LBUTTONDBLCLK, CPoint(300, 300), MK_LBUTTON);
        },
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(third.GetSelectedRect(&r));
    EXPECT_EQ(r, CRect(260, 260, 340, 340));
}
