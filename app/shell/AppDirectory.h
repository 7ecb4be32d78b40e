// Where the running program lives: skins, help file and updater are found from here.
#pragma once
#include "afx.h"

// The program's folder with its trailing backslash.
void GetAppDirectory(CString& out);
// The folder part of the path moduleFileName gives for the program (the module-name
// call's contract: the length copied, the buffer size when it was too short).
typedef DWORD(WINAPI* ModuleFileNameFn)(HMODULE module, LPWSTR buffer, DWORD size);
CString FolderOfProgram(ModuleFileNameFn moduleFileName);
// A path below the program folder ("skin\\panel_bg.bmp" gives <folder>skin\panel_bg.bmp).
CString AppPath(LPCWSTR relative);
