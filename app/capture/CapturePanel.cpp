#include "app/capture/CapturePanel.h"

#include <shlobj.h>

#include "app/capture/CameraPanel.h"
#include "app/capture/CaptureProgressPanel.h"
#include "app/capture/CaptureStringIds.h"
#include "app/capture/TimeLapseDialog.h"
#include "app/capture/VideoRecordPanel.h"
#include "app/capture/VideoSettingsDialog.h"
#include "app/browse/ThumbnailStrip.h"
#include "app/browse/ThumbnailListCtrl.h"
#include "app/store/ImageStore.h"
#include "app/store/MeasureObject.h"
#include "app/res/resource.h"
#include "app/shell/ShellLinks.h"
#include "app/shell/FolderPicker.h"

IMPLEMENT_DYNAMIC(CCapturePanel, CPanelDialog)

namespace {

const UINT kRadioNormal = 183, kRadioPressed = 182, kRadioDisabled = 184;
const UINT kCheckNormal = 180, kCheckPressed = 179, kCheckDisabled = 181;
const UINT kButtonNormal = 194, kButtonHover = 195, kButtonPressed = 196, kButtonDisabled = 197;
const UINT kRecordNormal = 655, kRecordPressed = 652, kRecordHover = 654, kRecordDisabled = 653;
const UINT kRecordingNormal = 651, kRecordingPressed = 656, kRecordingHover = 657;
const UINT kCaptureNormal = 185, kCapturePressed = 187, kCaptureHover = 186, kCaptureDisabled = 188;
const UINT kPlayNormal = 189, kPlayPressed = 193, kPlayHover = 190, kPlayDisabled = 192;
const UINT kEditNormal = 297, kEditDisabled = 296;
const UINT kValueNormal = 294, kValueDisabled = 295;
const UINT kComboNormal = 307, kComboPressed = 304, kComboHover = 306, kComboDisabled = 305;
const COLORREF kRecordingCaption = 255;

const int kMaxRecordSeconds = 7200;
const int kMaxRecordFrames = 10000;

// The products whose cameras cannot write RAW files.
const int kNoRawProducts[] = {28, 29, 32, 34, 35, 37, 38};
// Picture-type code of each entry of the format list.
const BYTE kFormatTypes[] = {CAPTURE_TYPE_BMP, CAPTURE_TYPE_JPEG, CAPTURE_TYPE_TIFF, CAPTURE_TYPE_RAW};
const WCHAR* const kFormatNames[] = {L".bmp", L".jpg", L".tif", L".raw"};

const int kTransparentLabels[] = {IDC_CAPTURE_LABEL_1003,  IDC_CAPTURE_ASK_LABEL,    IDC_CAPTURE_NO_ASK_LABEL,
                                  IDC_CAPTURE_TIME_STAMP_LABEL, IDC_CAPTURE_SERIES_LABEL, IDC_CAPTURE_FORMAT_LABEL,
                                  IDC_CAPTURE_PREFIX_LABEL, IDC_CAPTURE_LABEL_1142,   IDC_CAPTURE_LABEL_1143,
                                  IDC_CAPTURE_FOLDER_LABEL, IDC_CAPTURE_LENGTH_LABEL, IDC_CAPTURE_LABEL_1146,
                                  IDC_CAPTURE_LABEL_1147,   IDC_CAPTURE_LABEL_1198,   IDC_CAPTURE_LABEL_1199,
                                  IDC_CAPTURE_LABEL_1200,   IDC_CAPTURE_LENGTH_UNIT,  IDC_CAPTURE_STOP_SERIES,
                                  IDC_CAPTURE_COUNTER,      IDC_CAPTURE_TIME_RECORD_LABEL, IDC_CAPTURE_MERGE_LABEL,
                                  IDC_CAPTURE_DENOISE_LABEL};

CWnd* Item(CWnd* dialog, int id)
{
    return dialog != NULL && dialog->m_hWnd != NULL ? dialog->GetDlgItem(id) : NULL;
}

void EnableItem(CWnd* dialog, int id, BOOL enable)
{
    if (CWnd* item = Item(dialog, id)) item->EnableWindow(enable);
}

void ShowItem(CWnd* dialog, int id, BOOL show)
{
    if (CWnd* item = Item(dialog, id)) item->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void PostTo(CWnd* wnd, UINT message)
{
    if (wnd != NULL && wnd->m_hWnd != NULL) wnd->PostMessage(message, 0, 0);
}

void ShowPanel(CWnd* wnd, BOOL show)
{
    if (wnd != NULL && wnd->m_hWnd != NULL) wnd->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

} // namespace

BEGIN_MESSAGE_MAP(CCapturePanel, CPanelDialog)
    ON_WM_DESTROY()
    ON_CBN_SELCHANGE(IDC_CAPTURE_FORMAT, OnFormatSelChange)
    ON_MESSAGE(WM_COMBO_SELCHANGED, OnComboSelChanged)
    ON_BN_CLICKED(IDC_CAPTURE_TIME_STAMP, OnTimeStampChecked)
    ON_BN_CLICKED(IDC_CAPTURE_SERIES, OnSeriesChecked)
    ON_BN_CLICKED(IDC_CAPTURE_ASK, OnAsk)
    ON_BN_CLICKED(IDC_CAPTURE_NO_ASK, OnNoAsk)
    ON_BN_CLICKED(IDC_CAPTURE_BROWSE, OnBrowseFolder)
    ON_BN_CLICKED(IDC_CAPTURE_VIDEO_SETTINGS, OnVideoSettings)
    ON_BN_CLICKED(IDC_CAPTURE_SERIES_SETTINGS, OnTimeLapseSettings)
    ON_BN_CLICKED(IDC_CAPTURE_RECORD, OnRecord)
    ON_BN_CLICKED(IDC_CAPTURE_MERGE, OnMergeMeasurement)
    ON_BN_CLICKED(IDC_CAPTURE_DENOISE, OnDenoise)
    ON_MESSAGE(WM_SERIES_PROGRESS, OnSeriesProgress)
    ON_MESSAGE(WM_HOTKEY_CAPTURE, OnHotkeyCapture)
    ON_MESSAGE(WM_HOTKEY_RECORD_START, OnHotkeyRecordStart)
    ON_MESSAGE(WM_HOTKEY_RECORD_STOP, OnHotkeyRecordStop)
END_MESSAGE_MAP()

CCapturePanel::CCapturePanel(CWnd* pParent)
    : CPanelDialog(IDD, pParent), m_bSeriesRunning(0), m_bSeriesStop(1), m_nShotCounter(0), m_nFormat(0),
      m_bTimeStamp(0), m_bSeries(0), m_bMerge(0), m_bDenoise(0), m_nRecordLength(1), m_bTimeRecord(0),
      m_nExpected(0), m_hSeriesDone(NULL), m_bQueueClosed(FALSE), m_hStripProgress(NULL), m_pThumbList(NULL),
      m_bRecordSkinRecording(FALSE)
{
}

CCapturePanel::~CCapturePanel()
{
    // A window destroyed from the base destructor no longer reaches OnDestroy.
    StopCollector();
}

BYTE CCapturePanel::TypeFromSelection(int selection)
{
    if (selection < 0 || selection >= (int)(sizeof(kFormatTypes) / sizeof(kFormatTypes[0]))) return CAPTURE_TYPE_BMP;
    return kFormatTypes[selection];
}

int CCapturePanel::SelectionFromType(int pictureType)
{
    switch (pictureType) {
    case CAPTURE_TYPE_JPEG: return 1;
    case CAPTURE_TYPE_BMP: return 0;
    case CAPTURE_TYPE_RAW: return 3;
    case CAPTURE_TYPE_TIFF: return 2;
    case CAPTURE_TYPE_AVI: return 4;   // no entry: the list shows no selection
    default: return 0;
    }
}

const CaptureParam* CCapturePanel::GetCaptureSettings()
{
    return m_hWnd != NULL ? &m_mgr.capture : NULL;
}

void CCapturePanel::DoDataExchange(CDataExchange* pDX)
{
    CPanelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CAPTURE_FORMAT, m_formatCombo);
    DDX_Control(pDX, IDC_CAPTURE_ASK, m_askRadio);
    DDX_Control(pDX, IDC_CAPTURE_NO_ASK, m_noAskRadio);
    DDX_Control(pDX, IDC_CAPTURE_TIME_STAMP, m_timeStampCheck);
    DDX_Control(pDX, IDC_CAPTURE_SERIES, m_seriesCheck);
    DDX_Control(pDX, IDC_CAPTURE_MERGE, m_mergeCheck);
    DDX_Control(pDX, IDC_CAPTURE_DENOISE, m_denoiseCheck);
    DDX_Control(pDX, IDC_CAPTURE_TIME_RECORD, m_timeRecordCheck);
    DDX_Control(pDX, IDC_CAPTURE_BROWSE, m_browseButton);
    DDX_Control(pDX, IDC_CAPTURE_SERIES_SETTINGS, m_seriesSettingsButton);
    DDX_Control(pDX, IDC_CAPTURE_VIDEO_SETTINGS, m_videoSettingsButton);
    DDX_Control(pDX, IDC_CAPTURE_RECORD, m_recordButton);
    DDX_Control(pDX, IDC_CAPTURE_CAPTURE, m_captureButton);
    DDX_Control(pDX, IDC_CAPTURE_PLAY, m_playButton);
    DDX_Control(pDX, IDC_CAPTURE_CHANGE, m_changeCheck);
    DDX_Control(pDX, IDC_CAPTURE_FOLDER, m_folderEdit);
    DDX_Control(pDX, IDC_CAPTURE_PREFIX, m_prefixEdit);
    DDX_Control(pDX, IDC_CAPTURE_LENGTH, m_lengthEdit);
    DDX_Control(pDX, IDC_CAPTURE_EDIT_1065, m_edit1065);
    DDX_Control(pDX, IDC_CAPTURE_SHOTS, m_shotsEdit);

    DDX_Text(pDX, IDC_CAPTURE_FOLDER, m_strFolder);
    DDX_Text(pDX, IDC_CAPTURE_PREFIX, m_strPrefix);
    DDX_Check(pDX, IDC_CAPTURE_TIME_STAMP, m_bTimeStamp);
    DDX_Check(pDX, IDC_CAPTURE_SERIES, m_bSeries);
    DDX_Check(pDX, IDC_CAPTURE_MERGE, m_bMerge);
    DDX_Check(pDX, IDC_CAPTURE_DENOISE, m_bDenoise);
    DDX_Check(pDX, IDC_CAPTURE_TIME_RECORD, m_bTimeRecord);
    DDX_CBIndex(pDX, IDC_CAPTURE_FORMAT, m_nFormat);
    // The number fields are only ever written: the recording length travels in the
    // request itself (the field's range is narrower than a time-lapse's frame count).
    if (!pDX->m_bSaveAndValidate) {
        DDX_Text(pDX, IDC_CAPTURE_LENGTH, m_nRecordLength);
        DDX_Text(pDX, IDC_CAPTURE_SHOTS, m_nShotCounter);
    }
}

BOOL CCapturePanel::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    for (int id : kTransparentLabels) AddTransparentStatic(id);
    QrCCameraGetMgrParameter(&m_mgr);
    m_nExpected = 0;
    m_hSeriesDone = NULL;
    m_mgr.capture.ReceiveWnd = ReceiveWindow();
    m_bSeriesRunning = 0;
    m_bSeriesStop = 1;
    m_pThumbList = NULL;
    m_hStripProgress = NULL;
    FinishInitDialog();
    return TRUE;
}

