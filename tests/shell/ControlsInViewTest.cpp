// Every page, panel, dialog and popup of the program, made on the parent the program
// gives it: each visible control lies whole inside its parent's visible client area.
#include "ShellTestSupport.h"
#include "app/shell/FoldPanel.h"
#include "app/shell/ManageView.h"
#include "app/shell/TabPage.h"
#include "app/shell/ImagePage.h"
#include "app/shell/CapturePage.h"
#include "app/shell/AboutDialog.h"
#include "app/shell/DravenluxView.h"
#include "app/image/LevelsDialog.h"
#include "app/image/PrintLayoutDialog.h"
#include "app/image/CropConfirmDialog.h"
#include "app/image/ApplyDefaultBar.h"
#include "app/image/ImageAdjustPanel.h"
#include "app/measure/AuxToolsDialog.h"
#include "app/measure/RulerPropsDialog.h"
#include "app/measure/LayersDialog.h"
#include "app/measure/LayerNameDialog.h"
#include "app/capture/CapturePanel.h"
#include "app/capture/CameraPanel.h"
#include "app/capture/TimeLapseDialog.h"
#include "app/capture/VideoSettingsDialog.h"
#include "app/capture/WhiteBalanceWizard.h"
#include "app/fluorescence/FluorescenceWizard.h"
#include "app/compose/ImageFusionDialog.h"
#include "app/compose/StitchProgressDialog.h"
#include "app/compose/FusionPanel.h"
#include "app/browse/ThumbnailStrip.h"
#include "app/browse/BrowseToolBar.h"
#include <memory>
#include <string>
#include <vector>

namespace {

std::string Describe(HWND hwnd)
{
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    WCHAR text[64] = {};
    GetWindowTextW(hwnd, text, 64);
    std::string s = std::string(cls) + " #" + std::to_string(GetDlgCtrlID(hwnd));
    CString t(text);
    if (!t.IsEmpty()) {
        char utf8[192] = {};
        WideCharToMultiByte(CP_UTF8, 0, t, -1, utf8, sizeof utf8 - 1, nullptr, nullptr);
        s += std::string(" \"") + utf8 + "\"";
    }
    return s;
}

std::string Text(const CRect& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

// Walks the visible children below parent: each must lie inside its parent's client
// area (scroll bars are not client area).  A window that scrolls in a direction has its
// content beyond the client edge there, so that edge is not checked.
void CollectCutOff(HWND parent, const std::string& path, std::vector<std::string>& faults)
{
    CRect client;
    ::GetClientRect(parent, &client);
    const LONG style = ::GetWindowLongW(parent, GWL_STYLE);
    const bool scrollsDown = (style & WS_VSCROLL) != 0;
    const bool scrollsRight = (style & WS_HSCROLL) != 0;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!(::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE)) continue;
        CRect r;
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, parent, (POINT*)&r, 2);
        const std::string name = path + " > " + Describe(child);
        if (r.Width() > 0 && r.Height() > 0) {
            const bool cut = r.left < client.left || r.top < client.top || (!scrollsRight && r.right > client.right) ||
                             (!scrollsDown && r.bottom > client.bottom);
            if (cut) faults.push_back(name + " at " + Text(r) + " outside " + Text(client));
        }
        CollectCutOff(child, name, faults);
    }
}

std::vector<std::string> CutOff(CWnd& top, const char* name)
{
    std::vector<std::string> faults;
    CollectCutOff(top.m_hWnd, name, faults);
    return faults;
}

std::string Join(const std::vector<std::string>& lines)
{
    std::string s;
    for (const std::string& l : lines) s += l + "\n";
    return s;
}

// The page from top to bottom, one screen at a time: <name>_1.png, <name>_2.png, ...
void SaveScreenshots(CManageView* manage, CTabPage& page, const char* name)
{
    CRect client;
    page.GetClientRect(&client);
    const int pageUnits = client.Height() / 10;
    for (int shot = 1;; shot++) {
        page.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        PumpMessagesFor(100);
        SaveScreenshot(manage->m_hWnd, (std::string(name) + "_" + std::to_string(shot)).c_str());
        const int before = page.GetScrollOffset();
        SCROLLINFO si = {sizeof si, SIF_ALL};
        page.GetScrollInfo(SB_VERT, &si, SIF_ALL);
        const int highest = si.nMax - (int)si.nPage + 1;
        const int next = before / 10 + pageUnits - 2;
        page.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, next < highest ? next : highest), 0);
        if (page.GetScrollOffset() == before) break;
    }
    page.SendMessage(WM_VSCROLL, SB_TOP, 0);
}

void ExpandAll(CTabPage& page)
{
    page.BuildNow();
    for (CFoldPanel* section : page.m_sections) section->SetExpanded(TRUE);
    page.SendMessage(WM_VSCROLL, SB_TOP, 0);
    PumpMessagesFor(100);
}

}  // namespace

TEST(ControlsInView, EveryPageWithItsSectionsExpanded)
{
    SharedFrame();
    SizeFrame(1200, 800);
    CManageView* manage = Links().manage;
    ASSERT_NE(manage, nullptr);
    struct {
        int tab;
        CTabPage* page;
        const char* name;
    } pages[] = {{CManageView::TAB_CAPTURE, &manage->m_capturePage, "capture_page"},
                 {CManageView::TAB_BROWSE, &manage->m_browsePage, "browse_page"},
                 {CManageView::TAB_IMAGE, &manage->m_imagePage, "image_page"}};
    for (auto& p : pages) {
        manage->SelectTab(p.tab);
        ExpandAll(*p.page);
        SaveScreenshots(manage, *p.page, p.name);
        EXPECT_EQ(Join(CutOff(*p.page, p.name)), "");
    }
    manage->SelectTab(CManageView::TAB_CAPTURE);
}

