// The print layout (preview geometry, zoom modes, the printed page) and the comparison
// panes and window, on plain parents with the strip's list and the frame as fakes.
#include "PanelSupport.h"
#include "support/gtest.h"
#include "support/testprinter.h"
#include "support/wintest.h"

#include "app/browse/ThumbnailListCtrl.h"
#include "app/image/CompareWindow.h"
#include "app/image/ComparePane.h"
#include "app/image/ImageStringIds.h"
#include "app/image/PrintLayoutDialog.h"
#include "app/shell/DravenluxView.h"
#include "app/shell/MainFrame.h"
#include "app/shell/ShellLinks.h"
#include "xImage.h"

#include <memory>
#include <vector>

namespace {

// A 32-bit top-down page to draw on, white at first.
class Canvas
{
public:
    Canvas(int width, int height) : m_width(width), m_height(height)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        HDC screen = ::GetDC(nullptr);
        m_hdc = ::CreateCompatibleDC(screen);
        ::ReleaseDC(nullptr, screen);
        m_bitmap = ::CreateDIBSection(m_hdc, &bi, DIB_RGB_COLORS, (void**)&m_bits, nullptr, 0);
        m_old = ::SelectObject(m_hdc, m_bitmap);
        m_dc.Attach(m_hdc);
        for (int i = 0; i < width * height; ++i)
            m_bits[i] = 0xFFFFFF;
    }
    ~Canvas()
    {
        m_dc.Detach();
        ::SelectObject(m_hdc, m_old);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_hdc);
    }
    CDC* DC() { return &m_dc; }
    COLORREF At(int x, int y) const
    {
        ::GdiFlush();
        const DWORD v = m_bits[y * m_width + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width, m_height;
    HDC m_hdc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    DWORD* m_bits = nullptr;
    CDC m_dc;
};

CString WriteFlat(const TempDir& dir, LPCWSTR name, int w, int h, COLORREF color)
{
    CxImage image;
    image.Create(w, h, 24, CXIMAGE_FORMAT_BMP);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.SetPixelColor(x, y, RGBQUAD{GetBValue(color), GetGValue(color), GetRValue(color), 0});
    const CString path = dir.File(name);
    image.Save((LPCWSTR)path, CXIMAGE_FORMAT_BMP);
    return path;
}

class ListedFiles : public CThumbnailListCtrl
{
public:
    void GetFileNames(std::vector<CString>& out) override { out = files; }
    std::vector<CString> files;
};

// The printer page of an A4 sheet at 300 dots per inch.
class A4Store : public CImageStore
{
public:
    void ReadPrinterPage(CDC*, int& width, int& height, int& dpiX, int& dpiY) override
    {
        width = 2480;
        height = 3508;
        dpiX = dpiY = 300;
    }
};

const COLORREF kColours[4] = {RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 220), RGB(230, 200, 0)};

class PrintLayout : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Links().store = &store;
        Links().thumbList = &list;
        // A plain window under the frame object: what arrives is recorded, not handled.
        frame.Attach(::CreateWindowW(L"STATIC", L"frame", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
        Links().frame = &frame;
        frameSpy.reset(new MessageSpy(frame.GetSafeHwnd()));
        // Left hidden: the dialog watcher of a test answers visible dialogs only.
        ASSERT_TRUE(dialog.Create(CPrintLayoutDialog::IDD, &parent));
        h = dialog.GetSafeHwnd();
        page = store.GetPrintLayout().pageRect;
        area = CRect(page.left + 20, page.top + 60, page.right - 20, page.bottom - 40);
    }
    void TearDown() override
    {
        if (::IsWindow(h))
            dialog.DestroyWindow();
        frameSpy.reset();
        ::DestroyWindow(frame.Detach());
        store.ClearPrintItems();
    }
    void Add(const CString& path)
    {
        list.files.push_back(path);
        ::SendMessageW(h, WM_PRINT_ADD_IMAGE, list.files.size() - 1, 0);
    }
    // The preview drawn onto a page of the dialog's size.
    void Draw(Canvas& canvas) { store.DrawPrintLayout(canvas.DC()); }
    const PrintItem& Item(int i) { return store.GetPrintLayout().items[i]; }
    static CRect R(const RECT& r) { return CRect(r); }

    ShellLinksScope scope;
    TempDir dir;
    A4Store store;
    ListedFiles list;
    CMainFrame frame;
    std::unique_ptr<MessageSpy> frameSpy;
    PlainParent parent{900, 700};
    CPrintLayoutDialog dialog;
    HWND h = nullptr;
    CRect page, area;
};

