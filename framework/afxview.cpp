// Views and scroll views.
#include "afximpl.h"
#include "afxframe.h"
#include <limits.h>

IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNAMIC(CScrollView, CView)

// CView -------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_MESSAGE(WM_MOUSEACTIVATE, OnMouseActivateMsg)
    ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMsg)
    ON_COMMAND_RANGE(ID_NEXT_PANE, ID_PREV_PANE, OnNextPaneCmd)
    ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

CView::CView() : m_pDocument(NULL), m_pPreviewWnd(NULL) {}

CView::~CView()
{
    if (m_pDocument != NULL) m_pDocument->RemoveView(this);
}

CFrameWnd* CView::GetParentFrame() const
{
    if (m_hWnd == NULL) return NULL;
    for (HWND h = ::GetParent(m_hWnd); h != NULL; h = ::GetParent(h)) {
        CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, CWnd::FromHandlePermanent(h));
        if (pFrame != NULL) return pFrame;
    }
    return NULL;
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == NULL)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorW(NULL, IDC_ARROW),
                                           (HBRUSH)(COLOR_WINDOW + 1));
    cs.style |= WS_CLIPSIBLINGS;
    return TRUE;
}

int CView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1) return -1;
    CCreateContext* pContext = (CCreateContext*)lpcs->lpCreateParams;
    if (pContext != NULL && pContext->m_pCurrentDoc != NULL) pContext->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy()
{
    // A preview outlives no view; its window is ended without handing anything back.
    if (m_pPreviewWnd != NULL) m_pPreviewWnd->DestroyWindow();
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame != NULL && pFrame->GetActiveView() == this) pFrame->SetActiveView(NULL, FALSE);
    CWnd::OnDestroy();
}

// The view object goes with its window; it lets its document go first, which may then
// close itself when this was its last view.
void CView::PostNcDestroy()
{
    if (m_pDocument != NULL) m_pDocument->RemoveView(this);
    delete this;
}

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

void CView::OnInitialUpdate() { OnUpdate(NULL, 0, NULL); }
void CView::OnUpdate(CView*, LPARAM, CObject*) { Invalidate(TRUE); }
// Without a known page count a job prints one page.
void CView::OnPrepareDC(CDC*, CPrintInfo* pInfo)
{
    if (pInfo != NULL) pInfo->m_bContinuePrinting = pInfo->m_nMaxPage != 0xFFFF || pInfo->m_nCurPage == 1;
}

void CView::OnActivateView(BOOL bActivate, CView* pActivateView, CView*)
{
    if (bActivate && pActivateView == this && !IsChild(GetFocus()) && GetFocus() != this) SetFocus();
}

void CView::OnActivateFrame(UINT, CFrameWnd*) {}

LRESULT CView::OnInitialUpdateMsg(WPARAM, LPARAM)
{
    OnInitialUpdate();
    return 0;
}

// A click activates the view in its frame, before the click itself arrives.
LRESULT CView::OnMouseActivateMsg(WPARAM, LPARAM)
{
    LRESULT nResult = Default();
    if (nResult == MA_NOACTIVATE || nResult == MA_NOACTIVATEANDEAT) return nResult;
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame != NULL && pFrame->GetActiveView() != this) pFrame->SetActiveView(this);
    return nResult;
}

int CView::OnMouseActivate(CWnd*, UINT, UINT) { return (int)OnMouseActivateMsg(0, 0); }

void CView::OnNextPaneCmd(UINT nID)
{
    CSplitterWnd* pSplitter = CSplitterWnd::GetParentSplitter(this, TRUE);
    if (pSplitter != NULL) pSplitter->ActivateNext(nID == ID_PREV_PANE);
}

BOOL CView::OnPreparePrinting(CPrintInfo* pInfo) { return DoPreparePrinting(pInfo); }

