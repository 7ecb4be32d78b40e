// Resource and control ids of CParameterGroupPanel.
#pragma once

#define IDD_PARAMETER_GROUP_PANEL 150
