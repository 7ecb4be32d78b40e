// The measurement object: binding, tools, calibration and the mouse.
#include "MeasureDialogs.h"
#include <cmath>

extern "C" DWORD WINAPI QrVMeasureVersion(void)
{
    return 0x00010000;
}

namespace {

CQrMeasure* s_pThis = nullptr;   // the one object the static members act on
HCURSOR s_hCross = nullptr;

const ToolSpec kTools[] = {
    { CQrMeasure::ToolSelect, CQrMeasure::ItemSelect, ToolInput::None, 0 },
    { CQrMeasure::ToolLine, CQrMeasure::ItemLine, ToolInput::Drag, 2 },
    { CQrMeasure::ToolRectangle, CQrMeasure::ItemRectangle, ToolInput::Drag, 2 },
    { CQrMeasure::ToolCircle3, CQrMeasure::ItemCircle3, ToolInput::Clicks, 3 },
    { CQrMeasure::ToolPolygon, CQrMeasure::ItemPolygon, ToolInput::Open, 3 },
    { CQrMeasure::ToolAngle, CQrMeasure::ItemAngle, ToolInput::Clicks, 3 },
    { CQrMeasure::ToolPointCount, CQrMeasure::ItemPointCount, ToolInput::Single, 1 },
    { CQrMeasure::ToolAnnotation, CQrMeasure::ItemAnnotation, ToolInput::Single, 1 },
    { CQrMeasure::ToolDelete, CQrMeasure::ItemDelete, ToolInput::None, 0 },
    { CQrMeasure::ToolArc, CQrMeasure::ItemArc, ToolInput::Clicks, 3 },
    { CQrMeasure::ToolCircle2, CQrMeasure::ItemCircle2, ToolInput::Drag, 2 },
    { CQrMeasure::ToolParallel, CQrMeasure::ItemParallel, ToolInput::Clicks, 3 },
    { CQrMeasure::ToolDiameterCircle, CQrMeasure::ItemDiameterCircle, ToolInput::Drag, 2 },
    { CQrMeasure::ToolConcentric, CQrMeasure::ItemConcentric, ToolInput::Clicks, 3 },
    { CQrMeasure::ToolPointToLine, CQrMeasure::ItemPointToLine, ToolInput::Clicks, 3 },
    { CQrMeasure::ToolPolyline, CQrMeasure::ItemPolyline, ToolInput::Open, 2 },
    { CQrMeasure::ToolCounter, CQrMeasure::ItemCounter, ToolInput::None, 0 },
};

const double kHitPixels = 5.0;   // how near, in window pixels, a click must be to hit a unit

} // namespace

const ToolSpec* FindToolById(UINT id)
{
    for (const ToolSpec& t : kTools)
        if (t.id == id)
            return &t;
    return nullptr;
}

const ToolSpec* FindToolByItem(int item)
{
    for (const ToolSpec& t : kTools)
        if (t.item == item)
            return &t;
    return nullptr;
}

bool CQrMeasure::Impl::LayerVisible(int index) const
{
    if (index < 0 || index >= (int)layers.size())
        return true;
    return layers[index].visible;
}

void CQrMeasure::Impl::Redraw() const
{
    if (measureWnd && ::IsWindow(measureWnd->GetSafeHwnd()))
        ::InvalidateRect(measureWnd->GetSafeHwnd(), nullptr, FALSE);
}

void CQrMeasure::Impl::FinishDraft()
{
    MeasureUnit unit;
    {
        MeasureGuard guard(*this);
        if (!drafting)
            return;
        drafting = false;
        unit = draft;
        draft.pts.clear();
    }
    if (unit.item == CQrMeasure::ItemLine && lineApproach && lineCallback)
    {
        POINT start = { (LONG)lround(unit.pts[0].x), (LONG)lround(unit.pts[0].y) };
        POINT end = { (LONG)lround(unit.pts[1].x), (LONG)lround(unit.pts[1].y) };
        POINT outStart = start, outEnd = end;
        if (lineCallback(start, end, outStart, outEnd))
        {
            unit.pts[0] = DPoint{ (double)outStart.x, (double)outStart.y };
            unit.pts[1] = DPoint{ (double)outEnd.x, (double)outEnd.y };
        }
    }
    {
        MeasureGuard guard(*this);
        if (UnitIsValid(unit))
            units.push_back(unit);
        if (!keepItem)
            tool = CQrMeasure::ToolSelect;
    }
    Redraw();
}

