// Start-up and layout figures of the main program:
//   process start to painted main window of Orvisnap (default bench)
//     /  the same for a bare Win32 program showing a maximised window      (aim: at most 3)
//   process start to the first live frame on the screen (work done after the first paint
//     shows here)
//   the longest answer of the main window to SendMessageTimeout(WM_NULL), from when it
//     shows (and from when it has painted) to 3 s after the first live frame (aim 100 ms)
//   each tab switch to its painted page, idle and with 8 busy threads (aim 100 / 300 ms)
//   one WM_NCHITTEST of the main frame with its layout unchanged
//     /  one WM_NCHITTEST of a bare window
//   one WM_NCHITTEST after a panel was moved (a full layout pass)
// Also prints, measured in this process, how long building the frame as first painted
// takes, the work left for after the first paint (the camera library's first look for
// cameras, the sections not shown at first), and opening the camera.
#include "afxwin.h"
#include "app/shell/MainFrame.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/DravenluxView.h"
#include "app/shell/ShellLinks.h"
#include "app/shell/ManageView.h"
#include "app/capture/CameraPanel.h"
#include "app/shell/CapturePage.h"
#include "app/shell/BrowsePage.h"
#include "app/shell/ImagePage.h"
#include "app/res/resource.h"
#include "camera/core/QrCCamera.h"

#include <stdio.h>
#include <stdlib.h>
#include <algorithm>
#include <vector>

