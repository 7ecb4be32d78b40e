#include "app/capture/CameraHotplugListener.h"
#include "camera/core/QrCCamera.h"
#include <dbt.h>
#include <stddef.h>
#include <string>

namespace {

struct UsbModel
{
    const WCHAR* productId;
    int cameraType;
};

// Every driver-library camera carries this vendor id.
const WCHAR kDriverVendor[] = L"0547";

const UsbModel kUsbModels[] = {
    {L"C003", CAMERA_TYPE_CAMDRVD}, {L"C005", CAMERA_TYPE_CAMDRVA}, {L"C00A", CAMERA_TYPE_CAMDRVB},
    {L"C009", CAMERA_TYPE_CAMDRVC}, {L"C008", CAMERA_TYPE_CAMDRVE}, {L"C007", CAMERA_TYPE_CAMDRVJ},
    {L"F007", CAMERA_TYPE_CAMDRVK}, {L"C004", CAMERA_TYPE_CAMDRVL}, {L"D004", CAMERA_TYPE_CAMDRVF},
    {L"D006", CAMERA_TYPE_CAMDRVH}, {L"D001", CAMERA_TYPE_CAMDRVG},
};

CString IdAfter(const CString& upperPath, LPCWSTR marker)
{
    int at = upperPath.Find(marker);
    if (at < 0) return CString();
    return upperPath.Mid(at + 4, 4);
}

// The interface name of a notice, read no further than the size the header gives.
BOOL ReadInterfaceName(const DEV_BROADCAST_HDR* header, CString& name)
{
    const size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    if (header->dbch_size < nameOffset) return FALSE;
    const DEV_BROADCAST_DEVICEINTERFACE_W* notice = (const DEV_BROADCAST_DEVICEINTERFACE_W*)header;
    const size_t room = (header->dbch_size - nameOffset) / sizeof(WCHAR);
    size_t length = 0;
    while (length < room && notice->dbcc_name[length] != 0) length++;
    name = CString(notice->dbcc_name, (int)length);
    return TRUE;
}

} // namespace

int CameraModelFromUsbId(const CString& productId, const CString& vendorId)
{
    if (vendorId.CompareNoCase(kDriverVendor) != 0) return CAMERA_TYPE_NONE;
    for (const UsbModel& model : kUsbModels)
        if (productId.CompareNoCase(model.productId) == 0) return model.cameraType;
    return CAMERA_TYPE_NONE;
}

void ParseUsbIds(const CString& devicePath, CString& vendorId, CString& productId)
{
    CString upper = devicePath;
    upper.MakeUpper();
    vendorId = IdAfter(upper, L"VID_");
    productId = IdAfter(upper, L"PID_");
}

CCameraHotplugListener::CCameraHotplugListener() : m_hNotify(NULL), m_hFrame(NULL) {}

CCameraHotplugListener::~CCameraHotplugListener() {}

BOOL CCameraHotplugListener::Register(HWND window)
{
    m_hFrame = window;
    DEV_BROADCAST_DEVICEINTERFACE_W filter;
    ZeroMemory(&filter, sizeof(filter));
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    QrCGetCameraGUID(&filter.dbcc_classguid);
    m_hNotify = ::RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (m_hNotify == NULL) {
        AfxMessageBox(L"Register Camera Listen make a error, Register Fail!", MB_OK);
        return FALSE;
    }
    return TRUE;
}

BOOL CCameraHotplugListener::Unregister()
{
    BOOL done = m_hNotify != NULL && ::UnregisterDeviceNotification(m_hNotify);
    m_hNotify = NULL;
    if (!done) AfxMessageBox(L"UnRegister Camera Listen make a error, Unregister Fail!", MB_OK);
    return done;
}

void CCameraHotplugListener::Post(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND target = m_hFrame;
    if (target == NULL && AfxGetMainWnd() != NULL) target = AfxGetMainWnd()->m_hWnd;
    if (target != NULL) ::PostMessageW(target, message, wParam, lParam);
}

LRESULT CCameraHotplugListener::OnDeviceChange(WPARAM wParam, LPARAM lParam)
{
    if (wParam != DBT_DEVICEARRIVAL && wParam != DBT_DEVICEREMOVECOMPLETE) return TRUE;
    const DEV_BROADCAST_HDR* header = (const DEV_BROADCAST_HDR*)lParam;
    if (header == NULL || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return TRUE;
    CString path;
    if (!ReadInterfaceName(header, path)) return TRUE;

    const BOOL arrived = wParam == DBT_DEVICEARRIVAL;
    const UINT message = arrived ? WM_CAMERA_ARRIVED : WM_CAMERA_REMOVED;
    CString vendorId, productId;
    ParseUsbIds(path, vendorId, productId);
    const int code = CameraModelFromUsbId(productId, vendorId);

    if (code != CAMERA_TYPE_NONE) {
        if (arrived) {
            // Cameras of the outside libraries take precedence over a driver camera.
            int count = 0;
            QrCGetCameraCount(&count);
            if (count == 0) Post(message, code, 0);
        } else {
            // Only the camera in use is closed; another one leaving changes nothing here.
            CameraMgrParam mgr;
            QrCCameraGetMgrParameter(&mgr);
            if (mgr.cameraType == code) Post(message, code, 0);
        }
        return TRUE;
    }

    // The library recognises its cameras by path; asked once, as each answer consumes
    // the change it reports.
    std::string narrow(path.GetLength() * 3 + 1, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, path, -1, &narrow[0], (int)narrow.size(), NULL, NULL);
    int currentLeft = 0;
    if (QrCChangeCamera(&currentLeft, narrow.c_str(), arrived ? 1 : 0) == CAM_OK)
        Post(message, (!arrived && currentLeft != 0) ? 1 : 0, 1);
    return TRUE;
}
