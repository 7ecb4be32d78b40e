#include "app/shell/MainFrame.h"
#include "app/shell/ShellLinks.h"
#include "app/shell/ManageView.h"
#include "app/shell/DravenluxView.h"
#include "app/shell/ImageToolView.h"
#include "app/res/resource.h"
#include "app/browse/ImageListView.h"
#include "app/browse/ThumbnailStrip.h"
#include "app/browse/ThumbnailListCtrl.h"
#include "app/store/ImageStore.h"
#include "app/image/PrintLayoutDialog.h"
#include "app/capture/CameraHotplugListener.h"
#include "app/capture/CameraPanel.h"
#include "app/capture/CapturePanel.h"
#include "app/capture/VideoRecordPanel.h"
#include "camera/core/QrCCamera.h"
#include <shlobj.h>

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

namespace {
// Posted to the frame to put its floating panels back above it.
const UINT WM_RAISE_POPUPS = WM_APP + 0x120;
// Posted to the frame by the thread of the camera library's first look for cameras.
const UINT WM_CAMERAS_LOOKED = WM_APP + 0x122;
// The start after the look, and the refresh after the open: each its own message, so the
// window answers between them.
const UINT WM_START_CAMERA = WM_APP + 0x123;
const UINT WM_CAMERA_OPENED = WM_APP + 0x124;
// The first frames of the live picture are drawn while the GUI thread answers.
const UINT kFirstBuildStepAfterOpenMs = 1000;
} // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_NCHITTEST()
    ON_WM_TIMER()
    ON_MESSAGE(WM_DEVICECHANGE, OnDeviceChangeMsg)
    ON_MESSAGE(WM_CAMERA_ARRIVED, OnCameraArrived)
    ON_MESSAGE(WM_CAMERA_REMOVED, OnCameraRemoved)
    ON_MESSAGE(WM_PRINT_DIALOG_CLOSED, OnToolWindowClosed)
    ON_MESSAGE(WM_HOTKEY, OnHotKeyMsg)
    ON_MESSAGE(WM_ENDSESSION, OnEndSessionMsg)
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_ACTIVATE()
    ON_MESSAGE(WM_RAISE_POPUPS, OnRaisePopups)
    ON_MESSAGE(WM_CAMERAS_LOOKED, OnCamerasLooked)
    ON_MESSAGE(WM_START_CAMERA, OnStartCamera)
    ON_MESSAGE(WM_CAMERA_OPENED, OnCameraOpened)
END_MESSAGE_MAP()

