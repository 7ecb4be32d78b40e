// The video settings and time-lapse dialogs, run modally while the dialog watcher's
// thread sets their controls and presses their buttons.
#include "CaptureSupport.h"

#include "app/capture/CompressorCatalog.h"
#include "app/capture/TimeLapseDialog.h"
#include "app/capture/VideoSettingsDialog.h"
#include "app/capture/CaptureStringIds.h"
#include "app/controls/SkinComboBox.h"
#include "app/controls/TimeSpanEdit.h"

#include <vfw.h>

#include <atomic>

using namespace captest;

namespace {

const DWORD kMP42 = mmioFOURCC('M', 'P', '4', '2');
const DWORD kMPG4 = mmioFOURCC('M', 'P', 'G', '4');
const DWORD kWMV3 = mmioFOURCC('W', 'M', 'V', '3');
const DWORD kACDV = mmioFOURCC('A', 'C', 'D', 'V');
const DWORD kHFYU = mmioFOURCC('H', 'F', 'Y', 'U');
const DWORD kXVID = mmioFOURCC('X', 'V', 'I', 'D');
const DWORD kAVRn = mmioFOURCC('A', 'V', 'R', 'n');
const DWORD kNone = mmioFOURCC('D', 'I', 'B', ' ');

struct FakeCompressor {
    DWORD handler;
    const char16_t* description;
    bool opens;
    bool configurable;
};

// A catalogue of compressors that exist only in the test.
class CFakeCatalog : public CCompressorCatalog {
public:
    explicit CFakeCatalog(std::vector<FakeCompressor> list) : entries(std::move(list)) {}
    BOOL Info(DWORD index, ICINFO* info) override
    {
        if (index >= entries.size())
            return FALSE;
        ZeroMemory(info, sizeof *info);
        info->fccType = ICTYPE_VIDEO;
        info->fccHandler = entries[index].handler;
        return TRUE;
    }
    HIC OpenQuery(DWORD handler) override
    {
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].handler == handler)
                return entries[i].opens ? (HIC)(i + 1) : nullptr;
        return nullptr;
    }
    LRESULT GetInfo(HIC hic, ICINFO* info) override
    {
        const FakeCompressor& c = entries[(size_t)hic - 1];
        info->fccHandler = c.handler;
        lstrcpynW(info->szDescription, reinterpret_cast<LPCWSTR>(c.description), 128);
        return sizeof *info;
    }
    LRESULT Configure(HIC hic, HWND, DWORD_PTR flags) override
    {
        const FakeCompressor& c = entries[(size_t)hic - 1];
        if (flags == ICMF_CONFIGURE_QUERY)
            return c.configurable ? ICERR_OK : ICERR_UNSUPPORTED;
        ++dialogs;
        return ICERR_OK;
    }
    void Close(HIC) override { ++closes; }

    std::vector<FakeCompressor> entries;
    LONG dialogs = 0;
    LONG closes = 0;
};

// Twins, a compressor that will not open, one the library would record uncompressed.
std::vector<FakeCompressor> MixedCatalog()
{
    return {
        {kMP42, u"MPEG-4 V2", true, false},
        {kAVRn, u"Avid", true, true},
        {kMPG4, u"MPEG-4 V1", false, false},
        {kXVID, u"Shared", true, false},
        {kWMV3, u"Shared", true, true},
        {kACDV, u"Lost", true, false},
        {mmioFOURCC('m', 'r', 'l', 'e'), u"Lost", true, false},
        {kHFYU, u"HuffYUV", true, false},
    };
}

std::u16string ComboText(HWND dialog, int id, int index)
{
    char16_t text[256] = {};
    SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

// What a user's choice in a skinned combo sends.
void Choose(HWND dialog, int id, int index)
{
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMBO_SELCHANGED, id, 0);
}

void Type(HWND edit, const char16_t* text)
{
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void ClickOn(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EditCaptureSettings([](CaptureParam& c) {
            c.Compress = 0;
            c.CompressID = 0;
            c.AviFrame = 10;
            c.IsTimeRecord = 0;
            c.IsManual = 0;
            c.IsMode = 0;
            c.FPS = 25;
            c.Interval = 10000;
            c.Count = 5;
            c.Space = 2000;
        });
    }
    // Runs the dialog; act gets its window on the watcher thread and returns the button
    // to press.
    template <class Dialog>
    INT_PTR Run(Dialog& dialog, const std::function<int(HWND)>& act)
    {
        DialogWatcher watcher([&](const SeenDialog& d) { return act(d.hwnd); });
        return dialog.DoModal();
    }
};

}  // namespace

