// The order of the windows floating over a frame: which windows belong to it and in what
// order, how an inversion is seen in the system's order, and that putting it right keeps
// each window's owner and topmost band.  The screen's side is seen from outside by
// stacking_test.sh.
#include "ShellTestSupport.h"
#include "app/shell/FloatingStack.h"

namespace {

HWND Popup(HWND owner, DWORD exStyle = 0, BOOL visible = TRUE)
{
    HWND w = ::CreateWindowExW(WS_EX_TOOLWINDOW | exStyle, L"STATIC", L"", WS_POPUP, 100, 100, 80, 60, owner, NULL,
                               NULL, NULL);
    if (visible) ::SetWindowPos(w, NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return w;
}

BOOL IsTopmost(HWND w) { return (::GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

struct Family {
    HWND frame, preview, overlay, tools, floating, topmost, hidden, stranger;
    Family()
    {
        frame = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, NULL, NULL, NULL, NULL);
        ::ShowWindow(frame, SW_SHOWNOACTIVATE);
        preview = Popup(frame);
        overlay = Popup(preview);             // owned through the preview
        tools = Popup(frame);
        floating = Popup(frame);              // a window of its own, made later
        topmost = Popup(frame, WS_EX_TOPMOST);
        hidden = Popup(preview, 0, FALSE);
        stranger = Popup(NULL);
    }
    ~Family()
    {
        for (HWND w : {stranger, hidden, topmost, floating, tools, overlay, preview, frame}) ::DestroyWindow(w);
    }
    std::vector<HWND> Order() { return CFloatingStack::Order(frame, {preview, overlay, tools}); }
};

} // namespace

TEST(FloatingStack, OrderHoldsThePanelsThenEveryVisibleWindowTheFrameOwnsTopmostLast)
{
    Family f;
    const std::vector<HWND> order = f.Order();
    const std::vector<HWND> expected = {f.preview, f.overlay, f.tools, f.floating, f.topmost};
    EXPECT_EQ(order, expected);
    EXPECT_TRUE(CFloatingStack::BelongsTo(f.overlay, f.frame));
    EXPECT_FALSE(CFloatingStack::BelongsTo(f.stranger, f.frame));
    EXPECT_FALSE(CFloatingStack::BelongsTo(NULL, f.frame));
}

TEST(FloatingStack, RestackingKeepsEveryOwnerAndBandAndLeavesTheFrameUnderAll)
{
    Family f;
    // Out of order to begin with: the tool column under the preview (the system keeps it
    // above its owner, the frame).
    ::SetWindowPos(f.tools, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const std::vector<HWND> order = f.Order();
    ASSERT_FALSE(CFloatingStack::IsInOrder(f.frame, order));

    // The window in front an owned one (a click into the picture activates the overlay).
    ::SetForegroundWindow(f.overlay);
    CFloatingStack::Restack(f.frame, order);
    EXPECT_TRUE(CFloatingStack::IsInOrder(f.frame, order));
    EXPECT_TRUE(CFloatingStack::IsFrameUnder(f.frame, order));
    CFloatingStack::Restack(f.frame, f.Order());
    ::SetActiveWindow(f.overlay);
    ::SetActiveWindow(f.tools);
    ::SetActiveWindow(f.preview);
    ::SetActiveWindow(f.frame);
    // Owners and bands as they were, hidden owned windows included.
    EXPECT_EQ(::GetWindow(f.overlay, GW_OWNER), f.preview);
    EXPECT_EQ(::GetWindow(f.hidden, GW_OWNER), f.preview);
    EXPECT_FALSE(IsTopmost(f.preview));
    EXPECT_FALSE(IsTopmost(f.overlay));
    EXPECT_FALSE(IsTopmost(f.hidden));
    EXPECT_TRUE(IsTopmost(f.topmost));
    EXPECT_FALSE(::IsWindowVisible(f.hidden));
}

TEST(FloatingStack, SettlingPutsTheSystemOrderRightWithoutBringingAnyWindowToTheFront)
{
    Family f;
    const std::vector<HWND> order = f.Order();
    CFloatingStack::Restack(f.frame, order);
    // The preview reported exposed above the tool column, the frame above the preview.
    const UINT quiet = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    ::SetWindowPos(f.preview, ::GetWindow(f.tools, GW_HWNDPREV), 0, 0, 0, 0, quiet);
    ::SetWindowPos(f.frame, ::GetWindow(f.overlay, GW_HWNDPREV), 0, 0, 0, 0, quiet);
    ASSERT_FALSE(CFloatingStack::IsInOrder(f.frame, order));
    const HWND first = ::GetWindow(::GetDesktopWindow(), GW_CHILD);

    CFloatingStack::Settle(f.frame, order);
    EXPECT_TRUE(CFloatingStack::IsInOrder(f.frame, order));
    EXPECT_EQ(::GetWindow(::GetDesktopWindow(), GW_CHILD), first);
    EXPECT_TRUE(IsTopmost(f.topmost));
    EXPECT_FALSE(IsTopmost(f.tools));
}

// Windows shown over a settled stack went over all others in turn, so the stack is right
// only when they end the order in that sequence; a window that belongs above them (a
// topmost one, a panel later in the order) needs the restacking all the same.
TEST(FloatingStack, WindowsShownEndingTheOrderInTheirSequenceAreAlreadyInOrder)
{
    Family f;
    ::ShowWindow(f.floating, SW_HIDE);
    ::ShowWindow(f.topmost, SW_HIDE);
    CFloatingStack::Restack(f.frame, f.Order());
    for (HWND w : {f.tools, f.overlay, f.preview}) ::ShowWindow(w, SW_HIDE);
    for (HWND w : {f.preview, f.overlay, f.tools}) ::ShowWindow(w, SW_SHOWNA);
    const std::vector<HWND> order = f.Order();
    ASSERT_EQ(order, (std::vector<HWND>{f.preview, f.overlay, f.tools}));
    EXPECT_TRUE(CFloatingStack::IsShownInOrder(f.frame, order, {f.preview, f.overlay, f.tools}));
    EXPECT_TRUE(CFloatingStack::IsShownInOrder(f.frame, order, {f.overlay, f.tools}));
    // Shown in another sequence than the order's, or under a window not shown.
    EXPECT_FALSE(CFloatingStack::IsShownInOrder(f.frame, order, {f.tools, f.overlay}));
    EXPECT_FALSE(CFloatingStack::IsShownInOrder(f.frame, order, {f.preview, f.overlay}));
    EXPECT_FALSE(CFloatingStack::IsShownInOrder(f.frame, order, {}));
    ::ShowWindow(f.topmost, SW_SHOWNA);
    EXPECT_FALSE(CFloatingStack::IsShownInOrder(f.frame, f.Order(), {f.preview, f.overlay, f.tools}));
    // The system's order not the screen's: the tool column under the preview.
    ::ShowWindow(f.topmost, SW_HIDE);
    ::SetWindowPos(f.tools, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_FALSE(CFloatingStack::IsShownInOrder(f.frame, f.Order(), {f.tools}));
}

namespace {

// How many requests the frame was posted since the last look, taking them.
int TakeRequests(CFloatingStack& watch, HWND frame, UINT message, BOOL* onlyShown = NULL,
                 std::vector<HWND>* shown = NULL)
{
    int count = 0;
    MSG msg;
    while (::PeekMessageW(&msg, frame, message, message, PM_REMOVE)) count++;
    const BOOL only = watch.Taken(shown);
    if (onlyShown != NULL) *onlyShown = only;
    return count;
}

} // namespace

// The watch hooks no message: focus changes reach it from any window, framework or not;
// what only framework windows are sent (a popup shown, a menu loop ended) reaches it from
// the framework's dispatch.  Windows of no concern, and a watch ended, ask nothing.
TEST(FloatingStack, TheWatchAsksOnceForAFocusChangeAPopupShownAndAMenuEndedAndHandsBackToTheOneBefore)
{
    const UINT kRequest = WM_APP + 0x3F0;
    Family f;
    HWND plainEdit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 60, 20, f.frame, NULL, NULL, NULL);
    HWND otherEdit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 30, 60, 20, f.frame, NULL, NULL, NULL);
    HWND strangerEdit =
        ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 60, 20, f.stranger, NULL, NULL, NULL);
    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(WS_EX_TOOLWINDOW, AfxRegisterWndClass(0), L"", WS_POPUP, CRect(10, 10, 60, 60),
                               CWnd::FromHandle(f.frame), 0));
    // A watch already running (the frame's) gets its turn back when the inner one ends.
    const UINT kOuterRequest = kRequest + 1;
    CFloatingStack outer;
    ASSERT_TRUE(outer.Watch(f.frame, kOuterRequest));
    CFloatingStack watch;
    ASSERT_TRUE(watch.Watch(f.frame, kRequest));

