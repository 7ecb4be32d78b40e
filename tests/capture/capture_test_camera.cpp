#include "support/gtest.h"
#include "capture_test_camera.h"

#include <stdio.h>
#include <string.h>

CaptureCameraSetup g_camera;
// Progress reaches the log even when a run is cut short.
static const int s_unbuffered = setvbuf(stdout, nullptr, _IONBF, 0);
std::atomic<int> g_grabs{0};

int SceneSample(int x, int y, bool wide)
{
    const int s = 40 + x * 150 / g_camera.width + y * 50 / g_camera.height;
    return wide ? s * 256 + (x * 7 + y * 3) % 256 : s;
}

namespace {

void DecodePixel(int s, int x, bool wide, bool out16, BYTE* p)
{
    if (out16) {
        const int v[3] = {s, 65535 - s, (x * 256) & 0xffff};
        for (int c = 0; c < 3; ++c) {
            p[2 * c] = BYTE(v[c]);
            p[2 * c + 1] = BYTE(v[c] >> 8);
        }
        return;
    }
    const int s8 = wide ? s >> 8 : s;
    p[0] = BYTE(s8);
    p[1] = BYTE(255 - s8);
    p[2] = BYTE(x & 255);
}

class CCaptureTestCamera : public CCameraDevice {
public:
    CCaptureTestCamera() : m_setup(g_camera), m_seed(12345)
    {
        m_info.featureFlags[0] = 1;
        m_info.featureFlags[6] = m_setup.wide ? 1 : 0;
    }
    // Each resolution index halves the frame of the one before.
    int Init(CameraFrameCallback, int previewResolution, HWND, HWND, int) override
    {
        m_resolution = previewResolution;
        return CAM_OK;
    }
    int SetResolution(int index) override
    {
        m_resolution = index;
        return CAM_OK;
    }
    int GetResolution(BYTE* index) override
    {
        *index = BYTE(m_resolution);
        return CAM_OK;
    }
    int GetImageSize(int* width, int* height) override
    {
        *width = Width();
        *height = Height();
        return CAM_OK;
    }
    int GrabFrame(BYTE* frame) override
    {
        if (g_camera.grabResult != 1)
            return g_camera.grabResult;
        Sleep(g_camera.grabDelayMs);
        ++g_grabs;
        const int noise = g_camera.noise * (m_setup.wide ? 256 : 1);
        const int top = m_setup.wide ? 65535 : 255;
        const int width = Width(), height = Height();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                int s = SceneSample(x, y, m_setup.wide);
                if (noise) {
                    m_seed = m_seed * 1103515245u + 12345u;
                    s += int((m_seed >> 16) % (2 * noise + 1)) - noise;
                    s = s < 0 ? 0 : s > top ? top : s;
                }
                const size_t i = size_t(y) * width + x;
                if (m_setup.wide) {
                    frame[2 * i] = BYTE(s);
                    frame[2 * i + 1] = BYTE(s >> 8);
                } else {
                    frame[i] = BYTE(s);
                }
            }
        if (m_setup.stampTicks && !m_setup.wide) {
            const DWORD tick = GetTickCount();
            for (int k = 0; k < 4; ++k)
                frame[k] = BYTE(tick >> (8 * k));
        }
        return 1;
    }
    int Decode(BYTE* raw, BYTE* image, int width, int height, int rgbOut) override
    {
        const bool out16 = m_setup.wide && !rgbOut;
        const int px = out16 ? 6 : 3;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const size_t i = size_t(y) * width + x;
                const int s = m_setup.wide ? raw[2 * i] | (raw[2 * i + 1] << 8) : raw[i];
                DecodePixel(s, x, m_setup.wide, out16, image + (size_t(height - 1 - y) * width + x) * px);
            }
        return 1;
    }

private:
    int Width() const { return m_setup.width >> m_resolution; }
    int Height() const { return m_setup.height >> m_resolution; }
    CaptureCameraSetup m_setup;
    unsigned m_seed;
    int m_resolution = 0;
};

CCameraDevice* MakeCaptureCamera(int)
{
    return new CCaptureTestCamera;
}

}  // namespace

std::vector<BYTE> ReferenceImage(bool samples16)
{
    const int px = samples16 ? 6 : 3;
    std::vector<BYTE> image(size_t(g_camera.width) * g_camera.height * px);
    for (int y = 0; y < g_camera.height; ++y)
        for (int x = 0; x < g_camera.width; ++x)
            DecodePixel(SceneSample(x, y, g_camera.wide), x, g_camera.wide, samples16,
                        &image[(size_t(g_camera.height - 1 - y) * g_camera.width + x) * px]);
    return image;
}

DWORD StampOf(const BYTE* decoded, int width, int height)
{
    // The top row's first samples, which decode into the bottom-up picture's last row.
    const BYTE* row = decoded + size_t(height - 1) * width * 3;
    return DWORD(row[0]) | DWORD(row[3]) << 8 | DWORD(row[6]) << 16 | DWORD(row[9]) << 24;
}

void CaptureCameraTest::SetUp()
{
    g_camera = CaptureCameraSetup();
    CCameraManager::SetDeviceFactory(MakeCaptureCamera);
    QrCSetCamera(CAMERA_TYPE_NONE);
    m_receiveWnd.Attach(m_receiver.Hwnd());
}

void CaptureCameraTest::TearDown()
{
    WaitCaptureEnd();
    QrCSetCamera(CAMERA_TYPE_NONE);
    QrCCameraReleaseCapture();
    CCameraManager::SetDeviceFactory(nullptr);
    CCameraManager::SetVideoSplitBytes(0);
    m_receiveWnd.Detach();
}

void CaptureCameraTest::OpenCamera()
{
    QrCSetCamera(CAMERA_TYPE_CAMDRVF);
    g_grabs = 0;
    ASSERT_EQ(QrCCameraInit(0, nullptr, nullptr, 1), CAM_OK);
    // A few frames through the display thread, so a still can use the last one.
    ASSERT_TRUE(WaitFor([] { return g_grabs.load() > 4; }, 5000));
}

bool CaptureCameraTest::WaitCaptureEnd(DWORD ms)
{
    if (!WaitFor([] { return CCameraManager::Instance().GetSettings().captureRunning == 0; }, ms))
        return false;
    HANDLE end = CCameraManagerProbe::CaptureEnd();
    return !end || WaitForSingleObject(end, ms) == WAIT_OBJECT_0;
}

CaptureParam CaptureCameraTest::Request(const WCHAR* folder, const WCHAR* prefix, int type)
{
    CaptureParam p;
    p.Path = folder;
    p.FileName = prefix;
    p.CaptureType = BYTE(type);
    p.PictureType = BYTE(type);
    p.IsNum = 1;
    p.ReceiveWnd = &m_receiveWnd;
    return p;
}
