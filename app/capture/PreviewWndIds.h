// Resource and control ids of CPreviewWnd.
#pragma once

#define IDD_PREVIEW_WND 130
// The video static the camera library draws into (created by the window).
#define IDC_PREVIEW_VIDEO 146
// A hidden frame whose handle goes to the library as its second window.
#define IDC_PREVIEW_FRAME 1213
