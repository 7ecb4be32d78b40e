#include "app/browse/BrowseToolBar.h"
#include "app/browse/BrowseNotes.h"
#include "app/browse/BrowseStringIds.h"
#include "app/browse/FolderPanel.h"
#include "app/browse/ImageInfoPanel.h"
#include "app/browse/RecycleBin.h"
#include "app/browse/ThumbnailRender.h"
#include "app/browse/ThumbnailStrip.h"
#include "app/store/ImageStore.h"
#include "app/image/PrintLayoutDialog.h"
#include "app/measure/MeasurePanel.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/DravenluxView.h"
#include "app/shell/ImagePage.h"
#include "app/shell/MainFrame.h"
#include "app/shell/ShellLinks.h"
#include <algorithm>

namespace {

struct BrowseTool
{
    UINT id;
    UINT tip;
    void (CBrowseToolBar::*command)();
};

// The column from top to bottom.
const BrowseTool kTools[CBrowseToolBar::TOOL_COUNT] = {
    {IDC_BROWSE_ROTATE_RIGHT, IDS_TIP_ROTATE_RIGHT, &CBrowseToolBar::OnRotateRight},
    {IDC_BROWSE_ROTATE_LEFT, IDS_TIP_ROTATE_LEFT, &CBrowseToolBar::OnRotateLeft},
    {IDC_BROWSE_ZOOM_IN, IDS_TIP_ZOOM_IN, &CBrowseToolBar::OnZoomIn},
    {IDC_BROWSE_ZOOM_OUT, IDS_TIP_ZOOM_OUT, &CBrowseToolBar::OnZoomOut},
    {IDC_BROWSE_ACTUAL_SIZE, IDS_TIP_ACTUAL_SIZE, &CBrowseToolBar::OnActualSize},
    {IDC_BROWSE_FIT, IDS_TIP_ZOOM_FIT, &CBrowseToolBar::OnFitToWindow},
    {IDC_BROWSE_POINTER, IDS_TIP_MOVE, &CBrowseToolBar::OnPointerTool},
    {IDC_BROWSE_SELECT, IDS_TIP_CROP, &CBrowseToolBar::OnSelectToggle},
    {IDC_BROWSE_REVERT, IDS_TIP_REVERT, &CBrowseToolBar::OnRevert},
    {IDC_BROWSE_DELETE, IDS_TIP_DELETE, &CBrowseToolBar::OnDeleteImage},
    {IDC_BROWSE_PRINT, IDS_TIP_PRINT, &CBrowseToolBar::OnPrintLayout},
    {IDC_BROWSE_OPEN, IDS_TIP_OPEN, &CBrowseToolBar::OnOpenImage},
    {IDC_BROWSE_SAVE_COPY, IDS_TIP_SAVE, &CBrowseToolBar::OnSaveCopy},
    {IDC_BROWSE_SAVE_AS, IDS_TIP_SAVE_AS, &CBrowseToolBar::OnSaveImage},
};

// The measurement library's select tool.
const int kSelectTool = 10;
const int kZoomLabelTop = 26;
const int kToolLeft = 8;
const int kMaxGap = 20;

CString LoadText(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

}  // namespace

IMPLEMENT_DYNAMIC(CBrowseToolBar, CPanelDialog)

BEGIN_MESSAGE_MAP(CBrowseToolBar, CPanelDialog)
    ON_WM_SIZE()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CBrowseToolBar::CBrowseToolBar(CWnd* pParent)
    : CPanelDialog(IDD, pParent, L"skin\\tool_bg.bmp"), m_nSelectCheck(0)
{
}

CBrowseToolBar::~CBrowseToolBar() {}

BOOL CBrowseToolBar::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    AddTransparentStatic(IDC_BROWSE_ZOOM);
    for (int i = 0; i < TOOL_COUNT; ++i) {
        CSkinBitmapButton& button = m_buttons[i];
        button.SubclassDlgItem(kTools[i].id, this);
        const UINT skin = IDB_BROWSE_TOOLS + 4 * i;
        button.SetSkin(skin, skin + 1, skin + 2, skin + 3, 0, 0, CSkinBitmapButton::DRAW_NATURAL, 0, 4);
        button.SetToolTipText(LoadText(kTools[i].tip));
    }
    return TRUE;
}

