// A library camera (the bench's default camera) through QrCCameraCapture: the device
// writes the file, or the library decodes, merges and saves through the device.
#include "support/gtest.h"
#include "capture_test_camera.h"
#include "TempFolder.h"


TEST(LibraryCameraCapture, StillsThroughTheDeviceAndThroughTheMerge)
{
    CCameraManager::SetDeviceFactory(nullptr);
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);
    ASSERT_EQ(CCameraManager::Instance().GetSettings().mode, 1);
    HWND hwnd = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 320, 256, nullptr, nullptr,
                              nullptr, nullptr);
    CWnd wnd;
    wnd.Attach(hwnd);
    MessageReceiver receiver;
    CWnd receiveWnd;
    receiveWnd.Attach(receiver.Hwnd());
    ASSERT_EQ(QrCCameraInit(0, &wnd, hwnd, 1), CAM_OK);
    Sleep(500);

    TempFolder folder;
    for (int combine = 0; combine < 2; ++combine) {
        receiver.Clear();
        CaptureParam p;
        p.Path = folder.Path();
        p.FileName = combine ? L"M" : L"D";
        p.CaptureType = p.PictureType = CAPTURE_TYPE_BMP;
        p.ReceiveWnd = &receiveWnd;
        p.CombineMeasurement = combine;
        ASSERT_EQ(QrCCameraCapture(&p), CAM_OK) << combine;
        ASSERT_TRUE(receiver.WaitForMessage(WM_CAPTURE_DONE, 10000)) << combine;
        EXPECT_EQ(receiver.LastLParam(WM_CAPTURE_DONE), 0);
        ASSERT_TRUE(WaitFor([] { return CCameraManager::Instance().GetSettings().captureRunning == 0; }, 5000));
        CString name;
        ASSERT_EQ(QrCCameraGetSaveImageFileName(&name, 0), CAM_OK) << combine;
        std::u16string path(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(name)));
        // The device gets the name without its extension; the library adds its own.
        ASSERT_TRUE(FileExists(path)) << combine;
        const std::vector<BYTE> file = ReadWholeFile(path);
        ASSERT_GT(file.size(), 54u) << combine;
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        // The live picture runs on after the still.
        EXPECT_TRUE(CCameraManagerProbe::LiveRunning());
    }
    QrCCameraUnInit();
    receiveWnd.Detach();
    wnd.Detach();
    DestroyWindow(hwnd);
}