namespace {

// Moves only when the place changes: the layout runs on every WM_NCHITTEST.
void MoveTo(CWnd& wnd, int x, int y, int w, int h)
{
    if (wnd.m_hWnd == NULL) return;
    if (w < 0) w = 0;
    if (h < 0) h = 0;
    CRect now;
    wnd.GetWindowRect(&now);
    if (now.left == x && now.top == y && now.Width() == w && now.Height() == h) return;
    wnd.SetWindowPos(NULL, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MoveTo(CWnd& wnd, const CRect& r) { MoveTo(wnd, r.left, r.top, r.Width(), r.Height()); }

void Show(CWnd& wnd, BOOL show)
{
    if (wnd.m_hWnd != NULL) wnd.ShowWindow(show ? SW_SHOWNOACTIVATE : SW_HIDE);
}

int AtLeastZero(int v) { return v < 0 ? 0 : v; }

} // namespace

CMainFrame::CMainFrame()
    : m_lastLayoutCx(0), m_lastLayoutCy(0), m_pHotplug(NULL), m_bFullPreview(0), m_bCompareMode(0),
      m_bCompareWindowShown(0), m_bTornDown(FALSE), m_bRaising(FALSE), m_bCamerasLooked(FALSE),
      m_hLook(NULL), m_bStartPending(FALSE), m_lastBorderInner(0, 0, 0, 0), m_bLaidOut(FALSE)
{
    for (int i = 0; i < HIDDEN_POPUPS; i++) {
        m_popupBuilders[i].Bind(this, static_cast<HiddenPopup>(i));
        m_bPopupMade[i] = FALSE;
    }
}

CMainFrame::~CMainFrame()
{
    ShellLinks& links = Links();
    delete links.printLayout;
    links.printLayout = NULL;
    delete m_pHotplug;
    if (links.frame == this) {
        links.frame = NULL;
        links.preview = NULL;
        links.overlay = NULL;
        links.captureTools = NULL;
        links.comparePane = NULL;
        links.compareWindow = NULL;
        links.focusMeter = NULL;
        links.titleBar = NULL;
        links.measurePanel = NULL;
        links.hotplug = NULL;
        for (CColorPanel*& border : links.borders) border = NULL;
    }
}

// Without a menu from the start, and captionless before the panes are made (an
// overlapped window is given its caption by the system at creation): either change after
// the panes are made costs a layout of every pane before the first paint.
BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.hMenu != NULL) ::DestroyMenu(cs.hMenu);
    cs.hMenu = NULL;
    cs.style |= WS_MAXIMIZE;
    return CFrameWnd::PreCreateWindow(cs);
}

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (!m_wndOuter.CreateStatic(this, 1, 2, WS_CHILD | WS_VISIBLE, AFX_IDW_PANE_FIRST)) return FALSE;
    if (!m_wndOuter.CreateView(0, 0, RUNTIME_CLASS(CManageView), CSize(100, 100), pContext)) return FALSE;
    if (!m_wndRight.CreateStatic(&m_wndOuter, 2, 1, WS_CHILD | WS_VISIBLE, m_wndOuter.IdFromRowCol(0, 1)))
        return FALSE;
    if (!m_wndRight.CreateView(1, 0, RUNTIME_CLASS(CImageListView), CSize(100, 100), pContext)) return FALSE;
    if (!m_wndInner.CreateStatic(&m_wndRight, 1, 2, WS_CHILD | WS_VISIBLE, m_wndRight.IdFromRowCol(0, 0)))
        return FALSE;
    if (!m_wndInner.CreateView(0, 0, RUNTIME_CLASS(CDravenluxView), CSize(900, 100), pContext)) return FALSE;
    if (!m_wndInner.CreateView(0, 1, RUNTIME_CLASS(CImageToolView), CSize(100, 100), pContext)) return FALSE;
    m_wndOuter.SetThinGaps();
    m_wndRight.SetThinGaps();
    m_wndInner.SetThinGaps();
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpcs)
{
    // The panes made below find the frame and its popups here: the frame is not the
    // application's main window until the first document is open.
    ShellLinks& links = Links();
    links.frame = this;
    links.noMoreBuilds = false;
    links.store = CImageStore::Instance();
    links.preview = &m_preview;
    links.overlay = &m_overlay;
    links.captureTools = &m_captureTools;
    links.comparePane = &m_comparePane;
    links.comparePane.BuildWith(&m_comparePane, &m_popupBuilders[POPUP_COMPARE_PANE]);
    links.compareWindow = &m_compareWindow;
    links.compareWindow.BuildWith(&m_compareWindow, &m_popupBuilders[POPUP_COMPARE_WINDOW]);
    links.focusMeter = &m_focusMeter;
    links.focusMeter.BuildWith(&m_focusMeter, &m_popupBuilders[POPUP_FOCUS_METER]);
    links.titleBar = &m_titleBar;
    links.measurePanel = &m_measurePanel;
    links.borders[0] = &m_borderVertical;
    links.borders[1] = &m_borderHorizontal;
    SetTimer(TIMER_STACK_CHECK, 500, NULL);
    ModifyStyle(WS_CAPTION, 0, SWP_FRAMECHANGED);

    if (CFrameWnd::OnCreate(lpcs) == -1) return -1;

    if (!m_wndReBar.Create(this, RBS_BANDBORDERS, 0x56002800, AFX_IDW_REBAR)) return -1;

    m_titleBar.Create(CTitleBar::IDD, &m_wndReBar);
    m_titleBar.ShowWindow(SW_SHOW);
    m_wndReBar.AddBar(&m_titleBar, NULL, NULL, RBBS_FIXEDSIZE | RBBS_FIXEDBMP);

    // Hidden until asked for (the caption bar makes its window): only its states now.
    if (links.store != NULL) links.store->SetLineBackgroundCallback(MeasureLineCallback);
    m_measurePanel.Refresh();

    m_preview.Create(CPreviewWnd::IDD, this);
    m_preview.ShowWindow(SW_SHOWNOACTIVATE);
    m_overlay.Create(COverlayWnd::IDD, &m_preview);
    m_overlay.ShowWindow(SW_SHOWNOACTIVATE);
    CRect pr;
    m_preview.GetWindowRect(&pr);
    MoveTo(m_overlay, pr);

    m_captureTools.Create(CCaptureToolBar::IDD, this);
    m_captureTools.ShowWindow(SW_SHOWNOACTIVATE);

    m_borderVertical.Create(CColorPanel::IDD, this);
    m_borderVertical.ShowWindow(SW_SHOWNOACTIVATE);
    m_borderVertical.SetInnerColor(149, 149, 149);
    m_borderVertical.SetLowerColor(189, 189, 189);
    m_borderHorizontal.Create(CColorPanel::IDD, this);
    m_borderHorizontal.ShowWindow(SW_SHOWNOACTIVATE);
    m_borderHorizontal.SetColor(149, 149, 149);

    RefreshCameraList();

    if (m_pHotplug == NULL) m_pHotplug = new CCameraHotplugListener;
    links.hotplug = m_pHotplug;
    m_pHotplug->Register(m_hWnd);

    CreateBaseFolder();

    ::RegisterHotKey(m_hWnd, HOTKEY_CAPTURE, 0, VK_F9);
    ::RegisterHotKey(m_hWnd, HOTKEY_RECORD_START, 0, VK_F10);
    ::RegisterHotKey(m_hWnd, HOTKEY_RECORD_STOP, 0, VK_F11);
    // Most of the camera library's first look for cameras is waiting on the devices: it
    // runs while the frame is shown and painted, after the panes have asked the library
    // what they show.
    LookForCamerasAside();
    SetTimer(TIMER_AFTER_FIRST_PAINT, USER_TIMER_MINIMUM, NULL);
    // Watched once built: the watch's hook would otherwise be called for every window
    // made above, and nothing above can put a window over the floating ones before the
    // first layout restacks them.
    m_floating.Watch(m_hWnd, WM_RAISE_POPUPS);
    return 0;
}

