// Print preview: the pages of a print job shown over the view's top-level window.
#include "afximpl.h"
#include "afxframe.h"
#include "afxdlgs.h"
#include <algorithm>

IMPLEMENT_DYNAMIC(CPrintPreviewWnd, CWnd)

namespace {

const int kBarHeight = 34;
const int kButtonWidth = 84;
const int kButtonHeight = 24;
const int kPageMargin = 12;     // grey around the page at the whole-page zoom
const int kShadow = 4;
const int kLineStep = 40;
const COLORREF kBackground = RGB(128, 128, 128);

struct BarButton {
    UINT id;
    LPCWSTR fallback;   // when the program's string table has no caption for it
};

const BarButton kButtons[] = {
    {CPrintPreviewWnd::idPrint, L"Print..."},      {CPrintPreviewWnd::idNext, L"Next Page"},
    {CPrintPreviewWnd::idPrev, L"Prev Page"},      {CPrintPreviewWnd::idZoomIn, L"Zoom In"},
    {CPrintPreviewWnd::idZoomOut, L"Zoom Out"},    {CPrintPreviewWnd::idClose, L"Close"},
};

CString LoadText(UINT id, LPCWSTR fallback)
{
    CString text;
    if (!text.LoadString(id) || text.IsEmpty()) text = fallback;
    return text;
}

struct PopupSearch {
    HWND top;
    HWND self;
    CPtrArray* found;
};

BOOL IsOwnedBy(HWND hWnd, HWND hWndTop)
{
    for (HWND owner = ::GetWindow(hWnd, GW_OWNER); owner != NULL; owner = ::GetWindow(owner, GW_OWNER))
        if (owner == hWndTop) return TRUE;
    return FALSE;
}

BOOL CALLBACK CollectPopup(HWND hWnd, LPARAM lParam)
{
    PopupSearch* search = (PopupSearch*)lParam;
    WCHAR cls[32] = {0};
    ::GetClassNameW(hWnd, cls, 32);
    // Tooltips come and go by themselves; bringing one back would leave it standing.
    if (hWnd != search->self && ::IsWindowVisible(hWnd) && lstrcmpiW(cls, L"tooltips_class32") != 0 &&
        IsOwnedBy(hWnd, search->top))
        search->found->Add(hWnd);
    return TRUE;
}

}  // namespace

BEGIN_MESSAGE_MAP(CPrintPreviewWnd, CWnd)
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_ERASEBKGND()
    ON_COMMAND(idPrint, OnPrintCmd)
    ON_COMMAND(idNext, OnNextPage)
    ON_COMMAND(idPrev, OnPrevPage)
    ON_COMMAND(idZoomIn, OnZoomIn)
    ON_COMMAND(idZoomOut, OnZoomOut)
    ON_COMMAND(idClose, OnCloseCmd)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CPrintPreviewWnd::CPageArea, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_MOUSEWHEEL()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CPrintPreviewWnd::CPrintPreviewWnd()
    : m_pView(NULL), m_pInfo(NULL), m_sizePaper(0, 0), m_nLastPage(0), m_nCurPage(1), m_nZoom(zoomWholePage),
      m_hWndTop(NULL)
{
    m_pageArea.m_pOwner = this;
}

CPrintPreviewWnd::~CPrintPreviewWnd()
{
    for (int i = 0; i < m_pages.GetSize(); i++)
        if (m_pages[i] != NULL) ::DeleteEnhMetaFile((HENHMETAFILE)m_pages[i]);
    m_dcPrinter.Detach();
    delete m_pInfo;   // its print dialog deletes the printer context
}

