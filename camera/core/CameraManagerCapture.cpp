// Still capture, series and file naming. The capture settings copies and the release
// of a finished capture are here; the capture workers and writers are not built yet,
// so their operations answer CAM_ERR_NO_DEVICE.
#include "camera/core/CameraManager.h"

int CCameraManager::SetCapParameter(const CaptureParam* settings)
{
    if (!settings)
        return CAM_ERR_RANGE;
    m_param.capture = *settings;
    return CAM_OK;
}

int CCameraManager::SetCameraCaptureConfig(const CaptureParam* settings)
{
    if (m_param.captureRunning)
        return CAM_ERR_NO_DEVICE;
    return SetCapParameter(settings);
}

int CCameraManager::ReleaseCapture()
{
    CloseVideoFile();
    m_param.captureRunning = 0;
    return CAM_OK;
}

int CCameraManager::Capture(const CaptureParam* /*request*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetMakeVideo(int /*on*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::GetSaveImageFileName(CString* /*name*/, int /*index*/)
{
    return CAM_ERR_NO_DEVICE;
}
