// Shared pieces of the capture panel tests: a bench camera opened live through the
// camera library, the real Capture page on a plain parent with a recording thumbnail
// list in the links, and small control helpers.
#pragma once

// The bench header comes first: the framework's string header turns a cast it makes
// into an error.
#include "external/bench/Bench.h"

#include "support/gtest.h"
#include "support/wintest.h"

#include "afxwin.h"
#include "camera/core/CameraManager.h"
#include "app/shell/CapturePage.h"
#include "app/shell/ShellLinks.h"
#include "app/browse/ThumbnailStrip.h"
#include "app/browse/ThumbnailListCtrl.h"
#include "app/capture/CapturePanel.h"
#include "app/capture/CaptureProgressPanel.h"
#include "app/capture/VideoRecordPanel.h"
#include "app/capture/CameraPanelIds.h"
#include "app/res/resource.h"
#include "TempFolder.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Reaches the camera manager's state (a friend of CCameraManager).
class CCameraManagerProbe {
public:
    static CCameraManager& M() { return CCameraManager::Instance(); }
    static void SetProduct(int index) { M().m_info.productIndex = index; }
    static int Product() { return M().m_info.productIndex; }
    static float DisplayRate() { return M().m_displayRate; }
};

namespace captest {

const char kCamera[] = "Cap.1";
const int kWidth = 320, kHeight = 240;

// One live colour camera of the first library, 320 x 240, noise off.
void LoadBench();
// Changes the library's stored capture settings (which a panel copies when created).
void EditCaptureSettings(const std::function<void(CaptureParam&)>& edit);
CaptureParam LibraryCapture();

// A window whose child the live picture is drawn into.
class LiveWindows {
public:
    LiveWindows();
    ~LiveWindows();
    bool Open();
    HWND parent = nullptr;
    HWND child = nullptr;
    CWnd wnd;
};

class PlainParent {
public:
    PlainParent(int x = 0, int y = 0, int w = 300, int h = 700);
    ~PlainParent();
    HWND hwnd = nullptr;
    CWnd wnd;
};

// A thumbnail list that records what was added and from which thread.
class CRecordingThumbList : public CThumbnailListCtrl {
public:
    struct Added {
        CString path;
        DWORD thread;
    };
    void AddFile(CString path, int flag) override;
    std::vector<Added> Calls();

private:
    CCriticalSection m_callLock;
    std::vector<Added> m_calls;
};

// The Capture page as the program builds it, with the thumbnail strip beside it.
class CaptureScene {
public:
    CaptureScene();
    ~CaptureScene();
    // Creates the page (and with it the capture, video record and progress panels).
    void Create();
    void Destroy();

    CCapturePanel& Panel() { return page->m_capturePanel; }
    CVideoRecordPanel& Video() { return page->m_videoRecordPanel; }
    CCaptureProgressPanel& Progress() { return page->m_captureProgressPanel; }
    HWND PanelHwnd() { return page->m_capturePanel.m_hWnd; }
    // A command of the capture panel, as a click sends it.
    void Click(int id);

    ShellLinksScope scope;
    PlainParent parent;
    PlainParent stripParent{320, 0, 300, 200};
    std::unique_ptr<CCapturePage> page;
    CThumbnailStrip strip;
    CRecordingThumbList list;
};

// Control helpers.
std::u16string Text(HWND dialog, int id);
std::u16string U16(const CString& s);
bool Enabled(HWND dialog, int id);
bool Visible(HWND dialog, int id);
bool Checked(HWND dialog, int id);
std::u16string LoadU16(UINT id);

// A recorded AVI as read back through AVIFile.
struct AviFacts {
    bool opened = false;
    DWORD compression = 0;      // the stream format's compression code
    LONG length = 0;            // frames (positions) in the stream
    double rate = 0;            // frames per second
    std::vector<uint32_t> stamps;  // the bench frame number of each position's picture
    std::vector<BYTE> firstFrame;  // decoded 24-bit picture of position 0
};
AviFacts ReadAvi(const std::u16string& path);

// Waits (pumping) until the library says no capture runs.
bool WaitCaptureIdle(DWORD ms);

// A live camera, a capture folder and the Capture page; the library's capture
// settings start from the same values in every test.
class CapturePageTest : public ::testing::Test {
public:
    void SetUp() override
    {
        LoadBench();
        EditCaptureSettings([&](CaptureParam& c) {
            c.IsCaptureDlg = 0;
            c.Path = folder.Path();
            c.FileName = L"P";
            c.CaptureType = c.PictureType = CAPTURE_TYPE_BMP;
            c.IsNum = 1;
            c.IsTimeStamp = 0;
            c.IsLapse = 0;
            c.Count = 5;
            c.Space = 300;
            c.Compress = 0;
            c.AviFrame = 10;
            c.IsTimeRecord = 0;
            c.IsManual = 0;
            c.IsMode = 0;
            c.CombineMeasurement = 0;
            c.FluorescenceType = 0;
        });
    }
    void TearDown() override
    {
        QrCCameraStopRecording();
        WaitCaptureIdle(20000);
        scene.Destroy();
        QrCCameraUnInit();
        QrCSetCamera(CAMERA_TYPE_NONE);
    }
    // The page looks for the camera as it starts; the camera is opened after it, and
    // the panels are told, as the camera panel tells them.
    void Create()
    {
        scene.Create();
        ASSERT_TRUE(live.Open());
        // Frames of the exposure just set, not of the one before it.
        const uint32_t opened = orvbench::Bench::Get().FrameCount(kCamera);
        ASSERT_TRUE(WaitFor([&] { return orvbench::Bench::Get().FrameCount(kCamera) >= opened + 5; }, 5000));
        scene.Video().UpdateControlState();
        scene.Panel().UpdateControlState();
        panel = scene.PanelHwnd();
        video = scene.Video().m_hWnd;
        camera = scene.page->m_cameraPanel.m_hWnd;
    }
    // The panel alone on a plain parent, with the camera as the library has it now.
    HWND CreateAlone()
    {
        EXPECT_TRUE(alone.Create(CCapturePanel::IDD, &aloneParent.wnd));
        return alone.m_hWnd;
    }
    void SetCheck(int id, bool on)
    {
        SendDlgItemMessageW(panel, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
        scene.Click(id);
    }
    // Buttons as they stand between captures with the camera running.
    void ExpectIdleButtons(const char* when)
    {
        EXPECT_TRUE(Enabled(panel, IDC_CAPTURE_RECORD)) << when;
        EXPECT_EQ(Text(panel, IDC_CAPTURE_RECORD), LoadU16(IDS_RECORD)) << when;
        EXPECT_FALSE(scene.Panel().RecordShowsRecording()) << when;
        EXPECT_TRUE(Enabled(video, IDC_VIDEO_CAPTURE)) << when;
        EXPECT_TRUE(Enabled(camera, IDC_CAMERA_CAPTURE)) << when;
    }
    bool WaitRecordingEnd(DWORD ms)
    {
        return WaitFor([&] {
                   return Text(panel, IDC_CAPTURE_RECORD) == LoadU16(IDS_RECORD) &&
                          !scene.Panel().RecordShowsRecording();
               }, ms) && WaitCaptureIdle(ms);
    }

    TempFolder folder;
    LiveWindows live;
    CaptureScene scene;
    PlainParent aloneParent{640, 300, 300, 400};
    CCapturePanel alone;
    HWND panel = nullptr, video = nullptr, camera = nullptr;
};

}  // namespace captest
