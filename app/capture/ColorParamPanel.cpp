#include "app/capture/ColorParamPanel.h"

#include <algorithm>

#include "app/capture/CameraCapabilities.h"
#include "app/capture/CameraPanel.h"
#include "app/capture/CaptureStringIds.h"
#include "app/capture/PreviewRegion.h"
#include "app/shell/CapturePage.h"
#include "app/shell/ShellLinks.h"
#include "camera/device/DisplayValues.h"

IMPLEMENT_DYNAMIC(CColorParamPanel, CPanelDialog)

namespace {

const int kColorTemperatureTable[64] = {
    1800, 1900, 2000, 2100, 2200, 2300, 2400, 2500, 2600, 2700, 2862, 3025, 3187, 3350, 3512, 3675,
    3837, 4000, 4178, 4357, 4535, 4714, 4892, 5071, 5250, 5428, 5607, 5785, 5964, 6142, 6321, 6500,
    6550, 6600, 6650, 6700, 6750, 6800, 6850, 6900, 6950, 7000, 7050, 7100, 7150, 7200, 7250, 7300,
    7350, 7400, 7450, 7500, 7750, 8000, 8250, 8500, 8750, 9000, 9250, 9500, 9750, 10000, 10000, 10000};

// One slider with its label and value field, in bind order.
struct SliderRow
{
    int slider, label, value;
};

const SliderRow kRows[9] = {
    {IDC_COLOR_GAMMA, IDC_COLOR_GAMMA_LABEL, IDC_COLOR_GAMMA_VALUE},
    {IDC_COLOR_CONTRAST, IDC_COLOR_CONTRAST_LABEL, IDC_COLOR_CONTRAST_VALUE},
    {IDC_COLOR_SATURATION, IDC_COLOR_SATURATION_LABEL, IDC_COLOR_SATURATION_VALUE},
    {IDC_COLOR_RED, IDC_COLOR_RED_LABEL, IDC_COLOR_RED_VALUE},
    {IDC_COLOR_GREEN, IDC_COLOR_GREEN_LABEL, IDC_COLOR_GREEN_VALUE},
    {IDC_COLOR_BLUE, IDC_COLOR_BLUE_LABEL, IDC_COLOR_BLUE_VALUE},
    {IDC_COLOR_TEMPERATURE, IDC_COLOR_TEMPERATURE_LABEL, IDC_COLOR_TEMPERATURE_VALUE},
    {IDC_COLOR_DENOISE, IDC_COLOR_DENOISE_LABEL, IDC_COLOR_DENOISE_VALUE},
    {IDC_COLOR_SHARPNESS, IDC_COLOR_SHARPNESS_LABEL, IDC_COLOR_SHARPNESS_VALUE},
};

enum Row { ROW_GAMMA, ROW_CONTRAST, ROW_SATURATION, ROW_RED, ROW_GREEN, ROW_BLUE, ROW_TEMPERATURE, ROW_DENOISE,
           ROW_SHARPNESS };

// The buttons and checks, in bind order, with the skin of each kind.
const int kPushWide[] = {IDC_COLOR_WHITE_BALANCE, IDC_COLOR_BLACK_BALANCE};
const int kPushSmall[] = {IDC_COLOR_AREA_WB, IDC_COLOR_DEFAULT, IDC_COLOR_FLAT_FIELD_CALC};
const int kChecks[] = {IDC_COLOR_ENHANCE, IDC_COLOR_MONOCHROME, IDC_COLOR_WB_LOCK, IDC_COLOR_FLAT_FIELD};
const int kRadios[] = {IDC_COLOR_B2RGB_SMOOTH, IDC_COLOR_B2RGB_SHARP, IDC_COLOR_MODE_COLOUR, IDC_COLOR_MODE_MONO};

const int kTransparentLabels[] = {
    IDC_COLOR_CONTRAST_LABEL, IDC_COLOR_GAMMA_LABEL, IDC_COLOR_BLUE_LABEL, IDC_COLOR_GREEN_LABEL,
    IDC_COLOR_RED_LABEL, IDC_COLOR_SATURATION_LABEL, IDC_COLOR_DENOISE_LABEL, IDC_COLOR_SHARPNESS_LABEL,
    IDC_COLOR_TEMPERATURE_LABEL, IDC_COLOR_ENHANCE_LABEL, IDC_COLOR_MONOCHROME_LABEL, IDC_COLOR_SMOOTH_LABEL,
    IDC_COLOR_SHARP_LABEL, IDC_COLOR_WB_LOCK_LABEL};

const UINT kWideNormal = 677, kWidePressed = 676, kWideHover = 679, kWideDisabled = 678;
const UINT kSmallNormal = 194, kSmallPressed = 196, kSmallHover = 195, kSmallDisabled = 197;
const UINT kCheckNormal = 180, kCheckPressed = 179, kCheckDisabled = 181;
const UINT kRadioNormal = 183, kRadioPressed = 182, kRadioDisabled = 184;
const UINT kFieldNormal = 294, kFieldDisabled = 295;
const UINT kThumb = 165, kChannel = 168, kChannelActive = 169;

const int kReapplyOrder[] = {IDC_COLOR_GAMMA, IDC_COLOR_SATURATION, IDC_COLOR_CONTRAST};

int ClampInt(int v, int lo, int hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

CString GainText(int position)
{
    CString text;
    text.Format(L"%5.2f", position * 0.015625);
    return text;
}

CString NumberText(int value)
{
    CString text;
    text.Format(L"%d", value);
    return text;
}

void RefreshCameraSliders()
{
    if (Links().camera != NULL)
        Links().camera->RefreshSliders();
}

}  // namespace

int ColorTemperatureKelvin(int step)
{
    return kColorTemperatureTable[ClampInt(step, 0, 63)];
}

DisplayRanges DisplayRangesFor(const CameraParamInfo& info, int modeWord)
{
    DisplayRanges r;
    if ((info.sensorKind & 0xFF) == SENSOR_KIND_THIRD) {
        r = {info.gammaMin, info.gammaMax, info.contrastMin, info.contrastMax, info.saturationMin,
             info.saturationMax};
    } else {
        using namespace displayvalues;
        r.gammaMin = GammaFromDevice(info.gammaMin, info.gammaMin, info.gammaMax);
        r.gammaMax = GammaFromDevice(info.gammaMax, info.gammaMin, info.gammaMax);
        r.contrastMin = ContrastFromDevice(info.contrastMin, modeWord, info.contrastMin, info.contrastMax);
        r.contrastMax = ContrastFromDevice(info.contrastMax, modeWord, info.contrastMin, info.contrastMax);
        r.saturationMin = SaturationFromDevice(info.saturationMin, modeWord, info.saturationMin, info.saturationMax);
        r.saturationMax = SaturationFromDevice(info.saturationMax, modeWord, info.saturationMin, info.saturationMax);
    }
    // A device range given the wrong way round still makes a usable slider.
    if (r.gammaMin > r.gammaMax) std::swap(r.gammaMin, r.gammaMax);
    if (r.contrastMin > r.contrastMax) std::swap(r.contrastMin, r.contrastMax);
    if (r.saturationMin > r.saturationMax) std::swap(r.saturationMin, r.saturationMax);
    return r;
}

BEGIN_MESSAGE_MAP(CColorParamPanel, CPanelDialog)
    ON_BN_CLICKED(IDC_COLOR_WHITE_BALANCE, OnWhiteBalance)
    ON_BN_CLICKED(IDC_COLOR_WB_LOCK, OnLockWhiteBalance)
    ON_BN_CLICKED(IDC_COLOR_BLACK_BALANCE, OnBlackBalance)
    ON_BN_CLICKED(IDC_COLOR_AREA_WB, OnAreaWhiteBalance)
    ON_BN_CLICKED(IDC_COLOR_DEFAULT, OnDefault)
    ON_BN_CLICKED(IDC_COLOR_ENHANCE, OnColorEnhancement)
    ON_BN_CLICKED(IDC_COLOR_MONOCHROME, OnMonochrome)
    ON_BN_CLICKED(IDC_COLOR_MODE_COLOUR, OnColorMode)
    ON_BN_CLICKED(IDC_COLOR_MODE_MONO, OnMonochromeMode)
    ON_BN_CLICKED(IDC_COLOR_B2RGB_SMOOTH, OnB2RGBSmooth)
    ON_BN_CLICKED(IDC_COLOR_B2RGB_SHARP, OnB2RGBSharp)
    ON_BN_CLICKED(IDC_COLOR_FLAT_FIELD_CALC, OnCalcFlatField)
    ON_BN_CLICKED(IDC_COLOR_FLAT_FIELD, OnFlatField)
    ON_MESSAGE(WM_SLIDER_MOVING, OnSliderChanged)
    ON_MESSAGE(WM_SLIDER_MOVED, OnSliderChanged)
END_MESSAGE_MAP()

CColorParamPanel::CColorParamPanel(CWnd* pParent)
    : CPanelDialog(IDD, pParent), m_colorEnhancement(0), m_monochrome(0), m_flatField(0), m_lockWhiteBalance(0)
{
}

CColorParamPanel::~CColorParamPanel() {}

void CColorParamPanel::DoDataExchange(CDataExchange* pDX)
{
    CPanelDialog::DoDataExchange(pDX);
    for (int i = 0; i < 9; i++) {
        DDX_Control(pDX, kRows[i].slider, m_sliders[i]);
        DDX_Control(pDX, kRows[i].value, m_values[i]);
    }
    int b = 0;
    for (int id : kPushWide)
        DDX_Control(pDX, id, m_buttons[b++]);
    for (int id : kPushSmall)
        DDX_Control(pDX, id, m_buttons[b++]);
    for (int id : kChecks)
        DDX_Control(pDX, id, m_buttons[b++]);
    for (int id : kRadios)
        DDX_Control(pDX, id, m_buttons[b++]);
    DDX_Check(pDX, IDC_COLOR_ENHANCE, m_colorEnhancement);
    DDX_Check(pDX, IDC_COLOR_MONOCHROME, m_monochrome);
    DDX_Check(pDX, IDC_COLOR_FLAT_FIELD, m_flatField);
    DDX_Check(pDX, IDC_COLOR_WB_LOCK, m_lockWhiteBalance);
}

BOOL CColorParamPanel::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    for (int id : kTransparentLabels)
        AddTransparentStatic(id);
    FinishInitDialog();
    return TRUE;
}

