// Whole captures through the real Capture page and the camera library: timed series
// collected into the strip, a series with a failed shot, the camera or the page going
// away mid-series, recordings of every kind, and settings across a library restart.
#include "CaptureSupport.h"

#include "app/capture/TimeLapseDialogIds.h"
#include "app/capture/VideoSettingsDialogIds.h"
#include "app/controls/SkinComboBox.h"
#include "app/controls/TimeSpanEdit.h"
#include "xImage.h"

#include <vfw.h>

using namespace captest;

namespace {

const DWORD kHfyu = mmioFOURCC('H', 'F', 'Y', 'U');

std::vector<LPARAM> Lparams(const MessageSpy& spy, UINT msg)
{
    std::vector<LPARAM> out;
    for (const SpyMessage& m : spy.Messages())
        if (m.msg == msg)
            out.push_back(m.lParam);
    return out;
}

std::vector<WPARAM> FileCounts(const MessageSpy& spy)
{
    std::vector<WPARAM> out;
    for (const SpyMessage& m : spy.Messages())
        if (m.msg == WM_SERIES_PROGRESS && m.lParam == 0)
            out.push_back(m.wParam);
    return out;
}

bool SeriesEnded(const MessageSpy& spy)
{
    for (LPARAM l : Lparams(spy, WM_SERIES_PROGRESS))
        if (l == SERIES_ENDED)
            return true;
    return false;
}

class CaptureFlowTest : public CapturePageTest {
protected:
    void StartSeries(int count, int space)
    {
        EditCaptureSettings([&](CaptureParam& c) {
            c.IsLapse = 1;
            c.Count = count;
            c.Space = space;
            c.FileName = L"S";
        });
        Create();
        panelSpy.reset(new MessageSpy(panel));
        progressSpy.reset(new MessageSpy(scene.Progress().m_hWnd));
        PostMessageW(panel, WM_HOTKEY_CAPTURE, 0, 0);
        ASSERT_TRUE(WaitFor([&] { return scene.Panel().m_bSeriesRunning != 0; }, 5000));
    }
    // The user interface after a series, with the camera still running.
    void ExpectSeriesUiEnded()
    {
        ExpectIdleButtons("series ended");
        EXPECT_FALSE(IsWindowVisible(scene.Progress().m_hWnd));
        EXPECT_TRUE(IsWindowVisible(video));
        EXPECT_TRUE(Visible(video, IDC_VIDEO_RATE));
        EXPECT_FALSE(Visible(video, IDC_VIDEO_COUNTER));
    }

    std::unique_ptr<MessageSpy> panelSpy, progressSpy;
};

}  // namespace

TEST_F(CaptureFlowTest, SeriesReachesTheStripFileByFile)
{
    const DWORD gui = GetCurrentThreadId();
    StartSeries(5, 300);
    ASSERT_TRUE(WaitFor([&] { return SeriesEnded(*panelSpy); }, 30000));
    const std::vector<CRecordingThumbList::Added> added = scene.list.Calls();
    ASSERT_EQ(added.size(), 5u);
    const char* names[] = {"S.bmp", "S-1.bmp", "S-2.bmp", "S-3.bmp", "S-4.bmp"};
    for (size_t i = 0; i < added.size(); ++i) {
        EXPECT_EQ(U16(added[i].path), folder.Path(names[i]));
        EXPECT_NE(added[i].thread, gui) << i;
        CxImage shot;
        ASSERT_TRUE(shot.Load(W(folder.Path(names[i])))) << names[i];
        EXPECT_EQ(shot.GetWidth(), (DWORD)kWidth);
        EXPECT_EQ(shot.GetHeight(), (DWORD)kHeight);
    }
    EXPECT_EQ(FileCounts(*panelSpy), (std::vector<WPARAM>{1, 2, 3, 4, 5}));
    ASSERT_TRUE(progressSpy->WaitForMessage(WM_CAPTURE_PROGRESS_END, 2000));
    EXPECT_EQ(progressSpy->Count(WM_CAPTURE_PROGRESS_SAVED), 5);
    EXPECT_EQ(progressSpy->Count(WM_CAPTURE_PROGRESS_END), 1);
    ExpectSeriesUiEnded();
}

