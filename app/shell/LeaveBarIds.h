// Resource and control ids of CLeaveBar.
#pragma once

#define IDD_LEAVE_BAR 391
#define IDC_LEAVE_BUTTON 1223