void CColorParamPanel::OnMakeRest()
{
    int b = 0;
    for (size_t i = 0; i < sizeof(kPushWide) / sizeof(kPushWide[0]); i++)
        m_buttons[b++].SetSkin(kWideNormal, kWidePressed, kWideHover, kWideDisabled, 0, 0,
                               CSkinBitmapButton::DRAW_NATURAL, 0, 4);
    for (size_t i = 0; i < sizeof(kPushSmall) / sizeof(kPushSmall[0]); i++)
        m_buttons[b++].SetSkin(kSmallNormal, kSmallPressed, kSmallHover, kSmallDisabled, 0, 0,
                               CSkinBitmapButton::DRAW_NATURAL, 0, 4);
    for (size_t i = 0; i < sizeof(kChecks) / sizeof(kChecks[0]); i++)
        m_buttons[b++].SetSkin(kCheckNormal, kCheckPressed, 0, kCheckDisabled, 0, 0,
                               CSkinBitmapButton::DRAW_NATURAL, 0, 4);
    for (size_t i = 0; i < sizeof(kRadios) / sizeof(kRadios[0]); i++)
        m_buttons[b++].SetSkin(kRadioNormal, kRadioPressed, 0, kRadioDisabled, 0, 0,
                               CSkinBitmapButton::DRAW_NATURAL, 0, 4);
    for (int i = 0; i < 9; i++) {
        m_values[i].SetBitmaps(kFieldNormal, kFieldDisabled);
        m_values[i].SetFocusRedirect(TRUE, NULL);
        m_sliders[i].SetChannelBitmaps(kChannel, kChannelActive, FALSE);
        m_sliders[i].SetThumbBitmaps(kThumb, kThumb, TRUE, CSkinSlider::KEY_FROM_PIXEL);
    }
    ConfigureForCamera();
}

