// Resource and control ids of CThumbnailStrip.
#pragma once

#define IDD_THUMBNAIL_STRIP 163
#define IDC_STRIP_LIST 139
#define IDC_STRIP_EXPAND 1110
#define IDC_STRIP_RESTORE 1111
#define IDC_STRIP_CAPTION 1112
#define IDC_STRIP_PROGRESS 1555
// The popup menu's delete command.
#define ID_STRIP_DELETE 32771
// Skins of the expand (normal, pressed, hover, disabled) and restore buttons.
#define IDB_STRIP_EXPAND_PRESSED 715
#define IDB_STRIP_EXPAND_HOVER 716
#define IDB_STRIP_EXPAND 717
#define IDB_STRIP_EXPAND_DISABLED 721
#define IDB_STRIP_RESTORE 722
#define IDB_STRIP_RESTORE_PRESSED 723
#define IDB_STRIP_RESTORE_DISABLED 724
#define IDB_STRIP_RESTORE_HOVER 725
