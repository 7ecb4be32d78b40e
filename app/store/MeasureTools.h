// The measurement tools: one row per tool with the measurement panel's button, the tool id
// the measurement library takes and the item code it reports while the tool is current
// (kNoItemCode for tools that report none). The image store's SelectXxxTool operations
// and the panel's buttons are both generated from this table.
#pragma once

const int kNoItemCode = -1;

// X(name, button, tool id, item code)
#define ORV_MEASURE_TOOLS(X)                      \
    X(Select, 1247, 10, 0)                        \
    X(Line, 1227, 2, 1)                           \
    X(Rectangle, 1234, 3, 2)                      \
    X(Circle3, 1236, 5, 3)                        \
    X(Polygon, 1239, 6, 4)                        \
    X(Angle, 1240, 7, 5)                          \
    X(PointCount, 1241, 8, 6)                     \
    X(Annotation, 1244, 9, 7)                     \
    X(Delete, 1242, 15, 8)                        \
    X(Arc, 1243, 18, 9)                           \
    X(Circle2, 1235, 4, 10)                       \
    X(Parallel, 1232, 20, 11)                     \
    X(DiameterCircle, 1237, 21, 12)               \
    X(Concentric, 1238, 22, 13)                   \
    X(PointToLine, 1233, 23, 14)                  \
    X(Polyline, 1453, 24, 15)                     \
    X(Precision, 1246, 19, kNoItemCode)           \
    X(Counter, 0, 25, kNoItemCode)

struct MeasureTool
{
    const char* name;
    int button;     // 0: not a button of the measurement panel
    int toolId;
    int itemCode;   // kNoItemCode: none reported
};

#define ORV_MEASURE_TOOL_ROW(name, button, tool, item) {#name, button, tool, item},
const MeasureTool kMeasureTools[] = {ORV_MEASURE_TOOLS(ORV_MEASURE_TOOL_ROW)};
#undef ORV_MEASURE_TOOL_ROW
const int kMeasureToolCount = sizeof(kMeasureTools) / sizeof(kMeasureTools[0]);

// Tool ids sent without being recorded.
const int kToolCalibrate = 0;
const int kToolCalibrationTable = 1;
const int kToolMeasureList = 13;
const int kToolSelect = 10;
const int kToolCounter = 25;
const int kToolPrecision = 19;

// The row of a panel button, null for any other id.
inline const MeasureTool* FindMeasureToolByButton(int button)
{
    for (const MeasureTool& t : kMeasureTools)
        if (t.button != 0 && t.button == button)
            return &t;
    return nullptr;
}
