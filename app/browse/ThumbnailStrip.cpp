#include "app/browse/ThumbnailStrip.h"
#include "app/browse/BrowseStringIds.h"
#include "app/browse/BrowseToolBar.h"
#include "app/browse/BrowseNotes.h"
#include "app/browse/RecycleBin.h"
#include "app/browse/ThumbnailRender.h"
#include "app/capture/CaptureToolBar.h"
#include "app/capture/OverlayWnd.h"
#include "app/capture/PreviewWnd.h"
#include "app/compose/ChannelMergePanel.h"
#include "app/image/ComparePane.h"
#include "app/store/ImageStore.h"
#include "app/measure/LayersDialog.h"
#include "app/measure/MeasurePanel.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/DravenluxView.h"
#include "app/shell/MainFrame.h"
#include "app/shell/ManageView.h"
#include "app/shell/PanelDialog.h"
#include "app/shell/ShellLaunch.h"
#include "app/shell/ShellLinks.h"
#include "app/res/resource.h"
#include "camera/core/QrCCamera.h"

namespace {

const int kButtonWidth = 25;    // bitmap 717
const int kButtonHeight = 21;
// Colours of the popup menu.
const COLORREF kMenuText = RGB(0, 0, 0);
const COLORREF kMenuBack = RGB(0xD8, 0xDC, 0xE3);        // 0xE3DCD8
const COLORREF kMenuHighlight = RGB(0xB2, 0xB7, 0xBE);   // 0xBEB7B2
const COLORREF kMenuHighlightText = RGB(0xFF, 0xFF, 0xFF);

void ShowWnd(CWnd* wnd, BOOL show)
{
    if (wnd != NULL && wnd->m_hWnd != NULL) wnd->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

BOOL FileExists(const CString& path)
{
    const DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

CString LoadText(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

class CWaitCursorScope
{
public:
    CWaitCursorScope() { ::SetCursor(::LoadCursorW(NULL, IDC_WAIT)); }
    ~CWaitCursorScope() { ::SetCursor(::LoadCursorW(NULL, IDC_ARROW)); }
};

}  // namespace

IMPLEMENT_DYNAMIC(CThumbnailStrip, CDialog)

BEGIN_MESSAGE_MAP(CThumbnailStrip, CDialog)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_WM_DRAWITEM()
    ON_WM_MEASUREITEM()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_BN_CLICKED(IDC_STRIP_EXPAND, OnExpandClicked)
    ON_BN_CLICKED(IDC_STRIP_RESTORE, OnRestoreClicked)
    ON_NOTIFY(LVN_HOTTRACK, IDC_STRIP_LIST, OnHotTrack)
    ON_NOTIFY(NM_CLICK, IDC_STRIP_LIST, OnItemClick)
    ON_NOTIFY(NM_RCLICK, IDC_STRIP_LIST, OnItemRClick)
    ON_NOTIFY(NM_DBLCLK, IDC_STRIP_LIST, OnItemDblClk)
    ON_NOTIFY(NM_CUSTOMDRAW, IDC_STRIP_LIST, OnCustomDraw)
    ON_COMMAND(ID_STRIP_DELETE, OnDeleteSelected)
    ON_MESSAGE(WM_THUMBS_PROGRESS, OnThumbsProgress)
END_MESSAGE_MAP()

CThumbnailStrip::CThumbnailStrip(CWnd* pParent) : CDialog(IDD, pParent), m_bTracking(FALSE), m_nCurrentItem(0)
{
}

CThumbnailStrip::~CThumbnailStrip() {}

BOOL CThumbnailStrip::PreTranslateMessage(MSG* pMsg) { return PanelPreTranslate(this, pMsg); }

BOOL CThumbnailStrip::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_bandBrush.CreateSolidBrush(STRIP_CAPTION_BAND_COLOR);
    m_btnExpand.SubclassDlgItem(IDC_STRIP_EXPAND, this);
    m_btnRestore.SubclassDlgItem(IDC_STRIP_RESTORE, this);
    m_progress.SubclassDlgItem(IDC_STRIP_PROGRESS, this);
    m_btnExpand.SetSkin(IDB_STRIP_EXPAND, IDB_STRIP_EXPAND_PRESSED, IDB_STRIP_EXPAND_HOVER, IDB_STRIP_EXPAND_DISABLED, 0, 0,
                        CSkinBitmapButton::DRAW_NATURAL, 0, 0);
    m_btnRestore.SetSkin(IDB_STRIP_RESTORE, IDB_STRIP_RESTORE_PRESSED, IDB_STRIP_RESTORE_HOVER,
                         IDB_STRIP_RESTORE_DISABLED, 0, 0, CSkinBitmapButton::DRAW_NATURAL, 0, 4);

    m_list.CreateList(this, IDC_STRIP_LIST);
    m_list.SetBkColor(STRIP_BACK_COLOR);
    m_list.SetTextBkColor(STRIP_BACK_COLOR);
    m_list.SetFont(GetFont());
    m_list.Init();

    m_btnExpand.ShowWindow(SW_SHOW);
    m_btnRestore.ShowWindow(SW_HIDE);

    m_menu.CreatePopupMenu();
    m_menu.SetTextColor(kMenuText);
    m_menu.SetBackColor(kMenuBack);
    m_menu.SetHighlightColor(kMenuHighlight);
    m_menu.SetHighlightTextColor(kMenuHighlightText);
    m_menu.AppendItem(MF_OWNERDRAW, ID_STRIP_DELETE, LoadText(IDS_MENU_DELETE));

    m_progress.SetRange(0, 100);
    m_progress.SetPos(0);
    m_list.SetNotifyWindow(m_hWnd);
    m_progress.ShowWindow(SW_HIDE);
    return TRUE;
}

int CThumbnailStrip::CurrentTab() const
{
    CManageView* manage = Links().manage;
    return manage != NULL ? manage->GetCurrentTab() : CManageView::TAB_BROWSE;
}

CRect CThumbnailStrip::CaptionBand() const
{
    CRect client;
    GetClientRect(&client);
    client.top = client.bottom - STRIP_CAPTION_BAND;
    return client;
}

void CThumbnailStrip::ShowProgress()
{
    if (m_progress.m_hWnd != NULL) m_progress.ShowWindow(SW_SHOW);
}

void CThumbnailStrip::ShowCaption(const CString& text)
{
    SetDlgItemText(IDC_STRIP_CAPTION, text);
    const CRect band = CaptionBand();
    RedrawWindow(&band, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// ---------------------------------------------------------------------------------------
// Layout and painting

void CThumbnailStrip::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    CWnd* caption = GetDlgItem(IDC_STRIP_CAPTION);
    if (m_btnExpand.m_hWnd == NULL || m_btnRestore.m_hWnd == NULL || caption == NULL) return;
    const int W = cx, H = cy;
    m_btnExpand.MoveWindow(W - kButtonWidth - 5, 5, kButtonWidth, kButtonHeight);
    m_btnRestore.MoveWindow(W - kButtonWidth, 5, kButtonWidth, kButtonHeight);
    if (m_list.m_hWnd != NULL) m_list.MoveWindow(kButtonWidth + 15, 13, W - (2 * kButtonWidth + 24), H - 28);
    caption->MoveWindow(kButtonWidth + 12, H - STRIP_CAPTION_BAND, W - 2 * (kButtonWidth + 12), STRIP_CAPTION_BAND);
    if (m_progress.m_hWnd != NULL) {
        m_progress.MoveWindow(W / 2, H - STRIP_CAPTION_BAND, W / 2, STRIP_CAPTION_BAND);
        m_progress.SetPos(0);
        m_progress.ShowWindow(SW_SHOW);
    }
    if (m_list.m_hWnd != NULL) {
        const int count = m_list.GetCount();
        m_list.ComputeColumns();
        m_list.ReloadIfColumnsChanged(count);
    }
}

void CThumbnailStrip::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, STRIP_BACK_COLOR);
    const CRect band = CaptionBand();
    dc.FillSolidRect(&band, STRIP_CAPTION_BAND_COLOR);
}

BOOL CThumbnailStrip::OnEraseBkgnd(CDC*) { return TRUE; }

HBRUSH CThumbnailStrip::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH brush = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (pWnd != NULL && pWnd->GetDlgCtrlID() == IDC_STRIP_CAPTION) {
        // The band's own colour: the caption sits on it as if transparent, and a new
        // text never lands on the old one.
        pDC->SetBkMode(TRANSPARENT);
        return (HBRUSH)m_bandBrush.GetSafeHandle();
    }
    return brush;
}

