#include "app/capture/PreviewWnd.h"

IMPLEMENT_DYNAMIC(CPreviewWnd, CDialog)

BEGIN_MESSAGE_MAP(CPreviewWnd, CDialog)
END_MESSAGE_MAP()

CPreviewWnd::CPreviewWnd(CWnd* pParent) : CDialog(IDD, pParent), m_zoom(1.0f), m_backgroundColor(RGB(189, 189, 189)) {}
CPreviewWnd::~CPreviewWnd() {}

BOOL CPreviewWnd::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_video.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, IDC_PREVIEW_VIDEO);
    return TRUE;
}

void CPreviewWnd::ToggleFullScreen() {}

void CPreviewWnd::ZoomActualSize()
{
    m_zoom = 1.0f;
}

void CPreviewWnd::ZoomToFit() {}

float CPreviewWnd::GetZoom()
{
    return m_zoom;
}

void CPreviewWnd::ApplyZoom() {}

CStatic* CPreviewWnd::GetVideoStatic()
{
    return &m_video;
}

void CPreviewWnd::FitVideoToWindow() {}

void CPreviewWnd::GetScrollFlags(int* horizontal, int* vertical)
{
    const LONG style = m_hWnd != NULL ? GetStyle() : 0;
    if (horizontal != NULL) *horizontal = (style & WS_HSCROLL) != 0;
    if (vertical != NULL) *vertical = (style & WS_VSCROLL) != 0;
}

void CPreviewWnd::SetBackgroundColor(BYTE r, BYTE g, BYTE b)
{
    m_backgroundColor = RGB(r, g, b);
}
