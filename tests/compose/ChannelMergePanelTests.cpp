// The channel merge panel on a plain parent with a four-pane comparison window, the
// strip's list and the document as recording fakes, pictures read back by pixel.
#include <windows.h>

#include "support/gtest.h"
#include "support/wintest.h"

#include "app/browse/ThumbnailListCtrl.h"
#include "app/compose/ChannelMergePanel.h"
#include "app/compose/ComposeStringIds.h"
#include "app/store/DyeTable.h"
#include "app/image/CompareWindow.h"
#include "app/store/ImageStore.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/ShellLinks.h"
#include "camera/core/QrCCamera.h"
#include "xImage.h"

#include <vector>

namespace {

class Folder
{
public:
    Folder()
    {
        static int counter = 0;
        WCHAR temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_path.Format(L"%smerge_panel_%u_%d", temp, GetCurrentProcessId(), counter++);
        CreateDirectoryW(m_path, nullptr);
    }
    ~Folder()
    {
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW(m_path + L"\\*", &found);
        if (h != INVALID_HANDLE_VALUE) {
            do
                DeleteFileW(m_path + L"\\" + found.cFileName);
            while (FindNextFileW(h, &found));
            FindClose(h);
        }
        RemoveDirectoryW(m_path);
    }
    CString File(LPCWSTR name) const { return m_path + L"\\" + name; }

private:
    CString m_path;
};

// A grey picture of one level, written as a 24-bit BMP.
CString WriteGrey(const Folder& folder, LPCWSTR name, int w, int h, int level)
{
    CxImage image;
    image.Create(w, h, 24, CXIMAGE_FORMAT_BMP);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.SetPixelColor(x, y, RGBQUAD{BYTE(level), BYTE(level), BYTE(level), 0});
    const CString path = folder.File(name);
    EXPECT_TRUE(image.Save((LPCWSTR)path, CXIMAGE_FORMAT_BMP));
    return path;
}

// A picture whose grey level is 5 × the column: a shift shows in every pixel.
CString WriteRamp(const Folder& folder, LPCWSTR name, int w, int h)
{
    CxImage image;
    image.Create(w, h, 24, CXIMAGE_FORMAT_BMP);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.SetPixelColor(x, y, RGBQUAD{BYTE(5 * x), BYTE(5 * x), BYTE(5 * x), 0});
    const CString path = folder.File(name);
    EXPECT_TRUE(image.Save((LPCWSTR)path, CXIMAGE_FORMAT_BMP));
    return path;
}

class ListedFiles : public CThumbnailListCtrl
{
public:
    void GetFileNames(std::vector<CString>& out) override { out = files; }
    void AddFile(CString path, int) override { added.push_back(path); }
    std::vector<CString> files, added;
};

class RecordingDoc : public CDravenluxDoc
{
public:
    BOOL OnOpenDocument(LPCWSTR path) override { opened.push_back(path); return TRUE; }
    std::vector<CString> opened;
};

void SetCameraType(int type)
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    mgr.cameraType = type;
    QrCCameraSetMgrParameter(&mgr);
}

