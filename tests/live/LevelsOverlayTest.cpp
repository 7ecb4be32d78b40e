// Levels, histogram drawing, cross, comparison image, grid and capture overlay, with a
// device of the tests' own so the histogram counts and levels are known.
#include "LiveSupport.h"

#include "camera/core/CaptureOverlay.h"

#include <atomic>

using namespace livetest;

namespace {

int g_counts[256];
int g_lastLevels[3];      // low, high, channel of the last SetLevelsValues
int g_lastGamma[2];       // value, channel
int g_shownChannel = -1;

class CLevelsCamera : public CCameraDevice {
public:
    CLevelsCamera() { m_info.productIndex = 3; }
    int GetImageSize(int* w, int* h) override
    {
        *w = 320;
        *h = 240;
        return CAM_OK;
    }
    int GetLevelsCounts(int* counts) override
    {
        memcpy(counts, g_counts, sizeof g_counts);
        return CAM_OK;
    }
    int SetLevelsValues(int low, int high, int channel) override
    {
        g_lastLevels[0] = low;
        g_lastLevels[1] = high;
        g_lastLevels[2] = channel;
        return low > high ? CAM_ERR_ORDER : CAM_OK;
    }
    int SetGammaEx(int value, int channel) override
    {
        g_lastGamma[0] = value;
        g_lastGamma[1] = channel;
        return CAM_OK;
    }
    int SetShowChannel(int channel) override
    {
        g_shownChannel = channel;
        return CAM_OK;
    }
};

CCameraDevice* MakeLevelsCamera(int)
{
    return new CLevelsCamera;
}

class LevelsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CCameraManager::SetDeviceFactory(MakeLevelsCamera);
        ASSERT_EQ(QrCSetCamera(CAMERA_TYPE_CAMDRVE), CAM_OK);
        ASSERT_NE(CCameraManagerProbe::M().GetDevice(), nullptr);
        CCameraManagerProbe::SetRunStateByte(0);   // histograms draw only while live
        QrCCameraLevelsDefault();
    }
    void TearDown() override
    {
        CCameraManagerProbe::SetRunStateByte(2);
        QrCSetCamera(CAMERA_TYPE_NONE);
        CCameraManager::SetDeviceFactory(nullptr);
    }
};

bool IsHistogramBlue(COLORREF c)
{
    return c == RGB(0, 0, 222);
}

}  // namespace

TEST_F(LevelsTest, GammaLevelsAndChannelAreClampedAndStoredForTheShownChannel)
{
    CameraMgrParam param;
    EXPECT_EQ(QrCCameraSetShowChannel(-1), CAM_OK);
    EXPECT_EQ(g_shownChannel, 0);
    EXPECT_EQ(QrCCameraSetGammaEx(10), CAM_OK);
    EXPECT_EQ(g_lastGamma[0], 20);
    EXPECT_EQ(g_lastGamma[1], 0);
    EXPECT_EQ(QrCCameraSetShowChannel(7), CAM_OK);
    EXPECT_EQ(g_shownChannel, 3);
    EXPECT_EQ(QrCCameraSetGammaEx(200), CAM_OK);
    QrCCameraGetMgrParameter(&param);
    EXPECT_EQ(param.showChannel, 3);
    EXPECT_EQ(param.gamma[0], 20);
    EXPECT_EQ(param.gamma[3], 150);

    // 16-bit wrap, then the top of the low level becomes 255; the device decides the order.
    EXPECT_EQ(QrCCameraSetLevelsValues(0x10000 + 5, 200), CAM_OK);
    EXPECT_EQ(g_lastLevels[0], 5);
    EXPECT_EQ(QrCCameraSetLevelsValues(300, 255), CAM_OK);
    EXPECT_EQ(g_lastLevels[0], 255);
    EXPECT_EQ(QrCCameraSetLevelsValues(100, 50), CAM_ERR_ORDER);
    int low = 0, high = 0;
    EXPECT_EQ(QrCCameraGetLevelsValues(&low, &high), CAM_OK);
    EXPECT_EQ(low, 100);
    EXPECT_EQ(high, 50);

    EXPECT_EQ(QrCCameraLevelsDefault(), CAM_OK);
    QrCCameraGetMgrParameter(&param);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(param.levelsLow[i], 0);
        EXPECT_EQ(param.levelsHigh[i], 255);
        EXPECT_EQ(param.gamma[i], 100);
    }
    EXPECT_EQ(g_shownChannel, 3);
}

