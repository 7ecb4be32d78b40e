// The camera driver libraries CamDrvA..CamDrvL as their callers see them. Each library
// drives one camera family, one camera at a time, through plain stdcall functions
// named <token>Camera<operation>; a library exports only the operations its family
// has (the table in CMakeLists.txt), so calling one it lacks fails at link time.
//
// Boundary rules: only numbers, window handles and caller-owned buffers cross; the
// library keeps no caller pointer beyond a call; results are ints (1 done, 0 refused).
//
// Units and forms:
// - Exposure times are milliseconds. Analog gain is the family's gain register.
// - GrabFrame writes one raw frame (a 64-byte header as in external/bench/FrameRecords.h,
//   then 8- or 16-bit little-endian samples) and answers 1 frame, 2 frame exposed across
//   a setting change, 3 exposure still running (no frame), 4 exposure restarted (no
//   frame), -9 device error, 0 not streaming.
// - Decode(raw, image, width, height, rgbOut) writes the frame as a device-independent
//   bitmap's pixel array (rows bottom-up, blue-green-red): 8 bits a sample when rgbOut
//   is non-zero or data width is off, else 16-bit little-endian samples. width and
//   height are the raw frame's size; 0 when they do not match the frame.
// - GetAWBStateResult and GetCalcFlatFieldingState write busy (1 while the calculation
//   runs) and result (1 succeeded, 0 failed); a calculation ends after a few frames.
// - Contrast, frame speed, AE target, resolution and parameter-set reads are one byte;
//   GetGamma is one byte too.
#pragma once

#include <windows.h>

typedef void (CALLBACK* CamDrvFrameCallback)(BYTE* frame, int size, void* context);

#define CAMDRV_FN(token, op) token##Camera##op

