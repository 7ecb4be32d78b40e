#include <windows.h>

extern "C" DWORD WINAPI AfxFrameworkVersion(void)
{
    return 0x0100;
}
