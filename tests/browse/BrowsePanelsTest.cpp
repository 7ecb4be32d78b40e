// The folder panel through the system's picker, the browse tool column and the image
// information panel, each on a plain parent with the strip and recording fakes.
#include "BrowseTestSupport.h"
#include <shlobj.h>
#include "app/browse/BrowseNotes.h"
#include "app/browse/FolderPanel.h"
#include "app/browse/ImageInfoPanel.h"
#include "app/image/PrintLayoutDialog.h"
#include "app/shell/FolderPicker.h"
#include "camera/core/QrCCamera.h"

namespace {

CString Text(CWnd& dialog, int id)
{
    CString text;
    dialog.GetDlgItemText(id, text);
    return text;
}

struct ChildSearch
{
    LPCWSTR cls;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND hwnd, LPARAM param)
{
    ChildSearch* s = reinterpret_cast<ChildSearch*>(param);
    WCHAR cls[64];
    if (::GetClassNameW(hwnd, cls, 64) && !lstrcmpiW(cls, s->cls) && ::IsWindowVisible(hwnd)) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindChild(HWND parent, LPCWSTR className)
{
    ChildSearch search = {className, NULL};
    ::EnumChildWindows(parent, MatchChild, (LPARAM)&search);
    return search.found;
}

// Chooses a folder in the system's folder picker as a user would, in its tree.  The
// picker fills its tree after it shows, so the choice is repeated until the edit
// names it.
void PickInFolderDialog(HWND dialog, const CString& path)
{
    CString name = path;
    name.TrimRight(L"\\");
    name = name.Mid(name.ReverseFind(L'\\') + 1);
    HWND edit = FindChild(dialog, L"Edit");
    for (int attempt = 0; attempt < 40; ++attempt) {
        ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, (LPARAM)(LPCWSTR)path);
        WCHAR shown[MAX_PATH] = {};
        if (edit != NULL) ::GetWindowTextW(edit, shown, MAX_PATH);
        if (edit == NULL || name.GetLength() <= 2 || CString(shown).CompareNoCase(name) == 0) break;
        ::Sleep(50);
    }
}

// The name the picker's edit shows for its selection.
CString PickerSelection(HWND dialog)
{
    WCHAR shown[MAX_PATH] = {};
    if (HWND edit = FindChild(dialog, L"Edit")) ::GetWindowTextW(edit, shown, MAX_PATH);
    return shown;
}

// Moves a folder's access time an hour back, as if it had not been read since it last
// changed: on a relatime disk the next read moves it again.
void AgeAccessTime(const CString& folder)
{
    HANDLE handle = ::CreateFileW(folder, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time;
    time.LowPart = now.dwLowDateTime;
    time.HighPart = now.dwHighDateTime;
    time.QuadPart -= 3600ULL * 10000000ULL;
    const FILETIME hourAgo = {time.LowPart, time.HighPart};
    EXPECT_TRUE(::SetFileTime(handle, NULL, &hourAgo, NULL));
    ::CloseHandle(handle);
}

struct EditSearch
{
    int id;
    HWND found;
};

BOOL CALLBACK MatchNameEdit(HWND hwnd, LPARAM param)
{
    EditSearch* s = reinterpret_cast<EditSearch*>(param);
    WCHAR cls[16];
    if (::GetDlgCtrlID(hwnd) == s->id && ::GetClassNameW(hwnd, cls, 16) && !lstrcmpiW(cls, L"Edit")) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Types a file name into a common file dialog: the edit inside its name combo box
// (0x47c), or the plain name edit (0x480) of the older layout.
void TypeFileName(HWND dialog, const CString& name)
{
    EditSearch search = {0x47c, NULL};
    ::EnumChildWindows(dialog, MatchNameEdit, (LPARAM)&search);
    if (search.found == NULL) {
        search.id = 0x480;
        ::EnumChildWindows(dialog, MatchNameEdit, (LPARAM)&search);
    }
    if (search.found != NULL) ::SendMessageW(search.found, WM_SETTEXT, 0, (LPARAM)(LPCWSTR)name);
}

// The image-page stand-in: an object of the real class on a window that records.
struct ImagePageSpy
{
    ImagePageSpy()
    {
        ShellLinks saved = Links();
        page.reset(new CImagePage);
        Links() = saved;
        page->Attach(receiver.Hwnd());
        Links().imagePage = page.get();
    }
    ~ImagePageSpy()
    {
        Links().imagePage = NULL;
        page->Detach();
    }
    MessageReceiver receiver;
    std::unique_ptr<CImagePage> page;
};

// A view stand-in whose window has borders and scroll bars around its client area.
struct ViewWindow
{
    explicit ViewWindow(FakeView& view) : m_view(view)
    {
        hwnd = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"STATIC", L"", WS_POPUP | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL,
                                 0, 300, 420, 330, NULL, NULL, NULL, NULL);
        view.Attach(hwnd);
    }
    ~ViewWindow()
    {
        m_view.Detach();
        ::DestroyWindow(hwnd);
    }
    FakeView& m_view;
    HWND hwnd;
};

class ToolColumn : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Links().browseTools = &tools;
        host.Open(40, 430, 950, 0);
        ASSERT_TRUE(tools.Create(CBrowseToolBar::IDD, &host));
        tools.MoveWindow(0, 0, 40, 430);
        tools.ShowWindow(SW_SHOW);
        strip.reset(new StripFixture);
        picture = WritePicture(dir, L"shot.png", MakePicture(400, 300), CXIMAGE_FORMAT_PNG);
        other = WritePicture(dir, L"other.bmp", SolidPicture(50, 40, 9, 99, 9), CXIMAGE_FORMAT_BMP);
        strip->List().SetFolder(dir.Folder(), 1);
        ASSERT_TRUE(strip->WaitForFill());
    }
    void TearDown() override
    {
        Links().browseTools = NULL;
        if (tools.m_hWnd != NULL) tools.DestroyWindow();
    }
    void Open(const CString& path) { ASSERT_TRUE(links.doc.OnOpenDocument(path)); }
    void Click(int id) { tools.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)tools.GetDlgItem(id)->m_hWnd); }

    BrowseLinks links;
    CHostWindow host;
    CBrowseToolBar tools;
    std::unique_ptr<StripFixture> strip;
    TempFolder dir;
    CString picture, other;
};

}  // namespace