TEST_F(PrintLayout, PreviewIsTheFixedPageAndItemsFillTheirCells)
{
    EXPECT_EQ(400, page.Width());
    EXPECT_EQ(574, page.Height());
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(h, IDC_PRINT_PRINT)));
    Canvas canvas(page.right + 10, page.bottom + 10);

    Add(WritePicture(dir, L"one.bmp", 100, 80));
    Draw(canvas);
    EXPECT_EQ(R(area), R(Item(0).cellRect));
    EXPECT_EQ(100, Item(0).zoomPercent);   // no enlargement
    EXPECT_EQ(CRect(area.left + 130, area.top + 197, area.left + 230, area.top + 277), R(Item(0).imageRect));
    EXPECT_EQ(CRect(area.left, area.bottom + 3, area.right, area.bottom + 20), R(Item(0).captionRect));
    EXPECT_EQ(CString(L"one"), Item(0).title);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(h, IDC_PRINT_PRINT)));

    Add(WritePicture(dir, L"two.bmp", 100, 80));
    Draw(canvas);
    EXPECT_EQ(CRect(area.left, area.top, area.right, area.top + 217), R(Item(0).cellRect));
    EXPECT_EQ(CRect(area.left, area.top + 237, area.right, area.top + 454), R(Item(1).cellRect));

    Add(WritePicture(dir, L"three.bmp", 100, 80));
    Draw(canvas);
    EXPECT_EQ(CRect(area.left, area.top + 316, area.right, area.top + 454), R(Item(2).cellRect));

    Add(WritePicture(dir, L"four.bmp", 100, 80));
    Draw(canvas);
    EXPECT_EQ(CRect(area.left, area.top, area.left + 175, area.top + 217), R(Item(0).cellRect));
    EXPECT_EQ(CRect(area.left + 185, area.top, area.left + 360, area.top + 217), R(Item(1).cellRect));
    EXPECT_EQ(CRect(area.left, area.top + 236, area.left + 175, area.top + 453), R(Item(2).cellRect));
    EXPECT_EQ(CRect(area.left + 185, area.top + 236, area.left + 360, area.top + 453), R(Item(3).cellRect));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(h, IDC_PRINT_IMPORT)));
    // The date at the top right of the area, the captions centred under the cells.
    EXPECT_FALSE(store.GetPrintLayout().dateText.IsEmpty());
    dialog.ShowWindow(SW_SHOW);
    dialog.UpdateWindow();
    SaveScreenshot(h, "print_preview");
    dialog.ShowWindow(SW_HIDE);

    // A fifth picture is refused.
    DialogWatcher w(IDOK);
    Add(WritePicture(dir, L"five.bmp", 100, 80));
    ASSERT_EQ(1, w.Count());
    CString full;
    full.LoadString(IDS_PRINT_PAGE_FULL);
    EXPECT_EQ(std::u16string((const char16_t*)(LPCWSTR)full), w.LastText());
    EXPECT_EQ(4u, store.GetPrintLayout().items.size());
}