void CCapturePanel::OnMakeRest()
{
    for (CSkinBitmapButton* radio : {&m_askRadio, &m_noAskRadio})
        radio->SetSkin(kRadioNormal, kRadioPressed, 0, kRadioDisabled, 0, 0);
    for (CSkinBitmapButton* check :
         {&m_timeStampCheck, &m_seriesCheck, &m_mergeCheck, &m_denoiseCheck, &m_timeRecordCheck, &m_changeCheck})
        check->SetSkin(kCheckNormal, kCheckPressed, 0, kCheckDisabled, 0, 0);
    for (CSkinBitmapButton* button : {&m_seriesSettingsButton, &m_videoSettingsButton, &m_browseButton})
        button->SetSkin(kButtonNormal, kButtonPressed, kButtonHover, kButtonDisabled, 0, 0);
    m_captureButton.SetSkin(kCaptureNormal, kCapturePressed, kCaptureHover, kCaptureDisabled, 0, 0);
    m_playButton.SetSkin(kPlayNormal, kPlayPressed, kPlayHover, kPlayDisabled, 0, 0);
    SetRecordSkin(FALSE);
    m_recordButton.SetRightAlignedText(TRUE);
    m_folderEdit.SetBitmaps(kEditNormal, kEditDisabled);
    m_prefixEdit.SetBitmaps(kEditNormal, kEditDisabled);
    // The folder is chosen with the browse button, never typed.
    m_folderEdit.SetFocusRedirect(TRUE);
    for (CNumericEdit* edit : {&m_lengthEdit, &m_edit1065, &m_shotsEdit}) edit->SetBitmaps(kValueNormal, kValueDisabled);
    m_formatCombo.SetBitmaps(kComboNormal, kComboPressed, kComboHover, kComboDisabled);

    FillFormatList();
    UpdateControlState();
    LoadControlsFromRecord();
    RefreshEnableStates();
}

