// Drawing the picture and what lies on it: background, image at the zoom, stamp,
// ruler cross, grid, cursor text, measurement units and the selection tracker; the
// overlay, pane and preview variants; burning stamp and measurements into the picture.
#include "app/store/ImageStore.h"
#include <algorithm>
#include "app/store/MeasureObject.h"
#include "app/store/MemDC.h"
#include <math.h>

namespace {

const UINT kUnitLabelId = 61574;   // "單位："
const int kMajorTick = 8;          // half length
const int kMinorTick = 4;

CSize ScrollSize(CWnd* view, const CRect& client)
{
    CSize size(client.Width(), client.Height());
    SCROLLINFO si = {sizeof si, SIF_RANGE};
    if (view->GetScrollInfo(SB_HORZ, &si, SIF_RANGE) && si.nMax - si.nMin + 1 > size.cx)
        size.cx = si.nMax - si.nMin + 1;
    si.fMask = SIF_RANGE;
    if (view->GetScrollInfo(SB_VERT, &si, SIF_RANGE) && si.nMax - si.nMin + 1 > size.cy)
        size.cy = si.nMax - si.nMin + 1;
    return size;
}

}  // namespace

void CImageStore::DrawTracker(CDC* dc)
{
    if (m_tracker.m_rect.Width() <= 0 || m_tracker.m_rect.Height() <= 0)
        return;
    // The tracker lives in client coordinates (the mouse's); draw it where the view
    // shows them.
    CRectTracker shown = m_tracker;
    const CPoint s = ScrollPosition(m_pPaintedView);
    shown.m_rect.OffsetRect(s.x, s.y);
    shown.Draw(dc);
}

void CImageStore::DrawToView(CWnd* view, CDC* dc)
{
    if (view == NULL || dc == NULL)
        return;
    m_pPaintedView = view;
    if (dc->IsPrinting()) {
        if (m_pCurrent != NULL)
            PrintLayout(dc);
        return;
    }
    CRect client;
    view->GetClientRect(&client);
    const bool brush = m_background.GetSafeHandle() != NULL;
    CRect fill(0, 0, 0, 0);
    if (brush) {
        const CSize size = ScrollSize(view, client);
        fill.SetRect(0, 0, size.cx, size.cy);
    }
    // When the brush covers the whole clip box, the off-screen bitmap needs no fill first.
    CRect clip, covered;
    dc->GetClipBox(&clip);
    const BOOL clipCovered = brush && covered.IntersectRect(&fill, &clip) && covered == clip;
    CMemDC mem(dc, &m_paintSurface, !clipCovered);
    {
        CSingleLock lock(&m_lock, TRUE);
        if (m_pCurrent != NULL)
            m_imageRect = ComputeImageRect(client);
        if (brush) {
            // An opaque picture hides the background under it: fill around it only.
            const bool opaque = m_pCurrent != NULL && m_pCurrent->IsValid() && !m_pCurrent->AlphaIsValid();
            const int saved = opaque ? mem.SaveDC() : 0;
            if (opaque)
                mem.ExcludeClipRect(&m_imageRect);
            const CPoint origin = mem.GetViewportOrg();
            ::SetBrushOrgEx(mem.GetSafeHdc(), origin.x % 8, origin.y % 8, NULL);
            mem.FillRect(&fill, &m_background);
            if (opaque)
                mem.RestoreDC(saved);
        }
        if (m_pCurrent == NULL)
            return;
        m_pCurrent->Draw(mem.GetSafeHdc(), m_imageRect, NULL, false);
    }
    DrawTimeStamp(&mem, m_imageRect);
    if (m_rulerVisible)
        DrawRulerCross(&mem, m_imageRect);
    if (m_gridVisible)
        DrawGrid(&mem, m_imageRect);
    const CPoint s = ScrollPosition(view);
    CRect imageOnScreen = m_imageRect;
    imageOnScreen.OffsetRect(-s.x, -s.y);
    CRect text = client;
    text.left += s.x;
    text.bottom += s.y;
    DrawCursorText(&mem, imageOnScreen, text);
    if (m_pMeasure != NULL) {
        m_pMeasure->SetScale(m_zoom > 0.1f ? m_zoom : 0.1f);
        m_pMeasure->DrawAllUnit(&mem, CSize(m_imageRect.left, m_imageRect.top));
    }
    DrawTracker(&mem);
}