TEST_F(PrintLayout, StaleListIndexAddsNothing)
{
    list.files.push_back(WritePicture(dir, L"a.bmp", 40, 30));
    ::SendMessageW(h, WM_PRINT_ADD_IMAGE, 1, 0);
    ::SendMessageW(h, WM_PRINT_ADD_IMAGE, WPARAM(-1), 0);
    EXPECT_EQ(0u, store.GetPrintLayout().items.size());
    list.files.push_back(dir.File(L"noextension"));
    ::SendMessageW(h, WM_PRINT_ADD_IMAGE, 1, 0);
    EXPECT_EQ(0u, store.GetPrintLayout().items.size());
}

TEST_F(PrintLayout, FullPageFitsLargePicturesAndFixedZoomWaitsForEnter)
{
    Canvas canvas(page.right + 10, page.bottom + 10);
    Add(WritePicture(dir, L"big.bmp", 1000, 800));
    Draw(canvas);
    EXPECT_EQ(36, Item(0).zoomPercent);   // min(360/1000, 474/800)
    EXPECT_EQ(CRect(area.left, area.top + 93, area.left + 360, area.top + 381), R(Item(0).imageRect));

    ClickCheck(h, IDC_PRINT_FIXED_ZOOM);
    Draw(canvas);
    EXPECT_EQ(100, Item(0).zoomPercent);   // the stored percent
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(h, IDC_PRINT_ZOOM)));
    EXPECT_EQ(CString(L"100"), ItemText(h, IDC_PRINT_ZOOM));
    ::SetDlgItemTextW(h, IDC_PRINT_ZOOM, L"50");
    // A command or timer that carries 13 is no Enter key.
    MSG notKey = {h, WM_COMMAND, 13, 0};
    dialog.PreTranslateMessage(&notKey);
    MSG timer = {h, WM_TIMER, 13, 0};
    dialog.PreTranslateMessage(&timer);
    Draw(canvas);
    EXPECT_EQ(100, Item(0).zoomPercent);
    MSG enter = {::GetDlgItem(h, IDC_PRINT_ZOOM), WM_KEYDOWN, VK_RETURN, 0};
    EXPECT_FALSE(dialog.PreTranslateMessage(&enter));
    Draw(canvas);
    EXPECT_EQ(50, Item(0).zoomPercent);
    EXPECT_TRUE(::IsWindow(h));   // Enter never closes the dialog
    // Out of range is ignored.
    ::SetDlgItemTextW(h, IDC_PRINT_ZOOM, L"801");
    dialog.PreTranslateMessage(&enter);
    Draw(canvas);
    EXPECT_EQ(50, Item(0).zoomPercent);

    ClickCheck(h, IDC_PRINT_FULL_PAGE);
    Draw(canvas);
    EXPECT_EQ(36, Item(0).zoomPercent);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(h, IDC_PRINT_ZOOM)));
}

TEST_F(PrintLayout, NoPicturePaintsOutsideItsCellAtEightHundredPercent)
{
    for (int i = 0; i < 4; ++i) {
        CString name;
        name.Format(L"c%d.bmp", i);
        Add(WriteFlat(dir, name, 60, 40, kColours[i]));
    }
    Canvas canvas(page.right + 10, page.bottom + 10);
    Draw(canvas);   // the preview's paint after the imports
    ClickCheck(h, IDC_PRINT_SHOW_BORDER);
    ClickCheck(h, IDC_PRINT_SHOW_NAME);
    ClickCheck(h, IDC_PRINT_SHOW_TIME);
    ClickCheck(h, IDC_PRINT_FIXED_ZOOM);
    ::SetDlgItemTextW(h, IDC_PRINT_ZOOM, L"800");
    MSG enter = {::GetDlgItem(h, IDC_PRINT_ZOOM), WM_KEYDOWN, VK_RETURN, 0};
    dialog.PreTranslateMessage(&enter);
    Canvas page800(page.right + 10, page.bottom + 10);
    Draw(page800);
    ASSERT_EQ(800, Item(0).zoomPercent);
    int wrong = 0, painted[4] = {0, 0, 0, 0};
    for (int y = 0; y < page800.Height(); ++y)
        for (int x = 0; x < page800.Width(); ++x) {
            const COLORREF c = page800.At(x, y);
            if (c == RGB(255, 255, 255))
                continue;
            int cell = -1;
            for (int i = 0; i < 4; ++i)
                if (R(Item(i).cellRect).PtInRect(CPoint(x, y)))
                    cell = i;
            if (cell < 0 || c != kColours[cell])
                ++wrong;
            else
                ++painted[cell];
        }
    EXPECT_EQ(0, wrong);
    for (int i = 0; i < 4; ++i)
        EXPECT_GT(painted[i], 0) << i;
}

