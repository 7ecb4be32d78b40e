// Resource and control ids of CPreviewWnd.
#pragma once

#define IDD_PREVIEW_WND 130
#define IDC_PREVIEW_FRAME 1213
