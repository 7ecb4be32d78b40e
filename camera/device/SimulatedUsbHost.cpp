#include "camera/device/SimulatedUsbHost.h"

#include <stddef.h>
#include <string.h>

namespace {

std::vector<int> PortPath(const int* ports)
{
    std::vector<int> path;
    for (int i = 0; i < kSimulatedUsbMaxDepth && ports[i] > 0; ++i)
        path.push_back(ports[i]);
    return path;
}

std::string GeneratedHubName(int controller, const std::vector<int>& path)
{
    char text[32];
    wsprintfA(text, "ORVSIM#HUB#%d", controller);
    std::string name = text;
    for (int port : path) {
        wsprintfA(text, "#%d", port);
        name += text;
    }
    return name;
}

const char kDevicePrefix[] = "\\\\.\\";
const size_t kDevicePrefixLength = sizeof(kDevicePrefix) - 1;

}  // namespace

CSimulatedUsbHost::CSimulatedUsbHost(const SimulatedUsbTree& tree) : m_nextHandle(0x100)
{
    if (tree.controllers)
        m_controllers.assign(tree.controllers, tree.controllers + tree.controllerCount);
    if (tree.devices)
        m_devices.assign(tree.devices, tree.devices + tree.deviceCount);

    for (const SimulatedUsbController& controller : m_controllers) {
        Hub root;
        root.controller = controller.number;
        root.ports = controller.rootHubPorts;
        root.fails = 0;
        root.reportedNameSize = controller.reportedNameSize;
        root.name = controller.rootHubName ? controller.rootHubName
                                           : GeneratedHubName(controller.number, root.path);
        m_hubs.push_back(root);
    }
    for (const SimulatedUsbDevice& device : m_devices) {
        if (device.hubPorts <= 0)
            continue;
        Hub hub;
        hub.controller = device.controller;
        hub.path = PortPath(device.ports);
        hub.ports = device.hubPorts;
        hub.fails = device.hubFails;
        hub.reportedNameSize = device.reportedNameSize;
        hub.name = device.hubName ? device.hubName : GeneratedHubName(device.controller, hub.path);
        m_hubs.push_back(hub);
    }
}

