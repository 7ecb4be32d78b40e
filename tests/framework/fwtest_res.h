// Resource ids of the framework tests.
#pragma once
#define IDS_CAMERA_NOT_FOUND   61480
#define IDS_EXPOSURE_FORMAT    2001
#define IDS_PLAIN              2002
#define IDD_CHILD_PANEL        300
#define IDC_PANEL_EDIT         1301
#define IDC_PANEL_CHECK        1302
