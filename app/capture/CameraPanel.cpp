#include "app/capture/CameraPanel.h"
#include "app/capture/CameraWorkGate.h"
#include "afxprotect.h"
#include "app/capture/CaptureStringIds.h"
#include "app/capture/LiveLayout.h"
#include "app/capture/PlaceholderImageNative.h"
#include "app/capture/PreviewWnd.h"
#include "app/capture/OverlayWnd.h"
#include "app/capture/CaptureToolBar.h"
#include "app/capture/CapturePanel.h"
#include "app/capture/CaptureProgressPanel.h"
#include "app/capture/ColorParamPanel.h"
#include "app/capture/ExposurePanel.h"
#include "app/capture/VideoRecordPanel.h"
#include "app/capture/WhiteBalanceWizard.h"
#include "app/shell/ShellLinks.h"
#include "app/shell/MainFrame.h"
#include "app/shell/ManageView.h"
#include "app/shell/CapturePage.h"
#include "app/shell/ImagePage.h"
#include "app/shell/TitleBar.h"
#include "app/shell/ProgressPopup.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/DravenluxView.h"
#include "app/store/ImageStore.h"
#include "app/image/ComparePane.h"
#include "app/measure/MeasurePanel.h"
#include "app/measure/LayersDialog.h"
#include "app/res/resource.h"
#include "app/controls/ExposureTimeEdit.h"
#include "app/controls/ScreenRegionDialog.h"
#include "camera/core/QrCCamera.h"
#include <vector>

IMPLEMENT_DYNAMIC(CCameraPanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CCameraPanel, CPanelDialog)
    ON_BN_CLICKED(IDC_CAMERA_PLAY, OnPlayButton)
    ON_BN_CLICKED(IDC_CAMERA_RES_LOCK, OnResolutionLock)
    ON_CBN_SELCHANGE(IDC_CAMERA_PREVIEW_RES, OnPreviewResolutionChanged)
    ON_CBN_SELCHANGE(IDC_CAMERA_CAPTURE_RES, OnCaptureResolutionChanged)
    ON_BN_CLICKED(IDC_CAMERA_PARTIAL, OnPartialButton)
    ON_BN_CLICKED(IDC_CAMERA_FULL, OnFullButton)
    ON_BN_CLICKED(IDC_CAMERA_SPEED_NORMAL, OnFrameSpeedNormal)
    ON_BN_CLICKED(IDC_CAMERA_SPEED_HIGH, OnFrameSpeedHigh)
    ON_BN_CLICKED(IDC_CAMERA_MIRROR_H, OnMirrorHorizontal)
    ON_BN_CLICKED(IDC_CAMERA_MIRROR_V, OnMirrorVertical)
    ON_BN_CLICKED(IDC_CAMERA_CAPTURE, OnCaptureButton)
    ON_BN_CLICKED(IDC_CAMERA_AUTO_EXPOSURE, OnAutoExposure)
    ON_BN_CLICKED(IDC_CAMERA_WHITE_BALANCE, OnWhiteBalance)
    ON_WM_TIMER()
    ON_BN_CLICKED(IDC_CAMERA_DEFAULTS, OnDefaultSettings)
    ON_BN_CLICKED(IDC_CAMERA_ENHANCE, OnColorEnhancement)
    ON_BN_CLICKED(IDC_CAMERA_MONO, OnMonochrome)
    ON_BN_CLICKED(IDC_CAMERA_MODE_ENHANCED, OnEnhancedColorMode)
    ON_BN_CLICKED(IDC_CAMERA_MODE_MONO, OnMonochromeMode)
    ON_BN_CLICKED(IDC_CAMERA_FLAT_CALIBRATE, OnFlatFieldCalibration)
    ON_BN_CLICKED(IDC_CAMERA_FLAT_FIELD, OnFlatField)
    ON_BN_CLICKED(IDC_CAMERA_DEPTH_8, OnDataWidth8)
    ON_BN_CLICKED(IDC_CAMERA_DEPTH_16, OnDataWidth16)
    ON_BN_CLICKED(IDC_CAMERA_WB_WIZARD, OnWhiteBalanceWizard)
    ON_BN_CLICKED(IDC_CAMERA_FLUO_WIZARD, OnFluorescenceWizard)
    ON_BN_CLICKED(IDC_CAMERA_WB_LOCK, OnWhiteBalanceLock)
    ON_MESSAGE(WM_SLIDER_MOVING, OnSliderChanged)
    ON_MESSAGE(WM_SLIDER_MOVED, OnSliderChanged)
    ON_MESSAGE(WM_COMBO_SELCHANGED, OnComboSelChanged)
    ON_MESSAGE(WM_CAMERA_REMOVED, OnCameraRemoved)
    ON_MESSAGE(WM_WB_WIZARD_CLOSED, OnWizardClosed)
    ON_MESSAGE(WM_OPEN_PLACEHOLDER, OnOpenPlaceholder)
END_MESSAGE_MAP()

