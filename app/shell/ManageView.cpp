#include "app/shell/ManageView.h"
#include "app/shell/ShellLinks.h"
#include "app/shell/MainFrame.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/DravenluxView.h"
#include "app/res/resource.h"
#include "app/store/ImageStore.h"
#include "app/image/ComparePane.h"
#include "app/image/CompareWindow.h"
#include "app/capture/PreviewWnd.h"
#include "app/capture/LiveLayout.h"
#include "app/capture/OverlayWnd.h"
#include "app/capture/CaptureToolBar.h"
#include "app/browse/BrowseToolBar.h"
#include "app/browse/ThumbnailStrip.h"
#include "app/measure/MeasurePanel.h"
#include "app/measure/LayersDialog.h"

IMPLEMENT_DYNCREATE(CManageView, CScrollView)

BEGIN_MESSAGE_MAP(CManageView, CScrollView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_NOTIFY(TCN_SELCHANGE, IDC_MANAGE_TAB, OnTabSelChange)
END_MESSAGE_MAP()

CManageView::CManageView() : m_capturePage(&m_tab), m_browsePage(&m_tab), m_imagePage(&m_tab)
{
    Links().manage = this;
    m_capturePage.DeferSections();
    m_browsePage.DeferSections();
    m_imagePage.DeferSections();
}

CManageView::~CManageView()
{
    // Sections first, last to first, before the pages themselves go.
    m_capturePage.DeleteSections();
    m_browsePage.DeleteSections();
    m_imagePage.DeleteSections();
    if (Links().manage == this) Links().manage = NULL;
}

BOOL CManageView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style &= ~WS_BORDER;
    return CScrollView::PreCreateWindow(cs);
}

int CManageView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CScrollView::OnCreate(lpcs) == -1) return -1;
    if (!m_tab.Create(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, CRect(0, 0, 220, 400), this,
                      IDC_MANAGE_TAB))
        return 0;
    m_tab.SetBitmaps(IDB_TAB_CAPTURE, IDB_TAB_BROWSE, IDB_TAB_IMAGE);
    const UINT titles[3] = {IDS_TAB_CAPTURE, IDS_TAB_BROWSE, IDS_TAB_IMAGE};
    for (int i = 0; i < 3; i++) {
        CString text;
        text.LoadString(titles[i]);
        m_tab.InsertItem(i, text);
    }
    m_tab.SendMessage(TCM_SETMINTABWIDTH, 0, 72);
    m_tab.ShowWindow(SW_SHOW);
    m_tab.SetCurSel(0);
    m_capturePage.Create(CCapturePage::IDD, &m_tab);
    m_browsePage.Create(CBrowsePage::IDD, &m_tab);
    m_imagePage.Create(CImagePage::IDD, &m_tab);
    m_capturePage.ShowWindow(SW_SHOW);
    return 0;
}

bool CManageView::BuildDeferredStep()
{
    CTabPage* pages[] = {&m_capturePage, &m_browsePage, &m_imagePage};
    for (CTabPage* page : pages) {
        if (page->Built()) continue;
        // A page that cannot build (the frame goes) ends the steps.
        return page->BuildStep() || page->Built();
    }
    return false;
}

void CManageView::OnInitialUpdate()
{
    SetScrollSizes(MM_TEXT, CSize(100, 100));
    CScrollView::OnInitialUpdate();
}

void CManageView::OnSize(UINT nType, int cx, int cy)
{
    CScrollView::OnSize(nType, cx, cy);
    if (m_tab.m_hWnd == NULL) return;
    CRect client;
    GetClientRect(&client);
    m_tab.MoveWindow(&client);
    CDialog* pages[3] = {&m_capturePage, &m_browsePage, &m_imagePage};
    for (CDialog* page : pages)
        if (page->m_hWnd != NULL) page->MoveWindow(0, 24, client.Width() - 2, client.Height() - 24);
}

BOOL CManageView::OnEraseBkgnd(CDC*) { return TRUE; }
void CManageView::OnDraw(CDC*) {}

int CManageView::GetCurrentTab() const
{
    if (m_tab.m_hWnd == NULL) return TAB_CAPTURE;
    return (int)::SendMessageW(m_tab.m_hWnd, TCM_GETCURSEL, 0, 0);
}

void CManageView::SelectTab(int tab)
{
    m_tab.SendMessage(TCM_SETCURSEL, tab);
    SwitchTo(tab);
}

