#include "app/shell/DravenluxView.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/ShellLinks.h"
#include "app/res/resource.h"
#include "app/store/ImageStore.h"
#include "app/browse/BrowseToolBar.h"
#include "app/measure/MeasurePanel.h"
#include "app/measure/RulerPropsDialog.h"
#include "app/capture/OverlayWnd.h"
#include "app/capture/PreviewWnd.h"
#include "app/capture/LiveLayout.h"

IMPLEMENT_DYNCREATE(CDravenluxView, CScrollView)

BEGIN_MESSAGE_MAP(CDravenluxView, CScrollView)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONDOWN()
    ON_COMMAND(ID_VIEW_CROP, OnCrop)
    ON_WM_MOUSEWHEEL()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_MESSAGE(WM_REDRAW_IMAGE, OnRedrawRequest)
END_MESSAGE_MAP()

CDravenluxView::CDravenluxView() : m_hRedrawThread(NULL), m_bRunRedraw(1)
{
    // The frame being built is not the main window yet: its overlay comes through the
    // links it filled before creating its panes.
    ShellLinks& links = Links();
    links.view = this;
    if (links.store != NULL) {
        links.store->CreateMeasure(this);
        links.store->SetOverlayWindow((CWnd*)links.overlay);
    }
}

CDravenluxView::~CDravenluxView()
{
    StopRedrawThread();
    if (Links().view == this) Links().view = NULL;
}

CDravenluxDoc* CDravenluxView::GetDocument() const { return (CDravenluxDoc*)m_pDocument; }

int CDravenluxView::Mode() const
{
    CDravenluxDoc* doc = GetDocument();
    if (doc == NULL) doc = Links().doc;
    return doc != NULL ? doc->InteractionMode : MODE_NONE;
}

CPoint CDravenluxView::OverlayOffset() const
{
    POINT pt = {0, 0};
    if (Links().overlay != NULL) Links().overlay->GetScrollOffset(&pt);
    return CPoint(pt);
}

int CDravenluxView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CScrollView::OnCreate(lpcs) == -1) return -1;
    if (m_hRedrawThread == NULL) {
        m_bRunRedraw = 1;
        m_hRedrawThread = (HANDLE)_beginthreadex(NULL, 0, RedrawThreadEntry, this, 0, NULL);
    }
    m_contextMenu.CreatePopupMenu();
    m_contextMenu.SetTextColor(COwnerDrawMenu::OWNER_TEXT);
    m_contextMenu.SetBackColor(COwnerDrawMenu::OWNER_BACK);
    m_contextMenu.SetHighlightColor(COwnerDrawMenu::OWNER_HIGHLIGHT);
    m_contextMenu.SetHighlightTextColor(COwnerDrawMenu::OWNER_HIGHLIGHT_TEXT);
    CString crop;
    crop.LoadString(IDS_CROP);
    m_contextMenu.AppendItem(MF_OWNERDRAW, ID_VIEW_CROP, crop);
    return 0;
}

// Stopped while the window can still answer: the thread may be inside its SendMessage.
void CDravenluxView::OnDestroy()
{
    StopRedrawThread();
    CScrollView::OnDestroy();
}

void CDravenluxView::StopRedrawThread()
{
    ::InterlockedExchange(&m_bRunRedraw, 0);
    if (m_hRedrawThread == NULL) return;
    AfxWaitForSingleObjectSent(m_hRedrawThread, INFINITE);
    ::CloseHandle(m_hRedrawThread);
    m_hRedrawThread = NULL;
}

unsigned CDravenluxView::RedrawThreadEntry(void* param)
{
    ((CDravenluxView*)param)->RedrawLoop();
    return 0;
}

BOOL CDravenluxView::AdjustmentsPending()
{
    CImageStore* store = Links().store;
    return store != NULL && (store->IsSaturationChanged() || store->IsBrightnessChanged() ||
                             store->IsContrastChanged() || store->IsGammaChanged() || store->IsLevelsChanged() ||
                             store->IsSharpenChanged());
}

void CDravenluxView::RedrawLoop()
{
    while (m_bRunRedraw) {
        if (AdjustmentsPending()) {
            CImageStore* store = Links().store;
            if (store != NULL) store->RunAdjustments();
            HWND hWnd = m_hWnd;
            if (hWnd != NULL && m_bRunRedraw) ::SendMessageW(hWnd, WM_REDRAW_IMAGE, 0, 0);
        } else {
            ::Sleep(10);
        }
    }
}

LRESULT CDravenluxView::OnRedrawRequest(WPARAM, LPARAM)
{
    if (Links().browseTools != NULL && Links().store != NULL) Links().browseTools->ShowZoom(Links().store->GetZoom());
    Invalidate(FALSE);
    return 0;
}

BOOL CDravenluxView::IsUnderLivePicture()
{
    CWnd* preview = Links().preview;
    if (!IsLiveWindowShown(preview) || m_hWnd == NULL) return FALSE;
    CRect covered, view;
    preview->GetWindowRect(&covered);
    GetWindowRect(&view);
    return covered.left <= view.left && covered.top <= view.top && covered.right >= view.right &&
           covered.bottom >= view.bottom;
}

void CDravenluxView::OnPaint()
{
    // Wholly under the live picture nothing of the view shows, and a picture drawn there
    // is a whole pane of pixels for nothing, at start-up and at every switch to the
    // Capture tab: the update region is only taken.
    if (IsUnderLivePicture()) {
        PAINTSTRUCT ps;
        ::BeginPaint(m_hWnd, &ps);
        ::EndPaint(m_hWnd, &ps);
        return;
    }
    CScrollView::OnPaint();
}