namespace {

// Capability flags of the parameter information that the panel reads.
enum {
    CAN_GAIN = 3,
    CAN_SATURATION = 4,
    CAN_COLOR_PROCESSING = 5,
    CAN_MONOCHROME = 6,
    CAN_16BIT = FEATURE_16BIT_DATA,
    CAN_WHITE_BALANCE = 8,   // a colour camera
    CAN_FRAME_SPEED = 9,
    CAN_FLAT_FIELD = 15,
};

// Skin bitmaps (normal, pressed, hover, disabled).
struct ButtonSkin
{
    UINT normal, pressed, hover, disabled;
};
const ButtonSkin kPlayLook = {189, 193, 190, 192};
const ButtonSkin kStopLook = {380, 381, 383, 382};
const ButtonSkin kCheckLook = {180, 179, 0, 181};
const ButtonSkin kRadioLook = {183, 182, 0, 184};
const ButtonSkin kLockLook = {175, 174, 0, 178};
const ButtonSkin kPartialLook = {202, 211, 203, 205};
const ButtonSkin kFullLook = {206, 210, 208, 209};
const ButtonSkin kCaptureLook = {185, 187, 186, 188};
const ButtonSkin kPushLook = {677, 676, 679, 678};
const ButtonSkin kFlatLook = {194, 196, 195, 197};
const UINT kChannel = 168, kChannelActive = 169, kThumb = 165;
const UINT kEditNormal = 294, kEditDisabled = 295;
const UINT kComboNormal = 303, kComboPressed = 300, kComboHover = 302, kComboDisabled = 301;

void Skin(CSkinBitmapButton& button, const ButtonSkin& look)
{
    button.SetSkin(look.normal, look.pressed, look.hover, look.disabled, 0, 0, CSkinBitmapButton::DRAW_NATURAL, 0, 4);
}

const int kStatusLabels[] = {1068, 1069, 1073, 1075, 1076, 1102, 1118, 1119, 1120, 1121, 1136,
                             1138, 1139, 1181, 1273, 1274, 1286, 1297, 1300, 1301, 1434, 1540};

// What a running camera enables always, and what a stopped one disables.
const int kAlwaysWhileRunning[] = {1297, 1298, 1300, 1434, 1029, 1076, 1032, 1150, 1136, 1075, 1031, 1177, 1068,
                                   1009, 1178, 1069, 1006, 1204, 1195, 1284, 1047, 1120, 1048, 1121, 1181};
const int kStoppedDisabled[] = {1102, 1049, 1118, 1050, 1119, 1299, 1301, 1297, 1298, 1300, 1434, 1029, 1076,
                                1032, 1150, 1136, 1075, 1031, 1177, 1068, 1009, 1178, 1069, 1006, 1204, 1195,
                                1284, 1047, 1120, 1048, 1121, 1181, 1073, 1013, 1179, 1278, 1273, 1274, 1272,
                                1279, 1271, 1446, 1122, 1510, 1285, 1286, 1082, 1083, 1060};
const int kFrameSpeed[] = {1102, 1049, 1118, 1050, 1119};
const int kColorProcessing[] = {1278, 1273, 1274, 1272};

// Models whose white balance is a lock check instead of the one-push button.
BOOL HasWhiteBalanceLock(int productIndex, int cameraType)
{
    static const int products[] = {28, 29, 32, 33, 34, 35, 37, 38};
    for (int p : products)
        if (productIndex == p) return TRUE;
    return cameraType == CAMERA_TYPE_CORE_B;
}

BOOL IsCommitLaterType(int cameraType)
{
    return cameraType == CAMERA_TYPE_CAMDRVA || cameraType == CAMERA_TYPE_CAMDRVB || cameraType == CAMERA_TYPE_CAMDRVC;
}

void PostTo(CWnd* wnd, UINT message)
{
    if (wnd != NULL && wnd->m_hWnd != NULL) ::PostMessageW(wnd->m_hWnd, message, 0, 0);
}

void SetItemText(CWnd* wnd, int id, UINT stringId)
{
    if (wnd == NULL || wnd->m_hWnd == NULL) return;
    CString text;
    text.LoadString(stringId);
    wnd->SetDlgItemText(id, text);
}

CString Format(LPCWSTR format, ...)
{
    CString text;
    va_list args;
    va_start(args, format);
    text.FormatV(format, args);
    va_end(args);
    return text;
}

} // namespace

CCameraPanel::CCameraPanel(CWnd* pParent)
    : CPanelDialog(IDD, pParent), m_bResLock(0), m_bMirrorH(0), m_bMirrorV(0), m_bAutoExposure(0),
      m_bColorEnhancement(0), m_bMonochrome(0), m_bFlatField(0), m_bWhiteBalanceLock(0), m_bPartialDisplay(0),
      m_pWizard(NULL), m_bStopPending(0), m_bPlaceholderLater(FALSE)
{
}

CCameraPanel::~CCameraPanel()
{
    if (m_pWizard != NULL) {
        if (m_pWizard->m_hWnd != NULL) m_pWizard->DestroyWindow();
        delete m_pWizard;
    }
}

void CCameraPanel::DoDataExchange(CDataExchange* pDX)
{
    CPanelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CAMERA_PLAY, m_play);
    DDX_Control(pDX, IDC_CAMERA_CAPTURE, m_capture);
    DDX_Control(pDX, IDC_CAMERA_PARTIAL, m_partial);
    DDX_Control(pDX, IDC_CAMERA_FULL, m_full);
    DDX_Control(pDX, IDC_CAMERA_WHITE_BALANCE, m_whiteBalance);
    DDX_Control(pDX, IDC_CAMERA_WB_WIZARD, m_wbWizard);
    DDX_Control(pDX, IDC_CAMERA_DEFAULTS, m_defaults);
    DDX_Control(pDX, IDC_CAMERA_FLAT_CALIBRATE, m_flatCalibrate);
    DDX_Control(pDX, IDC_CAMERA_FLUO_WIZARD, m_fluoWizard);
    DDX_Control(pDX, IDC_CAMERA_PREVIEW_RES, m_previewRes);
    DDX_Control(pDX, IDC_CAMERA_CAPTURE_RES, m_captureRes);
    DDX_Control(pDX, IDC_CAMERA_EXPOSURE, m_exposure);
    DDX_Control(pDX, IDC_CAMERA_GAIN, m_gain);
    DDX_Control(pDX, IDC_CAMERA_CONTRAST, m_contrast);
    DDX_Control(pDX, IDC_CAMERA_SATURATION, m_saturation);
    DDX_Control(pDX, IDC_CAMERA_GAMMA, m_gamma);
    DDX_Control(pDX, IDC_CAMERA_UNUSED_SLIDER, m_unused);
    DDX_Control(pDX, IDC_CAMERA_EXPOSURE_TEXT, m_exposureText);
    DDX_Control(pDX, IDC_CAMERA_GAIN_TEXT, m_gainText);
    DDX_Control(pDX, IDC_CAMERA_CONTRAST_TEXT, m_contrastText);
    DDX_Control(pDX, IDC_CAMERA_SATURATION_TEXT, m_saturationText);
    DDX_Control(pDX, IDC_CAMERA_GAMMA_TEXT, m_gammaText);
    DDX_Control(pDX, IDC_CAMERA_RES_LOCK, m_resLockCheck);
    DDX_Control(pDX, IDC_CAMERA_MIRROR_H, m_mirrorHCheck);
    DDX_Control(pDX, IDC_CAMERA_MIRROR_V, m_mirrorVCheck);
    DDX_Control(pDX, IDC_CAMERA_AUTO_EXPOSURE, m_autoExposureCheck);
    DDX_Control(pDX, IDC_CAMERA_ENHANCE, m_enhanceCheck);
    DDX_Control(pDX, IDC_CAMERA_MONO, m_monoCheck);
    DDX_Control(pDX, IDC_CAMERA_FLAT_FIELD, m_flatFieldCheck);
    DDX_Control(pDX, IDC_CAMERA_WB_LOCK, m_wbLockCheck);
    DDX_Control(pDX, IDC_CAMERA_SPEED_NORMAL, m_speedNormal);
    DDX_Control(pDX, IDC_CAMERA_SPEED_HIGH, m_speedHigh);
    DDX_Control(pDX, IDC_CAMERA_MODE_ENHANCED, m_modeEnhanced);
    DDX_Control(pDX, IDC_CAMERA_MODE_MONO, m_modeMono);
    DDX_Control(pDX, IDC_CAMERA_DEPTH_8, m_depth8);
    DDX_Control(pDX, IDC_CAMERA_DEPTH_16, m_depth16);
    DDX_Check(pDX, IDC_CAMERA_RES_LOCK, m_bResLock);
    DDX_Check(pDX, IDC_CAMERA_MIRROR_H, m_bMirrorH);
    DDX_Check(pDX, IDC_CAMERA_MIRROR_V, m_bMirrorV);
    DDX_Check(pDX, IDC_CAMERA_AUTO_EXPOSURE, m_bAutoExposure);
    DDX_Check(pDX, IDC_CAMERA_ENHANCE, m_bColorEnhancement);
    DDX_Check(pDX, IDC_CAMERA_MONO, m_bMonochrome);
    DDX_Check(pDX, IDC_CAMERA_FLAT_FIELD, m_bFlatField);
    DDX_Check(pDX, IDC_CAMERA_WB_LOCK, m_bWhiteBalanceLock);
}

