// The list and its loader: scanning, filling with progress, folder changes during a
// fill, files added from other threads, and deleting into the recycle bin.
#include "BrowseTestSupport.h"
#include "app/browse/BrowseNotes.h"

namespace {

const COLORREF kBack = RGB(0x95, 0x95, 0x95);

std::vector<std::pair<WPARAM, LPARAM>> Progress(MessageSpy& spy)
{
    std::vector<std::pair<WPARAM, LPARAM>> out;
    for (const SpyMessage& m : spy.Messages())
        if (m.msg == WM_THUMBS_PROGRESS) out.push_back({m.wParam, m.lParam});
    return out;
}

CString NameOf(const CString& path) { return path.Mid(path.ReverseFind(L'\\') + 1); }

// A folder of many fresh pictures, made once for the tests that need a long fill.
const TempFolder& LargeFolder()
{
    static TempFolder* folder = nullptr;
    if (folder == nullptr) {
        folder = new TempFolder(L"large");
        CxImage picture = MakePicture(64, 48);
        std::vector<BYTE> bytes;
        picture.Encode(bytes, CXIMAGE_FORMAT_BMP);
        const std::string data(bytes.begin(), bytes.end());
        for (int i = 0; i < 2000; ++i) {
            CString name;
            name.Format(L"p%04d.bmp", i);
            WriteBytes(*folder, name, data);
        }
    }
    return *folder;
}

CString UniqueName(LPCWSTR stem, LPCWSTR extension)
{
    static int counter = 0;
    CString name;
    name.Format(L"%s_%lu_%lu_%d%s", stem, ::GetCurrentProcessId(), ::GetTickCount(), ++counter, extension);
    return name;
}

void WriteNote(const CString& notePath, const CString& name)
{
    ::CreateDirectoryW(notePath.Left(notePath.ReverseFind(L'\\')), NULL);
    ::WritePrivateProfileStringW(name, L"Note", L"remember", notePath);
}

DWORD WINAPI AddTwiceOnAnotherThread(void* param)
{
    auto* args = static_cast<std::pair<CThumbnailListCtrl*, CString>*>(param);
    CString other = args->second;
    other.MakeUpper();
    args->first->AddFile(other, 1);
    args->first->AddFile(args->second, 1);
    return 0;
}

// A list whose lock a test can hold, as a scan or a change on the GUI thread does.
class CHeldList : public CThumbnailListCtrl
{
public:
    CCriticalSection& Lock() { return m_lock; }
    // What a render thread does with a finished thumbnail.
    static DWORD WINAPI HandOverFinished(void* param)
    {
        CHeldList* list = static_cast<CHeldList*>(param);
        list->HandOver(Handover{list->m_generation, HANDOVER_THUMBNAIL, L"C:\\x.jpg",
                                std::vector<BYTE>((size_t)ThumbnailSize.cx * ThumbnailSize.cy * 3, 0x80)});
        return 0;
    }
};

}  // namespace