void Click(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

class MergePanel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetCameraType(CAMERA_TYPE_CORE_A);
        parent = CreateWindowW(L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
        parentWnd.Attach(parent);
        ASSERT_TRUE(compare.Create(CCompareWindow::IDD, &parentWnd));
        compare.CreatePanes(2);
        Links().compareWindow = &compare;
        Links().thumbList = &list;
        Links().doc = &doc;
        Links().store = CImageStore::Instance();
    }
    void TearDown() override
    {
        if (panel.GetSafeHwnd())
            panel.DestroyWindow();
        compare.DestroyPanes();
        compare.DestroyWindow();
        parentWnd.Detach();
        DestroyWindow(parent);
        CImageStore::Instance()->SetMergeMode(0);
    }
    HWND Open()
    {
        EXPECT_TRUE(panel.Create(CChannelMergePanel::IDD, &parentWnd));
        panel.ShowWindow(SW_SHOW);
        return panel.GetSafeHwnd();
    }
    // Opens list entry `index` from the strip in merge mode, as the document does.
    void OpenFromStrip(int index)
    {
        SendMessageW(panel.GetSafeHwnd(), WM_MERGE_SELECT_SLOT, index, 0);
        SendMessageW(panel.GetSafeHwnd(), WM_MERGE_LOAD_SLOT, 0, 0);
    }
    void ClickSwatch(int k)
    {
        RECT r;
        GetWindowRect(GetDlgItem(panel.GetSafeHwnd(), IDC_MERGE_SWATCH0 + k), &r);
        POINT centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ScreenToClient(panel.GetSafeHwnd(), &centre);
        SendMessageW(panel.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
        SendMessageW(panel.GetSafeHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
    }
    void ApplyOffset(int slot, int dx, int dy)
    {
        Click(panel.GetSafeHwnd(), IDC_MERGE_SLOT0 + slot);
        SetDlgItemInt(panel.GetSafeHwnd(), IDC_MERGE_OFFSET_X, UINT(dx), TRUE);
        SetDlgItemInt(panel.GetSafeHwnd(), IDC_MERGE_OFFSET_Y, UINT(dy), TRUE);
        Click(panel.GetSafeHwnd(), IDC_MERGE_APPLY_OFFSET);
    }

    ShellLinksScope scope;
    Folder folder;
    ListedFiles list;
    RecordingDoc doc;
    HWND parent = nullptr;
    CWnd parentWnd;
    CCompareWindow compare;
    CChannelMergePanel panel;
};

}  // namespace

TEST_F(MergePanel, UncolouredChannelsGoInWhiteAndLandBesideTheLastPicture)
{
    list.files = {WriteGrey(folder, L"a.bmp", 32, 24, 120), WriteGrey(folder, L"b.bmp", 32, 24, 100)};
    WriteGrey(folder, L"combine.bmp", 4, 4, 1);
    WriteGrey(folder, L"combine_1.bmp", 4, 4, 1);
    HWND h = Open();
    Click(h, IDC_MERGE_START);
    OpenFromStrip(1);
    Click(h, IDC_MERGE_ALL);
    const CString out = folder.File(L"combine_2.bmp");
    ASSERT_EQ(std::vector<CString>{out}, list.added);
    EXPECT_EQ(std::vector<CString>{out}, doc.opened);
    EXPECT_EQ(out, panel.GetLastOutput());
    CxImage merged;
    ASSERT_TRUE(merged.Load((LPCWSTR)out, CXIMAGE_FORMAT_BMP));
    RGBQUAD c = merged.GetPixelColor(5, 5);
    EXPECT_EQ(220, c.rgbRed);
    EXPECT_EQ(220, c.rgbGreen);
    EXPECT_EQ(220, c.rgbBlue);
    EXPECT_FALSE(panel.IsActive());
    EXPECT_FALSE(panel.IsSlotLoaded(0));
    EXPECT_FALSE(CImageStore::Instance()->IsMergeMode());
}

TEST_F(MergePanel, ColouredChannelsAddUpWithSaturation)
{
    FillDyeTable();
    list.files = {WriteGrey(folder, L"a.bmp", 32, 24, 200), WriteGrey(folder, L"b.bmp", 32, 24, 200)};
    WriteGrey(folder, L"combine.bmp", 4, 4, 1);
    HWND h = Open();
    EXPECT_EQ(CString(L"RGB(255,255,255)"), [&] { WCHAR b[64]; GetDlgItemTextW(h, IDC_MERGE_CURRENT_RGB, b, 64); return CString(b); }());
    Click(h, IDC_MERGE_START);
    ASSERT_TRUE(panel.IsSlotLoaded(0));
    OpenFromStrip(1);
    ASSERT_TRUE(panel.IsSlotLoaded(1));
    EXPECT_EQ(2, panel.GetSelectedSlot());
    // Slot 0 red, slot 1 magenta (both forced colours of their swatches).
    Click(h, IDC_MERGE_SLOT0);
    ClickSwatch(0);
    EXPECT_EQ(255, panel.GetCurrentColour().R);
    EXPECT_EQ(0, panel.GetCurrentColour().G);
    Click(h, IDC_MERGE_APPLY_COLOUR);
    ASSERT_TRUE(panel.IsSlotColoured(0));
    ClickSwatch(5);
    Click(h, IDC_MERGE_APPLY_COLOUR);
    ASSERT_TRUE(panel.IsSlotColoured(1));
    SaveScreenshot(h, "channel_merge_panel");
    Click(h, IDC_MERGE_ALL);
    const CString out = folder.File(L"combine_1.bmp");
    ASSERT_EQ(std::vector<CString>{out}, list.added);
    EXPECT_EQ(std::vector<CString>{out}, doc.opened);
    CxImage merged;
    ASSERT_TRUE(merged.Load((LPCWSTR)out, CXIMAGE_FORMAT_BMP));
    RGBQUAD c = merged.GetPixelColor(10, 10);
    EXPECT_EQ(255, c.rgbRed);    // 200 + 200, saturated
    EXPECT_EQ(0, c.rgbGreen);
    EXPECT_EQ(200, c.rgbBlue);
    EXPECT_FALSE(panel.IsActive());
    EXPECT_FALSE(CImageStore::Instance()->IsMergeMode());
}

TEST_F(MergePanel, CropFollowsTheCurrentShiftsNotTheLargestEverApplied)
{
    list.files = {WriteGrey(folder, L"a.bmp", 40, 30, 100), WriteGrey(folder, L"b.bmp", 40, 30, 100)};
    HWND h = Open();
    Click(h, IDC_MERGE_START);
    OpenFromStrip(1);
    ApplyOffset(0, 12, 0);
    ApplyOffset(0, 2, 0);          // corrected: only 2 remains
    ApplyOffset(1, -3, -4);
    Click(h, IDC_MERGE_ALL);
    ASSERT_EQ(1u, list.added.size());
    CxImage merged;
    ASSERT_TRUE(merged.Load((LPCWSTR)list.added[0], CXIMAGE_FORMAT_BMP));
    EXPECT_EQ(40u - 5u, merged.GetWidth());
    EXPECT_EQ(30u - 4u, merged.GetHeight());
    // No black border from the shifts: both channels cover every pixel left.
    for (long y = 0; y < long(merged.GetHeight()); ++y)
        for (long x = 0; x < long(merged.GetWidth()); ++x)
            ASSERT_EQ(200, merged.GetPixelColor(x, y).rgbGreen) << x << "," << y;
}

TEST_F(MergePanel, DifferentSizesAreRefusedAndNothingIsWritten)
{
    list.files = {WriteGrey(folder, L"a.bmp", 64, 48, 100), WriteGrey(folder, L"b.bmp", 80, 60, 100)};
    DialogWatcher watcher(IDOK);
    HWND h = Open();
    Click(h, IDC_MERGE_START);
    OpenFromStrip(1);
    Click(h, IDC_MERGE_ALL);
    ASSERT_TRUE(watcher.WaitForCount(1, 5000));
    CString expected;
    expected.LoadString(IDS_SIZE_MISMATCH);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>((LPCWSTR)expected)), watcher.LastText());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(folder.File(L"combine.bmp")));
    EXPECT_TRUE(panel.IsSlotLoaded(0));
    EXPECT_TRUE(panel.IsSlotLoaded(1));
    EXPECT_TRUE(panel.IsActive());
}

