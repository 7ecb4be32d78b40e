// Resource and control ids of CMeasurePanel.
#pragma once

#define IDD_MEASURE_PANEL 392