// --- helpers --------------------------------------------------------------------------

CSkinSlider& CColorParamPanel::Slider(int id)
{
    for (int i = 0; i < 9; i++)
        if (kRows[i].slider == id)
            return m_sliders[i];
    return m_sliders[0];
}

void CColorParamPanel::Enable(int id, BOOL on)
{
    for (int i = 0; i < 9; i++)
        if (kRows[i].slider == id)
            m_sliders[i].Enable(on);
    CWnd* item = GetDlgItem(id);
    if (item != NULL)
        item->EnableWindow(on);
}

void CColorParamPanel::Show(int id, BOOL on)
{
    CWnd* item = GetDlgItem(id);
    if (item != NULL)
        item->ShowWindow(on ? SW_SHOW : SW_HIDE);
}

void CColorParamPanel::SetValueText(int id, const CString& text)
{
    // A drag moves one slider: the other fields keep their texts, and a text set again
    // would still repaint its field and notify the panel.
    HWND field = NULL;
    for (int i = 0; i < 9 && field == NULL; i++)
        if (kRows[i].value == id)
            field = m_values[i].m_hWnd;
    if (field == NULL)
        field = ::GetDlgItem(m_hWnd, id);
    if (field == NULL)
        return;
    WCHAR shown[64] = {};
    ::GetWindowTextW(field, shown, 64);
    if (text != shown)
        ::SetWindowTextW(field, text);
}

