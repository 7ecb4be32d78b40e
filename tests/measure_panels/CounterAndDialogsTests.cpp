// The cell counter panel, the ruler look dialog and the grid settings dialog, each on a
// plain parent over the process-wide store; modal dialogs answered by the watcher.
#include "PanelSupport.h"
#include "support/gtest.h"
#include "support/wintest.h"

#include "app/capture/OverlayWnd.h"
#include "app/measure/AuxToolsDialog.h"
#include "app/measure/CounterPanel.h"
#include "app/measure/LayersDialog.h"
#include "app/measure/MeasurePanel.h"
#include "app/measure/MeasureStringIds.h"
#include "app/measure/RulerPropsDialog.h"
#include "app/shell/ShellLinks.h"
#include "external/measure/QrMeasure.h"

#include <shlobj.h>
#include <commdlg.h>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string ReadAll(LPCWSTR path)
{
    std::string out;
    HANDLE h = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return out;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0)
        out.append(buffer, got);
    ::CloseHandle(h);
    return out;
}

// The export path comes from the test instead of the file dialog.
class ChosenPathCounter : public CCounterPanel
{
public:
    CString chosen;
    int asked = 0;

protected:
    BOOL AskExportPath(CString& path) override
    {
        ++asked;
        path = chosen;
        return !chosen.IsEmpty();
    }
};

class Counting : public ::testing::Test
{
protected:
    void SetUp() override
    {
        picture = WritePicture(dir, L"cells.bmp", 200, 150);
        store = FreshStore(picture);
        store->ClearCounters();
        Links().store = store;
        Links().doc = &doc;
        Links().layers = &layers;
        ASSERT_TRUE(layers.Create(CLayersDialog::IDD, &parent));
        ASSERT_TRUE(panel.Create(CCounterPanel::IDD, &parent));
        panel.ShowWindow(SW_SHOW);
        h = panel.GetSafeHwnd();
    }
    void TearDown() override
    {
        panel.DestroyWindow();
        layers.DestroyWindow();
    }
    // A click on the picture in the view, forwarded as the main view does.
    void ClickPicture(int x, int y)
    {
        const CRect r = store->GetImageRect();
        store->OnMeasureLButtonDown(MeasureView(), r.left + x, r.top + y, 0, 0);
        store->OnMeasureLButtonUp(MeasureView(), r.left + x, r.top + y, 0, 0);
    }

    ShellLinksScope scope;
    TempDir dir;
    CString picture;
    CImageStore* store = nullptr;
    PlainParent parent;
    CDravenluxDoc doc;
    CLayersDialog layers;
    ChosenPathCounter panel;
    HWND h = nullptr;
};

TEST_F(Counting, ClicksCountPerClassWithSharesAndTotal)
{
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(h, IDC_COUNTER_START)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(h, IDC_COUNTER_CLASS0)));
    Click(h, IDC_COUNTER_START);
    EXPECT_EQ(1, panel.IsCounting());
    EXPECT_EQ(MODE_MEASURE, doc.InteractionMode);
    EXPECT_EQ(CQrMeasure::ToolCounter, store->GetToolId());
    EXPECT_EQ(2, store->GetLayerCount());   // counted on a work layer
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(h, IDC_COUNTER_START)));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(h, IDC_COUNTER_CLASS0)));
    EXPECT_EQ(CString(L"0.0%"), ItemText(h, IDC_COUNTER_TOTAL_SHARE));

    ClickPicture(10, 10);
    Click(h, IDC_COUNTER_CLASS0 + 2);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(h, IDC_COUNTER_CLASS0 + 2));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(h, IDC_COUNTER_CLASS0));
    ClickPicture(20, 20);
    ClickPicture(30, 30);
    ASSERT_TRUE(WaitFor([&] { return ItemText(h, IDC_COUNTER_TOTAL_COUNT) == L"3"; }, 3000));
    EXPECT_EQ(CString(L"1"), ItemText(h, IDC_COUNTER_COUNT0));
    EXPECT_EQ(CString(L"2"), ItemText(h, IDC_COUNTER_COUNT0 + 2));
    EXPECT_EQ(CString(L"33.3%"), ItemText(h, IDC_COUNTER_SHARE0));
    EXPECT_EQ(CString(L"66.7%"), ItemText(h, IDC_COUNTER_SHARE0 + 2));
    EXPECT_EQ(CString(L"0.0%"), ItemText(h, IDC_COUNTER_SHARE0 + 1));
    EXPECT_EQ(CString(L"100.0%"), ItemText(h, IDC_COUNTER_TOTAL_SHARE));

    Click(h, IDC_COUNTER_CLEAR_ALL);
    EXPECT_EQ(0, panel.IsCounting());
    EXPECT_EQ(CString(L"0"), ItemText(h, IDC_COUNTER_TOTAL_COUNT));
    EXPECT_EQ(CString(L"0.0%"), ItemText(h, IDC_COUNTER_TOTAL_SHARE));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(h, IDC_COUNTER_EXPORT)));
    SaveScreenshot(h, "counter_panel");
}

