// A USB tree that exists only in memory: host controllers, their root hubs, hubs and
// devices on ports, answering the same device requests as the real drivers. The
// simulated camera bench describes its attached cameras with it; tests describe
// trees with faults (a controller that does not open, a failing port query).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "camera/device/UsbHostInterface.h"

// Plain description of the tree, so another module can hand it over.
static const int kSimulatedUsbMaxDepth = 8;

struct SimulatedUsbController
{
    int number;              // n of \\.\HCD<n>
    int rootHubPorts;
    int doesNotOpen;         // the controller device does not open
    int rootHubNameFails;    // the root-hub name request fails
    DWORD reportedNameSize;  // 0: the true size; else the size the name answer claims
    const char* rootHubName; // null: a generated name
};

struct SimulatedUsbDevice
{
    int controller;                     // number of its host controller
    int ports[kSimulatedUsbMaxDepth];   // port numbers from the root hub down, 0 ends
    WORD vendorId;
    WORD productId;
    int hubPorts;                       // above 0: the device is a hub with that many ports
    int portQueryFails;                 // the query of the port it sits on fails
    int hubFails;                       // as a hub: does not open
    DWORD reportedNameSize;             // as a hub: 0 the true size, else the claimed one
    const char* hubName;                // as a hub: null for a generated name
};

struct SimulatedUsbTree
{
    const SimulatedUsbController* controllers;
    int controllerCount;
    const SimulatedUsbDevice* devices;
    int deviceCount;
};

class CSimulatedUsbHost : public CUsbHostInterface
{
public:
    explicit CSimulatedUsbHost(const SimulatedUsbTree& tree);

    HANDLE Open(const char* devicePath) override;
    BOOL Control(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out,
                 DWORD outSize, DWORD* returned) override;
    void Close(HANDLE device) override;

    // What a scan did: every path it opened, in order, and the handles still open.
    const std::vector<std::string>& OpenedPaths() const { return m_openedPaths; }
    int OpenHandleCount() const { return static_cast<int>(m_open.size()); }

private:
    struct Hub
    {
        int controller;
        std::vector<int> path;  // empty for the root hub
        int ports;
        int fails;
        DWORD reportedNameSize;
        std::string name;
    };
    struct Node  // what an open handle refers to
    {
        int controllerIndex;  // >= 0: a host controller
        int hubIndex;         // >= 0: a hub
    };

    const SimulatedUsbDevice* DeviceAt(int controller, const std::vector<int>& path) const;
    const Hub* HubAt(int controller, const std::vector<int>& path) const;
    BOOL AnswerName(const std::string& name, DWORD reportedSize, DWORD headerSize,
                    void* out, DWORD outSize, DWORD* returned) const;
    BOOL AnswerConnection(const Hub& hub, const void* in, DWORD inSize, void* out,
                          DWORD outSize, DWORD* returned) const;
    BOOL AnswerConnectionName(const Hub& hub, const void* in, DWORD inSize, void* out,
                              DWORD outSize, DWORD* returned) const;

    std::vector<SimulatedUsbController> m_controllers;
    std::vector<SimulatedUsbDevice> m_devices;
    std::vector<Hub> m_hubs;
    std::map<UINT_PTR, Node> m_open;
    UINT_PTR m_nextHandle;
    std::vector<std::string> m_openedPaths;
};