void CColorParamPanel::PushChecks()
{
    CDataExchange dx(this, FALSE);
    DDX_Check(&dx, IDC_COLOR_ENHANCE, m_colorEnhancement);
    DDX_Check(&dx, IDC_COLOR_MONOCHROME, m_monochrome);
    DDX_Check(&dx, IDC_COLOR_FLAT_FIELD, m_flatField);
    DDX_Check(&dx, IDC_COLOR_WB_LOCK, m_lockWhiteBalance);
}

void CColorParamPanel::EnableSaturation(BOOL on)
{
    for (int id : {IDC_COLOR_SATURATION_LABEL, IDC_COLOR_SATURATION, IDC_COLOR_SATURATION_VALUE})
        Enable(id, on);
}

void CColorParamPanel::ShowGains(const CameraCurParam& cur)
{
    SetValueText(IDC_COLOR_RED_VALUE, GainText(cur.redGain));
    SetValueText(IDC_COLOR_GREEN_VALUE, GainText(cur.greenGain));
    SetValueText(IDC_COLOR_BLUE_VALUE, GainText(cur.blueGain));
    Slider(IDC_COLOR_RED).SetPos(cur.redGain);
    Slider(IDC_COLOR_GREEN).SetPos(cur.greenGain);
    Slider(IDC_COLOR_BLUE).SetPos(cur.blueGain);
}

void CColorParamPanel::ShowColorTemperature(int step)
{
    CString text;
    text.Format(L"%dK", ColorTemperatureKelvin(step));
    SetValueText(IDC_COLOR_TEMPERATURE_VALUE, text);
}

void CColorParamPanel::ShowWhiteBalanceCaption(int automaticOn)
{
    CString caption;
    caption.LoadString(automaticOn ? IDS_MANUAL_WHITE_BALANCE : IDS_AUTO_WHITE_BALANCE);
    SetDlgItemText(IDC_COLOR_WHITE_BALANCE, caption);
}

// --- refreshes --------------------------------------------------------------------------