TEST_F(MergePanel, SecondShiftReplacesTheFirstAndCropsByItsOwnWidth)
{
    list.files = {WriteRamp(folder, L"a.bmp", 40, 20), WriteGrey(folder, L"b.bmp", 40, 20, 0)};
    HWND h = Open();
    Click(h, IDC_MERGE_START);
    OpenFromStrip(1);
    ApplyOffset(0, 10, 0);
    ApplyOffset(0, 12, 0);          // 12 from the loaded picture, not 22
    Click(h, IDC_MERGE_ALL);
    ASSERT_EQ(1u, list.added.size());
    CxImage merged;
    ASSERT_TRUE(merged.Load((LPCWSTR)list.added[0], CXIMAGE_FORMAT_BMP));
    ASSERT_EQ(40u - 12u, merged.GetWidth());
    ASSERT_EQ(20u, merged.GetHeight());
    // The 12 black columns are cut away and the ramp starts again at column 0.
    for (long x = 0; x < long(merged.GetWidth()); ++x)
        ASSERT_EQ(5 * x, merged.GetPixelColor(x, 10).rgbRed) << x;
}

TEST_F(MergePanel, FifthImageReplacesTheLastSlot)
{
    list.files = {WriteGrey(folder, L"a.bmp", 16, 12, 10), WriteGrey(folder, L"b.bmp", 16, 12, 20),
                  WriteGrey(folder, L"c.bmp", 16, 12, 30), WriteGrey(folder, L"d.bmp", 16, 12, 40),
                  WriteGrey(folder, L"e.bmp", 16, 12, 100)};
    HWND h = Open();
    Click(h, IDC_MERGE_START);
    for (int k = 1; k < 4; ++k)
        OpenFromStrip(k);
    ASSERT_TRUE(panel.IsSlotLoaded(3));
    ASSERT_EQ(3, panel.GetSelectedSlot());
    Click(h, IDC_MERGE_APPLY_COLOUR);
    ASSERT_TRUE(panel.IsSlotColoured(3));
    OpenFromStrip(4);
    EXPECT_EQ(3, panel.GetSelectedSlot());
    EXPECT_FALSE(panel.IsSlotColoured(3));   // a new picture starts uncoloured
    Click(h, IDC_MERGE_ALL);
    ASSERT_EQ(1u, list.added.size());
    EXPECT_EQ(folder.File(L"combine.bmp"), list.added[0]);
    CxImage merged;
    ASSERT_TRUE(merged.Load((LPCWSTR)list.added[0], CXIMAGE_FORMAT_BMP));
    RGBQUAD c = merged.GetPixelColor(8, 6);
    EXPECT_EQ(10 + 20 + 30 + 100, c.rgbRed);
    EXPECT_EQ(10 + 20 + 30 + 100, c.rgbBlue);
}