BOOL CCameraPanel::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    for (int id : kStatusLabels) AddTransparentStatic(id);
    for (CSkinSlider* slider : {&m_exposure, &m_gain, &m_contrast, &m_gamma, &m_saturation}) {
        slider->SetChannelBitmaps(kChannel, kChannelActive, TRUE);
        slider->SetThumbBitmaps(kThumb, kThumb, TRUE);
    }
    m_unused.SetChannelBitmaps(kChannel, kChannelActive, TRUE);
    for (CSkinBitmapButton* check : {&m_enhanceCheck, &m_monoCheck, &m_mirrorHCheck, &m_mirrorVCheck,
                                     &m_autoExposureCheck, &m_flatFieldCheck, &m_wbLockCheck})
        Skin(*check, kCheckLook);
    for (CSkinBitmapButton* radio : {&m_modeEnhanced, &m_modeMono, &m_speedNormal, &m_speedHigh, &m_depth8, &m_depth16})
        Skin(*radio, kRadioLook);
    Skin(m_resLockCheck, kLockLook);
    Skin(m_partial, kPartialLook);
    Skin(m_full, kFullLook);
    Skin(m_play, kPlayLook);
    Skin(m_capture, kCaptureLook);
    m_capture.SetRightAlignedText(TRUE);
    for (CSkinBitmapButton* button : {&m_defaults, &m_whiteBalance, &m_wbWizard, &m_fluoWizard})
        Skin(*button, kPushLook);
    Skin(m_flatCalibrate, kFlatLook);
    for (CSkinEdit* edit : {&m_exposureText, &m_gainText, &m_contrastText, &m_gammaText, &m_saturationText}) {
        edit->SetBitmaps(kEditNormal, kEditDisabled);
        edit->SetFocusRedirect(TRUE, NULL);
    }
    for (CSkinComboBox* combo : {&m_previewRes, &m_captureRes})
        combo->SetBitmaps(kComboNormal, kComboPressed, kComboHover, kComboDisabled);
    RefreshControls();
    RefreshResolutionCombos();
    return TRUE;
}

CSkinSlider& CCameraPanel::Slider(int id)
{
    switch (id) {
    case IDC_CAMERA_EXPOSURE: return m_exposure;
    case IDC_CAMERA_GAIN: return m_gain;
    case IDC_CAMERA_CONTRAST: return m_contrast;
    case IDC_CAMERA_SATURATION: return m_saturation;
    case IDC_CAMERA_GAMMA: return m_gamma;
    default: return m_unused;
    }
}

void CCameraPanel::Enable(int id, BOOL on)
{
    switch (id) {
    case IDC_CAMERA_EXPOSURE:
    case IDC_CAMERA_GAIN:
    case IDC_CAMERA_CONTRAST:
    case IDC_CAMERA_SATURATION:
    case IDC_CAMERA_GAMMA:
        Slider(id).Enable(on);
        return;
    default:
        break;
    }
    CWnd* item = GetDlgItem(id);
    if (item != NULL) item->EnableWindow(on);
}

void CCameraPanel::Show(int id, BOOL on)
{
    CWnd* item = GetDlgItem(id);
    if (item != NULL) item->ShowWindow(on ? SW_SHOW : SW_HIDE);
}

void CCameraPanel::SetPlayCaption(UINT stringId)
{
    SetItemText(this, IDC_CAMERA_PLAY, stringId);
}

// ------------------------------------------------------------------------------------
// Opening and stopping

void CCameraPanel::OnPlayButton()
{
    PlayCamera();
}

void CCameraPanel::PlayCamera()
{
    if (IsCameraLive() || m_bStopPending) StopCamera();
    else OpenCamera();
}

void CCameraPanel::StopCamera()
{
    ShellLinks& links = Links();
    PostTo((CWnd*)links.videoRecord, WM_EXPOSURE_PROGRESS_STOP);
    PostTo((CWnd*)links.captureProgress, WM_CAPTURE_PROGRESS_END);
    if (links.capture != NULL) links.capture->m_bSeriesStop = 1;
    if (QrCCameraUnInit() == CAM_FAILED) {
        // A recording is still being finished: the whole stop runs again shortly.
        m_bStopPending = 1;
        SetTimer(TIMER_STOP_RETRY, 200, NULL);
        return;
    }
    m_bStopPending = 0;
    SetPlayCaption(IDS_PLAY);
    if (m_bPartialDisplay) OnFullDisplay();
    RefreshControls();
    if (links.capturePage != NULL) links.capturePage->RefreshAllPanels();
    if (links.capture != NULL) {
        links.capture->UpdateControlState();
        SetItemText(links.capture, IDC_CAPTURE_PLAY, IDS_PLAY);
    }
    if (links.videoRecord != NULL) {
        links.videoRecord->UpdateControlState();
        SetItemText(links.videoRecord, IDC_VIDEO_PLAY, IDS_PLAY);
    }
    if (links.captureTools != NULL) links.captureTools->RefreshFromCamera();
    if (links.videoRecord != NULL && links.videoRecord->m_hWnd != NULL) links.videoRecord->ShowWindow(SW_SHOW);
    if (links.captureProgress != NULL && links.captureProgress->m_hWnd != NULL)
        links.captureProgress->ShowWindow(SW_HIDE);
    if (links.capturePage != NULL && links.capturePage->m_hWnd != NULL) links.capturePage->UpdateWindow();
    if (links.titleBar != NULL) links.titleBar->EnableByCameraState();
    if (links.measurePanel != NULL) links.measurePanel->Refresh();
}

void CCameraPanel::FitLivePictures()
{
    ShellLinks& links = Links();
    if (links.preview != NULL) links.preview->ZoomToFit();
    if (links.overlay != NULL) links.overlay->ZoomToFit();
    if (links.preview != NULL) links.preview->ApplyZoom();
    if (links.overlay != NULL) links.overlay->ApplyZoom();
    if (links.preview != NULL) {
        const float zoom = links.preview->GetZoom();
        if (CComparePane* pane = links.comparePane.Peek()) pane->SetZoom(zoom);
        if (links.captureTools != NULL) links.captureTools->ShowZoom(zoom);
    }
}