void CImageStore::DrawInWindow(CWnd* window, CDC* dc)
{
    if (window == NULL || dc == NULL || m_pCurrent == NULL)
        return;
    CRect client;
    window->GetClientRect(&client);
    const CRect r = ComputeImageRect(client);
    {
        CSingleLock lock(&m_lock, TRUE);
        if (m_pCurrent != NULL)
            m_pCurrent->Draw(dc->GetSafeHdc(), r, NULL, false);
    }
    DrawTimeStamp(dc, r);
    if (m_pMeasure != NULL) {
        m_imageRect = r;
        m_pMeasure->SetScale(m_zoom > 0.1f ? m_zoom : 0.1f);
        m_pMeasure->DrawAllUnit(dc, CSize(r.left, r.top));
    }
    DrawTracker(dc);
}

void CImageStore::DrawLiveOverlay(CWnd* view, CDC* dc, int ox, int oy)
{
    if (view == NULL || dc == NULL || m_pCurrent == NULL)
        return;
    CRect client;
    view->GetClientRect(&client);
    const CRect r = ComputeImageRect(client);
    CRect shifted = r;
    shifted.OffsetRect(-ox, -oy);
    m_imageRect = r;
    if (m_rulerVisible)
        DrawRulerCross(dc, shifted);
    if (m_gridVisible)
        DrawGrid(dc, shifted);
    DrawCursorText(dc, shifted, client);
    if (m_pMeasure != NULL) {
        m_pMeasure->SetScale(m_zoom > 0.1f ? m_zoom : 0.1f);
        m_pMeasure->DrawAllUnit(dc, CSize(r.left - ox, r.top - oy));
    }
    DrawTracker(dc);
}

void CImageStore::DrawCentered(CWnd* owner, CDC* dc, RECT rect)
{
    if (owner == NULL || dc == NULL || m_pCurrent == NULL)
        return;
    CSingleLock lock(&m_lock, TRUE);
    if (m_pCurrent == NULL)
        return;
    const double w = m_pCurrent->GetWidth() * (double)m_zoom, h = m_pCurrent->GetHeight() * (double)m_zoom;
    const double x = (rect.right - rect.left - w) / 2, y = (rect.bottom - rect.top - h) / 2;
    m_pCurrent->Draw(dc->GetSafeHdc(), x > 0 ? (long)x : 0, y > 0 ? (long)y : 0, (long)w, (long)h, NULL, false);
}

BOOL CImageStore::RenderWithMeasures()
{
    // Runs inside the lock held by the save with overlays.
    if (m_pCurrent == NULL)
        return FALSE;
    const int w = (int)m_pCurrent->GetWidth(), h = (int)m_pCurrent->GetHeight();
    // A 24-bit section holding the picture itself: full colour at any size, and every
    // pixel not drawn over stays as it was.
    CxImage rgb(*m_pCurrent, true, false, false);
    if (!rgb.IncreaseBpp(24))
        return FALSE;
    BITMAPINFO bmi;
    memset(&bmi, 0, sizeof bmi);
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    void* bits = NULL;
    HBITMAP dib = ::CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, &bits, NULL, 0);
    if (dib == NULL || bits == NULL)
        return FALSE;
    memcpy(bits, rgb.GetBits(), rgb.GetSize());
    CDC mem;
    mem.Attach(::CreateCompatibleDC(NULL));
    HGDIOBJ old = ::SelectObject(mem.GetSafeHdc(), dib);
    const float zoom = m_zoom;
    const CRect rect = m_imageRect;
    m_zoom = 1.0f;
    m_imageRect.SetRect(0, 0, w, h);
    DrawTimeStamp(&mem, m_imageRect);
    if (m_pMeasure != NULL) {
        m_pMeasure->SetScale(1.0f);
        m_pMeasure->DrawAllUnit(&mem, CSize(0, 0));
    }
    ::GdiFlush();
    memcpy(rgb.GetBits(), bits, rgb.GetSize());
    ::SelectObject(mem.GetSafeHdc(), old);
    ::DeleteDC(mem.Detach());
    ::DeleteObject(dib);
    m_zoom = zoom;
    m_imageRect = rect;
    if (m_pMeasure != NULL)
        m_pMeasure->SetScale(zoom > 0.1f ? zoom : 0.1f);
    rgb.SetType(m_pCurrent->GetType());
    m_pCurrent->Transfer(rgb);
    return TRUE;
}

