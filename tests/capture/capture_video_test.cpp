// Recordings through QrCCameraCapture with format 32, read back through AVIFile.
#include "support/gtest.h"
#include "capture_test_camera.h"
#include "TempFolder.h"

#include <vfw.h>

namespace {

struct AviFacts {
    bool opened = false;
    LONG length = 0;
    double rate = 0;
    bool firstFrameMatches = false;
};

AviFacts ReadAvi(const std::u16string& path, const std::vector<BYTE>& reference)
{
    AviFacts facts;
    AVIFileInit();
    PAVISTREAM stream = nullptr;
    if (AVIStreamOpenFromFileW(&stream, W(path), streamtypeVIDEO, 0, OF_READ, nullptr) == AVIERR_OK) {
        facts.opened = true;
        facts.length = AVIStreamLength(stream);
        AVISTREAMINFOW info = {};
        AVIStreamInfoW(stream, &info, sizeof info);
        facts.rate = info.dwScale ? double(info.dwRate) / info.dwScale : 0;
        if (PGETFRAME frames = AVIStreamGetFrameOpen(stream, nullptr)) {
            const BITMAPINFOHEADER* dib =
                static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames, 0));
            if (dib && dib->biBitCount == 24) {
                const BYTE* bits = reinterpret_cast<const BYTE*>(dib) + dib->biSize;
                facts.firstFrameMatches = std::equal(reference.begin(), reference.end(), bits);
            }
            AVIStreamGetFrameClose(frames);
        }
        AVIStreamRelease(stream);
    }
    AVIFileExit();
    return facts;
}

}  // namespace

class RecordingTest : public CaptureCameraTest {
protected:
    void SetUp() override
    {
        CaptureCameraTest::SetUp();
        g_camera.width = 160;
        g_camera.height = 120;
        CoInitialize(nullptr);
    }
    // Starts a recording and waits for its confirmed end, then closes it as the
    // program does.
    void RecordUntilConfirmed(CaptureParam& p, DWORD ms = 15000)
    {
        ASSERT_EQ(QrCCameraCapture(&p), CAM_OK);
        WaitForConfirmation(ms);
    }
    void WaitForConfirmation(DWORD ms = 15000)
    {
        ASSERT_TRUE(WaitFor([&] {
            for (const SpyMessage& m : m_receiver.Messages())
                if (m.msg == WM_CAPTURE_DONE && m.lParam == 1)
                    return true;
            return false;
        }, ms));
        EXPECT_EQ(QrCCameraReleaseCapture(), CAM_OK);
    }
};

TEST_F(RecordingTest, FrameLimitGivesThatManyFramesAtTheRate)
{
    OpenCamera();
    TempFolder folder;
    CaptureParam p = Request(folder.Path(), L"V", CAPTURE_TYPE_AVI);
    p.IsMode = 1;
    p.FPS = 25;
    p.Interval = 0;
    p.AviFrame = 10;
    RecordUntilConfirmed(p);
    // Progress counts the frames written before each one.
    std::vector<WPARAM> progress;
    for (const SpyMessage& m : m_receiver.Messages())
        if (m.msg == WM_CAPTURE_PROGRESS)
            progress.push_back(m.wParam);
    ASSERT_EQ(progress.size(), 10u);
    EXPECT_EQ(progress.back(), 9u);
    CString name;
    ASSERT_EQ(QrCCameraGetSaveImageFileName(&name, 0), CAM_OK);
    const AviFacts facts = ReadAvi(folder.Path("V.avi"), ReferenceImage(false));
    ASSERT_TRUE(facts.opened);
    EXPECT_EQ(facts.length, 10);
    EXPECT_DOUBLE_EQ(facts.rate, 25.0);
    EXPECT_TRUE(facts.firstFrameMatches);
}

