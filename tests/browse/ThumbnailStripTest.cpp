// The strip on a plain parent: layout and look, folders, clicks on each tab and in
// comparison mode, videos and RAW files, vanished files, caption, expand and restore,
// the popup menu.
#include "BrowseTestSupport.h"
#include "app/browse/BrowseStringIds.h"
#include "app/shell/ShellLaunch.h"

namespace {

struct Launch
{
    CString verb, file;
};
std::vector<Launch> g_launches;
INT_PTR g_launchResult = 42;

HINSTANCE RecordLaunch(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR, LPCWSTR, int)
{
    g_launches.push_back({verb, file});
    return (HINSTANCE)g_launchResult;
}

class LauncherScope
{
public:
    LauncherScope() : m_saved(ShellLauncher())
    {
        ShellLauncher() = RecordLaunch;
        g_launches.clear();
        g_launchResult = 42;
    }
    ~LauncherScope() { ShellLauncher() = m_saved; }

private:
    ShellLaunchFn m_saved;
};

CString Caption(CThumbnailStrip& strip)
{
    CString text;
    strip.GetDlgItemText(IDC_STRIP_CAPTION, text);
    return text;
}

CRect ChildRect(CWnd& parent, CWnd* child)
{
    CRect rect;
    child->GetWindowRect(&rect);
    parent.ScreenToClient(&rect);
    return rect;
}

// A strip over a folder of two pictures, a video and a RAW file; the pictures are
// listed first.
class StripClicks : public ::testing::Test
{
protected:
    void SetUp() override
    {
        picture = WritePicture(dir, L"a.png", SolidPicture(120, 90, 200, 40, 40), CXIMAGE_FORMAT_PNG);
        second = WritePicture(dir, L"b.bmp", SolidPicture(120, 90, 40, 200, 40), CXIMAGE_FORMAT_BMP);
        ASSERT_TRUE(WriteVideo(dir.Path(L"clip.avi"), 64, 48, {RGB(1, 2, 3), RGB(1, 2, 3)}, FALSE));
        video = dir.Path(L"clip.avi");
        raw = WriteBytes(dir, L"shot.raw", std::string(100, 'r'));
        Links().browseTools = &tools;
        f.reset(new StripFixture);
        f->List().SetFolder(dir.Folder(), 1);
        ASSERT_TRUE(f->WaitForFill());
        // Fixed order for the test: pictures at the front.
        f->List().AddFile(second, 1);
        f->List().AddFile(picture, 1);
    }
    int Item(const CString& path) { return f->List().FindPath(path) - f->List().GetFirstIndex(); }

    BrowseLinks links;
    FakeBrowseTools tools;
    TempFolder dir;
    CString picture, second, video, raw;
    std::unique_ptr<StripFixture> f;
};

}  // namespace

