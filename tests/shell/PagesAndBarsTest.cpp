// The left column (tabs, pages, their scrolling and logo), the Capture page's capture
// messages, the caption bar, fold sections, border panels, the updater and the About
// box.
#include "ShellTestSupport.h"
#include "app/shell/AboutDialog.h"
#include "app/shell/AppDirectory.h"
#include "app/shell/ColorPanel.h"
#include "app/shell/FoldPanel.h"
#include "app/shell/ManageView.h"
#include "app/shell/ShellLaunch.h"
#include "app/shell/TitleBar.h"
#include "app/store/ImageStore.h"
#include "app/browse/ThumbnailListCtrl.h"
#include "app/browse/BrowseToolBar.h"
#include "app/capture/CameraPanel.h"
#include "app/capture/CapturePanel.h"
#include "app/capture/VideoRecordPanel.h"
#include "app/capture/PreviewWnd.h"
#include "app/capture/LiveLayout.h"
#include "app/res/resource.h"
#include "camera/core/QrCCamera.h"
#include <vector>

namespace {

std::u16string U(LPCWSTR s) { return std::u16string((const char16_t*)s); }
std::u16string Str(UINT id)
{
    CString s;
    s.LoadString(id);
    return U(s);
}

CString ItemText(CWnd& dlg, int id)
{
    CString s;
    dlg.GetDlgItemText(id, s);
    return s;
}

// What the shell asked the shell to start, instead of starting it.
struct Launch {
    CString verb, file, parameters, directory;
    int show;
};
std::vector<Launch> g_launches;
INT_PTR g_launchResult = 42;

HINSTANCE RecordLaunch(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, int show)
{
    g_launches.push_back({verb ? verb : L"", file ? file : L"", parameters ? parameters : L"<null>",
                          directory ? directory : L"<null>", show});
    return (HINSTANCE)g_launchResult;
}

// Replaces the shell launcher for one scope.
struct LaunchSeam {
    ShellLaunchFn saved;
    LaunchSeam() : saved(ShellLauncher())
    {
        g_launches.clear();
        g_launchResult = 42;
        ShellLauncher() = RecordLaunch;
    }
    ~LaunchSeam() { ShellLauncher() = saved; }
};

CRect ClientRectIn(CWnd& parent, CWnd* child)
{
    CRect r;
    child->GetWindowRect(&r);
    parent.ScreenToClient(&r);
    return r;
}

class CPlainHost : public CWnd
{
public:
    BOOL Make(int w, int h)
    {
        return CreateEx(0, AfxRegisterWndClass(0), L"host", WS_POPUP | WS_VISIBLE, 0, 0, w, h, NULL, NULL);
    }
};

}  // namespace

TEST(ManageView, TabsSwitchTheRightHandAreaAndMergeModeKeepsTheImageTab)
{
    CMainFrame* frame = SharedFrame();
    SizeFrame(1200, 800);
    CManageView* manage = Links().manage;
    ASSERT_NE(manage, nullptr);
    manage->SelectTab(CManageView::TAB_BROWSE);
    EXPECT_TRUE(manage->m_browsePage.IsWindowVisible());
    EXPECT_FALSE(manage->m_capturePage.IsWindowVisible());
    EXPECT_FALSE(IsLiveWindowShown(&frame->m_preview));
    EXPECT_FALSE(IsLiveWindowShown(&frame->m_overlay));
    EXPECT_FALSE(frame->m_captureTools.IsWindowVisible());
    EXPECT_TRUE(Links().browseTools->IsWindowVisible());
    // Veiled, the live windows take neither the screen nor the mouse from the page's view.
    CRect live;
    frame->m_preview.GetWindowRect(&live);
    ASSERT_FALSE(live.IsRectEmpty());
    const HWND under = ::WindowFromPoint(live.CenterPoint());
    EXPECT_NE(under, frame->m_preview.m_hWnd);
    EXPECT_NE(under, frame->m_overlay.m_hWnd);
    manage->SelectTab(CManageView::TAB_IMAGE);
    EXPECT_TRUE(manage->m_imagePage.IsWindowVisible());
    EXPECT_FALSE(manage->m_browsePage.IsWindowVisible());

    // During a channel merge the tab stays on Image, with the message.
    Links().store->SetMergeMode(1);
    {
        BoxWatcher watcher(IDOK);
        manage->SelectTab(CManageView::TAB_CAPTURE);
        EXPECT_EQ(watcher.Count(), 1);
        EXPECT_EQ(watcher.LastText(), Str(IDS_MERGE_BUSY));
    }
    EXPECT_EQ(manage->GetCurrentTab(), CManageView::TAB_IMAGE);
    EXPECT_TRUE(manage->m_imagePage.IsWindowVisible());
    Links().store->SetMergeMode(0);

    manage->SelectTab(CManageView::TAB_CAPTURE);
    EXPECT_TRUE(manage->m_capturePage.IsWindowVisible());
    EXPECT_TRUE(IsLiveWindowShown(&frame->m_preview));
    EXPECT_TRUE(IsLiveWindowShown(&frame->m_overlay));
    EXPECT_TRUE(frame->m_captureTools.IsWindowVisible());
    EXPECT_FALSE(Links().browseTools->IsWindowVisible());
    const HWND back = ::WindowFromPoint(live.CenterPoint());
    EXPECT_TRUE(back == frame->m_preview.m_hWnd || back == frame->m_overlay.m_hWnd);
}