// A real-time recording places each frame by the time it came at the rate the
// picture ran when the recording began, and its time limit ends it with a confirmation.
TEST_F(RecordingTest, RealTimeRecordingPlacesFramesByTimeAndStopsAtItsLimit)
{
    OpenCamera();
    ASSERT_TRUE(WaitFor([] { return CCameraManagerProbe::DisplayRate() > 60.0f; }, 5000));
    TempFolder folder;
    CaptureParam p = Request(folder.Path(), L"R", CAPTURE_TYPE_AVI);
    p.IsMode = 0;
    p.IsTimeRecord = 1;
    p.AviFrame = 1;   // seconds in time mode
    const DWORD start = GetTickCount();
    ASSERT_EQ(QrCCameraCapture(&p), CAM_OK);
    g_camera.grabDelayMs = 40;   // the picture slows down: frames now come far apart
    WaitForConfirmation();
    g_camera.grabDelayMs = 2;
    // One confirmation, after the second of the limit; progress counted seconds.
    DWORD confirmed = 0;
    int confirmations = 0;
    for (const SpyMessage& m : m_receiver.Messages()) {
        if (m.msg == WM_CAPTURE_DONE && m.lParam == 1) {
            ++confirmations;
            confirmed = m.time;
        }
        if (m.msg == WM_CAPTURE_PROGRESS)
            EXPECT_LE(m.wParam, 1u);
    }
    EXPECT_EQ(confirmations, 1);
    EXPECT_GE(confirmed - start, 1000u);
    EXPECT_LT(confirmed - start, 5000u);

    // The stream is as long as the second at its rate, with fewer frames than that.
    AVIFileInit();
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIStreamOpenFromFileW(&stream, W(folder.Path("R.avi")), streamtypeVIDEO, 0, OF_READ, nullptr),
              AVIERR_OK);
    AVISTREAMINFOW info = {};
    AVIStreamInfoW(stream, &info, sizeof info);
    const double rate = double(info.dwRate) / info.dwScale;
    const LONG length = AVIStreamLength(stream);
    AVIStreamRelease(stream);
    AVIFileExit();
    const std::vector<BYTE> file = ReadWholeFile(folder.Path("R.avi"));
    int chunks = 0;   // each frame is one "00db" chunk and one index entry
    for (size_t i = 0; i + 4 <= file.size(); ++i)
        chunks += memcmp(&file[i], "00db", 4) == 0;
    const int frames = chunks / 2;
    EXPECT_GT(rate, 60.0);
    EXPECT_GT(length, rate * 0.6);
    EXPECT_LT(length, rate * 1.5);
    EXPECT_GE(frames, 5);
    EXPECT_LT(frames * 2, length) << frames << " frames over " << length;
}

TEST_F(RecordingTest, TimeLapseWritesOneFrameEachInterval)
{
    OpenCamera();
    TempFolder folder;
    CaptureParam p = Request(folder.Path(), L"T", CAPTURE_TYPE_AVI);
    p.IsMode = 1;
    p.FPS = 25;
    p.Interval = 400;
    p.AviFrame = 4;
    const DWORD start = GetTickCount();
    RecordUntilConfirmed(p);
    std::vector<DWORD> times;
    for (const SpyMessage& m : m_receiver.Messages())
        if (m.msg == WM_CAPTURE_PROGRESS)
            times.push_back(m.time);
    ASSERT_EQ(times.size(), 4u);
    EXPECT_LT(times[0] - start, 300u);   // the first frame at once
    for (size_t i = 1; i < times.size(); ++i) {
        EXPECT_GE(times[i] - times[i - 1], 380u);
        EXPECT_LT(times[i] - times[i - 1], 700u);
    }
    // The frames follow one another in the file: it plays faster than it was taken.
    EXPECT_EQ(ReadAvi(folder.Path("T.avi"), {}).length, 4);
}

TEST_F(RecordingTest, FullPartContinuesInNumberedFiles)
{
    OpenCamera();
    TempFolder folder;
    const INT64 frameBytes = INT64(g_camera.width) * g_camera.height * 3;
    CCameraManager::SetVideoSplitBytes(frameBytes * 4 + 100);
    CaptureParam p = Request(folder.Path(), L"P", CAPTURE_TYPE_AVI);
    p.IsMode = 1;
    p.FPS = 10;
    p.Interval = 0;
    p.AviFrame = 10;
    RecordUntilConfirmed(p);
    EXPECT_EQ(ReadAvi(folder.Path("P.avi"), {}).length, 4);
    EXPECT_EQ(ReadAvi(folder.Path("P_1.avi"), {}).length, 4);
    EXPECT_EQ(ReadAvi(folder.Path("P_2.avi"), {}).length, 2);
    EXPECT_FALSE(FileExists(folder.Path("P_3.avi")));
    CString name;
    EXPECT_EQ(QrCCameraGetSaveImageFileName(&name, 1), CAM_ERR_NO_DEVICE);
}

