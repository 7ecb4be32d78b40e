// The print path: a view's print commands through the print dialog (or the default
// printer) onto the test prefix's PostScript printer, page by page through OnDraw; print
// setup's choice carried into later prints; the print preview's pages and window.
#include "support/gtest.h"
#include "support/testprinter.h"
#include "support/wintest.h"
#include "afxwin.h"
#include <cstdio>
#include <string>
#include <vector>

namespace {

class CPrintProbeView : public CScrollView
{
public:
    std::vector<BOOL> m_drawnPrinting;
    std::vector<CPoint> m_origins;
    std::vector<UINT> m_pagesDrawn;
    CSize m_page = CSize(0, 0);
    int m_begun = 0, m_ended = 0;
    UINT m_maxPage = 0;       // set: the job has that many pages
    BOOL m_quadrants = FALSE; // paint the page in four colours instead of one rectangle

    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo) override
    {
        if (m_maxPage != 0)
            pInfo->SetMaxPage(m_maxPage);
        return DoPreparePrinting(pInfo);
    }
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo) override
    {
        m_pagesDrawn.push_back(pInfo->m_nCurPage);
        CScrollView::OnPrint(pDC, pInfo);
    }
    virtual void OnDraw(CDC* pDC) override
    {
        m_drawnPrinting.push_back(pDC->IsPrinting());
        if (!pDC->IsPrinting())
            return;
        m_origins.push_back(pDC->GetViewportOrg());
        m_page = CSize(pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES));
        if (!m_quadrants) {
            pDC->Rectangle(100, 100, 1200, 900);
            return;
        }
        const int w = m_page.cx, h = m_page.cy;
        const COLORREF second = m_pagesDrawn.empty() || m_pagesDrawn.back() == 1 ? RGB(0, 160, 0) : RGB(160, 0, 160);
        Fill(pDC, CRect(0, 0, w / 2, h / 2), RGB(200, 0, 0));
        Fill(pDC, CRect(w / 2, 0, w, h / 2), second);
        Fill(pDC, CRect(0, h / 2, w / 2, h), RGB(0, 0, 200));
    }
    static void Fill(CDC* pDC, const CRect& r, COLORREF c)
    {
        HBRUSH b = CreateSolidBrush(c);
        FillRect(pDC->GetSafeHdc(), &r, b);
        DeleteObject(b);
    }
    // The colour the page has at a point of the paper.
    COLORREF Expected(int x, int y, UINT page) const
    {
        const bool left = x < m_page.cx / 2, top = y < m_page.cy / 2;
        if (top)
            return left ? RGB(200, 0, 0) : (page == 1 ? RGB(0, 160, 0) : RGB(160, 0, 160));
        return left ? RGB(0, 0, 200) : RGB(255, 255, 255);
    }
    virtual void OnBeginPrinting(CDC*, CPrintInfo*) override { ++m_begun; }
    virtual void OnEndPrinting(CDC*, CPrintInfo*) override { ++m_ended; }
    int PrintedPages() const
    {
        int n = 0;
        for (BOOL p : m_drawnPrinting)
            n += p ? 1 : 0;
        return n;
    }
};

struct PrintFixture {
    std::string output;
    CWnd parent;
    CWnd popup;   // a floating window the parent owns, as a frame's panels are
    CPrintProbeView* view = nullptr;

    PrintFixture()
    {
        output = ScreenshotDir() + "/framework_print.ps";
        remove(output.c_str());
        parent.CreateEx(0, AfxRegisterWndClass(0), L"print", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, NULL, NULL);
        popup.CreateEx(0, AfxRegisterWndClass(0, NULL, (HBRUSH)GetStockObject(LTGRAY_BRUSH)), L"popup",
                       WS_POPUP | WS_VISIBLE, 20, 20, 120, 80, parent.m_hWnd, NULL);
        view = new CPrintProbeView;
        view->Create(NULL, L"", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, CRect(0, 0, 300, 200), &parent, 1);
        view->SetScrollSizes(MM_TEXT, CSize(2000, 2000));
        view->ScrollToPosition(CPoint(150, 250));
    }
    ~PrintFixture()
    {
        parent.DestroyWindow();   // the view and the popup go with it
    }
    // Page count as the printer got it.
    int PrintedPageCount() const
    {
        const std::string ps = Printed();
        int n = 0;
        for (size_t at = ps.find("%%Page: "); at != std::string::npos; at = ps.find("%%Page: ", at + 1))
            ++n;
        return n;
    }
    std::string Printed() const
    {
        std::string text;
        if (FILE* f = fopen(output.c_str(), "rb")) {
            char buffer[4096];
            size_t n;
            while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
                text.append(buffer, n);
            fclose(f);
        }
        return text;
    }
};

}  // namespace