BOOL CBrowseToolBar::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED && lParam != 0) {
        for (const BrowseTool& tool : kTools)
            if (tool.id == LOWORD(wParam)) {
                (this->*tool.command)();
                return TRUE;
            }
    }
    return CPanelDialog::OnCommand(wParam, lParam);
}

void CBrowseToolBar::OnSize(UINT nType, int cx, int cy)
{
    CPanelDialog::OnSize(nType, cx, cy);
    CWnd* label = GetDlgItem(IDC_BROWSE_ZOOM);
    if (label == NULL) return;
    for (const CSkinBitmapButton& button : m_buttons)
        if (button.m_hWnd == NULL) return;
    label->MoveWindow(1, 1, cx - 1, 20);
    CRect first;
    m_buttons[0].GetWindowRect(&first);
    const int h = first.Height();
    // The stack shares what the zoom label leaves below it.
    const int room = cy - kZoomLabelTop;
    const int gap = std::max(std::min((room - TOOL_COUNT * h) / (TOOL_COUNT - 1), kMaxGap), 0);
    int y = std::max((room - TOOL_COUNT * h - (TOOL_COUNT - 1) * gap) / 2, 0) + kZoomLabelTop;
    for (CSkinBitmapButton& button : m_buttons) {
        CRect rect;
        button.GetWindowRect(&rect);
        button.MoveWindow(kToolLeft, y, rect.Width(), rect.Height());
        y += rect.Height() + gap;
    }
}

HBRUSH CBrowseToolBar::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH brush = CPanelDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (pWnd != NULL && pWnd->GetDlgCtrlID() == IDC_BROWSE_ZOOM) pDC->SetTextColor(RGB(255, 255, 255));
    return brush;
}

CString CBrowseToolBar::FormatZoom(float zoom)
{
    CString text;
    const float percent = zoom * 100.0f;
    if (zoom < 10.0f)
        text.Format(L"%.1f%%", (double)percent);
    else
        text.Format(L"%d%%", (int)percent);
    return text;
}

