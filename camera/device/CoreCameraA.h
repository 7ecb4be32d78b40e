// CCoreCameraA: a camera of the ZedOdir library's first family (camera type 18).
// Every library call names the camera by the device name the preset copied from the
// camera-list entry. The library is reached through a call table, so the ZuzIrazo
// class (CMinorCamera) shares these operations over its own library.
#pragma once

#include "camera/device/CameraDevice.h"
#include "camera/device/CameraLibrary.h"

#include <string>
#include <vector>

class CCoreCameraA : public CCameraDevice {
public:
    CCoreCameraA();
    ~CCoreCameraA() override;

    int ResumeDevice(int resolution) override;
    int SuspendDevice() override;
    int FillFrameSpeedList(HWND comboBox) override;
    int FillResolutionList(HWND comboBox, int previewList) override;
    int Init(CameraFrameCallback callback, int previewResolution, HWND window,
             HWND secondWindow, int flag) override;
    int UnInit() override;
    int GetRecvBufferSize(int* size) override;
    int GetDefaultParameter(CameraCurParam* out, int mode) override;

    int GrabFrame(BYTE* frame) override;
    int Decode(BYTE* raw, BYTE* image, int width, int height, int rgbOut) override;
    int CaptureFile(LPCWSTR path, int pictureType, int quality) override;
    int GetImageSize(int* width, int* height) override;
    int SaveFile(LPCWSTR path, BYTE* data, int pictureType) override;
    int ResizeImage(BYTE* source, BYTE* target, int width, int height) override;

    int SetAeState(int on) override;
    int GetAeState(int* on) override;
    int GetAWBState(int* state) override;
    int ResetChannelGains() override;
    int CalcWhiteBalance(BYTE* mode, const RECT* rect) override;
    int GetImageIntensity(BYTE* image, int width, int height, const RECT* rect,
                          int* intensity, int channel) override;
    int SetAeTarget(int target) override;
    int GetAeTarget(BYTE* target) override;
    int SetExposureTime(int microseconds) override;
    int GetExposureTime(int* microseconds) override;
    int RestartLongExposure(int value) override;
    int SetAnalogGain(int gain) override;
    int GetAnalogGain(short* gain) override;
    int SetBlackLevel(int level) override;
    int GetBlackLevel(int* level) override;
    int SetGain(int red, int green, int blue) override;
    int GetGain(int* red, int* green, int* blue) override;
    int GetColorTemperature(int* step) override;
    int SetColorTemperature(int step) override;

    int SetGamma(int gamma) override;
    int GetGamma(int* gamma) override;
    int SetSaturation(int saturation) override;
    int GetSaturation(int* saturation) override;
    int SetColorEnhancement(int on) override;
    int GetColorEnhancement(int* on) override;
    int SetDataWide(int on) override;
    int GetDataWide(int* on) override;
    int SetContrast(int contrast) override;
    int GetContrast(BYTE* contrast) override;
    int SetMirror(int axis, int on) override;
    int GetMirror(int axis, int* on) override;
    int SetMonochrome(int on) override;
    int GetMonochrome(int* on) override;
    int SetFrameSpeed(int speed) override;
    int GetFrameSpeed(BYTE* speed) override;

    int CalcDefectCorrection() override;
    int SetDefectCorrectionState(int on) override;
    int GetDefectCorrectionState(int* on) override;
    int SetResolution(int index) override;
    int GetResolution(BYTE* index) override;
    int SaveParameter(int setNumber) override;
    int ReadParameter(int setNumber) override;
    int GetCurrentParameterTeam(BYTE* setNumber) override;
    int CalcFlatfield(BYTE* frame) override;
    int SetFlatFieldingState(int on) override;
    int GetFlatFieldingState(int* on) override;

    int SetGammaEx(int value, int channel) override;
    int GetGammaEx(int* value, int channel) override;
    int SetLevelsValues(int low, int high, int channel) override;
    int GetLevelsValues(int* low, int* high, int channel) override;
    int SetAutoLevelsState(int state, int channel) override;
    int GetAutoLevelsState(int* state, int channel) override;
    int GetLevelsCounts(int* counts256) override;
    int SetShowChannel(int channel) override;
    int SetDyeSettings(const DyeSettings* dye) override;
    int GetDyeSettings(DyeSettings* dye) override;
    int FluorescenceGuide(int step, int mode) override;
    int UpdateExposureRange(CameraParamInfo* info, int flag) override;

    int SetShiftOperator(int value) override;
    int GetShiftOperator(int* value) override;
    int SetSharpness(int value) override;
    int GetSharpness(int* value) override;
    int SetDenoise(int value) override;
    int GetDenoise(int* value) override;
    int SetCooled(int on) override;
    int GetCooled(int* on) override;
    int GetTemperature(float* degrees) override;
    int ApplyProductPreset(CameraListEntry* entry) override;
    int SetFilter(int on) override;
    int GetFilter(int* on) override;

protected:
    explicit CCoreCameraA(const CameraLibrary& library);

    // Per-channel levels (channel 3 stands for the three colour channels).
    struct LevelsRecord {
        int autoOn = 0;
        int low = 0;
        int high = 255;
    };

    // The device name as the library spells it.
    const char* Dev();
    // Copies the entry into the device (names, product, sensor kind).
    void CopyEntry(const CameraListEntry& entry);
    // The library's resolution names, then the extra capture resolution.
    void FillLibraryResolutions(HWND comboBox, int previewList);
    // Histogram and levels of the shown channel, then the RGB conversion and tint.
    void AfterDecode(BYTE* image, int rgbOut, bool readBack, bool tint);
    // On an over-exposed frame: a new exposure from the frame's bright end.
    void Reexpose(const BYTE* frame);
    bool ValidChannel(int channel) const { return channel >= 0 && channel <= 3; }
    float ExposureUnit() const { return m_info.exposureUnit; }

    const CameraLibrary& m_lib;
    std::vector<BYTE> m_receive;
    int m_receiveSize;
    LevelsRecord m_levels[4];
    int m_histogram[256];
    int m_showChannel;
    DyeSettings m_dye;
    bool m_levelsReadBack;

private:
    std::string m_libraryName;
    CString m_libraryNameOf;
};

// Library file-format code of a capture picture type.
int LibraryImageFormat(int pictureType);
