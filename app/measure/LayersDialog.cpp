#include "app/measure/LayersDialog.h"
#include "app/store/ImageStore.h"
#include "app/measure/LayerNameDialog.h"
#include "app/measure/MeasureStringIds.h"
#include "app/shell/ShellLinks.h"
#include "app/shell/DravenluxView.h"

namespace {

const WCHAR kHeaderProcProp[] = L"MyHeadProc";
const int kMaxNameLength = 50;
const UINT kButtonSkin[4] = {194, 196, 195, 197};   // normal, pressed, hover, disabled
const int kButtonIds[7] = {IDC_LAYER_NEW, IDC_LAYER_DELETE, IDC_LAYER_RENAME, IDC_LAYER_BROWSE,
                           IDC_LAYER_SAVE, IDC_LAYER_LOAD, IDC_LAYER_CLOSE};

CImageStore* Store()
{
    return Links().store != NULL ? Links().store : CImageStore::Instance();
}

CString LoadText(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

// The list's header: no resize cursor, and a press on a divider never starts a resize.
LRESULT CALLBACK HeaderProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    WNDPROC previous = reinterpret_cast<WNDPROC>(reinterpret_cast<INT_PTR>(::GetPropW(hwnd, kHeaderProcProp)));
    switch (msg) {
    case WM_SETCURSOR:
        return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        HDHITTESTINFO hit = {};
        hit.pt.x = (short)LOWORD(lp);
        hit.pt.y = (short)HIWORD(lp);
        ::CallWindowProcW(previous, hwnd, HDM_HITTEST, 0, (LPARAM)&hit);
        if (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN))
            return 0;
        break;
    }
    case WM_NCDESTROY:
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        ::RemovePropW(hwnd, kHeaderProcProp);
        break;
    }
    return ::CallWindowProcW(previous, hwnd, msg, wp, lp);
}

}  // namespace

IMPLEMENT_DYNAMIC(CLayersDialog, CPanelDialog)

BEGIN_MESSAGE_MAP(CLayersDialog, CPanelDialog)
    ON_BN_CLICKED(IDC_LAYER_NEW, OnNewLayer)
    ON_BN_CLICKED(IDC_LAYER_DELETE, OnDeleteLayer)
    ON_BN_CLICKED(IDC_LAYER_RENAME, OnRenameLayer)
    ON_BN_CLICKED(IDC_LAYER_BROWSE, OnBrowse)
    ON_BN_CLICKED(IDC_LAYER_SAVE, OnSaveLayers)
    ON_BN_CLICKED(IDC_LAYER_LOAD, OnLoadLayers)
    ON_BN_CLICKED(IDC_LAYER_CLOSE, OnCloseButton)
    ON_MESSAGE(WM_CELLCHECK_CLICKED, OnCellCheck)
END_MESSAGE_MAP()

CLayersDialog::CLayersDialog(CWnd* pParent) : CPanelDialog(IDD, pParent)
{
    WCHAR folder[MAX_PATH] = L"";
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    m_path = folder;
    m_path += L"\\LayerInfo.txt";
}

CLayersDialog::~CLayersDialog() {}

BOOL CLayersDialog::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    m_list.SubclassDlgItem(IDC_LAYER_LIST, this);
    m_list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    m_list.InsertColumn(0, LoadText(IDS_LAYER_COLUMN_NAME), LVCFMT_LEFT, 90);
    m_list.InsertColumn(1, LoadText(IDS_LAYER_COLUMN_CURRENT), LVCFMT_LEFT, 60);
    m_list.InsertColumn(2, LoadText(IDS_LAYER_COLUMN_VISIBLE), LVCFMT_LEFT, 60);
    InstallHeaderHook();
    for (int i = 0; i < 7; ++i) {
        m_buttons[i].SubclassDlgItem(kButtonIds[i], this);
        m_buttons[i].SetSkin(kButtonSkin[0], kButtonSkin[1], kButtonSkin[2], kButtonSkin[3], 0, 0);
    }
    SetDlgItemText(IDC_LAYER_PATH, m_path);
    return TRUE;
}

void CLayersDialog::InstallHeaderHook()
{
    CHeaderCtrl* header = m_list.GetHeaderCtrl();
    if (header == NULL || header->GetSafeHwnd() == NULL)
        return;
    HWND h = header->GetSafeHwnd();
    ::SetPropW(h, kHeaderProcProp, reinterpret_cast<HANDLE>(::GetWindowLongPtrW(h, GWLP_WNDPROC)));
    ::SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HeaderProc));
}

// Enter does nothing; Escape and the close box hide the panel.
void CLayersDialog::OnOK() {}

void CLayersDialog::OnCancel()
{
    ShowWindow(SW_HIDE);
}

void CLayersDialog::OnCloseButton()
{
    ShowWindow(SW_HIDE);
}

void CLayersDialog::ShowMessage(UINT id)
{
    AfxMessageBox(id, MB_OK);
}

void CLayersDialog::UpdateControlState()
{
    if (GetSafeHwnd() == NULL)
        return;
    m_list.EnableWindow(TRUE);
    GetDlgItem(IDC_LAYER_PATH)->EnableWindow(TRUE);
    for (int id : kButtonIds)
        GetDlgItem(id)->EnableWindow(TRUE);
}

CString CLayersDialog::ProposedName() const
{
    CString name;
    name.Format(L"%s%02d", (LPCWSTR)LoadText(IDS_LAYER_PREFIX), Store()->GetLayerCount());
    return name;
}