CQrMeasure::CQrMeasure(CWnd* pView)
    : m_nMeasureMode(1), m_pImpl(new Impl)
{
    AfxFrameworkVersion();
    m_pImpl->view = pView;
    m_pImpl->measureWnd = pView;
    for (int k = 0; k < kCounterClasses; ++k)
        m_pImpl->counterNames[k].Format(L"類別%d", k + 1);
    s_pThis = this;
}

CQrMeasure::~CQrMeasure()
{
    if (s_pThis == this)
        s_pThis = nullptr;
    delete m_pImpl;
}

void CQrMeasure::CreateCursor()
{
    if (!s_hCross)
        s_hCross = ::LoadCursorW(nullptr, IDC_CROSS);
}

void CQrMeasure::ReleaseSingleton()
{
    s_pThis = nullptr;
    s_hCross = nullptr;   // a shared system cursor: nothing to destroy
}

void CQrMeasure::SetMeasureWnd(CWnd* pWnd, int mode)
{
    m_pImpl->measureWnd = pWnd;
    m_nMeasureMode = mode;
}

CWnd* CQrMeasure::GetMeasureWnd() const
{
    return m_pImpl->measureWnd;
}

int CQrMeasure::MenuItemEvent(UINT toolId, CQrMeasure* pObject)
{
    CQrMeasure* self = pObject ? pObject : s_pThis;
    if (!self)
        return 0;
    Impl& m = *self->m_pImpl;
    if (toolId == ToolPrecision)
    {
        m.decimals = (m.decimals + 1) % 5;
        m.Redraw();
        return 1;
    }
    if (toolId == ToolCalibrate)
        return RunCalibrationDialog(m);
    if (toolId == ToolCalibrationTable)
        return RunCalibrationTableDialog(m);
    if (toolId == ToolMeasureList)
        return RunMeasureListDialog(m);
    const ToolSpec* spec = FindToolById(toolId);
    if (!spec)
        return 0;
    const bool countingEnds = m.tool == ToolCounter && toolId != ToolCounter;
    {
        MeasureGuard guard(m);
        m.tool = toolId;
        m.drafting = false;
        m.draft.pts.clear();
        m.dragging = false;
        if (toolId != ToolSelect)
            m.selected = -1;
    }
    if (countingEnds)
        m.NotifyCounters(0);
    m.Redraw();
    return 1;
}

int CQrMeasure::GetCurSelItem()
{
    if (!s_pThis)
        return 0;
    const ToolSpec* spec = FindToolById(s_pThis->m_pImpl->tool);
    return spec ? spec->item : 0;
}

void CQrMeasure::SetKeepItem(int keep)
{
    if (s_pThis)
        s_pThis->m_pImpl->keepItem = keep;
}

void CQrMeasure::ScaleLine(int on)
{
    m_pImpl->scaleBar = on;
    m_pImpl->Redraw();
}

void CQrMeasure::SetLineApch(int on)
{
    m_pImpl->lineApproach = on;
}

void CQrMeasure::SetLineBK(LineBKCallback callback)
{
    m_pImpl->lineCallback = callback;
}

float CQrMeasure::GetperPixelLength()
{
    return s_pThis ? s_pThis->m_pImpl->perPixel : 1.0f;
}

LPCWSTR CQrMeasure::GetFathomType()
{
    return s_pThis ? (LPCWSTR)s_pThis->m_pImpl->unitName : L"px";
}

