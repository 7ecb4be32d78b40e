// The Image page's panels on a plain parent: adjust sliders and stitching, levels,
// rotate and crop, stamp and the apply bar, over the process-wide store.
#include "PanelSupport.h"
#include "support/gtest.h"
#include "support/wintest.h"

#include "app/browse/BrowseToolBar.h"
#include "app/browse/FolderPanel.h"
#include "app/browse/ThumbnailListCtrl.h"
#include "app/compose/ComposeMessages.h"
#include "app/compose/ComposeStringIds.h"
#include "app/compose/StitchProgressDialog.h"
#include "app/compose/StitchProgressDialogIds.h"
#include "app/controls/NumericEdit.h"
#include "app/controls/RangeBar.h"
#include "app/controls/SkinSlider.h"
#include "app/image/ApplyDefaultBar.h"
#include "app/image/CropConfirmDialog.h"
#include "app/image/ImageAdjustPanel.h"
#include "app/image/LevelsDialog.h"
#include "app/image/RotatePanel.h"
#include "app/image/StampPanel.h"
#include "app/shell/ImagePage.h"
#include "app/shell/ShellLinks.h"

#include <vector>

namespace {

CString LoadText(UINT id)
{
    CString s;
    s.LoadString(id);
    return s;
}

void MoveSlider(HWND panel, int id, int pos, UINT message = WM_SLIDER_MOVED)
{
    CSkinSlider* slider = (CSkinSlider*)CWnd::FromHandle(::GetDlgItem(panel, id));
    slider->SetPos(pos);
    ::SendMessageW(panel, message, id, 0);
}

std::vector<BYTE> Pixels(CImageStore* store)
{
    std::vector<BYTE> out;
    CSingleLock lock(&store->m_lock, TRUE);
    ImageToRgb24(*store->GetCurrentImage(), out);
    return out;
}

class RecordingList : public CThumbnailListCtrl
{
public:
    void AddFile(CString path, int) override { added.push_back(path); }
    std::vector<CString> added;
};

class RecordingDoc : public CDravenluxDoc
{
public:
    BOOL OnOpenDocument(LPCWSTR path) override
    {
        opened.push_back(path);
        return TRUE;
    }
    std::vector<CString> opened;
};

// Stitching reported by the test instead of a worker.
class StandInStitchPanel : public CImageAdjustPanel
{
public:
    int starts = 0;
    int startResult = 1;
    CString result;
    CString folder;   // the file choice's initial folder of the last start

protected:
    int StartStitch(const CString& from) override
    {
        ++starts;
        folder = from;
        return startResult;
    }
    void GetStitchResult(CString& path) override { path = result; }
};

// The Browse page's folder panel, with a folder and no window.
class FolderAt : public CFolderPanel
{
public:
    explicit FolderAt(const CString& path) : m_path(path) {}
    CString GetFolderText() const override { return m_path; }

private:
    CString m_path;
};

// The browse tool column's save of a copy, counted.
class CountingSaveCopy : public CBrowseToolBar
{
public:
    int copies = 0;
    void OnSaveCopy() override { ++copies; }
};

class ImagePage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        picture = WritePicture(dir, L"slide.bmp", 160, 120);
        store = FreshStore(picture);
        store->RevertAdjustments();
        Links().store = store;
        Links().doc = &doc;
        Links().thumbList = &list;
    }

    ShellLinksScope scope;
    TempDir dir;
    CString picture;
    CImageStore* store = nullptr;
    PlainParent parent;
    RecordingDoc doc;
    RecordingList list;
};

