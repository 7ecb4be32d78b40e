#include "camera/core/CaptureOverlay.h"

namespace {

int Scaled(int value, float s)
{
    return static_cast<int>(value * s + 0.5f);
}

}  // namespace

CCaptureOverlay::CCaptureOverlay()
    : radius(0), centerX(0), centerY(0), scaledRadius(0), scaledCenterX(0), scaledCenterY(0),
      visible(FALSE), scale(1.0f)
{
    pen.lopnStyle = PS_SOLID;
    pen.lopnWidth.x = 1;
    pen.lopnWidth.y = 0;
    pen.lopnColor = RGB(255, 0, 0);
    brush.lbStyle = BS_NULL;
    brush.lbColor = 0;
    brush.lbHatch = 0;
}

void CCaptureOverlay::SetScale(float s)
{
    scale = s;
    scaledRadius = Scaled(radius, s);
    scaledCenterX = Scaled(centerX, s);
    scaledCenterY = Scaled(centerY, s);
    for (INT_PTR i = 0; i < marks.GetSize(); ++i) {
        CrossMark& m = marks[i];
        const int values[6] = {m.horizontalLength, m.verticalLength, m.horizontalX,
                               m.horizontalY, m.verticalX, m.verticalY};
        for (int k = 0; k < 6; ++k)
            m.scaled[k] = Scaled(values[k], s);
    }
}

void CCaptureOverlay::Draw(CDC* dc, POINT origin) const
{
    if (!visible || !dc)
        return;
    CPen circlePen;
    LOGPEN penDescription = pen;
    circlePen.CreatePenIndirect(&penDescription);
    CBrush fill;
    fill.CreateBrushIndirect(&brush);
    CPen* oldPen = dc->SelectObject(&circlePen);
    CGdiObject* oldBrush = dc->SelectStockObject(NULL_BRUSH);
    const int cx = origin.x + scaledCenterX, cy = origin.y + scaledCenterY;
    dc->Ellipse(cx - scaledRadius, cy - scaledRadius, cx + scaledRadius, cy + scaledRadius);
    for (INT_PTR i = 0; i < marks.GetSize(); ++i) {
        const CrossMark& m = marks[i];
        const int hx = origin.x + m.scaled[2], hy = origin.y + m.scaled[3];
        dc->MoveTo(hx - m.scaled[0] / 2, hy);
        dc->LineTo(hx - m.scaled[0] / 2 + m.scaled[0], hy);
        const int vx = origin.x + m.scaled[4], vy = origin.y + m.scaled[5];
        dc->MoveTo(vx, vy - m.scaled[1] / 2);
        dc->LineTo(vx, vy - m.scaled[1] / 2 + m.scaled[1]);
    }
    dc->SelectObject(oldPen);
    if (oldBrush)
        dc->SelectObject(oldBrush);
}
