#include "ScreenRegionDialog.h"

namespace {
const int kFirstSquare = 80;   // the rectangle a first click makes
const int kMinDrag = 25;       // the pointer is kept this far from the press point
} // namespace

CScreenRegionDialog::CScreenRegionDialog(CWnd* pParent)
    : CDialog(IDD_SCREEN_REGION, pParent), m_cxScreen(::GetSystemMetrics(SM_CXSCREEN)),
      m_cyScreen(::GetSystemMetrics(SM_CYSCREEN)), m_pOldPlain(NULL), m_pOldDimmed(NULL), m_pOldWork(NULL),
      m_tracker(CRect(-1, -2, -3, -4), TRACKER_STYLE), m_rectBounds(300, 100, 900, 600), m_ptPress(0, 0),
      m_bDragging(0), m_bHasRect(0), m_hCursor(NULL)
{
    m_tracker.SetColor(TRACKER_COLOR);
    m_tracker.SetBounds(m_rectBounds);
}

CScreenRegionDialog::~CScreenRegionDialog()
{
    if (m_pOldPlain != NULL) m_dcPlain.SelectObject(m_pOldPlain);
    if (m_pOldDimmed != NULL) m_dcDimmed.SelectObject(m_pOldDimmed);
    if (m_pOldWork != NULL) m_dcWork.SelectObject(m_pOldWork);
}

BEGIN_MESSAGE_MAP(CScreenRegionDialog, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONUP()
    ON_WM_SETCURSOR()
    ON_BN_CLICKED(IDC_REGION_OK, OnOkButton)
    ON_BN_CLICKED(IDC_REGION_CANCEL, OnCancelButton)
END_MESSAGE_MAP()

int CScreenRegionDialog::SetBoundsRect(const RECT* pRect)
{
    if (pRect != NULL) m_rectBounds = *pRect;
    m_tracker.SetBounds(m_rectBounds);
    return 1;
}

BOOL CScreenRegionDialog::GetSelectedRect(RECT* pRect) const
{
    if (pRect != NULL) *pRect = m_tracker.m_rect;
    return !m_tracker.m_rect.IsRectEmpty();
}

void CScreenRegionDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_REGION_OK, m_btnOK);
    DDX_Control(pDX, IDC_REGION_CANCEL, m_btnCancel);
}

BOOL CScreenRegionDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowPos(&wndTopMost, 0, 0, m_cxScreen, m_cyScreen + 2, SWP_NOACTIVATE);
    HideButtons();
    CRegionTracker::SetCursors(IDC_CURSOR_NS, IDC_CURSOR_WE, IDC_CURSOR_NWSE, IDC_CURSOR_NESW, IDC_CURSOR_MOVE);
    m_hCursor = ::LoadCursorW(AfxFindResourceHandle(MAKEINTRESOURCEW(IDC_CURSOR_REGION), (LPCWSTR)RT_GROUP_CURSOR),
                              MAKEINTRESOURCEW(IDC_CURSOR_REGION));

    // Three snapshots of the whole screen: as it is, dimmed, and a dimmed working copy.
    CDC screen;
    screen.CreateDC(L"DISPLAY", NULL, NULL, NULL);
    m_dcPlain.CreateCompatibleDC(&screen);
    m_dcDimmed.CreateCompatibleDC(&screen);
    m_dcWork.CreateCompatibleDC(&screen);
    m_bmpPlain.CreateCompatibleBitmap(&screen, m_cxScreen, m_cyScreen);
    m_bmpDimmed.CreateCompatibleBitmap(&screen, m_cxScreen, m_cyScreen);
    m_bmpWork.CreateCompatibleBitmap(&screen, m_cxScreen, m_cyScreen);
    m_pOldPlain = m_dcPlain.SelectObject(&m_bmpPlain);
    m_pOldDimmed = m_dcDimmed.SelectObject(&m_bmpDimmed);
    m_pOldWork = m_dcWork.SelectObject(&m_bmpWork);
    m_dcPlain.BitBlt(0, 0, m_cxScreen, m_cyScreen, &screen, 0, 0, SRCCOPY);
    BLENDFUNCTION half = { AC_SRC_OVER, 0, 128, 0 };
    for (CDC* pDC : { &m_dcDimmed, &m_dcWork }) {
        pDC->FillSolidRect(0, 0, m_cxScreen, m_cyScreen, RGB(0, 0, 0));
        ::AlphaBlend(pDC->m_hDC, 0, 0, m_cxScreen, m_cyScreen, screen.m_hDC, 0, 0, m_cxScreen, m_cyScreen, half);
    }

    m_btnOK.SetSkin(198, 200, 199, 201, 0, 0);
    m_btnCancel.SetSkin(194, 196, 195, 197, 0, 0);
    return TRUE;
}

void CScreenRegionDialog::HideButtons()
{
    if (m_btnOK.m_hWnd != NULL) m_btnOK.ShowWindow(SW_HIDE);
    if (m_btnCancel.m_hWnd != NULL) m_btnCancel.ShowWindow(SW_HIDE);
}

