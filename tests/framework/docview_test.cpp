// The single-document architecture: template order, command routing, accelerators,
// the end of the main window, static splitters, scroll views and the recent-file list.
#include "support/gtest.h"
#include "support/wintest.h"
#include "afxwin.h"
#include <vector>

namespace {

// What the objects below saw, in order.
std::vector<CString> g_events;
CWnd* g_mainDuringCreate = (CWnd*)1;
CWnd* g_mainDuringOpen = (CWnd*)1;
BOOL g_openResult = TRUE;

const UINT ID_TEST_VIEWCMD = 0x7F01;
const UINT ID_TEST_DOCCMD = 0x7F02;
const UINT ID_TEST_FRAMECMD = 0x7F03;
const UINT ID_TEST_APPCMD = 0x7F04;
const UINT ID_TEST_SHARED = 0x7F05;

class CTestDoc : public CDocument
{
    DECLARE_DYNCREATE(CTestDoc)
public:
    CTestDoc() { g_events.push_back(L"doc"); }
    ~CTestDoc() { g_events.push_back(L"~doc"); }
    BOOL OnOpenDocument(LPCWSTR) override
    {
        g_mainDuringOpen = AfxGetApp() ? AfxGetApp()->m_pMainWnd : NULL;
        g_events.push_back(L"open");
        return g_openResult;
    }
    void OnDocCmd() { g_events.push_back(L"doc-cmd"); }
    void OnShared() { g_events.push_back(L"doc-shared"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTestDoc, CDocument)
BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
    ON_COMMAND(ID_TEST_DOCCMD, OnDocCmd)
    ON_COMMAND(ID_TEST_SHARED, OnShared)
END_MESSAGE_MAP()

class CTestView : public CView
{
    DECLARE_DYNCREATE(CTestView)
public:
    int m_initialUpdates = 0;
    void OnDraw(CDC*) override {}
    void OnInitialUpdate() override
    {
        m_initialUpdates++;
        g_events.push_back(L"initial-update");
    }
    void OnViewCmd() { g_events.push_back(L"view-cmd"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTestView, CView)
BEGIN_MESSAGE_MAP(CTestView, CView)
    ON_COMMAND(ID_TEST_VIEWCMD, OnViewCmd)
END_MESSAGE_MAP()

class CTestFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(CTestFrame)
public:
    CSplitterWnd m_outer, m_inner;
    BOOL m_bSplit = FALSE;
    // 0: one view; 1: a view beside a nested pair; 2: the nested pair first.
    static int s_split;
    CTestFrame() { g_events.push_back(L"frame"); }
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override
    {
        g_mainDuringCreate = AfxGetApp() ? AfxGetApp()->m_pMainWnd : NULL;
        if (!s_split) return CFrameWnd::OnCreateClient(lpcs, pContext);
        const int nested = s_split == 2 ? 0 : 1;
        m_outer.CreateStatic(this, 1, 2);
        m_outer.CreateView(0, 1 - nested, RUNTIME_CLASS(CTestView), CSize(100, 100), pContext);
        m_inner.CreateStatic(&m_outer, 2, 1, WS_CHILD | WS_VISIBLE, m_outer.IdFromRowCol(0, nested));
        m_inner.CreateView(0, 0, RUNTIME_CLASS(CTestView), CSize(100, 100), pContext);
        m_inner.CreateView(1, 0, RUNTIME_CLASS(CTestView), CSize(100, 100), pContext);
        return TRUE;
    }
    int m_titleUpdates = 0;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override
    {
        m_titleUpdates++;
        CFrameWnd::OnUpdateFrameTitle(bAddToTitle);
    }
    void OnFrameCmd() { g_events.push_back(L"frame-cmd"); }
    void OnShared() { g_events.push_back(L"frame-shared"); }
    DECLARE_MESSAGE_MAP()
};
int CTestFrame::s_split = 0;
IMPLEMENT_DYNCREATE(CTestFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
    ON_COMMAND(ID_TEST_FRAMECMD, OnFrameCmd)
    ON_COMMAND(ID_TEST_SHARED, OnShared)
END_MESSAGE_MAP()

class CTestApp : public CWinApp
{
public:
    CTestApp() : CWinApp(L"docview") {}
    void OnAppCmd() { g_events.push_back(L"app-cmd"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_TEST_APPCMD, OnAppCmd)
END_MESSAGE_MAP()

// An application object for the test's lifetime, as a program has one.
class DocViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_events.clear();
        g_openResult = TRUE;
        CTestFrame::s_split = 0;
        m_app = new CTestApp;
        m_app->m_nThreadID = GetCurrentThreadId();
        m_template = new CSingleDocTemplate(0x7E00, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CTestFrame),
                                            RUNTIME_CLASS(CTestView));
        m_app->AddDocTemplate(m_template);
    }
    void TearDown() override
    {
        if (m_app->m_pMainWnd != NULL) m_app->m_pMainWnd->DestroyWindow();
        // The main window's end posts a quit; it belongs to this test only.
        MSG msg;
        while (PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
        delete m_app;
    }
    CTestApp* m_app = nullptr;
    CSingleDocTemplate* m_template = nullptr;
};

int IndexOf(const CString& event)
{
    for (size_t i = 0; i < g_events.size(); i++)
        if (g_events[i] == event) return (int)i;
    return -1;
}

} // namespace

TEST_F(DocViewTest, FrameComesFirstAndBecomesTheMainWindowOnlyAfterTheOpen)
{
    WCHAR path[MAX_PATH];
    GetModuleFileNameW(NULL, path, MAX_PATH);
    CDocument* doc = m_template->OpenDocumentFile(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_LT(IndexOf(L"frame"), IndexOf(L"open"));
    EXPECT_LT(IndexOf(L"doc"), IndexOf(L"frame"));
    EXPECT_EQ(g_mainDuringCreate, nullptr);
    EXPECT_EQ(g_mainDuringOpen, nullptr);
    ASSERT_NE(m_app->m_pMainWnd, nullptr);
    EXPECT_TRUE(m_app->m_pMainWnd->IsKindOf(RUNTIME_CLASS(CTestFrame)));
    EXPECT_EQ(IndexOf(L"initial-update"), (int)g_events.size() - 1);
    EXPECT_EQ(doc->GetPathName().CompareNoCase(path), 0);
}

TEST_F(DocViewTest, FailedFirstOpenDestroysTheNewFrameAndTheDocument)
{
    g_openResult = FALSE;
    EXPECT_EQ(m_template->OpenDocumentFile(L"C:\\nowhere\\missing.bmp"), nullptr);
    EXPECT_EQ(m_app->m_pMainWnd, nullptr);
    EXPECT_GE(IndexOf(L"~doc"), 0);
    EXPECT_EQ(m_template->m_pOnlyDoc, nullptr);
    // No frame window of ours is left.
    EXPECT_EQ(FindWindowW(NULL, L"docview"), nullptr);
}

TEST_F(DocViewTest, EveryViewOfNestedSplittersGetsItsInitialUpdate)
{
    CTestFrame::s_split = 1;
    ASSERT_NE(m_template->OpenDocumentFile(NULL), nullptr);
    CTestFrame* frame = (CTestFrame*)m_app->m_pMainWnd;
    ASSERT_NE(frame, nullptr);
    int views = 0, updates = 0;
    for (CSplitterWnd* sp : {&frame->m_outer, &frame->m_inner}) {
        for (int r = 0; r < sp->GetRowCount(); r++)
            for (int c = 0; c < sp->GetColumnCount(); c++) {
                CTestView* v = DYNAMIC_DOWNCAST(CTestView, sp->GetPane(r, c));
                if (v == nullptr) continue;
                views++;
                updates += v->m_initialUpdates;
                EXPECT_EQ(v->GetDocument(), m_template->m_pOnlyDoc);
            }
    }
    EXPECT_EQ(views, 3);
    EXPECT_EQ(updates, 3);
    // Pane ids: first + 16 x row + column.
    EXPECT_EQ(frame->m_inner.GetPane(1, 0)->GetDlgCtrlID(), AFX_IDW_PANE_FIRST + 16);
    EXPECT_EQ(frame->m_outer.GetPane(0, 1)->GetDlgCtrlID(), AFX_IDW_PANE_FIRST + 1);
}

// The first pane, however deeply nested, is the view made active, and before that it
// names the document whose title the frame shows.
TEST_F(DocViewTest, TheFirstPaneUnderNestedSplittersIsTheActiveView)
{
    for (int split : {1, 2}) {
        CTestFrame::s_split = split;
        ASSERT_NE(m_template->OpenDocumentFile(NULL), nullptr);
        CTestFrame* frame = (CTestFrame*)m_app->m_pMainWnd;
        ASSERT_NE(frame, nullptr);
        CWnd* first = split == 2 ? frame->m_inner.GetPane(0, 0) : frame->m_outer.GetPane(0, 0);
        EXPECT_EQ(frame->GetActiveView(), first) << split;
        CString text;
        frame->GetWindowText(text);
        EXPECT_EQ(text.Find(m_template->m_pOnlyDoc->GetTitle() + L" - "), 0) << (LPCWSTR)text;
        frame->DestroyWindow();
        m_app->m_pMainWnd = NULL;
        MSG msg;
        while (PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
    }
}

// A new title reaches the frame once, not once per view it holds.
TEST_F(DocViewTest, ATitleUpdatesAFrameOfSeveralViewsOnce)
{
    CTestFrame::s_split = 1;
    CDocument* doc = m_template->OpenDocumentFile(NULL);
    ASSERT_NE(doc, nullptr);
    CTestFrame* frame = (CTestFrame*)m_app->m_pMainWnd;
    ASSERT_NE(frame, nullptr);
    frame->m_titleUpdates = 0;
    doc->SetTitle(L"slide 4");
    EXPECT_EQ(frame->m_titleUpdates, 1);
    CString text;
    frame->GetWindowText(text);
    EXPECT_EQ(text.Find(L"slide 4 - "), 0) << (LPCWSTR)text;
}

TEST_F(DocViewTest, CommandsGoViewDocumentFrameApplication)
{
    ASSERT_NE(m_template->OpenDocumentFile(NULL), nullptr);
    CFrameWnd* frame = (CFrameWnd*)m_app->m_pMainWnd;
    const UINT ids[] = {ID_TEST_VIEWCMD, ID_TEST_DOCCMD, ID_TEST_FRAMECMD, ID_TEST_APPCMD, ID_TEST_SHARED};
    for (UINT id : ids) frame->SendMessage(WM_COMMAND, id, 0);
    ASSERT_EQ(g_events.size() >= 5, true);
    std::vector<CString> tail(g_events.end() - 5, g_events.end());
    EXPECT_EQ(tail[0], CString(L"view-cmd"));
    EXPECT_EQ(tail[1], CString(L"doc-cmd"));
    EXPECT_EQ(tail[2], CString(L"frame-cmd"));
    EXPECT_EQ(tail[3], CString(L"app-cmd"));
    // The document comes before the frame for a command both take.
    EXPECT_EQ(tail[4], CString(L"doc-shared"));
}

TEST_F(DocViewTest, AcceleratorsComeLastAndDestroyingTheMainWindowQuits)
{
    ASSERT_NE(m_template->OpenDocumentFile(NULL), nullptr);
    CFrameWnd* frame = (CFrameWnd*)m_app->m_pMainWnd;
    ACCEL accel = {FVIRTKEY | FCONTROL, 'K', (WORD)ID_TEST_FRAMECMD};
    frame->m_hAccelTable = CreateAcceleratorTableW(&accel, 1);
    MSG msg = {};
    msg.hwnd = frame->GetActiveView() ? frame->GetActiveView()->m_hWnd : frame->m_hWnd;
    msg.message = WM_KEYDOWN;
    msg.wParam = 'K';
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    EXPECT_TRUE(m_app->PreTranslateMessage(&msg));
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(g_events.back(), CString(L"frame-cmd"));
    DestroyAcceleratorTable(frame->m_hAccelTable);
    frame->m_hAccelTable = NULL;

    frame->DestroyWindow();
    EXPECT_EQ(m_app->m_pMainWnd, nullptr);
    EXPECT_TRUE(PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST_F(DocViewTest, RecentFilesComeBackNewestFirstAndAFailedEntryGoes)
{
    m_app->SetRegistryKey(L"OrvTestCompany");
    m_app->WriteProfileString(L"Recent File List", NULL, NULL);
    m_app->LoadStdProfileSettings(4);
    const LPCWSTR names[] = {L"C:\\a.bmp", L"C:\\b.bmp", L"C:\\c.bmp", L"C:\\d.bmp", L"C:\\e.bmp", L"C:\\B.BMP"};
    for (LPCWSTR n : names) m_app->AddToRecentFileList(n);
    m_app->SaveStdProfileSettings();
    EXPECT_EQ(m_app->GetProfileString(L"Recent File List", L"File1"), CString(L"C:\\B.BMP"));
    EXPECT_EQ(m_app->GetProfileString(L"Recent File List", L"File2"), CString(L"C:\\e.bmp"));
    EXPECT_EQ(m_app->GetProfileString(L"Recent File List", L"File4"), CString(L"C:\\c.bmp"));
    EXPECT_EQ(m_app->GetProfileString(L"Recent File List", L"File5", L"none"), CString(L"none"));

    // Opening an entry that fails takes it off the list.
    g_openResult = FALSE;
    m_app->LoadStdProfileSettings(4);
    m_app->OnOpenRecentFile(ID_FILE_MRU_FILE1);
    m_app->SaveStdProfileSettings();
    EXPECT_EQ(m_app->GetProfileString(L"Recent File List", L"File1"), CString(L"C:\\e.bmp"));
    EXPECT_EQ(m_app->GetProfileString(L"Recent File List", L"File4", L"none"), CString(L"none"));
}

TEST(CommandLine, FileArgumentsOpenAndFlagsChooseTheCommand)
{
    CCommandLineInfo open;
    open.ParseParam(L"C:\\x.bmp", FALSE, TRUE);
    EXPECT_EQ(open.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(open.m_strFileName, CString(L"C:\\x.bmp"));
    CCommandLineInfo print;
    print.ParseParam(L"p", TRUE, FALSE);
    print.ParseParam(L"C:\\x.bmp", FALSE, TRUE);
    EXPECT_EQ(print.m_nShellCommand, CCommandLineInfo::FilePrint);
    CCommandLineInfo none;
    EXPECT_EQ(none.m_nShellCommand, CCommandLineInfo::FileNew);
}

namespace {

class CPaneWnd : public CWnd
{
public:
    BOOL Make(CWnd* parent, UINT id)
    {
        return CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), parent, id);
    }
};

CRect PaneRect(CSplitterWnd& sp, int r, int c)
{
    CRect rect;
    sp.GetPane(r, c)->GetWindowRect(&rect);
    sp.ScreenToClient(&rect);
    return rect;
}

} // namespace

TEST(Splitter, LastColumnTakesTheRestAndSizesNeverGoNegative)
{
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), L"host", WS_POPUP | WS_VISIBLE, 0, 0, 500, 300, NULL, NULL));
    CSplitterWnd sp;
    ASSERT_TRUE(sp.CreateStatic(&host, 2, 2));
    CPaneWnd panes[4];
    for (int i = 0; i < 4; i++) panes[i].Make(&sp, sp.IdFromRowCol(i / 2, i % 2));
    sp.m_cxSplitterGap = sp.m_cySplitterGap = 1;
    sp.SetColumnInfo(0, 120, 0);
    sp.SetRowInfo(0, 100, 0);
    sp.MoveWindow(0, 0, 400, 300);
    sp.RecalcLayout();
    const int b = sp.m_cxBorder;
    EXPECT_EQ(PaneRect(sp, 0, 0), CRect(b, b, b + 120, b + 100));
    EXPECT_EQ(PaneRect(sp, 1, 1), CRect(b + 121, b + 101, 400 - b, 300 - b));
    // An ideal beyond the space gives the first column everything, the last nothing.
    sp.SetColumnInfo(0, 1000, 0);
    sp.RecalcLayout();
    EXPECT_EQ(PaneRect(sp, 0, 0).Width(), 400 - 2 * b);
    EXPECT_EQ(PaneRect(sp, 0, 1).Width(), 0);
    // Below its minimum a column collapses.
    sp.SetColumnInfo(0, 30, 50);
    sp.RecalcLayout();
    EXPECT_EQ(PaneRect(sp, 0, 0).Width(), 0);
    // Dragging the bar moves it by the pointer's distance.
    sp.SetColumnInfo(0, 120, 0);
    sp.RecalcLayout();
    CPoint bar(b + 120, 50);
    sp.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(bar.x, bar.y));
    sp.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(bar.x + 30, bar.y));
    sp.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(bar.x + 30, bar.y));
    EXPECT_EQ(PaneRect(sp, 0, 0).Width(), 150);
    host.DestroyWindow();
}

TEST_F(DocViewTest, NextPaneWalksEveryViewOfTheTreeAndWraps)
{
    CTestFrame::s_split = 1;
    ASSERT_NE(m_template->OpenDocumentFile(NULL), nullptr);
    CTestFrame* frame = (CTestFrame*)m_app->m_pMainWnd;
    CView* order[3] = {(CView*)frame->m_outer.GetPane(0, 0), (CView*)frame->m_inner.GetPane(0, 0),
                       (CView*)frame->m_inner.GetPane(1, 0)};
    frame->SetActiveView(order[0]);
    for (int i = 1; i <= 3; i++) {
        frame->SendMessage(WM_COMMAND, ID_NEXT_PANE, 0);
        EXPECT_EQ(frame->GetActiveView(), order[i % 3]);
    }
    frame->SendMessage(WM_COMMAND, ID_PREV_PANE, 0);
    EXPECT_EQ(frame->GetActiveView(), order[2]);
}

namespace {

class CTestScrollView : public CScrollView
{
public:
    void OnDraw(CDC*) override {}
    using CScrollView::OnMouseWheel;
};

} // namespace

TEST(ScrollView, DefaultPageAndLineAndOneLinePerNotch)
{
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), L"host", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, NULL, NULL));
    CTestScrollView* view = new CTestScrollView;
    ASSERT_TRUE(view->Create(NULL, NULL, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), &host, AFX_IDW_PANE_FIRST, NULL));
    view->SetScrollSizes(MM_TEXT, CSize(2000, 3000));
    int mode;
    SIZE total, page, line;
    view->GetDeviceScrollSizes(mode, total, page, line);
    EXPECT_EQ(page.cy, 300);
    EXPECT_EQ(line.cy, 30);
    view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)-WHEEL_DELTA), MAKELPARAM(10, 10));
    EXPECT_EQ(view->GetScrollPosition().y, 30);
    CClientDC dc(view);
    view->OnPrepareDC(&dc);
    POINT org;
    GetViewportOrgEx(dc.m_hDC, &org);
    EXPECT_EQ(org.y, -30);
    host.DestroyWindow();   // the view deletes itself with its window
}

