#include "app/measure/MeasurePanel.h"
#include "app/store/ImageStore.h"
#include "app/measure/AuxToolsDialog.h"
#include "app/measure/LayersDialog.h"
#include "app/measure/MeasureStringIds.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/ShellLinks.h"
#include "camera/core/QrCCamera.h"

namespace {

CImageStore* Store()
{
    return Links().store != NULL ? Links().store : CImageStore::Instance();
}

int Mode()
{
    return Links().doc != NULL ? Links().doc->InteractionMode : MODE_NONE;
}

void SetMode(int mode)
{
    if (Links().doc != NULL)
        Links().doc->InteractionMode = mode;
}

BOOL IsLabel(int id)
{
    return id == IDC_MEASURE_LABEL_EXTRA || (id >= IDC_MEASURE_LABEL_FIRST && id <= IDC_MEASURE_LABEL_LAST);
}

}  // namespace

BOOL MeasureLineCallback(POINT& start, POINT& end, POINT& outStart, POINT& outEnd)
{
    return Store()->ApproachLine(start, end, outStart, outEnd);
}

const CMeasurePanel::ButtonRow CMeasurePanel::kButtons[CMeasurePanel::kButtonCount] = {
    {IDC_MEASURE_SCALE_BAR, TRUE, IDS_TIP_SCALE_BAR, &CMeasurePanel::OnScaleBar},
    {IDC_MEASURE_CALIBRATE, FALSE, IDS_TIP_CALIBRATE, &CMeasurePanel::OnCalibrate},
    {IDC_MEASURE_CALIBRATION_TABLE, FALSE, IDS_TIP_CALIBRATION_TABLE, &CMeasurePanel::OnCalibrationTable},
    {IDC_MEASURE_PRECISION, FALSE, IDS_TIP_PRECISION, &CMeasurePanel::OnPrecision},
    {IDC_MEASURE_LIST, FALSE, IDS_TIP_MEASURE_LIST, &CMeasurePanel::OnMeasureList},
    {IDC_MEASURE_LAYERS, FALSE, IDS_TIP_LAYERS, &CMeasurePanel::OnLayers},
    {IDC_MEASURE_CLEAR_ALL, FALSE, IDS_TIP_CLEAR_ALL, &CMeasurePanel::OnClearAll},
    {IDC_MEASURE_LOCK, TRUE, IDS_TIP_LOCK, &CMeasurePanel::OnLock},
    {IDC_MEASURE_RULER, TRUE, IDS_TIP_RULER, &CMeasurePanel::OnRuler},
    {IDC_MEASURE_GRID, FALSE, IDS_TIP_GRID, &CMeasurePanel::OnGrid},
    {IDC_MEASURE_SELECT, TRUE, IDS_TIP_SELECT, &CMeasurePanel::OnSelectTool},
    {IDC_MEASURE_DELETE, TRUE, IDS_TIP_DELETE, &CMeasurePanel::OnToolButton},
    {IDC_MEASURE_LINE, TRUE, IDS_TIP_LINE, &CMeasurePanel::OnToolButton},
    {IDC_MEASURE_POLYLINE, TRUE, IDS_TIP_POLYLINE, &CMeasurePanel::OnToolButton},
    {IDC_MEASURE_PARALLEL, TRUE, IDS_TIP_PARALLEL, &CMeasurePanel::OnToolButton},
    {IDC_MEASURE_POINT_TO_LINE, TRUE, IDS_TIP_POINT_TO_LINE, &CMeasurePanel::OnToolButton},
    {IDC_MEASURE_RECTANGLE, TRUE, IDS_TIP_RECTANGLE, &CMeasurePanel::OnToolButton},
    {IDC_MEASURE_CIRCLE2, TRUE, IDS_TIP_CIRCLE2, &CMeasurePanel::OnToolButton},
    {IDC_MEASURE_CIRCLE3, TRUE, IDS_TIP_CIRCLE3, &CMeasurePanel::OnToolButton},
    {IDC_MEASURE_DIAMETER_CIRCLE, TRUE, IDS_TIP_DIAMETER_CIRCLE, &CMeasurePanel::OnToolButton},
    {IDC_MEASURE_CONCENTRIC, TRUE, IDS_TIP_CONCENTRIC, &CMeasurePanel::OnToolButton},
    {IDC_MEASURE_POLYGON, TRUE, IDS_TIP_POLYGON, &CMeasurePanel::OnToolButton},
    {IDC_MEASURE_ARC, TRUE, IDS_TIP_ARC, &CMeasurePanel::OnToolButton},
    {IDC_MEASURE_ANGLE, TRUE, IDS_TIP_ANGLE, &CMeasurePanel::OnToolButton},
    {IDC_MEASURE_POINT_COUNT, TRUE, IDS_TIP_POINT_COUNT, &CMeasurePanel::OnToolButton},
    {IDC_MEASURE_ANNOTATION, TRUE, IDS_TIP_ANNOTATION, &CMeasurePanel::OnToolButton},
};