TEST_F(ImagePage, SlidersSetRequestedValuesAndShowTheirTexts)
{
    StandInStitchPanel panel;
    ASSERT_TRUE(panel.Create(CImageAdjustPanel::IDD, &parent));
    HWND h = panel.GetSafeHwnd();
    EXPECT_EQ(CString(L"1.00"), ItemText(h, IDC_ADJUST_GAMMA_VALUE));
    EXPECT_EQ(CString(L"0.0"), ItemText(h, IDC_ADJUST_SHARPEN_VALUE));
    MoveSlider(h, IDC_ADJUST_GAMMA, 1, WM_SLIDER_MOVING);
    MoveSlider(h, IDC_ADJUST_SHARPEN, 30);
    MoveSlider(h, IDC_ADJUST_BRIGHTNESS, -255);
    MoveSlider(h, IDC_ADJUST_CONTRAST, 80);
    MoveSlider(h, IDC_ADJUST_SATURATION, -7);
    EXPECT_EQ(CString(L"0.01"), ItemText(h, IDC_ADJUST_GAMMA_VALUE));
    EXPECT_EQ(CString(L"3.0"), ItemText(h, IDC_ADJUST_SHARPEN_VALUE));
    EXPECT_EQ(CString(L"-255"), ItemText(h, IDC_ADJUST_BRIGHTNESS_VALUE));
    EXPECT_EQ(CString(L"-7"), ItemText(h, IDC_ADJUST_SATURATION_VALUE));
    int b = 0, g = 0, c = 0, s = 0, sh = 0;
    store->GetRequestedAdjustments(b, g, c, s, sh);
    EXPECT_EQ(-255, b);
    EXPECT_EQ(1, g);
    EXPECT_EQ(80, c);
    EXPECT_EQ(-7, s);
    EXPECT_EQ(30, sh);
    // Ids outside the sliders are ignored.
    ::SendMessageW(h, WM_SLIDER_MOVED, IDC_ADJUST_UNUSED_A, 0);
    ::SendMessageW(h, WM_SLIDER_MOVED, 1000, 0);
    SaveScreenshot(h, "image_adjust_panel");

    Click(h, IDC_ADJUST_APPLY);
    for (const CImageAdjustPanel::SliderRow& row : CImageAdjustPanel::kSliderRows)
        EXPECT_EQ(row.neutral, panel.GetSliderPos(row.slider));
    EXPECT_EQ(CString(L"0"), ItemText(h, IDC_ADJUST_BRIGHTNESS_VALUE));
    EXPECT_EQ(CString(L"1.00"), ItemText(h, IDC_ADJUST_GAMMA_VALUE));
    EXPECT_EQ(CString(L"0.0"), ItemText(h, IDC_ADJUST_SHARPEN_VALUE));
    EXPECT_FALSE(store->IsBrightnessChanged());
    EXPECT_FALSE(store->IsGammaChanged());
    panel.DestroyWindow();
}

TEST_F(ImagePage, StitchingOpensOneProgressWindowAndShowsTheResult)
{
    const CString mosaic = WritePicture(dir, L"圖像拼接_1.bmp", 64, 48);
    StandInStitchPanel panel;
    panel.result = mosaic;
    FolderAt browsed(dir.Path());
    Links().folder = &browsed;
    ASSERT_TRUE(panel.Create(CImageAdjustPanel::IDD, &parent));
    HWND h = panel.GetSafeHwnd();
    Click(h, IDC_ADJUST_STITCH);
    // The file choice opens in the Browse page's folder.
    EXPECT_EQ(dir.Path(), panel.folder);
    ASSERT_NE(nullptr, panel.GetStitchProgress());
    HWND progress = panel.GetStitchProgress()->GetSafeHwnd();
    EXPECT_TRUE(::IsWindowVisible(progress));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(h, IDC_ADJUST_STITCH)));

    ::PostMessageW(h, WM_STITCH_DONE, 1, 0);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowEnabled(::GetDlgItem(h, IDC_ADJUST_STITCH)) != FALSE; }, 3000));
    EXPECT_EQ(LoadText(IDS_STITCH_DONE), ItemText(progress, IDC_STITCH_STATUS));
    ASSERT_EQ(1u, list.added.size());
    EXPECT_EQ(mosaic, list.added[0]);
    ASSERT_EQ(1u, doc.opened.size());
    EXPECT_EQ(mosaic, doc.opened[0]);

    // Again while the finished window is open: the same window, the button stays on.
    Click(h, IDC_ADJUST_STITCH);
    EXPECT_EQ(2, panel.starts);
    EXPECT_EQ(progress, panel.GetStitchProgress()->GetSafeHwnd());
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(h, IDC_ADJUST_STITCH)));
    ::SendMessageW(h, WM_STITCH_DONE, 0, 0);
    EXPECT_EQ(LoadText(IDS_STITCH_FAILED), ItemText(progress, IDC_STITCH_STATUS));
    EXPECT_EQ(1u, doc.opened.size());   // a failure opens nothing

    ::SendMessageW(h, WM_STITCH_PROGRESS_CLOSED, 0, 0);
    EXPECT_EQ(nullptr, panel.GetStitchProgress());
    EXPECT_FALSE(::IsWindow(progress));

    // A start that did not happen changes nothing.
    panel.startResult = 0;
    Click(h, IDC_ADJUST_STITCH);
    EXPECT_EQ(nullptr, panel.GetStitchProgress());
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(h, IDC_ADJUST_STITCH)));
    panel.DestroyWindow();
}

