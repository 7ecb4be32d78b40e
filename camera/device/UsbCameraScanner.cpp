#include "camera/device/UsbCameraScanner.h"

#include <stdlib.h>
#include <string.h>

#include "camera/device/Win32UsbHost.h"

namespace {

const int kCameraVendor = 0x0547;

// Camera-type codes of the driver-library cameras (the values of CAMERA_TYPE_CAMDRV*
// in camera/core/QrCCamera.h, kept here so the scan builds without the framework).
const int kTypeCamDrvE = 1;
const int kTypeCamDrvJ = 2;
const int kTypeCamDrvL = 3;
const int kTypeCamDrvD = 5;
const int kTypeCamDrvF = 7;
const int kTypeCamDrvH = 8;
const int kTypeCamDrvG = 9;
const int kTypeCamDrvA = 11;
const int kTypeCamDrvB = 12;
const int kTypeCamDrvC = 13;
const int kTypeCamDrvK = 20;

struct ProductType
{
    int product;
    int cameraType;
};

const ProductType kProductTypes[] = {
    {0xC008, kTypeCamDrvE}, {0xC007, kTypeCamDrvJ}, {0xC004, kTypeCamDrvL},
    {0xC003, kTypeCamDrvD}, {0xD004, kTypeCamDrvF}, {0xD006, kTypeCamDrvH},
    {0xD001, kTypeCamDrvG}, {0xC005, kTypeCamDrvA}, {0xC00A, kTypeCamDrvB},
    {0xC009, kTypeCamDrvC}, {0xF007, kTypeCamDrvK},
};

// The UTF-16 name that starts nameOffset bytes into an answer of answerBytes, in the
// ANSI code page. The driver's text need not be terminated; the answer's end bounds it.
bool NameFromAnswer(const BYTE* answer, DWORD answerBytes, DWORD nameOffset, std::string& name)
{
    if (answerBytes <= nameOffset)
        return false;
    const WCHAR* text = reinterpret_cast<const WCHAR*>(answer + nameOffset);
    int chars = 0;
    int maxChars = static_cast<int>((answerBytes - nameOffset) / sizeof(WCHAR));
    while (chars < maxChars && text[chars] != 0)
        ++chars;
    if (chars == 0)
        return false;
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, chars, NULL, 0, NULL, NULL);
    if (bytes <= 0)
        return false;
    name.assign(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, chars, &name[0], bytes, NULL, NULL);
    return true;
}

}  // namespace

CUsbCameraScanner::CUsbCameraScanner(CUsbHostInterface* host)
    : m_host(host ? host : &CWin32UsbHost::Instance()), m_found(0), m_cameraType(-1)
{
}

int CUsbCameraScanner::MatchDevice(int vendor, int product)
{
    if ((vendor & 0xFFFF) != kCameraVendor)
        return 0;
    for (const ProductType& entry : kProductTypes) {
        if ((product & 0xFFFF) == entry.product) {
            m_found = 1;
            m_cameraType = entry.cameraType;
            return 1;
        }
    }
    return 0;
}

int CUsbCameraScanner::Scan()
{
    m_found = 0;
    m_cameraType = -1;
    for (int n = 0; n < kControllerCount && !m_found; ++n) {
        char path[32];
        wsprintfA(path, "\\\\.\\HCD%d", n);
        HANDLE controller = m_host->Open(path);
        if (controller == INVALID_HANDLE_VALUE)
            continue;
        std::string rootHub;
        if (GetRootHubName(controller, rootHub))
            WalkHub(rootHub, 0);
        m_host->Close(controller);
    }
    return m_found ? m_cameraType : -1;
}

bool CUsbCameraScanner::GetRootHubName(HANDLE controller, std::string& name)
{
    UsbRootHubNameAnswer head;
    memset(&head, 0, sizeof(head));
    DWORD got = 0;
    if (!m_host->Control(controller, kIoctlUsbGetRootHubName, NULL, 0, &head, sizeof(head), &got))
        return false;
    DWORD size = head.actualLength;
    if (size <= kUsbRootHubNameHeaderSize || size > kMaxNameAnswerBytes)
        return false;
    BYTE* answer = static_cast<BYTE*>(calloc(1, size));
    if (!answer)
        return false;
    bool ok = false;
    got = 0;
    if (m_host->Control(controller, kIoctlUsbGetRootHubName, NULL, 0, answer, size, &got))
        ok = NameFromAnswer(answer, got < size ? got : size, sizeof(DWORD), name);
    free(answer);
    return ok;
}

bool CUsbCameraScanner::GetConnectionName(HANDLE hub, DWORD port, std::string& name)
{
    UsbNodeConnectionNameAnswer head;
    memset(&head, 0, sizeof(head));
    head.connectionIndex = port;
    DWORD got = 0;
    if (!m_host->Control(hub, kIoctlUsbGetNodeConnectionName, &head, sizeof(head), &head,
                         sizeof(head), &got))
        return false;
    DWORD size = head.actualLength;
    if (size <= kUsbNodeConnectionNameHeaderSize || size > kMaxNameAnswerBytes)
        return false;
    BYTE* answer = static_cast<BYTE*>(calloc(1, size));
    if (!answer)
        return false;
    reinterpret_cast<UsbNodeConnectionNameAnswer*>(answer)->connectionIndex = port;
    bool ok = false;
    got = 0;
    if (m_host->Control(hub, kIoctlUsbGetNodeConnectionName, answer, size, answer, size, &got))
        ok = NameFromAnswer(answer, got < size ? got : size, 2 * sizeof(DWORD), name);
    free(answer);
    return ok;
}

void CUsbCameraScanner::WalkHub(const std::string& hubName, int depth)
{
    if (depth > kMaxHubDepth)
        return;
    std::string path = "\\\\.\\" + hubName;
    HANDLE hub = m_host->Open(path.c_str());
    if (hub == INVALID_HANDLE_VALUE)
        return;

    UsbNodeInformationAnswer info;
    memset(&info, 0, sizeof(info));
    DWORD got = 0;
    if (m_host->Control(hub, kIoctlUsbGetNodeInformation, &info, sizeof(info), &info,
                        sizeof(info), &got)) {
        DWORD ports = info.hubDescriptor.numberOfPorts;
        for (DWORD port = 1; port <= ports && !m_found; ++port) {
            UsbNodeConnectionInformationAnswer* connection =
                static_cast<UsbNodeConnectionInformationAnswer*>(
                    calloc(1, kUsbNodeConnectionInformationSize));
            if (!connection)
                break;
            connection->connectionIndex = port;
            if (m_host->Control(hub, kIoctlUsbGetNodeConnectionInformation, connection,
                                kUsbNodeConnectionInformationSize, connection,
                                kUsbNodeConnectionInformationSize, &got) &&
                connection->connectionStatus == kUsbDeviceConnected) {
                MatchDevice(connection->deviceDescriptor.idVendor,
                            connection->deviceDescriptor.idProduct);
                std::string child;
                if (!m_found && connection->deviceIsHub && GetConnectionName(hub, port, child))
                    WalkHub(child, depth + 1);
            }
            free(connection);
        }
    }
    m_host->Close(hub);
}