void CScreenRegionDialog::DropRectangle()
{
    m_tracker.m_rect.SetRect(-1, -1, -1, -1);
    m_bHasRect = 0;
    m_bDragging = 0;
}

BOOL CScreenRegionDialog::OnEraseBkgnd(CDC*) { return TRUE; }

void CScreenRegionDialog::OnPaint()
{
    CPaintDC dc(this);
    m_dcWork.BitBlt(0, 0, m_cxScreen, m_cyScreen, &m_dcDimmed, 0, 0, SRCCOPY);
    CRect r(m_tracker.m_rect);
    r.NormalizeRect();
    if (m_bHasRect && !r.IsRectEmpty())
        m_dcWork.BitBlt(r.left, r.top, r.Width(), r.Height(), &m_dcPlain, r.left, r.top, SRCCOPY);
    dc.BitBlt(0, 0, m_cxScreen, m_cyScreen, &m_dcWork, 0, 0, SRCCOPY);
    if (m_bHasRect) m_tracker.Draw(&dc);
}

void CScreenRegionDialog::OnLButtonDown(UINT, CPoint point)
{
    HideButtons();
    if (!m_rectBounds.PtInRect(point)) return;
    int nHit = m_tracker.HitTest(point);
    if (nHit >= 0 && m_bHasRect) {
        m_tracker.Track(this, point);
    } else if (nHit < 0 && !m_bHasRect) {
        m_ptPress = point;
        m_bDragging = 1;
        m_bHasRect = 1;
        CRect square(point.x - kFirstSquare / 2, point.y - kFirstSquare / 2, point.x + kFirstSquare / 2,
                     point.y + kFirstSquare / 2);
        square.IntersectRect(&square, &m_rectBounds);
        m_tracker.m_rect = square;
    }
    Invalidate(FALSE);
}

void CScreenRegionDialog::OnMouseMove(UINT, CPoint point)
{
    if (!m_bDragging) return;
    int x = point.x, y = point.y;
    if (abs(x - m_ptPress.x) < kMinDrag) x = x < m_ptPress.x ? m_ptPress.x - kMinDrag : m_ptPress.x + kMinDrag;
    if (abs(y - m_ptPress.y) < kMinDrag) y = y < m_ptPress.y ? m_ptPress.y - kMinDrag : m_ptPress.y + kMinDrag;
    x = x < m_rectBounds.left ? m_rectBounds.left : (x > m_rectBounds.right ? m_rectBounds.right : x);
    y = y < m_rectBounds.top ? m_rectBounds.top : (y > m_rectBounds.bottom ? m_rectBounds.bottom : y);
    m_tracker.m_rect.SetRect(m_ptPress.x + 4, m_ptPress.y + 4, x, y);
    Invalidate(FALSE);
}

void CScreenRegionDialog::OnLButtonUp(UINT, CPoint)
{
    m_bDragging = 0;
    CRect r(m_tracker.m_rect);
    r.NormalizeRect();
    if (m_bHasRect && r.Width() > 5 && r.Height() > 5) {
        m_tracker.m_rect = r;
        m_btnCancel.SetWindowPos(NULL, r.right - 110, r.bottom + 2, 69, 18, SWP_NOZORDER | SWP_NOACTIVATE);
        m_btnOK.SetWindowPos(NULL, r.right - 40, r.bottom + 2, 39, 18, SWP_NOZORDER | SWP_NOACTIVATE);
        m_btnCancel.ShowWindow(SW_SHOW);
        m_btnOK.ShowWindow(SW_SHOW);
    }
    Invalidate(FALSE);
}

void CScreenRegionDialog::OnLButtonDblClk(UINT, CPoint point)
{
    if (m_bHasRect && m_tracker.HitTest(point) == CRegionTracker::hitMiddle) OnOK();
}

void CScreenRegionDialog::OnRButtonUp(UINT, CPoint)
{
    if (!m_bHasRect) {
        CDialog::OnCancel();
        return;
    }
    DropRectangle();
    HideButtons();
    Invalidate(FALSE);
}

BOOL CScreenRegionDialog::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT)
{
    if (pWnd == this && m_bHasRect && !m_bDragging && m_tracker.SetCursor(this, nHitTest)) return TRUE;
    ::SetCursor(m_hCursor != NULL ? m_hCursor : ::LoadCursorW(NULL, (LPCWSTR)IDC_CROSS));
    return TRUE;
}

void CScreenRegionDialog::OnOkButton() { OnOK(); }

void CScreenRegionDialog::OnCancelButton()
{
    if (m_bHasRect) DropRectangle();
    CDialog::OnCancel();
}

void CScreenRegionDialog::OnCancel()
{
    if (m_bHasRect) {
        DropRectangle();
        HideButtons();
        Invalidate(FALSE);
        return;
    }
    CDialog::OnCancel();
}
