// The live threads against a bench camera: messages, rate, drawing, crop and focus.
#include "LiveSupport.h"

#include <math.h>
#include <stdlib.h>

using namespace livetest;
using orvbench::Bench;

namespace {

class LivePipelineTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        QrCCameraUnInit();
        QrCSetCamera(CAMERA_TYPE_NONE);
    }
};

int CountSince(const std::vector<SpyMessage>& log, UINT msg, WPARAM wp, DWORD from, DWORD to)
{
    int n = 0;
    for (const SpyMessage& m : log)
        if (m.msg == msg && m.wParam == wp && m.time >= from && m.time < to)
            ++n;
    return n;
}

}  // namespace

TEST_F(LivePipelineTest, FrameStatusArrivesAtTheCameraRateWithTheRateInLParam)
{
    OpenSmallCamera();
    LiveWindows windows(0, 0, 320, 256);
    MessageSpy spy(windows.parent);
    ASSERT_EQ(QrCCameraInit(0, windows.wnd, windows.child, 1), CAM_OK);
    EXPECT_EQ(CCameraManagerProbe::RunState(), CCameraManager::RUN_LIVE);

    PumpMessagesFor(1500);   // the rate figure needs a full second of frames
    const DWORD from = GetTickCount();
    PumpMessagesFor(2000);
    const DWORD to = GetTickCount();
    const double cameraRate = Bench::Get().FrameRate(kCamera);
    ASSERT_GT(cameraRate, 5.0);
    const double shown = CountSince(spy.Messages(), WM_CAMERA_FRAME_STATUS, 1, from, to) * 1000.0 / (to - from);
    EXPECT_NEAR(shown, cameraRate, cameraRate * 0.1);
    const double reported = spy.LastLParam(WM_CAMERA_FRAME_STATUS) / 1000.0;
    EXPECT_NEAR(reported, cameraRate, cameraRate * 0.1);
    // Nothing was cropped: no focus values.
    EXPECT_EQ(spy.Count(WM_CAMERA_FOCUS_VALUE), 0);
}

TEST_F(LivePipelineTest, LivePictureRunsInAWindow)
{
    OpenSmallCamera();
    LiveWindows windows(0, 0, 320, 256);
    MessageSpy spy(windows.parent);
    ASSERT_EQ(QrCCameraInit(0, windows.wnd, windows.child, 1), CAM_OK);
    ASSERT_TRUE(spy.WaitForMessage(WM_CAMERA_FRAME_STATUS, 3000, 10));
    PumpMessagesFor(200);
    // The picture reached the screen: the window is no longer one flat colour.
    HDC screen = GetDC(windows.child);
    const COLORREF corner = GetPixel(screen, 2, 2);
    int differing = 0;
    for (int y = 8; y < 256; y += 16)
        for (int x = 8; x < 320; x += 16)
            differing += GetPixel(screen, x, y) != corner;
    ReleaseDC(windows.child, screen);
    EXPECT_GT(differing, 20);
    EXPECT_FALSE(SaveScreenshot(windows.parent, "live_picture").empty());
}

