// QrCCamera: the camera library's exported interface, shared by the library and the
// main program. Field order and widths of every record here are binding on both sides.
//
// Module boundary rules
// - What crosses: plain numbers, window handles and device contexts, pointers to
//   records owned by the caller, and the framework's objects (CString, CWnd*, CDC*,
//   the framework's arrays), which both modules take from the one shared framework.
// - Records are owned by the caller. The library copies numbers into and out of them
//   and assigns into their strings and arrays; it keeps no pointer into a record
//   beyond the call, except the window and measurement objects a CaptureParam names.
// - Nothing allocated on one side is freed on the other, except through the shared
//   framework (a CString or array the library assigns is released by the caller's
//   own destructor, inside the framework).
// - No exception crosses an export: every failure is a result code below.
// - Every export is stdcall (WINAPI) with one prototype here; float arguments are
//   passed as float on both sides.
#pragma once

#include "afx.h"

class CWnd;
class CDC;
class CQrMeasure;      // measurement library object drawn into stills
class CCaptureOverlay; // the main program's capture overlay description

// ---------------------------------------------------------------------------------
// Result codes of every export.
enum {
    CAM_OK = 1,
    CAM_FAILED = 0,
    CAM_ERR_NO_MEMORY = -2,
    CAM_ERR_ORDER = -4,
    CAM_ERR_RANGE = -5,
    CAM_ERR_NO_DEVICE = -8,
};

// Capture-format codes (CaptureParam::CaptureType).
enum {
    CAPTURE_TYPE_JPEG = 1,
    CAPTURE_TYPE_BMP = 2,
    CAPTURE_TYPE_RAW = 4,
    CAPTURE_TYPE_TIFF = 8,
    CAPTURE_TYPE_AVI = 32,
};

// Camera-type codes: choose the device class of the current camera.
enum {
    CAMERA_TYPE_NONE = -1,
    CAMERA_TYPE_CAMDRVE = 1,
    CAMERA_TYPE_CAMDRVJ = 2,
    CAMERA_TYPE_CAMDRVL = 3,
    CAMERA_TYPE_CAMDRVD = 5,
    CAMERA_TYPE_CAMDRVF = 7,
    CAMERA_TYPE_CAMDRVH = 8,
    CAMERA_TYPE_CAMDRVG = 9,
    CAMERA_TYPE_SENSFAME = 10,
    CAMERA_TYPE_CAMDRVA = 11,
    CAMERA_TYPE_CAMDRVB = 12,
    CAMERA_TYPE_CAMDRVC = 13,
    CAMERA_TYPE_CORE_A = 18,
    CAMERA_TYPE_CORE_B = 19,
    CAMERA_TYPE_CAMDRVK = 20,
    CAMERA_TYPE_MINOR = 26,
};

// Sensor kinds; 3 is the third family of the ZedOdir and ZuzIrazo products.
enum {
    SENSOR_KIND_NONE = 0,
    SENSOR_KIND_CMOS = 1,
    SENSOR_KIND_CCD = 2,
    SENSOR_KIND_THIRD = 3,
};

// Window messages the library posts (or sends, where noted) to the program's windows.
enum {
    WM_CAMERA_FRAME_STATUS = 0x465,  // wParam 1 shown/skipped, 2 notice, 3 device error, 0 averaged frame; lParam grab rate x 1000
    WM_CAMERA_TEMPERATURE = 0x467,   // to the temperature receive window
    WM_CAMERA_FOCUS_VALUE = 0x468,   // wParam focus value while cropped
    WM_CAPTURE_DONE = 0x700,         // wParam shot index; lParam 2 more follow, 0 done, -1 refused (sent), 1 recording ended (sent)
    WM_CAPTURE_PROGRESS = 0x701,     // wParam shot index, or seconds / frames while recording
};

// Exposures above this many microseconds are long exposures.
const int LONG_EXPOSURE_US = 3000000;

// Parameter teams: 20 user teams and entry 20 for the current settings ("Default").
const int PARAM_TEAM_MAX = 20;
const int PARAM_TEAM_ENTRIES = 21;

// Feature flags of CameraParamInfo, numbered from 1 (CameraParamInfo::Feature).
enum {
    FEATURE_FLUORESCENCE_CAPTURE = 1, // 0: FluorescenceType is forced to 0
    FEATURE_RES_LOCK = 2,             // resolution lock permitted
    FEATURE_16BIT_DATA = 7,           // receive buffers at six bytes a pixel
    FEATURE_KEEP_CHANNEL = 8,         // 0: live start shows all channels
    FEATURE_DEAD_PIXEL = 12,          // set once dead-pixel correction was switched
    FEATURE_COOLED = 13,              // cooled product: temperature curve
    FEATURE_EXTRA_RESOLUTION = 21,    // last capture resolution is extraResolutionName
    FEATURE_FLAG_COUNT = 21,
};

