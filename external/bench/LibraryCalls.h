// The calls of the camera libraries, listed once. Each stand-in DLL expands the lists
// into its exports (ZuzIrazo with the prefix "Hd"), and each export forwards to the
// bench's LibraryFront of that library. X(result, name, parameters, front call).
// Per-device calls take the device name last; 0 means success unless the name says
// it returns a count, an index, a name or a value.
//
// Boundary rules: plain C types only; the caller owns every buffer (a raw frame needs
// RecvMemSize bytes, a decoded image three times that); names handed out stay valid
// for the life of the process; nothing allocated on one side is freed on the other;
// a failing call answers a non-zero code (-1 for an unknown device name) and never
// throws. Paths are Windows paths.
#pragma once

#include <windows.h>

// Exports of the stand-in modules are hidden from the ELF symbol table, so a caller
// resolves them through the import library: the module then appears in the caller's
// import table and Wine loads it (and the modules it imports) properly.
#define ORV_IMPORT_ONLY __attribute__((visibility("hidden")))

// Calls both libraries offer.
#define ORV_COMMON_CALLS(X) \
    X(int, InitDevice, (const WCHAR* folder), InitDevice(folder)) \
    X(int, ExitDevice, (void), ExitDevice()) \
    X(int, DeviceCount, (void), DeviceCount()) \
    X(const char*, DeviceName, (int index), DeviceName(index)) \
    X(int, DeviceVendor, (const char* dev), DeviceVendor(dev)) \
    X(int, DeviceProduct, (const char* dev), DeviceProduct(dev)) \
    X(int, ResumeDevice, (const char* dev), ResumeDevice(dev)) \
    X(int, SuspendDevice, (const char* dev), SuspendDevice(dev)) \
    X(int, GetResolutionCount, (const char* dev), GetResolutionCount(dev)) \
    X(const char*, GetResItemName, (int index, const char* dev), GetResItemName(index, dev)) \
    X(int, GetResolution, (const char* dev), GetResolution(dev)) \
    X(int, SetResolution, (int index, const char* dev), SetResolution(index, dev)) \
    X(int, RecvMemSize, (const char* dev), RecvMemSize(dev)) \
    X(int, SetHistogramState, (int on, const char* dev), SetHistogramState(on, dev)) \
    X(int, GetRawData, (void* frame, int size, const char* dev), GetRawData(frame, size, dev)) \
    X(int, DecodeRaw2Image, (const void* frame, void* image, const char* dev), DecodeRaw2Image(frame, image, dev)) \
    X(int, SetImageFormat, (int format, const char* dev), SetImageFormat(format, dev)) \
    X(int, SaveImage, (const WCHAR* path, int quality, const char* dev), SaveImage(path, quality, dev)) \
    X(int, SaveFile, (const WCHAR* path, const void* image, int format, const char* dev), SaveFile(path, image, format, dev)) \
    X(int, GetRawSize, (int* width, int* height, const char* dev), GetRawSize(width, height, dev)) \
    X(int, SetAutoExposure, (int on, const char* dev), SetAutoExposure(on, dev)) \
    X(int, GetAutoExposure, (BYTE* on, const char* dev), GetAutoExposure(on, dev)) \
    X(int, SetAETarget, (int target, const char* dev), SetAETarget(target, dev)) \
    X(int, GetAETarget, (BYTE* target, const char* dev), GetAETarget(target, dev)) \
    X(int, SetExposure, (float ms, const char* dev), SetExposure(ms, dev)) \
    X(double, GetExposure, (const char* dev), GetExposure(dev)) \
    X(int, GetExposureRange, (float* minMs, float* maxMs, float* unitMs, const char* dev), GetExposureRange(minMs, maxMs, unitMs, dev)) \
    X(int, SetAnaloggain, (int gain, const char* dev), SetAnaloggain(gain, dev)) \
    X(int, GetAnaloggain, (const char* dev), GetAnaloggain(dev)) \
    X(int, GetAnaloggainRange, (int* minGain, int* maxGain, const char* dev), GetAnaloggainRange(minGain, maxGain, dev)) \
    X(int, SetGamma, (int value, const char* dev), SetGamma(value, dev)) \
    X(int, GetGamma, (int* value, const char* dev), GetGamma(value, dev)) \
    X(int, SetGammaEx, (int value, int channel, const char* dev), SetGammaEx(value, channel, dev)) \
    X(int, GetGammaEx, (int* value, int channel, const char* dev), GetGammaEx(value, channel, dev)) \
    X(int, SetContrast, (int value, const char* dev), SetContrast(value, dev)) \
    X(int, GetContrast, (int* value, const char* dev), GetContrast(value, dev)) \
    X(int, SetSaturation, (int value, const char* dev), SetSaturation(value, dev)) \
    X(int, GetSaturation, (int* value, const char* dev), GetSaturation(value, dev)) \
    X(int, SetMonochrome, (int on, const char* dev), SetMonochrome(on, dev)) \
    X(int, GetMonochrome, (int* on, const char* dev), GetMonochrome(on, dev)) \
    X(int, SetFlip, (int mask, const char* dev), SetFlip(mask, dev)) \
    X(int, GetFlip, (int* mask, const char* dev), GetFlip(mask, dev)) \
    X(int, SetChannelGain, (int blue, int green, int red, const char* dev), SetChannelGain(blue, green, red, dev)) \
    X(int, GetChannelGain, (int* blue, int* green, int* red, const char* dev), GetChannelGain(blue, green, red, dev)) \
    X(int, CalcWhiteBalance, (BYTE* mode, const RECT* area, const char* dev), CalcWhiteBalance(mode, area, dev)) \
    X(int, GetImageIntensity, (const void* image, int left, int top, int width, int height, int* intensity, const char* dev), GetImageIntensity(image, left, top, width, height, intensity, dev)) \
    X(int, CalcFlatfield, (int frames, int mode, const char* dev), CalcFlatfield(frames, mode, dev)) \
    X(int, SetFlatfieldState, (int on, const char* dev), SetFlatfieldState(on, dev)) \
    X(int, GetFlatfieldState, (int* on, const char* dev), GetFlatfieldState(on, dev)) \
    X(int, SetStretchEx, (int low, int high, int state, int channel, const char* dev), SetStretchEx(low, high, state, channel, dev)) \
    X(int, SaveConfiguration, (int set, const char* dev), SaveConfiguration(set, dev)) \
    X(int, LoadConfiguration, (int set, const char* dev), LoadConfiguration(set, dev)) \
    X(int, GetCurrentConfiguration, (BYTE* set, const char* dev), GetCurrentConfiguration(set, dev)) \
    X(int, ResizeImage, (const void* image, void* out, int width, int height, const char* dev), ResizeImage(image, out, width, height, dev))