    // An activation, then a focus change alone.
    ::SetFocus(plainEdit);
    EXPECT_EQ(TakeRequests(watch, f.frame, kRequest), 1);
    ::SetFocus(otherEdit);
    EXPECT_EQ(TakeRequests(watch, f.frame, kRequest), 1);
    popup.SetWindowPos(NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    EXPECT_EQ(TakeRequests(watch, f.frame, kRequest), 1);
    // Only windows shown asked: the request says which, in their sequence; any other
    // cause asking as well makes it a request like the others.
    CWnd second;
    ASSERT_TRUE(second.CreateEx(WS_EX_TOOLWINDOW, AfxRegisterWndClass(0), L"", WS_POPUP, CRect(70, 10, 90, 60),
                                CWnd::FromHandle(f.frame), 0));
    BOOL onlyShown = FALSE;
    std::vector<HWND> shown;
    popup.ShowWindow(SW_HIDE);
    second.ShowWindow(SW_SHOWNA);
    popup.ShowWindow(SW_SHOWNA);
    EXPECT_EQ(TakeRequests(watch, f.frame, kRequest, &onlyShown, &shown), 1);
    EXPECT_TRUE(onlyShown);
    EXPECT_EQ(shown, (std::vector<HWND>{second.m_hWnd, popup.m_hWnd}));
    popup.ShowWindow(SW_HIDE);
    popup.ShowWindow(SW_SHOWNA);
    popup.SendMessage(WM_EXITMENULOOP, TRUE, 0);
    EXPECT_EQ(TakeRequests(watch, f.frame, kRequest, &onlyShown, &shown), 1);
    EXPECT_FALSE(onlyShown);
    second.DestroyWindow();
    popup.SendMessage(WM_EXITMENULOOP, TRUE, 0);
    popup.SendMessage(WM_EXITMENULOOP, TRUE, 0);
    EXPECT_EQ(TakeRequests(watch, f.frame, kRequest), 1);

    ::SetFocus(strangerEdit);
    popup.SendMessage(WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(TakeRequests(watch, f.frame, kRequest), 0);

    // Windows made in a batch with the hook held; given back, it sees focus changes again.
    watch.HoldHook();
    HWND batchEdit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 60, 60, 20, f.frame, NULL, NULL, NULL);
    EXPECT_EQ(TakeRequests(watch, f.frame, kRequest), 0);
    watch.ReleaseHook();
    ::SetFocus(batchEdit);
    EXPECT_EQ(TakeRequests(watch, f.frame, kRequest), 1);
    // A watch ended while its hook is held still hands back to the one before.
    watch.HoldHook();

    EXPECT_EQ(TakeRequests(outer, f.frame, kOuterRequest), 0);
    watch.Unwatch();
    ::SetFocus(plainEdit);
    popup.SendMessage(WM_EXITMENULOOP, TRUE, 0);
    EXPECT_EQ(TakeRequests(watch, f.frame, kRequest), 0);
    EXPECT_EQ(TakeRequests(outer, f.frame, kOuterRequest), 1);
    outer.Unwatch();
    ::SetFocus(otherEdit);
    EXPECT_EQ(TakeRequests(outer, f.frame, kOuterRequest), 0);
    popup.DestroyWindow();
}