TEST(ThumbnailStrip, LayoutLookAndProgress)
{
    BrowseLinks links;
    TempFolder dir;
    for (int i = 0; i < 5; ++i) {
        CString name;
        name.Format(L"pic%d.jpg", i);
        WritePicture(dir, name, SolidPicture(160, 120, (BYTE)(50 * i), (BYTE)(250 - 50 * i), 120), CXIMAGE_FORMAT_JPG);
    }
    ASSERT_TRUE(WriteVideo(dir.Path(L"movie.avi"), 320, 240, {RGB(20, 90, 200), RGB(20, 90, 200)}, FALSE));
    WriteBytes(dir, L"sensor.raw", std::string(64, 'r'));
    WriteBytes(dir, L"damaged.png", "not a png");

    StripFixture f(900, 170);
    CThumbnailStrip& s = f.strip;
    EXPECT_EQ(ChildRect(s, &s.m_btnExpand), CRect(870, 5, 895, 26));
    EXPECT_EQ(ChildRect(s, &s.m_btnRestore), CRect(875, 5, 900, 26));
    EXPECT_EQ(ChildRect(s, &s.m_list), CRect(40, 13, 866, 155));
    EXPECT_EQ(ChildRect(s, s.GetDlgItem(IDC_STRIP_CAPTION)), CRect(37, 155, 863, 170));
    EXPECT_EQ(ChildRect(s, &s.m_progress), CRect(450, 155, 900, 170));
    EXPECT_TRUE(s.m_btnExpand.IsWindowVisible());
    EXPECT_FALSE(s.m_btnRestore.IsWindowVisible());

    s.SendMessage(WM_THUMBS_PROGRESS, 1, 3);
    EXPECT_EQ(s.m_progress.GetPos(), 33);
    s.m_progress.ShowWindow(SW_SHOW);
    s.SendMessage(WM_THUMBS_PROGRESS, 3, 3);
    EXPECT_FALSE(s.m_progress.IsWindowVisible());

    f.List().SetFolder(dir.Folder(), 1);
    ASSERT_TRUE(f.WaitForFill());
    ASSERT_TRUE(links.doc.OnOpenDocument(dir.Path(L"pic2.jpg")));
    s.UpdateCurrentImageLabel(1);
    s.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
    PumpMessagesFor(100);
    HDC dc = ::GetDC(s.m_hWnd);
    EXPECT_TRUE(Near(::GetPixel(dc, 10, 80), RGB(0x95, 0x95, 0x95)));
    EXPECT_TRUE(Near(::GetPixel(dc, 10, 165), RGB(0xBD, 0xBD, 0xBD)));
    ::ReleaseDC(s.m_hWnd, dc);
    // The current item wears its frame.
    CRect icon;
    ASSERT_TRUE(f.List().GetItemRect(f.List().FindPath(dir.Path(L"pic2.jpg")), &icon, LVIR_ICON));
    HDC listDc = ::GetDC(f.List().m_hWnd);
    int framed = 0;
    for (int y = icon.top + 5; y < icon.bottom; ++y)
        for (int x = icon.left; x < icon.left + 4; ++x)
            if (::GetPixel(listDc, x, y) == RGB(0xD5, 0xD5, 0xD5)) ++framed;
    ::ReleaseDC(f.List().m_hWnd, listDc);
    EXPECT_GT(framed, 10);
    EXPECT_FALSE(SaveScreenshot(s.m_hWnd, "thumbnail_strip").empty());
}

TEST(ThumbnailStrip, SetFolderOpensTheFirstPictureOnly)
{
    BrowseLinks links;
    StripFixture f;
    TempFolder pictures, videos, empty;
    const CString first = WritePicture(pictures, L"only.bmp", SolidPicture(30, 20, 1, 1, 1), CXIMAGE_FORMAT_BMP);
    ASSERT_TRUE(WriteVideo(videos.Path(L"only.avi"), 32, 24, {RGB(9, 9, 9)}, FALSE));

    EXPECT_EQ(f.strip.SetFolder(pictures.Folder()), 1);
    ASSERT_EQ(links.doc.opened.size(), 1u);
    EXPECT_EQ(links.doc.opened[0], first);
    EXPECT_EQ(Caption(f.strip), CString(L" 當前圖像：only.bmp"));

    EXPECT_EQ(f.strip.SetFolder(videos.Folder()), 0);
    EXPECT_EQ(links.doc.opened.back(), CString());
    EXPECT_EQ(f.strip.SetFolder(empty.Folder()), 0);
    EXPECT_EQ(links.doc.opened.back(), CString());
    ASSERT_TRUE(f.WaitForFill());

    // No main view: nothing at all.
    Links().view = NULL;
    EXPECT_EQ(f.strip.SetFolder(pictures.Folder()), 0);
    EXPECT_EQ(links.doc.opened.size(), 3u);
}

