// The composition dialog, the launcher panel and the stitch progress window on a plain
// parent, with the capture folder set through the camera library and the strip and
// document reached through the links (recording fakes).
#include <windows.h>

#include "support/gtest.h"
#include "support/wintest.h"

#include "ComposeData.h"
#include "app/browse/ThumbnailListCtrl.h"
#include "app/browse/ThumbnailStrip.h"
#include "app/compose/ComposeMessages.h"
#include "app/compose/ComposeStringIds.h"
#include "app/compose/CompositionFiles.h"
#include "app/compose/FusionPanel.h"
#include "app/store/ImageRequests.h"
#include "app/compose/ImageFusionDialog.h"
#include "app/compose/StitchProgressDialog.h"
#include "app/compose/StitchWorkers.h"
#include "app/store/ImageStore.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/ShellLinks.h"
#include "camera/core/QrCCamera.h"
#include "xImage.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <vector>

using composedata::Picture;

namespace {

class Folder
{
public:
    Folder()
    {
        static int counter = 0;
        WCHAR temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_path.Format(L"%scompose_win_%u_%d", temp, GetCurrentProcessId(), counter++);
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
    const CString& Path() const { return m_path; }
    CString File(LPCWSTR name) const { return m_path + L"\\" + name; }

private:
    CString m_path;
};

bool Exists(const CString& path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

void Write(const Picture& p, const CString& path, DWORD type)
{
    CxImage image;
    image.Create(p.width, p.height, 24, type);
    for (int y = 0; y < p.height; ++y)
        std::memcpy(image.GetBits(p.height - 1 - y), p.Row(y), size_t(p.width) * 3);
    ASSERT_TRUE(image.Save((LPCWSTR)path, type)) << image.GetLastError();
}

Picture Flat(int width, int height, BYTE b, BYTE g, BYTE r)
{
    Picture p;
    p.width = width;
    p.height = height;
    for (int i = 0; i < width * height; ++i)
        p.bgr.insert(p.bgr.end(), {b, g, r});
    return p;
}

bool Read(const CString& path, Picture* p)
{
    CxImage image;
    if (!image.Load((LPCWSTR)path, CXIMAGE_FORMAT_UNKNOWN) || (image.GetBpp() != 24 && !image.IncreaseBpp(24)))
        return false;
    p->width = int(image.GetWidth());
    p->height = int(image.GetHeight());
    p->bgr.resize(size_t(p->width) * p->height * 3);
    for (int y = 0; y < p->height; ++y)
        std::memcpy(&p->bgr[size_t(y) * p->width * 3], image.GetBits(p->height - 1 - y), size_t(p->width) * 3);
    return true;
}

CString Str(UINT id)
{
    CString s;
    s.LoadString(id);
    return s;
}

CString Text(HWND dialog, int id)
{
    WCHAR buf[512] = {0};
    GetDlgItemTextW(dialog, id, buf, 512);
    return buf;
}

std::vector<CString> ListItems(HWND dialog, int id)
{
    std::vector<CString> items;
    HWND list = GetDlgItem(dialog, id);
    const int n = int(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        WCHAR buf[512] = {0};
        SendMessageW(list, LB_GETTEXT, i, LPARAM(buf));
        items.push_back(buf);
    }
    return items;
}

void Click(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

// The strip's list and the document as the links reach them, recording what they get.
class RecordingList : public CThumbnailListCtrl
{
public:
    void AddFile(CString path, int flag) override { added.push_back(path); (void)flag; }
    std::vector<CString> added;
};

class RecordingDoc : public CDravenluxDoc
{
public:
    BOOL OnOpenDocument(LPCWSTR path) override { opened.push_back(path); return TRUE; }
    std::vector<CString> opened;
};

// The camera library's record names a camera (or none) and a capture folder.
void SetCamera(int cameraType, const CString& captureFolder)
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    mgr.cameraType = cameraType;
    mgr.capture.Path = captureFolder + L"\\";
    ASSERT_EQ(CAM_OK, QrCCameraSetMgrParameter(&mgr));
}

class ComposeWindows : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetCamera(CAMERA_TYPE_CORE_A, folder.Path());
        Links().thumbList = &list;
        Links().doc = &doc;
        parent = CreateWindowW(L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 900, 600, nullptr,
                               nullptr, nullptr, nullptr);
        parentWnd.Attach(parent);
    }
    void TearDown() override
    {
        if (dialog.GetSafeHwnd())
            dialog.DestroyWindow();
        parentWnd.Detach();
        DestroyWindow(parent);
        CxImage::SetWriteLimitForTests(-1);
        SetCompositionClock(nullptr);
    }
    // The dialog modeless over the parent, in a mode.
    HWND Open(int mode)
    {
        dialog.SetMode(mode);
        EXPECT_TRUE(dialog.Create(CImageFusionDialog::IDD, &parentWnd));
        dialog.ShowWindow(SW_SHOW);
        return dialog.GetSafeHwnd();
    }
    // Runs a merge press to its end (the busy flag clears).
    void MergeAndWait(HWND h)
    {
        Click(h, IDC_FUSION_MERGE);
        ASSERT_TRUE(WaitFor([&] { return !dialog.IsBusy(); }, 60000));
    }

