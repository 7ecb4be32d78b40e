// Resource and control ids of CComparePane.
#pragma once

#define IDD_COMPARE_PANE 597
#define IDC_COMPARE_PICTURE 1317
