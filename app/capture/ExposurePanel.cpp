#include "app/capture/ExposurePanel.h"
#include "app/capture/CameraWorkGate.h"

#include <algorithm>
#include <cmath>

#include "app/capture/CameraCapabilities.h"
#include "app/capture/CameraPanel.h"
#include "app/capture/CaptureStringIds.h"
#include "app/capture/PreviewRegion.h"
#include "app/capture/VideoRecordPanel.h"
#include "app/shell/ShellLinks.h"

IMPLEMENT_DYNAMIC(CExposurePanel, CPanelDialog)

namespace {

// Skins shared with the other panels.
const UINT kThumb = 165, kChannel = 168, kChannelActive = 169;
const UINT kCheckNormal = 180, kCheckPressed = 179, kCheckDisabled = 181;
const UINT kRadioNormal = 183, kRadioPressed = 182, kRadioDisabled = 184;
const UINT kFieldNormal = 294, kFieldDisabled = 295;

const COLORREF kHistogramBackground = RGB(191, 191, 191);
const COLORREF kMarkerColour = RGB(255, 0, 0);
const wchar_t kRestartMarker[] = L" ?";

// Scales between levels (0..255), the middle (0..100) and the bar's 188 steps.
const double kLevelToBar = 0.73725;
const double kBarToLevel = 1.356391997287216;
const double kMiddleToBar = 1.88;
const double kBarToMiddle = 0.5319148936170213;
const int kGammaOffset = 50;   // display gamma = middle + 50

const int kTransparentLabels[] = {
    IDC_EXP_GAIN_LABEL, IDC_EXP_EXPOSURE_LABEL, IDC_EXP_SPEED_LABEL, IDC_EXP_SPEED_NORMAL_LABEL,
    IDC_EXP_SPEED_HIGH_LABEL, IDC_EXP_AUTO_LABEL, IDC_EXP_MANUAL_LABEL, IDC_EXP_MINUTES_LABEL,
    IDC_EXP_SECONDS_LABEL, IDC_EXP_MS_LABEL, IDC_EXP_AUTO_LEVELS_LABEL, IDC_EXP_WIDTH_LABEL,
    IDC_EXP_WIDTH_8_LABEL, IDC_EXP_WIDTH_16_LABEL, IDC_EXP_US_LABEL, IDC_EXP_CHANNEL_LABEL,
    IDC_EXP_ANTI_RIPPLE_LABEL};

// Enabled with a running camera whatever else holds (the others follow their rules).
const int kAlwaysEnabled[] = {
    IDC_EXP_WIDTH_LABEL, IDC_EXP_WIDTH_8, IDC_EXP_WIDTH_8_LABEL, IDC_EXP_AUTO, IDC_EXP_MANUAL,
    IDC_EXP_AE_LOCK, IDC_EXP_AUTO_LABEL, IDC_EXP_MANUAL_LABEL, IDC_EXP_RESTART, IDC_EXP_EXPOSURE_LABEL,
    IDC_EXP_AE_TARGET, IDC_EXP_EXPOSURE, IDC_EXP_MINUTES_LABEL, IDC_EXP_SECONDS_LABEL, IDC_EXP_MS_LABEL,
    IDC_EXP_US_LABEL, IDC_EXP_TIME, IDC_EXP_ANTI_RIPPLE_LABEL, IDC_EXP_ANTI_RIPPLE, IDC_EXP_CHANNEL_LABEL,
    IDC_EXP_CHANNEL, IDC_EXP_AUTO_LEVELS, IDC_EXP_AUTO_LEVELS_LABEL, IDC_EXP_BLACK, IDC_EXP_WHITE,
    IDC_EXP_LEVELS_BAR, IDC_EXP_LEVELS_APPLY, IDC_EXP_LEVELS_DEFAULT};
const int kFrameSpeedGroup[] = {IDC_EXP_SPEED_LABEL, IDC_EXP_SPEED_NORMAL, IDC_EXP_SPEED_NORMAL_LABEL,
                                IDC_EXP_SPEED_HIGH, IDC_EXP_SPEED_HIGH_LABEL, IDC_EXP_PIXEL_CLOCK};
const int kGainGroup[] = {IDC_EXP_GAIN_LABEL, IDC_EXP_GAIN_TEXT, IDC_EXP_GAIN};
const int kManualExposureGroup[] = {IDC_EXP_EXPOSURE_LABEL, IDC_EXP_EXPOSURE, IDC_EXP_TIME};
const int kTimeLabels[] = {IDC_EXP_MINUTES_LABEL, IDC_EXP_SECONDS_LABEL, IDC_EXP_MS_LABEL, IDC_EXP_US_LABEL};

int Rounded(double v)
{
    return static_cast<int>(v + 0.5);
}

int ClampInt(int v, int lo, int hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

int LevelToBar(int level)
{
    return ClampInt(static_cast<int>(level * kLevelToBar), 0, LEVELS_BAR_STEPS);
}

bool IsDeferredApplyType(int cameraType)
{
    return cameraType == CAMERA_TYPE_CAMDRVA || cameraType == CAMERA_TYPE_CAMDRVB ||
           cameraType == CAMERA_TYPE_CAMDRVC;
}

int GammaToMiddle(int gamma)
{
    return gamma >= 50 ? gamma - 50 : gamma - 20;
}

int ShownChannel(const CameraMgrParam& mgr)
{
    return mgr.showChannel <= 3 ? mgr.showChannel : 3;
}

UINT ParseDigits(const WCHAR* text)
{
    UINT n = 0;
    for (; *text >= L'0' && *text <= L'9' && n < 100000000u; ++text)
        n = n * 10 + static_cast<UINT>(*text - L'0');
    return n;
}

// A typed number, or the value as it was when the field holds none.
void ReadNumber(HWND edit, UINT& value)
{
    WCHAR text[32] = {};
    ::GetWindowTextW(edit, text, 32);
    if (text[0] >= L'0' && text[0] <= L'9')
        value = ParseDigits(text);
}

void ExchangeNumber(CDataExchange* pDX, int id, UINT& value)
{
    HWND edit = pDX->PrepareEditCtrl(id);
    WCHAR text[32] = {};
    if (pDX->m_bSaveAndValidate) {
        ReadNumber(edit, value);
        return;
    }
    CString shown;
    shown.Format(L"%u", value);
    ::GetWindowTextW(edit, text, 32);
    if (shown != text)
        ::SetWindowTextW(edit, shown);
}

}  // namespace

CString GainText(int cameraType, int sensorKind, int position)
{
    CString text;
    if (sensorKind == SENSOR_KIND_CCD)
        text.Format(L"%.3fdB", position * 0.0351 + 6.0);
    else if (cameraType == CAMERA_TYPE_CAMDRVD)
        text.Format(L"%d", position);
    else if (sensorKind == SENSOR_KIND_CMOS && IsDeferredApplyType(cameraType))
        text.Format(L"%.1fdB", position * 0.3);
    else
        text.Format(L"%d", position);
    return text;
}

BEGIN_MESSAGE_MAP(CExposurePanel, CPanelDialog)
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_BN_CLICKED(IDC_EXP_AE_LOCK, OnAeLock)
    ON_BN_CLICKED(IDC_EXP_LONG, OnLongExposure)
    ON_BN_CLICKED(IDC_EXP_RESTART, OnRestartLongExposure)
    ON_BN_CLICKED(IDC_EXP_AUTO, OnAutoExposure)
    ON_BN_CLICKED(IDC_EXP_MANUAL, OnManualExposure)
    ON_BN_CLICKED(IDC_EXP_SPEED_NORMAL, OnFrameSpeedNormal)
    ON_BN_CLICKED(IDC_EXP_SPEED_HIGH, OnFrameSpeedHigh)
    ON_BN_CLICKED(IDC_EXP_WIDTH_8, OnDataWidth8)
    ON_BN_CLICKED(IDC_EXP_WIDTH_16, OnDataWidth16)
    ON_BN_CLICKED(IDC_EXP_ANTI_RIPPLE, OnAntiRipple)
    ON_BN_CLICKED(IDC_EXP_LEVELS_APPLY, OnApplyLevels)
    ON_BN_CLICKED(IDC_EXP_LEVELS_DEFAULT, OnDefaultLevels)
    ON_BN_CLICKED(IDC_EXP_LEVELS_AREA, OnAreaLevels)
    ON_BN_CLICKED(IDC_EXP_AUTO_LEVELS, OnAutoLevels)
    ON_MESSAGE(WM_SLIDER_MOVING, OnSliderMessage)
    ON_MESSAGE(WM_SLIDER_MOVED, OnSliderMessage)
    ON_MESSAGE(WM_TIMESPAN_CHANGED, OnExposureTimeTyped)
    ON_MESSAGE(WM_LEVELS_CHANGED, OnLevelsChanged)
    ON_MESSAGE(WM_LEVELS_REFRESH, OnLevelsRefresh)
    ON_MESSAGE(WM_COMBO_SELCHANGED, OnComboSelChanged)
END_MESSAGE_MAP()

CExposurePanel::CExposurePanel(CWnd* pParent)
    : CPanelDialog(IDD, pParent), m_aeLock(0), m_longExposure(0), m_antiRipple(0), m_autoLevels(0), m_white(255),
      m_black(0), m_middle(50), m_bRestartPending(0), m_histogramArea(NULL)
{
}

CExposurePanel::~CExposurePanel() {}

void CExposurePanel::DoDataExchange(CDataExchange* pDX)
{
    CPanelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_EXP_PIXEL_CLOCK, m_pixelClock);
    DDX_Control(pDX, IDC_EXP_CHANNEL, m_channel);
    DDX_Control(pDX, IDC_EXP_MIDDLE, m_middleEdit);
    DDX_Control(pDX, IDC_EXP_WHITE, m_whiteEdit);
    DDX_Control(pDX, IDC_EXP_BLACK, m_blackEdit);
    DDX_Control(pDX, IDC_EXP_AUTO_LEVELS, m_autoLevelsCheck);
    DDX_Control(pDX, IDC_EXP_LEVELS_DEFAULT, m_defaultButton);
    DDX_Control(pDX, IDC_EXP_LEVELS_AREA, m_areaButton);
    DDX_Control(pDX, IDC_EXP_LEVELS_APPLY, m_applyButton);
    DDX_Control(pDX, IDC_EXP_ANTI_RIPPLE, m_antiRippleCheck);
    DDX_Control(pDX, IDC_EXP_WIDTH_8, m_width8);
    DDX_Control(pDX, IDC_EXP_WIDTH_16, m_width16);
    DDX_Control(pDX, IDC_EXP_SPEED_NORMAL, m_speedNormal);
    DDX_Control(pDX, IDC_EXP_SPEED_HIGH, m_speedHigh);
    DDX_Control(pDX, IDC_EXP_GAIN_TEXT, m_gainText);
    DDX_Control(pDX, IDC_EXP_AE_LOCK, m_aeLockCheck);
    DDX_Control(pDX, IDC_EXP_LONG, m_longCheck);
    DDX_Control(pDX, IDC_EXP_AUTO, m_autoRadio);
    DDX_Control(pDX, IDC_EXP_MANUAL, m_manualRadio);
    DDX_Control(pDX, IDC_EXP_RESTART, m_restartButton);
    DDX_Control(pDX, IDC_EXP_AE_TARGET, m_aeTarget);
    DDX_Control(pDX, IDC_EXP_GAIN, m_gain);
    DDX_Control(pDX, IDC_EXP_EXPOSURE, m_exposure);
    DDX_Check(pDX, IDC_EXP_AE_LOCK, m_aeLock);
    DDX_Check(pDX, IDC_EXP_LONG, m_longExposure);
    DDX_Check(pDX, IDC_EXP_ANTI_RIPPLE, m_antiRipple);
    DDX_Check(pDX, IDC_EXP_AUTO_LEVELS, m_autoLevels);
    ExchangeNumber(pDX, IDC_EXP_WHITE, m_white);
    ExchangeNumber(pDX, IDC_EXP_BLACK, m_black);
    ExchangeNumber(pDX, IDC_EXP_MIDDLE, m_middle);
}

