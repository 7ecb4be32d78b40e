// The document's routing of an open (merge panel, print layout, the edited-image
// question), saving that writes nothing, and the main view's menu, wheel and redraw
// thread.
#include "ShellTestSupport.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/DravenluxView.h"
#include "app/shell/ManageView.h"
#include "app/store/ImageStore.h"
#include "app/image/PrintLayoutDialog.h"
#include "app/browse/BrowseToolBar.h"
#include "app/compose/ChannelMergePanel.h"
#include "app/capture/PreviewWnd.h"
#include "app/res/resource.h"
#include <string>
#include <vector>

namespace {

CString TempFile(LPCWSTR leaf)
{
    WCHAR dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return CString(dir) + leaf;
}

// A 24-bit bitmap of w x h pixels, every byte derived from its place.
std::vector<BYTE> WriteBitmap(const CString& path, int w, int h)
{
    const int stride = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + stride * h;
    std::vector<BYTE> bytes((const BYTE*)&fh, (const BYTE*)&fh + sizeof fh);
    bytes.insert(bytes.end(), (const BYTE*)&ih, (const BYTE*)&ih + sizeof ih);
    for (int i = 0; i < stride * h; i++) bytes.push_back((BYTE)(i * 7 + 3));
    HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD n = 0;
    WriteFile(f, bytes.data(), (DWORD)bytes.size(), &n, NULL);
    CloseHandle(f);
    return bytes;
}

std::vector<BYTE> ReadBytes(const CString& path)
{
    std::vector<BYTE> out;
    HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE) return out;
    out.resize(GetFileSize(f, NULL));
    DWORD n = 0;
    ReadFile(f, out.data(), (DWORD)out.size(), &n, NULL);
    CloseHandle(f);
    return out;
}

class CRecordingFrame : public CMainFrame
{
public:
    std::vector<CString> files;
    void SetCurrentFile(LPCWSTR path) override { files.push_back(path); }
};

class CTabbedManageView : public CManageView
{
public:
    int tab = TAB_IMAGE;
    int GetCurrentTab() const override { return tab; }
};

class CSavingToolBar : public CBrowseToolBar
{
public:
    int saves = 0;
    CDravenluxDoc* doc = nullptr;
    CString savedAs;
    // Saving opens the saved file through the document, as the real one does.
    void OnSaveImage() override
    {
        saves++;
        if (doc != nullptr) doc->OnOpenDocument(savedAs);
    }
};

// A document with the store, frame, tab and panels it routes to, all the test's own.
class DocumentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.CreateEx(0, AfxRegisterWndClass(0), L"host", WS_POPUP, 0, 0, 400, 400, NULL, NULL));
        m_store = CImageStore::Create();
        ASSERT_NE(m_store, nullptr);
        ShellLinks& links = Links();
        links.store = m_store;
        links.frame = &m_frame;
        links.manage = &m_manage;
        ASSERT_TRUE(m_merge.Create(CChannelMergePanel::IDD, &m_host));
        links.channelMerge = &m_merge;
        links.browseTools = &m_tools;
        links.view = nullptr;
        links.printLayout = nullptr;
        m_tools.doc = &m_doc;
        m_first = TempFile(L"orv_doc_first.bmp");
        m_second = TempFile(L"orv_doc_second.bmp");
        WriteBitmap(m_first, 40, 30);
        WriteBitmap(m_second, 20, 10);
        m_tools.savedAs = m_second;
    }
    void TearDown() override
    {
        m_merge.DestroyWindow();
        m_host.DestroyWindow();
        CImageStore::Destroy(m_store);
    }
    int Width()
    {
        int w = 0, h = 0;
        m_store->GetImageSize(&w, &h);
        return m_store->HasImage() ? w : 0;
    }

    ShellLinksScope m_scope;
    CWnd m_host;
    CImageStore* m_store = nullptr;
    CRecordingFrame m_frame;
    CTabbedManageView m_manage;
    CChannelMergePanel m_merge;
    CSavingToolBar m_tools;
    CDravenluxDoc m_doc;
    CString m_first, m_second;
};

}  // namespace

TEST_F(DocumentTest, MergeModeNeverReplacesTheImageAndOnTheCaptureTabDoesNothing)
{
    ASSERT_TRUE(m_doc.OnOpenDocument(m_first));
    PumpMessagesFor(100);   // the open's own note to the merge panel
    m_store->SetMergeMode(1);
    MessageSpy spy(m_merge.m_hWnd);

    m_manage.tab = CManageView::TAB_CAPTURE;
    EXPECT_FALSE(m_doc.OnOpenDocument(m_second));
    PumpMessagesFor(100);
    EXPECT_EQ(spy.Count(WM_MERGE_SELECT_SLOT) + spy.Count(WM_MERGE_LOAD_SLOT), 0);

    m_manage.tab = CManageView::TAB_IMAGE;
    m_doc.ThumbnailIndex = 7;
    EXPECT_FALSE(m_doc.OnOpenDocument(m_second));
    EXPECT_TRUE(spy.WaitForMessage(WM_MERGE_LOAD_SLOT, 2000));
    std::vector<SpyMessage> seen;
    for (const SpyMessage& m : spy.Messages())
        if (m.msg == WM_MERGE_SELECT_SLOT || m.msg == WM_MERGE_LOAD_SLOT) seen.push_back(m);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].msg, WM_MERGE_SELECT_SLOT);
    EXPECT_EQ(seen[0].wParam, 7u);
    EXPECT_EQ(seen[1].msg, WM_MERGE_LOAD_SLOT);

    // The merge panel's own open is let through once, without a message.
    spy.Clear();
    m_doc.SkipMergeOpen = 1;
    EXPECT_FALSE(m_doc.OnOpenDocument(m_second));
    EXPECT_EQ(m_doc.SkipMergeOpen, 0);
    PumpMessagesFor(100);
    EXPECT_EQ(spy.Count(WM_MERGE_LOAD_SLOT), 0);
    EXPECT_EQ(Width(), 40);
    m_store->SetMergeMode(0);
}

