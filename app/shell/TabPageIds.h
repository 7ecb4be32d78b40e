// Resource and control ids of the three tab pages.
#pragma once

#define IDD_CAPTURE_PAGE 131
#define IDD_BROWSE_PAGE 133
#define IDD_IMAGE_PAGE 134
#define IDC_PAGE_LOGO 1374
#define IDC_PAGE_COMPANY 1375
#define IDC_PAGE_UPDATE 1376
#define IDB_PAGE_LOGO 640
