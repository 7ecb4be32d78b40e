// Sends a system command to the main program's frame from another process, as a taskbar
// would: minimise, restore.  The outside tests use it where no window manager runs.
//   orv_syscommand.exe minimize|restore
#include <windows.h>

int main(int argc, char** argv)
{
    if (argc != 2) return 2;
    WPARAM command;
    if (lstrcmpA(argv[1], "minimize") == 0) command = SC_MINIMIZE;
    else if (lstrcmpA(argv[1], "restore") == 0) command = SC_RESTORE;
    else return 2;
    HWND frame = FindWindowW(NULL, L"Orvisnap");
    if (frame == NULL) return 1;
    return PostMessageW(frame, WM_SYSCOMMAND, command, 0) ? 0 : 1;
}
