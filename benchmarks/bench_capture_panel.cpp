// Capture figures through the capture panel in the real Capture page:
//   shots per second of a series at the shortest interval started by the panel  /
//     QrCCameraCapture with the same request and a bare receive window (aim: 0.97)
//   the collector's filing of 20 files: mean ms per file against its designed 500 ms
//   the Capture page's answer to a probe thread's SendMessageTimeout(WM_NULL) every
//     20 ms during that series and during a recording at 1920 x 1080 at 30 frames a
//     second: maximum and 99th percentile, beside the live picture alone (aim: 50 ms)
//   frames written per frame the camera delivered until the recording's end reached
//     the receiver, recording started by the panel  /  started by the export
//     (aim: at least 0.98)
// Arguments: shots of the series (500), seconds of the recording (20).
#include "external/bench/Bench.h"   // before the framework, whose string header rejects its cast

#include "afxwin.h"
#include "app/browse/ThumbnailListCtrl.h"
#include "app/browse/ThumbnailStrip.h"
#include "app/capture/CapturePanel.h"
#include "app/shell/CapturePage.h"
#include "app/shell/ShellLinks.h"
#include "camera/core/CameraManager.h"

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char kLarge[] = "Large.1";

double Now()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency.QuadPart;
}

void Pump(DWORD ms)
{
    const DWORD end = GetTickCount() + ms;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
}

template <class Cond>
bool PumpUntil(Cond cond, DWORD ms)
{
    const DWORD end = GetTickCount() + ms;
    while (!cond()) {
        if (static_cast<int>(end - GetTickCount()) <= 0)
            return false;
        Pump(5);
    }
    return true;
}

// What the receive windows get, counted by a subclassing procedure.
struct Counts {
    LONG lastShot = 0;        // WM_CAPTURE_DONE with lParam 0
    LONG recordEnd = 0;       // WM_CAPTURE_DONE with lParam 1
    LONG progress = 0;        // WM_CAPTURE_PROGRESS
    // Frames the camera had delivered when the recording's end arrived, before the
    // receiver's own end handling (the panel's closing pause) runs.
    uint32_t framesAtRecordEnd = 0;
};
Counts g_counts;
std::vector<std::pair<HWND, WNDPROC>> g_subclassed;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_CAPTURE_DONE && lp == 0)
        InterlockedIncrement(&g_counts.lastShot);
    if (msg == WM_CAPTURE_DONE && lp == 1) {
        g_counts.framesAtRecordEnd = orvbench::Bench::Get().FrameCount(kLarge);
        InterlockedIncrement(&g_counts.recordEnd);
    }
    if (msg == WM_CAPTURE_PROGRESS)
        InterlockedIncrement(&g_counts.progress);
    for (const auto& s : g_subclassed)
        if (s.first == hwnd)
            return CallWindowProcW(s.second, hwnd, msg, wp, lp);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void Count(HWND hwnd)
{
    g_subclassed.push_back({hwnd, (WNDPROC)SetWindowLongPtrW(hwnd, GWLP_WNDPROC, (LONG_PTR)CountingProc)});
}

// Sends WM_NULL to a window every 20 ms from its own Win32 thread; the answer times.
struct Probe {
    HWND target = nullptr;
    volatile LONG stop = 0;
    std::vector<double> ms;
    std::vector<double> at;   // seconds from Start to each probe
    double started = 0;
    HANDLE thread = nullptr;