// Asks for the printer (without a dialog for direct printing and the preview) and makes
// sure the job holds its context.  The application's printer and page settings, the
// ones print setup chose, are the starting point; without an application, the system's
// default printer.
BOOL CView::DoPreparePrinting(CPrintInfo* pInfo)
{
    CPrintDialog* pd = pInfo->m_pPD;
    pd->m_pd.nMinPage = (WORD)pInfo->m_nMinPage;
    pd->m_pd.nMaxPage = (WORD)pInfo->m_nMaxPage;
    CWinApp* pApp = AfxGetApp();
    if (pInfo->m_bPreview || pInfo->m_bDirect) {
        // No dialog to say it: without a printer (none installed, or the chosen one
        // gone) the user is told rather than left with a command that does nothing.
        if (!(pApp != NULL ? pApp->GetPrinterDeviceDefaults(&pd->m_pd) : pd->GetDefaults())) {
            AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT);
            return FALSE;
        }
    } else {
        pd->m_pParentWnd = this;
        if ((pApp != NULL ? pApp->DoPrintDialog(pd) : pd->DoModal()) != IDOK) return FALSE;
    }
    if (pd->m_pd.hDC == NULL) pd->CreatePrinterDC();
    if (pd->m_pd.hDC == NULL) {
        AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT);
        return FALSE;
    }
    return TRUE;
}

void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}
void CView::OnPrint(CDC* pDC, CPrintInfo*) { OnDraw(pDC); }
void CView::OnEndPrinting(CDC*, CPrintInfo*) {}

CPrintInfo::CPrintInfo() : m_pPD(new CPrintDialog(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOSELECTION)) {}

CPrintInfo::~CPrintInfo()
{
    if (m_pPD != NULL && m_pPD->m_pd.hDC != NULL) ::DeleteDC(m_pPD->m_pd.hDC);
    delete m_pPD;
}

UINT CPrintInfo::GetFromPage() const
{
    if (m_pPD != NULL && m_pPD->PrintRange()) return m_pPD->m_pd.nFromPage;
    return m_nMinPage;
}

UINT CPrintInfo::GetToPage() const
{
    if (m_pPD != NULL && m_pPD->PrintRange()) return m_pPD->m_pd.nToPage;
    return m_nMaxPage;
}

// A print job: every page goes through OnPrepareDC and OnPrint (OnDraw by default) on
// the printer's context, which reports IsPrinting.
void CView::OnFilePrint()
{
    CPrintInfo info;
    const MSG* msg = AfxGetCurrentMessage();
    info.m_bDirect = msg != NULL && (msg->wParam & 0xFFFF) == ID_FILE_PRINT_DIRECT;
    if (!OnPreparePrinting(&info)) return;
    CDC dcPrint;
    dcPrint.Attach(info.m_pPD->m_pd.hDC);
    info.m_pPD->m_pd.hDC = NULL;   // the job's context from here on
    dcPrint.m_bPrinting = TRUE;
    OnBeginPrinting(&dcPrint, &info);

    CString title = m_pDocument != NULL ? m_pDocument->GetTitle() : CString();
    DOCINFOW doc = {sizeof(doc)};
    doc.lpszDocName = title;
    BOOL ok = dcPrint.StartDoc(&doc) > 0;
    if (ok) {
        const UINT last = info.GetToPage();
        for (info.m_nCurPage = info.GetFromPage(); info.m_nCurPage <= last; info.m_nCurPage++) {
            OnPrepareDC(&dcPrint, &info);
            if (!info.m_bContinuePrinting) break;
            if (dcPrint.StartPage() <= 0) {
                ok = FALSE;
                break;
            }
            info.m_rectDraw.SetRect(0, 0, dcPrint.GetDeviceCaps(HORZRES), dcPrint.GetDeviceCaps(VERTRES));
            OnPrint(&dcPrint, &info);
            if (dcPrint.EndPage() <= 0) {
                ok = FALSE;
                break;
            }
        }
        if (ok) ok = dcPrint.EndDoc() > 0;
        else dcPrint.AbortDoc();
    }
    OnEndPrinting(&dcPrint, &info);
    dcPrint.DeleteDC();
    if (!ok) AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT);
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    return m_pDocument != NULL && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// CScrollView -------------------------------------------------------------------------

const SIZE CScrollView::sizeDefault = {0, 0};