void CMainFrame::MakeHiddenPopup(HiddenPopup which)
{
    if (m_bPopupMade[which] || m_hWnd == NULL || Links().noMoreBuilds) return;
    m_bPopupMade[which] = TRUE;
    switch (which) {
    case POPUP_COMPARE_PANE:
        m_comparePane.Create(CComparePane::IDD, this);
        m_comparePane.ShowWindow(SW_HIDE);
        break;
    case POPUP_COMPARE_WINDOW:
        m_compareWindow.Create(CCompareWindow::IDD, this);
        m_compareWindow.PlanPanes(2);
        m_compareWindow.ShowWindow(SW_HIDE);
        break;
    case POPUP_FOCUS_METER:
    default:
        m_focusMeter.Create(CProgressPopup::IDD, this);
        m_focusMeter.ShowWindow(SW_HIDE);
        break;
    }
    // Its place, as the layout gives it.
    if (m_bLaidOut) {
        CRect client;
        GetClientRect(&client);
        Layout(client.Width(), client.Height());
    }
}

void CMainFrame::CreateBaseFolder()
{
    WCHAR appData[MAX_PATH] = {0};
    ::SHGetSpecialFolderPathW(NULL, appData, CSIDL_APPDATA, FALSE);
    CString name;
    name.LoadString(AFX_IDS_APP_TITLE);
    CString folder = CString(appData) + L"\\" + name;
    if (::GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES) ::CreateDirectoryW(folder, NULL);
    folder += L"\\";
    if (Links().store != NULL) Links().store->SetBaseFolder(folder);
}

// ------------------------------------------------------------------------------------
// Layout

void CMainFrame::OnSize(UINT nType, int cx, int cy)
{
    CFrameWnd::OnSize(nType, cx, cy);
    Layout(cx, cy);
}