TEST_F(Counting, ATypedNameReachesTheLibraryBeforeCountsAreRead)
{
    Click(h, IDC_COUNTER_START);
    ::SetDlgItemTextW(h, IDC_COUNTER_NAME0 + 1, L"淋巴細胞");
    Click(h, IDC_COUNTER_CLASS0 + 1);
    ClickPicture(15, 15);
    ASSERT_TRUE(WaitFor([&] { return ItemText(h, IDC_COUNTER_COUNT0 + 1) == L"1"; }, 3000));
    std::vector<CString> names;
    std::vector<int> counts;
    std::vector<float> shares;
    int current = -1;
    store->GetCountersInfo(names, counts, shares, current);
    ASSERT_EQ(5u, names.size());
    EXPECT_EQ(CString(L"淋巴細胞"), names[1]);
    EXPECT_EQ(1, current);
    EXPECT_EQ(CString(L"淋巴細胞"), ItemText(h, IDC_COUNTER_NAME0 + 1));
}

TEST_F(Counting, AnotherToolEndsCounting)
{
    Click(h, IDC_COUNTER_START);
    ASSERT_EQ(1, panel.IsCounting());
    store->SelectMeasureTool(CQrMeasure::ToolLine);
    ASSERT_TRUE(WaitFor([&] { return panel.IsCounting() == 0; }, 3000));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(h, IDC_COUNTER_START)));
}

TEST_F(Counting, ExportWritesTheCountsAndReportsAFailure)
{
    Click(h, IDC_COUNTER_START);
    ::SetDlgItemTextW(h, IDC_COUNTER_NAME0, L"紅血球");
    ClickPicture(10, 10);
    ClickPicture(12, 40);
    Click(h, IDC_COUNTER_CLEAR_ALL);   // back to idle, counts gone
    Click(h, IDC_COUNTER_START);
    ClickPicture(10, 10);
    ClickPicture(12, 40);
    ASSERT_TRUE(WaitFor([&] { return ItemText(h, IDC_COUNTER_TOTAL_COUNT) == L"2"; }, 3000));
    store->SelectSelectTool();   // counting ends: export is enabled
    ASSERT_TRUE(WaitFor([&] { return panel.IsCounting() == 0; }, 3000));

    panel.chosen = dir.File(L"結果.xls");
    {
        DialogWatcher none(IDOK);
        Click(h, IDC_COUNTER_EXPORT);
        EXPECT_EQ(0, none.Count());
    }
    const std::string bytes = ReadAll(panel.chosen);
    ASSERT_GT(bytes.size(), 2u);
    const CString text((LPCWSTR)(bytes.data() + 2), int((bytes.size() - 2) / 2));
    EXPECT_GE(text.Find(L"紅血球\t2\t100.0%\r\n"), 0);
    EXPECT_GE(text.Find(L"合計\t2\t100.0%"), 0);

    // A folder that does not exist: the user is told.
    panel.chosen = dir.File(L"missing\\r.xls");
    {
        DialogWatcher told(IDOK);
        Click(h, IDC_COUNTER_EXPORT);
        ASSERT_EQ(1, told.Count());
        CString expected;
        expected.LoadString(IDS_COUNTER_EXPORT_FAILED);
        EXPECT_EQ(std::u16string((const char16_t*)(LPCWSTR)expected), told.LastText());
    }
    // No path chosen: nothing is written, nothing said.
    panel.chosen.Empty();
    const int before = panel.asked;
    {
        DialogWatcher none(IDOK);
        Click(h, IDC_COUNTER_EXPORT);
        EXPECT_EQ(0, none.Count());
    }
    EXPECT_EQ(before + 1, panel.asked);
}

