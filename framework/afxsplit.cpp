// Static splitter windows.
#include "afximpl.h"
#include "afxframe.h"

IMPLEMENT_DYNAMIC(CSplitterWnd, CWnd)

BEGIN_MESSAGE_MAP(CSplitterWnd, CWnd)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_CAPTURECHANGED()
    ON_WM_SETCURSOR()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CSplitterWnd::CSplitterWnd()
    : m_cxSplitter(7), m_cySplitter(7), m_cxSplitterGap(7), m_cySplitterGap(7), m_cxBorder(2), m_cyBorder(2),
      m_nRows(0), m_nCols(0), m_pRowInfo(NULL), m_pColInfo(NULL), m_bTracking(FALSE), m_htTrack(0),
      m_nTrackStartSize(0)
{
}

CSplitterWnd::~CSplitterWnd()
{
    delete[] m_pRowInfo;
    delete[] m_pColInfo;
}

BOOL CSplitterWnd::CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle, UINT nID)
{
    if (nRows < 1 || nCols < 1 || nRows > 16 || nCols > 16 || pParentWnd == NULL) return FALSE;
    m_nRows = nRows;
    m_nCols = nCols;
    delete[] m_pRowInfo;
    delete[] m_pColInfo;
    m_pRowInfo = new CRowColInfo[nRows];
    m_pColInfo = new CRowColInfo[nCols];
    for (int i = 0; i < nRows; i++) m_pRowInfo[i] = {0, 0, 0};
    for (int i = 0; i < nCols; i++) m_pColInfo[i] = {0, 0, 0};
    LPCWSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(NULL, IDC_ARROW), NULL);
    return CreateEx(0, cls, NULL, dwStyle | WS_CLIPCHILDREN, CRect(0, 0, 0, 0), pParentWnd, nID, NULL);
}

BOOL CSplitterWnd::CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext)
{
    if (row < 0 || row >= m_nRows || col < 0 || col >= m_nCols || GetPane(row, col) != NULL) return FALSE;
    m_pColInfo[col].nIdealSize = sizeInit.cx;
    m_pRowInfo[row].nIdealSize = sizeInit.cy;
    CWnd* pWnd = (CWnd*)pViewClass->CreateObject();
    if (pWnd == NULL) return FALSE;
    CCreateContext contextT;
    if (pContext == NULL) {
        // No context: the new view joins the document of the view that is active now.
        CFrameWnd* pFrame = NULL;
        for (HWND h = m_hWnd; h != NULL && pFrame == NULL; h = ::GetParent(h))
            pFrame = DYNAMIC_DOWNCAST(CFrameWnd, CWnd::FromHandlePermanent(h));
        CView* pOldView = pFrame != NULL ? pFrame->GetActiveView() : NULL;
        if (pOldView != NULL) contextT.m_pCurrentDoc = pOldView->GetDocument();
        pContext = &contextT;
    }
    CRect rect(0, 0, sizeInit.cx, sizeInit.cy);
    if (!pWnd->Create(NULL, NULL, WS_CHILD | WS_VISIBLE, rect, this, IdFromRowCol(row, col), pContext)) {
        if (pWnd->m_hWnd == NULL) delete pWnd;
        return FALSE;
    }
    return TRUE;
}

CWnd* CSplitterWnd::GetPane(int row, int col) const
{
    if (m_hWnd == NULL) return NULL;
    HWND h = ::GetDlgItem(m_hWnd, IdFromRowCol(row, col));
    return h != NULL ? CWnd::FromHandlePermanent(h) : NULL;
}

BOOL CSplitterWnd::IsChildPane(CWnd* pWnd, int* pRow, int* pCol)
{
    if (pWnd == NULL || pWnd->m_hWnd == NULL || ::GetParent(pWnd->m_hWnd) != m_hWnd) return FALSE;
    int nID = pWnd->GetDlgCtrlID() - AFX_IDW_PANE_FIRST;
    if (nID < 0 || nID / 16 >= m_nRows || nID % 16 >= m_nCols) return FALSE;
    if (pRow) *pRow = nID / 16;
    if (pCol) *pCol = nID % 16;
    return TRUE;
}

