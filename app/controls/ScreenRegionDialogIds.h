// Resource ids of the screen-region dialog.
#pragma once
#define IDD_SCREEN_REGION        152
#define IDC_REGION_OK            1080
#define IDC_REGION_CANCEL        1081
#define IDC_CURSOR_REGION        157
#define IDC_CURSOR_MOVE          158
#define IDC_CURSOR_NESW          159
#define IDC_CURSOR_NWSE          160
#define IDC_CURSOR_WE            161
#define IDC_CURSOR_NS            162