// A binned product whose capture resolution differs from the preview: the still is
// read out at the capture size, then the exposure and the preview come back.
TEST(LibraryCameraCapture, BinnedProductShootsAtTheCaptureResolution)
{
    CCameraManager::SetDeviceFactory(nullptr);
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);
    ASSERT_EQ(CCameraManager::Instance().GetSettings().mode, 1);
    HWND hwnd = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 320, 256, nullptr, nullptr,
                              nullptr, nullptr);
    CWnd wnd;
    wnd.Attach(hwnd);
    MessageReceiver receiver;
    CWnd receiveWnd;
    receiveWnd.Attach(receiver.Hwnd());
    ASSERT_EQ(QrCCameraInit(0, &wnd, hwnd, 1), CAM_OK);
    Sleep(500);
    const int previewWidth = CCameraManagerProbe::FrameWidth();
    ASSERT_GT(previewWidth, 0);
    int exposureBefore = 0;
    CameraCurParam cur;
    ASSERT_EQ(QrCCameraGetCurParameter(&cur), CAM_OK);
    exposureBefore = cur.exposureTime;

    CCameraManagerProbe::SetProduct(17);
    CCameraManagerProbe::SetResolutions(0, 1);
    TempFolder folder;
    CaptureParam p;
    p.Path = folder.Path();
    p.FileName = L"B";
    p.CaptureType = p.PictureType = CAPTURE_TYPE_BMP;
    p.ReceiveWnd = &receiveWnd;
    ASSERT_EQ(QrCCameraCapture(&p), CAM_OK);
    ASSERT_TRUE(receiver.WaitForMessage(WM_CAPTURE_DONE, 20000));
    ASSERT_TRUE(WaitFor([] { return CCameraManager::Instance().GetSettings().captureRunning == 0; }, 5000));
    CString name;
    ASSERT_EQ(QrCCameraGetSaveImageFileName(&name, 0), CAM_OK);
    std::u16string path(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(name)));
    ASSERT_TRUE(FileExists(path));
    const std::vector<BYTE> file = ReadWholeFile(path);
    ASSERT_GT(file.size(), 54u);
    const int width = file[18] | (file[19] << 8);
    EXPECT_NE(width, previewWidth);
    EXPECT_TRUE(CCameraManagerProbe::LiveRunning());

    // Raw stills of the same resolutions with and without binning: the device writes
    // the plain one at the unchanged exposure, so the binned one (a quarter) is darker.
    auto rawStill = [&](int product, const WCHAR* prefix) {
        CCameraManagerProbe::SetProduct(product);
        receiver.Clear();
        p.FileName = prefix;
        p.CaptureType = p.PictureType = CAPTURE_TYPE_RAW;
        std::vector<BYTE> bytes;
        EXPECT_EQ(QrCCameraCapture(&p), CAM_OK);
        EXPECT_TRUE(receiver.WaitForMessage(WM_CAPTURE_DONE, 20000));
        EXPECT_TRUE(WaitFor([] { return CCameraManager::Instance().GetSettings().captureRunning == 0; }, 5000));
        CString n;
        if (QrCCameraGetSaveImageFileName(&n, 0) == CAM_OK)
            bytes = ReadWholeFile(std::u16string(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(n))));
        double sum = 0;
        for (BYTE v : bytes)
            sum += v;
        return bytes.empty() ? 0.0 : sum / double(bytes.size());
    };
    const double binned = rawStill(17, L"RB");
    const double plain = rawStill(-1, L"RN");
    EXPECT_GT(plain, 0.0);
    EXPECT_LT(binned, 0.6 * plain) << binned << " " << plain;
    int exposureAfter = 0;
    ASSERT_TRUE(WaitFor([&] { return CCameraManagerProbe::FrameWidth() == previewWidth; }, 5000));
    ASSERT_EQ(QrCCameraGetCurParameter(&cur), CAM_OK);
    exposureAfter = cur.exposureTime;
    EXPECT_EQ(exposureAfter, exposureBefore);
    QrCCameraUnInit();
    receiveWnd.Detach();
    wnd.Detach();
    DestroyWindow(hwnd);
}