TEST_F(StripClicks, ClickOnTheBrowseTabOpensThePicture)
{
    EXPECT_EQ(NotifyItem(f->strip, NM_CLICK, -1), 0);
    EXPECT_TRUE(links.doc.opened.empty());
    NotifyItem(f->strip, NM_CLICK, Item(second));
    ASSERT_EQ(links.doc.opened.size(), 1u);
    EXPECT_EQ(links.doc.opened[0], second);
    EXPECT_EQ(links.doc.ThumbnailIndex, f->List().FindPath(second));
    EXPECT_EQ(Caption(f->strip), CString(L" 當前圖像：b.bmp"));
    EXPECT_EQ(f->strip.GetCurrentItem(), f->List().FindPath(second));
    EXPECT_EQ(tools.fits, 1);
}

TEST_F(StripClicks, ClickOnTheCaptureTabAsksBeforeShowing)
{
    links.manage.tab = CManageView::TAB_CAPTURE;
    {
        DialogWatcher watcher(IDNO);
        NotifyItem(f->strip, NM_CLICK, Item(second));
        ASSERT_EQ(watcher.Count(), 1);
        EXPECT_EQ(watcher.Dialogs()[0].Text(), u"你要顯示影像嗎？");
        EXPECT_EQ(watcher.Dialogs()[0].caption, u"注意");
    }
    EXPECT_TRUE(links.doc.opened.empty());
    EXPECT_EQ(links.doc.ThumbnailIndex, f->List().FindPath(second));
    EXPECT_EQ(Caption(f->strip), CString());   // the Capture tab shows no name

    {
        DialogWatcher watcher(IDYES);
        NotifyItem(f->strip, NM_CLICK, Item(picture));
        EXPECT_EQ(watcher.Count(), 1);
    }
    ASSERT_EQ(links.doc.opened.size(), 1u);
    EXPECT_EQ(links.doc.opened[0], picture);
    EXPECT_EQ(links.measure.refreshes, 1);
    EXPECT_EQ(links.measure.syncs, 1);
    EXPECT_EQ(links.layers.refills, 1);
    EXPECT_EQ(Caption(f->strip), CString(L" 當前圖像：a.png"));
}

TEST_F(StripClicks, ClickInComparisonModeOpensInThePane)
{
    links.manage.tab = CManageView::TAB_CAPTURE;
    FakeFrame frame;
    frame.compare = 1;
    Links().frame = &frame;
    DialogWatcher watcher(IDOK);
    NotifyItem(f->strip, NM_CLICK, Item(picture));
    EXPECT_EQ(watcher.Count(), 0);
    ASSERT_EQ(links.compare.opened.size(), 1u);
    EXPECT_EQ(links.compare.opened[0], picture);
    // The camera is not running: the pane fits the file and its zoom is shown.
    EXPECT_EQ(links.compare.fits, std::vector<int>{0});
    EXPECT_EQ(links.captureTools.zooms, std::vector<float>{0.25f});
    EXPECT_TRUE(links.doc.opened.empty());
    Links().frame = NULL;
}

TEST_F(StripClicks, RawFilesAndVanishedFilesSaySo)
{
    f->List().SetItemState(Item(raw), LVIS_SELECTED, LVIS_SELECTED);
    {
        DialogWatcher watcher(IDOK);
        NotifyItem(f->strip, NM_CLICK, Item(raw));
        ASSERT_EQ(watcher.Count(), 1);
        EXPECT_EQ(watcher.Dialogs()[0].Text(), u"圖片格式無法顯示！");
    }
    EXPECT_EQ(f->List().GetItemState(Item(raw), LVIS_SELECTED), 0u);
    EXPECT_TRUE(links.doc.opened.empty());

    ASSERT_TRUE(::DeleteFileW(second));
    {
        DialogWatcher watcher(IDOK);
        NotifyItem(f->strip, NM_CLICK, Item(second));
        ASSERT_EQ(watcher.Count(), 1);
        EXPECT_EQ(watcher.Dialogs()[0].Text(), u"文件不存在！");
    }
    EXPECT_TRUE(links.doc.opened.empty());
    ASSERT_TRUE(f->WaitForFill());
    EXPECT_EQ(f->List().GetCount(), 3);
    EXPECT_EQ(f->List().FindPath(second), -1);
}

