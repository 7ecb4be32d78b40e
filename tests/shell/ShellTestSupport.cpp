#include "ShellTestSupport.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/DravenluxView.h"
#include "app/res/resource.h"
#include <vector>

CMainFrame* SharedFrame()
{
    static CSingleDocTemplate* s_template = nullptr;
    if (s_template == nullptr) {
        s_template = new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CDravenluxDoc), RUNTIME_CLASS(CMainFrame),
                                            RUNTIME_CLASS(CDravenluxView));
        s_template->OpenDocumentFile(nullptr);
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
    const int w = screen.Width(), h = screen.Height();
    if (w <= 0 || h <= 0)
        return 0;
    HDC src = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(src);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(src, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, src, screen.left, screen.top, SRCCOPY);
    GdiFlush();
    long unlike = 0;
    const unsigned char* p = static_cast<const unsigned char*>(bits);
    for (long i = 0; i < (long)w * h; i++, p += 4) {
        if (abs(p[2] - GetRValue(colour)) > tolerance || abs(p[1] - GetGValue(colour)) > tolerance ||
            abs(p[0] - GetBValue(colour)) > tolerance)
            ++unlike;
    }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, src);
    return (double)unlike / ((double)w * h);
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
