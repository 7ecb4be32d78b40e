// Exposure, gain transform, white balance, polls and the other operations with rules.
#include "StoreTestCamera.h"

#include "camera/core/GainTransform.h"

TEST(GainTransform, HalvesTheAmplificationInRegisterSteps)
{
    EXPECT_EQ(HalvedGainRegister(300, false), 128);
    EXPECT_EQ(HalvedGainRegister(200, false), 28);
    EXPECT_EQ(HalvedGainRegister(100, false), -72);
    EXPECT_EQ(HalvedGainRegister(30, true), 9);
}

TEST_F(StoreTest, GainTransformDoublesExposureOnceAndUndoesIt)
{
    UseCamera(CAMERA_TYPE_CAMDRVA);
    QrCCameraSetAnalogGain(30);
    QrCCameraSetExposureTimeMS(40000, 1);
    ASSERT_EQ(QrCTransformGainExposure(1), CAM_OK);
    EXPECT_EQ(g_camera->gain, 9);
    EXPECT_EQ(g_camera->exposuresWritten.back(), 80);
    EXPECT_EQ(QrCTransformGainExposure(1), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(QrCCameraSetExposureTimeMS(1000, 1), CAM_ERR_NO_DEVICE);   // busy with the shot
    ASSERT_EQ(QrCTransformGainExposure(0), CAM_OK);
    EXPECT_EQ(g_camera->gain, 30);
    EXPECT_EQ(g_camera->exposuresWritten.back(), 40);
    EXPECT_EQ(QrCTransformGainExposure(0), CAM_ERR_NO_DEVICE);
}

TEST_F(StoreTest, GainTransformRefusesWhatCannotBeHalved)
{
    UseCamera(CAMERA_TYPE_CAMDRVF);   // a CCD family: the 0.0351 dB scale
    QrCCameraSetAnalogGain(300);
    ASSERT_EQ(QrCTransformGainExposure(1), CAM_OK);
    EXPECT_EQ(g_camera->gain, 128);
    QrCTransformGainExposure(0);
    QrCCameraSetAnalogGain(100);
    EXPECT_EQ(QrCTransformGainExposure(1), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(g_camera->gain, 100);
    QrCCameraSetAeState(1);
    QrCCameraSetAnalogGain(300);
    EXPECT_EQ(QrCTransformGainExposure(1), CAM_ERR_NO_DEVICE);

    UseCamera(CAMERA_TYPE_CAMDRVE);   // a CMOS family outside 11 and 12
    QrCCameraSetAnalogGain(300);
    EXPECT_EQ(QrCTransformGainExposure(1), CAM_ERR_NO_DEVICE);
}

TEST_F(StoreTest, ExposureIsRefusedUnderAutomaticExposure)
{
    UseCamera(CAMERA_TYPE_CAMDRVA);
    ASSERT_EQ(QrCCameraSetExposureTimeMS(30000, 1), CAM_OK);
    QrCCameraSetAeState(1);
    EXPECT_EQ(QrCCameraSetExposureTimeMS(90000, 1), CAM_ERR_NO_DEVICE);
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    EXPECT_EQ(cur.exposureTime, 30000);
    EXPECT_EQ(g_camera->exposuresWritten.back(), 30);

    // Without apply the value waits, marked as changed.
    QrCCameraSetAeState(0);
    g_camera->exposuresWritten.clear();
    ASSERT_EQ(QrCCameraSetExposureTimeMS(45000, 0), CAM_OK);
    EXPECT_TRUE(g_camera->exposuresWritten.empty());
    CameraMgrParam p;
    QrCCameraGetMgrParameter(&p);
    EXPECT_EQ(p.exposureChanged, 1);
}

TEST_F(StoreTest, DevicePollsGiveUpAfterTheTimeLimit)
{
    g_cameraSetup.awbNeverReady = true;
    g_cameraSetup.flatFieldNeverReady = true;
    UseCamera(CAMERA_TYPE_CAMDRVA);
    CCameraManager::SetPollTimeout(150);
    const DWORD start = GetTickCount();
    EXPECT_EQ(QrCCameraSetAWBState(1), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(QrCCameraCalcFlatFielding(), CAM_ERR_NO_DEVICE);
    EXPECT_LT(GetTickCount() - start, 3000u);

    g_camera->setup.awbNeverReady = false;
    g_camera->setup.flatFieldNeverReady = false;
    EXPECT_EQ(QrCCameraSetAWBState(1), CAM_OK);
    EXPECT_EQ(QrCCameraCalcFlatFielding(), CAM_OK);
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    EXPECT_EQ(cur.flatField, 1);
}

TEST_F(StoreTest, RefusedFilterIsPassedOnAndNotStored)
{
    UseCamera(CAMERA_TYPE_CORE_A);
    ASSERT_EQ(QrCCameraSetFilter(1), CAM_OK);
    g_camera->setup.filterAnswer = CAM_FAILED;
    EXPECT_EQ(QrCCameraSetFilter(0), CAM_FAILED);
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    EXPECT_EQ(cur.filter, 1);
}

// The speed-up is on from the start: a first call to switch it on changes nothing;
// switching it off remembers the resolution that switching it on comes back to.
TEST_F(StoreTest, FluorescenceSpeedUpStartsOn)
{
    g_cameraSetup.productIndex = 24;
    UseCamera(CAMERA_TYPE_CORE_A);
    EXPECT_EQ(QrCCameraFluoSpeedupRes(0), CAM_OK);   // not product 25: nothing happens
    EXPECT_TRUE(g_camera->resolutionsSet.empty());

    g_cameraSetup.productIndex = 25;
    g_cameraSetup.exposure = 64000;
    UseCamera(CAMERA_TYPE_CORE_A);
    ASSERT_EQ(QrCCameraFluoSpeedupRes(1), CAM_OK);
    EXPECT_TRUE(g_camera->exposuresWritten.empty());
    EXPECT_TRUE(g_camera->resolutionsSet.empty());
    g_camera->resolution = 2;
    ASSERT_EQ(QrCCameraFluoSpeedupRes(0), CAM_OK);
    EXPECT_EQ(g_camera->resolutionsSet, std::vector<int>{1});
    ASSERT_EQ(QrCCameraFluoSpeedupRes(0), CAM_OK);   // already off
    EXPECT_EQ(g_camera->resolutionsSet.size(), 1u);
    ASSERT_EQ(QrCCameraFluoSpeedupRes(1), CAM_OK);
    // Back at resolution 2: the exposure is divided by 4 x (2 - 3)^2.
    EXPECT_EQ(g_camera->exposuresWritten, std::vector<int>{16000});
    EXPECT_EQ(g_camera->resolutionsSet.back(), 2);
}

TEST_F(StoreTest, AreaWhiteBalanceEvensATintedRegion)
{
    UseCamera(CAMERA_TYPE_CAMDRVA);
    ASSERT_EQ(QrCCameraInit(0, nullptr, nullptr, 0), CAM_OK);
    ASSERT_TRUE(WaitFor([] { return CCameraManagerProbe::FrameReceived(); }, 5000));
    RECT column = {10, 10, 11, 30};
    EXPECT_EQ(QrCCameraSetAreaWBState(&column), CAM_ERR_NO_DEVICE);

    RECT area = {8, 8, 40, 30};
    ASSERT_EQ(QrCCameraSetAreaWBState(&area), CAM_OK);
    std::vector<BYTE> image(64 * 48 * 3);
    g_camera->Decode(nullptr, image.data(), 64, 48, 1);
    const double blue = image[0], green = image[1], red = image[2];
    const double top = std::max(red, std::max(green, blue));
    EXPECT_GT(std::min(red, std::min(green, blue)), top * 0.97)
        << red << " " << green << " " << blue;
}

TEST_F(StoreTest, AreaWhiteBalanceOnABlackChannelKeepsTheOldGains)
{
    g_cameraSetup.tint[0] = 0;
    UseCamera(CAMERA_TYPE_CAMDRVA);
    QrCCameraSetGain(70, 80, 90);
    ASSERT_EQ(QrCCameraInit(0, nullptr, nullptr, 0), CAM_OK);
    ASSERT_TRUE(WaitFor([] { return CCameraManagerProbe::FrameReceived(); }, 5000));
    RECT area = {8, 8, 40, 30};
    EXPECT_EQ(QrCCameraSetAreaWBState(&area), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(g_camera->rgb[0], 70);
    EXPECT_EQ(g_camera->rgb[2], 90);
}

TEST_F(StoreTest, ResolutionLockMakesCaptureFollowPreview)
{
    g_cameraSetup.productIndex = 7;
    UseCamera(CAMERA_TYPE_CAMDRVG);
    CameraMgrParam& p = CCameraManagerProbe::Param();
    ASSERT_EQ(QrCCameraSetResLockState(0), CAM_OK);
    QrCCameraSetResCapture(3);
    QrCCameraSetResPreview(2);
    EXPECT_EQ(p.ResCapture, 3);
    ASSERT_EQ(QrCCameraSetResLockState(1), CAM_OK);
    EXPECT_EQ(p.ResCapture, 2);
    QrCCameraSetResCapture(0);
    EXPECT_EQ(p.ResPreview, 0);
    EXPECT_EQ(g_camera->resolutionsSet.back(), 0);

    // Type 9 leaves long exposure at preview 1.
    p.longExposure = 1;
    QrCCameraSetResPreview(1);
    EXPECT_EQ(p.longExposure, 0);
}

TEST_F(StoreTest, DriverFrameSpeedsAreMappedAndStoredAtMostTwo)
{
    g_cameraSetup.productIndex = 8;
    UseCamera(CAMERA_TYPE_CAMDRVA);
    ASSERT_EQ(QrCCameraSetFrameSpeed(3), CAM_OK);
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    EXPECT_EQ(cur.HDFrameSpeed, 2);

    // Switching 16-bit data on at a slow speed raises the speed first.
    QrCCameraSetFrameSpeed(0);
    ASSERT_EQ(QrCCameraSetDataWide(1), CAM_OK);
    QrCCameraGetCurParameter(&cur);
    EXPECT_EQ(cur.dataWide, 1);
    EXPECT_EQ(cur.HDFrameSpeed, 2);
}

TEST_F(StoreTest, DefaultParametersResetLevelsAndDye)
{
    UseCamera(CAMERA_TYPE_CAMDRVA);
    CameraMgrParam& p = CCameraManagerProbe::Param();
    p.showChannel = 1;
    p.levelsLow[2] = 40;
    p.dye.R = 3;
    ASSERT_EQ(QrCCameraParameterDefault(3), CAM_OK);
    EXPECT_EQ(p.showChannel, 3);
    EXPECT_EQ(p.levelsLow[2], 0);
    EXPECT_EQ(p.dye.R, 255);
    ASSERT_EQ(QrCCameraParameterDefault(1), CAM_OK);
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    EXPECT_EQ(cur.HDAutoWB, 1);
}
