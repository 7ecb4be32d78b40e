// The common design of the levels and range bars: a track bitmap with marker bitmaps
// under it that the user drags along the track.  The markers and the track are bitmap
// statics inside the bar; values are stored relative to the range's lower end.
#pragma once
#include "SkinBackground.h"

class CMarkerBar : public CWnd
{
public:
    enum Target { TARGET_NONE = 0, TARGET_LOW = 1, TARGET_HIGH = 2, TARGET_MID = 3 };

    virtual ~CMarkerBar();

    void SetRange(int nMin, int nMax);
    void SetLowHigh(int nLow, int nHigh);   // ignored when nLow > nHigh
    int GetLow() const { return m_nBase + m_nLow; }
    int GetHigh() const { return m_nBase + m_nHigh; }
    int GetDragTarget() const { return m_nTarget; }
    // The marker statics and the track (for the owner's layout and for tests).
    CStatic& Track() { return m_track; }
    CStatic& LowMarker() { return m_low; }
    CStatic& HighMarker() { return m_high; }

protected:
    CMarkerBar(BOOL bMiddle, UINT nTrackID, UINT nLowID, UINT nHighID, UINT nMidID, UINT nNotify);
    BOOL CreateBar(CWnd* pParent, const RECT& rect, UINT nID, UINT nTrackBmp, UINT nLowBmp, UINT nHighBmp, UINT nMidBmp);
    void SetMidValue(int nMid);
    // TRUE when the marker had to move.
    BOOL PlaceMarker(CStatic& marker, int nValue);
    // Invalidates and updates the bar after markers moved.
    void UpdateAfterMove(BOOL bMoved);
    CRect TrackRect() const;

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

    CStatic m_low, m_high, m_mid, m_track;
    BYTE m_nTarget;
    int m_nBase;
    int m_nSpan;
    int m_nLow, m_nHigh, m_nMid;
    CSkinBackground m_background;

private:
    CBitmap m_bmpTrack, m_bmpLow, m_bmpHigh, m_bmpMid;   // shown by the statics
    const BOOL m_bMiddle;
    const UINT m_nTrackID, m_nLowID, m_nHighID, m_nMidID, m_nNotify;
};
