// CMinorCamera: a camera of the ZuzIrazo library (camera type 26). It mirrors the
// first ZedOdir family over the "Hd" calls; where it differs it behaves like the
// second family (resume, resolution list, exposure scale), and the operations its
// library lacks answer as the device base.
#pragma once

#include "camera/device/CoreCameraB.h"

class CMinorCamera : public CCoreCameraB {
public:
    CMinorCamera();

    // Default parameters of this family, also used by the second ZedOdir family.
    static int MinorDefaultParameter(CameraCurParam* out, int mode);

    int ResumeDevice(int resolution) override;
    int SuspendDevice() override;
    int Init(CameraFrameCallback callback, int previewResolution, HWND window,
             HWND secondWindow, int flag) override;
    int GrabFrame(BYTE* frame) override;
    int Decode(BYTE* raw, BYTE* image, int width, int height, int rgbOut) override;
    int GetAWBState(int* state) override;
    int UpdateExposureRange(CameraParamInfo* info, int flag) override;
    int ApplyProductPreset(CameraListEntry* entry) override;
    int SetAnalogGain(int gain) override { return CCoreCameraA::SetAnalogGain(gain); }
    int GetAnalogGain(short* gain) override { return CCoreCameraA::GetAnalogGain(gain); }
    int SetGammaEx(int value, int channel) override { return CCoreCameraA::SetGammaEx(value, channel); }
    int GetGammaEx(int* value, int channel) override { return CCoreCameraA::GetGammaEx(value, channel); }

    // Operations the ZuzIrazo library does not offer: the device base answers them.
    int FillFrameSpeedList(HWND comboBox) override { return CCameraDevice::FillFrameSpeedList(comboBox); }
    int SetDyeSettings(const DyeSettings* dye) override { return CCameraDevice::SetDyeSettings(dye); }
    int GetDyeSettings(DyeSettings* dye) override { return CCameraDevice::GetDyeSettings(dye); }
    int FluorescenceGuide(int step, int mode) override { return CCameraDevice::FluorescenceGuide(step, mode); }
    int SetCooled(int on) override { return CCameraDevice::SetCooled(on); }
    int GetCooled(int* on) override { return CCameraDevice::GetCooled(on); }
    int GetTemperature(float* degrees) override { return CCameraDevice::GetTemperature(degrees); }
    int SetFilter(int on) override { return CCameraDevice::SetFilter(on); }
    int GetFilter(int* on) override { return CCameraDevice::GetFilter(on); }
};
