// Resource and control ids of CLayersDialog.
#pragma once

#define IDD_LAYERS_DIALOG 628
