#include "app/browse/ImageListView.h"
#include "app/shell/ShellLinks.h"

IMPLEMENT_DYNCREATE(CImageListView, CScrollView)

BEGIN_MESSAGE_MAP(CImageListView, CScrollView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CImageListView::CImageListView() : m_bSized(FALSE)
{
    ShellLinks& links = Links();
    links.stripView = this;
    links.strip = &m_strip;
    links.thumbList = &m_strip.m_list;
}

CImageListView::~CImageListView()
{
    ShellLinks& links = Links();
    if (links.stripView == this) links.stripView = NULL;
    if (links.strip == &m_strip) links.strip = NULL;
    if (links.thumbList == &m_strip.m_list) links.thumbList = NULL;
}

int CImageListView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CScrollView::OnCreate(lpcs) == -1) return -1;
    m_strip.Create(CThumbnailStrip::IDD, this);
    m_strip.ShowWindow(SW_SHOW);
    return 0;
}

void CImageListView::OnInitialUpdate()
{
    // The strip never scrolls its view.
    if (!m_bSized) SetScrollSizes(MM_TEXT, CSize(0, 0));
    m_bSized = TRUE;
    CScrollView::OnInitialUpdate();
}

void CImageListView::OnSize(UINT nType, int cx, int cy)
{
    CScrollView::OnSize(nType, cx, cy);
    if (m_strip.m_hWnd != NULL) m_strip.MoveWindow(0, 0, cx, cy);
}

BOOL CImageListView::OnEraseBkgnd(CDC*) { return TRUE; }
void CImageListView::OnDraw(CDC*) {}
