#include "app/fluorescence/FluorescencePanel.h"

#include <algorithm>
#include <iterator>

#include "app/fluorescence/FluorescenceWizard.h"
#include "app/shell/ShellLinks.h"
#include "app/store/ImageStore.h"
#include "app/shell/CapturePage.h"
#include "app/capture/CameraPanel.h"
#include "app/capture/ColorParamPanel.h"
#include "app/capture/ExposurePanel.h"
#include "app/capture/PreviewWnd.h"

IMPLEMENT_DYNAMIC(CFluorescencePanel, CPanelDialog)

namespace {

// Capability flag of the black level in the parameter information.
const int kFeatureBlackLevel = 17;

const COLORREF kChartGrey = 0xBFBFBF;

// Skins of the shared controls: combo boxes, push buttons and value fields.
const UINT kComboNormal = 624, kComboPressed = 625, kComboDisabled = 626, kComboHover = 627;
const UINT kButtonNormal = 194, kButtonHover = 195, kButtonPressed = 196, kButtonDisabled = 197;
const UINT kEditNormal = 294, kEditDisabled = 295;

struct Swatch
{
    int id;
    const wchar_t* dye;
    int mode;   // ApplyDye's colour mode
};

// In hit-test order; the swatch colours of m_colours[1..7] follow the ids.
const Swatch kSwatches[] = {
    {IDC_FLUO_SWATCH_RED, L"7-ADD(7-amino-actinomycin D)", 1},
    {IDC_FLUO_SWATCH_GREEN, L"Fluoro-Jade", 0},
    {IDC_FLUO_SWATCH_BLUE, L"Calcofluor White", 0},
    {IDC_FLUO_SWATCH_YELLOW, L"POPO-3", 0},
    {IDC_FLUO_SWATCH_CYAN, L"Dibromobimane", 0},
    {IDC_FLUO_SWATCH_MAGENTA, L"FuraZin-1 Em375", 2},
    {IDC_FLUO_SWATCH_WHITE, L"Brightfield", 0},
};

const int kDyeGroup[] = {IDC_FLUO_DYE_COMBO, IDC_FLUO_DYE_SLIDER, IDC_FLUO_CURRENT_RGB,
                         IDC_FLUO_DYE_LABEL, IDC_FLUO_CURRENT_LABEL, IDC_FLUO_DEFAULT,
                         IDC_FLUO_APPLY, IDC_FLUO_APPLY_LABEL};
const int kCoolingGroup[] = {IDC_FLUO_COOLING_LABEL, IDC_FLUO_COOLING_EDIT,
                             IDC_FLUO_TEMPERATURE_LABEL, IDC_FLUO_TEMPERATURE_EDIT,
                             IDC_FLUO_COOLING_SLIDER};
const int kBlackLevelGroup[] = {IDC_FLUO_BLACK_LABEL, IDC_FLUO_BLACK_EDIT, IDC_FLUO_BLACK_SLIDER};
const int kTransparentLabels[] = {IDC_FLUO_BLACK_LABEL, IDC_FLUO_DYE_LABEL, IDC_FLUO_CURRENT_LABEL,
                                  IDC_FLUO_CURRENT_RGB, IDC_FLUO_APPLY_LABEL,
                                  IDC_FLUO_COOLING_LABEL, IDC_FLUO_TEMPERATURE_LABEL};

CString SelectedText(const CComboBox& combo)
{
    CString text;
    const int sel = combo.GetCurSel();
    if (sel >= 0)
        combo.GetLBText(sel, text);
    return text;
}

}  // namespace

BEGIN_MESSAGE_MAP(CFluorescencePanel, CPanelDialog)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_BN_CLICKED(IDC_FLUO_DEFAULT, OnDefault)
    ON_BN_CLICKED(IDC_FLUO_APPLY, OnApplyCheck)
    ON_BN_CLICKED(IDC_FLUO_BLACK_BALANCE, OnBlackBalance)
    ON_BN_CLICKED(IDC_FLUO_WIZARD, OnFluorescenceWizard)
    ON_MESSAGE(WM_COMBO_SELCHANGED, OnComboSelChanged)
    ON_MESSAGE(WM_SLIDER_MOVING, OnSliderChanged)
    ON_MESSAGE(WM_SLIDER_MOVED, OnSliderChanged)
    ON_MESSAGE(WM_CAMERA_TEMPERATURE, OnCameraTemperature)
