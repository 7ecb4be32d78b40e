// Resource and control ids of CFusionPanel.
#pragma once

#define IDD_FUSION_PANEL 709
#define IDC_FUSION_EDOF 1193
#define IDC_FUSION_STITCH 1435
#define IDC_FUSION_HDR 1336