void CColorParamPanel::ConfigureForCamera()
{
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);

    if (!IsLive(mgr)) {
        for (const SliderRow& row : kRows)
            for (int id : {row.slider, row.label, row.value})
                Enable(id, FALSE);
        for (int id : kPushWide)
            Enable(id, FALSE);
        for (int id : kPushSmall)
            Enable(id, FALSE);
        for (int id : kChecks)
            Enable(id, FALSE);
        for (int id : kRadios)
            Enable(id, FALSE);
        for (int id : {IDC_COLOR_ENHANCE_LABEL, IDC_COLOR_MONOCHROME_LABEL, IDC_COLOR_SMOOTH_LABEL,
                       IDC_COLOR_SHARP_LABEL, IDC_COLOR_WB_LOCK_LABEL})
            Enable(id, FALSE);
        Show(IDC_COLOR_WB_LOCK_LABEL, FALSE);
        Show(IDC_COLOR_WB_LOCK, FALSE);
        Show(IDC_COLOR_WHITE_BALANCE, TRUE);
        for (int id : {IDC_COLOR_RED, IDC_COLOR_GREEN, IDC_COLOR_BLUE, IDC_COLOR_SATURATION})
            Slider(id).SetRange(0, 255, TRUE);
        Slider(IDC_COLOR_GAMMA).SetRange(20, 150, TRUE);
        Slider(IDC_COLOR_CONTRAST).SetRange(0, 100, TRUE);
        Slider(IDC_COLOR_DENOISE).SetRange(0, 10, TRUE);
        Slider(IDC_COLOR_SHARPNESS).SetRange(0, 10, TRUE);
        Slider(IDC_COLOR_TEMPERATURE).SetRange(0, 63, TRUE);
    } else {
        const BOOL rgb = info.Feature(CAN_COLOR) != 0;
        for (int row : {ROW_RED, ROW_GREEN, ROW_BLUE})
            for (int id : {kRows[row].slider, kRows[row].label, kRows[row].value})
                Enable(id, rgb);
        for (int id : {IDC_COLOR_WHITE_BALANCE, IDC_COLOR_BLACK_BALANCE, IDC_COLOR_AREA_WB})
            Enable(id, rgb);

        const BOOL saturation = info.Feature(CAN_SATURATION) != 0;
        if (mgr.mode != 0)
            EnableSaturation(saturation);
        else
            EnableSaturation(saturation && !cur.monochrome && cur.colorEnhancement);

        for (int row : {ROW_GAMMA, ROW_CONTRAST})
            for (int id : {kRows[row].slider, kRows[row].label, kRows[row].value})
                Enable(id, TRUE);
        const BOOL processing = info.Feature(CAN_COLOR_PROCESSING) != 0;
        Enable(IDC_COLOR_MODE_COLOUR, processing);
        Enable(IDC_COLOR_ENHANCE_LABEL, processing);
        Enable(IDC_COLOR_ENHANCE, processing && !cur.monochrome);
        const BOOL mono = info.Feature(CAN_MONOCHROME) != 0;
        for (int id : {IDC_COLOR_MODE_MONO, IDC_COLOR_MONOCHROME_LABEL, IDC_COLOR_MONOCHROME})
            Enable(id, mono);
        Enable(IDC_COLOR_FLAT_FIELD_CALC, TRUE);
        Enable(IDC_COLOR_DEFAULT, TRUE);
        Enable(IDC_COLOR_FLAT_FIELD, info.Feature(CAN_FLAT_FIELD) != 0);
        const BOOL b2rgb = info.Feature(CAN_B2RGB) != 0;
        for (int id : {IDC_COLOR_B2RGB_SMOOTH, IDC_COLOR_B2RGB_SHARP, IDC_COLOR_SMOOTH_LABEL, IDC_COLOR_SHARP_LABEL})
            Enable(id, b2rgb);

        Slider(IDC_COLOR_RED).SetRange(info.redGainMin, info.redGainMax, TRUE);
        Slider(IDC_COLOR_GREEN).SetRange(info.greenGainMin, info.greenGainMax, TRUE);
        Slider(IDC_COLOR_BLUE).SetRange(info.blueGainMin, info.blueGainMax, TRUE);
        const DisplayRanges ranges = DisplayRangesFor(info, mgr.mode);
        Slider(IDC_COLOR_GAMMA).SetRange(ranges.gammaMin, ranges.gammaMax, TRUE);
        Slider(IDC_COLOR_CONTRAST).SetRange(ranges.contrastMin, ranges.contrastMax, TRUE);
        Slider(IDC_COLOR_SATURATION).SetRange(ranges.saturationMin, ranges.saturationMax, TRUE);

        if (HasLockedMiddle(info.productIndex)) {
            Show(IDC_COLOR_WB_LOCK_LABEL, TRUE);
            Show(IDC_COLOR_WB_LOCK, TRUE);
            Show(IDC_COLOR_WHITE_BALANCE, FALSE);
            Enable(IDC_COLOR_WB_LOCK_LABEL, TRUE);
            Enable(IDC_COLOR_WB_LOCK, TRUE);
            for (int row : {ROW_DENOISE, ROW_SHARPNESS})
                for (int id : {kRows[row].slider, kRows[row].label, kRows[row].value})
                    Enable(id, TRUE);
            Slider(IDC_COLOR_DENOISE).SetRange(info.denoiseMin, info.denoiseMax, TRUE);
            Slider(IDC_COLOR_SHARPNESS).SetRange(info.sharpnessMin, info.sharpnessMax, TRUE);
            if (info.productIndex == 32 || info.productIndex == 33 || info.productIndex == 38) {
                for (int id : {kRows[ROW_TEMPERATURE].slider, kRows[ROW_TEMPERATURE].label,
                               kRows[ROW_TEMPERATURE].value})
                    Enable(id, TRUE);
                Slider(IDC_COLOR_TEMPERATURE).SetRange(info.colorTemperatureMin, info.colorTemperatureMax, TRUE);
            }
            if (info.productIndex == 37)
                for (int row : {ROW_GAMMA, ROW_CONTRAST})
                    for (int id : {kRows[row].slider, kRows[row].label, kRows[row].value})
                        Enable(id, FALSE);
        } else {
            Show(IDC_COLOR_WB_LOCK_LABEL, FALSE);
            Show(IDC_COLOR_WB_LOCK, FALSE);
            Show(IDC_COLOR_WHITE_BALANCE, TRUE);
        }
    }

    if (info.productIndex == 32) {
        Enable(IDC_COLOR_FLAT_FIELD_CALC, FALSE);
        Enable(IDC_COLOR_FLAT_FIELD, FALSE);
    }
    if (info.productIndex == 37)
        for (int row : {ROW_DENOISE, ROW_SHARPNESS})
            for (int id : {kRows[row].slider, kRows[row].label, kRows[row].value})
                Enable(id, FALSE);
    Invalidate(TRUE);
}

