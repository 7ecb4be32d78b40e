// Regions of the live picture chosen on the screen, for the levels and white balance
// of an area: the region dialog is kept inside the part of the drawing control that
// the preview window shows, with any shown scroll bar outside it.
#pragma once
#include "afxwin.h"

class CPreviewWnd;

// Screen rectangle of the drawing control (child 146) as the preview shows it; empty
// when there is nothing to choose in.
CRect PreviewRegionBounds(CPreviewWnd* preview);

// Runs the screen-region dialog inside those bounds.  TRUE with the chosen rectangle in
// the drawing control's client coordinates; FALSE when cancelled or when there is no
// shown picture.
BOOL PickPreviewRegion(CPreviewWnd* preview, CRect* clientRect);
