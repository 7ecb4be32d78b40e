// Operations against the simulated bench camera, through the exports.
#include "StoreTestCamera.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wconditionally-supported"
#include "external/bench/Bench.h"
#pragma GCC diagnostic pop

namespace {

class BenchStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(OrvBenchVersion(), 0u);
        CCameraManager::SetDeviceFactory(nullptr);
        std::string error;
        ASSERT_TRUE(orvbench::Bench::Get().Load(
            "seed 5\nnoise off\ncamera zedodir 0547:A005 Cam.1 colour resolutions=320X256\n", &error))
            << error;
        ASSERT_EQ(QrCReflashCamera(), CAM_OK);
        CameraMgrParam p;
        QrCCameraGetMgrParameter(&p);
        ASSERT_EQ(p.cameraType, CAMERA_TYPE_CORE_A);
        ASSERT_EQ(QrCCameraParameterInit(), CAM_OK);
        ASSERT_EQ(QrCCameraInit(0, nullptr, nullptr, 0), CAM_OK);
        QrCCameraSetAeState(0);
    }
    void TearDown() override
    {
        QrCCameraUnInit();
        QrCSetCamera(CAMERA_TYPE_NONE);
        RegDeleteTreeW(HKEY_CURRENT_USER, CompanyKey());
    }

    // Waits until the picture shows a frame taken after everything set so far.
    static void Settle()
    {
        const uint32_t taken = orvbench::Bench::Get().FrameCount("Cam.1");
        ASSERT_TRUE(WaitFor([&] { return CCameraManagerProbe::DecodedFrameNumber() > taken + 1; }, 5000));
    }
    // Mean of all channels over a block of the newest frame, after the camera settled.
    static double BlockMean(int x0, int y0, int size, bool settle = true)
    {
        if (settle)
            Settle();
        std::vector<BYTE> px;
        int w = 0, h = 0;
        if (!CCameraManagerProbe::DecodedFrame(px, w, h))
            return -1;
        if (size <= 0)
            size = std::min(w, h);
        double sum = 0;
        int n = 0;
        for (int y = y0; y < std::min(h, y0 + size); ++y)
            for (int x = x0; x < std::min(w, x0 + size); ++x, n += 3)
                for (int c = 0; c < 3; ++c)
                    sum += px[(size_t(y) * w + x) * 3 + c];
        return n ? sum / n : -1;
    }
    static void FrameSize(int& w, int& h)
    {
        std::vector<BYTE> px;
        CCameraManagerProbe::DecodedFrame(px, w, h);
    }
};

}  // namespace

TEST_F(BenchStoreTest, BrightnessFollowsExposureAndAutoExposureRefusesIt)
{
    ASSERT_EQ(QrCCameraSetExposureTimeMS(4000, 1), CAM_OK);
    const double dim = BlockMean(0, 0, 0);
    ASSERT_EQ(QrCCameraSetExposureTimeMS(8000, 1), CAM_OK);
    const double bright = BlockMean(0, 0, 0);
    EXPECT_GT(dim, 2.0);
    EXPECT_GT(bright, dim * 1.5) << dim << " -> " << bright;

    QrCCameraSetAeState(1);
    EXPECT_EQ(QrCCameraSetExposureTimeMS(1000, 1), CAM_ERR_NO_DEVICE);
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    EXPECT_NE(cur.exposureTime, 1000);
    QrCCameraSetAeState(0);
}

TEST_F(BenchStoreTest, FlatFieldFlattensTheVignetting)
{
    QrCCameraSetExposureTimeMS(6000, 1);
    int w = 0, h = 0;
    Settle();
    FrameSize(w, h);
    ASSERT_GT(w, 64);
    const int block = 32;
    auto cornerRatio = [&]() {
        const double centre = BlockMean((w - block) / 2, (h - block) / 2, block);
        const double corner = (BlockMean(0, 0, block, false) + BlockMean(w - block, h - block, block, false)) / 2;
        return corner / centre;
    };
    const double before = cornerRatio();
    ASSERT_EQ(QrCCameraCalcFlatFielding(), CAM_OK);
    const double after = cornerRatio();
    EXPECT_LT(before, 0.9);
    EXPECT_GT(after, 0.92) << before << " -> " << after;
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    EXPECT_EQ(cur.flatField, 1);
}

TEST_F(BenchStoreTest, LiveLineApproachKeepsTheLiveThreadsRunning)
{
    Settle();
    POINT a = {0, 0}, b = {0, 0};
    EXPECT_EQ(QrCCameraLineApproach(10, 10, 200, 200, &a, &b), CAM_OK);
    EXPECT_TRUE(CCameraManager::Instance().IsLiveRunning());
    QrCCameraUnInit();
    EXPECT_EQ(QrCCameraLineApproach(10, 10, 200, 200, &a, &b), CAM_OK);   // stopped: at once
}
