// The main frame built as the program builds it: its hand-made layout at several
// sizes, full preview and comparison halves, hit tests that must not repaint, hot
// keys and the camera plug-in messages.
#include "ShellTestSupport.h"
#include "app/shell/ManageView.h"
#include "app/shell/ImagePage.h"
#include "app/browse/ThumbnailListCtrl.h"
#include "app/capture/CameraPanel.h"
#include "app/capture/CapturePanel.h"
#include "app/shell/TitleBarIds.h"
#include "app/measure/MeasurePanel.h"
#include "camera/core/QrCCamera.h"

namespace {

int NotBelowZero(int v) { return v < 0 ? 0 : v; }

CRect At(int x, int y, int w, int h) { return CRect(x, y, x + NotBelowZero(w), y + NotBelowZero(h)); }

CRect PaneRect(CSplitterWnd& splitter, int row, int col)
{
    CRect r;
    splitter.GetPane(row, col)->GetWindowRect(&r);
    return r;
}

// The strip and the tool pane get their sizes out of the room the splitters have below
// the caption bar (less when there is not that much), and the floating panels lie on
// the panes they cover.
void ExpectLayout(CMainFrame* frame, bool expanded)
{
    CRect area, right;
    frame->m_wndOuter.GetWindowRect(&area);
    frame->m_wndRight.GetWindowRect(&right);
    // Each splitter keeps a 2-pixel border inside and 1-pixel gaps between panes.
    const int roomHigh = NotBelowZero(right.Height() - 2 * 2 - 1);
    const CRect views = PaneRect(frame->m_wndRight, 0, 0), strip = PaneRect(frame->m_wndRight, 1, 0);
    EXPECT_EQ(strip.Height(), expanded ? roomHigh : (roomHigh < 164 ? roomHigh : 164));
    EXPECT_EQ(views.Height(), roomHigh - strip.Height());
    if (roomHigh > 0) EXPECT_EQ(strip.bottom, right.bottom - 2);
    CRect inner;
    frame->m_wndInner.GetWindowRect(&inner);
    const int roomWide = NotBelowZero(inner.Width() - 2 * 2 - 1);
    const CRect view = PaneRect(frame->m_wndInner, 0, 0), tools = PaneRect(frame->m_wndInner, 0, 1);
    EXPECT_EQ(tools.Width(), (roomWide < 40 ? roomWide : 40));
    EXPECT_EQ(view.Width(), roomWide - tools.Width());
    if (roomWide > 0) EXPECT_EQ(tools.right, inner.right - 2);

    EXPECT_EQ(ScreenRect(frame->m_preview), view);
    EXPECT_EQ(ScreenRect(frame->m_overlay), view);
    EXPECT_EQ(ScreenRect(frame->m_captureTools), tools);
    EXPECT_EQ(ScreenRect(frame->m_borderVertical), At(right.left - 1, right.top, 3, area.bottom - right.top));
    EXPECT_EQ(ScreenRect(frame->m_borderHorizontal), At(right.left - 1, view.bottom, area.right - right.left, 6));
    const int w = view.Width() / 2;
    // Made, when not yet, by asking for it.
    ASSERT_EQ(static_cast<CProgressPopup*>(Links().focusMeter), &frame->m_focusMeter);
    EXPECT_EQ(ScreenRect(frame->m_focusMeter), At(view.left + (view.Width() - w) / 2, view.bottom - 20, w, 20));
}

}  // namespace