    static DWORD WINAPI Run(void* self)
    {
        Probe* p = static_cast<Probe*>(self);
        while (!p->stop) {
            const double start = Now();
            DWORD_PTR result = 0;
            SendMessageTimeoutW(p->target, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
            p->ms.push_back((Now() - start) * 1000.0);
            p->at.push_back(start - p->started);
            Sleep(20);
        }
        return 0;
    }
    void Start(HWND hwnd)
    {
        target = hwnd;
        stop = 0;
        ms.clear();
        at.clear();
        started = Now();
        thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    void Stop()
    {
        stop = 1;
        // The probe waits on this thread's answers: keep answering while it ends.
        while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
            Pump(1);
        CloseHandle(thread);
    }
    void Print(const char* what) const
    {
        std::vector<double> v = ms;
        std::sort(v.begin(), v.end());
        const double p99 = v.empty() ? 0 : v[std::min(v.size() - 1, v.size() * 99 / 100)];
        const size_t worst = std::max_element(ms.begin(), ms.end()) - ms.begin();
        printf("  %-44s max %7.1f ms (at %.1f s)  p99 %7.1f ms  (%zu probes)\n", what, v.empty() ? 0 : v.back(),
               ms.empty() ? 0 : at[worst], p99, v.size());
    }
};

// A thumbnail list that keeps the time of each file it is given.
class CTimedList : public CThumbnailListCtrl {
public:
    void AddFile(CString path, int flag) override
    {
        {
            CSingleLock lock(&m_timeLock, TRUE);
            times.push_back(Now());
        }
        CThumbnailListCtrl::AddFile(path, flag);
    }
    size_t Count()
    {
        CSingleLock lock(&m_timeLock, TRUE);
        return times.size();
    }
    CCriticalSection m_timeLock;
    std::vector<double> times;
};

CString TempFolder(const wchar_t* name)
{
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    CString folder;
    folder.Format(L"%s%s-%lu\\", temp, name, GetCurrentProcessId());
    CreateDirectoryW(folder, nullptr);
    return folder;
}

void RemoveFolder(const CString& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(folder + L"*", &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW(folder + found.cFileName);
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(folder);
}

void EditCapture(const CString& folder, int count, int seconds)
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CaptureParam& c = mgr.capture;
    c.IsCaptureDlg = 0;
    c.Path = folder;
    c.FileName = L"B";
    c.CaptureType = c.PictureType = CAPTURE_TYPE_BMP;
    c.IsNum = 1;
    c.IsTimeStamp = 0;
    c.IsLapse = count > 1;
    c.Count = count;
    c.Space = 1;
    c.IsMode = 0;
    c.IsManual = 0;
    // A recording by count: each frame written is reported once.
    c.IsTimeRecord = 0;
    c.AviFrame = seconds * 30;
    c.Compress = 0;
    c.ProcessingEnabled = 0;
    c.FluorescenceType = 0;
    c.CombineMeasurement = 0;
    QrCCameraSetMgrParameter(&mgr);
}

struct Live {
    HWND parent = nullptr, child = nullptr;
    CWnd wnd;
    bool Open()
    {
        parent = CreateWindowExW(0, L"STATIC", L"live", WS_POPUP | WS_VISIBLE, 400, 0, 640, 360, nullptr, nullptr,
                                 nullptr, nullptr);
        child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 640, 360, parent, nullptr, nullptr,
                                nullptr);
        wnd.Attach(child);
        if (QrCCameraInit(0, &wnd, child, 1) != CAM_OK)
            return false;
        QrCCameraParameterInit();
        QrCCameraSetAeState(0);
        QrCCameraSetExposureTimeMS(33333, 1);
        Pump(500);
        return true;
    }
    void Close()
    {
        QrCCameraUnInit();
        wnd.Detach();
        DestroyWindow(parent);
    }
};

bool LoadCamera(const char* line)
{
    std::string error;
    if (!orvbench::Bench::Get().Load(std::string("seed 1\nnoise off\n") + line + "\n", &error)) {
        fprintf(stderr, "bench: %s\n", error.c_str());
        return false;
    }
    return QrCReflashCamera() == CAM_OK;
}

}  // namespace

