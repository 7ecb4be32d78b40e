// Low and high markers under a histogram: the levels bar without its middle marker.
#pragma once
#include "MarkerBar.h"

// Posted to the parent on every mouse move while a marker is dragged (wParam the id).
#define WM_RANGE_CHANGED 0x0910

class CRangeBar : public CMarkerBar
{
public:
    enum { IDC_TRACK = 2020, IDC_LOW = 2021, IDC_HIGH = 2022 };
    CRangeBar();
    virtual ~CRangeBar();

    BOOL Create(CWnd* pParent, const RECT& rect, UINT nID, UINT nTrackBmp, UINT nLowBmp, UINT nHighBmp);
};