TEST(MainFrame, LayoutAtSeveralSizesWithNothingNegative)
{
    CMainFrame* frame = SharedFrame();
    ASSERT_NE(frame, nullptr);
    frame->ShowWindow(SW_SHOWNOACTIVATE);
    const SIZE sizes[] = {{1200, 800}, {1600, 1000}, {900, 700}};
    for (SIZE s : sizes) {
        SizeFrame(s.cx, s.cy);
        ExpectLayout(frame, false);
        CRect left;
        frame->m_wndOuter.GetPane(0, 0)->GetWindowRect(&left);
        EXPECT_EQ(left.Width(), 220);
    }
    // Narrower than the left column and lower than the strip: widths and heights of 0.
    SizeFrame(150, 120);
    ExpectLayout(frame, false);
    EXPECT_EQ(ScreenRect(frame->m_preview).Height(), 0);
    CRect views;
    frame->m_wndInner.GetWindowRect(&views);
    EXPECT_GE(views.Width(), 0);
    EXPECT_GE(views.Height(), 0);

    // An expanded strip takes the whole height: the views' row is 0 high.
    SizeFrame(1200, 800);
    Links().thumbList->SetExpanded(TRUE);
    frame->Layout(1200, 801);
    ExpectLayout(frame, true);
    frame->m_wndInner.GetWindowRect(&views);
    EXPECT_EQ(views.Height(), 0);
    Links().thumbList->SetExpanded(FALSE);
    SizeFrame(1200, 800);
    ExpectLayout(frame, false);
}

TEST(MainFrame, FullPreviewCoversTheFrameAndComesBackWithTheComparisonPaneOnlyInCompareMode)
{
    CMainFrame* frame = SharedFrame();
    SizeFrame(1200, 800);
    frame->SetFullPreview(TRUE);
    EXPECT_TRUE(frame->IsFullPreview());
    EXPECT_EQ(ScreenRect(frame->m_preview), ScreenRect(*frame));
    EXPECT_EQ(ScreenRect(frame->m_overlay), ScreenRect(*frame));
    EXPECT_FALSE(frame->m_captureTools.IsWindowVisible());
    EXPECT_FALSE(frame->m_wndOuter.IsWindowVisible());
    EXPECT_FALSE(frame->m_comparePane.IsWindowVisible());
    frame->SetFullPreview(FALSE);
    EXPECT_TRUE(frame->m_wndOuter.IsWindowVisible());
    EXPECT_TRUE(frame->m_captureTools.IsWindowVisible());
    EXPECT_FALSE(frame->m_comparePane.IsWindowVisible());
    ExpectLayout(frame, false);

    frame->SetCompareMode(TRUE);
    frame->SetFullPreview(TRUE);
    EXPECT_FALSE(frame->m_comparePane.IsWindowVisible());
    frame->SetFullPreview(FALSE);
    EXPECT_TRUE(frame->m_comparePane.IsWindowVisible());
    frame->SetCompareMode(FALSE);
    SizeFrame(1200, 801);
    SizeFrame(1200, 800);
}

// The frame puts its floating windows back above it through the topmost band, at every
// change of size among others: each must come back to the normal band, or the frame's own
// dialogs open under them.
TEST(MainFrame, FloatingWindowsAreNeverLeftTopmost)
{
    CMainFrame* frame = SharedFrame();
    frame->ShowWindow(SW_SHOWNOACTIVATE);
    const SIZE sizes[] = {{1200, 800}, {150, 120}, {1600, 1000}, {1200, 800}};
    for (SIZE s : sizes) {
        SizeFrame(s.cx, s.cy);
        PumpMessagesFor(600);
        for (HWND w : frame->FloatingOrder())
            EXPECT_FALSE(::GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) << s.cx << "x" << s.cy;
    }
}

TEST(MainFrame, CompareModeGivesThePreviewAndThePaneHalvesAndGivesBackTheWhole)
{
    CMainFrame* frame = SharedFrame();
    SizeFrame(1200, 800);
    const CRect whole = ScreenRect(frame->m_overlay);
    ASSERT_EQ(whole, PaneRect(frame->m_wndInner, 0, 0));
    frame->SetCompareMode(TRUE);
    EXPECT_TRUE(frame->IsCompareMode());
    const int half = whole.Width() / 2;
    EXPECT_EQ(ScreenRect(frame->m_preview), At(whole.left, whole.top, half, whole.Height()));
    EXPECT_EQ(ScreenRect(frame->m_overlay), ScreenRect(frame->m_preview));
    EXPECT_EQ(ScreenRect(frame->m_comparePane), CRect(whole.left + half, whole.top, whole.right, whole.bottom));
    EXPECT_TRUE(frame->m_comparePane.IsWindowVisible());
    // The frame's layout keeps the halves, now of the new pane.
    SizeFrame(1201, 801);
    const CRect view = PaneRect(frame->m_wndInner, 0, 0);
    EXPECT_EQ(ScreenRect(frame->m_preview), At(view.left, view.top, view.Width() / 2, view.Height()));
    EXPECT_EQ(ScreenRect(frame->m_comparePane), CRect(view.left + view.Width() / 2, view.top, view.right, view.bottom));
    frame->SetCompareMode(FALSE);
    EXPECT_FALSE(frame->m_comparePane.IsWindowVisible());
    EXPECT_EQ(ScreenRect(frame->m_preview), view);
    SizeFrame(1200, 800);
}

