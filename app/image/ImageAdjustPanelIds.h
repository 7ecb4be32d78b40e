// Resource and control ids of CImageAdjustPanel.
#pragma once

#define IDD_IMAGE_ADJUST_PANEL 141
