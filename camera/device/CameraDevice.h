// CCameraDevice: the one seam between the camera manager and every camera family.
// The manager owns exactly one current device and reaches each camera operation
// through the virtual operations below; nothing outside the camera library sees a
// device. Results are the library's codes (CAM_OK, CAM_FAILED, CAM_ERR_...).
//
// The base bodies are what a family keeps when it has no such operation: most answer
// CAM_OK and change nothing. Devices take no lock of their own; the manager's locks
// guard them (GrabFrame runs on the grab thread, Decode on the display and capture
// threads, everything else on the callers' threads).
#pragma once

#include "camera/core/QrCCamera.h"
#include "camera/core/LibraryResources.h"
#include <vector>

// One camera as a camera list sees it; handed to ApplyProductPreset.
struct CameraListEntry {
    int productIndex = -1;   // -1 unlisted product
    BYTE sensorKind = 0;     // 1, 2 or 3; 0 unlisted
    CString displayName;
    int vendorId = 0;
    int productId = 0;
    CString deviceName;      // the outside library's name of the device
};

// Frame callback handed through Init to the outside libraries that want one.
typedef void (CALLBACK* CameraFrameCallback)(BYTE* frame, int size, void* context);

class CCameraDevice {
public:
    CCameraDevice();
    virtual ~CCameraDevice();

    // --- device state and formats -------------------------------------------
    virtual int ResumeDevice(int resolution);
    virtual int SuspendDevice();
    virtual int FillFrameSpeedList(HWND comboBox);
    virtual int FillResolutionList(HWND comboBox, int previewList);
    virtual int Init(CameraFrameCallback callback, int previewResolution, HWND window,
                     HWND secondWindow, int flag);
    virtual int UnInit();
    virtual int Play();
    virtual int Stop();
    virtual int GetRecvBufferSize(int* size);
    virtual int GetDefaultParameter(CameraCurParam* out, int mode);

    // --- frames and files ----------------------------------------------------
    virtual int GrabFrame(BYTE* frame);
    // rgbOut non-zero asks for 8-bit three-channel output.
    virtual int Decode(BYTE* raw, BYTE* image, int width, int height, int rgbOut);
    virtual int DecodeEx(BYTE* raw, BYTE* image, int width, int height);
    // path without extension where the outside library adds its own.
    virtual int CaptureFile(LPCWSTR path, int pictureType, int param);
    virtual int GetImageSize(int* width, int* height);
    virtual int GetImageDataRGB24(BYTE* image);
    virtual int Reserved1(INT_PTR value);
    virtual int SaveFile(LPCWSTR path, BYTE* data, int pictureType);

    // --- exposure, white balance, gain ----------------------------------------
    virtual int SetAeState(int on);
    virtual int GetAeState(int* on);
    virtual int SetAWBState(int mode);
    virtual int GetAWBState(int* state);
    virtual int GetAWBStateResult(int* busy, int* result);
    virtual int ResetChannelGains();
    // mode: pointer to a mode byte, or a frame buffer; either may be null.
    virtual int CalcWhiteBalance(BYTE* mode, const RECT* rect);
    virtual int GetImageIntensity(BYTE* image, int width, int height, const RECT* rect,
                                  int* intensity, int channel);
    virtual int SetAeTarget(int target);
    virtual int GetAeTarget(BYTE* target);
    // Set: microseconds for the library families, milliseconds for the driver
    // families. Get: microseconds for every family.
    virtual int SetExposureTime(int time);
    virtual int GetExposureTime(int* microseconds);
    virtual int SetExposureLines(int lines);
    virtual int Reserved2(int value);
    virtual int GetRowTime(float* rowTime);
    virtual int RestartLongExposure(int value);
    virtual int SetAnalogGain(int gain);
    virtual int GetAnalogGain(short* gain);
    virtual int SetBlackLevel(int level);
    virtual int GetBlackLevel(int* level);
    virtual int SetGain(int red, int green, int blue);
    virtual int GetGain(int* red, int* green, int* blue);
    virtual int GetColorTemperature(int* step);
    virtual int SetColorTemperature(int step);