// The double click that ends counting counts nothing: its first press placed a mark,
// which goes again; the panel and the export show the cells clicked.
TEST_F(Counting, DoubleClickThatEndsCountingAddsNothing)
{
    Click(h, IDC_COUNTER_CLEAR_ALL);
    Click(h, IDC_COUNTER_START);
    ClickPicture(10, 10);
    ClickPicture(40, 30);
    ASSERT_TRUE(WaitFor([&] { return ItemText(h, IDC_COUNTER_TOTAL_COUNT) == L"2"; }, 3000));
    // As the view forwards a double click on an empty spot: press, release, double click.
    const CRect r = store->GetImageRect();
    ClickPicture(120, 100);
    store->OnMeasureLButtonDblClk(MeasureView(), r.left + 120, r.top + 100, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return panel.IsCounting() == 0; }, 3000));
    PumpMessagesFor(100);
    EXPECT_EQ(CString(L"2"), ItemText(h, IDC_COUNTER_TOTAL_COUNT));
    std::vector<CString> names;
    std::vector<int> counts;
    std::vector<float> shares;
    int current = -1;
    store->GetCountersInfo(names, counts, shares, current);
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(2, counts[0]);

    // A double click elsewhere than the last mark's press keeps that mark.
    Click(h, IDC_COUNTER_START);
    ClickPicture(60, 60);
    store->OnMeasureLButtonDblClk(MeasureView(), r.left + 150, r.top + 20, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return panel.IsCounting() == 0; }, 3000));
    EXPECT_EQ(CString(L"3"), ItemText(h, IDC_COUNTER_TOTAL_COUNT));
}

// Opening a picture again clears the counters: the panel shows what they hold.
TEST_F(Counting, ReopenedPictureShowsTheCountersHold)
{
    CMeasurePanel measure;
    Links().measurePanel = &measure;
    Links().counter = &panel;
    Click(h, IDC_COUNTER_START);
    ClickPicture(10, 10);
    ClickPicture(40, 30);
    ASSERT_TRUE(WaitFor([&] { return ItemText(h, IDC_COUNTER_TOTAL_COUNT) == L"2"; }, 3000));
    ASSERT_TRUE(doc.OnOpenDocument(picture));
    PumpMessagesFor(100);
    std::vector<CString> names;
    std::vector<int> counts;
    std::vector<float> shares;
    int current = -1;
    store->GetCountersInfo(names, counts, shares, current);
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(0, counts[0]);
    EXPECT_EQ(CString(L"0"), ItemText(h, IDC_COUNTER_COUNT0));
    EXPECT_EQ(CString(L"0"), ItemText(h, IDC_COUNTER_TOTAL_COUNT));
    EXPECT_EQ(0, panel.IsCounting());
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(h, IDC_COUNTER_START)));
    Links().measurePanel = NULL;
    Links().counter = NULL;
}

// The export's save dialog starts beside the picture, not in the program's folder.
TEST(CounterExport, SaveDialogStartsInThePicturesFolder)
{
    ShellLinksScope scope;
    TempDir dir;
    const CString picture = WritePicture(dir, L"p.bmp", 64, 48);
    CImageStore* store = FreshStore(picture);
    ASSERT_TRUE(store->OpenFile(picture, 1));   // as the document opens it
    Links().store = store;
    PlainParent parent;
    CCounterPanel panel;
    ASSERT_TRUE(panel.Create(CCounterPanel::IDD, &parent));
    WCHAR shown[MAX_PATH] = {};
    EXPECT_EQ(panel.ExportFolder(), dir.Path() + L"\\");
    {
        DialogWatcher cancel([&](const SeenDialog& d) {
            ::SendMessageW(d.hwnd, CDM_GETFOLDERPATH, MAX_PATH, (LPARAM)shown);
            return IDCANCEL;
        });
        Click(panel.GetSafeHwnd(), IDC_COUNTER_EXPORT);
        EXPECT_EQ(1, cancel.Count()) << cancel.Count();
    }
    CString folder = shown;
    folder.TrimRight(L'\\');
    EXPECT_EQ(0, folder.CompareNoCase(dir.Path())) << folder.GetLength();
    panel.DestroyWindow();
}

