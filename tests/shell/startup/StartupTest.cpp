#include "ProgramProcess.h"
#include "support/gtest.h"
#include "support/wintest.h"
#include <vector>

namespace {

BOOL CALLBACK Dump(HWND hwnd, LPARAM lp)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != (DWORD)lp) return TRUE;
    RECT r;
    GetWindowRect(hwnd, &r);
    WCHAR cls[64];
    GetClassNameW(hwnd, cls, 64);
    printf("%p vis=%d owner=%p ex=%lx (%ld,%ld,%ld,%ld) %ls\n", (void*)hwnd, IsWindowVisible(hwnd), (void*)GetWindow(hwnd, GW_OWNER),
           (long)GetWindowLongW(hwnd, GWL_EXSTYLE), r.left, r.top, r.right, r.bottom, cls);
    return TRUE;
}

}  // namespace

TEST(Startup, Probe)
{
    ProgramProcess p;
    ASSERT_TRUE(p.Start());
    HWND main = p.WaitForMainWindow(20000);
    ASSERT_NE(main, nullptr);
    PumpMessagesFor(3000);
    POINT pt = {1000, 500};
    printf("before: at root=%p main=%p\n", (void*)GetAncestor(WindowFromPoint(pt), GA_ROOT), (void*)main);
    fflush(stdout);
    std::vector<HWND> owned;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
        if (GetWindow(h, GW_OWNER) == main && IsWindowVisible(h)) owned.push_back(h);
    for (HWND h : owned) {
        RECT r; GetWindowRect(h, &r);
        BOOL ok = SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        printf("raised %p ok=%d left=%d w=%d\n", (void*)h, ok, (int)r.left, (int)(r.right - r.left));
        fflush(stdout);
    }
    HWND at = WindowFromPoint(pt);
    char cls[64] = {0};
    GetClassNameA(at, cls, 64);
    RECT ar; GetWindowRect(at, &ar);
    printf("after: at=%p id=%d cls=%s root=%p rect=%d,%d,%d,%d ex=%lx\n", (void*)at, GetDlgCtrlID(at), cls, (void*)GetAncestor(at, GA_ROOT),
           (int)ar.left, (int)ar.top, (int)ar.right, (int)ar.bottom, (unsigned long)GetWindowLongW(GetAncestor(at, GA_ROOT), GWL_EXSTYLE));
    fflush(stdout);
    PumpMessagesFor(3000);
    ShowWindow(at, SW_HIDE);
    PumpMessagesFor(1500);
    SaveScreenshot(nullptr, "probe2");
    HWND at2 = WindowFromPoint(pt);
    GetClassNameA(at2, cls, 64);
    printf("after hide: at=%p id=%d cls=%s\n", (void*)at2, GetDlgCtrlID(at2), cls);
    printf("screenshot\n");
    fflush(stdout);
    SaveScreenshot(nullptr, "probe");
    printf("closing\n");
    fflush(stdout);
    p.Close();
}
