// Resource and control ids of CStitchProgressDialog.
#pragma once

#define IDD_STITCH_PROGRESS 680
#define IDC_STITCH_BAR 1438
#define IDC_STITCH_LABEL 1439
#define IDC_STITCH_STATUS 1440
