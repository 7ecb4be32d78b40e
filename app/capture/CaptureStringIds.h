// String-table ids of the capture area (CaptureStrings.rc).
#pragma once

#define IDS_VIDEO_SETTINGS_TITLE 61461
#define IDS_PLAY 61474
#define IDS_STOP 61475
#define IDS_TIME_LAPSE_TITLE 61547
#define IDS_UNIT_FRAMES 61549
#define IDS_UNIT_SECONDS 61550
// Its text lives in the compose area's string table.
#ifndef IDS_CHOOSE_FOLDER
#define IDS_CHOOSE_FOLDER 61581
#endif