void CMainFrame::Layout(int cx, int cy)
{
    if (m_wndOuter.m_hWnd == NULL || m_wndRight.m_hWnd == NULL || m_wndInner.m_hWnd == NULL) return;
    // Sizes come from the room each splitter has below the caption bar, not from the
    // frame's rectangle: the strip and the tool pane keep their sizes whatever the bar,
    // the borders and the gaps take.
    m_wndOuter.SetColumnInfo(0, 220, 0);
    m_wndOuter.SetColumnInfo(1, AtLeastZero(m_wndOuter.PaneRoom(TRUE) - 220), 0);
    m_wndOuter.RecalcLayout();
    CThumbnailListCtrl* list = Links().thumbList;
    const BOOL expanded = list != NULL && list->IsExpanded();
    m_wndRight.FixLastRow(expanded ? m_wndRight.PaneRoom(FALSE) : 164);
    m_wndInner.FixLastColumn(40);

    if (m_bFullPreview) {
        Show(m_captureTools, FALSE);
        Show(m_comparePane, FALSE);
        Show(m_compareWindow, FALSE);
        CRect outer;
        m_wndOuter.GetWindowRect(&outer);
        MoveTo(m_preview, outer);
        MoveTo(m_overlay, outer);
    } else {
        CRect area, right;
        m_wndOuter.GetWindowRect(&area);
        m_wndRight.GetWindowRect(&right);
        const CRect view = m_wndInner.PaneScreenRect(0, 0);
        const CRect strip = m_wndRight.PaneScreenRect(1, 0);

        const int borderHeight = AtLeastZero(area.bottom - right.top);
        MoveTo(m_borderVertical, right.left - 1, right.top, 3, borderHeight);
        CRect inner(0, borderHeight - strip.Height() + 30, 3, borderHeight - 16);
        if (inner != m_lastBorderInner && m_borderVertical.m_hWnd != NULL) {
            m_borderVertical.SetInnerRect(inner);
            m_borderVertical.Invalidate(FALSE);
            m_lastBorderInner = inner;
        }
        MoveTo(m_borderHorizontal, right.left - 1, view.bottom, area.right - right.left, 6);

        CImageStore* store = Links().store;
        if (store != NULL && store->GetMeasureTarget() == 0) {
            float zoom = m_preview.GetZoom();
            if (zoom != store->GetZoom()) {
                store->SetZoom(zoom);
                if (m_overlay.m_hWnd != NULL) m_overlay.Invalidate(FALSE);
            }
        }
        if (!m_bCompareMode) {
            MoveTo(m_comparePane, view);
            MoveTo(m_compareWindow, view);
        }
        PlaceOverView();
        MoveTo(m_captureTools, m_wndInner.PaneScreenRect(0, 1));
        const int meterWidth = view.Width() / 2;
        MoveTo(m_focusMeter, view.left + (view.Width() - meterWidth) / 2, view.bottom - 20, meterWidth, 20);
    }

    m_laidOut = CurrentLayoutKey();
    m_bLaidOut = TRUE;
    if (cx != m_lastLayoutCx || cy != m_lastLayoutCy) {
        m_lastLayoutCx = cx;
        m_lastLayoutCy = cy;
        m_wndInner.Invalidate();
        if (m_captureTools.m_hWnd != NULL) m_captureTools.Invalidate();
        m_captureTools.RefitLivePreview();
        // Not inside the frame's own change of place: its z-order is applied after this.
        RaisePopupsLater();
    }
}

// The live picture covers the main view's pane; in comparison mode it shares it with the
// comparison pane, half each.
void CMainFrame::PlaceOverView()
{
    const CRect view = m_wndInner.PaneScreenRect(0, 0);
    if (!m_bCompareMode) {
        MoveTo(m_preview, view);
        MoveTo(m_overlay, view);
        return;
    }
    const int half = view.Width() / 2;
    MoveTo(m_preview, view.left, view.top, half, view.Height());
    MoveTo(m_overlay, view.left, view.top, half, view.Height());
    MoveTo(m_comparePane, view.left + half, view.top, view.Width() - half, view.Height());
}

bool CMainFrame::LayoutKey::operator==(const LayoutKey& o) const
{
    return window == o.window && fullPreview == o.fullPreview && compareMode == o.compareMode &&
           expanded == o.expanded && measureTarget == o.measureTarget && zoom == o.zoom && preview == o.preview;
}

CMainFrame::LayoutKey CMainFrame::CurrentLayoutKey()
{
    LayoutKey key;
    GetWindowRect(&key.window);
    key.fullPreview = m_bFullPreview;
    key.compareMode = m_bCompareMode;
    CThumbnailListCtrl* list = Links().thumbList;
    key.expanded = list != NULL && list->IsExpanded();
    CImageStore* store = Links().store;
    key.measureTarget = store != NULL ? store->GetMeasureTarget() : 1;
    key.zoom = m_preview.GetZoom();
    if (m_preview.m_hWnd != NULL) m_preview.GetWindowRect(&key.preview);
    return key;
}

