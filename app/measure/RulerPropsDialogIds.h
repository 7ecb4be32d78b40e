// Resource and control ids of CRulerPropsDialog.
#pragma once

#define IDD_RULER_PROPS 671
#define IDC_RULER_CANCEL          2      // "關閉"
#define IDC_RULER_DEFAULT         1429
#define IDC_RULER_BK_LABEL        1430
#define IDC_RULER_TRANSPARENT     1431
#define IDC_RULER_TRANSPARENT_LABEL 1432
#define IDC_RULER_BK_SWATCH       1433
#define IDC_RULER_COLOR_SWATCH    1434
