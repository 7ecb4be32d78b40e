#include "app/shell/FixedSplitterWnd.h"

IMPLEMENT_DYNAMIC(CFixedSplitterWnd, CSplitterWnd)

BEGIN_MESSAGE_MAP(CFixedSplitterWnd, CSplitterWnd)
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CFixedSplitterWnd::CFixedSplitterWnd() {}
CFixedSplitterWnd::~CFixedSplitterWnd() {}

void CFixedSplitterWnd::SetThinGaps()
{
    m_cxSplitterGap = 1;
    m_cySplitterGap = 1;
}

int CFixedSplitterWnd::PaneRoom(BOOL columns) const
{
    if (m_hWnd == NULL) return 0;
    CRect client;
    GetClientRect(&client);
    const int room = columns ? client.Width() - 2 * m_cxBorder - (m_nCols - 1) * m_cxSplitterGap
                             : client.Height() - 2 * m_cyBorder - (m_nRows - 1) * m_cySplitterGap;
    return room < 0 ? 0 : room;
}

void CFixedSplitterWnd::FixLastColumn(int size)
{
    const int first = PaneRoom(TRUE) - size;
    SetColumnInfo(0, first < 0 ? 0 : first, 0);
    SetColumnInfo(1, size, 0);
    RecalcLayout();
}

void CFixedSplitterWnd::FixLastRow(int size)
{
    const int first = PaneRoom(FALSE) - size;
    SetRowInfo(0, first < 0 ? 0 : first, 0);
    SetRowInfo(1, size, 0);
    RecalcLayout();
}

CRect CFixedSplitterWnd::PaneScreenRect(int row, int col) const
{
    CRect r = GetPaneRect(row, col);
    ClientToScreen(&r);
    return r;
}

// No tracking: the bars stay where the frame's layout puts them.
void CFixedSplitterWnd::OnLButtonDown(UINT, CPoint) {}
void CFixedSplitterWnd::OnMouseMove(UINT, CPoint) {}

// The window class cursor, never a splitter cursor.
BOOL CFixedSplitterWnd::OnSetCursor(CWnd*, UINT, UINT) { return (BOOL)Default(); }

void CFixedSplitterWnd::OnDrawSplitter(CDC* pDC, ESplitType nType, const RECT& rect)
{
    if (pDC == NULL) {
        ::RedrawWindow(m_hWnd, &rect, NULL, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_NOFRAME);
        return;
    }
    if (nType != splitBorder) return;
    const COLORREF grey = RGB(189, 189, 189);
    CRect r(rect);
    pDC->Draw3dRect(r, grey, grey);
    r.InflateRect(-1, -1);
    pDC->Draw3dRect(r, grey, grey);
}