TEST_F(DocumentTest, EditedImageIsAskedAboutOnceAndCancelStillOpens)
{
    m_doc.InteractionMode = MODE_SELECT;
    ASSERT_TRUE(m_doc.OnOpenDocument(m_first));
    EXPECT_EQ(m_doc.InteractionMode, MODE_NONE);

    CString question;
    question.LoadString(IDS_IMAGE_EDITED);
    {
        // OK saves (the save opens the saved file through the document: no second ask).
        BoxWatcher watcher(IDOK);
        m_store->SetSaved(0);
        EXPECT_TRUE(m_doc.OnOpenDocument(m_first));
        EXPECT_EQ(watcher.Count(), 1);
        EXPECT_EQ(watcher.LastText(), std::u16string((const char16_t*)(LPCWSTR)question));
        EXPECT_EQ(m_tools.saves, 1);
        EXPECT_EQ(Width(), 40);
    }
    {
        BoxWatcher watcher(IDCANCEL);
        m_store->SetSaved(0);
        EXPECT_TRUE(m_doc.OnOpenDocument(m_second));
        EXPECT_EQ(watcher.Count(), 1);
        EXPECT_EQ(m_tools.saves, 1);
        EXPECT_EQ(Width(), 20);
    }
}

TEST_F(DocumentTest, OpenPrintLayoutTakesTheFileAndTrackingDecidesWhatIsRecorded)
{
    CPrintLayoutDialog layout;
    ASSERT_TRUE(layout.Create(CPrintLayoutDialog::IDD, &m_host));
    MessageSpy layoutSpy(layout.m_hWnd);
    MessageSpy mergeSpy(m_merge.m_hWnd);
    Links().printLayout = &layout;
    m_doc.ThumbnailIndex = 3;
    EXPECT_FALSE(m_doc.OnOpenDocument(m_first));
    EXPECT_TRUE(layoutSpy.WaitForMessage(WM_PRINT_ADD_IMAGE, 2000));
    EXPECT_EQ(layoutSpy.LastWParam(WM_PRINT_ADD_IMAGE), 3u);
    EXPECT_FALSE(m_store->HasImage());
    Links().printLayout = nullptr;
    layout.DestroyWindow();

    // Tracking off (the live placeholder): opened, but neither recorded nor announced.
    m_store->SetTrackOpenedFile(0);
    EXPECT_TRUE(m_doc.OnOpenDocument(m_first));
    PumpMessagesFor(100);
    EXPECT_TRUE(m_frame.files.empty());
    EXPECT_EQ(mergeSpy.Count(WM_MERGE_SELECT_SLOT), 0);
    m_store->SetTrackOpenedFile(1);
    EXPECT_TRUE(m_doc.OnOpenDocument(m_second));
    ASSERT_EQ(m_frame.files.size(), 1u);
    EXPECT_EQ(m_frame.files[0], m_second);
    EXPECT_TRUE(mergeSpy.WaitForMessage(WM_MERGE_SELECT_SLOT, 2000));
    EXPECT_EQ(mergeSpy.LastWParam(WM_MERGE_SELECT_SLOT), 3u);

    // A file the store cannot open: FALSE, and the mode is reset all the same.
    m_doc.InteractionMode = MODE_MEASURE;
    EXPECT_FALSE(m_doc.OnOpenDocument(TempFile(L"orv_doc_missing.bmp")));
    EXPECT_EQ(m_doc.InteractionMode, MODE_NONE);
}

TEST(DocumentSave, CtrlSAndSaveAsLeaveTheOpenedFileAsItWasWithNoDialog)
{
    CMainFrame* frame = SharedFrame();
    CDravenluxDoc* doc = Links().doc;
    ASSERT_NE(doc, nullptr);
    CString path = TempFile(L"orv_doc_saved.bmp");
    std::vector<BYTE> before = WriteBitmap(path, 33, 17);
    doc->SetPathName(path, FALSE);
    doc->SetModifiedFlag(TRUE);
    BoxWatcher watcher(IDCANCEL);

    // Ctrl+S through the frame's accelerators, as a key press reaches them.
    frame->SetActiveView(Links().view);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG msg = {Links().view->m_hWnd, WM_KEYDOWN, 'S', 0};
    EXPECT_TRUE(frame->PreTranslateMessage(&msg));
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    frame->SendMessage(WM_COMMAND, ID_FILE_SAVE_AS, 0);
    PumpMessagesFor(300);
    EXPECT_EQ(watcher.Count(), 0);
    EXPECT_EQ(ReadBytes(path), before);
}

