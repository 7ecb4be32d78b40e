#include "app/capture/OverlayWnd.h"

IMPLEMENT_DYNAMIC(COverlayWnd, CDialog)

BEGIN_MESSAGE_MAP(COverlayWnd, CDialog)
END_MESSAGE_MAP()

COverlayWnd::COverlayWnd(CWnd* pParent) : CDialog(IDD, pParent) {}
COverlayWnd::~COverlayWnd() {}

void COverlayWnd::ZoomActualSize() {}

void COverlayWnd::ZoomToFit() {}

void COverlayWnd::ApplyZoom() {}

void COverlayWnd::GetScrollOffset(POINT* offset)
{
    offset->x = 0;
    offset->y = 0;
}
