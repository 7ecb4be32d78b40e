// Video recording. Not built yet: the recorder's operations answer CAM_ERR_NO_DEVICE
// and the pieces the close path calls do only what keeps the manager consistent.
#include "camera/core/CameraManager.h"

void CCameraManager::StopRecordingAndWait()
{
    m_bRecording = FALSE;
}

void CCameraManager::CloseVideoFile()
{
}

int CCameraManager::StopRecording()
{
    return CAM_ERR_NO_DEVICE;
}