HANDLE CSimulatedUsbHost::Open(const char* devicePath)
{
    std::string path = devicePath ? devicePath : "";
    m_openedPaths.push_back(path);
    Node node = {-1, -1};
    if (path.compare(0, kDevicePrefixLength, kDevicePrefix) == 0) {
        std::string name = path.substr(kDevicePrefixLength);
        for (size_t i = 0; i < m_controllers.size() && node.controllerIndex < 0; ++i) {
            char controllerName[16];
            wsprintfA(controllerName, "HCD%d", m_controllers[i].number);
            if (name == controllerName && !m_controllers[i].doesNotOpen)
                node.controllerIndex = static_cast<int>(i);
        }
        for (size_t i = 0; i < m_hubs.size() && node.controllerIndex < 0 && node.hubIndex < 0;
             ++i) {
            if (name == m_hubs[i].name && !m_hubs[i].fails)
                node.hubIndex = static_cast<int>(i);
        }
    }
    if (node.controllerIndex < 0 && node.hubIndex < 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    UINT_PTR handle = m_nextHandle;
    m_nextHandle += 4;
    m_open[handle] = node;
    return reinterpret_cast<HANDLE>(handle);
}

void CSimulatedUsbHost::Close(HANDLE device)
{
    m_open.erase(reinterpret_cast<UINT_PTR>(device));
}

const SimulatedUsbDevice* CSimulatedUsbHost::DeviceAt(int controller,
                                                      const std::vector<int>& path) const
{
    for (const SimulatedUsbDevice& device : m_devices) {
        if (device.controller == controller && PortPath(device.ports) == path)
            return &device;
    }
    return nullptr;
}

const CSimulatedUsbHost::Hub* CSimulatedUsbHost::HubAt(int controller,
                                                       const std::vector<int>& path) const
{
    for (const Hub& hub : m_hubs) {
        if (hub.controller == controller && hub.path == path)
            return &hub;
    }
    return nullptr;
}

BOOL CSimulatedUsbHost::Control(HANDLE device, DWORD code, const void* in, DWORD inSize,
                                void* out, DWORD outSize, DWORD* returned)
{
    if (returned)
        *returned = 0;
    auto it = m_open.find(reinterpret_cast<UINT_PTR>(device));
    if (it == m_open.end() || !out) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const Node& node = it->second;
    if (node.controllerIndex >= 0) {
        const SimulatedUsbController& controller = m_controllers[node.controllerIndex];
        if (code != kIoctlUsbGetRootHubName || controller.rootHubNameFails)
            return FALSE;
        const Hub* root = HubAt(controller.number, std::vector<int>());
        return AnswerName(root->name, root->reportedNameSize, sizeof(DWORD), out, outSize,
                          returned);
    }

    const Hub& hub = m_hubs[node.hubIndex];
    if (code == kIoctlUsbGetNodeInformation) {
        if (outSize < sizeof(UsbNodeInformationAnswer))
            return FALSE;
        UsbNodeInformationAnswer info;
        memset(&info, 0, sizeof(info));
        info.nodeType = kUsbNodeHub;
        info.hubDescriptor.descriptorLength = 9;
        info.hubDescriptor.descriptorType = 0x29;
        info.hubDescriptor.numberOfPorts = static_cast<BYTE>(hub.ports);
        info.hubIsBusPowered = 0;
        memcpy(out, &info, sizeof(info));
        if (returned)
            *returned = sizeof(info);
        return TRUE;
    }
    if (code == kIoctlUsbGetNodeConnectionInformation)
        return AnswerConnection(hub, in, inSize, out, outSize, returned);
    if (code == kIoctlUsbGetNodeConnectionName)
        return AnswerConnectionName(hub, in, inSize, out, outSize, returned);
    return FALSE;
}

// A name answer: a header (headerSize bytes before the text), then as much of the
// terminated UTF-16 name as fits; the size word says what the whole answer needs.
BOOL CSimulatedUsbHost::AnswerName(const std::string& name, DWORD reportedSize,
                                   DWORD headerSize, void* out, DWORD outSize,
                                   DWORD* returned) const
{
    DWORD needed = headerSize + static_cast<DWORD>((name.size() + 1) * sizeof(WCHAR));
    if (outSize < headerSize + sizeof(WCHAR))
        return FALSE;
    BYTE* answer = static_cast<BYTE*>(out);
    DWORD sizeWord = reportedSize ? reportedSize : needed;
    memcpy(answer + headerSize - sizeof(DWORD), &sizeWord, sizeof(DWORD));
    DWORD room = (outSize - headerSize) / sizeof(WCHAR);
    WCHAR* text = reinterpret_cast<WCHAR*>(answer + headerSize);
    DWORD chars = 0;
    for (; chars < room && chars < name.size(); ++chars)
        text[chars] = static_cast<unsigned char>(name[chars]);
    if (chars < room)
        text[chars] = 0;
    if (returned)
        *returned = needed < outSize ? needed : outSize;
    return TRUE;
}

BOOL CSimulatedUsbHost::AnswerConnection(const Hub& hub, const void* in, DWORD inSize,
                                         void* out, DWORD outSize, DWORD* returned) const
{
    const DWORD headerSize = offsetof(UsbNodeConnectionInformationAnswer, pipeList);
    if (!in || inSize < sizeof(DWORD) || outSize < headerSize)
        return FALSE;
    DWORD port = *static_cast<const DWORD*>(in);
    if (port < 1 || static_cast<int>(port) > hub.ports)
        return FALSE;
    std::vector<int> path = hub.path;
    path.push_back(static_cast<int>(port));
    const SimulatedUsbDevice* device = DeviceAt(hub.controller, path);
    if (device && device->portQueryFails)
        return FALSE;

    UsbNodeConnectionInformationAnswer answer;
    memset(&answer, 0, sizeof(answer));
    answer.connectionIndex = port;
    answer.connectionStatus = kUsbNoDeviceConnected;
    if (device) {
        answer.connectionStatus = kUsbDeviceConnected;
        answer.deviceDescriptor.length = sizeof(UsbDeviceDescriptor);
        answer.deviceDescriptor.descriptorType = 1;
        answer.deviceDescriptor.bcdUsb = 0x0200;
        answer.deviceDescriptor.deviceClass = device->hubPorts > 0 ? 9 : 0;
        answer.deviceDescriptor.idVendor = device->vendorId;
        answer.deviceDescriptor.idProduct = device->productId;
        answer.deviceDescriptor.numConfigurations = 1;
        answer.currentConfigurationValue = 1;
        answer.deviceIsHub = device->hubPorts > 0;
        answer.deviceAddress = static_cast<WORD>(path.size() * 16 + port);
    }
    memcpy(out, &answer, headerSize);
    if (returned)
        *returned = headerSize;
    return TRUE;
}

BOOL CSimulatedUsbHost::AnswerConnectionName(const Hub& hub, const void* in, DWORD inSize,
                                             void* out, DWORD outSize, DWORD* returned) const
{
    if (!in || inSize < sizeof(DWORD) || outSize < kUsbNodeConnectionNameHeaderSize)
        return FALSE;
    DWORD port = *static_cast<const DWORD*>(in);
    if (port < 1 || static_cast<int>(port) > hub.ports)
        return FALSE;
    std::vector<int> path = hub.path;
    path.push_back(static_cast<int>(port));
    const Hub* child = HubAt(hub.controller, path);
    static_cast<UsbNodeConnectionNameAnswer*>(out)->connectionIndex = port;
    if (!child) {
        // Not a hub: an answer with an empty name.
        UsbNodeConnectionNameAnswer* answer = static_cast<UsbNodeConnectionNameAnswer*>(out);
        answer->actualLength = kUsbNodeConnectionNameHeaderSize;
        answer->nodeName[0] = 0;
        if (returned)
            *returned = kUsbNodeConnectionNameHeaderSize;
        return TRUE;
    }
    return AnswerName(child->name, child->reportedNameSize, 2 * sizeof(DWORD), out, outSize,
                      returned);
}
