// Resource and control ids of CPrintLayoutDialog.
#pragma once

#define IDD_PRINT_LAYOUT 706
#define IDC_PRINT_LABEL_SHOW    1141
#define IDC_PRINT_SHOW_TIME     1156
#define IDC_PRINT_LABEL_ZOOM    1159
#define IDC_PRINT_CLOSE_ALL     1463
#define IDC_PRINT_PREVIEW       1511
#define IDC_PRINT_IMPORT        1512
#define IDC_PRINT_PRINT         1513
#define IDC_PRINT_SHOW_NAME     1521
#define IDC_PRINT_FIXED_ZOOM    1522
#define IDC_PRINT_FULL_PAGE     1523
#define IDC_PRINT_LABEL_PERCENT 1524
#define IDC_PRINT_LABEL_RANGE   1525
#define IDC_PRINT_SHOW_BORDER   1526
#define IDC_PRINT_ZOOM          1527
#define IDC_PRINT_LABEL_PREVIEW 1528
// The options' texts: statics beside the skinned boxes, which draw only their face.
#define IDC_PRINT_LABEL_TIME       1529
#define IDC_PRINT_LABEL_NAME       1530
#define IDC_PRINT_LABEL_BORDER     1531
#define IDC_PRINT_LABEL_FULL_PAGE  1532
#define IDC_PRINT_LABEL_FIXED_ZOOM 1533
