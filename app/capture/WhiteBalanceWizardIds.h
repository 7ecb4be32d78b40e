// Resource and control ids of CWhiteBalanceWizard.
#pragma once

#define IDD_WB_WIZARD 682
#define IDC_WB_WIZARD_TEXT 1445

// Skin of the OK button.
#define IDB_WBW_OK_NORMAL 683
#define IDB_WBW_OK_PRESSED 684
#define IDB_WBW_OK_DISABLED 685
#define IDB_WBW_OK_HOVER 686