BOOL CExposurePanel::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    for (int id : kTransparentLabels)
        AddTransparentStatic(id);
    FinishInitDialog();
    return TRUE;
}

void CExposurePanel::OnMakeRest()
{
    for (CSkinBitmapButton* button : {&m_defaultButton, &m_areaButton, &m_applyButton, &m_aeLockCheck,
                                      &m_longCheck, &m_restartButton})
        button->SetSkin(IDB_EXP_BUTTON, IDB_EXP_BUTTON_PRESSED, IDB_EXP_BUTTON_HOVER, IDB_EXP_BUTTON_DISABLED, 0, 0,
                        CSkinBitmapButton::DRAW_NATURAL, 0, 4);
    for (CSkinBitmapButton* check : {&m_autoLevelsCheck, &m_antiRippleCheck})
        check->SetSkin(kCheckNormal, kCheckPressed, 0, kCheckDisabled, 0, 0, CSkinBitmapButton::DRAW_NATURAL, 0, 4);
    for (CSkinBitmapButton* radio : {&m_width8, &m_width16, &m_speedNormal, &m_speedHigh, &m_autoRadio,
                                     &m_manualRadio})
        radio->SetSkin(kRadioNormal, kRadioPressed, 0, kRadioDisabled, 0, 0, CSkinBitmapButton::DRAW_NATURAL, 0, 4);
    for (CSkinSlider* slider : {&m_aeTarget, &m_gain, &m_exposure}) {
        slider->SetChannelBitmaps(kChannel, kChannelActive, FALSE);
        slider->SetThumbBitmaps(kThumb, kThumb, TRUE, CSkinSlider::KEY_FROM_PIXEL);
    }
    for (CSkinComboBox* combo : {&m_pixelClock, &m_channel})
        combo->SetBitmaps(IDB_EXP_COMBO, IDB_EXP_COMBO_PRESSED, IDB_EXP_COMBO_HOVER, IDB_EXP_COMBO_DISABLED);
    m_gainText.SetBitmaps(kFieldNormal, kFieldDisabled);
    m_gainText.SetFocusRedirect(TRUE, NULL);
    for (CNumericEdit* edit : {&m_blackEdit, &m_whiteEdit, &m_middleEdit})
        edit->SetBitmaps(kFieldNormal, kFieldDisabled);

    // The time input and the levels bar take the places of their template statics.
    CRect rect;
    CWnd* placeholder = GetDlgItem(IDC_EXP_TIME);
    placeholder->GetWindowRect(&rect);
    ScreenToClient(&rect);
    placeholder->DestroyWindow();
    m_time.Create(this, rect, IDC_EXP_TIME, IDB_EXP_TIME_FIELD, IDB_EXP_TIME_SPARE);
    m_time.SetEditBitmaps(IDB_EXP_TIME_FIELD, IDB_EXP_TIME_FIELD_DISABLED);
    m_time.SetUpButtonBitmaps(IDB_EXP_TIME_UP, IDB_EXP_TIME_UP_PRESSED, IDB_EXP_TIME_UP, IDB_EXP_TIME_UP);
    m_time.SetDownButtonBitmaps(IDB_EXP_TIME_DOWN, IDB_EXP_TIME_DOWN_PRESSED, IDB_EXP_TIME_DOWN, IDB_EXP_TIME_DOWN);
    m_time.SetSpareButtonBitmaps(IDB_EXP_TIME_SPARE, IDB_EXP_TIME_SPARE_PRESSED, IDB_EXP_TIME_SPARE,
                                 IDB_EXP_TIME_SPARE);

    placeholder = GetDlgItem(IDC_EXP_LEVELS_BAR);
    placeholder->GetWindowRect(&rect);
    ScreenToClient(&rect);
    placeholder->DestroyWindow();
    m_levels.Create(this, rect, IDC_EXP_LEVELS_BAR, IDB_EXP_LEVELS_TRACK, IDB_EXP_LEVELS_BLACK, IDB_EXP_LEVELS_WHITE,
                    IDB_EXP_LEVELS_MIDDLE);
    m_levels.SetRange(0, LEVELS_BAR_STEPS);
    m_levels.SetLowHigh(m_black, m_white);
    m_levels.SetMid(LEVELS_BAR_STEPS / 2);

    m_blackEdit.SetRange(0, 255);
    m_whiteEdit.SetRange(1, 255);
    m_middleEdit.SetRange(0, 100);

    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    m_channel.ResetContent();
    CString text;
    text.LoadString(IDS_CHANNEL_RGB);
    m_channel.AddString(text);
    if (IsCoreClass(mgr)) {
        for (UINT id : {IDS_CHANNEL_B, IDS_CHANNEL_G, IDS_CHANNEL_R}) {
            text.LoadString(id);
            m_channel.AddString(text);
        }
    }
    ConfigureForCamera();
}