TEST(CounterExport, CancelledFileDialogWritesNothing)
{
    ShellLinksScope scope;
    TempDir dir;
    CImageStore* store = FreshStore(WritePicture(dir, L"p.bmp", 64, 48));
    Links().store = store;
    PlainParent parent;
    CCounterPanel panel;
    ASSERT_TRUE(panel.Create(CCounterPanel::IDD, &parent));
    WCHAR before[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, before);
    ::SetCurrentDirectoryW(dir.Path());
    {
        DialogWatcher cancel(IDCANCEL);
        Click(panel.GetSafeHwnd(), IDC_COUNTER_EXPORT);
        EXPECT_EQ(1, cancel.Count());
    }
    ::SetCurrentDirectoryW(before);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(dir.File(L"Result.xls")));
    panel.DestroyWindow();
}

// The ruler look: every change reaches the store and asks the live overlay to redraw.
class RulerLook : public ::testing::Test
{
protected:
    void SetUp() override
    {
        store = FreshStore(WritePicture(dir, L"p.bmp", 300, 200));
        Links().store = store;
        ASSERT_TRUE(overlay.Create(COverlayWnd::IDD, &parent));
        Links().overlay = &overlay;
        spy.reset(new MessageSpy(overlay.GetSafeHwnd()));
    }
    void TearDown() override
    {
        spy.reset();
        overlay.DestroyWindow();
    }
    static void DblClickCentre(HWND dialog, int id)
    {
        RECT r;
        ::GetWindowRect(::GetDlgItem(dialog, id), &r);
        POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ::ScreenToClient(dialog, &p);
        ::PostMessageW(dialog, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    }

    ShellLinksScope scope;
    TempDir dir;
    CImageStore* store = nullptr;
    PlainParent parent;
    COverlayWnd overlay;
    std::unique_ptr<MessageSpy> spy;
};

TEST_F(RulerLook, DefaultRecentresADraggedCross)
{
    const CRect image = store->GetImageRect();
    store->SetRulerPosition(image.left + 10, image.top + 12);
    ASSERT_NE(image.CenterPoint(), store->GetRulerCentre());
    RulerAttributes odd;
    store->GetRulerAttributes(odd);
    odd.transparentBK = 0;
    odd.pen.lopnColor = RGB(0, 200, 0);
    store->SetRulerAttributes(odd);
    DialogWatcher w([](const SeenDialog& d) {
        ::RedrawWindow(d.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        SaveScreenshot(d.hwnd, "ruler_props_dialog");
        ::SendMessageW(d.hwnd, WM_COMMAND, MAKEWPARAM(IDC_RULER_DEFAULT, BN_CLICKED), 0);
        return IDC_RULER_CANCEL;
    });
    CRulerPropsDialog dialog(&parent);
    dialog.DoModal();
    EXPECT_EQ(1, w.Count());
    EXPECT_EQ(image.CenterPoint(), store->GetRulerCentre());
    RulerAttributes now;
    store->GetRulerAttributes(now);
    EXPECT_EQ(1u, now.transparentBK);
    EXPECT_EQ(0u, now.pen.lopnColor);
    EXPECT_EQ(0xFEFFFFu, now.brush.lbColor);
    EXPECT_TRUE(spy->WaitForMessage(0xA01, 3000));
}

TEST_F(RulerLook, CancelledColourDialogKeepsTheColourAndStillRedraws)
{
    RulerAttributes before;
    store->GetRulerAttributes(before);
    before.pen.lopnColor = RGB(10, 20, 30);
    store->SetRulerAttributes(before);
    HWND ruler = nullptr;
    DialogWatcher w([&](const SeenDialog& d) {
        if (ruler == nullptr) {
            ruler = d.hwnd;
            ::SetWindowTextW(d.hwnd, L"ruler");
            DblClickCentre(d.hwnd, IDC_RULER_COLOR_SWATCH);
            return 0;
        }
        // The colour dialog: cancelled, then the ruler dialog closed.
        ::PostMessageW(d.hwnd, WM_COMMAND, IDCANCEL, 0);
        ::PostMessageW(ruler, WM_COMMAND, MAKEWPARAM(IDC_RULER_CANCEL, BN_CLICKED), 0);
        return 0;
    });
    CRulerPropsDialog dialog(&parent);
    spy->Clear();
    dialog.DoModal();
    EXPECT_EQ(2, w.Count());
    RulerAttributes after;
    store->GetRulerAttributes(after);
    EXPECT_EQ(RGB(10, 20, 30), after.pen.lopnColor);
    EXPECT_GE(spy->Count(0xA01) + (spy->WaitForMessage(0xA01, 2000) ? 1 : 0), 1);
}

TEST_F(RulerLook, AttributeFileHoldsTheThreeKeys)
{
    const CString path = CImageStore::RulerAttributesFile();
    ASSERT_FALSE(path.IsEmpty());
    ::SHCreateDirectoryExW(nullptr, path.Left(path.ReverseFind(L'\\')), nullptr);
    RulerAttributes a;
    store->GetRulerAttributes(a);
    DialogWatcher w([](const SeenDialog& d) {
        ::CheckDlgButton(d.hwnd, IDC_RULER_TRANSPARENT, BST_UNCHECKED);
        ::SendMessageW(d.hwnd, WM_COMMAND, MAKEWPARAM(IDC_RULER_TRANSPARENT, BN_CLICKED), 0);
        return IDC_RULER_CANCEL;
    });
    CRulerPropsDialog dialog(&parent);
    dialog.DoModal();
    EXPECT_EQ(0u, ::GetPrivateProfileIntW(L"RulerAttribute", L"TransparentBK", 7, path));
    EXPECT_EQ(UINT(a.pen.lopnColor), ::GetPrivateProfileIntW(L"RulerAttribute", L"ColorRuler", 7, path));
    EXPECT_EQ(UINT(a.brush.lbColor), ::GetPrivateProfileIntW(L"RulerAttribute", L"ColorBK", 7, path));
}

// The grid settings through the measurement panel's grid button.
TEST(GridSettings, WhiteIsStoredAsNearWhiteAndOkWritesBack)
{
    ShellLinksScope scope;
    TempDir dir;
    CImageStore* store = FreshStore(WritePicture(dir, L"p.bmp", 64, 48));
    Links().store = store;
    store->SetGridColor(RGB(255, 255, 255));
    store->SetGridSpacing(40);
    store->SetGridVisible(0);
    PlainParent parent;
    CMeasurePanel panel;
    ASSERT_TRUE(panel.Create(CMeasurePanel::IDD, &parent));
    HWND aux = nullptr;
    DialogWatcher w([&](const SeenDialog& d) {
        if (aux == nullptr) {
            aux = d.hwnd;
            ::RedrawWindow(d.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            SaveScreenshot(d.hwnd, "aux_tools_dialog");
            ::CheckDlgButton(d.hwnd, IDC_AUX_GRID_ON, BST_CHECKED);
            ::SetDlgItemInt(d.hwnd, IDC_AUX_GRID_SPACING, 25, FALSE);
            RECT r;
            ::GetWindowRect(::GetDlgItem(d.hwnd, IDC_AUX_GRID_COLOR), &r);
            POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            ::ScreenToClient(d.hwnd, &p);
            ::PostMessageW(d.hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
            return 0;
        }
        // The colour dialog opened on white: OK, then OK on the settings.
        ::PostMessageW(d.hwnd, WM_COMMAND, IDOK, 0);
        ::PostMessageW(aux, WM_COMMAND, IDOK, 0);
        return 0;
    });
    Click(panel.GetSafeHwnd(), IDC_MEASURE_GRID);
    EXPECT_EQ(2, w.Count());
    EXPECT_EQ(RGB(254, 254, 254), store->GetGridColor());
    EXPECT_EQ(1, store->IsGridVisible());
    EXPECT_EQ(25, store->GetGridSpacing());
    EXPECT_EQ(RGB(254, 254, 254), CAuxToolsDialog::StoredGridColor(RGB(255, 255, 255)));
    EXPECT_EQ(RGB(1, 2, 3), CAuxToolsDialog::StoredGridColor(RGB(1, 2, 3)));
    panel.DestroyWindow();
}

}  // namespace