BOOL CPrintPreviewWnd::Create(CView* pView, CPrintInfo* pInfo)
{
    m_pView = pView;
    m_pInfo = pInfo;
    HDC hPrinter = pInfo != NULL && pInfo->m_pPD != NULL ? pInfo->m_pPD->m_pd.hDC : NULL;
    if (pView == NULL || pView->m_hWnd == NULL || hPrinter == NULL) return FALSE;
    m_dcPrinter.Attach(hPrinter);
    m_dcPrinter.m_bPrinting = TRUE;
    m_sizePaper = CSize(m_dcPrinter.GetDeviceCaps(HORZRES), m_dcPrinter.GetDeviceCaps(VERTRES));
    if (m_sizePaper.cx <= 0 || m_sizePaper.cy <= 0) return FALSE;
    m_nCurPage = pInfo->GetFromPage();

    CWnd* pTop = pView->GetTopLevelParent();
    m_hWndTop = pTop != NULL ? pTop->m_hWnd : pView->m_hWnd;
    CRect rect;
    ::GetWindowRect(m_hWndTop, &rect);
    if (::IsIconic(m_hWndTop) || rect.IsRectEmpty()) {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rect, 0);
    }
    HidePopups(m_hWndTop);

    if (!CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(NULL, IDC_ARROW)), L"",
                  WS_POPUP | WS_CLIPCHILDREN, rect.left, rect.top, rect.Width(), rect.Height(), m_hWndTop, NULL)) {
        RestorePopups();
        return FALSE;
    }
    m_font.CreateFont(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Shell Dlg");
    int x = 8;
    for (const BarButton& b : kButtons) {
        HWND h = ::CreateWindowExW(0, L"BUTTON", LoadText(b.id, b.fallback),
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x, (kBarHeight - kButtonHeight) / 2,
                                   kButtonWidth, kButtonHeight, m_hWnd, (HMENU)(UINT_PTR)b.id, NULL, NULL);
        ::SendMessageW(h, WM_SETFONT, (WPARAM)m_font.GetSafeHandle(), FALSE);
        x += kButtonWidth + 4;
    }
    HWND hNumber = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE, x + 8,
                                     (kBarHeight - kButtonHeight) / 2, 120, kButtonHeight, m_hWnd,
                                     (HMENU)(UINT_PTR)idPageNumber, NULL, NULL);
    ::SendMessageW(hNumber, WM_SETFONT, (WPARAM)m_font.GetSafeHandle(), FALSE);
    if (!m_pageArea.CreateEx(0, AfxRegisterWndClass(0, ::LoadCursorW(NULL, IDC_ARROW)), L"",
                             WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0, kBarHeight, rect.Width(),
                             rect.Height() - kBarHeight, m_hWnd, (HMENU)(UINT_PTR)idPageArea)) {
        RestorePopups();
        return FALSE;
    }
    pView->m_pPreviewWnd = this;
    pView->OnBeginPrinting(&m_dcPrinter, m_pInfo);
    if (!HasPage(m_nCurPage)) m_nLastPage = m_nCurPage;   // an empty job still shows its blank sheet
    RecalcPageArea();
    UpdateBar();
    ShowWindow(SW_SHOW);
    SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetFocus(::GetDlgItem(m_hWnd, idClose));
    return TRUE;
}

// The job's page nPage, recorded on first use; NULL when the job has no such page.
HENHMETAFILE CPrintPreviewWnd::PageAt(UINT nPage)
{
    const UINT first = m_pInfo->GetFromPage();
    if (nPage < first || nPage > m_pInfo->GetToPage() || (m_nLastPage != 0 && nPage > m_nLastPage)) return NULL;
    const int index = (int)(nPage - first);
    if (index < m_pages.GetSize() && m_pages[index] != NULL) return (HENHMETAFILE)m_pages[index];

    // The frame in hundredths of a millimetre at the printer's own pixel size, so the
    // recording plays back as exactly the printer's page.
    const RECT frame = {0, 0, m_dcPrinter.GetDeviceCaps(HORZSIZE) * 100, m_dcPrinter.GetDeviceCaps(VERTSIZE) * 100};
    HDC hRecord = ::CreateEnhMetaFileW(m_dcPrinter.m_hDC, NULL, &frame, NULL);
    if (hRecord == NULL) return NULL;
    CDC dc;
    dc.Attach(hRecord);
    dc.SetAttribDC(m_dcPrinter.m_hDC);
    dc.m_bPrinting = TRUE;
    m_pInfo->m_nCurPage = nPage;
    m_pInfo->m_bContinuePrinting = TRUE;
    m_pView->OnPrepareDC(&dc, m_pInfo);
    const BOOL exists = m_pInfo->m_bContinuePrinting;
    if (exists) {
        m_pInfo->m_rectDraw.SetRect(0, 0, m_sizePaper.cx, m_sizePaper.cy);
        m_pView->OnPrint(&dc, m_pInfo);
    }
    dc.Detach();
    HENHMETAFILE hPage = ::CloseEnhMetaFile(hRecord);
    if (!exists) {
        ::DeleteEnhMetaFile(hPage);
        if (m_nLastPage == 0 || nPage <= m_nLastPage) m_nLastPage = nPage - 1;
        return NULL;
    }
    while (m_pages.GetSize() <= index) m_pages.Add(NULL);
    m_pages[index] = hPage;
    return hPage;
}

BOOL CPrintPreviewWnd::HasPage(UINT nPage) { return PageAt(nPage) != NULL; }

