// Resource and control ids of CCaptureProgressPanel.
#pragma once

#define IDD_CAPTURE_PROGRESS_PANEL 579
#define IDC_PROGRESS_SLIDER 1093
#define IDC_PROGRESS_LABEL 1283
#define IDC_PROGRESS_PERCENT 1150