TEST(PrintPath, DirectPrintDrawsOnePageOnThePrinterFromThePaperCorner)
{
    PrintFixture f;
    ASSERT_NE(UseTestPrinter(f.output.c_str()), nullptr);
    f.view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);

    EXPECT_EQ(f.view->PrintedPages(), 1);   // no page count known: one page
    EXPECT_EQ(f.view->m_begun, 1);
    EXPECT_EQ(f.view->m_ended, 1);
    EXPECT_EQ(f.view->m_page, CSize(2479, 3508));
    ASSERT_EQ(f.view->m_origins.size(), 1u);
    EXPECT_EQ(f.view->m_origins[0], CPoint(0, 0));   // scrolled on screen, not on paper
    ASSERT_TRUE(WaitFor([&] { return f.Printed().find("%%EOF") != std::string::npos; }, 10000));
    const std::string ps = f.Printed();
    EXPECT_NE(ps.find("%%Page: 1 1"), std::string::npos);
    EXPECT_EQ(ps.find("%%Page: 2"), std::string::npos);
}

TEST(PrintPath, PrintDialogOkPrintsAndCancelPrintsNothing)
{
    PrintFixture f;
    ASSERT_NE(UseTestPrinter(f.output.c_str()), nullptr);
    {
        DialogWatcher cancel(IDCANCEL);
        f.view->SendMessage(WM_COMMAND, ID_FILE_PRINT, 0);
        EXPECT_EQ(cancel.Count(), 1);
    }
    EXPECT_EQ(f.view->PrintedPages(), 0);
    EXPECT_EQ(f.view->m_begun, 0);

    DialogWatcher ok(IDOK);
    f.view->SendMessage(WM_COMMAND, ID_FILE_PRINT, 0);
    EXPECT_EQ(ok.Count(), 1);
    EXPECT_EQ(f.view->PrintedPages(), 1);
    EXPECT_TRUE(WaitFor([&] { return f.Printed().find("%%Page: 1 1") != std::string::npos; }, 10000));
}

