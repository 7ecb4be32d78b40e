// Resource and control ids of CCounterPanel. Class rows k = 0..4 use id + k.
#pragma once

#define IDD_COUNTER_PANEL 705
#define IDC_COUNTER_CLASS0        1476
#define IDC_COUNTER_NAME0         1481
#define IDC_COUNTER_TOTAL_LABEL   1486
#define IDC_COUNTER_EQUALS0       1487
#define IDC_COUNTER_TOTAL_EQUALS  1492
#define IDC_COUNTER_COUNT0        1493
#define IDC_COUNTER_TOTAL_COUNT   1498
#define IDC_COUNTER_SHARE0        1499
#define IDC_COUNTER_TOTAL_SHARE   1504
#define IDC_COUNTER_START         1505
#define IDC_COUNTER_EXPORT        1506
#define IDC_COUNTER_CLEAR_ALL     1507