TEST_F(DialogTest, CompressorListKeepsRecordingCompressorsAndLaterTwins)
{
    CFakeCatalog catalog(MixedCatalog());
    CVideoSettingsDialog dialog(nullptr, &catalog);
    std::vector<std::u16string> shown;
    bool configureEnabled = true;
    Run(dialog, [&](HWND d) {
        const int n = (int)SendDlgItemMessageW(d, IDC_VS_COMPRESSOR, CB_GETCOUNT, 0, 0);
        for (int i = 0; i < n; ++i)
            shown.push_back(ComboText(d, IDC_VS_COMPRESSOR, i));
        configureEnabled = Enabled(d, IDC_VS_CONFIGURE);
        return IDCANCEL;
    });
    const std::vector<std::u16string> expected = {u"MPEG-4 V2", u"Shared", u"HuffYUV", u"No Compressor"};
    EXPECT_EQ(shown, expected);
    ASSERT_EQ(dialog.GetCompressorCount(), 3);
    EXPECT_EQ(dialog.GetHandler(0), kMP42);
    EXPECT_EQ(dialog.GetHandler(1), kWMV3);
    EXPECT_EQ(dialog.GetHandler(2), kHFYU);
    // Stored position 0 (nothing stored by handler): the first entry, not configurable.
    EXPECT_FALSE(configureEnabled);
    EXPECT_EQ(catalog.closes, 8);  // every opened compressor closed again (7 listed + configure query)
}

TEST_F(DialogTest, StoredCompressorIsFoundByItsHandler)
{
    CFakeCatalog catalog(MixedCatalog());
    struct Case {
        DWORD stored;
        int position;
        int selected;
    } cases[] = {
        {kHFYU, 0, 2},     // by handler, whatever the position says
        {kNone, 1, 3},     // no compression stays no compression
        {kXVID, 1, 1},     // gone (a twin replaced it): by position
        {0, 200, 3},       // a position past the list: "No Compressor"
    };
    for (const Case& c : cases) {
        EditCaptureSettings([&](CaptureParam& p) {
            p.Compress = (int)c.stored;
            p.CompressID = c.position;
        });
        CVideoSettingsDialog dialog(nullptr, &catalog);
        int selected = -1;
        ASSERT_EQ(Run(dialog, [&](HWND d) {
            selected = (int)SendDlgItemMessageW(d, IDC_VS_COMPRESSOR, CB_GETCURSEL, 0, 0);
            return IDOK;
        }), IDOK);
        EXPECT_EQ(selected, c.selected) << c.stored;
        EXPECT_EQ(LibraryCapture().CompressID, c.selected) << c.stored;
        const DWORD handler = c.selected < 3 ? dialog.GetHandler(c.selected) : kNone;
        EXPECT_EQ((DWORD)LibraryCapture().Compress, handler) << c.stored;
    }
}

TEST_F(DialogTest, ConfigureAndCompressorsThatNoLongerOpen)
{
    CFakeCatalog catalog(MixedCatalog());
    CVideoSettingsDialog dialog(nullptr, &catalog);
    bool enabledForWmv3 = false, enabledForHfyu = true;
    ASSERT_EQ(Run(dialog, [&](HWND d) {
        Choose(d, IDC_VS_COMPRESSOR, 1);
        enabledForWmv3 = Enabled(d, IDC_VS_CONFIGURE);
        ClickOn(d, IDC_VS_CONFIGURE);
        Choose(d, IDC_VS_COMPRESSOR, 2);
        enabledForHfyu = Enabled(d, IDC_VS_CONFIGURE);
        ClickOn(d, IDC_VS_CONFIGURE);
        // HFYU goes away while the dialog is open.
        catalog.entries[7].opens = false;
        return IDOK;
    }), IDOK);
    EXPECT_TRUE(enabledForWmv3);
    EXPECT_FALSE(enabledForHfyu);
    EXPECT_EQ(catalog.dialogs, 1);
    EXPECT_EQ((DWORD)LibraryCapture().Compress, kNone);
    EXPECT_EQ(LibraryCapture().CompressID, 2);
    EXPECT_EQ(dialog.GetSelectedCompressor(), kNone);
}

TEST_F(DialogTest, SystemCompressorsOfferTheProjectsHuffyuv)
{
    static const bool installed = ICInstall(ICTYPE_VIDEO, kHFYU, reinterpret_cast<LPARAM>("OrvHuffyuv.dll"),
                                            nullptr, ICINSTALL_DRIVER) != FALSE;
    ASSERT_TRUE(installed);
    CVideoSettingsDialog dialog;
    std::vector<std::u16string> shown;
    Run(dialog, [&](HWND d) {
        const int n = (int)SendDlgItemMessageW(d, IDC_VS_COMPRESSOR, CB_GETCOUNT, 0, 0);
        for (int i = 0; i < n; ++i)
            shown.push_back(ComboText(d, IDC_VS_COMPRESSOR, i));
        return IDCANCEL;
    });
    // Wine's own compressors (RLE, Video 1, Cinepak) are not codes the library records.
    const std::vector<std::u16string> expected = {u"HuffYUV lossless", u"No Compressor"};
    EXPECT_EQ(shown, expected);
}

