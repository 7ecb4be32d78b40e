#include "app/browse/FolderPanel.h"
#include "app/browse/BrowseStringIds.h"
#include "app/browse/ThumbnailStrip.h"
#include "app/shell/ShellLinks.h"
#include "app/shell/FolderPicker.h"
#include "camera/core/QrCCamera.h"
#include <shlobj.h>

namespace {

const UINT kButtonNormal = 194, kButtonHover = 195, kButtonPressed = 196, kButtonDisabled = 197;
const UINT kEditDisabled = 296, kEditNormal = 297;

}  // namespace

IMPLEMENT_DYNAMIC(CFolderPanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CFolderPanel, CPanelDialog)
    ON_BN_CLICKED(IDC_FOLDER_BROWSE, OnBrowseClicked)
END_MESSAGE_MAP()

CFolderPanel::CFolderPanel(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CFolderPanel::~CFolderPanel() {}

void CFolderPanel::DoDataExchange(CDataExchange* pDX)
{
    CPanelDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_FOLDER_PATH, m_strFolder);
}

BOOL CFolderPanel::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    m_btnBrowse.SubclassDlgItem(IDC_FOLDER_BROWSE, this);
    m_btnBrowse.SetSkin(kButtonNormal, kButtonPressed, kButtonHover, kButtonDisabled, 0, 0,
                        CSkinBitmapButton::DRAW_STRETCH, 0, 4);
    m_edit.SubclassDlgItem(IDC_FOLDER_PATH, this);
    m_edit.SetBitmaps(kEditNormal, kEditDisabled);
    m_edit.SetFocusRedirect(TRUE, NULL);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    m_strFolder = mgr.capture.Path;
    UpdateData(FALSE);
    return TRUE;
}

void CFolderPanel::SetFolderText(const CString& folder)
{
    if (m_hWnd == NULL) {
        m_strFolder = folder;
        return;
    }
    SetDlgItemText(IDC_FOLDER_PATH, folder);
    UpdateData(TRUE);
}

CString CFolderPanel::NormaliseChosenFolder(const CString& chosen)
{
    CString path = chosen;
    // A drive root ("C:\") already ends with its backslash.
    if (path.GetLength() > 3 && path[path.GetLength() - 1] != L'\\') path += L"\\";
    return path;
}

void CFolderPanel::OnBrowseClicked() { OnBrowse(); }

void CFolderPanel::OnBrowse()
{
    CString title;
    title.LoadString(IDS_CHOOSE_FOLDER);
    WCHAR display[MAX_PATH] = {};
    BROWSEINFOW info = {};
    info.hwndOwner = NULL;
    info.pidlRoot = NULL;
    info.pszDisplayName = display;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    UpdateData(TRUE);
    info.lpfn = PreselectFolderCallback;
    info.lParam = (LPARAM)(LPCWSTR)m_strFolder;
    LPITEMIDLIST chosen = ::SHBrowseForFolderW(&info);
    if (chosen == NULL) return;
    WCHAR path[MAX_PATH] = {};
    const BOOL hasPath = ::SHGetPathFromIDListW(chosen, path);
    ::CoTaskMemFree(chosen);
    if (!hasPath || path[0] == 0) return;
    const CString folder = NormaliseChosenFolder(path);
    SetFolderText(folder);
    if (Links().strip != NULL) Links().strip->SetFolder(m_strFolder);
}
