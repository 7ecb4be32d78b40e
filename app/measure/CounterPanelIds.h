// Resource and control ids of CCounterPanel.
#pragma once

#define IDD_COUNTER_PANEL 705
