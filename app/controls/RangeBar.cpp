#include "RangeBar.h"

CRangeBar::CRangeBar() : CMarkerBar(FALSE, IDC_TRACK, IDC_LOW, IDC_HIGH, 0, WM_RANGE_CHANGED) {}
CRangeBar::~CRangeBar() {}

BOOL CRangeBar::Create(CWnd* pParent, const RECT& rect, UINT nID, UINT nTrackBmp, UINT nLowBmp, UINT nHighBmp)
{
    return CreateBar(pParent, rect, nID, nTrackBmp, nLowBmp, nHighBmp, 0);
}