// The pointer moves over the frame all the time: the layout runs again only when
// something it depends on changed, or a panel was moved from where it put it.
LRESULT CMainFrame::OnNcHitTest(CPoint point)
{
    if (!m_bLaidOut || !(CurrentLayoutKey() == m_laidOut)) {
        // The client size, as WM_SIZE gives it: with the window's size the pass would take
        // the frame for resized and refit and repaint everything.
        CRect r;
        GetClientRect(&r);
        Layout(r.Width(), r.Height());
    }
    return CFrameWnd::OnNcHitTest(point);
}

void CMainFrame::SetFullPreview(BOOL on)
{
    m_bFullPreview = on ? 1 : 0;
    if (on) {
        Show(m_wndOuter, FALSE);
        Show(m_captureTools, FALSE);
        Show(m_comparePane, FALSE);
        Show(m_compareWindow, FALSE);
        CRect r;
        GetWindowRect(&r);
        MoveTo(m_preview, r);
        MoveTo(m_overlay, r);
    } else {
        Show(m_wndOuter, TRUE);
        Show(m_captureTools, TRUE);
        if (m_bCompareMode) Show(m_comparePane, TRUE);
        CRect r;
        GetWindowRect(&r);
        Layout(r.Width(), r.Height());
    }
}

void CMainFrame::SetCompareMode(BOOL on)
{
    if (on) MakeHiddenPopup(POPUP_COMPARE_PANE);
    m_bCompareMode = on ? 1 : 0;
    ShellLinks& links = Links();
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    const BOOL runs = mgr.runState == 0;
    if (!m_bFullPreview) PlaceOverView();
    if (on) {
        m_comparePane.OpenSelectedThumbnail();
        float shown;
        if (runs) {
            m_preview.ZoomToFit();
            m_overlay.ZoomToFit();
            m_comparePane.SetZoom(m_preview.GetZoom());
            shown = m_preview.GetZoom();
        } else {
            m_comparePane.FitToWindow(0);
            shown = m_comparePane.GetZoom();
        }
        m_captureTools.ShowZoom(shown);
        if (links.store != NULL) links.store->ClearMeasurements();
        if (links.layers != NULL) links.layers->RefreshLayerList();
        Show(m_comparePane, TRUE);
        m_measurePanel.DisableTools();
    } else {
        Show(m_comparePane, FALSE);
        if (runs) {
            m_preview.ZoomToFit();
            m_overlay.ZoomToFit();
            m_preview.ApplyZoom();
            m_overlay.ApplyZoom();
            if (m_preview.m_hWnd != NULL) m_preview.Invalidate();
            m_captureTools.ShowZoom(m_preview.GetZoom());
        }
        m_measurePanel.Refresh();
    }
    Invalidate();
}

void CMainFrame::ShowCompareWindow(BOOL on)
{
    if (on) MakeHiddenPopup(POPUP_COMPARE_WINDOW);
    m_bCompareWindowShown = on ? 1 : 0;
    if (on) m_compareWindow.MakePlannedPanes();
    Show(m_compareWindow, on);
    if (m_compareWindow.m_hWnd != NULL) m_compareWindow.Invalidate();
    m_compareWindow.LayoutPanes();
}

void CMainFrame::RefreshCameraList()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    int count = 0;
    QrCGetCameraCount(&count);
    if (m_titleBar.m_hWnd == NULL) return;
    CComboBox& combo = m_titleBar.GetCameraCombo();
    CEdit& name = m_titleBar.GetCameraName();
    if (count < 1) {
        CString text;
        if (info.productIndex == -1 || mgr.cameraType == CAMERA_TYPE_NONE) text.LoadString(IDS_UNKNOWN_DEVICE);
        else text = info.modelName;
        name.SetWindowText(text);
        combo.ResetContent();
        combo.AddString(text);
        combo.SetCurSel(0);
        combo.ShowWindow(SW_HIDE);
        name.ShowWindow(SW_SHOW);
    } else {
        name.SetWindowText(info.modelName);
        combo.ResetContent();
        QrCRegisterCamera(combo.m_hWnd);
        combo.ShowWindow(SW_SHOW);
        name.ShowWindow(SW_HIDE);
    }
    m_titleBar.Invalidate();
    m_titleBar.EnableByCameraState();
}

