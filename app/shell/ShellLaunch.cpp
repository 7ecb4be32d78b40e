#include "app/shell/ShellLaunch.h"
#include "app/shell/AppDirectory.h"
#include "app/res/resource.h"
#include "afxwin.h"
#include <shellapi.h>

namespace {
HINSTANCE DefaultShellLaunch(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, int show)
{
    return ::ShellExecuteW(owner, verb, file, parameters, directory, show);
}
} // namespace

ShellLaunchFn& ShellLauncher()
{
    static ShellLaunchFn fn = DefaultShellLaunch;
    return fn;
}

HINSTANCE ShellLaunch(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, int show)
{
    return ShellLauncher()(owner, verb, file, parameters, directory, show);
}

void StartUpdater()
{
    CString folder;
    GetAppDirectory(folder);
    CString path = folder + L"JolUpdate.exe";
    // The updater takes a program path only as a parameter, so the working directory
    // is the program's folder, not the program itself.
    HINSTANCE h = ShellLaunch(NULL, L"open", path, L"", folder, SW_SHOW);
    if ((INT_PTR)h < 32) AfxMessageBox(IDS_START_FAILED, MB_OK);
}
