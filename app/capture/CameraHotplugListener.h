// Camera plug-in and removal (placeholder): registers nothing and reports nothing yet.
#pragma once
#include "afxwin.h"

// Posted to the main frame: wParam the camera-type code (or -1), lParam 1 when only the
// camera list changed.  WM_CAMERA_REMOVED also goes from the frame to the camera panel.
const UINT WM_CAMERA_ARRIVED = 0x4F6;
const UINT WM_CAMERA_REMOVED = 0x4F7;

class CCameraHotplugListener
{
public:
    CCameraHotplugListener();
    virtual ~CCameraHotplugListener();

    virtual BOOL Register(HWND frame);
    virtual BOOL Unregister();
    virtual LRESULT OnDeviceChange(WPARAM wParam, LPARAM lParam);

protected:
    HDEVNOTIFY m_hNotify;
    HWND m_hFrame;
};