// Calls only ZedOdir offers.
#define ORV_ZEDODIR_CALLS(X) \
    X(const GUID*, DeviceGUID, (void), DeviceGUID()) \
    X(const char*, DeviceChange, (const char* path, int flag), DeviceChange(path, flag)) \
    X(int, SetCooled, (int on, const char* dev), SetCooled(on, dev)) \
    X(int, ResetSupport, (const char* dev), ResetSupport(dev)) \
    X(int, ResetDevice, (const char* dev), ResetDevice(dev)) \
    X(int, GetPixelclockCount, (const char* dev), GetPixelclockCount(dev)) \
    X(int, GetPixelclock, (const char* dev), GetPixelclock(dev)) \
    X(int, SetPixelclock, (int index, const char* dev), SetPixelclock(index, dev)) \
    X(const char*, GetPixclkItemName, (int index, const char* dev), GetPixclkItemName(index, dev)) \
    X(int, SetRawDepth, (int bits, const char* dev), SetRawDepth(bits, dev)) \
    X(int, GetRawDepth, (const char* dev), GetRawDepth(dev)) \
    X(int, GetStretchEx, (int* low, int* high, int* state, int channel, const char* dev), GetStretchEx(low, high, state, channel, dev)) \
    X(int, GetChannelGainRange, (int* minGain, int* maxGain, const char* dev), GetChannelGainRange(minGain, maxGain, dev)) \
    X(int, SetBlacklevel, (int value, const char* dev), SetBlacklevel(value, dev)) \
    X(int, GetBlacklevel, (int* value, const char* dev), GetBlacklevel(value, dev)) \
    X(int, SetColorEnhancement, (int on, const char* dev), SetColorEnhancement(on, dev)) \
    X(int, GetColorEnhancement, (int* on, const char* dev), GetColorEnhancement(on, dev)) \
    X(int, GetWhiteBalanceState, (BYTE* state, const char* dev), GetWhiteBalanceState(state, dev)) \
    X(int, GetColorTemperatureRange, (int* minValue, int* maxValue, const char* dev), GetColorTemperatureRange(minValue, maxValue, dev)) \
    X(int, GetColorTemperature, (int* value, const char* dev), GetColorTemperature(value, dev)) \
    X(int, SetColorTemperature, (int value, const char* dev), SetColorTemperature(value, dev)) \
    X(int, CalcDefectCorrection, (const char* dev), CalcDefectCorrection(dev)) \
    X(int, SetDefectCorrectionState, (int on, const char* dev), SetDefectCorrectionState(on, dev)) \
    X(int, GetDefectCorrectionState, (int* on, const char* dev), GetDefectCorrectionState(on, dev)) \
    X(int, GetShiftOperatorRange, (int* minValue, int* maxValue, const char* dev), GetShiftOperatorRange(minValue, maxValue, dev)) \
    X(int, SetShiftOperator, (int value, const char* dev), SetShiftOperator(value, dev)) \
    X(int, GetShiftOperator, (int* value, const char* dev), GetShiftOperator(value, dev)) \
    X(int, GetSharpnessRange, (int* minValue, int* maxValue, const char* dev), GetSharpnessRange(minValue, maxValue, dev)) \
    X(int, SetSharpness, (int value, const char* dev), SetSharpness(value, dev)) \
    X(int, GetSharpness, (int* value, const char* dev), GetSharpness(value, dev)) \
    X(int, GetDenoiseRange, (int* minValue, int* maxValue, const char* dev), GetDenoiseRange(minValue, maxValue, dev)) \
    X(int, SetDenoise, (int value, const char* dev), SetDenoise(value, dev)) \
    X(int, GetDenoise, (int* value, const char* dev), GetDenoise(value, dev)) \
    X(int, FluorescenceGuide, (int step, int mode, const char* dev), FluorescenceGuide(step, mode, dev)) \
    X(int, GetCooled, (int* on, const char* dev), GetCooled(on, dev)) \
    X(int, GetTemperature, (float* degrees, const char* dev), GetTemperature(degrees, dev)) \
    X(int, SetFilter, (int value, const char* dev), SetFilter(value, dev)) \
    X(int, GetFilter, (int* value, const char* dev), GetFilter(value, dev))

// Calls only ZuzIrazo offers (exported with the prefix "Hd" like the rest).
#define ORV_ZUZIRAZO_CALLS(X) \
    X(int, GetWhiteBalance, (BYTE* state, const char* dev), GetWhiteBalanceState(state, dev)) \
    X(int, SetDisplayHWND, (HWND window, const char* dev), SetDisplayHWND(window, dev))
