// Start-up and layout figures of the main program:
//   process start to painted main window of Orvisnap (default bench, camera opened)
//     /  the same for a bare Win32 program showing a maximised window      (aim: at most 3)
//   one WM_NCHITTEST of the main frame (a full layout pass)
//     /  one WM_NCHITTEST of a bare window
// Also prints, measured in this process, how long building the frame (views, pages,
// panels, the camera library's first look for cameras) and opening the camera take.
#include "afxwin.h"
#include "app/shell/MainFrame.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/DravenluxView.h"
#include "app/shell/ShellLinks.h"
#include "app/capture/CameraPanel.h"
#include "app/shell/CapturePage.h"
#include "app/shell/BrowsePage.h"
#include "app/shell/ImagePage.h"
#include "app/res/resource.h"
#include "camera/core/QrCCamera.h"

#include <stdio.h>
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

// Seconds from process creation until its window titled title is shown and painted.
double TimeToPaintedWindow(LPCWSTR program, LPCWSTR title)
{
    WCHAR cmd[MAX_PATH];
    lstrcpyW(cmd, program);
    STARTUPINFOW si = {sizeof si};
    PROCESS_INFORMATION pi = {};
    const double t0 = Now();
    if (!CreateProcessW(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
    Found f = {pi.dwProcessId, title, nullptr};
    double t = -1;
    while (Now() - t0 < 120) {
        f.hwnd = nullptr;
        EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&f));
        RECT r;
        if (f.hwnd && !GetUpdateRect(f.hwnd, &r, FALSE)) {
            t = Now() - t0;
            break;
        }
        Sleep(1);
    }
    if (f.hwnd) PostMessageW(f.hwnd, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return t;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

}  // namespace

int main()
{
    // 1. Start-up, each program three times in turn.
    std::vector<double> bare, program;
    for (int i = 0; i < 3; i++) {
        bare.push_back(TimeToPaintedWindow(L"bench_bare_window.exe.so", L"BareWindow"));
        program.push_back(TimeToPaintedWindow(L"Orvisnap.exe.so", L"Orvisnap"));
    }
    const double b = Median(bare), p = Median(program);
    printf("start to painted window: Orvisnap %.3f s, bare window %.3f s, ratio %.2f (aim <= 3)\n", p, b, p / b);

    // 2. Where the program's time goes, in this process.
    double t0 = Now();
    CSingleDocTemplate* tmpl = new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CDravenluxDoc),
                                                      RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CDravenluxView));
    tmpl->OpenDocumentFile(nullptr);
    CMainFrame* frame = Links().frame;
    const double build = Now() - t0;
    frame->ShowWindow(SW_SHOWMAXIMIZED);
    Pump();
    t0 = Now();
    if (Links().camera) Links().camera->PlayCamera();
    const double open = Now() - t0;
    // The camera library's look for cameras, which the Capture page makes at creation.
    if (Links().camera) Links().camera->PlayCamera();
    t0 = Now();
    QrCReflashCamera();
    const double reflash = Now() - t0;
    if (Links().camera) Links().camera->PlayCamera();
    printf("in process: frame with its views, pages and panels %.3f s (of it the camera library's look for "
           "cameras about %.3f s), camera open %.3f s\n", build, reflash, open);

    // 3. One hit test: the frame's layout pass against a bare window's.
    CWnd plain;
    plain.CreateEx(0, AfxRegisterWndClass(0), L"plain", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, NULL, NULL);
    const int n = 2000;
    CRect fr;
    frame->GetWindowRect(&fr);
    const LPARAM at = MAKELPARAM(fr.CenterPoint().x, fr.CenterPoint().y);
    t0 = Now();
    for (int i = 0; i < n; i++) frame->SendMessage(WM_NCHITTEST, 0, at);
    const double framePass = (Now() - t0) / n;
    t0 = Now();
    for (int i = 0; i < n; i++) plain.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(400, 300));
    const double plainPass = (Now() - t0) / n;
    printf("WM_NCHITTEST: frame layout pass %.1f us, bare window %.1f us, ratio %.1f\n", framePass * 1e6,
           plainPass * 1e6, framePass / plainPass);
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