void CManageView::OnTabSelChange(NMHDR*, LRESULT* pResult)
{
    SwitchTo(GetCurrentTab());
    *pResult = 0;
}

namespace {

// Without activation: a tab switch leaves the frame active. Each floating window that
// took activation as it came up cost a deactivation round of the frame and the popups.
void Show(CWnd* wnd, BOOL show)
{
    if (wnd != NULL && wnd->m_hWnd != NULL) wnd->ShowWindow(show ? SW_SHOWNA : SW_HIDE);
}

void Repaint(CWnd* wnd)
{
    if (wnd != NULL && wnd->m_hWnd != NULL) wnd->Invalidate(FALSE);
}

} // namespace

void CManageView::SwitchTo(int tab)
{
    if (tab == TAB_CAPTURE) m_capturePage.BuildNow();
    else if (tab == TAB_BROWSE) m_browsePage.BuildNow();
    else if (tab == TAB_IMAGE) m_imagePage.BuildNow();
    ShellLinks& links = Links();
    CImageStore* store = links.store;
    CMainFrame* frame = links.frame;
    if (store != NULL && store->IsMergeMode()) {
        m_tab.SendMessage(TCM_SETCURSEL, TAB_IMAGE);
        AfxMessageBox(IDS_MERGE_BUSY, MB_OK);
        return;
    }
    CWnd* inner = frame != NULL ? &frame->m_wndInner : NULL;
    const BOOL compareMode = frame != NULL && frame->IsCompareMode();
    const BOOL compareWindow = frame != NULL && frame->IsCompareWindowShown();

    if (tab == TAB_CAPTURE) {
        Show(inner, TRUE);
        ShowLiveWindow(links.preview, TRUE);
        ShowLiveWindow(links.overlay, TRUE);
        Show(links.captureTools, TRUE);
        if (compareMode) Show(links.comparePane, TRUE);
        Show(links.compareWindow.Peek(), FALSE);
        Show(links.browseTools, FALSE);
        Show(&m_capturePage, TRUE);
        Show(&m_browsePage, FALSE);
        Show(&m_imagePage, FALSE);
        if (store != NULL) {
            store->ClearMeasurements();
            store->SetMeasureTarget(0);
            store->InvalidateMeasureTarget();
        }
        if (links.measurePanel != NULL) {
            links.measurePanel->Refresh();
            links.measurePanel->SyncToolButtons();
        }
        if (store != NULL) store->ClearMeasurements();
        Repaint(links.preview);
        if (links.layers != NULL) links.layers->RefreshLayerList();
        if (store != NULL && links.doc != NULL) {
            CString placeholder;
            store->GetBaseFolder(placeholder);
            placeholder += L"_Dynmeasure_.jpg";
            store->SetTrackOpenedFile(0);
            links.doc->OnOpenDocument(placeholder);
            store->SetTrackOpenedFile(1);
            if (links.preview != NULL) store->SetZoom(links.preview->GetZoom());
        }
        if (links.view != NULL) {
            links.view->RefreshMainView();
            Repaint(links.view);
        }
    } else {
        Show(inner, TRUE);
        if (compareWindow) Show(links.compareWindow, TRUE);
        ShowLiveWindow(links.preview, FALSE);
        ShowLiveWindow(links.overlay, FALSE);
        Show(links.captureTools, FALSE);
        Show(links.comparePane.Peek(), FALSE);
        Show(links.browseTools, TRUE);
        Show(&m_browsePage, tab == TAB_BROWSE);
        Show(&m_imagePage, tab == TAB_IMAGE);
        Show(&m_capturePage, FALSE);
        if (store != NULL) store->ClearMeasurements();
        Repaint(links.view);
        if (store != NULL) {
            store->SetMeasureTarget(1);
            store->InvalidateMeasureTarget();
        }
        if (links.measurePanel != NULL) {
            links.measurePanel->Refresh();
            links.measurePanel->SyncToolButtons();
        }
        if (links.layers != NULL) links.layers->RefreshLayerList();
        if (links.doc != NULL && frame != NULL) links.doc->OnOpenDocument(frame->GetCurrentFile());
    }
    if (links.strip != NULL) {
        links.strip->RefreshAfterChange();
        links.strip->UpdateCurrentImageLabel(0);
    }
    Repaint(&m_tab);
}
