// The live picture in the program's own windows (preview, overlay, camera panel, capture
// tool column, the image store drawing the overlay), opened by the camera panel's play
// operation and fitted, against the bench camera at three sizes and rates:
//   frames displayed in the preview (frame status 1) / the camera's frame rate
//                                                                    (aim: at least 0.98)
//   process CPU time per displayed frame / the same for the library alone drawing into a
//     plain window of the fitted picture's size, measured in the same run
//                                                                    (aim: at most 1.15)
// and both again with the pointer moving over the picture 60 times a second (the
// pointer thread's own CPU time left out).
#include "external/bench/Bench.h"   // before the framework, whose string header rejects its cast

#include "afxwin.h"
#include "app/shell/ShellLinks.h"
#include "app/shell/ProgressPopup.h"
#include "app/store/ImageStore.h"
#include "app/capture/CameraPanel.h"
#include "app/capture/CapturePanel.h"
#include "app/capture/CaptureProgressPanel.h"
#include "app/capture/CaptureToolBar.h"
#include "app/capture/ExposurePanel.h"
#include "app/capture/OverlayWnd.h"
#include "app/capture/PreviewWnd.h"
#include "app/capture/VideoRecordPanel.h"
#include "camera/core/CameraManager.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>

namespace {

struct Case {
    int width, height;
    double fps;
};

const Case kCases[] = {{640, 480, 60.0}, {1920, 1080, 30.0}, {4096, 3072, 7.0}};
const char kName[] = "Bench.1";
const int kPreviewWidth = 1024, kPreviewHeight = 768;
const DWORD kWarmUpMs = 2000;
const DWORD kMeasureMs = 5000;

double Now()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency.QuadPart;
}

double Seconds(const FILETIME& f)
{
    return (double(f.dwHighDateTime) * 4294967296.0 + f.dwLowDateTime) / 1e7;
}

double ProcessCpu()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return Seconds(kernel) + Seconds(user);
}

double ThreadCpu(HANDLE thread)
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(thread, &created, &exited, &kernel, &user);
    return Seconds(kernel) + Seconds(user);
}

// Moves the pointer round a circle inside a screen rectangle, 60 positions a second.
class MovingPointer {
public:
    explicit MovingPointer(const RECT& area) : m_area(area)
    {
        m_thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~MovingPointer()
    {
        m_stop = 1;
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    double Cpu() const { return ThreadCpu(m_thread); }

private:
    static DWORD WINAPI Run(void* p)
    {
        MovingPointer* self = static_cast<MovingPointer*>(p);
        const RECT& a = self->m_area;
        const int cx = (a.left + a.right) / 2, cy = (a.top + a.bottom) / 2;
        const int r = std::max(4, std::min(a.right - a.left, a.bottom - a.top) / 3);
        const double start = Now();
        for (int step = 0; !self->m_stop; ++step) {
            const double angle = step * 0.1;
            SetCursorPos(cx + int(r * cos(angle)), cy + int(r * sin(angle)));
            const double due = start + (step + 1) / 60.0;
            const double wait = due - Now();
            if (wait > 0)
                Sleep(DWORD(wait * 1000));
        }
        return 0;
    }
    RECT m_area;
    volatile LONG m_stop = 0;
    HANDLE m_thread = nullptr;
};

// Pumps every window's messages for ms milliseconds; answers the frames the library
// reported drawn meanwhile.
int Pump(DWORD ms)
{
    int shown = 0;
    const DWORD end = GetTickCount() + ms;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_CAMERA_FRAME_STATUS && msg.wParam == 1)
                ++shown;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return shown;
}

struct Figures {
    double shownFps = 0, deliveredFps = 0, cpuPerFrame = 0;
};

// Measures the running camera, with or without the pointer moving over `area`.
Figures Measure(const RECT* area)
{
    MovingPointer* pointer = area ? new MovingPointer(*area) : nullptr;
    // The bench draws its scene on the first frames of a size: let a few pass first.
    const uint32_t before = orvbench::Bench::Get().FrameCount(kName);
    Pump(kWarmUpMs);
    for (int i = 0; i < 120 && orvbench::Bench::Get().FrameCount(kName) - before < 3; ++i)
        Pump(1000);
    auto ownCpu = [pointer] { return ProcessCpu() - (pointer ? pointer->Cpu() : 0.0); };
    const double cpu = ownCpu();
    const uint32_t delivered = orvbench::Bench::Get().FrameCount(kName);
    const double start = Now();
    const int frames = Pump(kMeasureMs);
    const double wall = Now() - start;
    Figures f;
    f.shownFps = frames / wall;
    f.deliveredFps = (orvbench::Bench::Get().FrameCount(kName) - delivered) / wall;
    f.cpuPerFrame = frames > 0 ? (ownCpu() - cpu) / frames : -1.0;
    delete pointer;
    return f;
}

// The device adds its exposure unit: correct until the camera runs at the rate.
double SetRate(double fps)
{
    CCameraDevice* device = CCameraManager::Instance().GetDevice();
    double exposure = 1000000.0 / fps;
    for (int pass = 0; device && pass < 3; ++pass) {
        device->SetExposureTime(static_cast<int>(exposure));
        exposure *= orvbench::Bench::Get().FrameRate(kName) / fps;
    }
    return orvbench::Bench::Get().FrameRate(kName);
}

bool Running()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    return mgr.runState == 0;
}

