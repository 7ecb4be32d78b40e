// Resource and control ids of CFluorescencePanel.
#pragma once

#define IDD_FLUORESCENCE_PANEL 708
