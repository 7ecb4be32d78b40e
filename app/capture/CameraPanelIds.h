// Resource and control ids of CCameraPanel.
#pragma once

#define IDD_CAMERA_PANEL 145
#define IDC_CAMERA_PLAY 1025
#define IDC_CAMERA_CAPTURE 1060