// --- exposure scale ---------------------------------------------------------------------

ExposureScale ExposureScaleFor(const CameraMgrParam& mgr, const CameraParamInfo& info, float rowTimeUs)
{
    ExposureScale scale;
    if (IsCoreClass(mgr)) {
        scale.kind = ExposureScale::CORE_STEPS;
        // A step that is no step would leave nothing to count by: take 1 ms.
        const double step = info.exposureUnit;
        scale.stepMs = step > 0.0 && std::isfinite(step) ? step : 1.0;
        const UINT maxUs = static_cast<UINT>(std::max(info.exposureMax, 1));
        scale.sliderMax = std::max(1, Rounded(maxUs / (scale.stepMs * 1000.0)));
        scale.timeMax = maxUs;
    } else {
        scale.kind = ExposureScale::MILLISECONDS;
        int maxMs;
        if (mgr.sensorKind == SENSOR_KIND_CCD && mgr.cameraType != CAMERA_TYPE_CAMDRVG)
            maxMs = info.maxExposure;
        else
            maxMs = static_cast<int>(info.maxExposure * static_cast<double>(rowTimeUs) * 0.001);
        // Rows shorter than a millisecond in all would give the range 1..0.
        maxMs = std::max(1, maxMs);
        scale.sliderMax = maxMs;
        scale.timeMax = static_cast<UINT>(maxMs) * 1000u;
    }
    scale.sliderMin = 1;
    scale.timeMin = 1;
    return scale;
}