void CColorParamPanel::RefreshFromCamera()
{
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    m_colorEnhancement = cur.colorEnhancement;
    m_monochrome = cur.monochrome;
    Slider(IDC_COLOR_RED).SetPos(cur.redGain);
    Slider(IDC_COLOR_GREEN).SetPos(cur.greenGain);
    Slider(IDC_COLOR_BLUE).SetPos(cur.blueGain);
    Slider(IDC_COLOR_DENOISE).SetPos(cur.denoise);
    Slider(IDC_COLOR_SHARPNESS).SetPos(cur.sharpness);
    Slider(IDC_COLOR_TEMPERATURE).SetPos(cur.colorTemperature);
    Slider(IDC_COLOR_SATURATION).SetPos(cur.saturationValue);
    Slider(IDC_COLOR_CONTRAST).SetPos(cur.contrastValue);
    Slider(IDC_COLOR_GAMMA).SetPos(cur.gammaValue);
    m_flatField = cur.flatField;
    CheckDlgButton(IDC_COLOR_B2RGB_SHARP, cur.b2rgbMode ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_COLOR_B2RGB_SMOOTH, cur.b2rgbMode ? BST_UNCHECKED : BST_CHECKED);
    if (mgr.sensorKind == SENSOR_KIND_THIRD) {
        ShowWhiteBalanceCaption(cur.HDAutoWB);
        m_lockWhiteBalance = cur.HDAutoWB ? 0 : 1;
    }
    UpdateData(FALSE);
    Invalidate(TRUE);
}

void CColorParamPanel::UpdateControlState()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    // Monochrome output has no saturation, whatever the enhancement check says; a
    // panel disabled for want of a running camera stays so.
    if (IsLive(mgr) && mgr.mode == 0 && info.Feature(CAN_SATURATION))
        EnableSaturation(m_colorEnhancement != 0 && m_monochrome == 0);
    for (int row : {ROW_GAMMA, ROW_CONTRAST, ROW_SATURATION, ROW_DENOISE, ROW_SHARPNESS})
        SetValueText(kRows[row].value, NumberText(m_sliders[row].GetPos()));
    for (int row : {ROW_RED, ROW_GREEN, ROW_BLUE})
        SetValueText(kRows[row].value, GainText(m_sliders[row].GetPos()));
    ShowColorTemperature(m_sliders[ROW_TEMPERATURE].GetPos());
}