TEST_F(LivePipelineTest, DrawingIntoAMemoryContextGivesTheBenchPicture)
{
    OpenSmallCamera();
    LiveWindows windows(0, 0, 320, 256, false);
    MessageSpy spy(windows.parent);
    ASSERT_EQ(QrCCameraInit(0, windows.wnd, windows.child, 1), CAM_OK);
    int w = 0, h = 0;
    ASSERT_EQ(QrCCameraGetImageSize(&w, &h), CAM_OK);
    ASSERT_GT(w, 0);
    MemoryCanvas canvas(w, h);
    RECT show = {0, 0, w, h};
    ASSERT_EQ(QrCCameraSetShowRect(&show), CAM_OK);
    ASSERT_EQ(QrCCameraSetDrawHDC(canvas.dc), CAM_OK);
    HDC got = nullptr;
    ASSERT_EQ(QrCCameraGetDrawHDC(&got), CAM_OK);
    EXPECT_EQ(got, canvas.dc);
    ASSERT_TRUE(spy.WaitForMessage(WM_CAMERA_FRAME_STATUS, 3000, 8));

    // Redraw the last picture over a cleared canvas.
    canvas.Fill(RGB(255, 0, 255));
    ASSERT_EQ(QrCDrawImage(), CAM_OK);

    orvbench::CameraSettings settings;
    ASSERT_TRUE(Bench::Get().Settings(kCamera, &settings));
    orvbench::RawFrameHeader frame = {};
    frame.frameNumber = Bench::Get().FrameCount(kCamera);
    frame.temperature = Bench::Get().Options().ambient;
    std::vector<uint8_t> reference;
    ASSERT_TRUE(Bench::Get().ReferenceImage(kCamera, settings, frame, &reference));
    const auto& record = *reinterpret_cast<const orvbench::ImageRecord*>(reference.data());
    ASSERT_EQ(record.width, w);
    ASSERT_EQ(record.height, h);
    const uint8_t* px = reference.data() + record.headerSize;
    long long diff = 0;
    int distant = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = px + (size_t(h - 1 - y) * w + x) * 3;   // bottom-up BGR
            const COLORREF c = canvas.At(x, y);
            const int d = abs(GetBValue(c) - p[0]) + abs(GetGValue(c) - p[1]) + abs(GetRValue(c) - p[2]);
            diff += d;
            distant += d > 24;
        }
    EXPECT_LT(double(diff) / (w * h * 3), 2.0);
    EXPECT_LT(distant, w * h / 100);

    // Stopped pictures are not redrawn.
    CCameraManagerProbe::SetRunStateByte(2);
    EXPECT_EQ(QrCDrawImage(), CAM_ERR_NO_DEVICE);
    CCameraManagerProbe::SetRunStateByte(0);
    QrCCameraSetDrawHDC(nullptr);
}

TEST_F(LivePipelineTest, CropWidthsAreMultiplesOfFourAndFocusComesOnlyWhileCropped)
{
    OpenSmallCamera();
    LiveWindows windows(40, 30, 320, 256);
    MessageSpy spy(windows.parent);
    ASSERT_EQ(QrCCameraInit(0, windows.wnd, windows.child, 1), CAM_OK);
    ASSERT_TRUE(spy.WaitForMessage(WM_CAMERA_FRAME_STATUS, 3000, 3));
    int fw = 0, fh = 0;
    ASSERT_EQ(QrCCameraGetImageSize(&fw, &fh), CAM_OK);

    RECT window;
    GetWindowRect(windows.child, &window);
    for (int width = 7; width < 200; width += 13) {
        // Right to left on purpose: the rectangle is normalised. Beyond the window it is clamped.
        RECT r = {window.left + 30 + width, window.top + 20, window.left + 30, window.top + 300};
        ASSERT_EQ(QrCCameraCropImage(&r), CAM_OK);
        RECT shown;
        ASSERT_EQ(QrCCameraGetShowRect(&shown), CAM_OK);
        EXPECT_EQ((shown.right - shown.left) % 4, 0) << width;
        EXPECT_GE(shown.left, 0);
        EXPECT_LE(shown.right, fw);
        EXPECT_LE(shown.bottom, fh);
        EXPECT_EQ(shown.top % 2, 0);
        int w = 0, h = 0;
        QrCCameraGetImageSize(&w, &h);
        EXPECT_EQ(w, shown.right - shown.left);
        EXPECT_EQ(h, shown.bottom - shown.top);
        EXPECT_NE(CCameraManagerProbe::CropBuffer(), nullptr);
    }
    // The whole width of the window is the whole frame.
    RECT all = {window.left - 10, window.top, window.right + 10, window.bottom};
    ASSERT_EQ(QrCCameraCropImage(&all), CAM_OK);
    RECT shown;
    QrCCameraGetShowRect(&shown);
    EXPECT_EQ(shown.left, 0);
    EXPECT_EQ(shown.right, fw);

    spy.Clear();
    ASSERT_TRUE(spy.WaitForMessage(WM_CAMERA_FOCUS_VALUE, 3000, 3));
    EXPECT_GT(spy.LastWParam(WM_CAMERA_FOCUS_VALUE), 0u);  // the scene has structure

    ASSERT_EQ(QrCCameraRestoreImage(), CAM_OK);
    QrCCameraGetShowRect(&shown);
    EXPECT_EQ(shown.right - shown.left, fw);
    EXPECT_EQ(shown.bottom - shown.top, fh);
    PumpMessagesFor(200);  // messages posted before the restore drain
    spy.Clear();
    ASSERT_TRUE(spy.WaitForMessage(WM_CAMERA_FRAME_STATUS, 3000, 5));
    EXPECT_EQ(spy.Count(WM_CAMERA_FOCUS_VALUE), 0);
}