void CDravenluxView::OnDraw(CDC* pDC)
{
    if (Links().store != NULL) Links().store->DrawToView(this, pDC);
}

void CDravenluxView::OnUpdate(CView*, LPARAM, CObject*)
{
    int w = 0, h = 0;
    float zoom = 1.0f;
    if (Links().store != NULL) {
        Links().store->GetImageSize(&w, &h);
        zoom = Links().store->GetZoom();
    }
    SetScrollSizes(MM_TEXT, CSize((int)(w * zoom), (int)(h * zoom)));
}

void CDravenluxView::RefreshMainView()
{
    if (m_hWnd != NULL) OnUpdate(NULL, 0, NULL);
    if (Links().browseTools != NULL && Links().store != NULL) Links().browseTools->ShowZoom(Links().store->GetZoom());
}

BOOL CDravenluxView::OnPreparePrinting(CPrintInfo* pInfo) { return DoPreparePrinting(pInfo); }
void CDravenluxView::OnBeginPrinting(CDC*, CPrintInfo*) {}
void CDravenluxView::OnEndPrinting(CDC*, CPrintInfo*) {}

BOOL CDravenluxView::OnEraseBkgnd(CDC*) { return TRUE; }

void CDravenluxView::OnLButtonDown(UINT nFlags, CPoint point)
{
    CImageStore* store = Links().store;
    int mode = Mode();
    if (store != NULL) {
        if (mode == MODE_SELECT) {
            store->TrackSelection(this, point.x, point.y);
            OnUpdate(NULL, 0, NULL);
        } else if (mode == MODE_MEASURE) {
            if (store->HitTestRuler(point.x, point.y)) return;
            CPoint off = OverlayOffset();
            store->OnMeasureLButtonDown(this, point.x, point.y, off.x, off.y);
            if (Links().measurePanel != NULL) Links().measurePanel->SyncToolButtons();
        } else {
            store->BeginDrag(this, point.x, point.y);
        }
    }
    if (m_hWnd != NULL) CScrollView::OnLButtonDown(nFlags, point);
}

void CDravenluxView::OnMouseMove(UINT nFlags, CPoint point)
{
    CImageStore* store = Links().store;
    m_ptLast = point;
    if (store != NULL) {
        store->SetCursorPoint(&point);
        if (Mode() == MODE_MEASURE) {
            if (store->DragRuler(point.x, point.y)) {
                if (m_hWnd != NULL) Invalidate(FALSE);
                return;
            }
            CPoint off = OverlayOffset();
            store->OnMeasureMouseMove(this, point.x, point.y, off.x, off.y);
        } else if (nFlags & MK_LBUTTON) {
            store->PanView(this, point.x, point.y);
        }
    }
    if (m_hWnd != NULL) {
        CScrollView::OnMouseMove(nFlags, point);
        Invalidate(FALSE);
    }
}

void CDravenluxView::OnLButtonUp(UINT nFlags, CPoint point)
{
    CImageStore* store = Links().store;
    if (store != NULL && Mode() == MODE_MEASURE) {
        if (store->EndRulerDrag()) return;
        CPoint off = OverlayOffset();
        store->OnMeasureLButtonUp(this, point.x, point.y, off.x, off.y);
        if (Links().measurePanel != NULL) Links().measurePanel->SyncToolButtons();
    }
    if (m_hWnd != NULL) CScrollView::OnLButtonUp(nFlags, point);
}

void CDravenluxView::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    CImageStore* store = Links().store;
    int mode = Mode();
    if (store != NULL) {
        CPoint off = OverlayOffset();
        if (mode == MODE_SELECT) {
            OnCrop();
        } else if (mode == MODE_MEASURE) {
            if (store->HitTestRulerDblClk(this, point.x, point.y, off.x, off.y)) {
                CRulerPropsDialog dlg(this);
                dlg.DoModal();
            } else {
                store->OnMeasureLButtonDblClk(this, point.x, point.y, off.x, off.y);
                if (m_hWnd != NULL) Invalidate(FALSE);
                if (Links().measurePanel != NULL) Links().measurePanel->SyncToolButtons();
            }
        } else if (store->HitTestRulerDblClk(this, point.x, point.y, off.x, off.y)) {
            CRulerPropsDialog dlg(this);
            dlg.DoModal();
        }
    }
    if (m_hWnd != NULL) CScrollView::OnLButtonDblClk(nFlags, point);
}

void CDravenluxView::OnRButtonDown(UINT, CPoint point)
{
    if (Mode() != MODE_SELECT || m_contextMenu.GetSafeHmenu() == NULL) return;
    ClientToScreen(&point);
    m_contextMenu.TrackPopupMenu(TPM_RIGHTBUTTON, point.x, point.y, this);
}

void CDravenluxView::OnCrop()
{
    CImageStore* store = Links().store;
    if (store == NULL) return;
    store->CropToSelection();
    RefreshMainView();
    if (Links().browseTools != NULL) Links().browseTools->CancelSelectionMode();
    if (Links().measurePanel != NULL) Links().measurePanel->SyncToolButtons();
    Invalidate(FALSE);
}

// One line per notch; the scroll view's own wheel handling is not run on top, or every
// notch would scroll twice.
BOOL CDravenluxView::OnMouseWheel(UINT, short zDelta, CPoint)
{
    PostMessage(WM_VSCROLL, zDelta < 0 ? SB_LINEDOWN : SB_LINEUP, 0);
    Invalidate(FALSE);
    return TRUE;
}