void CCapturePanel::FillFormatList()
{
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    BOOL raw = TRUE;
    for (int product : kNoRawProducts)
        if (info.productIndex == product) raw = FALSE;
    m_formatCombo.ResetContent();
    for (int i = 0; i < (raw ? 4 : 3); i++) m_formatCombo.AddString(kFormatNames[i]);
}

CWnd* CCapturePanel::ReceiveWindow()
{
    CWnd* parent = GetParent();
    return parent != NULL ? parent->GetParent() : NULL;
}

void CCapturePanel::LoadControlsFromRecord()
{
    const CaptureParam& c = m_mgr.capture;
    m_strPrefix = CPrefixEdit::Clean(c.FileName);
    m_strFolder = c.Path;
    m_nRecordLength = c.AviFrame;
    m_bTimeStamp = c.IsTimeStamp ? 1 : 0;
    m_bSeries = c.IsLapse ? 1 : 0;
    m_nFormat = SelectionFromType(c.PictureType);
    m_bTimeRecord = c.IsTimeRecord ? 1 : 0;
    m_lengthEdit.SetRange(1, c.IsTimeRecord ? kMaxRecordSeconds : kMaxRecordFrames);
    SetDlgItemText(IDC_CAPTURE_LENGTH_UNIT, c.IsTimeRecord ? L"S" : L"F");
    UpdateData(FALSE);
    if (m_nFormat >= m_formatCombo.GetCount()) m_formatCombo.SetCurSel(-1);
    Invalidate();
}

