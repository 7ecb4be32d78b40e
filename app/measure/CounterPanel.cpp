#include "app/measure/CounterPanel.h"
#include "app/compose/CompositionFiles.h"
#include "app/store/ImageStore.h"
#include "app/measure/LayersDialog.h"
#include "app/measure/MeasureStringIds.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/ShellLinks.h"
#include "external/measure/QrMeasure.h"

namespace {

const UINT kSelectorSkin[3] = {180, 179, 181};       // normal, checked, disabled
const UINT kButtonSkin[4] = {194, 196, 195, 197};    // normal, pressed, hover, disabled
const UINT kEditNormal = 297;
const UINT kEditDisabled = 296;

CImageStore* Store()
{
    return Links().store != NULL ? Links().store : CImageStore::Instance();
}

}  // namespace

IMPLEMENT_DYNAMIC(CCounterPanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CCounterPanel, CPanelDialog)
    ON_BN_CLICKED(IDC_COUNTER_START, OnStart)
    ON_BN_CLICKED(IDC_COUNTER_EXPORT, OnExport)
    ON_BN_CLICKED(IDC_COUNTER_CLEAR_ALL, OnClearAll)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_COUNTER_CLASS0, IDC_COUNTER_CLASS0 + 4, OnClassButton)
    ON_MESSAGE(CQrMeasure::WM_COUNTERS_CHANGED, OnCountersChanged)
END_MESSAGE_MAP()

CCounterPanel::CCounterPanel(CWnd* pParent) : CPanelDialog(IDD, pParent), m_counting(0) {}

CCounterPanel::~CCounterPanel() {}

BOOL CCounterPanel::OnInitDialog()
{
    for (int id = IDC_COUNTER_TOTAL_LABEL; id <= IDC_COUNTER_TOTAL_SHARE; ++id)
        AddTransparentStatic(id);
    CPanelDialog::OnInitDialog();
    FinishInitDialog();
    return TRUE;
}

void CCounterPanel::OnMakeRest()
{
    for (int k = 0; k < kClasses; ++k) {
        m_selectors[k].SubclassDlgItem(IDC_COUNTER_CLASS0 + k, this);
        m_selectors[k].SetSkin(kSelectorSkin[0], kSelectorSkin[1], 0, kSelectorSkin[2], 0, 0);
        m_names[k].SubclassDlgItem(IDC_COUNTER_NAME0 + k, this);
        m_names[k].SetBitmaps(kEditNormal, kEditDisabled);
    }
    CSkinBitmapButton* push[3] = {&m_start, &m_export, &m_clear};
    for (int i = 0; i < 3; ++i) {
        push[i]->SubclassDlgItem(IDC_COUNTER_START + i, this);
        push[i]->SetSkin(kButtonSkin[0], kButtonSkin[1], kButtonSkin[2], kButtonSkin[3], 0, 0);
    }
    UpdateControlState();
}

void CCounterPanel::UpdateControlState()
{
    if (GetSafeHwnd() == NULL)
        return;
    for (int id = IDC_COUNTER_CLASS0; id <= IDC_COUNTER_TOTAL_SHARE; ++id)
        if (CWnd* w = GetDlgItem(id))
            w->EnableWindow(m_counting);
    for (int id = IDC_COUNTER_START; id <= IDC_COUNTER_CLEAR_ALL; ++id)
        GetDlgItem(id)->EnableWindow(!m_counting);
    Invalidate();
}

void CCounterPanel::RefreshCounts()
{
    CImageStore* store = Store();
    if (GetSafeHwnd() == NULL || !store->HasImage())
        return;
    std::vector<CString> names;
    std::vector<int> counts;
    std::vector<float> shares;
    int current = 0;
    store->GetCountersInfo(names, counts, shares, current);
    int total = 0;
    CString text;
    for (int k = 0; k < kClasses && k < (int)counts.size(); ++k) {
        if (k < (int)names.size())
            AfxSetWindowText(::GetDlgItem(m_hWnd, IDC_COUNTER_NAME0 + k), names[k]);
        text.Format(L"%d", counts[k]);
        AfxSetWindowText(::GetDlgItem(m_hWnd, IDC_COUNTER_COUNT0 + k), text);
        text.Format(L"%.1f%%", k < (int)shares.size() ? shares[k] * 100.0 : 0.0);
        AfxSetWindowText(::GetDlgItem(m_hWnd, IDC_COUNTER_SHARE0 + k), text);
        total += counts[k];
    }
    text.Format(L"%d", total);
    AfxSetWindowText(::GetDlgItem(m_hWnd, IDC_COUNTER_TOTAL_COUNT), text);
    text.Format(L"%.1f%%", total != 0 ? 100.0 : 0.0);
    AfxSetWindowText(::GetDlgItem(m_hWnd, IDC_COUNTER_TOTAL_SHARE), text);
    SyncClassButtons();
    Invalidate();
}

