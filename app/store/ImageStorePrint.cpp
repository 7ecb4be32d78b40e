// The print layout: one to four pictures on a page with captions, borders and the date.
// The preview (DrawPrintLayout) works in the layout dialog's coordinates; the printed
// page (PrintLayout) repeats the same arrangement with every length multiplied by the
// page scale. Both go through one computation (LayoutCell and PlaceItem below).
#include "app/store/ImageStore.h"
#include <algorithm>

namespace {

// Page margins and gaps, in the layout dialog's pixels.
const int kMarginLeft = 20;
const int kMarginTop = 60;
const int kMarginRight = 20;
const int kMarginBottom = 40;
const int kStackGap = 20;      // between stacked cells of two or three pictures
const int kColumnGap = 10;     // four pictures: between the columns
const int kRowGap = 19;        // four pictures: between the rows
const int kCellCut = 20;       // taken off each cell's height (room for its caption)
const int kCaptionTop = 3;
const int kCaptionBottom = 20;
const int kDateRise = 40;      // the date sits this far above the area
const int kCharWidth = 7;
const int kCharHeight = 12;

struct Scale
{
    int x, y;
};

CRect LayoutArea(const CRect& page, Scale s)
{
    return CRect(page.left + kMarginLeft * s.x, page.top + kMarginTop * s.y, page.right - kMarginRight * s.x,
                 page.bottom - kMarginBottom * s.y);
}

CSize CellSize(const CRect& area, int n, Scale s)
{
    if (n == 1)
        return area.Size();
    if (n == 4)
        return CSize(area.Width() / 2 - kColumnGap / 2 * s.x, area.Height() / 2 - kCellCut * s.y);
    return CSize(area.Width(), area.Height() / n - kCellCut * s.y);
}

// Cell i of n, filled left to right, top to bottom.
CRect LayoutCell(const CRect& area, int n, int i, Scale s)
{
    const CSize size = CellSize(area, n, s);
    CPoint origin = area.TopLeft();
    if (n == 4) {
        origin.x += (i % 2) * (size.cx + kColumnGap * s.x);
        origin.y += (i / 2) * (size.cy + kRowGap * s.y);
    } else if (n > 1) {
        origin.y += i * (size.cy + kStackGap * s.y);
    }
    return CRect(origin, size);
}

// An image of the given drawn size centred in its cell; it is clipped to the cell, so
// a picture larger than its cell never paints over its neighbours.
void PlaceItem(const CRect& cell, CSize drawn, Scale s, RECT& image, RECT& clip, RECT& caption)
{
    const int ox = std::max<int>(0, cell.Width() - drawn.cx) / 2;
    const int oy = std::max<int>(0, cell.Height() - drawn.cy) / 2;
    const CRect placed(cell.left + ox, cell.top + oy, cell.left + ox + drawn.cx, cell.top + oy + drawn.cy);
    image = placed;
    CRect visible;
    if (!visible.IntersectRect(&placed, &cell))
        visible.SetRectEmpty();
    clip = visible;
    caption = CRect(cell.left, cell.bottom + kCaptionTop * s.y, cell.right, cell.bottom + kCaptionBottom * s.y);
}

int ZoomToFit(const CSize& cell, int width, int height)
{
    if (width <= 0 || height <= 0)
        return 100;
    const double sx = (double)cell.cx / width;
    const double sy = (double)cell.cy / height;
    if (sx >= 1.0 && sy >= 1.0)
        return 100;
    return std::max(0, (int)(std::min(sx, sy) * 100.0));
}

// chars: the character unit (1 in the preview, the printer's pixels per 1/96 inch).
void DrawPage(CDC* dc, const PrintLayoutSettings& print, const CRect& area, BOOL printed, Scale chars)
{
    const int charWidth = kCharWidth * chars.x;
    const int charHeight = kCharHeight * chars.y;
    CFont font;
    font.CreateFont(charHeight, charWidth, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
    CFont* oldFont = dc->SelectObject(&font);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    CGdiObject* oldBrush = dc->SelectStockObject(NULL_BRUSH);
    CGdiObject* oldPen = dc->SelectStockObject(BLACK_PEN);
    for (const PrintItem& item : print.items) {
        const RECT& cell = printed ? item.printedCellRect : item.cellRect;
        const RECT& image = printed ? item.printedImageRect : item.imageRect;
        RECT clip = printed ? item.printedClipRect : item.clipRect;
        const RECT& caption = printed ? item.printedCaptionRect : item.captionRect;
        if (print.showBorder)
            dc->Rectangle(&cell);
        if (item.image != NULL && clip.right > clip.left && clip.bottom > clip.top)
            item.image->Draw(dc->GetSafeHdc(), image, &clip, false);
        if (print.showFileName) {
            const int len = item.title.GetLength();
            const int x = std::max(caption.left, caption.left + (caption.right - caption.left - charWidth * len) / 2);
            dc->TextOut(x, caption.top, item.title);
        }
    }
    if (print.showTime) {
        const int len = print.dateText.GetLength();
        dc->TextOut(area.right - charWidth * len, area.top - kDateRise * chars.y,
                    print.dateText);
    }
    dc->SelectObject(oldPen);
    dc->SelectObject(oldBrush);
    dc->SetBkMode(oldMode);
    dc->SelectObject(oldFont);
}

}  // namespace

// The pending refit and relayout, in the layout dialog's coordinates. They wait for the
// next drawing, in the preview or on the printer.
void CImageStore::UpdatePrintLayout()
{
    PrintLayoutSettings& p = m_print;
    const Scale one = {1, 1};
    const CRect area = LayoutArea(p.pageRect, one);
    const int n = (int)p.items.size();
    if (p.refitPending) {
        p.refitPending = 0;
        if (n >= 1 && n <= 4) {
            const CSize cell = CellSize(area, n, one);
            for (PrintItem& item : p.items) {
                if (!item.fitRequest && item.zoomFixed)
                    continue;
                item.fitRequest = 0;
                item.zoomPercent = ZoomToFit(cell, (int)item.image->GetWidth(), (int)item.image->GetHeight());
            }
        }
    }
    if (p.relayoutPending) {
        p.relayoutPending = 0;
        if (n < 1 || n > 4)
            return;
        for (int i = 0; i < n; ++i) {
            PrintItem& item = p.items[i];
            const CSize drawn((int)(item.image->GetWidth() * item.zoomPercent * 0.01),
                              (int)(item.image->GetHeight() * item.zoomPercent * 0.01));
            const CRect cell = LayoutCell(area, n, i, one);
            item.cellRect = cell;
            PlaceItem(cell, drawn, one, item.imageRect, item.clipRect, item.captionRect);
        }
    }
}

void CImageStore::DrawPrintLayout(CDC* dc)
{
    const CRect page(m_print.pageRect);
    if (dc == NULL || page.Width() <= 0 || page.Height() <= 0)
        return;
    UpdatePrintLayout();
    const int n = (int)m_print.items.size();
    if (n < 1 || n > 4)
        return;
    DrawPage(dc, m_print, LayoutArea(page, Scale{1, 1}), FALSE, Scale{1, 1});
}

void CImageStore::ReadPrinterPage(CDC* dc, int& width, int& height, int& dpiX, int& dpiY)
{
    width = dc->GetDeviceCaps(HORZRES);
    height = dc->GetDeviceCaps(VERTRES);
    dpiX = dc->GetDeviceCaps(LOGPIXELSX);
    dpiY = dc->GetDeviceCaps(LOGPIXELSY);
}

void CImageStore::PrintLayout(CDC* dc)
{
    const CRect page(m_print.pageRect);
    // Until the layout dialog has opened there is no page to scale from: nothing to print.
    if (dc == NULL || page.Width() <= 0 || page.Height() <= 0)
        return;
    int width = 0, height = 0, dpiX = 0, dpiY = 0;
    ReadPrinterPage(dc, width, height, dpiX, dpiY);
    const Scale s = {width / page.Width(), height / page.Height()};
    if (s.x <= 0 || s.y <= 0)
        return;
    UpdatePrintLayout();
    const int n = (int)m_print.items.size();
    if (n < 1 || n > 4)
        return;
    const CRect area = LayoutArea(CRect(0, 0, width, height), s);
    for (int i = 0; i < n; ++i) {
        PrintItem& item = m_print.items[i];
        const CSize drawn((item.imageRect.right - item.imageRect.left) * s.x,
                          (item.imageRect.bottom - item.imageRect.top) * s.y);
        const CRect cell = LayoutCell(area, n, i, s);
        item.printedCellRect = cell;
        PlaceItem(cell, drawn, s, item.printedImageRect, item.printedClipRect, item.printedCaptionRect);
    }
    DrawPage(dc, m_print, area, TRUE, Scale{std::max(1, dpiX / 96), std::max(1, dpiY / 96)});
}