TEST_F(PrintLayout, PrintedPageIsThePreviewScaled)
{
    for (int i = 0; i < 4; ++i) {
        CString name;
        name.Format(L"p%d.bmp", i);
        Add(WriteFlat(dir, name, 120 + 20 * i, 90, kColours[i]));
    }
    Canvas preview(page.right + 10, page.bottom + 10);
    Draw(preview);
    Canvas sheet(2480, 3508);
    store.PrintLayout(sheet.DC());
    for (int i = 0; i < 4; ++i) {
        const CRect shown = R(Item(i).imageRect), printed = R(Item(i).printedImageRect);
        EXPECT_EQ(shown.Width() * 6, printed.Width()) << i;
        EXPECT_EQ(shown.Height() * 6, printed.Height()) << i;
        EXPECT_TRUE(R(Item(i).printedCellRect).PtInRect(printed.CenterPoint()));
        EXPECT_EQ(kColours[i], sheet.At(printed.CenterPoint().x, printed.CenterPoint().y)) << i;
        EXPECT_EQ(kColours[i], preview.At(shown.CenterPoint().x, shown.CenterPoint().y)) << i;
        // Cells keep their place on the sheet to within the scaled margins' rounding.
        const CRect cell = R(Item(i).cellRect);
        EXPECT_NEAR((cell.left - page.left) * 6, Item(i).printedCellRect.left, 60) << i;
        EXPECT_NEAR((cell.top - page.top) * 6, Item(i).printedCellRect.top, 60) << i;
    }
}

