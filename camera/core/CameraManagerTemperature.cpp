// Temperature and cooling. Not built yet: no worker runs, and the operations answer
// CAM_ERR_NO_DEVICE.
#include "camera/core/CameraManager.h"

void CCameraManager::StartTemperatureWorker()
{
}

void CCameraManager::StopTemperatureWorker()
{
}

int CCameraManager::SetHWndReceive(HWND /*wnd*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetTemperature(float /*degrees*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::GetCurTemperature(float* /*degrees*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::DrawTemperature(CDC* /*dc*/, const RECT* /*area*/)
{
    return CAM_ERR_NO_DEVICE;
}