// With the live picture cropped, the still holds the cropped area only, decoded or raw.
TEST(LibraryCameraCapture, CroppedStillHoldsTheCroppedAreaOnly)
{
    CCameraManager::SetDeviceFactory(nullptr);
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);
    HWND hwnd = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 320, 256, nullptr, nullptr,
                              nullptr, nullptr);
    CWnd wnd;
    wnd.Attach(hwnd);
    MessageReceiver receiver;
    CWnd receiveWnd;
    receiveWnd.Attach(receiver.Hwnd());
    ASSERT_EQ(QrCCameraInit(0, &wnd, hwnd, 1), CAM_OK);
    Sleep(500);
    ASSERT_GT(CCameraManagerProbe::FrameWidth(), 200);
    RECT crop = {40, 30, 40 + 120, 30 + 64};
    CCameraManagerProbe::SetCrop(crop);

    TempFolder folder;
    CaptureParam p;
    p.Path = folder.Path();
    p.ReceiveWnd = &receiveWnd;
    auto shoot = [&](int type, const WCHAR* prefix) {
        receiver.Clear();
        p.FileName = prefix;
        p.CaptureType = p.PictureType = BYTE(type);
        std::vector<BYTE> bytes;
        EXPECT_EQ(QrCCameraCapture(&p), CAM_OK);
        EXPECT_TRUE(receiver.WaitForMessage(WM_CAPTURE_DONE, 20000));
        EXPECT_TRUE(WaitFor([] { return CCameraManager::Instance().GetSettings().captureRunning == 0; }, 5000));
        CString n;
        if (QrCCameraGetSaveImageFileName(&n, 0) == CAM_OK)
            bytes = ReadWholeFile(std::u16string(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(n))));
        return bytes;
    };
    const std::vector<BYTE> bmp = shoot(CAPTURE_TYPE_BMP, L"C");
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp[18] | (bmp[19] << 8), 120);
    EXPECT_EQ(bmp[22] | (bmp[23] << 8), 64);
    const std::vector<BYTE> raw = shoot(CAPTURE_TYPE_RAW, L"R");
    // 120 x 64 samples of 1 or 2 bytes, nothing of the rest of the frame.
    EXPECT_TRUE(raw.size() == 120u * 64u || raw.size() == 2u * 120u * 64u) << raw.size();
    EXPECT_TRUE(CCameraManagerProbe::LiveRunning());
    CCameraManagerProbe::EndCrop();
    QrCCameraUnInit();
    receiveWnd.Detach();
    wnd.Detach();
    DestroyWindow(hwnd);
}

// The extra capture resolution: the smallest readout, enlarged to twice its size.
TEST(LibraryCameraCapture, ExtraResolutionDoublesTheSmallReadout)
{
    CCameraManager::SetDeviceFactory(nullptr);
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);
    HWND hwnd = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 320, 256, nullptr, nullptr,
                              nullptr, nullptr);
    CWnd wnd;
    wnd.Attach(hwnd);
    MessageReceiver receiver;
    CWnd receiveWnd;
    receiveWnd.Attach(receiver.Hwnd());
    ASSERT_EQ(QrCCameraInit(0, &wnd, hwnd, 1), CAM_OK);
    Sleep(500);
    const int smallWidth = CCameraManagerProbe::FrameWidth();
    ASSERT_GT(smallWidth, 0);
    CCameraManagerProbe::SetExtraResolution();

    TempFolder folder;
    CaptureParam p;
    p.Path = folder.Path();
    p.FileName = L"X";
    p.CaptureType = p.PictureType = CAPTURE_TYPE_BMP;
    p.ReceiveWnd = &receiveWnd;
    ASSERT_EQ(QrCCameraCapture(&p), CAM_OK);
    ASSERT_TRUE(receiver.WaitForMessage(WM_CAPTURE_DONE, 20000));
    ASSERT_TRUE(WaitFor([] { return CCameraManager::Instance().GetSettings().captureRunning == 0; }, 5000));
    CString name;
    ASSERT_EQ(QrCCameraGetSaveImageFileName(&name, 0), CAM_OK);
    const std::vector<BYTE> bmp =
        ReadWholeFile(std::u16string(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(name))));
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp[18] | (bmp[19] << 8), 2 * smallWidth);
    EXPECT_TRUE(CCameraManagerProbe::LiveRunning());

    // Averaged stills of that resolution are enlarged the same way.
    receiver.Clear();
    p.FileName = L"Y";
    p.ProcessingEnabled = 1;
    p.FluorescenceType = 2;
    ASSERT_EQ(QrCCameraCapture(&p), CAM_OK);
    ASSERT_TRUE(receiver.WaitForMessage(WM_CAPTURE_DONE, 20000));
    ASSERT_TRUE(WaitFor([] { return CCameraManager::Instance().GetSettings().captureRunning == 0; }, 5000));
    ASSERT_EQ(QrCCameraGetSaveImageFileName(&name, 0), CAM_OK);
    const std::vector<BYTE> averaged =
        ReadWholeFile(std::u16string(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(name))));
    ASSERT_GT(averaged.size(), 54u);
    EXPECT_EQ(averaged[18] | (averaged[19] << 8), 2 * smallWidth);
    QrCCameraUnInit();
    receiveWnd.Detach();
    wnd.Detach();
    DestroyWindow(hwnd);
}