void CThumbnailStrip::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDIS)
{
    if (lpDIS->CtlType == ODT_MENU) {
        m_menu.DrawItem(lpDIS);
        return;
    }
    CDialog::OnDrawItem(nIDCtl, lpDIS);
}

void CThumbnailStrip::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMIS)
{
    if (lpMIS->CtlType == ODT_MENU) {
        m_menu.MeasureItem(lpMIS);
        return;
    }
    CDialog::OnMeasureItem(nIDCtl, lpMIS);
}

void CThumbnailStrip::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bTracking) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
        m_bTracking = ::TrackMouseEvent(&track);
    }
    CDialog::OnMouseMove(nFlags, point);
}

void CThumbnailStrip::OnMouseLeave()
{
    m_bTracking = FALSE;
    UpdateCurrentImageLabel(0);
}

LRESULT CThumbnailStrip::OnThumbsProgress(WPARAM wParam, LPARAM lParam)
{
    const int done = (int)wParam;
    const int total = lParam > 0 ? (int)lParam : 1;
    if (m_progress.m_hWnd == NULL) return 0;
    m_progress.SetPos((int)((LONGLONG)done * 100 / total));
    if (done == total) m_progress.ShowWindow(SW_HIDE);
    return 0;
}

// ---------------------------------------------------------------------------------------
// Caption