// ---------------------------------------------------------------------------------------
// Browse tool column

TEST(BrowseTools, ZoomLabelShowsOneDecimalBelowAThousandPerCent)
{
    EXPECT_EQ(CBrowseToolBar::FormatZoom(9.99f), CString(L"999.0%"));
    EXPECT_EQ(CBrowseToolBar::FormatZoom(10.0f), CString(L"1000%"));
    EXPECT_EQ(CBrowseToolBar::FormatZoom(1.0f), CString(L"100.0%"));
    EXPECT_EQ(CBrowseToolBar::FormatZoom(0.125f), CString(L"12.5%"));
    EXPECT_EQ(CBrowseToolBar::FormatZoom(12.345f), CString(L"1234%"));
    // Only the file name's dot counts.
    EXPECT_EQ(CBrowseToolBar::BackupPathOf(L"D:\\my.photos\\a.png"), CString(L"D:\\my.photos\\a_bak.png"));
    EXPECT_EQ(CBrowseToolBar::BackupPathOf(L"D:\\my.photos\\noext"), CString());
    EXPECT_EQ(CBrowseToolBar::BackupPathOf(L"D:\\p\\a.b.tif"), CString(L"D:\\p\\a.b_bak.tif"));
}

TEST_F(ToolColumn, ColumnLayoutFromTheTable)
{
    tools.ShowZoom(9.99f);
    EXPECT_EQ(Text(tools, IDC_BROWSE_ZOOM), CString(L"999.0%"));
    CRect label;
    tools.GetDlgItem(IDC_BROWSE_ZOOM)->GetWindowRect(&label);
    tools.ScreenToClient(&label);
    EXPECT_EQ(label, CRect(1, 1, 40, 21));
    const int order[] = {1019, 1010, 1004, 1007, 1006, 1005, 1248, 1161, 1009, 1008, 1013, 1353, 1012, 1011};
    CRect first;
    tools.GetDlgItem(order[0])->GetWindowRect(&first);
    const int h = first.Height();
    // The stack shares the height below the zoom label, and ends inside the column.
    const int room = 430 - 26;
    const int gap = std::max(std::min((room - 14 * h) / 13, 20), 0);
    int y = std::max((room - 14 * h - 13 * gap) / 2, 0) + 26;
    CRect client;
    tools.GetClientRect(&client);
    for (int id : order) {
        CRect rect;
        tools.GetDlgItem(id)->GetWindowRect(&rect);
        tools.ScreenToClient(&rect);
        EXPECT_EQ(rect.left, 8) << id;
        EXPECT_EQ(rect.top, y) << id;
        EXPECT_LE(rect.bottom, client.bottom) << id;
        y = rect.bottom + gap;
    }
    EXPECT_EQ(tools.GetDlgItem(1161)->GetStyle() & BS_PUSHLIKE, (DWORD)BS_PUSHLIKE);
    tools.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessagesFor(50);
    EXPECT_FALSE(SaveScreenshot(tools.m_hWnd, "browse_tool_column").empty());
}