int ExposureToPosition(const ExposureScale& scale, UINT microseconds)
{
    switch (scale.kind) {
    case ExposureScale::CORE_STEPS:
        return Rounded(microseconds / (scale.stepMs * 1000.0));
    case ExposureScale::LONG_VALUES: {
        int value = scale.sliderMin;
        QrCCameraTimeToValue(&value, static_cast<int>(microseconds / 1000));
        return value;
    }
    default:
        return static_cast<int>(microseconds / 1000);
    }
}

UINT PositionToExposure(const ExposureScale& scale, int position)
{
    switch (scale.kind) {
    case ExposureScale::CORE_STEPS:
        return static_cast<UINT>(position * scale.stepMs * 1000.0);
    case ExposureScale::LONG_VALUES: {
        int ms = 1;
        QrCCameraValueToTime(&ms, position);
        return static_cast<UINT>(std::max(ms, 0)) * 1000u;
    }
    default:
        return static_cast<UINT>(std::max(position, 0)) * 1000u;
    }
}

ExposureScale CExposurePanel::CurrentExposureScale()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    if (!IsLive(mgr))
        return ExposureScale();
    if (!mgr.longExposure) {
        float rowTime = 1.0f;
        QrCCameraGetRowTime(&rowTime);
        return ExposureScaleFor(mgr, info, rowTime);
    }
    ExposureScale scale;
    scale.kind = ExposureScale::LONG_VALUES;
    scale.sliderMin = info.exposureStepMin;
    scale.sliderMax = std::max(info.exposureStepMin, info.exposureStepMax);
    int lowMs = 1, highMs = 1;
    QrCCameraValueToTime(&lowMs, scale.sliderMin);
    QrCCameraValueToTime(&highMs, scale.sliderMax);
    scale.timeMin = static_cast<UINT>(std::max(lowMs, 0)) * 1000u;
    scale.timeMax = std::max(scale.timeMin, static_cast<UINT>(std::max(highMs, 0)) * 1000u);
    return scale;
}

void CExposurePanel::ApplyExposureRanges(const ExposureScale& scale)
{
    m_exposure.SetRange(scale.sliderMin, std::max(scale.sliderMin, scale.sliderMax), TRUE);
    m_time.SetRange(scale.timeMin, std::max(scale.timeMin, scale.timeMax));
}

// --- refreshes ----------------------------------------------------------------------------

void CExposurePanel::Enable(int id, BOOL on)
{
    switch (id) {
    case IDC_EXP_AE_TARGET: m_aeTarget.Enable(on); break;
    case IDC_EXP_GAIN: m_gain.Enable(on); break;
    case IDC_EXP_EXPOSURE: m_exposure.Enable(on); break;
    case IDC_EXP_TIME: m_time.Enable(on); break;
    default: break;
    }
    CWnd* item = GetDlgItem(id);
    if (item != NULL)
        item->EnableWindow(on);
}

void CExposurePanel::Show(int id, BOOL on)
{
    CWnd* item = GetDlgItem(id);
    if (item != NULL)
        item->ShowWindow(on ? SW_SHOW : SW_HIDE);
}

void CExposurePanel::UpdateGainUnitLabel(int cameraType)
{
    CString label;
    GetDlgItemText(IDC_EXP_GAIN_LABEL, label);
    const int bracket = label.Find(L'(');
    const bool decibels = cameraType == CAMERA_TYPE_CAMDRVD || IsDeferredApplyType(cameraType);
    if (decibels && bracket < 0)
        label += L"(dB)";
    else if (!decibels && bracket >= 0)
        label = label.Left(bracket);
    SetDlgItemText(IDC_EXP_GAIN_LABEL, label);
}