void CQrMeasure::SetCalibration(float lengthPerPixel, LPCWSTR unitName)
{
    if (!(lengthPerPixel > 0) || !std::isfinite(lengthPerPixel))
        return;
    {
        MeasureGuard guard(*m_pImpl);
        m_pImpl->perPixel = lengthPerPixel;
        if (unitName && *unitName)
            m_pImpl->unitName = unitName;
    }
    m_pImpl->Redraw();
}

int CQrMeasure::GetPrecision() const
{
    return m_pImpl->decimals;
}

void CQrMeasure::SetScale(float zoom)
{
    // A zero or negative zoom would put every point at the origin or divide by zero.
    m_pImpl->scale = (zoom > 0.01f && std::isfinite(zoom)) ? zoom : 0.01f;
}

float CQrMeasure::GetScale() const
{
    return m_pImpl->scale;
}

void CQrMeasure::DrawAllUnit(CDC* pDC, CSize origin)
{
    if (!pDC || !pDC->GetSafeHdc())
        return;
    MeasureGuard guard(*m_pImpl);
    DrawUnits(*m_pImpl, pDC, origin);
}

void CQrMeasure::DeleteAllUnit()
{
    MeasureGuard guard(*m_pImpl);
    m_pImpl->units.clear();
    m_pImpl->drafting = false;
    m_pImpl->draft.pts.clear();
    m_pImpl->selected = -1;
    m_pImpl->dragging = false;
    m_pImpl->Redraw();
}

int CQrMeasure::GetUnitCount() const
{
    return (int)m_pImpl->units.size();
}

BOOL CQrMeasure::GetUnitInfo(int index, int& itemCode, int& layer, double& value, CString& text) const
{
    MeasureGuard guard(*m_pImpl);
    if (index < 0 || index >= (int)m_pImpl->units.size())
        return FALSE;
    const MeasureUnit& unit = m_pImpl->units[index];
    MeasureValue v = MeasureUnitValue(unit, m_pImpl->perPixel, m_pImpl->unitName, m_pImpl->decimals);
    itemCode = unit.item;
    layer = unit.layer;
    value = v.value;
    text = v.text;
    return TRUE;
}

void CQrMeasure::OnLButtonDown(CPoint point)
{
    Impl& m = *m_pImpl;
    const DPoint p = m.ToImage(point);
    const double tolerance = kHitPixels / m.scale;
    const ToolSpec* spec = FindToolById(m.tool);
    if (!spec)
        return;

    CString note;
    if (spec->item == ItemAnnotation && !AskAnnotationText(m.measureWnd, note))
        return;

    bool finish = false, countsChanged = false;
    {
        MeasureGuard guard(m);
        const int layer = m.layers.empty() ? 0 : m.currentLayer;
        m.pressAddedMark = m.tool == ToolCounter;
        if (m.tool == ToolSelect || m.tool == ToolDelete)
        {
            int hit = -1;
            for (int i = (int)m.units.size() - 1; i >= 0 && hit < 0; --i)
                if (m.LayerVisible(m.units[i].layer) && UnitDistance(m.units[i], p) <= tolerance)
                    hit = i;
            if (m.tool == ToolSelect)
            {
                m.selected = hit;
                m.dragging = hit >= 0;
                m.dragFrom = p;
            }
            else if (hit >= 0)
            {
                m.units.erase(m.units.begin() + hit);
                m.selected = -1;
            }
            else
            {
                for (size_t i = 0; i < m.marks.size() && !countsChanged; ++i)
                    if (std::hypot(m.marks[i].pt.x - p.x, m.marks[i].pt.y - p.y) <= tolerance)
                    {
                        m.marks.erase(m.marks.begin() + i);
                        countsChanged = true;
                    }
            }
        }
        else if (m.tool == ToolCounter)
        {
            m.marks.push_back(CounterMark{ p, m.counterClass });
            countsChanged = true;
        }
        else
        {
            switch (spec->input)
            {
            case ToolInput::Drag:
                m.draft = MeasureUnit();
                m.draft.item = spec->item;
                m.draft.layer = layer;
                m.draft.pts = { p, p };
                m.drafting = true;
                break;
            case ToolInput::Clicks:
            case ToolInput::Open:
                if (!m.drafting)
                {
                    m.draft = MeasureUnit();
                    m.draft.item = spec->item;
                    m.draft.layer = layer;
                    m.drafting = true;
                }
                m.draft.pts.push_back(p);
                m.hover = p;
                finish = spec->input == ToolInput::Clicks && (int)m.draft.pts.size() >= spec->points;
                break;
            case ToolInput::Single:
                m.draft = MeasureUnit();
                m.draft.item = spec->item;
                m.draft.layer = layer;
                m.draft.pts = { p };
                m.draft.note = note;
                m.drafting = true;
                finish = true;
                break;
            case ToolInput::None:
                break;
            }
        }
    }
    if (finish)
        m.FinishDraft();
    if (countsChanged)
        m.NotifyCounters(1);
    m.Redraw();
}