IMPLEMENT_DYNAMIC(CMeasurePanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CMeasurePanel, CPanelDialog)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_MEASURE_LOCK, IDC_MEASURE_POLYLINE, OnButton)
END_MESSAGE_MAP()

CMeasurePanel::CMeasurePanel(CWnd* pParent) : CPanelDialog(IDD, pParent), m_bToolsEnabled(TRUE)
{
    for (int i = 0; i < kButtonCount; ++i)
        m_checks[i] = kButtons[i].id == IDC_MEASURE_LOCK ? 1 : 0;
}

CMeasurePanel::~CMeasurePanel() {}

int CMeasurePanel::RowOf(int id)
{
    for (int i = 0; i < kButtonCount; ++i)
        if (kButtons[i].id == id)
            return i;
    return -1;
}

int CMeasurePanel::GetCheck(int id) const
{
    const int row = RowOf(id);
    return row >= 0 ? m_checks[row] : 0;
}

void CMeasurePanel::SetCheck(int id, int on)
{
    const int row = RowOf(id);
    if (row >= 0)
        m_checks[row] = on ? 1 : 0;
}

void CMeasurePanel::DoDataExchange(CDataExchange* pDX)
{
    CPanelDialog::DoDataExchange(pDX);
    for (int i = 0; i < kButtonCount; ++i)
        if (kButtons[i].check)
            DDX_Check(pDX, kButtons[i].id, m_checks[i]);
}

BOOL CMeasurePanel::OnInitDialog()
{
    AddTransparentStatic(IDC_MEASURE_LABEL_EXTRA);
    for (int id = IDC_MEASURE_LABEL_FIRST; id <= IDC_MEASURE_LABEL_LAST; ++id)
        AddTransparentStatic(id);
    CPanelDialog::OnInitDialog();
    Store()->SetLineBackgroundCallback(MeasureLineCallback);
    for (int i = 0; i < kButtonCount; ++i) {
        m_buttons[i].SubclassDlgItem(kButtons[i].id, this);
        const UINT skin = kFirstSkin + 4 * i;
        m_buttons[i].SetSkin(skin, skin + 1, skin + 2, skin + 3, 0, 0);
        CString tip;
        tip.LoadString(kButtons[i].tip);
        m_buttons[i].SetToolTipText(tip);
    }
    UpdateData(FALSE);
    if (!m_bToolsEnabled) EnableAll(FALSE);
    return TRUE;
}

void CMeasurePanel::OnButton(UINT id)
{
    const int row = RowOf((int)id);
    if (row < 0)
        return;
    // The click has already toggled a check button: read the states first.
    UpdateData(TRUE);
    (this->*kButtons[row].action)((int)id);
}

void CMeasurePanel::OnToolButton(int id)
{
    SetMode(MODE_MEASURE);
    CImageStore* store = Store();
    const MeasureTool* tool = FindMeasureToolByButton(id);
    if (store->HasImage() && GetCheck(id) && tool != NULL)
        store->SelectMeasureTool(tool->toolId);
    else
        store->SelectMeasureTool(kToolSelect);
    SyncToolButtons();
    // A drawn unit must never land on the background layer.
    if (id != IDC_MEASURE_DELETE && Links().layers != NULL)
        Links().layers->EnsureWorkLayer();
}

void CMeasurePanel::OnSelectTool(int id)
{
    const BOOL checked = GetCheck(id);
    SetMode(checked ? MODE_MEASURE : MODE_NONE);
    if (Store()->HasImage() && checked) {
        Store()->SelectSelectTool();
        SyncToolButtons();
    }
}

void CMeasurePanel::OnPrecision(int)
{
    if (!Store()->HasImage())
        return;
    Store()->SelectPrecisionTool();
    Store()->InvalidateMeasureTarget();
}

void CMeasurePanel::OnCalibrate(int)
{
    if (Store()->HasImage())
        Store()->Calibrate();
}

void CMeasurePanel::OnCalibrationTable(int)
{
    if (!Store()->HasImage())
        return;
    Store()->ShowCalibrationTable();
    Store()->InvalidateMeasureTarget();
}

void CMeasurePanel::OnMeasureList(int)
{
    if (Store()->HasImage())
        Store()->ShowMeasureList();
}

