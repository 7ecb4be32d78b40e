#include "app/shell/ImageToolView.h"
#include "app/shell/ShellLinks.h"

IMPLEMENT_DYNCREATE(CImageToolView, CScrollView)

BEGIN_MESSAGE_MAP(CImageToolView, CScrollView)
    ON_WM_CREATE()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CImageToolView::CImageToolView()
{
    Links().toolView = this;
    Links().browseTools = &m_browseTools;
}

CImageToolView::~CImageToolView()
{
    if (Links().toolView == this) Links().toolView = NULL;
    if (Links().browseTools == &m_browseTools) Links().browseTools = NULL;
}

int CImageToolView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CScrollView::OnCreate(lpcs) == -1) return -1;
    // Hidden until the Browse or Image tab is chosen.
    m_browseTools.Create(CBrowseToolBar::IDD, this);
    return 0;
}

void CImageToolView::OnInitialUpdate()
{
    SetScrollSizes(MM_TEXT, CSize(0, 0));
    CScrollView::OnInitialUpdate();
}

void CImageToolView::OnSize(UINT nType, int cx, int cy)
{
    CScrollView::OnSize(nType, cx, cy);
    if (m_browseTools.m_hWnd != NULL) m_browseTools.MoveWindow(0, 0, cx, cy);
}

void CImageToolView::OnDraw(CDC*) {}