TEST_F(ImagePage, DepthOfFieldButtonOpensTheCompositionWindowModally)
{
    StandInStitchPanel panel;
    ASSERT_TRUE(panel.Create(CImageAdjustPanel::IDD, &parent));
    DialogWatcher watcher(IDCANCEL);
    Click(panel.GetSafeHwnd(), IDC_ADJUST_EDOF);
    // Back here only once the window has been closed.
    ASSERT_EQ(1, watcher.Count());
    EXPECT_EQ(u"景深拓展", watcher.LastCaption());
    panel.DestroyWindow();
}

TEST_F(ImagePage, LevelsFollowTheBarAndEditsAndCancelRestoresExactly)
{
    store->SetLevels(20, 230);
    CLevelsDialog levels;
    ASSERT_TRUE(levels.Create(CLevelsDialog::IDD, &parent));
    levels.ShowWindow(SW_SHOW);
    HWND h = levels.GetSafeHwnd();
    EXPECT_EQ(CString(L"20"), ItemText(h, IDC_LEVELS_LOW));
    EXPECT_EQ(CString(L"230"), ItemText(h, IDC_LEVELS_HIGH));

    levels.RangeBar().SetLowHigh(40, 180);
    ::SendMessageW(h, WM_RANGE_CHANGED, IDC_LEVELS_RANGE, 0);
    EXPECT_EQ(CString(L"40"), ItemText(h, IDC_LEVELS_LOW));
    EXPECT_EQ(CString(L"180"), ItemText(h, IDC_LEVELS_HIGH));
    WORD black = 0, white = 0;
    store->GetLevels(black, white);
    EXPECT_EQ(40, black);
    EXPECT_EQ(180, white);

    ::SetDlgItemTextW(h, IDC_LEVELS_HIGH, L"200");
    ::SendMessageW(h, WM_NUMEDIT_VALUE, IDC_LEVELS_HIGH, 200);
    EXPECT_EQ(200, levels.RangeBar().GetHigh());
    store->GetLevels(black, white);
    EXPECT_EQ(200, white);
    SaveScreenshot(h, "levels_dialog");

    // The whole client area drags the window.
    RECT client;
    ::GetClientRect(h, &client);
    POINT inside = {client.right / 2, client.bottom / 2};
    ::ClientToScreen(h, &inside);
    EXPECT_EQ(HTCAPTION, ::SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)));

    Click(h, IDCANCEL);
    store->GetLevels(black, white);
    EXPECT_EQ(20, black);
    EXPECT_EQ(230, white);
    levels.DestroyWindow();
}

TEST_F(ImagePage, RotateLeftThenRightGivesBackThePixels)
{
    CRotatePanel rotate;
    ASSERT_TRUE(rotate.Create(CRotatePanel::IDD, &parent));
    rotate.ShowWindow(SW_SHOW);
    rotate.UpdateWindow();
    SaveScreenshot(rotate.GetSafeHwnd(), "rotate_panel");
    const std::vector<BYTE> before = Pixels(store);
    Click(rotate.GetSafeHwnd(), IDC_ROTATE_LEFT);
    int w = 0, hgt = 0;
    store->GetImageSize(&w, &hgt);
    EXPECT_EQ(120, w);
    EXPECT_EQ(160, hgt);
    EXPECT_NE(before, Pixels(store));
    // The adjustment base turned too: an adjustment pass keeps the new shape.
    store->SetBrightness(1);
    store->RunAdjustments();
    store->GetImageSize(&w, &hgt);
    EXPECT_EQ(120, w);
    store->SetBrightness(0);
    store->RunAdjustments();
    Click(rotate.GetSafeHwnd(), IDC_ROTATE_RIGHT);
    EXPECT_EQ(before, Pixels(store));
    rotate.DestroyWindow();
}

