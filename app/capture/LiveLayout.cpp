#include "app/capture/LiveLayout.h"
#include "camera/core/QrCCamera.h"

BOOL IsCameraLive()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    return mgr.runState == 0;
}

namespace {

BOOL IsVeiled(HWND hwnd)
{
    RECT box;
    return ::GetWindowRgnBox(hwnd, &box) == NULLREGION;
}

} // namespace

void ShowLiveWindow(CWnd* wnd, BOOL show)
{
    if (wnd == NULL || wnd->m_hWnd == NULL) return;
    const HWND hwnd = wnd->m_hWnd;
    const BOOL veiled = IsVeiled(hwnd);
    if (show) {
        if (veiled) {
            ::SetWindowRgn(hwnd, NULL, FALSE);
            ::RedrawWindow(hwnd, NULL, NULL, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
        }
        // Without activation: a tab switch leaves the frame active.
        if (!::IsWindowVisible(hwnd)) ::ShowWindow(hwnd, SW_SHOWNA);
    } else if (::IsWindowVisible(hwnd) && !veiled) {
        ::SetWindowRgn(hwnd, ::CreateRectRgn(0, 0, 0, 0), TRUE);
    }
}

BOOL IsLiveWindowShown(const CWnd* wnd)
{
    return wnd != NULL && wnd->m_hWnd != NULL && ::IsWindowVisible(wnd->m_hWnd) && !IsVeiled(wnd->m_hWnd);
}

void GetLiveImageSize(int* width, int* height)
{
    int w = 0, h = 0;
    if (QrCCameraGetImageSize(&w, &h) != CAM_OK || w <= 0 || h <= 0) {
        w = 640;
        h = 480;
    }
    *width = w;
    *height = h;
}

float ZoomInStep(float zoom)
{
    if (zoom >= 4.0f) return zoom;
    if (zoom < 0.25f) return 0.25f;
    if (zoom <= 0.3f) return 0.5f;
    if (zoom <= 0.5f) return 0.75f;
    if (zoom <= 0.75f) return 1.0f;
    if (zoom <= 1.0f) return 1.5f;
    if (zoom <= 1.5f) return 2.0f;
    return zoom * 2.0f;
}

float ZoomOutStep(float zoom)
{
    if (zoom <= 0.2f) return zoom;
    if (zoom >= 4.0f) return 2.0f;
    if (zoom >= 2.0f) return 1.5f;
    if (zoom >= 1.5f) return 1.0f;
    if (zoom >= 1.0f) return 0.75f;
    if (zoom >= 0.75f) return 0.5f;
    return zoom * 0.5f;
}

BOOL FitZoom(int width, int height, const CRect& client, BOOL quantise, float* zoom)
{
    const int cw = client.Width(), ch = client.Height();
    if (cw <= 0 || ch <= 0 || width <= 0 || height <= 0) return FALSE;
    float f = 1.0f;
    if (!(width < cw && height < ch)) {
        const float fw = (float)cw / (float)width;
        const float fh = (float)ch / (float)height;
        f = fw < fh ? fw : fh;
    }
    if (quantise) {
        int p = (int)(f * 100.0f);
        p -= p % 5;
        f = (float)p / 100.0f;
    }
    // A minimised frame must not hand the store a zoom of 0.
    *zoom = f < LIVE_MIN_FIT_ZOOM ? LIVE_MIN_FIT_ZOOM : f;
    return TRUE;
}

namespace {

// Setting a bar redraws it on the spot, whether or not anything changed, and a fit sets
// both bars twice: only a real change is worth that paint.
void SetScrollBarIfChanged(CWnd* wnd, int bar, SCROLLINFO& si)
{
    SCROLLINFO now;
    ZeroMemory(&now, sizeof(now));
    now.cbSize = sizeof(now);
    now.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    const DWORD shown = bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
    // The system keeps a page no larger than the range.
    UINT page = si.nPage;
    if (si.nMax >= si.nMin && page > (UINT)(si.nMax - si.nMin + 1)) page = (UINT)(si.nMax - si.nMin + 1);
    if ((wnd->GetStyle() & shown) && ::GetScrollInfo(wnd->m_hWnd, bar, &now) && now.nMin == si.nMin &&
        now.nMax == si.nMax && now.nPage == page && now.nPos == si.nPos)
        return;
    wnd->SetScrollInfo(bar, &si, TRUE);
}

}  // namespace

void SetLiveScrollBars(CWnd* wnd, int width, int height, int* horizontal, int* vertical)
{
    if (wnd->m_hWnd == NULL) return;
    CRect client;
    wnd->GetClientRect(&client);
    SCROLLINFO si;
    ZeroMemory(&si, sizeof(si));
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = width / LIVE_SCROLL_UNIT - 1;
    si.nPage = client.Width() / LIVE_SCROLL_UNIT;
    si.nPos = 0;
    SetScrollBarIfChanged(wnd, SB_HORZ, si);
    *horizontal = (int)si.nPage > si.nMax ? 0 : 1;

    si.nMax = height / LIVE_SCROLL_UNIT - 1;
    si.nPage = client.Height() / LIVE_SCROLL_UNIT;
    SetScrollBarIfChanged(wnd, SB_VERT, si);
    *vertical = (int)si.nPage > si.nMax ? 0 : 1;
}

CSize ZoomedSize(int width, int height, float zoom, BOOL mult4)
{
    int w = (int)((float)width * zoom);
    int h = (int)((float)height * zoom);
    if (mult4) {
        w -= w % 4;
        h -= h % 4;
    }
    return CSize(w < 0 ? 0 : w, h < 0 ? 0 : h);
}