void CThumbnailStrip::UpdateCurrentImageLabel(int force)
{
    if (m_hWnd == NULL) return;
    if (CurrentTab() == CManageView::TAB_CAPTURE && !force) {
        ShowCaption(CString());
        return;
    }
    CImageStore* store = Links().store;
    if (store == NULL || !store->HasImage()) return;
    ImageFileInfo info;
    store->GetImageInfo(info);
    if (info.fileName.IsEmpty()) return;
    const int index = m_list.FindPath(info.path);
    if (index < 0) return;
    const int first = m_list.GetFirstIndex();
    const int previous = m_nCurrentItem;
    m_nCurrentItem = index;
    m_list.SetCurrentIndex(index);
    m_list.SetHotItem(index - first);
    m_list.EnsureVisible(index - first, FALSE);
    CString caption;
    caption.Format(L" %s%s", (LPCWSTR)LoadText(IDS_CURRENT_IMAGE), (LPCWSTR)info.fileName);
    ShowCaption(caption);
    CRect old;
    if (m_list.GetItemRect(previous - first, &old, LVIR_ICON)) {
        old.left -= 2;
        m_list.InvalidateRect(&old);
    }
}

void CThumbnailStrip::RefreshAfterChange()
{
    // A merge panel not built yet fills its lists when it is.
    CChannelMergePanel* merge = Links().channelMerge.Peek();
    if (merge != NULL && merge->m_hWnd != NULL) merge->PostMessage(WM_MERGE_PANEL_REFRESH, 0, 0);
    UpdateCurrentImageLabel(1);
    SelectCurrentItem();
    if (m_list.m_hWnd != NULL) m_list.Invalidate();
}