END_MESSAGE_MAP()

CFluorescencePanel::CFluorescencePanel(CWnd* pParent)
    : CPanelDialog(IDD, pParent), m_applyFlag(0), m_coolingTarget(-30)
{
    m_colours[0] = RGB(255, 255, 255);
    m_colours[1] = RGB(255, 0, 0);
    m_colours[2] = RGB(0, 255, 0);
    m_colours[3] = RGB(0, 0, 255);
    m_colours[4] = RGB(255, 255, 0);
    m_colours[5] = RGB(0, 255, 255);
    m_colours[6] = RGB(255, 0, 255);
    m_colours[7] = RGB(255, 255, 255);
}

CFluorescencePanel::~CFluorescencePanel()
{
}

void CFluorescencePanel::DoDataExchange(CDataExchange* pDX)
{
    CPanelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FLUO_BLACK_BALANCE, m_blackBalanceButton);
    DDX_Control(pDX, IDC_FLUO_WIZARD, m_wizardButton);
    DDX_Control(pDX, IDC_FLUO_BLACK_EDIT, m_blackLevelEdit);
    DDX_Control(pDX, IDC_FLUO_BLACK_SLIDER, m_blackLevelSlider);
    DDX_Control(pDX, IDC_FLUO_COOLING_EDIT, m_coolingEdit);
    DDX_Control(pDX, IDC_FLUO_COOLING_SLIDER, m_coolingSlider);
    DDX_Control(pDX, IDC_FLUO_TEMPERATURE_EDIT, m_temperatureEdit);
    DDX_Control(pDX, IDC_FLUO_APPLY, m_applyCheck);
    DDX_Control(pDX, IDC_FLUO_DEFAULT, m_defaultButton);
    DDX_Control(pDX, IDC_FLUO_DYE_SLIDER, m_dyeSlider);
    DDX_Control(pDX, IDC_FLUO_DYE_COMBO, m_dyeCombo);
    DDX_Control(pDX, IDC_FLUO_CURRENT_COLOUR, m_currentColourFrame);
    for (int i = 0; i < 7; i++)
        DDX_Control(pDX, IDC_FLUO_SWATCH_RED + i, m_swatches[i]);
    DDX_Check(pDX, IDC_FLUO_APPLY, m_applyFlag);
}

BOOL CFluorescencePanel::PreTranslateMessage(MSG* pMsg)
{
    return PanelPreTranslate(this, pMsg);
}

BOOL CFluorescencePanel::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    for (int id : kTransparentLabels)
        AddTransparentStatic(id);

    CImageStore::Instance()->GetDyeNames(m_dyeNames);
    m_dyeSlider.SetRange(0, (int)m_dyeNames.size() - 1, FALSE);

    DyeTableMap table;
    CImageStore::Instance()->GetDyeTable(table);
    m_dyeCombo.ResetContent();
    for (const auto& entry : table)
        m_dyeCombo.AddString(entry.first);

    m_dye.ApplyDye = 0;
    m_dye.ExWaveLen = 550;
    m_dye.EmWaveLen = 550;
    m_dye.R = m_dye.G = m_dye.B = 255;

    QrCCameraSetHWndReceive(m_hWnd);

    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    LOGFONTW lf = metrics.lfMenuFont;
    lstrcpynW(lf.lfFaceName, L"Arial", LF_FACESIZE);
    m_font.CreateFontIndirect(&lf);

    UpdateControlState();
    LoadDyeFromCamera();
    FinishInitDialog();
    return TRUE;
}

