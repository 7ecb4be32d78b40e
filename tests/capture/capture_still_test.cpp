// Stills and series through QrCCameraCapture: names, messages, cancel, the files
// read back against the test camera's scene, averaging, the measurement overlay.
#include <math.h>

#include "support/gtest.h"
#include "capture_test_camera.h"
#include "ImageDecoders.h"
#include "TempFolder.h"
#include "QrMeasure.h"
#include "camera/core/CaptureOverlay.h"

namespace {

CString SavedName(int index)
{
    CString name;
    EXPECT_EQ(QrCCameraGetSaveImageFileName(&name, index), CAM_OK);
    return name;
}

std::u16string U16(const CString& s)
{
    return std::u16string(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(s)));
}

// Bottom-up BGR of a decoded file (top-down RGB, 8 or 16 bits a sample).
std::vector<BYTE> ToDib(const DecodedImage& image)
{
    const int bytes = image.bitsPerSample / 8;
    const int px = 3 * bytes;
    std::vector<BYTE> dib(size_t(image.width) * image.height * px);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const BYTE* s = &image.pixels[(size_t(y) * image.width + x) * px];
            BYTE* d = &dib[(size_t(image.height - 1 - y) * image.width + x) * px];
            for (int c = 0; c < 3; ++c)
                for (int b = 0; b < bytes; ++b)
                    d[c * bytes + b] = s[(2 - c) * bytes + b];
        }
    return dib;
}

double Psnr(const std::vector<BYTE>& a, const std::vector<BYTE>& b)
{
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += double(a[i] - b[i]) * (a[i] - b[i]);
    const double mse = sum / a.size();
    return mse == 0 ? 99 : 10 * log10(255.0 * 255.0 / mse);
}

}  // namespace

TEST_F(CaptureCameraTest, EveryFormatDecodesBackToTheScene)
{
    OpenCamera();
    TempFolder folder;
    const std::vector<BYTE> reference = ReferenceImage(false);
    const int types[] = {CAPTURE_TYPE_BMP, CAPTURE_TYPE_TIFF, CAPTURE_TYPE_RAW, CAPTURE_TYPE_JPEG, 99};
    for (int type : types) {
        m_receiver.Clear();
        CaptureParam p = Request(folder.Path(), L"S", type);
        ASSERT_EQ(QrCCameraCapture(&p), CAM_OK) << type;
        ASSERT_TRUE(m_receiver.WaitForMessage(WM_CAPTURE_DONE, 5000)) << type;
        ASSERT_TRUE(WaitCaptureEnd());
        EXPECT_EQ(m_receiver.LastLParam(WM_CAPTURE_DONE), 0);
        const std::u16string path = U16(SavedName(0));
        const std::vector<BYTE> file = ReadWholeFile(path);
        ASSERT_FALSE(file.empty()) << type;
        if (type == CAPTURE_TYPE_BMP || type == 99) {
            // An unknown format code was named ".bmp": it is written as one.
            EXPECT_EQ(path.substr(path.size() - 4), u".bmp");
            ASSERT_EQ(file.size(), 54 + reference.size());
            EXPECT_TRUE(std::equal(reference.begin(), reference.end(), file.begin() + 54));
        } else if (type == CAPTURE_TYPE_RAW) {
            ASSERT_EQ(file.size(), size_t(g_camera.width) * g_camera.height);
            EXPECT_EQ(file[5 * g_camera.width + 7], SceneSample(7, 5, false));
        } else if (type == CAPTURE_TYPE_TIFF) {
            DecodedImage image;
            ASSERT_TRUE(DecodeTiffPage(UnixPath(path).c_str(), 0, image));
            EXPECT_EQ(image.sampleFormat, 1);   // unsigned samples
            EXPECT_TRUE(ToDib(image) == reference);
        } else {
            DecodedImage image;
            ASSERT_TRUE(DecodeJpegFile(UnixPath(path).c_str(), image));
            EXPECT_GE(Psnr(ToDib(image), reference), 35.0);
        }
    }
}

TEST_F(CaptureCameraTest, SixteenBitTiffKeepsEverySample)
{
    g_camera.wide = true;
    OpenCamera();
    TempFolder folder;
    CaptureParam p = Request(folder.Path(), L"W", CAPTURE_TYPE_TIFF);
    ASSERT_EQ(QrCCameraCapture(&p), CAM_OK);
    ASSERT_TRUE(m_receiver.WaitForMessage(WM_CAPTURE_DONE, 5000));
    ASSERT_TRUE(WaitCaptureEnd());
    DecodedImage image;
    ASSERT_TRUE(DecodeTiffPage(UnixPath(U16(SavedName(0))).c_str(), 0, image));
    EXPECT_EQ(image.bitsPerSample, 16);
    EXPECT_TRUE(ToDib(image) == ReferenceImage(true));
}

