// Resource and control ids of CCaptureToolBar.
#pragma once

#define IDD_CAPTURE_TOOLBAR 584
