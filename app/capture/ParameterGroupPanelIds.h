// Resource and control ids of CParameterGroupPanel.
#pragma once

#define IDD_PARAMETER_GROUP_PANEL 150

#define IDC_GROUP_NAME 1180
#define IDC_GROUP_SAVE 1023
#define IDC_GROUP_LOAD 1024
#define IDC_GROUP_DELETE 1008
#define IDC_GROUP_BACKUP 1575
#define IDC_GROUP_RESTORE 1576
#define IDC_GROUP_BLACK_BACKGROUND 1220
#define IDC_GROUP_FULL_SCREEN 1221

// Posted to the panel by its worker when the library is done with a team: wParam the
// work (load or save), lParam the library's result.
#define WM_GROUP_TEAM_DONE (WM_APP + 0x113)
// Posted to the panel by itself: the next piece of the page's refresh after a load, so
// that the window answers between the pieces.
#define WM_GROUP_FINISH_STEP (WM_APP + 0x114)
