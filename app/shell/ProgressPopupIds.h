// Resource ids of CProgressPopup.
#pragma once

#define IDD_PROGRESS_POPUP 726
