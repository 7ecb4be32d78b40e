// The temperature worker: period, history, cooler switching, stop, and the curve.
#include "LiveSupport.h"

#include <atomic>

using namespace livetest;

namespace {

std::atomic<int> g_readings{0};
std::atomic<int> g_callsAfterStop{0};
std::atomic<int> g_stopped{0};
std::atomic<int> g_cooler{-1};
float g_degrees = 12.4f;

class CCooledCamera : public CCameraDevice {
public:
    explicit CCooledCamera(int productIndex)
    {
        m_info.productId = 0x840A;
        m_info.productIndex = productIndex;
        m_info.featureFlags[FEATURE_COOLED - 1] = 1;
    }
    int GetTemperature(float* degrees) override
    {
        if (g_stopped)
            ++g_callsAfterStop;
        ++g_readings;
        *degrees = g_degrees;
        return CAM_OK;
    }
    int SetCooled(int on) override
    {
        if (g_stopped)
            ++g_callsAfterStop;
        g_cooler = on;
        return CAM_OK;
    }
};

int g_productIndex = 17;
CCameraDevice* MakeCooledCamera(int)
{
    return new CCooledCamera(g_productIndex);
}

class TemperatureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_readings = g_callsAfterStop = g_stopped = 0;
        g_cooler = -1;
        g_productIndex = 17;
        CCameraManager::SetDeviceFactory(MakeCooledCamera);
    }
    void Open()
    {
        ASSERT_EQ(QrCSetCamera(CAMERA_TYPE_CAMDRVE), CAM_OK);
        CCameraManagerProbe::ClearHistory();
        CCameraManagerProbe::StartTemperature();
        ASSERT_TRUE(CCameraManagerProbe::TemperatureRunning());
    }
    void TearDown() override
    {
        QrCCameraSetHWndReceive(nullptr);
        QrCSetCamera(CAMERA_TYPE_NONE);
        CCameraManager::SetDeviceFactory(nullptr);
        QrCCameraSetTemperature(-30.0f);
    }
};

}  // namespace

// The set point is the worker's own: the parameter block keeps the product's target.
TEST_F(TemperatureTest, SetPointIsClampedAndTruncatedAndLeavesTheCoolingDegree)
{
    Open();
    CameraCurParam before;
    ASSERT_EQ(QrCCameraGetCurParameter(&before), CAM_OK);
    EXPECT_EQ(QrCCameraSetTemperature(-45.5f), CAM_OK);
    EXPECT_EQ(CCameraManagerProbe::SetPoint(), -30);
    EXPECT_EQ(QrCCameraSetTemperature(12.9f), CAM_OK);
    EXPECT_EQ(CCameraManagerProbe::SetPoint(), 12);
    EXPECT_EQ(QrCCameraSetTemperature(99.0f), CAM_OK);
    EXPECT_EQ(CCameraManagerProbe::SetPoint(), 30);
    CameraCurParam after;
    ASSERT_EQ(QrCCameraGetCurParameter(&after), CAM_OK);
    EXPECT_EQ(after.CoolingDegree, before.CoolingDegree);
    EXPECT_NE(after.CoolingDegree, 30);
}

TEST_F(TemperatureTest, ReadingsArriveEveryPeriodWithHistoryAndCooler)
{
    QrCCameraSetTemperature(20.0f);
    MessageReceiver receiver;
    ASSERT_EQ(QrCCameraSetHWndReceive(receiver.Hwnd()), CAM_OK);
    Open();
    ASSERT_TRUE(receiver.WaitForMessage(WM_CAMERA_TEMPERATURE, 6000, 3));
    std::vector<DWORD> times;
    for (const SpyMessage& m : receiver.Messages())
        if (m.msg == WM_CAMERA_TEMPERATURE) {
            EXPECT_EQ(m.wParam, 0u);
            EXPECT_EQ(m.lParam, 0);
            times.push_back(m.time);
        }
    ASSERT_GE(times.size(), 3u);
    for (size_t i = 1; i < times.size(); ++i) {
        EXPECT_GE(times[i] - times[i - 1], 1640u);
        EXPECT_LE(times[i] - times[i - 1], 1900u);
    }
    const int* history = CCameraManagerProbe::History();
    EXPECT_EQ(history[171], 24);   // twice 12.4, truncated
    EXPECT_EQ(history[170], 24);
    EXPECT_EQ(history[0], -300);
    EXPECT_EQ(g_cooler.load(), 0);   // 12.4 is below the set point of 20
    float now = 0;
    EXPECT_EQ(QrCCameraGetCurTemperature(&now), CAM_OK);
    EXPECT_FLOAT_EQ(now, 12.4f);
}

TEST_F(TemperatureTest, ProductTwentyFiveKeepsItsCoolerOn)
{
    g_productIndex = 25;
    QrCCameraSetTemperature(30.0f);
    Open();
    ASSERT_TRUE(WaitFor([] { return g_readings.load() >= 1 && g_cooler.load() >= 0; }, 3000));
    EXPECT_EQ(g_cooler.load(), 1);
}

TEST_F(TemperatureTest, StopWakesTheWorkerAndNoDeviceCallFollows)
{
    Open();
    ASSERT_TRUE(WaitFor([] { return g_readings.load() >= 1; }, 3000));
    PumpMessagesFor(300);   // the worker is between readings now
    const DWORD start = GetTickCount();
    CCameraManagerProbe::StopTemperature();
    const DWORD took = GetTickCount() - start;
    g_stopped = 1;
    EXPECT_LE(took, 1500u);
    EXPECT_LT(took, 300u);   // woken, not waited out
    EXPECT_FALSE(CCameraManagerProbe::TemperatureRunning());
    PumpMessagesFor(2000);
    EXPECT_EQ(g_callsAfterStop.load(), 0);
}

TEST_F(TemperatureTest, CurveStaysInsideTheGivenRectangle)
{
    ASSERT_EQ(QrCSetCamera(CAMERA_TYPE_CAMDRVE), CAM_OK);
    CCameraManagerProbe::ClearHistory();
    for (int i = 100; i < 172; ++i)
        CCameraManagerProbe::SetHistory(i, i < 140 ? 200 : -120);   // far above and below
    MemoryCanvas canvas(300, 260);
    RECT r = {20, 40, 200, 200};
    ASSERT_EQ(QrCCameraDrawTemperature(CDC::FromHandle(canvas.dc), &r), CAM_OK);
    int blue = 0;
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            if (canvas.At(x, y) == RGB(0, 0, 222)) {
                ++blue;
                ASSERT_GE(y, r.top - 1) << x;
                ASSERT_LE(y, r.bottom + 1) << x;
                ASSERT_GE(x, r.left + 99) << y;
            }
    EXPECT_GT(blue, 60);
    // The axis is drawn: vertical line at left + 172.
    EXPECT_EQ(canvas.At(r.left + 172, r.top + 10), RGB(0, 0, 0));

    // Without the cooled feature only axes and labels.
    CCameraManagerProbe::Info().featureFlags[FEATURE_COOLED - 1] = 0;
    MemoryCanvas plain(300, 260);
    QrCCameraDrawTemperature(CDC::FromHandle(plain.dc), &r);
    for (int y = 0; y < plain.height; ++y)
        for (int x = 0; x < plain.width; ++x)
            ASSERT_NE(plain.At(x, y), RGB(0, 0, 222));
}
