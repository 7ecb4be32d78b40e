// CCameraManager: the one process-wide camera manager behind the exports. It owns the
// current device, the camera lists, the live buffers and threads and the settings
// record. Its operations are spread over the CameraManager*.cpp files by family.
//
// Threads: the exports run on the caller's thread; the grab and display threads (and
// later the capture, recording and temperature workers) share the flags below as
// polled words and the frame buffers under the critical sections. Camera choice,
// QrCCameraInit, QrCCameraUnInit and QrCCameraMgrUninitialize must not be called from
// two threads at once.
#pragma once

#include "camera/core/QrCCamera.h"
#include "camera/core/RegistryKey.h"
#include "camera/device/CameraDevice.h"
#include "camera/device/CameraListBase.h"

#include <vfw.h>

#include <vector>

class CBandWorkers;
class CUsbHostInterface;

// Builds the device for a camera-type code (null: no class for that code).
typedef CCameraDevice* (*CameraDeviceFactoryFn)(int cameraType);

class CCameraManager {
public:
    // The instance, created on the first call.
    static CCameraManager& Instance();
    virtual ~CCameraManager();

    // --- one operation per export (same name without the QrC / QrCCamera prefix) ---
    int ReflashCamera();
    int ChoiceCamera(int index);
    int SetCamera(int cameraType);
    int ChangeCamera(int* currentLeft, const char* devicePath, int arrived);
    int RemoveCurrentCamera();
    int RegisterCamera(HWND comboBox);
    int GetCameraCount(int* count);
    int GetCameraGUID(GUID* guid);
    int InitCamera(int previewResolution, CWnd* drawWindow, HWND displayWindow, int flag);
    int UnInitCamera();
    int MgrUninitialize();
    int SetResDefault();
    int Registerpixclk(HWND comboBox);
    int Registerpixel(HWND comboBox, int previewList);
    int SetResPreview(int index);
    int SetResCapture(int index);
    int SetResLockState(int lock);
    int SetLongExposureState(int on);
    int SetAELock(int lock);
    int CropImage(const RECT* screenRect);
    int RestoreImage();
    int SetShowRect(const RECT* rect);
    int GetShowRect(RECT* rect);
    int DrawImage();
    int GetImageSize(int* width, int* height);
    int SetDrawHWnd(HWND wnd);
    int SetDrawHDC(HDC dc);
    int GetDrawHDC(HDC* dc);
    int Capture(const CaptureParam* request);
    int SetCapParameter(const CaptureParam* settings);
    int SetCameraCaptureConfig(const CaptureParam* settings);
    int SetMakeVideo(int on);
    int StopRecording();
    int ReleaseCapture();
    int GetSaveImageFileName(CString* name, int index);
    int SetAeState(int on);
    int SetAWBState(int mode);
    int SetABBState();
    int SetAreaWBState(const RECT* area);
    int SetAeTarget(int target);
    int SetAnalogGain(int gain);
    int SetISO(int step);
    int SetGainValue(int factor);
    int GetRowTime(float* rowTime);
    int SetExposureTimeMS(int microseconds, int apply);
    int SetExposureLineTime(int lines);
    int SetExposureValue(int step);
    int ValueToTime(int* milliseconds, int value);
    int TimeToValue(int* value, int milliseconds);
    int ReStartLongExpTime();
    int SetGain(int red, int green, int blue);
    int SetGamma(int gamma);
    int SetGammaValue(int display);
    int SetSaturation(int saturation);
    int SetSaturationValue(int display);
    int SetColorEnhancement(int on);
    int SetDataWide(int on);
    int SetContrast(int contrast);
    int SetContrastValue(int display);
    int SetMirror(int axis, int on);
    int SetMonochrome(int on);
    int SetBlackLevel(int level);
    int TransformGainExposure(int on);
    int SetFrameSpeed(int speed);
    int SetLightFrquency(int value);
    int SetB2RGBMode(int mode);
    int SetColorTemperature(int step);
    int GetColorTemperature(int* step);
    int SetShiftOperator(int value);
    int GetShiftOperator(int* value);
    int SetDenoise(int value);
    int GetDenoise(int* value);
    int SetSharpness(int value);
    int GetSharpness(int* value);
    int SetFilter(int on);
    int CalcFlatFielding();
    int SetFlatFieldingState(int on);
    int CorrectionDead();
    int SetCorrectionDeadState(int on);
    int SetGammaEx(int gamma);
    int GetGammaEx(int* gamma);
    int SetLevelsValues(int low, int high);
    int GetLevelsValues(int* low, int* high);
    int SetAutoLevelsState(int on);
    int SetShowChannel(int channel);
    int LevelsDefault();
    int CalcAreaLevels(const RECT* area);
    int DrawHistogramFram(CDC* dc, const RECT* rect);
    int DrawHistogramData(CDC* dc, const RECT* rect);
    int ReadValue();
    int SaveParameter(int setNumber);
    int ReadParameter(int setNumber);
    int GetCurrentParameterTeam(BYTE* setNumber);
    int ParameterInit();
    int ParameterApply();
    int ParameterReset();
    int ParameterDefault(int mode);
    int GetParameterInfo(CameraParamInfo* info, int cached);
    int GetLastParameter(CameraCurParam* param);
    int GetCurParameter(CameraCurParam* param);
    int GetMgrParameter(CameraMgrParam* param);
    int SetMgrParameter(const CameraMgrParam* param);
    int AddParamterTeam(const CString* name);
    int DelParamterTeam(int index);
    int ReadParamterTeam(int index);
    int SaveParamterTeam(int index);
    int SetParamterTeamName(int index, const CString* name);
    int SetMsgLock(int on);
    int SetCapMsgLock(int on);
    int BackupParameter(const CString* folder);
    int RecoverParameter(const CString* folder);
    int ShowCross(int on);
    int GetShowCross(int* on);
    int SetCrossColor(COLORREF color);
    int GetCrossColor(COLORREF* color);
    int SetComparisonImage(const BYTE* pixels, int width, int height, int bytesPerPixel);
    int SetTransparency(float transparency);
    int SetCmpImageDisplay(int on);
    int GetComparisonParam(ComparisonParam* param);
    int DrawXY(CDC* dc, const RECT* client, const POINT* cursor, int xOffset, int yOffset);
    int FluoSpeedupRes(int on);
    int SetFluorescenceDye(const DyeSettings* dye);
    int FluorescenceGuide(CWnd* guide, int step);
    int SetHWndReceive(HWND wnd);
    int SetTemperature(float degrees);
    int GetCurTemperature(float* degrees);
    int DrawTemperature(CDC* dc, const RECT* area);
    int LineApproach(int x1, int y1, int x2, int y2, POINT* out1, POINT* out2);
    int LineApproachEx(const BYTE* bits, int width, int height, int x1, int y1, int x2, int y2, POINT* out1, POINT* out2);