TEST_F(MergePanel, NoCameraDisablesEveryControlAndSwatchClicksDoNothing)
{
    FillDyeTable();
    list.files = {WriteGrey(folder, L"a.bmp", 16, 16, 50), WriteGrey(folder, L"b.bmp", 16, 16, 50)};
    HWND h = Open();
    Click(h, IDC_MERGE_START);
    Click(h, IDC_MERGE_SLOT0);     // loaded and uncoloured: every slot control would be on
    ASSERT_TRUE(IsWindowEnabled(GetDlgItem(h, IDC_MERGE_APPLY_COLOUR)));
    const DyeRecord before = panel.GetCurrentColour();
    SetCameraType(CAMERA_TYPE_NONE);
    panel.UpdateControlState();
    const int governed[] = {
        IDC_MERGE_START, IDC_MERGE_CLOSE_ALL, IDC_MERGE_POSITION_LABEL, IDC_MERGE_SLOT0, IDC_MERGE_SLOT0 + 1,
        IDC_MERGE_SLOT0 + 2, IDC_MERGE_SLOT0 + 3, IDC_MERGE_CLOSE_SLOT0, IDC_MERGE_CLOSE_SLOT0 + 1,
        IDC_MERGE_CLOSE_SLOT0 + 2, IDC_MERGE_CLOSE_SLOT0 + 3, IDC_MERGE_CURRENT_LABEL, IDC_MERGE_CURRENT_RGB,
        IDC_MERGE_DYE_LABEL, IDC_MERGE_DYE_LIST, IDC_MERGE_OPTIMIZE, IDC_MERGE_OPTIMIZE_LABEL,
        IDC_MERGE_OFFSET_X_LABEL, IDC_MERGE_OFFSET_Y_LABEL, IDC_MERGE_OFFSET_X, IDC_MERGE_OFFSET_Y,
        IDC_MERGE_X_PLUS, IDC_MERGE_X_MINUS, IDC_MERGE_Y_PLUS, IDC_MERGE_Y_MINUS, IDC_MERGE_APPLY_OFFSET,
        IDC_MERGE_APPLY_COLOUR, IDC_MERGE_ALL, IDC_MERGE_IMAGE_LABEL, IDC_MERGE_IMAGE_LIST, IDC_MERGE_OPEN,
        IDC_MERGE_CLOSE};
    for (int id : governed)
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(h, id))) << id;
    ClickSwatch(0);
    EXPECT_EQ(before.R, panel.GetCurrentColour().R);
    EXPECT_EQ(before.G, panel.GetCurrentColour().G);
    EXPECT_EQ(before.B, panel.GetCurrentColour().B);
    SetCameraType(CAMERA_TYPE_CORE_A);
    panel.UpdateControlState();
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(h, IDC_MERGE_CLOSE_ALL)));
    ClickSwatch(0);
    EXPECT_EQ(0, panel.GetCurrentColour().G);   // the same click counts again
}

