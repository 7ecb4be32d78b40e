#include <windows.h>

#include "LibraryCalls.h"

extern "C" ORV_IMPORT_ONLY DWORD WINAPI OrvBenchVersion(void)
{
    return 0x0100;
}
