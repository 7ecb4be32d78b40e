// Deleting files through the shell, so that they land in the recycle bin.
#pragma once
#include "afx.h"

// One shell delete of path, silent; into the recycle bin unless noUndo.  TRUE only when
// the file is gone afterwards; otherwise *error (when given) says why.  A file that
// another program holds open is refused before the shell is asked.
BOOL ShellDeleteFile(LPCWSTR path, BOOL noUndo, DWORD* error = NULL);
// ShellDeleteFile into the recycle bin.
BOOL MoveFileToRecycleBin(LPCWSTR path, DWORD* error = NULL);
// The system's text for a Win32 error code, without the trailing line break.
CString DescribeSystemError(DWORD code);
