// Resource and control ids of CAuxToolsDialog.
#pragma once

#define IDD_AUX_TOOLS 727
#define IDC_AUX_GRID_ON        1578
#define IDC_AUX_GRID_SPACING   1579
#define IDC_AUX_GRID_COLOR     1580
#define IDC_AUX_LINE_DETECTION 1581
#define IDC_AUX_UNIT           1582