#define CAMDRV_DECLARE(token)                                                              \
    int WINAPI CAMDRV_FN(token, UnInit)(void);                                             \
    int WINAPI CAMDRV_FN(token, Play)(void);                                               \
    int WINAPI CAMDRV_FN(token, Stop)(void);                                               \
    int WINAPI CAMDRV_FN(token, GrabFrame)(BYTE * frame);                                  \
    int WINAPI CAMDRV_FN(token, Decode)(BYTE * raw, BYTE * image, int width, int height,  \
                                        int rgbOut);                                       \
    int WINAPI CAMDRV_FN(token, CaptureFile)(LPCWSTR path, int pictureType, int resolution); \
    int WINAPI CAMDRV_FN(token, GetImageSize)(int* width, int* height);                    \
    int WINAPI CAMDRV_FN(token, GetImageDataRGB24)(BYTE * image);                          \
    int WINAPI CAMDRV_FN(token, SetAeState)(int on);                                       \
    int WINAPI CAMDRV_FN(token, GetAeState)(int* on);                                      \
    int WINAPI CAMDRV_FN(token, SetAWBState)(int mode);                                    \
    int WINAPI CAMDRV_FN(token, GetAWBState)(int* state);                                  \
    int WINAPI CAMDRV_FN(token, GetAWBStateResult)(int* busy, int* result);                \
    int WINAPI CAMDRV_FN(token, SetAeTarget)(int target);                                  \
    int WINAPI CAMDRV_FN(token, GetAeTarget)(BYTE * target);                               \
    int WINAPI CAMDRV_FN(token, SetExposureTime)(int milliseconds);                        \
    int WINAPI CAMDRV_FN(token, GetExposureTime)(int* milliseconds);                       \
    int WINAPI CAMDRV_FN(token, GetMaxExposure)(int* milliseconds);                        \
    int WINAPI CAMDRV_FN(token, GetRowTime)(float* microseconds);                          \
    int WINAPI CAMDRV_FN(token, RestartLongExposure)(int value);                           \
    int WINAPI CAMDRV_FN(token, SetAnalogGain)(int gain);                                  \
    int WINAPI CAMDRV_FN(token, GetAnalogGain)(short* gain);                               \
    int WINAPI CAMDRV_FN(token, SetBlackLevel)(int level);                                 \
    int WINAPI CAMDRV_FN(token, GetBlackLevel)(int* level);                                \
    int WINAPI CAMDRV_FN(token, SetGain)(int red, int green, int blue);                    \
    int WINAPI CAMDRV_FN(token, GetGain)(int* red, int* green, int* blue);                 \
    int WINAPI CAMDRV_FN(token, SetGamma)(int gamma);                                      \
    int WINAPI CAMDRV_FN(token, GetGamma)(BYTE * gamma);                                   \
    int WINAPI CAMDRV_FN(token, SetSaturation)(int saturation);                            \
    int WINAPI CAMDRV_FN(token, GetSaturation)(int* saturation);                           \
    int WINAPI CAMDRV_FN(token, SetColorEnhancement)(int on);                              \
    int WINAPI CAMDRV_FN(token, GetColorEnhancement)(int* on);                             \
    int WINAPI CAMDRV_FN(token, SetDataWide)(int on);                                      \
    int WINAPI CAMDRV_FN(token, GetDataWide)(int* on);                                     \
    int WINAPI CAMDRV_FN(token, SetContrast)(int contrast);                                \
    int WINAPI CAMDRV_FN(token, GetContrast)(BYTE * contrast);                             \
    int WINAPI CAMDRV_FN(token, SetMirror)(int axis, int on);                              \
    int WINAPI CAMDRV_FN(token, GetMirror)(int axis, int* on);                             \
    int WINAPI CAMDRV_FN(token, SetMonochrome)(int on);                                    \
    int WINAPI CAMDRV_FN(token, GetMonochrome)(int* on);                                   \
    int WINAPI CAMDRV_FN(token, SetFrameSpeed)(int speed);                                 \
    int WINAPI CAMDRV_FN(token, GetFrameSpeed)(BYTE * speed);                              \
    int WINAPI CAMDRV_FN(token, CorrectionDead)(void);                                     \
    int WINAPI CAMDRV_FN(token, SetResolution)(int index);                                 \
    int WINAPI CAMDRV_FN(token, GetResolution)(BYTE * index);                              \
    int WINAPI CAMDRV_FN(token, SaveParameter)(int setNumber);                             \
    int WINAPI CAMDRV_FN(token, ReadParameter)(int setNumber);                             \
    int WINAPI CAMDRV_FN(token, GetCurrentParameterTeam)(BYTE * setNumber);                \
    int WINAPI CAMDRV_FN(token, CalcFlatFielding)(void);                                   \
    int WINAPI CAMDRV_FN(token, GetCalcFlatFieldingState)(int* busy, int* result);         \
    int WINAPI CAMDRV_FN(token, SetFlatFieldingState)(int on);                             \
    int WINAPI CAMDRV_FN(token, GetFlatFieldingState)(int* on);                            \
    int WINAPI CAMDRV_FN(token, SetLevelsValues)(int low, int high);                       \
    int WINAPI CAMDRV_FN(token, GetLevelsValues)(int* low, int* high);                     \
    int WINAPI CAMDRV_FN(token, SetAutoLevelsState)(int state);                            \
    int WINAPI CAMDRV_FN(token, GetAutoLevelsState)(int* state);                           \
    int WINAPI CAMDRV_FN(token, GetLevelsCounts)(int* counts256);                          \
    int WINAPI CAMDRV_FN(token, SetFilter)(int on);                                        \
    int WINAPI CAMDRV_FN(token, GetFilter)(int* on);

#define CAMDRV_DECLARE_INIT(token)                                                         \
    int WINAPI CAMDRV_FN(token, Init)(CamDrvFrameCallback callback, int previewResolution, \
                                      HWND window, int flag);

#ifdef __cplusplus
extern "C" {
#endif

CAMDRV_DECLARE(CamDrvAII)
CAMDRV_DECLARE(CamDrvB)
CAMDRV_DECLARE(CamDrvCII)
CAMDRV_DECLARE(CamDrvDII)
CAMDRV_DECLARE(CamDrvEC)
CAMDRV_DECLARE(CamDrvFBW)
CAMDRV_DECLARE(CamDrvG)
CAMDRV_DECLARE(CamDrvHBW)
CAMDRV_DECLARE(CamDrvJC)
CAMDRV_DECLARE(CamDrvKC)
CAMDRV_DECLARE(CamDrvLC)

CAMDRV_DECLARE_INIT(CamDrvAII)
CAMDRV_DECLARE_INIT(CamDrvB)
CAMDRV_DECLARE_INIT(CamDrvCII)
CAMDRV_DECLARE_INIT(CamDrvDII)
CAMDRV_DECLARE_INIT(CamDrvEC)
CAMDRV_DECLARE_INIT(CamDrvFBW)
CAMDRV_DECLARE_INIT(CamDrvHBW)
CAMDRV_DECLARE_INIT(CamDrvJC)
CAMDRV_DECLARE_INIT(CamDrvKC)
CAMDRV_DECLARE_INIT(CamDrvLC)
// This family's library takes no callback.
int WINAPI CamDrvGCameraInit(int previewResolution, HWND window, int flag);

#ifdef __cplusplus
}
#endif