namespace {

// An application object for a test, as a program has one: it keeps the printer choice.
struct AppForTest {
    CWinApp app{L"printtest"};
    AppForTest() { app.m_nThreadID = GetCurrentThreadId(); }
};

// The print-setup dialog's orientation buttons (the system dialog's own ids).
const int kPortrait = 0x420;
const int kLandscape = 0x421;

// Chooses landscape in the setup dialog, then presses button; 0 when the dialog had no
// orientation to choose (not the setup dialog).
DialogWatcher::Rule ChooseLandscapeThen(int button)
{
    return [button](const SeenDialog& d) {
        HWND landscape = GetDlgItem(d.hwnd, kLandscape);
        if (GetDlgItem(d.hwnd, kPortrait) == nullptr || landscape == nullptr)
            return IDCANCEL;
        SendMessageW(landscape, BM_CLICK, 0, 0);
        return button;
    };
}

// The page area's pixels as they are on the screen.
struct Shot {
    int w = 0, h = 0;
    std::vector<DWORD> bits;
    explicit Shot(HWND hwnd)
    {
        RECT r;
        GetClientRect(hwnd, &r);
        w = r.right;
        h = r.bottom;
        HDC src = GetDC(hwnd);
        bits = GrabPixels(src, 0, 0, w, h);
        ReleaseDC(hwnd, src);
        bits.resize((size_t)w * h);
    }
    COLORREF At(int x, int y) const
    {
        const DWORD v = bits[(size_t)y * w + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
};

// Points of the shown page whose paper position lies at least `edge` paper pixels from
// the quadrant borders and the page's edge, whose colour differs from the page's.
int MismatchedPoints(const CPrintProbeView& view, const CRect& shown, const Shot& shot, UINT page)
{
    const int edge = 40;
    int bad = 0;
    for (int j = 1; j < 24; ++j)
        for (int i = 1; i < 24; ++i) {
            const int x = shown.left + shown.Width() * i / 24, y = shown.top + shown.Height() * j / 24;
            const int px = (x - shown.left) * view.m_page.cx / shown.Width();
            const int py = (y - shown.top) * view.m_page.cy / shown.Height();
            if (abs(px - view.m_page.cx / 2) < edge || abs(py - view.m_page.cy / 2) < edge || px < edge ||
                py < edge || px > view.m_page.cx - edge || py > view.m_page.cy - edge)
                continue;
            if (x < 0 || y < 0 || x >= shot.w || y >= shot.h)
                continue;
            if (shot.At(x, y) != view.Expected(px, py, page))
                ++bad;
        }
    return bad;
}

CPrintPreviewWnd* OpenPreview(PrintFixture& f)
{
    f.view->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
    CPrintPreviewWnd* preview = f.view->m_pPreviewWnd;
    if (preview != nullptr) {
        preview->UpdateWindow();
        preview->GetPageArea()->UpdateWindow();
        PumpMessagesFor(200);
    }
    return preview;
}

void Press(CPrintPreviewWnd* preview, int id)
{
    preview->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(preview->m_hWnd, id));
}

}  // namespace

TEST(PrintSetup, TheChosenPageIsWhatTheNextPrintUsesAndCancelChangesNothing)
{
    PrintFixture f;
    ASSERT_NE(UseTestPrinter(f.output.c_str()), nullptr);
    AppForTest t;
    // Landscape chosen, then the button: what was pressed in the one setup dialog shown.
    auto setup = [&](int button) {
        DialogWatcher watcher(ChooseLandscapeThen(button));
        t.app.OnFilePrintSetup();
        return watcher.Count() == 1 ? watcher.Dialogs()[0].pressed : -1;
    };
    // Cancelled: the next print is as before.
    EXPECT_EQ(setup(IDCANCEL), IDCANCEL);
    f.view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    EXPECT_EQ(f.view->m_page, CSize(2479, 3508));

    EXPECT_EQ(setup(IDOK), IDOK);
    f.view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    EXPECT_EQ(f.view->m_page, CSize(3508, 2479));
    // The print dialog starts from the same choice, and its OK keeps it.
    {
        DialogWatcher ok(IDOK);
        f.view->SendMessage(WM_COMMAND, ID_FILE_PRINT, 0);
        EXPECT_EQ(ok.Count(), 1);
    }
    EXPECT_EQ(f.view->m_page, CSize(3508, 2479));
    EXPECT_TRUE(WaitFor([&] { return f.PrintedPageCount() == 1; }, 10000));
}

TEST(PrintPreview, ShowsThePrintedPageScaledAndGivesTheWindowBackAsItWas)
{
    PrintFixture f;
    ASSERT_NE(UseTestPrinter(f.output.c_str()), nullptr);
    f.view->m_quadrants = TRUE;
    CPrintPreviewWnd* preview = OpenPreview(f);
    ASSERT_NE(preview, nullptr);
    const HWND hPreview = preview->m_hWnd;
    EXPECT_TRUE(IsWindowVisible(hPreview));
    EXPECT_EQ(GetWindow(hPreview, GW_OWNER), f.parent.m_hWnd);
    EXPECT_FALSE(f.popup.IsWindowVisible());   // stepped aside
    EXPECT_EQ(f.view->m_begun, 1);
    EXPECT_EQ(f.view->m_page, CSize(2479, 3508));   // drawn for the printer
    EXPECT_EQ(preview->GetPaperSize(), CSize(2479, 3508));

    // The whole page, at the paper's proportions, coloured as printed.
    const CRect shown = preview->GetPageRect();
    EXPECT_NEAR(shown.Width() * 3508.0 / 2479.0, shown.Height(), 2.0);
    EXPECT_GT(shown.Height(), 100);
    EXPECT_EQ(MismatchedPoints(*f.view, shown, Shot(preview->GetPageArea()->m_hWnd), 1), 0);
    SaveScreenshot(hPreview, "framework_print_preview");
    // One page known: nothing to go to.
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hPreview, CPrintPreviewWnd::idNext)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hPreview, CPrintPreviewWnd::idPrev)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hPreview, CPrintPreviewWnd::idZoomOut)));

    // Closer: twice the size, still the printed colours where it shows.
    Press(preview, CPrintPreviewWnd::idZoomIn);
    preview->GetPageArea()->UpdateWindow();
    const CRect closer = preview->GetPageRect();
    EXPECT_NEAR(closer.Width(), shown.Width() * 2, 2);
    EXPECT_EQ(MismatchedPoints(*f.view, closer, Shot(preview->GetPageArea()->m_hWnd), 1), 0);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hPreview, CPrintPreviewWnd::idZoomOut)));
    Press(preview, CPrintPreviewWnd::idZoomOut);
    EXPECT_EQ(preview->GetPageRect(), shown);

    // Nothing was printed; the page was drawn once, however often it was shown.
    EXPECT_EQ(f.view->m_pagesDrawn.size(), 1u);
    Press(preview, CPrintPreviewWnd::idClose);
    EXPECT_FALSE(IsWindow(hPreview));
    EXPECT_EQ(f.view->m_pPreviewWnd, nullptr);
    EXPECT_EQ(f.view->m_ended, 1);
    EXPECT_TRUE(f.popup.IsWindowVisible());
    // Back above its owner, where it was.
    HWND above = f.popup.m_hWnd;
    bool popupAboveParent = false;
    for (HWND h = GetWindow(above, GW_HWNDNEXT); h != nullptr; h = GetWindow(h, GW_HWNDNEXT))
        if (h == f.parent.m_hWnd)
            popupAboveParent = true;
    EXPECT_TRUE(popupAboveParent);
    // And painted on the screen, not just marked visible.
    RECT pr;
    GetWindowRect(f.popup.m_hWnd, &pr);
    EXPECT_TRUE(WaitFor([&] {
        HDC screen = GetDC(nullptr);
        const COLORREF c = GetPixel(screen, (pr.left + pr.right) / 2, (pr.top + pr.bottom) / 2);
        ReleaseDC(nullptr, screen);
        return c == RGB(192, 192, 192);
    }, 3000));
    EXPECT_EQ(f.PrintedPageCount(), 0);
}