TEST(TabPage, LogoSitsAboveTheBottomUntilTheSectionsReachItThenBelowThemAndThePageScrolls)
{
    CPlainHost host;
    ASSERT_TRUE(host.Make(240, 900));
    ShellLinksScope scope;
    CImagePage page(&host);
    ASSERT_TRUE(page.Create(CImagePage::IDD, &host));
    page.MoveWindow(0, 0, 218, 876);
    page.ShowWindow(SW_SHOW);
    CWnd* logo = page.GetDlgItem(IDC_PAGE_LOGO);
    CRect client;
    page.GetClientRect(&client);
    CRect lr = ClientRectIn(page, logo);
    CRect update = ClientRectIn(page, page.GetDlgItem(IDC_PAGE_UPDATE));
    // 30 pixels above the bottom, or as far up as the update button below it needs.
    EXPECT_EQ(lr.bottom, client.bottom - (update.Height() + 10 > 30 ? update.Height() + 10 : 30));
    EXPECT_EQ(lr.left, 100 - lr.Width() / 2);
    EXPECT_FALSE(page.IsScrollable());
    CRect company = ClientRectIn(page, page.GetDlgItem(IDC_PAGE_COMPANY));
    EXPECT_EQ(company.TopLeft(), CPoint(lr.right + 8, lr.top + 11));
    EXPECT_LE(company.right, client.right);
    EXPECT_EQ(update.top, lr.bottom + 8);
    EXPECT_LE(update.bottom, client.bottom);

    // All sections open on a short page: the logo follows the last section.
    page.MoveWindow(0, 0, 218, 400);
    for (CFoldPanel* s : page.m_sections) s->SetExpanded(TRUE);
    CRect last = ClientRectIn(page, page.m_sections.back());
    lr = ClientRectIn(page, logo);
    EXPECT_EQ(lr.top, last.bottom + 30);
    EXPECT_TRUE(page.IsScrollable());

    // Page down near the end moves only what is left; a section toggle keeps the place.
    SCROLLINFO si = {sizeof si, SIF_ALL};
    page.GetScrollInfo(SB_VERT, &si, SIF_ALL);
    const int highest = si.nMax - (int)si.nPage + 1;
    ASSERT_GT(highest, 6);
    page.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, highest - 3), 0);
    EXPECT_EQ(page.GetScrollPos(SB_VERT), highest - 3);
    page.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(page.GetScrollPos(SB_VERT), highest);
    EXPECT_EQ(page.GetScrollOffset(), highest * 10);
    page.SendMessage(WM_VSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(page.GetScrollPos(SB_VERT), highest - 5);
    page.m_sections[2]->SetExpanded(FALSE);
    page.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 4), 0);
    page.m_sections[2]->SetExpanded(TRUE);
    EXPECT_EQ(page.GetScrollPos(SB_VERT), 4);
    EXPECT_EQ(page.GetScrollOffset(), 40);
    page.DestroyWindow();
}

