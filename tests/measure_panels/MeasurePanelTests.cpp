// The measuring tool column and the layers panel on a plain parent, the library reached
// through the process-wide store, the layers panel through the links.
#include "PanelSupport.h"
#include "support/gtest.h"
#include "support/wintest.h"

#include "app/capture/OverlayWnd.h"
#include "app/measure/LayerNameDialog.h"
#include "app/measure/LayersDialog.h"
#include "app/measure/MeasurePanel.h"
#include "app/measure/MeasureStringIds.h"
#include "app/shell/ShellLinks.h"
#include "camera/core/QrCCamera.h"
#include "external/measure/QrMeasure.h"

#include <vector>

namespace {

std::u16string Res(UINT id)
{
    CString s;
    s.LoadString(id);
    return std::u16string((const char16_t*)(LPCWSTR)s);
}

std::vector<CString> LayerNames(CImageStore* store)
{
    std::vector<CString> names;
    store->GetLayerNames(names);
    return names;
}

// A layer name dialog answered with `name` (OK), others pressed with `button`.
DialogWatcher::Rule NameWith(const CString& name, int button = IDOK)
{
    return [name, button](const SeenDialog& d) {
        if (::GetDlgItem(d.hwnd, IDC_LAYER_NAME) != nullptr) {
            ::SetDlgItemTextW(d.hwnd, IDC_LAYER_NAME, name);
            return IDOK;
        }
        return button;
    };
}

class Measuring : public ::testing::Test
{
protected:
    void SetUp() override
    {
        picture = WritePicture(dir, L"cells.bmp", 200, 150);
        store = FreshStore(picture);
        Links().store = store;
        Links().doc = &doc;
        Links().layers = &layers;
        doc.InteractionMode = MODE_NONE;
        ASSERT_TRUE(layers.Create(CLayersDialog::IDD, &parent));
        // Left hidden: the dialog watcher of a test answers visible dialogs only.
        ASSERT_TRUE(panel.Create(CMeasurePanel::IDD, &parent));
        h = panel.GetSafeHwnd();
    }
    void TearDown() override
    {
        panel.DestroyWindow();
        layers.DestroyWindow();
        store->SetRulerVisible(0);
        store->SetMeasureTarget(1);
    }
    // A line drawn straight through the measurement object.
    void DrawLine()
    {
        CQrMeasure* m = (CQrMeasure*)store->GetMeasure();
        m->OnLButtonDown(CPoint(10, 10));
        m->OnMouseMove(CPoint(40, 40));
        m->OnLButtonUp(CPoint(60, 60));
    }
    int Units() { return ((CQrMeasure*)store->GetMeasure())->GetUnitCount(); }

    ShellLinksScope scope;
    TempDir dir;
    CString picture;
    CImageStore* store = nullptr;
    PlainParent parent;
    CDravenluxDoc doc;
    CLayersDialog layers;
    CMeasurePanel panel;
    HWND h = nullptr;
};

TEST_F(Measuring, DrawingToolMakesTheWorkLayerAndAgainFallsBackToSelect)
{
    ClickCheck(h, IDC_MEASURE_LINE);
    EXPECT_EQ(MODE_MEASURE, doc.InteractionMode);
    EXPECT_EQ(CQrMeasure::ToolLine, store->GetToolId());
    EXPECT_EQ(CQrMeasure::ItemLine, store->GetCurSelItem());
    EXPECT_EQ(1, panel.GetCheck(IDC_MEASURE_LINE));
    EXPECT_EQ(0, panel.GetCheck(IDC_MEASURE_SELECT));
    const std::vector<CString> names = LayerNames(store);
    ASSERT_EQ(2u, names.size());
    EXPECT_EQ(CString(L"背景"), names[0]);
    EXPECT_EQ(CString(L"圖層01"), names[1]);
    EXPECT_EQ(1, store->GetCurrentLayerIndex());
    EXPECT_EQ(2, layers.List().GetItemCount());

    // A second tool keeps the layers; the same tool again falls back to select.
    ClickCheck(h, IDC_MEASURE_RECTANGLE);
    EXPECT_EQ(0, panel.GetCheck(IDC_MEASURE_LINE));
    EXPECT_EQ(1, panel.GetCheck(IDC_MEASURE_RECTANGLE));
    EXPECT_EQ(2, store->GetLayerCount());
    ClickCheck(h, IDC_MEASURE_RECTANGLE);
    EXPECT_EQ(kToolSelect, store->GetToolId());
    EXPECT_EQ(1, panel.GetCheck(IDC_MEASURE_SELECT));
    EXPECT_EQ(0, panel.GetCheck(IDC_MEASURE_RECTANGLE));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(h, IDC_MEASURE_SELECT));
}

