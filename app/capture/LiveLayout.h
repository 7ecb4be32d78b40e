// Geometry shared by the live preview window and its overlay: the camera's image size,
// the zoom steps, fitting, and scroll bars counted in 10-pixel positions.
#pragma once
#include "afxwin.h"

// One scroll position of the live picture, in pixels (also the main view's unit).
const int LIVE_SCROLL_UNIT = 10;
// The smallest zoom a fit gives, however small the window.
const float LIVE_MIN_FIT_ZOOM = 0.05f;

// Whether the camera library's live threads run (the record's run-state byte is 0).
BOOL IsCameraLive();

// Leaving the Capture page veils the preview and its overlay instead of hiding them: Wine
// frees a hidden top-level window's surface and makes a new full-size one at each show,
// which cost more than all the rest of the switch back.  An empty window region keeps a
// veiled window off the screen and out of the mouse's way, and its surface alive.
void ShowLiveWindow(CWnd* wnd, BOOL show);
// Whether a live window is on the screen: visible and not veiled.
BOOL IsLiveWindowShown(const CWnd* wnd);

// The image size the camera delivers (the crop's size while cropped); 640 x 480 when the
// library has no camera or reports an empty size.
void GetLiveImageSize(int* width, int* height);

// The zoom steps of the zoom buttons; the same value back when no step applies.
float ZoomInStep(float zoom);
float ZoomOutStep(float zoom);

// The zoom that fits a width x height picture into a client area, never enlarging,
// at least LIVE_MIN_FIT_ZOOM; quantised to 5 % steps when asked.  FALSE for a client
// with no area, which leaves the layout alone.
BOOL FitZoom(int width, int height, const CRect& client, BOOL quantise, float* zoom);

// Sets both scroll bars of wnd for a picture of width x height pixels at position 0;
// each flag becomes 1 when that direction has more than one page.
void SetLiveScrollBars(CWnd* wnd, int width, int height, int* horizontal, int* vertical);

// The layout size of a picture at a zoom: truncated, negatives 0, and with mult4 reduced
// to a multiple of 4.
CSize ZoomedSize(int width, int height, float zoom, BOOL mult4);

// The zoom buttons of a live window W (the preview and its overlay): W offers
// ApplyZoomToShownRect() and ApplyZoom(); zoom is its own zoom factor.  Without live
// threads they only repaint.
template <class W> void StepLiveZoom(W* wnd, float& zoom, BOOL in)
{
    if (!IsCameraLive()) {
        if (wnd->m_hWnd != NULL) wnd->Invalidate();
        return;
    }
    if (in ? zoom >= 4.0f : zoom <= 0.2f) return;
    zoom = in ? ZoomInStep(zoom) : ZoomOutStep(zoom);
    wnd->ApplyZoomToShownRect();
    if (wnd->m_hWnd != NULL) wnd->Invalidate();
}

template <class W> void SetLiveZoomActualSize(W* wnd, float& zoom)
{
    if (IsCameraLive()) {
        zoom = 1.0f;
        wnd->ApplyZoomToShownRect();
    }
    if (wnd->m_hWnd != NULL) wnd->Invalidate();
}

template <class W> void FitLiveZoom(W* wnd, float& zoom, BOOL quantise)
{
    if (wnd->m_hWnd == NULL) return;
    if (!IsCameraLive()) {
        wnd->Invalidate();
        return;
    }
    int w, h;
    GetLiveImageSize(&w, &h);
    CRect client;
    wnd->GetClientRect(&client);
    float fit;
    if (!FitZoom(w, h, client, quantise, &fit)) return;
    zoom = fit;
    wnd->ApplyZoomToShownRect();
    wnd->ApplyZoom();
    wnd->Invalidate();
}
