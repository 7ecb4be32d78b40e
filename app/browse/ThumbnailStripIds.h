// Resource and control ids of CThumbnailStrip.
#pragma once

#define IDD_THUMBNAIL_STRIP 163
#define IDC_STRIP_LIST 139
#define IDC_STRIP_PROGRESS 1555
#define IDC_STRIP_CAPTION 1112