void CImageStore::DrawTimeStamp(CDC* dc, const CRect& rect)
{
    if (!m_showDate && !m_showTime && m_stampText.IsEmpty())
        return;
    int iw = 0, ih = 0;
    GetImageSize(&iw, &ih);
    const double W = iw, H = ih, z = m_zoom;
    dc->SetBkMode(TRANSPARENT);
    const COLORREF oldColour = dc->SetTextColor(m_stampColor);
    CFont font;
    font.CreateFont((int)std::max(1.0, H * z * 0.03), (int)(W * z * 0.02), 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    FF_SWISS, NULL);
    CFont* oldFont = dc->SelectObject(&font);
    const CString date = m_fileTime.Format(L"%Y-%m-%d");
    const CString time = m_fileTime.Format(L"%H:%M:%S");
    const double cw = std::max(1.0, W * z * 0.02);
    const int y = (int)(rect.top + H * z * 0.03);
    if (m_showDate)
        dc->TextOut((int)std::max((double)rect.left, rect.right - (date.GetLength() + time.GetLength() + 6) * cw), y,
                    date);
    if (m_showTime)
        dc->TextOut((int)(rect.right - (time.GetLength() + 3) * cw), y, time);
    if (!m_stampText.IsEmpty()) {
        const double cw3 = std::max(1.0, W * z * 0.03);
        dc->TextOut((int)std::max((double)rect.left, rect.right - (m_stampText.GetLength() + 2) * cw3),
                    (int)(rect.bottom - H * z * 0.09), m_stampText);
    }
    dc->SelectObject(oldFont);
    dc->SetTextColor(oldColour);
}

void CImageStore::UpdateRulerScale()
{
    const double p = GetPerPixelLength();
    const double z = m_zoom, a = z + 0.005;
    int major;
    double length;
    if (z <= 0.4) {
        major = 40;
        length = 40 / (a * 10) * p;
    } else if (z <= 1.6) {
        major = (int)(a * 100);
        length = 10 * p;
    } else if (z <= 4.0) {
        major = (int)(a * 50);
        length = 5 * p;
    } else if (z <= 8.0) {
        major = (int)(a * 20);
        length = 2 * p;
    } else {
        major = (int)(a * 10);
        length = p;
    }
    m_ruler.majorSpacing = (DWORD)major;
    m_ruler.scaleLength = (DWORD)(int)length;
    for (int k = 0; k < 10; ++k)
        m_ruler.minorGaps[k] = (DWORD)(major / 10 + (k < major % 10 ? 1 : 0));
}