TEST(TabPage, UpdateButtonStartsTheUpdaterFromTheProgramFolderWithoutParameters)
{
    CPlainHost host;
    ASSERT_TRUE(host.Make(240, 600));
    ShellLinksScope scope;
    CBrowsePage page(&host);
    ASSERT_TRUE(page.Create(CBrowsePage::IDD, &host));
    LaunchSeam seam;
    page.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PAGE_UPDATE, BN_CLICKED), (LPARAM)page.GetDlgItem(IDC_PAGE_UPDATE)->m_hWnd);
    ASSERT_EQ(g_launches.size(), 1u);
    CString folder;
    GetAppDirectory(folder);
    EXPECT_EQ(g_launches[0].verb, CString(L"open"));
    EXPECT_EQ(g_launches[0].file, folder + L"JolUpdate.exe");
    EXPECT_EQ(g_launches[0].parameters, CString(L""));
    EXPECT_EQ(g_launches[0].directory, folder);
    EXPECT_EQ(g_launches[0].show, SW_SHOW);

    g_launchResult = 2;   // file not found
    BoxWatcher watcher(IDOK);
    page.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PAGE_UPDATE, BN_CLICKED), (LPARAM)page.GetDlgItem(IDC_PAGE_UPDATE)->m_hWnd);
    EXPECT_EQ(watcher.Count(), 1);
    EXPECT_EQ(watcher.LastText(), Str(IDS_START_FAILED));

    // The Browse page's sections cannot be collapsed, not even by a click.
    for (CFoldPanel* s : page.m_sections) {
        s->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 5));
        EXPECT_TRUE(s->IsExpanded());
        EXPECT_FALSE(s->GetDlgItem(IDC_FOLD_TOGGLE)->IsWindowVisible());
    }
    page.DestroyWindow();
}

TEST(CapturePage, ProgressTextsAndARefusedCaptureThatOnlyResetsTheControls)
{
    SharedFrame();
    CCapturePage* page = Links().capturePage;
    ASSERT_NE(page, nullptr);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CameraMgrParam saved;
    QrCCameraGetMgrParameter(&saved);
    mgr.capture.CaptureType = CAPTURE_TYPE_TIFF;
    mgr.capture.Count = 10;
    QrCCameraSetMgrParameter(&mgr);
    page->SendMessage(WM_CAPTURE_PROGRESS, 2, 0);
    EXPECT_EQ(ItemText(*Links().capture, IDC_CAPTURE_COUNTER), CString(L"3 / 10"));
    EXPECT_EQ(ItemText(*Links().videoRecord, IDC_VIDEO_COUNTER), CString(L"3 / 10"));
    EXPECT_EQ(ItemText(*Links().capture, IDC_CAPTURE_SHOTS), CString(L"3"));
    mgr.capture.CaptureType = CAPTURE_TYPE_AVI;
    mgr.capture.IsTimeRecord = 1;
    QrCCameraSetMgrParameter(&mgr);
    page->SendMessage(WM_CAPTURE_PROGRESS, 5, 0);
    EXPECT_EQ(ItemText(*Links().capture, IDC_CAPTURE_COUNTER), CString(L"5S"));

    // Refused: no file reaches the strip, the controls are reset.
    std::vector<CString> before, after;
    Links().thumbList->GetFileNames(before);
    Links().capture->GetDlgItem(IDC_CAPTURE_SHOTS)->EnableWindow(TRUE);
    page->SendMessage(WM_CAPTURE_DONE, 0, (LPARAM)-1);
    Links().thumbList->GetFileNames(after);
    EXPECT_EQ(after, before);
    EXPECT_FALSE(Links().capture->GetDlgItem(IDC_CAPTURE_SHOTS)->IsWindowEnabled());
    EXPECT_FALSE(Links().capture->GetDlgItem(IDC_CAPTURE_COUNTER)->IsWindowVisible());
    EXPECT_EQ(ItemText(*Links().capture, IDC_CAPTURE_RECORD), CString((LPCWSTR)(const WCHAR*)Str(IDS_RECORD).c_str()));
    QrCCameraSetMgrParameter(&saved);
}