TEST_F(RecordingTest, FailedStartIsReportedAndLeavesNothingRunning)
{
    OpenCamera();
    TempFolder folder;
    CaptureParam p = Request(folder.Path(), L"X", CAPTURE_TYPE_AVI);
    p.Compress = mmioFOURCC('M', 'P', '4', '2');   // no such compressor here
    EXPECT_EQ(QrCCameraCapture(&p), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(CCameraManager::Instance().GetSettings().captureRunning, 0);
    p.Compress = 0;
    p.AviFrame = 2;
    p.IsMode = 1;
    p.Interval = 0;
    RecordUntilConfirmed(p);
    EXPECT_EQ(ReadAvi(folder.Path("X.avi"), {}).length, 2);
}

TEST_F(RecordingTest, StopRecordingConfirmsAndTheFileCloses)
{
    OpenCamera();
    TempFolder folder;
    CaptureParam p = Request(folder.Path(), L"S", CAPTURE_TYPE_AVI);
    p.IsManual = 1;
    ASSERT_EQ(QrCCameraCapture(&p), CAM_OK);
    ASSERT_TRUE(m_receiver.WaitForMessage(WM_CAPTURE_PROGRESS, 5000, 3));
    EXPECT_EQ(m_receiver.LastWParam(WM_CAPTURE_PROGRESS), 0u);   // seconds
    EXPECT_EQ(QrCCameraStopRecording(), CAM_OK);
    ASSERT_TRUE(WaitFor([&] { return m_receiver.LastLParam(WM_CAPTURE_DONE) == 1; }, 5000));
    EXPECT_EQ(QrCCameraReleaseCapture(), CAM_OK);
    EXPECT_GE(ReadAvi(folder.Path("S.avi"), {}).length, 1);
}

namespace {

const DWORD kHfyu = mmioFOURCC('H', 'F', 'Y', 'U');

// Installs the project's HFYU compressor in this prefix, as set-up does.
bool InstallHuffyuv()
{
    static bool installed = ICInstall(ICTYPE_VIDEO, kHfyu,
                                      reinterpret_cast<LPARAM>("OrvHuffyuv.dll"), nullptr,
                                      ICINSTALL_DRIVER) != FALSE;
    return installed;
}

}  // namespace

TEST_F(RecordingTest, HuffyuvCompressorIsListedAndOpens)
{
    ASSERT_TRUE(InstallHuffyuv());
    bool listed = false;
    ICINFO info = {};
    for (DWORD i = 0; ICInfo(ICTYPE_VIDEO, i, &info); ++i)
        listed = listed || info.fccHandler == kHfyu ||
                 info.fccHandler == mmioFOURCC('h', 'f', 'y', 'u');
    EXPECT_TRUE(listed);
    HIC hic = ICOpen(ICTYPE_VIDEO, kHfyu, ICMODE_COMPRESS);
    ASSERT_NE(hic, nullptr);
    ICClose(hic);
}

TEST_F(RecordingTest, CompressedRecordingDecodesLosslessly)
{
    ASSERT_TRUE(InstallHuffyuv());
    OpenCamera();
    TempFolder folder;
    CaptureParam p = Request(folder.Path(), L"H", CAPTURE_TYPE_AVI);
    p.Compress = static_cast<int>(kHfyu);
    p.IsMode = 1;
    p.FPS = 25;
    p.Interval = 0;
    p.AviFrame = 5;
    RecordUntilConfirmed(p);
    const AviFacts facts = ReadAvi(folder.Path("H.avi"), ReferenceImage(false));
    ASSERT_TRUE(facts.opened);
    EXPECT_EQ(facts.length, 5);
    EXPECT_TRUE(facts.firstFrameMatches);
    // Smaller than the frames it holds.
    EXPECT_LT(ReadWholeFile(folder.Path("H.avi")).size(),
              size_t(5) * g_camera.width * g_camera.height * 3);
}

TEST_F(RecordingTest, CompressedRecordingSplitsByBytes)
{
    ASSERT_TRUE(InstallHuffyuv());
    OpenCamera();
    TempFolder folder;
    CCameraManager::SetVideoSplitBytes(INT64(g_camera.width) * g_camera.height);
    CaptureParam p = Request(folder.Path(), L"Q", CAPTURE_TYPE_AVI);
    p.Compress = static_cast<int>(kHfyu);
    p.IsMode = 1;
    p.Interval = 0;
    p.AviFrame = 12;
    RecordUntilConfirmed(p);
    LONG total = 0;
    int parts = 0;
    for (const char* name : {"Q.avi", "Q_1.avi", "Q_2.avi", "Q_3.avi", "Q_4.avi", "Q_5.avi",
                             "Q_6.avi", "Q_7.avi", "Q_8.avi", "Q_9.avi", "Q_10.avi", "Q_11.avi"}) {
        if (!FileExists(folder.Path(name)))
            break;
        ++parts;
        total += ReadAvi(folder.Path(name), {}).length;
    }
    EXPECT_GE(parts, 2);
    EXPECT_EQ(total, 12);
}

namespace {

// Busy threads on every core (twice over) for as long as it lives.
class MachineLoad {
public:
    MachineLoad()
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        for (DWORD i = 0; i < info.dwNumberOfProcessors * 2; ++i)
            m_threads.push_back(CreateThread(nullptr, 0, Spin, this, 0, nullptr));
    }
    ~MachineLoad()
    {
        m_run = 0;
        for (HANDLE h : m_threads) {
            WaitForSingleObject(h, INFINITE);
            CloseHandle(h);
        }
    }

private:
    static DWORD WINAPI Spin(void* self)
    {
        volatile unsigned n = 0;
        while (static_cast<MachineLoad*>(self)->m_run)
            ++n;
        return 0;
    }
    volatile LONG m_run = 1;
    std::vector<HANDLE> m_threads;
};

struct StampedFrame {
    LONG position;
    DWORD tick;   // when the camera grabbed it
};

// The frames a recording holds (empty places repeat the frame before and are skipped),
// with the grab tick each carries.
std::vector<StampedFrame> ReadStampedFrames(const std::u16string& path, LONG* length, double* rate)
{
    std::vector<StampedFrame> frames;
    AVIFileInit();
    PAVISTREAM stream = nullptr;
    if (AVIStreamOpenFromFileW(&stream, W(path), streamtypeVIDEO, 0, OF_READ, nullptr) == AVIERR_OK) {
        *length = AVIStreamLength(stream);
        AVISTREAMINFOW info = {};
        AVIStreamInfoW(stream, &info, sizeof info);
        *rate = info.dwScale ? double(info.dwRate) / info.dwScale : 0;
        if (PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr)) {
            for (LONG k = 0; k < *length; ++k) {
                LONG bytes = 0;
                if (AVIStreamRead(stream, k, 1, nullptr, 0, &bytes, nullptr) != AVIERR_OK || bytes == 0)
                    continue;
                const BITMAPINFOHEADER* dib = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(getter, k));
                if (!dib || dib->biBitCount != 24)
                    continue;
                frames.push_back({k, StampOf(reinterpret_cast<const BYTE*>(dib) + dib->biSize, dib->biWidth,
                                             dib->biHeight)});
            }
            AVIStreamGetFrameClose(getter);
        }
        AVIStreamRelease(stream);
    }
    AVIFileExit();
    return frames;
}

}  // namespace

