// Starting the system's folder picker at a folder.
#pragma once
#include "afx.h"

// The picker finds the folder to preselect by comparing each folder's entry as parsed
// from the path with the one its tree lists, access time included.  On a disk that
// updates access times on the first read after a change (relatime), parsing the path
// moves them in between, and the picker stops short at a folder above.  Reading each
// folder on the way to folder (ending in a backslash) once beforehand makes them hold.
void SettleAccessTimes(const CString& folder);

// A browse callback that preselects the folder its data names (LPCWSTR; none when
// NULL or empty).
int CALLBACK PreselectFolderCallback(HWND picker, UINT message, LPARAM, LPARAM folder);
