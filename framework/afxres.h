// Standard command, control-bar, pane and string ids of the framework.  Plain
// preprocessor definitions only: resource scripts include this file too.
#pragma once

// Window ids of frame children
#ifndef AFX_IDW_REBAR
#define AFX_IDW_REBAR            0xE804
#endif
#ifndef AFX_IDW_PANE_FIRST
#define AFX_IDW_PANE_FIRST       0xE900
#define AFX_IDW_PANE_LAST        0xE9FF
#define AFX_IDW_HSCROLL_FIRST    0xEA00
#define AFX_IDW_VSCROLL_FIRST    0xEA10
#define AFX_IDW_SIZE_BOX         0xEA20
#endif

// File commands
#ifndef ID_FILE_NEW
#define ID_FILE_NEW              0xE100
#define ID_FILE_OPEN             0xE101
#define ID_FILE_CLOSE            0xE102
#define ID_FILE_SAVE             0xE103
#define ID_FILE_SAVE_AS          0xE104
#define ID_FILE_PAGE_SETUP       0xE105
#define ID_FILE_PRINT_SETUP      0xE106
#define ID_FILE_PRINT            0xE107
#define ID_FILE_PRINT_DIRECT     0xE108
#define ID_FILE_PRINT_PREVIEW    0xE109
#define ID_FILE_UPDATE           0xE10A
#define ID_FILE_MRU_FIRST        0xE110
#define ID_FILE_MRU_FILE1        0xE110
#define ID_FILE_MRU_FILE2        0xE111
#define ID_FILE_MRU_FILE3        0xE112
#define ID_FILE_MRU_FILE4        0xE113
#define ID_FILE_MRU_LAST         0xE11F
#endif

// Edit commands
#ifndef ID_EDIT_CLEAR
#define ID_EDIT_CLEAR            0xE120
#define ID_EDIT_CLEAR_ALL        0xE121
#define ID_EDIT_COPY             0xE122
#define ID_EDIT_CUT              0xE123
#define ID_EDIT_FIND             0xE124
#define ID_EDIT_PASTE            0xE125
#define ID_EDIT_SELECT_ALL       0xE12A
#define ID_EDIT_UNDO             0xE12B
#define ID_EDIT_REDO             0xE12C
#endif

// Application and pane commands
#ifndef ID_APP_ABOUT
#define ID_APP_ABOUT             0xE140
#define ID_APP_EXIT              0xE141
#define ID_NEXT_PANE             0xE150
#define ID_PREV_PANE             0xE151
#endif

// Strings
#ifndef AFX_IDS_APP_TITLE
#define AFX_IDS_APP_TITLE        0xE000
#endif
#ifndef AFX_IDS_UNTITLED
#define AFX_IDS_UNTITLED         0xE001
#endif
// Shown when a print job could not be started or ended early; the program's string
// table holds the text.
#ifndef AFX_IDP_FAILED_TO_START_PRINT
#define AFX_IDP_FAILED_TO_START_PRINT 0xF1A0
#endif
// The print preview's bar (CPrintPreviewWnd): its buttons' captions are the strings of
// their command ids, the page number the string AFX_IDS_PRINTPAGENUM ("Page %u").
// English when the program has none.
#ifndef AFX_ID_PREVIEW_CLOSE
#define AFX_ID_PREVIEW_CLOSE     0xE300
#define AFX_ID_PREVIEW_NUMPAGE   0xE301
#define AFX_ID_PREVIEW_NEXT      0xE302
#define AFX_ID_PREVIEW_PREV      0xE303
#define AFX_ID_PREVIEW_PRINT     0xE304
#define AFX_ID_PREVIEW_ZOOMIN    0xE305
#define AFX_ID_PREVIEW_ZOOMOUT   0xE306
#endif
#ifndef AFX_IDS_PRINTPAGENUM
#define AFX_IDS_PRINTPAGENUM     0xF1E2
#endif

// Private framework messages
#ifndef WM_SIZEPARENT
#define WM_SIZEPARENT            0x0361
#endif
#ifndef WM_IDLEUPDATECMDUI
#define WM_IDLEUPDATECMDUI       0x0363
#endif
#ifndef WM_INITIALUPDATE
#define WM_INITIALUPDATE         0x0364
#endif
