// The camera manager driven through the exports with a device of the tests' own.
#include "support/gtest.h"
#include "support/wintest.h"

#include "afxwin.h"
#include "camera/core/CameraManager.h"

#include <atomic>
#include <set>

// Reaches the manager's live state (declared a friend of CCameraManager).
class CCameraManagerProbe {
public:
    static CCameraManager& M() { return CCameraManager::Instance(); }
    static INT64 BufferSize() { return M().m_frameBufferSize; }
    static BYTE* Buffer(int i) { return M().m_buffers[i]; }
    static HDC DrawDC() { return M().m_hDrawDC; }
    static int RunState() { return M().m_runState; }
    static void SetRecording(BOOL on) { M().m_bRecording = on; }
    static BOOL Recording() { return M().m_bRecording; }
    static void BeginCapture(HANDLE endEvent)
    {
        M().m_param.captureRunning = 1;
        M().m_hCaptureEnd = endEvent;
    }
    static void ForgetCaptureEvent() { M().m_hCaptureEnd = nullptr; }
    static void SetReinitForCapture() { M().m_bReinitForCapture = TRUE; }
};

namespace {

// What the next test camera is made of; a test sets it before QrCSetCamera.
struct TestCameraSetup {
    int width = 640;
    int height = 480;
    int receiveSize = 1000;
    int productIndex = -1;
    int flag1 = 1;          // fluorescence capture permitted
    int flag7 = 0;          // 16-bit data
    int initResult = CAM_OK;
};

TestCameraSetup g_setup;
std::atomic<int> g_liveDevices{0};
std::atomic<int> g_initCalls{0};
std::atomic<int> g_unInitCalls{0};
std::atomic<int> g_suspendCalls{0};
std::atomic<int> g_grabs{0};

class CTestCamera : public CCameraDevice {
public:
    explicit CTestCamera(const TestCameraSetup& setup) : m_setup(setup)
    {
        m_info.productIndex = setup.productIndex;
        m_info.featureFlags[0] = setup.flag1;
        m_info.featureFlags[6] = setup.flag7;
        ++g_liveDevices;
    }
    ~CTestCamera() override { --g_liveDevices; }

    int Init(CameraFrameCallback, int, HWND, HWND, int) override
    {
        ++g_initCalls;
        return m_setup.initResult;
    }
    int UnInit() override
    {
        ++g_unInitCalls;
        return CAM_OK;
    }
    int SuspendDevice() override
    {
        ++g_suspendCalls;
        return CAM_OK;
    }
    int GetImageSize(int* width, int* height) override
    {
        *width = m_setup.width;
        *height = m_setup.height;
        return CAM_OK;
    }
    int GetRecvBufferSize(int* size) override
    {
        *size = m_setup.receiveSize;
        return CAM_OK;
    }
    int GrabFrame(BYTE* frame) override
    {
        Sleep(3);
        frame[0] = static_cast<BYTE>(++g_grabs);
        return 1;
    }
    int Decode(BYTE*, BYTE*, int, int, int) override { return 1; }

private:
    TestCameraSetup m_setup;
};

CCameraDevice* MakeTestCamera(int)
{
    return new CTestCamera(g_setup);
}

class CameraManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Every test starts from a first use: earlier tests' saved settings would be
        // loaded on the next camera change.
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Varnek");
        CCameraManager::SetDeviceFactory(MakeTestCamera);
        QrCSetCamera(CAMERA_TYPE_NONE);
        g_setup = TestCameraSetup();
        g_initCalls = g_unInitCalls = g_suspendCalls = 0;
    }
    void TearDown() override
    {
        QrCSetCamera(CAMERA_TYPE_NONE);
        CCameraManager::SetDeviceFactory(nullptr);
        EXPECT_EQ(g_liveDevices.load(), 0);
    }
};

// A top-level window with a child: the child draws, the parent gets the messages.
class DrawWindows {
public:
    DrawWindows()
    {
        parent = CreateWindowExW(0, L"STATIC", L"preview", WS_POPUP, 0, 0, 320, 240,
                                 nullptr, nullptr, nullptr, nullptr);
        child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 320, 240,
                                parent, nullptr, nullptr, nullptr);
        // The framework may already keep an object for the window; use that one.
        attached = own.Attach(child);
        wnd = attached ? &own : CWnd::FromHandle(child);
    }
    ~DrawWindows()
    {
        if (attached)
            own.Detach();
        DestroyWindow(parent);
    }
    HWND parent = nullptr;
    HWND child = nullptr;
    BOOL attached = FALSE;
    CWnd own;
    CWnd* wnd = nullptr;
};

