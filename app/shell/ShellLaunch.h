// Starting other programs and documents through the shell, behind one seam so tests
// can see what would be started instead of starting it.
#pragma once
#include "afx.h"

typedef HINSTANCE (*ShellLaunchFn)(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                   LPCWSTR directory, int show);

// The launcher in use; ShellExecuteW unless a test replaced it.
ShellLaunchFn& ShellLauncher();
HINSTANCE ShellLaunch(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, int show);

// Starts the updater "JolUpdate.exe" from the program folder (no parameters, the
// program folder as working directory); shows the failure message when it cannot.
void StartUpdater();
