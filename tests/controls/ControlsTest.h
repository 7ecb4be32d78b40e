// Shared pieces of the control tests: a host window that records what its children
// post and send, pixel reads and pointer placement.
#pragma once
#include "support/gtest.h"
#include "support/wintest.h"
#include "afxwin.h"
#include "controls_test_res.h"
#include <memory>

// A plain visible popup whose messages are recorded; framework children reflect their
// notifications through it.
class CTestHost : public CWnd
{
public:
    // bClip FALSE lets the host paint under its children, as dialogs do.
    BOOL Open(int cx, int cy, int x = 0, int y = 0, BOOL bClip = TRUE)
    {
        LPCWSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(NULL, (LPCWSTR)IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
        if (!CreateEx(WS_EX_TOPMOST, cls, L"host", WS_POPUP | WS_VISIBLE | (bClip ? WS_CLIPCHILDREN : 0), x, y, cx, cy, NULL, NULL))
            return FALSE;
        m_spy.reset(new MessageSpy(m_hWnd));
        return TRUE;
    }
    ~CTestHost() override
    {
        m_spy.reset();
        if (m_hWnd != NULL) DestroyWindow();
    }
    MessageSpy& Spy() { return *m_spy; }
    // How many times msg arrived with this wParam.
    int Count(UINT msg, WPARAM wParam) const
    {
        int n = 0;
        for (const SpyMessage& m : m_spy->Messages())
            if (m.msg == msg && m.wParam == wParam) n++;
        return n;
    }

private:
    std::unique_ptr<MessageSpy> m_spy;
};

inline COLORREF PixelAt(HWND hWnd, int x, int y)
{
    HDC dc = ::GetDC(hWnd);
    COLORREF c = ::GetPixel(dc, x, y);
    ::ReleaseDC(hWnd, dc);
    return c;
}

inline COLORREF Painted(CWnd& wnd, int x, int y)
{
    wnd.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return PixelAt(wnd.m_hWnd, x, y);
}

// Puts the real pointer over a client point of wnd (some controls ask where it is).
inline void PointerTo(CWnd& wnd, CPoint client)
{
    wnd.ClientToScreen(&client);
    ::SetCursorPos(client.x, client.y);
}

inline LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// Colours close enough to tell a bitmap's fill from another's after the screen's
// conversions.
inline bool Near(COLORREF a, COLORREF b, int tol = 12)
{
    return abs(GetRValue(a) - GetRValue(b)) <= tol && abs(GetGValue(a) - GetGValue(b)) <= tol &&
           abs(GetBValue(a) - GetBValue(b)) <= tol;
}
