// The fluorescence guide window: where the grab thread's "no new frame" notices go
// once the window object that was registered has gone.
#include "LiveSupport.h"

#include <new>

using namespace livetest;
using orvbench::Bench;

namespace {

const int kNoNewFrame = 2;  // the camera library's own "no frame yet" answer

// Makes the camera's grabs answer "no new frame" for a while, pumping meanwhile.
void NoFramesFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        Bench::Get().InjectGrabResult(kCamera, kNoNewFrame);
        PumpMessagesFor(10);
    }
}

class GuideWindowTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        QrCCameraFluorescenceGuide(nullptr, 0);
        QrCCameraUnInit();
        QrCSetCamera(CAMERA_TYPE_NONE);
    }
};

}  // namespace

TEST_F(GuideWindowTest, NoticesFollowTheHandleRegisteredNotTheObjectAtItsAddress)
{
    OpenSmallCamera();
    LiveWindows windows(0, 0, 320, 256);
    ASSERT_EQ(QrCCameraInit(0, windows.wnd, windows.child, 1), CAM_OK);
    MessageReceiver registered, later;

    // The wizard is a stack object: once it has returned, whatever is built in its place
    // must not receive its notices.
    alignas(CWnd) unsigned char place[sizeof(CWnd)];
    CWnd* guide = new (place) CWnd;
    ASSERT_TRUE(guide->Attach(registered.Hwnd()));
    ASSERT_EQ(QrCCameraFluorescenceGuide(guide, 1), CAM_OK);
    guide->Detach();
    guide->~CWnd();
    CWnd* other = new (place) CWnd;
    ASSERT_TRUE(other->Attach(later.Hwnd()));

    NoFramesFor(600);
    EXPECT_GT(registered.Count(WM_CAMERA_FRAME_STATUS), 0);
    EXPECT_EQ(later.Count(WM_CAMERA_FRAME_STATUS), 0);
    other->Detach();
    other->~CWnd();

    // Withdrawn: nothing more arrives, and the live picture goes on.
    ASSERT_EQ(QrCCameraFluorescenceGuide(nullptr, 0), CAM_OK);
    PumpMessagesFor(50);
    registered.Clear();
    NoFramesFor(400);
    EXPECT_EQ(registered.Count(WM_CAMERA_FRAME_STATUS), 0);
    EXPECT_EQ(CCameraManagerProbe::RunState(), CCameraManager::RUN_LIVE);
}

TEST_F(GuideWindowTest, WithdrawingNeedsNoDevice)
{
    ASSERT_EQ(QrCSetCamera(CAMERA_TYPE_NONE), CAM_OK);
    MessageReceiver receiver;
    CWnd wnd;
    ASSERT_TRUE(wnd.Attach(receiver.Hwnd()));
    EXPECT_EQ(QrCCameraFluorescenceGuide(&wnd, 1), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(QrCCameraFluorescenceGuide(nullptr, 0), CAM_OK);
    wnd.Detach();
}
