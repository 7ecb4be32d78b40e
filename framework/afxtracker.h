// The rectangle tracker: a selection rectangle drawn with its resize handles, hit
// tested, and moved, resized or rubber-banded with the mouse in a modal loop that
// keeps the capture until the left button comes up (or Escape).
#pragma once
#include "afxwin.h"

class CRectTracker
{
public:
    enum StyleFlags {
        solidLine = 1, dottedLine = 2, hatchedBorder = 4,
        resizeInside = 8, resizeOutside = 16, hatchInside = 32
    };
    enum TrackerHit {
        hitNothing = -1,
        hitTopLeft = 0, hitTopRight = 1, hitBottomRight = 2, hitBottomLeft = 3,
        hitTop = 4, hitRight = 5, hitBottom = 6, hitLeft = 7, hitMiddle = 8
    };

    CRectTracker();
    CRectTracker(LPCRECT lpSrcRect, UINT nStyle);
    virtual ~CRectTracker();

    CRect m_rect;
    UINT m_nStyle;
    int m_nHandleSize;
    CSize m_sizeMin;

    void Draw(CDC* pDC) const;
    void GetTrueRect(LPRECT lpTrueRect) const;
    int HitTest(CPoint point) const;
    int NormalizeHit(int nHandle) const;
    BOOL SetCursor(CWnd* pWnd, UINT nHitTest) const;
    // Moves or resizes from a point on the tracker; TRUE when the rectangle changed.
    BOOL Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert = FALSE, CWnd* pWndClipTo = NULL);
    // Drags a new rectangle from point; TRUE when the user dragged one.
    BOOL TrackRubberBand(CWnd* pWnd, CPoint point, BOOL bAllowInvert = TRUE);

protected:
    BOOL TrackHandle(int nHandle, CWnd* pWnd, CPoint point, CWnd* pWndClipTo);
    void GetHandleRect(int nHandle, CRect* pHandleRect) const;
    int HitTestHandles(CPoint point) const;
    void DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd);
    BOOL m_bAllowInvert;
    CRect m_rectLast;
    BOOL m_bErase;
    BOOL m_bFinalErase;
};
