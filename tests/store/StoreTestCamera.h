// A camera of the store tests' own: it remembers what the manager asked of it and
// decodes a flat, tinted frame whose channels follow its channel gains.
#pragma once

#include "support/gtest.h"
#include "support/wintest.h"

#include "afxwin.h"
#include "camera/core/CameraManager.h"
#include "external/bench/FrameRecords.h"

#include <string>
#include <vector>

struct StoreCameraSetup {
    int productIndex = -1;
    int width = 64;
    int height = 48;
    BYTE tint[3] = {60, 120, 200};   // blue, green, red at gain 64
    bool awbNeverReady = false;
    bool flatFieldNeverReady = false;
    int filterAnswer = CAM_OK;
    float rowTime = 50.0f;           // microseconds
    int gainRegisterMin = 1;
    int exposure = 20000;            // microseconds
};

class CStoreTestCamera : public CCameraDevice {
public:
    explicit CStoreTestCamera(const StoreCameraSetup& setup);
    ~CStoreTestCamera() override;

    int Init(CameraFrameCallback, int, HWND, HWND, int) override { return CAM_OK; }
    int UnInit() override { return CAM_OK; }
    int GetImageSize(int* width, int* height) override;
    int GrabFrame(BYTE* frame) override;
    int Decode(BYTE* raw, BYTE* image, int width, int height, int rgbOut) override;
    int SaveParameter(int setNumber) override;
    int ReadParameter(int setNumber) override;
    int SetAWBState(int mode) override;
    int GetAWBStateResult(int* busy, int* result) override;
    int CalcFlatFielding() override { return CAM_OK; }
    int GetCalcFlatFieldingState(int* busy, int* result) override;
    int SetFilter(int on) override;
    int GetRowTime(float* rowTime) override;
    int SetExposureTime(int time) override;
    int GetExposureTime(int* microseconds) override;
    int SetExposureLines(int lines) override;
    int SetAnalogGain(int gain) override;
    int GetAnalogGain(short* gain) override;
    int SetGain(int red, int green, int blue) override;
    int GetGain(int* red, int* green, int* blue) override;
    int SetResolution(int index) override;
    int GetResolution(BYTE* index) override;

    StoreCameraSetup setup;
    std::vector<int> setsRead;
    std::vector<int> setsSaved;
    std::vector<int> exposuresWritten;   // in the device's own unit
    std::vector<int> resolutionsSet;
    int gain = 1;
    int rgb[3] = {64, 64, 64};
    int resolution = 0;
};

// The camera the factory made last (null after it was deleted).
extern CStoreTestCamera* g_camera;
extern StoreCameraSetup g_cameraSetup;
CCameraDevice* MakeStoreTestCamera(int cameraType);

// Reaches the manager's lifetime marks (a friend of the manager).
class CCameraManagerProbe {
public:
    static CCameraManager& M() { return CCameraManager::Instance(); }
    // What a new process would start with.
    static void ForgetStartMarks()
    {
        M().m_bFirstUseHandled = FALSE;
        M().m_bStartTeamLoaded = FALSE;
    }
    static CameraMgrParam& Param() { return M().m_param; }
    static CameraCurParam& Cur() { return M().m_cur; }
    static bool FrameReceived() { return M().m_frameReceived != 0; }
    // The bench's number of the newest decoded live frame (0 before the first).
    static uint32_t DecodedFrameNumber()
    {
        CCameraManager& m = M();
        if (!m.m_pDisplayLock || !m.m_buffers[CCameraManager::BUF_DECODED])
            return 0;
        CSingleLock lock(m.m_pDisplayLock, TRUE);
        orvbench::ImageRecord record;
        memcpy(&record, m.m_buffers[CCameraManager::BUF_DECODED], sizeof record);
        return record.headerSize ? record.frameNumber : 0;
    }
    // The newest decoded live frame (8-bit blue, green, red; rows bottom-up).
    static bool DecodedFrame(std::vector<BYTE>& pixels, int& width, int& height)
    {
        CCameraManager& m = M();
        if (!m.m_pDisplayLock || !m.m_buffers[CCameraManager::BUF_DECODED])
            return false;
        CSingleLock lock(m.m_pDisplayLock, TRUE);
        orvbench::ImageRecord record;
        memcpy(&record, m.m_buffers[CCameraManager::BUF_DECODED], sizeof record);
        if (!record.width || record.bits != 8 || record.channels != 3)
            return false;
        width = record.width;
        height = record.height;
        const BYTE* p = m.m_buffers[CCameraManager::BUF_DECODED] + record.headerSize;
        pixels.assign(p, p + size_t(width) * height * 3);
        return true;
    }
};

// Each test starts from no camera and an empty company branch of the registry.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Chooses a test camera of the given type.
    void UseCamera(int cameraType);
};

CString CompanyKey();
// ASCII text of a CString, for comparisons and messages.
std::string Narrow(const CString& text);