TEST_F(CaptureFlowTest, SeriesWithAFailedShotEndsWithTheFilesWritten)
{
    // Without numbering the third shot's name is taken by a folder, so it cannot be
    // written; the library still reports the shot.
    EditCaptureSettings([](CaptureParam& c) { c.IsNum = 0; });
    ASSERT_TRUE(CreateDirectoryW(W(folder.Path("S-2.bmp")), nullptr));
    StartSeries(5, 300);
    ASSERT_TRUE(WaitFor([&] { return SeriesEnded(*panelSpy); }, 40000));
    RemoveDirectoryW(W(folder.Path("S-2.bmp")));
    const std::vector<CRecordingThumbList::Added> added = scene.list.Calls();
    ASSERT_EQ(added.size(), 4u);
    for (const char* name : {"S.bmp", "S-1.bmp", "S-3.bmp", "S-4.bmp"}) {
        bool listed = false;
        for (const CRecordingThumbList::Added& a : added)
            listed = listed || U16(a.path) == folder.Path(name);
        EXPECT_TRUE(listed) << name;
    }
    EXPECT_EQ(scene.Panel().m_bSeriesRunning, 0);
    ASSERT_TRUE(WaitCaptureIdle(5000));
    ExpectSeriesUiEnded();
}

TEST_F(CaptureFlowTest, CameraStoppedMidSeriesEndsTheCollector)
{
    StartSeries(20, 300);
    ASSERT_TRUE(WaitFor([&] { return scene.list.Calls().size() >= 2; }, 20000));
    // What the camera panel does when the camera stops.
    scene.Panel().m_bSeriesStop = 1;
    QrCCameraUnInit();
    ASSERT_TRUE(WaitFor([&] { return SeriesEnded(*panelSpy); }, 5000));
    EXPECT_EQ(scene.Panel().m_bSeriesRunning, 0);
    EXPECT_LT(scene.list.Calls().size(), 20u);
    EXPECT_FALSE(IsWindowVisible(scene.Progress().m_hWnd));
}

TEST_F(CaptureFlowTest, PageDestroyedMidSeries)
{
    StartSeries(20, 300);
    ASSERT_TRUE(WaitFor([&] { return scene.list.Calls().size() >= 1; }, 20000));
    CCapturePanel& capture = scene.Panel();
    panelSpy.reset();
    progressSpy.reset();
    scene.page->DestroyWindow();
    // The panel's window went only after its collector had ended.
    EXPECT_EQ(capture.m_bSeriesRunning, 0);
    const size_t added = scene.list.Calls().size();
    // The program stops the camera before the page object goes.
    QrCCameraUnInit();
    scene.Destroy();
    PumpMessagesFor(700);
    EXPECT_EQ(scene.list.Calls().size(), added);
}

namespace {

// Starts a recording with the record button and waits for the library to confirm its
// end; the time from start to end in ms.
DWORD RecordWithButton(CaptureScene& scene, HWND panel, const std::function<void()>& whileRunning = nullptr)
{
    const DWORD start = GetTickCount();
    scene.Click(IDC_CAPTURE_RECORD);
    EXPECT_EQ(LibraryCapture().CaptureType, CAPTURE_TYPE_AVI);
    if (whileRunning)
        whileRunning();
    EXPECT_TRUE(WaitFor([&] { return Text(panel, IDC_CAPTURE_RECORD) == LoadU16(IDS_RECORD); }, 20000));
    EXPECT_TRUE(WaitCaptureIdle(5000));
    return GetTickCount() - start;
}

bool Increasing(const std::vector<uint32_t>& stamps)
{
    for (size_t i = 1; i < stamps.size(); ++i)
        if (stamps[i] <= stamps[i - 1])
            return false;
    return !stamps.empty();
}

}  // namespace