    // --- picture ---------------------------------------------------------------
    virtual int SetGamma(int gamma);
    virtual int GetGamma(int* gamma);
    virtual int SetSaturation(int saturation);
    virtual int GetSaturation(int* saturation);
    virtual int SetColorEnhancement(int on);
    virtual int GetColorEnhancement(int* on);
    virtual int SetDataWide(int on);
    virtual int GetDataWide(int* on);
    virtual int SetContrast(int contrast);
    virtual int GetContrast(BYTE* contrast);
    virtual int SetMirror(int axis, int on);
    virtual int GetMirror(int axis, int* on);
    virtual int SetMonochrome(int on);
    virtual int GetMonochrome(int* on);
    virtual int SetFrameSpeed(int speed);
    virtual int GetFrameSpeed(BYTE* speed);
    virtual int SetLightFrequency(int value);
    virtual int Reserved3(int value);
    virtual int SetB2RGBMode(int mode);
    virtual int Reserved4(int value);
    virtual int Reserved5(int value);
    virtual int Reserved6(int value);

    // --- corrections, resolution, parameter sets ----------------------------
    virtual int CalcDefectCorrection();
    virtual int SetDefectCorrectionState(int on);
    virtual int GetDefectCorrectionState(int* on);
    virtual int SetResolution(int index);
    virtual int GetResolution(BYTE* index);
    virtual int SaveParameter(int setNumber);
    virtual int ReadParameter(int setNumber);
    virtual int GetCurrentParameterTeam(BYTE* setNumber);
    virtual int CalcFlatFielding();
    virtual int CalcFlatfield(BYTE* frame);
    virtual int GetCalcFlatFieldingState(int* busy, int* result);
    virtual int SetFlatFieldingState(int on);
    virtual int GetFlatFieldingState(int* on);

    // --- levels, channels, dye --------------------------------------------------
    virtual int SetGammaEx(int value, int channel);
    virtual int GetGammaEx(int* value, int channel);
    virtual int SetLevelsValues(int low, int high, int channel);
    virtual int GetLevelsValues(int* low, int* high, int channel);
    virtual int SetAutoLevelsState(int state, int channel);
    virtual int GetAutoLevelsState(int* state, int channel);
    virtual int GetLevelsCounts(int* counts256);
    virtual int SetShowChannel(int channel);
    virtual int SetDyeSettings(const DyeSettings* dye);
    virtual int GetDyeSettings(DyeSettings* dye);
    virtual int FluorescenceGuide(int step, int mode);
    virtual int ResizeImage(BYTE* source, BYTE* target, int width, int height);
    virtual int UpdateExposureRange(CameraParamInfo* info, int flag);

    // --- enhancement, cooling, presets ------------------------------------------
    virtual int SetShiftOperator(int value);
    virtual int GetShiftOperator(int* value);
    virtual int Reserved7(INT_PTR first, INT_PTR second);
    virtual int SetSharpness(int value);
    virtual int GetSharpness(int* value);
    virtual int SetDenoise(int value);
    virtual int GetDenoise(int* value);
    virtual int SetCooled(int on);
    virtual int GetCooled(int* on);
    virtual int GetTemperature(float* degrees);
    // Fills tables and ranges for the entry's product; answers the sensor kind.
    virtual int ApplyProductPreset(CameraListEntry* entry);
    virtual int Reserved8(int value);
    virtual void Reserved9();
    virtual int SetFilter(int on);
    virtual int GetFilter(int* on);

    // --- non-virtual: the manager's copies and conversions ----------------------
    int GetParameterInfo(CameraParamInfo* out) const;
    int GetLastParameter(CameraCurParam* out) const;
    int SetLastParameter(const CameraCurParam* in);

    // Table look-ups; steps count from 1.
    int GainToStep(int gain) const;
    int StepToGain(int step) const;
    int ExposureToStep(int milliseconds) const;
    int StepToExposure(int step) const;

    // Display value <-> device register; wide is the manager's mode word
    // (1 for the library families, 0 for the driver families).
    int GammaToRegister(int value) const;
    int RegisterToGamma(int reg) const;
    int ContrastToRegister(int value, int wide) const;
    int RegisterToContrast(int reg, int wide) const;
    int SaturationToRegister(int value, int wide) const;
    int RegisterToSaturation(int reg, int wide) const;
    int GainRegisterToFactor(int reg) const;
    int GainFactorToRegister(int factor) const;

    // High-definition products of the base defaults.
    static bool IsHighDefinitionProduct(int productIndex);

protected:
    CameraParamInfo m_info;            // parameter block
    CameraCurParam m_last;             // last-parameter block
    std::vector<int> m_gainTable;      // gain register per step (step s is entry s - 1)
    std::vector<int> m_exposureTable;  // milliseconds per step
    CString m_deviceName;              // passed to every ZedOdir / ZuzIrazo call
    CString m_secondName;
    int m_resumed;                     // the outside device has been resumed

private:
    CCameraDevice(const CCameraDevice&) = delete;
    CCameraDevice& operator=(const CCameraDevice&) = delete;
};