TEST_F(StripClicks, VideosPlayThroughTheShell)
{
    LauncherScope launcher;
    NotifyItem(f->strip, NM_DBLCLK, Item(picture));
    EXPECT_TRUE(g_launches.empty());
    EXPECT_TRUE(links.doc.opened.empty());   // a double click opens no picture

    NotifyItem(f->strip, NM_DBLCLK, Item(video));
    ASSERT_EQ(g_launches.size(), 1u);
    EXPECT_EQ(g_launches[0].verb, CString(L"open"));
    EXPECT_EQ(g_launches[0].file, video);
    NotifyItem(f->strip, NM_CLICK, Item(video));
    EXPECT_EQ(g_launches.size(), 2u);
    EXPECT_TRUE(links.doc.opened.empty());

    g_launchResult = 2;
    {
        DialogWatcher watcher(IDOK);
        NotifyItem(f->strip, NM_DBLCLK, Item(video));
        EXPECT_EQ(watcher.Count(), 1);
    }
    ASSERT_TRUE(::DeleteFileW(video));
    {
        DialogWatcher watcher(IDOK);
        NotifyItem(f->strip, NM_DBLCLK, Item(video));
        ASSERT_EQ(watcher.Count(), 1);
        EXPECT_EQ(watcher.Dialogs()[0].Text(), u"文件不存在！");
    }
    EXPECT_EQ(g_launches.size(), 3u);
    ASSERT_TRUE(f->WaitForFill());
    EXPECT_EQ(f->List().FindPath(video), -1);
}

TEST_F(StripClicks, CaptionFollowsTheStoreTheTabAndTheHotItem)
{
    ASSERT_TRUE(links.doc.OnOpenDocument(second));
    f->strip.UpdateCurrentImageLabel(0);
    EXPECT_EQ(Caption(f->strip), CString(L" 當前圖像：b.bmp"));
    NMLISTVIEW hot = {};
    hot.hdr.hwndFrom = f->List().m_hWnd;
    hot.hdr.idFrom = IDC_STRIP_LIST;
    hot.hdr.code = LVN_HOTTRACK;
    hot.iItem = Item(raw);
    f->strip.SendMessage(WM_NOTIFY, IDC_STRIP_LIST, (LPARAM)&hot);
    EXPECT_EQ(Caption(f->strip), raw);
    hot.iItem = -1;
    f->strip.SendMessage(WM_NOTIFY, IDC_STRIP_LIST, (LPARAM)&hot);
    EXPECT_EQ(Caption(f->strip), CString(L" 當前圖像：b.bmp"));

    links.manage.tab = CManageView::TAB_CAPTURE;
    f->strip.UpdateCurrentImageLabel(0);
    EXPECT_EQ(Caption(f->strip), CString());
    f->strip.UpdateCurrentImageLabel(1);
    EXPECT_EQ(Caption(f->strip), CString(L" 當前圖像：b.bmp"));
}

TEST_F(StripClicks, ExpandAndRestoreResizeTheFrame)
{
    MessageReceiver receiver;
    ::MoveWindow(receiver.Hwnd(), 0, 0, 640, 480, FALSE);
    FakeFrame frame;
    frame.Attach(receiver.Hwnd());
    Links().frame = &frame;
    receiver.Clear();

    f->strip.m_btnExpand.SendMessage(BM_CLICK);
    PumpMessagesFor(20);
    EXPECT_TRUE(f->List().IsExpanded());
    EXPECT_FALSE(f->strip.m_btnExpand.IsWindowVisible());
    EXPECT_TRUE(f->strip.m_btnRestore.IsWindowVisible());
    EXPECT_EQ(receiver.Count(WM_SIZE), 1);
    EXPECT_EQ(receiver.LastLParam(WM_SIZE), 0);

    // A click on a picture while expanded restores the strip.
    NotifyItem(f->strip, NM_CLICK, Item(picture));
    PumpMessagesFor(20);
    EXPECT_FALSE(f->List().IsExpanded());
    EXPECT_TRUE(f->strip.m_btnExpand.IsWindowVisible());
    EXPECT_FALSE(f->strip.m_btnRestore.IsWindowVisible());
    EXPECT_EQ(receiver.Count(WM_SIZE), 3);
    CRect rect;
    ::GetWindowRect(receiver.Hwnd(), &rect);
    EXPECT_EQ(receiver.LastLParam(WM_SIZE), MAKELPARAM(rect.Width(), rect.Height()));

    Links().frame = NULL;
    frame.Detach();
}

