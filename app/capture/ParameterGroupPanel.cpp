#include "app/capture/ParameterGroupPanel.h"

#include <algorithm>

#include <shlobj.h>

#include "app/capture/CapturePanel.h"
#include "app/capture/CaptureStringIds.h"
#include "app/capture/CaptureToolBar.h"
#include "app/capture/CameraWorkGate.h"
#include "app/capture/PreviewWnd.h"
#include "app/store/ImageStore.h"
#include "app/shell/CapturePage.h"
#include "app/shell/ColorPanel.h"
#include "app/shell/FoldPanel.h"
#include "app/shell/ShellLinks.h"
#include "app/shell/TitleBar.h"
#include "app/shell/FolderPicker.h"
#include "camera/core/QrCCamera.h"

IMPLEMENT_DYNAMIC(CParameterGroupPanel, CPanelDialog)

namespace {

const UINT kComboNormal = 303, kComboPressed = 300, kComboHover = 302, kComboDisabled = 301;
const UINT kButtonNormal = 194, kButtonHover = 195, kButtonPressed = 196, kButtonDisabled = 197;

const int kButtonIds[] = {IDC_GROUP_SAVE, IDC_GROUP_LOAD, IDC_GROUP_DELETE, IDC_GROUP_BACKUP,
                          IDC_GROUP_RESTORE, IDC_GROUP_BLACK_BACKGROUND, IDC_GROUP_FULL_SCREEN};

// The Capture page's section this panel sits in.
const size_t kOwnSection = 5;

// BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE
const UINT kPickerFlags = 0x51;

const COLORREF kGrey = RGB(189, 189, 189);
const COLORREF kBorderInner = RGB(149, 149, 149);
const COLORREF kBorderLower = RGB(189, 189, 189);

// <Desktop>\<program title>, made when missing; empty when there is no desktop folder.
CString DesktopProgramFolder()
{
    WCHAR desktop[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(NULL, desktop, CSIDL_DESKTOP, FALSE))
        return CString();
    CString title;
    title.LoadString(AFX_IDS_APP_TITLE);
    CString folder(desktop);
    if (folder.Right(1) != L"\\")
        folder += L"\\";
    folder += title;
    if (GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES)
        CreateDirectoryW(folder, NULL);
    return folder;
}

void ShowMessage(UINT id)
{
    AfxMessageBox(id, MB_OK);
}

void Paint(CWnd* wnd)
{
    if (wnd != NULL && wnd->GetSafeHwnd() != NULL)
        wnd->Invalidate(TRUE);
}

// The panel's controls a team's work keeps disabled.
const int kTeamControls[] = {IDC_GROUP_NAME, IDC_GROUP_SAVE, IDC_GROUP_LOAD, IDC_GROUP_DELETE, IDC_GROUP_BACKUP,
                             IDC_GROUP_RESTORE};

struct TeamJob {
    HWND panel;
    int work;
    int index;
    BOOL applyAfterSave;
};

// The library's part of a load or save: every call here may wait on the camera.
int RunTeamWork(int work, int index, BOOL applyAfterSave)
{
    if (work == CParameterGroupPanel::TEAM_LOAD)
        return QrCCameraReadParamterTeam(index);
    const BOOL saved = QrCCameraSaveParamterTeam(index) == CAM_OK;
    if (saved && applyAfterSave) {
        QrCCameraParameterApply();
        QrCCameraReadParamterTeam(index);
    }
    return saved ? CAM_OK : CAM_FAILED;
}

unsigned TeamWorkerThread(void* param)
{
    const TeamJob job = *static_cast<TeamJob*>(param);
    delete static_cast<TeamJob*>(param);
    const int result = RunTeamWork(job.work, job.index, job.applyAfterSave);
    ::PostMessageW(job.panel, WM_GROUP_TEAM_DONE, (WPARAM)job.work, (LPARAM)result);
    _endthreadex(0);
    return 0;
}

}  // namespace