namespace {

// A frame stand-in that records the caption bar's requests instead of moving.
class CRecordingFrameWindow : public CMainFrame
{
public:
    int fullPreview = 0;
    std::vector<POINT> drags;
    int IsFullPreview() const override { return fullPreview; }
    BOOL Make()
    {
        return CWnd::CreateEx(0, AfxRegisterWndClass(0), L"frame", WS_POPUP | WS_VISIBLE, 100, 100, 600, 400, NULL, NULL);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NCLBUTTONDOWN) {
            drags.push_back(POINT{(short)LOWORD(lParam), (short)HIWORD(lParam)});
            return 0;
        }
        // Only a stand-in: none of the real frame's creation or shut-down.
        if (message == WM_CREATE || message == WM_DESTROY) return DefWindowProc(message, wParam, lParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override {}
};

class CCountingPanel : public CCameraPanel
{
public:
    int controls = 0;
    void RefreshControls() override { controls++; }
};

struct BarFixture {
    CPlainHost host;
    CRecordingFrameWindow frame;
    CTitleBar bar;
    BarFixture()
    {
        host.Make(700, 60);
        frame.Make();
        Links().frame = &frame;
        Links().capturePage = nullptr;
        Links().browsePage = nullptr;
        Links().imagePage = nullptr;
        bar.Create(CTitleBar::IDD, &host);
        bar.MoveWindow(0, 0, 700, 26);
        bar.ShowWindow(SW_SHOW);
    }
    ~BarFixture()
    {
        bar.DestroyWindow();
        frame.DestroyWindow();
        host.DestroyWindow();
    }
};

bool g_printGrey = false, g_previewGrey = false, g_menuOpen = false;
void CALLBACK ReadFileMenu(HWND, UINT, UINT_PTR, DWORD)
{
    HWND menuWnd = FindWindowW(L"#32768", NULL);
    if (menuWnd == NULL || !IsWindowVisible(menuWnd)) return;
    HMENU menu = (HMENU)SendMessageW(menuWnd, MN_GETHMENU, 0, 0);
    g_menuOpen = true;
    g_printGrey = (GetMenuState(menu, ID_FILE_PRINT, MF_BYCOMMAND) & MF_GRAYED) != 0;
    g_previewGrey = (GetMenuState(menu, ID_FILE_PRINT_PREVIEW, MF_BYCOMMAND) & MF_GRAYED) != 0;
    EndMenu();
}

// Average colour of a window's client rectangle on screen, as one number to compare.
DWORD PixelSum(CWnd& w)
{
    CRect r;
    w.GetClientRect(&r);
    w.ClientToScreen(&r);
    HDC dc = GetDC(NULL);
    DWORD sum = 0;
    for (int y = r.top; y < r.bottom; y += 2)
        for (int x = r.left; x < r.right; x += 2) {
            COLORREF c = GetPixel(dc, x, y);
            sum = sum * 31 + c;
        }
    ReleaseDC(NULL, dc);
    return sum;
}

}  // namespace

TEST(CaptionBar, WindowButtonsSitAtTheRightEdge)
{
    ShellLinksScope scope;
    BarFixture f;
    CRect client;
    f.bar.GetClientRect(&client);
    CRect close = ClientRectIn(f.bar, f.bar.GetDlgItem(IDC_TITLE_CLOSE));
    CRect max = ClientRectIn(f.bar, f.bar.GetDlgItem(IDC_TITLE_MAXIMIZE));
    CRect min = ClientRectIn(f.bar, f.bar.GetDlgItem(IDC_TITLE_MINIMIZE));
    EXPECT_EQ(close, CRect(client.right - 20, (client.Height() - 20) / 2 + 3, client.right, (client.Height() - 20) / 2 + 23));
    EXPECT_EQ(max, CRect(close.left - 20, close.top, close.left - 6, close.top + 14));
    EXPECT_EQ(min, CRect(max.left - 20, max.top, max.left - 6, max.top + 14));
}

TEST(CaptionBar, DragSendsTheScreenPointAndNothingWhileMaximised)
{
    ShellLinksScope scope;
    BarFixture f;
    f.bar.m_bMaximized = 1;
    f.bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 5));
    EXPECT_TRUE(f.frame.drags.empty());
    f.bar.m_bMaximized = 0;
    f.bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 5));
    ASSERT_EQ(f.frame.drags.size(), 1u);
    CPoint expected(30, 5);
    f.bar.ClientToScreen(&expected);
    EXPECT_EQ(CPoint(f.frame.drags[0]), expected);
    // A move without the button drags nothing.
    f.bar.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(30, 5));
    EXPECT_EQ(f.frame.drags.size(), 1u);
}

TEST(CaptionBar, ToggleMaximizeReskinsTellsThePagesAndDoesNothingInFullPreview)
{
    ShellLinksScope scope;
    BarFixture f;
    CPlainHost pageHost;
    pageHost.Make(50, 50);
    MessageSpy pageSpy(pageHost.m_hWnd);
    Links().capturePage = (CCapturePage*)&pageHost;   // only its window is used
    CWnd* maxButton = f.bar.GetDlgItem(IDC_TITLE_MAXIMIZE);

    f.frame.fullPreview = 1;
    f.bar.ToggleMaximize();
    PumpMessagesFor(100);
    EXPECT_EQ(f.bar.IsMaximized(), 1);
    EXPECT_EQ(pageSpy.Count(WM_FOLDPANEL_TOGGLED), 0);

    f.frame.fullPreview = 0;
    f.bar.ToggleMaximize();
    EXPECT_EQ(f.bar.IsMaximized(), 0);
    EXPECT_TRUE(pageSpy.WaitForMessage(WM_FOLDPANEL_TOGGLED, 2000));
    maxButton->RedrawWindow();
    PumpMessagesFor(100);
    const DWORD restoreLook = PixelSum(*maxButton);
    f.bar.ToggleMaximize();
    EXPECT_EQ(f.bar.IsMaximized(), 1);
    maxButton->RedrawWindow();
    PumpMessagesFor(100);
    EXPECT_NE(PixelSum(*maxButton), restoreLook);
    Links().capturePage = nullptr;
    pageHost.DestroyWindow();
}

