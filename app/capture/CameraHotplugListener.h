// Camera plug-in and removal: the main frame's window is registered for device-interface
// notices on the camera library's GUID; each arrival or removal it forwards here becomes
// WM_CAMERA_ARRIVED or WM_CAMERA_REMOVED posted back to that window.
//
// Driver-library cameras are told by the USB ids in the device path; every other path
// is handed to the camera library, which knows its own cameras by path.
#pragma once
#include "afxwin.h"

// Posted to the main frame: wParam the camera-type code (or -1), lParam 1 when only the
// camera list changed.  WM_CAMERA_REMOVED also goes from the frame to the camera panel.
// With lParam 1 a removal's wParam is non-zero only when the current camera left.
const UINT WM_CAMERA_ARRIVED = 0x4F6;
const UINT WM_CAMERA_REMOVED = 0x4F7;

// The driver-library camera-type code of a USB vendor and product id (compared as text,
// case ignored), or -1 when they name no driver-library camera.
int CameraModelFromUsbId(const CString& productId, const CString& vendorId);

// The vendor and product ids of a device path: the four characters after the first
// "VID_" and the first "PID_" of the upper-cased path (fewer at the end, empty without
// the marker).
void ParseUsbIds(const CString& devicePath, CString& vendorId, CString& productId);

class CCameraHotplugListener
{
public:
    CCameraHotplugListener();
    // Does not unregister: the frame calls Unregister while it closes.
    virtual ~CCameraHotplugListener();

    // Registers window for notices on the camera GUID; the notices' messages go back to
    // it.  A failure is told in a message box and leaves no registration.
    virtual BOOL Register(HWND window);
    virtual BOOL Unregister();
    // wParam and lParam of WM_DEVICECHANGE; the result goes back to the system.
    virtual LRESULT OnDeviceChange(WPARAM wParam, LPARAM lParam);

    HDEVNOTIFY GetNotifyHandle() const { return m_hNotify; }

protected:
    virtual void Post(UINT message, WPARAM wParam, LPARAM lParam);

    HDEVNOTIFY m_hNotify;
    HWND m_hFrame;
};
