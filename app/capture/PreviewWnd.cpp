#include "app/capture/PreviewWnd.h"

IMPLEMENT_DYNAMIC(CPreviewWnd, CDialog)

BEGIN_MESSAGE_MAP(CPreviewWnd, CDialog)
END_MESSAGE_MAP()

CPreviewWnd::CPreviewWnd(CWnd* pParent) : CDialog(IDD, pParent), m_zoom(1.0f) {}
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