// On a machine with every core busy, a timed recording holds frames for the time asked
// (within one frame), and each frame sits where its time puts it, whatever rate the
// frames come at: the file plays as fast as it was recorded.
TEST_F(RecordingTest, TimedRecordingUnderLoadHoldsItsLengthAndPlaysInTime)
{
    ASSERT_TRUE(InstallHuffyuv());
    g_camera.width = 640;
    g_camera.height = 480;
    g_camera.stampTicks = true;
    OpenCamera();
    MachineLoad load;
    PumpMessagesFor(1500);   // the frame rate as it runs under the load
    TempFolder folder;
    for (int run = 0; run < 2; ++run) {
        m_receiver.Clear();
        CaptureParam p = Request(folder.Path(), run ? L"L1" : L"L0", CAPTURE_TYPE_AVI);
        p.Compress = static_cast<int>(kHfyu);
        p.IsMode = 0;
        p.IsTimeRecord = 1;
        p.AviFrame = 2;
        RecordUntilConfirmed(p, 60000);
        LONG length = 0;
        double rate = 0;
        const std::vector<StampedFrame> frames = ReadStampedFrames(folder.Path(run ? "L1.avi" : "L0.avi"), &length, &rate);
        ASSERT_FALSE(frames.empty()) << "run " << run;
        ASSERT_GT(rate, 0.0);
        const double interval = 1.0 / rate;
        EXPECT_NEAR(length / rate, 2.0, interval) << "run " << run << ": " << length << " at " << rate;
        for (const StampedFrame& f : frames) {
            const double placed = f.position * interval;
            const double taken = (f.tick - frames.front().tick) / 1000.0;
            // The grab-to-record delay of a busy machine comes on top.
            EXPECT_NEAR(placed, taken, interval + 0.3) << "run " << run << " position " << f.position;
        }
    }
}

