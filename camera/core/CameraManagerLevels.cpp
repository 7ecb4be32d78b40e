// Levels, histogram and the cross, comparison and position overlays. Only the copy
// of the comparison record is built; the other operations answer CAM_ERR_NO_DEVICE.
#include "camera/core/CameraManager.h"

int CCameraManager::GetComparisonParam(ComparisonParam* param)
{
    if (!param)
        return CAM_ERR_RANGE;
    CSingleLock lock(&m_comparisonLock, TRUE);
    *param = m_comparison;
    return CAM_OK;
}

int CCameraManager::SetGammaEx(int /*gamma*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::GetGammaEx(int* /*gamma*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetLevelsValues(int /*low*/, int /*high*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::GetLevelsValues(int* /*low*/, int* /*high*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetAutoLevelsState(int /*on*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetShowChannel(int /*channel*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::LevelsDefault()
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::CalcAreaLevels(const RECT* /*area*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::DrawHistogramFram(CDC* /*dc*/, const RECT* /*rect*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::DrawHistogramData(CDC* /*dc*/, const RECT* /*rect*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::ShowCross(int /*on*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::GetShowCross(int* /*on*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetCrossColor(COLORREF /*color*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::GetCrossColor(COLORREF* /*color*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetComparisonImage(const BYTE* /*pixels*/, int /*width*/, int /*height*/, int /*bytesPerPixel*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetTransparency(float /*transparency*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetCmpImageDisplay(int /*on*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::DrawXY(CDC* /*dc*/, const RECT* /*client*/, const POINT* /*cursor*/, int /*xOffset*/, int /*yOffset*/)
{
    return CAM_ERR_NO_DEVICE;
}
