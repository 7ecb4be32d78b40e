#include "app/compose/ImageFusionDialog.h"

#include "app/compose/ComposeMessages.h"
#include "app/compose/ComposeStringIds.h"
#include "app/compose/CompositionFiles.h"
#include "app/compose/EdofWorker.h"
#include "app/compose/HdrMerge.h"
#include "app/compose/PublishCompositionResult.h"
#include "app/compose/StitchWorkers.h"
#include "app/store/ImageStore.h"
#include "app/shell/FolderPicker.h"
#include "camera/core/QrCCamera.h"

#include <commctrl.h>
#include <shlobj.h>

namespace {

const UINT_PTR kProgressTimer = 22;
const UINT kProgressMs = 500;

// The buttons a running composition disables, the merge button aside.
const int kIdleButtons[] = {IDCANCEL, IDC_FUSION_ADD, IDC_FUSION_ADD_ALL, IDC_FUSION_REMOVE,
                            IDC_FUSION_REMOVE_ALL, IDC_FUSION_BROWSE};

CString Join(const CString& folder, const CString& name)
{
    return folder + L"\\" + name;
}

CString ListText(CListBox* list, int index)
{
    CString text;
    list->GetText(index, text);
    return text;
}

}  // namespace

IMPLEMENT_DYNAMIC(CImageFusionDialog, CPanelDialog)

BEGIN_MESSAGE_MAP(CImageFusionDialog, CPanelDialog)
    ON_BN_CLICKED(IDC_FUSION_BROWSE, OnBrowse)
    ON_BN_CLICKED(IDC_FUSION_ADD, OnAdd)
    ON_BN_CLICKED(IDC_FUSION_REMOVE, OnRemove)
    ON_BN_CLICKED(IDC_FUSION_ADD_ALL, OnAddAll)
    ON_BN_CLICKED(IDC_FUSION_REMOVE_ALL, OnRemoveAll)
    ON_BN_CLICKED(IDC_FUSION_MERGE, OnMerge)
    ON_LBN_SELCHANGE(IDC_FUSION_SOURCE_LIST, OnSourceSelChange)
    ON_WM_TIMER()
    ON_WM_PAINT()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_FUSION_PROGRESS, OnFusionProgress)
    ON_MESSAGE(WM_STITCH_DONE, OnStitchDone)
END_MESSAGE_MAP()

CImageFusionDialog::CImageFusionDialog(CWnd* pParent)
    : CPanelDialog(IDD, pParent), m_mode(FUSION_MODE_EDOF), m_busy(FALSE), m_refWidth(0),
      m_refHeight(0), m_mergeCount(0), m_progressStep(0), m_preview(NULL), m_greyBrush(NULL)
{
}

CImageFusionDialog::~CImageFusionDialog()
{
    if (m_preview)
        CImageStore::Destroy(m_preview);
    if (m_greyBrush)
        ::DeleteObject(m_greyBrush);
}

BOOL CImageFusionDialog::OnInitDialog()
{
    AddTransparentStatic(IDC_FUSION_HEADING);
    AddTransparentStatic(IDC_FUSION_STATUS);
    AddTransparentStatic(IDC_FUSION_STATUS_LABEL);
    CPanelDialog::OnInitDialog();
    for (int id : {IDC_FUSION_BROWSE, IDC_FUSION_ADD, IDC_FUSION_REMOVE, IDC_FUSION_ADD_ALL,
                   IDC_FUSION_REMOVE_ALL, IDC_FUSION_MERGE, IDCANCEL})
        m_skins.AddPlain(this, id);
    m_folderEdit.SubclassDlgItem(IDC_FUSION_FOLDER, this);
    m_folderEdit.SetBitmaps(IDB_COMPOSE_FOLDER_NORMAL, IDB_COMPOSE_FOLDER_DISABLED);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CString folder = mgr.capture.Path;
    // The capture folder ends in a backslash; names are joined with one.
    if (folder.GetLength() > 3 && folder[folder.GetLength() - 1] == L'\\')
        folder = folder.Left(folder.GetLength() - 1);
    ::SetDlgItemTextW(m_hWnd, IDC_FUSION_FOLDER, folder);
    ScanFolder(folder);
    CListBox* source = static_cast<CListBox*>(GetDlgItem(IDC_FUSION_SOURCE_LIST));
    source->SetSel(0, TRUE);
    ::SendDlgItemMessageW(m_hWnd, IDC_FUSION_PROGRESS, PBM_SETRANGE32, 0, 100);
    m_greyBrush = ::CreateSolidBrush(RGB(189, 189, 189));
    m_preview = CImageStore::Create();
    if (source->GetCount() > 0)
        ShowPreview(Join(folder, ListText(source, 0)));
    RefreshControls();
    return TRUE;
}