TEST_F(Measuring, WithTheBackgroundCurrentAToolMakesLayerOneCurrent)
{
    store->NewLayer(L"背景");
    store->NewLayer(L"圖層01");
    store->NewLayer(L"圖層02");
    store->SetCurrentLayer(0);
    ClickCheck(h, IDC_MEASURE_ANGLE);
    EXPECT_EQ(3, store->GetLayerCount());
    EXPECT_EQ(1, store->GetCurrentLayerIndex());
    // The delete tool never touches the layers.
    store->SetCurrentLayer(0);
    ClickCheck(h, IDC_MEASURE_DELETE);
    EXPECT_EQ(0, store->GetCurrentLayerIndex());
    EXPECT_EQ(CQrMeasure::ItemDelete, store->GetCurSelItem());
}

TEST_F(Measuring, WithoutAPictureToolsRecordNothing)
{
    store->ReleaseImages();
    ClickCheck(h, IDC_MEASURE_LINE);
    EXPECT_EQ(kToolSelect, store->GetToolId());
    EXPECT_EQ(0, store->GetCurSelItem());
    EXPECT_EQ(0, panel.GetCheck(IDC_MEASURE_LINE));
}

TEST_F(Measuring, ClearAllAnsweredNoKeepsEveryUnitAndYesClears)
{
    ClickCheck(h, IDC_MEASURE_LINE);
    DrawLine();
    DrawLine();
    ASSERT_EQ(2, Units());
    {
        DialogWatcher no(IDNO);
        Click(h, IDC_MEASURE_CLEAR_ALL);
        ASSERT_EQ(1, no.Count());
        EXPECT_EQ(Res(IDS_CLEAR_ALL_QUESTION), no.LastText());
        EXPECT_EQ(Res(IDS_MEASURE_ATTENTION), no.LastCaption());
    }
    EXPECT_EQ(2, Units());
    {
        DialogWatcher yes(IDYES);
        Click(h, IDC_MEASURE_CLEAR_ALL);
        EXPECT_EQ(1, yes.Count());
    }
    EXPECT_EQ(0, Units());
}

TEST_F(Measuring, ResetLeavesLockOnAndTheToolKeptAfterAUnit)
{
    ClickCheck(h, IDC_MEASURE_LOCK);   // lock off
    ClickCheck(h, IDC_MEASURE_SCALE_BAR);
    ClickCheck(h, IDC_MEASURE_RULER);
    EXPECT_EQ(0, store->GetKeepItem());
    EXPECT_EQ(1, store->GetScaleLine());
    // Without keeping, a drawn unit drops the tool.
    ClickCheck(h, IDC_MEASURE_LINE);
    DrawLine();
    EXPECT_EQ(CQrMeasure::ItemSelect, store->GetCurSelItem());

    panel.ResetMeasurements();
    EXPECT_EQ(1, panel.GetCheck(IDC_MEASURE_LOCK));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(h, IDC_MEASURE_LOCK));
    EXPECT_EQ(0, panel.GetCheck(IDC_MEASURE_SCALE_BAR));
    EXPECT_EQ(1, panel.GetCheck(IDC_MEASURE_RULER));   // the ruler keeps its state
    EXPECT_EQ(0, store->GetScaleLine());
    EXPECT_EQ(1, store->GetKeepItem());
    EXPECT_EQ(0, Units());
    // The library keeps the tool after a unit now.
    ClickCheck(h, IDC_MEASURE_LINE);
    DrawLine();
    EXPECT_EQ(CQrMeasure::ItemLine, store->GetCurSelItem());
}