TEST(CaptionBar, CameraChoiceOnlyWhileStoppedAndNeverWithoutASelection)
{
    SharedFrame();
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (mgr.runState == 0) Links().camera->PlayCamera();
    ShellLinksScope scope;
    BarFixture f;
    CPlainHost panelHost;
    panelHost.Make(300, 300);
    CCountingPanel panel;
    panel.Create(CCameraPanel::IDD, &panelHost);
    panel.controls = 0;  // the panel's own first fill
    Links().camera = &panel;
    Links().capture = nullptr;
    Links().videoRecord = nullptr;
    Links().imagePage = nullptr;
    Links().captureTools = nullptr;

    CSkinComboBox& combo = f.bar.GetCameraCombo();
    combo.ResetContent();
    QrCRegisterCamera(combo.m_hWnd);
    ASSERT_GT(combo.GetCount(), 0);
    f.bar.m_nCameraIndex = 5;
    combo.SetCurSel(-1);
    f.bar.SendMessage(WM_COMBO_SELCHANGED, IDC_TITLE_CAMERA_COMBO, 0);
    EXPECT_EQ(f.bar.m_nCameraIndex, 5);
    EXPECT_EQ(panel.controls, 0);
    // The entry already chosen is chosen again.
    combo.SetCurSel(0);
    f.bar.SendMessage(WM_COMBO_SELCHANGED, IDC_TITLE_CAMERA_COMBO, 0);
    EXPECT_EQ(f.bar.m_nCameraIndex, 0);
    EXPECT_EQ(panel.controls, 1);
    // Other controls' changes are not the camera's.
    f.bar.SendMessage(WM_COMBO_SELCHANGED, 1234, 0);
    EXPECT_EQ(panel.controls, 1);
    // While the camera runs nothing is chosen.
    panel.PlayCamera();
    QrCCameraGetMgrParameter(&mgr);
    ASSERT_EQ(mgr.runState, 0);
    f.bar.m_nCameraIndex = 7;
    f.bar.SendMessage(WM_COMBO_SELCHANGED, IDC_TITLE_CAMERA_COMBO, 0);
    EXPECT_EQ(f.bar.m_nCameraIndex, 7);
    EXPECT_EQ(panel.controls, 1);
    panel.PlayCamera();
    panel.DestroyWindow();
    panelHost.DestroyWindow();
}

TEST(CaptionBar, PrintingIsGreyWithoutAnImageAndAMissingHelpFileIsReported)
{
    ShellLinksScope scope;
    CImageStore* store = CImageStore::Create();
    Links().store = store;
    BarFixture f;
    UINT_PTR timer = SetTimer(NULL, 0, 50, ReadFileMenu);
    g_menuOpen = false;
    f.bar.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TITLE_FILE, BN_CLICKED), (LPARAM)f.bar.GetDlgItem(IDC_TITLE_FILE)->m_hWnd);
    KillTimer(NULL, timer);
    EXPECT_TRUE(g_menuOpen);
    EXPECT_TRUE(g_printGrey);
    EXPECT_TRUE(g_previewGrey);

    LaunchSeam seam;
    g_launchResult = 2;
    BoxWatcher watcher(IDOK);
    f.bar.SendMessage(WM_COMMAND, ID_HELP_FILE, 0);
    EXPECT_EQ(watcher.Count(), 1);
    EXPECT_EQ(watcher.LastText(), Str(IDS_HELP_OPEN_FAILED));
    ASSERT_EQ(g_launches.size(), 1u);
    EXPECT_EQ(g_launches[0].file, AppPath(L"Orvisnap.pdf"));
    EXPECT_EQ(g_launches[0].verb, CString(L"open"));
    CImageStore::Destroy(store);
}

