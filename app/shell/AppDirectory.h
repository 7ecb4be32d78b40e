// Where the running program lives: skins, help file and updater are found from here.
#pragma once
#include "afx.h"

// The program's folder with its trailing backslash.
void GetAppDirectory(CString& out);
// A path below the program folder ("skin\\panel_bg.bmp" gives <folder>skin\panel_bg.bmp).
CString AppPath(LPCWSTR relative);
