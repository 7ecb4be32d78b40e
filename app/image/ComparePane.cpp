#include "app/image/ComparePane.h"
#include "app/browse/ThumbnailListCtrl.h"
#include "app/capture/PreviewWnd.h"
#include "app/shell/ShellLinks.h"

IMPLEMENT_DYNAMIC(CComparePane, CDialog)

BEGIN_MESSAGE_MAP(CComparePane, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

CComparePane::CComparePane(CWnd* pParent)
    : CDialog(IDD, pParent), m_pStore(NULL), m_zoom(1.0f), m_press(0, 0), m_scrollX(0), m_scrollY(0)
{
}

CComparePane::~CComparePane()
{
    if (GetSafeHwnd() != NULL)
        DestroyWindow();
    CImageStore::Destroy(m_pStore);
}

BOOL CComparePane::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_pStore == NULL)
        m_pStore = CImageStore::Create();
    m_background.CreateSolidBrush(RGB(189, 189, 189));
    return TRUE;
}

// A pane is never ended by Enter or Escape.
void CComparePane::OnOK() {}
void CComparePane::OnCancel() {}

CImageStore* CComparePane::GetStore()
{
    return m_pStore;
}

int CComparePane::OpenFile(LPCWSTR path, int readInfo)
{
    if (m_pStore == NULL)
        return 0;
    const int result = m_pStore->OpenFile(path, readInfo);
    FitToWindow(1);
    return result;
}

void CComparePane::ReleaseImages()
{
    if (m_pStore != NULL)
        m_pStore->ReleaseImages();
}

int CComparePane::SelectedThumbnailIndex()
{
    return 0;
}

int CComparePane::OpenSelectedThumbnail()
{
    std::vector<CString> files;
    if (Links().thumbList != NULL)
        Links().thumbList->GetFileNames(files);
    const int index = SelectedThumbnailIndex();
    int result = 0;
    if (index >= 0 && index < (int)files.size()) {
        // The extension decides, not a folder name that happens to contain ".raw".
        CString ext = GetFileExtension(files[index]);
        ext.MakeLower();
        if (ext != L"avi" && ext != L"raw")
            result = OpenFile(files[index], 0);
    }
    if (result == 0) {
        ReleaseImages();
        if (CWnd* picture = GetDlgItem(IDC_COMPARE_PICTURE))
            picture->MoveWindow(0, 0, 0, 0);
        CRect client;
        GetClientRect(&client);
        SetScrollSizes(client.Width(), client.Height());
    }
    return result;
}

void CComparePane::FitToWindow(int keepOwnZoom)
{
    if (m_pStore == NULL)
        return;
    CRect client;
    GetClientRect(&client);
    m_pStore->FitToRect(&client);
    ResizePicture();
    if (keepOwnZoom == 0 && Links().preview != NULL)
        SetZoom(Links().preview->GetZoom());
}

void CComparePane::SetZoom(float zoom)
{
    m_zoom = zoom;
    if (m_pStore == NULL)
        return;
    m_pStore->SetZoom(zoom);
    ResizePicture();
}

float CComparePane::GetZoom()
{
    return m_pStore != NULL ? m_pStore->GetZoom() : 1.0f;
}

void CComparePane::MirrorImage()
{
    if (m_pStore == NULL)
        return;
    m_pStore->Mirror();
    Invalidate();
}

void CComparePane::FlipImage()
{
    if (m_pStore == NULL)
        return;
    m_pStore->Flip();
    Invalidate();
}

void CComparePane::ResizePicture()
{
    if (m_pStore == NULL || !m_pStore->HasImage() || GetSafeHwnd() == NULL)
        return;
    int w = 0, h = 0;
    m_pStore->GetImageSize(&w, &h);
    const float z = m_pStore->GetZoom();
    int pw = (int)(w * z), ph = (int)(h * z);
    pw = pw > 0 ? pw - pw % 4 : 0;
    ph = ph > 0 ? ph - ph % 4 : 0;
    if (CWnd* picture = GetDlgItem(IDC_COMPARE_PICTURE))
        picture->MoveWindow(0, 0, pw, ph);
    SetScrollSizes(pw, ph);
}

