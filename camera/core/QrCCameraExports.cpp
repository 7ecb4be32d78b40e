// The exported functions: each fetches the process-wide manager (created on the
// first call) and forwards to the manager operation of the same meaning.
#include "camera/core/CameraManager.h"

extern "C" {

int WINAPI QrCReflashCamera(void)
{
    return CCameraManager::Instance().ReflashCamera();
}

int WINAPI QrCChoiceCamera(int index)
{
    return CCameraManager::Instance().ChoiceCamera(index);
}

int WINAPI QrCSetCamera(int cameraType)
{
    return CCameraManager::Instance().SetCamera(cameraType);
}

int WINAPI QrCChangeCamera(int* reserved, const char* devicePath, int arrived)
{
    return CCameraManager::Instance().ChangeCamera(reserved, devicePath, arrived);
}

int WINAPI QrCRemoveCurrentCamera(void)
{
    return CCameraManager::Instance().RemoveCurrentCamera();
}

int WINAPI QrCRegisterCamera(HWND comboBox)
{
    return CCameraManager::Instance().RegisterCamera(comboBox);
}

int WINAPI QrCGetCameraCount(int* count)
{
    return CCameraManager::Instance().GetCameraCount(count);
}

int WINAPI QrCGetCameraGUID(GUID* guid)
{
    return CCameraManager::Instance().GetCameraGUID(guid);
}

int WINAPI QrCCameraInit(int previewResolution, CWnd* drawWindow, HWND displayWindow, int flag)
{
    return CCameraManager::Instance().InitCamera(previewResolution, drawWindow, displayWindow, flag);
}

int WINAPI QrCCameraUnInit(void)
{
    return CCameraManager::Instance().UnInitCamera();
}

int WINAPI QrCCameraMgrUninitialize(void)
{
    return CCameraManager::Instance().MgrUninitialize();
}

int WINAPI QrCCameraSetResDefault(void)
{
    return CCameraManager::Instance().SetResDefault();
}

int WINAPI QrCCameraRegisterpixclk(HWND comboBox)
{
    return CCameraManager::Instance().Registerpixclk(comboBox);
}

int WINAPI QrCCameraRegisterpixel(HWND comboBox, int previewList)
{
    return CCameraManager::Instance().Registerpixel(comboBox, previewList);
}

int WINAPI QrCCameraSetResPreview(int index)
{
    return CCameraManager::Instance().SetResPreview(index);
}

int WINAPI QrCCameraSetResCapture(int index)
{
    return CCameraManager::Instance().SetResCapture(index);
}

int WINAPI QrCCameraSetResLockState(int lock)
{
    return CCameraManager::Instance().SetResLockState(lock);
}

int WINAPI QrCCameraSetLongExposureState(int on)
{
    return CCameraManager::Instance().SetLongExposureState(on);
}

int WINAPI QrCCameraSetAELock(int lock)
{
    return CCameraManager::Instance().SetAELock(lock);
}

int WINAPI QrCCameraCropImage(const RECT* screenRect)
{
    return CCameraManager::Instance().CropImage(screenRect);
}

int WINAPI QrCCameraRestoreImage(void)
{
    return CCameraManager::Instance().RestoreImage();
}

int WINAPI QrCCameraSetShowRect(const RECT* rect)
{
    return CCameraManager::Instance().SetShowRect(rect);
}

int WINAPI QrCCameraGetShowRect(RECT* rect)
{
    return CCameraManager::Instance().GetShowRect(rect);
}

int WINAPI QrCDrawImage(void)
{
    return CCameraManager::Instance().DrawImage();
}

int WINAPI QrCCameraGetImageSize(int* width, int* height)
{
    return CCameraManager::Instance().GetImageSize(width, height);
}

int WINAPI QrCCameraSetDrawHWnd(HWND wnd)
{
    return CCameraManager::Instance().SetDrawHWnd(wnd);
}

int WINAPI QrCCameraSetDrawHDC(HDC dc)
{
    return CCameraManager::Instance().SetDrawHDC(dc);
}

int WINAPI QrCCameraGetDrawHDC(HDC* dc)
{
    return CCameraManager::Instance().GetDrawHDC(dc);
}

int WINAPI QrCCameraCapture(const CaptureParam* request)
{
    return CCameraManager::Instance().Capture(request);
}

int WINAPI QrCCameraSetCapParameter(const CaptureParam* settings)
{
    return CCameraManager::Instance().SetCapParameter(settings);
}

int WINAPI QrCCameraSetCameraCaptureConfig(const CaptureParam* settings)
{
    return CCameraManager::Instance().SetCameraCaptureConfig(settings);
}

int WINAPI QrCCameraSetMakeVideo(int on)
{
    return CCameraManager::Instance().SetMakeVideo(on);
}

int WINAPI QrCCameraStopRecording(void)
{
    return CCameraManager::Instance().StopRecording();
}

int WINAPI QrCCameraReleaseCapture(void)
{
    return CCameraManager::Instance().ReleaseCapture();
}

int WINAPI QrCCameraGetSaveImageFileName(CString* name, int index)
{
    return CCameraManager::Instance().GetSaveImageFileName(name, index);
}

int WINAPI QrCCameraSetAeState(int on)
{
    return CCameraManager::Instance().SetAeState(on);
}

int WINAPI QrCCameraSetAWBState(int mode)
{
    return CCameraManager::Instance().SetAWBState(mode);
}

int WINAPI QrCCameraSetABBState(void)
{
    return CCameraManager::Instance().SetABBState();
}

int WINAPI QrCCameraSetAreaWBState(const RECT* area)
{
    return CCameraManager::Instance().SetAreaWBState(area);
}

int WINAPI QrCCameraSetAeTarget(int target)
{
    return CCameraManager::Instance().SetAeTarget(target);
}

int WINAPI QrCCameraSetAnalogGain(int gain)
{
    return CCameraManager::Instance().SetAnalogGain(gain);
}

int WINAPI QrCCameraSetISO(int step)
{
    return CCameraManager::Instance().SetISO(step);
}

int WINAPI QrCCameraSetGainValue(int factor)
{
    return CCameraManager::Instance().SetGainValue(factor);
}

int WINAPI QrCCameraGetRowTime(float* rowTime)
{
    return CCameraManager::Instance().GetRowTime(rowTime);
}

int WINAPI QrCCameraSetExposureTimeMS(int microseconds, int apply)
{
    return CCameraManager::Instance().SetExposureTimeMS(microseconds, apply);
}

int WINAPI QrCCameraSetExposureLineTime(int lines)
{
    return CCameraManager::Instance().SetExposureLineTime(lines);
}

int WINAPI QrCCameraSetExposureValue(int step)
{
    return CCameraManager::Instance().SetExposureValue(step);
}

int WINAPI QrCCameraValueToTime(int* milliseconds, int value)
{
    return CCameraManager::Instance().ValueToTime(milliseconds, value);
}

int WINAPI QrCCameraTimeToValue(int* value, int milliseconds)
{
    return CCameraManager::Instance().TimeToValue(value, milliseconds);
}

int WINAPI QrCCameraReStartLongExpTime(void)
{
    return CCameraManager::Instance().ReStartLongExpTime();
}

int WINAPI QrCCameraSetGain(int red, int green, int blue)
{
    return CCameraManager::Instance().SetGain(red, green, blue);
}

int WINAPI QrCCameraSetGamma(int gamma)
{
    return CCameraManager::Instance().SetGamma(gamma);
}

int WINAPI QrCCameraSetGammaValue(int display)
{
    return CCameraManager::Instance().SetGammaValue(display);
}

int WINAPI QrCCameraSetSaturation(int saturation)
{
    return CCameraManager::Instance().SetSaturation(saturation);
}

int WINAPI QrCCameraSetSaturationValue(int display)
{
    return CCameraManager::Instance().SetSaturationValue(display);
}

int WINAPI QrCCameraSetColorEnhancement(int on)
{
    return CCameraManager::Instance().SetColorEnhancement(on);
}

int WINAPI QrCCameraSetDataWide(int on)
{
    return CCameraManager::Instance().SetDataWide(on);
}

int WINAPI QrCCameraSetContrast(int contrast)
{
    return CCameraManager::Instance().SetContrast(contrast);
}

int WINAPI QrCCameraSetContrastValue(int display)
{
    return CCameraManager::Instance().SetContrastValue(display);
}

int WINAPI QrCCameraSetMirror(int axis, int on)
{
    return CCameraManager::Instance().SetMirror(axis, on);
}

int WINAPI QrCCameraSetMonochrome(int on)
{
    return CCameraManager::Instance().SetMonochrome(on);
}

int WINAPI QrCCameraSetBlackLevel(int level)
{
    return CCameraManager::Instance().SetBlackLevel(level);
}

int WINAPI QrCTransformGainExposure(int on)
{
    return CCameraManager::Instance().TransformGainExposure(on);
}

int WINAPI QrCCameraSetFrameSpeed(int speed)
{
    return CCameraManager::Instance().SetFrameSpeed(speed);
}

int WINAPI QrCCameraSetLightFrquency(int value)
{
    return CCameraManager::Instance().SetLightFrquency(value);
}

int WINAPI QrCCameraSetB2RGBMode(int mode)
{
    return CCameraManager::Instance().SetB2RGBMode(mode);
}

int WINAPI QrCCameraSetColorTemperature(int step)
{
    return CCameraManager::Instance().SetColorTemperature(step);
}

int WINAPI QrCCameraGetColorTemperature(int* step)
{
    return CCameraManager::Instance().GetColorTemperature(step);
}

int WINAPI QrCCameraSetShiftOperator(int value)
{
    return CCameraManager::Instance().SetShiftOperator(value);
}

int WINAPI QrCCameraGetShiftOperator(int* value)
{
    return CCameraManager::Instance().GetShiftOperator(value);
}

int WINAPI QrCCameraSetDenoise(int value)
{
    return CCameraManager::Instance().SetDenoise(value);
}

int WINAPI QrCCameraGetDenoise(int* value)
{
    return CCameraManager::Instance().GetDenoise(value);
}

int WINAPI QrCCameraSetSharpness(int value)
{
    return CCameraManager::Instance().SetSharpness(value);
}

int WINAPI QrCCameraGetSharpness(int* value)
{
    return CCameraManager::Instance().GetSharpness(value);
}

int WINAPI QrCCameraSetFilter(int on)
{
    return CCameraManager::Instance().SetFilter(on);
}

int WINAPI QrCCameraCalcFlatFielding(void)
{
    return CCameraManager::Instance().CalcFlatFielding();
}

int WINAPI QrCCameraSetFlatFieldingState(int on)
{
    return CCameraManager::Instance().SetFlatFieldingState(on);
}

int WINAPI QrCCameraCorrectionDead(void)
{
    return CCameraManager::Instance().CorrectionDead();
}

int WINAPI QrCCameraSetCorrectionDeadState(int on)
{
    return CCameraManager::Instance().SetCorrectionDeadState(on);
}

int WINAPI QrCCameraSetGammaEx(int gamma)
{
    return CCameraManager::Instance().SetGammaEx(gamma);
}

int WINAPI QrCCameraGetGammaEx(int* gamma)
{
    return CCameraManager::Instance().GetGammaEx(gamma);
}

int WINAPI QrCCameraSetLevelsValues(int low, int high)
{
    return CCameraManager::Instance().SetLevelsValues(low, high);
}

int WINAPI QrCCameraGetLevelsValues(int* low, int* high)
{
    return CCameraManager::Instance().GetLevelsValues(low, high);
}

int WINAPI QrCCameraSetAutoLevelsState(int on)
{
    return CCameraManager::Instance().SetAutoLevelsState(on);
}

int WINAPI QrCCameraSetShowChannel(int channel)
{
    return CCameraManager::Instance().SetShowChannel(channel);
}

int WINAPI QrCCameraLevelsDefault(void)
{
    return CCameraManager::Instance().LevelsDefault();
}

int WINAPI QrCCameraCalcAreaLevels(const RECT* area)
{
    return CCameraManager::Instance().CalcAreaLevels(area);
}

int WINAPI QrCDrawHistogramFram(CDC* dc, const RECT* rect)
{
    return CCameraManager::Instance().DrawHistogramFram(dc, rect);
}

int WINAPI QrCDrawHistogramData(CDC* dc, const RECT* rect)
{
    return CCameraManager::Instance().DrawHistogramData(dc, rect);
}

int WINAPI QrCCameraReadValue(void)
{
    return CCameraManager::Instance().ReadValue();
}

int WINAPI QrCCameraSaveParameter(int setNumber)
{
    return CCameraManager::Instance().SaveParameter(setNumber);
}

int WINAPI QrCCameraReadParameter(int setNumber)
{
    return CCameraManager::Instance().ReadParameter(setNumber);
}

int WINAPI QrCCameraGetCurrentParameterTeam(BYTE* setNumber)
{
    return CCameraManager::Instance().GetCurrentParameterTeam(setNumber);
}

int WINAPI QrCCameraParameterInit(void)
{
    return CCameraManager::Instance().ParameterInit();
}

int WINAPI QrCCameraParameterApply(void)
{
    return CCameraManager::Instance().ParameterApply();
}

int WINAPI QrCCameraParameterReset(void)
{
    return CCameraManager::Instance().ParameterReset();
}

int WINAPI QrCCameraParameterDefault(int mode)
{
    return CCameraManager::Instance().ParameterDefault(mode);
}

int WINAPI QrCCameraGetParameterInfo(CameraParamInfo* info, int cached)
{
    return CCameraManager::Instance().GetParameterInfo(info, cached);
}

int WINAPI QrCCameraGetLastParameter(CameraCurParam* param)
{
    return CCameraManager::Instance().GetLastParameter(param);
}

int WINAPI QrCCameraGetCurParameter(CameraCurParam* param)
{
    return CCameraManager::Instance().GetCurParameter(param);
}

int WINAPI QrCCameraGetMgrParameter(CameraMgrParam* param)
{
    return CCameraManager::Instance().GetMgrParameter(param);
}

int WINAPI QrCCameraSetMgrParameter(const CameraMgrParam* param)
{
    return CCameraManager::Instance().SetMgrParameter(param);
}

int WINAPI QrCCameraAddParamterTeam(const CString* name)
{
    return CCameraManager::Instance().AddParamterTeam(name);
}

int WINAPI QrCCameraDelParamterTeam(int index)
{
    return CCameraManager::Instance().DelParamterTeam(index);
}

int WINAPI QrCCameraReadParamterTeam(int index)
{
    return CCameraManager::Instance().ReadParamterTeam(index);
}

int WINAPI QrCCameraSaveParamterTeam(int index)
{
    return CCameraManager::Instance().SaveParamterTeam(index);
}

int WINAPI QrCCameraSetParamterTeamName(int index, const CString* name)
{
    return CCameraManager::Instance().SetParamterTeamName(index, name);
}

int WINAPI QrCCameraSetMsgLock(int on)
{
    return CCameraManager::Instance().SetMsgLock(on);
}

int WINAPI QrCCameraSetCapMsgLock(int on)
{
    return CCameraManager::Instance().SetCapMsgLock(on);
}

int WINAPI QrCCameraBackupParameter(const CString* folder)
{
    return CCameraManager::Instance().BackupParameter(folder);
}

int WINAPI QrCCameraRecoverParameter(const CString* folder)
{
    return CCameraManager::Instance().RecoverParameter(folder);
}

int WINAPI QrCCameraShowCross(int on)
{
    return CCameraManager::Instance().ShowCross(on);
}

int WINAPI QrCCameraGetShowCross(int* on)
{
    return CCameraManager::Instance().GetShowCross(on);
}

int WINAPI QrCCameraSetCrossColor(COLORREF color)
{
    return CCameraManager::Instance().SetCrossColor(color);
}

int WINAPI QrCCameraGetCrossColor(COLORREF* color)
{
    return CCameraManager::Instance().GetCrossColor(color);
}

int WINAPI QrCSetComparisonImage(const BYTE* pixels, int width, int height, int bytesPerPixel)
{
    return CCameraManager::Instance().SetComparisonImage(pixels, width, height, bytesPerPixel);
}

int WINAPI QrCSetTransparency(float transparency)
{
    return CCameraManager::Instance().SetTransparency(transparency);
}

int WINAPI QrCSetCmpImageDisplay(int on)
{
    return CCameraManager::Instance().SetCmpImageDisplay(on);
}

int WINAPI QrCGetComparisonParam(ComparisonParam* param)
{
    return CCameraManager::Instance().GetComparisonParam(param);
}

int WINAPI QrCCameraDrawXY(CDC* dc, const RECT* client, const POINT* cursor, int xOffset, int yOffset)
{
    return CCameraManager::Instance().DrawXY(dc, client, cursor, xOffset, yOffset);
}

int WINAPI QrCCameraFluoSpeedupRes(int on)
{
    return CCameraManager::Instance().FluoSpeedupRes(on);
}

int WINAPI QrCCameraSetFluorescenceDye(const DyeSettings* dye)
{
    return CCameraManager::Instance().SetFluorescenceDye(dye);
}

int WINAPI QrCCameraFluorescenceGuide(CWnd* guide, int step)
{
    return CCameraManager::Instance().FluorescenceGuide(guide, step);
}

int WINAPI QrCCameraSetHWndReceive(HWND wnd)
{
    return CCameraManager::Instance().SetHWndReceive(wnd);
}

int WINAPI QrCCameraSetTemperature(float degrees)
{
    return CCameraManager::Instance().SetTemperature(degrees);
}

int WINAPI QrCCameraGetCurTemperature(float* degrees)
{
    return CCameraManager::Instance().GetCurTemperature(degrees);
}

int WINAPI QrCCameraDrawTemperature(CDC* dc, const RECT* area)
{
    return CCameraManager::Instance().DrawTemperature(dc, area);
}

int WINAPI QrCCameraLineApproach(int x1, int y1, int x2, int y2, POINT* out1, POINT* out2)
{
    return CCameraManager::Instance().LineApproach(x1, y1, x2, y2, out1, out2);
}

int WINAPI QrCCameraLineApproachEx(const BYTE* bits, int width, int height, int x1, int y1, int x2, int y2, POINT* out1, POINT* out2)
{
    return CCameraManager::Instance().LineApproachEx(bits, width, height, x1, y1, x2, y2, out1, out2);
}

} // extern "C"