TEST_F(DialogTest, StopSettingsUnitsAndRanges)
{
    CFakeCatalog catalog({});
    CVideoSettingsDialog dialog(nullptr, &catalog);
    std::u16string title, unitFrames, unitSeconds, clamped, manualShown;
    bool valueEnabledManual = true, valueEnabledAuto = false;
    ASSERT_EQ(Run(dialog, [&](HWND d) {
        title = Text(d, IDC_VS_TITLE);
        SaveScreenshot(d, "video_settings_dialog");
        unitFrames = ComboText(d, IDC_VS_UNIT, 0);
        unitSeconds = ComboText(d, IDC_VS_UNIT, 1);
        HWND stop = GetDlgItem(d, IDC_VS_STOP_VALUE);
        Type(stop, u"9000");
        Choose(d, IDC_VS_UNIT, 1);
        clamped = Text(d, IDC_VS_STOP_VALUE);
        Type(stop, u"7201");   // refused: the field keeps its value
        ClickOn(d, IDC_VS_MANUAL);
        valueEnabledManual = Enabled(d, IDC_VS_STOP_VALUE);
        ClickOn(d, IDC_VS_AUTO);
        valueEnabledAuto = Enabled(d, IDC_VS_STOP_VALUE);
        return IDOK;
    }), IDOK);
    EXPECT_EQ(title, LoadU16(IDS_VIDEO_SETTINGS_TITLE));
    EXPECT_EQ(unitFrames, LoadU16(IDS_UNIT_FRAMES));
    EXPECT_EQ(unitSeconds, LoadU16(IDS_UNIT_SECONDS));
    EXPECT_EQ(clamped, u"7200");
    EXPECT_FALSE(valueEnabledManual);
    EXPECT_TRUE(valueEnabledAuto);
    const CaptureParam c = LibraryCapture();
    EXPECT_EQ(c.IsTimeRecord, 1);
    EXPECT_EQ(c.IsManual, 0);
    EXPECT_EQ(c.AviFrame, 7200);
    EXPECT_EQ((DWORD)c.Compress, kNone);
}

TEST_F(DialogTest, VideoSettingsKeepTheTimeLapseSettings)
{
    CFakeCatalog catalog({});
    for (int interval : {2500, 500}) {
        EditCaptureSettings([&](CaptureParam& c) {
            c.IsMode = 1;
            c.Interval = interval;
            c.AviFrame = 15000;   // a time-lapse's frame count, past the field's range
            c.FPS = 12;
        });
        CVideoSettingsDialog dialog(nullptr, &catalog);
        ASSERT_EQ(Run(dialog, [](HWND) { return IDOK; }), IDOK);
        const CaptureParam c = LibraryCapture();
        EXPECT_EQ(c.Interval, interval);
        EXPECT_EQ(c.IsMode, 1);
        EXPECT_EQ(c.FPS, 12);
    }
}

TEST_F(DialogTest, EscapeStoresNothing)
{
    // Escape in a field; should it not close the dialog, Cancel does, and the test fails.
    std::atomic<bool> closedByEscape{true};
    auto escape = [&](HWND d, int field) {
        PostMessageW(GetDlgItem(d, field), WM_KEYDOWN, VK_ESCAPE, 0);
        for (int i = 0; i < 200 && IsWindow(d); ++i)
            Sleep(10);
        if (!IsWindow(d))
            return 0;
        closedByEscape = false;
        return IDCANCEL;
    };
    CFakeCatalog catalog(MixedCatalog());
    CVideoSettingsDialog video(nullptr, &catalog);
    EXPECT_EQ(Run(video, [&](HWND d) {
        Choose(d, IDC_VS_COMPRESSOR, 2);
        Choose(d, IDC_VS_UNIT, 1);
        ClickOn(d, IDC_VS_MANUAL);
        return escape(d, IDC_VS_STOP_VALUE);
    }), IDCANCEL);
    CTimeLapseDialog lapse;
    EXPECT_EQ(Run(lapse, [&](HWND d) {
        Type(GetDlgItem(d, IDC_TL_COUNT), u"77");
        SendDlgItemMessageW(d, IDC_TL_USE_RECORD, BM_SETCHECK, BST_CHECKED, 0);
        ClickOn(d, IDC_TL_USE_RECORD);
        return escape(d, IDC_TL_COUNT);
    }), IDCANCEL);
    EXPECT_TRUE(closedByEscape);
    const CaptureParam c = LibraryCapture();
    EXPECT_EQ(c.Compress, 0);
    EXPECT_EQ(c.IsTimeRecord, 0);
    EXPECT_EQ(c.IsManual, 0);
    EXPECT_EQ(c.Count, 5);
    EXPECT_EQ(c.IsMode, 0);
}

