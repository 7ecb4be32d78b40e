// Tools driven through the mouse members, calibration and drawing at a scale.
#include <cmath>
#include <string>
#include "support/gtest.h"
#include "MeasureCanvas.h"
#include "QrMeasure.h"

namespace {

const COLORREF kRed = RGB(255, 0, 0);

void Drag(CQrMeasure& m, CPoint from, CPoint to)
{
    m.OnLButtonDown(from);
    m.OnMouseMove(CPoint((from.x + to.x) / 2, (from.y + to.y) / 2));
    m.OnMouseMove(to);
    m.OnLButtonUp(to);
}

void Click(CQrMeasure& m, CPoint p)
{
    m.OnLButtonDown(p);
    m.OnLButtonUp(p);
}

double UnitValue(CQrMeasure& m, int index, CString* text = nullptr, int* item = nullptr)
{
    int code = -1, layer = -1;
    double value = -1;
    CString t;
    EXPECT_TRUE(m.GetUnitInfo(index, code, layer, value, t));
    if (text)
        *text = t;
    if (item)
        *item = code;
    return value;
}

std::u16string U(const CString& s)
{
    return std::u16string((const char16_t*)(LPCWSTR)s);
}

int s_callbackCalls = 0;
BOOL SnapToRowFifty(POINT& start, POINT& end, POINT& outStart, POINT& outEnd)
{
    ++s_callbackCalls;
    outStart = { start.x, 50 };
    outEnd = { end.x, 50 };
    return TRUE;
}
BOOL NeverSnaps(POINT&, POINT&, POINT&, POINT& outEnd)
{
    ++s_callbackCalls;
    outEnd = { 999, 999 };   // written but not reported: must be ignored
    return FALSE;
}

} // namespace

TEST(MeasureLine, DrawnThroughTheMouseAppearsAtScaleOneAndTwo)
{
    CQrMeasure m(nullptr);
    CQrMeasure::CreateCursor();
    ASSERT_EQ(CQrMeasure::MenuItemEvent(CQrMeasure::ToolLine, &m), 1);
    EXPECT_EQ(CQrMeasure::GetCurSelItem(), CQrMeasure::ItemLine);
    m.SetScale(1.0f);
    m.OnLButtonDown(CPoint(10, 60));
    EXPECT_NE(m.OnMouseMove(CPoint(60, 60)), 0);   // rubber band needs a redraw
    m.OnLButtonUp(CPoint(110, 60));
    ASSERT_EQ(m.GetUnitCount(), 1);
    EXPECT_NEAR(UnitValue(m, 0), 100.0, 1e-6);

    MeasureCanvas canvas(300, 200);
    m.DrawAllUnit(canvas.DC(), CSize(0, 0));
    for (int x = 10; x <= 110; x += 10)
        EXPECT_EQ(canvas.At(x, 60), kRed) << "x=" << x;
    EXPECT_NE(canvas.At(5, 60), kRed);
    EXPECT_NE(canvas.At(120, 60), kRed);
    EXPECT_NE(canvas.At(60, 62), kRed);

    // Twice the zoom and an origin: image (x, 60) lands on (7 + 2x, 5 + 120).
    canvas.Clear();
    m.SetScale(2.0f);
    m.DrawAllUnit(canvas.DC(), CSize(7, 5));
    for (int x = 10; x <= 110; x += 10)
        EXPECT_TRUE(canvas.Near(7 + 2 * x, 125, kRed, 0)) << "x=" << x;
    EXPECT_NE(canvas.At(60, 60), kRed);          // nothing left at the unscaled place
    EXPECT_NE(canvas.At(7 + 2 * 115, 125), kRed);

    // Mouse points at scale 2 are window pixels: they halve into image pixels.
    Drag(m, CPoint(20, 20), CPoint(20, 120));
    ASSERT_EQ(m.GetUnitCount(), 2);
    EXPECT_NEAR(UnitValue(m, 1), 50.0, 1e-6);
    canvas.Clear();
    m.SetScale(1.0f);
    m.DrawAllUnit(canvas.DC(), CSize(0, 0));
    EXPECT_EQ(canvas.At(10, 35), kRed);
    EXPECT_NE(canvas.At(20, 70), kRed);
    CQrMeasure::ReleaseSingleton();
}

