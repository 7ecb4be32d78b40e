// Ids of the program's own resources: the document template, the About box and the
// shell's strings.  Plain definitions: the resource scripts include this too.
#pragma once
#include "framework/afxres.h"

// Document template: its string, menu and accelerators.
#define IDR_MAINFRAME               128

// About box
#define IDD_ABOUTBOX                100
#define IDC_ABOUT_LOGO              1374
#define IDC_ABOUT_WEB               1437
#define IDB_ABOUT_LOGO              610

// Commands
#define ID_HELP_FILE                32772

// Strings
#define IDS_TAB_CAPTURE             61446
#define IDS_TAB_BROWSE              61447
#define IDS_TAB_IMAGE               61448
// 61449 "文件不存在！" is the browser's IDS_FILE_MISSING.
#define IDS_SECTION_MAIN            61450
#define IDS_SECTION_EXPOSURE        61451
#define IDS_SECTION_COLOR           61452
#define IDS_SECTION_PARAMETERS      61453
#define IDS_SECTION_SAVE            61454
#define IDS_SECTION_IMAGE_INFO      61455
#define IDS_SECTION_PATH            61456
#define IDS_SECTION_ADJUST          61457
#define IDS_SECTION_STAMP           61460
#define IDS_UNKNOWN_DEVICE          61462
#define IDS_MENU_PRINT_SETUP        61463
#define IDS_MENU_PRINT_PREVIEW      61464
#define IDS_MENU_PRINT              61465
#define IDS_MENU_EXIT               61466
#define IDS_MENU_ABOUT              61467
#define IDS_ALREADY_RUNNING         61476
#define IDS_NO_CAMERA               61480
#define IDS_CAMERA_INIT_FAILED      61481
#define IDS_MENU_HELP               61482
#define IDS_HELP_FILE               61483
#define IDS_CROP                    61509
#define IDS_HELP_OPEN_FAILED        61511
#define IDS_SECTION_MERGE           61515
#define IDS_COMPANY_KEY             61529
#define IDS_START_FAILED            61535
#define IDS_MERGE_BUSY              61546
#define IDS_RECORD                  61548
#define IDS_WEB_ADDRESS             61576
#define IDS_SECTION_COUNTER         61613
#define IDS_IMAGE_EDITED            61617
#define IDS_MENU_UPDATE             61622
#define IDS_SECTION_FLUORESCENCE    61624
#define IDS_SECTION_ADVANCED        61625
#define IDS_OPEN_FILE_FAILED        61648
