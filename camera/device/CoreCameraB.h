// CCoreCameraB: a camera of the ZedOdir library's second family (camera type 19). It
// shares the first family's operations except where noted in CoreCameraB.cpp.
#pragma once

#include "camera/device/CoreCameraA.h"

class CCoreCameraB : public CCoreCameraA {
public:
    int ResumeDevice(int resolution) override;
    int FillFrameSpeedList(HWND comboBox) override;
    int FillResolutionList(HWND comboBox, int previewList) override;
    int Init(CameraFrameCallback callback, int previewResolution, HWND window,
             HWND secondWindow, int flag) override;
    int SetResolution(int index) override;
    int SetAnalogGain(int gain) override;
    int GetAnalogGain(short* gain) override;
    int SetExposureTime(int microseconds) override;
    int GetExposureTime(int* microseconds) override;
    int SetGammaEx(int value, int channel) override;
    int GetGammaEx(int* value, int channel) override;
    int GetAWBState(int* state) override;
    int UpdateExposureRange(CameraParamInfo* info, int flag) override;
    int GetDefaultParameter(CameraCurParam* out, int mode) override;
    int ApplyProductPreset(CameraListEntry* entry) override;

    // Operations this family does not have: the device base answers them.
    int RestartLongExposure(int value) override { return CCameraDevice::RestartLongExposure(value); }
    int SetBlackLevel(int level) override { return CCameraDevice::SetBlackLevel(level); }
    int GetBlackLevel(int* level) override { return CCameraDevice::GetBlackLevel(level); }
    int SetColorEnhancement(int on) override { return CCameraDevice::SetColorEnhancement(on); }
    int GetColorEnhancement(int* on) override { return CCameraDevice::GetColorEnhancement(on); }
    int SetDataWide(int on) override { return CCameraDevice::SetDataWide(on); }
    int GetDataWide(int* on) override { return CCameraDevice::GetDataWide(on); }
    int SetFrameSpeed(int speed) override { return CCameraDevice::SetFrameSpeed(speed); }
    int GetFrameSpeed(BYTE* speed) override { return CCameraDevice::GetFrameSpeed(speed); }
    int GetColorTemperature(int* step) override { return CCameraDevice::GetColorTemperature(step); }
    int SetColorTemperature(int step) override { return CCameraDevice::SetColorTemperature(step); }
    int SetShiftOperator(int value) override { return CCameraDevice::SetShiftOperator(value); }
    int GetShiftOperator(int* value) override { return CCameraDevice::GetShiftOperator(value); }
    int SetSharpness(int value) override { return CCameraDevice::SetSharpness(value); }
    int GetSharpness(int* value) override { return CCameraDevice::GetSharpness(value); }
    int SetDenoise(int value) override { return CCameraDevice::SetDenoise(value); }
    int GetDenoise(int* value) override { return CCameraDevice::GetDenoise(value); }
    int CalcDefectCorrection() override { return CCameraDevice::CalcDefectCorrection(); }
    int SetDefectCorrectionState(int on) override { return CCameraDevice::SetDefectCorrectionState(on); }
    int GetDefectCorrectionState(int* on) override { return CCameraDevice::GetDefectCorrectionState(on); }

protected:
    using CCoreCameraA::CCoreCameraA;
    // Product 0x7585 runs its exposure at half the library's scale.
    double ExposureScale() const { return m_info.productId == 0x7585 ? 2.0 : 1.0; }
};