    // --- live threads ------------------------------------------------------------
    int StartPreview();
    int StopPreview(int keep);

    // --- pieces other families fill (each in its own CameraManager*.cpp) --------
    int SaveSettings();           // registry: ParamMgr values, then the camera's key
    int LoadCameraSettings();     // registry: the current camera's key
    void ReadMgrSettings();       // registry: ParamMgr values at creation
    void StartTemperatureWorker();
    void StopTemperatureWorker();
    void StopRecordingAndWait();  // ends a running recording, waits for its end worker
    void CloseVideoFile();
    void EndGainTransform();

    // --- wiring and test hooks ---------------------------------------------------
    // Replaces the device factory (tests drive the manager with devices of their own);
    // null restores CreateCameraDevice.
    static void SetDeviceFactory(CameraDeviceFactoryFn factory);
    // Replaces the three camera lists (the old ones are closed and deleted; the manager
    // owns the new ones; null = missing).
    void InstallCameraLists(CCameraListBase* core, CCameraListBase* coreB, CCameraListBase* minor);
    // The USB host the scan walks (a test seam); null takes CreateUsbHost's, which is this
    // machine's controllers unless the camera bench holds driver cameras.
    void SetUsbHost(CUsbHostInterface* host) { m_pUsbHost = host; }

    CCameraDevice* GetDevice() const { return m_pDevice; }
    const CameraMgrParam& GetSettings() const { return m_param; }
    BOOL IsInitialized() const { return m_bInitialized; }
    BOOL IsLiveRunning() const { return m_runState != RUN_STOPPED; }

    enum { RUN_LIVE = 0, RUN_STOPPED = 2 };
    enum { FRAME_BUFFER_COUNT = 5 };
    enum { BUF_RECEIVE, BUF_READY, BUF_WORKING, BUF_DECODED, BUF_PROCESSING };
    // Device parameter set that holds the settings of the last run.
    enum { LAST_RUN_PARAMETER_SET = 21 };

