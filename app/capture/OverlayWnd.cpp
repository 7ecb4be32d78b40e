#include "app/capture/OverlayWnd.h"

IMPLEMENT_DYNAMIC(COverlayWnd, CDialog)

BEGIN_MESSAGE_MAP(COverlayWnd, CDialog)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

COverlayWnd::COverlayWnd(CWnd* pParent) : CDialog(IDD, pParent) {}
COverlayWnd::~COverlayWnd() {}

// Layered with white as the colour key, so the live picture shows through everything
// the overlay does not draw.
BOOL COverlayWnd::OnInitDialog()
{
    CDialog::OnInitDialog();
    ModifyStyleEx(0, WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(m_hWnd, RGB(255, 255, 255), 0, LWA_COLORKEY);
    return TRUE;
}

BOOL COverlayWnd::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, RGB(255, 255, 255));
    return TRUE;
}

void COverlayWnd::ZoomActualSize() {}

void COverlayWnd::ZoomToFit() {}

void COverlayWnd::ApplyZoom() {}

void COverlayWnd::GetScrollOffset(POINT* offset)
{
    offset->x = 0;
    offset->y = 0;
}
