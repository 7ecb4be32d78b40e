// Resource and control ids of CBrowseToolBar.
#pragma once

#define IDD_BROWSE_TOOLBAR 140
#define IDC_BROWSE_ZOOM 1320
