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
