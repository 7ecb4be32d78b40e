// Resource ids of CColorPanel.
#pragma once

#define IDD_COLOR_PANEL 332
