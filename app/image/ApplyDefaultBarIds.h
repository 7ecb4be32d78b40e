// Resource and control ids of CApplyDefaultBar.
#pragma once

#define IDD_APPLY_DEFAULT_BAR 144
#define IDC_BAR_APPLY   1023
#define IDC_BAR_DEFAULT 1024