// The comparison pane and window and the focus meter are not made with the frame: asked
// for, each is made hidden, in its place, and the comparison makes what it shows.
TEST(MainFrame, HiddenPopupsAreMadeWhenFirstAskedFor)
{
    CMainFrame* frame = SharedFrame();
    const FrameAsOpened& opened = SharedFrameAsOpened();
    EXPECT_FALSE(opened.comparePane);
    EXPECT_FALSE(opened.compareWindow);
    EXPECT_FALSE(opened.focusMeter);
    SizeFrame(1200, 800);
    // Hiding one is not asking for it: a tab switch leaves it unmade.
    ShellLinks& links = Links();
    const bool madeBefore = frame->m_compareWindow.m_hWnd != nullptr;
    links.manage->SelectTab(CManageView::TAB_BROWSE);
    links.manage->SelectTab(CManageView::TAB_CAPTURE);
    if (!madeBefore) {
        EXPECT_EQ(frame->m_compareWindow.m_hWnd, nullptr);
    }

    CCompareWindow* window = links.compareWindow;
    ASSERT_EQ(window, &frame->m_compareWindow);
    ASSERT_NE(window->m_hWnd, nullptr);
    EXPECT_FALSE(window->IsWindowVisible());
    const CRect view = PaneRect(frame->m_wndInner, 0, 0);
    EXPECT_EQ(ScreenRect(*window), view);
    // Its planned panes, made with its first showing as before.
    frame->ShowCompareWindow(TRUE);
    std::vector<CComparePane*> panes;
    window->GetPanes(panes);
    EXPECT_EQ(panes.size(), 4u);
    frame->ShowCompareWindow(FALSE);

    frame->SetCompareMode(TRUE);
    ASSERT_NE(frame->m_comparePane.m_hWnd, nullptr);
    EXPECT_TRUE(frame->m_comparePane.IsWindowVisible());
    frame->SetCompareMode(FALSE);
    EXPECT_FALSE(frame->m_comparePane.IsWindowVisible());
}

// The measuring column is hidden until the caption bar's button asks for it: its window
// is made then, with the tool states the frame gave it meanwhile.
TEST(MainFrame, MeasurePanelIsMadeWhenFirstAskedForWithTheStatesGivenBefore)
{
    CMainFrame* frame = SharedFrame();
    EXPECT_FALSE(SharedFrameAsOpened().measurePanel);
    CMeasurePanel& panel = frame->m_measurePanel;
    if (panel.m_hWnd != NULL) panel.DestroyWindow();
    panel.DisableTools();
    CWnd* button = frame->m_titleBar.GetDlgItem(IDC_TITLE_MEASURE);
    ASSERT_NE(button, nullptr);
    const WPARAM click = MAKEWPARAM(IDC_TITLE_MEASURE, BN_CLICKED);
    frame->m_titleBar.SendMessage(WM_COMMAND, click, (LPARAM)button->m_hWnd);
    ASSERT_NE(panel.m_hWnd, nullptr);
    EXPECT_TRUE(panel.IsWindowVisible());
    EXPECT_FALSE(panel.GetDlgItem(IDC_MEASURE_RULER)->IsWindowEnabled());
    panel.UpdateControlState();
    EXPECT_TRUE(panel.GetDlgItem(IDC_MEASURE_RULER)->IsWindowEnabled());
    frame->m_titleBar.SendMessage(WM_COMMAND, click, (LPARAM)button->m_hWnd);
    EXPECT_FALSE(panel.IsWindowVisible());
}

