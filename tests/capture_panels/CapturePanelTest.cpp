// The capture panel in the real Capture page with a live bench camera: formats, types,
// enabling, the request it hands the library, the folder picker, refusals, hot keys and
// the prefix field.
#include "CaptureSupport.h"

#include "app/capture/CameraPanelIds.h"
#include "app/capture/CaptureStringIds.h"
#include "app/store/ImageStore.h"
#include "app/store/MeasureObject.h"
#include "app/res/resource.h"
#include "app/shell/FoldPanel.h"
#include "xImage.h"

using namespace captest;

namespace {

const int kStillSettings[] = {IDC_CAPTURE_FORMAT,     IDC_CAPTURE_SERIES_LABEL, IDC_CAPTURE_SERIES,
                              IDC_CAPTURE_TIME_STAMP_LABEL, IDC_CAPTURE_TIME_STAMP, IDC_CAPTURE_FOLDER_LABEL,
                              IDC_CAPTURE_FOLDER,     IDC_CAPTURE_BROWSE};

}  // namespace

TEST_F(CapturePageTest, FormatListAndTypeTables)
{
    const int product = CCameraManagerProbe::Product();
    for (int p : {28, 29, 32, 34, 35, 37, 38, 3}) {
        CCameraManagerProbe::SetProduct(p);
        HWND lone = CreateAlone();
        EXPECT_EQ(SendDlgItemMessageW(lone, IDC_CAPTURE_FORMAT, CB_GETCOUNT, 0, 0), p == 3 ? 4 : 3) << p;
        alone.DestroyWindow();
    }
    CCameraManagerProbe::SetProduct(product);
    for (int sel = -1; sel <= 4; ++sel) {
        const BYTE type = CCapturePanel::TypeFromSelection(sel);
        const BYTE expected[] = {2, 2, 1, 8, 4, 2};
        EXPECT_EQ(type, expected[sel + 1]) << sel;
        if (sel >= 0 && sel < 4)
            EXPECT_EQ(CCapturePanel::SelectionFromType(type), sel);
    }
    EXPECT_EQ(CCapturePanel::SelectionFromType(16), 0);
    // A stored video type shows no format; a still taken then is a BMP file.
    EditCaptureSettings([](CaptureParam& c) { c.PictureType = CAPTURE_TYPE_AVI; });
    Create();
    EXPECT_EQ(SendDlgItemMessageW(panel, IDC_CAPTURE_FORMAT, CB_GETCURSEL, 0, 0), CB_ERR);
    scene.Panel().OnCapture();
    EXPECT_EQ(LibraryCapture().PictureType, CAPTURE_TYPE_BMP);
    EXPECT_EQ(LibraryCapture().CaptureType, CAPTURE_TYPE_BMP);
}

TEST_F(CapturePageTest, EnablingFollowsTheSettings)
{
    Create();
    (*Links().captureSections)[1]->SetExpanded(TRUE);
    PumpMessagesFor(300);
    SaveScreenshot(scene.parent.hwnd, "capture_page");
    for (int id : kStillSettings)
        EXPECT_TRUE(Enabled(panel, id)) << id;
    EXPECT_TRUE(Checked(panel, IDC_CAPTURE_NO_ASK));
    EXPECT_TRUE(Enabled(panel, IDC_CAPTURE_PREFIX));
    EXPECT_FALSE(Enabled(panel, IDC_CAPTURE_SERIES_SETTINGS));
    EXPECT_TRUE(Enabled(panel, IDC_CAPTURE_DENOISE));
    EXPECT_FALSE(Visible(panel, IDC_CAPTURE_LENGTH));
    EXPECT_FALSE(Visible(panel, IDC_CAPTURE_CAPTURE));

    SetCheck(IDC_CAPTURE_TIME_STAMP, true);
    EXPECT_FALSE(Enabled(panel, IDC_CAPTURE_PREFIX));
    SetCheck(IDC_CAPTURE_SERIES, true);
    EXPECT_TRUE(Enabled(panel, IDC_CAPTURE_SERIES_SETTINGS));
    EXPECT_FALSE(Enabled(panel, IDC_CAPTURE_DENOISE));
    EXPECT_EQ(LibraryCapture().IsLapse, 1) << "the series check is stored at once";

    scene.Click(IDC_CAPTURE_ASK);
    EXPECT_TRUE(Checked(panel, IDC_CAPTURE_ASK));
    for (int id : kStillSettings)
        EXPECT_FALSE(Enabled(panel, id)) << id;
    EXPECT_FALSE(Enabled(panel, IDC_CAPTURE_PREFIX));
    EXPECT_FALSE(Enabled(panel, IDC_CAPTURE_SERIES_SETTINGS));
    // Switching back keeps what the user left in the fields.
    scene.Click(IDC_CAPTURE_NO_ASK);
    EXPECT_TRUE(Checked(panel, IDC_CAPTURE_TIME_STAMP));
    EXPECT_TRUE(Checked(panel, IDC_CAPTURE_SERIES));

    // No camera: nothing to record, no noise reduction.
    ASSERT_EQ(QrCSetCamera(CAMERA_TYPE_NONE), CAM_OK);
    EditCaptureSettings([](CaptureParam& c) { c.IsLapse = 0; });
    HWND lone = CreateAlone();
    EXPECT_FALSE(Enabled(lone, IDC_CAPTURE_RECORD));
    EXPECT_FALSE(Enabled(lone, IDC_CAPTURE_DENOISE));
    alone.DestroyWindow();
}

