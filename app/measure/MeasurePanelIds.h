// Resource and control ids of CMeasurePanel.
#pragma once

#define IDD_MEASURE_PANEL 392

#define IDC_MEASURE_LOCK            1026
#define IDC_MEASURE_LINE            1227
#define IDC_MEASURE_CALIBRATE       1228
#define IDC_MEASURE_CALIBRATION_TABLE 1229
#define IDC_MEASURE_GRID            1230
#define IDC_MEASURE_LIST            1231
#define IDC_MEASURE_PARALLEL        1232
#define IDC_MEASURE_POINT_TO_LINE   1233
#define IDC_MEASURE_RECTANGLE       1234
#define IDC_MEASURE_CIRCLE2         1235
#define IDC_MEASURE_CIRCLE3         1236
#define IDC_MEASURE_DIAMETER_CIRCLE 1237
#define IDC_MEASURE_CONCENTRIC      1238
#define IDC_MEASURE_POLYGON         1239
#define IDC_MEASURE_ANGLE           1240
#define IDC_MEASURE_POINT_COUNT     1241
#define IDC_MEASURE_DELETE          1242
#define IDC_MEASURE_ARC             1243
#define IDC_MEASURE_ANNOTATION      1244
#define IDC_MEASURE_RULER           1245
#define IDC_MEASURE_PRECISION       1246
#define IDC_MEASURE_SELECT          1247
#define IDC_MEASURE_SCALE_BAR       1249
#define IDC_MEASURE_LAYERS          1425
#define IDC_MEASURE_CLEAR_ALL       1426
#define IDC_MEASURE_POLYLINE        1453
// Kept hidden: nothing depends on them.
#define IDC_MEASURE_HIDDEN_A        1001
#define IDC_MEASURE_DYNAMIC         1427
#define IDC_MEASURE_LABEL_FIRST     1251   // 1251..1270, and 1211
#define IDC_MEASURE_LABEL_LAST      1270
#define IDC_MEASURE_LABEL_EXTRA     1211