TEST_F(ToolColumn, ToolsActOnTheStoreOnlyWhenItHoldsAPicture)
{
    Click(IDC_BROWSE_ZOOM_IN);
    Click(IDC_BROWSE_ROTATE_LEFT);
    EXPECT_EQ(links.view.refreshes, 0);

    Open(picture);
    ViewWindow window(links.view);
    const float before = links.store.GetZoom();
    Click(IDC_BROWSE_ZOOM_IN);
    EXPECT_GT(links.store.GetZoom(), before);
    EXPECT_GE(links.view.refreshes, 1);
    Click(IDC_BROWSE_ACTUAL_SIZE);
    EXPECT_FLOAT_EQ(links.store.GetZoom(), 1.0f);
    Click(IDC_BROWSE_ROTATE_RIGHT);
    int w = 0, h = 0;
    links.store.GetImageSize(&w, &h);
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 400);
    Click(IDC_BROWSE_ROTATE_LEFT);

    // Fit inside the client area, not the window with its borders and scroll bars.
    CRect client;
    ::GetClientRect(window.hwnd, &client);
    Click(IDC_BROWSE_FIT);
    EXPECT_FLOAT_EQ(links.store.GetZoom(), std::min(client.Width() / 400.0f, client.Height() / 300.0f));

    // Selection mode and the pointer.
    CButton* select = (CButton*)tools.GetDlgItem(IDC_BROWSE_SELECT);
    select->SetCheck(BST_CHECKED);
    Click(IDC_BROWSE_SELECT);
    EXPECT_EQ(links.doc.InteractionMode, MODE_SELECT);
    Click(IDC_BROWSE_ZOOM_OUT);   // every tool leaves selection mode first
    EXPECT_EQ(select->GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(links.doc.InteractionMode, MODE_NONE);
    links.doc.InteractionMode = MODE_MEASURE;
    tools.CancelSelectionMode();
    EXPECT_EQ(links.doc.InteractionMode, MODE_MEASURE);
    Click(IDC_BROWSE_POINTER);
    EXPECT_EQ(links.doc.InteractionMode, MODE_NONE);
    EXPECT_EQ(links.store.GetToolId(), 10);
    EXPECT_EQ(links.measure.syncs, 1);

    ImagePageSpy page;
    Click(IDC_BROWSE_REVERT);
    EXPECT_TRUE(page.receiver.WaitForMessage(WM_ADJUST_PANEL_REFRESH, 2000));
}