TEST_F(PrintLayout, PrintGoesToTheMainViewAndClosingClearsAndTellsTheFrame)
{
    Add(WritePicture(dir, L"a.bmp", 40, 30));
    Links().store = nullptr;   // the view must not make a measurement object here
    CDravenluxView view;
    Links().store = &store;
    view.Attach(::CreateWindowW(L"STATIC", L"view", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    Links().view = &view;
    {
        MessageSpy spy(view.GetSafeHwnd());
        Click(h, IDC_PRINT_PRINT);
        EXPECT_EQ(1, spy.Count(WM_COMMAND));
        EXPECT_EQ(WPARAM(ID_FILE_PRINT), spy.LastWParam(WM_COMMAND));
    }
    ::DestroyWindow(view.Detach());
    Links().view = nullptr;

    Click(h, IDCANCEL);
    EXPECT_TRUE(frameSpy->WaitForMessage(WM_PRINT_DIALOG_CLOSED, 3000));
    EXPECT_EQ(0u, store.GetPrintLayout().items.size());
    EXPECT_FALSE(::IsWindow(h));
}

TEST_F(PrintLayout, PrintPreviewOfTheMainViewIsTheLayoutsPrintedPageScaled)
{
    for (int i = 0; i < 4; ++i) {
        CString name;
        name.Format(L"v%d.bmp", i);
        Add(WriteFlat(dir, name, 200 + 40 * i, 150, kColours[i]));
    }
    PrintLayoutSettings& layout = store.GetPrintLayout();
    layout.showBorder = layout.showFileName = layout.showTime = 0;   // pictures only
    Canvas dialogPage(page.right + 10, page.bottom + 10);
    Draw(dialogPage);
    ASSERT_TRUE(store.OpenFile(list.files[0], 0));   // printing needs a current picture

    const std::string output = ScreenshotDir() + "/layout_preview.ps";
    ASSERT_NE(UseTestPrinter(output.c_str()), nullptr);
    Links().store = nullptr;   // the view must not make a measurement object here
    CDravenluxView* view = new CDravenluxView;
    Links().store = &store;
    ASSERT_TRUE(view->Create(NULL, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), &parent, 1));
    view->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
    CPrintPreviewWnd* preview = view->m_pPreviewWnd;
    ASSERT_NE(preview, nullptr);
    preview->GetPageArea()->UpdateWindow();

    // The printed page, drawn as the printer gets it, against the preview's page.
    Canvas sheet(2480, 3508);
    store.PrintLayout(sheet.DC());
    const CRect shown = preview->GetPageRect();
    const CSize paper = preview->GetPaperSize();
    ASSERT_GT(shown.Width(), 100);
    HWND area = preview->GetPageArea()->m_hWnd;
    HDC hdc = ::GetDC(area);
    const int reach = 2 * paper.cx / shown.Width() + 2;   // paper pixels one shown pixel may mix
    int checked = 0, bad = 0;
    std::vector<int> seen(4, 0);
    for (int y = shown.top + 1; y < shown.bottom - 1; y += 3)
        for (int x = shown.left + 1; x < shown.right - 1; x += 3) {
            const int px = (x - shown.left) * paper.cx / shown.Width();
            const int py = (y - shown.top) * paper.cy / shown.Height();
            const COLORREF want = sheet.At(px, py);
            bool uniform = px >= reach && py >= reach && px + reach < sheet.Width() && py + reach < sheet.Height();
            for (int d = -reach; uniform && d <= reach; d += reach)
                for (int e = -reach; uniform && e <= reach; e += reach)
                    uniform = sheet.At(px + d, py + e) == want;
            if (!uniform)
                continue;
            ++checked;
            const COLORREF got = ::GetPixel(hdc, x, y) & 0xFFFFFF;
            if (got != want)
                ++bad;
            for (int i = 0; i < 4; ++i)
                seen[i] += want == kColours[i];
        }
    ::ReleaseDC(area, hdc);
    EXPECT_EQ(0, bad) << "of " << checked;
    for (int i = 0; i < 4; ++i)
        EXPECT_GT(seen[i], 20) << i;   // every picture shows on the page
    const HWND hPreview = preview->GetSafeHwnd();
    PumpMessagesFor(300);   // the bar's buttons paint too
    SaveScreenshot(hPreview, "print_layout_preview");

    view->DestroyWindow();   // the preview goes with its view
    EXPECT_FALSE(::IsWindow(hPreview));
}

TEST(PrintedPage, NothingIsPrintedBeforeTheLayoutHasAPage)
{
    TempDir dir;
    A4Store store;
    ASSERT_TRUE(store.AddPrintItem(WriteFlat(dir, L"a.bmp", 40, 30, RGB(10, 10, 10))));
    Canvas sheet(300, 300);
    store.PrintLayout(sheet.DC());
    store.DrawPrintLayout(sheet.DC());
    for (int y = 0; y < 300; y += 7)
        for (int x = 0; x < 300; x += 7)
            ASSERT_EQ(RGB(255, 255, 255), sheet.At(x, y));
    store.ClearPrintItems();
}

// Comparison panes.
class Comparing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Links().thumbList = &list;
        ASSERT_TRUE(pane.Create(CComparePane::IDD, &parent));
        pane.ModifyStyle(WS_POPUP, WS_CHILD);
        pane.SetParent(&parent);
        pane.MoveWindow(0, 0, 400, 300);
        pane.ShowWindow(SW_SHOW);
    }
    CRect Picture()
    {
        CRect r;
        pane.GetDlgItem(IDC_COMPARE_PICTURE)->GetWindowRect(&r);
        pane.ScreenToClient(&r);
        return r;
    }
    SCROLLINFO Bar(int bar)
    {
        SCROLLINFO si = {sizeof si};
        si.fMask = SIF_ALL;
        ::GetScrollInfo(pane.GetSafeHwnd(), bar, &si);
        return si;
    }

    ShellLinksScope scope;
    TempDir dir;
    ListedFiles list;
    PlainParent parent;
    CComparePane pane;
};