TEST_F(LevelsTest, HistogramBarsAndMarkersLandWhereTheLevelsPutThem)
{
    MemoryCanvas canvas(260, 140);
    CDC* dc = CDC::FromHandle(canvas.dc);
    RECT r = {10, 10, 210, 130};   // 120 high: bars are at most 100
    for (int& c : g_counts)
        c = 0;
    g_counts[0] = 10000;   // bin 0 -> column 0, full height
    g_counts[255] = 1;     // never sampled (column 187 reads bin 253)
    g_counts[136] = 100;   // column 100 reads bin 135.6 -> 135: empty; column 101 -> bin 136
    ASSERT_EQ(QrCDrawHistogramData(dc, &r), CAM_OK);
    const int total = 10101, threshold = total / 64;   // 157
    const int column101 = std::min(100 * 100 / threshold + 3, 100);
    auto barHeight = [&](int column) {
        int n = 0;
        for (int y = r.bottom - 1; y > r.top && IsHistogramBlue(canvas.At(r.left + 1 + column, y)); --y)
            ++n;
        return n;
    };
    EXPECT_EQ(barHeight(0), 100);
    EXPECT_EQ(barHeight(101), column101);
    EXPECT_EQ(barHeight(100), 0);
    EXPECT_EQ(barHeight(187), 0);
    EXPECT_FALSE(IsHistogramBlue(canvas.At(r.left + 1 + 188, r.bottom - 1)));

    // Markers: low 0 in black at the left, high 255 (column 188) in white.
    QrCCameraSetLevelsValues(64, 255);
    canvas.Fill(RGB(128, 128, 128));
    ASSERT_EQ(QrCDrawHistogramFram(dc, &r), CAM_OK);
    const double scale = (r.right - r.left - 1) * 0.005319149;
    const int lowX = r.left + 1 + int(64 * 0.73725 * scale);
    const int highX = r.left + 1 + int(188 * scale);
    EXPECT_EQ(canvas.At(lowX, 60), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(highX, 60), RGB(255, 255, 255));
    EXPECT_EQ(canvas.At(lowX + 3, 60), RGB(128, 128, 128));
    EXPECT_EQ(canvas.At(lowX, r.top), RGB(128, 128, 128));
}

TEST_F(LevelsTest, FewerThanSixtyFourCountsDrawNothing)
{
    MemoryCanvas canvas(220, 120);
    CDC* dc = CDC::FromHandle(canvas.dc);
    RECT r = {0, 0, 200, 100};
    for (int& c : g_counts)
        c = 0;
    g_counts[10] = 63;
    EXPECT_EQ(QrCDrawHistogramData(dc, &r), CAM_ERR_NO_DEVICE);
    for (int x = 0; x < 200; ++x)
        ASSERT_EQ(canvas.At(x, 98), RGB(255, 255, 255)) << x;
    g_counts[11] = 1;
    EXPECT_EQ(QrCDrawHistogramData(dc, &r), CAM_OK);
    // Stopped: answers 1 and draws nothing.
    canvas.Fill(RGB(255, 255, 255));
    CCameraManagerProbe::SetRunStateByte(2);
    EXPECT_EQ(QrCDrawHistogramData(dc, &r), CAM_OK);
    for (int x = 0; x < 200; ++x)
        ASSERT_EQ(canvas.At(x, 98), RGB(255, 255, 255)) << x;
}

namespace {

struct ReplaceJob {
    std::vector<BYTE> pixels;
    std::atomic<int> done{0};
};

DWORD WINAPI ReplaceComparison(void* p)
{
    ReplaceJob* job = static_cast<ReplaceJob*>(p);
    QrCSetComparisonImage(job->pixels.data(), 4, 4, 3);
    job->done = 1;
    return 0;
}

}  // namespace

