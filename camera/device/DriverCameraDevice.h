// CDriverCameraDevice: what the eleven driver-library families have in common. Each
// family's library exports plain functions named <token>Camera<operation>; the device
// forwards the operations through one table of those functions, and a family class
// only describes itself (DriverCameraTraits) and overrides its few special forms.
//
// The family's Init is named directly, which puts the library into the camera
// library's import table; the rest of the table is then looked up by name in that
// loaded module. An operation whose group the family does not forward keeps a null
// entry and answers as the device base.
#pragma once

#include "camera/device/CameraDevice.h"
#include "external/camdrv/CamDrv.h"

// Groups of operations that only some families forward.
enum DriverCallGroup : unsigned {
    DRV_COMMON = 0,                 // every family
    DRV_RGB24 = 1u << 0,            // GetImageDataRGB24
    DRV_AWB = 1u << 1,              // SetAWBState, GetAWBStateResult
    DRV_AWB_STATE = 1u << 2,        // GetAWBState
    DRV_LONG_EXPOSURE = 1u << 3,    // RestartLongExposure
    DRV_BLACK_LEVEL = 1u << 4,
    DRV_COLOUR = 1u << 5,           // channel gains, saturation, enhancement, monochrome
    DRV_DATA_WIDE = 1u << 6,
    DRV_DEFECT = 1u << 7,           // CorrectionDead
    DRV_RESOLUTION = 1u << 8,       // SetResolution, GetResolution
    DRV_FILTER = 1u << 9,
    DRV_MAX_EXPOSURE = 1u << 10,    // GetMaxExposure, read after Init
    DRV_GAMMA_EX = 1u << 11,        // SetGammaEx/GetGammaEx through the library's gamma
};

// operation, group, parameter list
#define DRIVER_CAMERA_CALLS(X)                                                           \
    X(UnInit, DRV_COMMON, (void))                                                        \
    X(Play, DRV_COMMON, (void))                                                          \
    X(Stop, DRV_COMMON, (void))                                                          \
    X(GrabFrame, DRV_COMMON, (BYTE*))                                                    \
    X(Decode, DRV_COMMON, (BYTE*, BYTE*, int, int, int))                                 \
    X(CaptureFile, DRV_COMMON, (LPCWSTR, int, int))                                      \
    X(GetImageSize, DRV_COMMON, (int*, int*))                                            \
    X(SetAeState, DRV_COMMON, (int))                                                     \
    X(GetAeState, DRV_COMMON, (int*))                                                    \
    X(SetAeTarget, DRV_COMMON, (int))                                                    \
    X(GetAeTarget, DRV_COMMON, (BYTE*))                                                  \
    X(SetExposureTime, DRV_COMMON, (int))                                                \
    X(GetExposureTime, DRV_COMMON, (int*))                                               \
    X(GetRowTime, DRV_COMMON, (float*))                                                  \
    X(SetAnalogGain, DRV_COMMON, (int))                                                  \
    X(GetAnalogGain, DRV_COMMON, (short*))                                               \
    X(SetGamma, DRV_COMMON, (int))                                                       \
    X(GetGamma, DRV_COMMON, (BYTE*))                                                     \
    X(SetContrast, DRV_COMMON, (int))                                                    \
    X(GetContrast, DRV_COMMON, (BYTE*))                                                  \
    X(SetMirror, DRV_COMMON, (int, int))                                                 \
    X(GetMirror, DRV_COMMON, (int, int*))                                                \
    X(SetFrameSpeed, DRV_COMMON, (int))                                                  \
    X(GetFrameSpeed, DRV_COMMON, (BYTE*))                                                \
    X(SaveParameter, DRV_COMMON, (int))                                                  \
    X(ReadParameter, DRV_COMMON, (int))                                                  \
    X(GetCurrentParameterTeam, DRV_COMMON, (BYTE*))                                      \
    X(CalcFlatFielding, DRV_COMMON, (void))                                              \
    X(GetCalcFlatFieldingState, DRV_COMMON, (int*, int*))                                \
    X(SetFlatFieldingState, DRV_COMMON, (int))                                           \
    X(GetFlatFieldingState, DRV_COMMON, (int*))                                          \
    X(SetLevelsValues, DRV_COMMON, (int, int))                                           \
    X(GetLevelsValues, DRV_COMMON, (int*, int*))                                         \
    X(SetAutoLevelsState, DRV_COMMON, (int))                                             \
    X(GetAutoLevelsState, DRV_COMMON, (int*))                                            \
    X(GetLevelsCounts, DRV_COMMON, (int*))                                               \
    X(GetImageDataRGB24, DRV_RGB24, (BYTE*))                                             \
    X(SetAWBState, DRV_AWB, (int))                                                       \
    X(GetAWBStateResult, DRV_AWB, (int*, int*))                                          \
    X(GetAWBState, DRV_AWB_STATE, (int*))                                                \
    X(RestartLongExposure, DRV_LONG_EXPOSURE, (int))                                     \
    X(SetBlackLevel, DRV_BLACK_LEVEL, (int))                                             \
    X(GetBlackLevel, DRV_BLACK_LEVEL, (int*))                                            \
    X(SetGain, DRV_COLOUR, (int, int, int))                                              \
    X(GetGain, DRV_COLOUR, (int*, int*, int*))                                           \
    X(SetSaturation, DRV_COLOUR, (int))                                                  \
    X(GetSaturation, DRV_COLOUR, (int*))                                                 \
    X(SetColorEnhancement, DRV_COLOUR, (int))                                            \
    X(GetColorEnhancement, DRV_COLOUR, (int*))                                           \
    X(SetMonochrome, DRV_COLOUR, (int))                                                  \
    X(GetMonochrome, DRV_COLOUR, (int*))                                                 \
    X(SetDataWide, DRV_DATA_WIDE, (int))                                                 \
    X(GetDataWide, DRV_DATA_WIDE, (int*))                                                \
    X(CorrectionDead, DRV_DEFECT, (void))                                                \
    X(SetResolution, DRV_RESOLUTION, (int))                                              \
    X(GetResolution, DRV_RESOLUTION, (BYTE*))                                            \
    X(SetFilter, DRV_FILTER, (int))                                                      \
    X(GetFilter, DRV_FILTER, (int*))                                                     \
    X(GetMaxExposure, DRV_MAX_EXPOSURE, (int*))