TEST_F(CaptureFlowTest, RecordingsStopByTimeByCountAndByHand)
{
    orvbench::Bench::Get().SetFrameStamp(true);
    EditCaptureSettings([](CaptureParam& c) {
        c.IsTimeRecord = 1;
        c.AviFrame = 3;
        c.FileName = L"T";
    });
    Create();
    ASSERT_TRUE(WaitFor([] { return CCameraManagerProbe::DisplayRate() > 25.0f; }, 5000));
    RecordWithButton(scene, panel);
    AviFacts timed = ReadAvi(folder.Path("T.avi"));
    ASSERT_TRUE(timed.opened);
    EXPECT_NEAR(timed.length, 90, 2);
    ASSERT_GE(timed.stamps.size(), 2u);
    EXPECT_NEAR(double(timed.stamps.back() - timed.stamps.front()), 89, 3);

    // By count.
    scene.Destroy();
    EditCaptureSettings([](CaptureParam& c) {
        c.IsTimeRecord = 0;
        c.AviFrame = 20;
        c.FileName = L"F";
    });
    Create();
    RecordWithButton(scene, panel);
    AviFacts counted = ReadAvi(folder.Path("F.avi"));
    EXPECT_EQ(counted.length, 20);
    EXPECT_TRUE(Increasing(counted.stamps));

    // By hand: F11, then the record button.
    scene.Destroy();
    EditCaptureSettings([](CaptureParam& c) {
        c.IsManual = 1;
        c.FileName = L"M";
    });
    Create();
    RecordWithButton(scene, panel, [&] {
        EXPECT_EQ(Text(panel, IDC_CAPTURE_COUNTER), u"0S");
        PumpMessagesFor(500);
        PostMessageW(panel, WM_HOTKEY_RECORD_STOP, 0, 0);
    });
    RecordWithButton(scene, panel, [&] {
        PumpMessagesFor(500);
        scene.Click(IDC_CAPTURE_RECORD);
    });
    EXPECT_GE(ReadAvi(folder.Path("M.avi")).length, 1);
    EXPECT_GE(ReadAvi(folder.Path("M_1.avi")).length, 1);
    ExpectIdleButtons("after the recordings");
    orvbench::Bench::Get().SetFrameStamp(false);
}

TEST_F(CaptureFlowTest, HuffyuvChosenInTheDialogRecordsLosslessly)
{
    static const bool installed = ICInstall(ICTYPE_VIDEO, kHfyu, reinterpret_cast<LPARAM>("OrvHuffyuv.dll"),
                                            nullptr, ICINSTALL_DRIVER) != FALSE;
    ASSERT_TRUE(installed);
    orvbench::Bench::Get().SetFrameStamp(true);
    EditCaptureSettings([](CaptureParam& c) {
        c.AviFrame = 5;
        c.FileName = L"U";
    });
    Create();
    // The same scene uncompressed first (noise off: only the stamps differ).
    RecordWithButton(scene, panel);
    {
        DialogWatcher watcher([](const SeenDialog& d) {
            const LRESULT entry = SendDlgItemMessageW(d.hwnd, IDC_VS_COMPRESSOR, CB_FINDSTRINGEXACT, (WPARAM)-1,
                                                      (LPARAM)L"HuffYUV lossless");
            SendDlgItemMessageW(d.hwnd, IDC_VS_COMPRESSOR, CB_SETCURSEL, entry, 0);
            SendMessageW(d.hwnd, WM_COMBO_SELCHANGED, IDC_VS_COMPRESSOR, 0);
            return IDOK;
        });
        scene.Click(IDC_CAPTURE_VIDEO_SETTINGS);
        EXPECT_EQ(watcher.Count(), 1);
    }
    EXPECT_EQ((DWORD)scene.Panel().Request().Compress, kHfyu);
    SetDlgItemTextW(panel, IDC_CAPTURE_PREFIX, L"H");
    RecordWithButton(scene, panel);
    const AviFacts plain = ReadAvi(folder.Path("U.avi"));
    const AviFacts facts = ReadAvi(folder.Path("H.avi"));
    ASSERT_TRUE(facts.opened);
    EXPECT_EQ(plain.compression, (DWORD)BI_RGB);
    EXPECT_EQ(facts.compression, kHfyu);
    EXPECT_EQ(facts.length, 5);
    EXPECT_TRUE(Increasing(facts.stamps));
    ASSERT_EQ(facts.firstFrame.size(), size_t(kWidth) * kHeight * 3);
    ASSERT_EQ(plain.firstFrame.size(), facts.firstFrame.size());
    EXPECT_TRUE(std::equal(facts.firstFrame.begin() + 12, facts.firstFrame.end(), plain.firstFrame.begin() + 12));
    orvbench::Bench::Get().SetFrameStamp(false);
}

