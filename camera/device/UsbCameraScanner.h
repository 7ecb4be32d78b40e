// Finds a driver-library camera by walking the USB tree: every host controller, its
// root hub and every hub below, depth first, until a known vendor and product id
// turns up. The camera manager runs one scan per camera refresh.
#pragma once

#include <string>

#include "camera/device/UsbHostInterface.h"

class CUsbCameraScanner
{
public:
    // host: the controllers to walk; null walks this machine's (CWin32UsbHost).
    explicit CUsbCameraScanner(CUsbHostInterface* host = nullptr);

    // The camera-type code of the first known camera met, or -1.
    int Scan();
    // 1 and the code stored when the low 16 bits of both ids name a known camera, else 0.
    int MatchDevice(int vendor, int product);

    int IsFound() const { return m_found; }
    int GetCameraType() const { return m_cameraType; }

    // Controllers tried per scan: \\.\HCD0 to \\.\HCD9.
    static const int kControllerCount = 10;
    // USB allows five hubs between the root hub and a device; a deeper answer is a
    // misbehaving driver, not a tree to follow.
    static const int kMaxHubDepth = 6;
    // Hub names are device paths well under a hundred characters; a larger size from
    // the driver is not trusted.
    static const DWORD kMaxNameAnswerBytes = 4096;

private:
    bool GetRootHubName(HANDLE controller, std::string& name);
    bool GetConnectionName(HANDLE hub, DWORD port, std::string& name);
    void WalkHub(const std::string& hubName, int depth);

    CUsbHostInterface* m_host;
    int m_found;
    int m_cameraType;
};