std::vector<HWND> CMainFrame::FloatingOrder()
{
    const CWnd* panels[] = {&m_borderVertical, &m_borderHorizontal, &m_preview, &m_overlay, &m_comparePane,
                            &m_compareWindow, &m_captureTools, &m_focusMeter};
    std::vector<HWND> handles;
    for (const CWnd* panel : panels) handles.push_back(panel->m_hWnd);
    return CFloatingStack::Order(m_hWnd, handles);
}

BOOL CMainFrame::MayRaisePopups()
{
    // A modal loop (the frame disabled) has its dialog in front; its end activates the frame.
    if (m_bRaising || m_hWnd == NULL || !IsWindowVisible() || IsIconic() || !IsWindowEnabled()) return FALSE;
    // Only while the program is in front: the panels must not cover another program's window.
    if (!CFloatingStack::BelongsTo(::GetForegroundWindow(), m_hWnd)) return FALSE;
    // Not over an open menu, nor while the frame is dragged: the end of either asks again.
    GUITHREADINFO info = {sizeof(info)};
    const DWORD busy = GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE | GUI_INMOVESIZE;
    return !::GetGUIThreadInfo(::GetCurrentThreadId(), &info) || !(info.flags & busy);
}

void CMainFrame::RaisePopups()
{
    if (!MayRaisePopups()) return;
    m_bRaising = TRUE;
    CFloatingStack::RenewPointerClip();
    CFloatingStack::Restack(m_hWnd, FloatingOrder());
    m_bRaising = FALSE;
}

void CMainFrame::RaisePopupsLater() { m_floating.Request(); }

LRESULT CMainFrame::OnRaisePopups(WPARAM, LPARAM)
{
    std::vector<HWND> shown;
    // Popups shown over a settled stack (a tab switch) are where they belong already, and
    // each move of a large popup costs its surface a round trip through the display.
    if (m_floating.Taken(&shown) && CFloatingStack::IsShownInOrder(m_hWnd, FloatingOrder(), shown)) return 0;
    RaisePopups();
    return 0;
}

void CMainFrame::CheckStack()
{
    if (m_bRaising || !IsWindowVisible() || IsIconic()) return;
    const std::vector<HWND> order = FloatingOrder();
    if (!CFloatingStack::IsFrameUnder(m_hWnd, order)) RaisePopups();
    else if (!CFloatingStack::IsInOrder(m_hWnd, order)) CFloatingStack::Settle(m_hWnd, order);
}

void CMainFrame::OnWindowPosChanged(WINDOWPOS* lpwndpos)
{
    CFrameWnd::OnWindowPosChanged(lpwndpos);
    if (!(lpwndpos->flags & SWP_NOZORDER) || (lpwndpos->flags & SWP_SHOWWINDOW)) RaisePopupsLater();
}

void CMainFrame::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    CFrameWnd::OnActivate(nState, pWndOther, bMinimized);
    if (nState != WA_INACTIVE && !bMinimized) RaisePopupsLater();
}

// ------------------------------------------------------------------------------------
// Messages

LRESULT CMainFrame::OnHotKeyMsg(WPARAM wParam, LPARAM)
{
    UINT message;
    switch ((int)wParam) {
    case HOTKEY_CAPTURE: message = WM_HOTKEY_CAPTURE; break;
    case HOTKEY_RECORD_START: message = WM_HOTKEY_RECORD_START; break;
    case HOTKEY_RECORD_STOP: message = WM_HOTKEY_RECORD_STOP; break;
    default: return 1;
    }
    CCapturePanel* capture = Links().capture;
    if (capture != NULL && capture->m_hWnd != NULL) capture->PostMessage(message, 0, 0);
    return 0;
}

LRESULT CMainFrame::OnDeviceChangeMsg(WPARAM wParam, LPARAM lParam)
{
    if (m_pHotplug == NULL) return 0;
    return m_pHotplug->OnDeviceChange(wParam, lParam);
}

void CMainFrame::RefreshCameraPanels()
{
    ShellLinks& links = Links();
    if (links.camera != NULL) {
        links.camera->RefreshControls();
        links.camera->RefreshResolutionCombos();
    }
    if (links.capture != NULL) links.capture->UpdateControlState();
    if (links.videoRecord != NULL) links.videoRecord->UpdateControlState();
    if (links.imagePage != NULL) links.imagePage->RefreshAllPanels();
    m_captureTools.UpdateControlState();
}