TEST_F(Comparing, PictureSizeScrollRangesPagingAndDragging)
{
    ASSERT_TRUE(pane.OpenFile(WritePicture(dir, L"wide.bmp", 1001, 700), 0));
    pane.SetZoom(1.0f);
    EXPECT_EQ(1000, Picture().Width());
    EXPECT_EQ(700, Picture().Height());
    EXPECT_EQ(99, Bar(SB_HORZ).nMax);
    EXPECT_EQ(69, Bar(SB_VERT).nMax);
    pane.Invalidate();
    pane.UpdateWindow();
    SaveScreenshot(pane.GetSafeHwnd(), "compare_pane");

    for (int i = 0; i < 3; ++i)
        ::SendMessageW(pane.GetSafeHwnd(), WM_HSCROLL, SB_LINERIGHT, 0);
    EXPECT_EQ(3, Bar(SB_HORZ).nPos);
    EXPECT_EQ(-30, Picture().left);
    EXPECT_EQ(30, pane.GetScrollOffset().x);
    ::SendMessageW(pane.GetSafeHwnd(), WM_HSCROLL, SB_PAGELEFT, 0);
    EXPECT_EQ(0, Bar(SB_HORZ).nPos);
    EXPECT_EQ(0, Picture().left);
    EXPECT_EQ(0, pane.GetScrollOffset().x);
    ::SendMessageW(pane.GetSafeHwnd(), WM_HSCROLL, SB_LINELEFT, 0);
    EXPECT_EQ(0, Bar(SB_HORZ).nPos);
    ::SendMessageW(pane.GetSafeHwnd(), WM_HSCROLL, SB_RIGHT, 0);
    const SCROLLINFO top = Bar(SB_HORZ);
    EXPECT_EQ(top.nMax - (int)top.nPage + 1, top.nPos);
    ::SendMessageW(pane.GetSafeHwnd(), WM_HSCROLL, SB_LEFT, 0);

    // The pointer 120 px left of the press point: 2 positions a move, picture to the left.
    ::SendMessageW(pane.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 150));
    ::SendMessageW(pane.GetSafeHwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(180, 150));
    EXPECT_EQ(2, Bar(SB_HORZ).nPos);
    EXPECT_EQ(-20, Picture().left);
    ::SendMessageW(pane.GetSafeHwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(180, 150));
    EXPECT_EQ(4, Bar(SB_HORZ).nPos);
    // Below the press point by 49 px: less than one position.
    ::SendMessageW(pane.GetSafeHwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 199));
    EXPECT_EQ(0, Bar(SB_VERT).nPos);
    // Without the button nothing scrolls.
    ::SendMessageW(pane.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
    EXPECT_EQ(4, Bar(SB_HORZ).nPos);
}

TEST_F(Comparing, PaintShowsASmallPictureCentredOnGreyAndALargeOneScrolled)
{
    auto shown = [&](int x, int y) {
        pane.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        CClientDC dc(&pane);
        return dc.GetPixel(x, y);
    };
    CRect client;
    ASSERT_TRUE(pane.OpenFile(WriteFlat(dir, L"small.bmp", 40, 30, RGB(0, 0, 220)), 0));
    pane.SetZoom(1.0f);
    pane.GetClientRect(&client);
    EXPECT_EQ(RGB(0, 0, 220), shown(client.CenterPoint().x, client.CenterPoint().y));
    EXPECT_EQ(RGB(189, 189, 189), shown(client.CenterPoint().x - 25, client.CenterPoint().y));
    EXPECT_EQ(RGB(189, 189, 189), shown(2, 2));

    ASSERT_TRUE(pane.OpenFile(WritePicture(dir, L"large.bmp", 1000, 700), 0));
    pane.SetZoom(1.0f);
    const COLORREF at30 = shown(30, 10);
    ASSERT_NE(at30, shown(0, 10));
    for (int i = 0; i < 3; ++i)
        ::SendMessageW(pane.GetSafeHwnd(), WM_HSCROLL, SB_LINERIGHT, 0);
    EXPECT_EQ(at30, shown(0, 10));
}