TEST_F(Measuring, LiveOverlayWithTheCameraStoppedDisablesEverything)
{
    ClickCheck(h, IDC_MEASURE_RULER);
    ASSERT_EQ(1, store->IsRulerVisible());
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    const auto savedRun = mgr.runState;
    mgr.runState = 2;   // stopped
    QrCCameraSetMgrParameter(&mgr);
    CWnd overlay;
    overlay.CreateEx(0, AfxRegisterWndClass(0), L"overlay", WS_POPUP, 0, 0, 10, 10, NULL, NULL);
    store->SetOverlayWindow(&overlay);
    store->SetMeasureTarget(0);
    ASSERT_EQ(0, store->GetMeasureTarget());
    panel.Refresh();
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(h, IDC_MEASURE_LINE)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(h, IDC_MEASURE_CLEAR_ALL)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(h, IDC_MEASURE_LABEL_FIRST)));
    EXPECT_EQ(0, store->IsRulerVisible());
    EXPECT_EQ(0, panel.GetCheck(IDC_MEASURE_RULER));
    // The main view as target enables them again.
    store->SetMeasureTarget(1);
    panel.Refresh();
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(h, IDC_MEASURE_LINE)));
    store->SetOverlayWindow(nullptr);
    overlay.DestroyWindow();
    QrCCameraGetMgrParameter(&mgr);
    mgr.runState = savedRun;
    QrCCameraSetMgrParameter(&mgr);
}

TEST_F(Measuring, LayersButtonShowsTheListAtThePanelCorner)
{
    store->NewLayer(L"背景");
    store->NewLayer(L"a");
    Click(h, IDC_MEASURE_LAYERS);
    EXPECT_TRUE(layers.IsWindowVisible());
    EXPECT_EQ(2, layers.List().GetItemCount());
    CRect p, l;
    panel.GetWindowRect(&p);
    layers.GetWindowRect(&l);
    EXPECT_EQ(p.TopLeft(), l.TopLeft());
    EXPECT_TRUE(layers.GetExStyle() & WS_EX_TOPMOST);
    SaveScreenshot(layers.GetSafeHwnd(), "layers_panel");
    panel.ShowWindow(SW_SHOW);
    panel.UpdateWindow();
    SaveScreenshot(h, "measure_panel");
}

class Layers : public Measuring
{
protected:
    void SetUp() override
    {
        Measuring::SetUp();
        lh = layers.GetSafeHwnd();
    }
    void Select(int row)
    {
        layers.List().SetItemState(-1, 0, LVIS_SELECTED);
        layers.List().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    }
    HWND lh = nullptr;
};

TEST_F(Layers, RefusalsOfEmptyNameBackgroundDeleteAndRename)
{
    Click(lh, IDC_LAYER_NEW);   // the first row is the background, no question
    ASSERT_EQ(1, layers.List().GetItemCount());
    {
        DialogWatcher w(NameWith(L""));
        Click(lh, IDC_LAYER_NEW);
        ASSERT_TRUE(w.WaitForCount(2, 5000));
        EXPECT_EQ(Res(IDS_LAYER_NAME_EMPTY), w.LastText());
    }
    EXPECT_EQ(1, layers.List().GetItemCount());
    EXPECT_EQ(1, store->GetLayerCount());
    Select(0);
    {
        DialogWatcher w(IDOK);
        Click(lh, IDC_LAYER_DELETE);
        ASSERT_EQ(1, w.Count());
        EXPECT_EQ(Res(IDS_LAYER_DELETE_BACKGROUND), w.LastText());
        Click(lh, IDC_LAYER_RENAME);
        ASSERT_EQ(2, w.Count());
        EXPECT_EQ(Res(IDS_LAYER_RENAME_BACKGROUND), w.LastText());
    }
    EXPECT_EQ(1, store->GetLayerCount());
}

TEST_F(Layers, ProposedNameCountsTheLibrarysLayers)
{
    store->NewLayer(L"背景");
    store->NewLayer(L"圖層01");
    layers.RefreshLayerList();
    CString proposed;
    DialogWatcher w([&](const SeenDialog& d) {
        WCHAR text[64] = L"";
        ::GetDlgItemTextW(d.hwnd, IDC_LAYER_NAME, text, 64);
        proposed = text;
        return IDOK;
    });
    Click(lh, IDC_LAYER_NEW);
    EXPECT_EQ(CString(L"圖層02"), proposed);
    EXPECT_EQ(3, store->GetLayerCount());
    ASSERT_EQ(3, layers.List().GetItemCount());
    EXPECT_EQ(CString(L"圖層02"), layers.List().GetItemText(2, 0));
}