void CSplitterWnd::GetRowInfo(int row, int& cyCur, int& cyMin) const
{
    cyCur = m_pRowInfo[row].nCurSize;
    cyMin = m_pRowInfo[row].nMinSize;
}

void CSplitterWnd::SetRowInfo(int row, int cyIdeal, int cyMin)
{
    if (row < 0 || row >= m_nRows) return;
    m_pRowInfo[row].nIdealSize = cyIdeal;
    m_pRowInfo[row].nMinSize = cyMin;
}

void CSplitterWnd::GetColumnInfo(int col, int& cxCur, int& cxMin) const
{
    cxCur = m_pColInfo[col].nCurSize;
    cxMin = m_pColInfo[col].nMinSize;
}

void CSplitterWnd::SetColumnInfo(int col, int cxIdeal, int cxMin)
{
    if (col < 0 || col >= m_nCols) return;
    m_pColInfo[col].nIdealSize = cxIdeal;
    m_pColInfo[col].nMinSize = cxMin;
}

// Every pane but the last gets its ideal size (0 when below its minimum); the last
// takes what is left.  Sizes never go negative.
void CSplitterWnd::LayoutRowCol(CRowColInfo* pInfo, int nMax, int nSize, int nSizeSplitter)
{
    if (nSize < 0) nSize = 0;
    for (int i = 0; i < nMax; i++) {
        int nIdeal = pInfo[i].nIdealSize < 0 ? 0 : pInfo[i].nIdealSize;
        if (i == nMax - 1) {
            pInfo[i].nCurSize = nSize;
            break;
        }
        if (nIdeal < pInfo[i].nMinSize) nIdeal = 0;
        if (nIdeal > nSize) nIdeal = nSize;
        pInfo[i].nCurSize = nIdeal;
        nSize -= nIdeal + nSizeSplitter;
        if (nSize < 0) nSize = 0;
    }
}

CRect CSplitterWnd::GetPaneRect(int row, int col) const
{
    int x = m_cxBorder;
    for (int c = 0; c < col; c++) x += m_pColInfo[c].nCurSize + m_cxSplitterGap;
    int y = m_cyBorder;
    for (int r = 0; r < row; r++) y += m_pRowInfo[r].nCurSize + m_cySplitterGap;
    return CRect(x, y, x + m_pColInfo[col].nCurSize, y + m_pRowInfo[row].nCurSize);
}

void CSplitterWnd::RecalcLayout()
{
    if (m_hWnd == NULL || m_nRows == 0) return;
    CRect client;
    GetClientRect(&client);
    LayoutRowCol(m_pColInfo, m_nCols, client.Width() - 2 * m_cxBorder, m_cxSplitterGap);
    LayoutRowCol(m_pRowInfo, m_nRows, client.Height() - 2 * m_cyBorder, m_cySplitterGap);
    // Only panes whose place changes move, and the bars are repainted only then: a
    // layout that changes nothing paints nothing.
    BOOL bChanged = FALSE;
    HDWP hDWP = ::BeginDeferWindowPos(m_nRows * m_nCols);
    for (int row = 0; row < m_nRows; row++) {
        for (int col = 0; col < m_nCols; col++) {
            CWnd* pWnd = GetPane(row, col);
            if (pWnd == NULL) continue;
            CRect r = GetPaneRect(row, col);
            CRect now;
            pWnd->GetWindowRect(&now);
            ScreenToClient(&now);
            if (now == r) continue;
            bChanged = TRUE;
            if (hDWP != NULL)
                hDWP = ::DeferWindowPos(hDWP, pWnd->m_hWnd, NULL, r.left, r.top, r.Width(), r.Height(),
                                        SWP_NOACTIVATE | SWP_NOZORDER);
        }
    }
    if (hDWP != NULL) ::EndDeferWindowPos(hDWP);
    if (bChanged) OnDrawSplitter(NULL, splitBar, client);
}

