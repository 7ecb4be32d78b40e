// A library camera (the bench's default camera) through QrCCameraCapture: the device
// writes the file, or the library decodes, merges and saves through the device.
#include "support/gtest.h"
#include "capture_test_camera.h"
#include "TempFolder.h"

#include <utility>

// The bench's default camera running live into a window, with a capture request that
// writes BMP stills into a fresh folder and reports to a receiver.
class LibraryCameraCapture : public testing::Test {
protected:
    void SetUp() override
    {
        CCameraManager::SetDeviceFactory(nullptr);
        ASSERT_EQ(QrCReflashCamera(), CAM_OK);
        hwnd = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 320, 256, nullptr, nullptr,
                             nullptr, nullptr);
        wnd.Attach(hwnd);
        receiveWnd.Attach(receiver.Hwnd());
        ASSERT_EQ(QrCCameraInit(0, &wnd, hwnd, 1), CAM_OK);
        ASSERT_TRUE(WaitFor([] { return CCameraManagerProbe::FrameWidth() > 0; }, 5000));
        p.Path = folder.Path();
        p.CaptureType = p.PictureType = CAPTURE_TYPE_BMP;
        p.ReceiveWnd = &receiveWnd;
    }
    void TearDown() override
    {
        QrCCameraUnInit();
        receiveWnd.Detach();
        wnd.Detach();
        DestroyWindow(hwnd);
    }

    // One still as the request stands; the bytes of the file written, empty when none.
    std::vector<BYTE> Shoot(const WCHAR* prefix)
    {
        receiver.Clear();
        p.FileName = prefix;
        lastPath.clear();
        EXPECT_EQ(QrCCameraCapture(&p), CAM_OK) << prefix;
        EXPECT_TRUE(receiver.WaitForMessage(WM_CAPTURE_DONE, 20000)) << prefix;
        EXPECT_TRUE(WaitFor([] { return CCameraManager::Instance().GetSettings().captureRunning == 0; }, 5000));
        CString name;
        if (QrCCameraGetSaveImageFileName(&name, 0) != CAM_OK)
            return {};
        lastPath = reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(name));
        return ReadWholeFile(lastPath);
    }
    static int BmpWidth(const std::vector<BYTE>& bmp) { return bmp.size() > 54 ? bmp[18] | (bmp[19] << 8) : 0; }
    static int BmpHeight(const std::vector<BYTE>& bmp) { return bmp.size() > 54 ? bmp[22] | (bmp[23] << 8) : 0; }

    HWND hwnd = nullptr;
    CWnd wnd;
    MessageReceiver receiver;
    CWnd receiveWnd;
    TempFolder folder;
    CaptureParam p;
    std::u16string lastPath;
};

TEST_F(LibraryCameraCapture, StillsThroughTheDeviceAndThroughTheMerge)
{
    ASSERT_EQ(CCameraManager::Instance().GetSettings().mode, 1);
    for (int combine = 0; combine < 2; ++combine) {
        p.CombineMeasurement = combine;
        const std::vector<BYTE> file = Shoot(combine ? L"M" : L"D");
        EXPECT_EQ(receiver.LastLParam(WM_CAPTURE_DONE), 0);
        // The device gets the name without its extension; the library adds its own.
        ASSERT_TRUE(FileExists(lastPath)) << combine;
        ASSERT_GT(file.size(), 54u) << combine;
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        // The live picture runs on after the still.
        EXPECT_TRUE(CCameraManagerProbe::LiveRunning());
    }
}