    // --- capture and video family -------------------------------------------------
    // The name of a shot (built from the settings or asked for); FALSE when cancelled
    // or the folder is missing (after library string 27 was shown).
    BOOL MakeCaptureFileName(CString* name, CaptureParam* settings, int shot);
    // Display thread, after drawing: hands the decoded frame to a running recording.
    void RecordDisplayedFrame(const BYTE* pixels);
    // Test hook: the bytes a video file may reach before the next part begins
    // (0 restores the AVI limit of 2 GB).
    static void SetVideoSplitBytes(INT64 bytes);
    // Set for the process once ParameterInit has run for product 37 or 38 (never
    // cleared): the Save-As dialog then offers no RAW filter.
    static volatile LONG s_noRawFilter;

    // --- parameter store and operations -----------------------------------------
    // Registry name of the current camera model (shared by every camera of a model).
    CString GetCameraName() const;
    // "Software\<company>\<program>"; the ParamMgr and Camera keys live below it.
    static CString ProgramKeyPath();
    int ApplyCurrentParameters();
    // Longest wait for the device's white-balance, flat-field and exposure polls, and
    // for regedit; tests shorten it.
    static void SetPollTimeout(DWORD milliseconds) { s_pollTimeout = milliseconds; }

private:
    friend class CCameraManagerProbe;   // tests look at the live state

    CCameraManager();
    CCameraManager(const CCameraManager&) = delete;
    CCameraManager& operator=(const CCameraManager&) = delete;

    // Device choice helpers.
    CCameraDevice* NewDevice(int cameraType);
    void RemoveDevice();
    void ApplyListPreset(CCameraListBase* list, int cameraType);
    void CopyDeviceInfo();
    int ScanUsbForCamera();

    // Open / close helpers.
    int CloseCamera();
    int ReinitRunningCamera(int previewResolution, CWnd* drawWindow, HWND displayWindow, int flag);
    void ReleaseLiveResources();
    INT64 ComputeBufferSize(int width, int height);
    BOOL AllocateFrameBuffers(INT64 size);
    void FreeFrameBuffers();
    void TakeDrawDC(HWND wnd);
    void ReleaseDrawDC();
    HWND DrawWindowHandle() const;
    HWND DrawParentHandle() const;

    void InitTeamArrays();
    static void CopyMgrParam(CameraMgrParam& to, const CameraMgrParam& from);
    void NormaliseTeamArrays();

    // Live threads.
    static void GrabThreadProc(void* self);
    static void DisplayThreadProc(void* self);
    static void PresentThreadProc(void* self);
    static void CALLBACK FrameCallback(BYTE* frame, int size, void* context);
    void GrabLoop();
    void DisplayLoop();
    void PresentLoop();
    void HandOverFrame();
    static void UpdateRate(float& rate, int& count, DWORD& lastTick);

    // What the display thread hands the presenter: where the decoded picture lies in
    // the processing buffer and how it is to be shown.
    struct PresentJob {
        INT64 offset = 0;               // pixels after the image record's header
        int width = 0, height = 0;      // of the frame
        int bytesPerPixel = 3;
        RECT source = {0, 0, 0, 0};     // the shown part of the frame
        int viewWidth = 0, viewHeight = 0;
        bool drawable = false;
        bool cropped = false;
        float focus = 0.0f;
    };
    void ScaleIntoView(const BYTE* pixels, const PresentJob& job);
    void DrawView();
    void FreeViews();

    // Live pipeline, levels and temperature helpers.
    float ComputeFocusValue(const BYTE* pixels) const;
    void RunWhiteBalanceCountdown();
    BOOL MapWindowRectToFrame(const RECT* windowRect, RECT* frameRect) const;
    // Cuts a rectangle of frame pixels to the frame.
    void ClampToFrame(RECT* frameRect) const;
    static DWORD WINAPI TemperatureThreadProc(void* self);
    void TemperatureLoop();
    BOOL IsCooledProduct() const;