BOOL CPrintPreviewWnd::ShowPage(UINT nPage)
{
    if (!HasPage(nPage)) return FALSE;
    m_nCurPage = nPage;
    m_pageArea.SetScrollPos(SB_VERT, 0);
    m_pageArea.SetScrollPos(SB_HORZ, 0);
    UpdateBar();
    m_pageArea.Invalidate(FALSE);
    return TRUE;
}

void CPrintPreviewWnd::SetZoom(int nZoom)
{
    if (nZoom < zoomWholePage) nZoom = zoomWholePage;
    if (nZoom > zoomMax) nZoom = zoomMax;
    if (nZoom == m_nZoom) return;
    // Keep the middle of what is shown in the middle.
    CRect client;
    m_pageArea.GetClientRect(&client);
    const CRect before = GetPageRect();
    const double fx = before.Width() > 0 ? (client.Width() / 2.0 - before.left) / before.Width() : 0.5;
    const double fy = before.Height() > 0 ? (client.Height() / 2.0 - before.top) / before.Height() : 0.5;
    m_nZoom = nZoom;
    RecalcPageArea();
    const CRect after = GetPageRect();
    const int sx = m_pageArea.GetScrollPos(SB_HORZ) + (int)(after.left + fx * after.Width() - client.Width() / 2.0);
    const int sy = m_pageArea.GetScrollPos(SB_VERT) + (int)(after.top + fy * after.Height() - client.Height() / 2.0);
    m_pageArea.SetScrollPos(SB_HORZ, sx);
    m_pageArea.SetScrollPos(SB_VERT, sy);
    UpdateBar();
    m_pageArea.Invalidate(FALSE);
}

// The page's rectangle for the zoom: fitted whole into the area, then enlarged; centred
// while it is smaller than the area, otherwise placed by the scroll bars.
CRect CPrintPreviewWnd::GetPageRect() const
{
    CRect client;
    ::GetClientRect(m_pageArea.m_hWnd, &client);
    if (m_sizePaper.cx <= 0 || m_sizePaper.cy <= 0) return CRect(0, 0, 0, 0);
    const double fit = std::min((double)(client.Width() - 2 * kPageMargin) / m_sizePaper.cx,
                                (double)(client.Height() - 2 * kPageMargin) / m_sizePaper.cy);
    const double scale = std::max(fit, 0.01) * (1 << m_nZoom);
    const int w = std::max(1, (int)(m_sizePaper.cx * scale + 0.5));
    const int h = std::max(1, (int)(m_sizePaper.cy * scale + 0.5));
    const int x = w + 2 * kPageMargin <= client.Width() ? (client.Width() - w) / 2
                                                         : kPageMargin - ::GetScrollPos(m_pageArea.m_hWnd, SB_HORZ);
    const int y = h + 2 * kPageMargin <= client.Height() ? (client.Height() - h) / 2
                                                          : kPageMargin - ::GetScrollPos(m_pageArea.m_hWnd, SB_VERT);
    return CRect(x, y, x + w, y + h);
}

void CPrintPreviewWnd::RecalcPageArea()
{
    if (m_pageArea.m_hWnd == NULL) return;
    // Twice: showing one bar narrows the area the other depends on.
    for (int pass = 0; pass < 2; pass++) {
        CRect client;
        m_pageArea.GetClientRect(&client);
        const double fit = std::min((double)(client.Width() - 2 * kPageMargin) / std::max<LONG>(1, m_sizePaper.cx),
                                    (double)(client.Height() - 2 * kPageMargin) / std::max<LONG>(1, m_sizePaper.cy));
        const double scale = std::max(fit, 0.01) * (1 << m_nZoom);
        const int total[2] = {(int)(m_sizePaper.cx * scale + 0.5) + 2 * kPageMargin,
                              (int)(m_sizePaper.cy * scale + 0.5) + 2 * kPageMargin};
        const int page[2] = {client.Width(), client.Height()};
        const int bars[2] = {SB_HORZ, SB_VERT};
        for (int i = 0; i < 2; i++) {
            SCROLLINFO si = {sizeof si};
            si.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
            si.nMin = 0;
            si.nMax = m_nZoom == zoomWholePage ? 0 : total[i] - 1;
            si.nPage = m_nZoom == zoomWholePage ? 0 : page[i];
            m_pageArea.SetScrollInfo(bars[i], &si);
            m_pageArea.ShowScrollBar(bars[i], m_nZoom != zoomWholePage && total[i] > page[i]);
        }
    }
}