void CCapturePanel::RefreshEnableStates()
{
    const CaptureParam& c = m_mgr.capture;
    const BOOL ask = c.IsCaptureDlg != 0;
    const BOOL series = c.IsLapse != 0;
    m_askRadio.SetCheck(ask ? BST_CHECKED : BST_UNCHECKED);
    m_noAskRadio.SetCheck(ask ? BST_UNCHECKED : BST_CHECKED);
    for (int id : {IDC_CAPTURE_FORMAT, IDC_CAPTURE_SERIES_LABEL, IDC_CAPTURE_SERIES, IDC_CAPTURE_TIME_STAMP_LABEL,
                   IDC_CAPTURE_TIME_STAMP, IDC_CAPTURE_FOLDER_LABEL, IDC_CAPTURE_FOLDER, IDC_CAPTURE_BROWSE})
        EnableItem(this, id, !ask);
    EnableItem(this, IDC_CAPTURE_PREFIX_LABEL, !ask && !c.IsTimeStamp);
    EnableItem(this, IDC_CAPTURE_PREFIX, !ask && !c.IsTimeStamp);
    EnableItem(this, IDC_CAPTURE_SERIES_SETTINGS, !ask && series);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    const BOOL denoise = mgr.cameraType != CAMERA_TYPE_NONE && !series;
    EnableItem(this, IDC_CAPTURE_DENOISE, denoise);
    EnableItem(this, IDC_CAPTURE_DENOISE_LABEL, denoise);
    UpdateData(TRUE);
    Invalidate();
}