int main(int argc, char** argv)
{
    const int shots = argc > 1 ? std::max(2, atoi(argv[1])) : 500;
    const int seconds = argc > 2 ? std::max(1, atoi(argv[2])) : 20;
    CoInitialize(nullptr);
    printf("capture panel figures (series of %d shots, recording of %d s)\n", shots, seconds);

    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 260, 700, nullptr, nullptr,
                                nullptr, nullptr);
    CWnd hostWnd;
    hostWnd.Attach(host);
    HWND stripHost = CreateWindowExW(0, L"STATIC", L"strip", WS_POPUP | WS_VISIBLE, 0, 720, 300, 200, nullptr,
                                     nullptr, nullptr, nullptr);
    CWnd stripWnd;
    stripWnd.Attach(stripHost);
    CThumbnailStrip strip;
    strip.Create(CThumbnailStrip::IDD, &stripWnd);
    CTimedList list;
    Links().strip = &strip;
    Links().thumbList = &list;

    // --- series: panel in the page against the export with a bare window -------------
    if (!LoadCamera("camera zedodir 0547:A004 Small.1 colour resolutions=320X240,160X120"))
        return 1;
    const CString seriesFolder = TempFolder(L"orvbench-series");
    // The panel copies the library's settings when it is created.
    EditCapture(seriesFolder, shots, seconds);
    CCapturePage* page = new CCapturePage(&hostWnd);
    page->Create(CCapturePage::IDD, &hostWnd);
    page->ShowWindow(SW_SHOW);
    Count(page->m_hWnd);
    Live live;
    if (!live.Open()) {
        fprintf(stderr, "camera did not open\n");
        return 1;
    }
    page->m_videoRecordPanel.UpdateControlState();
    page->m_capturePanel.UpdateControlState();
    Probe probe;
    probe.Start(page->m_hWnd);
    Pump(3000);
    probe.Stop();
    probe.Print("live picture alone");

    g_counts.lastShot = 0;
    probe.Start(page->m_hWnd);
    double start = Now();
    page->m_capturePanel.OnCapture();
    PumpUntil([] { return g_counts.lastShot > 0; }, 3600 * 1000);
    const double panelSeconds = Now() - start;
    probe.Stop();
    probe.Print("series through the panel");
    PumpUntil([&] { return list.Count() >= 20; }, 60 * 1000);
    double filing = 0;
    {
        CSingleLock lock(&list.m_timeLock, TRUE);
        if (list.times.size() >= 20)
            filing = (list.times[19] - list.times[0]) / 19 * 1000.0;
    }
    page->m_capturePanel.m_bSeriesStop = 1;
    PumpUntil([&] { return page->m_capturePanel.m_bSeriesRunning == 0; }, 10000);
    RemoveFolder(seriesFolder);

    // The same request straight to the library, received by a bare window.
    HWND bare = CreateWindowExW(0, L"STATIC", L"bare", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    Count(bare);
    CWnd bareWnd;
    bareWnd.Attach(bare);
    const CString bareFolder = TempFolder(L"orvbench-bare");
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CaptureParam request = mgr.capture;
    request.Path = bareFolder;
    request.ReceiveWnd = &bareWnd;
    g_counts.lastShot = 0;
    start = Now();
    QrCCameraCapture(&request);
    PumpUntil([] { return g_counts.lastShot > 0; }, 3600 * 1000);
    const double bareSeconds = Now() - start;
    RemoveFolder(bareFolder);
    printf("  shots per second: panel %.2f  export %.2f  ratio %.3f (aim >= 0.97)\n", shots / panelSeconds,
           shots / bareSeconds, bareSeconds / panelSeconds);
    printf("  collector: %.0f ms per file against the designed 500 ms (ratio %.3f)\n", filing, filing / 500.0);
    live.Close();

    // --- recording at 1920 x 1080 -----------------------------------------------------------
    page->DestroyWindow();
    delete page;
    if (!LoadCamera("camera zedodir 0547:A004 Large.1 colour resolutions=1920X1080,960X540 clocks=Fast:200"))
        return 1;
    const CString videoFolder = TempFolder(L"orvbench-video");
    EditCapture(videoFolder, 1, seconds);
    page = new CCapturePage(&hostWnd);
    page->Create(CCapturePage::IDD, &hostWnd);
    page->ShowWindow(SW_SHOW);
    Count(page->m_hWnd);
    live.Open();
    page->m_videoRecordPanel.UpdateControlState();
    page->m_capturePanel.UpdateControlState();
    probe.Start(page->m_hWnd);
    Pump(3000);
    probe.Stop();
    probe.Print("live picture alone, 1920 x 1080");

    g_counts.recordEnd = 0;
    g_counts.progress = 0;
    uint32_t shownBefore = orvbench::Bench::Get().FrameCount(kLarge);
    probe.Start(page->m_hWnd);
    page->m_capturePanel.StartVideoRecording();
    PumpUntil([] { return g_counts.recordEnd > 0; }, (seconds + 60) * 1000);
    probe.Stop();
    const double panelWritten =
        double(g_counts.progress) / std::max<uint32_t>(1, g_counts.framesAtRecordEnd - shownBefore);
    probe.Print("recording through the panel");
    RemoveFolder(videoFolder);

    CreateDirectoryW(videoFolder, nullptr);
    QrCCameraGetMgrParameter(&mgr);
    request = mgr.capture;
    request.CaptureType = CAPTURE_TYPE_AVI;
    request.Path = videoFolder;
    request.ReceiveWnd = &bareWnd;
    g_counts.recordEnd = 0;
    g_counts.progress = 0;
    shownBefore = orvbench::Bench::Get().FrameCount(kLarge);
    QrCCameraCapture(&request);
    PumpUntil([] { return g_counts.recordEnd > 0; }, (seconds + 60) * 1000);
    QrCCameraReleaseCapture();
    const double exportWritten =
        double(g_counts.progress) / std::max<uint32_t>(1, g_counts.framesAtRecordEnd - shownBefore);
    RemoveFolder(videoFolder);
    printf("  frames written per delivered frame: panel %.3f  export %.3f  ratio %.3f (aim >= 0.98)\n",
           panelWritten, exportWritten, exportWritten > 0 ? panelWritten / exportWritten : 0.0);

    live.Close();
    page->DestroyWindow();
    delete page;
    Links().strip = nullptr;
    Links().thumbList = nullptr;
    strip.DestroyWindow();
    stripWnd.Detach();
    DestroyWindow(stripHost);
    bareWnd.Detach();
    DestroyWindow(bare);
    hostWnd.Detach();
    DestroyWindow(host);
    CoUninitialize();
    return 0;
}