void CCounterPanel::SyncClassButtons()
{
    CImageStore* store = Store();
    if (GetSafeHwnd() == NULL || !store->HasImage())
        return;
    std::vector<CString> names;
    std::vector<int> counts;
    std::vector<float> shares;
    int current = 0;
    store->GetCountersInfo(names, counts, shares, current);
    if (current < 1 || current >= kClasses)
        current = 0;
    for (int k = 0; k < kClasses; ++k)
        CheckDlgButton(IDC_COUNTER_CLASS0 + k, k == current ? BST_CHECKED : BST_UNCHECKED);
}

void CCounterPanel::StartCounting()
{
    if (Links().doc != NULL)
        Links().doc->InteractionMode = MODE_MEASURE;
    CImageStore* store = Store();
    if (store->HasImage()) {
        store->SelectCounterTool();
        store->SetCountersWindow(this);
    } else {
        store->SelectMeasureTool(kToolSelect);
    }
    if (Links().layers != NULL)
        Links().layers->EnsureWorkLayer();
}

void CCounterPanel::OnStart()
{
    StartCounting();
    m_counting = 1;
    UpdateControlState();
    RefreshCounts();
}

void CCounterPanel::OnClassButton(UINT id)
{
    const int k = (int)id - IDC_COUNTER_CLASS0;
    if (Links().doc == NULL || Links().doc->InteractionMode != MODE_MEASURE)
        StartCounting();
    if (Store()->HasImage())
        Store()->SetCounterColor(k);
    SyncClassButtons();
}

void CCounterPanel::OnClearAll()
{
    CImageStore* store = Store();
    if (store->HasImage())
        store->ClearCounters();
    store->InvalidateMeasureTarget();
    m_counting = 0;
    UpdateControlState();
    RefreshCounts();
}

BOOL CCounterPanel::AskExportPath(CString& path)
{
    CFileDialog dialog(FALSE, L"xls", L"Result", OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
                       L"xls Files (*.xls)|*.xls||", this);
    const CString folder = ExportFolder();
    if (!folder.IsEmpty())
        dialog.m_ofn.lpstrInitialDir = folder;
    if (dialog.DoModal() != IDOK)
        return FALSE;
    path = dialog.GetPathName();
    return !path.IsEmpty();
}

CString CCounterPanel::ExportFolder() const
{
    CImageStore* store = Store();
    return store->HasImage() ? FolderOf(store->GetFilePath()) : CString();
}

void CCounterPanel::ShowOpenedPicture()
{
    m_counting = 0;
    UpdateControlState();
    RefreshCounts();
}

void CCounterPanel::SendNames()
{
    std::vector<CString> names(kClasses);
    for (int k = 0; k < kClasses; ++k)
        GetDlgItemText(IDC_COUNTER_NAME0 + k, names[k]);
    Store()->SetCounterNames(names);
}

void CCounterPanel::OnExport()
{
    CString path;
    const BOOL chosen = AskExportPath(path);
    SendNames();
    if (!chosen || !Store()->HasImage())
        return;
    // A file that could not be written must not pass for an export.
    if (!Store()->ExportCounters(path))
        AfxMessageBox(IDS_COUNTER_EXPORT_FAILED, MB_OK | MB_ICONWARNING);
}

LRESULT CCounterPanel::OnCountersChanged(WPARAM wParam, LPARAM)
{
    if (wParam == 0 && m_counting) {
        m_counting = 0;
        UpdateControlState();
    }
    // Names typed since reach the library before the counts are read back.
    SendNames();
    RefreshCounts();
    return 0;
}
