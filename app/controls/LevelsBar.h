// Black-point, white-point and middle markers under a histogram.
#pragma once
#include "MarkerBar.h"

// Posted to the parent on every mouse move while a marker is dragged (wParam the id).
#define WM_LEVELS_CHANGED 0x0911

class CLevelsBar : public CMarkerBar
{
public:
    enum { IDC_TRACK = 2023, IDC_LOW = 2024, IDC_HIGH = 2025, IDC_MID = 2026 };
    CLevelsBar();
    virtual ~CLevelsBar();

    // FALSE when the window cannot be made or every bitmap id is 0.
    BOOL Create(CWnd* pParent, const RECT& rect, UINT nID, UINT nTrackBmp, UINT nLowBmp, UINT nHighBmp, UINT nMidBmp);
    void SetMid(int nMid) { SetMidValue(nMid); }
    int GetMid() const { return m_nBase + m_nMid; }
    CStatic& MidMarker() { return m_mid; }
};