TEST_F(MergePanel, SliderStandsOnTheChosenDyesOwnPlace)
{
    FillDyeTable();
    std::vector<CString> names;
    CImageStore::Instance()->GetDyeNames(names);
    list.files = {WriteGrey(folder, L"a.bmp", 16, 16, 50), WriteGrey(folder, L"b.bmp", 16, 16, 50)};
    HWND h = Open();
    auto sliderName = [&] {
        const int pos = panel.GetDyeSliderPos();
        return pos >= 0 && pos < int(names.size()) ? names[pos] : CString(L"(off the scale)");
    };
    EXPECT_EQ(CString(L"Brightfield"), sliderName());
    Click(h, IDC_MERGE_START);
    Click(h, IDC_MERGE_SLOT0);
    const WCHAR* dyes[7] = {L"7-ADD(7-amino-actinomycin D)", L"Fluoro-Jade", L"Calcofluor White", L"POPO-3",
                            L"Dibromobimane", L"FuraZin-1 Em375", L"Brightfield"};
    for (int k = 0; k < 7; ++k) {
        ClickSwatch(k);
        WCHAR chosen[128] = {};
        const int selected = int(SendDlgItemMessageW(h, IDC_MERGE_DYE_LIST, CB_GETCURSEL, 0, 0));
        SendDlgItemMessageW(h, IDC_MERGE_DYE_LIST, CB_GETLBTEXT, selected, LPARAM(chosen));
        EXPECT_EQ(CString(dyes[k]), CString(chosen)) << k;
        EXPECT_EQ(CString(dyes[k]), sliderName()) << k;
    }
}

TEST_F(MergePanel, StaleIndexesLoadNothing)
{
    list.files = {WriteGrey(folder, L"a.bmp", 16, 16, 50)};
    Open();
    // An index past the list (the strip changed since) loads nothing.
    OpenFromStrip(7);
    EXPECT_FALSE(panel.IsSlotLoaded(0));
    EXPECT_FALSE(panel.IsActive());
}

// The strip's changes reach a hidden panel when it shows again, not while it is hidden
// (every tab switch changes the strip).
TEST_F(MergePanel, HiddenPanelRefillsItsListsWhenShownAgain)
{
    list.files = {WriteGrey(folder, L"a.bmp", 16, 16, 50)};
    HWND dialog = Open();
    auto listed = [&] { return (int)SendDlgItemMessageW(dialog, IDC_MERGE_IMAGE_LIST, CB_GETCOUNT, 0, 0); };
    ASSERT_EQ(listed(), 1);
    list.files.push_back(WriteGrey(folder, L"b.bmp", 16, 16, 90));
    panel.ShowWindow(SW_HIDE);
    panel.PostMessage(WM_MERGE_PANEL_REFRESH, 0, 0);
    PumpMessagesFor(100);
    EXPECT_EQ(listed(), 1);
    panel.ShowWindow(SW_SHOW);
    panel.UpdateWindow();
    PumpMessagesFor(100);
    EXPECT_EQ(listed(), 2);
    // Shown, the refresh refills at once.
    list.files.push_back(WriteGrey(folder, L"c.bmp", 16, 16, 130));
    panel.PostMessage(WM_MERGE_PANEL_REFRESH, 0, 0);
    PumpMessagesFor(100);
    EXPECT_EQ(listed(), 3);
}

// Made on a hidden parent (a page built ahead of its first showing), the panel fills its
// lists when it first shows.
TEST_F(MergePanel, MadeHiddenFillsItsListsWhenFirstShown)
{
    list.files = {WriteGrey(folder, L"a.bmp", 16, 16, 50), WriteGrey(folder, L"b.bmp", 16, 16, 90)};
    ::ShowWindow(parent, SW_HIDE);
    HWND dialog = Open();
    auto listed = [&] { return (int)SendDlgItemMessageW(dialog, IDC_MERGE_IMAGE_LIST, CB_GETCOUNT, 0, 0); };
    PumpMessagesFor(50);
    EXPECT_EQ(listed(), 0);
    ::ShowWindow(parent, SW_SHOW);
    ::UpdateWindow(parent);
    PumpMessagesFor(100);
    EXPECT_EQ(listed(), 2);
}