// --- sliders ----------------------------------------------------------------------------

LRESULT CColorParamPanel::OnSliderChanged(WPARAM wParam, LPARAM)
{
    const int id = static_cast<int>(wParam);
    switch (id) {
    case IDC_COLOR_GAMMA:
        QrCCameraSetGammaValue(Slider(id).GetPos());
        SetValueText(IDC_COLOR_GAMMA_VALUE, NumberText(Slider(id).GetPos()));
        break;
    case IDC_COLOR_CONTRAST:
        QrCCameraSetContrastValue(Slider(id).GetPos());
        SetValueText(IDC_COLOR_CONTRAST_VALUE, NumberText(Slider(id).GetPos()));
        break;
    case IDC_COLOR_SATURATION:
        QrCCameraSetSaturationValue(Slider(id).GetPos());
        SetValueText(IDC_COLOR_SATURATION_VALUE, NumberText(Slider(id).GetPos()));
        break;
    case IDC_COLOR_DENOISE:
        QrCCameraSetDenoise(Slider(id).GetPos());
        SetValueText(IDC_COLOR_DENOISE_VALUE, NumberText(Slider(id).GetPos()));
        break;
    case IDC_COLOR_SHARPNESS:
        QrCCameraSetSharpness(Slider(id).GetPos());
        SetValueText(IDC_COLOR_SHARPNESS_VALUE, NumberText(Slider(id).GetPos()));
        break;
    case IDC_COLOR_TEMPERATURE: {
        QrCCameraSetColorTemperature(Slider(id).GetPos());
        ShowColorTemperature(Slider(id).GetPos());
        CameraCurParam cur;
        QrCCameraGetCurParameter(&cur);
        Slider(IDC_COLOR_RED).SetPos(cur.redGain);
        Slider(IDC_COLOR_GREEN).SetPos(cur.greenGain);
        Slider(IDC_COLOR_BLUE).SetPos(cur.blueGain);
        m_lockWhiteBalance = cur.HDAutoWB ? 0 : 1;
        PushChecks();
        ApplyGains();
        break;
    }
    case IDC_COLOR_RED:
    case IDC_COLOR_GREEN:
    case IDC_COLOR_BLUE: {
        CameraCurParam cur;
        QrCCameraGetCurParameter(&cur);
        m_lockWhiteBalance = cur.HDAutoWB ? 0 : 1;
        PushChecks();
        ApplyGains();
        break;
    }
    default:
        break;
    }
    return 0;
}

void CColorParamPanel::ApplyGains()
{
    const int red = Slider(IDC_COLOR_RED).GetPos();
    const int green = Slider(IDC_COLOR_GREEN).GetPos();
    const int blue = Slider(IDC_COLOR_BLUE).GetPos();
    SetValueText(IDC_COLOR_RED_VALUE, GainText(red));
    SetValueText(IDC_COLOR_GREEN_VALUE, GainText(green));
    SetValueText(IDC_COLOR_BLUE_VALUE, GainText(blue));
    QrCCameraSetGain(red, green, blue);
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (mgr.sensorKind == SENSOR_KIND_THIRD || mgr.cameraType == CAMERA_TYPE_CORE_B) {
        ShowWhiteBalanceCaption(cur.HDAutoWB);
        RefreshCameraSliders();
    }
}

void CColorParamPanel::ReapplySliderValues()
{
    for (int id : kReapplyOrder)
        PostMessage(WM_SLIDER_MOVING, id, 0);
    ApplyGains();
}

// --- buttons ----------------------------------------------------------------------------

void CColorParamPanel::OnWhiteBalance()
{
    if (QrCCameraSetAWBState(1) != CAM_OK)
        AfxMessageBox(IDS_WB_NO_AREA, MB_OK);
    Sleep(200);
    QrCCameraSetAWBState(1);
    Sleep(200);
    QrCCameraSetAWBState(1);

    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    ShowGains(cur);
    const int step = ClampInt(cur.colorTemperature, 0, 63);
    ShowColorTemperature(step);
    Slider(IDC_COLOR_TEMPERATURE).SetPos(step);
    if (mgr.sensorKind == SENSOR_KIND_THIRD || mgr.cameraType == CAMERA_TYPE_CORE_B) {
        ShowWhiteBalanceCaption(cur.HDAutoWB);
        m_lockWhiteBalance = cur.HDAutoWB ? 0 : 1;
        UpdateData(FALSE);
        RefreshCameraSliders();
    }
}