TEST(PrintPreview, PagesOfTheJobAndItsPrintButton)
{
    PrintFixture f;
    ASSERT_NE(UseTestPrinter(f.output.c_str()), nullptr);
    f.view->m_quadrants = TRUE;
    f.view->m_maxPage = 2;
    CPrintPreviewWnd* preview = OpenPreview(f);
    ASSERT_NE(preview, nullptr);
    const HWND hPreview = preview->m_hWnd;
    EXPECT_EQ(preview->GetCurrentPage(), 1u);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hPreview, CPrintPreviewWnd::idNext)));
    Press(preview, CPrintPreviewWnd::idNext);
    preview->GetPageArea()->UpdateWindow();
    EXPECT_EQ(preview->GetCurrentPage(), 2u);
    EXPECT_EQ(MismatchedPoints(*f.view, preview->GetPageRect(), Shot(preview->GetPageArea()->m_hWnd), 2), 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hPreview, CPrintPreviewWnd::idNext)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hPreview, CPrintPreviewWnd::idPrev)));
    Press(preview, CPrintPreviewWnd::idPrev);
    EXPECT_EQ(preview->GetCurrentPage(), 1u);

    // Print: the preview makes way for the print dialog, whose OK prints both pages.
    DialogWatcher ok(IDOK);
    Press(preview, CPrintPreviewWnd::idPrint);
    EXPECT_FALSE(IsWindow(hPreview));
    EXPECT_TRUE(f.popup.IsWindowVisible());
    EXPECT_TRUE(ok.WaitForCount(1, 10000));
    EXPECT_TRUE(WaitFor([&] { return f.PrintedPageCount() == 2; }, 10000));
}

// The printer the program chose has gone: the preview and a direct print say so and
// open or print nothing (none of them shows a dialog that could say it instead).
TEST(PrintPreview, APrinterThatHasGoneIsSaidAndNothingOpens)
{
    PrintFixture f;
    ASSERT_NE(UseTestPrinter(f.output.c_str()), nullptr);
    AppForTest t;
    const WCHAR names[] = L"winspool\0No Such Printer\0nowhere\0";
    const size_t offset = sizeof(DEVNAMES) / sizeof(WCHAR);
    t.app.m_hDevNames = GlobalAlloc(GHND, sizeof(DEVNAMES) + sizeof names);
    DEVNAMES* dn = (DEVNAMES*)GlobalLock(t.app.m_hDevNames);
    dn->wDriverOffset = (WORD)offset;
    dn->wDeviceOffset = (WORD)(offset + 9);
    dn->wOutputOffset = (WORD)(offset + 9 + 16);
    memcpy((WCHAR*)dn + offset, names, sizeof names);
    GlobalUnlock(t.app.m_hDevNames);

    for (UINT command : {ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_DIRECT}) {
        DialogWatcher said(IDOK);
        f.view->SendMessage(WM_COMMAND, command, 0);
        EXPECT_EQ(said.Count(), 1) << command;
        EXPECT_EQ(f.view->m_pPreviewWnd, nullptr);
        EXPECT_EQ(f.view->m_begun, 0);
    }
    EXPECT_EQ(f.PrintedPageCount(), 0);
}