typedef int (WINAPI* DriverInitFn)(CamDrvFrameCallback callback, int previewResolution,
                                   HWND window, int flag);
typedef int (WINAPI* DriverInitNoCallbackFn)(int previewResolution, HWND window, int flag);

// One family's library calls; null where the family does not forward the operation.
struct DriverCameraCalls {
    DriverInitFn Init = nullptr;
    DriverInitNoCallbackFn InitNoCallback = nullptr;
#define DRIVER_CALL_MEMBER(op, group, params) int (WINAPI* op) params = nullptr;
    DRIVER_CAMERA_CALLS(DRIVER_CALL_MEMBER)
#undef DRIVER_CALL_MEMBER
};

// GetDefaultParameter forms of the families.
enum DriverDefaultsForm {
    DRV_DEFAULTS_BASE,      // the device base rules
    DRV_DEFAULTS_DRIVER,    // frame speed 2, no high-definition cases
};

struct DriverCameraTraits {
    int cameraType;
    BYTE sensorKind;
    LPCWSTR module;                   // the library's module name
    const char* token;                // function-name prefix
    DriverInitFn init;                // exactly one of the two Init forms
    DriverInitNoCallbackFn initNoCallback;
    unsigned groups;                  // DriverCallGroup bits forwarded beyond the common ones

    UINT modelNameId;                 // string-table entry of the model name
    LPCWSTR modelName;                // its text, used while the string table lacks it

    // Constructor defaults; kDriverKeep leaves the device base value.
    const int* gainValues;
    int gainCount;
    int gainRegisterMin, gainRegisterMax;
    int gain;
    int gainFactorMin, gainFactorMax;
    int maxExposure;
    int modeByte;
    int exposureCount;                // leading entries of the common exposure table; 0 none
    const int* extraExposures;        // appended behind them
    int extraExposureCount;
    unsigned flagsOff, flagsOn;       // bit n is feature flag n
    int colorEnhancement;
    int frameSpeed;