TEST(MeasureLine, CalibrationChangesValueAndText)
{
    CQrMeasure m(nullptr);
    EXPECT_FLOAT_EQ(CQrMeasure::GetperPixelLength(), 1.0f);   // uncalibrated: pixels
    CQrMeasure::MenuItemEvent(CQrMeasure::ToolLine, &m);
    Drag(m, CPoint(0, 0), CPoint(30, 40));
    CString text;
    EXPECT_NEAR(UnitValue(m, 0, &text), 50.0, 1e-6);
    EXPECT_EQ(U(text), u"50.00 px");

    m.SetCalibration(0.25f, L"µm");
    EXPECT_FLOAT_EQ(CQrMeasure::GetperPixelLength(), 0.25f);
    EXPECT_EQ(std::u16string((const char16_t*)CQrMeasure::GetFathomType()), u"µm");
    EXPECT_NEAR(UnitValue(m, 0, &text), 12.5, 1e-6);
    EXPECT_EQ(U(text), u"12.50 µm");

    // Nonsense calibrations are refused rather than breaking every later division.
    m.SetCalibration(0.0f, L"mm");
    m.SetCalibration(-3.0f, L"mm");
    EXPECT_FLOAT_EQ(CQrMeasure::GetperPixelLength(), 0.25f);
    EXPECT_EQ(std::u16string((const char16_t*)CQrMeasure::GetFathomType()), u"µm");

    // Precision cycles the decimals shown.
    EXPECT_EQ(CQrMeasure::MenuItemEvent(CQrMeasure::ToolPrecision, &m), 1);
    UnitValue(m, 0, &text);
    EXPECT_EQ(U(text), u"12.500 µm");
    EXPECT_EQ(CQrMeasure::GetCurSelItem(), CQrMeasure::ItemLine);   // the tool stays
}

TEST(MeasureLine, EdgeSnappingGoesThroughTheCallbackOnlyWhenOn)
{
    CQrMeasure m(nullptr);
    CQrMeasure::MenuItemEvent(CQrMeasure::ToolLine, &m);
    m.SetLineBK(SnapToRowFifty);
    s_callbackCalls = 0;
    Drag(m, CPoint(10, 45), CPoint(90, 47));
    EXPECT_EQ(s_callbackCalls, 0);   // snapping off
    m.SetLineApch(1);
    Drag(m, CPoint(10, 45), CPoint(90, 47));
    EXPECT_EQ(s_callbackCalls, 1);
    MeasureCanvas canvas(120, 100);
    m.DrawAllUnit(canvas.DC(), CSize(0, 0));
    EXPECT_EQ(canvas.At(50, 50), kRed);
    EXPECT_NEAR(UnitValue(m, 1), 80.0, 1e-6);

    m.SetLineBK(NeverSnaps);
    Drag(m, CPoint(10, 10), CPoint(40, 10));
    EXPECT_EQ(s_callbackCalls, 2);
    EXPECT_NEAR(UnitValue(m, 2), 30.0, 1e-6);
}