void CMeasurePanel::OnScaleBar(int id)
{
    if (!Store()->HasImage())
        return;
    Store()->ScaleLine(GetCheck(id));
    SyncToolButtons();
    Store()->InvalidateMeasureTarget();
}

void CMeasurePanel::OnLock(int id)
{
    if (Store()->HasImage())
        Store()->SetKeepItem(GetCheck(id));
}

void CMeasurePanel::OnRuler(int id)
{
    Store()->SetRulerVisible(GetCheck(id));
    Store()->InvalidateMeasureTarget();
}

void CMeasurePanel::OnLayers(int)
{
    CLayersDialog* layers = Links().layers;
    if (layers == NULL || layers->GetSafeHwnd() == NULL)
        return;
    layers->RefreshLayerList();
    CRect r;
    GetWindowRect(&r);
    layers->SetWindowPos(&CWnd::wndTopMost, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

void CMeasurePanel::OnClearAll(int)
{
    CString text, caption;
    text.LoadString(IDS_CLEAR_ALL_QUESTION);
    caption.LoadString(IDS_MEASURE_ATTENTION);
    if (MessageBox(text, caption, MB_YESNO | MB_ICONQUESTION) == IDNO)
        return;
    Store()->ClearMeasurements();
    SyncToolButtons();
    if (Links().layers != NULL)
        Links().layers->RefreshLayerList();
    Store()->InvalidateMeasureTarget();
}

void CMeasurePanel::OnGrid(int)
{
    CImageStore* store = Store();
    CAuxToolsDialog dialog(this);
    dialog.SetGridOn(store->IsGridVisible());
    dialog.SetLineDetection(store->IsLineApproach());
    dialog.SetGridSpacing(store->GetGridSpacing());
    LPCWSTR unit = store->GetUnitName();
    dialog.SetUnitText(unit != NULL ? unit : L"");
    dialog.SetGridColor(store->GetGridColor());
    if (dialog.DoModal() == IDOK) {
        store->SetGridVisible(dialog.GetGridOn());
        store->SetGridSpacing(dialog.GetGridSpacing());
        store->SetGridColor(dialog.GetGridColor());
        store->SetLineApproach(dialog.GetLineDetection());
    }
    store->InvalidateMeasureTarget();
}

void CMeasurePanel::SyncToolButtons()
{
    const int item = Store()->GetCurSelItem();
    const BOOL measuring = Mode() == MODE_MEASURE;
    for (const MeasureTool& tool : kMeasureTools)
        if (tool.button != 0 && tool.itemCode != kNoItemCode)
            SetCheck(tool.button, measuring && item == tool.itemCode);
    if (GetSafeHwnd() != NULL)
        UpdateData(FALSE);
}

BOOL CMeasurePanel::MakeWindow(CWnd* owner)
{
    if (m_hWnd != NULL) return TRUE;
    if (!Create(IDD, owner)) return FALSE;
    ShowWindow(SW_HIDE);
    return TRUE;
}

void CMeasurePanel::EnableAll(BOOL enable)
{
    m_bToolsEnabled = enable;
    if (GetSafeHwnd() == NULL)
        return;
    for (CWnd* child = GetWindow(GW_CHILD); child != NULL; child = child->GetWindow(GW_HWNDNEXT)) {
        const int id = child->GetDlgCtrlID();
        if (RowOf(id) >= 0 || IsLabel(id))
            child->EnableWindow(enable);
    }
    Invalidate();
}

void CMeasurePanel::UpdateControlState()
{
    EnableAll(TRUE);
}

void CMeasurePanel::DisableTools()
{
    EnableAll(FALSE);
    SetCheck(IDC_MEASURE_RULER, 0);
    if (GetSafeHwnd() != NULL)
        UpdateData(FALSE);
    Store()->SetRulerVisible(0);
    Store()->InvalidateMeasureTarget();
}

void CMeasurePanel::Refresh()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (Store()->GetMeasureTarget() == 0 && mgr.runState != 0)
        DisableTools();
    else
        UpdateControlState();
}

void CMeasurePanel::ResetMeasurements()
{
    CImageStore* store = Store();
    store->ClearMeasurements();
    store->ScaleLine(0);
    store->SetKeepItem(1);
    for (int i = 0; i < kButtonCount; ++i) {
        if (!kButtons[i].check || kButtons[i].id == IDC_MEASURE_RULER)
            continue;
        m_checks[i] = kButtons[i].id == IDC_MEASURE_LOCK ? 1 : 0;
    }
    store->InvalidateMeasureTarget();
    if (GetSafeHwnd() != NULL)
        UpdateData(FALSE);
}
