#include "support/gtest.h"
#include "support/pngio.h"
#include "support/wintest.h"

TEST(DialogWatcher, AnswersMessageBoxAndRecordsItsTexts)
{
    DialogWatcher watcher(IDNO);
    int answer = MessageBoxW(nullptr, L"未知設備", L"Orvisnap", MB_YESNO | MB_ICONQUESTION);
    watcher.Stop();
    EXPECT_EQ(IDNO, answer);
    ASSERT_EQ(1, watcher.Count());
    EXPECT_EQ(u"未知設備", watcher.LastText());
    EXPECT_EQ(u"Orvisnap", watcher.LastCaption());
    EXPECT_EQ(IDNO, watcher.Dialogs()[0].pressed);
}

TEST(DialogWatcher, RuleAnswersEachDialogAndStopEndsWatching)
{
    DialogWatcher watcher([](const SeenDialog& d) {
        return d.caption == u"A" ? IDYES : d.caption == u"B" ? IDCANCEL : IDRETRY;
    });
    EXPECT_EQ(IDYES, MessageBoxW(nullptr, L"first", L"A", MB_YESNOCANCEL));
    EXPECT_EQ(IDCANCEL, MessageBoxW(nullptr, L"second", L"B", MB_YESNOCANCEL));

    // A modeless dialog of this thread is answered too; its button press
    // arrives as WM_COMMAND.
    HWND dlg = CreateWindowExW(0, L"#32770", L"設定", WS_POPUP | WS_CAPTION, 10, 10, 200,
                               100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(dlg);
    CreateWindowExW(0, L"Static", L"狀態", WS_CHILD | WS_VISIBLE, 5, 5, 100, 20, dlg,
                    reinterpret_cast<HMENU>(0xFFFF), nullptr, nullptr);
    MessageSpy spy(dlg);
    ShowWindow(dlg, SW_SHOWNA);
    ASSERT_TRUE(spy.WaitForMessage(WM_COMMAND, 5000));
    EXPECT_EQ(IDRETRY, LOWORD(spy.LastWParam(WM_COMMAND)));
    ASSERT_EQ(3, watcher.Count());
    EXPECT_EQ(u"狀態", watcher.LastText());
    EXPECT_EQ(u"first", watcher.Dialogs()[0].Text());

    watcher.Stop();
    ShowWindow(dlg, SW_HIDE);
    spy.Clear();
    ShowWindow(dlg, SW_SHOWNA);
    EXPECT_FALSE(spy.WaitForMessage(WM_COMMAND, 300));
    EXPECT_EQ(3, watcher.Count());
    DestroyWindow(dlg);
}

static const UINT kPing = WM_APP + 7;

static DWORD WINAPI PostPings(void* target)
{
    for (int i = 0; i < 50; ++i)
        PostMessageW(static_cast<HWND>(target), kPing, 1, i);
    return 0;
}

TEST(MessageSpy, ReceiverCountsPostsFromAnotherThread)
{
    MessageReceiver receiver;
    ASSERT_TRUE(IsWindow(receiver.Hwnd()));
    HANDLE t = CreateThread(nullptr, 0, PostPings, receiver.Hwnd(), 0, nullptr);
    ASSERT_TRUE(receiver.WaitForMessage(kPing, 5000, 50));
    EXPECT_EQ(50, receiver.Count(kPing));
    EXPECT_EQ(49, receiver.LastLParam(kPing));
    LPARAM expected = 0;
    for (const SpyMessage& m : receiver.Messages()) {
        if (m.msg == kPing) {
            EXPECT_EQ(expected++, m.lParam);
        }
    }
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);

    // A condition that never holds gives up at its limit, not before.
    DWORD start = GetTickCount();
    EXPECT_FALSE(WaitFor([] { return false; }, 150));
    DWORD spent = GetTickCount() - start;
    EXPECT_GE(spent, 150u);
    EXPECT_LT(spent, 2000u);
    EXPECT_FALSE(receiver.WaitForMessage(kPing, 50, 51));
}

static LRESULT CALLBACK AnswerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return msg == WM_APP + 1 ? 42 : DefWindowProcW(hwnd, msg, wp, lp);
}

static HWND MakeWindow(WNDPROC proc, const WCHAR* cls, HBRUSH background, int x, int y,
                       int w, int h, DWORD style)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = cls;
    wc.hbrBackground = background;
    RegisterClassW(&wc);
    return CreateWindowExW(0, cls, L"", style, x, y, w, h, nullptr, nullptr, wc.hInstance,
                           nullptr);
}

