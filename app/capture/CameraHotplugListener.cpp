#include "app/capture/CameraHotplugListener.h"

CCameraHotplugListener::CCameraHotplugListener() : m_hNotify(NULL), m_hFrame(NULL) {}
CCameraHotplugListener::~CCameraHotplugListener() {}

BOOL CCameraHotplugListener::Register(HWND frame)
{
    m_hFrame = frame;
    return TRUE;
}

BOOL CCameraHotplugListener::Unregister()
{
    m_hFrame = NULL;
    return TRUE;
}

LRESULT CCameraHotplugListener::OnDeviceChange(WPARAM, LPARAM) { return 0; }