TEST_F(ToolColumn, DeleteMovesTheFileFirstAndOpensTheNextPicture)
{
    Open(picture);
    const CString note = NoteFileOf(&links.store, picture);
    links.store.SetNote(L"keep me");
    ASSERT_TRUE(links.store.WriteImageNote(L""));
    ASSERT_TRUE(FileExists(note));

    // Held open by another program: it stays, with its note and entry.
    HANDLE held = ::CreateFileW(picture, GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    {
        DialogWatcher watcher([](const SeenDialog& d) { return d.Text() == u"你要刪除影像嗎？" ? IDYES : IDOK; });
        Click(IDC_BROWSE_DELETE);
        EXPECT_TRUE(watcher.WaitForCount(2, 5000));
        EXPECT_NE(watcher.LastText().find(u"無法刪除文件："), std::u16string::npos);
    }
    ::CloseHandle(held);
    EXPECT_TRUE(FileExists(picture));
    EXPECT_TRUE(FileExists(note));
    EXPECT_GE(strip->List().FindPath(picture), 0);

    {
        DialogWatcher watcher(IDYES);
        Click(IDC_BROWSE_DELETE);
        EXPECT_EQ(watcher.Count(), 1);
    }
    EXPECT_FALSE(FileExists(picture));
    EXPECT_TRUE(FileExists(TrashFiles() + L"shot.png"));
    EXPECT_FALSE(FileExists(note));
    EXPECT_EQ(strip->List().GetCount(), 1);
    EXPECT_EQ(links.doc.opened.back(), other);

    // The last file of the folder: the document is left without one.
    {
        DialogWatcher watcher(IDYES);
        Click(IDC_BROWSE_DELETE);
    }
    EXPECT_EQ(strip->List().GetCount(), 0);
    EXPECT_EQ(links.doc.opened.back(), CString());
    EXPECT_FALSE(links.store.HasImage());
}

TEST_F(ToolColumn, SaveACopyAndSaveAsPutTheFileAtTheFront)
{
    // A folder with a dot in its name.
    const CString dotted = dir.Path(L"my.photos");
    ::CreateDirectoryW(dotted, NULL);
    const CString inside = dotted + L"\\scan.png";
    WritePicture(dir, L"my.photos\\scan.png", SolidPicture(64, 48, 10, 20, 30), CXIMAGE_FORMAT_PNG);
    WritePicture(dir, L"my.photos\\scan_bak.png", SolidPicture(8, 8, 0, 0, 0), CXIMAGE_FORMAT_PNG);
    Open(inside);
    Click(IDC_BROWSE_SAVE_COPY);
    const CString copy = dotted + L"\\scan_bak.png";
    CxImage saved;
    ASSERT_TRUE(saved.Load(copy, CXIMAGE_FORMAT_PNG));
    EXPECT_EQ(saved.GetWidth(), 64u);   // the older copy was replaced
    EXPECT_FALSE(FileExists(dir.Path(L"my_bak.photos\\scan.png")));
    EXPECT_EQ(strip->List().GetFileAt(0), copy);
    EXPECT_EQ(links.doc.opened.back(), copy);

    const CString target = dir.Path(L"saved as.png");
    {
        DialogWatcher watcher([&](const SeenDialog& d) {
            TypeFileName(d.hwnd, target);
            return IDOK;
        });
        Click(IDC_BROWSE_SAVE_AS);
        ASSERT_EQ(watcher.Count(), 1);
        EXPECT_EQ(watcher.LastCaption(), u"保存圖像文件");
    }
    ASSERT_TRUE(FileExists(target));
    EXPECT_EQ(strip->List().GetFileAt(0), target);
    EXPECT_EQ(links.doc.opened.back(), target);

    // Cancelled: nothing is added.
    const int count = strip->List().GetCount();
    {
        DialogWatcher watcher(IDCANCEL);
        Click(IDC_BROWSE_SAVE_AS);
    }
    EXPECT_EQ(strip->List().GetCount(), count);
}

TEST_F(ToolColumn, OpenShowsTheFileAndItsFolder)
{
    CHostWindow panelHost;
    panelHost.Open(200, 60, 0, 600);
    CFolderPanel folder;
    ASSERT_TRUE(folder.Create(CFolderPanel::IDD, &panelHost));
    Links().folder = &folder;
    Open(picture);

    TempFolder elsewhere;
    const CString wanted = WritePicture(elsewhere, L"far.bmp", SolidPicture(30, 30, 1, 2, 3), CXIMAGE_FORMAT_BMP);
    {
        DialogWatcher watcher([&](const SeenDialog& d) {
            TypeFileName(d.hwnd, wanted);
            return IDOK;
        });
        Click(IDC_BROWSE_OPEN);
        ASSERT_EQ(watcher.Count(), 1);
        EXPECT_EQ(watcher.LastCaption(), u"打開圖像文件");
    }
    ASSERT_TRUE(strip->WaitForFill());
    CString shown;
    strip->List().GetFolder(shown);
    EXPECT_EQ(shown, elsewhere.Folder());
    EXPECT_EQ(folder.GetFolderText(), elsewhere.Folder());
    EXPECT_EQ(Text(folder, IDC_FOLDER_PATH), elsewhere.Folder());
    EXPECT_EQ(links.doc.opened.back(), wanted);

    // Another file of the folder on show: no rescan.
    const CString next = WritePicture(elsewhere, L"near.bmp", SolidPicture(30, 30, 3, 2, 1), CXIMAGE_FORMAT_BMP);
    {
        DialogWatcher watcher([&](const SeenDialog& d) {
            TypeFileName(d.hwnd, next);
            return IDOK;
        });
        Click(IDC_BROWSE_OPEN);
    }
    EXPECT_EQ(strip->List().GetCount(), 1);
    EXPECT_EQ(links.doc.opened.back(), next);
    EXPECT_TRUE(WaitFor([&] { return !strip->ProgressShown(); }, 5000));
    Links().folder = NULL;
}

TEST_F(ToolColumn, PrintLayoutOpensOnce)
{
    Open(picture);
    Click(IDC_BROWSE_PRINT);
    ASSERT_NE(Links().printLayout, (CPrintLayoutDialog*)NULL);
    CPrintLayoutDialog* first = Links().printLayout;
    EXPECT_TRUE(first->IsWindowVisible());
    Click(IDC_BROWSE_PRINT);
    EXPECT_EQ(Links().printLayout, first);
    first->DestroyWindow();
    delete first;
    Links().printLayout = NULL;
}

// ---------------------------------------------------------------------------------------
// Folder panel

TEST(FolderPanel, StartsAtTheCaptureFolderAndPicksThroughTheSystemPicker)
{
    BrowseLinks links;
    StripFixture f;
    CHostWindow host;
    host.Open(220, 70, 0, 500);
    CFolderPanel panel;
    ASSERT_TRUE(panel.Create(CFolderPanel::IDD, &host));
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    EXPECT_EQ(panel.GetFolderText(), mgr.capture.Path);
    EXPECT_EQ(Text(panel, IDC_FOLDER_PATH), mgr.capture.Path);

    // The picker opens at the folder on show, even one whose folders on the way have
    // not been read since they changed; the user picks a folder straight under the
    // drive (the test's own pick comes after the tree is filled, so it settles first).
    TempFolder start, chosen(L"picked", L"C:\\");
    WritePicture(chosen, L"in.bmp", SolidPicture(20, 20, 5, 5, 5), CXIMAGE_FORMAT_BMP);
    panel.SetFolderText(start.Folder());
    CString temp = start.Folder().Left(start.Folder().GetLength() - 1);
    temp = temp.Left(temp.ReverseFind(L'\\'));
    AgeAccessTime(temp);
    AgeAccessTime(start.Folder());
    SettleAccessTimes(chosen.Folder());
    CString typed = chosen.Folder();
    typed.TrimRight(L"\\");
    CString opened;
    {
        DialogWatcher watcher([&](const SeenDialog& d) {
            opened = PickerSelection(d.hwnd);
            PickInFolderDialog(d.hwnd, typed);
            return IDOK;
        });
        panel.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FOLDER_BROWSE, BN_CLICKED), (LPARAM)panel.m_btnBrowse.m_hWnd);
        ASSERT_EQ(watcher.Count(), 1);
        EXPECT_NE(watcher.Dialogs()[0].Text().find(u"選擇一個目錄"), std::u16string::npos);
    }
    EXPECT_EQ(opened + L"\\", start.Folder().Mid(temp.GetLength() + 1));
    EXPECT_EQ(panel.GetFolderText(), chosen.Folder());
    CString listed;
    f.List().GetFolder(listed);
    EXPECT_EQ(listed, chosen.Folder());
    EXPECT_EQ(f.List().GetCount(), 1);
    EXPECT_EQ(links.doc.opened.back(), chosen.Path(L"in.bmp"));

    // A drive root keeps its single backslash.
    {
        DialogWatcher watcher([&](const SeenDialog& d) {
            PickInFolderDialog(d.hwnd, L"C:\\");
            return IDOK;
        });
        panel.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FOLDER_BROWSE, BN_CLICKED), (LPARAM)panel.m_btnBrowse.m_hWnd);
    }
    EXPECT_EQ(panel.GetFolderText(), CString(L"C:\\"));
    EXPECT_EQ(CFolderPanel::NormaliseChosenFolder(L"D:\\pics"), CString(L"D:\\pics\\"));

    // Cancelled: nothing changes.
    {
        DialogWatcher watcher(IDCANCEL);
        panel.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FOLDER_BROWSE, BN_CLICKED), (LPARAM)panel.m_btnBrowse.m_hWnd);
    }
    EXPECT_EQ(panel.GetFolderText(), CString(L"C:\\"));
    ASSERT_TRUE(f.WaitForFill());
}

