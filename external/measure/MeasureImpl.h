// Inner state of the measurement library, shared by its source files.
#pragma once
#include "QrMeasure.h"
#include <string>

struct DPoint
{
    double x;
    double y;
};

// One finished (or, as the draft, half-drawn) measurement. Points are image pixels.
struct MeasureUnit
{
    int item = 0;
    int layer = 0;
    std::vector<DPoint> pts;
    CString note;   // annotation text
};

// A counted object of the cell counter.
struct CounterMark
{
    DPoint pt;
    int counterClass;
};

struct LayerInfo
{
    CString name;
    bool visible;
};

// How a tool collects its points.
enum class ToolInput
{
    None,    // select, delete, counter: handled by the tool itself
    Drag,    // press at the first point, release at the second
    Clicks,  // a fixed number of clicks
    Open,    // clicks until a double click
    Single,  // one click makes a unit
};

struct ToolSpec
{
    UINT id;
    int item;
    ToolInput input;
    int points;   // points needed (Open: the least accepted)
};

const ToolSpec* FindToolById(UINT id);
const ToolSpec* FindToolByItem(int item);

// Geometry of a unit (MeasureGeometry.cpp).
struct MeasureValue
{
    double value;    // main value in calibrated units (angles in degrees)
    CString text;    // what is written beside the unit
};
bool UnitIsValid(const MeasureUnit& unit);
MeasureValue MeasureUnitValue(const MeasureUnit& unit, double perPixel, LPCWSTR unitName, int decimals);
bool CircleThrough(DPoint a, DPoint b, DPoint c, DPoint& center, double& radius);
double UnitDistance(const MeasureUnit& unit, DPoint p);   // image pixels to the drawn shape
DPoint Foot(DPoint a, DPoint b, DPoint p);                 // p projected onto line ab

// The capture worker draws the units into a still while the user may be editing
// them, so everything drawing reads is changed only under the lock. Nothing that waits
// (dialogs, the snapping callback, messages to the counters window) runs under it.
struct CQrMeasure::Impl
{
    Impl() { ::InitializeCriticalSection(&lock); }
    ~Impl() { ::DeleteCriticalSection(&lock); }
    mutable CRITICAL_SECTION lock;

    CWnd* view = nullptr;
    CWnd* measureWnd = nullptr;
    float scale = 1.0f;

    UINT tool = CQrMeasure::ToolSelect;
    int keepItem = 1;
    int scaleBar = 0;
    int lineApproach = 0;
    LineBKCallback lineCallback = nullptr;
    int decimals = 2;

    float perPixel = 1.0f;
    CString unitName = L"px";

    std::vector<MeasureUnit> units;
    bool drafting = false;
    MeasureUnit draft;
    DPoint hover{ 0, 0 };    // where the next point would go while drafting
    int selected = -1;
    bool dragging = false;
    DPoint dragFrom{ 0, 0 };

    std::vector<LayerInfo> layers;
    int currentLayer = 0;

    CWnd* countersWnd = nullptr;
    std::vector<CounterMark> marks;
    bool pressAddedMark = false;   // the latest press placed the last mark
    int counterClass = 0;
    CString counterNames[CQrMeasure::kCounterClasses];

    DPoint ToImage(CPoint p) const { return DPoint{ p.x / (double)scale, p.y / (double)scale }; }
    bool LayerVisible(int index) const;
    void Redraw() const;
    void NotifyCounters(WPARAM state) const;
    void FinishDraft();   // called without the lock
};

class MeasureGuard
{
public:
    explicit MeasureGuard(const CQrMeasure::Impl& m) : m_cs(&m.lock) { ::EnterCriticalSection(m_cs); }
    ~MeasureGuard() { ::LeaveCriticalSection(m_cs); }
    MeasureGuard(const MeasureGuard&) = delete;
    MeasureGuard& operator=(const MeasureGuard&) = delete;

private:
    CRITICAL_SECTION* m_cs;
};

// Drawing (MeasureDraw.cpp).
void DrawUnits(const CQrMeasure::Impl& m, CDC* pDC, CSize origin);

// UTF-8 text files through Win32 (MeasureLayers.cpp).
bool ReadWholeFile(LPCWSTR path, std::string& text);
bool WriteWholeFile(LPCWSTR path, const std::string& text);
std::string ToUtf8(LPCWSTR text);
CString FromUtf8(const std::string& text);
