// Resource ids and window messages of the updater.
#pragma once

#define IDD_ABOUTBOX            100
#define IDD_JOLUPDATE_DIALOG    102
#define IDR_MAINFRAME           128

#define IDS_ABOUTBOX            101
#define IDS_CHECKING            102
#define IDS_NEW_VERSION         103
#define IDS_LATEST_VERSION      104
#define IDS_CONNECT_FAILED      105
#define IDS_DOWNLOAD_SUCCESS    106
#define IDS_DOWNLOAD_FAILED     107
#define IDS_FILES_EXTRACTED     108
#define IDS_ARCHIVE_EMPTY       109
#define IDS_INTERNAL_ERROR      110
#define IDS_PROGRAM_RUNNING     111
#define IDS_DOWNLOAD_PROGRESS   112
#define IDS_INSTALL_PROGRESS    113

#define IDC_PROGRESS            1000
#define IDC_UPDATE              1001
#define IDC_STATUS_LABEL        1002
#define IDC_STATUS              1003

// System-menu item of the About box.
#define IDM_ABOUTBOX            0x0010

// From the workers to the dialog.
#define WM_UPDATE_CHECKED           0x1400   // wParam 0 the version file arrived, 1 it did not
#define WM_UPDATE_DOWNLOAD_PROGRESS 0x1401   // wParam percent 0-100; lParam 0, or the kilobytes
                                             // received when the size is not known
#define WM_UPDATE_DOWNLOAD_DONE     0x1402   // wParam a DOWNLOAD_* result
#define WM_UPDATE_EXTRACT_PROGRESS  0x1403   // sent; wParam the entry's name (CString*), lParam the dialog
#define WM_UPDATE_EXTRACT_DONE      0x1404   // wParam a package result code