TEST_F(Comparing, SelectedThumbnailIsJudgedByItsExtension)
{
    TempDir outer;
    const CString folder = outer.File(L"x.raw");
    ::CreateDirectoryW(folder, nullptr);
    const CString inside = folder + L"\\cells.bmp";
    {
        CxImage image;
        image.Create(64, 48, 24, CXIMAGE_FORMAT_BMP);
        ASSERT_TRUE(image.Save((LPCWSTR)inside, CXIMAGE_FORMAT_BMP));
    }
    list.files = {inside};
    EXPECT_NE(0, pane.OpenSelectedThumbnail());
    EXPECT_TRUE(pane.GetStore()->HasImage());

    list.files = {dir.File(L"frames.RAW")};
    EXPECT_EQ(0, pane.OpenSelectedThumbnail());
    EXPECT_FALSE(pane.GetStore()->HasImage());
    EXPECT_EQ(0, Picture().Width());
    list.files.clear();
    EXPECT_EQ(0, pane.OpenSelectedThumbnail());
    ::DeleteFileW(inside);
    ::RemoveDirectoryW(folder);
}

TEST(CompareWindow, LayoutCodesMakeTwoFourOrNoPanes)
{
    PlainParent parent(800, 600);
    CCompareWindow window;
    ASSERT_TRUE(window.Create(CCompareWindow::IDD, &parent));
    window.MoveWindow(0, 0, 801, 601);
    window.ShowWindow(SW_SHOW);
    CRect client;
    window.GetClientRect(&client);
    const int w = client.Width() / 2, h = client.Height() / 2;
    std::vector<CComparePane*> panes;
    auto placed = [&](int i) {
        CRect r;
        panes[i]->GetWindowRect(&r);
        window.ScreenToClient(&r);
        return r;
    };

    ASSERT_EQ(1, window.CreatePanes(1));
    window.GetPanes(panes);
    ASSERT_EQ(2u, panes.size());
    EXPECT_EQ(CRect(0, 0, w, client.Height()), placed(0));
    EXPECT_EQ(CRect(w, 0, 2 * w, client.Height()), placed(1));

    ASSERT_EQ(1, window.CreatePanes(2));
    window.GetPanes(panes);
    ASSERT_EQ(4u, panes.size());
    EXPECT_EQ(CRect(w, h, 2 * w, 2 * h), placed(3));
    EXPECT_EQ(CRect(0, h, w, 2 * h), placed(2));
    SaveScreenshot(window.GetSafeHwnd(), "compare_window");

    EXPECT_EQ(1, window.CreatePanes(3));
    window.GetPanes(panes);
    EXPECT_TRUE(panes.empty());
    EXPECT_EQ(3, window.GetLayout());

    // Planned panes wait until they are first asked for, then come placed as made ones.
    window.PlanPanes(2);
    EXPECT_TRUE(window.m_panes.empty());
    EXPECT_EQ(2, window.GetLayout());
    window.GetPanes(panes);
    ASSERT_EQ(4u, panes.size());
    EXPECT_EQ(CRect(w, h, 2 * w, 2 * h), placed(3));
    EXPECT_EQ(&window, panes[0]->GetParent());
    window.PlanPanes(1);   // a new plan drops what the old one made
    EXPECT_TRUE(window.m_panes.empty());
    window.GetPanes(panes);
    EXPECT_EQ(2u, panes.size());
    window.DestroyPanes();
    window.DestroyWindow();
}

}  // namespace