void CLayersDialog::InsertCheckedRow(int row, const CString& name)
{
    m_list.InsertItem(row, name);
    m_list.AddCheckButton(row, 1, m_hWnd, 1, TRUE);
    m_list.AddCheckButton(row, 2, m_hWnd, 1, TRUE);
}

void CLayersDialog::FillRows()
{
    std::vector<CString> names;
    CImageStore* store = Store();
    store->GetLayerNames(names);
    if (names.empty())
        return;
    m_list.DeleteAllItems();
    m_list.RemoveAllButtons();
    for (int i = 0; i < (int)names.size(); ++i) {
        m_list.InsertItem(i, names[i]);
        m_list.AddCheckButton(i, 1, m_hWnd, 0, FALSE);
        m_list.AddCheckButton(i, 2, m_hWnd, 2, store->IsLayerVisible(i));
    }
    m_list.SetCurrentRow(store->GetCurrentLayerIndex());
}

void CLayersDialog::RefreshLayerList()
{
    if (GetSafeHwnd() != NULL)
        FillRows();
}

void CLayersDialog::EnsureWorkLayer()
{
    if (GetSafeHwnd() == NULL)
        return;
    CImageStore* store = Store();
    const CString background = LoadText(IDS_LAYER_BACKGROUND);
    if (store->GetLayerCount() == 0) {
        store->NewLayer(background);
        m_list.DeleteAllItems();
        m_list.RemoveAllButtons();
        InsertCheckedRow(0, background);
    }
    if (store->GetLayerCount() == 1) {
        const CString name = ProposedName();
        store->NewLayer(name);
        InsertCheckedRow(1, name);
        m_list.SetCurrentRow(m_list.GetItemCount() - 1);
    } else if (store->GetCurrentLayerIndex() == 0) {
        m_list.SetCurrentRow(1);
        store->SetCurrentLayer(1);
    } else {
        return;
    }
    if (Links().view != NULL && Links().view->GetSafeHwnd() != NULL)
        Links().view->Invalidate(TRUE);
}

void CLayersDialog::OnNewLayer()
{
    CImageStore* store = Store();
    const int n = m_list.GetItemCount();
    CString name;
    if (n == 0) {
        name = LoadText(IDS_LAYER_BACKGROUND);
        store->NewLayer(name);
    } else {
        CLayerNameDialog dialog(this);
        dialog.SetName(ProposedName());
        if (dialog.DoModal() != IDOK)
            return;
        name = dialog.GetName();
        if (name.IsEmpty()) {
            ShowMessage(IDS_LAYER_NAME_EMPTY);
            return;
        }
        if (!store->HasImage() || !store->NewLayer(name))
            return;
    }
    InsertCheckedRow(n, name);
    m_list.SetCurrentRow(m_list.GetItemCount() - 1);
}

LRESULT CLayersDialog::OnCellCheck(WPARAM wParam, LPARAM lParam)
{
    const int row = (int)wParam;
    const int column = (int)lParam;
    // The background is always visible.
    if (row == 0 && column == 2)
        return 0;
    CImageStore* store = Store();
    if (column == 1) {
        m_list.SetCurrentRow(row);
        if (store->HasImage())
            store->SetCurrentLayer(row);
    } else if (column == 2) {
        m_list.ToggleSecond(row);
        if (store->HasImage())
            store->SetLayerVisible(row, m_list.IsSecondChecked(row));
    }
    store->InvalidateMeasureTarget();
    return 0;
}

void CLayersDialog::OnDeleteLayer()
{
    const int row = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0)
        return;
    if (row == 0) {
        ShowMessage(IDS_LAYER_DELETE_BACKGROUND);
        return;
    }
    CImageStore* store = Store();
    if (store->HasImage() && store->DeleteLayer(row))
        m_list.RemoveRow(row);
    store->InvalidateMeasureTarget();
}

void CLayersDialog::OnRenameLayer()
{
    const int row = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0)
        return;
    WCHAR text[kMaxNameLength + 1] = L"";
    m_list.GetItemText(row, 0, text, kMaxNameLength + 1);
    if (LoadText(IDS_LAYER_BACKGROUND) == text) {
        ShowMessage(IDS_LAYER_RENAME_BACKGROUND);
        return;
    }
    CLayerNameDialog dialog(this);
    dialog.SetName(text);
    if (dialog.DoModal() != IDOK)
        return;
    if (Store()->RenameLayer(row, dialog.GetName()))
        m_list.SetItemText(row, 0, dialog.GetName());
}

void CLayersDialog::OnBrowse()
{
    CFileDialog dialog(TRUE, NULL, NULL, OFN_HIDEREADONLY, L"TXT Files(*.txt)|*.txt||", this);
    if (dialog.DoModal() != IDOK)
        return;
    m_path = dialog.GetPathName();
    SetDlgItemText(IDC_LAYER_PATH, m_path);
}

void CLayersDialog::OnSaveLayers()
{
    GetDlgItemText(IDC_LAYER_PATH, m_path);
    if (m_path.IsEmpty())
        return;
    if (!Store()->SaveLayers(m_path))
        ShowMessage(IDS_LAYER_FILE_FAILED);
}

void CLayersDialog::OnLoadLayers()
{
    GetDlgItemText(IDC_LAYER_PATH, m_path);
    if (m_path.IsEmpty())
        return;
    CImageStore* store = Store();
    if (!store->LoadLayers(m_path)) {
        ShowMessage(IDS_LAYER_FILE_FAILED);
        return;
    }
    if (store->GetLayerCount() >= 1) {
        FillRows();
        store->InvalidateMeasureTarget();
    }
}
