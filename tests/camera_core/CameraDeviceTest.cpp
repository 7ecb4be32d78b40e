// The device interface's look-ups, conversions and base answers.
#include "support/gtest.h"

#include "camera/device/CameraDevice.h"

namespace {

// Opens the protected tables and ranges to the tests.
class CTableDevice : public CCameraDevice {
public:
    CameraParamInfo& Info() { return m_info; }
    std::vector<int>& Gains() { return m_gainTable; }
    std::vector<int>& Exposures() { return m_exposureTable; }
};

TEST(CameraDevice, ConstructionDefaults)
{
    CTableDevice device;
    CameraParamInfo info;
    device.GetParameterInfo(&info);
    EXPECT_EQ(info.productIndex, -1);
    EXPECT_EQ(info.sensorKind, 0);
    EXPECT_TRUE(info.modelName == CString(L"\u672A\u77E5\u8A2D\u5099"));  // 未知設備
    EXPECT_EQ(info.Feature(1), 0);
    EXPECT_EQ(info.Feature(2), 1);
    EXPECT_EQ(info.Feature(7), 0);
    EXPECT_EQ(info.Feature(21), 0);
    EXPECT_EQ(info.exposureUnit, 1.0f);
    ASSERT_EQ(device.Gains().size(), 1u);
    EXPECT_EQ(device.Gains()[0], 1);
    ASSERT_EQ(device.Exposures().size(), 1u);

    CameraCurParam last;
    last.exposureTime = 0;
    device.GetLastParameter(&last);
    EXPECT_EQ(last.exposureTime, 33000);
    EXPECT_EQ(last.exposureStep, 20);
    EXPECT_EQ(last.HDFrameSpeed, 1);
    EXPECT_EQ(last.modeByte, 4);
    EXPECT_EQ(last.CoolingDegree, -30);
}

TEST(CameraDevice, BaseOperationsAnswerAsAbsentFeatures)
{
    CTableDevice device;
    EXPECT_EQ(device.FillFrameSpeedList(nullptr), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(device.SetFilter(1), CAM_FAILED);
    int value = 7;
    EXPECT_EQ(device.GetFilter(&value), CAM_OK);
    EXPECT_EQ(value, 0);
    value = 7;
    EXPECT_EQ(device.GetDataWide(&value), CAM_OK);
    EXPECT_EQ(value, 0);
    int busy = 5, result = 5;
    EXPECT_EQ(device.GetAWBStateResult(&busy, &result), CAM_OK);
    EXPECT_EQ(busy, 0);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(device.ApplyProductPreset(nullptr), 0);
    EXPECT_EQ(device.Reserved8(1), 0);
    // An operation the family lacks leaves the caller's value alone.
    int gain = 42;
    EXPECT_EQ(device.GetBlackLevel(&gain), CAM_OK);
    EXPECT_EQ(gain, 42);
}

TEST(CameraDevice, StepLookups)
{
    CTableDevice device;
    device.Gains() = {1, 5, 10, 20};
    EXPECT_EQ(device.GainToStep(100), 4);   // above every entry: the table length
    EXPECT_EQ(device.GainToStep(0), 1);     // below the first entry
    EXPECT_EQ(device.GainToStep(6), 3);
    EXPECT_EQ(device.GainToStep(10), 3);
    EXPECT_EQ(device.StepToGain(0), 1);     // below 1 counts as 1
    EXPECT_EQ(device.StepToGain(2), 5);
    EXPECT_EQ(device.StepToGain(99), 20);   // beyond the table: the last entry
    device.Gains().clear();
    EXPECT_EQ(device.GainToStep(3), 0);
    EXPECT_EQ(device.StepToGain(1), 0);

    device.Exposures() = {1, 10, 100, 1000};
    EXPECT_EQ(device.ExposureToStep(5000), 4);
    EXPECT_EQ(device.ExposureToStep(10), 2);
    // Exposures compare unsigned: -1 is the largest time there is.
    EXPECT_EQ(device.ExposureToStep(-1), 4);
    EXPECT_EQ(device.StepToExposure(-3), 1);
    EXPECT_EQ(device.StepToExposure(5), 1000);
}

TEST(CameraDevice, GammaConversions)
{
    CTableDevice device;
    EXPECT_EQ(device.RegisterToGamma(-20), 20);
    EXPECT_EQ(device.RegisterToGamma(20), 150);
    EXPECT_EQ(device.RegisterToGamma(35), 150);   // clamped to the range first
    EXPECT_EQ(device.RegisterToGamma(3), 107);    // 3 x 2.5 + 100 truncated
    EXPECT_EQ(device.GammaToRegister(99), 0);     // -1 / 4 truncates toward zero
    EXPECT_EQ(device.GammaToRegister(96), -1);
    EXPECT_EQ(device.GammaToRegister(150), 20);
    EXPECT_EQ(device.GammaToRegister(255), 20);   // capped at gammaMax
    EXPECT_EQ(device.GammaToRegister(0), -20);    // raised to gammaMin
}

TEST(CameraDevice, ContrastAndSaturationConversions)
{
    CTableDevice device;
    EXPECT_EQ(device.ContrastToRegister(128, 1), 0);
    EXPECT_EQ(device.ContrastToRegister(255, 1), 20);
    EXPECT_EQ(device.RegisterToContrast(-3, 1), 110);
    EXPECT_EQ(device.ContrastToRegister(10, 0), -10);
    EXPECT_EQ(device.ContrastToRegister(100, 0), 20);
    EXPECT_EQ(device.RegisterToContrast(-10, 0), 10);
    EXPECT_EQ(device.RegisterToContrast(5, 0), 40);

    EXPECT_EQ(device.SaturationToRegister(170, 1), 10);
    EXPECT_EQ(device.SaturationToRegister(50, 1), -10);
    EXPECT_EQ(device.RegisterToSaturation(10, 1), 170);
    EXPECT_EQ(device.RegisterToSaturation(-10, 1), 50);
    // The sign before clamping picks the factor.
    EXPECT_EQ(device.RegisterToSaturation(40, 1), 240);
    EXPECT_EQ(device.SaturationToRegister(140, 0), 2);
    EXPECT_EQ(device.RegisterToSaturation(2, 0), 140);
}

TEST(CameraDevice, GainFactorConversions)
{
    CTableDevice device;
    EXPECT_EQ(device.GainRegisterToFactor(100), 4);   // 99 x 0.0351 + 1 = 4.4749
    EXPECT_EQ(device.GainRegisterToFactor(500), 4);   // register clamped to 100 first
    EXPECT_EQ(device.GainFactorToRegister(4), 114);
    device.Info().gainFactorMax = 2;
    EXPECT_EQ(device.GainRegisterToFactor(100), 2);
    device.Info().gainRegisterMin = 10;
    EXPECT_EQ(device.GainFactorToRegister(1), 38);
}

TEST(CameraDevice, DefaultParametersByProduct)
{
    CTableDevice device;
    CameraCurParam p;

    device.Info().productIndex = 5;
    p.mirror[0] = p.mirror[1] = 1;
    device.GetDefaultParameter(&p, 1);
    EXPECT_EQ(p.gain, 20);
    EXPECT_EQ(p.aeOn, 0);
    EXPECT_EQ(p.aeTarget, 100);
    EXPECT_EQ(p.HDFrameSpeed, 0);
    EXPECT_EQ(p.mirror[0] + p.mirror[1], 0);

    device.Info().productIndex = 28;   // high-definition
    device.GetDefaultParameter(&p, 1);
    EXPECT_EQ(p.aeOn, 1);
    EXPECT_EQ(p.aeTarget, 10);
    EXPECT_EQ(p.gain, 1);

    device.Info().productIndex = 32;
    device.GetDefaultParameter(&p, 2);
    EXPECT_EQ(p.saturation, 7);
    EXPECT_EQ(p.saturationValue, 7);
    EXPECT_EQ(p.redGain, 50);

    device.Info().productIndex = -1;
    p.colorEnhancement = 1;
    p.gainFactor = 9;
    p.HDFrameSpeed = 3;
    p.blackLevel = 4;
    EXPECT_EQ(device.GetDefaultParameter(&p, 0), CAM_OK);
    EXPECT_EQ(p.colorEnhancement, 0);
    EXPECT_EQ(p.gainFactor, 1);
    EXPECT_EQ(p.HDFrameSpeed, 0);
    EXPECT_EQ(p.blackLevel, 0);
    EXPECT_EQ(p.gamma, 100);
    EXPECT_EQ(p.contrast, 0);
    EXPECT_EQ(p.saturation, 128);
    EXPECT_EQ(p.blueGain, 64);
    EXPECT_EQ(p.exposureTime, 33000);
}

} // namespace