TEST(FoldPanel, SameStateSendsNothingAndACollapsedSectionKeepsItsWidth)
{
    CPlainHost host;
    ASSERT_TRUE(host.Make(300, 400));
    MessageSpy spy(host.m_hWnd);
    CFoldPanel section;
    ASSERT_TRUE(section.Create(CFoldPanel::IDD, &host));
    section.MoveWindow(6, 0, 198, 200);
    section.ShowWindow(SW_SHOW);
    section.SetIndex(3);
    section.SetExpanded(FALSE);
    EXPECT_EQ(spy.Count(WM_FOLDPANEL_TOGGLED), 0);
    section.SetExpanded(TRUE);
    ASSERT_EQ(spy.Count(WM_FOLDPANEL_TOGGLED), 1);
    EXPECT_EQ(spy.LastWParam(WM_FOLDPANEL_TOGGLED), 3u);
    EXPECT_EQ(spy.LastLParam(WM_FOLDPANEL_TOGGLED), 1);
    section.SetExpanded(TRUE);
    EXPECT_EQ(spy.Count(WM_FOLDPANEL_TOGGLED), 1);
    section.SetExpanded(FALSE);
    CRect r;
    section.GetWindowRect(&r);
    EXPECT_EQ(r.Width(), 198);
    EXPECT_EQ(r.Height(), section.GetTitleHeight());
    EXPECT_EQ(spy.LastLParam(WM_FOLDPANEL_TOGGLED), 0);
    // A click on the section toggles it while its button shows.
    section.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 5));
    EXPECT_TRUE(section.IsExpanded());
    section.GetWindowRect(&r);
    EXPECT_EQ(r.Height(), 200);
    section.DestroyWindow();
    host.DestroyWindow();
}

TEST(ColorPanel, BackgroundInnerAndLowerColours)
{
    CColorPanel panel;
    ASSERT_TRUE(panel.Create(CColorPanel::IDD, NULL));
    panel.SetWindowPos(&CWnd::wndTopMost, 50, 50, 30, 60, SWP_SHOWWINDOW);
    panel.SetColor(10, 20, 30);
    panel.SetInnerColor(200, 0, 0);
    panel.SetLowerColor(0, 200, 0);
    panel.SetInnerRect(CRect(0, 10, 3, 20));
    panel.RedrawWindow();
    PumpMessagesFor(100);
    HDC dc = GetDC(NULL);
    EXPECT_EQ(GetPixel(dc, 50 + 1, 50 + 5), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(dc, 50 + 1, 50 + 15), RGB(200, 0, 0));
    EXPECT_EQ(GetPixel(dc, 50 + 10, 50 + 15), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(dc, 50 + 20, 50 + 40), RGB(0, 200, 0));
    // An inner rectangle outside the client area: background and lower colour only.
    panel.SetInnerRect(CRect(100, 100, 120, 120));
    panel.RedrawWindow();
    PumpMessagesFor(100);
    EXPECT_EQ(GetPixel(dc, 50 + 1, 50 + 5), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(dc, 50 + 1, 50 + 55), RGB(10, 20, 30));
    ReleaseDC(NULL, dc);
    panel.DestroyWindow();
}