TEST_F(LivePipelineTest, FocusOverAShowRectangleLargerThanTheFrameStaysInside)
{
    OpenSmallCamera();
    LiveWindows windows(0, 0, 320, 256);
    MessageSpy spy(windows.parent);
    ASSERT_EQ(QrCCameraInit(0, windows.wnd, windows.child, 1), CAM_OK);
    RECT huge = {0, 0, 4000, 3000};
    ASSERT_EQ(QrCCameraSetShowRect(&huge), CAM_OK);
    RECT window;
    GetWindowRect(windows.child, &window);
    ASSERT_EQ(QrCCameraCropImage(&window), CAM_OK);
    ASSERT_TRUE(spy.WaitForMessage(WM_CAMERA_FOCUS_VALUE, 3000, 5));
    EXPECT_TRUE(QrCCameraRestoreImage() == CAM_OK);
}

TEST_F(LivePipelineTest, UnInitWhileRunningStopsBothThreads)
{
    OpenSmallCamera();
    LiveWindows windows(0, 0, 320, 256, false);
    MessageSpy spy(windows.parent);
    ASSERT_EQ(QrCCameraInit(0, windows.wnd, windows.child, 1), CAM_OK);
    ASSERT_TRUE(spy.WaitForMessage(WM_CAMERA_FRAME_STATUS, 3000, 3));
    ASSERT_EQ(QrCCameraUnInit(), CAM_OK);
    EXPECT_EQ(CCameraManagerProbe::RunState(), CCameraManager::RUN_STOPPED);
    const uint32_t frames = Bench::Get().FrameCount(kCamera);
    PumpMessagesFor(100);
    spy.Clear();
    PumpMessagesFor(400);
    EXPECT_EQ(Bench::Get().FrameCount(kCamera), frames);
    EXPECT_EQ(spy.Count(WM_CAMERA_FRAME_STATUS), 0);
    EXPECT_EQ(QrCDrawImage(), CAM_ERR_NO_DEVICE);
}

TEST_F(LivePipelineTest, LiveHistogramAndAreaLevelsFollowThePicture)
{
    OpenSmallCamera();
    LiveWindows windows(0, 0, 320, 256, false);
    MessageSpy spy(windows.parent);
    ASSERT_EQ(QrCCameraInit(0, windows.wnd, windows.child, 1), CAM_OK);
    ASSERT_TRUE(spy.WaitForMessage(WM_CAMERA_FRAME_STATUS, 3000, 5));

    MemoryCanvas canvas(220, 120);
    RECT r = {0, 0, 200, 110};
    ASSERT_EQ(QrCDrawHistogramData(CDC::FromHandle(canvas.dc), &r), CAM_OK);
    int columns = 0;
    for (int x = 1; x <= 188; ++x)
        columns += canvas.At(x, r.bottom - 1) == RGB(0, 0, 222);
    EXPECT_GT(columns, 10);

    // The area levels take the picture's level under the rectangle as the low level,
    // on each colour channel as on all of them.
    RECT area = {40, 40, 120, 120};
    for (int channel = 0; channel < 4; ++channel) {
        ASSERT_EQ(QrCCameraSetShowChannel(channel), CAM_OK);
        EXPECT_EQ(QrCCameraCalcAreaLevels(&area), CAM_OK);
        CameraMgrParam param;
        QrCCameraGetMgrParameter(&param);
        ASSERT_EQ(param.showChannel, channel);
        EXPECT_EQ(param.autoLevels[channel], 0);
        EXPECT_EQ(param.levelsHigh[channel], 255);
        EXPECT_GT(param.levelsLow[channel], 0) << "channel " << channel;
        EXPECT_LE(param.levelsLow[channel], 254);
        int low = -1, high = -1;
        QrCCameraGetLevelsValues(&low, &high);
        EXPECT_EQ(low, param.levelsLow[channel]) << "channel " << channel;
    }
    RECT empty = {50, 50, 50, 90};
    EXPECT_EQ(QrCCameraCalcAreaLevels(&empty), CAM_ERR_NO_DEVICE);
    QrCCameraLevelsDefault();
}