    ShellLinksScope scope;
    Folder folder;
    RecordingList list;
    RecordingDoc doc;
    HWND parent = nullptr;
    CWnd parentWnd;
    CImageFusionDialog dialog;
};

// The progress bars are common controls.
struct CommonControls : ::testing::Environment
{
    void SetUp() override
    {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&init);
    }
};
::testing::Environment* const g_commonControls = ::testing::AddGlobalTestEnvironment(new CommonControls);

SYSTEMTIME g_fixed = {2026, 11, 0, 30, 23, 59, 58, 0};
void FixedClock(SYSTEMTIME* now) { *now = g_fixed; }

}  // namespace

TEST_F(ComposeWindows, FolderListShowsPicturesLowerCasedAndSizesMustMatch)
{
    Write(Flat(64, 48, 1, 2, 3), folder.File(L"Upper.BMP"), CXIMAGE_FORMAT_BMP);
    Write(Flat(64, 48, 1, 2, 3), folder.File(L"b.png"), CXIMAGE_FORMAT_PNG);
    Write(Flat(80, 48, 1, 2, 3), folder.File(L"wide.bmp"), CXIMAGE_FORMAT_BMP);
    HANDLE f = CreateFileW(folder.File(L"notes.txt"), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(f);
    DialogWatcher watcher(IDOK);
    HWND h = Open(FUSION_MODE_EDOF);
    EXPECT_EQ(Str(IDS_FUSION_EDOF), Text(h, IDC_FUSION_MERGE));
    EXPECT_EQ((std::vector<CString>{L"b.png", L"upper.bmp", L"wide.bmp"}), ListItems(h, IDC_FUSION_SOURCE_LIST));

    Click(h, IDC_FUSION_ADD_ALL);
    // Added from the last up: wide.bmp sets the size, the other two are refused.
    ASSERT_TRUE(watcher.WaitForCount(2, 5000));
    EXPECT_NE(std::u16string::npos, watcher.LastText().find(u"can't be added."));
    EXPECT_EQ(std::vector<CString>{L"wide.bmp"}, ListItems(h, IDC_FUSION_MERGE_LIST));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(h, IDC_FUSION_MERGE)));
    // Emptied, the list takes a new first size.
    Click(h, IDC_FUSION_REMOVE_ALL);
    // Moved back to the top: wide.bmp, b.png, upper.bmp.
    SendDlgItemMessageW(h, IDC_FUSION_SOURCE_LIST, LB_SETSEL, TRUE, 1);
    SendDlgItemMessageW(h, IDC_FUSION_SOURCE_LIST, LB_SETSEL, TRUE, 2);
    Click(h, IDC_FUSION_ADD);
    EXPECT_EQ(2u, ListItems(h, IDC_FUSION_MERGE_LIST).size());
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(h, IDC_FUSION_MERGE)));
    SaveScreenshot(h, "composition_dialog");

    // A new folder empties both lists; the merge list's files do not come back.
    Folder other;
    Write(Flat(32, 32, 1, 2, 3), other.File(L"only.bmp"), CXIMAGE_FORMAT_BMP);
    dialog.ChangeFolder(other.Path());
    EXPECT_EQ(std::vector<CString>{L"only.bmp"}, ListItems(h, IDC_FUSION_SOURCE_LIST));
    EXPECT_TRUE(ListItems(h, IDC_FUSION_MERGE_LIST).empty());
}