// Product 32 averages its stills; capture index 4 is index 1's readout at half size.
TEST(LibraryCameraCapture, ProductWithAveragedStillsHalvesItsFourthResolution)
{
    CCameraManager::SetDeviceFactory(nullptr);
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);
    HWND hwnd = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 320, 256, nullptr, nullptr,
                              nullptr, nullptr);
    CWnd wnd;
    wnd.Attach(hwnd);
    MessageReceiver receiver;
    CWnd receiveWnd;
    receiveWnd.Attach(receiver.Hwnd());
    ASSERT_EQ(QrCCameraInit(0, &wnd, hwnd, 1), CAM_OK);
    Sleep(500);
    CCameraManagerProbe::SetProduct(32);

    TempFolder folder;
    CaptureParam p;
    p.Path = folder.Path();
    p.CaptureType = p.PictureType = CAPTURE_TYPE_BMP;
    p.ReceiveWnd = &receiveWnd;
    auto widthAt = [&](int capture, const WCHAR* prefix) {
        CCameraManagerProbe::SetResolutions(0, capture);
        receiver.Clear();
        p.FileName = prefix;
        EXPECT_EQ(QrCCameraCapture(&p), CAM_OK);
        EXPECT_TRUE(receiver.WaitForMessage(WM_CAPTURE_DONE, 20000));
        EXPECT_TRUE(WaitFor([] { return CCameraManager::Instance().GetSettings().captureRunning == 0; }, 5000));
        CString n;
        std::vector<BYTE> bmp;
        if (QrCCameraGetSaveImageFileName(&n, 0) == CAM_OK)
            bmp = ReadWholeFile(std::u16string(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(n))));
        return bmp.size() > 54 ? bmp[18] | (bmp[19] << 8) : 0;
    };
    const int full = widthAt(1, L"F");
    ASSERT_GT(full, 0);
    EXPECT_NE(full, CCameraManagerProbe::FrameWidth());
    EXPECT_EQ(widthAt(4, L"H"), full / 2);
    EXPECT_TRUE(CCameraManagerProbe::LiveRunning());
    QrCCameraUnInit();
    receiveWnd.Detach();
    wnd.Detach();
    DestroyWindow(hwnd);
}

// Product 33 swaps its first two capture indexes on the device: capture index 1 is
// the readout of device index 0 (averaged), capture index 0 that of device index 1.
TEST(LibraryCameraCapture, ProductWithSwappedCaptureIndexesShootsAtTheirReadouts)
{
    CCameraManager::SetDeviceFactory(nullptr);
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);
    HWND hwnd = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 320, 256, nullptr, nullptr,
                              nullptr, nullptr);
    CWnd wnd;
    wnd.Attach(hwnd);
    MessageReceiver receiver;
    CWnd receiveWnd;
    receiveWnd.Attach(receiver.Hwnd());
    ASSERT_EQ(QrCCameraInit(0, &wnd, hwnd, 1), CAM_OK);
    Sleep(500);
    const int index0Width = CCameraManagerProbe::FrameWidth();
    CCameraManagerProbe::SetProduct(33);

    TempFolder folder;
    CaptureParam p;
    p.Path = folder.Path();
    p.CaptureType = p.PictureType = CAPTURE_TYPE_BMP;
    p.ReceiveWnd = &receiveWnd;
    auto widthAt = [&](int capture, const WCHAR* prefix) {
        CCameraManagerProbe::SetResolutions(0, capture);
        receiver.Clear();
        p.FileName = prefix;
        EXPECT_EQ(QrCCameraCapture(&p), CAM_OK);
        EXPECT_TRUE(receiver.WaitForMessage(WM_CAPTURE_DONE, 20000));
        EXPECT_TRUE(WaitFor([] { return CCameraManager::Instance().GetSettings().captureRunning == 0; }, 5000));
        CString n;
        std::vector<BYTE> bmp;
        if (QrCCameraGetSaveImageFileName(&n, 0) == CAM_OK)
            bmp = ReadWholeFile(std::u16string(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(n))));
        return bmp.size() > 54 ? bmp[18] | (bmp[19] << 8) : 0;
    };
    EXPECT_EQ(widthAt(1, L"A"), index0Width);
    const int index1Width = widthAt(0, L"B");
    EXPECT_GT(index1Width, 0);
    EXPECT_NE(index1Width, index0Width);
    EXPECT_TRUE(CCameraManagerProbe::LiveRunning());
    QrCCameraUnInit();
    receiveWnd.Detach();
    wnd.Detach();
    DestroyWindow(hwnd);
}