TEST_F(CaptureFlowTest, TimeLapseRecordingFromTheDialog)
{
    orvbench::Bench::Get().SetFrameStamp(true);
    EditCaptureSettings([](CaptureParam& c) {
        c.FileName = L"L";
        c.IsTimeRecord = 1;   // a time-lapse counts frames whatever the last recording did
    });
    Create();
    SetCheck(IDC_CAPTURE_SERIES, true);
    {
        DialogWatcher watcher([](const SeenDialog& d) {
            HWND span = GetDlgItem(d.hwnd, IDC_TL_INTERVAL);
            const char16_t* fields[] = {u"0", u"0", u"500"};
            for (int i = 0; i < 3; ++i) {
                SetWindowTextW(GetDlgItem(span, CTimeSpanEdit::IDC_MINUTES + i), reinterpret_cast<LPCWSTR>(fields[i]));
                SendMessageW(span, WM_KILLFOCUS, CTimeSpanEdit::IDC_MINUTES + i, 0);
            }
            SetDlgItemTextW(d.hwnd, IDC_TL_COUNT, L"6");
            SendDlgItemMessageW(d.hwnd, IDC_TL_USE_RECORD, BM_SETCHECK, BST_CHECKED, 0);
            SendMessageW(d.hwnd, WM_COMMAND, MAKEWPARAM(IDC_TL_USE_RECORD, BN_CLICKED), 0);
            SetDlgItemTextW(d.hwnd, IDC_TL_RATE, L"10");
            return IDOK;
        });
        scene.Click(IDC_CAPTURE_SERIES_SETTINGS);
        EXPECT_EQ(watcher.Count(), 1);
    }
    const DWORD took = RecordWithButton(scene, panel);
    const AviFacts facts = ReadAvi(folder.Path("L.avi"));
    ASSERT_TRUE(facts.opened);
    EXPECT_EQ(facts.length, 6);
    EXPECT_DOUBLE_EQ(facts.rate, 10.0);
    ASSERT_EQ(facts.stamps.size(), 6u);
    // Half a second of a 30-frame camera between the frames written.
    for (size_t i = 1; i < facts.stamps.size(); ++i)
        EXPECT_NEAR(double(facts.stamps[i] - facts.stamps[i - 1]), 15, 3) << i;
    EXPECT_GE(took, 2300u);
    EXPECT_LT(took, 6000u);
    orvbench::Bench::Get().SetFrameStamp(false);
}

TEST_F(CaptureFlowTest, SettingsSurviveALibraryRestart)
{
    static const bool installed = ICInstall(ICTYPE_VIDEO, kHfyu, reinterpret_cast<LPARAM>("OrvHuffyuv.dll"),
                                            nullptr, ICINSTALL_DRIVER) != FALSE;
    ASSERT_TRUE(installed);
    Create();
    SetDlgItemTextW(panel, IDC_CAPTURE_PREFIX, L"Kept");
    SendDlgItemMessageW(panel, IDC_CAPTURE_FORMAT, CB_SETCURSEL, 2, 0);
    SendMessageW(panel, WM_COMBO_SELCHANGED, IDC_CAPTURE_FORMAT, 0);
    {
        DialogWatcher watcher([](const SeenDialog& d) {
            const LRESULT entry = SendDlgItemMessageW(d.hwnd, IDC_VS_COMPRESSOR, CB_FINDSTRINGEXACT, (WPARAM)-1,
                                                      (LPARAM)L"HuffYUV lossless");
            SendDlgItemMessageW(d.hwnd, IDC_VS_COMPRESSOR, CB_SETCURSEL, entry, 0);
            return IDOK;
        });
        scene.Click(IDC_CAPTURE_VIDEO_SETTINGS);
    }
    scene.Panel().OnCapture();
    ASSERT_TRUE(WaitFor([&] { return scene.list.Calls().size() == 1; }, 20000));
    SetCheck(IDC_CAPTURE_SERIES, true);
    ASSERT_TRUE(WaitCaptureIdle(5000));
    scene.Destroy();

    // The library writes its settings as it shuts down and reads them as it starts: the
    // same two steps here, with the settings in memory forgotten between them.
    QrCCameraUnInit();
    CCameraManager::Instance().SaveSettings();
    EditCaptureSettings([](CaptureParam& c) { c = CaptureParam(); });
    CCameraManager::Instance().ReadMgrSettings();
    LoadBench();
    Create();
    EXPECT_EQ(Text(panel, IDC_CAPTURE_FOLDER), std::u16string(reinterpret_cast<const char16_t*>(folder.Path())));
    EXPECT_EQ(Text(panel, IDC_CAPTURE_PREFIX), u"Kept");
    EXPECT_EQ(SendDlgItemMessageW(panel, IDC_CAPTURE_FORMAT, CB_GETCURSEL, 0, 0), 2);
    EXPECT_TRUE(Checked(panel, IDC_CAPTURE_SERIES));
    EXPECT_EQ((DWORD)scene.Panel().Request().Compress, kHfyu);
}