void CThumbnailStrip::SelectCurrentItem()
{
    if (m_list.m_hWnd == NULL) return;
    CImageStore* store = Links().store;
    int item = -1;
    if (store != NULL && store->HasImage()) {
        ImageFileInfo info;
        store->GetImageInfo(info);
        const int index = info.path.IsEmpty() ? -1 : m_list.FindPath(info.path);
        if (index >= 0) item = index - m_list.GetFirstIndex();
    }
    m_list.SetItemState(-1, 0, LVIS_SELECTED);
    if (item >= 0 && item < m_list.GetItemCount())
        m_list.SetItemState(item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// ---------------------------------------------------------------------------------------
// Folder

BOOL CThumbnailStrip::OpenFirstFile(int labelForce)
{
    CDravenluxDoc* doc = Links().doc;
    const CString first = m_list.GetCount() > 0 ? m_list.GetFileAt(0) : CString();
    BOOL opened = FALSE;
    if (!first.IsEmpty() && !IsVideoOrRaw(first)) {
        if (doc != NULL) doc->OnOpenDocument(first);
        UpdateCurrentImageLabel(labelForce);
        opened = TRUE;
    } else if (doc != NULL) {
        doc->OnOpenDocument(NULL);
    }
    return opened;
}

int CThumbnailStrip::SetFolder(const CString& folder)
{
    if (Links().view == NULL) return 0;
    ShowProgress();
    m_list.SetFolder(folder, 1);
    RefreshAfterChange();
    const BOOL opened = OpenFirstFile(0);
    if (Links().doc != NULL) Links().doc->UpdateAllViews(NULL);
    return opened ? 1 : 0;
}

void CThumbnailStrip::ReloadAfterMissingFile()
{
    AfxMessageBox(IDS_FILE_MISSING, MB_OK);
    ShowProgress();
    CString folder;
    m_list.GetFolder(folder);
    m_list.SetFolder(folder, 1);
    UpdateCurrentImageLabel(1);
}

void CThumbnailStrip::PlayVideo(const CString& path)
{
    if (!FileExists(path)) {
        ReloadAfterMissingFile();
        return;
    }
    const HINSTANCE result = ShellLaunch(NULL, L"open", path, NULL, NULL, SW_SHOW);
    if ((INT_PTR)result <= 32) AfxMessageBox(IDS_HELP_OPEN_FAILED, MB_OK);
}

// ---------------------------------------------------------------------------------------
// Clicks

void CThumbnailStrip::OnHotTrack(NMHDR* pNMHDR, LRESULT* pResult)
{
    const NMLISTVIEW* info = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    *pResult = 0;
    if (info->iItem != -1 && CurrentTab() != CManageView::TAB_CAPTURE) {
        const CString path = m_list.GetFileAt(m_list.GetFirstIndex() + info->iItem);
        if (!path.IsEmpty()) {
            ShowCaption(path);
            return;
        }
    }
    UpdateCurrentImageLabel(0);
}

void CThumbnailStrip::OnItemClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    const NMITEMACTIVATE* info = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR);
    *pResult = 0;
    const int item = info->iItem;
    if (item == -1) return;
    ShellLinks& links = Links();
    {
        CWaitCursorScope wait;
        const int k = m_list.GetFirstIndex() + item;
        const CString path = m_list.GetFileAt(k);
        if (path.IsEmpty()) return;
        const int type = GetImageFileType(path);
        if (type == FILE_TYPE_RAW) {
            m_list.SetItemState(item, 0, LVIS_SELECTED);
            AfxMessageBox(IDS_CANNOT_SHOW_FORMAT, MB_OK);
            return;
        }
        if (type == FILE_TYPE_AVI) {
            PlayVideo(path);
            return;
        }
        if (!FileExists(path)) {
            ReloadAfterMissingFile();
            return;
        }
        CDravenluxDoc* doc = links.doc;
        if (doc != NULL) doc->ThumbnailIndex = k;
        const int tab = CurrentTab();
        if (tab != CManageView::TAB_CAPTURE) {
            if (doc != NULL) doc->OnOpenDocument(path);
            UpdateCurrentImageLabel(1);
        }
        if (tab == CManageView::TAB_CAPTURE) {
            CMainFrame* frame = links.frame;
            if (frame != NULL && frame->IsCompareMode()) {
                CComparePane* pane = links.comparePane;
                if (pane != NULL) {
                    pane->OpenFile(path, 1);
                    CameraMgrParam mgr;
                    QrCCameraGetMgrParameter(&mgr);
                    float zoom;
                    if (mgr.runState == 0 && links.preview != NULL) {
                        zoom = links.preview->GetZoom();
                        pane->SetZoom(zoom);
                    } else {
                        pane->FitToWindow(0);
                        zoom = pane->GetZoom();
                    }
                    if (links.captureTools != NULL) links.captureTools->ShowZoom(zoom);
                }
            } else if (::MessageBoxW(m_hWnd, LoadText(IDS_ASK_SHOW_IMAGE), LoadText(IDS_ASK_SHOW_CAPTION),
                                     MB_YESNO | MB_ICONQUESTION) == IDYES) {
                SwitchToImageTab(doc != NULL ? m_list.GetFileAt(doc->ThumbnailIndex) : path);
            }
        }
    }
    Invalidate();
    if (links.browseTools != NULL) links.browseTools->OnFitToWindow();
    if (m_list.IsExpanded()) OnRestore();
}