TEST_F(ComposeWindows, HdrCountTextAndMergeOfTwoFilesUsesTheSecondTwice)
{
    Write(Flat(40, 30, 40, 40, 40), folder.File(L"a.bmp"), CXIMAGE_FORMAT_BMP);
    Write(Flat(40, 30, 200, 200, 200), folder.File(L"b.bmp"), CXIMAGE_FORMAT_BMP);
    Write(Flat(40, 30, 1, 1, 1), folder.File(L"c.bmp"), CXIMAGE_FORMAT_BMP);
    Write(Flat(40, 30, 1, 1, 1), folder.File(L"d.bmp"), CXIMAGE_FORMAT_BMP);
    SetCompositionClock(FixedClock);
    HWND h = Open(FUSION_MODE_HDR);
    EXPECT_EQ(Str(IDS_HDR_COUNT), Text(h, IDC_FUSION_STATUS));
    Click(h, IDC_FUSION_ADD_ALL);
    EXPECT_EQ(Str(IDS_HDR_COUNT), Text(h, IDC_FUSION_STATUS));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(h, IDC_FUSION_MERGE)));
    // Back to a and b: the merge list is a, b.
    SendDlgItemMessageW(h, IDC_FUSION_MERGE_LIST, LB_SETSEL, TRUE, 2);
    SendDlgItemMessageW(h, IDC_FUSION_MERGE_LIST, LB_SETSEL, TRUE, 3);
    Click(h, IDC_FUSION_REMOVE);
    EXPECT_EQ((std::vector<CString>{L"a.bmp", L"b.bmp"}), ListItems(h, IDC_FUSION_MERGE_LIST));
    EXPECT_EQ(Str(IDS_FUSION_WAITING), Text(h, IDC_FUSION_STATUS));
    ASSERT_TRUE(IsWindowEnabled(GetDlgItem(h, IDC_FUSION_MERGE)));
    Click(h, IDC_FUSION_MERGE);
    EXPECT_EQ(Str(IDS_MERGE_DONE), Text(h, IDC_FUSION_STATUS));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(h, IDC_FUSION_MERGE)));
    const CString result = folder.File(L"hdr_1130235958.bmp");
    ASSERT_EQ(std::vector<CString>{result}, list.added);
    EXPECT_EQ(std::vector<CString>{result}, doc.opened);
    // a, b, b averaged: (40 + 200 + 200) / 3 in every component.
    Picture merged;
    ASSERT_TRUE(Read(result, &merged));
    EXPECT_EQ(Flat(40, 30, 147, 147, 147).bgr, merged.bgr);

    // A second merge in the same second does not replace the first.
    Click(h, IDC_FUSION_MERGE);
    EXPECT_TRUE(Exists(folder.File(L"hdr_1130235958_1.bmp")));

    // Sizes that differ by the time of the merge: the merge fails, nothing is shown.
    Write(Flat(20, 30, 1, 1, 1), folder.File(L"b.bmp"), CXIMAGE_FORMAT_BMP);
    list.added.clear();
    Click(h, IDC_FUSION_MERGE);
    EXPECT_EQ(Str(IDS_MERGE_FAILED), Text(h, IDC_FUSION_STATUS));
    EXPECT_TRUE(list.added.empty());
    // A change of the list brings back the count text.
    Click(h, IDC_FUSION_REMOVE_ALL);
    EXPECT_EQ(Str(IDS_HDR_COUNT), Text(h, IDC_FUSION_STATUS));
}

