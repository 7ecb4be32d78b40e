// Resource and control ids of CLevelsDialog.
#pragma once

#define IDD_LEVELS_DIALOG 226
#define IDC_LEVELS_HISTOGRAM 1191
#define IDC_LEVELS_RANGE     1203
#define IDC_LEVELS_LOW       1204
#define IDC_LEVELS_LABEL     1206
#define IDC_LEVELS_HIGH      1209
#define IDC_LEVELS_AUTO      1217