void CThumbnailStrip::SwitchToImageTab(const CString& path)
{
    ShellLinks& links = Links();
    if (links.doc != NULL) links.doc->OnOpenDocument(path);
    UpdateCurrentImageLabel(1);
    CManageView* manage = links.manage;
    if (manage != NULL && manage->m_tab.m_hWnd != NULL) {
        manage->m_tab.SendMessage(TCM_SETCURSEL, CManageView::TAB_IMAGE);
        manage->m_tab.Invalidate();
    }
    ShowWnd(links.view, TRUE);
    ShowWnd(links.preview, FALSE);
    ShowWnd(links.overlay, FALSE);
    ShowWnd(links.captureTools, FALSE);
    ShowWnd(links.comparePane.Peek(), FALSE);
    ShowWnd(links.browseTools, TRUE);
    ShowWnd(links.imagePage, TRUE);
    ShowWnd(links.browsePage, FALSE);
    ShowWnd(links.capturePage, FALSE);
    if (links.measurePanel != NULL) {
        links.measurePanel->Refresh();
        links.measurePanel->SyncToolButtons();
    }
    CImageStore* store = links.store;
    if (store != NULL) {
        store->ClearMeasurements();
        store->SetMeasureTarget(1);
        store->InvalidateMeasureTarget();
    }
    if (links.preview != NULL && links.preview->m_hWnd != NULL) links.preview->Invalidate();
    if (links.layers != NULL) links.layers->RefreshLayerList();
}

void CThumbnailStrip::OnItemDblClk(NMHDR* pNMHDR, LRESULT* pResult)
{
    const NMITEMACTIVATE* info = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR);
    *pResult = 0;
    const int item = info->iItem;
    if (item == -1) return;
    CWaitCursorScope wait;
    const CString path = m_list.GetFileAt(m_list.GetFirstIndex() + item);
    if (GetImageFileType(path) != FILE_TYPE_AVI) return;
    m_list.SetItemState(item, 0, LVIS_SELECTED);
    PlayVideo(path);
}

void CThumbnailStrip::OnItemRClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    const NMITEMACTIVATE* info = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR);
    *pResult = 0;
    if (info->iItem == -1) return;
    POINT cursor;
    ::GetCursorPos(&cursor);
    m_menu.TrackPopupMenu(TPM_RIGHTBUTTON, cursor.x, cursor.y, this);
}

void CThumbnailStrip::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    NMLVCUSTOMDRAW* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        *pResult = CDRF_NOTIFYITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT:
        *pResult = CDRF_NOTIFYPOSTPAINT;
        return;
    case CDDS_ITEMPOSTPAINT: {
        const int item = (int)draw->nmcd.dwItemSpec;
        if (m_list.GetFirstIndex() + item == m_nCurrentItem) {
            CRect icon;
            if (m_list.GetItemRect(item, &icon, LVIR_ICON)) {
                icon.top += 5;
                CDC* dc = CDC::FromHandle(draw->nmcd.hdc);
                CPen pen(PS_SOLID, 2, STRIP_CURRENT_FRAME_COLOR);
                CPen* oldPen = dc->SelectObject(&pen);
                CGdiObject* oldBrush = dc->SelectStockObject(NULL_BRUSH);
                dc->RoundRect(&icon, CPoint(15, 15));
                dc->SelectObject(oldBrush);
                dc->SelectObject(oldPen);
            }
        }
        *pResult = 0;
        return;
    }
    default:
        *pResult = 0;
        return;
    }
}