TEST(ThumbnailList, FillListsPicturesAndVideosWithProgressAndHidesIt)
{
    BrowseLinks links;
    TempFolder dir;
    WritePicture(dir, L"a.bmp", SolidPicture(80, 60, 200, 0, 0), CXIMAGE_FORMAT_BMP);
    WritePicture(dir, L"b.JPG", SolidPicture(300, 200, 0, 200, 0), CXIMAGE_FORMAT_JPG);
    WritePicture(dir, L"c.png", MakePicture(50, 50), CXIMAGE_FORMAT_PNG);
    ASSERT_TRUE(WriteVideo(dir.Path(L"clip.avi"), 160, 120, {RGB(0, 0, 200), RGB(0, 0, 200)}, FALSE));
    WriteBytes(dir, L"shot.raw", std::string(1000, '\x20'));
    WriteBytes(dir, L"broken.jpg", "no picture here");
    WriteBytes(dir, L"notes.txt", "text");
    ::CreateDirectoryW(dir.Path(L"sub.jpg"), NULL);
    WritePicture(dir, L"sub.jpg\\inner.bmp", SolidPicture(20, 20, 1, 2, 3), CXIMAGE_FORMAT_BMP);

    StripFixture f;
    MessageSpy spy(f.strip.m_hWnd);
    f.strip.m_progress.ShowWindow(SW_SHOW);
    f.List().SetFolder(dir.Folder(), 1);
    ASSERT_TRUE(f.WaitForFill());

    std::vector<CString> names;
    for (int i = 0; i < f.List().GetCount(); ++i) names.push_back(NameOf(f.List().GetFileAt(i)));
    std::sort(names.begin(), names.end(), [](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; });
    const std::vector<CString> expected = {L"a.bmp", L"b.JPG", L"broken.jpg", L"c.png", L"clip.avi", L"shot.raw"};
    EXPECT_EQ(names, expected);
    ASSERT_EQ(f.List().GetItemCount(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(f.List().GetItemText(i, 0), NameOf(f.List().GetFileAt(i)));
        const int slot = f.List().GetImageSlot(i);
        ASSERT_GE(slot, 0) << i;
        const Pixels thumb = ReadSlot(f.List().GetThumbnailImages(), slot);
        EXPECT_FALSE(Near(thumb.At(50, 40), kBack)) << Utf8(f.List().GetFileAt(i));
    }
    const auto progress = Progress(spy);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back().first, (WPARAM)6);
    EXPECT_EQ(progress.back().second, (LPARAM)6);
    EXPECT_FALSE(f.ProgressShown());

    // The same folder again: no rescan unless forced.
    WritePicture(dir, L"d.bmp", SolidPicture(10, 10, 9, 9, 9), CXIMAGE_FORMAT_BMP);
    f.List().SetFolder(dir.Folder(), 0);
    EXPECT_EQ(f.List().GetCount(), 6);
    f.List().SetFolder(dir.Folder(), 1);
    ASSERT_TRUE(f.WaitForFill());
    EXPECT_EQ(f.List().GetCount(), 7);

    // An empty folder ends its fill too.
    TempFolder empty;
    spy.Clear();
    f.strip.m_progress.ShowWindow(SW_SHOW);
    f.List().SetFolder(empty.Folder(), 1);
    ASSERT_TRUE(f.WaitForFill(10000));
    EXPECT_EQ(f.List().GetCount(), 0);
    EXPECT_EQ(f.List().GetItemCount(), 0);
    ASSERT_FALSE(Progress(spy).empty());
    EXPECT_EQ(Progress(spy).back().first, (WPARAM)Progress(spy).back().second);
}

TEST(ThumbnailList, NarrowStripKeepsOneColumn)
{
    BrowseLinks links;
    StripFixture f(100, 170);
    EXPECT_EQ(f.List().ComputeColumns(), 1);
    f.List().SetCurrentIndex(7);
    EXPECT_EQ(f.List().GetCurrentRow(), 7);
}

// Captured files arrive one by one in a strip that was already laid out: they line up
// in its row, newest first, as a fill of the same folder would place them.
TEST(ThumbnailList, FilesAddedOneByOneLineUpInTheRow)
{
    BrowseLinks links;
    TempFolder empty, shots;
    StripFixture f;
    f.List().SetFolder(empty.Folder(), 1);
    ASSERT_TRUE(f.WaitForFill());
    std::vector<CString> added;
    for (int i = 0; i < 4; ++i) {
        CString name;
        name.Format(L"shot%d.bmp", i);
        added.push_back(WritePicture(shots, name, SolidPicture(40, 30, 60 * i, 90, 120), CXIMAGE_FORMAT_BMP));
        f.List().AddFile(added.back(), 1);
        PumpMessagesFor(50);
    }
    ASSERT_TRUE(f.WaitForFill());
    ASSERT_EQ(f.List().GetItemCount(), 4);
    POINT first = {};
    ASSERT_TRUE(f.List().GetItemPosition(0, &first));
    for (int i = 1; i < 4; ++i) {
        POINT p = {};
        ASSERT_TRUE(f.List().GetItemPosition(i, &p));
        EXPECT_EQ(p.y, first.y) << "item " << i << " left the row";
        EXPECT_GT(p.x, first.x + (i - 1) * 100) << "item " << i;
    }
    EXPECT_EQ(f.List().GetFileAt(0), added.back());
}