namespace {

double Now()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(frequency.QuadPart);
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

struct Found {
    DWORD pid;
    LPCWSTR title;
    HWND hwnd;
};

BOOL CALLBACK FindTitled(HWND hwnd, LPARAM lp)
{
    Found* f = reinterpret_cast<Found*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    WCHAR text[64] = {0};
    InternalGetWindowText(hwnd, text, 64);
    if (pid == f->pid && IsWindowVisible(hwnd) && !lstrcmpW(text, f->title)) {
        f->hwnd = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct OwnedPopups {
    DWORD pid;
    HWND owner;
    HWND biggest;
    long area;
};

BOOL CALLBACK BiggestOwned(HWND hwnd, LPARAM lp)
{
    OwnedPopups* d = reinterpret_cast<OwnedPopups*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != d->pid || GetWindow(hwnd, GW_OWNER) != d->owner || !IsWindowVisible(hwnd)) return TRUE;
    if (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) return TRUE;
    RECT r;
    GetWindowRect(hwnd, &r);
    const long area = long(r.right - r.left) * (r.bottom - r.top);
    if (area > d->area) {
        d->area = area;
        d->biggest = hwnd;
    }
    return TRUE;
}

// Whether the live preview (the biggest plain popup the frame owns) shows a picture: most
// of a grid of samples unlike its grey background, and not one flat colour (a popup not
// painted yet is flat too).
bool ShowsLivePicture(DWORD pid, HWND frame)
{
    OwnedPopups d = {pid, frame, nullptr, 0};
    EnumWindows(BiggestOwned, reinterpret_cast<LPARAM>(&d));
    if (!d.biggest) return false;
    RECT r;
    GetWindowRect(d.biggest, &r);
    HDC screen = GetDC(nullptr);
    int samples = 0, unlike = 0;
    std::vector<COLORREF> colours;
    for (int y = r.top + 8; y < r.bottom - 8; y += (r.bottom - r.top) / 12 + 1) {
        for (int x = r.left + 8; x < r.right - 8; x += (r.right - r.left) / 12 + 1) {
            const COLORREF c = GetPixel(screen, x, y);
            ++samples;
            if (abs(GetRValue(c) - 189) > 10 || abs(GetGValue(c) - 189) > 10 || abs(GetBValue(c) - 189) > 10) ++unlike;
            if (std::find(colours.begin(), colours.end(), c) == colours.end()) colours.push_back(c);
        }
    }
    ReleaseDC(nullptr, screen);
    return samples > 0 && unlike * 2 > samples && colours.size() >= 8;
}

struct Startup {
    double painted = -1;  // process start to the painted window
    double live = -1;     // process start to the first live frame shown (when asked for)
    double longestAnswer = -1;         // WM_NULL, from the window shown to 3 s after live
    int slowAnswers = 0;               // answers over 100 ms, and when the slowest of them came
    double slowestAt = -1;
    double longestAnswerPainted = -1;  // the same from the painted window on
};

// Asks the window for WM_NULL answers one after the other until told to stop, and keeps
// the longest wait, in all and since `painted` was set.
struct AnswerProbe {
    HWND hwnd = nullptr;
    volatile LONG stop = 0;
    volatile LONG painted = 0;
    double longest = 0, longestPainted = 0;
    double start = 0;  // the process's start, on Now()'s clock
    int slow = 0;
    double longestAt = -1;
};

DWORD WINAPI ProbeAnswers(void* p)
{
    AnswerProbe* probe = static_cast<AnswerProbe*>(p);
    while (!probe->stop) {
        const bool painted = probe->painted != 0;
        const double t0 = Now();
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(probe->hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result) && !IsWindow(probe->hwnd))
            break;
        const double spent = Now() - t0;
        if (spent > 0.1) probe->slow++;
        if (spent > probe->longest) probe->longestAt = t0 - probe->start;
        probe->longest = std::max(probe->longest, spent);
        if (painted) probe->longestPainted = std::max(probe->longestPainted, spent);
        Sleep(1);
    }
    return 0;
}

// From process creation until its window titled title is shown and painted, and, with
// waitLive, until the live picture shows.
Startup TimeToPaintedWindow(LPCWSTR program, LPCWSTR title, bool waitLive)
{
    Startup result;
    WCHAR cmd[MAX_PATH];
    lstrcpyW(cmd, program);
    STARTUPINFOW si = {sizeof si};
    PROCESS_INFORMATION pi = {};
    const double t0 = Now();
    if (!CreateProcessW(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return result;
    Found f = {pi.dwProcessId, title, nullptr};
    AnswerProbe probe;
    HANDLE prober = nullptr;
    while (Now() - t0 < 120) {
        f.hwnd = nullptr;
        EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&f));
        if (f.hwnd && waitLive && !prober) {
            probe.hwnd = f.hwnd;
            probe.start = t0;
            prober = CreateThread(nullptr, 0, ProbeAnswers, &probe, 0, nullptr);
        }
        RECT r;
        if (f.hwnd && !GetUpdateRect(f.hwnd, &r, FALSE)) {
            result.painted = Now() - t0;
            break;
        }
        Sleep(1);
    }
    probe.painted = 1;
    while (waitLive && f.hwnd && Now() - t0 < 120) {
        if (ShowsLivePicture(pi.dwProcessId, f.hwnd)) {
            result.live = Now() - t0;
            break;
        }
        Sleep(5);
    }
    if (prober) {
        if (result.live > 0) Sleep(3000);
        probe.stop = 1;
        WaitForSingleObject(prober, 60000);
        CloseHandle(prober);
        result.longestAnswer = probe.longest;
        result.slowAnswers = probe.slow;
        result.slowestAt = probe.longestAt;
        result.longestAnswerPainted = probe.longestPainted;
    }
    if (f.hwnd) PostMessageW(f.hwnd, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return result;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

// Pumps until the thread has nothing left to paint (every window invalidated by what
// came before has painted) or limit seconds have passed.
void PumpUntilPainted(double limit)
{
    const double t0 = Now();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (!(HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT) || Now() - t0 > limit) return;
    }
}

volatile LONG g_spin = 0;
DWORD WINAPI Spin(void*)
{
    volatile unsigned long long x = 0;
    while (g_spin) x = x + 1;
    return 0;
}

// Each switch between the three tabs, from the selection as a click makes it to the
// thread having painted what the switch changed.
void TimeTabSwitches(CManageView* manage, const char* label)
{
    const int order[] = {CManageView::TAB_BROWSE, CManageView::TAB_IMAGE, CManageView::TAB_CAPTURE,
                         CManageView::TAB_IMAGE, CManageView::TAB_BROWSE, CManageView::TAB_CAPTURE};
    const char* names[] = {"Capture", "Browse", "Image"};
    printf("tab switches to the painted page, %s:", label);
    int from = manage->GetCurrentTab();
    double longest = 0;
    for (int to : order) {
        const double t0 = Now();
        manage->SelectTab(to);
        PumpUntilPainted(10);
        const double spent = Now() - t0;
        longest = std::max(longest, spent);
        printf(" %s>%s %.0f ms;", names[from], names[to], spent * 1e3);
        from = to;
    }
    printf(" longest %.0f ms\n", longest * 1e3);
}

}  // namespace

int main()
{
    setvbuf(stdout, nullptr, _IONBF, 0);
    // 1. Start-up, each program three times in turn.
    std::vector<double> bare, program, live;
    double longestAnswer = 0, longestAnswerPainted = 0, longestAt = -1;
    int slowAnswers = 0;
    for (int i = 0; i < 3; i++) {
        bare.push_back(TimeToPaintedWindow(L"bench_bare_window.exe.so", L"BareWindow", false).painted);
        const Startup s = TimeToPaintedWindow(L"Orvisnap.exe.so", L"Orvisnap", true);
        program.push_back(s.painted);
        live.push_back(s.live);
        if (s.longestAnswer > longestAnswer) longestAt = s.slowestAt;
        longestAnswer = std::max(longestAnswer, s.longestAnswer);
        slowAnswers += s.slowAnswers;
        longestAnswerPainted = std::max(longestAnswerPainted, s.longestAnswerPainted);
    }
    const double b = Median(bare), p = Median(program), l = Median(live);
    if (b <= 0 || p <= 0) {
        // No window was seen (no display, or the program did not start): no figure.
        printf("start to painted window: not measured (Orvisnap %.3f s, bare window %.3f s)\n", p, b);
        return 1;
    }
    printf("start to painted window: Orvisnap %.3f s, bare window %.3f s, ratio %.2f (aim <= 3)\n", p, b, p / b);
    printf("start to the first live frame on the screen: %.3f s (%.3f s after the painted window; aim <= 1.8 s "
           "and <= 1.0 s)\n", l, l - p);
    printf("longest WM_NULL answer of the main window until 3 s after the first live frame (3 starts): %.0f ms from "
           "its showing, %.0f ms from its first paint (aim <= 100 ms); %d answers over 100 ms, the longest asked %.2f s "
           "after the start\n", longestAnswer * 1e3, longestAnswerPainted * 1e3, slowAnswers, longestAt);

    // 2. Where the program's time goes, in this process.
    double t0 = Now();
    CSingleDocTemplate* tmpl = new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CDravenluxDoc),
                                                      RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CDravenluxView));
    tmpl->OpenDocumentFile(nullptr);
    CMainFrame* frame = Links().frame;
    const double build = Now() - t0;
    frame->ShowWindow(SW_SHOWMAXIMIZED);
    frame->UpdateWindow();
    t0 = Now();
    CManageView* manage = Links().manage;
    while (manage && Now() - t0 < 60 &&
           !(manage->m_capturePage.SectionsBuilt() && manage->m_browsePage.SectionsBuilt() &&
             manage->m_imagePage.SectionsBuilt())) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        Pump();
    }
    const double afterPaint = Now() - t0;
    Pump();
    t0 = Now();
    if (Links().camera) Links().camera->PlayCamera();
    const double open = Now() - t0;
    // The camera library's look for cameras, which the frame makes after the first paint.
    if (Links().camera) Links().camera->PlayCamera();
    t0 = Now();
    QrCReflashCamera();
    const double reflash = Now() - t0;
    if (Links().camera) Links().camera->PlayCamera();
    printf("in process: frame as first painted %.3f s; after the first paint until every section is built %.3f s "
           "(the camera library's look for cameras, on its own thread, about %.3f s; the sections not shown at "
           "first, one between messages); camera open %.3f s\n", build, afterPaint, reflash, open);

    // Tab switches, idle and with 8 threads spinning.
    TimeTabSwitches(manage, "idle");
    g_spin = 1;
    HANDLE spinners[8];
    for (HANDLE& h : spinners) h = CreateThread(nullptr, 0, Spin, nullptr, 0, nullptr);
    TimeTabSwitches(manage, "8 busy threads");
    g_spin = 0;
    WaitForMultipleObjects(8, spinners, TRUE, INFINITE);
    for (HANDLE h : spinners) CloseHandle(h);

    // 3. One hit test: the frame's, with its layout unchanged, against a bare window's;
    //    then the frame's after a panel was moved from its place, which runs the layout.
    CWnd plain;
    plain.CreateEx(0, AfxRegisterWndClass(0), L"plain", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, NULL, NULL);
    CRect fr;
    frame->GetWindowRect(&fr);
    const LPARAM at = MAKELPARAM(fr.CenterPoint().x, fr.CenterPoint().y);
    frame->SendMessage(WM_NCHITTEST, 0, at);
    std::vector<double> framePass, plainPass, layoutPass;
    for (int i = 0; i < 2000; i++) {
        t0 = Now();
        frame->SendMessage(WM_NCHITTEST, 0, at);
        framePass.push_back(Now() - t0);
        t0 = Now();
        plain.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(400, 300));
        plainPass.push_back(Now() - t0);
    }
    CWnd* moved = Links().preview;
    for (int i = 0; i < 50 && moved; i++) {
        CRect mr;
        moved->GetWindowRect(&mr);
        moved->SetWindowPos(NULL, mr.left + 1, mr.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        t0 = Now();
        frame->SendMessage(WM_NCHITTEST, 0, at);
        layoutPass.push_back(Now() - t0);
    }
    const double fp = Median(framePass), pp = Median(plainPass);
    printf("WM_NCHITTEST (medians): frame, layout unchanged %.1f us, bare window %.1f us, ratio %.1f; "
           "frame after a panel moved (full layout pass) %.1f us\n",
           fp * 1e6, pp * 1e6, fp / pp, Median(layoutPass) * 1e6);
    if (Links().camera) Links().camera->PlayCamera();

    // 4. Of the frame's build, each tab page with its sections and panels, made again on
    //    a plain window (the Capture page includes the camera library's look for cameras).
    {
        ShellLinksScope scope;
        double capture, browse, image;
        {
            t0 = Now();
            CCapturePage page(&plain);
            page.Create(CCapturePage::IDD, &plain);
            capture = Now() - t0;
            page.DestroyWindow();
        }
        {
            t0 = Now();
            CBrowsePage page(&plain);
            page.Create(CBrowsePage::IDD, &plain);
            browse = Now() - t0;
            page.DestroyWindow();
        }
        {
            t0 = Now();
            CImagePage page(&plain);
            page.Create(CImagePage::IDD, &plain);
            image = Now() - t0;
            page.DestroyWindow();
        }
        printf("pages: Capture %.3f s, Browse %.3f s, Image %.3f s\n", capture, browse, image);
    }
    plain.DestroyWindow();
    return 0;
}