void CExposurePanel::ConfigureForCamera()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);

    if (!IsLive(mgr)) {
        for (int id : kAlwaysEnabled)
            Enable(id, FALSE);
        for (int id : kFrameSpeedGroup)
            Enable(id, FALSE);
        for (int id : kGainGroup)
            Enable(id, FALSE);
        for (int id : {IDC_EXP_WIDTH_16, IDC_EXP_WIDTH_16_LABEL, IDC_EXP_MIDDLE, IDC_EXP_LEVELS_AREA, IDC_EXP_LONG})
            Enable(id, FALSE);
        m_gain.SetRange(1, 10000, TRUE);
        m_exposure.SetRange(1, 10000, TRUE);
        m_aeTarget.SetRange(1, 1000, TRUE);
        m_time.SetRange(1, 10000);
    } else {
        UpdateGainUnitLabel(mgr.cameraType);
        for (int id : kFrameSpeedGroup)
            Enable(id, info.Feature(CAN_FRAME_SPEED) != 0);
        for (int id : kAlwaysEnabled)
            Enable(id, TRUE);
        Enable(IDC_EXP_WIDTH_16, info.Feature(CAN_16BIT) != 0);
        Enable(IDC_EXP_WIDTH_16_LABEL, info.Feature(CAN_16BIT) != 0);
        for (int id : kGainGroup)
            Enable(id, info.Feature(CAN_GAIN) != 0);
        Enable(IDC_EXP_MIDDLE, !HasLockedMiddle(info.productIndex));
        Enable(IDC_EXP_LEVELS_AREA, IsCoreClass(mgr));

        UpdateData(TRUE);
        m_longExposure = mgr.longExposure;
        ApplyExposureRanges(CurrentExposureScale());
        Show(IDC_EXP_RESTART, m_longExposure);
        Enable(IDC_EXP_RESTART, m_longExposure);
        if (!m_longExposure) {
            // Each product gets its own time input: after products 37 and 38 another
            // camera has all four fields again.
            m_time.m_nMillisecondsOnly = info.productIndex == 37;
            m_time.m_nSubSecond = info.productIndex == 38;
            Enable(IDC_EXP_TIME, TRUE);
            if (info.productIndex == 37)
                for (int id : {IDC_EXP_MINUTES_LABEL, IDC_EXP_SECONDS_LABEL, IDC_EXP_US_LABEL})
                    Enable(id, FALSE);
            if (info.productIndex == 38)
                for (int id : {IDC_EXP_MINUTES_LABEL, IDC_EXP_SECONDS_LABEL})
                    Enable(id, FALSE);
        }

        if (mgr.sensorKind == SENSOR_KIND_CCD || mgr.cameraType == CAMERA_TYPE_CAMDRVD)
            m_gain.SetRange(info.gainFactorMin, std::max(info.gainFactorMin, info.gainFactorMax), TRUE);
        else
            m_gain.SetRange(info.gainRegisterMin, std::max(info.gainRegisterMin, info.gainRegisterMax), TRUE);

        const BOOL pixelClock = mgr.cameraType == CAMERA_TYPE_CORE_A;
        Show(IDC_EXP_PIXEL_CLOCK, pixelClock);
        for (int id : {IDC_EXP_SPEED_NORMAL, IDC_EXP_SPEED_HIGH, IDC_EXP_SPEED_NORMAL_LABEL, IDC_EXP_SPEED_HIGH_LABEL})
            Show(id, !pixelClock);

        m_aeTarget.SetRange(info.aeTargetMin, std::max(info.aeTargetMin, info.aeTargetMax), TRUE);
        if (info.productIndex == 2 || info.productIndex == 3) {
            Enable(IDC_EXP_SPEED_HIGH, mgr.ResPreview != 0);
            Enable(IDC_EXP_SPEED_HIGH_LABEL, mgr.ResPreview != 0);
        }
        m_aeLock = mgr.aeLock;
    }
    UpdateData(FALSE);
    Invalidate(TRUE);
}

void CExposurePanel::FillChannelCombo(const CameraMgrParam& mgr, const CameraParamInfo& info, BOOL colourKnown)
{
    m_channel.ResetContent();
    CString text;
    if (colourKnown && !info.Feature(CAN_COLOR)) {
        text.LoadString(IDS_CHANNEL_GRAY);
        m_channel.AddString(text);
        return;
    }
    text.LoadString(IDS_CHANNEL_RGB);
    m_channel.AddString(text);
    if (IsCoreClass(mgr)) {
        for (UINT id : {IDS_CHANNEL_B, IDS_CHANNEL_G, IDS_CHANNEL_R}) {
            text.LoadString(id);
            m_channel.AddString(text);
        }
    }
}

void CExposurePanel::SelectChannel(int channel)
{
    const int index = channel >= 3 ? 0 : channel + 1;
    m_channel.SetCurSel(index < m_channel.GetCount() ? index : 0);
}

void CExposurePanel::UpdateControlState()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    UpdateData(TRUE);
    const BOOL manual = !cur.aeOn && !m_aeLock;

    if (mgr.runState == 0 && mgr.cameraType != CAMERA_TYPE_NONE) {
        if (mgr.sensorKind == SENSOR_KIND_THIRD || mgr.cameraType == CAMERA_TYPE_CORE_B)
            for (int id : kGainGroup)
                Enable(id, manual);
        for (int id : kManualExposureGroup)
            Enable(id, manual);
        for (int id : kTimeLabels) {
            const BOOL keptOff = (m_time.m_nMillisecondsOnly && id != IDC_EXP_MS_LABEL) ||
                                 (m_time.m_nSubSecond && (id == IDC_EXP_MINUTES_LABEL || id == IDC_EXP_SECONDS_LABEL));
            Enable(id, manual && !keptOff);
        }
        Enable(IDC_EXP_AE_TARGET, !manual);
        Enable(IDC_EXP_AE_LOCK, !manual);
        FillChannelCombo(mgr, info, TRUE);
        SelectChannel(ShownChannel(mgr));
        const BOOL longPossible = info.Feature(CAN_LONG_EXPOSURE) && manual;
        Enable(IDC_EXP_LONG, longPossible);
        Enable(IDC_EXP_RESTART, longPossible && m_longExposure);
    }

    SyncExposureDisplay();
    m_gainText.SetWindowText(GainText(mgr.cameraType, mgr.sensorKind, m_gain.GetPos()));
    if (mgr.cameraType == CAMERA_TYPE_CORE_A) {
        m_pixelClock.ResetContent();
        QrCCameraRegisterpixclk(m_pixelClock.m_hWnd);
        m_pixelClock.SetCurSel(cur.HDFrameSpeed);
    }
    Invalidate(TRUE);
}