TEST_F(CapturePageTest, StillRequestCarriesThePanelsSettings)
{
    Create();
    Links().store = CImageStore::Instance();
    SendDlgItemMessageW(panel, IDC_CAPTURE_FORMAT, CB_SETCURSEL, 1, 0);
    SendMessageW(panel, WM_COMBO_SELCHANGED, IDC_CAPTURE_FORMAT, 0);
    SetDlgItemTextW(panel, IDC_CAPTURE_PREFIX, L"Req");
    SetCheck(IDC_CAPTURE_MERGE, true);
    SetCheck(IDC_CAPTURE_DENOISE, true);
    PostMessageW(panel, WM_HOTKEY_CAPTURE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return scene.list.Calls().size() == 1; }, 20000));
    CaptureParam c = LibraryCapture();
    EXPECT_EQ(c.CaptureType, CAPTURE_TYPE_JPEG);
    EXPECT_EQ(c.PictureType, CAPTURE_TYPE_JPEG);
    EXPECT_EQ(U16(c.FileName), u"Req");
    EXPECT_EQ(U16(c.Path), std::u16string(reinterpret_cast<const char16_t*>(folder.Path())));
    EXPECT_EQ(c.ProcessingEnabled, 1);
    EXPECT_EQ(c.FluorescenceType, 2);
    EXPECT_EQ(c.CombineMeasurement, 1);
    EXPECT_EQ(c.Measure, nullptr) << "the store has no measurement object yet";
    EXPECT_EQ(c.ReceiveWnd, scene.page.get());
    EXPECT_EQ(c.IsLapse, 0);
    CxImage still;
    ASSERT_TRUE(still.Load(W(folder.Path("Req.jpg"))));
    EXPECT_EQ(still.GetWidth(), (DWORD)kWidth);
    EXPECT_EQ(still.GetHeight(), (DWORD)kHeight);
    ASSERT_TRUE(WaitCaptureIdle(10000));
    ExpectIdleButtons("after the still");

    // With a measurement object, the request names it.
    CImageStore::Instance()->CreateMeasure(&live.wnd);
    SetCheck(IDC_CAPTURE_DENOISE, false);
    scene.Panel().OnCapture();
    c = LibraryCapture();
    EXPECT_EQ(c.FluorescenceType, 0);
    EXPECT_EQ(c.Measure, static_cast<CQrMeasure*>(CImageStore::Instance()->GetMeasure()));
    ASSERT_TRUE(WaitFor([&] { return scene.list.Calls().size() == 2; }, 20000));
}

TEST_F(CapturePageTest, FolderPicker)
{
    Create();
    struct Case {
        const wchar_t* current;
        int button;
        const char16_t* expected;
    } cases[] = {
        {L"C:\\windows\\", IDOK, u"C:\\windows\\"},
        {L"C:\\", IDOK, u"C:\\"},
        {L"C:\\windows\\", IDCANCEL, u"C:\\windows\\"},
    };
    for (const Case& c : cases) {
        SetDlgItemTextW(panel, IDC_CAPTURE_FOLDER, c.current);
        DialogWatcher watcher(c.button);
        scene.Click(IDC_CAPTURE_BROWSE);
        EXPECT_EQ(watcher.Count(), 1);
        EXPECT_EQ(Text(panel, IDC_CAPTURE_FOLDER), c.expected) << c.button;
    }
    // Cancelled: the request keeps its folder.
    EXPECT_EQ(U16(scene.Panel().Request().Path), u"C:\\");
}

TEST_F(CapturePageTest, RefusedRequestsGiveTheButtonsBack)
{
    // A folder that does not exist: the library says so, and the page restores.
    EditCaptureSettings([&](CaptureParam& c) { c.Path = CString(folder.Path()) + L"missing\\"; });
    Create();
    {
        DialogWatcher watcher(IDOK);
        scene.Panel().OnCapture();
        EXPECT_EQ(watcher.Count(), 1);
        EXPECT_NE(watcher.LastText().find(u"此路徑不存在"), std::u16string::npos);
    }
    ExpectIdleButtons("missing folder");
    EXPECT_FALSE(IsWindowVisible(scene.Progress().m_hWnd));

    // A recording whose file will not open: refused without a message.
    scene.Destroy();
    EditCaptureSettings([&](CaptureParam& c) {
        c.Path = folder.Path();
        c.IsNum = 0;
    });
    CreateDirectoryW(W(folder.Path("P.avi")), nullptr);
    Create();
    scene.Click(IDC_CAPTURE_RECORD);
    RemoveDirectoryW(W(folder.Path("P.avi")));
    ExpectIdleButtons("unopened video file");

    // F10 with the picture stopped: the library has no open camera.
    ASSERT_TRUE(WaitCaptureIdle(5000));
    QrCCameraUnInit();
    scene.Panel().UpdateControlState();
    SendMessageW(panel, WM_HOTKEY_RECORD_START, 0, 0);
    EXPECT_EQ(Text(panel, IDC_CAPTURE_RECORD), LoadU16(IDS_RECORD));
    EXPECT_FALSE(scene.Panel().RecordShowsRecording());
    EXPECT_TRUE(Enabled(panel, IDC_CAPTURE_RECORD));
    EXPECT_FALSE(Enabled(video, IDC_VIDEO_CAPTURE));
}