void CFluorescencePanel::OnMakeRest()
{
    m_dyeCombo.SetBitmaps(kComboNormal, kComboPressed, kComboHover, kComboDisabled);
    m_dyeCombo.SetMaxTextLength(25);
    m_dyeSlider.SetChannelBitmaps(IDB_FLUO_DYE_CHANNEL, IDB_FLUO_DYE_CHANNEL, TRUE);
    m_dyeSlider.SetThumbBitmaps(IDB_FLUO_THUMB, IDB_FLUO_THUMB, FALSE);
    m_applyCheck.SetSkin(IDB_FLUO_CHECK_NORMAL, IDB_FLUO_CHECK_PRESSED, 0, IDB_FLUO_CHECK_DISABLED, 0, 0,
                         CSkinBitmapButton::DRAW_NATURAL, 0, 4);
    for (CSkinBitmapButton* button : {&m_defaultButton, &m_blackBalanceButton, &m_wizardButton})
        button->SetSkin(kButtonNormal, kButtonPressed, kButtonHover, kButtonDisabled, 0, 0,
                        CSkinBitmapButton::DRAW_NATURAL, 0, 4);
    m_coolingSlider.SetChannelBitmaps(IDB_FLUO_COOLING_CHANNEL, IDB_FLUO_COOLING_CHANNEL, TRUE);
    m_coolingSlider.SetThumbBitmaps(IDB_FLUO_THUMB, IDB_FLUO_THUMB, TRUE);
    m_blackLevelSlider.SetChannelBitmaps(IDB_FLUO_BLACK_CHANNEL, IDB_FLUO_BLACK_CHANNEL, TRUE);
    m_blackLevelSlider.SetThumbBitmaps(IDB_FLUO_THUMB, IDB_FLUO_THUMB, TRUE);
    for (CSkinEdit* edit : {&m_blackLevelEdit, &m_coolingEdit, &m_temperatureEdit}) {
        edit->SetBitmaps(kEditNormal, kEditDisabled);
        edit->SetFocusRedirect(TRUE, NULL);
    }
}

void CFluorescencePanel::UpdateControlState()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);

    const BOOL dyeOn = mgr.runState == 0 &&
                       ((mgr.sensorKind == SENSOR_KIND_CCD && mgr.mode != 0) || info.productIndex == 30);
    for (int id : kDyeGroup)
        EnableItem(id, dyeOn);

    if (mgr.cameraType == CAMERA_TYPE_NONE) {
        for (int id : kCoolingGroup)
            EnableItem(id, FALSE);
        for (int id : kBlackLevelGroup)
            EnableItem(id, FALSE);
        m_blackBalanceButton.EnableWindow(FALSE);
        m_wizardButton.EnableWindow(FALSE);
        m_coolingSlider.SetRange(-30, 30, FALSE);
        m_blackLevelSlider.SetRange(0, 255, FALSE);
    } else {
        for (int id : kCoolingGroup)
            EnableItem(id, info.Feature(FEATURE_COOLED) != 0);
        for (int id : kBlackLevelGroup)
            EnableItem(id, info.Feature(kFeatureBlackLevel) != 0);
        const BOOL ccd = mgr.sensorKind == SENSOR_KIND_CCD && mgr.mode != 0;
        m_blackBalanceButton.EnableWindow(ccd);
        m_wizardButton.EnableWindow(ccd);
        m_blackLevelSlider.SetRange(0, 255, FALSE);
        m_coolingSlider.SetRange(info.range6[0], info.range6[1], FALSE);
    }
    Invalidate(TRUE);
}

void CFluorescencePanel::EnableItem(int id, BOOL on)
{
    if (CWnd* item = GetDlgItem(id))
        item->EnableWindow(on);
    for (CSkinSlider* slider : {&m_dyeSlider, &m_coolingSlider, &m_blackLevelSlider})
        if (slider->GetSafeHwnd() && slider->GetDlgCtrlID() == id)
            slider->Enable(on);
}

void CFluorescencePanel::SetDegreesText(int id, int degrees)
{
    CString unit;
    unit.LoadString(IDS_FLUO_DEGREES);
    CString text;
    text.Format(L"%d %s", degrees, (LPCWSTR)unit);
    SetDlgItemText(id, text);
}

void CFluorescencePanel::RefreshFromCamera()
{
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);

    // The product default in the current parameters is not what the cooling thread
    // works to: show the set point in force, within the slider's range.
    int target = m_coolingTarget;
    target = std::max(target, m_coolingSlider.m_nMin);
    target = std::min(target, m_coolingSlider.m_nMax);
    m_coolingSlider.SetPos(target);
    SetDegreesText(IDC_FLUO_COOLING_EDIT, target);

    float degrees = 0.0f;
    QrCCameraGetCurTemperature(&degrees);
    SetDegreesText(IDC_FLUO_TEMPERATURE_EDIT, (int)degrees);

    m_blackLevelSlider.SetPos(cur.blackLevel);
    CString text;
    text.Format(L"%d", cur.blackLevel);
    m_blackLevelEdit.SetWindowText(text);
}