void CColorParamPanel::OnLockWhiteBalance()
{
    UpdateData(TRUE);
    OnWhiteBalance();
}

void CColorParamPanel::OnBlackBalance()
{
    QrCCameraSetABBState();
    RefreshFromCamera();
    UpdateControlState();
}

void CColorParamPanel::OnAreaWhiteBalance()
{
    CRect region;
    if (!PickPreviewRegion(Links().preview, &region))
        return;
    QrCCameraSetAreaWBState(&region);
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    ShowGains(cur);
}

void CColorParamPanel::OnDefault()
{
    QrCCameraParameterDefault(2);
    if (Links().capturePage != NULL) {
        Links().capturePage->RefreshAllPanels();
    } else {
        ConfigureForCamera();
        RefreshFromCamera();
        UpdateControlState();
    }
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    m_lockWhiteBalance = cur.HDAutoWB ? 0 : 1;
    UpdateData(FALSE);
    ReapplySliderValues();
    RefreshCameraSliders();
    if (cur.HDAutoWB)
        OnWhiteBalance();
}

void CColorParamPanel::OnColorEnhancement()
{
    UpdateData(TRUE);
    QrCCameraSetColorEnhancement(m_colorEnhancement);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (mgr.mode == 0)
        EnableSaturation(m_colorEnhancement && !m_monochrome);
    Invalidate(TRUE);
}

void CColorParamPanel::OnMonochrome()
{
    UpdateData(TRUE);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    QrCCameraSetMonochrome(m_monochrome);
    const BOOL processing = info.Feature(CAN_COLOR_PROCESSING) && !m_monochrome;
    Enable(IDC_COLOR_ENHANCE_LABEL, processing);
    Enable(IDC_COLOR_ENHANCE, processing);
    if (mgr.mode != 0)
        EnableSaturation(!m_monochrome);
    else
        EnableSaturation(m_colorEnhancement && !m_monochrome);
    Invalidate(TRUE);
}

void CColorParamPanel::OnColorMode()
{
    m_colorEnhancement = 1;
    m_monochrome = 0;
    QrCCameraSetMonochrome(0);
    QrCCameraSetColorEnhancement(1);
    CheckDlgButton(IDC_COLOR_MODE_COLOUR, BST_CHECKED);
    CheckDlgButton(IDC_COLOR_MODE_MONO, BST_UNCHECKED);
    Invalidate(TRUE);
}

void CColorParamPanel::OnMonochromeMode()
{
    m_colorEnhancement = 0;
    m_monochrome = 1;
    QrCCameraSetMonochrome(1);
    QrCCameraSetColorEnhancement(0);
    CheckDlgButton(IDC_COLOR_MODE_COLOUR, BST_UNCHECKED);
    CheckDlgButton(IDC_COLOR_MODE_MONO, BST_CHECKED);
    EnableSaturation(FALSE);
    Invalidate(TRUE);
}

void CColorParamPanel::OnB2RGBSmooth()
{
    QrCCameraSetB2RGBMode(0);
    RefreshFromCamera();
}

void CColorParamPanel::OnB2RGBSharp()
{
    QrCCameraSetB2RGBMode(1);
    RefreshFromCamera();
}

void CColorParamPanel::OnCalcFlatField()
{
    // A failed calibration also clears the camera's correction: the check follows it.
    if (QrCCameraCalcFlatFielding() != CAM_OK)
        AfxMessageBox(IDS_FLAT_FIELD_FAILED, MB_OK);
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    Enable(IDC_COLOR_FLAT_FIELD, info.Feature(CAN_FLAT_FIELD) && info.productIndex != 32);
    RefreshFromCamera();
}

void CColorParamPanel::OnFlatField()
{
    UpdateData(TRUE);
    QrCCameraSetFlatFieldingState(m_flatField);
}