void CBrowseToolBar::ShowZoom(float zoom)
{
    if (m_hWnd == NULL) return;
    SetDlgItemText(IDC_BROWSE_ZOOM, FormatZoom(zoom));
    // The label is transparent: the background under it is painted again first.
    RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CBrowseToolBar::UpdateControlState()
{
    if (m_hWnd != NULL) Invalidate();
}

BOOL CBrowseToolBar::HasImage() const
{
    CImageStore* store = Links().store;
    return store != NULL && store->HasImage();
}

void CBrowseToolBar::RefreshView(BOOL invalidate)
{
    CDravenluxView* view = Links().view;
    if (view == NULL) return;
    view->RefreshMainView();
    if (invalidate && view->m_hWnd != NULL) view->Invalidate(FALSE);
}

// ---------------------------------------------------------------------------------------
// Zoom and rotation

void CBrowseToolBar::OnRotateRight()
{
    if (!HasImage()) return;
    CancelSelectionMode();
    Links().store->RotateRight();
    RefreshView(TRUE);
}

void CBrowseToolBar::OnRotateLeft()
{
    if (!HasImage()) return;
    CancelSelectionMode();
    Links().store->RotateLeft();
    RefreshView(TRUE);
}

void CBrowseToolBar::OnZoomIn()
{
    if (!HasImage()) return;
    CancelSelectionMode();
    Links().store->ZoomIn();
    RefreshView(FALSE);
}

void CBrowseToolBar::OnZoomOut()
{
    if (!HasImage()) return;
    CancelSelectionMode();
    Links().store->ZoomOut();
    RefreshView(FALSE);
}

void CBrowseToolBar::OnActualSize()
{
    if (!HasImage()) return;
    CancelSelectionMode();
    Links().store->ResetZoom();
    RefreshView(FALSE);
}

void CBrowseToolBar::OnFitToWindow()
{
    if (!HasImage()) return;
    CancelSelectionMode();
    CDravenluxView* view = Links().view;
    if (view != NULL && view->m_hWnd != NULL) {
        // The picture fits inside borders and scroll bars, not under them.
        CRect client;
        view->GetClientRect(&client);
        Links().store->FitToRect(&client);
    }
    RefreshView(FALSE);
}

// ---------------------------------------------------------------------------------------
// Modes

void CBrowseToolBar::OnPointerTool()
{
    if (!HasImage()) return;
    ShellLinks& links = Links();
    if (links.doc != NULL) links.doc->InteractionMode = MODE_NONE;
    links.store->SelectMeasureTool(kSelectTool);
    if (links.measurePanel != NULL) links.measurePanel->SyncToolButtons();
}

void CBrowseToolBar::OnSelectToggle()
{
    if (!HasImage()) return;
    ShellLinks& links = Links();
    if (m_buttons[7].m_hWnd != NULL) m_nSelectCheck = m_buttons[7].GetCheck() == BST_CHECKED ? 1 : 0;
    CDravenluxDoc* doc = links.doc;
    if (m_nSelectCheck) {
        if (doc != NULL) doc->InteractionMode = MODE_SELECT;
        return;
    }
    links.store->ClearSelection();
    if (doc != NULL && doc->InteractionMode != MODE_MEASURE) doc->InteractionMode = MODE_NONE;
    RefreshView(TRUE);
}

void CBrowseToolBar::CancelSelectionMode()
{
    m_nSelectCheck = 0;
    if (m_buttons[7].m_hWnd != NULL) m_buttons[7].SetCheck(BST_UNCHECKED);
    OnSelectToggle();
}

void CBrowseToolBar::OnRevert()
{
    if (!HasImage()) return;
    ShellLinks& links = Links();
    links.store->RevertAdjustments();
    RefreshView(TRUE);
    if (links.imagePage != NULL && links.imagePage->m_hWnd != NULL)
        links.imagePage->PostMessage(WM_ADJUST_PANEL_REFRESH, 0, 0);
}

// ---------------------------------------------------------------------------------------
// Files

void CBrowseToolBar::OnDeleteImage()
{
    if (!HasImage()) return;
    if (::MessageBoxW(m_hWnd, LoadText(IDS_ASK_DELETE), LoadText(IDS_ATTENTION), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    CancelSelectionMode();
    ShellLinks& links = Links();
    CImageStore* store = links.store;
    ImageFileInfo info;
    store->GetImageInfo(info);
    CThumbnailListCtrl* list = links.thumbList;
    const CString note = NoteFileOf(store, info.path);
    // The file goes first; its note and entry only once it is really gone.
    DWORD error = ERROR_SUCCESS;
    BOOL removed;
    if (list != NULL)
        removed = list->RemoveFile(info.path, 1, &error);
    else
        removed = MoveFileToRecycleBin(info.path, &error);
    if (!removed) {
        AfxMessageBox(LoadText(IDS_DELETE_FAILED) + L"\n" + info.path + L": " + DescribeSystemError(error),
                      MB_OK | MB_ICONWARNING);
        return;
    }
    if (!note.IsEmpty()) ::DeleteFileW(note);
    if (list != NULL) list->SetFirstIndex(0);
    CThumbnailStrip* strip = links.strip;
    if (strip != NULL) strip->RefreshAfterChange();
    const CString first = list != NULL && list->GetCount() > 0 ? list->GetFileAt(0) : CString();
    if (!first.IsEmpty() && !IsVideoOrRaw(first)) {
        if (links.doc != NULL) links.doc->OnOpenDocument(first);
        if (strip != NULL) strip->UpdateCurrentImageLabel(0);
    } else if (links.doc != NULL) {
        links.doc->OnOpenDocument(NULL);
    }
    if (strip != NULL) strip->SelectCurrentItem();
}

void CBrowseToolBar::OnPrintLayout()
{
    if (!HasImage()) return;
    CancelSelectionMode();
    ShellLinks& links = Links();
    if (links.printLayout == NULL) {
        CWnd* owner = links.frame != NULL && links.frame->m_hWnd != NULL ? (CWnd*)links.frame : GetTopLevelParent();
        CPrintLayoutDialog* dialog = new CPrintLayoutDialog(owner);
        if (!dialog->Create(CPrintLayoutDialog::IDD, owner)) {
            delete dialog;
            return;
        }
        CDravenluxView* view = links.view;
        if (view != NULL && view->m_hWnd != NULL) {
            CRect area, rect;
            view->GetClientRect(&area);
            view->ClientToScreen(&area);
            dialog->GetWindowRect(&rect);
            const int x = area.left + (area.Width() - rect.Width()) / 2;
            const int y = area.top + (area.Height() - rect.Height()) / 2;
            dialog->SetWindowPos(NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        links.printLayout = dialog;
    }
    if (links.printLayout->m_hWnd == NULL) return;
    // Shown already, it may lie under other windows: the button brings it to the front.
    links.printLayout->ShowWindow(SW_SHOW);
    links.printLayout->BringWindowToTop();
}

void CBrowseToolBar::PublishSavedFile(const CString& path)
{
    ShellLinks& links = Links();
    CThumbnailStrip* strip = links.strip;
    if (strip != NULL && strip->m_progress.m_hWnd != NULL) strip->m_progress.ShowWindow(SW_SHOW);
    if (links.thumbList != NULL) links.thumbList->AddFile(path, 1);
    if (strip != NULL) strip->RefreshAfterChange();
    if (links.doc != NULL) links.doc->OnOpenDocument(path);
    if (strip != NULL) {
        strip->UpdateCurrentImageLabel(0);
        strip->SelectCurrentItem();
    }
}

void CBrowseToolBar::OnOpenImage()
{
    if (!HasImage()) return;
    ShellLinks& links = Links();
    const CString start = links.folder != NULL ? links.folder->GetFolderText() : CString();
    CString path;
    int format = -1;
    if (!links.store->PromptForFileName(path, start, 0, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, TRUE, format)) return;
    const int slash = path.ReverseFind(L'\\');
    const CString folder = slash >= 0 ? path.Left(slash + 1) : CString();
    CThumbnailStrip* strip = links.strip;
    if (strip != NULL && strip->m_progress.m_hWnd != NULL) strip->m_progress.ShowWindow(SW_SHOW);
    if (links.thumbList != NULL) links.thumbList->SetFolder(folder, 0);
    if (strip != NULL) strip->RefreshAfterChange();
    if (links.folder != NULL) links.folder->SetFolderText(folder);
    if (links.doc != NULL) links.doc->OnOpenDocument(path);
    if (strip != NULL) strip->UpdateCurrentImageLabel(0);
}

CString CBrowseToolBar::BackupPathOf(const CString& path)
{
    const int slash = std::max(path.ReverseFind(L'\\'), path.ReverseFind(L'/'));
    const int dot = path.ReverseFind(L'.');
    if (dot <= slash) return CString();
    return path.Left(dot) + L"_bak" + path.Mid(dot);
}

void CBrowseToolBar::OnSaveCopy()
{
    if (!HasImage()) return;
    CancelSelectionMode();
    ShellLinks& links = Links();
    CImageStore* store = links.store;
    if (links.imageInfo != NULL) links.imageInfo->StoreNote();
    store->ApplyAdjustments();
    ImageFileInfo info;
    store->GetImageInfo(info);
    const CString copy = BackupPathOf(info.path);
    if (copy.IsEmpty()) return;
    // A failed save has told the user why; nothing is added for it.
    if (!store->SaveWithOverlays(copy)) return;
    PublishSavedFile(copy);
}

void CBrowseToolBar::OnSaveImage()
{
    if (!HasImage()) return;
    CancelSelectionMode();
    CImageStore* store = Links().store;
    store->ApplyAdjustments();
    CString path;
    if (!store->SaveAs(path, 1)) return;
    PublishSavedFile(path);
}
