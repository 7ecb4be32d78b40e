// Parameter store and parameter teams. Not built yet: the registry is not read or
// written, and the store's operations answer CAM_ERR_NO_DEVICE.
#include "camera/core/CameraManager.h"

int CCameraManager::SaveSettings()
{
    return m_pDevice ? CAM_OK : CAM_ERR_NO_DEVICE;
}

int CCameraManager::LoadCameraSettings()
{
    return m_pDevice ? CAM_OK : CAM_ERR_NO_DEVICE;
}

void CCameraManager::ReadMgrSettings()
{
}

int CCameraManager::ReadValue()
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SaveParameter(int /*setNumber*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::ReadParameter(int /*setNumber*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::GetCurrentParameterTeam(BYTE* /*setNumber*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::ParameterInit()
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::ParameterApply()
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::ParameterReset()
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::ParameterDefault(int /*mode*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::GetParameterInfo(CameraParamInfo* /*info*/, int /*cached*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::GetLastParameter(CameraCurParam* /*param*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::GetCurParameter(CameraCurParam* /*param*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::AddParamterTeam(const CString* /*name*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::DelParamterTeam(int /*index*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::ReadParamterTeam(int /*index*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SaveParamterTeam(int /*index*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetParamterTeamName(int /*index*/, const CString* /*name*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetMsgLock(int /*on*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetCapMsgLock(int /*on*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::BackupParameter(const CString* /*folder*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::RecoverParameter(const CString* /*folder*/)
{
    return CAM_ERR_NO_DEVICE;
}