TEST_F(CapturePageTest, HotKeysDuringARecording)
{
    EditCaptureSettings([](CaptureParam& c) { c.IsManual = 1; });
    Create();
    // F11 with nothing running does nothing.
    SendMessageW(panel, WM_HOTKEY_RECORD_STOP, 0, 0);
    PumpMessagesFor(200);
    EXPECT_FALSE(FileExists(folder.Path("P.avi")));

    SendMessageW(panel, WM_HOTKEY_RECORD_START, 0, 0);
    ASSERT_EQ(LibraryCapture().CaptureType, CAPTURE_TYPE_AVI);
    EXPECT_EQ(Text(panel, IDC_CAPTURE_RECORD), LoadU16(IDS_STOP));
    EXPECT_EQ(Text(panel, IDC_CAPTURE_COUNTER), u"0S");
    // F9 and F10 while recording change nothing: the record button still stops it.
    SendMessageW(panel, WM_HOTKEY_CAPTURE, 0, 0);
    SendMessageW(panel, WM_HOTKEY_RECORD_START, 0, 0);
    EXPECT_TRUE(Enabled(panel, IDC_CAPTURE_RECORD));
    EXPECT_EQ(Text(panel, IDC_CAPTURE_RECORD), LoadU16(IDS_STOP));
    EXPECT_TRUE(scene.Panel().RecordShowsRecording());
    EXPECT_EQ(LibraryCapture().CaptureType, CAPTURE_TYPE_AVI);
    // The page's per-frame counter leaves a prefix being typed alone.
    SetDlgItemTextW(panel, IDC_CAPTURE_PREFIX, L"Next");
    EXPECT_TRUE(WaitFor([&] {
        return Text(panel, IDC_CAPTURE_COUNTER) == u"1S" && Text(panel, IDC_CAPTURE_SHOTS) == u"2";
    }, 5000));
    EXPECT_EQ(Text(panel, IDC_CAPTURE_PREFIX), u"Next");
    scene.Click(IDC_CAPTURE_RECORD);
    ASSERT_TRUE(WaitRecordingEnd(10000));
    ExpectIdleButtons("after the recording");
    EXPECT_TRUE(FileExists(folder.Path("P.avi")));
}

TEST_F(CapturePageTest, PrefixRefusesWhatNoFileNameHolds)
{
    EditCaptureSettings([](CaptureParam& c) { c.FileName = L"..\\up:"; });
    Create();
    EXPECT_EQ(Text(panel, IDC_CAPTURE_PREFIX), u"..up");
    HWND prefix = GetDlgItem(panel, IDC_CAPTURE_PREFIX);
    SetWindowTextW(prefix, L"");
    for (char16_t ch : std::u16string(u"a\\b/c:d*e?f\"g<h>i|j"))
        SendMessageW(prefix, WM_CHAR, ch, 0);
    EXPECT_EQ(Text(panel, IDC_CAPTURE_PREFIX), u"abcdefghij");
    SetWindowTextW(prefix, L"x/y");
    EXPECT_EQ(Text(panel, IDC_CAPTURE_PREFIX), u"xy");
    scene.Panel().OnCapture();
    EXPECT_EQ(U16(LibraryCapture().FileName), u"xy");
    ASSERT_TRUE(WaitFor([&] { return scene.list.Calls().size() == 1; }, 20000));
    EXPECT_TRUE(FileExists(folder.Path("xy.bmp")));
}

TEST_F(CapturePageTest, RecordingLengthTravelsUnchanged)
{
    // A time-lapse of 15,000 frames: more than the hidden length field takes.
    EditCaptureSettings([](CaptureParam& c) {
        c.IsMode = 1;
        c.Interval = 1000;
        c.FPS = 10;
        c.AviFrame = 15000;
        c.IsTimeRecord = 0;
    });
    Create();
    SendMessageW(panel, WM_HOTKEY_RECORD_START, 0, 0);
    const CaptureParam c = LibraryCapture();
    EXPECT_EQ(c.CaptureType, CAPTURE_TYPE_AVI);
    EXPECT_EQ(c.AviFrame, 15000);
    EXPECT_EQ(c.IsTimeRecord, 0);
    EXPECT_EQ(c.IsMode, 1);
    EXPECT_EQ(Text(panel, IDC_CAPTURE_COUNTER), u"0 / 15000");
    // Stopped before its first frame, the recording fails and says so; that box is no
    // finding here.
    DialogWatcher watcher(IDOK);
    SendMessageW(panel, WM_HOTKEY_RECORD_STOP, 0, 0);
    ASSERT_TRUE(WaitRecordingEnd(10000));
}