TEST(MainFrame, HitTestAtAnUnchangedSizeRepaintsNothing)
{
    CMainFrame* frame = SharedFrame();
    SizeFrame(1200, 800);
    frame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    CWnd* popups[] = {&frame->m_preview, &frame->m_overlay, &frame->m_captureTools, &frame->m_borderVertical,
                      &frame->m_borderHorizontal};
    for (CWnd* w : popups) w->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessagesFor(200);
    CPoint centre = ScreenRect(*frame).CenterPoint();
    for (int i = 0; i < 5; i++) frame->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y));
    EXPECT_TRUE(NothingToPaint(frame->m_wndInner.m_hWnd));
    EXPECT_TRUE(NothingToPaint(frame->m_wndRight.m_hWnd));
    EXPECT_TRUE(NothingToPaint(frame->m_wndOuter.m_hWnd));
    for (CWnd* w : popups) EXPECT_TRUE(NothingToPaint(w->m_hWnd));
}

// A panel moved from its place is put back by the next hit test; the frame's size did not
// change, so nothing else is refitted or repainted.
TEST(MainFrame, HitTestPutsAMovedPanelBackAndRepaintsNothingElse)
{
    CMainFrame* frame = SharedFrame();
    // Sized the way the program is: by WM_SIZE alone.
    SizeFrame(1100, 760);
    frame->SetWindowPos(nullptr, 0, 0, 1200, 800, SWP_NOZORDER | SWP_NOACTIVATE);
    PumpMessagesFor(50);
    frame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    CWnd* others[] = {&frame->m_captureTools, &frame->m_borderVertical, &frame->m_borderHorizontal};
    for (CWnd* w : others) w->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessagesFor(200);
    const CRect placed = ScreenRect(frame->m_preview);
    // Inside its place, so that going back uncovers nothing; what the move uncovered is
    // painted before the hit test.
    frame->m_preview.SetWindowPos(NULL, placed.left + 7, placed.top + 3, placed.Width() - 20, placed.Height() - 10,
                                  SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_NE(ScreenRect(frame->m_preview), placed);
    frame->RedrawWindow(NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
    for (CWnd* w : others) w->RedrawWindow(NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ASSERT_TRUE(NothingToPaint(frame->m_wndInner.m_hWnd));
    CPoint centre = ScreenRect(*frame).CenterPoint();
    frame->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y));
    EXPECT_EQ(ScreenRect(frame->m_preview), placed);
    EXPECT_TRUE(NothingToPaint(frame->m_wndInner.m_hWnd));
    EXPECT_TRUE(NothingToPaint(frame->m_wndRight.m_hWnd));
    for (CWnd* w : others) EXPECT_TRUE(NothingToPaint(w->m_hWnd));
}

TEST(MainFrame, HotKeysReachTheCapturePanelWhileAnotherWindowHasTheFocus)
{
    CMainFrame* frame = SharedFrame();
    ASSERT_NE(Links().capture, nullptr);
    MessageSpy spy(Links().capture->m_hWnd);
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, AfxRegisterWndClass(0), L"other", WS_POPUP | WS_VISIBLE, 1300, 100, 200, 200, NULL, NULL));
    other.SetForegroundWindow();
    other.SetFocus();
    const struct { WORD key; UINT message; } keys[] = {{VK_F9, WM_HOTKEY_CAPTURE}, {VK_F10, WM_HOTKEY_RECORD_START},
                                                       {VK_F11, WM_HOTKEY_RECORD_STOP}};
    for (auto k : keys) {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[1].ki.wVk = k.key;
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
        EXPECT_TRUE(spy.WaitForMessage(k.message, 3000)) << k.key;
        EXPECT_EQ(spy.LastWParam(k.message), 0u);
    }
    // Another id is not the frame's.
    EXPECT_EQ(frame->SendMessage(WM_HOTKEY, 0x1234, 0), 1);
    other.DestroyWindow();
}

namespace {

class CRecordingCameraPanel : public CCameraPanel
{
public:
    int controls = 0, combos = 0, plays = 0;
    void RefreshControls() override { controls++; }
    void RefreshResolutionCombos() override { combos++; }
    void PlayCamera() override { plays++; }
    // The real panel would close the process's camera, which later tests still use.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CAMERA_REMOVED) return 0;
        return CCameraPanel::WindowProc(message, wParam, lParam);
    }
};