// Escape and Enter act as in any dialog (the panels' filter is not for this one).
BOOL CImageFusionDialog::PreTranslateMessage(MSG* pMsg)
{
    return CDialog::PreTranslateMessage(pMsg);
}

// The merge button is the default; there is no OK to end the dialog with.
void CImageFusionDialog::OnOK() {}

// Escape, Alt+F4, the close box and the cancel button all come here: refused while a
// composition runs.
void CImageFusionDialog::OnCancel()
{
    if (m_busy)
        return;
    CPanelDialog::OnCancel();
}

CString CImageFusionDialog::GetFolder() const
{
    CString folder;
    if (CWnd* edit = GetDlgItem(IDC_FUSION_FOLDER))
        edit->GetWindowText(folder);
    return folder;
}

std::vector<CString> CImageFusionDialog::GetMergeNames() const
{
    std::vector<CString> names;
    CListBox* list = static_cast<CListBox*>(GetDlgItem(IDC_FUSION_MERGE_LIST));
    for (int i = 0; list && i < list->GetCount(); ++i)
        names.push_back(ListText(list, i));
    return names;
}

void CImageFusionDialog::SetStatus(UINT stringId)
{
    CString text;
    text.LoadString(stringId);
    ::SetDlgItemTextW(m_hWnd, IDC_FUSION_STATUS, text);
    Invalidate(FALSE);
}

void CImageFusionDialog::ScanFolder(const CString& folder)
{
    CListBox* source = static_cast<CListBox*>(GetDlgItem(IDC_FUSION_SOURCE_LIST));
    WIN32_FIND_DATAW found;
    HANDLE h = ::FindFirstFileW(folder + L"\\*.*", &found);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        CString path = Join(folder, found.cFileName);
        if (!PictureTypeOf(path))
            continue;
        path.MakeLower();
        m_folderFiles.push_back(path);
        source->AddString(FileNameOf(path));
    } while (::FindNextFileW(h, &found));
    ::FindClose(h);
}

void CImageFusionDialog::ChangeFolder(const CString& folder)
{
    ::SetDlgItemTextW(m_hWnd, IDC_FUSION_FOLDER, folder);
    OnRemoveAll();
    CListBox* source = static_cast<CListBox*>(GetDlgItem(IDC_FUSION_SOURCE_LIST));
    source->ResetContent();
    m_folderFiles.clear();
    ScanFolder(folder);
    if (source->GetCount() > 0) {
        ShowPreview(Join(folder, ListText(source, 0)));
        source->SetSel(0, TRUE);
    }
}

void CImageFusionDialog::RefreshControls()
{
    CListBox* merge = static_cast<CListBox*>(GetDlgItem(IDC_FUSION_MERGE_LIST));
    const int n = merge ? merge->GetCount() : 0;
    UINT caption = IDS_FUSION_EDOF;
    BOOL mergeOn = n > 1 && !m_busy;
    if (m_mode == FUSION_MODE_STITCH) {
        caption = IDS_FUSION_STITCH;
    } else if (m_mode == FUSION_MODE_HDR) {
        caption = IDS_FUSION_HDR;
        const BOOL countOk = n >= 2 && n <= 3;
        SetStatus(countOk ? IDS_FUSION_WAITING : IDS_HDR_COUNT);
        mergeOn = countOk && !m_busy;
    }
    CString text;
    text.LoadString(caption);
    SetWindowText(text);
    ::SetDlgItemTextW(m_hWnd, IDC_FUSION_MERGE, text);
    GetDlgItem(IDC_FUSION_MERGE)->EnableWindow(mergeOn);
    for (int id : kIdleButtons)
        GetDlgItem(id)->EnableWindow(!m_busy);
    Invalidate(FALSE);
}

int CImageFusionDialog::AddToMergeList(int position, const CString& name)
{
    const CString path = Join(GetFolder(), name);
    int width = 0, height = 0;
    CString title;
    if (CWinApp* app = AfxGetApp())
        title = app->m_pszAppName;
    if (!ReadPictureSize(path, &width, &height)) {
        ::MessageBoxW(m_hWnd, L"Read image " + path + L" failed.", title, MB_OK);
        return 0;
    }
    CListBox* merge = static_cast<CListBox*>(GetDlgItem(IDC_FUSION_MERGE_LIST));
    if (merge->GetCount() == 0) {
        m_refWidth = width;
        m_refHeight = height;
    } else if (width != m_refWidth || height != m_refHeight) {
        ::MessageBoxW(m_hWnd, path + L" can't be added.", title, MB_OK);
        return 0;
    }
    merge->InsertString(position, name);
    return 1;
}

