// The grab thread's reports: frame notices, skipped frames, device errors, and a
// device that fails at once or a camera pulled out while live. The windows that get
// the reports belong to a thread of their own that only pumps, as the program's
// interface thread does, so the test can see whether they keep answering.
#include <cstdio>
#include "LiveSupport.h"

#include <atomic>

using namespace livetest;
using orvbench::Bench;

namespace {

// What the scripted device's grabs answer: each entry once, then `steady` for ever.
std::atomic<int> g_script[16];
std::atomic<int> g_scriptLength{0};
std::atomic<int> g_scriptPos{0};
std::atomic<int> g_steady{1};

void Script(std::initializer_list<int> results, int steady)
{
    g_steady = steady;
    g_scriptPos = 0;
    int n = 0;
    for (int r : results)
        g_script[n++] = r;
    g_scriptLength = n;
}

std::atomic<int> g_inits{0};
std::atomic<int> g_grabbing{0};
std::atomic<int> g_initsUnderGrab{0};

class CScriptedCamera : public CCameraDevice {
public:
    int Init(CameraFrameCallback, int, HWND, HWND, int) override
    {
        if (g_grabbing > 0)
            ++g_initsUnderGrab;
        m_info.productIndex = 100 + ++g_inits;   // each initialisation tells itself apart
        return CAM_OK;
    }
    int GetImageSize(int* width, int* height) override
    {
        *width = 64;
        *height = 48;
        return CAM_OK;
    }
    int GrabFrame(BYTE* frame) override
    {
        ++g_grabbing;
        const int pos = g_scriptPos.fetch_add(1);
        const int result = pos < g_scriptLength ? g_script[pos].load() : g_steady.load();
        if (result > 0) {
            Sleep(5);
            memset(frame, 0x40, 64 * 48);
        }
        --g_grabbing;
        return result;   // failures come back at once, as from a device that is gone
    }
    int Decode(BYTE* raw, BYTE* image, int width, int height, int) override
    {
        for (int i = 0; i < width * height; ++i)
            image[3 * i] = image[3 * i + 1] = image[3 * i + 2] = raw[i];
        return 1;
    }
};

CCameraDevice* MakeScriptedCamera(int)
{
    return new CScriptedCamera;
}

// A parent and a drawing child made and pumped by a thread of their own; the parent
// counts the frame-status messages by their wParam.
class PumpedWindows {
public:
    PumpedWindows()
    {
        m_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_thread = CreateThread(nullptr, 0, ThreadProc, this, 0, &m_threadId);
        WaitForSingleObject(m_ready, 5000);
        attached = own.Attach(child);
    }
    ~PumpedWindows()
    {
        if (attached)
            own.Detach();
        PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        WaitForSingleObject(m_thread, 5000);
        CloseHandle(m_thread);
        CloseHandle(m_ready);
    }
    int Count(int wParam) const { return counts[wParam & 3].load(); }
    // The longest a WM_NULL sent to the parent, or a message posted to it, took to be
    // answered, probing for ms milliseconds; 0xFFFFFFFF when a send timed out.
    DWORD LongestAnswer(DWORD ms, DWORD limit)
    {
        DWORD longest = 0;
        postedLongest = 0;
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            const DWORD sent = GetTickCount();
            PostMessageW(parent, kProbe, 0, static_cast<LPARAM>(sent));
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutW(parent, WM_NULL, 0, 0, SMTO_NORMAL, limit, &result))
                return 0xFFFFFFFF;
            longest = std::max<DWORD>(longest, GetTickCount() - sent);
            Sleep(20);
        }
        // The last probe posted must have arrived too.
        DWORD_PTR result = 0;
        const DWORD last = GetTickCount();
        postedDelay = 0;
        PostMessageW(parent, kProbe, 0, static_cast<LPARAM>(last));
        while (postedDelay.load() == 0 && GetTickCount() - last < limit)
            Sleep(5);
        SendMessageTimeoutW(parent, WM_NULL, 0, 0, SMTO_NORMAL, limit, &result);
        return std::max<DWORD>(longest, postedLongest.load());
    }

    HWND parent = nullptr;
    HWND child = nullptr;
    CWnd own;
    BOOL attached = FALSE;
    std::atomic<int> counts[4] = {};
    std::atomic<DWORD> postedDelay{0}, postedLongest{0};

private:
    static const UINT kProbe = WM_APP + 7;
    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        auto* self = reinterpret_cast<PumpedWindows*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_CAMERA_FRAME_STATUS) {
            if (self)
                ++self->counts[wp & 3];
            return 0;
        }
        if (msg == kProbe && self) {
            const DWORD delay = std::max<DWORD>(GetTickCount() - static_cast<DWORD>(lp), 1);
            self->postedDelay = delay;
            if (delay > self->postedLongest)
                self->postedLongest = delay;
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    static DWORD WINAPI ThreadProc(void* p)
    {
        auto* self = static_cast<PumpedWindows*>(p);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OrvGrabTestParent";
        RegisterClassW(&wc);
        self->parent = CreateWindowExW(0, L"OrvGrabTestParent", L"grab", WS_POPUP, 0, 0, 64, 48,
                                       nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(self->parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 64, 48,
                                      self->parent, nullptr, nullptr, nullptr);
        SetEvent(self->m_ready);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0)
            DispatchMessageW(&msg);
        DestroyWindow(self->parent);
        return 0;
    }
    HANDLE m_ready = nullptr;
    HANDLE m_thread = nullptr;
    DWORD m_threadId = 0;
};

class GrabThreadTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        QrCCameraFluorescenceGuide(nullptr, 0);
        QrCCameraUnInit();
        QrCSetCamera(CAMERA_TYPE_NONE);
        CCameraManager::SetDeviceFactory(nullptr);
    }
    void OpenScripted(PumpedWindows& windows, CWnd* guide = nullptr)
    {
        CCameraManager::SetDeviceFactory(MakeScriptedCamera);
        QrCSetCamera(CAMERA_TYPE_CAMDRVE);
        if (guide)
            QrCCameraFluorescenceGuide(guide, 0);
        ASSERT_EQ(QrCCameraInit(0, &windows.own, windows.child, 1), CAM_OK);
    }
};

}  // namespace

// A frame with notice after normal ones is reported once; skipped frames go to the
// parent and to the guide window; a device error is reported with its own code.
TEST_F(GrabThreadTest, NoticesSkipsAndErrorsReachTheirWindows)
{
    PumpedWindows windows;
    MessageReceiver guide;
    CWnd guideWnd;
    guideWnd.Attach(guide.Hwnd());
    Script({1, 2, 2, 1, 2, 3, 4, 3, -9}, 1);
    OpenScripted(windows, &guideWnd);
    ASSERT_TRUE(WaitFor([&] { return g_scriptPos.load() > 12 && windows.Count(1) >= 8; }, 5000));
    QrCCameraUnInit();
    PumpMessagesFor(100);
    EXPECT_EQ(windows.Count(2), 2);   // the second of two notices in a row is not reported
    EXPECT_EQ(windows.Count(3), 1);
    EXPECT_EQ(guide.Count(WM_CAMERA_FRAME_STATUS), 3);   // the skipped frames only
    EXPECT_EQ(guide.LastWParam(WM_CAMERA_FRAME_STATUS), 0u);
    guideWnd.Detach();
}

// Opening a camera that already runs initialises the device again and copies its
// information, with the grab thread stopped meanwhile, and the picture goes on.
TEST_F(GrabThreadTest, InitWhileRunningInitialisesTheDeviceWithTheThreadsStopped)
{
    PumpedWindows windows;
    Script({}, 1);
    g_inits = 0;
    g_initsUnderGrab = 0;
    OpenScripted(windows);
    ASSERT_TRUE(WaitFor([&] { return windows.Count(1) >= 5; }, 5000));
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(QrCCameraInit(0, &windows.own, windows.child, 1), CAM_OK);
    EXPECT_EQ(g_inits.load(), 6);
    EXPECT_EQ(g_initsUnderGrab.load(), 0);
    CameraParamInfo info;
    ASSERT_EQ(QrCCameraGetParameterInfo(&info, 1), CAM_OK);
    EXPECT_EQ(info.productIndex, 106);
    const int shown = windows.Count(1);
    EXPECT_TRUE(WaitFor([&] { return windows.Count(1) >= shown + 5; }, 5000));
    QrCCameraUnInit();
}

// A device that fails at once is asked again after a growing pause and its error is
// reported at a bounded rate, so the window keeps answering; frames bring the normal
// rate back at once.
TEST_F(GrabThreadTest, DeviceFailingAtOnceDoesNotFloodTheWindow)
{
    PumpedWindows windows;
    Script({}, -9);
    OpenScripted(windows);
    const DWORD longest = windows.LongestAnswer(2000, 1000);
    const int errors = windows.Count(3);
    std::printf("unplugged while live: %d error messages in 2 s, longest answer %lu ms\n", errors,
                (unsigned long)longest);
    EXPECT_GE(errors, 1);
    EXPECT_LE(errors, 25);
    EXPECT_LE(longest, 100u);

    const int shownBefore = windows.Count(1);
    g_steady = 1;
    ASSERT_TRUE(WaitFor([&] { return windows.Count(1) >= shownBefore + 20; }, 3000));
    EXPECT_LE(windows.Count(3), errors + 1);
    const DWORD start = GetTickCount();
    EXPECT_EQ(QrCCameraUnInit(), CAM_OK);
    EXPECT_LT(GetTickCount() - start, 2000u);
}

// The bench camera pulled out while live: the window goes on answering, the camera
// closes, and once it is back the library finds it and shows frames again.
TEST_F(GrabThreadTest, UnpluggedCameraKeepsTheWindowAnsweringAndComesBack)
{
    const std::string line = std::string("camera zedodir 0547:A005 ") + kCamera +
                             " colour resolutions=320X256,160X128 clocks=fast:200";
    OpenBench(line);
    PumpedWindows windows;
    ASSERT_EQ(QrCCameraInit(0, &windows.own, windows.child, 1), CAM_OK);
    ASSERT_TRUE(WaitFor([&] { return windows.Count(1) >= 5; }, 5000));

    ASSERT_TRUE(Bench::Get().Unplug(kCamera));
    const DWORD longest = windows.LongestAnswer(2000, 1000);
    const int errors = windows.Count(3);
    std::printf("unplugged while live: %d error messages in 2 s, longest answer %lu ms\n", errors,
                (unsigned long)longest);
    EXPECT_GE(errors, 1);
    EXPECT_LE(errors, 25);
    EXPECT_LE(longest, 100u);
    DWORD start = GetTickCount();
    QrCCameraUnInit();
    EXPECT_LT(GetTickCount() - start, 2000u);

    ASSERT_TRUE(Bench::Get().Plug(line));
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);
    const int shown = windows.Count(1);
    ASSERT_EQ(QrCCameraInit(0, &windows.own, windows.child, 1), CAM_OK);
    EXPECT_TRUE(WaitFor([&] { return windows.Count(1) >= shown + 5; }, 5000));
    QrCCameraUnInit();
}
