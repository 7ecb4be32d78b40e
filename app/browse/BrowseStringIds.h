// String-table ids of the browser (BrowseStrings.rc).  The tooltips of the zoom, fit
// and crop tools and the folder picker's title are shared with the capture tool column
// and the composition dialogs, under the same names.
#pragma once

#define IDS_FILE_MISSING 61449
#define IDS_ATTENTION 61477
#define IDS_ASK_DELETE 61478
#define IDS_MENU_DELETE 61479
#define IDS_ASK_SHOW_IMAGE 61487
#define IDS_ASK_SHOW_CAPTION 61488
#define IDS_CANNOT_SHOW_FORMAT 61489
#define IDS_TIP_ROTATE_RIGHT 61492
#define IDS_TIP_ROTATE_LEFT 61493
#define IDS_TIP_ZOOM_IN 61494
#define IDS_TIP_ZOOM_OUT 61495
#define IDS_TIP_ACTUAL_SIZE 61496
#define IDS_TIP_ZOOM_FIT 61497
#define IDS_TIP_MOVE 61498
#define IDS_TIP_CROP 61499
#define IDS_TIP_DELETE 61500
#define IDS_TIP_REVERT 61501
#define IDS_TIP_PRINT 61502
#define IDS_TIP_SAVE 61503
#define IDS_TIP_SAVE_AS 61504
#define IDS_CURRENT_IMAGE 61528
#define IDS_ASK_RENAME 61530
#define IDS_RENAME_EXISTS 61531
#define IDS_RENAME_FAILED 61532
#define IDS_TIP_OPEN 61533
#define IDS_CHOOSE_FOLDER 61581
// Shown with the system's reason when a file cannot go to the recycle bin.
#define IDS_DELETE_FAILED 61700