// A binned product whose capture resolution differs from the preview: the still is
// read out at the capture size, then the exposure and the preview come back.
TEST_F(LibraryCameraCapture, BinnedProductShootsAtTheCaptureResolution)
{
    ASSERT_EQ(CCameraManager::Instance().GetSettings().mode, 1);
    const int previewWidth = CCameraManagerProbe::FrameWidth();
    ASSERT_GT(previewWidth, 0);
    CameraCurParam cur;
    ASSERT_EQ(QrCCameraGetCurParameter(&cur), CAM_OK);
    const int exposureBefore = cur.exposureTime;

    CCameraManagerProbe::SetProduct(17);
    CCameraManagerProbe::SetResolutions(0, 1);
    const std::vector<BYTE> file = Shoot(L"B");
    ASSERT_TRUE(FileExists(lastPath));
    ASSERT_GT(file.size(), 54u);
    EXPECT_NE(BmpWidth(file), previewWidth);
    EXPECT_TRUE(CCameraManagerProbe::LiveRunning());

    // Raw stills of the same resolutions with and without binning: the device writes
    // the plain one at the unchanged exposure, so the binned one (a quarter) is darker.
    auto rawStill = [&](int product, const WCHAR* prefix) {
        CCameraManagerProbe::SetProduct(product);
        p.CaptureType = p.PictureType = CAPTURE_TYPE_RAW;
        const std::vector<BYTE> bytes = Shoot(prefix);
        double sum = 0;
        for (BYTE v : bytes)
            sum += v;
        return bytes.empty() ? 0.0 : sum / double(bytes.size());
    };
    const double binned = rawStill(17, L"RB");
    const double plain = rawStill(-1, L"RN");
    EXPECT_GT(plain, 0.0);
    EXPECT_LT(binned, 0.6 * plain) << binned << " " << plain;
    ASSERT_TRUE(WaitFor([&] { return CCameraManagerProbe::FrameWidth() == previewWidth; }, 5000));
    ASSERT_EQ(QrCCameraGetCurParameter(&cur), CAM_OK);
    EXPECT_EQ(cur.exposureTime, exposureBefore);
}

// With the live picture cropped, the still holds the cropped area only, decoded or raw.
TEST_F(LibraryCameraCapture, CroppedStillHoldsTheCroppedAreaOnly)
{
    ASSERT_GT(CCameraManagerProbe::FrameWidth(), 200);
    RECT crop = {40, 30, 40 + 120, 30 + 64};
    CCameraManagerProbe::SetCrop(crop);

    const std::vector<BYTE> bmp = Shoot(L"C");
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(BmpWidth(bmp), 120);
    EXPECT_EQ(BmpHeight(bmp), 64);
    p.CaptureType = p.PictureType = CAPTURE_TYPE_RAW;
    const std::vector<BYTE> raw = Shoot(L"R");
    // 120 x 64 samples of 1 or 2 bytes, nothing of the rest of the frame.
    EXPECT_TRUE(raw.size() == 120u * 64u || raw.size() == 2u * 120u * 64u) << raw.size();
    EXPECT_TRUE(CCameraManagerProbe::LiveRunning());
    CCameraManagerProbe::EndCrop();
}

// The extra capture resolution: the smallest readout, enlarged to twice its size.
TEST_F(LibraryCameraCapture, ExtraResolutionDoublesTheSmallReadout)
{
    const int smallWidth = CCameraManagerProbe::FrameWidth();
    ASSERT_GT(smallWidth, 0);
    CCameraManagerProbe::SetExtraResolution();

    const std::vector<BYTE> bmp = Shoot(L"X");
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(BmpWidth(bmp), 2 * smallWidth);
    EXPECT_TRUE(CCameraManagerProbe::LiveRunning());

    // Averaged stills of that resolution are enlarged the same way.
    p.ProcessingEnabled = 1;
    p.FluorescenceType = 2;
    const std::vector<BYTE> averaged = Shoot(L"Y");
    ASSERT_GT(averaged.size(), 54u);
    EXPECT_EQ(BmpWidth(averaged), 2 * smallWidth);
}

