// The host controllers of this machine, reached through their drivers. Under Wine no
// controller device exists, so every open fails at once.
#pragma once

#include "camera/device/UsbHostInterface.h"

class CWin32UsbHost : public CUsbHostInterface
{
public:
    HANDLE Open(const char* devicePath) override;
    BOOL Control(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out,
                 DWORD outSize, DWORD* returned) override;
    void Close(HANDLE device) override;

    // The instance the scanner uses unless it is given another.
    static CWin32UsbHost& Instance();
};