TEST(ThumbnailList, FolderChangedDuringALargeFillShowsOnlyTheNewFolder)
{
    BrowseLinks links;
    const TempFolder& large = LargeFolder();
    TempFolder fresh;
    WritePicture(fresh, L"x.bmp", SolidPicture(40, 30, 250, 0, 0), CXIMAGE_FORMAT_BMP);
    WritePicture(fresh, L"y.bmp", SolidPicture(40, 30, 0, 250, 0), CXIMAGE_FORMAT_BMP);
    WritePicture(fresh, L"z.bmp", SolidPicture(40, 30, 0, 0, 250), CXIMAGE_FORMAT_BMP);

    StripFixture f;
    f.List().SetFolder(large.Folder(), 1);
    EXPECT_EQ(f.List().GetCount(), 2000);
    // Switched while the loader has just begun: on an idle machine it renders the
    // whole folder in a moment.
    ASSERT_TRUE(f.List().IsLoading());
    f.List().SetFolder(fresh.Folder(), 1);
    ASSERT_TRUE(f.WaitForFill());
    ASSERT_EQ(f.List().GetCount(), 3);
    EXPECT_EQ(f.List().GetItemCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(f.List().GetFileAt(i).Left(fresh.Folder().GetLength()), fresh.Folder());
        const int slot = f.List().GetImageSlot(i);
        ASSERT_GE(slot, 0) << "the new folder was never rendered";
        const COLORREF centre = ReadSlot(f.List().GetThumbnailImages(), slot).At(50, 42);
        const CString name = NameOf(f.List().GetFileAt(i));
        const COLORREF want = name == L"x.bmp" ? RGB(250, 0, 0) : name == L"y.bmp" ? RGB(0, 250, 0) : RGB(0, 0, 250);
        EXPECT_TRUE(Near(centre, want)) << Utf8(name);
    }
}

TEST(ThumbnailList, FilesAddedFromAnotherThreadDuringAFillGoToTheFrontOnce)
{
    BrowseLinks links;
    const TempFolder& large = LargeFolder();
    TempFolder other;
    const CString added = WritePicture(other, L"captured.bmp", SolidPicture(40, 30, 10, 220, 220), CXIMAGE_FORMAT_BMP);

    StripFixture f;
    f.List().SetFolder(large.Folder(), 1);
    ASSERT_TRUE(WaitFor([&] { return f.List().GetImageSlot(3) >= 0; }, 30000));
    std::pair<CThumbnailListCtrl*, CString> args(&f.List(), added);
    HANDLE thread = ::CreateThread(NULL, 0, AddTwiceOnAnotherThread, &args, 0, NULL);
    ASSERT_TRUE(WaitFor([&] { return ::WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 30000));
    ::CloseHandle(thread);
    // A listed file captured again moves to the front, from the GUI thread this time.
    const CString listed = large.Path(L"p0100.bmp");
    f.List().AddFile(listed, 1);
    ASSERT_TRUE(f.WaitForFill());

    EXPECT_EQ(f.List().GetCount(), 2001);
    EXPECT_EQ(f.List().GetItemCount(), 2001);
    EXPECT_EQ(f.List().GetFileAt(0), listed);
    EXPECT_EQ(f.List().GetFileAt(1), added);
    std::vector<CString> all;
    f.List().GetFileNames(all);
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [&](const CString& p) { return p.CompareNoCase(added) == 0; }), 1);
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [&](const CString& p) { return p == listed; }), 1);
    EXPECT_EQ(f.List().FindPath(added), 1);
    const int slot = f.List().GetImageSlot(1);
    ASSERT_GE(slot, 0);
    EXPECT_TRUE(Near(ReadSlot(f.List().GetThumbnailImages(), slot).At(50, 42), RGB(10, 220, 220)));
    for (int i = 0; i < 2001; i += 250) EXPECT_GE(f.List().GetImageSlot(i), 0) << i;
}

// ---------------------------------------------------------------------------------------
// Deleting

class StripDelete : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (int i = 0; i < 3; ++i) {
            const CString name = UniqueName(L"del", L".bmp");
            paths.push_back(WritePicture(dir, name, SolidPicture(40, 30, (BYTE)(60 * i), 90, 90), CXIMAGE_FORMAT_BMP));
        }
        fixture.reset(new StripFixture);
        fixture->List().SetFolder(dir.Folder(), 1);
        ASSERT_TRUE(fixture->WaitForFill());
        for (const CString& path : paths) {
            notes.push_back(NoteFileOf(&links.store, path));
            WriteNote(notes.back(), NameOf(path));
            ASSERT_TRUE(FileExists(notes.back()));
        }
    }

    int ItemOf(const CString& path) { return fixture->List().FindPath(path) - fixture->List().GetFirstIndex(); }
    void Select(const CString& path)
    {
        fixture->List().SetItemState(ItemOf(path), LVIS_SELECTED, LVIS_SELECTED);
    }
    void DeleteSelected(DialogWatcher& watcher, int dialogs)
    {
        fixture->strip.SendMessage(WM_COMMAND, ID_STRIP_DELETE, 0);
        EXPECT_TRUE(watcher.WaitForCount(dialogs, 10000));
        PumpMessagesFor(50);
    }

    BrowseLinks links;
    TempFolder dir;
    std::vector<CString> paths;
    std::vector<CString> notes;
    std::unique_ptr<StripFixture> fixture;
};