BEGIN_MESSAGE_MAP(CParameterGroupPanel, CPanelDialog)
    ON_BN_CLICKED(IDC_GROUP_SAVE, OnSaveTeam)
    ON_BN_CLICKED(IDC_GROUP_LOAD, OnLoadTeam)
    ON_BN_CLICKED(IDC_GROUP_DELETE, OnDeleteTeam)
    ON_BN_CLICKED(IDC_GROUP_BLACK_BACKGROUND, ToggleBlackBackground)
    ON_BN_CLICKED(IDC_GROUP_FULL_SCREEN, OnFullScreen)
    ON_BN_CLICKED(IDC_GROUP_BACKUP, OnBackup)
    ON_BN_CLICKED(IDC_GROUP_RESTORE, OnRestore)
    ON_MESSAGE(WM_COMBO_SELCHANGED, OnComboSelChanged)
    ON_MESSAGE(WM_GROUP_TEAM_DONE, OnTeamDone)
    ON_MESSAGE(WM_GROUP_FINISH_STEP, OnFinishStep)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CParameterGroupPanel::CParameterGroupPanel(CWnd* pParent)
    : CPanelDialog(IDD, pParent), m_bBlackBackground(0), m_nLastSelection(-1), m_hWorker(NULL),
      m_finishPhase(FINISH_NONE), m_nRefreshStep(0)
{
}

CParameterGroupPanel::~CParameterGroupPanel() {}

void CParameterGroupPanel::OnDestroy()
{
    if (m_hWorker != NULL) {
        // The library may send to this thread's windows while it works.
        AfxWaitForSingleObjectSent(m_hWorker, INFINITE);
        ::CloseHandle(m_hWorker);
        m_hWorker = NULL;
        EndCameraWork();
    }
    m_finishPhase = FINISH_NONE;
    CPanelDialog::OnDestroy();
}

void CParameterGroupPanel::DoDataExchange(CDataExchange* pDX)
{
    CPanelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_GROUP_NAME, m_nameCombo);
    for (size_t i = 0; i < sizeof(kButtonIds) / sizeof(kButtonIds[0]); i++)
        DDX_Control(pDX, kButtonIds[i], m_buttons[i]);
}

BOOL CParameterGroupPanel::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    m_nameCombo.SetBitmaps(kComboNormal, kComboPressed, kComboHover, kComboDisabled);
    m_nameCombo.SetShowText(FALSE);
    for (CSkinBitmapButton& button : m_buttons)
        button.SetSkin(kButtonNormal, kButtonPressed, kButtonHover, kButtonDisabled, 0, 0,
                       CSkinBitmapButton::DRAW_NATURAL, 0, 4);
    UpdateControlState();
    FillTeamCombo();
    return TRUE;
}

int CParameterGroupPanel::TeamLimit(int cameraType)
{
    return cameraType == CAMERA_TYPE_CORE_A ? PARAM_TEAM_MAX : 4;
}

void CParameterGroupPanel::UpdateControlState()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    const BOOL running = mgr.cameraType != CAMERA_TYPE_NONE && mgr.runState == 0 && !IsBusy();
    for (int id : {IDC_GROUP_SAVE, IDC_GROUP_NAME, IDC_GROUP_LOAD, IDC_GROUP_DELETE})
        GetDlgItem(id)->EnableWindow(running);
    Invalidate(TRUE);
}

void CParameterGroupPanel::RefillGroupCombo()
{
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    m_nameCombo.ResetContent();
    GetDlgItem(IDC_GROUP_DELETE)->EnableWindow(mgr.CntParam > 0 && !IsBusy());
    const int count = std::min<int>(mgr.CntParam, (int)mgr.teamNames.GetSize());
    for (int i = 0; i < count; i++)
        m_nameCombo.AddString(mgr.teamNames[i]);
    int selection = count;
    for (int i = 0; i < count && i < mgr.teamSetNumber.GetSize(); i++) {
        if (mgr.teamSetNumber[i] == cur.paramSetNumber) {
            selection = i;
            break;
        }
    }
    m_nameCombo.SetCurSel(selection < count ? selection : -1);
}

BOOL CParameterGroupPanel::FindTeam(CString* name, int* index)
{
    m_nameCombo.GetWindowText(*name);
    if (name->IsEmpty()) {
        ShowMessage(IDS_GROUP_NAME_EMPTY);
        return FALSE;
    }
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    const int count = std::min<int>(mgr.CntParam, (int)mgr.teamNames.GetSize());
    *index = count;
    for (int i = 0; i < count; i++) {
        if (mgr.teamNames[i] == *name) {
            *index = i;
            break;
        }
    }
    return TRUE;
}

void CParameterGroupPanel::OnSaveTeam()
{
    CString name;
    int index = 0;
    if (IsBusy() || !FindTeam(&name, &index))
        return;
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (index < mgr.CntParam) {
        QrCCameraSetParamterTeamName(index, &name);
    } else {
        if (mgr.CntParam >= TeamLimit(mgr.cameraType)) {
            ShowMessage(IDS_GROUP_FULL);
            return;
        }
        if (QrCCameraAddParamterTeam(&name) != CAM_OK) {
            ShowMessage(IDS_GROUP_SAVE_FAILED);
            return;
        }
        QrCCameraGetMgrParameter(&mgr);
        index = mgr.CntParam > 0 ? mgr.CntParam - 1 : 0;
    }
    StartTeamWork(TEAM_SAVE, index, mgr.sensorKind != SENSOR_KIND_THIRD);
}