void CComparePane::SetScrollSizes(int width, int height)
{
    if (GetSafeHwnd() == NULL)
        return;
    CRect client;
    GetClientRect(&client);
    const int sizes[2] = {width, height};
    const int pages[2] = {client.Width(), client.Height()};
    const int bars[2] = {SB_HORZ, SB_VERT};
    for (int i = 0; i < 2; ++i) {
        SCROLLINFO si = {sizeof si};
        si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
        si.nMin = 0;
        si.nMax = sizes[i] / kStep - 1 > 0 ? sizes[i] / kStep - 1 : 0;
        si.nPage = (UINT)(pages[i] / kStep);
        si.nPos = 0;
        SetScrollInfo(bars[i], &si, TRUE);
    }
    m_scrollX = m_scrollY = 0;
    Invalidate();
}

int CComparePane::TopPosition(int bar)
{
    SCROLLINFO si = {sizeof si};
    si.fMask = SIF_ALL;
    GetScrollInfo(bar, &si, SIF_ALL);
    const int top = si.nMax - (int)si.nPage + 1;
    return top > si.nMin ? top : si.nMin;
}

void CComparePane::ScrollTo(int bar, int position)
{
    const int top = TopPosition(bar);
    if (position > top)
        position = top;
    if (position < 0)
        position = 0;
    const int old = GetScrollPos(bar);
    if (position != old) {
        SetScrollPos(bar, position);
        const int delta = (old - position) * kStep;
        if (bar == SB_HORZ)
            ScrollWindow(delta, 0);
        else
            ScrollWindow(0, delta);
    }
    (bar == SB_HORZ ? m_scrollX : m_scrollY) = position * kStep;
}

void CComparePane::Scroll(int bar, UINT code)
{
    SCROLLINFO si = {sizeof si};
    si.fMask = SIF_ALL;
    GetScrollInfo(bar, &si, SIF_ALL);
    const int pos = si.nPos;
    switch (code) {
    case SB_LINELEFT:
        ScrollTo(bar, pos - 1);
        break;
    case SB_LINERIGHT:
        ScrollTo(bar, pos + 1);
        break;
    case SB_PAGELEFT:
        ScrollTo(bar, pos - kPageStep);
        break;
    case SB_PAGERIGHT:
        ScrollTo(bar, pos + kPageStep);
        break;
    case SB_THUMBTRACK:
        ScrollTo(bar, si.nTrackPos);
        break;
    case SB_LEFT:
        ScrollTo(bar, si.nMin);
        break;
    case SB_RIGHT:
        ScrollTo(bar, TopPosition(bar));
        break;
    default:
        break;
    }
}

void CComparePane::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    Scroll(SB_HORZ, nSBCode);
    CDialog::OnHScroll(nSBCode, nPos, pScrollBar);
}

void CComparePane::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    Scroll(SB_VERT, nSBCode);
    CDialog::OnVScroll(nSBCode, nPos, pScrollBar);
}

void CComparePane::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_press = point;
    CDialog::OnLButtonDown(nFlags, point);
}

// The press point stays: holding the pointer away from it keeps scrolling, faster the
// farther it is.
void CComparePane::OnMouseMove(UINT nFlags, CPoint point)
{
    if (nFlags & MK_LBUTTON) {
        const int dx = m_press.x - point.x, dy = m_press.y - point.y;
        if (dx / kDragDivisor != 0)
            ScrollTo(SB_HORZ, GetScrollPos(SB_HORZ) + dx / kDragDivisor);
        if (dy / kDragDivisor != 0)
            ScrollTo(SB_VERT, GetScrollPos(SB_VERT) + dy / kDragDivisor);
    }
    CDialog::OnMouseMove(nFlags, point);
}

BOOL CComparePane::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CComparePane::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    ResizePicture();
}

void CComparePane::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CWnd* picture = GetDlgItem(IDC_COMPARE_PICTURE);
    CRect placed(0, 0, 0, 0);
    if (picture != NULL) {
        picture->GetWindowRect(&placed);
        ScreenToClient(&placed);
    }
    // The grey goes only where the picture will not cover it: each pixel is painted once.
    const int saved = dc.SaveDC();
    if (m_pStore != NULL && m_pStore->HasImage() && picture != NULL) {
        CRect image = m_pStore->ComputeImageRect(client);
        image.OffsetRect(placed.TopLeft());
        dc.ExcludeClipRect(&image);
    }
    dc.FillRect(&client, &m_background);
    dc.RestoreDC(saved);
    if (m_pStore == NULL || picture == NULL)
        return;
    // Drawn in the picture control's coordinates (its origin moves with the control when
    // scrolled) and clipped by the pane, not by the control.
    dc.SetViewportOrg(placed.TopLeft());
    m_pStore->DrawInWindow(this, &dc);
}
