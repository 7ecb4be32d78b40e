// Resource and control ids of CExposurePanel.
#pragma once

#define IDD_EXPOSURE_PANEL 147