namespace {

// A view whose redraw thread always finds work, so it is sending when it is stopped.
class CBusyView : public CDravenluxView
{
public:
    volatile LONG redraws = 0;
    BOOL AdjustmentsPending() override { return TRUE; }
};

class CDrawCountingView : public CDravenluxView
{
public:
    int draws = 0;
    void OnDraw(CDC* pDC) override
    {
        draws++;
        CDravenluxView::OnDraw(pDC);
    }
};

// Ends a popup menu the moment one shows and notes that it did.
bool g_menuSeen = false;
void CALLBACK EndAnyMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND menu = FindWindowW(L"#32768", NULL);
    if (menu != NULL && IsWindowVisible(menu)) {
        g_menuSeen = true;
        EndMenu();
    }
}

}  // namespace

TEST(MainView, ContextMenuOnlyInSelectionModeAndOneLinePerWheelNotch)
{
    SharedFrame();
    CDravenluxView* view = Links().view;
    CDravenluxDoc* doc = Links().doc;
    ASSERT_NE(view, nullptr);
    UINT_PTR timer = SetTimer(NULL, 0, 50, EndAnyMenu);
    g_menuSeen = false;
    doc->InteractionMode = MODE_NONE;
    view->SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
    PumpMessagesFor(300);
    EXPECT_FALSE(g_menuSeen);
    doc->InteractionMode = MODE_MEASURE;
    view->SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
    PumpMessagesFor(300);
    EXPECT_FALSE(g_menuSeen);
    doc->InteractionMode = MODE_SELECT;
    view->SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
    EXPECT_TRUE(g_menuSeen);
    KillTimer(NULL, timer);
    doc->InteractionMode = MODE_NONE;

    view->SetScrollSizes(MM_TEXT, CSize(4000, 4000));
    view->ScrollToPosition(CPoint(0, 0));
    int mode;
    SIZE total, page, line;
    view->GetDeviceScrollSizes(mode, total, page, line);
    view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)-WHEEL_DELTA), MAKELPARAM(100, 100));
    PumpMessagesFor(200);
    EXPECT_EQ(view->GetScrollPosition().y, line.cy);
    view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)WHEEL_DELTA), MAKELPARAM(100, 100));
    PumpMessagesFor(200);
    EXPECT_EQ(view->GetScrollPosition().y, 0);
}

TEST(MainView, DestroyingTheViewWhileItsThreadSendsCannotDeadlock)
{
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), L"host", WS_POPUP, 0, 0, 300, 200, NULL, NULL));
    ShellLinksScope scope;
    Links().browseTools = nullptr;
    CBusyView* view = new CBusyView;
    ASSERT_TRUE(view->Create(NULL, NULL, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), &host, 1, NULL));
    MessageSpy spy(view->m_hWnd);
    // The thread sends as fast as the view answers; stop it in the middle of that.
    ASSERT_TRUE(spy.WaitForMessage(WM_REDRAW_IMAGE, 3000, 5));
    const DWORD t0 = GetTickCount();
    host.DestroyWindow();   // the view goes with it
    EXPECT_LT(GetTickCount() - t0, 5000u);
}

// The live picture covers the main view on the Capture tab: a paint there is taken
// without drawing, but any part left uncovered, or the picture hidden, draws again.
TEST(MainView, UnderTheShownLivePictureThePaintIsTakenWithoutDrawing)
{
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), L"host", WS_POPUP | WS_VISIBLE, 40, 40, 300, 200, NULL, NULL));
    ShellLinksScope scope;
    Links().browseTools = nullptr;
    CDrawCountingView* view = new CDrawCountingView;
    ASSERT_TRUE(view->Create(NULL, NULL, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), &host, 1, NULL));
    view->StopRedrawThread();
    CPreviewWnd preview;
    ASSERT_TRUE(preview.Create(CPreviewWnd::IDD, &host));
    Links().preview = &preview;
    CRect under;
    view->GetWindowRect(&under);
    auto paint = [view]() {
        view->Invalidate(FALSE);
        view->UpdateWindow();
        CRect left;
        return !view->GetUpdateRect(&left, FALSE);
    };

    preview.MoveWindow(under.left - 5, under.top, under.Width() + 5, under.Height());
    preview.ShowWindow(SW_SHOWNA);
    EXPECT_TRUE(paint());
    EXPECT_EQ(view->draws, 0);

    preview.MoveWindow(under.left + 10, under.top, under.Width(), under.Height());
    EXPECT_TRUE(paint());
    EXPECT_EQ(view->draws, 1);

    preview.MoveWindow(under);
    preview.ShowWindow(SW_HIDE);
    EXPECT_TRUE(paint());
    EXPECT_EQ(view->draws, 2);

    Links().preview = nullptr;
    preview.DestroyWindow();
    host.DestroyWindow();
}
