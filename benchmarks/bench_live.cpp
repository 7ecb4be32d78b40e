// Live pipeline figures against the bench camera, at three frame sizes and rates, the
// picture shown in a window of at most 1024 x 768 with the live histogram drawn on
// every frame status:
//   displayed frames per second / the camera's own frame rate        (aim: at least 0.98)
//   process CPU time per displayed frame / the same for a minimal reference measured
//     in the same run: grab a frame, decode it, scale it into a 32-bit picture of the
//     window's size and draw that with SetDIBitsToDevice, one frame after the other on
//     one thread                                                     (aim: at most 1.5)
// and both again with 4 busy threads of other work in the process (their own CPU time
// left out). A spinning probe thread and the camera's delivered frames tell whether the
// machine had the time to spare that the rate figure needs; one line says when not.
#include "external/bench/Bench.h"   // before the framework, whose string header rejects its cast

#include "afxwin.h"
#include "camera/core/CameraManager.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Case {
    int width, height;
    double fps;
};

const Case kCases[] = {{640, 480, 60.0}, {1920, 1080, 30.0}, {4096, 3072, 7.0}};
const char kName[] = "Bench.1";
const int kBusyThreads = 4;
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

// Threads of other work: arithmetic without end until told to stop.
class BusyThreads {
public:
    explicit BusyThreads(int count)
    {
        for (int i = 0; i < count; ++i)
            m_threads.push_back(CreateThread(nullptr, 0, Spin, const_cast<LONG*>(&m_stop), 0, nullptr));
    }
    ~BusyThreads()
    {
        m_stop = 1;
        WaitForMultipleObjects(DWORD(m_threads.size()), m_threads.data(), TRUE, INFINITE);
        for (HANDLE t : m_threads)
            CloseHandle(t);
    }
    double Cpu() const
    {
        double sum = 0;
        for (HANDLE t : m_threads)
            sum += ThreadCpu(t);
        return sum;
    }

private:
    static DWORD WINAPI Spin(void* stop)
    {
        volatile double x = 1.0;
        while (!*static_cast<volatile LONG*>(stop))
            for (int i = 0; i < 100000; ++i)
                x = x * 1.0000001 + 1e-9;
        return 0;
    }
    volatile LONG m_stop = 0;
    std::vector<HANDLE> m_threads;
};

// Share of one core a spinning thread gets over a short while: well below 1 means
// other programs kept the machine busy.
double SpareCore()
{
    volatile LONG stop = 0;
    struct Job {
        volatile LONG* stop;
        static DWORD WINAPI Run(void* p)
        {
            volatile double x = 1.0;
            while (!*static_cast<Job*>(p)->stop)
                x = x * 1.0000001 + 1e-9;
            return 0;
        }
    } job{&stop};
    HANDLE thread = CreateThread(nullptr, 0, Job::Run, &job, 0, nullptr);
    const double start = Now();
    Sleep(300);
    const double cpu = ThreadCpu(thread), wall = Now() - start;
    stop = 1;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return cpu / wall;
}

// Pumps the window's messages for ms milliseconds, drawing the histogram on every
// frame status; answers the frames shown meanwhile.
int Pump(DWORD ms, CDC* histogramDC, RECT* histogramRect)
{
    int shown = 0;
    const DWORD end = GetTickCount() + ms;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_CAMERA_FRAME_STATUS && msg.wParam == 1) {
                ++shown;
                QrCDrawHistogramFram(histogramDC, histogramRect);
                QrCDrawHistogramData(histogramDC, histogramRect);
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return shown;
}

// The reference: the least a live picture needs for each frame, on one thread.
double ReferenceCpuPerFrame(CCameraDevice* device, int width, int height, HWND window, int frames,
                            const BusyThreads* busy)
{
    int receive = 0;
    device->GetRecvBufferSize(&receive);
    std::vector<BYTE> raw(static_cast<size_t>(receive));
    std::vector<BYTE> image(static_cast<size_t>(receive) * 3);
    RECT client;
    GetClientRect(window, &client);
    const int vw = client.right, vh = client.bottom;
    std::vector<DWORD> view(static_cast<size_t>(vw) * vh);
    std::vector<int> columns(static_cast<size_t>(vw));
    for (int x = 0; x < vw; ++x)
        columns[size_t(x)] = int((2LL * x + 1) * width / (2LL * vw)) * 3;
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof bih;
    bih.biWidth = vw;
    bih.biHeight = vh;
    bih.biPlanes = 1;
    bih.biBitCount = 32;
    HDC dc = GetDC(window);
    auto oneFrame = [&]() -> bool {
        int got = 0;
        for (int i = 0; i < 100 && got != 1 && got != 2; ++i)
            got = device->GrabFrame(raw.data());
        if ((got != 1 && got != 2) || device->Decode(raw.data(), image.data(), width, height, 1) <= 0)
            return false;
        orvbench::ImageRecord record;
        memcpy(&record, image.data(), sizeof record);
        const BYTE* pixels = image.data() + record.headerSize;
        const size_t stride = size_t(record.width) * 3;
        for (int y = 0; y < vh; ++y) {
            const int sy = int((2LL * y + 1) * record.height / (2LL * vh));
            const BYTE* row = pixels + size_t(record.height - 1 - sy) * stride;
            DWORD* out = &view[size_t(vh - 1 - y) * vw];
            for (int x = 0; x < vw; ++x) {
                const BYTE* p = row + columns[size_t(x)];
                out[x] = DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16;
            }
        }
        SetDIBitsToDevice(dc, 0, 0, vw, vh, 0, 0, 0, vh, view.data(),
                          reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS);
        GdiFlush();
        return true;
    };
    for (int i = 0; i < 3; ++i)
        oneFrame();
    auto ownCpu = [busy] { return ProcessCpu() - (busy ? busy->Cpu() : 0.0); };
    const double start = ownCpu();
    int done = 0;
    for (int i = 0; i < frames; ++i)
        done += oneFrame();
    const double cpu = ownCpu() - start;
    ReleaseDC(window, dc);
    return done ? cpu / done : -1.0;
}