void CImageStore::DrawRulerCross(CDC* dc, const CRect& rect)
{
    // The centre from the ruler position, relative to the rectangle drawn into.
    CPoint c;
    if (m_rulerX >= 0 && m_rulerY >= 0)
        c = CPoint((int)(m_rulerX * m_zoom + rect.left), (int)(m_rulerY * m_zoom + rect.top));
    else
        c = CPoint(rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2);
    LOGPEN lp = m_ruler.pen;
    CPen pen;
    pen.CreatePenIndirect(&lp);
    LOGBRUSH lb = {m_ruler.brush.lbStyle, m_ruler.brush.lbColor, m_ruler.brush.lbHatch};
    CBrush brush;
    brush.CreateBrushIndirect(&lb);
    const int saved = dc->SaveDC();
    dc->SelectObject(&pen);
    if (!m_ruler.transparentBK) {
        const COLORREF bk = m_ruler.brush.lbColor;
        dc->FillSolidRect(CRect(rect.left, c.y - kMajorTick, rect.right, c.y + kMajorTick), bk);
        dc->FillSolidRect(CRect(c.x - kMajorTick, rect.top, c.x + kMajorTick, rect.bottom), bk);
        dc->SetBkColor(bk);
        dc->SetBkMode(OPAQUE);
    } else {
        dc->SetBkMode(TRANSPARENT);
    }
    dc->MoveTo(rect.left, c.y);
    dc->LineTo(rect.right, c.y);
    dc->MoveTo(c.x, rect.top);
    dc->LineTo(c.x, rect.bottom);
    const int major = (int)m_ruler.majorSpacing;
    if (major > 0) {
        for (int x = c.x - major; x >= rect.left; x -= major) {
            dc->MoveTo(x, c.y - kMajorTick);
            dc->LineTo(x, c.y + kMajorTick);
        }
        for (int x = c.x + major; x <= rect.right; x += major) {
            dc->MoveTo(x, c.y - kMajorTick);
            dc->LineTo(x, c.y + kMajorTick);
        }
        for (int y = c.y - major; y >= rect.top; y -= major) {
            dc->MoveTo(c.x - kMajorTick, y);
            dc->LineTo(c.x + kMajorTick, y);
        }
        for (int y = c.y + major; y <= rect.bottom; y += major) {
            dc->MoveTo(c.x - kMajorTick, y);
            dc->LineTo(c.x + kMajorTick, y);
        }
    }
    // Minor ticks; gaps of 0 (no scale computed yet) draw none rather than loop.
    int gapSum = 0;
    for (DWORD g : m_ruler.minorGaps)
        gapSum += (int)g;
    if (gapSum > 0) {
        for (int dir = 0; dir < 4; ++dir) {
            int d = (int)m_ruler.minorGaps[0];
            for (int k = 1;; ++k) {
                const int x = dir == 0 ? c.x - d : (dir == 1 ? c.x + d : c.x);
                const int y = dir == 2 ? c.y - d : (dir == 3 ? c.y + d : c.y);
                if (x < rect.left || x > rect.right || y < rect.top || y > rect.bottom)
                    break;
                if (dir < 2) {
                    dc->MoveTo(x, c.y - kMinorTick);
                    dc->LineTo(x, c.y + kMinorTick);
                } else {
                    dc->MoveTo(c.x - kMinorTick, y);
                    dc->LineTo(c.x + kMinorTick, y);
                }
                d += (int)m_ruler.minorGaps[k % 10];
            }
        }
    }
    CString label;
    label.LoadString(kUnitLabelId);
    const float perPixel = m_pMeasure != NULL ? CQrMeasure::GetperPixelLength() : 0.0f;
    LPCWSTR unit = m_pMeasure != NULL ? CQrMeasure::GetFathomType() : NULL;
    CString text;
    text.Format(L"%s%.2f %s", (LPCWSTR)label, perPixel * 10.0, unit != NULL ? unit : L"");
    dc->SetTextColor(m_ruler.pen.lopnColor);
    dc->TextOut(rect.left + 5, rect.top + 5, text);
    dc->RestoreDC(saved);
}

void CImageStore::DrawGrid(CDC* dc, const CRect& rect)
{
    double p = m_pMeasure != NULL ? CQrMeasure::GetperPixelLength() : 0.0;
    // Without a calibration the spacing counts pixels.
    if (!(p > 0.0))
        p = 1.0;
    int step = (int)(m_gridSpacing / p * m_zoom);
    if (step < 1)
        step = 1;
    CPen pen(PS_SOLID, 1, m_gridColor);
    CPen* old = dc->SelectObject(&pen);
    for (int k = 1; k * step < rect.Width(); ++k) {
        dc->MoveTo(rect.left + k * step, rect.top);
        dc->LineTo(rect.left + k * step, rect.bottom);
    }
    for (int k = 1; k * step < rect.Height(); ++k) {
        dc->MoveTo(rect.left, rect.top + k * step);
        dc->LineTo(rect.right, rect.top + k * step);
    }
    dc->SelectObject(old);
}

void CImageStore::DrawCursorText(CDC* dc, const CRect& imageRect, const CRect& textRect)
{
    const int dx = m_cursor.x - imageRect.left, dy = m_cursor.y - imageRect.top;
    if (dx >= 0 && dx <= imageRect.Width() && dy >= 0 && dy <= imageRect.Height())
        m_cursorOffset = CPoint(dx, dy);
    CString text;
    text.Format(L"X:%d,Y:%d", m_cursorOffset.x, m_cursorOffset.y);
    const COLORREF old = dc->SetTextColor(0xFF0000);
    const int mode = dc->SetBkMode(TRANSPARENT);
    dc->TextOut(textRect.left + 6, textRect.bottom - 20, text);
    dc->SetBkMode(mode);
    dc->SetTextColor(old);
}