void CExposurePanel::RefreshFromCamera()
{
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);

    const int channel = ShownChannel(mgr);
    m_black = static_cast<UINT>(std::max(0, mgr.levelsLow[channel]));
    m_white = static_cast<UINT>(std::max(0, mgr.levelsHigh[channel]));
    m_autoLevels = mgr.autoLevels[channel];
    const int gamma = mgr.gamma[channel];
    m_middle = static_cast<UINT>(std::max(0, HasLockedMiddle(info.productIndex) ? gamma : GammaToMiddle(gamma)));
    SelectChannel(channel);
    m_levels.SetMid(Rounded(m_middle * kMiddleToBar));
    m_levels.SetLowHigh(LevelToBar(m_black), LevelToBar(m_white));

    const ExposureScale scale = CurrentExposureScale();
    const UINT exposure = static_cast<UINT>(std::max(cur.exposureTime, 0));
    if (scale.kind != ExposureScale::NONE)
        m_exposure.SetPos(ExposureToPosition(scale, exposure));
    m_time.SetValue(exposure);

    m_aeTarget.SetPos(cur.aeTarget);
    m_gain.SetPos(mgr.cameraType == CAMERA_TYPE_CAMDRVD && mgr.sensorKind != SENSOR_KIND_CCD ? cur.gainFactor
                                                                                            : cur.gain);

    const BOOL manual = !cur.aeOn && !m_aeLock;
    m_manualRadio.SetCheck(manual ? BST_CHECKED : BST_UNCHECKED);
    m_autoRadio.SetCheck(manual ? BST_UNCHECKED : BST_CHECKED);
    for (int id : kManualExposureGroup)
        Enable(id, manual);

    if (mgr.cameraType == CAMERA_TYPE_CORE_A) {
        m_pixelClock.SetCurSel(cur.HDFrameSpeed);
    } else {
        m_speedHigh.SetCheck(cur.HDFrameSpeed == 1 ? BST_CHECKED : BST_UNCHECKED);
        m_speedNormal.SetCheck(cur.HDFrameSpeed == 1 ? BST_UNCHECKED : BST_CHECKED);
    }
    m_width16.SetCheck(cur.dataWide ? BST_CHECKED : BST_UNCHECKED);
    m_width8.SetCheck(cur.dataWide ? BST_UNCHECKED : BST_CHECKED);
    m_antiRipple = cur.filter;

    m_bRestartPending = 0;
    UpdateRestartMarker();
    UpdateData(FALSE);
    Invalidate(TRUE);
}

// --- exposure ---------------------------------------------------------------------------

void CExposurePanel::PostExposureProgress()
{
    CVideoRecordPanel* panel = Links().videoRecord;
    if (panel != NULL && panel->GetSafeHwnd() != NULL)
        panel->PostMessage(WM_EXPOSURE_PROGRESS_START, 0, 0);
}

void CExposurePanel::SyncExposureDisplay()
{
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    m_time.SetValue(static_cast<UINT>(std::max(cur.exposureTime, 0)));
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (!mgr.longExposure)
        PostExposureProgress();
}

void CExposurePanel::UpdateRestartMarker()
{
    if (!m_longExposure)
        return;
    CString caption;
    m_restartButton.GetWindowText(caption);
    const int marker = caption.Find(L'?');
    if (m_bRestartPending && marker < 0) {
        m_restartButton.SetWindowText(caption + kRestartMarker);
        m_restartButton.SetTextColor(kMarkerColour);
    } else if (!m_bRestartPending && marker >= 0) {
        caption = caption.Left(marker);
        caption.TrimRight();
        m_restartButton.SetWindowText(caption);
        m_restartButton.SetTextColor(RGB(0, 0, 0));
    }
    m_restartButton.Invalidate(TRUE);
}

void CExposurePanel::SetRestartPending()
{
    if (m_bRestartPending)
        return;
    m_bRestartPending = 1;
    UpdateRestartMarker();
}

void CExposurePanel::RefreshCameraPanel(BOOL controls, BOOL sliders, BOOL combos, BOOL repaint)
{
    CCameraPanel* camera = Links().camera;
    if (camera == NULL)
        return;
    if (controls)
        camera->RefreshControls();
    if (sliders)
        camera->RefreshSliders();
    if (combos)
        camera->RefreshResolutionCombos();
    if (repaint && camera->GetSafeHwnd() != NULL)
        camera->Invalidate(FALSE);
}

LRESULT CExposurePanel::OnSliderMessage(WPARAM wParam, LPARAM)
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    switch (wParam) {
    case IDC_EXP_AE_TARGET:
        QrCCameraSetAeTarget(m_aeTarget.GetPos());
        break;
    case IDC_EXP_GAIN: {
        const int position = m_gain.GetPos();
        if (mgr.cameraType == CAMERA_TYPE_CAMDRVD && mgr.sensorKind != SENSOR_KIND_CCD)
            QrCCameraSetGainValue(position);
        else
            QrCCameraSetAnalogGain(position);
        m_gainText.SetWindowText(GainText(mgr.cameraType, mgr.sensorKind, position));
        RefreshCameraPanel(FALSE, TRUE, FALSE, FALSE);
        break;
    }
    case IDC_EXP_EXPOSURE: {
        const int position = m_exposure.GetPos();
        const ExposureScale scale = CurrentExposureScale();
        if (!mgr.longExposure) {
            const UINT time = PositionToExposure(scale, position);
            if (IsDeferredApplyType(mgr.cameraType)) {
                QrCCameraSetExposureTimeMS(static_cast<int>(time), 0);
                SetTimer(TIMER_EXPOSURE_APPLY, EXPOSURE_APPLY_DELAY_MS, NULL);
            } else {
                QrCCameraSetExposureTimeMS(static_cast<int>(time), 1);
            }
            SyncExposureDisplay();
        } else {
            m_time.SetValue(PositionToExposure(scale, position));
            SetRestartPending();
        }
        RefreshCameraPanel(FALSE, TRUE, FALSE, FALSE);
        break;
    }
    default:
        break;
    }
    return 0;
}

