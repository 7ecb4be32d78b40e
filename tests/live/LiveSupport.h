// Shared pieces of the live tests: a bench with known cameras opened through the
// library's exports, the windows the picture goes to, and pixel access to memory DCs.
#pragma once

// The bench header comes first: the framework's string header turns a cast it makes
// into an error.
#include "external/bench/Bench.h"

#include "support/gtest.h"
#include "support/wintest.h"

#include "afxwin.h"
#include "camera/core/CameraManager.h"

#include <string>
#include <vector>

// Reaches the manager's state (a friend of CCameraManager).
class CCameraManagerProbe {
public:
    static CCameraManager& M() { return CCameraManager::Instance(); }
    static int RunState() { return M().m_runState; }
    static int SetPoint() { return M().m_coolingSetPoint; }
    static const int* History() { return M().m_temperatureHistory; }
    static void SetHistory(int i, int v) { M().m_temperatureHistory[i] = v; }
    static void ClearHistory()
    {
        for (int& v : M().m_temperatureHistory)
            v = -300;
    }
    static BOOL TemperatureRunning() { return M().m_temperatureRunning; }
    static void StartTemperature() { M().StartTemperatureWorker(); }
    static void StopTemperature() { M().StopTemperatureWorker(); }
    static CameraParamInfo& Info() { return M().m_info; }
    static BYTE* CropBuffer() { return M().m_cropBuffer; }
    static float DisplayRate() { return M().m_displayRate; }
    static float GrabRate() { return M().m_grabRate; }
    static void SetRunStateByte(BYTE v) { M().m_param.runState = v; }
    static void RestartWhiteBalanceCountdown() { CCameraManager::s_whiteBalanceCountdown = 30; }
    // Scales a picture (rows bottom-up) as the presenter does; the 32-bit result, rows
    // bottom-up, is the picture being filled.
    static std::vector<DWORD> Scale(const std::vector<BYTE>& pixels, int width, int height, int bytesPerPixel,
                                    const RECT& source, int viewWidth, int viewHeight)
    {
        CCameraManager::PresentJob job;
        job.width = width;
        job.height = height;
        job.bytesPerPixel = bytesPerPixel;
        job.source = source;
        job.viewWidth = viewWidth;
        job.viewHeight = viewHeight;
        M().ScaleIntoView(pixels.data(), job);
        const DWORD* view = reinterpret_cast<const DWORD*>(M().m_views[1]);
        return view ? std::vector<DWORD>(view, view + size_t(viewWidth) * viewHeight) : std::vector<DWORD>();
    }
};

namespace livetest {

const char kCamera[] = "Live.1";

// Loads a bench of one noise-free colour camera and makes it the library's current one.
inline void OpenBench(const std::string& cameraLine)
{
    std::string error;
    ASSERT_TRUE(orvbench::Bench::Get().Load("seed 3\nnoise off\n" + cameraLine + "\n", &error)) << error;
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);
}

inline void OpenSmallCamera()
{
    OpenBench(std::string("camera zedodir 0547:A005 ") + kCamera +
              " colour resolutions=320X256,160X128 clocks=fast:200");
}

// A top-level window with a child: the child draws, the parent gets the messages.
class LiveWindows {
public:
    LiveWindows(int x, int y, int width, int height, bool visible = true)
    {
        parent = CreateWindowExW(0, L"STATIC", L"live", WS_POPUP | (visible ? WS_VISIBLE : 0), x, y,
                                 width, height, nullptr, nullptr, nullptr, nullptr);
        child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                                parent, nullptr, nullptr, nullptr);
        attached = own.Attach(child);
        wnd = attached ? &own : CWnd::FromHandle(child);
    }
    ~LiveWindows()
    {
        if (attached)
            own.Detach();
        DestroyWindow(parent);
    }
    HWND parent = nullptr;
    HWND child = nullptr;
    BOOL attached = FALSE;
    CWnd own;
    CWnd* wnd = nullptr;
};

// A 32-bit top-down memory bitmap selected into a memory DC, white at the start.
class MemoryCanvas {
public:
    MemoryCanvas(int w, int h) : width(w), height(h)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        old = SelectObject(dc, bitmap);
        Fill(RGB(255, 255, 255));
    }
    ~MemoryCanvas()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Fill(COLORREF c)
    {
        GdiFlush();
        for (int i = 0; i < width * height; ++i)
            bits[i] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        const DWORD v = bits[y * width + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    int width, height;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    DWORD* bits = nullptr;
};

}  // namespace livetest