BEGIN_MESSAGE_MAP(CScrollView, CView)
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

CScrollView::CScrollView() : m_nMapMode(0), m_bInsideUpdate(FALSE) {}
CScrollView::~CScrollView() {}

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage, const SIZE& sizeLine)
{
    m_nMapMode = nMapMode;
    m_totalLog = sizeTotal;
    m_totalDev = sizeTotal;   // MM_TEXT: one logical unit is one pixel
    m_pageDev = sizePage;
    m_lineDev = sizeLine;
    if (m_totalDev.cx < 0) m_totalDev.cx = 0;
    if (m_totalDev.cy < 0) m_totalDev.cy = 0;
    if (m_pageDev.cx == 0) m_pageDev.cx = m_totalDev.cx / 10;
    if (m_pageDev.cy == 0) m_pageDev.cy = m_totalDev.cy / 10;
    if (m_lineDev.cx == 0) m_lineDev.cx = m_pageDev.cx / 10;
    if (m_lineDev.cy == 0) m_lineDev.cy = m_pageDev.cy / 10;
    if (m_hWnd != NULL) {
        UpdateBars();
        Invalidate(TRUE);
    }
}

void CScrollView::GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const
{
    nMapMode = m_nMapMode;
    sizeTotal = m_totalDev;
    sizePage = m_pageDev;
    sizeLine = m_lineDev;
}

CPoint CScrollView::GetScrollPosition() const
{
    CScrollView* self = const_cast<CScrollView*>(this);
    return CPoint(self->GetScrollPos(SB_HORZ), self->GetScrollPos(SB_VERT));
}

void CScrollView::ScrollToPosition(POINT pt)
{
    CRect client;
    GetClientRect(&client);
    int xMax = m_totalDev.cx - client.Width();
    int yMax = m_totalDev.cy - client.Height();
    if (pt.x > xMax) pt.x = xMax;
    if (pt.y > yMax) pt.y = yMax;
    if (pt.x < 0) pt.x = 0;
    if (pt.y < 0) pt.y = 0;
    CPoint old = GetScrollPosition();
    SetScrollPos(SB_HORZ, pt.x);
    SetScrollPos(SB_VERT, pt.y);
    ScrollWindow(old.x - pt.x, old.y - pt.y);
}

void CScrollView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    // A printed page starts at the paper's corner, wherever the view is scrolled.
    if (pDC != NULL && m_nMapMode != 0 && !pDC->IsPrinting()) {
        pDC->SetMapMode(MM_TEXT);
        CPoint pos = GetScrollPosition();
        pDC->SetViewportOrg(-pos.x, -pos.y);
    }
    CView::OnPrepareDC(pDC, pInfo);
}

void CScrollView::UpdateBars()
{
    if (m_bInsideUpdate || m_hWnd == NULL) return;
    m_bInsideUpdate = TRUE;
    // A bar set with its own redraw paints at once, each time: the bars are set quietly,
    // only where they change, and the frame painted once afterwards.
    BOOL changed = FALSE;
    // Twice: showing one bar shrinks the client area the other depends on.
    const int bars[2] = {SB_HORZ, SB_VERT};
    const LONG totals[2] = {m_totalDev.cx, m_totalDev.cy};
    for (int pass = 0; pass < 2; pass++) {
        for (int i = 0; i < 2; i++) {
            // Read for each bar: the one set before may just have taken room.
            CRect client;
            GetClientRect(&client);
            const int room = i == 0 ? client.Width() : client.Height();
            SCROLLINFO si = {};
            si.cbSize = sizeof(si);
            si.fMask = SIF_PAGE | SIF_RANGE;
            si.nMin = 0;
            si.nMax = totals[i] > 0 ? totals[i] - 1 : 0;
            si.nPage = totals[i] > room ? (UINT)room : (UINT)(si.nMax + 1);
            SCROLLINFO now = {};
            now.cbSize = sizeof(now);
            now.fMask = SIF_PAGE | SIF_RANGE;
            if (::GetScrollInfo(m_hWnd, bars[i], &now) && now.nMin == si.nMin && now.nMax == si.nMax &&
                now.nPage == si.nPage)
                continue;
            SetScrollInfo(bars[i], &si, FALSE);
            changed = TRUE;
        }
    }
    if (changed) ::RedrawWindow(m_hWnd, NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
    m_bInsideUpdate = FALSE;
}

void CScrollView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (m_nMapMode != 0) UpdateBars();
}