// ---------------------------------------------------------------------------------------
// Image information panel

class InfoPanel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        host.Open(220, 460, 260, 0);
        ASSERT_TRUE(panel.Create(CImageInfoPanel::IDD, &host));
        panel.ShowWindow(SW_SHOW);
        Links().imageInfo = &panel;
        strip.reset(new StripFixture);
        path = WritePicture(dir, L"shot.png", MakePicture(320, 200), CXIMAGE_FORMAT_PNG);
        WritePicture(dir, L"taken.png", SolidPicture(10, 10, 1, 1, 1), CXIMAGE_FORMAT_PNG);
        strip->List().SetFolder(dir.Folder(), 1);
        ASSERT_TRUE(strip->WaitForFill());
        ASSERT_TRUE(links.doc.OnOpenDocument(path));
        panel.Refresh();
    }
    void TearDown() override { Links().imageInfo = NULL; }
    // Types a name and a note, presses Save, answers the question with answer.
    std::vector<SeenDialog> Save(const CString& name, int answer = IDYES, const CString& note = L"a note")
    {
        panel.SetDlgItemText(IDC_INFO_NAME, name);
        panel.SetDlgItemText(IDC_INFO_NOTE, note);
        DialogWatcher watcher([answer](const SeenDialog& d) { return d.Text() == u"你確定要重命名文件嗎？" ? answer : IDOK; });
        panel.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_INFO_SAVE, BN_CLICKED), (LPARAM)panel.m_btnSave.m_hWnd);
        PumpMessagesFor(20);
        return watcher.Dialogs();
    }

    BrowseLinks links;
    ImagePageSpy page;
    CHostWindow host;
    CImageInfoPanel panel;
    std::unique_ptr<StripFixture> strip;
    TempFolder dir;
    CString path;
};