void CPrintPreviewWnd::UpdateBar()
{
    ::EnableWindow(::GetDlgItem(m_hWnd, idNext), HasPage(m_nCurPage + 1));
    ::EnableWindow(::GetDlgItem(m_hWnd, idPrev), m_nCurPage > m_pInfo->GetFromPage() && HasPage(m_nCurPage - 1));
    ::EnableWindow(::GetDlgItem(m_hWnd, idZoomIn), m_nZoom < zoomMax);
    ::EnableWindow(::GetDlgItem(m_hWnd, idZoomOut), m_nZoom > zoomWholePage);
    CString number;
    number.Format(LoadText(AFX_IDS_PRINTPAGENUM, L"Page %u"), m_nCurPage);
    ::SetDlgItemTextW(m_hWnd, idPageNumber, number);
    // A disabled button cannot keep the focus.
    HWND focus = ::GetFocus();
    if (focus != NULL && ::GetParent(focus) == m_hWnd && !::IsWindowEnabled(focus))
        ::SetFocus(::GetDlgItem(m_hWnd, idClose));
}

void CPrintPreviewWnd::DrawPageArea(CDC* pDC, const CRect& rectClient)
{
    HDC hdc = pDC->GetSafeHdc();
    HBRUSH grey = ::CreateSolidBrush(kBackground);
    ::FillRect(hdc, &rectClient, grey);
    ::DeleteObject(grey);
    const CRect page = GetPageRect();
    CRect shadow = page;
    shadow.OffsetRect(kShadow, kShadow);
    ::FillRect(hdc, &shadow, (HBRUSH)::GetStockObject(BLACK_BRUSH));
    ::FillRect(hdc, &page, (HBRUSH)::GetStockObject(WHITE_BRUSH));
    HENHMETAFILE hPage = PageAt(m_nCurPage);
    if (hPage == NULL) return;
    const int saved = ::SaveDC(hdc);
    ::IntersectClipRect(hdc, page.left, page.top, page.right, page.bottom);
    ::SetStretchBltMode(hdc, HALFTONE);
    ::SetBrushOrgEx(hdc, 0, 0, NULL);
    ::PlayEnhMetaFile(hdc, hPage, &page);
    ::RestoreDC(hdc, saved);
}

void CPrintPreviewWnd::HidePopups(HWND hWndTop)
{
    PopupSearch search = {hWndTop, m_hWnd, &m_hidden};
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectPopup, (LPARAM)&search);
    for (int i = 0; i < m_hidden.GetSize(); i++)
        ::ShowWindow((HWND)m_hidden[i], SW_HIDE);
}

// Bottom first, each to the front: they end in the order they had.  Each is painted
// afresh: the display may have dropped what it showed while it was hidden.
void CPrintPreviewWnd::RestorePopups()
{
    for (int i = (int)m_hidden.GetSize() - 1; i >= 0; i--) {
        HWND h = (HWND)m_hidden[i];
        if (!::IsWindow(h)) continue;
        ::SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        ::RedrawWindow(h, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    m_hidden.RemoveAll();
}

void CPrintPreviewWnd::Close()
{
    if (m_hWnd == NULL) return;
    HWND hWndTop = m_hWndTop;
    ShowWindow(SW_HIDE);
    RestorePopups();
    DestroyWindow();   // deletes this
    if (::IsWindow(hWndTop)) {
        ::SetForegroundWindow(hWndTop);
        ::SetActiveWindow(hWndTop);
    }
}

BOOL CPrintPreviewWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN) {
        switch (pMsg->wParam) {
        case VK_ESCAPE: Close(); return TRUE;
        case VK_NEXT: OnNextPage(); return TRUE;
        case VK_PRIOR: OnPrevPage(); return TRUE;
        default: break;
        }
    }
    return CWnd::PreTranslateMessage(pMsg);
}

void CPrintPreviewWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (m_pageArea.m_hWnd != NULL) m_pageArea.MoveWindow(0, kBarHeight, cx, std::max(0, cy - kBarHeight));
}

BOOL CPrintPreviewWnd::OnEraseBkgnd(CDC* pDC)
{
    CRect bar;
    GetClientRect(&bar);
    bar.bottom = kBarHeight;
    ::FillRect(pDC->GetSafeHdc(), &bar, ::GetSysColorBrush(COLOR_BTNFACE));
    return TRUE;
}

void CPrintPreviewWnd::OnClose() { Close(); }

