// Drawing of the units, the counter marks and the scale bar onto a device context.
#include "MeasureImpl.h"
#include <cmath>

namespace {

const COLORREF kUnitColor = RGB(255, 0, 0);
const COLORREF kSelectedColor = RGB(0, 0, 255);
const COLORREF kDraftColor = RGB(0, 192, 0);
const COLORREF kScaleBarColor = RGB(255, 255, 0);
const COLORREF kCounterColors[CQrMeasure::kCounterClasses] = {
    RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 128, 255), RGB(255, 255, 0), RGB(255, 0, 255)
};
const double kPi = 3.14159265358979323846;

struct Mapper
{
    CSize origin;
    double scale;
    CPoint operator()(DPoint p) const
    {
        return CPoint(origin.cx + (int)lround(p.x * scale), origin.cy + (int)lround(p.y * scale));
    }
};

void Segment(CDC* pDC, CPoint a, CPoint b)
{
    pDC->MoveTo(a);
    pDC->LineTo(b);
    pDC->SetPixelV(b.x, b.y, pDC->GetTextColor());   // LineTo leaves the last pixel out
}

void Circle(CDC* pDC, const Mapper& map, DPoint c, double r)
{
    const CPoint pc = map(c);
    const int pr = (int)lround(r * map.scale);
    pDC->Ellipse(pc.x - pr, pc.y - pr, pc.x + pr + 1, pc.y + pr + 1);
}

void Label(CDC* pDC, CPoint at, const CString& text)
{
    if (!text.IsEmpty())
        pDC->TextOut(at.x + 4, at.y - 16, text);
}

DPoint Mid(DPoint a, DPoint b)
{
    return DPoint{ (a.x + b.x) / 2, (a.y + b.y) / 2 };
}

void DrawShape(CDC* pDC, const Mapper& map, const MeasureUnit& u, const CString& text, int number)
{
    const auto& p = u.pts;
    switch (u.item)
    {
    case CQrMeasure::ItemLine:
        Segment(pDC, map(p[0]), map(p[1]));
        Label(pDC, map(Mid(p[0], p[1])), text);
        break;
    case CQrMeasure::ItemRectangle:
    {
        CPoint a = map(p[0]), b = map(p[1]);
        pDC->Rectangle(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1);
        Label(pDC, CPoint(std::min(a.x, b.x), std::min(a.y, b.y)), text);
        break;
    }
    case CQrMeasure::ItemCircle2:
        Circle(pDC, map, p[0], std::hypot(p[1].x - p[0].x, p[1].y - p[0].y));
        Segment(pDC, map(p[0]), map(p[1]));
        Label(pDC, map(p[1]), text);
        break;
    case CQrMeasure::ItemDiameterCircle:
        Circle(pDC, map, Mid(p[0], p[1]), std::hypot(p[1].x - p[0].x, p[1].y - p[0].y) / 2);
        Segment(pDC, map(p[0]), map(p[1]));
        Label(pDC, map(Mid(p[0], p[1])), text);
        break;
    case CQrMeasure::ItemCircle3:
    {
        DPoint c;
        double r;
        if (CircleThrough(p[0], p[1], p[2], c, r))
            Circle(pDC, map, c, r);
        Label(pDC, map(p[1]), text);
        break;
    }
    case CQrMeasure::ItemArc:
    {
        DPoint c;
        double r;
        if (!CircleThrough(p[0], p[1], p[2], c, r))
            break;
        // Walk from the first point to the last, the way that passes the middle one.
        const double a0 = std::atan2(p[0].y - c.y, p[0].x - c.x);
        auto ccw = [&](DPoint q) {
            double d = std::atan2(q.y - c.y, q.x - c.x) - a0;
            while (d < 0)
                d += 2 * kPi;
            return d;
        };
        double sweep = ccw(p[2]);
        if (ccw(p[1]) > sweep)
            sweep -= 2 * kPi;
        const int steps = std::max(8, (int)(std::fabs(sweep) * r * map.scale / 3));
        pDC->MoveTo(map(p[0]));
        for (int i = 1; i <= steps; ++i)
        {
            const double a = a0 + sweep * i / steps;
            pDC->LineTo(map(DPoint{ c.x + r * std::cos(a), c.y + r * std::sin(a) }));
        }
        Label(pDC, map(p[1]), text);
        break;
    }
    case CQrMeasure::ItemAngle:
        Segment(pDC, map(p[1]), map(p[0]));
        Segment(pDC, map(p[1]), map(p[2]));
        Label(pDC, map(p[1]), text);
        break;
    case CQrMeasure::ItemParallel:
    {
        const DPoint f = Foot(p[0], p[1], p[2]);
        const DPoint shift{ p[2].x - f.x, p[2].y - f.y };
        Segment(pDC, map(p[0]), map(p[1]));
        Segment(pDC, map(DPoint{ p[0].x + shift.x, p[0].y + shift.y }),
                map(DPoint{ p[1].x + shift.x, p[1].y + shift.y }));
        Label(pDC, map(Mid(f, p[2])), text);
        break;
    }
    case CQrMeasure::ItemPointToLine:
    {
        const DPoint f = Foot(p[0], p[1], p[2]);
        Segment(pDC, map(p[0]), map(p[1]));
        Segment(pDC, map(p[2]), map(f));
        Label(pDC, map(Mid(f, p[2])), text);
        break;
    }
    case CQrMeasure::ItemConcentric:
        Circle(pDC, map, p[0], std::hypot(p[1].x - p[0].x, p[1].y - p[0].y));
        Circle(pDC, map, p[0], std::hypot(p[2].x - p[0].x, p[2].y - p[0].y));
        Label(pDC, map(p[2]), text);
        break;
    case CQrMeasure::ItemPolygon:
    case CQrMeasure::ItemPolyline:
    {
        std::vector<POINT> pts;
        for (const DPoint& q : p)
            pts.push_back(map(q));
        if (u.item == CQrMeasure::ItemPolygon)
            pDC->Polygon(pts.data(), (int)pts.size());
        else
            pDC->Polyline(pts.data(), (int)pts.size());
        Label(pDC, map(p.back()), text);
        break;
    }
    case CQrMeasure::ItemPointCount:
    {
        const CPoint c = map(p[0]);
        Segment(pDC, CPoint(c.x - 4, c.y), CPoint(c.x + 4, c.y));
        Segment(pDC, CPoint(c.x, c.y - 4), CPoint(c.x, c.y + 4));
        CString n;
        n.Format(L"%d", number);
        Label(pDC, c, n);
        break;
    }
    case CQrMeasure::ItemAnnotation:
        pDC->TextOut(map(p[0]).x, map(p[0]).y, text);
        break;
    }
}

