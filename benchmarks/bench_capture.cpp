// QrCCameraCapture to its done message for one 1920 x 1080 JPEG still, against the
// JPEG writer alone on the same frame: the difference is what the capture worker
// adds (stopping and restarting the live threads, grabbing, decoding, messages).
// The camera is a driver-library camera of this program's own that hands out a
// ready frame every 5 ms, so the figure does not depend on the simulated sensor's
// speed; a capture still waits for the frame in flight when it stops the live
// threads and for a new one for the still.
#include "afxwin.h"
#include "camera/core/CameraManager.h"
#include "camera/core/writers/CaptureWriters.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <vector>

namespace {

const int kWidth = 1920;
const int kHeight = 1080;
const int kRuns = 11;
std::vector<BYTE> g_frame;

class CBenchCamera : public CCameraDevice {
public:
    int GetImageSize(int* width, int* height) override
    {
        *width = kWidth;
        *height = kHeight;
        return CAM_OK;
    }
    int GrabFrame(BYTE*) override
    {
        Sleep(5);
        return 1;
    }
    int Decode(BYTE*, BYTE* image, int, int, int) override
    {
        memcpy(image, g_frame.data(), g_frame.size());
        return 1;
    }
};

CCameraDevice* MakeBenchCamera(int)
{
    return new CBenchCamera;
}

double Now()
{
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / f.QuadPart;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main()
{
    g_frame.resize(size_t(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            BYTE* p = &g_frame[(size_t(y) * kWidth + x) * 3];
            p[0] = BYTE(100 + (x * 7 + y) % 60);
            p[1] = BYTE(120 + (x + y * 3) % 50);
            p[2] = BYTE(90 + (x * y) % 40);
        }
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    CString folder = CString(temp) + L"orv_bench_capture\\";
    CreateDirectoryW(folder, nullptr);

    HWND receiver = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    nullptr, nullptr);
    CWnd receiveWnd;
    receiveWnd.Attach(receiver);

    CCameraManager::SetDeviceFactory(MakeBenchCamera);
    QrCSetCamera(CAMERA_TYPE_CAMDRVF);
    if (QrCCameraInit(0, nullptr, nullptr, 1) != CAM_OK) {
        printf("camera did not open\n");
        return 1;
    }
    Sleep(300);

    std::vector<double> capture, writer;
    for (int run = 0; run < kRuns; ++run) {
        CaptureParam p;
        p.Path = folder;
        p.FileName = L"bench";
        p.CaptureType = p.PictureType = CAPTURE_TYPE_JPEG;
        p.IsNum = 0;
        p.ReceiveWnd = &receiveWnd;
        const double start = Now();
        if (QrCCameraCapture(&p) != CAM_OK) {
            printf("capture refused\n");
            return 1;
        }
        MSG msg;
        bool done = false;
        while (!done && GetMessageW(&msg, receiver, 0, 0) > 0)
            done = msg.message == WM_CAPTURE_DONE;
        capture.push_back(Now() - start);
        while (CCameraManager::Instance().GetSettings().captureRunning)
            Sleep(1);
        Sleep(200);   // the live picture back

        CString path = folder + L"writer.jpg";
        const double w0 = Now();
        WriteJpegFile(path, g_frame.data(), kWidth, kHeight);
        writer.push_back(Now() - w0);
    }
    QrCSetCamera(CAMERA_TYPE_NONE);
    receiveWnd.Detach();
    DestroyWindow(receiver);

    const double c = Median(capture) * 1000, w = Median(writer) * 1000;
    printf("1920x1080 JPEG: QrCCameraCapture to WM_CAPTURE_DONE %.1f ms, JPEG writer alone %.1f ms, "
           "ratio %.2f (aim <= 1.5; median of %d)\n", c, w, c / w, kRuns);
    return 0;
}
