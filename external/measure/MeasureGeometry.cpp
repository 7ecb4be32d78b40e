// What each kind of unit measures, and how near a point lies to it.
#include "MeasureImpl.h"
#include <algorithm>
#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;

double Dist(DPoint a, DPoint b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

double SegmentDistance(DPoint a, DPoint b, DPoint p)
{
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
    t = std::max(0.0, std::min(1.0, t));
    return Dist(p, DPoint{ a.x + t * dx, a.y + t * dy });
}

double LineDistance(DPoint a, DPoint b, DPoint p)
{
    const double len = Dist(a, b);
    return len > 0 ? std::fabs((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x)) / len
                   : Dist(a, p);
}

double PolylineDistance(const std::vector<DPoint>& pts, bool closed, DPoint p)
{
    double best = pts.empty() ? 1e300 : Dist(pts[0], p);
    for (size_t i = 1; i < pts.size(); ++i)
        best = std::min(best, SegmentDistance(pts[i - 1], pts[i], p));
    if (closed && pts.size() > 2)
        best = std::min(best, SegmentDistance(pts.back(), pts[0], p));
    return best;
}

double PolygonArea(const std::vector<DPoint>& pts)
{
    double twice = 0;
    for (size_t i = 0; i < pts.size(); ++i)
    {
        const DPoint& a = pts[i];
        const DPoint& b = pts[(i + 1) % pts.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return std::fabs(twice) / 2;
}

// Angle at b between the arms to a and c, in radians (0..pi).
double AngleAt(DPoint a, DPoint b, DPoint c)
{
    const double a1 = std::atan2(a.y - b.y, a.x - b.x), a2 = std::atan2(c.y - b.y, c.x - b.x);
    double d = std::fabs(a1 - a2);
    return d > kPi ? 2 * kPi - d : d;
}

// Sweep of the arc from a through m to c around center, in radians (0..2pi).
double ArcSweep(DPoint a, DPoint m, DPoint c, DPoint center)
{
    auto ang = [&](DPoint p) { return std::atan2(p.y - center.y, p.x - center.x); };
    auto ccw = [](double from, double to) {
        double d = to - from;
        while (d < 0)
            d += 2 * kPi;
        while (d >= 2 * kPi)
            d -= 2 * kPi;
        return d;
    };
    const double toEnd = ccw(ang(a), ang(c)), toMid = ccw(ang(a), ang(m));
    return toMid <= toEnd ? toEnd : 2 * kPi - toEnd;
}

CString Number(double v, int decimals, LPCWSTR unit)
{
    CString s;
    s.Format(L"%.*f %s", decimals, v, unit);
    return s;
}

} // namespace

DPoint Foot(DPoint a, DPoint b, DPoint p)
{
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    const double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
    return DPoint{ a.x + t * dx, a.y + t * dy };
}

bool CircleThrough(DPoint a, DPoint b, DPoint c, DPoint& center, double& radius)
{
    const double d = 2 * (a.x * (b.y - c.y) + b.x * (c.y - a.y) + c.x * (a.y - b.y));
    const double scale = std::max({ Dist(a, b), Dist(b, c), Dist(a, c), 1.0 });
    if (std::fabs(d) < 1e-6 * scale * scale)
        return false;   // collinear: no circle
    const double a2 = a.x * a.x + a.y * a.y, b2 = b.x * b.x + b.y * b.y, c2 = c.x * c.x + c.y * c.y;
    center.x = (a2 * (b.y - c.y) + b2 * (c.y - a.y) + c2 * (a.y - b.y)) / d;
    center.y = (a2 * (c.x - b.x) + b2 * (a.x - c.x) + c2 * (b.x - a.x)) / d;
    radius = Dist(center, a);
    return true;
}

bool UnitIsValid(const MeasureUnit& u)
{
    const auto& p = u.pts;
    const double kMin = 0.5;   // a press and release on one pixel draws nothing
    switch (u.item)
    {
    case CQrMeasure::ItemLine:
    case CQrMeasure::ItemCircle2:
    case CQrMeasure::ItemDiameterCircle:
        return p.size() == 2 && Dist(p[0], p[1]) >= kMin;
    case CQrMeasure::ItemRectangle:
        return p.size() == 2 && std::fabs(p[0].x - p[1].x) >= kMin && std::fabs(p[0].y - p[1].y) >= kMin;
    case CQrMeasure::ItemCircle3:
    case CQrMeasure::ItemArc:
    {
        DPoint c;
        double r;
        return p.size() == 3 && CircleThrough(p[0], p[1], p[2], c, r);
    }
    case CQrMeasure::ItemAngle:
        return p.size() == 3 && Dist(p[0], p[1]) >= kMin && Dist(p[2], p[1]) >= kMin;
    case CQrMeasure::ItemParallel:
    case CQrMeasure::ItemPointToLine:
        return p.size() == 3 && Dist(p[0], p[1]) >= kMin;
    case CQrMeasure::ItemConcentric:
        return p.size() == 3 && Dist(p[0], p[1]) >= kMin && Dist(p[0], p[2]) >= kMin;
    case CQrMeasure::ItemPolygon:
        return p.size() >= 3 && PolygonArea(p) > 0;
    case CQrMeasure::ItemPolyline:
        return p.size() >= 2;
    case CQrMeasure::ItemPointCount:
    case CQrMeasure::ItemAnnotation:
        return p.size() == 1;
    default:
        return false;
    }
}

MeasureValue MeasureUnitValue(const MeasureUnit& u, double k, LPCWSTR unit, int decimals)
{
    const auto& p = u.pts;
    MeasureValue r{ 0.0, CString() };
    CString area = CString(unit) + L"²";
    switch (u.item)
    {
    case CQrMeasure::ItemLine:
        r.value = Dist(p[0], p[1]) * k;
        r.text = Number(r.value, decimals, unit);
        break;
    case CQrMeasure::ItemRectangle:
    {
        const double w = std::fabs(p[1].x - p[0].x) * k, h = std::fabs(p[1].y - p[0].y) * k;
        r.value = w * h;
        r.text.Format(L"%.*f x %.*f %s", decimals, w, decimals, h, unit);
        break;
    }
    case CQrMeasure::ItemCircle2:
        r.value = Dist(p[0], p[1]) * k;
        r.text = L"R=" + Number(r.value, decimals, unit);
        break;
    case CQrMeasure::ItemDiameterCircle:
        r.value = Dist(p[0], p[1]) * k;
        r.text = L"D=" + Number(r.value, decimals, unit);
        break;
    case CQrMeasure::ItemCircle3:
    {
        DPoint c;
        double radius = 0;
        CircleThrough(p[0], p[1], p[2], c, radius);
        r.value = radius * k;
        r.text = L"R=" + Number(r.value, decimals, unit);
        break;
    }
    case CQrMeasure::ItemArc:
    {
        DPoint c;
        double radius = 0;
        CircleThrough(p[0], p[1], p[2], c, radius);
        r.value = radius * ArcSweep(p[0], p[1], p[2], c) * k;
        r.text = Number(r.value, decimals, unit);
        break;
    }
    case CQrMeasure::ItemAngle:
        r.value = AngleAt(p[0], p[1], p[2]) * 180.0 / kPi;
        r.text.Format(L"%.*f°", decimals, r.value);
        break;
    case CQrMeasure::ItemParallel:
    case CQrMeasure::ItemPointToLine:
        r.value = LineDistance(p[0], p[1], p[2]) * k;
        r.text = Number(r.value, decimals, unit);
        break;
    case CQrMeasure::ItemConcentric:
        r.value = std::fabs(Dist(p[0], p[2]) - Dist(p[0], p[1])) * k;
        r.text = Number(r.value, decimals, unit);
        break;
    case CQrMeasure::ItemPolygon:
        r.value = PolygonArea(p) * k * k;
        r.text = Number(r.value, decimals, area);
        break;
    case CQrMeasure::ItemPolyline:
        for (size_t i = 1; i < p.size(); ++i)
            r.value += Dist(p[i - 1], p[i]) * k;
        r.text = Number(r.value, decimals, unit);
        break;
    case CQrMeasure::ItemPointCount:
        r.value = 1;
        break;
    case CQrMeasure::ItemAnnotation:
        r.text = u.note;
        break;
    }
    return r;
}

double UnitDistance(const MeasureUnit& u, DPoint q)
{
    const auto& p = u.pts;
    switch (u.item)
    {
    case CQrMeasure::ItemLine:
    case CQrMeasure::ItemPolyline:
    case CQrMeasure::ItemAngle:
        return PolylineDistance(p, false, q);
    case CQrMeasure::ItemPolygon:
        return PolylineDistance(p, true, q);
    case CQrMeasure::ItemRectangle:
    {
        std::vector<DPoint> box = { p[0], { p[1].x, p[0].y }, p[1], { p[0].x, p[1].y } };
        return PolylineDistance(box, true, q);
    }
    case CQrMeasure::ItemCircle2:
        return std::fabs(Dist(p[0], q) - Dist(p[0], p[1]));
    case CQrMeasure::ItemDiameterCircle:
    {
        const DPoint c{ (p[0].x + p[1].x) / 2, (p[0].y + p[1].y) / 2 };
        return std::fabs(Dist(c, q) - Dist(p[0], p[1]) / 2);
    }
    case CQrMeasure::ItemCircle3:
    case CQrMeasure::ItemArc:
    {
        DPoint c;
        double radius = 0;
        if (!CircleThrough(p[0], p[1], p[2], c, radius))
            return PolylineDistance(p, false, q);
        return std::fabs(Dist(c, q) - radius);
    }
    case CQrMeasure::ItemParallel:
    {
        const DPoint f = Foot(p[0], p[1], p[2]);
        const DPoint a{ p[0].x + p[2].x - f.x, p[0].y + p[2].y - f.y };
        const DPoint b{ p[1].x + p[2].x - f.x, p[1].y + p[2].y - f.y };
        return std::min(SegmentDistance(p[0], p[1], q), SegmentDistance(a, b, q));
    }
    case CQrMeasure::ItemPointToLine:
        return std::min(SegmentDistance(p[0], p[1], q), SegmentDistance(p[2], Foot(p[0], p[1], p[2]), q));
    case CQrMeasure::ItemConcentric:
        return std::min(std::fabs(Dist(p[0], q) - Dist(p[0], p[1])),
                        std::fabs(Dist(p[0], q) - Dist(p[0], p[2])));
    default:
        return p.empty() ? 1e300 : Dist(p[0], q);
    }
}