void CFluorescencePanel::SelectStoredDye()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    m_dye = mgr.dye;
    m_applyFlag = m_dye.ApplyDye ? 1 : 0;

    DyeTableMap table;
    CImageStore::Instance()->GetDyeTable(table);
    const int entry = StoredDyeEntry(table, m_dyeNames, m_dye.NameIndex, m_dye.ColorIndex);
    m_dyeCombo.SetCurSel(entry);
    m_dyeSlider.SetPos(DyeSliderPosition(m_dyeNames, table, SelectedText(m_dyeCombo),
                                         m_dye.ColorIndex));
}

void CFluorescencePanel::LoadDyeFromCamera()
{
    SelectStoredDye();
    ApplyDye(0);
    UpdateData(FALSE);
    Invalidate(TRUE);
}

void CFluorescencePanel::ShowDyeSettings()
{
    SelectStoredDye();
    ShowCurrentColour(m_dye.R, m_dye.G, m_dye.B);
    UpdateData(FALSE);
    Invalidate(TRUE);
}

void CFluorescencePanel::ShowCurrentColour(int r, int g, int b)
{
    m_colours[0] = RGB(r, g, b);
    CString text;
    text.Format(L"RGB(%03d,%03d,%03d)", r, g, b);
    SetDlgItemText(IDC_FLUO_CURRENT_RGB, text);
    for (int id : {IDC_FLUO_CURRENT_COLOUR, IDC_FLUO_CURRENT_RGB}) {
        CRect rect;
        GetDlgItem(id)->GetWindowRect(&rect);
        ScreenToClient(&rect);
        InvalidateRect(&rect, TRUE);
    }
}

void CFluorescencePanel::ApplyDye(int mode)
{
    DyeTableMap table;
    CImageStore::Instance()->GetDyeTable(table);
    const int sel = m_dyeCombo.GetCurSel();
    if (sel < 0)
        return;
    CString name;
    m_dyeCombo.GetLBText(sel, name);
    auto it = table.find(name);
    if (it == table.end())
        return;
    const DyeRecord& rec = it->second;

    m_dye.ColorIndex = m_dyeSlider.GetPos();
    m_dye.NameIndex = sel;
    m_dye.ExWaveLen = rec.excitation;
    m_dye.EmWaveLen = rec.emission;
    if (mode == 1) {
        m_dye.R = 255; m_dye.G = 0; m_dye.B = 0;
    } else if (mode == 2) {
        m_dye.R = 255; m_dye.G = 0; m_dye.B = 255;
    } else {
        m_dye.R = rec.R; m_dye.G = rec.G; m_dye.B = rec.B;
    }
    m_dye.ApplyDye = m_applyFlag;
    QrCCameraSetFluorescenceDye(&m_dye);
    ShowCurrentColour(m_dye.R, m_dye.G, m_dye.B);
}

void CFluorescencePanel::OnLButtonDown(UINT nFlags, CPoint point)
{
    for (int i = 0; i < 7; i++) {
        const Swatch& swatch = kSwatches[i];
        CWnd* frame = GetDlgItem(swatch.id);
        if (!frame)
            continue;
        CPoint p = point;
        ClientToScreen(&p);
        frame->ScreenToClient(&p);
        CRect rect;
        frame->GetClientRect(&rect);
        if (!rect.PtInRect(p))
            continue;
        const int entry = m_dyeCombo.FindString(0, swatch.dye);
        if (entry >= 0) {
            m_dyeCombo.SetCurSel(entry);
            DyeTableMap table;
            CImageStore::Instance()->GetDyeTable(table);
            m_dyeSlider.SetPos(DyeSliderPosition(m_dyeNames, table, SelectedText(m_dyeCombo),
                                                 m_dyeSlider.GetPos()));
        }
        ApplyDye(swatch.mode);
        m_dyeCombo.Invalidate(FALSE);
        break;
    }
    CPanelDialog::OnLButtonDown(nFlags, point);
}

