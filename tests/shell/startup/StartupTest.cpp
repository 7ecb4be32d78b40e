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
    PumpMessagesFor(10000);
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
        DWORD pid = 0; GetWindowThreadProcessId(h, &pid);
        if (pid != p.Pid() || !IsWindowVisible(h)) continue;
        RECT r; GetWindowRect(h, &r);
        printf("z %p owner=%p ex=%lx %d,%d %dx%d\n", (void*)h, (void*)GetWindow(h, GW_OWNER), (unsigned long)GetWindowLongW(h, GWL_EXSTYLE), (int)r.left, (int)r.top, (int)(r.right-r.left), (int)(r.bottom-r.top));
    }
    fflush(stdout);
    SaveScreenshot(nullptr, "probe");
    p.Close();
}