TEST_F(CameraManagerTest, WithoutDeviceCameraOperationsAnswerNoDevice)
{
    EXPECT_EQ(QrCCameraInit(0, nullptr, nullptr, 1), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(QrCCameraUnInit(), CAM_ERR_NO_DEVICE);
    int w = 0, h = 0;
    EXPECT_EQ(QrCCameraGetImageSize(&w, &h), CAM_ERR_NO_DEVICE);
    // Without camera lists every list operation is refused.
    CCameraManager::Instance().InstallCameraLists(nullptr, nullptr, nullptr);
    EXPECT_EQ(QrCReflashCamera(), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(QrCChoiceCamera(0), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(QrCRegisterCamera(nullptr), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(QrCRemoveCurrentCamera(), CAM_ERR_NO_DEVICE);
    int count = 77;
    EXPECT_EQ(QrCGetCameraCount(&count), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(count, 77);
    GUID guid = {};
    EXPECT_EQ(QrCGetCameraGUID(&guid), CAM_ERR_NO_DEVICE);
    int reserved = 0;
    EXPECT_EQ(QrCChangeCamera(&reserved, "\\\\?\\usb#vid_0547", 1), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(reserved, 0);

    // What needs no device still answers.
    EXPECT_EQ(QrCCameraSetResDefault(), CAM_OK);
    RECT r = {1, 2, 3, 4};
    EXPECT_EQ(QrCCameraSetShowRect(&r), CAM_OK);
    CameraMgrParam param;
    EXPECT_EQ(QrCCameraGetMgrParameter(&param), CAM_OK);
    EXPECT_EQ(param.cameraType, CAMERA_TYPE_NONE);
    EXPECT_EQ(param.runState, 2);
}

TEST_F(CameraManagerTest, SetCameraResetsByFamily)
{
    CameraMgrParam param;
    QrCSetCamera(CAMERA_TYPE_CAMDRVF);
    QrCCameraGetMgrParameter(&param);
    EXPECT_EQ(param.cameraType, CAMERA_TYPE_CAMDRVF);
    EXPECT_EQ(param.sensorKind, SENSOR_KIND_CCD);
    EXPECT_EQ(param.ResLock, 1);
    EXPECT_EQ(param.mode, 0);

    QrCSetCamera(CAMERA_TYPE_CAMDRVG);
    QrCCameraGetMgrParameter(&param);
    EXPECT_EQ(param.ResPreview, 1);
    EXPECT_EQ(param.ResLock, 0);

    QrCSetCamera(CAMERA_TYPE_CAMDRVE);
    QrCCameraGetMgrParameter(&param);
    EXPECT_EQ(param.sensorKind, SENSOR_KIND_CMOS);

    QrCSetCamera(CAMERA_TYPE_MINOR);
    QrCCameraGetMgrParameter(&param);
    EXPECT_EQ(param.mode, 1);
    EXPECT_EQ(param.ResLock, 1);
    EXPECT_EQ(g_liveDevices.load(), 1);   // each change deleted the previous device
    EXPECT_EQ(g_suspendCalls.load(), 3);
}

TEST_F(CameraManagerTest, SetCameraWithoutClassRemovesDevice)
{
    EXPECT_EQ(QrCSetCamera(CAMERA_TYPE_CAMDRVA), CAM_OK);
    ASSERT_NE(CCameraManager::Instance().GetDevice(), nullptr);
    for (int code : {int(CAMERA_TYPE_SENSFAME), int(CAMERA_TYPE_NONE), 4}) {
        QrCSetCamera(CAMERA_TYPE_CAMDRVA);
        EXPECT_EQ(QrCSetCamera(code), CAM_OK);
        EXPECT_EQ(CCameraManager::Instance().GetDevice(), nullptr) << code;
        EXPECT_EQ(g_liveDevices.load(), 0);
        CameraMgrParam param;
        QrCCameraGetMgrParameter(&param);
        EXPECT_EQ(param.cameraType, code);
        EXPECT_EQ(param.sensorKind, 0);
        EXPECT_EQ(QrCCameraUnInit(), CAM_ERR_NO_DEVICE);
    }
}

TEST_F(CameraManagerTest, UnInitTwiceAnswersOneWithoutTouchingDevice)
{
    QrCSetCamera(CAMERA_TYPE_CAMDRVE);
    EXPECT_EQ(QrCCameraUnInit(), CAM_OK);   // never opened
    EXPECT_EQ(g_unInitCalls.load(), 0);
    ASSERT_EQ(QrCCameraInit(0, nullptr, nullptr, 1), CAM_OK);
    EXPECT_TRUE(CCameraManager::Instance().IsLiveRunning());
    EXPECT_EQ(QrCCameraUnInit(), CAM_OK);
    EXPECT_EQ(g_unInitCalls.load(), 1);
    EXPECT_FALSE(CCameraManager::Instance().IsLiveRunning());
    EXPECT_EQ(CCameraManagerProbe::Buffer(0), nullptr);
    EXPECT_EQ(QrCCameraUnInit(), CAM_OK);
    EXPECT_EQ(g_unInitCalls.load(), 1);
}

TEST_F(CameraManagerTest, InitAllocatesTheBufferSizeOfTheCameraType)
{
    struct Case {
        int type;
        int product;
        int flag7;
        INT64 size;
    } cases[] = {
        {CAMERA_TYPE_CAMDRVF, -1, 0, 8355840},
        {CAMERA_TYPE_CAMDRVG, -1, 0, 30246720},
        {CAMERA_TYPE_CAMDRVA, -1, 0, 31887360},
        {CAMERA_TYPE_CAMDRVB, -1, 0, 7987200},
        {CAMERA_TYPE_CAMDRVC, -1, 0, 75497472},
        {CAMERA_TYPE_CAMDRVE, -1, 0, 640 * 480 * 3 + 512},
        {CAMERA_TYPE_CAMDRVE, -1, 1, 640 * 480 * 6 + 512},
        {CAMERA_TYPE_CORE_A, 5, 0, 3000},
        {CAMERA_TYPE_CORE_A, 32, 0, 2000},
        {CAMERA_TYPE_MINOR, 27, 0, 3000},
        {CAMERA_TYPE_CORE_B, 5, 0, 640 * 480 * 3 + 512},
    };
    for (const Case& c : cases) {
        g_setup.productIndex = c.product;
        g_setup.flag7 = c.flag7;
        QrCSetCamera(c.type);
        ASSERT_EQ(QrCCameraInit(0, nullptr, nullptr, 1), CAM_OK) << c.type;
        EXPECT_EQ(CCameraManagerProbe::BufferSize(), c.size) << c.type << "/" << c.product;
        for (int i = 0; i < CCameraManager::FRAME_BUFFER_COUNT; ++i)
            EXPECT_NE(CCameraManagerProbe::Buffer(i), nullptr);
        EXPECT_EQ(QrCCameraUnInit(), CAM_OK);
    }
}

TEST_F(CameraManagerTest, InitAnswersNoMemoryWhenBuffersCannotBeHad)
{
    g_setup.width = 1 << 20;
    g_setup.height = 1 << 20;   // three terabytes a buffer
    QrCSetCamera(CAMERA_TYPE_CAMDRVE);
    EXPECT_EQ(QrCCameraInit(0, nullptr, nullptr, 1), CAM_ERR_NO_MEMORY);
    EXPECT_FALSE(CCameraManager::Instance().IsInitialized());
    EXPECT_FALSE(CCameraManager::Instance().IsLiveRunning());
    for (int i = 0; i < CCameraManager::FRAME_BUFFER_COUNT; ++i)
        EXPECT_EQ(CCameraManagerProbe::Buffer(i), nullptr);
    EXPECT_EQ(g_initCalls.load(), 1);   // the device itself stays open
    EXPECT_EQ(QrCCameraUnInit(), CAM_OK);
    EXPECT_EQ(g_unInitCalls.load(), 0);
}

TEST_F(CameraManagerTest, InitRefusedByDeviceAnswersNoDevice)
{
    g_setup.initResult = CAM_FAILED;
    QrCSetCamera(CAMERA_TYPE_CAMDRVE);
    EXPECT_EQ(QrCCameraInit(0, nullptr, nullptr, 1), CAM_ERR_NO_DEVICE);
    EXPECT_FALSE(CCameraManager::Instance().IsInitialized());
}

// A second QrCCameraInit while the threads run initialises the device again (with the
// threads stopped meanwhile) and keeps the buffers, which the live threads rotate.
TEST_F(CameraManagerTest, InitWhileLiveKeepsTheBuffers)
{
    QrCSetCamera(CAMERA_TYPE_CAMDRVE);
    ASSERT_EQ(QrCCameraInit(0, nullptr, nullptr, 1), CAM_OK);
    auto buffers = [] {
        std::set<BYTE*> set;
        for (int i = 0; i < CCameraManager::FRAME_BUFFER_COUNT; ++i)
            set.insert(CCameraManagerProbe::Buffer(i));
        return set;
    };
    const std::set<BYTE*> before = buffers();
    const int grabsBefore = g_grabs.load();
    ASSERT_TRUE(WaitFor([&] { return g_grabs.load() > grabsBefore + 3; }, 5000));

    EXPECT_EQ(QrCCameraInit(1, nullptr, nullptr, 1), CAM_OK);
    EXPECT_EQ(g_initCalls.load(), 2);
    EXPECT_EQ(buffers(), before);
    EXPECT_TRUE(CCameraManager::Instance().IsLiveRunning());
    const int grabsAfter = g_grabs.load();
    EXPECT_TRUE(WaitFor([&] { return g_grabs.load() > grabsAfter + 3; }, 5000));
    EXPECT_EQ(QrCCameraUnInit(), CAM_OK);
}

// With the threads paused (as a capture leaves them) the camera is opened afresh
// instead of getting a second set of buffers on top of the first.
TEST_F(CameraManagerTest, InitWhilePausedReopensAndRestartsThreads)
{
    QrCSetCamera(CAMERA_TYPE_CAMDRVE);
    ASSERT_EQ(QrCCameraInit(0, nullptr, nullptr, 1), CAM_OK);
    CCameraManager::Instance().StopPreview(1);
    EXPECT_FALSE(CCameraManager::Instance().IsLiveRunning());
    EXPECT_TRUE(CCameraManager::Instance().IsInitialized());

    EXPECT_EQ(QrCCameraInit(0, nullptr, nullptr, 1), CAM_OK);
    EXPECT_EQ(g_initCalls.load(), 2);
    EXPECT_TRUE(CCameraManager::Instance().IsLiveRunning());
    EXPECT_EQ(CCameraManagerProbe::BufferSize(), 640 * 480 * 3 + 512);
    EXPECT_EQ(QrCCameraUnInit(), CAM_OK);
    EXPECT_EQ(g_unInitCalls.load(), 1);
}

TEST_F(CameraManagerTest, LiveThreadsReportFramesToTheDrawingWindowsParent)
{
    DrawWindows windows;
    ASSERT_NE(windows.wnd, nullptr);
    QrCSetCamera(CAMERA_TYPE_CAMDRVE);
    ASSERT_EQ(QrCCameraInit(0, windows.wnd, nullptr, 1), CAM_OK);
    MSG msg;
    bool seen = false;
    for (DWORD start = GetTickCount(); !seen && GetTickCount() - start < 5000; Sleep(5))
        seen = PeekMessageW(&msg, windows.parent, WM_CAMERA_FRAME_STATUS,
                            WM_CAMERA_FRAME_STATUS, PM_REMOVE) != FALSE;
    EXPECT_TRUE(seen);
    if (seen) {
        EXPECT_EQ(msg.wParam, 1u);
    }
    RECT shown = {};
    EXPECT_EQ(QrCCameraGetShowRect(&shown), CAM_OK);
    EXPECT_EQ(shown.right, 640);
    EXPECT_EQ(shown.bottom, 480);
    EXPECT_EQ(QrCCameraUnInit(), CAM_OK);
}

// Mended: camera changes dropped the buffers without ending a running capture first.
TEST_F(CameraManagerTest, ChangingCameraEndsRunningCaptureAndRecordingFirst)
{
    QrCSetCamera(CAMERA_TYPE_CAMDRVE);
    ASSERT_EQ(QrCCameraInit(0, nullptr, nullptr, 1), CAM_OK);

    // A stand-in capture worker: runs until capture running is cleared, then ends.
    struct Worker {
        HANDLE end;
        std::atomic<int> finished{0};
        std::atomic<int> buffersSeenFreed{0};
        static DWORD WINAPI Run(void* p)
        {
            Worker* w = static_cast<Worker*>(p);
            while (CCameraManager::Instance().GetSettings().captureRunning)
                Sleep(1);
            Sleep(50);
            if (!CCameraManagerProbe::Buffer(CCameraManager::BUF_WORKING))
                w->buffersSeenFreed = 1;
            w->finished = 1;
            SetEvent(w->end);
            return 0;
        }
    } worker;
    worker.end = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CCameraManagerProbe::BeginCapture(worker.end);
    CCameraManagerProbe::SetRecording(TRUE);
    HANDLE thread = CreateThread(nullptr, 0, Worker::Run, &worker, 0, nullptr);

    EXPECT_EQ(QrCSetCamera(CAMERA_TYPE_CAMDRVJ), CAM_OK);
    EXPECT_EQ(worker.finished.load(), 1);
    EXPECT_EQ(worker.buffersSeenFreed.load(), 0);
    EXPECT_FALSE(CCameraManagerProbe::Recording());
    EXPECT_EQ(CCameraManager::Instance().GetSettings().captureRunning, 0);
    EXPECT_EQ(g_unInitCalls.load(), 1);

    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CCameraManagerProbe::ForgetCaptureEvent();
    CloseHandle(worker.end);
}

TEST_F(CameraManagerTest, ChoiceCameraClampsIndexAndEndsRunningCapture)
{
    CCameraListBase* core = new CCameraListBase;
    for (int i = 0; i < 2; ++i) {
        CameraListEntry entry;
        entry.productIndex = 5;
        entry.sensorKind = 1;
        entry.displayName.Format(L"Model67 #%d", i + 1);
        entry.deviceName.Format(L"Model67.%d", i + 1);
        core->AddEntry(entry);
    }
    CCameraManager::Instance().InstallCameraLists(core, new CCameraListBase, new CCameraListBase);

    EXPECT_EQ(QrCChoiceCamera(9), CAM_OK);
    EXPECT_EQ(core->GetCurrentIndex(), 1);
    CameraMgrParam param;
    QrCCameraGetMgrParameter(&param);
    EXPECT_EQ(param.cameraType, CAMERA_TYPE_CORE_A);
    EXPECT_EQ(param.mode, 1);
    int count = 0;
    EXPECT_EQ(QrCGetCameraCount(&count), CAM_OK);
    EXPECT_EQ(count, 2);

    ASSERT_EQ(QrCCameraInit(0, nullptr, nullptr, 1), CAM_OK);
    HANDLE end = CreateEventW(nullptr, TRUE, TRUE, nullptr);   // worker already done
    CCameraManagerProbe::BeginCapture(end);
    EXPECT_EQ(QrCChoiceCamera(0), CAM_OK);
    EXPECT_EQ(CCameraManager::Instance().GetSettings().captureRunning, 0);
    EXPECT_EQ(g_unInitCalls.load(), 1);
    CCameraManagerProbe::ForgetCaptureEvent();
    CloseHandle(end);

    // Removing the current camera leaves one and chooses it.
    EXPECT_EQ(QrCRemoveCurrentCamera(), CAM_OK);
    EXPECT_EQ(core->GetCount(), 1);
    EXPECT_NE(CCameraManager::Instance().GetDevice(), nullptr);
    EXPECT_EQ(QrCRemoveCurrentCamera(), CAM_OK);
    EXPECT_EQ(core->GetCount(), 0);
    // No camera in any list: the code becomes -1 and the call still answers 1.
    EXPECT_EQ(QrCChoiceCamera(0), CAM_OK);
    QrCCameraGetMgrParameter(&param);
    EXPECT_EQ(param.cameraType, CAMERA_TYPE_NONE);
    EXPECT_EQ(CCameraManager::Instance().GetDevice(), nullptr);

    CCameraManager::Instance().InstallCameraLists(nullptr, nullptr, nullptr);
}

TEST_F(CameraManagerTest, ReflashLooksInTheFirstListThenTheThird)
{
    CCameraListBase* core = new CCameraListBase;
    CCameraListBase* minor = new CCameraListBase;
    CameraListEntry entry;
    entry.productIndex = 27;
    entry.sensorKind = 3;
    entry.deviceName = L"Model82.1";
    minor->AddEntry(entry);
    CCameraManager::Instance().InstallCameraLists(core, new CCameraListBase, minor);

    CameraMgrParam param;
    EXPECT_EQ(QrCReflashCamera(), CAM_OK);
    QrCCameraGetMgrParameter(&param);
    EXPECT_EQ(param.cameraType, CAMERA_TYPE_MINOR);

    entry.productIndex = 5;
    entry.deviceName = L"Model67.1";
    core->AddEntry(entry);
    EXPECT_EQ(QrCReflashCamera(), CAM_OK);
    QrCCameraGetMgrParameter(&param);
    EXPECT_EQ(param.cameraType, CAMERA_TYPE_CORE_A);

    CCameraManager::Instance().InstallCameraLists(nullptr, nullptr, nullptr);
}

// Mended: the drawing window's device context was taken and never given back.
TEST_F(CameraManagerTest, DrawingContextIsReleasedOnReplaceAndClose)
{
    DrawWindows first, second;
    ASSERT_TRUE(first.wnd && second.wnd);
    QrCSetCamera(CAMERA_TYPE_CAMDRVE);
    ASSERT_EQ(QrCCameraInit(0, first.wnd, nullptr, 1), CAM_OK);
    HDC taken = CCameraManagerProbe::DrawDC();
    ASSERT_NE(taken, nullptr);

    EXPECT_EQ(QrCCameraSetDrawHWnd(second.child), CAM_OK);
    HDC replaced = CCameraManagerProbe::DrawDC();
    ASSERT_NE(replaced, nullptr);
    // A released cache context is handed out again for the same window.
    HDC again = GetDC(first.child);
    EXPECT_EQ(again, taken);
    ReleaseDC(first.child, again);

    EXPECT_EQ(QrCCameraUnInit(), CAM_OK);
    EXPECT_EQ(CCameraManagerProbe::DrawDC(), nullptr);
    again = GetDC(second.child);
    EXPECT_EQ(again, replaced);
    ReleaseDC(second.child, again);
}

TEST_F(CameraManagerTest, SetResDefaultReopensOnlyAfterCaptureReinit)
{
    QrCSetCamera(CAMERA_TYPE_CAMDRVE);
    ASSERT_EQ(QrCCameraInit(0, nullptr, nullptr, 1), CAM_OK);
    EXPECT_EQ(QrCCameraSetResDefault(), CAM_OK);
    EXPECT_EQ(g_initCalls.load(), 1);
    EXPECT_EQ(g_unInitCalls.load(), 0);

    CCameraManagerProbe::SetReinitForCapture();
    EXPECT_EQ(QrCCameraSetResDefault(), CAM_OK);
    EXPECT_EQ(g_unInitCalls.load(), 1);
    EXPECT_EQ(g_initCalls.load(), 2);
    EXPECT_TRUE(CCameraManager::Instance().IsLiveRunning());
    EXPECT_EQ(QrCCameraUnInit(), CAM_OK);
}

TEST_F(CameraManagerTest, SettingsRecordRoundTrip)
{
    CameraMgrParam param;
    ASSERT_EQ(QrCCameraGetMgrParameter(&param), CAM_OK);
    ASSERT_EQ(param.teamNames.GetSize(), PARAM_TEAM_ENTRIES);
    EXPECT_EQ(param.teamSetNumber[7], 7);
    EXPECT_EQ(param.teamResLock[3], 1);
    EXPECT_EQ(param.capture.CaptureType, CAPTURE_TYPE_TIFF);
    EXPECT_EQ(param.capture.Space, 2000);
    EXPECT_TRUE(param.capture.FileName == CString(L"Orv"));
    EXPECT_TRUE(param.capture.Path.Right(16) == CString(L"Orvisnap images\\"));
    EXPECT_NE(GetFileAttributesW(param.capture.Path), INVALID_FILE_ATTRIBUTES);

    param.teamNames[2] = L"Cells";
    param.teamGain[2] = 33;
    param.CntParam = 3;
    param.dye.R = 12;
    ASSERT_EQ(QrCCameraSetMgrParameter(&param), CAM_OK);
    CameraMgrParam back;
    QrCCameraGetMgrParameter(&back);
    EXPECT_TRUE(back.teamNames[2] == CString(L"Cells"));
    EXPECT_EQ(back.teamGain[2], 33);
    EXPECT_EQ(back.CntParam, 3);
    EXPECT_EQ(back.dye.R, 12);

    // A record whose team arrays are short still leaves 21 entries behind.
    CameraMgrParam bare;
    ASSERT_EQ(QrCCameraSetMgrParameter(&bare), CAM_OK);
    QrCCameraGetMgrParameter(&back);
    EXPECT_EQ(back.teamNames.GetSize(), PARAM_TEAM_ENTRIES);
    EXPECT_EQ(back.teamGain.GetSize(), PARAM_TEAM_ENTRIES);
    EXPECT_EQ(back.teamSetNumber[20], 20);
    QrCCameraSetMgrParameter(&param);
}

TEST_F(CameraManagerTest, CaptureSettingsCopies)
{
    CaptureParam settings;
    settings.FileName = L"";
    settings.Count = 5;
    EXPECT_EQ(QrCCameraSetCapParameter(&settings), CAM_OK);
    CameraMgrParam param;
    QrCCameraGetMgrParameter(&param);
    EXPECT_TRUE(param.capture.FileName.IsEmpty());   // only a capture fills in "Orv"
    EXPECT_EQ(param.capture.Count, 5);

    HANDLE end = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    CCameraManagerProbe::BeginCapture(end);
    settings.Count = 9;
    EXPECT_EQ(QrCCameraSetCameraCaptureConfig(&settings), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(QrCCameraReleaseCapture(), CAM_OK);
    EXPECT_EQ(QrCCameraSetCameraCaptureConfig(&settings), CAM_OK);
    QrCCameraGetMgrParameter(&param);
    EXPECT_EQ(param.capture.Count, 9);
    CCameraManagerProbe::ForgetCaptureEvent();
    CloseHandle(end);
}

TEST_F(CameraManagerTest, FluorescenceTypeFollowsTheProductsPermission)
{
    CameraMgrParam param;
    QrCCameraGetMgrParameter(&param);
    param.capture.FluorescenceType = 2;
    QrCCameraSetMgrParameter(&param);

    g_setup.flag1 = 1;
    QrCSetCamera(CAMERA_TYPE_CAMDRVE);
    QrCCameraGetMgrParameter(&param);
    EXPECT_EQ(param.capture.FluorescenceType, 2);

    g_setup.flag1 = 0;
    QrCSetCamera(CAMERA_TYPE_CAMDRVJ);
    QrCCameraGetMgrParameter(&param);
    EXPECT_EQ(param.capture.FluorescenceType, 0);
}

TEST_F(CameraManagerTest, ComparisonRecordDefaults)
{
    ComparisonParam cmp;
    cmp.bytesPerPixel = 0;
    EXPECT_EQ(QrCGetComparisonParam(&cmp), CAM_OK);
    EXPECT_EQ(cmp.bytesPerPixel, 3);
    EXPECT_FLOAT_EQ(cmp.transparency, 0.5f);
    EXPECT_EQ(cmp.image, nullptr);
    EXPECT_NE(cmp.lock, nullptr);
}

// Without a camera the operations refuse without touching anything.
TEST_F(CameraManagerTest, OperationsWithoutCameraAnswerNoDevice)
{
    CaptureParam request;
    EXPECT_EQ(QrCCameraCapture(&request), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(QrCCameraSetAeState(1), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(QrCCameraSetGammaEx(100), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(QrCCameraParameterInit(), CAM_ERR_NO_DEVICE);
    float degrees = 1.5f;
    EXPECT_EQ(QrCCameraGetCurTemperature(&degrees), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(degrees, 1.5f);
}

TEST_F(CameraManagerTest, MgrUninitializeClosesTheCameraAndAnswersOne)
{
    QrCSetCamera(CAMERA_TYPE_CAMDRVE);
    ASSERT_EQ(QrCCameraInit(0, nullptr, nullptr, 1), CAM_OK);
    EXPECT_EQ(QrCCameraMgrUninitialize(), CAM_OK);
    EXPECT_EQ(CCameraManager::Instance().GetDevice(), nullptr);
    EXPECT_EQ(g_unInitCalls.load(), 1);
    EXPECT_EQ(g_suspendCalls.load(), 1);
    EXPECT_FALSE(CCameraManager::Instance().IsLiveRunning());
    EXPECT_EQ(QrCCameraMgrUninitialize(), CAM_OK);
}

} // namespace