// A bar of a round length (1, 2 or 5 times a power of ten) about 100 window pixels long.
void DrawScaleBar(const CQrMeasure::Impl& m, CDC* pDC)
{
    CRect clip;
    if (pDC->GetClipBox(&clip) == ERROR || clip.IsRectEmpty())
        return;
    const double perWindowPixel = m.perPixel / m.scale;
    const double target = 100 * perWindowPixel;
    double step = std::pow(10.0, std::floor(std::log10(target)));
    for (double f : { 5.0, 2.0 })
        if (step * f <= target)
        {
            step *= f;
            break;
        }
    const int px = (int)lround(step / perWindowPixel);
    const int x = clip.left + 10, y = clip.bottom - 10;
    CPen pen(PS_SOLID, 2, kScaleBarColor);
    CPen* old = pDC->SelectObject(&pen);
    pDC->MoveTo(x, y);
    pDC->LineTo(x + px, y);
    pDC->MoveTo(x, y - 5);
    pDC->LineTo(x, y + 1);
    pDC->MoveTo(x + px, y - 5);
    pDC->LineTo(x + px, y + 1);
    pDC->SelectObject(old);
    CString text;
    text.Format(L"%g %s", step, (LPCWSTR)m.unitName);
    const COLORREF oldColor = pDC->SetTextColor(kScaleBarColor);
    pDC->TextOut(x, y - 20, text);
    pDC->SetTextColor(oldColor);
}

} // namespace

void DrawUnits(const CQrMeasure::Impl& m, CDC* pDC, CSize origin)
{
    const Mapper map{ origin, m.scale };
    CPen unitPen(PS_SOLID, 1, kUnitColor);
    CPen selectedPen(PS_SOLID, 1, kSelectedColor);
    CPen draftPen(PS_DOT, 1, kDraftColor);
    const int saved = pDC->SaveDC();
    pDC->SetBkMode(TRANSPARENT);
    pDC->SelectStockObject(NULL_BRUSH);
    pDC->SelectStockObject(DEFAULT_GUI_FONT);

    int pointNumber = 0;
    for (size_t i = 0; i < m.units.size(); ++i)
    {
        const MeasureUnit& u = m.units[i];
        if (u.item == CQrMeasure::ItemPointCount)
            ++pointNumber;   // numbers run over hidden layers too, so they never change
        if (!m.LayerVisible(u.layer))
            continue;
        const bool selected = (int)i == m.selected;
        pDC->SelectObject(selected ? &selectedPen : &unitPen);
        pDC->SetTextColor(selected ? kSelectedColor : kUnitColor);
        MeasureValue v = MeasureUnitValue(u, m.perPixel, m.unitName, m.decimals);
        DrawShape(pDC, map, u, v.text, pointNumber);
    }

    if (m.drafting && !m.draft.pts.empty())
    {
        pDC->SelectObject(&draftPen);
        pDC->SetTextColor(kDraftColor);
        MeasureUnit shown = m.draft;
        const ToolSpec* spec = FindToolByItem(shown.item);
        if (spec && spec->input != ToolInput::Drag)
            shown.pts.push_back(m.hover);
        if (UnitIsValid(shown))
            DrawShape(pDC, map, shown, MeasureUnitValue(shown, m.perPixel, m.unitName, m.decimals).text, 0);
        else
            for (size_t i = 1; i < shown.pts.size(); ++i)
                Segment(pDC, map(shown.pts[i - 1]), map(shown.pts[i]));
    }

    for (const CounterMark& mark : m.marks)
    {
        const COLORREF color = kCounterColors[mark.counterClass];
        CBrush brush(color);
        CPen pen(PS_SOLID, 1, color);
        pDC->SelectObject(&pen);
        pDC->SelectObject(&brush);
        const CPoint c = map(mark.pt);
        pDC->Ellipse(c.x - 3, c.y - 3, c.x + 4, c.y + 4);
        pDC->SelectStockObject(NULL_BRUSH);
        pDC->SelectObject(&unitPen);
    }

    if (m.scaleBar)
        DrawScaleBar(m, pDC);
    pDC->RestoreDC(saved);
}