TEST_F(Layers, TheCurrentLayerStaysVisibleAndOthersSwitch)
{
    store->NewLayer(L"背景");
    store->NewLayer(L"a");
    store->NewLayer(L"b");
    store->SetCurrentLayer(1);
    layers.RefreshLayerList();
    ::SendMessageW(lh, WM_CELLCHECK_CLICKED, 1, 2);   // current: no change
    EXPECT_EQ(1, store->IsLayerVisible(1));
    EXPECT_TRUE(layers.List().IsSecondChecked(1));
    ::SendMessageW(lh, WM_CELLCHECK_CLICKED, 2, 2);
    EXPECT_EQ(0, store->IsLayerVisible(2));
    EXPECT_FALSE(layers.List().IsSecondChecked(2));
    ::SendMessageW(lh, WM_CELLCHECK_CLICKED, 0, 2);   // the background is always visible
    EXPECT_EQ(1, store->IsLayerVisible(0));
    ::SendMessageW(lh, WM_CELLCHECK_CLICKED, 2, 1);   // made current: visible again
    EXPECT_EQ(2, store->GetCurrentLayerIndex());
    EXPECT_TRUE(layers.List().IsSecondChecked(2));
}

TEST_F(Layers, SaveClearLoadGivesBackNamesVisibilityAndUnits)
{
    ClickCheck(h, IDC_MEASURE_LINE);
    DrawLine();
    store->NewLayer(L"細胞 核");
    DrawLine();
    DrawLine();
    store->SetLayerVisible(1, 0);
    layers.RefreshLayerList();
    const CString file = dir.File(L"圖層資料.txt");
    ::SetDlgItemTextW(lh, IDC_LAYER_PATH, file);
    Click(lh, IDC_LAYER_SAVE);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(file));

    // Cleared library and list, then loaded back.
    FreshStore(picture);
    ASSERT_EQ(0, Units());
    Click(lh, IDC_LAYER_LOAD);
    const std::vector<CString> names = LayerNames(store);
    ASSERT_EQ(3u, names.size());
    EXPECT_EQ(CString(L"細胞 核"), names[2]);
    EXPECT_EQ(0, store->IsLayerVisible(1));
    EXPECT_EQ(1, store->IsLayerVisible(2));
    EXPECT_EQ(2, store->GetCurrentLayerIndex());
    EXPECT_EQ(3, Units());
    ASSERT_EQ(3, layers.List().GetItemCount());
    EXPECT_FALSE(layers.List().IsSecondChecked(1));

    // A file without layers leaves the list as it is.
    const CString none = dir.File(L"none.txt");
    store->SaveLayers(none);   // written while the library has layers: rewrite without
    HANDLE f = ::CreateFileW(none, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(f, "OrvLayers 1\r\n", 13, &written, nullptr);
    ::CloseHandle(f);
    ::SetDlgItemTextW(lh, IDC_LAYER_PATH, none);
    Click(lh, IDC_LAYER_LOAD);
    EXPECT_EQ(3, layers.List().GetItemCount());
}

TEST_F(Layers, DeleteAndRenameReachTheLibrary)
{
    store->NewLayer(L"背景");
    store->NewLayer(L"a");
    store->NewLayer(L"b");
    layers.RefreshLayerList();
    Select(1);
    Click(lh, IDC_LAYER_DELETE);
    EXPECT_EQ(2, store->GetLayerCount());
    ASSERT_EQ(2, layers.List().GetItemCount());
    EXPECT_EQ(CString(L"b"), layers.List().GetItemText(1, 0));
    Select(1);
    {
        DialogWatcher w(NameWith(L"新名"));
        Click(lh, IDC_LAYER_RENAME);
        EXPECT_EQ(1, w.Count());
    }
    EXPECT_EQ(CString(L"新名"), LayerNames(store)[1]);
    EXPECT_EQ(CString(L"新名"), layers.List().GetItemText(1, 0));
}

TEST_F(Layers, ColumnsCannotBeResized)
{
    CHeaderCtrl* header = layers.List().GetHeaderCtrl();
    ASSERT_NE(nullptr, header);
    EXPECT_EQ(90, layers.List().GetColumnWidth(0));
    EXPECT_EQ(0x21u, layers.List().GetExtendedStyle() & 0x21u);
    CRect item;
    header->GetItemRect(0, &item);
    // A press on the divider and a drag: the width stays.
    const LPARAM at = MAKELPARAM(item.right, item.Height() / 2);
    ::SendMessageW(header->GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(header->GetSafeHwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(item.right + 40, item.Height() / 2));
    ::SendMessageW(header->GetSafeHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(item.right + 40, item.Height() / 2));
    EXPECT_EQ(90, layers.List().GetColumnWidth(0));
}

}  // namespace