void CCameraPanel::OpenCamera()
{
    ShellLinks& links = Links();
    CPreviewWnd* preview = links.preview;
    HWND second = NULL;
    if (preview != NULL && preview->m_hWnd != NULL) second = ::GetDlgItem(preview->m_hWnd, IDC_PREVIEW_FRAME);
    int resolution = m_previewRes.m_hWnd != NULL ? m_previewRes.GetCurSel() : 0;
    // An empty list has no selection; the library would take -1 as an index.
    if (resolution < 0) resolution = 0;
    CWnd* video = preview != NULL ? preview->GetVideoStatic() : NULL;
    if (QrCCameraInit(resolution, video, second, 1) != CAM_OK) {
        AfxMessageBox(IDS_CAMERA_INIT_FAILED, MB_OK);
        return;
    }
    QrCCameraParameterInit();
    SetPlayCaption(IDS_STOP);
    FitLivePictures();
    PostTo((CWnd*)links.videoRecord, WM_EXPOSURE_PROGRESS_START);
    if (links.capturePage != NULL) {
        links.capturePage->RefreshAllPanels();
        if (links.capturePage->m_hWnd != NULL) links.capturePage->Invalidate(TRUE);
    }
    if (links.capture != NULL) {
        links.capture->UpdateControlState();
        SetItemText(links.capture, IDC_CAPTURE_PLAY, IDS_STOP);
    }
    if (links.videoRecord != NULL) {
        links.videoRecord->UpdateControlState();
        SetItemText(links.videoRecord, IDC_VIDEO_PLAY, IDS_STOP);
    }
    if (links.captureTools != NULL) links.captureTools->RefreshFromCamera();
    if (m_bPlaceholderLater)
        PostMessage(WM_OPEN_PLACEHOLDER);
    else
        OpenMeasurePlaceholder();
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    if (info.productIndex == 5) {
        ::Sleep(200);
        QrCCameraSetResPreview(m_previewRes.m_hWnd != NULL ? m_previewRes.GetCurSel() : 0);
    }
    if (links.titleBar != NULL) links.titleBar->EnableByCameraState();
    if (links.measurePanel != NULL) links.measurePanel->Refresh();
}

void CCameraPanel::PlayCameraPlaceholderLater()
{
    m_bPlaceholderLater = TRUE;
    PlayCamera();
    m_bPlaceholderLater = FALSE;
}

LRESULT CCameraPanel::OnOpenPlaceholder(WPARAM, LPARAM)
{
    // Only for the live picture still on show: another tab opened its own picture.
    ShellLinks& links = Links();
    if (!IsCameraLive() || (links.manage != NULL && links.manage->GetCurrentTab() != CManageView::TAB_CAPTURE))
        return 0;
    // The sections not made yet stay for their steps.
    ShellBuildHold hold;
    OpenMeasurePlaceholder();
    return 0;
}

void CCameraPanel::OpenMeasurePlaceholder()
{
    ShellLinks& links = Links();
    CImageStore* store = links.store;
    if (store == NULL) return;
    CString folder;
    store->GetBaseFolder(folder);
    store->SetMeasureTarget(0);
    int width = 0, height = 0;
    QrCCameraGetImageSize(&width, &height);
    if (width <= 0 || height <= 0) {
        width = 300;
        height = 300;
    }
    std::vector<unsigned char> jpeg;
    const CString path = folder + L"_Dynmeasure_.jpg";
    if (EncodeBlankGreyJpeg(width, height, &jpeg)) {
        HANDLE file = AfxCreateFileRespectingProtection(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            ::WriteFile(file, jpeg.data(), (DWORD)jpeg.size(), &written, NULL);
            ::CloseHandle(file);
        }
    }
    store->SetTrackOpenedFile(0);
    if (links.doc != NULL) links.doc->OnOpenDocument(path);
    store->SetTrackOpenedFile(1);
    if (links.preview != NULL) store->SetZoom(links.preview->GetZoom());
    if (links.view != NULL) {
        links.view->RefreshMainView();
        if (links.view->m_hWnd != NULL) links.view->Invalidate(TRUE);
    }
}

// ------------------------------------------------------------------------------------
// Camera removal and timers

LRESULT CCameraPanel::OnCameraRemoved(WPARAM wParam, LPARAM)
{
    if (QrCCameraUnInit() == CAM_FAILED) {
        SetTimer(wParam != 0 ? TIMER_REMOVE_CURRENT : TIMER_REMOVE_DESELECT, 100, NULL);
        return 0;
    }
    FinishRemoval(wParam != 0);
    return 0;
}

// The end of a removal, the same whether the close succeeded at once or on a retry: a
// running series must end too, or its collector waits for shots that never come.
void CCameraPanel::FinishRemoval(BOOL dropCurrent)
{
    ShellLinks& links = Links();
    // A stop still waiting for its retry is over: the camera is closed now.
    m_bStopPending = 0;
    KillTimer(TIMER_STOP_RETRY);
    SetPlayCaption(IDS_PLAY);
    PostTo((CWnd*)links.videoRecord, WM_EXPOSURE_PROGRESS_STOP);
    if (links.capture != NULL) links.capture->m_bSeriesStop = 1;
    if (m_bPartialDisplay) OnFullDisplay();
    RefreshControls();
    if (dropCurrent) QrCRemoveCurrentCamera();
    else QrCSetCamera(CAMERA_TYPE_NONE);
    if (links.frame != NULL) links.frame->RefreshCameraList();
    if (links.capturePage != NULL) links.capturePage->RefreshAllPanels();
    if (links.imagePage != NULL) links.imagePage->RefreshAllPanels();
    if (links.captureTools != NULL) links.captureTools->UpdateControlState();
    if (links.measurePanel != NULL) links.measurePanel->Refresh();
}

void CCameraPanel::OnTimer(UINT_PTR nIDEvent)
{
    // Each of these calls the library; the timer comes back once the work is done.
    if (CameraWorkRunning()) return;
    switch (nIDEvent) {
    case TIMER_EXPOSURE_COMMIT: {
        KillTimer(TIMER_EXPOSURE_COMMIT);
        CameraCurParam cur;
        QrCCameraGetCurParameter(&cur);
        QrCCameraSetExposureTimeMS(cur.exposureTime, 1);
        PostTo((CWnd*)Links().videoRecord, WM_EXPOSURE_PROGRESS_START);
        break;
    }
    case TIMER_STOP_RETRY:
        KillTimer(TIMER_STOP_RETRY);
        PlayCamera();
        break;
    case TIMER_REMOVE_CURRENT:
    case TIMER_REMOVE_DESELECT:
        if (QrCCameraUnInit() != CAM_FAILED) {
            KillTimer(nIDEvent);
            FinishRemoval(nIDEvent == TIMER_REMOVE_CURRENT);
        }
        break;
    default:
        break;
    }
    CPanelDialog::OnTimer(nIDEvent);
}

// ------------------------------------------------------------------------------------
// Refreshes

void CCameraPanel::UpdateGainLabel(int cameraType)
{
    CWnd* label = GetDlgItem(IDC_CAMERA_GAIN_LABEL);
    if (label == NULL) return;
    CString text;
    label->GetWindowText(text);
    const BOOL decibels = cameraType == CAMERA_TYPE_CAMDRVD || IsCommitLaterType(cameraType);
    const int bracket = text.Find(L'(');
    CString updated = text;
    if (decibels && bracket < 0) updated += L"(dB)";
    else if (!decibels && bracket >= 0) updated = text.Left(bracket);
    if (updated != text) {
        label->SetWindowText(updated);
        label->Invalidate();
    }
}