TEST_F(LevelsTest, ComparisonImageKeepsItsBufferAndItsLockGuardsReaders)
{
    EXPECT_EQ(QrCSetComparisonImage(nullptr, 4, 4, 3), CAM_ERR_NO_DEVICE);
    std::vector<BYTE> big(40 * 30 * 3, 7), little(4 * 4 * 3, 9);
    ASSERT_EQ(QrCSetComparisonImage(big.data(), 40, 30, 3), CAM_OK);
    ComparisonParam first;
    ASSERT_EQ(QrCGetComparisonParam(&first), CAM_OK);
    EXPECT_EQ(first.display, 1);
    ASSERT_EQ(QrCSetComparisonImage(little.data(), 4, 4, 3), CAM_OK);
    ComparisonParam second;
    QrCGetComparisonParam(&second);
    EXPECT_EQ(second.image, first.image);   // the larger buffer stays
    EXPECT_EQ(second.width, 4);
    EXPECT_EQ(second.image[0], 9);
    float half = 0.25f;
    EXPECT_EQ(QrCSetTransparency(half), CAM_OK);
    EXPECT_EQ(QrCSetCmpImageDisplay(0), CAM_OK);
    QrCGetComparisonParam(&second);
    EXPECT_EQ(second.display, 0);
    EXPECT_FLOAT_EQ(second.transparency, 0.25f);

    // A reader holding the lock from its copy keeps a writer out until it lets go.
    ASSERT_NE(second.lock, nullptr);
    ReplaceJob job;
    job.pixels.assign(4 * 4 * 3, 11);
    second.lock->Lock();
    HANDLE writer = CreateThread(nullptr, 0, ReplaceComparison, &job, 0, nullptr);
    Sleep(150);
    EXPECT_EQ(job.done.load(), 0);
    EXPECT_EQ(second.image[0], 9);
    second.lock->Unlock();
    EXPECT_EQ(WaitForSingleObject(writer, 2000), WAIT_OBJECT_0);
    CloseHandle(writer);
    EXPECT_EQ(second.image[0], 11);
}

TEST_F(LevelsTest, GridAndCursorTextKeepTheLastPositionInsideTheImage)
{
    MemoryCanvas canvas(400, 300);
    CDC* dc = CDC::FromHandle(canvas.dc);
    HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(canvas.dc, red);
    RECT client = {0, 0, 400, 300};
    // A shown part smaller than the client is centred; the grid starts at the margins.
    RECT shown;
    ASSERT_EQ(QrCCameraGetShowRect(&shown), CAM_OK);
    const int w = shown.right - shown.left, h = shown.bottom - shown.top;
    const int mx = std::max(0, (400 - w) / 2), my = std::max(0, (300 - h) / 2);
    POINT inside = {mx + 20, my + 10};
    ASSERT_EQ(QrCCameraDrawXY(dc, &client, &inside, 0, 0), CAM_OK);
    ASSERT_LT(120, w);
    ASSERT_LT(120, h);
    EXPECT_EQ(canvas.At(mx + 120, my + 50), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(mx + 50, my + 120), RGB(255, 0, 0));
    EXPECT_NE(canvas.At(mx + 121, my + 50), RGB(255, 0, 0));
    if (my > 0)
        EXPECT_NE(canvas.At(mx + 120, my - 1), RGB(255, 0, 0));   // lines start at the margin

    // Outside the image the text keeps showing the last position: same pixels as before.
    MemoryCanvas again(400, 300);
    HGDIOBJ old2 = SelectObject(again.dc, red);
    POINT outside = {-50, -50};
    ASSERT_EQ(QrCCameraDrawXY(CDC::FromHandle(again.dc), &client, &outside, 0, 0), CAM_OK);
    int textPixels = 0;
    for (int y = 280; y < 300; ++y)
        for (int x = 0; x < 120; ++x) {
            ASSERT_EQ(again.At(x, y), canvas.At(x, y)) << x << "," << y;
            textPixels += canvas.At(x, y) == RGB(0, 0, 255);
        }
    EXPECT_GT(textPixels, 10);
    SelectObject(again.dc, old2);
    SelectObject(canvas.dc, old);
    DeleteObject(red);
}

