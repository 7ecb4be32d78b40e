// Resource and control ids of CColorParamPanel.
#pragma once

#define IDD_COLOR_PARAM_PANEL 148
