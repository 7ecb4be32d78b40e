#include "ShellTestSupport.h"
#include "app/capture/CameraPanel.h"
#include "camera/core/QrCCamera.h"

TEST(MainFrameLive, CameraDrawsIntoThePreview)
{
    CMainFrame* frame = SharedFrame();
    ASSERT_NE(frame, nullptr);
    frame->ShowWindow(SW_SHOWMAXIMIZED);
    PumpMessagesFor(500);
    MessageSpy spy(frame->m_preview.m_hWnd);
    Links().camera->PlayCamera();
    PumpMessagesFor(3000);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    int w = 0, h = 0;
    QrCCameraGetImageSize(&w, &h);
    RECT show = {};
    QrCCameraGetShowRect(&show);
    printf("run=%d frames=%d size=%dx%d show=%d,%d,%d,%d\n", mgr.runState, spy.Count(0x465), w, h, (int)show.left, (int)show.top, (int)show.right, (int)show.bottom);
    SaveScreenshot(nullptr, "frame_live");
    CRect preview = ScreenRect(frame->m_preview);
    printf("preview %d,%d %dx%d\n", (int)preview.left, (int)preview.top, preview.Width(), preview.Height());
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
        CWnd* w = CWnd::FromHandlePermanent(h);
        if (IsWindowVisible(h)) printf("  z %p %s ex=%lx\n", (void*)h, w ? w->GetRuntimeClass()->m_lpszClassName : "-", (unsigned long)GetWindowLongW(h, GWL_EXSTYLE));
    }
    EXPECT_GT(ShareUnlike(preview, RGB(189, 189, 189), 8), 0.5);
    frame->m_preview.SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (HWND prev = GetWindow(frame->m_preview.m_hWnd, GW_HWNDPREV); prev; prev = GetWindow(prev, GW_HWNDPREV)) {
        DWORD pid = 0; GetWindowThreadProcessId(prev, &pid);
        char cls[64] = {0}; GetClassNameA(prev, cls, 64);
        printf("  prev %p pid=%lu mine=%d style=%lx ex=%lx cls=%s\n", (void*)prev, (unsigned long)pid, pid == GetCurrentProcessId(), (unsigned long)GetWindowLongW(prev, GWL_STYLE), (unsigned long)GetWindowLongW(prev, GWL_EXSTYLE), cls);
    }
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    printf("exposure=%d gain=%d ae=%d\n", cur.exposureTime, cur.gain, cur.aeOn);
    QrCCameraParameterDefault(0);
    PumpMessagesFor(3000);
    QrCCameraGetCurParameter(&cur);
    printf("default: exposure=%d share=%f\n", cur.exposureTime, ShareUnlike(preview, RGB(189, 189, 189), 8));
    Links().camera->PlayCamera();
}

TEST(MainFrameLive, StandalonePreview)
{
    SharedFrame();
    ShellLinksScope scope;
    CPreviewWnd preview;
    preview.Create(CPreviewWnd::IDD, nullptr);
    preview.SetWindowPos(&CWnd::wndTopMost, 1300, 100, 400, 300, SWP_SHOWWINDOW);
    Links().preview = &preview;
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    printf("run before=%d\n", mgr.runState);
    Links().camera->PlayCamera();
    PumpMessagesFor(3000);
    printf("standalone share=%f\n", ShareUnlike(ScreenRect(preview), RGB(189, 189, 189), 8));
    SaveScreenshot(nullptr, "standalone");
    Links().camera->PlayCamera();
}