void CCameraPanel::EnableSaturation(BOOL on)
{
    Enable(IDC_CAMERA_SATURATION_LABEL, on);
    Enable(IDC_CAMERA_SATURATION, on);
    Enable(IDC_CAMERA_SATURATION_TEXT, on);
}

void CCameraPanel::ShowLockIcons(BOOL on)
{
    Show(IDC_CAMERA_PREVIEW_LOCK_ICON, on);
    Show(IDC_CAMERA_CAPTURE_LOCK_ICON, on);
}

void CCameraPanel::RefreshControls()
{
    if (m_hWnd == NULL) return;
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    const BOOL camera = mgr.cameraType != CAMERA_TYPE_NONE;

    if (!camera || mgr.runState != 0) {
        Skin(m_play, kPlayLook);
        for (int id : kStoppedDisabled) Enable(id, FALSE);
        Show(IDC_CAMERA_WB_LOCK_LABEL, FALSE);
        Show(IDC_CAMERA_WB_LOCK, FALSE);
        Show(IDC_CAMERA_WHITE_BALANCE, TRUE);
        m_exposure.SetRange(1, 10000, FALSE);
        m_gain.SetRange(1, 100, FALSE);
        m_contrast.SetRange(-20, 20, FALSE);
        m_saturation.SetRange(-20, 20, FALSE);
        m_gamma.SetRange(-20, 20, FALSE);
    } else {
        UpdateGainLabel(mgr.cameraType);
        Skin(m_play, kStopLook);
        for (int id : kFrameSpeed) Enable(id, info.Feature(CAN_FRAME_SPEED) != 0);
        Enable(IDC_CAMERA_DEPTH_16, info.Feature(CAN_16BIT) != 0);
        Enable(IDC_CAMERA_DEPTH_16_LABEL, info.Feature(CAN_16BIT) != 0);
        for (int id : kAlwaysWhileRunning) Enable(id, TRUE);
        EnableSaturation(info.Feature(CAN_SATURATION) && cur.colorEnhancement);
        for (int id : kColorProcessing) Enable(id, info.Feature(CAN_COLOR_PROCESSING) != 0);
        Enable(IDC_CAMERA_MODE_MONO, info.Feature(CAN_MONOCHROME) != 0);
        Enable(IDC_CAMERA_ENHANCE, info.Feature(CAN_COLOR_PROCESSING) && !cur.monochrome);
        Enable(IDC_CAMERA_WB_WIZARD, info.Feature(CAN_WHITE_BALANCE) != 0);
        Enable(IDC_CAMERA_WHITE_BALANCE, info.Feature(CAN_WHITE_BALANCE) != 0);
        Enable(IDC_CAMERA_FLUO_WIZARD, mgr.sensorKind == SENSOR_KIND_CCD && mgr.mode != 0);
        Enable(IDC_CAMERA_FLAT_FIELD, info.Feature(CAN_FLAT_FIELD) != 0);
        Enable(IDC_CAMERA_FLAT_FIELD_LABEL, info.Feature(CAN_FLAT_FIELD) != 0);
        Enable(IDC_CAMERA_PARTIAL, !m_bPartialDisplay);
        Enable(IDC_CAMERA_FULL, m_bPartialDisplay);
        Enable(IDC_CAMERA_CAPTURE, mgr.captureRunning == 0);

        const BOOL lock = HasWhiteBalanceLock(info.productIndex, mgr.cameraType);
        Show(IDC_CAMERA_WB_LOCK_LABEL, lock);
        Show(IDC_CAMERA_WB_LOCK, lock);
        Show(IDC_CAMERA_WHITE_BALANCE, !lock);

        if (mgr.longExposure) {
            Enable(IDC_CAMERA_EXPOSURE, FALSE);
            Enable(IDC_CAMERA_EXPOSURE_UNITS, FALSE);
            Enable(IDC_CAMERA_EXPOSURE_TEXT, FALSE);
        } else {
            int maximum;
            if (mgr.mode != 0) {
                maximum = (int)(info.exposureMax / (info.exposureUnit * 1000.0) + 0.5);
            } else if (mgr.sensorKind == SENSOR_KIND_CCD && mgr.cameraType != CAMERA_TYPE_CAMDRVG) {
                maximum = info.maxExposure;
            } else {
                float rowTime = 1.0f;
                QrCCameraGetRowTime(&rowTime);
                maximum = (int)(info.maxExposure * rowTime * 0.001);
            }
            m_exposure.SetRange(1, maximum, FALSE);
        }
        if (mgr.sensorKind == SENSOR_KIND_CCD || mgr.cameraType == CAMERA_TYPE_CAMDRVD)
            m_gain.SetRange(info.gainFactorMin, info.gainFactorMax, FALSE);
        else if (mgr.sensorKind == SENSOR_KIND_CMOS)
            m_gain.SetRange(info.gainRegisterMin, info.gainRegisterMax, FALSE);
        m_contrast.SetRange(info.contrastMin, info.contrastMax, FALSE);
        m_saturation.SetRange(info.saturationMin, info.saturationMax, FALSE);
        m_gamma.SetRange(info.gammaMin, info.gammaMax, FALSE);
    }

    Enable(IDC_CAMERA_RES_LOCK, camera && info.Feature(FEATURE_RES_LOCK));
    Enable(IDC_CAMERA_PREVIEW_RES, camera);
    Enable(IDC_CAMERA_CAPTURE_RES, camera);
    Enable(IDC_CAMERA_PLAY, camera);
    Enable(IDC_CAMERA_PREVIEW_LABEL, camera);
    Enable(IDC_CAMERA_CAPTURE_LABEL, camera);
    Invalidate(TRUE);
}

void CCameraPanel::RefreshResolutionCombos()
{
    if (m_hWnd == NULL) return;
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    m_previewRes.ResetContent();
    QrCCameraRegisterpixel(m_previewRes.m_hWnd, 1);
    m_captureRes.ResetContent();
    QrCCameraRegisterpixel(m_captureRes.m_hWnd, 0);
    m_bResLock = mgr.ResLock;
    m_previewRes.SetCurSel(mgr.ResPreview);
    m_captureRes.SetCurSel(mgr.ResCapture);
    if (mgr.runState == 0) {
        const BOOL manual = !m_bAutoExposure && !mgr.longExposure && !mgr.aeLock;
        const int ids[] = {IDC_CAMERA_EXPOSURE_LABEL, IDC_CAMERA_EXPOSURE, IDC_CAMERA_EXPOSURE_TEXT,
                           IDC_CAMERA_EXPOSURE_UNITS, IDC_CAMERA_AUTO_EXPOSURE_LABEL};
        for (int id : ids) Enable(id, manual);
    }
    ShowLockIcons(mgr.ResLock != 0);
    ShowExposureTime();
    m_saturationText.SetWindowText(Format(L"%d", m_saturation.GetPos()));
    m_contrastText.SetWindowText(Format(L"%d", m_contrast.GetPos()));
    m_gammaText.SetWindowText(Format(L"%d", m_gamma.GetPos()));
    UpdateData(FALSE);
}

