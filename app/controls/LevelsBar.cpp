#include "LevelsBar.h"

CLevelsBar::CLevelsBar() : CMarkerBar(TRUE, IDC_TRACK, IDC_LOW, IDC_HIGH, IDC_MID, WM_LEVELS_CHANGED) {}
CLevelsBar::~CLevelsBar() {}

BOOL CLevelsBar::Create(CWnd* pParent, const RECT& rect, UINT nID, UINT nTrackBmp, UINT nLowBmp, UINT nHighBmp,
                        UINT nMidBmp)
{
    return CreateBar(pParent, rect, nID, nTrackBmp, nLowBmp, nHighBmp, nMidBmp);
}