TEST_F(LivePipelineTest, CooledBenchCameraReportsItsTemperatureEveryPeriod)
{
    OpenBench("camera zedodir 0547:840A Cool.1 colour resolutions=320X256,160X128");
    MessageReceiver receiver;
    ASSERT_EQ(QrCCameraSetHWndReceive(receiver.Hwnd()), CAM_OK);
    ASSERT_TRUE(receiver.WaitForMessage(WM_CAMERA_TEMPERATURE, 6000, 3));
    std::vector<DWORD> times;
    for (const SpyMessage& m : receiver.Messages())
        if (m.msg == WM_CAMERA_TEMPERATURE)
            times.push_back(m.time);
    for (size_t i = 1; i < times.size(); ++i)
        EXPECT_NEAR(double(times[i] - times[i - 1]), 1740.0, 150.0);
    float degrees = 100.0f;
    EXPECT_EQ(QrCCameraGetCurTemperature(&degrees), CAM_OK);
    EXPECT_LT(degrees, 40.0f);
    EXPECT_GT(degrees, -60.0f);
    EXPECT_GE(CCameraManagerProbe::History()[171], -120);

    const DWORD start = GetTickCount();
    ASSERT_EQ(QrCSetCamera(CAMERA_TYPE_NONE), CAM_OK);
    EXPECT_LE(GetTickCount() - start, 1500u);
    EXPECT_FALSE(CCameraManagerProbe::TemperatureRunning());
    receiver.Clear();
    PumpMessagesFor(2000);
    EXPECT_EQ(receiver.Count(WM_CAMERA_TEMPERATURE), 0);
    QrCCameraSetHWndReceive(nullptr);
}

