#include "app/shell/TitleBar.h"
#include "app/shell/ShellLinks.h"
#include "app/shell/ShellLaunch.h"
#include "app/shell/AppDirectory.h"
#include "app/shell/MainFrame.h"
#include "app/shell/ManageView.h"
#include "app/shell/CapturePage.h"
#include "app/shell/BrowsePage.h"
#include "app/shell/ImagePage.h"
#include "app/shell/DravenluxView.h"
#include "app/shell/FoldPanel.h"
#include "app/res/resource.h"
#include "app/store/ImageStore.h"
#include "app/image/ComparePane.h"
#include "app/capture/PreviewWnd.h"
#include "app/capture/OverlayWnd.h"
#include "app/capture/CaptureToolBar.h"
#include "app/capture/CameraPanel.h"
#include "app/capture/CapturePanel.h"
#include "app/capture/VideoRecordPanel.h"
#include "app/measure/MeasurePanel.h"
#include "app/shell/ColorPanel.h"
#include "camera/core/QrCCamera.h"

IMPLEMENT_DYNAMIC(CTitleBar, CPanelDialog)

BEGIN_MESSAGE_MAP(CTitleBar, CPanelDialog)
    ON_BN_CLICKED(IDC_TITLE_CLOSE, OnClose)
    ON_BN_CLICKED(IDC_TITLE_MINIMIZE, OnMinimize)
    ON_WM_SIZE()
    ON_BN_CLICKED(IDC_TITLE_FILE, OnFileMenu)
    ON_BN_CLICKED(IDC_TITLE_HELP, OnHelpMenu)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnPrintPreview)
    ON_COMMAND(ID_FILE_PRINT, OnPrint)
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_BN_CLICKED(IDC_TITLE_MAXIMIZE, OnMaximize)
    ON_COMMAND(ID_HELP_FILE, OnHelp)
    ON_COMMAND(ID_FILE_UPDATE, OnUpdater)
    ON_BN_CLICKED(IDC_TITLE_MEASURE, OnMeasure)
    ON_MESSAGE(WM_COMBO_SELCHANGED, OnComboSelChanged)
    ON_UPDATE_COMMAND_UI(ID_FILE_PRINT, OnUpdatePrint)
    ON_UPDATE_COMMAND_UI(ID_FILE_PRINT_PREVIEW, OnUpdatePrint)
END_MESSAGE_MAP()

CTitleBar::CTitleBar(CWnd* pParent)
    : CPanelDialog(IDD, pParent, L"skin\\title_bg.bmp"), m_nCameraIndex(0), m_bMaximized(1)
{
}

CTitleBar::~CTitleBar() {}

void CTitleBar::DoDataExchange(CDataExchange* pDX)
{
    CPanelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TITLE_MEASURE, m_btnMeasure);
    DDX_Control(pDX, IDC_TITLE_CAMERA_COMBO, m_cameraCombo);
    DDX_Control(pDX, IDC_TITLE_MAXIMIZE, m_btnMaximize);
    DDX_Control(pDX, IDC_TITLE_CAMERA_NAME, m_cameraName);
    DDX_Control(pDX, IDC_TITLE_HELP, m_btnHelp);
    DDX_Control(pDX, IDC_TITLE_FILE, m_btnFile);
    DDX_Control(pDX, IDC_TITLE_MINIMIZE, m_btnMinimize);
    DDX_Control(pDX, IDC_TITLE_CLOSE, m_btnClose);
}

void CTitleBar::SetMaximizeSkin(BOOL restore)
{
    if (restore) m_btnMaximize.SetSkin(356, 355, 353, 354, 0, 0, CSkinBitmapButton::DRAW_STRETCH, 0, 0);
    else m_btnMaximize.SetSkin(331, 328, 330, 329, 0, 0, CSkinBitmapButton::DRAW_STRETCH, 0, 4);
    m_btnMaximize.Invalidate();
}