TEST_F(StripDelete, SelectedFilesGoToTheRecycleBinWithTheirNotes)
{
    ASSERT_TRUE(links.doc.OnOpenDocument(paths[1]));
    Select(paths[0]);
    Select(paths[1]);
    DialogWatcher watcher(IDYES);
    DeleteSelected(watcher, 1);
    EXPECT_EQ(watcher.Dialogs()[0].Text(), u"你要刪除影像嗎？");
    for (int i : {0, 1}) {
        EXPECT_FALSE(FileExists(paths[i])) << i;
        EXPECT_TRUE(FileExists(TrashFiles() + NameOf(paths[i]))) << Utf8(TrashFiles() + NameOf(paths[i]));
        EXPECT_FALSE(FileExists(notes[i])) << i;
        EXPECT_EQ(fixture->List().FindPath(paths[i]), -1);
    }
    EXPECT_TRUE(FileExists(paths[2]));
    EXPECT_TRUE(FileExists(notes[2]));
    ASSERT_EQ(fixture->List().GetCount(), 1);
    EXPECT_EQ(fixture->List().GetItemCount(), 1);
    // The picture on show went: the first one left is opened, and it alone is highlighted.
    EXPECT_EQ(links.doc.opened.back(), paths[2]);
    EXPECT_EQ(fixture->List().GetSelectedCount(), 1u);
    EXPECT_EQ(fixture->List().GetItemState(0, LVIS_SELECTED), (UINT)LVIS_SELECTED);
}

