// Resource and control ids of CVideoRecordPanel.
#pragma once

#define IDD_VIDEO_RECORD_PANEL 379
#define IDC_VIDEO_CAPTURE 1060
#define IDC_VIDEO_PLAY 1025
#define IDC_VIDEO_RATE_LABEL 1219
#define IDC_VIDEO_RATE 1218
#define IDC_VIDEO_COUNTER 1340
// In the template without the visible style; skinned, never shown.
#define IDC_VIDEO_SLIDER 1093
#define IDC_VIDEO_CHECK 1282
#define IDC_VIDEO_EDIT 1150