BOOL CTitleBar::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    AddTransparentStatic(IDC_TITLE_NAME);
    AddTransparentStatic(IDC_TITLE_LOGO);
    const short stretch = CSkinBitmapButton::DRAW_STRETCH;
    m_btnMeasure.SetSkin(660, 661, 662, 660, 0, 0, stretch, 0, 4);
    m_cameraCombo.SetBitmaps(624, 625, 627, 626);
    m_cameraCombo.SetCenteredText(TRUE);
    SetMaximizeSkin(FALSE);
    m_cameraName.SetBitmaps(368, 367);
    m_cameraName.SetFocusRedirect(TRUE, NULL);
    m_btnHelp.SetSkin(292, 290, 291, 292, 0, 0, stretch, 0, 4);
    m_btnFile.SetSkin(292, 290, 291, 292, 0, 0, stretch, 0, 4);
    m_btnMinimize.SetSkin(289, 286, 288, 287, 0, 0, stretch, 0, 4);
    m_btnClose.SetSkin(285, 282, 284, 283, 0, 0, stretch, 0, 4);

    struct Item { UINT text; UINT cmd; };
    const Item fileItems[] = {{IDS_MENU_PRINT_SETUP, ID_FILE_PRINT_SETUP}, {IDS_MENU_PRINT_PREVIEW, ID_FILE_PRINT_PREVIEW},
                              {IDS_MENU_PRINT, ID_FILE_PRINT}, {IDS_MENU_EXIT, ID_APP_EXIT}};
    const Item helpItems[] = {{IDS_MENU_HELP, ID_HELP_FILE}, {IDS_MENU_UPDATE, ID_FILE_UPDATE}, {IDS_MENU_ABOUT, ID_APP_ABOUT}};
    struct MenuDef { COwnerDrawMenu* menu; const Item* items; int count; };
    const MenuDef menus[] = {{&m_fileMenu, fileItems, 4}, {&m_helpMenu, helpItems, 3}};
    for (const MenuDef& def : menus) {
        def.menu->CreatePopupMenu();
        def.menu->SetTextColor(COwnerDrawMenu::OWNER_TEXT);
        def.menu->SetBackColor(COwnerDrawMenu::OWNER_BACK);
        def.menu->SetHighlightColor(COwnerDrawMenu::OWNER_HIGHLIGHT);
        def.menu->SetHighlightTextColor(COwnerDrawMenu::OWNER_HIGHLIGHT_TEXT);
        for (int i = 0; i < def.count; i++) {
            CString text;
            text.LoadString(def.items[i].text);
            def.menu->AppendItem(MF_OWNERDRAW, def.items[i].cmd, text);
        }
    }
    return TRUE;
}

// Menu commands the bar does not handle itself take the frame's route (active view,
// document, frame, application).
BOOL CTitleBar::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CPanelDialog::OnCommand(wParam, lParam)) return TRUE;
    if (lParam == 0 && Links().frame != NULL && Links().frame->m_hWnd != NULL) {
        Links().frame->SendMessage(WM_COMMAND, wParam, 0);
        return TRUE;
    }
    return FALSE;
}

void CTitleBar::OnClose()
{
    if (Links().frame != NULL) Links().frame->PostMessage(WM_CLOSE);
}

void CTitleBar::OnMinimize()
{
    if (Links().frame != NULL) Links().frame->ShowWindow(SW_SHOWMINIMIZED);
}

void CTitleBar::OnSize(UINT nType, int cx, int cy)
{
    CPanelDialog::OnSize(nType, cx, cy);
    CWnd* closeBtn = GetDlgItem(IDC_TITLE_CLOSE);
    CWnd* maxBtn = GetDlgItem(IDC_TITLE_MAXIMIZE);
    CWnd* minBtn = GetDlgItem(IDC_TITLE_MINIMIZE);
    if (closeBtn == NULL || minBtn == NULL) return;
    CRect client;
    GetClientRect(&client);
    CRect rClose(client.right - 20, (client.Height() - 20) / 2 + 3, client.right, (client.Height() - 20) / 2 + 23);
    closeBtn->MoveWindow(&rClose);
    CRect rMax(rClose.left - 20, rClose.top, rClose.left - 20 + rClose.Width() - 6, rClose.top + rClose.Height() - 6);
    if (maxBtn != NULL) maxBtn->MoveWindow(&rMax);
    CRect rMin(rMax.left - 20, rMax.top, rMax.left - 20 + rMax.Width(), rMax.top + rMax.Height());
    minBtn->MoveWindow(&rMin);
}