// ---------------------------------------------------------------------------------
// The current device's parameter information.
struct CameraParamInfo {
    int productIndex = -1;
    BYTE sensorKind = 0;
    CString modelName;
    int reservedWord = 0;
    int productId = 0;
    CString deviceName;
    int featureFlags[FEATURE_FLAG_COUNT] = {0, 1, 1, 1, 1, 1, 0, 1, 1, 0, 1,
                                            0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    int previewResolutionCount = 1;
    int captureResolutionCount = 1;
    CString extraResolutionName;
    CString reservedName;
    int aeTargetMin = 40, aeTargetMax = 200;
    int gainRegisterMin = 1, gainRegisterMax = 100;
    int range3[3] = {50, 150, 0};
    int range4[3] = {100, 0, 255};
    int range5[2] = {0, 255};
    int redGainMin = 20, redGainMax = 238;
    int greenGainMin = 20, greenGainMax = 238;
    int blueGainMin = 20, blueGainMax = 238;
    int colorTemperatureMin = 0, colorTemperatureMax = 63;
    int gainStepMin = 1, gainStepMax = 3;
    int exposureStepMin = 1, exposureStepMax = 100;
    int exposureMin = 1, exposureMax = 100;   // microseconds
    float exposureUnit = 1.0f;                // milliseconds
    int maxExposure = 1000;
    int gammaMin = -20, gammaMax = 20;
    int contrastMin = -20, contrastMax = 20;
    int saturationMin = -20, saturationMax = 20;
    int gainFactorMin = 1, gainFactorMax = 11;
    int shiftOperatorMin = 1, shiftOperatorMax = 4;
    int range6[2] = {-30, 30};
    int denoiseMin = 0, denoiseMax = 10;
    int sharpnessMin = 0, sharpnessMax = 10;

    // Flag n counted from 1, as the products' tables number them.
    int Feature(int n) const { return (n >= 1 && n <= FEATURE_FLAG_COUNT) ? featureFlags[n - 1] : 0; }
};

// The current parameters (the device's last-parameter block; the manager keeps its own
// copy). Field numbers in comments are the ones other code refers to.
struct CameraCurParam {
    int aeOn = 0;                 // 1
    int exposureTime = 33000;     // 2, microseconds
    int aeTarget = 100;           // 3
    int gain = 1;                 // 4, register steps
    int gainStep = 1;             // 5
    int exposureStep = 20;        // 6
    int exposureLines = 1;        // 7
    int redGain = 64;             // 8, 64 = 1.0
    int greenGain = 64;           // 9
    int blueGain = 64;            // 10
    int defaultRedGain = 64;      // 11, white-balance defaults
    int defaultGreenGain = 64;    // 12
    int defaultBlueGain = 64;     // 13
    int gamma = 100;              // 14, device values
    int contrast = 0;             // 15
    int saturation = 128;         // 16
    int blackLevel = 0;           // 17
    int HDAutoWB = 0;             // 18
    int colorEnhancement = 0;     // 19
    int mirror[2] = {0, 0};       // 20, 21: axis 0, axis 1
    int monochrome = 0;           // 22
    int dataWide = 0;             // 23, 16-bit data
    int flatField = 0;            // 24
    int value25 = 0;              // 25
    BYTE HDFrameSpeed = 1;        // 26
    int value27 = 0;              // 27
    BYTE b2rgbMode = 0;           // 28
    BYTE paramSetNumber = 0;      // 29
    BYTE modeByte = 4;            // 30
    int gainFactor = 1;           // 31
    int gammaValue = 0;           // 32, converted (display) values
    int contrastValue = 0;        // 33
    int saturationValue = 0;      // 34
    int switch35 = 1;             // 35
    int CoolingDegree = -30;      // 36, degrees Celsius
    int denoise = 0;              // 37
    int sharpness = 0;            // 38
    int colorTemperature = 0;     // 39, step 0..63
    int filter = 0;               // 40
};

// Fluorescence dye settings: eight ints, copied as 32 bytes.
struct DyeSettings {
    int ApplyDye = 0;
    int ColorIndex = 40;
    int NameIndex = 78;
    int ExWaveLen = 550;   // nanometres
    int EmWaveLen = 550;   // nanometres
    int R = 255;
    int G = 255;
    int B = 255;
};

// Capture settings and capture request.
struct CaptureParam {
    int IsCaptureDlg = 0;          // 1  ask for each file name
    CString Path;                  // 2  folder, ending in a backslash
    CString FileName;              // 3  name prefix
    BYTE CaptureType = CAPTURE_TYPE_TIFF;  // 4
    BYTE PictureType = CAPTURE_TYPE_TIFF;  // 5
    int Count = 1;                 // 6  shots of a series
    int Space = 2000;              // 7  milliseconds between series shots
    int IsNum = 1;                 // 8
    int IsTimeStamp = 0;           // 9
    int IsLapse = 0;               // 10
    int Compress = 0;              // 11 video compressor code
    int CompressID = 0;            // 12
    int AviFrame = 10;             // 13 seconds (time mode) or frames
    int IsTimeRecord = 0;          // 14
    int IsManual = 0;              // 15
    int ProcessingEnabled = 0;     // 16 fluorescence capture flag
    int FluorescenceType = 0;      // 17 0 none, 1 gain transform, 2 averaged still
    CWnd* ReceiveWnd = nullptr;    // 18 gets WM_CAPTURE_DONE / WM_CAPTURE_PROGRESS
    int CombineMeasurement = 0;    // 19
    CQrMeasure* Measure = nullptr; // 20
    CCaptureOverlay* Overlay = nullptr; // 21
    int IsMode = 0;                // 22 time-lapse video
    int FPS = 25;                  // 23
    int Interval = 10000;          // 24 milliseconds
};

// The comparison image; the pointer and the lock are the library's, read-only here.
struct ComparisonParam {
    int width = 0;
    int height = 0;
    int bytesPerPixel = 3;
    BYTE* image = nullptr;
    int display = 0;
    float transparency = 0.5f;
    CCriticalSection* lock = nullptr;
};

// The manager's settings record. The team arrays always hold PARAM_TEAM_ENTRIES
// entries once the library has filled the record. Not copyable: the library copies it
// field by field (QrCCameraGetMgrParameter / QrCCameraSetMgrParameter).
struct CameraMgrParam {
    int mode = 0;                  // 1  1 for types 18, 19, 26
    int cameraType = CAMERA_TYPE_NONE;  // 2
    int sensorKind = 0;            // 3
    BYTE runState = 2;             // 4  0 live, 2 stopped
    BYTE ResCapture = 0;           // 5
    BYTE ResPreview = 0;           // 6
    int ResLock = 0;               // 7
    int longExposure = 0;          // 8
    int exposureChanged = 0;       // 9
    int aeLock = 0;                // 10
    int captureRunning = 0;        // 11
    int LockShowAgain = 0;         // 12
    int LockShowAgain1 = 0;        // 13
    BYTE showChannel = 3;          // 14 0, 1, 2 one channel, 3 all
    int gamma[4] = {100, 100, 100, 100};      // 15
    int levelsLow[4] = {0, 0, 0, 0};          // 16
    int levelsHigh[4] = {255, 255, 255, 255}; // 17
    int autoLevels[4] = {0, 0, 0, 0};         // 18
    DyeSettings dye;               // 19
    BYTE CntParam = 0;             // 20 teams in use
    CStringArray teamNames;             // 21 Param%d
    CArray<BYTE, BYTE> teamPreviewRes;  // 22 Param%d_PreRes
    CArray<BYTE, BYTE> teamCaptureRes;  // 23 Param%d_CapRes
    CArray<int, int> teamResLock;       // 24 Param%d_ResLock
    CArray<BYTE, BYTE> teamSetNumber;   // 25 Param%d_Index
    CArray<int, int> teamWBLock;        // 26 Param%d_WBLock
    CArray<BYTE, BYTE> teamAELock;      // 27 Param%d_AELock
    CArray<int, int> teamExposure;      // 28 Param%d_Exp
    CArray<int, int> teamGain;          // 29 Param%d_Gain
    CaptureParam capture;               // 30
};

// ---------------------------------------------------------------------------------
// Exports. Each answers a result code above unless said otherwise.
#ifdef __cplusplus
extern "C" {
#endif

// Camera choice and lifetime
int WINAPI QrCReflashCamera(void);
int WINAPI QrCChoiceCamera(int index);
int WINAPI QrCSetCamera(int cameraType);
// currentLeft (may be null) is set to 1 when a removal names the current camera.
int WINAPI QrCChangeCamera(int* currentLeft, const char* devicePath, int arrived);
int WINAPI QrCRemoveCurrentCamera(void);
int WINAPI QrCRegisterCamera(HWND comboBox);
int WINAPI QrCGetCameraCount(int* count);
int WINAPI QrCGetCameraGUID(GUID* guid);
int WINAPI QrCCameraInit(int previewResolution, CWnd* drawWindow, HWND displayWindow, int flag);
int WINAPI QrCCameraUnInit(void);
int WINAPI QrCCameraMgrUninitialize(void);
int WINAPI QrCCameraSetResDefault(void);

// Resolution and display
int WINAPI QrCCameraRegisterpixclk(HWND comboBox);
int WINAPI QrCCameraRegisterpixel(HWND comboBox, int previewList);
int WINAPI QrCCameraSetResPreview(int index);
int WINAPI QrCCameraSetResCapture(int index);
int WINAPI QrCCameraSetResLockState(int lock);
int WINAPI QrCCameraSetLongExposureState(int on);
int WINAPI QrCCameraSetAELock(int lock);
int WINAPI QrCCameraCropImage(const RECT* screenRect);
int WINAPI QrCCameraRestoreImage(void);
int WINAPI QrCCameraSetShowRect(const RECT* rect);
int WINAPI QrCCameraGetShowRect(RECT* rect);
int WINAPI QrCDrawImage(void);
int WINAPI QrCCameraGetImageSize(int* width, int* height);
int WINAPI QrCCameraSetDrawHWnd(HWND wnd);
int WINAPI QrCCameraSetDrawHDC(HDC dc);
int WINAPI QrCCameraGetDrawHDC(HDC* dc);

// Capture and recording
int WINAPI QrCCameraCapture(const CaptureParam* request);
int WINAPI QrCCameraSetCapParameter(const CaptureParam* settings);
int WINAPI QrCCameraSetCameraCaptureConfig(const CaptureParam* settings);
int WINAPI QrCCameraSetMakeVideo(int on);
int WINAPI QrCCameraStopRecording(void);
// CAM_FAILED after a recording that got no frame: its file is removed and unnamed.
int WINAPI QrCCameraReleaseCapture(void);
int WINAPI QrCCameraGetSaveImageFileName(CString* name, int index);

// Exposure, gain and colour
int WINAPI QrCCameraSetAeState(int on);
int WINAPI QrCCameraSetAWBState(int mode);
int WINAPI QrCCameraSetABBState(void);
int WINAPI QrCCameraSetAreaWBState(const RECT* area);
int WINAPI QrCCameraSetAeTarget(int target);
int WINAPI QrCCameraSetAnalogGain(int gain);
int WINAPI QrCCameraSetISO(int step);
int WINAPI QrCCameraSetGainValue(int factor);
int WINAPI QrCCameraGetRowTime(float* rowTime);
int WINAPI QrCCameraSetExposureTimeMS(int microseconds, int apply);
int WINAPI QrCCameraSetExposureLineTime(int lines);
int WINAPI QrCCameraSetExposureValue(int step);
int WINAPI QrCCameraValueToTime(int* milliseconds, int value);
int WINAPI QrCCameraTimeToValue(int* value, int milliseconds);
int WINAPI QrCCameraReStartLongExpTime(void);
int WINAPI QrCCameraSetGain(int red, int green, int blue);
int WINAPI QrCCameraSetGamma(int gamma);
int WINAPI QrCCameraSetGammaValue(int display);
int WINAPI QrCCameraSetSaturation(int saturation);
int WINAPI QrCCameraSetSaturationValue(int display);
int WINAPI QrCCameraSetColorEnhancement(int on);
int WINAPI QrCCameraSetDataWide(int on);
int WINAPI QrCCameraSetContrast(int contrast);
int WINAPI QrCCameraSetContrastValue(int display);
int WINAPI QrCCameraSetMirror(int axis, int on);
int WINAPI QrCCameraSetMonochrome(int on);
int WINAPI QrCCameraSetBlackLevel(int level);
int WINAPI QrCTransformGainExposure(int on);
int WINAPI QrCCameraSetFrameSpeed(int speed);
int WINAPI QrCCameraSetLightFrquency(int value);
int WINAPI QrCCameraSetB2RGBMode(int mode);
int WINAPI QrCCameraSetColorTemperature(int step);
int WINAPI QrCCameraGetColorTemperature(int* step);
int WINAPI QrCCameraSetShiftOperator(int value);
int WINAPI QrCCameraGetShiftOperator(int* value);
int WINAPI QrCCameraSetDenoise(int value);
int WINAPI QrCCameraGetDenoise(int* value);
int WINAPI QrCCameraSetSharpness(int value);
int WINAPI QrCCameraGetSharpness(int* value);
int WINAPI QrCCameraSetFilter(int on);

// Flat field and dead pixels
int WINAPI QrCCameraCalcFlatFielding(void);
int WINAPI QrCCameraSetFlatFieldingState(int on);
int WINAPI QrCCameraCorrectionDead(void);
int WINAPI QrCCameraSetCorrectionDeadState(int on);

// Levels, gamma and histogram
int WINAPI QrCCameraSetGammaEx(int gamma);
int WINAPI QrCCameraGetGammaEx(int* gamma);
int WINAPI QrCCameraSetLevelsValues(int low, int high);
int WINAPI QrCCameraGetLevelsValues(int* low, int* high);
int WINAPI QrCCameraSetAutoLevelsState(int on);
int WINAPI QrCCameraSetShowChannel(int channel);
int WINAPI QrCCameraLevelsDefault(void);
int WINAPI QrCCameraCalcAreaLevels(const RECT* area);
int WINAPI QrCDrawHistogramFram(CDC* dc, const RECT* rect);
int WINAPI QrCDrawHistogramData(CDC* dc, const RECT* rect);

// Parameter store and teams
int WINAPI QrCCameraReadValue(void);
int WINAPI QrCCameraSaveParameter(int setNumber);
int WINAPI QrCCameraReadParameter(int setNumber);
int WINAPI QrCCameraGetCurrentParameterTeam(BYTE* setNumber);
int WINAPI QrCCameraParameterInit(void);
int WINAPI QrCCameraParameterApply(void);
int WINAPI QrCCameraParameterReset(void);
int WINAPI QrCCameraParameterDefault(int mode);
int WINAPI QrCCameraGetParameterInfo(CameraParamInfo* info, int cached);
int WINAPI QrCCameraGetLastParameter(CameraCurParam* param);
int WINAPI QrCCameraGetCurParameter(CameraCurParam* param);
int WINAPI QrCCameraGetMgrParameter(CameraMgrParam* param);
int WINAPI QrCCameraSetMgrParameter(const CameraMgrParam* param);
int WINAPI QrCCameraAddParamterTeam(const CString* name);
int WINAPI QrCCameraDelParamterTeam(int index);
int WINAPI QrCCameraReadParamterTeam(int index);
int WINAPI QrCCameraSaveParamterTeam(int index);
int WINAPI QrCCameraSetParamterTeamName(int index, const CString* name);
int WINAPI QrCCameraSetMsgLock(int on);
int WINAPI QrCCameraSetCapMsgLock(int on);
int WINAPI QrCCameraBackupParameter(const CString* folder);
int WINAPI QrCCameraRecoverParameter(const CString* folder);

// Cross, comparison and position overlays
int WINAPI QrCCameraShowCross(int on);
int WINAPI QrCCameraGetShowCross(int* on);
int WINAPI QrCCameraSetCrossColor(COLORREF color);
int WINAPI QrCCameraGetCrossColor(COLORREF* color);
int WINAPI QrCSetComparisonImage(const BYTE* pixels, int width, int height, int bytesPerPixel);
int WINAPI QrCSetTransparency(float transparency);
int WINAPI QrCSetCmpImageDisplay(int on);
int WINAPI QrCGetComparisonParam(ComparisonParam* param);
int WINAPI QrCCameraDrawXY(CDC* dc, const RECT* client, const POINT* cursor, int xOffset, int yOffset);

// Fluorescence, temperature and filter
int WINAPI QrCCameraFluoSpeedupRes(int on);
int WINAPI QrCCameraSetFluorescenceDye(const DyeSettings* dye);
int WINAPI QrCCameraFluorescenceGuide(CWnd* guide, int step);
int WINAPI QrCCameraSetHWndReceive(HWND wnd);
int WINAPI QrCCameraSetTemperature(float degrees);
int WINAPI QrCCameraGetCurTemperature(float* degrees);
int WINAPI QrCCameraDrawTemperature(CDC* dc, const RECT* area);

// Line approach
int WINAPI QrCCameraLineApproach(int x1, int y1, int x2, int y2, POINT* out1, POINT* out2);
int WINAPI QrCCameraLineApproachEx(const BYTE* bits, int width, int height, int x1, int y1,
                                   int x2, int y2, POINT* out1, POINT* out2);

#ifdef __cplusplus
}
#endif