TEST(HdrMergeFiles, IdenticalInputsComeBackUnchanged)
{
    auto stack = composedata::MakeFocusStack(64, 48, 1, 0.0f, 31);
    Folder folder;
    Write(stack.planes[0], folder.File(L"same.bmp"), CXIMAGE_FORMAT_BMP);
    HdrMergeRequest request;
    request.inputs.assign(3, folder.File(L"same.bmp"));
    request.output = folder.File(L"out.bmp");
    ASSERT_EQ(1, CImageStore::MergeImageFiles(request));
    Picture out;
    ASSERT_TRUE(Read(request.output, &out));
    EXPECT_EQ(stack.planes[0].bgr, out.bgr);
}

TEST_F(ComposeWindows, DepthOfFieldPostsStepsThenListsAndPublishesTheResult)
{
    auto stack = composedata::MakeFocusStack(160, 120, 5, 2.0f, 41);
    for (size_t i = 0; i < stack.planes.size(); ++i) {
        CString name;
        name.Format(L"plane_%d.tif", int(i));
        Write(stack.planes[i], folder.File(name), CXIMAGE_FORMAT_TIF);
    }
    HWND h = Open(FUSION_MODE_EDOF);
    MessageSpy spy(h);
    Click(h, IDC_FUSION_ADD_ALL);
    MergeAndWait(h);
    EXPECT_EQ(4, spy.Count(WM_FUSION_PROGRESS) - 1);
    EXPECT_EQ(WPARAM(FUSION_DONE), spy.LastWParam(WM_FUSION_PROGRESS));
    EXPECT_EQ(Str(IDS_FUSION_DONE), Text(h, IDC_FUSION_STATUS));
    ASSERT_EQ(1u, list.added.size());
    const CString name = FileNameOf(list.added[0]);
    // "EDoF_P", ten digits, the first input's extension.
    ASSERT_EQ(20, name.GetLength());
    EXPECT_EQ(CString(L"EDoF_P"), name.Left(6));
    EXPECT_EQ(CString(L".tif"), name.Right(4));
    for (int i = 6; i < 16; ++i)
        EXPECT_TRUE(name[i] >= L'0' && name[i] <= L'9');
    EXPECT_EQ(list.added, doc.opened);
    auto items = ListItems(h, IDC_FUSION_SOURCE_LIST);
    EXPECT_NE(items.end(), std::find(items.begin(), items.end(), name));
    EXPECT_EQ(100, int(SendDlgItemMessageW(h, IDC_FUSION_PROGRESS, PBM_GETPOS, 0, 0)));
}

TEST_F(ComposeWindows, DepthOfFieldThatCannotSaveListsAndPublishesNothing)
{
    auto stack = composedata::MakeFocusStack(96, 64, 2, 1.0f, 42);
    Write(stack.planes[0], folder.File(L"p0.bmp"), CXIMAGE_FORMAT_BMP);
    Write(stack.planes[1], folder.File(L"p1.bmp"), CXIMAGE_FORMAT_BMP);
    HWND h = Open(FUSION_MODE_EDOF);
    Click(h, IDC_FUSION_ADD_ALL);
    CxImage::SetWriteLimitForTests(100);
    MergeAndWait(h);
    CxImage::SetWriteLimitForTests(-1);
    EXPECT_EQ(Str(IDS_FUSION_FAILED), Text(h, IDC_FUSION_STATUS));
    EXPECT_TRUE(list.added.empty());
    EXPECT_TRUE(doc.opened.empty());
    EXPECT_EQ(0u, ListItems(h, IDC_FUSION_SOURCE_LIST).size());
    WIN32_FIND_DATAW found;
    HANDLE any = FindFirstFileW(folder.File(L"EDoF_*"), &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, any);
    if (any != INVALID_HANDLE_VALUE)
        FindClose(any);
}

