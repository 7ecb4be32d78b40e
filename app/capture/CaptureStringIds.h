// String-table ids of the capture area (CaptureStrings.rc).
#pragma once

#define IDS_AUTO_WHITE_BALANCE 61618
#define IDS_MANUAL_WHITE_BALANCE 61619

// Colour panel.
#define IDS_WB_NO_AREA 61490
#define IDS_FLAT_FIELD_FAILED 61640

// Parameter groups, backup and restore.
#define IDS_GROUP_NAME_EMPTY 61523
#define IDS_GROUP_SAVED 61524
#define IDS_GROUP_FULL 61525
#define IDS_GROUP_LOAD_MISSING 61526
#define IDS_GROUP_DELETE_MISSING 61527
#define IDS_GROUP_SAVE_FAILED 61639
#define IDS_CHOOSE_FOLDER 61581   // its text lives in the compose strings
#define IDS_BACKUP_DONE 61634
#define IDS_BACKUP_FAILED 61635
#define IDS_RESTORE_DONE 61636
#define IDS_RESTORE_FAILED 61637

// White-balance wizard: step texts and button captions.
#define IDS_WBW_INTRO 61584
#define IDS_WBW_LIGHT 61585
#define IDS_WBW_WHITE_AREA 61586
#define IDS_WBW_SUCCESS 61587
#define IDS_WBW_FAILURE 61588
#define IDS_WBW_MANUAL 61589
#define IDS_WBW_CANCEL 61590
#define IDS_WBW_RESET_AND_GO 61591
#define IDS_WBW_NEXT 61592
#define IDS_WBW_TAKE 61593
#define IDS_WBW_FINISH 61594
#define IDS_WBW_REDO 61595
#define IDS_WBW_SET_EXPOSURE 61596

// Exposure panel: the shown channel.
#define IDS_CHANNEL_RGB 61597
#define IDS_CHANNEL_B 61598
#define IDS_CHANNEL_G 61599
#define IDS_CHANNEL_R 61600
#define IDS_CHANNEL_GRAY 61601