class CRecordingImagePage : public CImagePage
{
public:
    int refreshes = 0;
    void RefreshAllPanels() override { refreshes++; }
};

}  // namespace

TEST(MainFrame, CameraArrivalRefreshesThePanelsAndRemovalGoesToTheCameraPanel)
{
    CMainFrame* frame = SharedFrame();
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), L"host", WS_POPUP, 0, 0, 300, 300, NULL, NULL));
    ShellLinksScope scope;
    CRecordingCameraPanel camera;
    ASSERT_TRUE(camera.Create(CCameraPanel::IDD, &host));
    camera.controls = camera.combos = 0;  // the panel's own first fill
    CRecordingImagePage page;
    Links().camera = &camera;
    Links().imagePage = &page;
    MessageSpy spy(camera.m_hWnd);

    // A list change only: the list is refilled, the panels refreshed.
    EXPECT_EQ(frame->SendMessage(WM_CAMERA_ARRIVED, (WPARAM)-1, 1), 1);
    EXPECT_EQ(camera.controls, 1);
    EXPECT_EQ(camera.combos, 1);
    EXPECT_EQ(page.refreshes, 1);

    // Removals: a known model closes the camera (0, 0); an unknown one nothing; a list
    // change with the current camera gone (1, 0); without it only the list.
    frame->SendMessage(WM_CAMERA_REMOVED, 12, 0);
    EXPECT_TRUE(spy.WaitForMessage(WM_CAMERA_REMOVED, 2000));
    EXPECT_EQ(spy.LastWParam(WM_CAMERA_REMOVED), 0u);
    spy.Clear();
    frame->SendMessage(WM_CAMERA_REMOVED, (WPARAM)-1, 0);
    frame->SendMessage(WM_CAMERA_REMOVED, 0, 1);
    PumpMessagesFor(200);
    EXPECT_EQ(spy.Count(WM_CAMERA_REMOVED), 0);
    frame->SendMessage(WM_CAMERA_REMOVED, 1, 1);
    EXPECT_TRUE(spy.WaitForMessage(WM_CAMERA_REMOVED, 2000));
    EXPECT_EQ(spy.LastWParam(WM_CAMERA_REMOVED), 1u);

    // Resume from standby with the camera stopped changes nothing.
    frame->SendMessage(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_EQ(camera.plays, 0);
    camera.DestroyWindow();
    host.DestroyWindow();
}

// The program's start after the first paint does not wait behind the messages already
// queued: with the cameras known, the live picture opens before it returns.
TEST(MainFrameLive, StartAfterTheFirstPaintOpensTheCameraAtOnce)
{
    CMainFrame* frame = SharedFrame();
    ASSERT_TRUE(frame->CamerasLooked());
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (mgr.runState == 0) Links().camera->PlayCamera();
    QrCCameraGetMgrParameter(&mgr);
    ASSERT_NE(mgr.runState, 0);
    frame->PostMessage(WM_NULL);
    frame->StartAfterFirstPaint();
    QrCCameraGetMgrParameter(&mgr);
    EXPECT_EQ(mgr.runState, 0);
    if (mgr.runState == 0) Links().camera->PlayCamera();
    PumpMessagesFor(200);
}

TEST(MainFrameLive, CameraDrawsIntoThePreview)
{
    CMainFrame* frame = SharedFrame();
    frame->ShowWindow(SW_SHOWMAXIMIZED);
    PumpMessagesFor(500);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (mgr.runState != 0) Links().camera->PlayCamera();
    CRect preview = ScreenRect(frame->m_preview);
    EXPECT_TRUE(WaitFor([&] { return ShareUnlike(preview, RGB(189, 189, 189), 8) > 0.5; }, 10000));
    SaveScreenshot(nullptr, "frame_live");
    Links().camera->PlayCamera();
    QrCCameraGetMgrParameter(&mgr);
    EXPECT_NE(mgr.runState, 0);
}
