// Resource and control ids of CLayersDialog and CLayerNameDialog.
#pragma once

#define IDD_LAYERS_DIALOG 628
#define IDC_LAYER_PATH    1059
#define IDC_LAYER_BROWSE  1108
#define IDC_LAYER_CLOSE   1165
#define IDC_LAYER_LIST    1355
#define IDC_LAYER_NEW     1356
#define IDC_LAYER_RENAME  1358
#define IDC_LAYER_SAVE    1359
#define IDC_LAYER_LOAD    1360
#define IDC_LAYER_DELETE  1361

#define IDD_LAYER_NAME    629
#define IDC_LAYER_NAME    1150