LRESULT CMainFrame::OnCameraArrived(WPARAM wParam, LPARAM lParam)
{
    const int model = (int)wParam;
    if (lParam != 0) {
        RefreshCameraList();
    } else if (model != -1) {
        QrCSetCamera(model);
        RefreshCameraList();
    }
    RefreshCameraPanels();
    return 1;
}

LRESULT CMainFrame::OnCameraRemoved(WPARAM wParam, LPARAM lParam)
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CCameraPanel* camera = Links().camera;
    const BOOL panel = camera != NULL && camera->m_hWnd != NULL;
    if (lParam == 0) {
        if ((int)wParam != -1 && panel) camera->PostMessage(WM_CAMERA_REMOVED, 0, 0);
    } else if (wParam != 0) {
        if (panel) camera->PostMessage(WM_CAMERA_REMOVED, 1, 0);
    } else {
        RefreshCameraList();
    }
    return 1;
}

LRESULT CMainFrame::OnToolWindowClosed(WPARAM, LPARAM)
{
    ShellLinks& links = Links();
    if (links.printLayout != NULL) {
        delete links.printLayout;
        links.printLayout = NULL;
    }
    return 0;
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_POWERBROADCAST && wParam == PBT_APMRESUMEAUTOMATIC) {
        CameraMgrParam mgr;
        QrCCameraGetMgrParameter(&mgr);
        if (mgr.runState == 0) {
            if (Links().camera != NULL) Links().camera->PlayCamera();
            QrCChoiceCamera(m_titleBar.m_nCameraIndex);
        }
    }
    return CFrameWnd::WindowProc(message, wParam, lParam);
}

// ------------------------------------------------------------------------------------
// Shut-down

void CMainFrame::OnClose()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (mgr.runState == 0 && QrCCameraUnInit() == 0) {
        // The library is still finishing a recording: try again shortly.
        SetTimer(TIMER_CLOSE_RETRY, 100, NULL);
        return;
    }
    Teardown();
    CFrameWnd::OnClose();
}

void CMainFrame::StartAfterFirstPaint()
{
    m_bStartPending = TRUE;
    // The frame has painted: the look for cameras runs on its own thread while the
    // floating windows paint.
    if (m_hWnd != NULL) AfterFirstPaint();
}

void CMainFrame::AfterFirstPaint()
{
    if (m_bCamerasLooked) {
        StartCamera();
        return;
    }
    LookForCamerasAside();
}

void CMainFrame::LookForCamerasAside()
{
    if (m_bCamerasLooked || m_hLook != NULL) return;
    // The camera library's first call builds the camera manager and finds a camera; most
    // of it is waiting on the devices, which the window must not.
    m_hLook = ::CreateThread(NULL, 0, LookForCameras, m_hWnd, 0, NULL);
    if (m_hLook == NULL) {
        QrCReflashCamera();
        PostMessage(WM_CAMERAS_LOOKED);
    }
}

DWORD WINAPI CMainFrame::LookForCameras(void* frame)
{
    QrCReflashCamera();
    ::PostMessageW(static_cast<HWND>(frame), WM_CAMERAS_LOOKED, 0, 0);
    return 0;
}

LRESULT CMainFrame::OnCamerasLooked(WPARAM, LPARAM)
{
    if (m_bCamerasLooked) return 0;
    if (m_hLook != NULL) {
        ::WaitForSingleObject(m_hLook, INFINITE);
        ::CloseHandle(m_hLook);
        m_hLook = NULL;
    }
    m_bCamerasLooked = TRUE;
    {
        // What is built shows the camera found; what waits is refreshed once built.
        ShellBuildHold hold;
        RefreshCameraList();
        RefreshCameraPanels();
        if (CCameraPanel* camera = Links().camera) camera->RefreshSliders();
        m_measurePanel.Refresh();
    }
    // The sections not shown yet, one at a time when nothing else waits (a timer comes
    // after input and painting), and only once the live picture has had its first frames.
    SetTimer(TIMER_BUILD_STEP, m_bStartPending ? kFirstBuildStepAfterOpenMs : USER_TIMER_MINIMUM, NULL);
    PostMessage(WM_START_CAMERA);
    return 0;
}

LRESULT CMainFrame::OnStartCamera(WPARAM, LPARAM)
{
    StartCamera();
    return 0;
}