// The time counts from the first frame: a camera that gives none for longer than the
// limit still gets a recording of the full length once frames come.
TEST_F(RecordingTest, TimeLimitCountsFromTheFirstFrame)
{
    OpenCamera();
    g_camera.grabResult = 0;   // no frames for now
    PumpMessagesFor(300);
    TempFolder folder;
    CaptureParam p = Request(folder.Path(), L"W", CAPTURE_TYPE_AVI);
    p.IsMode = 0;
    p.IsTimeRecord = 1;
    p.AviFrame = 1;
    ASSERT_EQ(QrCCameraCapture(&p), CAM_OK);
    PumpMessagesFor(1500);
    g_camera.grabResult = 1;
    WaitForConfirmation();
    const AviFacts facts = ReadAvi(folder.Path("W.avi"), {});
    ASSERT_TRUE(facts.opened);
    ASSERT_GT(facts.rate, 0.0);
    EXPECT_NEAR(facts.length / facts.rate, 1.0, 1.0 / facts.rate);
}

// A recording that got no frame is reported as failed and leaves no file to browse.
TEST_F(RecordingTest, RecordingWithoutFramesFailsAndLeavesNoFile)
{
    OpenCamera();
    g_camera.grabResult = 0;
    PumpMessagesFor(300);
    TempFolder folder;
    CaptureParam p = Request(folder.Path(), L"E", CAPTURE_TYPE_AVI);
    p.IsManual = 1;
    ASSERT_EQ(QrCCameraCapture(&p), CAM_OK);
    PumpMessagesFor(500);
    EXPECT_EQ(QrCCameraStopRecording(), CAM_OK);
    ASSERT_TRUE(WaitFor([&] { return m_receiver.LastLParam(WM_CAPTURE_DONE) == 1; }, 5000));
    EXPECT_EQ(QrCCameraReleaseCapture(), CAM_FAILED);
    EXPECT_FALSE(FileExists(folder.Path("E.avi")));
    CString name;
    EXPECT_EQ(QrCCameraGetSaveImageFileName(&name, 0), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(CCameraManager::Instance().GetSettings().captureRunning, 0);

    // The next recording with frames is a success again.
    g_camera.grabResult = 1;
    m_receiver.Clear();
    p.IsManual = 0;
    p.IsMode = 1;
    p.Interval = 0;
    p.AviFrame = 2;
    RecordUntilConfirmed(p);
    EXPECT_EQ(ReadAvi(folder.Path("E.avi"), {}).length, 2);
}
