#include "app/shell/DravenluxDoc.h"
#include "app/shell/ShellLinks.h"
#include "app/shell/MainFrame.h"
#include "app/shell/ManageView.h"
#include "app/shell/DravenluxView.h"
#include "app/res/resource.h"
#include "app/store/ImageStore.h"
#include "app/image/PrintLayoutDialog.h"
#include "app/browse/BrowseToolBar.h"
#include "app/browse/ImageInfoPanel.h"
#include "app/measure/MeasurePanel.h"
#include "app/measure/LayersDialog.h"
#include "app/measure/CounterPanel.h"
#include "app/image/ImageAdjustPanel.h"
#include "app/image/StampPanel.h"
#include "app/compose/ChannelMergePanel.h"

IMPLEMENT_DYNCREATE(CDravenluxDoc, CDocument)

BEGIN_MESSAGE_MAP(CDravenluxDoc, CDocument)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

CDravenluxDoc::CDravenluxDoc() : InteractionMode(MODE_NONE), ThumbnailIndex(0), SkipMergeOpen(0) {}
CDravenluxDoc::~CDravenluxDoc()
{
    if (Links().doc == this) Links().doc = NULL;
}

BOOL CDravenluxDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument()) return FALSE;
    Links().doc = this;
    return TRUE;
}

namespace {

void PostToMergePanel(UINT message, WPARAM wParam)
{
    CChannelMergePanel* merge = Links().channelMerge;
    if (merge != NULL && merge->m_hWnd != NULL) merge->PostMessage(message, wParam, 0);
}

} // namespace

BOOL CDravenluxDoc::OnOpenDocument(LPCWSTR lpszPathName)
{
    ShellLinks& links = Links();
    links.doc = this;
    CImageStore* store = links.store;
    if (store == NULL) return FALSE;

    if (store->IsMergeMode()) {
        if (SkipMergeOpen) {
            SkipMergeOpen = 0;
        } else if (links.manage == NULL || links.manage->GetCurrentTab() != 0) {
            PostToMergePanel(WM_MERGE_SELECT_SLOT, (WPARAM)ThumbnailIndex);
            PostToMergePanel(WM_MERGE_LOAD_SLOT, 0);
        }
        return FALSE;
    }

    if (!store->IsSaved()) {
        // Marked first, so the save's own reopen does not ask again.
        store->SetSaved(1);
        CString text, title;
        text.LoadString(IDS_IMAGE_EDITED);
        title.LoadString(AFX_IDS_APP_TITLE);
        CWnd* owner = links.frame;
        if (::MessageBoxW(owner->GetSafeHwnd(), text, title, MB_OKCANCEL) == IDOK && links.browseTools != NULL)
            links.browseTools->OnSaveImage();
    }

    if (links.printLayout != NULL) {
        if (links.printLayout->m_hWnd != NULL)
            links.printLayout->PostMessage(WM_PRINT_ADD_IMAGE, (WPARAM)ThumbnailIndex, 0);
        return FALSE;
    }

    int result = lpszPathName != NULL ? store->OpenFile(lpszPathName, 1) : 0;
    if (result && store->IsTrackingOpenedFile()) {
        if (links.frame != NULL) links.frame->SetCurrentFile(lpszPathName);
        PostToMergePanel(WM_MERGE_SELECT_SLOT, (WPARAM)ThumbnailIndex);
    }

    store->ResetZoom();
    if (links.view != NULL) links.view->RefreshMainView();
    InteractionMode = MODE_NONE;
    if (links.measurePanel != NULL) links.measurePanel->ResetMeasurements();
    if (links.counter != NULL) links.counter->ShowOpenedPicture();
    if (links.view != NULL && links.view->m_hWnd != NULL) links.view->Invalidate(FALSE);
    if (links.imageInfo != NULL) links.imageInfo->Refresh();
    if (links.imageAdjust != NULL) links.imageAdjust->ResetSliders();
    if (links.stamp != NULL) links.stamp->ResetStamp();
    if (links.layers != NULL) links.layers->RefreshLayerList();
    return result ? TRUE : FALSE;
}

BOOL CDravenluxDoc::OnSaveDocument(LPCWSTR) { return TRUE; }

// Ctrl+S and Save As are kept away from the framework's save, which would write this
// empty document over the opened image.
void CDravenluxDoc::OnFileSave() {}
void CDravenluxDoc::OnFileSaveAs() {}