TEST_F(ImagePage, CropOkWithoutSelectionChangesNothingAndEndsSelecting)
{
    CCropConfirmDialog crop;
    ASSERT_TRUE(crop.Create(CCropConfirmDialog::IDD, &parent));
    HWND h = crop.GetSafeHwnd();
    crop.ShowWindow(SW_SHOW);
    crop.UpdateWindow();
    SaveScreenshot(h, "crop_confirm_panel");
    Click(h, IDC_CROP_CUT);
    EXPECT_EQ(MODE_SELECT, doc.InteractionMode);
    const std::vector<BYTE> before = Pixels(store);
    Click(h, IDC_CROP_OK);
    EXPECT_EQ(MODE_NONE, doc.InteractionMode);
    EXPECT_EQ(before, Pixels(store));

    // With a selection, OK crops to it.
    Click(h, IDC_CROP_CUT);
    const CRect image = store->GetImageRect();
    store->SetSelectionFromTracker(MeasureView(), CRect(image.left + 8, image.top + 10, image.left + 48, image.top + 50));
    Click(h, IDC_CROP_OK);
    int w = 0, hgt = 0;
    store->GetImageSize(&w, &hgt);
    EXPECT_EQ(40, w);
    EXPECT_EQ(40, hgt);
    EXPECT_EQ(MODE_NONE, doc.InteractionMode);
    crop.DestroyWindow();
}

TEST_F(ImagePage, StampFollowsEveryKeystrokeAndTheSwatchAloneOpensTheColourDialog)
{
    CStampPanel stamp;
    ASSERT_TRUE(stamp.Create(CStampPanel::IDD, &parent));
    stamp.ShowWindow(SW_SHOW);
    HWND h = stamp.GetSafeHwnd();
    HWND edit = ::GetDlgItem(h, IDC_STAMP_TEXT);
    ::SetFocus(edit);
    const CString typed(L"細胞A");
    for (int i = 0; i < typed.GetLength(); ++i) {
        ::SendMessageW(edit, WM_CHAR, typed[i], 0);
        EXPECT_EQ(ItemText(h, IDC_STAMP_TEXT), store->GetStampText());
    }
    EXPECT_EQ(CString(L"細胞A"), store->GetStampText());
    ClickCheck(h, IDC_STAMP_DATE);
    EXPECT_EQ(1, store->IsShowingDate());
    ClickCheck(h, IDC_STAMP_TIME);
    EXPECT_EQ(1, store->IsShowingTime());
    ClickCheck(h, IDC_STAMP_DATE);
    EXPECT_EQ(0, store->IsShowingDate());

    // Outside the swatch: no dialog. Inside, cancelled: the colour stays.
    DialogWatcher cancel(IDCANCEL);
    ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    EXPECT_EQ(0, cancel.Count());
    RECT r;
    ::GetWindowRect(::GetDlgItem(h, IDC_STAMP_COLOR), &r);
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ::ScreenToClient(h, &p);
    ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(1, cancel.Count());
    EXPECT_EQ(RGB(255, 0, 0), stamp.GetStampColor());
    SaveScreenshot(h, "stamp_panel");

    // Save writes the copy through the browse tool column.
    CountingSaveCopy tools;
    Links().browseTools = &tools;
    Click(h, IDC_STAMP_SAVE);
    EXPECT_EQ(1, tools.copies);

    stamp.ResetStamp();
    EXPECT_EQ(CString(L""), ItemText(h, IDC_STAMP_TEXT));
    EXPECT_EQ((UINT)BST_UNCHECKED, ::IsDlgButtonChecked(h, IDC_STAMP_TIME));
    stamp.DestroyWindow();
}

TEST_F(ImagePage, ApplyBarCommitsAndAsksThePageTwoLevelsUpToResetSliders)
{
    // page > fold section > bar, as on the Image page.
    CWnd section;
    section.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 100), &parent, 1);
    MessageSpy page(parent.GetSafeHwnd());
    CApplyDefaultBar bar;
    ASSERT_TRUE(bar.Create(CApplyDefaultBar::IDD, &section));
    store->SetContrast(30);
    ASSERT_TRUE(store->IsContrastChanged());
    Click(bar.GetSafeHwnd(), IDC_BAR_APPLY);
    EXPECT_FALSE(store->IsContrastChanged());
    EXPECT_TRUE(page.WaitForMessage(WM_ADJUST_PANEL_REFRESH, 3000));
    store->SetBrightness(12);
    Click(bar.GetSafeHwnd(), IDC_BAR_DEFAULT);
    int b = 0, g = 0, c = 0, s = 0, sh = 0;
    store->GetRequestedAdjustments(b, g, c, s, sh);
    EXPECT_EQ(0, b);
    EXPECT_TRUE(page.WaitForMessage(WM_ADJUST_PANEL_REFRESH, 3000, 2));
    SaveScreenshot(bar.GetSafeHwnd(), "apply_bar");
    bar.DestroyWindow();
}

}  // namespace