    // --- live state ---------------------------------------------------------------
    volatile int m_runState;            // RUN_LIVE or RUN_STOPPED
    int m_frameWidth, m_frameHeight;
    INT64 m_frameBufferSize;
    BYTE* m_buffers[FRAME_BUFFER_COUNT];
    volatile int m_newFrame;
    volatile int m_frameReceived;       // a frame arrived since the last start
    volatile int m_noticeArmed;
    // A stored exposure waiting for its apply must outlive the grab thread's read-back.
    CCriticalSection m_exposureLock;
    HANDLE m_hGrabEnd, m_hDisplayEnd, m_hCaptureEnd;
    HANDLE m_hLiveStop = nullptr;       // set by StopPreview: ends the threads' waits
    HDC m_hDrawDC;
    HWND m_hDrawDCWnd;                  // window the DC came from (GetDC); null when not ours
    HDRAWDIB m_hDrawDib;
    BITMAPINFOHEADER m_bmih;
    RECT m_displayRect;                 // drawing size
    RECT m_sourceRect;                  // part of the frame shown
    BYTE* m_cropBuffer;
    volatile int m_cropped;
    // Display pipeline: the display thread decodes; the presenter scales the shown part
    // into a 32-bit picture of the display size on the band workers and draws it 1:1.
    HANDLE m_hNewFrameEvent = nullptr;  // a frame was handed over
    HANDLE m_hPresentEvent = nullptr;   // a decoded picture waits for the presenter
    HANDLE m_hPresentEnd = nullptr;
    PresentJob m_presentJob;            // with m_presentPending, under the processing lock
    volatile int m_presentPending = 0;
    BYTE* m_views[2] = {nullptr, nullptr};   // shown (under the draw lock) and being filled
    size_t m_viewCapacity[2] = {0, 0};
    BITMAPINFOHEADER m_viewHeader;      // of the shown picture
    CCriticalSection m_drawLock;        // the drawing context and the shown picture
    CBandWorkers* m_pBandWorkers = nullptr;
    std::vector<int> m_viewColumns;     // source byte offset of each picture column
    RECT m_viewColumnsFor = {0, 0, 0, 0};
    int m_viewColumnsWidth = 0, m_viewColumnsBytes = 0;
    // Since the live start: frames shown, and frames left out because a newer one came
    // before they were decoded or drawn.
    volatile LONG m_framesShown = 0, m_framesSkipped = 0;
    float m_grabRate, m_displayRate;
    int m_grabCount, m_displayCount;
    DWORD m_grabTick, m_displayTick;
    // Live pipeline: focus, crop guard, last cursor of the grid.
    float m_focusValue = 0.0f;
    volatile int m_focusBusy = 0;
    CCriticalSection m_cropLock;        // m_cropBuffer and the crop source rectangle
    POINT m_lastCursor = {0, 0};
    UINT64 m_comparisonCapacity = 0;    // bytes allocated for the comparison image
    // Temperature: the worker wakes on the stop event.
    HANDLE m_hTemperatureStop = nullptr, m_hTemperatureEnd = nullptr;
    HANDLE m_hTemperatureThread = nullptr;
    volatile int m_temperatureRunning = 0;
    // Displayed frames until the one automatic white balance of the process; -1 once done.
    static volatile LONG s_whiteBalanceCountdown;

    // --- windows --------------------------------------------------------------------
    CWnd* m_pDrawWnd;
    // The guide window's handle, taken at registration: the window object may be gone
    // (a wizard on its creator's stack) while the grab thread still posts to it.
    HWND m_hGuideWnd;
    CCriticalSection m_guideLock;
    HWND m_initWindow;                  // value A of QrCCameraInit
    BYTE m_initFlag;                    // low byte of value B

    // --- flags ------------------------------------------------------------------------
    volatile BOOL m_bInitialized;
    BOOL m_bReinitForCapture;
    volatile BOOL m_bRecording;
    BOOL m_bFirstUseHandled;
    BOOL m_bStartTeamLoaded;
    int m_splitCount;
    INT64 m_framesPerFile;
    int m_recordRateKept;

    // --- records ----------------------------------------------------------------------
    CameraMgrParam m_param;
    CStringArray m_captureFiles;
    CString m_singleShotName;
    int m_showCross;
    COLORREF m_crossColor;
    ComparisonParam m_comparison;
    int m_coolingSetPoint;
    int m_temperatureHistory[172];
    CameraParamInfo m_info;             // the current device's parameter information
    CameraCurParam m_cur;               // the current parameters
    HWND m_hTemperatureWnd;

    // --- parameter store and operations -----------------------------------------------
    CRegistryBatch::Memo m_mgrKeyMemo, m_cameraKeyMemo;   // what the last saves wrote
    CCriticalSection m_saveLock;        // saves come from the caller's and the capture thread
    void WriteMgrSettings();
    void WriteCameraSettings();
    void ClampResolutions();
    void ClampChannelGains();
    void ReadChannelGains();
    void ReadExposureBack(bool driverCamera);
    static int ExposureLines(int exposureUs, float rowTimeUs);
    void ReadGainBack();
    void ResetTeamEntry(int index);
    int PollDevice(bool flatField);
    BOOL m_bGainTransformActive = FALSE;
    int m_savedExposure = 0;
    int m_savedGainRegister = 0;
    BOOL m_bFlatFieldCalculated = FALSE;
    BOOL m_bFluoSpeedupOn = TRUE;       // on while the library runs until a call turns it off
    int m_fluoResolution = -1;          // resolution to return to after a speed-up (-1: none yet)
    int m_lightFrequency = 0;
    float m_rowTime = 1.0f;             // microseconds, as the devices give it
    int m_deadPixelState = 0;
    int m_shiftOperator = 1;
    static DWORD s_pollTimeout;