// The bars are set only where they change: what they show must still follow every change
// of the sizes and of the client area, both bars at once when one takes room from the other.
TEST(ScrollView, BarsFollowTheSizesAndTheClientArea)
{
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), L"host", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, NULL, NULL));
    CTestScrollView* view = new CTestScrollView;
    ASSERT_TRUE(view->Create(NULL, NULL, WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), &host, AFX_IDW_PANE_FIRST, NULL));
    auto bar = [view](int which) {
        SCROLLINFO si = {sizeof(si), SIF_PAGE | SIF_RANGE};
        ::GetScrollInfo(view->m_hWnd, which, &si);
        return si;
    };
    auto shown = [view](DWORD style) { return (view->GetStyle() & style) != 0; };

    // Taller only: the vertical bar narrows the client area below the width needed.
    view->SetScrollSizes(MM_TEXT, CSize(390, 2000));
    CRect client;
    view->GetClientRect(&client);
    EXPECT_TRUE(shown(WS_VSCROLL));
    EXPECT_TRUE(shown(WS_HSCROLL));
    EXPECT_EQ(bar(SB_VERT).nMax, 1999);
    EXPECT_EQ((int)bar(SB_VERT).nPage, client.Height());
    EXPECT_EQ((int)bar(SB_HORZ).nPage, client.Width());

    // Set again unchanged, then made to fit: both bars go.
    view->SetScrollSizes(MM_TEXT, CSize(390, 2000));
    EXPECT_EQ((int)bar(SB_VERT).nPage, client.Height());
    view->SetScrollSizes(MM_TEXT, CSize(100, 100));
    EXPECT_FALSE(shown(WS_VSCROLL));
    EXPECT_FALSE(shown(WS_HSCROLL));
    EXPECT_EQ(bar(SB_HORZ).nMax, 99);
    EXPECT_EQ((int)bar(SB_HORZ).nPage, 100);

    // The client area shrinks under sizes that fitted: the bars come back, paged to it.
    view->SetScrollSizes(MM_TEXT, CSize(350, 250));
    EXPECT_FALSE(shown(WS_VSCROLL));
    view->MoveWindow(0, 0, 200, 150);
    view->GetClientRect(&client);
    EXPECT_TRUE(shown(WS_VSCROLL));
    EXPECT_TRUE(shown(WS_HSCROLL));
    EXPECT_EQ((int)bar(SB_HORZ).nPage, client.Width());
    EXPECT_EQ((int)bar(SB_VERT).nPage, client.Height());
    host.DestroyWindow();
}