void CExposurePanel::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == TIMER_EXPOSURE_APPLY) {
        // Applied once the camera's other work is done: the timer stays armed till then.
        if (CameraWorkRunning()) return;
        KillTimer(TIMER_EXPOSURE_APPLY);
        CameraCurParam cur;
        if (QrCCameraGetCurParameter(&cur) == CAM_OK)
            QrCCameraSetExposureTimeMS(cur.exposureTime, 1);
    }
    CPanelDialog::OnTimer(nIDEvent);
}

LRESULT CExposurePanel::OnExposureTimeTyped(WPARAM, LPARAM)
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    const UINT time = m_time.GetValue();
    const ExposureScale scale = CurrentExposureScale();
    if (!mgr.longExposure) {
        if (scale.kind != ExposureScale::NONE)
            m_exposure.SetPos(ExposureToPosition(scale, time));
        QrCCameraSetExposureTimeMS(static_cast<int>(time), 1);
    } else {
        m_exposure.SetPos(ExposureToPosition(scale, time));
        SetRestartPending();
    }
    RefreshCameraPanel(FALSE, TRUE, FALSE, FALSE);
    return 0;
}

void CExposurePanel::OnRestartLongExposure()
{
    QrCCameraSetExposureTimeMS(static_cast<int>(m_time.GetValue()), 1);
    QrCCameraReStartLongExpTime();
    SyncExposureDisplay();
    PostExposureProgress();
    m_bRestartPending = 0;
    UpdateRestartMarker();
    RefreshCameraPanel(FALSE, TRUE, FALSE, FALSE);
}

void CExposurePanel::EnableLongExposure()
{
    m_longExposure = 1;
    UpdateData(FALSE);
    OnLongExposure();
}

void CExposurePanel::OnLongExposure()
{
    UpdateData(TRUE);
    // The slider still counts in the units it had before the switch.
    const ExposureScale before = CurrentExposureScale();
    const int position = m_exposure.GetPos();
    QrCCameraSetLongExposureState(m_longExposure);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);

    if (m_longExposure) {
        if (mgr.cameraType == CAMERA_TYPE_CAMDRVG && mgr.ResPreview == 1) {
            QrCCameraSetResPreview(0);
            CCameraPanel* camera = Links().camera;
            if (mgr.runState == 0 && camera != NULL) {
                camera->RefreshResolutionCombos();
                camera->PlayCamera();
                camera->PlayCamera();
            }
        }
        const int ms = before.kind == ExposureScale::CORE_STEPS ? static_cast<int>(position * before.stepMs)
                                                                : position;
        int value = 1;
        QrCCameraTimeToValue(&value, ms);
        QrCCameraSetExposureValue(value);
    } else {
        int ms = 1;
        QrCCameraValueToTime(&ms, position);
        if (!IsCoreClass(mgr)) {
            // The figure that sets the slider's range in milliseconds.
            ExposureScale after = CurrentExposureScale();
            ms = std::min(ms, after.sliderMax);
        }
        QrCCameraSetExposureTimeMS(ms * 1000, 1);
        QrCCameraReStartLongExpTime();
    }
    ConfigureForCamera();
    RefreshFromCamera();
    UpdateControlState();
    RefreshCameraPanel(FALSE, TRUE, TRUE, TRUE);
}

void CExposurePanel::OnAutoExposure()
{
    QrCCameraSetAeState(1);
    RefreshFromCamera();
    UpdateControlState();
    RefreshCameraPanel(FALSE, TRUE, TRUE, TRUE);
}

void CExposurePanel::OnManualExposure()
{
    QrCCameraSetAeState(0);
    m_aeLock = 0;
    QrCCameraSetAELock(0);
    UpdateData(FALSE);
    RefreshFromCamera();
    UpdateControlState();
    RefreshCameraPanel(FALSE, TRUE, TRUE, TRUE);
}

void CExposurePanel::OnAeLock()
{
    UpdateData(TRUE);
    QrCCameraSetAeState(m_aeLock ? 0 : 1);
    QrCCameraSetAELock(m_aeLock);
    RefreshFromCamera();
    UpdateControlState();
}

void CExposurePanel::AfterSpeedOrWidth(BOOL repaintCameraPanel)
{
    ConfigureForCamera();
    RefreshFromCamera();
    UpdateControlState();
    RefreshCameraPanel(TRUE, TRUE, TRUE, repaintCameraPanel);
}

void CExposurePanel::OnFrameSpeedNormal()
{
    QrCCameraSetFrameSpeed(2);
    AfterSpeedOrWidth(FALSE);
}

void CExposurePanel::OnFrameSpeedHigh()
{
    QrCCameraSetFrameSpeed(1);
    AfterSpeedOrWidth(FALSE);
}

void CExposurePanel::OnDataWidth8()
{
    QrCCameraSetDataWide(0);
    AfterSpeedOrWidth(FALSE);
}

void CExposurePanel::OnDataWidth16()
{
    QrCCameraSetDataWide(1);
    AfterSpeedOrWidth(FALSE);
}

void CExposurePanel::OnAntiRipple()
{
    UpdateData(TRUE);
    QrCCameraSetFilter(m_antiRipple);
}

LRESULT CExposurePanel::OnComboSelChanged(WPARAM wParam, LPARAM)
{
    if (wParam == IDC_EXP_CHANNEL) {
        UpdateData(TRUE);
        const int index = m_channel.GetCurSel();
        QrCCameraSetShowChannel(index <= 0 ? 3 : index - 1);
        RefreshFromCamera();
    } else if (wParam == IDC_EXP_PIXEL_CLOCK) {
        QrCCameraSetFrameSpeed(std::max(0, m_pixelClock.GetCurSel()));
        AfterSpeedOrWidth(TRUE);
    }
    return 0;
}