void CScrollView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (pScrollBar != NULL && pScrollBar->m_hWnd != NULL) {
        CView::OnHScroll(nSBCode, nPos, pScrollBar);
        return;
    }
    OnScroll(MAKEWORD(nSBCode, 0xFF), nPos);
}

void CScrollView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (pScrollBar != NULL && pScrollBar->m_hWnd != NULL) {
        CView::OnVScroll(nSBCode, nPos, pScrollBar);
        return;
    }
    OnScroll(MAKEWORD(0xFF, nSBCode), nPos);
}

// nScrollCode: low byte the horizontal code, high byte the vertical one, 0xFF none.
BOOL CScrollView::OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll)
{
    int x = GetScrollPos(SB_HORZ);
    int xOrig = x;
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_TRACKPOS;
    switch (LOBYTE(nScrollCode)) {
    case SB_TOP: x = 0; break;
    case SB_BOTTOM: x = INT_MAX; break;
    case SB_LINEUP: x -= m_lineDev.cx; break;
    case SB_LINEDOWN: x += m_lineDev.cx; break;
    case SB_PAGEUP: x -= m_pageDev.cx; break;
    case SB_PAGEDOWN: x += m_pageDev.cx; break;
    case SB_THUMBTRACK:
        if (GetScrollInfo(SB_HORZ, &si, SIF_TRACKPOS)) x = si.nTrackPos; else x = (int)nPos;
        break;
    }
    int y = GetScrollPos(SB_VERT);
    int yOrig = y;
    switch (HIBYTE(nScrollCode)) {
    case SB_TOP: y = 0; break;
    case SB_BOTTOM: y = INT_MAX; break;
    case SB_LINEUP: y -= m_lineDev.cy; break;
    case SB_LINEDOWN: y += m_lineDev.cy; break;
    case SB_PAGEUP: y -= m_pageDev.cy; break;
    case SB_PAGEDOWN: y += m_pageDev.cy; break;
    case SB_THUMBTRACK:
        if (GetScrollInfo(SB_VERT, &si, SIF_TRACKPOS)) y = si.nTrackPos; else y = (int)nPos;
        break;
    }
    return OnScrollBy(CSize(x - xOrig, y - yOrig), bDoScroll);
}

BOOL CScrollView::OnScrollBy(CSize sizeScroll, BOOL bDoScroll)
{
    CRect client;
    GetClientRect(&client);
    CPoint pos = GetScrollPosition();
    int xMax = m_totalDev.cx - client.Width();
    int yMax = m_totalDev.cy - client.Height();
    if (xMax < 0) xMax = 0;
    if (yMax < 0) yMax = 0;
    long long nx = (long long)pos.x + sizeScroll.cx;
    long long ny = (long long)pos.y + sizeScroll.cy;
    int x = nx < 0 ? 0 : (nx > xMax ? xMax : (int)nx);
    int y = ny < 0 ? 0 : (ny > yMax ? yMax : (int)ny);
    if (x == pos.x && y == pos.y) return FALSE;
    if (bDoScroll) {
        ScrollWindow(pos.x - x, pos.y - y);
        if (x != pos.x) SetScrollPos(SB_HORZ, x);
        if (y != pos.y) SetScrollPos(SB_VERT, y);
    }
    return TRUE;
}

BOOL CScrollView::OnMouseWheel(UINT, short zDelta, CPoint)
{
    // One line per notch, in the direction of the wheel.
    int notches = zDelta / WHEEL_DELTA;
    if (notches == 0) notches = zDelta > 0 ? 1 : (zDelta < 0 ? -1 : 0);
    if (m_totalDev.cy <= 0) return FALSE;
    return OnScrollBy(CSize(0, -notches * m_lineDev.cy), TRUE);
}