TEST_F(InfoPanel, ShowsTheFactsAndKeepsTheNote)
{
    EXPECT_EQ(Text(panel, IDC_INFO_NAME), CString(L"shot.png"));
    EXPECT_EQ(Text(panel, IDC_INFO_IMAGE_SIZE), CString(L"320x200"));
    EXPECT_EQ(Text(panel, IDC_INFO_BIT_DEPTH), CString(L"24"));
    ImageFileInfo info;
    links.store.GetImageInfo(info);
    EXPECT_EQ(Text(panel, IDC_INFO_TIME), info.timeText);
    EXPECT_EQ(Text(panel, IDC_INFO_FILE_SIZE), info.sizeText);
    EXPECT_FALSE(info.timeText.IsEmpty());

    // The same name (a typed extension dropped) only keeps the note.
    EXPECT_TRUE(Save(L"shot.jpg", IDYES, L"line one\r\nline two").empty());
    EXPECT_TRUE(FileExists(path));
    ASSERT_TRUE(links.doc.OnOpenDocument(path));
    EXPECT_EQ(links.store.GetNote(), CString(L"line one\r\nline two"));
    EXPECT_EQ(CImageInfoPanel::TypedBaseName(L"v1.final"), CString(L"v1.final"));
    EXPECT_EQ(CImageInfoPanel::TypedBaseName(L"pic.jpeg"), CString(L"pic.jpeg"));
    EXPECT_EQ(CImageInfoPanel::TypedBaseName(L"pic.jpg"), CString(L"pic"));
}

