// Resource and control ids of CWhiteBalanceWizard.
#pragma once

#define IDD_WB_WIZARD 682
#define IDC_WB_WIZARD_TEXT 1445