void CQrMeasure::OnLButtonUp(CPoint point)
{
    Impl& m = *m_pImpl;
    const ToolSpec* spec = FindToolById(m.tool);
    {
        MeasureGuard guard(m);
        if (m.dragging)
        {
            m.dragging = false;
            return;
        }
        if (!m.drafting || !spec || spec->input != ToolInput::Drag)
            return;
        m.draft.pts[1] = m.ToImage(point);
    }
    m.FinishDraft();
}

void CQrMeasure::OnLButtonDblClk(CPoint point)
{
    Impl& m = *m_pImpl;
    if (m.tool == ToolCounter)
    {
        // A double click ends counting; the mark its first press placed is no cell.
        {
            MeasureGuard guard(m);
            const DPoint p = m.ToImage(point);
            if (m.pressAddedMark && !m.marks.empty() &&
                std::hypot(m.marks.back().pt.x - p.x, m.marks.back().pt.y - p.y) <= kHitPixels / m.scale)
                m.marks.pop_back();
            m.pressAddedMark = false;
            m.tool = ToolSelect;
        }
        m.NotifyCounters(0);
        m.Redraw();
        return;
    }
    const ToolSpec* spec = FindToolById(m.tool);
    bool finish = false;
    {
        MeasureGuard guard(m);
        if (!m.drafting || !spec || spec->input != ToolInput::Open)
            return;
        // The press before the double click already placed its point.
        const DPoint p = m.ToImage(point);
        const DPoint& last = m.draft.pts.back();
        if (std::hypot(last.x - p.x, last.y - p.y) > kHitPixels / m.scale)
            m.draft.pts.push_back(p);
        finish = (int)m.draft.pts.size() >= spec->points;
        if (!finish)
        {
            m.drafting = false;
            m.draft.pts.clear();
        }
    }
    if (finish)
        m.FinishDraft();
    m.Redraw();
}

int CQrMeasure::OnMouseMove(CPoint point)
{
    Impl& m = *m_pImpl;
    const DPoint p = m.ToImage(point);
    const ToolSpec* spec = FindToolById(m.tool);
    if (s_hCross && spec && spec->input != ToolInput::None)
        ::SetCursor(s_hCross);
    {
        MeasureGuard guard(m);
        if (m.dragging && m.selected >= 0 && m.selected < (int)m.units.size())
        {
            const double dx = p.x - m.dragFrom.x, dy = p.y - m.dragFrom.y;
            for (DPoint& q : m.units[m.selected].pts)
            {
                q.x += dx;
                q.y += dy;
            }
            m.dragFrom = p;
        }
        else if (m.drafting && spec)
        {
            if (spec->input == ToolInput::Drag)
                m.draft.pts[1] = p;
            else
                m.hover = p;
        }
        else
            return 0;
    }
    m.Redraw();
    return 1;
}