// Sensor kind 3: product 28 enlarges its capture index 1 to 3264 x 1836; product 27
// at index 2 does so only when something is drawn or dyed into the still.
TEST(LibraryCameraCapture, ThirdKindProductsEnlargeTheirLargerIndexes)
{
    CCameraManager::SetDeviceFactory(nullptr);
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);
    HWND hwnd = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 320, 256, nullptr, nullptr,
                              nullptr, nullptr);
    CWnd wnd;
    wnd.Attach(hwnd);
    MessageReceiver receiver;
    CWnd receiveWnd;
    receiveWnd.Attach(receiver.Hwnd());
    ASSERT_EQ(QrCCameraInit(0, &wnd, hwnd, 1), CAM_OK);
    Sleep(500);
    CCameraManagerProbe::SetThirdKind();

    TempFolder folder;
    CaptureParam p;
    p.Path = folder.Path();
    p.CaptureType = p.PictureType = CAPTURE_TYPE_BMP;
    p.ReceiveWnd = &receiveWnd;
    auto sizeAt = [&](int product, int capture, int combine, const WCHAR* prefix) {
        CCameraManagerProbe::SetProduct(product);
        CCameraManagerProbe::SetResolutions(0, capture);
        receiver.Clear();
        p.FileName = prefix;
        p.CombineMeasurement = combine;
        EXPECT_EQ(QrCCameraCapture(&p), CAM_OK);
        EXPECT_TRUE(receiver.WaitForMessage(WM_CAPTURE_DONE, 20000));
        EXPECT_TRUE(WaitFor([] { return CCameraManager::Instance().GetSettings().captureRunning == 0; }, 5000));
        CString n;
        std::vector<BYTE> bmp;
        if (QrCCameraGetSaveImageFileName(&n, 0) == CAM_OK)
            bmp = ReadWholeFile(std::u16string(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(n))));
        return bmp.size() > 54 ? std::make_pair(bmp[18] | (bmp[19] << 8), bmp[22] | (bmp[23] << 8))
                               : std::make_pair(0, 0);
    };
    EXPECT_EQ(sizeAt(28, 1, 0, L"A"), std::make_pair(3264, 1836));
    const std::pair<int, int> plain = sizeAt(27, 2, 0, L"B");
    EXPECT_GT(plain.first, 0);
    EXPECT_NE(plain.first, 3264);
    EXPECT_EQ(sizeAt(27, 2, 1, L"C"), std::make_pair(3264, 1836));
    EXPECT_TRUE(CCameraManagerProbe::LiveRunning());
    QrCCameraUnInit();
    receiveWnd.Detach();
    wnd.Detach();
    DestroyWindow(hwnd);
}

// The shot's exposure of the binned products: product 25 counts from index 2, the
// others scale by 4 x the squared index step, less so with the frame-speed switch.
TEST(LibraryCameraCapture, BinnedExposureFollowsTheIndexStep)
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