TEST_F(InfoPanel, RenameMovesFileEntryAndNote)
{
    const std::vector<SeenDialog> seen = Save(L"renamed", IDYES, L"kept across");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, u"注意");
    const CString target = dir.Path(L"renamed.png");
    EXPECT_TRUE(FileExists(target));
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(links.store.GetFilePath(), target);
    EXPECT_EQ(strip->List().FindPath(path), -1);
    EXPECT_GE(strip->List().FindPath(target), 0);
    EXPECT_EQ(Text(panel, IDC_INFO_NAME), CString(L"renamed.png"));
    EXPECT_TRUE(page.receiver.WaitForMessage(WM_ADJUST_PANEL_REFRESH, 2000));
    ASSERT_TRUE(strip->WaitForFill());
    ASSERT_TRUE(links.doc.OnOpenDocument(target));
    EXPECT_EQ(links.store.GetNote(), CString(L"kept across"));

    // Answering No keeps the name.
    Save(L"other", IDNO);
    EXPECT_TRUE(FileExists(target));
    EXPECT_EQ(Text(panel, IDC_INFO_NAME), CString(L"renamed.png"));

    // Only the case changes: still a rename of the same file.
    Save(L"RENAMED");
    EXPECT_EQ(links.store.GetFilePath(), dir.Path(L"RENAMED.png"));
    EXPECT_EQ(dir.Names(), (std::vector<CString>{L"RENAMED.png", L"taken.png"}));
}

TEST_F(InfoPanel, RefusedNamesLeaveTheFileWhereItIs)
{
    std::vector<SeenDialog> seen = Save(L"taken");
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].Text(), u"文件已經存在，無法重命名！");
    for (LPCWSTR name : {L"..\\x", L"a\\b", L"c:d", L"", L"what?"}) {
        seen = Save(name);
        ASSERT_EQ(seen.size(), 1u) << Utf8(name);
        EXPECT_EQ(seen[0].Text(), u"重命名失敗！") << Utf8(name);
        EXPECT_EQ(Text(panel, IDC_INFO_NAME), CString(L"shot.png"));
    }
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(dir.Names(), (std::vector<CString>{L"shot.png", L"taken.png"}));
    EXPECT_FALSE(FileExists(dir.Path(L"..\\x.png")));
}