void CCameraPanel::RefreshSliders()
{
    if (m_hWnd == NULL) return;
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);

    int position;
    if (mgr.mode != 0) position = (int)(cur.exposureTime / (info.exposureUnit * 1000.0) + 0.5);
    else position = cur.exposureTime / 1000;
    if (position > m_exposure.m_nMax) position = m_exposure.m_nMax;
    m_exposure.SetPos(position);
    ShowExposureTime();
    m_bAutoExposure = cur.aeOn;
    m_bColorEnhancement = cur.colorEnhancement;
    m_bMonochrome = cur.monochrome;
    if (mgr.sensorKind == SENSOR_KIND_CCD || mgr.sensorKind == SENSOR_KIND_CMOS) m_gain.SetPos(cur.gain);
    else if (mgr.cameraType == CAMERA_TYPE_CAMDRVD) m_gain.SetPos(cur.gainFactor);
    m_saturation.SetPos(cur.saturationValue);
    m_contrast.SetPos(cur.contrastValue);
    m_gamma.SetPos(cur.gammaValue);
    m_bMirrorV = cur.mirror[1];
    m_bFlatField = cur.flatField;
    m_bMirrorH = cur.mirror[0];
    const BOOL high = cur.HDFrameSpeed == 1;
    CheckDlgButton(IDC_CAMERA_SPEED_HIGH, high ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_CAMERA_SPEED_NORMAL, high ? BST_UNCHECKED : BST_CHECKED);
    CheckDlgButton(IDC_CAMERA_DEPTH_16, cur.dataWide ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_CAMERA_DEPTH_8, cur.dataWide ? BST_UNCHECKED : BST_CHECKED);
    if (mgr.sensorKind == SENSOR_KIND_THIRD || mgr.cameraType == CAMERA_TYPE_CORE_B) {
        SetItemText(this, IDC_CAMERA_WHITE_BALANCE, cur.HDAutoWB ? IDS_MANUAL_WHITE_BALANCE : IDS_AUTO_WHITE_BALANCE);
        m_bWhiteBalanceLock = cur.HDAutoWB ? 0 : 1;
    }
    UpdateData(FALSE);
}

void CCameraPanel::ShowExposureTime()
{
    if (m_exposureText.m_hWnd == NULL) return;
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    float rowTime = 1.0f;
    QrCCameraGetRowTime(&rowTime);
    const unsigned limit = mgr.mode != 0 ? (unsigned)info.exposureMax : (unsigned)(int)(info.maxExposure * rowTime);
    unsigned shown = (unsigned)cur.exposureTime < limit ? (unsigned)cur.exposureTime : limit;
    // Rounded to the tenth of a millisecond the text shows before it is split, so that
    // 999 microseconds carry into the milliseconds instead of showing ".10".
    unsigned long long rounded = ((unsigned long long)shown + 50) / 100 * 100;
    if (rounded > 0xFFFFFFFFULL) rounded = 0xFFFFFFFFULL / 100 * 100;
    int minutes, seconds, millis, micros;
    SplitMicros(&minutes, &seconds, &millis, &micros, (unsigned)rounded);
    m_exposureText.SetWindowText(Format(L"%02d:%02d:%03d.%d", minutes, seconds, millis, micros / 100));
}

// ------------------------------------------------------------------------------------
// Sliders and combos

LRESULT CCameraPanel::OnSliderChanged(WPARAM wParam, LPARAM)
{
    const int id = (int)wParam;
    CExposurePanel* exposure = Links().exposure;
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    switch (id) {
    case IDC_CAMERA_EXPOSURE: {
        const int position = m_exposure.GetPos();
        CameraParamInfo info;
        QrCCameraGetParameterInfo(&info, 1);
        const int value = mgr.mode == 0 ? position * 1000 : (int)(position * info.exposureUnit * 1000.0);
        if (IsCommitLaterType(mgr.cameraType)) {
            // These cameras restart on each applied exposure: apply once the slider rests.
            QrCCameraSetExposureTimeMS(value, 0);
            SetTimer(TIMER_EXPOSURE_COMMIT, 200, NULL);
        } else {
            QrCCameraSetExposureTimeMS(value, 1);
            PostTo((CWnd*)Links().videoRecord, WM_EXPOSURE_PROGRESS_START);
        }
        ShowExposureTime();
        if (exposure != NULL) exposure->RefreshFromCamera();
        break;
    }
    case IDC_CAMERA_GAIN: {
        const int position = m_gain.GetPos();
        if (mgr.sensorKind == SENSOR_KIND_CCD) {
            QrCCameraSetAnalogGain(position);
            m_gainText.SetWindowText(Format(L"%.3fdB", position * 0.0351 + 6.0));
        } else if (mgr.cameraType == CAMERA_TYPE_CAMDRVD) {
            QrCCameraSetGainValue(position);
            m_gainText.SetWindowText(Format(L"%d", position));
        } else if (mgr.sensorKind == SENSOR_KIND_CMOS) {
            QrCCameraSetAnalogGain(position);
            if (IsCommitLaterType(mgr.cameraType)) m_gainText.SetWindowText(Format(L"%.1fdB", position * 0.3));
            else m_gainText.SetWindowText(Format(L"%d", position));
        }
        if (exposure != NULL) exposure->RefreshFromCamera();
        break;
    }
    case IDC_CAMERA_CONTRAST:
        QrCCameraSetContrastValue(m_contrast.GetPos());
        m_contrastText.SetWindowText(Format(L"%d", m_contrast.GetPos()));
        break;
    case IDC_CAMERA_SATURATION:
        QrCCameraSetSaturationValue(m_saturation.GetPos());
        m_saturationText.SetWindowText(Format(L"%d", m_saturation.GetPos()));
        break;
    case IDC_CAMERA_GAMMA:
        QrCCameraSetGammaValue(m_gamma.GetPos());
        m_gammaText.SetWindowText(Format(L"%d", m_gamma.GetPos()));
        break;
    default:
        break;
    }
    return 0;
}

void CCameraPanel::OnPreviewResolutionChanged()
{
    CWnd* defaults = GetDlgItem(IDC_CAMERA_DEFAULTS);
    if (defaults != NULL) defaults->SetFocus();
    UpdateData(TRUE);
    QrCCameraSetResPreview(m_previewRes.GetCurSel());
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    m_captureRes.SetCurSel(mgr.ResCapture);
    if (mgr.runState != 0) return;
    ShellLinks& links = Links();
    if (info.productIndex == 32 || info.productIndex == 33) {
        // These models change resolution without a restart.
        FitLivePictures();
        PostTo((CWnd*)links.videoRecord, WM_EXPOSURE_PROGRESS_START);
        if (links.capturePage != NULL) {
            links.capturePage->RefreshAllPanels();
            if (links.capturePage->m_hWnd != NULL) links.capturePage->Invalidate(TRUE);
        }
        if (links.captureTools != NULL) links.captureTools->RefreshFromCamera();
        OpenMeasurePlaceholder();
    } else {
        PlayCamera();
        PlayCamera();
    }
    if (links.captureTools != NULL) links.captureTools->OnZoomFit();
    if (links.frame != NULL && links.frame->m_hWnd != NULL) links.frame->Invalidate(TRUE);
    if (links.manage != NULL && links.manage->m_hWnd != NULL) links.manage->Invalidate(TRUE);
}