namespace {

UINT g_menuItemId = 0;
int g_menuItems = -1;

void CALLBACK InspectMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(NULL, id);
    HWND popup = ::FindWindowW(L"#32768", NULL);
    HMENU menu = popup != NULL ? (HMENU)::SendMessageW(popup, MN_GETHMENU, 0, 0) : NULL;
    if (menu != NULL) {
        g_menuItems = ::GetMenuItemCount(menu);
        g_menuItemId = ::GetMenuItemID(menu, 0);
    }
    ::EndMenu();
}

}  // namespace

TEST_F(StripClicks, RightClickOffersDelete)
{
    EXPECT_EQ(NotifyItem(f->strip, NM_RCLICK, -1), 0);
    ::SetTimer(NULL, 0, 200, InspectMenu);
    NotifyItem(f->strip, NM_RCLICK, Item(picture));
    EXPECT_EQ(g_menuItems, 1);
    EXPECT_EQ(g_menuItemId, (UINT)ID_STRIP_DELETE);
    CString text;
    text.LoadString(IDS_MENU_DELETE);
    EXPECT_EQ(text, CString(L"刪除"));
}

namespace {

std::vector<CString> SelectedFiles(StripFixture& f)
{
    std::vector<CString> files;
    CThumbnailListCtrl& list = f.List();
    for (int item = 0; item < list.GetItemCount(); ++item)
        if (list.GetItemState(item, LVIS_SELECTED) & LVIS_SELECTED)
            files.push_back(list.GetFileAt(list.GetFirstIndex() + item));
    return files;
}

bool Exists(const CString& path)
{
    return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

// A copy saved while another picture is highlighted goes to the front and becomes the
// current picture: the highlight moves with it, so a delete from the strip's menu takes
// the copy the user sees, not the file that slid into the highlighted place.
TEST_F(StripClicks, HighlightFollowsTheCurrentPictureAfterSaveAndDelete)
{
    f->List().SetItemState(Item(second), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    NotifyItem(f->strip, NM_CLICK, Item(second));
    ASSERT_EQ(SelectedFiles(*f), std::vector<CString>{second});

    const CString copy = WritePicture(dir, L"copy.png", SolidPicture(120, 90, 40, 40, 200), CXIMAGE_FORMAT_PNG);
    tools.PublishSavedFile(copy);
    PumpMessagesFor(200);
    EXPECT_EQ(f->List().GetFileAt(0), copy);
    EXPECT_EQ(f->strip.GetCurrentItem(), f->List().FindPath(copy));
    EXPECT_EQ(SelectedFiles(*f), std::vector<CString>{copy});

    {
        DialogWatcher yes(IDYES);
        f->strip.SendMessage(WM_COMMAND, ID_STRIP_DELETE, 0);
    }
    PumpMessagesFor(200);
    EXPECT_FALSE(Exists(copy));
    EXPECT_TRUE(Exists(picture));
    EXPECT_TRUE(Exists(second));
    // The current picture was deleted: the first one is opened and highlighted.
    ASSERT_FALSE(links.doc.opened.empty());
    EXPECT_EQ(links.doc.opened.back(), picture);
    EXPECT_EQ(SelectedFiles(*f), std::vector<CString>{picture});
}
