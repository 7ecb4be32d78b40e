// A rectangle tracker with eight resize handles and a move area that never leaves its
// bounding rectangle, drawn with its own pens in its own colour.
#pragma once
#include "afxwin.h"

class CRegionTracker
{
public:
    enum Style {
        solidLine = 1, dottedLine = 2, hatchedBorder = 4, resizeInside = 8, resizeOutside = 16,
        hatchInside = 32, centeredHandles = 64
    };
    enum Hit {
        hitNothing = -1, hitTopLeft = 0, hitTopRight = 1, hitBottomRight = 2, hitBottomLeft = 3, hitTop = 4,
        hitRight = 5, hitBottom = 6, hitLeft = 7, hitMiddle = 8
    };

    CRegionTracker();
    CRegionTracker(LPCRECT lpSrcRect, UINT nStyle);
    virtual ~CRegionTracker();

    void SetColor(COLORREF cr);
    void SetBounds(const RECT& rect) { m_rectBounds = rect; }
    // Cursor resources of the handles and of the move area (shared by all trackers).
    static void SetCursors(UINT nNorthSouth, UINT nWestEast, UINT nNorthWestSouthEast, UINT nNorthEastSouthWest,
                           UINT nMove);

    int HitTest(CPoint point) const;
    BOOL SetCursor(CWnd* pWnd, UINT nHitTest) const;
    // Runs its own loop until the button is released; FALSE when refused (another window
    // holds the mouse) or nothing changed.  Escape and the right button put it back.
    BOOL Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert = FALSE, CWnd* pWndClipTo = NULL);
    void Draw(CDC* pDC) const;
    void GetTrueRect(LPRECT lpTrueRect) const;
    virtual UINT GetHandleMask() const;
    virtual int GetHandleSize(LPCRECT lpRect = NULL) const;

    CRect m_rect;
    UINT m_nStyle;
    CSize m_sizeMin;
    CRect m_rectBounds;
    COLORREF m_crColor;

protected:
    // Called after each change during Track: the owner repaints with the new rectangle.
    virtual void DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd);
    CRect HandleRect(int nHandle, const CRect& normal) const;
    int HandleReach() const;   // how far handles reach beyond the frame
    void Construct();
};