void CCapturePanel::ControlsToRequest()
{
    UpdateData(TRUE);
    CaptureParam& c = m_mgr.capture;
    c.IsTimeStamp = m_bTimeStamp ? 1 : 0;
    c.IsLapse = m_bSeries ? 1 : 0;
    c.FileName = CPrefixEdit::Clean(m_strPrefix);
    c.Path = m_strFolder;
}

void CCapturePanel::SetRecordSkin(BOOL recording)
{
    m_bRecordSkinRecording = recording;
    if (recording) {
        m_recordButton.SetSkin(kRecordingNormal, kRecordingPressed, kRecordingHover, kRecordDisabled, 0, 0,
                               CSkinBitmapButton::DRAW_STRETCH, 0, 4);
        m_recordButton.SetTextColor(kRecordingCaption);
    } else {
        m_recordButton.SetSkin(kRecordNormal, kRecordPressed, kRecordHover, kRecordDisabled, 0, 0,
                               CSkinBitmapButton::DRAW_STRETCH, 0, 4);
        m_recordButton.SetTextColor(0);
    }
    m_recordButton.Invalidate();
}

void CCapturePanel::ShowRecordIdle(BOOL enable)
{
    if (m_hWnd == NULL) return;
    SetRecordSkin(FALSE);
    CString caption;
    caption.LoadString(IDS_RECORD);
    m_recordButton.SetWindowText(caption);
    m_recordButton.EnableWindow(enable);
}

void CCapturePanel::UpdateControlState()
{
    if (m_hWnd == NULL) return;
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (mgr.captureRunning) {
        SetRecordSkin(TRUE);
        if (mgr.capture.CaptureType != CAPTURE_TYPE_AVI) ShowItem(this, IDC_CAPTURE_COUNTER, TRUE);
    } else {
        SetRecordSkin(FALSE);
        ShowItem(this, IDC_CAPTURE_COUNTER, FALSE);
    }
    const BOOL camera = mgr.cameraType != CAMERA_TYPE_NONE;
    m_recordButton.EnableWindow(camera);
    EnableItem(this, IDC_CAPTURE_DENOISE, camera && m_mgr.capture.IsLapse == 0);
    EnableItem(this, IDC_CAPTURE_DENOISE_LABEL, camera && m_mgr.capture.IsLapse == 0);
    Invalidate();
}

void CCapturePanel::ShowShotCounter()
{
    if (m_hWnd == NULL) return;
    SetDlgItemInt(IDC_CAPTURE_SHOTS, m_nShotCounter, TRUE);
    if (CWnd* shots = GetDlgItem(IDC_CAPTURE_SHOTS)) shots->Invalidate();
}

void CCapturePanel::EnableCaptureButtons(BOOL enable)
{
    ShellLinks& links = Links();
    EnableItem(links.videoRecord, IDC_VIDEO_CAPTURE, enable);
    EnableItem(links.camera, IDC_CAMERA_CAPTURE, enable);
}

void CCapturePanel::RestoreAfterRefusal()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    UpdateControlState();
    CString caption;
    caption.LoadString(IDS_RECORD);
    m_recordButton.SetWindowText(caption);
    EnableCaptureButtons(mgr.runState == 0 && mgr.captureRunning == 0);
}

