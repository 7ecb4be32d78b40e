#include "app/capture/VideoRecordPanel.h"
#include "app/capture/CaptureStringIds.h"
#include "app/capture/CameraPanel.h"
#include "app/capture/CapturePanel.h"
#include "app/shell/ShellLinks.h"
#include "camera/core/QrCCamera.h"

IMPLEMENT_DYNAMIC(CVideoRecordPanel, CPanelDialog)

namespace {

const UINT kCaptureNormal = 185, kCapturePressed = 187, kCaptureHover = 186, kCaptureDisabled = 188;
const UINT kPlayNormal = 189, kPlayPressed = 193, kPlayHover = 190, kPlayDisabled = 192;
const UINT kStopNormal = 380, kStopPressed = 381, kStopHover = 383, kStopDisabled = 382;
const UINT kCheckNormal = 180, kCheckPressed = 179, kCheckDisabled = 181;

void ShowItem(CWnd* dialog, int id, BOOL show)
{
    CWnd* item = dialog->GetDlgItem(id);
    if (item != NULL) item->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

} // namespace

BEGIN_MESSAGE_MAP(CVideoRecordPanel, CPanelDialog)
    ON_BN_CLICKED(IDC_VIDEO_CAPTURE, OnCapture)
    ON_BN_CLICKED(IDC_VIDEO_PLAY, OnPlay)
    ON_MESSAGE(WM_EXPOSURE_PROGRESS_POS, OnExposureProgressPos)
    ON_MESSAGE(WM_EXPOSURE_PROGRESS_START, OnExposureProgressStart)
    ON_MESSAGE(WM_EXPOSURE_PROGRESS_STOP, OnExposureProgressStop)
END_MESSAGE_MAP()

CVideoRecordPanel::CVideoRecordPanel(CWnd* pParent) : CPanelDialog(IDD, pParent), m_bPlayRunning(FALSE) {}
CVideoRecordPanel::~CVideoRecordPanel() {}

void CVideoRecordPanel::DoDataExchange(CDataExchange* pDX)
{
    CPanelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_VIDEO_CAPTURE, m_captureButton);
    DDX_Control(pDX, IDC_VIDEO_PLAY, m_playButton);
    DDX_Control(pDX, IDC_VIDEO_SLIDER, m_slider);
    DDX_Control(pDX, IDC_VIDEO_CHECK, m_check);
    DDX_Control(pDX, IDC_VIDEO_EDIT, m_edit);
}

BOOL CVideoRecordPanel::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    for (int id : {IDC_VIDEO_RATE, IDC_VIDEO_RATE_LABEL, IDC_VIDEO_COUNTER}) AddTransparentStatic(id);
    m_captureButton.SetSkin(kCaptureNormal, kCapturePressed, kCaptureHover, kCaptureDisabled, 0, 0);
    m_captureButton.SetRightAlignedText(TRUE);
    SetPlaySkin(FALSE);
    m_slider.SetChannelBitmaps(168, 169, FALSE);
    m_check.SetSkin(kCheckNormal, kCheckPressed, 0, kCheckDisabled, 0, 0);
    m_edit.SetBitmaps(294, 295);
    m_edit.SetFocusRedirect(TRUE);
    GetDlgItem(IDC_VIDEO_RATE_LABEL)->EnableWindow(TRUE);
    GetDlgItem(IDC_VIDEO_RATE)->EnableWindow(TRUE);
    UpdateControlState();
    return TRUE;
}

void CVideoRecordPanel::SetPlaySkin(BOOL running)
{
    m_bPlayRunning = running;
    if (running) m_playButton.SetSkin(kStopNormal, kStopPressed, kStopHover, kStopDisabled, 0, 0);
    else m_playButton.SetSkin(kPlayNormal, kPlayPressed, kPlayHover, kPlayDisabled, 0, 0);
    CString caption;
    caption.LoadString(running ? IDS_STOP : IDS_PLAY);
    m_playButton.SetWindowText(caption);
}

void CVideoRecordPanel::UpdateControlState()
{
    if (m_hWnd == NULL) return;
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    const BOOL camera = mgr.cameraType != CAMERA_TYPE_NONE;
    const BOOL stopped = mgr.runState != 0;
    if (!camera || stopped) {
        SetPlaySkin(FALSE);
        m_captureButton.EnableWindow(FALSE);
    } else {
        SetPlaySkin(TRUE);
        m_captureButton.EnableWindow(mgr.captureRunning == 0);
    }
    m_playButton.EnableWindow(camera);
    if (stopped || mgr.captureRunning == 0) {
        ShowItem(this, IDC_VIDEO_RATE_LABEL, TRUE);
        ShowItem(this, IDC_VIDEO_RATE, TRUE);
    }
    if (mgr.captureRunning == 0) ShowItem(this, IDC_VIDEO_COUNTER, FALSE);
    else if (mgr.capture.CaptureType != CAPTURE_TYPE_AVI) ShowItem(this, IDC_VIDEO_COUNTER, TRUE);
    Invalidate();
}

void CVideoRecordPanel::OnCapture()
{
    // The library's ask-for-a-name dialog then offers still formats.
    QrCCameraSetMakeVideo(0);
    CCapturePanel* capture = Links().capture;
    if (capture != NULL) capture->OnCapture();
}

void CVideoRecordPanel::OnPlay()
{
    CCameraPanel* camera = Links().camera;
    if (camera != NULL) camera->PlayCamera();
    UpdateControlState();
}

LRESULT CVideoRecordPanel::OnExposureProgressPos(WPARAM wParam, LPARAM lParam)
{
    m_slider.SetPos((int)wParam);
    const float rate = (float)(int)lParam * 0.001f;
    CString text;
    text.Format(L"%.1f fps", (double)rate);
    SetDlgItemText(IDC_VIDEO_RATE, text);
    CWnd* label = GetDlgItem(IDC_VIDEO_RATE);
    CRect r;
    label->GetWindowRect(&r);
    ScreenToClient(&r);
    InvalidateRect(&r, TRUE);
    UpdateWindow();
    return 0;
}

// The camera opened, an exposure changed, the camera stopped: only the hidden
// position moves.
LRESULT CVideoRecordPanel::OnExposureProgressStart(WPARAM, LPARAM)
{
    m_slider.SetPos(0);
    return 0;
}

LRESULT CVideoRecordPanel::OnExposureProgressStop(WPARAM, LPARAM)
{
    m_slider.SetPos(0);
    return 0;
}
