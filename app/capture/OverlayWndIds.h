// Resource and control ids of COverlayWnd.
#pragma once

#define IDD_OVERLAY_WND 658