void CParameterGroupPanel::FinishSave(BOOL saved)
{
    // A refused save must not be reported as done, nor applied as if it held the
    // camera's values.
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (saved && mgr.sensorKind != SENSOR_KIND_THIRD) {
        const CaptureParam* settings = Links().capture != NULL ? Links().capture->GetCaptureSettings() : NULL;
        if (settings != NULL)
            QrCCameraSetCameraCaptureConfig(settings);
    }
    UpdateControlState();
    FillTeamCombo();
    ShowMessage(saved ? IDS_GROUP_SAVED : IDS_GROUP_SAVE_FAILED);
}

void CParameterGroupPanel::OnLoadTeam()
{
    CString name;
    int index = 0;
    if (IsBusy() || !FindTeam(&name, &index))
        return;
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (index < mgr.CntParam) {
        StartTeamWork(TEAM_LOAD, index, FALSE);
    } else {
        ShowMessage(IDS_GROUP_LOAD_MISSING);
        RelayoutFrame();
    }
}

BOOL CParameterGroupPanel::StartTeamWork(TeamWork work, int index, BOOL applyAfterSave)
{
    TeamJob* job = new TeamJob{m_hWnd, work, index, applyAfterSave};
    unsigned id = 0;
    HANDLE worker = (HANDLE)_beginthreadex(NULL, 0, TeamWorkerThread, job, CREATE_SUSPENDED, &id);
    if (worker == NULL) {
        delete job;
        OnTeamDone(work, RunTeamWork(work, index, applyAfterSave));
        return FALSE;
    }
    BeginCameraWork();
    SetBusy(worker);
    ::ResumeThread(worker);
    return TRUE;
}

void CParameterGroupPanel::SetBusy(HANDLE worker)
{
    m_hWorker = worker;
    if (worker != NULL) {
        for (int id : kTeamControls)
            GetDlgItem(id)->EnableWindow(FALSE);
    } else {
        GetDlgItem(IDC_GROUP_BACKUP)->EnableWindow(TRUE);
        GetDlgItem(IDC_GROUP_RESTORE)->EnableWindow(TRUE);
        UpdateControlState();
        FillTeamCombo();
    }
}

LRESULT CParameterGroupPanel::OnTeamDone(WPARAM work, LPARAM result)
{
    if (m_hWorker != NULL) {
        // It has posted this and touches nothing more on its way out.
        ::CloseHandle(m_hWorker);
        m_hWorker = NULL;
        EndCameraWork();
    }
    if (work == TEAM_LOAD) {
        // The controls come back only when the page shows the loaded values.
        m_finishPhase = FINISH_LAYOUT;
        PostMessage(WM_GROUP_FINISH_STEP);
        return 0;
    }
    SetBusy(NULL);
    FinishSave(result == CAM_OK);
    return 0;
}

LRESULT CParameterGroupPanel::OnFinishStep(WPARAM, LPARAM)
{
    if (m_finishPhase == FINISH_NONE)
        return 0;
    // Posted after what the step itself posted (the frame's layout), so the controls
    // come back last.
    if (FinishStep(m_finishPhase, m_nRefreshStep)) {
        PostMessage(WM_GROUP_FINISH_STEP);
        return 0;
    }
    m_finishPhase = FINISH_NONE;
    SetBusy(NULL);
    return 0;
}

void CParameterGroupPanel::OnDeleteTeam()
{
    CString name;
    int index = 0;
    if (IsBusy() || !FindTeam(&name, &index))
        return;
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (index >= mgr.CntParam) {
        ShowMessage(IDS_GROUP_DELETE_MISSING);
        return;
    }
    QrCCameraDelParamterTeam(index);
    UpdateControlState();
    FillTeamCombo();
}

LRESULT CParameterGroupPanel::OnComboSelChanged(WPARAM wParam, LPARAM)
{
    if (wParam == IDC_GROUP_NAME)
        m_nLastSelection = m_nameCombo.GetCurSel();
    return 0;
}

void CParameterGroupPanel::RefreshPageAfterLoad()
{
    FinishPhase phase = FINISH_LAYOUT;
    int refreshStep = 0;
    while (FinishStep(phase, refreshStep)) {
    }
}

