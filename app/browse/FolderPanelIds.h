// Resource and control ids of CFolderPanel.
#pragma once

#define IDD_FOLDER_PANEL 137
#define IDC_FOLDER_PATH 1176
#define IDC_FOLDER_BROWSE 1108