LPCWSTR HostClass()
{
    return AfxRegisterWndClass(0, LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
}

}  // namespace

int main(int argc, char** argv)
{
    // An argument picks one case (0, 1, 2).
    const int only = argc > 1 ? atoi(argv[1]) : -1;
    printf("live picture in the program's windows, fitted into a %dx%d preview:\n"
           "displayed/camera rate (aim >= 0.98), CPU per displayed frame / library alone at the fitted size"
           " (aim <= 1.15);\nidle pointer, then the pointer moving over the picture 60 times a second\n",
           kPreviewWidth, kPreviewHeight);

    // The frame's part: an owner for the live windows, a host for the panels.
    CWnd frame, host;
    frame.CreateEx(0, HostClass(), L"frame", WS_POPUP | WS_VISIBLE, 0, 0, kPreviewWidth + 60, kPreviewHeight,
                   nullptr, nullptr);
    host.CreateEx(0, HostClass(), L"panels", WS_POPUP | WS_VISIBLE, kPreviewWidth + 80, 0, 300, 900, nullptr,
                  nullptr);
    if (!frame.m_hWnd || !host.m_hWnd) {
        printf("no window could be created (is a display running?)\n");
        return 1;
    }
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    CString baseFolder;
    baseFolder.Format(L"%sbench_live_preview_%lu\\", temp, GetCurrentProcessId());
    CreateDirectoryW(baseFolder, nullptr);

    CImageStore store;
    store.SetBaseFolder(baseFolder);
    CPreviewWnd preview;
    COverlayWnd overlay;
    CCaptureToolBar tools;
    CCameraPanel panel;
    CCapturePanel capture;
    CVideoRecordPanel videoRecord;
    CCaptureProgressPanel progress;
    CExposurePanel exposure;
    CProgressPopup meter;
    ShellLinks& links = Links();
    links.store = &store;
    links.preview = &preview;
    links.overlay = &overlay;
    links.captureTools = &tools;
    links.camera = &panel;
    links.capture = &capture;
    links.videoRecord = &videoRecord;
    links.captureProgress = &progress;
    links.exposure = &exposure;
    links.focusMeter = &meter;

    preview.Create(CPreviewWnd::IDD, &frame);
    overlay.Create(COverlayWnd::IDD, &preview);
    preview.SetWindowPos(nullptr, 0, 0, kPreviewWidth, kPreviewHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    overlay.SetWindowPos(nullptr, 0, 0, kPreviewWidth, kPreviewHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    preview.ShowWindow(SW_SHOWNOACTIVATE);
    overlay.ShowWindow(SW_SHOWNOACTIVATE);
    tools.Create(CCaptureToolBar::IDD, &frame);
    tools.SetWindowPos(nullptr, kPreviewWidth + 10, 0, 38, kPreviewHeight, SWP_NOZORDER | SWP_SHOWWINDOW);
    meter.Create(CProgressPopup::IDD, &frame);
    meter.ShowWindow(SW_HIDE);
    capture.Create(CCapturePanel::IDD, &host);
    videoRecord.Create(CVideoRecordPanel::IDD, &host);
    progress.Create(CCaptureProgressPanel::IDD, &host);
    exposure.Create(CExposurePanel::IDD, &host);
    panel.Create(CCameraPanel::IDD, &host);
    panel.ShowWindow(SW_SHOWNOACTIVATE);

    // The library-only reference draws into a plain child of the frame.
    HWND plain = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 16, 16, frame.m_hWnd, nullptr, nullptr, nullptr);
    CWnd plainWnd;
    plainWnd.Attach(plain);

    double leastDelivered = 1.0;
    for (const Case& c : kCases) {
        if (only >= 0 && &c != &kCases[only])
            continue;
        char text[256];
        snprintf(text, sizeof text,
                 "seed 1\nnoise on\ncamera zedodir 0547:A005 %s colour resolutions=%dX%d clocks=fast:4000\n", kName,
                 c.width, c.height);
        std::string error;
        if (!orvbench::Bench::Get().Load(text, &error) || QrCReflashCamera() != CAM_OK) {
            printf("%dx%d: bench not opened (%s)\n", c.width, c.height, error.c_str());
            continue;
        }
        panel.RefreshControls();
        panel.RefreshResolutionCombos();

        // The program's path: the panel opens and fits.
        panel.PlayCamera();
        if (!Running()) {
            printf("%dx%d: the camera panel did not open the camera\n", c.width, c.height);
            continue;
        }
        const double cameraFps = SetRate(c.fps);
        CRect video;
        preview.GetVideoStatic()->GetWindowRect(&video);
        const Figures panelIdle = Measure(nullptr);
        const Figures panelMoving = Measure(&video);
        panel.PlayCamera();

        // The reference: the library alone into a plain window of the fitted size.
        CRect local = video;
        frame.ScreenToClient(&local);
        preview.ShowWindow(SW_HIDE);
        overlay.ShowWindow(SW_HIDE);
        SetWindowPos(plain, HWND_TOP, local.left, local.top, local.Width(), local.Height(), SWP_SHOWWINDOW);
        Figures refIdle, refMoving;
        if (QrCCameraInit(0, &plainWnd, plain, 1) == CAM_OK) {
            SetRate(c.fps);
            refIdle = Measure(nullptr);
            refMoving = Measure(&video);
            QrCCameraUnInit();
        }
        ShowWindow(plain, SW_HIDE);
        preview.ShowWindow(SW_SHOWNOACTIVATE);
        overlay.ShowWindow(SW_SHOWNOACTIVATE);

        for (const Figures& f : {panelIdle, panelMoving, refIdle, refMoving})
            leastDelivered = std::min(leastDelivered, f.deliveredFps / cameraFps);
        const Figures* ours[2] = {&panelIdle, &panelMoving};
        const Figures* refs[2] = {&refIdle, &refMoving};
        for (int moving = 0; moving < 2; ++moving) {
            const Figures& f = *ours[moving];
            const Figures& r = *refs[moving];
            printf("%4dx%-4d at %4.1f fps, picture %4dx%-4d%s: displayed %6.2f of %6.2f delivered fps,"
                   " displayed/camera %.3f (library alone %.3f); CPU %6.2f ms per frame, library alone %6.2f ms,"
                   " ratio %.2f\n",
                   c.width, c.height, cameraFps, video.Width(), video.Height(),
                   moving ? ", pointer moving" : "                ", f.shownFps, f.deliveredFps,
                   f.shownFps / cameraFps,
                   r.shownFps / cameraFps, f.cpuPerFrame * 1000, r.cpuPerFrame * 1000,
                   r.cpuPerFrame > 0 ? f.cpuPerFrame / r.cpuPerFrame : -1.0);
        }
        fflush(stdout);
        QrCSetCamera(CAMERA_TYPE_NONE);
    }

    if (leastDelivered < 0.97)
        printf("machine too busy for these figures to mean anything: the simulated camera delivered %.0f%% of its"
               " frames; measure again on an idle machine\n", leastDelivered * 100);
    plainWnd.Detach();
    DestroyWindow(plain);
    panel.DestroyWindow();
    tools.DestroyWindow();
    meter.DestroyWindow();
    capture.DestroyWindow();
    videoRecord.DestroyWindow();
    progress.DestroyWindow();
    exposure.DestroyWindow();
    overlay.DestroyWindow();
    preview.DestroyWindow();
    links = ShellLinks();
    DeleteFileW(baseFolder + L"_Dynmeasure_.jpg");
    RemoveDirectoryW(baseFolder);
    host.DestroyWindow();
    frame.DestroyWindow();
    return 0;
}
