// Resource and control ids of CStampPanel.
#pragma once

#define IDD_STAMP_PANEL 321
#define IDC_STAMP_DATE        1156
#define IDC_STAMP_TIME        1157
#define IDC_STAMP_DATE_LABEL  1159
#define IDC_STAMP_TIME_LABEL  1160
#define IDC_STAMP_TEXT        1188
#define IDC_STAMP_SAVE        1214
#define IDC_STAMP_COLOR_LABEL 1351
#define IDC_STAMP_COLOR       1352