void CCapturePanel::OnCapture()
{
    if (m_hWnd == NULL) return;
    // One capture at a time: a request now would only be refused.
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (mgr.captureRunning) return;

    ControlsToRequest();
    m_recordButton.EnableWindow(FALSE);
    EnableCaptureButtons(FALSE);

    CaptureParam& c = m_mgr.capture;
    c.CaptureType = c.PictureType = TypeFromSelection(m_nFormat);
    c.ProcessingEnabled = 1;
    c.CombineMeasurement = m_bMerge ? 1 : 0;
    CImageStore* store = Links().store;
    c.Measure = store != NULL ? static_cast<CQrMeasure*>(store->GetMeasure()) : NULL;
    c.ReceiveWnd = ReceiveWindow();

    if (QrCCameraCapture(&c) != CAM_OK) {
        RestoreAfterRefusal();
        Invalidate();
        return;
    }

    ShellLinks& links = Links();
    ShowItem(links.videoRecord, IDC_VIDEO_RATE_LABEL, FALSE);
    ShowItem(links.videoRecord, IDC_VIDEO_RATE, FALSE);
    ShowPanel(links.captureProgress, TRUE);
    PostTo(links.captureProgress, WM_CAPTURE_PROGRESS_START);
    const int expected = c.IsLapse && !c.IsCaptureDlg ? c.Count : 1;
    m_nExpected = expected;

    CString counter;
    counter.Format(L"%d / %d", 0, expected);
    if (CWnd* text = Item(links.videoRecord, IDC_VIDEO_COUNTER)) {
        text->SetWindowText(counter);
        text->ShowWindow(SW_SHOW);
    }
    if (c.IsLapse && expected > 1) StartCollector();
    Invalidate();
}

void CCapturePanel::StartVideoRecording()
{
    if (m_hWnd == NULL) return;
    ControlsToRequest();
    CString caption;
    caption.LoadString(IDS_STOP);
    m_recordButton.SetWindowText(caption);
    EnableCaptureButtons(FALSE);
    EnableItem(this, IDC_CAPTURE_COUNTER, TRUE);

    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CaptureParam& c = m_mgr.capture;
    c.CaptureType = CAPTURE_TYPE_AVI;
    c.ProcessingEnabled = 1;
    c.ReceiveWnd = ReceiveWindow();
    c.IsMode = mgr.capture.IsMode;
    c.FPS = mgr.capture.FPS;
    c.Interval = mgr.capture.Interval;

    if (QrCCameraCapture(&c) == CAM_OK) {
        SetRecordSkin(TRUE);
        CString counter;
        if (c.IsTimeRecord || c.IsManual) counter = L"0S";
        else counter.Format(L"%d / %d", 0, c.AviFrame);
        SetDlgItemText(IDC_CAPTURE_COUNTER, counter);
        ShowItem(this, IDC_CAPTURE_COUNTER, TRUE);
    } else {
        RestoreAfterRefusal();
    }
    Invalidate();
}

void CCapturePanel::OnRecord()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    // The ask-for-a-name dialog then offers video files only.
    QrCCameraSetMakeVideo(1);
    if (mgr.captureRunning == 0) StartVideoRecording();
    else QrCCameraStopRecording();
}

LRESULT CCapturePanel::OnHotkeyCapture(WPARAM, LPARAM)
{
    OnCapture();
    return 0;
}

LRESULT CCapturePanel::OnHotkeyRecordStart(WPARAM, LPARAM)
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (mgr.captureRunning == 0) StartVideoRecording();
    return 0;
}

LRESULT CCapturePanel::OnHotkeyRecordStop(WPARAM, LPARAM)
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (mgr.captureRunning != 0) QrCCameraStopRecording();
    return 0;
}

// --- settings ------------------------------------------------------------------------

void CCapturePanel::OnFormatSelChange()
{
    UpdateData(TRUE);
    m_mgr.capture.CaptureType = m_mgr.capture.PictureType = TypeFromSelection(m_nFormat);
    RefreshEnableStates();
}

