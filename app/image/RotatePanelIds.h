// Resource and control ids of CRotatePanel.
#pragma once

#define IDD_ROTATE_PANEL 142
#define IDC_ROTATE_LEFT 1018
#define IDC_ROTATE_RIGHT 1019
