// A driver-library camera of the tests' own: a smooth deterministic scene plus an
// optional noise of known size, decoded to bottom-up BGR (8 or 16 bits a sample).
#pragma once

#include "afxwin.h"
#include "camera/core/CameraManager.h"
#include "support/wintest.h"

#include <atomic>
#include <vector>

struct CaptureCameraSetup {
    int width = 320;
    int height = 240;
    bool wide = false;        // 16-bit samples
    int noise = 0;            // peak noise added to each raw sample (8-bit units)
    int grabResult = 1;       // what GrabFrame answers
    int grabDelayMs = 2;      // each grab takes at least this long
    bool stampTicks = false;  // each frame carries its grab tick (StampOf)
};

extern CaptureCameraSetup g_camera;
extern std::atomic<int> g_grabs;

// The noise-free raw sample at (x, y), top row 0 (16-bit when the camera is wide).
int SceneSample(int x, int y, bool wide);
// The noise-free decoded frame as the writers get it (bottom-up BGR).
std::vector<BYTE> ReferenceImage(bool samples16);
// The grab tick a decoded 8-bit frame carries when stampTicks is on.
DWORD StampOf(const BYTE* decoded, int width, int height);

// Opens the test camera (CAMDRVF: a CCD driver camera, stills decoded by the library)
// with its live threads running, and closes it at the end of the test.
class CaptureCameraTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void OpenCamera();
    // Waits for the capture in progress to end (capture running cleared).
    bool WaitCaptureEnd(DWORD ms = 10000);
    CaptureParam Request(const WCHAR* folder, const WCHAR* prefix, int type);
    MessageReceiver m_receiver;
    CWnd m_receiveWnd;
};

class CCameraManagerProbe {
public:
    static CCameraManager& M() { return CCameraManager::Instance(); }
    static void StopLive() { M().StopPreview(1); }
    static BOOL LiveRunning() { return M().m_runState == CCameraManager::RUN_LIVE; }
    static void SetDisplayRate(float rate) { M().m_displayRate = rate; }
    static float DisplayRate() { return M().m_displayRate; }
    static int FrameHeight() { return M().m_frameHeight; }
    static HANDLE CaptureEnd() { return M().m_hCaptureEnd; }
    static void SetProduct(int index) { M().m_info.productIndex = index; }
    static void SetResolutions(int preview, int capture)
    {
        M().m_param.ResPreview = BYTE(preview);
        M().m_param.ResCapture = BYTE(capture);
    }
    static int FrameWidth() { return M().m_frameWidth; }
    static void SetCrop(const RECT& r)
    {
        M().m_sourceRect = r;
        M().m_cropped = 1;
    }
    static void EndCrop() { M().m_cropped = 0; }
    static void SetThirdKind() { M().m_param.sensorKind = SENSOR_KIND_THIRD; }
    static void SetExtraResolution()
    {
        M().m_info.featureFlags[FEATURE_EXTRA_RESOLUTION - 1] = 1;
        M().m_param.ResPreview = 0;
        M().m_param.ResCapture = BYTE(M().m_info.captureResolutionCount - 1);
    }
};