TEST_F(CaptureCameraTest, SeriesOfThreePostsItsMessagesAndNumberedNames)
{
    OpenCamera();
    TempFolder folder;
    folder.Touch("X.tif");
    folder.Touch("X1.tif");
    folder.Touch("X2.tif");
    CaptureParam p = Request(folder.Path(), L"X", CAPTURE_TYPE_TIFF);
    p.IsNum = 0;
    p.IsLapse = 1;
    p.Count = 3;
    p.Space = 300;
    ASSERT_EQ(QrCCameraCapture(&p), CAM_OK);
    // A second capture while the series runs is refused and leaves it alone.
    EXPECT_EQ(QrCCameraCapture(&p), CAM_ERR_NO_DEVICE);
    ASSERT_TRUE(m_receiver.WaitForMessage(WM_CAPTURE_DONE, 10000, 3));
    ASSERT_TRUE(WaitCaptureEnd());
    std::vector<std::pair<WPARAM, LPARAM>> done, progress;
    for (const SpyMessage& m : m_receiver.Messages()) {
        if (m.msg == WM_CAPTURE_DONE)
            done.push_back({m.wParam, m.lParam});
        if (m.msg == WM_CAPTURE_PROGRESS)
            progress.push_back({m.wParam, m.lParam});
    }
    const std::vector<std::pair<WPARAM, LPARAM>> wantDone = {{0, 2}, {1, 2}, {2, 0}};
    const std::vector<std::pair<WPARAM, LPARAM>> wantProgress = {{0, 0}, {1, 0}, {2, 0}};
    EXPECT_EQ(done, wantDone);
    EXPECT_EQ(progress, wantProgress);
    EXPECT_EQ(U16(SavedName(0)), folder.Path("X3.tif"));
    EXPECT_EQ(U16(SavedName(1)), folder.Path("X3-1.tif"));
    EXPECT_EQ(U16(SavedName(2)), folder.Path("X3-2.tif"));
    CString none;
    EXPECT_EQ(QrCCameraGetSaveImageFileName(&none, 3), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(QrCCameraGetSaveImageFileName(&none, -1), CAM_ERR_NO_DEVICE);
    EXPECT_TRUE(CCameraManagerProbe::LiveRunning());
}

TEST_F(CaptureCameraTest, ReleaseDuringTheIntervalEndsTheSeriesAndRestartsLive)
{
    OpenCamera();
    TempFolder folder;
    CaptureParam p = Request(folder.Path(), L"C", CAPTURE_TYPE_BMP);
    p.IsLapse = 1;
    p.Count = 5;
    p.Space = 8000;   // the live picture stays stopped between shots
    ASSERT_EQ(QrCCameraCapture(&p), CAM_OK);
    ASSERT_TRUE(m_receiver.WaitForMessage(WM_CAPTURE_PROGRESS, 5000));
    EXPECT_FALSE(CCameraManagerProbe::LiveRunning());
    const DWORD start = GetTickCount();
    QrCCameraReleaseCapture();
    ASSERT_TRUE(WaitCaptureEnd(3000));
    EXPECT_LT(GetTickCount() - start, 2000u);
    PumpMessagesFor(300);
    EXPECT_EQ(m_receiver.Count(WM_CAPTURE_DONE), 1);
    EXPECT_TRUE(CCameraManagerProbe::LiveRunning());
    CString second;
    EXPECT_EQ(QrCCameraGetSaveImageFileName(&second, 1), CAM_ERR_NO_DEVICE);
}

TEST_F(CaptureCameraTest, WorkerWithoutLiveThreadsStillReportsDone)
{
    OpenCamera();
    CCameraManagerProbe::StopLive();
    TempFolder folder;
    CaptureParam p = Request(folder.Path(), L"N", CAPTURE_TYPE_BMP);
    ASSERT_EQ(QrCCameraCapture(&p), CAM_OK);
    EXPECT_TRUE(m_receiver.WaitForMessage(WM_CAPTURE_DONE, 3000));
    EXPECT_TRUE(WaitCaptureEnd());
}

TEST_F(CaptureCameraTest, MissingFolderShowsTheMessageAndRefuses)
{
    OpenCamera();
    DialogWatcher watcher;
    CaptureParam p = Request(L"C:\\no such folder\\", L"M", CAPTURE_TYPE_BMP);
    EXPECT_EQ(QrCCameraCapture(&p), CAM_ERR_NO_DEVICE);
    ASSERT_TRUE(watcher.WaitForCount(1, 3000));
    EXPECT_EQ(watcher.LastText(), u"此路徑不存在！");
    EXPECT_EQ(m_receiver.Count(WM_CAPTURE_DONE), 1);
    EXPECT_EQ(m_receiver.LastLParam(WM_CAPTURE_DONE), -1);
    EXPECT_EQ(CCameraManager::Instance().GetSettings().captureRunning, 0);
}

TEST_F(CaptureCameraTest, AveragingSevenFramesLowersTheNoise)
{
    g_camera.noise = 30;
    OpenCamera();
    TempFolder folder;
    auto noiseOf = [&](int averaged) {
        m_receiver.Clear();
        CaptureParam p = Request(folder.Path(), L"A", CAPTURE_TYPE_RAW);
        p.ProcessingEnabled = averaged;
        p.FluorescenceType = averaged ? 2 : 0;
        EXPECT_EQ(QrCCameraCapture(&p), CAM_OK);
        EXPECT_TRUE(m_receiver.WaitForMessage(WM_CAPTURE_DONE, 10000));
        EXPECT_TRUE(WaitCaptureEnd());
        const std::vector<BYTE> file = ReadWholeFile(U16(SavedName(0)));
        double sum = 0;
        for (int y = 0; y < g_camera.height; ++y)
            for (int x = 0; x < g_camera.width; ++x) {
                const double d = file[size_t(y) * g_camera.width + x] - SceneSample(x, y, false);
                sum += d * d;
            }
        return sqrt(sum / (g_camera.width * g_camera.height));
    };
    const double single = noiseOf(0);
    const double averaged = noiseOf(1);
    EXPECT_GT(single, 12.0);
    EXPECT_NEAR(single / averaged, sqrt(7.0), 0.45);
}

TEST_F(CaptureCameraTest, AveragingWithoutFramesFailsTheShotInsteadOfDarkening)
{
    OpenCamera();
    g_camera.grabResult = 3;
    TempFolder folder;
    CaptureParam p = Request(folder.Path(), L"F", CAPTURE_TYPE_BMP);
    p.ProcessingEnabled = 1;
    p.FluorescenceType = 2;
    ASSERT_EQ(QrCCameraCapture(&p), CAM_OK);
    EXPECT_TRUE(m_receiver.WaitForMessage(WM_CAPTURE_DONE, 20000));
    EXPECT_TRUE(WaitCaptureEnd(20000));
    g_camera.grabResult = 1;
    CString name;
    EXPECT_EQ(QrCCameraGetSaveImageFileName(&name, 0), CAM_ERR_NO_DEVICE);
    EXPECT_FALSE(FileExists(folder.Path("F.bmp")));
}

TEST_F(CaptureCameraTest, LineOfTheMeasurementLibraryIsBurntIntoTheStill)
{
    OpenCamera();
    TempFolder folder;
    CQrMeasure measure;
    CQrMeasure::MenuItemEvent(CQrMeasure::ToolLine, &measure);
    measure.OnLButtonDown(CPoint(20, 100));
    measure.OnMouseMove(CPoint(300, 100));
    measure.OnLButtonUp(CPoint(300, 100));
    ASSERT_GE(measure.GetUnitCount(), 1);
    CaptureParam p = Request(folder.Path(), L"L", CAPTURE_TYPE_BMP);
    p.CombineMeasurement = 1;
    p.Measure = &measure;
    ASSERT_EQ(QrCCameraCapture(&p), CAM_OK);
    ASSERT_TRUE(m_receiver.WaitForMessage(WM_CAPTURE_DONE, 5000));
    ASSERT_TRUE(WaitCaptureEnd());
    const std::vector<BYTE> file = ReadWholeFile(U16(SavedName(0)));
    const std::vector<BYTE> reference = ReferenceImage(false);
    ASSERT_EQ(file.size(), 54 + reference.size());
    // Row 100 from the top differs from the scene along the line; row 200 does not.
    auto changed = [&](int topRow) {
        int n = 0;
        const size_t row = size_t(g_camera.height - 1 - topRow) * g_camera.width * 3;
        for (int x = 40; x < 280; ++x)
            for (int c = 0; c < 3; ++c)
                n += file[54 + row + x * 3 + c] != reference[row + x * 3 + c];
        return n;
    };
    int alongLine = 0;
    for (int r = 97; r <= 103; ++r)
        alongLine += changed(r);
    EXPECT_GT(alongLine, 200);
    EXPECT_EQ(changed(200), 0);
}

TEST_F(CaptureCameraTest, CaptureOverlayCircleIsBurntIntoTheStill)
{
    OpenCamera();
    TempFolder folder;
    CCaptureOverlay overlay;
    overlay.visible = TRUE;
    overlay.radius = 50;
    overlay.centerX = 160;
    overlay.centerY = 120;
    CaptureParam p = Request(folder.Path(), L"O", CAPTURE_TYPE_BMP);
    p.CombineMeasurement = 1;
    p.Overlay = &overlay;
    ASSERT_EQ(QrCCameraCapture(&p), CAM_OK);
    ASSERT_TRUE(m_receiver.WaitForMessage(WM_CAPTURE_DONE, 5000));
    ASSERT_TRUE(WaitCaptureEnd());
    const std::vector<BYTE> file = ReadWholeFile(U16(SavedName(0)));
    const std::vector<BYTE> reference = ReferenceImage(false);
    ASSERT_EQ(file.size(), 54 + reference.size());
    // The circle's red pen at its leftmost point; the centre keeps the scene.
    auto pixel = [&](const std::vector<BYTE>& image, size_t offset, int x, int topRow) {
        return &image[offset + (size_t(g_camera.height - 1 - topRow) * g_camera.width + x) * 3];
    };
    const BYTE* edge = pixel(file, 54, 110, 120);
    EXPECT_EQ(edge[2], 255);
    EXPECT_EQ(edge[1], 0);
    EXPECT_TRUE(std::equal(pixel(file, 54, 160, 120), pixel(file, 54, 160, 120) + 3,
                           pixel(reference, 0, 160, 120)));
}

// A driver still at a capture resolution other than the preview is read out at the
// capture resolution; the live picture comes back at the preview.
TEST_F(CaptureCameraTest, DriverStillAtAnotherCaptureResolutionHasItsSize)
{
    OpenCamera();
    TempFolder folder;
    CCameraManagerProbe::SetResolutions(0, 1);
    CaptureParam p = Request(folder.Path(), L"R", CAPTURE_TYPE_BMP);
    ASSERT_EQ(QrCCameraCapture(&p), CAM_OK);
    ASSERT_TRUE(m_receiver.WaitForMessage(WM_CAPTURE_DONE, 10000));
    ASSERT_TRUE(WaitCaptureEnd());
    const std::vector<BYTE> bmp = ReadWholeFile(U16(SavedName(0)));
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp[18] | (bmp[19] << 8), g_camera.width / 2);
    EXPECT_EQ(bmp[22] | (bmp[23] << 8), g_camera.height / 2);
    EXPECT_TRUE(CCameraManagerProbe::LiveRunning());
    const int grabs = g_grabs;
    EXPECT_TRUE(WaitFor([&] { return g_grabs > grabs + 3; }, 5000));
    EXPECT_EQ(CCameraManagerProbe::FrameWidth(), g_camera.width);
    CCameraManagerProbe::SetResolutions(0, 0);
}

