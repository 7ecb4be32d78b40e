// The print path: a view's print commands through the print dialog (or the default
// printer) onto the test prefix's PostScript printer, page by page through OnDraw.
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
    CSize m_page = CSize(0, 0);
    int m_begun = 0, m_ended = 0;

    virtual void OnDraw(CDC* pDC) override
    {
        m_drawnPrinting.push_back(pDC->IsPrinting());
        if (!pDC->IsPrinting())
            return;
        m_origins.push_back(pDC->GetViewportOrg());
        m_page = CSize(pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES));
        pDC->Rectangle(100, 100, 1200, 900);
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
    CPrintProbeView* view = nullptr;

    PrintFixture()
    {
        output = ScreenshotDir() + "/framework_print.ps";
        remove(output.c_str());
        parent.CreateEx(0, AfxRegisterWndClass(0), L"print", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, NULL, NULL);
        view = new CPrintProbeView;
        view->Create(NULL, L"", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, CRect(0, 0, 300, 200), &parent, 1);
        view->SetScrollSizes(MM_TEXT, CSize(2000, 2000));
        view->ScrollToPosition(CPoint(150, 250));
    }
    ~PrintFixture()
    {
        parent.DestroyWindow();   // the view goes with its window
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