namespace {

struct AboutClick {
    HWND box = NULL;
    int clicks = 0;
};
AboutClick g_about;

// Clicks once on the web-address line of the About box, then closes it.
void CALLBACK ClickAbout(HWND, UINT, UINT_PTR, DWORD)
{
    HWND box = NULL;
    for (HWND h = FindWindowW(L"#32770", NULL); h; h = FindWindowExW(NULL, h, L"#32770", NULL))
        if (IsWindowVisible(h) && GetDlgItem(h, IDC_ABOUT_WEB)) box = h;
    if (box == NULL) return;
    if (g_about.clicks == 0) {
        RECT r;
        GetWindowRect(GetDlgItem(box, IDC_ABOUT_WEB), &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_MOUSE;
        in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, in, sizeof(INPUT));
        g_about.clicks++;
    } else if (!g_launches.empty()) {
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
}

}  // namespace

TEST(AboutBox, WebAddressLineOpensTheAddress)
{
    LaunchSeam seam;
    g_about = AboutClick();
    UINT_PTR timer = SetTimer(NULL, 0, 200, ClickAbout);
    CAboutDialog about;
    about.DoModal();
    KillTimer(NULL, timer);
    ASSERT_EQ(g_launches.size(), 1u);
    EXPECT_EQ(g_launches[0].verb, CString(L"open"));
    EXPECT_EQ(U(g_launches[0].file), Str(IDS_WEB_ADDRESS));
    EXPECT_EQ(g_launches[0].show, SW_SHOWNORMAL);
}

TEST(AppDirectory, ProgramFolderWithItsBackslash)
{
    CString dir;
    GetAppDirectory(dir);
    WCHAR module[MAX_PATH];
    GetModuleFileNameW(NULL, module, MAX_PATH);
    CString path(module);
    ASSERT_GT(dir.GetLength(), 0);
    EXPECT_EQ(dir.Right(1), CString(L"\\"));
    EXPECT_EQ(path.Left(dir.GetLength()), dir);
    EXPECT_EQ(path.Mid(dir.GetLength()).Find('\\'), -1);
}

namespace {

// A program 300 characters deep, answered as the module-name call answers: truncated
// to the buffer, with the buffer's size as the length, when the buffer is too short.
CString g_longPath;
DWORD WINAPI LongModuleName(HMODULE, LPWSTR buffer, DWORD size)
{
    DWORD n = (DWORD)g_longPath.GetLength();
    DWORD copied = n < size ? n : size - 1;
    memcpy(buffer, (LPCWSTR)g_longPath, copied * sizeof(WCHAR));
    buffer[copied] = 0;
    return n < size ? n : size;
}

}  // namespace

TEST(AppDirectory, LongProgramPathsAreNotCut)
{
    CString folder = L"C:\\";
    while (folder.GetLength() < 300) folder += L"deep_folder_name\\";
    g_longPath = folder + L"Orvisnap.exe";
    EXPECT_EQ(FolderOfProgram(LongModuleName), folder);
}

// After the first paint the sections are built one between messages; while the camera
// first opens (builds held) a waiting part reads as absent instead of being built, the
// live picture's once-a-second status builds none (it reaches the panels built so far).
// The exposure panel makes its time input in the step after its own, and the page
// refreshes its panels in steps of their own once its last section is made.
namespace {

int FormatCount(CCapturePanel& panel)
{
    return (int)::SendDlgItemMessageW(panel.m_hWnd, IDC_CAPTURE_FORMAT, CB_GETCOUNT, 0, 0);
}

bool TimeInputMade(CExposurePanel& panel)
{
    WCHAR name[32] = {0};
    ::GetClassNameW(::GetDlgItem(panel.m_hWnd, IDC_EXP_TIME), name, 32);
    return ::lstrcmpiW(name, L"Static") != 0;
}

// A Capture page made as the frame makes it: its sections left for later.
struct DeferredCapturePage {
    CPlainHost host;
    ShellLinksScope scope;
    CCapturePage page{&host};
    bool Make()
    {
        if (!host.Make(240, 600)) return false;
        page.DeferSections();
        return page.Create(CCapturePage::IDD, &host) != FALSE;
    }
};

}  // namespace

TEST(TabPage, SectionsAreBuiltOneAStepAndHeldPartsReadAbsent)
{
    DeferredCapturePage made;
    ASSERT_TRUE(made.Make());
    CCapturePage& page = made.page;
    ASSERT_EQ(page.m_sections.size(), 1u);
    {
        ShellBuildHold hold;
        EXPECT_EQ(static_cast<CExposurePanel*>(Links().exposure), nullptr);
        EXPECT_EQ(static_cast<CCapturePage*>(Links().capturePage), nullptr);
        EXPECT_EQ(page.m_sections.size(), 1u);
        // A part the page made already is there while held too.
        EXPECT_EQ(Links().camera, &page.m_cameraPanel);
    }
    {
        CPreviewWnd preview;
        ASSERT_TRUE(preview.Create(CPreviewWnd::IDD, &made.host));
        ::Sleep(1100);
        for (WPARAM status : {WPARAM(1), WPARAM(0), WPARAM(3)})
            preview.SendMessage(WM_CAMERA_FRAME_STATUS, status, 25000);
        PumpMessagesFor(50);
        EXPECT_EQ(page.m_sections.size(), 1u);
        EXPECT_EQ(page.m_exposurePanel.m_hWnd, nullptr);
        preview.DestroyWindow();
    }
    size_t steps = 0, sections = page.m_sections.size();
    bool restWaited = false, saveRestWaited = false;
    while (page.BuildStep()) {
        ASSERT_LT(++steps, 20u);
        ASSERT_LE(page.m_sections.size(), sections + 1);
        sections = page.m_sections.size();
        EXPECT_FALSE(page.m_sections.back()->IsExpanded());
        EXPECT_FALSE(page.SectionsBuilt());
        if (page.m_exposurePanel.IsRestPending()) {
            restWaited = true;
            EXPECT_EQ(sections, 3u);
            EXPECT_FALSE(TimeInputMade(page.m_exposurePanel));
        }
        if (page.m_capturePanel.IsRestPending()) {
            saveRestWaited = true;
            EXPECT_EQ(FormatCount(page.m_capturePanel), 0);
        }
    }
    EXPECT_TRUE(restWaited);
    EXPECT_TRUE(saveRestWaited);
    EXPECT_GE(FormatCount(page.m_capturePanel), 3);
    EXPECT_TRUE(page.SectionsBuilt());
    EXPECT_GT(steps, 6u);
    EXPECT_FALSE(page.BuildStep());
    EXPECT_EQ(page.m_sections.size(), 6u);
    EXPECT_TRUE(TimeInputMade(page.m_exposurePanel));
    EXPECT_EQ(static_cast<CExposurePanel*>(Links().exposure), &page.m_exposurePanel);
    CRect last, before;
    page.m_sections[5]->GetWindowRect(&last);
    page.m_sections[4]->GetWindowRect(&before);
    EXPECT_EQ(last.top, before.bottom + 5);
    page.DestroyWindow();
}

// A part asked for while its panel waits for the rest of its making comes whole.
TEST(TabPage, APanelAskedForBetweenItsStepsComesWhole)
{
    DeferredCapturePage made;
    ASSERT_TRUE(made.Make());
    CCapturePage& page = made.page;
    for (int i = 0; i < 10 && !page.m_exposurePanel.IsRestPending(); i++) EXPECT_TRUE(page.BuildStep());
    ASSERT_TRUE(page.m_exposurePanel.IsRestPending());
    CExposurePanel* exposure = Links().exposure;
    EXPECT_EQ(exposure, &page.m_exposurePanel);
    EXPECT_FALSE(page.m_exposurePanel.IsRestPending());
    EXPECT_TRUE(TimeInputMade(page.m_exposurePanel));
    EXPECT_TRUE(page.SectionsBuilt());
    EXPECT_EQ(page.m_sections.size(), 6u);
    EXPECT_FALSE(page.BuildStep());
    page.DestroyWindow();
}

// What the first paint does not show is built later: asking the links for it builds it.
TEST(TabPage, SectionsLeftForLaterAreBuiltOnceWhenTheLinksAskForThem)
{
    CPlainHost host;
    ASSERT_TRUE(host.Make(240, 600));
    ShellLinksScope scope;
    {
        CImagePage page(&host);
        page.DeferSections();
        ASSERT_TRUE(page.Create(CImagePage::IDD, &host));
        // Only the floating layers panel comes with the page.
        EXPECT_TRUE(page.m_sections.empty());
        EXPECT_NE(page.m_layersDialog.m_hWnd, nullptr);
        EXPECT_EQ(Links().imageAdjust.Peek(), &page.m_imageAdjustPanel);
        EXPECT_TRUE(page.m_sections.empty());

        CStampPanel* stamp = Links().stamp;
        EXPECT_EQ(stamp, &page.m_stampPanel);
        ASSERT_EQ(page.m_sections.size(), 5u);
        EXPECT_NE(page.m_stampPanel.m_hWnd, nullptr);
        EXPECT_NE(page.m_fusionPanel.m_hWnd, nullptr);
        EXPECT_TRUE(page.m_sections[0]->IsExpanded());
        for (size_t i = 1; i < page.m_sections.size(); i++) EXPECT_FALSE(page.m_sections[i]->IsExpanded());
        // Built once: further asks change nothing.
        EXPECT_NE(Links().imagePage->m_hWnd, nullptr);
        Links().channelMerge->UpdateControlState();
        EXPECT_EQ(page.m_sections.size(), 5u);
        page.DestroyWindow();
    }
    {
        // The collapsed Capture sections follow the first; nothing is built while the
        // frame goes.
        CCapturePage page(&host);
        page.DeferSections();
        ASSERT_TRUE(page.Create(CCapturePage::IDD, &host));
        ASSERT_EQ(page.m_sections.size(), 1u);
        EXPECT_NE(page.m_cameraPanel.m_hWnd, nullptr);
        Links().noMoreBuilds = true;
        CCapturePanel* capture = Links().capture;
        EXPECT_EQ(capture, &page.m_capturePanel);
        EXPECT_EQ(page.m_capturePanel.m_hWnd, nullptr);
        EXPECT_EQ(page.m_sections.size(), 1u);
        Links().noMoreBuilds = false;
        ASSERT_EQ((*Links().captureSections).size(), 6u);
        EXPECT_NE(page.m_paramGroupPanel.m_hWnd, nullptr);
        CRect first, second;
        page.m_sections[0]->GetWindowRect(&first);
        page.m_sections[1]->GetWindowRect(&second);
        EXPECT_EQ(second.top, first.bottom + 5);
        page.DestroyWindow();
    }
}
