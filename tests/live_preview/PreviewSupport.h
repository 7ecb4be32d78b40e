// Shared pieces of the live-preview tests: a bench with known cameras, a plain owner
// window with the preview and overlay over it, the placeholder panels the preview
// posts to (each watched by a spy), and the links filled with all of them.
#pragma once

// The bench header comes first: the framework's string header turns a cast it makes
// into an error.
#include "external/bench/Bench.h"

#include "support/gtest.h"
#include "support/wintest.h"

#include "afxwin.h"
#include "app/shell/ShellLinks.h"
#include "app/capture/PreviewWnd.h"
#include "app/capture/OverlayWnd.h"
#include "app/capture/CapturePanel.h"
#include "app/capture/ExposurePanel.h"
#include "app/capture/VideoRecordPanel.h"
#include "camera/core/QrCCamera.h"

#include <memory>
#include <string>

namespace preview {

// The capture panel with its captures counted instead of taken: these windows only
// have to reach it.
class CountingCapturePanel : public CCapturePanel
{
public:
    int captures = 0;
    int recordings = 0;
    void OnCapture() override { ++captures; }
    void StartVideoRecording() override { ++recordings; }
};

const char kCamera[] = "Prev.1";

// Loads a noise-free bench and lets the library find its camera.
inline void LoadBench(const std::string& lines)
{
    std::string error;
    ASSERT_TRUE(orvbench::Bench::Get().Load("seed 3\nnoise off\n" + lines, &error)) << error;
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);
}

inline std::string SmallCamera(const char* name = kCamera)
{
    return std::string("camera zedodir 0547:A005 ") + name + " colour resolutions=320X256,160X128 clocks=fast:200\n";
}

inline LPCWSTR HostClass()
{
    return AfxRegisterWndClass(0, ::LoadCursorW(NULL, (LPCWSTR)IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
}

// The owner of the live windows, standing in for the main frame.
class Owner : public CWnd
{
public:
    Owner(int x, int y, int w, int h)
    {
        CreateEx(0, HostClass(), L"owner", WS_POPUP | WS_VISIBLE, x, y, w, h, NULL, NULL);
    }
    ~Owner() { DestroyWindow(); }
};

// Preview and overlay over the same rectangle, owned as the frame owns them, with the
// panels the preview posts to.
class LiveWindows
{
public:
    LiveWindows(int x, int y, int w, int h) : owner(x, y, w, h), panelParent(0, 0, 10, 10)
    {
        ShellLinks& links = Links();
        links.preview = &preview;
        links.overlay = &overlay;
        links.videoRecord = &videoRecord;
        links.exposure = &exposure;
        links.capture = &capture;
        preview.Create(CPreviewWnd::IDD, &owner);
        overlay.Create(COverlayWnd::IDD, &preview);
        Place(x, y, w, h);
        preview.ShowWindow(SW_SHOWNOACTIVATE);
        overlay.ShowWindow(SW_SHOWNOACTIVATE);
        panelParent.ShowWindow(SW_HIDE);
        videoRecord.Create(CVideoRecordPanel::IDD, &panelParent);
        exposure.Create(CExposurePanel::IDD, &panelParent);
        capture.Create(CCapturePanel::IDD, &panelParent);
        videoSpy.reset(new MessageSpy(videoRecord.m_hWnd));
        exposureSpy.reset(new MessageSpy(exposure.m_hWnd));
        captureSpy.reset(new MessageSpy(capture.m_hWnd));
    }
    ~LiveWindows()
    {
        QrCCameraUnInit();
        videoSpy.reset();
        exposureSpy.reset();
        captureSpy.reset();
        overlay.DestroyWindow();
        preview.DestroyWindow();
        videoRecord.DestroyWindow();
        exposure.DestroyWindow();
        capture.DestroyWindow();
    }
    void Place(int x, int y, int w, int h)
    {
        preview.SetWindowPos(NULL, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
        overlay.SetWindowPos(NULL, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Resizes both so that the preview's client area (scroll bars shown) is w x h.
    void SetClientSize(int w, int h)
    {
        CRect window, client;
        preview.GetWindowRect(&window);
        preview.GetClientRect(&client);
        Place(window.left, window.top, w + window.Width() - client.Width(), h + window.Height() - client.Height());
    }
    // Opens the library's current camera into the video static, as the camera panel does.
    bool Open()
    {
        HWND frame = ::GetDlgItem(preview.m_hWnd, IDC_PREVIEW_FRAME);
        if (QrCCameraInit(0, &preview.m_video, frame, 1) != CAM_OK) return false;
        QrCCameraParameterInit();
        return true;
    }
    CRect VideoRect()
    {
        CRect r;
        preview.m_video.GetWindowRect(&r);
        preview.ScreenToClient(&r);
        return r;
    }

    ShellLinksScope scope;
    Owner owner;
    Owner panelParent;
    CPreviewWnd preview;
    COverlayWnd overlay;
    CVideoRecordPanel videoRecord;
    CExposurePanel exposure;
    CountingCapturePanel capture;
    std::unique_ptr<MessageSpy> videoSpy, exposureSpy, captureSpy;
};

}  // namespace preview