struct LiveFigures {
    double shownFps = 0, deliveredFps = 0, cpuPerFrame = 0;
    long leftOut = 0;   // delivered but never shown
};

LiveFigures MeasureLive(CDC* histogram, RECT* histogramRect, const BusyThreads* busy)
{
    Pump(kWarmUpMs, histogram, histogramRect);
    LiveFigures f;
    const uint32_t delivered = orvbench::Bench::Get().FrameCount(kName);
    const double cpu = ProcessCpu() - (busy ? busy->Cpu() : 0.0);
    const double start = Now();
    const int frames = Pump(kMeasureMs, histogram, histogramRect);
    const double wall = Now() - start;
    const uint32_t came = orvbench::Bench::Get().FrameCount(kName) - delivered;
    f.shownFps = frames / wall;
    f.deliveredFps = came / wall;
    f.leftOut = std::max(0L, long(came) - frames);
    f.cpuPerFrame = frames > 0 ? (ProcessCpu() - (busy ? busy->Cpu() : 0.0) - cpu) / frames : -1.0;
    return f;
}

}  // namespace

int main()
{
    printf("live pipeline, window at most 1024x768, histogram drawn: displayed/camera rate (aim >= 0.98),\n"
           "process CPU per displayed frame / reference (aim <= 1.5); idle, then with %d busy threads\n",
           kBusyThreads);
    HWND parent = CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768,
                                  nullptr, nullptr, nullptr, nullptr);
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 1024, 768, parent,
                                 nullptr, nullptr, nullptr);
    CWnd wnd;
    wnd.Attach(child);
    CDC histogram;
    histogram.CreateCompatibleDC(nullptr);
    CBitmap histogramBitmap;
    histogramBitmap.CreateBitmap(200, 110, 1, 32, nullptr);
    CBitmap* oldBitmap = histogram.SelectObject(&histogramBitmap);
    RECT histogramRect = {0, 0, 200, 110};

    double leastSpare = SpareCore(), leastDelivered = 1.0;
    for (const Case& c : kCases) {
        char text[256];
        snprintf(text, sizeof text,
                 "seed 1\nnoise on\ncamera zedodir 0547:A005 %s colour resolutions=%dX%d clocks=fast:4000\n",
                 kName, c.width, c.height);
        std::string error;
        if (!orvbench::Bench::Get().Load(text, &error) || QrCReflashCamera() != CAM_OK) {
            printf("%dx%d: bench not opened (%s)\n", c.width, c.height, error.c_str());
            continue;
        }
        CCameraDevice* device = CCameraManager::Instance().GetDevice();
        // The device adds its exposure unit: correct until the camera runs at the rate.
        double exposure = 1000000.0 / c.fps;
        for (int pass = 0; pass < 3; ++pass) {
            device->SetExposureTime(static_cast<int>(exposure));
            exposure *= orvbench::Bench::Get().FrameRate(kName) / c.fps;
        }
        const double cameraFps = orvbench::Bench::Get().FrameRate(kName);
        const int windowWidth = std::min(c.width, 1024), windowHeight = std::min(c.height, 768);
        SetWindowPos(parent, nullptr, 0, 0, windowWidth, windowHeight, SWP_NOZORDER);
        SetWindowPos(child, nullptr, 0, 0, windowWidth, windowHeight, SWP_NOZORDER);
        const int referenceFrames = std::max(10, int(c.fps * 2));

        for (int loaded = 0; loaded < 2; ++loaded) {
            BusyThreads* busy = loaded ? new BusyThreads(kBusyThreads) : nullptr;
            const double reference = ReferenceCpuPerFrame(device, c.width, c.height, child, referenceFrames, busy);
            if (QrCCameraInit(0, &wnd, child, 1) != CAM_OK) {
                printf("%dx%d: camera not opened\n", c.width, c.height);
                delete busy;
                break;
            }
            const LiveFigures live = MeasureLive(&histogram, &histogramRect, busy);
            QrCCameraUnInit();
            delete busy;
            printf("%4dx%-4d at %4.1f fps%s: displayed %6.2f fps of %6.2f delivered, displayed/camera %.3f;"
                   " CPU %6.2f ms per frame, reference %6.2f ms, ratio %.2f; %ld left out\n",
                   c.width, c.height, c.fps, loaded ? ", 4 busy" : "        ", live.shownFps,
                   live.deliveredFps, live.shownFps / cameraFps, live.cpuPerFrame * 1000,
                   reference * 1000, reference > 0 ? live.cpuPerFrame / reference : -1.0, live.leftOut);
            fflush(stdout);
            if (!loaded)
                leastDelivered = std::min(leastDelivered, live.deliveredFps / cameraFps);
        }
        QrCSetCamera(CAMERA_TYPE_NONE);
        leastSpare = std::min(leastSpare, SpareCore());
    }
    if (leastSpare < 0.9 || leastDelivered < 0.97)
        printf("machine too busy for the rate figures to mean anything: a spinning thread got %.0f%% of a core, "
               "the simulated camera delivered %.0f%% of its frames; measure again on an idle machine\n",
               leastSpare * 100, leastDelivered * 100);
    histogram.SelectObject(oldBitmap);
    wnd.Detach();
    DestroyWindow(parent);
    return 0;
}