// --- histogram and levels ---------------------------------------------------------------

void CExposurePanel::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CRect rect;
    if (!HistogramRect(&rect)) {
        PaintSkin(&dc, client);
        return;
    }
    // A histogram repaint need not stretch the whole skin again.
    CRect outside;
    if (!outside.SubtractRect(&dc.m_ps.rcPaint, &rect))
        outside.SetRectEmpty();
    if (!outside.IsRectEmpty())
        PaintSkin(&dc, client);
    DrawHistogram(&dc, rect);
}

BOOL CExposurePanel::HistogramRect(CRect* rect)
{
    // Looked up once: a dialog item search costs more than drawing the histogram.
    if (m_histogramArea == NULL || !::IsWindow(m_histogramArea))
        m_histogramArea = ::GetDlgItem(m_hWnd, IDC_EXP_HISTOGRAM);
    if (m_histogramArea == NULL)
        return FALSE;
    ::GetWindowRect(m_histogramArea, rect);
    ScreenToClient(rect);
    return TRUE;
}

void CExposurePanel::DrawHistogram(CDC* pDC, const CRect& rect)
{
    pDC->FillSolidRect(&rect, kHistogramBackground);
    QrCDrawHistogramData(pDC, &rect);
    QrCDrawHistogramFram(pDC, &rect);
}

void CExposurePanel::RepaintHistogram()
{
    CRect rect;
    if (!HistogramRect(&rect)) {
        UpdateWindow();
        return;
    }
    // Drawn now into the window, as a paint of that rectangle would draw it (a paint
    // cycle costs several times the drawing).  Edits a drag changed repaint on the next
    // turn of the message loop, once however many moves came before it.
    if (IsWindowVisible()) {
        CClientDC dc(this);
        DrawHistogram(&dc, rect);
    } else {
        InvalidateRect(&rect, TRUE);
    }
}

LRESULT CExposurePanel::OnLevelsChanged(WPARAM, LPARAM)
{
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    const int black = Rounded(m_levels.GetLow() * kBarToLevel);
    const int white = Rounded(m_levels.GetHigh() * kBarToLevel);
    const int middle = Rounded(m_levels.GetMid() * kBarToMiddle);
    if (HasLockedMiddle(info.productIndex)) {
        CameraCurParam cur;
        QrCCameraGetCurParameter(&cur);
        QrCCameraSetGamma(cur.gamma);
    } else {
        QrCCameraSetGammaEx(middle + kGammaOffset);
    }
    QrCCameraSetLevelsValues(black, white);
    ShowNumber(m_blackEdit, black);
    ShowNumber(m_whiteEdit, white);
    ShowNumber(m_middleEdit, middle);
    ReadLevelValues();
    RepaintHistogram();
    return 0;
}

void CExposurePanel::ShowCameraLevels()
{
    int black = 0, white = 255;
    QrCCameraGetLevelsValues(&black, &white);
    m_levels.SetLowHigh(LevelToBar(black), LevelToBar(white));
    ShowNumber(m_blackEdit, black);
    ShowNumber(m_whiteEdit, white);
    ReadLevelValues();
}

void CExposurePanel::ShowNumber(CWnd& edit, int value)
{
    // An unchanged field is left alone: each new text repaints the edit and notifies.
    CString text;
    text.Format(L"%d", value);
    AfxSetWindowText(edit.m_hWnd, text);
}

void CExposurePanel::ReadLevelValues()
{
    ReadNumber(m_whiteEdit.m_hWnd, m_white);
    ReadNumber(m_blackEdit.m_hWnd, m_black);
    ReadNumber(m_middleEdit.m_hWnd, m_middle);
}

LRESULT CExposurePanel::OnLevelsRefresh(WPARAM, LPARAM)
{
    if (m_autoLevels)
        ShowCameraLevels();
    RepaintHistogram();
    return 0;
}

void CExposurePanel::OnApplyLevels()
{
    UpdateData(TRUE);
    m_levels.SetLowHigh(std::max(0, Rounded(m_black * kLevelToBar)), std::max(0, Rounded(m_white * kLevelToBar)));
    m_levels.SetMid(static_cast<int>(m_middle * kMiddleToBar));
    QrCCameraSetGammaEx(static_cast<int>(m_middle) + kGammaOffset);
    QrCCameraSetLevelsValues(static_cast<unsigned short>(m_black), static_cast<unsigned short>(m_white));
    // A refused pair (black not below white) must not stay on show as if it held.
    int black = 0, white = 255;
    QrCCameraGetLevelsValues(&black, &white);
    if (black != static_cast<int>(m_black) || white != static_cast<int>(m_white))
        ShowCameraLevels();
    RepaintHistogram();
}

void CExposurePanel::OnDefaultLevels()
{
    QrCCameraLevelsDefault();
    RefreshFromCamera();
    RepaintHistogram();
}

void CExposurePanel::OnAutoLevels()
{
    UpdateData(TRUE);
    QrCCameraSetAutoLevelsState(m_autoLevels);
}

void CExposurePanel::OnAreaLevels()
{
    CRect region;
    if (!PickPreviewRegion(Links().preview, &region))
        return;
    QrCCameraCalcAreaLevels(&region);
    ShowCameraLevels();
    CRect bar;
    m_levels.GetWindowRect(&bar);
    ScreenToClient(&bar);
    CWnd* area = GetDlgItem(IDC_EXP_HISTOGRAM);
    if (area != NULL) {
        CRect rect;
        area->GetWindowRect(&rect);
        ScreenToClient(&rect);
        InvalidateRect(&rect, TRUE);
    }
    // The panel does not clip its children: its own repaint of the bar's place would
    // cover the track and markers unless they repaint after it.
    RedrawWindow(&bar, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    UpdateWindow();
}