BOOL CParameterGroupPanel::FinishStep(FinishPhase& phase, int& refreshStep)
{
    ShellLinks& links = Links();
    switch (phase) {
    case FINISH_LAYOUT:
        if (links.capturePage != NULL)
            links.capturePage->LayoutPanels();
        phase = FINISH_REFRESH;
        refreshStep = 0;
        return TRUE;
    case FINISH_REFRESH:
        if (links.capturePage != NULL && links.capturePage->RefreshPanelsStep(refreshStep++))
            return TRUE;
        phase = FINISH_SECTION;
        // A page without steps left goes straight on.
        [[fallthrough]];
    case FINISH_SECTION:
        if (links.captureSections != NULL && links.captureSections->size() > kOwnSection &&
            (*links.captureSections)[kOwnSection] != NULL)
            (*links.captureSections)[kOwnSection]->SetExpanded(TRUE);
        if (links.captureTools != NULL)
            links.captureTools->RefreshFromCamera();
        phase = FINISH_FRAME;
        return TRUE;
    case FINISH_FRAME:
        RelayoutFrame();
        phase = FINISH_DONE;
        return TRUE;
    default:
        return FALSE;
    }
}

void CParameterGroupPanel::RelayoutFrame()
{
    if (Links().titleBar != NULL)
        Links().titleBar->RelayoutFrame();
}

void CParameterGroupPanel::ToggleBlackBackground()
{
    m_bBlackBackground = !m_bBlackBackground;
    ApplyBackgroundColors();
}

void CParameterGroupPanel::ApplyBackgroundColors()
{
    const COLORREF colour = m_bBlackBackground ? RGB(0, 0, 0) : kGrey;
    const BYTE r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    ShellLinks& links = Links();
    if (links.preview != NULL) {
        links.preview->SetBackgroundColor(r, g, b);
        Paint(links.preview);
    }
    if (links.store != NULL)
        links.store->SetBackgroundColor(r, g, b);
    if (links.borders[0] != NULL) {
        links.borders[0]->SetColor(r, g, b);
        links.borders[0]->SetInnerColor(GetRValue(kBorderInner), GetGValue(kBorderInner), GetBValue(kBorderInner));
        links.borders[0]->SetLowerColor(GetRValue(kBorderLower), GetGValue(kBorderLower), GetBValue(kBorderLower));
        Paint(links.borders[0]);
    }
    if (links.borders[1] != NULL) {
        links.borders[1]->SetColor(r, g, b);
        Paint(links.borders[1]);
    }
}

void CParameterGroupPanel::OnFullScreen()
{
    if (Links().preview != NULL)
        Links().preview->ToggleFullScreen();
}

BOOL CParameterGroupPanel::PickFolder(CString* folder)
{
    CString title;
    title.LoadString(IDS_CHOOSE_FOLDER);
    BROWSEINFOW info = {};
    info.hwndOwner = NULL;
    info.lpszTitle = title;
    info.ulFlags = kPickerFlags;
    // Preselects <Desktop>\<program title>\, made when missing.
    const CString backup = DesktopProgramFolder();
    const CString preselected = backup.IsEmpty() ? backup : backup + L"\\";
    info.lpfn = PreselectFolderCallback;
    info.lParam = (LPARAM)(LPCWSTR)preselected;
    LPITEMIDLIST pidl = SHBrowseForFolderW(&info);
    if (pidl == NULL)
        return FALSE;
    WCHAR path[MAX_PATH] = {};
    const BOOL havepath = SHGetPathFromIDListW(pidl, path);
    CoTaskMemFree(pidl);
    if (!havepath || path[0] == 0)
        return FALSE;
    *folder = path;
    if (folder->GetLength() != 3)
        *folder += L"\\";
    return TRUE;
}

void CParameterGroupPanel::OnBackup()
{
    CString folder;
    if (IsBusy() || !PickFolder(&folder))
        return;
    ShowMessage(QrCCameraBackupParameter(&folder) == CAM_OK ? IDS_BACKUP_DONE : IDS_BACKUP_FAILED);
}

void CParameterGroupPanel::OnRestore()
{
    CString folder;
    if (IsBusy() || !PickFolder(&folder))
        return;
    if (QrCCameraRecoverParameter(&folder) != CAM_OK) {
        ShowMessage(IDS_RESTORE_FAILED);
        return;
    }
    FillTeamCombo();
    RefreshPageAfterLoad();
    ShowMessage(IDS_RESTORE_DONE);
}
