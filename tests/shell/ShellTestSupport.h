// Shared pieces of the shell tests: the whole main frame built once per test program
// through the document template, as the program builds it, and small window helpers.
#pragma once
#include "support/gtest.h"
#include "support/wintest.h"

#include "afxwin.h"
#include "app/shell/ShellLinks.h"
#include "app/shell/MainFrame.h"
#include <algorithm>

// The frame, made on first use with the program's template and kept for the rest of
// the run (the camera library cannot be shut down and started again in one process).
CMainFrame* SharedFrame();
// What the shared frame had made once its template had opened it, before any test.
struct FrameAsOpened
{
    bool measurePanel = false;
    // The popups nothing shows at first, made once the frame is built.
    bool comparePane = false, compareWindow = false, focusMeter = false;
};
const FrameAsOpened& SharedFrameAsOpened();
// Moves the frame's window to (0, 0, width, height) and runs its layout.
void SizeFrame(int width, int height);
// Whether a window has nothing left to paint.
bool NothingToPaint(HWND hwnd);
CRect ScreenRect(CWnd& wnd);
CRect ScreenRect(HWND hwnd);
// Answers message boxes and other captioned dialogs with a button and leaves the
// program's captionless panels (dialogs too) alone.
class BoxWatcher
{
public:
    explicit BoxWatcher(int button);
    int Count() const { return (int)m_count; }
    std::u16string LastText() const;
    bool WaitForCount(int n, DWORD timeoutMs) { return WaitFor([&] { return Count() >= n; }, timeoutMs); }

private:
    volatile LONG m_count = 0;
    mutable CRITICAL_SECTION m_lock;
    std::u16string m_last;
    DialogWatcher m_watcher;
};

// Share of pixels of a screen rectangle that differ from colour by more than tolerance.
double ShareUnlike(const CRect& screen, COLORREF colour, int tolerance);