void CTitleBar::ShowMenu(COwnerDrawMenu& menu, int buttonId)
{
    CWnd* button = GetDlgItem(buttonId);
    if (button == NULL || menu.GetSafeHmenu() == NULL) return;
    CRect r;
    button->GetWindowRect(&r);
    menu.TrackPopupMenu(0, r.left, r.bottom, this);
}

// Printing needs an image.
void CTitleBar::OnUpdatePrint(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(Links().store != NULL && Links().store->HasImage());
}

void CTitleBar::OnFileMenu() { ShowMenu(m_fileMenu, IDC_TITLE_FILE); }
void CTitleBar::OnHelpMenu() { ShowMenu(m_helpMenu, IDC_TITLE_HELP); }

void CTitleBar::OnPrintPreview()
{
    if (Links().view != NULL && Links().view->m_hWnd != NULL) Links().view->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
}

void CTitleBar::OnPrint()
{
    if (Links().view != NULL && Links().view->m_hWnd != NULL) Links().view->SendMessage(WM_COMMAND, ID_FILE_PRINT);
}

void CTitleBar::PostFrameSize()
{
    CMainFrame* frame = Links().frame;
    if (frame == NULL || frame->m_hWnd == NULL) return;
    CRect r;
    frame->GetWindowRect(&r);
    frame->PostMessage(WM_SIZE, 0, MAKELPARAM(r.Width(), r.Height()));
}

void CTitleBar::OnMouseMove(UINT nFlags, CPoint point)
{
    CMainFrame* frame = Links().frame;
    if ((nFlags & MK_LBUTTON) && !m_bMaximized && frame != NULL && frame->m_hWnd != NULL) {
        // The system's move loop wants the pointer in screen coordinates.
        CPoint screen = point;
        ClientToScreen(&screen);
        ::ReleaseCapture();
        frame->SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
        ShellLinks& links = Links();
        if (links.preview != NULL && links.preview->m_hWnd != NULL) links.preview->MoveWindow(0, 0, 0, 0);
        if (links.borders[0] != NULL && links.borders[0]->m_hWnd != NULL) links.borders[0]->MoveWindow(0, 0, 0, 0);
    }
    CPanelDialog::OnMouseMove(nFlags, point);
    PostFrameSize();
}

void CTitleBar::OnLButtonUp(UINT nFlags, CPoint point)
{
    PostFrameSize();
    CPanelDialog::OnLButtonUp(nFlags, point);
}

void CTitleBar::OnLButtonDblClk(UINT, CPoint) { ToggleMaximize(); }
void CTitleBar::OnMaximize() { ToggleMaximize(); }

void CTitleBar::ToggleMaximize()
{
    ShellLinks& links = Links();
    CMainFrame* frame = links.frame;
    if (frame == NULL || frame->m_hWnd == NULL || frame->IsFullPreview()) return;
    TellPagesFoldsChanged();
    if (m_bMaximized) {
        SetMaximizeSkin(TRUE);
        frame->ShowWindow(SW_RESTORE);
    } else {
        SetMaximizeSkin(FALSE);
        frame->ShowWindow(SW_SHOWMAXIMIZED);
    }
    PostFrameSize();
    FitLiveZoomAndRepaint(TRUE);
    m_bMaximized = !m_bMaximized;
}

void CTitleBar::RelayoutFrame()
{
    // What two presses of the toggle leave behind, without the two trips through the
    // other size, each a layout and a paint of the whole frame.
    ShellLinks& links = Links();
    CMainFrame* frame = links.frame;
    if (frame == NULL || frame->m_hWnd == NULL || frame->IsFullPreview()) return;
    TellPagesFoldsChanged();
    PostFrameSize();
    FitLiveZoomAndRepaint(FALSE);
}

