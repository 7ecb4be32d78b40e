// A library camera (the bench's default camera) through QrCCameraCapture: the device
// writes the file, or the library decodes, merges and saves through the device.
// The bench header comes first: the framework's string header rejects a cast it makes.
#include "external/bench/Bench.h"

#include "support/gtest.h"
#include "capture_test_camera.h"
#include "TempFolder.h"

#include <set>
#include <utility>

namespace {

UINT64 Fingerprint(const std::vector<BYTE>& bytes)
{
    UINT64 h = 1469598103934665603ull;
    for (BYTE b : bytes)
        h = (h ^ b) * 1099511628211ull;
    return h;
}

}  // namespace

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
        const bool listed = QrCCameraGetSaveImageFileName(&name, 0) == CAM_OK;
        EXPECT_TRUE(listed) << prefix << ": no file listed, live " << CCameraManagerProbe::LiveRunning();
        if (!listed)
            return {};
        lastPath = reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(name));
        return ReadWholeFile(lastPath);
    }
    // Starts a series as the request stands and waits for its last done message;
    // watch sees the number of done messages so far while it waits.
    void Series(const WCHAR* prefix, int count, int space, const std::function<void(int)>& watch)
    {
        receiver.Clear();
        p.FileName = prefix;
        p.IsLapse = 1;
        p.IsNum = 1;
        p.Count = count;
        p.Space = space;
        ASSERT_EQ(QrCCameraCapture(&p), CAM_OK);
        const bool ended = WaitFor([&] {
            int done = 0;
            bool last = false;
            for (const SpyMessage& m : receiver.Messages())
                if (m.msg == WM_CAPTURE_DONE) {
                    ++done;
                    last = m.lParam == 0;
                }
            watch(done);
            return last;
        }, DWORD(count) * 2000 + 10000);
        ASSERT_TRUE(ended);
        ASSERT_TRUE(WaitFor([] { return CCameraManager::Instance().GetSettings().captureRunning == 0; }, 5000));
    }
    // The files the capture listed.
    static std::vector<std::u16string> Listed()
    {
        std::vector<std::u16string> names;
        CString name;
        for (int i = 0; QrCCameraGetSaveImageFileName(&name, i) == CAM_OK; ++i)
            names.push_back(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(name)));
        return names;
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
    // Automatic exposure would move the time the shot must give back.
    ASSERT_EQ(QrCCameraSetAeState(0), CAM_OK);
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

// A device error in the middle of a series the device writes: the shots it spoils are
// reported without a file, and no shot is a copy of the picture taken before it.
TEST_F(LibraryCameraCapture, DeviceErrorInASeriesNeverRepeatsAnOldPicture)
{
    const std::string camera = orvbench::Bench::Get().CameraNames(orvbench::kLibraryZedOdir).at(0);
    bool injected = false;
    DWORD injectedAt = 0;
    Series(L"E", 8, 300, [&](int done) {
        if (done == 2 && !injected) {
            injected = orvbench::Bench::Get().InjectDeviceError(camera, true);
            injectedAt = GetTickCount();
        }
        if (injected && GetTickCount() - injectedAt >= 1500)
            orvbench::Bench::Get().InjectDeviceError(camera, false);
    });
    orvbench::Bench::Get().InjectDeviceError(camera, false);
    ASSERT_TRUE(injected);

    const std::vector<std::u16string> names = Listed();
    EXPECT_LT(names.size(), 8u);   // a shot during the error failed
    EXPECT_GE(names.size(), 4u);
    std::set<UINT64> pictures;
    for (const std::u16string& name : names) {
        const std::vector<BYTE> bytes = ReadWholeFile(name);
        ASSERT_GT(bytes.size(), 54u);
        pictures.insert(Fingerprint(bytes));
    }
    EXPECT_EQ(pictures.size(), names.size());
    EXPECT_TRUE(CCameraManagerProbe::LiveRunning());
}

// A long series at the shortest interval: every shot a picture of its own. Each file
// is emptied once read, so the folder stays small while the names stay taken.
TEST_F(LibraryCameraCapture, LongSeriesHasADistinctPictureInEveryShot)
{
    const int kShots = 500;
    p.CaptureType = p.PictureType = CAPTURE_TYPE_JPEG;
    std::set<UINT64> pictures;
    int read = 0;
    auto shotName = [&](int i) {
        std::string n = i == 0 ? "L.jpg" : "L-" + std::to_string(i) + ".jpg";
        return folder.Path(n.c_str());
    };
    auto readDone = [&](int upTo) {
        for (; read <= upTo && read < kShots; ++read) {
            const std::u16string path = shotName(read);
            const std::vector<BYTE> bytes = ReadWholeFile(path);
            if (bytes.size() < 100)
                continue;   // a shot without a file shows up as a missing picture below
            pictures.insert(Fingerprint(bytes));
            HANDLE f = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr);
            CloseHandle(f);
        }
    };
    Series(L"L", kShots, 0, [&](int done) { readDone(done - 1); });
    readDone(kShots - 1);
    EXPECT_EQ(Listed().size(), size_t(kShots));
    EXPECT_EQ(pictures.size(), size_t(kShots));
}

// Stills at every listed capture resolution have that resolution, whether the capture
// list was filled before the camera opened or after: the extra (last) one doubles the
// largest readout, the others are read out as they are.
TEST_F(LibraryCameraCapture, StillsAtEveryCaptureResolutionHaveItsSize)
{
    const std::pair<int, int> expected[] = {{640, 512}, {320, 256}, {1280, 1024}};
    for (int listFirst = 0; listFirst < 2; ++listFirst) {
        QrCCameraUnInit();
        ASSERT_TRUE(orvbench::Bench::Get().Load(
            "seed 4\ncamera zedodir 0547:A005 Cap.1 colour resolutions=640X512,320X256\n"));
        ASSERT_EQ(QrCReflashCamera(), CAM_OK);
        HWND combo = CreateWindowW(L"COMBOBOX", L"", CBS_DROPDOWNLIST, 0, 0, 100, 100, nullptr, nullptr,
                                   nullptr, nullptr);
        if (listFirst)
            QrCCameraRegisterpixel(combo, 0);
        ASSERT_EQ(QrCCameraInit(0, &wnd, hwnd, 1), CAM_OK);
        ASSERT_EQ(QrCCameraParameterInit(), CAM_OK);
        if (!listFirst)
            QrCCameraRegisterpixel(combo, 0);
        EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
        DestroyWindow(combo);
        ASSERT_EQ(CCameraManager::Instance().GetSettings().ResPreview, 0);
        for (int index = 0; index < 3; ++index) {
            ASSERT_EQ(QrCCameraSetResCapture(index), CAM_OK);
            const std::vector<BYTE> bmp = Shoot(index ? L"S" : L"T");
            EXPECT_EQ(std::make_pair(BmpWidth(bmp), BmpHeight(bmp)), expected[index])
                << "index " << index << (listFirst ? ", list filled first" : ", list filled after");
        }
        EXPECT_TRUE(CCameraManagerProbe::LiveRunning());
    }
    QrCCameraSetResCapture(0);
    QrCCameraUnInit();
    orvbench::Bench::Get().LoadDefault();
}