    // --- owned objects ----------------------------------------------------------------
    CCameraDevice* m_pDevice;
    CCameraListBase* m_pCoreList;       // ZedOdir, first list
    CCameraListBase* m_pCoreListB;      // ZedOdir, second list
    CCameraListBase* m_pMinorList;      // ZuzIrazo list
    CUsbHostInterface* m_pUsbHost;
    BOOL m_bComInitialized;

    // Made by QrCCameraInit, deleted when the camera closes.
    CCriticalSection* m_pFrameLock;     // frame hand-over
    CCriticalSection* m_pSpareLock1;
    CCriticalSection* m_pDisplayLock;
    CCriticalSection* m_pProcessLock;   // always taken inside the display lock
    CCriticalSection* m_pSpareLock2;
    // Made at construction.
    CCriticalSection m_recordLock;
    CCriticalSection m_comparisonLock;

    // --- capture and video family -------------------------------------------------
    static void DriverCaptureThreadProc(void* self);
    static void LibraryCaptureThreadProc(void* self);
    static void RecordEndThreadProc(void* self);
    void DriverCaptureWorker();
    void LibraryCaptureWorker();
    BOOL TakeDriverStill(const CString& name);
    BOOL TakeLibraryStill(const CString& name);
    BOOL TakeBinnedStill(const CString& bare);
    BOOL TakeLibraryCroppedStill(const CString& name);
    BOOL TakeDoubledStill(const CString& bare);
    BOOL TakeAveragedStill32(const CString& bare);
    BOOL TakeStill33(const CString& bare);
    BOOL TakeThirdKindStill(const CString& bare);
    int BinnedStillExposure(int exposure, BOOL speedSwitch) const;
    int GrabFrameTries(BYTE* frame, int tries);
    int LibraryGrab(BYTE* frame);
    BOOL AverageFrames(BYTE* target, INT64 bytes, INT64 headerBytes, BOOL samples16);
    BOOL MergeOverlays(BYTE* pixels, int width, int height, int bytesPerPixel);
    BOOL WaitSeriesInterval(DWORD from, int space);
    void PostCaptureMessage(UINT msg, WPARAM wp, LPARAM lp);
    int StartRecording(const CString& path);
    void StopRecordingWithConfirm(int confirm);
    void SplitRecording();
    class CAviWriter* m_pAviWriter = nullptr;  // made on the first recording
    int m_captureFilter = 0;            // the library camera's filter before a capture
    volatile int m_captureWait = 0;     // the device writes the file; the display thread clears
    volatile int m_resSwitchPending = 0;
    // Frames handed over since the start; the ready and working frames' numbers in it.
    volatile LONG m_handOverCount = 0;
    LONG m_readySequence = 0, m_workingSequence = 0;
    volatile LONG m_captureAfter = 0;   // a waiting capture wants a frame numbered above this
    volatile DWORD m_grabFailingSince = 0;  // tick of the first failed grab in a row; 0 while frames come
    BOOL DeviceWritesStill(const CString& bare, int format, int index, bool switchPending);
    BOOL WaitForCaptureFrame();
    void ClearCaptureWait(int resolution);
    INT64 m_framesWritten = 0, m_framesInFile = 0, m_bytesInFile = 0;
    DWORD m_recordStartTick = 0, m_recordTimeLimit = 0, m_recordElapsed = 0;
    DWORD m_lastWriteTick = 0, m_fileFirstFrameTime = 0;
    BOOL m_fileTimeSet = FALSE;         // the current file's first frame has come
    BOOL m_frameWritten = FALSE, m_firstFrame = FALSE;
    INT64 m_lastPosition = -1;          // stream position of the last frame in this file
    // A time-limited recording's clock runs from its first written frame, so a slow start
    // (a compressor warming up, a busy machine) shortens nothing and always keeps a frame.
    BOOL m_recordHasFrame = FALSE;
    DWORD m_fileStartElapsed = 0;       // recording time at the current file's first frame
    BOOL m_videoFilePending = FALSE;    // a recording's file waits for QrCCameraReleaseCapture
    BOOL WriteRecordedFrame(const BYTE* pixels, DWORD now, BOOL closing);

    static CameraDeviceFactoryFn s_deviceFactory;
};
