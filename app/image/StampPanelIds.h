// Resource and control ids of CStampPanel.
#pragma once

#define IDD_STAMP_PANEL 321
