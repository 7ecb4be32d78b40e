// String-table entries of the measuring panels.
#pragma once

#define IDS_LAYER_COLUMN_NAME      61536
#define IDS_LAYER_COLUMN_CURRENT   61537
#define IDS_LAYER_COLUMN_VISIBLE   61538
#define IDS_LAYER_BACKGROUND       61539
#define IDS_LAYER_PREFIX           61540
#define IDS_LAYER_NAME_EMPTY       61541
#define IDS_LAYER_RENAME_BACKGROUND 61542
#define IDS_LAYER_DELETE_BACKGROUND 61545
#define IDS_TIP_LINE               61551
#define IDS_TIP_PARALLEL           61552
#define IDS_TIP_POINT_TO_LINE      61553
#define IDS_TIP_RECTANGLE          61554
#define IDS_TIP_CIRCLE2            61555
#define IDS_TIP_CIRCLE3            61556
#define IDS_TIP_DIAMETER_CIRCLE    61557
#define IDS_TIP_CONCENTRIC         61558
#define IDS_TIP_POLYGON            61559
#define IDS_TIP_ARC                61560
#define IDS_TIP_ANGLE              61561
#define IDS_TIP_POINT_COUNT        61562
#define IDS_TIP_ANNOTATION         61563
#define IDS_TIP_SELECT             61564
#define IDS_TIP_DELETE             61565
#define IDS_TIP_LOCK               61566
#define IDS_TIP_MEASURE_LIST       61567
#define IDS_TIP_PRECISION          61568
#define IDS_TIP_CALIBRATION_TABLE  61569
#define IDS_TIP_CALIBRATE          61570
#define IDS_TIP_SCALE_BAR          61571
#define IDS_TIP_LAYERS             61572
#define IDS_TIP_CLEAR_ALL          61573
#define IDS_RULER_UNIT             61574
#define IDS_CLEAR_ALL_QUESTION     61577
#define IDS_TIP_RULER              61602
#define IDS_TIP_POLYLINE           61603
#define IDS_TIP_GRID               61638
// "注意", the caption of warnings; defined once for the program by the browser's strings.
#define IDS_MEASURE_ATTENTION      61477
// Shown when the counter export cannot be written.
#define IDS_COUNTER_EXPORT_FAILED  61860
// Shown when a layer file cannot be written or read.
#define IDS_LAYER_FILE_FAILED      61861