TEST(CaptureOverlayTest, ScalesRoundedAndDrawsCircleAndMarksOnlyWhenVisible)
{
    CCaptureOverlay overlay;
    overlay.radius = 10;
    overlay.centerX = 21;
    overlay.centerY = 15;
    overlay.pen.lopnColor = RGB(255, 0, 0);
    CCaptureOverlay::CrossMark mark;
    mark.horizontalLength = 8;
    mark.verticalLength = 6;
    mark.horizontalX = 5;
    mark.horizontalY = 5;
    mark.verticalX = 30;
    mark.verticalY = 5;
    overlay.marks.Add(mark);
    overlay.SetScale(2.5f);
    EXPECT_EQ(overlay.scaledRadius, 25);
    EXPECT_EQ(overlay.scaledCenterX, 53);   // 52.5 + 0.5
    EXPECT_EQ(overlay.scaledCenterY, 38);
    EXPECT_EQ(overlay.marks[0].scaled[0], 20);
    EXPECT_EQ(overlay.marks[0].scaled[4], 75);

    MemoryCanvas canvas(200, 200);
    CDC* dc = CDC::FromHandle(canvas.dc);
    POINT origin = {10, 10};
    overlay.Draw(dc, origin);
    EXPECT_EQ(canvas.At(63, 48), RGB(255, 255, 255));  // invisible: nothing
    overlay.visible = TRUE;
    overlay.Draw(dc, origin);
    EXPECT_EQ(canvas.At(63, 48), RGB(255, 255, 255));   // the circle is not filled
    EXPECT_EQ(canvas.At(63, 48 - 25), RGB(255, 0, 0));  // top of the circle
    EXPECT_EQ(canvas.At(10 + 13 - 10, 10 + 13), RGB(255, 0, 0));  // horizontal mark, left end
    EXPECT_EQ(canvas.At(10 + 75, 10 + 13 - 7), RGB(255, 0, 0));   // vertical mark, top end
}

namespace {

std::atomic<int> g_framesShown{0};
std::vector<std::pair<int, int>> g_mirrorCalls;   // (axis, frames shown before the call)
CRITICAL_SECTION g_mirrorLock;

class CLiveCamera : public CCameraDevice {
public:
    CLiveCamera() { m_info.productIndex = 3; }
    int GetImageSize(int* w, int* h) override
    {
        *w = 64;
        *h = 48;
        return CAM_OK;
    }
    int GrabFrame(BYTE*) override
    {
        Sleep(2);
        return 1;
    }
    int Decode(BYTE*, BYTE*, int, int, int) override
    {
        ++g_framesShown;
        return 1;
    }
    int SetMirror(int axis, int) override
    {
        EnterCriticalSection(&g_mirrorLock);
        g_mirrorCalls.push_back({axis, g_framesShown.load()});
        LeaveCriticalSection(&g_mirrorLock);
        return CAM_OK;
    }
};

CCameraDevice* MakeLiveCamera(int)
{
    return new CLiveCamera;
}

}  // namespace

TEST(WhiteBalanceCountdownTest, MirrorIsReappliedOnceAtTheThirtiethFrame)
{
    InitializeCriticalSection(&g_mirrorLock);
    g_mirrorCalls.clear();
    g_framesShown = 0;
    CCameraManagerProbe::RestartWhiteBalanceCountdown();
    CCameraManager::SetDeviceFactory(MakeLiveCamera);
    ASSERT_EQ(QrCSetCamera(CAMERA_TYPE_CAMDRVE), CAM_OK);
    ASSERT_EQ(QrCCameraInit(0, nullptr, nullptr, 1), CAM_OK);
    ASSERT_TRUE(WaitFor([] { return g_framesShown.load() > 90; }, 5000));
    QrCCameraUnInit();
    QrCSetCamera(CAMERA_TYPE_NONE);
    CCameraManager::SetDeviceFactory(nullptr);
    ASSERT_EQ(g_mirrorCalls.size(), 2u);
    EXPECT_EQ(g_mirrorCalls[0].first, 1);
    EXPECT_EQ(g_mirrorCalls[0].second, 30);
    EXPECT_EQ(g_mirrorCalls[1].first, 0);
    DeleteCriticalSection(&g_mirrorLock);
}