void CImageFusionDialog::OnAdd()
{
    CListBox* source = static_cast<CListBox*>(GetDlgItem(IDC_FUSION_SOURCE_LIST));
    for (int i = source->GetCount() - 1; i >= 0; --i)
        if (source->GetSel(i) > 0 && AddToMergeList(0, ListText(source, i)))
            source->DeleteString(i);
    RefreshControls();
}

void CImageFusionDialog::OnAddAll()
{
    CListBox* source = static_cast<CListBox*>(GetDlgItem(IDC_FUSION_SOURCE_LIST));
    for (int i = source->GetCount() - 1; i >= 0; --i)
        if (AddToMergeList(0, ListText(source, i)))
            source->DeleteString(i);
    RefreshControls();
}

void CImageFusionDialog::OnRemove()
{
    CListBox* source = static_cast<CListBox*>(GetDlgItem(IDC_FUSION_SOURCE_LIST));
    CListBox* merge = static_cast<CListBox*>(GetDlgItem(IDC_FUSION_MERGE_LIST));
    for (int i = merge->GetCount() - 1; i >= 0; --i) {
        if (merge->GetSel(i) > 0) {
            source->InsertString(0, ListText(merge, i));
            merge->DeleteString(i);
        }
    }
    RefreshControls();
}

void CImageFusionDialog::OnRemoveAll()
{
    CListBox* source = static_cast<CListBox*>(GetDlgItem(IDC_FUSION_SOURCE_LIST));
    CListBox* merge = static_cast<CListBox*>(GetDlgItem(IDC_FUSION_MERGE_LIST));
    for (int i = merge->GetCount() - 1; i >= 0; --i) {
        source->InsertString(0, ListText(merge, i));
        merge->DeleteString(i);
    }
    RefreshControls();
}

void CImageFusionDialog::OnBrowse()
{
    CString title;
    title.LoadString(IDS_CHOOSE_FOLDER);
    const CString current = GetFolder();
    BROWSEINFOW info;
    ZeroMemory(&info, sizeof info);
    info.hwndOwner = m_hWnd;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = PreselectFolderCallback;
    info.lParam = LPARAM((LPCWSTR)current);
    LPITEMIDLIST chosen = ::SHBrowseForFolderW(&info);
    if (!chosen)
        return;
    WCHAR path[MAX_PATH * 4] = {0};
    const BOOL ok = ::SHGetPathFromIDListW(chosen, path);
    ::CoTaskMemFree(chosen);
    if (ok && path[0])
        ChangeFolder(path);
}

void CImageFusionDialog::OnSourceSelChange()
{
    CListBox* source = static_cast<CListBox*>(GetDlgItem(IDC_FUSION_SOURCE_LIST));
    const int caret = source->GetCaretIndex();
    if (caret >= 0 && caret < source->GetCount())
        ShowPreview(Join(GetFolder(), ListText(source, caret)));
}

int CImageFusionDialog::ShowPreview(const CString& path)
{
    if (!m_preview)
        return 0;
    const int result = m_preview->OpenFile(path, 0);
    CRect area;
    GetDlgItem(IDC_FUSION_PREVIEW)->GetWindowRect(&area);
    CRect fit(0, 0, area.Width(), area.Height());
    m_preview->FitToRect(&fit);
    Invalidate(FALSE);
    return result;
}

void CImageFusionDialog::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    PaintSkin(&dc, client);
    CWnd* frame = GetDlgItem(IDC_FUSION_PREVIEW);
    CRect area;
    frame->GetWindowRect(&area);
    ScreenToClient(&area);
    ::FillRect(dc.m_hDC, &area, m_greyBrush);
    if (m_preview && m_preview->HasImage()) {
        const int saved = ::SaveDC(dc.m_hDC);
        ::IntersectClipRect(dc.m_hDC, area.left, area.top, area.right, area.bottom);
        ::SetViewportOrgEx(dc.m_hDC, area.left, area.top, NULL);
        m_preview->DrawCentered(this, &dc, CRect(0, 0, area.Width(), area.Height()));
        ::RestoreDC(dc.m_hDC, saved);
    }
}

void CImageFusionDialog::OnDestroy()
{
    KillTimer(kProgressTimer);
    if (m_preview)
        m_preview->ReleaseImages();
    CPanelDialog::OnDestroy();
}