TEST_F(ComposeWindows, StitchIsPublishedAndTheDialogRefusesToCloseWhileBusy)
{
    composedata::GridSpec spec;
    spec.seed = 51;
    auto grid = composedata::MakeTileGrid(spec);
    for (size_t i = 0; i < grid.tiles.size(); ++i) {
        CString name;
        name.Format(L"tile_%d.bmp", int(i));
        Write(grid.tiles[i], folder.File(name), CXIMAGE_FORMAT_BMP);
    }
    SetCompositionClock(FixedClock);
    HWND h = Open(FUSION_MODE_STITCH);
    EXPECT_EQ(Str(IDS_FUSION_STITCH), Text(h, IDC_FUSION_MERGE));
    Click(h, IDC_FUSION_ADD_ALL);
    // A result of the same second is there already.
    HANDLE f = CreateFileW(folder.File(L"stitch_1130235958.bmp"), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(f);
    Click(h, IDC_FUSION_MERGE);
    ASSERT_TRUE(dialog.IsBusy());
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(h, IDCANCEL)));
    // Escape, Alt+F4 and the close box all arrive as a cancel: refused.
    SendMessageW(h, WM_COMMAND, IDCANCEL, 0);
    SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
    SendMessageW(h, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(h));
    EXPECT_TRUE(IsWindowVisible(h));
    // The bar runs on its own while the stitcher works: one step a tick, wrapping.
    for (int i = 0; i < 150; ++i)
        SendMessageW(h, WM_TIMER, 22, 0);
    EXPECT_EQ(50, int(SendDlgItemMessageW(h, IDC_FUSION_PROGRESS, PBM_GETPOS, 0, 0)));
    ASSERT_TRUE(WaitFor([&] { return !dialog.IsBusy(); }, 60000));
    EXPECT_EQ(Str(IDS_STITCH_DONE), Text(h, IDC_FUSION_STATUS));
    EXPECT_EQ(100, int(SendDlgItemMessageW(h, IDC_FUSION_PROGRESS, PBM_GETPOS, 0, 0)));
    const CString result = folder.File(L"stitch_1130235958_1.bmp");
    EXPECT_EQ(std::vector<CString>{result}, list.added);
    Picture mosaic;
    ASSERT_TRUE(Read(result, &mosaic));
    EXPECT_LE(std::abs(mosaic.width - grid.mosaic.width), 1);
    SendMessageW(h, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindowVisible(h));
}

TEST(FusionPanel, NoCameraDisablesItAndEachButtonOpensItsMode)
{
    ShellLinksScope scope;
    Folder folder;
    HWND parent = CreateWindowW(L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    CWnd parentWnd;
    parentWnd.Attach(parent);
    SetCamera(CAMERA_TYPE_NONE, folder.Path());
    {
        CFusionPanel panel(&parentWnd);
        ASSERT_TRUE(panel.Create(CFusionPanel::IDD, &parentWnd));
        for (int id : {IDC_FUSION_EDOF, IDC_FUSION_STITCH, IDC_FUSION_HDR})
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(panel.GetSafeHwnd(), id)));
        SetCamera(CAMERA_TYPE_CORE_A, folder.Path());
        panel.UpdateControlState();
        panel.ShowWindow(SW_SHOW);
        SaveScreenshot(panel.GetSafeHwnd(), "fusion_panel");
        // Each button runs the real dialog in its mode; the watcher reads the caption
        // and closes it.
        DialogWatcher watcher([](const SeenDialog& d) { return d.caption.empty() ? 0 : IDCANCEL; });
        const struct { int id; UINT caption; } buttons[] = {
            {IDC_FUSION_EDOF, IDS_FUSION_EDOF}, {IDC_FUSION_STITCH, IDS_FUSION_STITCH}, {IDC_FUSION_HDR, IDS_FUSION_HDR}};
        int seen = 0;
        for (const auto& b : buttons) {
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(panel.GetSafeHwnd(), b.id)));
            Click(panel.GetSafeHwnd(), b.id);   // returns when the dialog has closed
            ASSERT_EQ(++seen, watcher.Count());
            const CString caption = Str(b.caption);
            EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>((LPCWSTR)caption)), watcher.LastCaption());
        }
        panel.DestroyWindow();
    }
    parentWnd.Detach();
    DestroyWindow(parent);
}

