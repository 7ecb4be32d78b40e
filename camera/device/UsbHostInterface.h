// The USB host-controller seam of the camera scan: open a controller or hub by its
// device path, send it an I/O control, close it. The Win32 implementation talks to the
// host-controller drivers; the simulated one serves the same requests from a described
// tree, so the scanner's handling of every answer (sizes included) runs in tests.
//
// The control codes and answer layouts below are the documented values of the USB
// hub and host-controller drivers; the platform headers here do not carry them.
#pragma once

#include <windows.h>

// Control codes: device type 0x22 (unknown), buffered, any access.
#define ORV_USB_CTL_CODE(function) ((0x22u << 16) | ((function) << 2))
// Sent to a host controller: the name of its root hub.
static const DWORD kIoctlUsbGetRootHubName = ORV_USB_CTL_CODE(258u);
// Sent to a hub (same number, different device): node information with the hub descriptor.
static const DWORD kIoctlUsbGetNodeInformation = ORV_USB_CTL_CODE(258u);
// Sent to a hub: what is plugged into one of its ports.
static const DWORD kIoctlUsbGetNodeConnectionInformation = ORV_USB_CTL_CODE(259u);
// Sent to a hub: the name of the hub plugged into one of its ports.
static const DWORD kIoctlUsbGetNodeConnectionName = ORV_USB_CTL_CODE(261u);

// Connection status of a port.
static const DWORD kUsbNoDeviceConnected = 0;
static const DWORD kUsbDeviceConnected = 1;

// Node types.
static const DWORD kUsbNodeHub = 0;
static const DWORD kUsbNodeCompositeParent = 1;

#include <pshpack1.h>

// Answer to the root-hub name request: 4-byte total size, then the UTF-16 name.
struct UsbRootHubNameAnswer
{
    DWORD actualLength;  // bytes needed for the whole answer
    WCHAR name[1];
};

struct UsbHubDescriptor
{
    BYTE descriptorLength;
    BYTE descriptorType;
    BYTE numberOfPorts;
    WORD hubCharacteristics;
    BYTE powerOnToPowerGood;
    BYTE hubControlCurrent;
    BYTE removeAndPowerMask[64];
};

struct UsbNodeInformationAnswer
{
    DWORD nodeType;
    UsbHubDescriptor hubDescriptor;
    BYTE hubIsBusPowered;
};

struct UsbDeviceDescriptor
{
    BYTE length;
    BYTE descriptorType;
    WORD bcdUsb;
    BYTE deviceClass;
    BYTE deviceSubClass;
    BYTE deviceProtocol;
    BYTE maxPacketSize0;
    WORD idVendor;
    WORD idProduct;
    WORD bcdDevice;
    BYTE manufacturerIndex;
    BYTE productIndex;
    BYTE serialNumberIndex;
    BYTE numConfigurations;
};

struct UsbEndpointDescriptor
{
    BYTE length;
    BYTE descriptorType;
    BYTE endpointAddress;
    BYTE attributes;
    WORD maxPacketSize;
    BYTE interval;
};

struct UsbPipeInfo
{
    UsbEndpointDescriptor endpoint;
    DWORD scheduleOffset;
};

// Request and answer of the port query; the caller fills connectionIndex.
struct UsbNodeConnectionInformationAnswer
{
    DWORD connectionIndex;
    UsbDeviceDescriptor deviceDescriptor;
    BYTE currentConfigurationValue;
    BYTE lowSpeed;
    BYTE deviceIsHub;
    WORD deviceAddress;
    DWORD numberOfOpenPipes;
    DWORD connectionStatus;
    UsbPipeInfo pipeList[30];
};

// Request and answer of the name of the hub on a port.
struct UsbNodeConnectionNameAnswer
{
    DWORD connectionIndex;
    DWORD actualLength;  // bytes needed for the whole answer
    WCHAR nodeName[1];
};

#include <poppack.h>

static const DWORD kUsbRootHubNameHeaderSize = 6;          // size word + one WCHAR
static const DWORD kUsbNodeInformationSize = 76;
static const DWORD kUsbNodeConnectionInformationSize = 365;  // room for 30 pipes
static const DWORD kUsbNodeConnectionNameHeaderSize = 10;  // index, size word, one WCHAR

static_assert(sizeof(UsbRootHubNameAnswer) == kUsbRootHubNameHeaderSize, "layout");
static_assert(sizeof(UsbNodeInformationAnswer) == kUsbNodeInformationSize, "layout");
static_assert(sizeof(UsbNodeConnectionInformationAnswer) == kUsbNodeConnectionInformationSize,
              "layout");
static_assert(sizeof(UsbNodeConnectionNameAnswer) == kUsbNodeConnectionNameHeaderSize, "layout");

// Device I/O with the host controllers and hubs. Open answers INVALID_HANDLE_VALUE
// when the device does not open; Control answers FALSE when the request fails.
class CUsbHostInterface
{
public:
    virtual ~CUsbHostInterface() {}
    virtual HANDLE Open(const char* devicePath) = 0;
    virtual BOOL Control(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out,
                         DWORD outSize, DWORD* returned) = 0;
    virtual void Close(HANDLE device) = 0;
};
