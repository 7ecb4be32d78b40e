// Resource and control ids of CCropConfirmDialog.
#pragma once

#define IDD_CROP_CONFIRM 143
#define IDC_CROP_CUT     1020
#define IDC_CROP_OK      1021
#define IDC_CROP_CANCEL  1022