namespace {

// What typing into a field of the interval input and leaving it does.
void TypeInterval(HWND dialog, int field, const char16_t* text)
{
    HWND span = GetDlgItem(dialog, IDC_TL_INTERVAL);
    Type(GetDlgItem(span, CTimeSpanEdit::IDC_MINUTES + field), text);
    SendMessageW(span, WM_KILLFOCUS, CTimeSpanEdit::IDC_MINUTES + field, 0);
}

}  // namespace

TEST_F(DialogTest, TimeLapseIntervalAndShotCount)
{
    struct Case {
        const char16_t* minutes;
        const char16_t* seconds;
        const char16_t* milliseconds;
        int expected;
    } cases[] = {{u"60", u"0", u"0", 3600000}, {u"0", u"2", u"500", 2500}};
    for (const Case& k : cases) {
        CTimeLapseDialog dialog;
        std::u16string title;
        ASSERT_EQ(Run(dialog, [&](HWND d) {
            title = Text(d, IDC_TL_TITLE);
            SaveScreenshot(d, "time_lapse_dialog");
            // Every field is as tall as the minutes field: a number fits in each.
            HWND span = GetDlgItem(d, IDC_TL_INTERVAL);
            RECT first, other;
            GetWindowRect(GetDlgItem(span, CTimeSpanEdit::IDC_MINUTES), &first);
            for (int f = 1; f < 3; ++f) {
                GetWindowRect(GetDlgItem(span, CTimeSpanEdit::IDC_MINUTES + f), &other);
                EXPECT_EQ(other.bottom - other.top, first.bottom - first.top) << f;
            }
            TypeInterval(d, 0, k.minutes);
            TypeInterval(d, 1, k.seconds);
            TypeInterval(d, 2, k.milliseconds);
            Type(GetDlgItem(d, IDC_TL_COUNT), u"20000");
            Type(GetDlgItem(d, IDC_TL_COUNT), u"20001");
            return IDOK;
        }), IDOK);
        EXPECT_EQ(title, LoadU16(IDS_TIME_LAPSE_TITLE));
        const CaptureParam c = LibraryCapture();
        EXPECT_EQ(c.Space, k.expected);
        EXPECT_EQ(c.Interval, k.expected);
        EXPECT_EQ(c.Count, 20000);
    }
}

TEST_F(DialogTest, TimeLapseRecordingLengthOnlyWithUseRecord)
{
    // Without "use record" a still series leaves the recording settings alone, and the
    // playback rate, though disabled, is still stored.
    EditCaptureSettings([](CaptureParam& c) {
        c.AviFrame = 30;
        c.IsTimeRecord = 1;
    });
    CTimeLapseDialog plain;
    bool rateEnabled = true;
    ASSERT_EQ(Run(plain, [&](HWND d) {
        rateEnabled = Enabled(d, IDC_TL_RATE);
        Type(GetDlgItem(d, IDC_TL_COUNT), u"500");
        Type(GetDlgItem(d, IDC_TL_RATE), u"12");
        return IDOK;
    }), IDOK);
    EXPECT_FALSE(rateEnabled);
    CaptureParam c = LibraryCapture();
    EXPECT_EQ(c.Count, 500);
    EXPECT_EQ(c.AviFrame, 30);
    EXPECT_EQ(c.IsTimeRecord, 1);
    EXPECT_EQ(c.FPS, 12);
    EXPECT_EQ(c.IsMode, 0);

    // With it, the shot count becomes the recording's frame count.
    CTimeLapseDialog lapse;
    ASSERT_EQ(Run(lapse, [&](HWND d) {
        SendDlgItemMessageW(d, IDC_TL_USE_RECORD, BM_SETCHECK, BST_CHECKED, 0);
        ClickOn(d, IDC_TL_USE_RECORD);
        rateEnabled = Enabled(d, IDC_TL_RATE);
        Type(GetDlgItem(d, IDC_TL_COUNT), u"15000");
        return IDOK;
    }), IDOK);
    EXPECT_TRUE(rateEnabled);
    c = LibraryCapture();
    EXPECT_EQ(c.IsMode, 1);
    EXPECT_EQ(c.Count, 15000);
    EXPECT_EQ(c.AviFrame, 15000);
    EXPECT_EQ(c.IsTimeRecord, 0);
}