TEST(MeasureTools, EachToolMeasuresWhatItDraws)
{
    CQrMeasure m(nullptr);
    struct Case
    {
        UINT tool;
        std::vector<CPoint> clicks;   // a drag for two-point tools
        bool doubleClick;
        int item;
        double value;
    };
    const Case cases[] = {
        { CQrMeasure::ToolRectangle, { { 10, 10 }, { 40, 30 } }, false, CQrMeasure::ItemRectangle, 600.0 },
        { CQrMeasure::ToolCircle2, { { 50, 50 }, { 50, 70 } }, false, CQrMeasure::ItemCircle2, 20.0 },
        { CQrMeasure::ToolDiameterCircle, { { 10, 50 }, { 50, 50 } }, false, CQrMeasure::ItemDiameterCircle, 40.0 },
        { CQrMeasure::ToolCircle3, { { 0, 10 }, { 10, 0 }, { 20, 10 } }, false, CQrMeasure::ItemCircle3, 10.0 },
        { CQrMeasure::ToolAngle, { { 50, 0 }, { 0, 0 }, { 0, 50 } }, false, CQrMeasure::ItemAngle, 90.0 },
        { CQrMeasure::ToolParallel, { { 0, 0 }, { 100, 0 }, { 30, 25 } }, false, CQrMeasure::ItemParallel, 25.0 },
        { CQrMeasure::ToolPointToLine, { { 0, 0 }, { 0, 100 }, { 12, 40 } }, false, CQrMeasure::ItemPointToLine, 12.0 },
        { CQrMeasure::ToolConcentric, { { 100, 100 }, { 110, 100 }, { 100, 130 } }, false, CQrMeasure::ItemConcentric, 20.0 },
        { CQrMeasure::ToolPolygon, { { 0, 0 }, { 40, 0 }, { 40, 30 }, { 0, 30 } }, true, CQrMeasure::ItemPolygon, 1200.0 },
        { CQrMeasure::ToolPolyline, { { 0, 0 }, { 30, 40 }, { 30, 70 } }, true, CQrMeasure::ItemPolyline, 80.0 },
        { CQrMeasure::ToolArc, { { 20, 0 }, { 0, 20 }, { -20, 0 } }, false, CQrMeasure::ItemArc, 20.0 * 3.14159265358979 },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.tool);
        m.DeleteAllUnit();
        ASSERT_EQ(CQrMeasure::MenuItemEvent(c.tool, &m), 1);
        EXPECT_EQ(CQrMeasure::GetCurSelItem(), c.item);
        if (c.clicks.size() == 2 && !c.doubleClick)
            Drag(m, c.clicks[0], c.clicks[1]);
        else
            for (const CPoint& p : c.clicks)
                Click(m, p);
        if (c.doubleClick)
            m.OnLButtonDblClk(c.clicks.back());
        ASSERT_EQ(m.GetUnitCount(), 1);
        int item = -1;
        EXPECT_NEAR(UnitValue(m, 0, nullptr, &item), c.value, 1e-6);
        EXPECT_EQ(item, c.item);
        // Every unit leaves a mark on the canvas near its first point.
        MeasureCanvas canvas(300, 300);
        m.DrawAllUnit(canvas.DC(), CSize(100, 100));
        EXPECT_GT(canvas.Count(kRed), 10);
    }
}

TEST(MeasureTools, DegenerateInputDrawsNothing)
{
    CQrMeasure m(nullptr);
    CQrMeasure::MenuItemEvent(CQrMeasure::ToolLine, &m);
    Drag(m, CPoint(20, 20), CPoint(20, 20));   // a plain click
    CQrMeasure::MenuItemEvent(CQrMeasure::ToolCircle3, &m);
    for (int x : { 0, 10, 20 })
        Click(m, CPoint(x, x));                 // collinear: no circle through them
    CQrMeasure::MenuItemEvent(CQrMeasure::ToolPolygon, &m);
    Click(m, CPoint(0, 0));
    Click(m, CPoint(10, 0));
    m.OnLButtonDblClk(CPoint(10, 0));           // two corners are no polygon
    EXPECT_EQ(m.GetUnitCount(), 0);
    EXPECT_EQ(CQrMeasure::MenuItemEvent(77, &m), 0);   // unknown tool: refused, tool kept
    EXPECT_EQ(CQrMeasure::GetCurSelItem(), CQrMeasure::ItemPolygon);
}

TEST(MeasureTools, KeepItemSelectMoveAndDelete)
{
    CQrMeasure m(nullptr);
    CQrMeasure::SetKeepItem(0);
    CQrMeasure::MenuItemEvent(CQrMeasure::ToolLine, &m);
    Drag(m, CPoint(10, 10), CPoint(60, 10));
    EXPECT_EQ(CQrMeasure::GetCurSelItem(), CQrMeasure::ItemSelect);   // one unit, then select
    CQrMeasure::SetKeepItem(1);
    CQrMeasure::MenuItemEvent(CQrMeasure::ToolLine, &m);
    Drag(m, CPoint(10, 50), CPoint(60, 50));
    EXPECT_EQ(CQrMeasure::GetCurSelItem(), CQrMeasure::ItemLine);

    // Select the first line and drag it down by 20.
    CQrMeasure::MenuItemEvent(CQrMeasure::ToolSelect, &m);
    m.OnLButtonDown(CPoint(30, 12));
    EXPECT_NE(m.OnMouseMove(CPoint(30, 32)), 0);
    m.OnLButtonUp(CPoint(30, 32));
    MeasureCanvas canvas(100, 100);
    m.DrawAllUnit(canvas.DC(), CSize(0, 0));
    EXPECT_EQ(canvas.At(30, 30), RGB(0, 0, 255));   // moved, drawn as selected
    EXPECT_NE(canvas.At(30, 10), RGB(255, 0, 0));
    EXPECT_NE(canvas.At(30, 10), RGB(0, 0, 255));
    EXPECT_EQ(m.OnMouseMove(CPoint(80, 80)), 0);     // button up: nothing moves

    CQrMeasure::MenuItemEvent(CQrMeasure::ToolDelete, &m);
    EXPECT_EQ(CQrMeasure::GetCurSelItem(), CQrMeasure::ItemDelete);
    Click(m, CPoint(90, 90));                        // misses
    EXPECT_EQ(m.GetUnitCount(), 2);
    Click(m, CPoint(40, 52));
    ASSERT_EQ(m.GetUnitCount(), 1);
    EXPECT_NEAR(UnitValue(m, 0), 50.0, 1e-6);
    m.DeleteAllUnit();
    EXPECT_EQ(m.GetUnitCount(), 0);
}