TEST_F(StripDelete, FileHeldOpenStaysWithItsEntryAndNote)
{
    HANDLE held = ::CreateFileW(paths[0], GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Select(paths[0]);
    Select(paths[2]);
    DialogWatcher watcher([](const SeenDialog& d) { return d.Text() == u"你要刪除影像嗎？" ? IDYES : IDOK; });
    DeleteSelected(watcher, 2);
    ::CloseHandle(held);
    EXPECT_TRUE(FileExists(paths[0]));
    EXPECT_TRUE(FileExists(notes[0]));
    EXPECT_EQ(fixture->List().FindPath(paths[0]), 0);
    EXPECT_FALSE(FileExists(paths[2]));
    EXPECT_FALSE(FileExists(notes[2]));
    ASSERT_EQ(watcher.Count(), 2);
    const std::u16string reason = watcher.Dialogs()[1].Text();
    EXPECT_NE(reason.find(u"無法刪除文件："), std::u16string::npos);
    const CString name = NameOf(paths[0]);
    EXPECT_NE(reason.find(std::u16string((const char16_t*)(LPCWSTR)name, name.GetLength())), std::u16string::npos);
}

TEST_F(StripDelete, MergeModeDeletesNothingWhenThePictureOnShowIsSelected)
{
    ASSERT_TRUE(links.doc.OnOpenDocument(paths[1]));
    links.store.SetMergeMode(1);
    for (const CString& path : paths) Select(path);
    DialogWatcher watcher([](const SeenDialog& d) { return d.Text() == u"你要刪除影像嗎？" ? IDYES : IDOK; });
    DeleteSelected(watcher, 2);
    EXPECT_EQ(watcher.Dialogs()[1].Text(), u"無法完成螢光合成！");
    for (size_t i = 0; i < paths.size(); ++i) {
        EXPECT_TRUE(FileExists(paths[i])) << i;
        EXPECT_TRUE(FileExists(notes[i])) << i;
    }
    EXPECT_EQ(fixture->List().GetCount(), 3);
    links.store.SetMergeMode(0);
}

TEST_F(StripDelete, AnsweringNoKeepsEverything)
{
    Select(paths[0]);
    DialogWatcher watcher(IDNO);
    DeleteSelected(watcher, 1);
    EXPECT_TRUE(FileExists(paths[0]));
    EXPECT_EQ(fixture->List().GetCount(), 3);
}

namespace {

// Sends WM_NULL to a window every 20 ms from its own thread and keeps the longest answer.
struct AnswerProbe
{
    explicit AnswerProbe(HWND target) : target(target) { thread = ::CreateThread(NULL, 0, Run, this, 0, NULL); }
    // The GUI thread keeps answering until the probe has ended.
    double StopMs()
    {
        stop = 1;
        WaitFor([this] { return ::WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 30000);
        ::CloseHandle(thread);
        return worstMs;
    }
    static DWORD WINAPI Run(void* arg)
    {
        AnswerProbe* p = static_cast<AnswerProbe*>(arg);
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        while (!p->stop) {
            LARGE_INTEGER t0, t1;
            ::QueryPerformanceCounter(&t0);
            DWORD_PTR result = 0;
            ::SendMessageTimeoutW(p->target, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result);
            ::QueryPerformanceCounter(&t1);
            p->worstMs = std::max(p->worstMs, (t1.QuadPart - t0.QuadPart) * 1000.0 / f.QuadPart);
            ::Sleep(20);
        }
        return 0;
    }
    HWND target;
    HANDLE thread = NULL;
    volatile LONG stop = 0;
    double worstMs = 0;
};

}  // namespace

TEST(ThumbnailList, RenderThreadsGiveEveryItemItsOwnPictureAndOneEndOfFill)
{
    BrowseLinks links;
    TempFolder dir;
    const int files = 60;
    std::vector<COLORREF> colours;
    for (int i = 0; i < files; ++i) {
        const COLORREF c = RGB(40 + i * 3, 250 - i * 4, (i * 37) % 200);
        colours.push_back(c);
        CString name;
        name.Format(L"c%02d.%s", i, i % 3 == 0 ? L"png" : i % 3 == 1 ? L"jpg" : L"bmp");
        WritePicture(dir, name, SolidPicture(160, 120, GetRValue(c), GetGValue(c), GetBValue(c)),
                     i % 3 == 0 ? CXIMAGE_FORMAT_PNG : i % 3 == 1 ? CXIMAGE_FORMAT_JPG : CXIMAGE_FORMAT_BMP);
    }
    StripFixture f;
    MessageSpy spy(f.strip.m_hWnd);
    f.List().SetFolder(dir.Folder(), 1);
    ASSERT_TRUE(f.WaitForFill());
    ASSERT_EQ(f.List().GetCount(), files);
    EXPECT_EQ(f.List().GetItemCount(), files);
    std::vector<int> slots;
    for (int i = 0; i < files; ++i) {
        const CString name = NameOf(f.List().GetFileAt(i));
        const int k = (name[1] - L'0') * 10 + (name[2] - L'0');
        const int slot = f.List().GetImageSlot(i);
        ASSERT_GE(slot, 0) << Utf8(name);
        EXPECT_EQ(std::count(slots.begin(), slots.end(), slot), 0) << "two items share slot " << slot;
        slots.push_back(slot);
        EXPECT_TRUE(Near(ReadSlot(f.List().GetThumbnailImages(), slot).At(50, 42), colours[k], 12)) << Utf8(name);
    }
    // Progress only grows, and the fill ends once.
    const std::vector<std::pair<WPARAM, LPARAM>> progress = Progress(spy);
    ASSERT_FALSE(progress.empty());
    int ends = 0;
    for (size_t i = 0; i < progress.size(); ++i) {
        EXPECT_EQ(progress[i].second, (LPARAM)files);
        if (i > 0) {
            EXPECT_GE(progress[i].first, progress[i - 1].first);
        }
        ends += progress[i].first == (WPARAM)files;
    }
    EXPECT_EQ(ends, 1);
}

TEST(ThumbnailList, TheWindowKeepsAnsweringWhileThousandsOfItemsArrive)
{
    BrowseLinks links;
    const TempFolder& large = LargeFolder();
    StripFixture f;
    // Hidden, as a strip on another page would be: the list's own work, not painting.
    f.List().ShowWindow(SW_HIDE);
    f.strip.UpdateWindow();
    AnswerProbe probe(f.strip.m_hWnd);
    ::Sleep(40);
    f.List().SetFolder(large.Folder(), 1);
    ASSERT_TRUE(f.WaitForFill());
    EXPECT_EQ(f.List().GetItemCount(), 2000);
    EXPECT_LE(probe.StopMs(), 250.0);
}

TEST(ThumbnailList, RenderThreadsHandOverWithoutWaitingForTheListsLock)
{
    BrowseLinks links;
    StripFixture f;
    CHeldList list;
    ASSERT_TRUE(list.CreateList(&f.strip, 1234));
    HANDLE worker = NULL;
    DWORD waited;
    {
        // A worker waiting here would hold up the GUI thread in turn when it is
        // scheduled late on a busy machine.
        CSingleLock held(&list.Lock(), TRUE);
        worker = ::CreateThread(NULL, 0, CHeldList::HandOverFinished, &list, 0, NULL);
        ASSERT_NE(worker, (HANDLE)NULL);
        waited = ::WaitForSingleObject(worker, 5000);
    }
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    ::WaitForSingleObject(worker, INFINITE);
    ::CloseHandle(worker);
    // The GUI thread takes it over and the window stays sound.
    MSG msg;
    while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    EXPECT_EQ(list.GetItemCount(), 0);
    list.DestroyWindow();
}