TEST_F(LivePipelineTest, CroppedPictureShowsThePartOfTheFrameUnderTheRectangle)
{
    OpenSmallCamera();
    LiveWindows windows(0, 0, 320, 256, false);
    MessageSpy spy(windows.parent);
    ASSERT_EQ(QrCCameraInit(0, windows.wnd, windows.child, 1), CAM_OK);
    int w = 0, h = 0;
    ASSERT_EQ(QrCCameraGetImageSize(&w, &h), CAM_OK);
    ASSERT_EQ(w, 320);
    RECT window;
    GetWindowRect(windows.child, &window);
    RECT topLeft = {window.left, window.top, window.left + 160, window.top + 128};
    ASSERT_EQ(QrCCameraCropImage(&topLeft), CAM_OK);
    MemoryCanvas canvas(160, 128);
    RECT show = {0, 0, 160, 128};
    QrCCameraSetShowRect(&show);
    QrCCameraSetDrawHDC(canvas.dc);
    ASSERT_TRUE(spy.WaitForMessage(WM_CAMERA_FRAME_STATUS, 3000, 5));
    ASSERT_EQ(QrCDrawImage(), CAM_OK);

    orvbench::CameraSettings settings;
    Bench::Get().Settings(kCamera, &settings);
    orvbench::RawFrameHeader frame = {};
    frame.frameNumber = Bench::Get().FrameCount(kCamera);
    frame.temperature = Bench::Get().Options().ambient;
    std::vector<uint8_t> reference;
    ASSERT_TRUE(Bench::Get().ReferenceImage(kCamera, settings, frame, &reference));
    const auto& record = *reinterpret_cast<const orvbench::ImageRecord*>(reference.data());
    const uint8_t* px = reference.data() + record.headerSize;
    // Mean difference against the picture's top-left quarter (rows from the top).
    auto difference = [&](int rowOffset) {
        long long d = 0;
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 160; ++x) {
                const uint8_t* p = px + (size_t(h - 1 - (y + rowOffset)) * w + x) * 3;
                const COLORREF c = canvas.At(x, y);
                d += abs(GetBValue(c) - p[0]) + abs(GetGValue(c) - p[1]) + abs(GetRValue(c) - p[2]);
            }
        return double(d) / (160 * 128 * 3);
    };
    const double top = difference(0), bottom = difference(h - 128);
    EXPECT_LT(top, 2.0);
    EXPECT_GT(bottom, top + 2.0);

    // The focus value is the luminance variance of that same quarter.
    auto variance = [&](int rowOffset) {
        double sum = 0, squares = 0;
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 160; ++x) {
                const uint8_t* p = px + (size_t(h - 1 - (y + rowOffset)) * w + x) * 3;
                const double luma = 0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2];
                sum += luma;
                squares += luma * luma;
            }
        const double mean = sum / (160 * 128);
        return squares / (160 * 128) - mean * mean;
    };
    ASSERT_TRUE(spy.WaitForMessage(WM_CAMERA_FOCUS_VALUE, 3000, 1));
    const double focus = double(spy.LastWParam(WM_CAMERA_FOCUS_VALUE));
    EXPECT_NEAR(focus, variance(0), variance(0) * 0.05 + 2);
    QrCCameraSetDrawHDC(nullptr);
    QrCCameraRestoreImage();
}

// The picture is shown at the display size, each shown pixel exactly the frame pixel
// nearest to its centre: smaller, cropped, larger, grey.
TEST_F(LivePipelineTest, ShownPictureTakesTheNearestFramePixelExactly)
{
    const int w = 200, h = 120;
    auto frame = [&](int bpp) {
        std::vector<BYTE> px(size_t((w * bpp + 3) & ~3) * h);
        for (int y = 0; y < h; ++y)   // y counts rows from the top of the picture
            for (int x = 0; x < w; ++x) {
                BYTE* p = &px[size_t(h - 1 - y) * ((w * bpp + 3) & ~3) + size_t(x) * bpp];
                p[0] = BYTE(x);
                if (bpp == 3) {
                    p[1] = BYTE(y);
                    p[2] = BYTE(x ^ y);
                }
            }
        return px;
    };
    auto expect = [&](int bpp, RECT src, int vw, int vh) {
        const std::vector<DWORD> view =
            CCameraManagerProbe::Scale(frame(bpp), w, h, bpp, src, vw, vh);
        ASSERT_EQ(view.size(), size_t(vw) * vh);
        int wrong = 0;
        for (int y = 0; y < vh; ++y)
            for (int x = 0; x < vw; ++x) {
                const int sx = src.left + (2 * x + 1) * (src.right - src.left) / (2 * vw);
                const int sy = src.top + (2 * y + 1) * (src.bottom - src.top) / (2 * vh);
                const DWORD want = bpp == 3 ? DWORD(sx & 255) | DWORD(sy) << 8 | DWORD((sx ^ sy) & 255) << 16
                                            : DWORD(sx & 255) * 0x010101u;
                wrong += view[size_t(vh - 1 - y) * vw + x] != want;
            }
        EXPECT_EQ(wrong, 0) << bpp << " " << src.left << "," << src.top << " " << vw << "x" << vh;
    };
    expect(3, RECT{0, 0, w, h}, w, h);
    expect(3, RECT{0, 0, w, h}, 64, 48);
    expect(3, RECT{40, 20, 140, 100}, 100, 80);
    expect(3, RECT{40, 20, 140, 100}, 333, 170);
    expect(1, RECT{0, 0, w, h}, 150, 90);
}