TEST(StitchProgress, RunningBarWrapsStopsAtAHundredAndOkAsksTheOwner)
{
    MessageReceiver owner;
    CWnd ownerWnd;
    ownerWnd.Attach(owner.Hwnd());
    CStitchProgressDialog* progress = new CStitchProgressDialog(&ownerWnd);
    ASSERT_TRUE(progress->Create(CStitchProgressDialog::IDD, NULL));
    HWND h = progress->GetSafeHwnd();
    progress->ShowWindow(SW_SHOW);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(h, IDOK)));
    progress->StartProgress();
    for (int i = 0; i < 101; ++i)
        SendMessageW(h, WM_TIMER, 22, 0);
    EXPECT_EQ(1, int(SendDlgItemMessageW(h, IDC_STITCH_BAR, PBM_GETPOS, 0, 0)));
    // The real timer moves it too.
    const int before = progress->GetProgressStep();
    EXPECT_TRUE(WaitFor([&] { return progress->GetProgressStep() != before; }, 3000));
    SetDlgItemTextW(h, IDC_STITCH_STATUS, Str(IDS_STITCH_DONE));
    progress->StopProgress();
    EXPECT_EQ(100, int(SendDlgItemMessageW(h, IDC_STITCH_BAR, PBM_GETPOS, 0, 0)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(h, IDOK)));
    SaveScreenshot(h, "stitch_progress");
    Click(h, IDOK);
    ASSERT_TRUE(owner.WaitForMessage(WM_STITCH_PROGRESS_CLOSED, 3000));
    EXPECT_TRUE(IsWindow(h));
    // Escape leaves it alone too; the owner destroys it.
    SendMessageW(h, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindowVisible(h));
    progress->DestroyWindow();
    delete progress;
    ownerWnd.Detach();
}

TEST(AdjustPanelStitch, RealFileDialogPicksTilesAndTheResultCountsUp)
{
    composedata::GridSpec spec;
    spec.rows = 1;
    spec.cols = 3;
    spec.seed = 61;
    auto grid = composedata::MakeTileGrid(spec);
    Folder folder;
    for (size_t i = 0; i < grid.tiles.size(); ++i) {
        CString name;
        name.Format(L"t%d.bmp", int(i));
        Write(grid.tiles[i], folder.File(name), CXIMAGE_FORMAT_BMP);
    }
    HANDLE f = CreateFileW(folder.File(L"圖像拼接.bmp"), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(f);
    // The watcher types the names into the open-file dialog and presses Open.
    DialogWatcher watcher([](const SeenDialog& d) {
        SetDlgItemTextW(d.hwnd, 0x47c, L"\"t0.bmp\" \"t1.bmp\" \"t2.bmp\"");
        return IDOK;
    });
    MessageReceiver receiver;
    ASSERT_EQ(1, StartStitchFromFiles(folder.Path(), receiver.Hwnd()));
    EXPECT_EQ(0, StartStitchFromFiles(folder.Path(), receiver.Hwnd()));
    ASSERT_TRUE(receiver.WaitForMessage(WM_STITCH_DONE, 60000));
    EXPECT_EQ(1u, receiver.LastWParam(WM_STITCH_DONE));
    CString result;
    GetStitchResultPath(result);
    EXPECT_EQ(folder.File(L"圖像拼接_1.bmp"), result);
    EXPECT_TRUE(Exists(result));
}
