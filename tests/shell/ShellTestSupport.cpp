#include "ShellTestSupport.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/DravenluxView.h"
#include "app/res/resource.h"
#include <vector>

namespace {
FrameAsOpened g_asOpened;
}

const FrameAsOpened& SharedFrameAsOpened()
{
    SharedFrame();
    return g_asOpened;
}

CMainFrame* SharedFrame()
{
    static CSingleDocTemplate* s_template = nullptr;
    if (s_template == nullptr) {
        s_template = new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CDravenluxDoc), RUNTIME_CLASS(CMainFrame),
                                            RUNTIME_CLASS(CDravenluxView));
        s_template->OpenDocumentFile(nullptr);
        if (CMainFrame* frame = Links().frame) {
            g_asOpened.measurePanel = frame->m_measurePanel.m_hWnd != nullptr;
            g_asOpened.comparePane = frame->m_comparePane.m_hWnd != nullptr;
            g_asOpened.compareWindow = frame->m_compareWindow.m_hWnd != nullptr;
            g_asOpened.focusMeter = frame->m_focusMeter.m_hWnd != nullptr;
        }
        // The camera library may be called once its first look for cameras has ended.
        WaitFor([] { return Links().frame != nullptr && Links().frame->CamerasLooked(); }, 30000);
        PumpMessagesFor(100);
    }
    return Links().frame;
}

void SizeFrame(int width, int height)
{
    CMainFrame* frame = SharedFrame();
    frame->SetWindowPos(nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    frame->Layout(width, height);
    PumpMessagesFor(50);
}

bool NothingToPaint(HWND hwnd)
{
    RECT r;
    return !GetUpdateRect(hwnd, &r, FALSE);
}

CRect ScreenRect(HWND hwnd)
{
    CRect r;
    ::GetWindowRect(hwnd, &r);
    return r;
}

CRect ScreenRect(CWnd& wnd) { return ScreenRect(wnd.m_hWnd); }

double ShareUnlike(const CRect& screen, COLORREF colour, int tolerance)
{
    HDC src = GetDC(nullptr);
    const std::vector<DWORD> pixels = GrabPixels(src, screen.left, screen.top, screen.Width(), screen.Height());
    ReleaseDC(nullptr, src);
    if (pixels.empty())
        return 0;
    long unlike = 0;
    for (DWORD p : pixels) {
        if (abs(int((p >> 16) & 0xFF) - GetRValue(colour)) > tolerance ||
            abs(int((p >> 8) & 0xFF) - GetGValue(colour)) > tolerance || abs(int(p & 0xFF) - GetBValue(colour)) > tolerance)
            ++unlike;
    }
    return (double)unlike / (double)pixels.size();
}

BoxWatcher::BoxWatcher(int button)
    : m_watcher([this, button](const SeenDialog& d) {
          if ((GetWindowLongW(d.hwnd, GWL_STYLE) & WS_CAPTION) != WS_CAPTION)
              return 0;
          EnterCriticalSection(&m_lock);
          m_last = d.Text();
          LeaveCriticalSection(&m_lock);
          InterlockedIncrement(&m_count);
          return button;
      })
{
    InitializeCriticalSection(&m_lock);
}

std::u16string BoxWatcher::LastText() const
{
    EnterCriticalSection(&m_lock);
    std::u16string s = m_last;
    LeaveCriticalSection(&m_lock);
    return s;
}
