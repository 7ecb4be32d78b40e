// Exposure, gain, colour, resolution and correction operations. Not built yet: each
// answers CAM_ERR_NO_DEVICE.
#include "camera/core/CameraManager.h"

void CCameraManager::EndGainTransform()
{
}

int CCameraManager::Registerpixclk(HWND /*comboBox*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::Registerpixel(HWND /*comboBox*/, int /*previewList*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetResPreview(int /*index*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetResCapture(int /*index*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetResLockState(int /*lock*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetLongExposureState(int /*on*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetAELock(int /*lock*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetAeState(int /*on*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetAWBState(int /*mode*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetABBState()
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetAreaWBState(const RECT* /*area*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetAeTarget(int /*target*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetAnalogGain(int /*gain*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetISO(int /*step*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetGainValue(int /*factor*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::GetRowTime(float* /*rowTime*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetExposureTimeMS(int /*microseconds*/, int /*apply*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetExposureLineTime(int /*lines*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetExposureValue(int /*step*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::ValueToTime(int* /*milliseconds*/, int /*value*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::TimeToValue(int* /*value*/, int /*milliseconds*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::ReStartLongExpTime()
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetGain(int /*red*/, int /*green*/, int /*blue*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetGamma(int /*gamma*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetGammaValue(int /*display*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetSaturation(int /*saturation*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetSaturationValue(int /*display*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetColorEnhancement(int /*on*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetDataWide(int /*on*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetContrast(int /*contrast*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetContrastValue(int /*display*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetMirror(int /*axis*/, int /*on*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetMonochrome(int /*on*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetBlackLevel(int /*level*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::TransformGainExposure(int /*on*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetFrameSpeed(int /*speed*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetLightFrquency(int /*value*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetB2RGBMode(int /*mode*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetColorTemperature(int /*step*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::GetColorTemperature(int* /*step*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetShiftOperator(int /*value*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::GetShiftOperator(int* /*value*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetDenoise(int /*value*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::GetDenoise(int* /*value*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetSharpness(int /*value*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::GetSharpness(int* /*value*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetFilter(int /*on*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::CalcFlatFielding()
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetFlatFieldingState(int /*on*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::CorrectionDead()
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetCorrectionDeadState(int /*on*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::FluoSpeedupRes(int /*on*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::SetFluorescenceDye(const DyeSettings* /*dye*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::FluorescenceGuide(CWnd* /*guide*/, int /*step*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::LineApproach(int /*x1*/, int /*y1*/, int /*x2*/, int /*y2*/, POINT* /*out1*/, POINT* /*out2*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::LineApproachEx(const BYTE* /*bits*/, int /*width*/, int /*height*/, int /*x1*/, int /*y1*/, int /*x2*/, int /*y2*/, POINT* /*out1*/, POINT* /*out2*/)
{
    return CAM_ERR_NO_DEVICE;
}