// The window goes away (closed, or with its owner): the job ends with it.
void CPrintPreviewWnd::OnDestroy()
{
    if (m_pView != NULL) {
        if (m_pView->m_pPreviewWnd == this) {
            m_pView->m_pPreviewWnd = NULL;
            m_pView->OnEndPrinting(&m_dcPrinter, m_pInfo);
        }
    }
    CWnd::OnDestroy();
}

void CPrintPreviewWnd::PostNcDestroy() { delete this; }

// The print command goes to the view once the preview has closed, as if chosen there.
void CPrintPreviewWnd::OnPrintCmd()
{
    HWND hView = m_pView != NULL ? m_pView->m_hWnd : NULL;
    Close();
    if (::IsWindow(hView)) ::PostMessageW(hView, WM_COMMAND, ID_FILE_PRINT, 0);
}

void CPrintPreviewWnd::OnNextPage() { ShowPage(m_nCurPage + 1); }
void CPrintPreviewWnd::OnPrevPage()
{
    if (m_nCurPage > m_pInfo->GetFromPage()) ShowPage(m_nCurPage - 1);
}
void CPrintPreviewWnd::OnZoomIn() { SetZoom(m_nZoom + 1); }
void CPrintPreviewWnd::OnZoomOut() { SetZoom(m_nZoom - 1); }
void CPrintPreviewWnd::OnCloseCmd() { Close(); }

// The page area ----------------------------------------------------------------------

void CPrintPreviewWnd::CPageArea::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    CRect client;
    GetClientRect(&client);
    // Drawn off-screen and copied in one step: the page never flickers through grey.
    HDC mem = ::CreateCompatibleDC(hdc);
    HBITMAP bitmap = AfxCreateCompatibleBitmap(hdc, std::max(1, client.Width()), std::max(1, client.Height()));
    HGDIOBJ old = ::SelectObject(mem, bitmap);
    CDC dc;
    dc.Attach(mem);
    m_pOwner->DrawPageArea(&dc, client);
    dc.Detach();
    ::BitBlt(hdc, 0, 0, client.Width(), client.Height(), mem, 0, 0, SRCCOPY);
    ::SelectObject(mem, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(mem);
    ::EndPaint(m_hWnd, &ps);
}

BOOL CPrintPreviewWnd::CPageArea::OnEraseBkgnd(CDC*) { return TRUE; }

void CPrintPreviewWnd::CPageArea::Scroll(int nBar, UINT nSBCode)
{
    SCROLLINFO si = {sizeof si};
    si.fMask = SIF_ALL;
    if (!GetScrollInfo(nBar, &si)) return;
    int pos = si.nPos;
    switch (nSBCode) {
    case SB_LINEUP: pos -= kLineStep; break;
    case SB_LINEDOWN: pos += kLineStep; break;
    case SB_PAGEUP: pos -= (int)si.nPage; break;
    case SB_PAGEDOWN: pos += (int)si.nPage; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = si.nMin; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return;
    }
    const int last = std::max(si.nMin, si.nMax - (int)si.nPage + 1);
    pos = std::max(si.nMin, std::min(pos, last));
    if (pos == si.nPos) return;
    SetScrollPos(nBar, pos);
    Invalidate(FALSE);
}

void CPrintPreviewWnd::CPageArea::OnHScroll(UINT nSBCode, UINT, CScrollBar*) { Scroll(SB_HORZ, nSBCode); }
void CPrintPreviewWnd::CPageArea::OnVScroll(UINT nSBCode, UINT, CScrollBar*) { Scroll(SB_VERT, nSBCode); }

BOOL CPrintPreviewWnd::CPageArea::OnMouseWheel(UINT, short zDelta, CPoint)
{
    Scroll(SB_VERT, zDelta < 0 ? SB_LINEDOWN : SB_LINEUP);
    return TRUE;
}

void CPrintPreviewWnd::CPageArea::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    m_pOwner->RecalcPageArea();
    Invalidate(FALSE);
}

// The view's preview command -----------------------------------------------------------

void CView::OnFilePrintPreview()
{
    if (m_pPreviewWnd != NULL) return;
    CPrintInfo* pInfo = new CPrintInfo;
    pInfo->m_bPreview = TRUE;
    if (!OnPreparePrinting(pInfo)) {
        delete pInfo;
        return;
    }
    CPrintPreviewWnd* pWnd = new CPrintPreviewWnd;
    if (!pWnd->Create(this, pInfo)) {
        // A window that was made deletes itself with it; one that was not is ours.
        if (pWnd->m_hWnd != NULL) pWnd->DestroyWindow();
        else delete pWnd;
        AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT);
    }
}
