#include "camera/device/Win32UsbHost.h"

#include <winioctl.h>

HANDLE CWin32UsbHost::Open(const char* devicePath)
{
    return CreateFileA(devicePath, GENERIC_WRITE, FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
}

BOOL CWin32UsbHost::Control(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out,
                            DWORD outSize, DWORD* returned)
{
    DWORD got = 0;
    BOOL ok = DeviceIoControl(device, code, const_cast<void*>(in), inSize, out, outSize, &got,
                              NULL);
    if (returned)
        *returned = got;
    return ok;
}

void CWin32UsbHost::Close(HANDLE device)
{
    if (device != INVALID_HANDLE_VALUE && device != NULL)
        CloseHandle(device);
}

CWin32UsbHost& CWin32UsbHost::Instance()
{
    static CWin32UsbHost host;
    return host;
}