// Product 32 averages its stills; capture index 4 is index 1's readout at half size.
TEST_F(LibraryCameraCapture, ProductWithAveragedStillsHalvesItsFourthResolution)
{
    CCameraManagerProbe::SetProduct(32);
    auto widthAt = [&](int capture, const WCHAR* prefix) {
        CCameraManagerProbe::SetResolutions(0, capture);
        return BmpWidth(Shoot(prefix));
    };
    const int full = widthAt(1, L"F");
    ASSERT_GT(full, 0);
    EXPECT_NE(full, CCameraManagerProbe::FrameWidth());
    EXPECT_EQ(widthAt(4, L"H"), full / 2);
    EXPECT_TRUE(CCameraManagerProbe::LiveRunning());
}

// Product 33 swaps its first two capture indexes on the device: capture index 1 is
// the readout of device index 0 (averaged), capture index 0 that of device index 1.
TEST_F(LibraryCameraCapture, ProductWithSwappedCaptureIndexesShootsAtTheirReadouts)
{
    const int index0Width = CCameraManagerProbe::FrameWidth();
    CCameraManagerProbe::SetProduct(33);
    auto widthAt = [&](int capture, const WCHAR* prefix) {
        CCameraManagerProbe::SetResolutions(0, capture);
        return BmpWidth(Shoot(prefix));
    };
    EXPECT_EQ(widthAt(1, L"A"), index0Width);
    const int index1Width = widthAt(0, L"B");
    EXPECT_GT(index1Width, 0);
    EXPECT_NE(index1Width, index0Width);
    EXPECT_TRUE(CCameraManagerProbe::LiveRunning());
}

// Sensor kind 3: product 28 enlarges its capture index 1 to 3264 x 1836; product 27
// at index 2 does so only when something is drawn or dyed into the still.
TEST_F(LibraryCameraCapture, ThirdKindProductsEnlargeTheirLargerIndexes)
{
    CCameraManagerProbe::SetThirdKind();
    auto sizeAt = [&](int product, int capture, int combine, const WCHAR* prefix) {
        CCameraManagerProbe::SetProduct(product);
        CCameraManagerProbe::SetResolutions(0, capture);
        p.CombineMeasurement = combine;
        const std::vector<BYTE> bmp = Shoot(prefix);
        return std::make_pair(BmpWidth(bmp), BmpHeight(bmp));
    };
    EXPECT_EQ(sizeAt(28, 1, 0, L"A"), std::make_pair(3264, 1836));
    const std::pair<int, int> plain = sizeAt(27, 2, 0, L"B");
    EXPECT_GT(plain.first, 0);
    EXPECT_NE(plain.first, 3264);
    EXPECT_EQ(sizeAt(27, 2, 1, L"C"), std::make_pair(3264, 1836));
    EXPECT_TRUE(CCameraManagerProbe::LiveRunning());
}

// The shot's exposure of the binned products: product 25 counts from index 2, the
// others scale by 4 x the squared index step, less so with the frame-speed switch.
TEST(LibraryCameraBinning, BinnedExposureFollowsTheIndexStep)
{
    using P = CCameraManagerProbe;
    EXPECT_EQ(P::BinnedExposure(25, 0, 3, 1600, FALSE), 400);
    EXPECT_EQ(P::BinnedExposure(25, 2, 4, 1600, FALSE), 100);
    EXPECT_EQ(P::BinnedExposure(25, 4, 1, 1600, FALSE), 25600);
    EXPECT_EQ(P::BinnedExposure(25, 1, 2, 1600, FALSE), 1600);
    EXPECT_EQ(P::BinnedExposure(25, 3, 4, 1600, FALSE), 1600);
    EXPECT_EQ(P::BinnedExposure(17, 0, 1, 1600, FALSE), 400);
    EXPECT_EQ(P::BinnedExposure(17, 0, 1, 1200, TRUE), 200);
    EXPECT_EQ(P::BinnedExposure(22, 2, 1, 1600, FALSE), 6400);
    EXPECT_EQ(P::BinnedExposure(24, 2, 0, 100, TRUE), 2400);
    P::SetProduct(-1);
    P::SetResolutions(0, 0);
}
