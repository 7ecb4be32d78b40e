#include "app/capture/WhiteBalanceWizard.h"

#include "app/capture/CameraPanel.h"
#include "app/capture/CaptureStringIds.h"
#include "app/capture/CaptureToolBar.h"
#include "app/shell/CapturePage.h"
#include "app/shell/ShellLinks.h"
#include "camera/core/QrCCamera.h"

IMPLEMENT_DYNAMIC(CWhiteBalanceWizard, CPanelDialog)

namespace {

const UINT kCancelNormal = 194, kCancelHover = 195, kCancelPressed = 196, kCancelDisabled = 197;

// What each step shows: its text, the OK caption and the Cancel caption (0: Cancel
// hidden).
struct Screen
{
    UINT text, ok, cancel;
};

const Screen kScreens[] = {
    {IDS_WBW_INTRO, IDS_WBW_RESET_AND_GO, IDS_WBW_CANCEL},
    {IDS_WBW_LIGHT, IDS_WBW_NEXT, 0},
    {IDS_WBW_WHITE_AREA, IDS_WBW_TAKE, 0},
    {IDS_WBW_SUCCESS, IDS_WBW_FINISH, 0},
    {IDS_WBW_FAILURE, IDS_WBW_SET_EXPOSURE, IDS_WBW_REDO},
    {IDS_WBW_MANUAL, IDS_WBW_TAKE, 0},
};

CString LoadText(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

}  // namespace

BEGIN_MESSAGE_MAP(CWhiteBalanceWizard, CPanelDialog)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CWhiteBalanceWizard::CWhiteBalanceWizard(CWnd* pOwner)
    : CPanelDialog(IDD, pOwner), m_pOwner(pOwner), m_step(STEP_INTRO)
{
}

CWhiteBalanceWizard::~CWhiteBalanceWizard() {}

void CWhiteBalanceWizard::DoDataExchange(CDataExchange* pDX)
{
    CPanelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_ok);
    DDX_Control(pDX, IDCANCEL, m_cancel);
}

BOOL CWhiteBalanceWizard::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    AddTransparentStatic(IDC_WB_WIZARD_TEXT);
    m_ok.SetSkin(IDB_WBW_OK_NORMAL, IDB_WBW_OK_PRESSED, IDB_WBW_OK_HOVER, IDB_WBW_OK_DISABLED, 0, 0,
                 CSkinBitmapButton::DRAW_NATURAL, 0, 4);
    m_cancel.SetSkin(kCancelNormal, kCancelPressed, kCancelHover, kCancelDisabled, 0, 0,
                     CSkinBitmapButton::DRAW_NATURAL, 0, 4);
    ShowStep(STEP_INTRO);
    return TRUE;
}

BOOL CWhiteBalanceWizard::PreTranslateMessage(MSG* pMsg)
{
    return CDialog::PreTranslateMessage(pMsg);
}

void CWhiteBalanceWizard::ShowStep(int step)
{
    const Screen& screen = kScreens[step];
    m_step = step;
    SetDlgItemText(IDC_WB_WIZARD_TEXT, LoadText(screen.text));
    m_ok.SetWindowText(LoadText(screen.ok));
    if (screen.cancel != 0)
        m_cancel.SetWindowText(LoadText(screen.cancel));
    m_cancel.ShowWindow(screen.cancel != 0 ? SW_SHOW : SW_HIDE);
    // Repainted at once: the calls that follow may keep the thread busy for a while.
    Invalidate(TRUE);
    UpdateWindow();
}

void CWhiteBalanceWizard::TakeWhiteBalance(int requests)
{
    if (QrCCameraSetAWBState(1) != CAM_OK) {
        ShowStep(STEP_FAILED);
        return;
    }
    for (int i = 1; i < requests; i++)
        QrCCameraSetAWBState(1);
    ShowStep(STEP_DONE);
}

void CWhiteBalanceWizard::OnOK()
{
    switch (m_step) {
    case STEP_INTRO: {
        ShowStep(STEP_LIGHT);
        QrCCameraParameterDefault(0);
        QrCCameraSetAeState(1);
        QrCCameraSetAELock(0);
        ShellLinks& links = Links();
        if (links.capturePage != NULL)
            links.capturePage->RefreshAllPanels();
        if (links.captureTools != NULL)
            links.captureTools->RefreshFromCamera();
        break;
    }
    case STEP_LIGHT:
        ShowStep(STEP_WHITE_AREA);
        break;
    case STEP_WHITE_AREA:
        TakeWhiteBalance(2);
        break;
    case STEP_DONE:
        TellOwner();
        break;
    case STEP_FAILED:
        ShowStep(STEP_MANUAL);
        break;
    case STEP_MANUAL:
        TakeWhiteBalance(1);
        break;
    }
}

void CWhiteBalanceWizard::OnCancel()
{
    if (m_step == STEP_FAILED)
        ShowStep(STEP_WHITE_AREA);
    else
        TellOwner();
}

void CWhiteBalanceWizard::OnClose()
{
    TellOwner();
}

void CWhiteBalanceWizard::TellOwner()
{
    if (m_pOwner != NULL && m_pOwner->GetSafeHwnd() != NULL)
        m_pOwner->PostMessage(WM_WB_WIZARD_CLOSED, 0, 0);
}