void CCameraPanel::OnCaptureResolutionChanged()
{
    CWnd* defaults = GetDlgItem(IDC_CAMERA_DEFAULTS);
    if (defaults != NULL) defaults->SetFocus();
    UpdateData(TRUE);
    const int previewBefore = m_previewRes.GetCurSel();
    QrCCameraSetResCapture(m_captureRes.GetCurSel());
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    m_previewRes.SetCurSel(mgr.ResPreview);
    if (mgr.runState == 0 && mgr.ResPreview != previewBefore) {
        // The resolution lock moved the preview resolution: open again at it.
        PlayCamera();
        PlayCamera();
    }
    ShellLinks& links = Links();
    if (links.captureTools != NULL) links.captureTools->OnZoomFit();
    if (links.frame != NULL && links.frame->m_hWnd != NULL) links.frame->Invalidate(TRUE);
    if (links.manage != NULL && links.manage->m_hWnd != NULL) links.manage->Invalidate(TRUE);
}

LRESULT CCameraPanel::OnComboSelChanged(WPARAM wParam, LPARAM)
{
    ShellLinks& links = Links();
    if ((int)wParam == IDC_CAMERA_PREVIEW_RES) {
        OnPreviewResolutionChanged();
        m_previewRes.Invalidate();
        m_captureRes.Invalidate();
        if (links.store != NULL) links.store->ClearMeasurements();
        if (links.layers != NULL) links.layers->RefreshLayerList();
        if (links.exposure != NULL) {
            links.exposure->RefreshFromCamera();
            links.exposure->UpdateControlState();
            if (links.exposure->m_hWnd != NULL) links.exposure->Invalidate(FALSE);
        }
        RefreshControls();
        RefreshResolutionCombos();
        RefreshSliders();
    } else if ((int)wParam == IDC_CAMERA_CAPTURE_RES) {
        OnCaptureResolutionChanged();
        m_previewRes.Invalidate();
        m_captureRes.Invalidate();
    }
    return 0;
}

void CCameraPanel::OnResolutionLock()
{
    UpdateData(TRUE);
    QrCCameraSetResLockState(m_bResLock);
    ShowLockIcons(m_bResLock != 0);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    m_previewRes.SetCurSel(mgr.ResPreview);
    m_captureRes.SetCurSel(mgr.ResCapture);
    m_previewRes.Invalidate();
    m_captureRes.Invalidate();
}

void CCameraPanel::UseSmallPreviewResolution()
{
    const int count = m_previewRes.GetCount();
    if (m_previewRes.GetCurSel() < count - 2) {
        m_previewRes.SetCurSel(count - 2);
        OnPreviewResolutionChanged();
    }
}

// ------------------------------------------------------------------------------------
// Region display

int CCameraPanel::IsPartialDisplay()
{
    return m_bPartialDisplay;
}

BOOL CCameraPanel::PickScreenRegion(const CRect& bounds, CRect* chosen)
{
    CScreenRegionDialog dialog(NULL);
    dialog.SetBoundsRect(&bounds);
    if (dialog.DoModal() != IDOK) return FALSE;
    return dialog.GetSelectedRect(chosen);
}

void CCameraPanel::OnPartialButton()
{
    OnPartialDisplay();
}

void CCameraPanel::OnFullButton()
{
    OnFullDisplay();
}

void CCameraPanel::OnPartialDisplay()
{
    ShellLinks& links = Links();
    CPreviewWnd* preview = links.preview;
    if (preview == NULL || preview->m_hWnd == NULL) return;
    m_bPartialDisplay = 1;
    Enable(IDC_CAMERA_PARTIAL, FALSE);
    CRect video, window;
    preview->GetVideoStatic()->GetWindowRect(&video);
    preview->GetWindowRect(&window);
    CRect bounds;
    bounds.left = video.left > window.left ? video.left : window.left;
    bounds.top = video.top > window.top ? video.top : window.top;
    int width = video.right - bounds.left < window.Width() ? video.right - bounds.left : window.Width();
    int height = video.bottom - bounds.top < window.Height() ? video.bottom - bounds.top : window.Height();
    int hScroll = 0, vScroll = 0;
    if (links.overlay != NULL) links.overlay->GetScrollFlags(&hScroll, &vScroll);
    const int bar = ::GetSystemMetrics(SM_CXHSCROLL);
    if (hScroll && width > window.Width() - bar) width = window.Width() - bar;
    if (vScroll && height > window.Height() - bar) height = window.Height() - bar;
    bounds.right = bounds.left + width;
    bounds.bottom = bounds.top + height;

    CProgressPopup* meter = links.focusMeter;
    CRect chosen;
    if (!PickScreenRegion(bounds, &chosen)) {
        m_bPartialDisplay = 0;
        Enable(IDC_CAMERA_PARTIAL, TRUE);
        if (meter != NULL && meter->m_hWnd != NULL) meter->ShowWindow(SW_HIDE);
        return;
    }
    QrCCameraCropImage(&chosen);
    preview->ZoomToFit();
    if (links.overlay != NULL) links.overlay->ZoomToFit();
    preview->ApplyZoomToShownRect();
    if (links.overlay != NULL) links.overlay->ApplyZoomToShownRect();
    preview->Invalidate();
    if (links.overlay != NULL && links.overlay->m_hWnd != NULL) links.overlay->Invalidate();
    Enable(IDC_CAMERA_FULL, TRUE);
    if (links.store != NULL) links.store->ClearMeasurements();
    if (links.layers != NULL) links.layers->RefreshLayerList();
    if (links.measurePanel != NULL) {
        links.measurePanel->ResetMeasurements();
        links.measurePanel->DisableTools();
    }
    if (meter != NULL && meter->m_hWnd != NULL) {
        meter->GetProgress().SetPos(0);
        meter->ShowWindow(SW_SHOWNOACTIVATE);
    }
}

void CCameraPanel::OnFullDisplay()
{
    ShellLinks& links = Links();
    QrCCameraRestoreImage();
    if (links.preview != NULL) {
        links.preview->ZoomToFit();
        links.preview->ApplyZoom();
        if (links.preview->m_hWnd != NULL) links.preview->Invalidate();
    }
    if (links.overlay != NULL) {
        links.overlay->ZoomToFit();
        links.overlay->ApplyZoom();
        if (links.overlay->m_hWnd != NULL) links.overlay->Invalidate();
    }
    m_bPartialDisplay = 0;
    Enable(IDC_CAMERA_PARTIAL, TRUE);
    Enable(IDC_CAMERA_FULL, FALSE);
    CProgressPopup* meter = links.focusMeter.Peek();
    if (meter != NULL && meter->m_hWnd != NULL) meter->ShowWindow(SW_HIDE);
    if (links.measurePanel != NULL) {
        links.measurePanel->DisableTools();
        links.measurePanel->Refresh();
    }
}

void CCameraPanel::PartialDisplayIfLive()
{
    if (IsCameraLive()) OnPartialDisplay();
}