// An averaged fluorescence still of a driver camera at another capture resolution
// reopens the camera there; QrCCameraSetResDefault brings the preview back, once.
TEST_F(CaptureCameraTest, AveragedStillReopensAtTheCaptureResolutionUntilSetResDefault)
{
    OpenCamera();
    TempFolder folder;
    CCameraManagerProbe::SetResolutions(0, 1);
    CaptureParam p = Request(folder.Path(), L"F", CAPTURE_TYPE_BMP);
    p.ProcessingEnabled = 1;
    p.FluorescenceType = 2;
    ASSERT_EQ(QrCCameraCapture(&p), CAM_OK);
    ASSERT_TRUE(m_receiver.WaitForMessage(WM_CAPTURE_DONE, 20000));
    ASSERT_TRUE(WaitCaptureEnd(20000));
    const std::vector<BYTE> bmp = ReadWholeFile(U16(SavedName(0)));
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp[18] | (bmp[19] << 8), g_camera.width / 2);
    // The settings survived the reopening; the live picture runs at the capture size.
    EXPECT_EQ(CCameraManager::Instance().GetSettings().ResPreview, 0);
    EXPECT_EQ(CCameraManager::Instance().GetSettings().ResCapture, 1);
    EXPECT_EQ(CCameraManager::Instance().GetSettings().capture.FluorescenceType, 2);
    EXPECT_TRUE(CCameraManagerProbe::LiveRunning());
    EXPECT_EQ(CCameraManagerProbe::FrameWidth(), g_camera.width / 2);

    ASSERT_EQ(QrCCameraSetResDefault(), CAM_OK);
    EXPECT_TRUE(CCameraManagerProbe::LiveRunning());
    EXPECT_EQ(CCameraManagerProbe::FrameWidth(), g_camera.width);
    EXPECT_EQ(CCameraManagerProbe::FrameHeight(), g_camera.height);
    const int grabs = g_grabs;
    ASSERT_TRUE(WaitFor([&] { return g_grabs > grabs + 3; }, 5000));
    // Nothing more to undo.
    ASSERT_EQ(QrCCameraSetResDefault(), CAM_OK);
    EXPECT_EQ(CCameraManagerProbe::FrameWidth(), g_camera.width);
    CCameraManagerProbe::SetResolutions(0, 0);
}
