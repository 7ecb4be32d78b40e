// Live pipeline figures against the bench camera, at three frame sizes and rates:
//   displayed frames per second (with the live histogram drawn on every frame status)
//     /  the camera's own frame rate                      (aim: at least 0.98)
//   decode of one frame by the device
//     /  a plain copy of the same decoded frame's bytes
// Each rate figure averages the display thread's per-second rate over several seconds.
#include "external/bench/Bench.h"   // before the framework, whose string header rejects its cast

#include "afxwin.h"
#include "camera/core/CameraManager.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

// Reads the display thread's rate (a friend of the manager).
class CCameraManagerProbe {
public:
    static float DisplayRate() { return CCameraManager::Instance().m_displayRate; }
    static float GrabRate() { return CCameraManager::Instance().m_grabRate; }
};

namespace {

struct Case {
    int width, height;
    double fps;
};

const Case kCases[] = {{640, 480, 60.0}, {1920, 1080, 30.0}, {4096, 3072, 7.0}};
const char kName[] = "Bench.1";

double Now()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency.QuadPart;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Pump(DWORD ms, CDC* histogramDC, RECT* histogramRect)
{
    const DWORD end = GetTickCount() + ms;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_CAMERA_FRAME_STATUS && msg.wParam == 1 && histogramDC) {
                QrCDrawHistogramFram(histogramDC, histogramRect);
                QrCDrawHistogramData(histogramDC, histogramRect);
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

struct DecodeFigures {
    double ratio = -1.0;      // decode / copy
    double decodeMs = 0.0;
    double drawMs = 0.0;      // DrawDibDraw of the decoded frame into the window
};

// Decode time over copy time for one frame of the current camera (live not running).
DecodeFigures MeasureDecode(CCameraDevice* device, int width, int height, HWND window)
{
    DecodeFigures f;
    int receive = 0;
    device->GetRecvBufferSize(&receive);
    std::vector<BYTE> raw(receive);
    std::vector<BYTE> image(size_t(width) * height * 3 + 64 + 4 * 1040 + 4096);
    std::vector<BYTE> copy(size_t(width) * height * 3);
    int got = 0;
    for (int i = 0; i < 100 && got != 1; ++i)
        got = device->GrabFrame(raw.data());
    if (got != 1)
        return f;
    std::vector<double> decode, plain, draw;
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof bih;
    bih.biWidth = width;
    bih.biHeight = height;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    HDRAWDIB dd = DrawDibOpen();
    for (int run = 0; run < 7; ++run) {
        double t = Now();
        device->Decode(raw.data(), image.data(), width, height, 1);
        decode.push_back(Now() - t);
        t = Now();
        memcpy(copy.data(), image.data() + 64, copy.size());
        plain.push_back(Now() - t);
        t = Now();
        DrawDibDraw(dd, dc, 0, 0, client.right, client.bottom, &bih, image.data() + 64, 0, 0,
                    width, height, 0);
        GdiFlush();
        draw.push_back(Now() - t);
    }
    DrawDibClose(dd);
    ReleaseDC(window, dc);
    f.ratio = Median(decode) / Median(plain);
    f.decodeMs = Median(decode) * 1000.0;
    f.drawMs = Median(draw) * 1000.0;
    return f;
}

}  // namespace

int main()
{
    printf("live pipeline: displayed fps / camera fps (histogram drawn), decode / copy\n");
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
        const DecodeFigures decode = MeasureDecode(device, c.width, c.height, child);
        if (QrCCameraInit(0, &wnd, child, 1) != CAM_OK) {
            printf("%dx%d: camera not opened\n", c.width, c.height);
            continue;
        }
        Pump(2500, &histogram, &histogramRect);
        std::vector<double> rates;
        const uint32_t firstFrame = orvbench::Bench::Get().FrameCount(kName);
        const double start = Now();
        for (int second = 0; second < 6; ++second) {
            Pump(1000, &histogram, &histogramRect);
            rates.push_back(CCameraManagerProbe::DisplayRate());
        }
        const double delivered = (orvbench::Bench::Get().FrameCount(kName) - firstFrame) / (Now() - start);
        double shown = 0;
        for (double r : rates)
            shown += r;
        shown /= rates.size();
        printf("%4dx%-4d at %5.1f fps: camera %6.2f fps, delivered %6.2f fps, displayed %6.2f fps,"
               " displayed/camera %.3f; decode/copy %.1f (decode %.1f ms, draw %.1f ms)\n",
               c.width, c.height, c.fps, cameraFps, delivered, shown, shown / cameraFps, decode.ratio,
               decode.decodeMs, decode.drawMs);
        fflush(stdout);
        QrCCameraUnInit();
        QrCSetCamera(CAMERA_TYPE_NONE);
    }
    histogram.SelectObject(oldBitmap);
    wnd.Detach();
    DestroyWindow(parent);
    return 0;
}
