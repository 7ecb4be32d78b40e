// Resource and control ids of CFoldPanel.
#pragma once

#define IDD_FOLD_PANEL 135
#define IDC_FOLD_TOGGLE 1001
#define IDC_FOLD_CHILD_AREA 1002
#define IDC_FOLD_TITLE 1149
#define IDB_FOLD_PRESSED 224
#define IDB_FOLD_NORMAL 225