void CSplitterWnd::OnSize(UINT nType, int cx, int cy)
{
    if (nType != SIZE_MINIMIZED && cx > 0 && cy > 0) RecalcLayout();
    CWnd::OnSize(nType, cx, cy);
}

BOOL CSplitterWnd::OnEraseBkgnd(CDC*) { return TRUE; }

void CSplitterWnd::OnPaint()
{
    CPaintDC dc(this);
    if (m_nRows == 0) return;
    CRect client;
    GetClientRect(&client);
    // Bars between columns and rows, then a border around every pane.
    for (int col = 0; col < m_nCols - 1; col++) {
        CRect pane = GetPaneRect(0, col);
        OnDrawSplitter(&dc, splitBar, CRect(pane.right, client.top, pane.right + m_cxSplitterGap, client.bottom));
    }
    for (int row = 0; row < m_nRows - 1; row++) {
        CRect pane = GetPaneRect(row, 0);
        OnDrawSplitter(&dc, splitBar, CRect(client.left, pane.bottom, client.right, pane.bottom + m_cySplitterGap));
    }
    for (int row = 0; row < m_nRows; row++) {
        for (int col = 0; col < m_nCols; col++) {
            CRect pane = GetPaneRect(row, col);
            pane.InflateRect(m_cxBorder, m_cyBorder);
            OnDrawSplitter(&dc, splitBorder, pane);
        }
    }
}