TEST(MeasureTools, ScaleBarDrawsWhenOn)
{
    CQrMeasure m(nullptr);
    MeasureCanvas canvas(200, 100);
    m.DrawAllUnit(canvas.DC(), CSize(0, 0));
    EXPECT_EQ(canvas.Count(RGB(255, 255, 0)), 0);
    m.ScaleLine(1);
    m.DrawAllUnit(canvas.DC(), CSize(0, 0));
    // 100 pixels of 1 px each: a bar of 100 from x = 10 at the bottom.
    EXPECT_EQ(canvas.At(10, 90), RGB(255, 255, 0));
    EXPECT_EQ(canvas.At(109, 90), RGB(255, 255, 0));
    EXPECT_NE(canvas.At(130, 90), RGB(255, 255, 0));
}

TEST(MeasureTools, StaticMembersWithoutObjectAnswerSafely)
{
    CQrMeasure::ReleaseSingleton();
    EXPECT_EQ(CQrMeasure::MenuItemEvent(CQrMeasure::ToolLine, nullptr), 0);
    EXPECT_EQ(CQrMeasure::GetCurSelItem(), 0);
    EXPECT_GT(CQrMeasure::GetperPixelLength(), 0.0f);
    EXPECT_NE(CQrMeasure::GetFathomType(), nullptr);
    CQrMeasure::SetKeepItem(1);
}

namespace {

struct DrawerState
{
    CQrMeasure* measure;
    volatile LONG stop;
    LONG frames;
};

DWORD WINAPI KeepDrawing(void* arg)
{
    DrawerState* s = static_cast<DrawerState*>(arg);
    MeasureCanvas canvas(200, 200);
    while (!s->stop)
    {
        s->measure->DrawAllUnit(canvas.DC(), CSize(-4, 0));
        ::InterlockedIncrement(&s->frames);
    }
    return 0;
}

} // namespace

TEST(MeasureTools, CaptureThreadDrawsWhileTheUserEdits)
{
    CQrMeasure m(nullptr);
    m.NewLayer(L"背景");
    DrawerState state{ &m, 0, 0 };
    HANDLE thread = ::CreateThread(nullptr, 0, KeepDrawing, &state, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    for (int i = 0; i < 5000 && state.frames == 0; ++i)
        ::Sleep(1);
    const DWORD start = ::GetTickCount();
    for (int round = 0; ::GetTickCount() - start < 300 || state.frames < 200; ++round)
    {
        CQrMeasure::MenuItemEvent(CQrMeasure::ToolPolyline, &m);
        for (int k = 0; k < 6; ++k)
        {
            m.OnLButtonDown(CPoint(10 + 20 * k, 10 + (round % 7) * k));
            m.OnMouseMove(CPoint(20 + 20 * k, 30));
            m.OnLButtonUp(CPoint(20 + 20 * k, 30));
        }
        m.OnLButtonDblClk(CPoint(130, 30));
        if (round % 3 == 0)
            m.NewLayer(L"圖層");
        if (round % 5 == 0)
            m.DeleteLayer(1);
        if (round % 10 == 9)
            m.DeleteAllUnit();
    }
    state.stop = 1;
    EXPECT_EQ(::WaitForSingleObject(thread, 10000), (DWORD)WAIT_OBJECT_0);
    ::CloseHandle(thread);
    EXPECT_GT(state.frames, 0);
}