LRESULT CCapturePanel::OnComboSelChanged(WPARAM wParam, LPARAM)
{
    if ((int)wParam == IDC_CAPTURE_FORMAT) OnFormatSelChange();
    return 0;
}

void CCapturePanel::OnTimeStampChecked()
{
    UpdateData(TRUE);
    m_mgr.capture.IsTimeStamp = m_bTimeStamp ? 1 : 0;
    RefreshEnableStates();
}

void CCapturePanel::OnSeriesChecked()
{
    UpdateData(TRUE);
    m_mgr.capture.IsLapse = m_bSeries ? 1 : 0;
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (mgr.captureRunning) QrCCameraStopRecording();
    mgr.capture.IsLapse = m_mgr.capture.IsLapse;
    QrCCameraSetMgrParameter(&mgr);
    RefreshEnableStates();
    UpdateControlState();
}

void CCapturePanel::OnAsk()
{
    ControlsToRequest();
    m_mgr.capture.IsCaptureDlg = 1;
    LoadControlsFromRecord();
    RefreshEnableStates();
}

void CCapturePanel::OnNoAsk()
{
    ControlsToRequest();
    m_mgr.capture.IsCaptureDlg = 0;
    LoadControlsFromRecord();
    RefreshEnableStates();
}

void CCapturePanel::OnBrowseFolder()
{
    UpdateData(TRUE);
    CString title;
    title.LoadString(IDS_CHOOSE_FOLDER);
    const CString current = m_strFolder;
    BROWSEINFOW bi = {};
    bi.hwndOwner = NULL;
    bi.lpszTitle = title;
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    bi.lpfn = PreselectFolderCallback;
    bi.lParam = (LPARAM)(LPCWSTR)current;
    const HRESULT com = ::CoInitialize(NULL);
    LPITEMIDLIST pidl = ::SHBrowseForFolderW(&bi);
    if (pidl != NULL) {
        WCHAR path[MAX_PATH] = {};
        if (::SHGetPathFromIDListW(pidl, path) && path[0] != 0) {
            CString folder(path);
            // A drive root ("C:\") ends in a backslash already.
            if (folder.GetLength() > 3) folder += L"\\";
            SetDlgItemText(IDC_CAPTURE_FOLDER, folder);
            UpdateData(TRUE);
            m_mgr.capture.Path = m_strFolder;
        }
        ::CoTaskMemFree(pidl);
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
}

void CCapturePanel::OnVideoSettings()
{
    ControlsToRequest();
    CVideoSettingsDialog dialog(this);
    if (dialog.DoModal() != IDOK) return;
    const CaptureParam& r = dialog.Request();
    CaptureParam& c = m_mgr.capture;
    c.IsManual = r.IsManual;
    c.IsTimeRecord = r.IsTimeRecord;
    c.AviFrame = r.AviFrame;
    c.CompressID = (BYTE)dialog.GetSelectedIndex();
    c.Compress = (int)dialog.GetSelectedCompressor();
    LoadControlsFromRecord();
}

void CCapturePanel::OnTimeLapseSettings()
{
    ControlsToRequest();
    CTimeLapseDialog dialog(this);
    if (dialog.DoModal() != IDOK) return;
    const CaptureParam& r = dialog.Request();
    CaptureParam& c = m_mgr.capture;
    c.Count = r.Count;
    c.Space = r.Space;
    c.IsMode = r.IsMode;
    c.Interval = r.Interval;
    c.FPS = r.FPS;
    c.AviFrame = r.AviFrame;
    c.IsTimeRecord = r.IsTimeRecord;
    LoadControlsFromRecord();
}

void CCapturePanel::OnMergeMeasurement()
{
    // The camera part of the record afresh; the request stays the panel's own.
    const CaptureParam request = m_mgr.capture;
    QrCCameraGetMgrParameter(&m_mgr);
    m_mgr.capture = request;
    QrCCameraSetResPreview(m_mgr.ResPreview);
    QrCCameraSetResCapture(m_mgr.ResCapture);
    UpdateData(TRUE);
}

void CCapturePanel::OnDenoise()
{
    UpdateData(TRUE);
    m_mgr.capture.FluorescenceType = m_bDenoise ? 2 : 0;
}

// --- series collection ---------------------------------------------------------------

void CCapturePanel::StartCollector()
{
    StopCollector();
    ShellLinks& links = Links();
    m_pThumbList = links.thumbList;
    m_hStripProgress = NULL;
    if (links.strip != NULL && links.strip->m_hWnd != NULL)
        m_hStripProgress = ::GetDlgItem(links.strip->m_hWnd, IDC_STRIP_PROGRESS);
    {
        CSingleLock lock(&m_queueLock, TRUE);
        m_nameQueue.RemoveAll();
        m_queuedNames.clear();
        m_bQueueClosed = FALSE;
    }
    m_bSeriesRunning = 1;
    m_bSeriesStop = 0;
    m_hSeriesDone = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    if (_beginthread(CaptureFollowUpThread, 0, this) == (uintptr_t)-1) {
        m_bSeriesRunning = 0;
        m_bSeriesStop = 1;
        ::CloseHandle(m_hSeriesDone);
        m_hSeriesDone = NULL;
    }
}

void CCapturePanel::StopCollector()
{
    if (m_hSeriesDone == NULL) return;
    m_bSeriesStop = 1;
    ::AfxWaitForSingleObjectSent(m_hSeriesDone, INFINITE);
    ::CloseHandle(m_hSeriesDone);
    m_hSeriesDone = NULL;
}

void CCapturePanel::QueueSavedName(const CString& name)
{
    if (name.IsEmpty()) return;
    // The last shot offers every name of the series again: a set keeps that cheap.
    CString key = name;
    key.MakeUpper();
    CSingleLock lock(&m_queueLock, TRUE);
    if (!m_queuedNames.insert(key).second) return;
    m_nameQueue.AddTail(name);
}

void CCapturePanel::CloseNameQueue()
{
    CSingleLock lock(&m_queueLock, TRUE);
    m_bQueueClosed = TRUE;
}

LRESULT CCapturePanel::OnSeriesProgress(WPARAM wParam, LPARAM lParam)
{
    if (lParam == SERIES_ENDED) {
        EndSeries();
        return 0;
    }
    ShellLinks& links = Links();
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CString counter;
    counter.Format(L"%d / %d", (int)wParam, mgr.capture.Count);
    if (CWnd* text = Item(links.videoRecord, IDC_VIDEO_COUNTER)) {
        text->SetWindowText(counter);
        links.videoRecord->UpdateWindow();
    }
    if (links.strip != NULL) links.strip->RefreshAfterChange();
    PostTo(links.captureProgress, WM_CAPTURE_PROGRESS_SAVED);
    return 0;
}

void CCapturePanel::EndSeries()
{
    // A late notice of an earlier series while a new one runs.
    if (m_bSeriesRunning) return;
    // The collector signalled before it posted this.
    if (m_hSeriesDone != NULL) {
        ::CloseHandle(m_hSeriesDone);
        m_hSeriesDone = NULL;
    }
    ShellLinks& links = Links();
    PostTo(links.captureProgress, WM_CAPTURE_PROGRESS_END);
    ShowPanel(links.captureProgress, FALSE);
    CWnd* video = links.videoRecord;
    ShowPanel(video, TRUE);
    ShowItem(video, IDC_VIDEO_RATE_LABEL, TRUE);
    ShowItem(video, IDC_VIDEO_RATE, TRUE);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    EnableCaptureButtons(mgr.runState == 0);
    ShowItem(video, IDC_VIDEO_COUNTER, FALSE);
    ShowItem(this, IDC_CAPTURE_COUNTER, FALSE);
    if (video != NULL && video->m_hWnd != NULL) video->Invalidate();
    Invalidate();
}

void CCapturePanel::OnDestroy()
{
    StopCollector();
    CPanelDialog::OnDestroy();
}