void CImageFusionDialog::StartProgress()
{
    m_progressStep = 0;
    ::SendDlgItemMessageW(m_hWnd, IDC_FUSION_PROGRESS, PBM_SETPOS, 0, 0);
    SetTimer(kProgressTimer, kProgressMs, NULL);
}

void CImageFusionDialog::StopProgress()
{
    KillTimer(kProgressTimer);
    ::SendDlgItemMessageW(m_hWnd, IDC_FUSION_PROGRESS, PBM_SETPOS, 100, 0);
}

void CImageFusionDialog::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kProgressTimer) {
        CPanelDialog::OnTimer(nIDEvent);
        return;
    }
    m_progressStep = (m_progressStep + 1) % 100;
    ::SendDlgItemMessageW(m_hWnd, IDC_FUSION_PROGRESS, PBM_SETPOS, m_progressStep, 0);
}

void CImageFusionDialog::OnMerge()
{
    if (m_busy)
        return;
    m_busy = TRUE;
    RefreshControls();
    switch (m_mode) {
    case FUSION_MODE_EDOF:
        StartEdof();
        break;
    case FUSION_MODE_HDR: {
        const int merged = HdrMerge(this);
        m_busy = FALSE;
        RefreshControls();
        // The result stays in the status line until the merge list changes.
        SetStatus(merged ? IDS_MERGE_DONE : IDS_MERGE_FAILED);
        break;
    }
    case FUSION_MODE_STITCH:
        if (!StartStitch()) {
            SetStatus(IDS_STITCH_FAILED);
            m_busy = FALSE;
            RefreshControls();
        }
        break;
    }
}

void CImageFusionDialog::StartEdof()
{
    m_progressStep = 0;
    ::SendDlgItemMessageW(m_hWnd, IDC_FUSION_PROGRESS, PBM_SETPOS, 0, 0);
    const CString folder = GetFolder();
    EdofJob* job = new EdofJob;
    job->notify = m_hWnd;
    for (const CString& name : GetMergeNames())
        job->inputs.push_back(Join(folder, name));
    m_mergeCount = int(job->inputs.size());
    m_resultPath = job->inputs.empty() ? CString() : EdofResultPath(folder, FileNameOf(job->inputs[0]));
    job->output = m_resultPath;
    if (_beginthread(EdofThread, 0, job) == uintptr_t(-1)) {
        delete job;
        PostMessage(WM_FUSION_PROGRESS, FUSION_FAILED, 0);
    }
}

int CImageFusionDialog::StartStitch()
{
    GetDlgItem(IDC_FUSION_MERGE)->EnableWindow(FALSE);
    const std::vector<CString> names = GetMergeNames();
    m_mergeCount = int(names.size());
    if (names.empty())
        return 0;
    const CString extension = FileExtensionOf(names[0]);
    if (extension.IsEmpty())
        return 0;
    const CString folder = GetFolder();
    StitchJob* job = new StitchJob;
    job->notify = m_hWnd;
    for (const CString& name : names)
        job->inputs.push_back(ToUtf8(Join(folder, name)));
    job->output = Join(folder, L"stitch_" + CompositionStamp() + extension);
    MakeUniqueFileName(job->output);
    m_resultPath = job->output;
    if (_beginthread(StitchThread, 0, job) == uintptr_t(-1)) {
        delete job;
        return 0;
    }
    StartProgress();
    return 1;
}

void CImageFusionDialog::Finish()
{
    StopProgress();
    m_busy = FALSE;
    RefreshControls();
}

LRESULT CImageFusionDialog::OnFusionProgress(WPARAM wParam, LPARAM)
{
    if (wParam == FUSION_STEP) {
        ++m_progressStep;
        const int position = m_mergeCount > 0 ? m_progressStep * 100 / m_mergeCount : 0;
        ::SendDlgItemMessageW(m_hWnd, IDC_FUSION_PROGRESS, PBM_SETPOS, position, 0);
        return 0;
    }
    if (wParam == FUSION_DONE) {
        // Only a result saved whole is listed and shown.
        CListBox* source = static_cast<CListBox*>(GetDlgItem(IDC_FUSION_SOURCE_LIST));
        source->AddString(FileNameOf(m_resultPath));
        PublishCompositionResult(m_resultPath);
    }
    Finish();
    SetStatus(wParam == FUSION_DONE ? IDS_FUSION_DONE : IDS_FUSION_FAILED);
    return 0;
}

LRESULT CImageFusionDialog::OnStitchDone(WPARAM wParam, LPARAM)
{
    if (wParam)
        PublishCompositionResult(m_resultPath);
    Finish();
    SetStatus(wParam ? IDS_STITCH_DONE : IDS_STITCH_FAILED);
    return 0;
}