// ---------------------------------------------------------------------------------------
// Delete, expand, restore

void CThumbnailStrip::OnDeleteSelected()
{
    ShellLinks& links = Links();
    CImageStore* store = links.store;
    const CString current = store != NULL && store->HasImage() ? store->GetFilePath() : CString();
    if (::MessageBoxW(m_hWnd, LoadText(IDS_ASK_DELETE), LoadText(IDS_ATTENTION), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const int first = m_list.GetFirstIndex();
    std::vector<int> selected;
    for (int item = m_list.GetItemCount() - 1; item >= 0; --item)
        if (m_list.GetItemState(item, LVIS_SELECTED) & LVIS_SELECTED) selected.push_back(item);
    // The picture on show cannot go while it is being merged: nothing is deleted then.
    if (store != NULL && store->IsMergeMode() && !current.IsEmpty()) {
        for (int item : selected)
            if (m_list.GetFileAt(first + item) == current) {
                AfxMessageBox(IDS_MERGE_BUSY, MB_OK);
                return;
            }
    }
    BOOL currentDeleted = FALSE;
    CString failures;
    for (int item : selected) {
        const CString path = m_list.GetFileAt(first + item);
        if (path.IsEmpty()) continue;
        const CString note = NoteFileOf(store, path);
        DWORD error = ERROR_SUCCESS;
        if (!m_list.DeleteItemAt(item, 1, &error)) {
            failures += L"\n" + path + L": " + DescribeSystemError(error);
            continue;
        }
        if (!note.IsEmpty()) ::DeleteFileW(note);
        if (path == current) currentDeleted = TRUE;
    }
    ShowProgress();
    m_list.LoadThumbnails();
    CChannelMergePanel* merge = links.channelMerge;
    if (merge != NULL && merge->m_hWnd != NULL) merge->PostMessage(WM_MERGE_PANEL_REFRESH, 0, 0);
    if (!failures.IsEmpty()) AfxMessageBox(LoadText(IDS_DELETE_FAILED) + failures, MB_OK | MB_ICONWARNING);
    if (currentDeleted) {
        m_list.SetFirstIndex(0);
        OpenFirstFile(0);
    }
    SelectCurrentItem();
}

void CThumbnailStrip::OnExpandClicked() { OnExpand(); }
void CThumbnailStrip::OnRestoreClicked() { OnRestore(); }

void CThumbnailStrip::OnExpand()
{
    ShellLinks& links = Links();
    m_list.SetExpanded(TRUE);
    if (links.frame != NULL && links.frame->m_hWnd != NULL) links.frame->PostMessage(WM_SIZE, 0, 0);
    ShowWnd(links.preview, FALSE);
    ShowWnd(links.overlay, FALSE);
    m_list.LoadThumbnails();
    m_btnExpand.ShowWindow(SW_HIDE);
    m_btnRestore.ShowWindow(SW_SHOW);
}

void CThumbnailStrip::OnRestore()
{
    ShellLinks& links = Links();
    m_list.SetExpanded(FALSE);
    CMainFrame* frame = links.frame;
    if (frame != NULL && frame->m_hWnd != NULL) frame->PostMessage(WM_SIZE, 0, 0);
    ShowWnd(links.preview, TRUE);
    ShowWnd(links.overlay, TRUE);
    m_list.LoadThumbnails();
    if (frame != NULL && frame->m_hWnd != NULL) {
        CRect rect;
        frame->GetWindowRect(&rect);
        frame->PostMessage(WM_SIZE, 0, MAKELPARAM(rect.Width(), rect.Height()));
    }
    m_btnExpand.ShowWindow(SW_SHOW);
    m_btnRestore.ShowWindow(SW_HIDE);
}