namespace {

// A dialog the program opens (most of them modally), made modeless here on the parent
// the program gives it so that its controls can be looked at.
template <class D>
void ExpectWhole(const char* name, CWnd* parent, std::vector<std::string>& faults)
{
    std::unique_ptr<D> dialog(new D(parent));
    ASSERT_TRUE(dialog->Create(D::IDD, parent)) << name;
    dialog->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::vector<std::string> own = CutOff(*dialog, name);
    faults.insert(faults.end(), own.begin(), own.end());
    dialog->DestroyWindow();
}

}  // namespace

TEST(ControlsInView, EveryDialogPanelAndPopupOnItsParent)
{
    CMainFrame* frame = SharedFrame();
    SizeFrame(1200, 800);
    ShellLinks& links = Links();
    links.imagePage->BuildNow();
    links.capturePage->BuildNow();
    frame->m_measurePanel.MakeWindow(frame);
    // The popups made on first use.
    (void)links.comparePane.Get();
    (void)links.compareWindow.Get();
    (void)links.focusMeter.Get();
    std::vector<std::string> faults;

    // The frame's own panels and popups, and the panels of the views.
    struct {
        CWnd* wnd;
        const char* name;
    } made[] = {{&frame->m_titleBar, "title_bar"},         {&frame->m_measurePanel, "measure_panel"},
                {&frame->m_preview, "preview"},            {&frame->m_overlay, "overlay"},
                {&frame->m_captureTools, "capture_tools"}, {&frame->m_comparePane, "compare_pane"},
                {&frame->m_compareWindow, "compare_window"}, {&frame->m_focusMeter, "focus_meter"},
                {links.layers, "layers"},                  {links.strip, "thumbnail_strip"},
                {links.browseTools, "browse_tools"}};
    for (auto& m : made) {
        ASSERT_NE(m.wnd, nullptr) << m.name;
        std::vector<std::string> own = CutOff(*m.wnd, m.name);
        faults.insert(faults.end(), own.begin(), own.end());
    }

    ExpectWhole<CAboutDialog>("about", frame, faults);
    ExpectWhole<CLevelsDialog>("levels", nullptr, faults);
    ExpectWhole<CImageFusionDialog>("image_fusion", nullptr, faults);
    ExpectWhole<CStitchProgressDialog>("stitch_progress", links.imageAdjust, faults);
    ExpectWhole<CRulerPropsDialog>("ruler_props", links.view, faults);
    ExpectWhole<CAuxToolsDialog>("aux_tools", &frame->m_measurePanel, faults);
    ExpectWhole<CLayerNameDialog>("layer_name", links.layers, faults);
    ExpectWhole<CTimeLapseDialog>("time_lapse", links.capture, faults);
    ExpectWhole<CVideoSettingsDialog>("video_settings", links.capture, faults);
    ExpectWhole<CWhiteBalanceWizard>("white_balance_wizard", links.camera, faults);
    ExpectWhole<CFluorescenceWizard>("fluorescence_wizard", nullptr, faults);
    ExpectWhole<CPrintLayoutDialog>("print_layout", frame, faults);
    ExpectWhole<CCropConfirmDialog>("crop_confirm", frame, faults);
    ExpectWhole<CApplyDefaultBar>("apply_default_bar", frame, faults);
    EXPECT_EQ(Join(faults), "");
}

namespace {

// Pixels of a skinned button that its face leaves to what lies behind: there the caption
// would be drawn over whatever was painted before, again at every redraw.
int Uncovered(CButton* button)
{
    CRect r;
    button->GetClientRect(&r);
    CClientDC screen(button);
    CDC mem;
    mem.CreateCompatibleDC(&screen);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&screen, r.Width(), r.Height());
    CBitmap* old = mem.SelectObject(&bmp);
    const COLORREF behind = RGB(255, 0, 255);
    mem.FillSolidRect(&r, behind);
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = button->GetDlgCtrlID();
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = button->m_hWnd;
    dis.hDC = mem.m_hDC;
    dis.rcItem = r;
    button->DrawItem(&dis);
    int uncovered = 0;
    for (int y = 0; y < r.Height(); y++)
        for (int x = 0; x < r.Width(); x++) uncovered += mem.GetPixel(x, y) == behind;
    mem.SelectObject(old);
    return uncovered;
}

}  // namespace

// The composition buttons are wider than their face bitmap: the face must cover the whole
// button, or the caption's first character lies half on the face, half on what is behind.
TEST(ControlsInView, SkinnedButtonFacesCoverTheirWholeButton)
{
    CMainFrame* frame = SharedFrame();
    CFusionPanel* panel = Links().fusion;
    ASSERT_NE(panel, nullptr);
    for (int id : {IDC_FUSION_EDOF, IDC_FUSION_STITCH, IDC_FUSION_HDR}) {
        CButton* button = dynamic_cast<CButton*>(panel->GetDlgItem(id));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(Uncovered(button), 0) << id;
    }
    // The print layout's options: a face drawn at its own size on a wider button left the
    // caption on a transparent background, darker at every click.
    CPrintLayoutDialog dialog(frame);
    ASSERT_TRUE(dialog.Create(CPrintLayoutDialog::IDD, frame));
    for (int id : {IDC_PRINT_SHOW_TIME, IDC_PRINT_SHOW_NAME, IDC_PRINT_SHOW_BORDER, IDC_PRINT_FULL_PAGE,
                   IDC_PRINT_FIXED_ZOOM}) {
        CButton* option = dynamic_cast<CButton*>(dialog.GetDlgItem(id));
        ASSERT_NE(option, nullptr);
        EXPECT_EQ(Uncovered(option), 0) << id;
    }
    dialog.DestroyWindow();
}