TEST(MessageSpy, ForwardsToTheWindowAndRestoresIt)
{
    HWND hwnd = MakeWindow(AnswerProc, L"OrvSpyTarget", nullptr, 0, 0, 50, 50, WS_POPUP);
    ASSERT_TRUE(hwnd);
    LONG_PTR original = GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
    {
        MessageSpy spy(hwnd);
        EXPECT_EQ(42, SendMessageW(hwnd, WM_APP + 1, 5, 6));
        EXPECT_EQ(1, spy.Count(WM_APP + 1));
        EXPECT_EQ(5u, spy.LastWParam(WM_APP + 1));
        EXPECT_EQ(6, spy.LastLParam(WM_APP + 1));
        MessageSpy second(hwnd);  // refused: would forward to itself
        EXPECT_EQ(42, SendMessageW(hwnd, WM_APP + 1, 0, 0));
        EXPECT_EQ(0, second.Count(WM_APP + 1));
        EXPECT_EQ(2, spy.Count(WM_APP + 1));
    }
    EXPECT_EQ(original, GetWindowLongPtrW(hwnd, GWLP_WNDPROC));

    // The window going away first leaves the spy harmless.
    {
        MessageSpy spy(hwnd);
        DestroyWindow(hwnd);
        EXPECT_EQ(1, spy.Count(WM_NCDESTROY));
    }
}

static bool CentreIs(const char* path, int x, int y, COLORREF c, int* w = nullptr,
                     int* h = nullptr)
{
    std::vector<unsigned char> rgb;
    int pw = 0, ph = 0;
    if (!ReadPngRgb(path, rgb, pw, ph) || x >= pw || y >= ph)
        return false;
    if (w)
        *w = pw;
    if (h)
        *h = ph;
    const unsigned char* p = &rgb[(static_cast<size_t>(y) * pw + x) * 3];
    return p[0] == GetRValue(c) && p[1] == GetGValue(c) && p[2] == GetBValue(c);
}

TEST(Screenshot, SolidWindowDecodesWithItsColour)
{
    const COLORREF colour = RGB(200, 30, 60);
    HBRUSH brush = CreateSolidBrush(colour);
    HWND hwnd = MakeWindow(DefWindowProcW, L"OrvShotTarget", brush, 40, 40, 120, 80,
                           WS_POPUP | WS_VISIBLE);
    ASSERT_TRUE(hwnd);
    UpdateWindow(hwnd);

    std::string dir = ScreenshotDir();
    ASSERT_FALSE(dir.empty());
    std::string path = SaveScreenshot(hwnd, "support_window");
    ASSERT_EQ(dir + "/support_window.png", path);
    int w = 0, h = 0;
    EXPECT_TRUE(CentreIs(path.c_str(), 60, 40, colour, &w, &h));
    EXPECT_EQ(120, w);
    EXPECT_EQ(80, h);

    // The whole screen shows the window once the display has caught up.
    std::string screen = dir + "/support_screen.png";
    EXPECT_TRUE(WaitFor([&] {
        return SaveScreenshotPng(nullptr, screen.c_str()) &&
               CentreIs(screen.c_str(), 100, 80, colour, &w, &h);
    }, 5000));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), w);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), h);

    DestroyWindow(hwnd);
    DeleteObject(brush);
}

namespace {
DWORD WINAPI AnswerYesLater(void* box)
{
    Sleep(1500);
    HWND h = *static_cast<HWND*>(box);
    PostMessageW(h, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(h, IDYES)));
    return 0;
}
}  // namespace

// A box shown under a guard of one second; its answer and how long it stayed.
void ShowGuarded(const WCHAR* text, UINT type, int* answer, DWORD* spent)
{
    UnansweredBoxGuard guard(1000);
    const DWORD t0 = GetTickCount();
    *answer = MessageBoxW(nullptr, text, L"Orvisnap", type);
    *spent = GetTickCount() - t0;
}

TEST(UnansweredBoxGuard, FailsWithTheBoxTextWithinSecondsAndClosesItWithTheLeastChoice)
{
    int answer = 0;
    DWORD spent = 0;
    EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(ShowGuarded(L"無法讀寫圖層文件！", MB_OK | MB_ICONERROR, &answer, &spent),
                                           "\"Orvisnap\": 無法讀寫圖層文件！");
    EXPECT_EQ(IDOK, answer);
    EXPECT_LT(spent, 8000u);
    EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(ShowGuarded(L"覆蓋？", MB_YESNOCANCEL, &answer, &spent), "覆蓋？");
    EXPECT_EQ(IDCANCEL, answer);
    EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(ShowGuarded(L"覆蓋？", MB_YESNO, &answer, &spent), "覆蓋？");
    EXPECT_EQ(IDNO, answer);
}

TEST(UnansweredBoxGuard, LeavesABoxAWatcherMetToTheTest)
{
    UnansweredBoxGuard guard(300);
    HWND seen = nullptr;
    DialogWatcher watcher([&seen](const SeenDialog& d) {
        seen = d.hwnd;
        CloseHandle(CreateThread(nullptr, 0, AnswerYesLater, &seen, 0, nullptr));
        return 0;
    });
    EXPECT_EQ(IDYES, MessageBoxW(nullptr, L"繼續？", L"Orvisnap", MB_YESNO));
}