LRESULT CFluorescencePanel::OnComboSelChanged(WPARAM wParam, LPARAM)
{
    if ((int)wParam != IDC_FLUO_DYE_COMBO)
        return 0;
    DyeTableMap table;
    CImageStore::Instance()->GetDyeTable(table);
    m_dyeSlider.SetPos(DyeSliderPosition(m_dyeNames, table, SelectedText(m_dyeCombo),
                                         m_dyeSlider.GetPos()));
    ApplyDye(0);
    return 0;
}

LRESULT CFluorescencePanel::OnSliderChanged(WPARAM wParam, LPARAM)
{
    switch ((int)wParam) {
    case IDC_FLUO_DYE_SLIDER: {
        const int pos = m_dyeSlider.GetPos();
        if (pos < 0 || pos >= (int)m_dyeNames.size())
            break;
        if (m_dyeNames[pos].Compare(SelectedText(m_dyeCombo)) == 0)
            break;
        m_dyeCombo.SetCurSel(m_dyeCombo.FindString(0, m_dyeNames[pos]));
        ApplyDye(0);
        break;
    }
    case IDC_FLUO_COOLING_SLIDER: {
        const int pos = m_coolingSlider.GetPos();
        QrCCameraSetTemperature((float)pos);
        m_coolingTarget = pos;
        SetDegreesText(IDC_FLUO_COOLING_EDIT, pos);
        break;
    }
    case IDC_FLUO_BLACK_SLIDER: {
        const int pos = m_blackLevelSlider.GetPos();
        QrCCameraSetBlackLevel(pos);
        CString text;
        text.Format(L"%d", pos);
        m_blackLevelEdit.SetWindowText(text);
        break;
    }
    default:
        break;
    }
    return 0;
}

CRect CFluorescencePanel::ChartRect() const
{
    CRect rect;
    GetDlgItem(IDC_FLUO_CHART)->GetWindowRect(&rect);
    ScreenToClient(&rect);
    return rect;
}

LRESULT CFluorescencePanel::OnCameraTemperature(WPARAM, LPARAM)
{
    CRect rect = ChartRect();
    rect.right += 20;
    float degrees = 0.0f;
    QrCCameraGetCurTemperature(&degrees);
    SetDegreesText(IDC_FLUO_TEMPERATURE_EDIT, (int)degrees);
    InvalidateRect(&rect, TRUE);
    UpdateWindow();
    return 0;
}

void CFluorescencePanel::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    PaintSkin(&dc, client);

    for (int i = 0; i < 8; i++) {
        CWnd* frame = GetDlgItem(i == 0 ? IDC_FLUO_CURRENT_COLOUR : IDC_FLUO_SWATCH_RED + i - 1);
        if (!frame)
            continue;
        CRect rect;
        frame->GetClientRect(&rect);
        CClientDC frameDC(frame);
        CBrush brush(m_colours[i]);
        frameDC.FillRect(&rect, &brush);
    }

    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    CFont* oldFont = dc.SelectObject(&m_font);
    CPen grey;
    CPen* oldPen = nullptr;
    if (!info.Feature(FEATURE_COOLED)) {
        grey.CreatePen(PS_SOLID, 2, kChartGrey);
        oldPen = dc.SelectObject(&grey);
        dc.SetTextColor(kChartGrey);
    }
    CRect chart = ChartRect();
    QrCCameraDrawTemperature(&dc, &chart);
    dc.SelectObject(oldFont);
    if (oldPen)
        dc.SelectObject(oldPen);
}

void CFluorescencePanel::OnDefault()
{
    QrCCameraParameterDefault(3);
    LoadDyeFromCamera();
}

void CFluorescencePanel::OnApplyCheck()
{
    UpdateData(TRUE);
    m_dye.ApplyDye = m_applyFlag;
    QrCCameraSetFluorescenceDye(&m_dye);
}

void CFluorescencePanel::OnBlackBalance()
{
    if (CColorParamPanel* colour = Links().colorParam)
        colour->OnBlackBalance();
}

void CFluorescencePanel::OnFluorescenceWizard()
{
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    ShellLinks& links = Links();
    if ((info.productIndex == 24 || info.productIndex == 25) && links.camera)
        links.camera->UseSmallPreviewResolution();
    if (links.exposure)
        links.exposure->EnableLongExposure();

    CFluorescenceWizard wizard(NULL);
    wizard.DoModal();

    if (links.preview) {
        links.preview->FitVideoToWindow();
        links.preview->ApplyZoom();
    }
}
