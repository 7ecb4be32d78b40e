// Resource and control ids of CImageInfoPanel.
#pragma once

#define IDD_IMAGE_INFO_PANEL 136