    LPCWSTR const* previewResolutions;
    int previewResolutionCount;
    LPCWSTR const* captureResolutions;   // the preview list again where there is one list
    int captureResolutionCount;

    int maxExposureCap;               // GetMaxExposure after Init is cut to this (DRV_MAX_EXPOSURE)
    int whiteBalance[3];              // ResetChannelGains; all 0: the family has none

    DriverDefaultsForm defaultsForm;
    int defaultsColorEnhancement;     // DRV_DEFAULTS_DRIVER: enhancement of modes 2 and full
    int defaultsExposureTime;         // DRV_DEFAULTS_DRIVER: exposure of mode 1
};

const int kDriverKeep = -0x7FFFFFFF;

// Feature-flag bits of DriverCameraTraits.
constexpr unsigned DriverFlags() { return 0; }
template <typename... More>
constexpr unsigned DriverFlags(int first, More... more)
{
    return (1u << first) | DriverFlags(more...);
}

class CDriverCameraDevice : public CCameraDevice {
public:
    explicit CDriverCameraDevice(const DriverCameraTraits& traits);
    ~CDriverCameraDevice() override;

    const DriverCameraTraits& Traits() const { return m_traits; }
    // False when the family's library lacks an operation the family forwards.
    bool CallsComplete() const;

    int FillResolutionList(HWND comboBox, int previewList) override;
    int Init(CameraFrameCallback callback, int previewResolution, HWND window,
             HWND secondWindow, int flag) override;
    int UnInit() override;
    int Play() override;
    int Stop() override;
    int GetDefaultParameter(CameraCurParam* out, int mode) override;

    int GrabFrame(BYTE* frame) override;
    int Decode(BYTE* raw, BYTE* image, int width, int height, int rgbOut) override;
    int CaptureFile(LPCWSTR path, int pictureType, int param) override;
    int GetImageSize(int* width, int* height) override;
    int GetImageDataRGB24(BYTE* image) override;

    int SetAeState(int on) override;
    int GetAeState(int* on) override;
    int SetAWBState(int mode) override;
    int GetAWBState(int* state) override;
    int GetAWBStateResult(int* busy, int* result) override;
    int ResetChannelGains() override;
    int SetAeTarget(int target) override;
    int GetAeTarget(BYTE* target) override;
    // milliseconds
    int SetExposureTime(int time) override;
    int GetExposureTime(int* microseconds) override;
    int GetRowTime(float* rowTime) override;
    int RestartLongExposure(int value) override;
    int SetAnalogGain(int gain) override;
    int GetAnalogGain(short* gain) override;
    int SetBlackLevel(int level) override;
    int GetBlackLevel(int* level) override;
    int SetGain(int red, int green, int blue) override;
    int GetGain(int* red, int* green, int* blue) override;

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
    int SetResolution(int index) override;
    int GetResolution(BYTE* index) override;
    int SaveParameter(int setNumber) override;
    int ReadParameter(int setNumber) override;
    int GetCurrentParameterTeam(BYTE* setNumber) override;
    int CalcFlatFielding() override;
    int GetCalcFlatFieldingState(int* busy, int* result) override;
    int SetFlatFieldingState(int on) override;
    int GetFlatFieldingState(int* on) override;

    int SetGammaEx(int value, int channel) override;
    int GetGammaEx(int* value, int channel) override;
    int SetLevelsValues(int low, int high, int channel) override;
    int GetLevelsValues(int* low, int* high, int channel) override;
    int SetAutoLevelsState(int state, int channel) override;
    int GetAutoLevelsState(int* state, int channel) override;
    int GetLevelsCounts(int* counts256) override;

    int SetFilter(int on) override;
    int GetFilter(int* on) override;

protected:
    // The library's exposure in milliseconds as microseconds, saturating where the
    // product would not fit an int.
    static int MillisecondsToMicroseconds(int milliseconds);

    DriverCameraCalls m_calls;

private:
    void ApplyTraitDefaults();
    void ResolveCalls();

    const DriverCameraTraits& m_traits;
};