void CMainFrame::StartCamera()
{
    if (!m_bStartPending) return;
    m_bStartPending = FALSE;
    ShellLinks& links = Links();
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    {
        // Neither the folder nor the live picture waits for the sections the user has not
        // opened.
        ShellBuildHold hold;
        if (links.strip != NULL) links.strip->SetFolder(mgr.capture.Path);
        CCameraPanel* camera = links.camera;
        if (mgr.cameraType != CAMERA_TYPE_NONE && camera != NULL) {
            camera->PlayCameraPlaceholderLater();
            PostMessage(WM_CAMERA_OPENED);
        }
    }
    if (mgr.cameraType == CAMERA_TYPE_NONE) AfxMessageBox(IDS_NO_CAMERA, MB_OK);
}

// What the open refreshes through the whole page, for the panels already built.
LRESULT CMainFrame::OnCameraOpened(WPARAM, LPARAM)
{
    ShellBuildHold hold;
    ShellLinks& links = Links();
    if (CCameraPanel* camera = links.camera) {
        camera->RefreshControls();
        camera->RefreshSliders();
        camera->RefreshResolutionCombos();
    }
    if (CVideoRecordPanel* video = links.videoRecord) video->UpdateControlState();
    return 0;
}

void CMainFrame::BuildDeferredStep()
{
    KillTimer(TIMER_BUILD_STEP);
    ShellLinks& links = Links();
    m_floating.HoldHook();
    const bool more = links.manage != NULL && !links.noMoreBuilds && links.manage->BuildDeferredStep();
    m_floating.ReleaseHook();
    if (more) SetTimer(TIMER_BUILD_STEP, USER_TIMER_MINIMUM, NULL);
}

BOOL CMainFrame::DestroyWindow()
{
    Links().noMoreBuilds = true;
    return CFrameWnd::DestroyWindow();
}

void CMainFrame::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == TIMER_AFTER_FIRST_PAINT) {
        KillTimer(TIMER_AFTER_FIRST_PAINT);
        AfterFirstPaint();
        return;
    }
    if (nIDEvent == TIMER_BUILD_STEP) {
        BuildDeferredStep();
        return;
    }
    if (nIDEvent == TIMER_STACK_CHECK) {
        CheckStack();
        return;
    }
    if (nIDEvent != TIMER_CLOSE_RETRY) {
        CFrameWnd::OnTimer(nIDEvent);
        return;
    }
    if (QrCCameraUnInit() == 0) return;
    KillTimer(TIMER_CLOSE_RETRY);
    Teardown();
    CFrameWnd::OnClose();
}

void CMainFrame::Teardown()
{
    if (m_bTornDown) return;
    m_bTornDown = TRUE;
    Links().noMoreBuilds = true;
    if (m_hLook != NULL) {
        ::WaitForSingleObject(m_hLook, INFINITE);
        ::CloseHandle(m_hLook);
        m_hLook = NULL;
    }
    if (m_pHotplug != NULL) {
        m_pHotplug->Unregister();
        delete m_pHotplug;
        m_pHotplug = NULL;
        Links().hotplug = NULL;
    }
    m_compareWindow.DestroyPanes();
    QrCCameraMgrUninitialize();
    // The process-wide store is never destroyed: the program's end is here.
    if (Links().store != NULL) Links().store->SaveRulerAttributes();
    ::UnregisterHotKey(m_hWnd, HOTKEY_RECORD_START);
    ::UnregisterHotKey(m_hWnd, HOTKEY_RECORD_STOP);
    ::UnregisterHotKey(m_hWnd, HOTKEY_CAPTURE);
}

// A frame that goes without its close (a failed first open, the end of the session)
// still shuts the camera library down and gives its hot keys back.
void CMainFrame::OnDestroy()
{
    m_floating.Unwatch();
    if (!m_bTornDown) {
        CameraMgrParam mgr;
        QrCCameraGetMgrParameter(&mgr);
        if (mgr.runState == 0) QrCCameraUnInit();
        Teardown();
    }
    CFrameWnd::OnDestroy();
}

LRESULT CMainFrame::OnEndSessionMsg(WPARAM wParam, LPARAM)
{
    if (wParam) {
        CameraMgrParam mgr;
        QrCCameraGetMgrParameter(&mgr);
        if (mgr.runState == 0) QrCCameraUnInit();
        Teardown();
    }
    return 0;
}