void CTitleBar::TellPagesFoldsChanged()
{
    ShellLinks& links = Links();
    CWnd* pages[3] = {(CWnd*)links.capturePage, (CWnd*)links.browsePage, (CWnd*)links.imagePage};
    for (CWnd* page : pages)
        if (page != NULL && page->m_hWnd != NULL) page->PostMessage(WM_FOLDPANEL_TOGGLED, 0, 0);
}

void CTitleBar::FitLiveZoomAndRepaint(BOOL resized)
{
    ShellLinks& links = Links();
    CMainFrame* frame = links.frame;
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (mgr.sensorKind != 0 && links.preview != NULL) {
        // A fit applies its zoom itself when it can; only a new size asks for more.
        links.preview->ZoomToFit();
        if (resized) links.preview->ApplyZoom();
        if (links.overlay != NULL) {
            links.overlay->ZoomToFit();
            if (resized) links.overlay->ApplyZoom();
        }
        if (CComparePane* pane = links.comparePane.Peek()) pane->SetZoom(links.preview->GetZoom());
        if (links.captureTools != NULL) links.captureTools->ShowZoom(links.preview->GetZoom());
    }
    // In place, the layout repaints only what it moves.
    if (!resized) return;
    frame->Invalidate();
    if (links.captureTools != NULL && links.captureTools->m_hWnd != NULL) links.captureTools->Invalidate();
    if (frame->m_wndInner.m_hWnd != NULL) frame->m_wndInner.Invalidate();
    frame->UpdateWindow();
}

void CTitleBar::EnableByCameraState()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (m_cameraCombo.m_hWnd != NULL) m_cameraCombo.EnableWindow(mgr.runState != 0);
}

void CTitleBar::OnHelp()
{
    CString name;
    name.LoadString(IDS_HELP_FILE);
    HINSTANCE h = ShellLaunch(NULL, L"open", AppPath(name), NULL, NULL, SW_SHOW);
    if ((INT_PTR)h < 32) AfxMessageBox(IDS_HELP_OPEN_FAILED, MB_OK);
}

void CTitleBar::OnUpdater() { StartUpdater(); }

void CTitleBar::OnMeasure()
{
    ShellLinks& links = Links();
    CMeasurePanel* panel = links.measurePanel;
    if (panel == NULL) return;
    if (panel->m_hWnd == NULL && !panel->MakeWindow(links.frame != NULL ? (CWnd*)links.frame : GetTopLevelParent()))
        return;
    if (panel->IsWindowVisible()) {
        panel->ShowWindow(SW_HIDE);
        return;
    }
    CRect column, bar, own;
    if (links.manage != NULL && ((CWnd*)links.manage)->m_hWnd != NULL) ((CWnd*)links.manage)->GetWindowRect(&column);
    GetWindowRect(&bar);
    panel->GetWindowRect(&own);
    panel->SetWindowPos(&CWnd::wndTopMost, column.right + 6, bar.bottom + 8, own.Width(), own.Height(),
                        SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

LRESULT CTitleBar::OnComboSelChanged(WPARAM wParam, LPARAM)
{
    if (wParam == IDC_TITLE_CAMERA_COMBO) ChooseCamera();
    return 0;
}

void CTitleBar::ChooseCamera()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (mgr.runState == 0) return;
    int sel = m_cameraCombo.GetCurSel();
    // A change without a selection must not choose (and remember) camera -1.
    if (sel < 0) return;
    QrCChoiceCamera(sel);
    m_nCameraIndex = sel;
    ShellLinks& links = Links();
    if (links.camera != NULL) {
        links.camera->RefreshControls();
        links.camera->RefreshResolutionCombos();
    }
    if (links.capture != NULL) links.capture->UpdateControlState();
    if (links.videoRecord != NULL) links.videoRecord->UpdateControlState();
    if (links.imagePage != NULL) links.imagePage->RefreshAllPanels();
    if (links.captureTools != NULL) links.captureTools->UpdateControlState();
}