void CSplitterWnd::OnDrawSplitter(CDC* pDC, ESplitType nType, const RECT& rect)
{
    if (pDC == NULL) {
        ::RedrawWindow(m_hWnd, &rect, NULL, RDW_INVALIDATE | RDW_NOCHILDREN);
        return;
    }
    CRect r(rect);
    switch (nType) {
    case splitBorder:
        pDC->Draw3dRect(r, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
        r.InflateRect(-1, -1);
        pDC->Draw3dRect(r, ::GetSysColor(COLOR_WINDOWFRAME), ::GetSysColor(COLOR_BTNFACE));
        break;
    default:
        pDC->FillSolidRect(r, ::GetSysColor(COLOR_BTNFACE));
        break;
    }
}

// Bar hit test in client coordinates: 1 + column for the bar right of that column,
// 101 + row for the bar below that row, 0 elsewhere.
int CSplitterWnd::HitTestBar(CPoint pt) const
{
    for (int col = 0; col < m_nCols - 1; col++) {
        CRect pane = GetPaneRect(0, col);
        if (pt.x >= pane.right && pt.x < pane.right + m_cxSplitterGap) return 1 + col;
    }
    for (int row = 0; row < m_nRows - 1; row++) {
        CRect pane = GetPaneRect(row, 0);
        if (pt.y >= pane.bottom && pt.y < pane.bottom + m_cySplitterGap) return 101 + row;
    }
    return 0;
}

void CSplitterWnd::OnLButtonDown(UINT, CPoint pt)
{
    int ht = HitTestBar(pt);
    if (ht == 0) return;
    m_bTracking = TRUE;
    m_htTrack = ht;
    m_ptTrackStart = pt;
    m_nTrackStartSize = ht < 101 ? m_pColInfo[ht - 1].nCurSize : m_pRowInfo[ht - 101].nCurSize;
    SetCapture();
}

void CSplitterWnd::OnMouseMove(UINT, CPoint pt)
{
    if (!m_bTracking) return;
    if (m_htTrack < 101) {
        int n = m_nTrackStartSize + pt.x - m_ptTrackStart.x;
        m_pColInfo[m_htTrack - 1].nIdealSize = n < 0 ? 0 : n;
    } else {
        int n = m_nTrackStartSize + pt.y - m_ptTrackStart.y;
        m_pRowInfo[m_htTrack - 101].nIdealSize = n < 0 ? 0 : n;
    }
    RecalcLayout();
}

void CSplitterWnd::OnLButtonUp(UINT, CPoint) { StopTracking(TRUE); }

void CSplitterWnd::OnCaptureChanged(CWnd*)
{
    m_bTracking = FALSE;
}

void CSplitterWnd::StopTracking(BOOL)
{
    if (!m_bTracking) return;
    m_bTracking = FALSE;
    ::ReleaseCapture();
}

BOOL CSplitterWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (nHitTest == HTCLIENT && pWnd == this) {
        CPoint pt;
        ::GetCursorPos(&pt);
        ScreenToClient(&pt);
        int ht = HitTestBar(pt);
        if (ht != 0) {
            ::SetCursor(::LoadCursorW(NULL, ht < 101 ? IDC_SIZEWE : IDC_SIZENS));
            return TRUE;
        }
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

CWnd* CSplitterWnd::GetActivePane(int* pRow, int* pCol)
{
    CFrameWnd* pFrame = NULL;
    for (HWND h = ::GetParent(m_hWnd); h != NULL && pFrame == NULL; h = ::GetParent(h))
        pFrame = DYNAMIC_DOWNCAST(CFrameWnd, CWnd::FromHandlePermanent(h));
    CWnd* pView = pFrame != NULL ? (CWnd*)pFrame->GetActiveView() : NULL;
    if (pView == NULL) pView = GetFocus();
    if (pView != NULL && !IsChildPane(pView, pRow, pCol)) pView = NULL;
    return pView;
}

void CSplitterWnd::SetActivePane(int row, int col, CWnd* pWnd)
{
    CWnd* pPane = pWnd != NULL ? pWnd : GetPane(row, col);
    if (pPane == NULL) return;
    CView* pView = DYNAMIC_DOWNCAST(CView, pPane);
    CFrameWnd* pFrame = pView != NULL ? pView->GetParentFrame() : NULL;
    if (pFrame != NULL) pFrame->SetActiveView(pView);
    else pPane->SetFocus();
}

CSplitterWnd* CSplitterWnd::GetParentSplitter(const CWnd* pWnd, BOOL bAnyState)
{
    if (pWnd == NULL || pWnd->m_hWnd == NULL) return NULL;
    CSplitterWnd* pSplitter = DYNAMIC_DOWNCAST(CSplitterWnd, CWnd::FromHandlePermanent(::GetParent(pWnd->m_hWnd)));
    if (pSplitter == NULL) return NULL;
    if (!bAnyState && ::IsIconic(::GetAncestor(pSplitter->m_hWnd, GA_ROOT))) return NULL;
    return pSplitter;
}

namespace {

void CollectViews(CSplitterWnd* pSplitter, CPtrArray& views)
{
    for (int row = 0; row < pSplitter->GetRowCount(); row++) {
        for (int col = 0; col < pSplitter->GetColumnCount(); col++) {
            CWnd* pPane = pSplitter->GetPane(row, col);
            if (pPane == NULL) continue;
            CSplitterWnd* pInner = DYNAMIC_DOWNCAST(CSplitterWnd, pPane);
            if (pInner != NULL) CollectViews(pInner, views);
            else if (pPane->IsKindOf(RUNTIME_CLASS(CView))) views.Add(pPane);
        }
    }
}

} // namespace

void CSplitterWnd::ActivateNext(BOOL bPrev)
{
    // The outermost splitter of the tree decides the order: panes row by row, nested
    // splitters in place of their pane.
    CSplitterWnd* pRoot = this;
    for (CSplitterWnd* p = GetParentSplitter(this, TRUE); p != NULL; p = GetParentSplitter(p, TRUE)) pRoot = p;
    CPtrArray views;
    CollectViews(pRoot, views);
    if (views.GetSize() == 0) return;
    CFrameWnd* pFrame = ((CView*)views[0])->GetParentFrame();
    CView* pActive = pFrame != NULL ? pFrame->GetActiveView() : NULL;
    int nCur = -1;
    for (int i = 0; i < views.GetSize(); i++)
        if (views[i] == pActive) nCur = i;
    int n = (int)views.GetSize();
    int nNext = nCur < 0 ? 0 : (bPrev ? (nCur + n - 1) % n : (nCur + 1) % n);
    CView* pView = (CView*)views[nNext];
    if (pFrame != NULL) pFrame->SetActiveView(pView);
    pView->SetFocus();
}