void CCameraPanel::FullDisplayIfLive()
{
    if (IsCameraLive()) OnFullDisplay();
}

// ------------------------------------------------------------------------------------
// Other controls

void CCameraPanel::OnCaptureButton()
{
    OnCapture();
}

void CCameraPanel::OnCapture()
{
    if (Links().capture != NULL) Links().capture->OnCapture();
}

void CCameraPanel::OnAutoExposure()
{
    UpdateData(TRUE);
    QrCCameraSetAeState(m_bAutoExposure);
    QrCCameraSetAELock(0);
    RefreshSliders();
    RefreshResolutionCombos();
    CExposurePanel* exposure = Links().exposure;
    if (exposure != NULL) {
        exposure->RefreshFromCamera();
        exposure->UpdateControlState();
    }
    Invalidate(FALSE);
}

void CCameraPanel::OnFrameSpeedNormal()
{
    QrCCameraSetFrameSpeed(2);
    RefreshControls();
    RefreshSliders();
    RefreshResolutionCombos();
}

void CCameraPanel::OnFrameSpeedHigh()
{
    QrCCameraSetFrameSpeed(1);
    RefreshControls();
    RefreshSliders();
    RefreshResolutionCombos();
}

void CCameraPanel::OnMirrorHorizontal()
{
    UpdateData(TRUE);
    QrCCameraSetMirror(0, m_bMirrorH);
}

void CCameraPanel::OnMirrorVertical()
{
    UpdateData(TRUE);
    QrCCameraSetMirror(1, m_bMirrorV);
}

void CCameraPanel::ToggleMirrorHorizontal()
{
    if (!IsCameraLive()) return;
    m_bMirrorH = !m_bMirrorH;
    UpdateData(FALSE);
    OnMirrorHorizontal();
}

void CCameraPanel::ToggleMirrorVertical()
{
    if (!IsCameraLive()) return;
    m_bMirrorV = !m_bMirrorV;
    UpdateData(FALSE);
    OnMirrorVertical();
}

void CCameraPanel::OnColorEnhancement()
{
    UpdateData(TRUE);
    QrCCameraSetColorEnhancement(m_bColorEnhancement);
    EnableSaturation(m_bColorEnhancement && !m_bMonochrome);
    Invalidate();
}

void CCameraPanel::OnMonochrome()
{
    UpdateData(TRUE);
    QrCCameraSetMonochrome(m_bMonochrome);
    Enable(IDC_CAMERA_ENHANCE_LABEL, !m_bMonochrome);
    Enable(IDC_CAMERA_ENHANCE, !m_bMonochrome);
    EnableSaturation(m_bColorEnhancement && !m_bMonochrome);
    Invalidate();
}

void CCameraPanel::OnEnhancedColorMode()
{
    m_bColorEnhancement = 1;
    m_bMonochrome = 0;
    QrCCameraSetMonochrome(0);
    QrCCameraSetColorEnhancement(1);
    CheckDlgButton(IDC_CAMERA_MODE_ENHANCED, BST_CHECKED);
    CheckDlgButton(IDC_CAMERA_MODE_MONO, BST_UNCHECKED);
    EnableSaturation(TRUE);
    Invalidate();
}

void CCameraPanel::OnMonochromeMode()
{
    m_bColorEnhancement = 0;
    m_bMonochrome = 1;
    QrCCameraSetMonochrome(1);
    QrCCameraSetColorEnhancement(0);
    CheckDlgButton(IDC_CAMERA_MODE_ENHANCED, BST_UNCHECKED);
    CheckDlgButton(IDC_CAMERA_MODE_MONO, BST_CHECKED);
    EnableSaturation(FALSE);
    Invalidate();
}

void CCameraPanel::OnFlatFieldCalibration()
{
    if (Links().colorParam != NULL) Links().colorParam->OnCalcFlatField();
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    Enable(IDC_CAMERA_FLAT_FIELD, info.Feature(CAN_FLAT_FIELD) != 0);
    Enable(IDC_CAMERA_FLAT_FIELD_LABEL, info.Feature(CAN_FLAT_FIELD) != 0);
    RefreshSliders();
}

void CCameraPanel::OnFlatField()
{
    UpdateData(TRUE);
    QrCCameraSetFlatFieldingState(m_bFlatField);
}

void CCameraPanel::OnDataWidth8()
{
    QrCCameraSetDataWide(0);
    RefreshControls();
    RefreshSliders();
    RefreshResolutionCombos();
}

void CCameraPanel::OnDataWidth16()
{
    QrCCameraSetDataWide(1);
    RefreshControls();
    RefreshSliders();
    RefreshResolutionCombos();
}

void CCameraPanel::OnWhiteBalance()
{
    if (Links().colorParam != NULL) Links().colorParam->OnWhiteBalance();
}

void CCameraPanel::OnWhiteBalanceLock()
{
    UpdateData(TRUE);
    if (Links().colorParam != NULL) Links().colorParam->OnWhiteBalance();
}

void CCameraPanel::OnDefaultSettings()
{
    QrCCameraParameterDefault(0);
    QrCCameraSetAeState(1);
    QrCCameraSetAELock(0);
    ShellLinks& links = Links();
    if (links.capturePage != NULL) links.capturePage->RefreshAllPanels();
    if (links.captureTools != NULL) links.captureTools->RefreshFromCamera();
}

void CCameraPanel::OnWhiteBalanceWizard()
{
    if (m_pWizard != NULL && m_pWizard->m_hWnd != NULL) {
        m_pWizard->ShowWindow(SW_SHOW);
        return;
    }
    delete m_pWizard;
    m_pWizard = new CWhiteBalanceWizard(this);
    if (!m_pWizard->Create(CWhiteBalanceWizard::IDD, this)) {
        delete m_pWizard;
        m_pWizard = NULL;
        return;
    }
    CWnd* main = AfxGetMainWnd();
    if (main == NULL) main = (CWnd*)Links().frame;
    if (main != NULL && main->m_hWnd != NULL) {
        CRect wizard, frame;
        m_pWizard->GetWindowRect(&wizard);
        main->GetWindowRect(&frame);
        if (wizard.Width() < frame.Width() && wizard.Height() < frame.Height())
            m_pWizard->SetWindowPos(NULL, frame.left + (frame.Width() - wizard.Width()) / 2,
                                    frame.top + (frame.Height() - wizard.Height()) / 2, 0, 0,
                                    SWP_NOSIZE | SWP_NOZORDER);
    }
    m_pWizard->ShowWindow(SW_SHOW);
    m_pWizard->BringWindowToTop();
}

LRESULT CCameraPanel::OnWizardClosed(WPARAM, LPARAM)
{
    if (m_pWizard != NULL) {
        // The window goes before its object: a window left behind a freed object
        // would crash on its next message.
        if (m_pWizard->m_hWnd != NULL) m_pWizard->DestroyWindow();
        delete m_pWizard;
        m_pWizard = NULL;
    }
    return 0;
}

void CCameraPanel::OnFluorescenceWizard() {}
