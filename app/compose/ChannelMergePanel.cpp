#include "app/compose/ChannelMergePanel.h"

#include "app/browse/ThumbnailListCtrl.h"
#include "app/browse/ThumbnailStrip.h"
#include "app/compose/ChannelMerge.h"
#include "app/compose/ComposeStringIds.h"
#include "app/compose/CompositionFiles.h"
#include "app/image/CompareWindow.h"
#include "app/image/ComparePane.h"
#include "app/store/ImageRequests.h"
#include "app/store/ImageStore.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/MainFrame.h"
#include "app/shell/ShellLinks.h"
#include "camera/core/QrCCamera.h"

#include <algorithm>
#include <string>

namespace {

const DyeRecord kWhite = {550, 550, 255, 255, 255};
const int kDefaultDyeEntry = 78;    // "Brightfield" in the table's key order
const int kDefaultSliderPosition = 40;
const int kMaxOffset = 50;

// The swatches' preset dyes and colour modes (1 forced red, 2 forced magenta, 0 the
// dye's own).
const struct
{
    const WCHAR* dye;
    int mode;
} kSwatches[7] = {
    {L"7-ADD(7-amino-actinomycin D)", 1}, {L"Fluoro-Jade", 0}, {L"Calcofluor White", 0},
    {L"POPO-3", 0}, {L"Dibromobimane", 0}, {L"FuraZin-1 Em375", 2}, {L"Brightfield", 0},
};

// Controls enabled by the slot state (L: the selected slot loaded, C: coloured).
const int kLoadedNotColoured[] = {IDC_MERGE_DYE_SLIDER, IDC_MERGE_CURRENT_LABEL, IDC_MERGE_CURRENT_RGB,
                                  IDC_MERGE_DYE_LABEL, IDC_MERGE_DYE_LIST, IDC_MERGE_OPTIMIZE,
                                  IDC_MERGE_OPTIMIZE_LABEL, IDC_MERGE_APPLY_COLOUR, IDC_MERGE_IMAGE_LABEL};
const int kLoaded[] = {IDC_MERGE_OFFSET_X_LABEL, IDC_MERGE_OFFSET_Y_LABEL, IDC_MERGE_OFFSET_X,
                       IDC_MERGE_OFFSET_Y, IDC_MERGE_X_PLUS, IDC_MERGE_X_MINUS, IDC_MERGE_Y_PLUS,
                       IDC_MERGE_Y_MINUS, IDC_MERGE_APPLY_OFFSET, IDC_MERGE_CLOSE};
const int kTransparent[] = {IDC_MERGE_OPTIMIZE_LABEL, IDC_MERGE_IMAGE_LABEL, IDC_MERGE_DYE_LABEL,
                            IDC_MERGE_CURRENT_LABEL, IDC_MERGE_CURRENT_RGB, IDC_MERGE_POSITION_LABEL,
                            IDC_MERGE_OFFSET_X_LABEL, IDC_MERGE_OFFSET_Y_LABEL};

const UINT kComboNormal = 624, kComboPressed = 625, kComboDisabled = 626, kComboHover = 627;
const UINT kThumb = 165, kChannel = 645;
const UINT kCheckPressed = 179, kCheckNormal = 180, kCheckDisabled = 181;
const UINT kWideNormal = 677, kWidePressed = 676, kWideHover = 679, kWideDisabled = 678;
const UINT kEditNormal = 294, kEditDisabled = 295;

const ButtonSkin kButtonSkins[] = {
    {IDC_MERGE_START, IDB_COMPOSE_BUTTON_NORMAL, IDB_COMPOSE_BUTTON_PRESSED, IDB_COMPOSE_BUTTON_HOVER, IDB_COMPOSE_BUTTON_DISABLED},
    {IDC_MERGE_CLOSE_ALL, IDB_COMPOSE_BUTTON_NORMAL, IDB_COMPOSE_BUTTON_PRESSED, IDB_COMPOSE_BUTTON_HOVER, IDB_COMPOSE_BUTTON_DISABLED},
    {IDC_MERGE_OPEN, IDB_COMPOSE_BUTTON_NORMAL, IDB_COMPOSE_BUTTON_PRESSED, IDB_COMPOSE_BUTTON_HOVER, IDB_COMPOSE_BUTTON_DISABLED},
    {IDC_MERGE_CLOSE, IDB_COMPOSE_BUTTON_NORMAL, IDB_COMPOSE_BUTTON_PRESSED, IDB_COMPOSE_BUTTON_HOVER, IDB_COMPOSE_BUTTON_DISABLED},
    {IDC_MERGE_APPLY_COLOUR, kWideNormal, kWidePressed, kWideHover, kWideDisabled},
    {IDC_MERGE_ALL, kWideNormal, kWidePressed, kWideHover, kWideDisabled},
    {IDC_MERGE_APPLY_OFFSET, kWideNormal, kWidePressed, kWideHover, kWideDisabled},
    {IDC_MERGE_SLOT0, IDB_MERGE_SLOT_NORMAL, IDB_MERGE_SLOT_PRESSED, IDB_MERGE_SLOT_NORMAL, IDB_MERGE_SLOT_DISABLED},
    {IDC_MERGE_SLOT0 + 1, IDB_MERGE_SLOT_NORMAL, IDB_MERGE_SLOT_PRESSED, IDB_MERGE_SLOT_NORMAL, IDB_MERGE_SLOT_DISABLED},
    {IDC_MERGE_SLOT0 + 2, IDB_MERGE_SLOT_NORMAL, IDB_MERGE_SLOT_PRESSED, IDB_MERGE_SLOT_NORMAL, IDB_MERGE_SLOT_DISABLED},
    {IDC_MERGE_SLOT0 + 3, IDB_MERGE_SLOT_NORMAL, IDB_MERGE_SLOT_PRESSED, IDB_MERGE_SLOT_NORMAL, IDB_MERGE_SLOT_DISABLED},
    {IDC_MERGE_CLOSE_SLOT0, IDB_MERGE_CLOSE_NORMAL, IDB_MERGE_CLOSE_PRESSED, IDB_MERGE_CLOSE_NORMAL, IDB_MERGE_CLOSE_DISABLED},
    {IDC_MERGE_CLOSE_SLOT0 + 1, IDB_MERGE_CLOSE_NORMAL, IDB_MERGE_CLOSE_PRESSED, IDB_MERGE_CLOSE_NORMAL, IDB_MERGE_CLOSE_DISABLED},
    {IDC_MERGE_CLOSE_SLOT0 + 2, IDB_MERGE_CLOSE_NORMAL, IDB_MERGE_CLOSE_PRESSED, IDB_MERGE_CLOSE_NORMAL, IDB_MERGE_CLOSE_DISABLED},
    {IDC_MERGE_CLOSE_SLOT0 + 3, IDB_MERGE_CLOSE_NORMAL, IDB_MERGE_CLOSE_PRESSED, IDB_MERGE_CLOSE_NORMAL, IDB_MERGE_CLOSE_DISABLED},
    {IDC_MERGE_X_PLUS, IDB_MERGE_UP_NORMAL, IDB_MERGE_UP_PRESSED, IDB_MERGE_UP_HOVER, IDB_MERGE_UP_DISABLED},
    {IDC_MERGE_Y_PLUS, IDB_MERGE_UP_NORMAL, IDB_MERGE_UP_PRESSED, IDB_MERGE_UP_HOVER, IDB_MERGE_UP_DISABLED},
    {IDC_MERGE_X_MINUS, IDB_MERGE_DOWN_NORMAL, IDB_MERGE_DOWN_PRESSED, IDB_MERGE_DOWN_HOVER, IDB_MERGE_DOWN_DISABLED},
    {IDC_MERGE_Y_MINUS, IDB_MERGE_DOWN_NORMAL, IDB_MERGE_DOWN_PRESSED, IDB_MERGE_DOWN_HOVER, IDB_MERGE_DOWN_DISABLED},
    {IDC_MERGE_OPTIMIZE, kCheckNormal, kCheckPressed, 0, kCheckDisabled},
};

BOOL CameraKnown()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    return mgr.cameraType != CAMERA_TYPE_NONE;
}

CImageStore* MainStore()
{
    return Links().store ? Links().store : CImageStore::Instance();
}

}  // namespace

IMPLEMENT_DYNAMIC(CChannelMergePanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CChannelMergePanel, CPanelDialog)
    ON_BN_CLICKED(IDC_MERGE_START, OnStart)
    ON_BN_CLICKED(IDC_MERGE_CLOSE_ALL, OnCloseAll)
    ON_COMMAND_RANGE(IDC_MERGE_SLOT0, IDC_MERGE_SLOT0 + 3, OnSlotButton)
    ON_COMMAND_RANGE(IDC_MERGE_CLOSE_SLOT0, IDC_MERGE_CLOSE_SLOT0 + 3, OnCloseSlotButton)
    ON_BN_CLICKED(IDC_MERGE_CLOSE, OnCloseSelected)
    ON_BN_CLICKED(IDC_MERGE_OPEN, OnOpenImage)
    ON_BN_CLICKED(IDC_MERGE_APPLY_COLOUR, OnApplyColor)
    ON_BN_CLICKED(IDC_MERGE_APPLY_OFFSET, OnApplyOffset)
    ON_COMMAND_RANGE(IDC_MERGE_X_PLUS, IDC_MERGE_Y_MINUS, OnOffsetStep)
    ON_BN_CLICKED(IDC_MERGE_ALL, OnMergeAll)
    ON_BN_CLICKED(IDC_MERGE_OPTIMIZE, OnOptimize)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_MESSAGE(WM_MERGE_PANEL_REFRESH, OnMergePanelRefresh)
    ON_MESSAGE(WM_MERGE_SELECT_SLOT, OnMergeSelectSlot)
    ON_MESSAGE(WM_MERGE_LOAD_SLOT, OnMergeLoadSlot)
    ON_MESSAGE(WM_COMBO_SELCHANGED, OnComboSelChanged)
    ON_MESSAGE(WM_SLIDER_MOVING, OnSliderMoved)
    ON_MESSAGE(WM_SLIDER_MOVED, OnSliderMoved)
END_MESSAGE_MAP()

CChannelMergePanel::CChannelMergePanel(CWnd* pParent)
    : CPanelDialog(IDD, pParent), m_optimize(0), m_offsetX(0), m_offsetY(0), m_selectedSlot(0),
      m_chosenImage(0), m_active(0), m_currentColour(kWhite), m_bListsStale(FALSE)
{
    const COLORREF swatches[8] = {RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255),
                                  RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 0, 255), RGB(255, 255, 255)};
    std::copy(swatches, swatches + 8, m_swatchColours);
}

CChannelMergePanel::~CChannelMergePanel() {}

void CChannelMergePanel::DoDataExchange(CDataExchange* pDX)
{
    CPanelDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_MERGE_OPTIMIZE, m_optimize);
    DDX_Text(pDX, IDC_MERGE_OFFSET_X, m_offsetX);
    DDX_Text(pDX, IDC_MERGE_OFFSET_Y, m_offsetY);
}

BOOL CChannelMergePanel::OnInitDialog()
{
    for (int id : kTransparent)
        AddTransparentStatic(id);
    CPanelDialog::OnInitDialog();
    m_dyeList.SubclassDlgItem(IDC_MERGE_DYE_LIST, this);
    m_imageList.SubclassDlgItem(IDC_MERGE_IMAGE_LIST, this);
    m_positionList.SubclassDlgItem(IDC_MERGE_POSITION_LIST, this);
    m_slider.SubclassDlgItem(IDC_MERGE_DYE_SLIDER, this);
    m_offsetXEdit.SubclassDlgItem(IDC_MERGE_OFFSET_X, this);
    m_offsetYEdit.SubclassDlgItem(IDC_MERGE_OFFSET_Y, this);
    FinishInitDialog();
    return TRUE;
}

void CChannelMergePanel::OnMakeRest()
{
    // The bitmaps fill each control: the template's sizes differ from the sets'.
    for (const ButtonSkin& skin : kButtonSkins)
        m_skins.Add(this, skin, CSkinBitmapButton::DRAW_STRETCH, 4);
    for (CSkinComboBox* combo : {&m_dyeList, &m_imageList, &m_positionList}) {
        combo->SetBitmaps(kComboNormal, kComboPressed, kComboHover, kComboDisabled);
        combo->SetMaxTextLength(25);
    }
    m_slider.SetChannelBitmaps(kChannel, kChannel, TRUE);
    m_slider.SetThumbBitmaps(kThumb, kThumb, FALSE);
    for (CSkinEdit* edit : {&m_offsetXEdit, &m_offsetYEdit})
        edit->SetBitmaps(kEditNormal, kEditDisabled);
    m_currentColour = kWhite;
    for (Slot& s : m_slots)
        s.offset = {0, 0};
    MainStore()->GetDyeNames(m_dyeNames);
    m_slider.SetRange(0, std::max(0, int(m_dyeNames.size()) - 1));
    m_positionList.SetCurSel(0);
    UpdateData(FALSE);
    UpdateControlState();
    // Made on a hidden page (built ahead of its first showing), it fills its lists when
    // it first shows: filling is most of its making.
    CWnd* parent = GetParent();
    if (parent != NULL && parent->IsWindowVisible()) RefillLists();
    else m_bListsStale = TRUE;
}

std::vector<CComparePane*> CChannelMergePanel::Panes() const
{
    std::vector<CComparePane*> panes;
    if (Links().compareWindow)
        Links().compareWindow->GetPanes(panes);
    return panes;
}

void CChannelMergePanel::UpdateControlState()
{
    if (!GetSafeHwnd())
        return;
    const BOOL known = CameraKnown();
    const Slot& s = m_slots[m_selectedSlot];
    auto enable = [&](int id, BOOL on) {
        if (CWnd* w = GetDlgItem(id))
            w->EnableWindow(known && on);
    };
    enable(IDC_MERGE_START, !m_active);
    enable(IDC_MERGE_CLOSE_ALL, m_active);
    enable(IDC_MERGE_POSITION_LABEL, m_active);
    BOOL any = FALSE;
    for (int k = 0; k < kSlots; ++k) {
        enable(IDC_MERGE_SLOT0 + k, m_active);
        enable(IDC_MERGE_CLOSE_SLOT0 + k, m_slots[k].loaded);
        any = any || m_slots[k].loaded;
    }
    for (int id : kLoadedNotColoured)
        enable(id, s.loaded && !s.coloured);
    m_slider.Enable(known && s.loaded && !s.coloured);
    for (int id : kLoaded)
        enable(id, s.loaded);
    enable(IDC_MERGE_ALL, any);
    enable(IDC_MERGE_IMAGE_LIST, TRUE);
    enable(IDC_MERGE_OPEN, TRUE);
    Invalidate();
}

void CChannelMergePanel::RefillLists()
{
    if (!GetSafeHwnd() || !Links().thumbList)
        return;
    Links().thumbList->GetFileNames(m_imageFiles);
    m_imageList.ResetContent();
    int select = m_lastOutput.IsEmpty() ? 0 : -1;
    for (size_t i = 0; i < m_imageFiles.size(); ++i) {
        m_imageList.AddString(FileNameOf(m_imageFiles[i]));
        if (select < 0 && m_imageFiles[i] == m_lastOutput)
            select = int(i);
    }
    m_imageList.SetCurSel(select);
    DyeTableMap table;
    MainStore()->GetDyeTable(table);
    m_dyeList.ResetContent();
    for (const auto& entry : table)
        m_dyeList.AddString(entry.first);
    m_dyeList.SetCurSel(kDefaultDyeEntry);
    // The slider shows the default dye's own place in the slider's order.
    CString name;
    if (m_dyeList.GetCurSel() >= 0)
        m_dyeList.GetLBText(m_dyeList.GetCurSel(), name);
    m_slider.SetPos(kDefaultSliderPosition);
    SetSliderToName(name);
    ApplySelectedDye(0);
}

// The slider follows the chosen name: its own place on the slider, or the first dye
// there with the same emission; otherwise it stays.
void CChannelMergePanel::SetSliderToName(const CString& name)
{
    DyeTableMap table;
    MainStore()->GetDyeTable(table);
    m_slider.SetPos(DyeSliderPosition(m_dyeNames, table, name, m_slider.GetPos()));
}

void CChannelMergePanel::ApplySelectedDye(int mode)
{
    const int selected = m_dyeList.GetCurSel();
    if (selected < 0)
        return;
    CString name;
    m_dyeList.GetLBText(selected, name);
    DyeTableMap table;
    MainStore()->GetDyeTable(table);
    auto found = table.find(name);
    if (found == table.end())
        return;
    const DyeRecord& r = found->second;
    int red = r.R, green = r.G, blue = r.B;
    if (mode == 1) {
        red = 255; green = 0; blue = 0;
    } else if (mode == 2) {
        red = 255; green = 0; blue = 255;
    }
    m_currentColour = {r.excitation, r.emission, red, green, blue};
    m_swatchColours[0] = RGB(red, green, blue);
    CString text;
    text.Format(L"RGB(%03d,%03d,%03d)", red, green, blue);
    ::SetDlgItemTextW(m_hWnd, IDC_MERGE_CURRENT_RGB, text);
    for (int id : {IDC_MERGE_CURRENT_COLOUR, IDC_MERGE_CURRENT_RGB}) {
        CRect r2;
        GetDlgItem(id)->GetWindowRect(&r2);
        ScreenToClient(&r2);
        InvalidateRect(&r2);
    }
}

void CChannelMergePanel::SelectDyeByPrefix(const CString& name)
{
    const int found = m_dyeList.FindString(0, name);
    if (found >= 0)
        m_dyeList.SetCurSel(found);
}

LRESULT CChannelMergePanel::OnComboSelChanged(WPARAM wParam, LPARAM)
{
    if (wParam == IDC_MERGE_DYE_LIST) {
        CString name;
        if (m_dyeList.GetCurSel() >= 0)
            m_dyeList.GetLBText(m_dyeList.GetCurSel(), name);
        SetSliderToName(name);
        ApplySelectedDye(0);
    } else if (wParam == IDC_MERGE_IMAGE_LIST) {
        const int selected = m_imageList.GetCurSel();
        if (selected >= 0 && selected < int(m_imageFiles.size()) && Links().doc) {
            Links().doc->SkipMergeOpen = 1;
            Links().doc->OnOpenDocument(m_imageFiles[selected]);
            if (Links().strip) {
                Links().strip->UpdateCurrentImageLabel(1);
                Links().strip->Invalidate();
            }
        }
    } else if (wParam == IDC_MERGE_POSITION_LIST) {
        UpdateControlState();
    }
    return 0;
}

LRESULT CChannelMergePanel::OnSliderMoved(WPARAM wParam, LPARAM lParam)
{
    if (wParam != IDC_MERGE_DYE_SLIDER)
        return 0;
    const int position = int(lParam);
    if (position < 0 || position >= int(m_dyeNames.size()))
        return 0;
    CString current;
    if (m_dyeList.GetCurSel() >= 0)
        m_dyeList.GetLBText(m_dyeList.GetCurSel(), current);
    if (current != m_dyeNames[position]) {
        SelectDyeByPrefix(m_dyeNames[position]);
        ApplySelectedDye(0);
    }
    return 0;
}

void CChannelMergePanel::OnLButtonDown(UINT nFlags, CPoint point)
{
    const Slot& s = m_slots[m_selectedSlot];
    if (CameraKnown() && s.loaded && !s.coloured) {
        for (int k = 0; k < 7; ++k) {
            CRect r;
            GetDlgItem(IDC_MERGE_SWATCH0 + k)->GetWindowRect(&r);
            ScreenToClient(&r);
            if (!r.PtInRect(point))
                continue;
            SelectDyeByPrefix(kSwatches[k].dye);
            // The slider shows the chosen dye's own place, not a fixed number that may
            // name another dye.
            CString chosen;
            if (m_dyeList.GetCurSel() >= 0)
                m_dyeList.GetLBText(m_dyeList.GetCurSel(), chosen);
            SetSliderToName(chosen);
            ApplySelectedDye(kSwatches[k].mode);
            m_dyeList.Invalidate(FALSE);
            break;
        }
    }
    CPanelDialog::OnLButtonDown(nFlags, point);
}

void CChannelMergePanel::OnPaint()
{
    CPanelDialog::OnPaint();
    CClientDC dc(this);
    auto fill = [&](int id, COLORREF colour) {
        CRect r;
        GetDlgItem(id)->GetWindowRect(&r);
        ScreenToClient(&r);
        dc.FillSolidRect(&r, colour);
    };
    for (int k = 0; k < 7; ++k)
        fill(IDC_MERGE_SWATCH0 + k, m_swatchColours[k + 1]);
    fill(IDC_MERGE_CURRENT_COLOUR, m_swatchColours[0]);
    if (m_bListsStale) {
        m_bListsStale = FALSE;
        PostMessage(WM_MERGE_PANEL_REFRESH, 0, 0);
    }
}

void CChannelMergePanel::Message(UINT stringId)
{
    CString text;
    text.LoadString(stringId);
    AfxMessageBox(text, MB_OK);
}

void CChannelMergePanel::OnStart()
{
    m_selectedSlot = 0;
    for (Slot& s : m_slots)
        s.offset = {0, 0};
    if (m_imageFiles.empty()) {
        Message(IDS_NO_IMAGE);
        return;
    }
    LoadSlot(0, 1);
}

void CChannelMergePanel::LoadSlot(int slot, int moveOn)
{
    std::vector<CComparePane*> panes = Panes();
    // A stale index loads nothing.
    if (slot < 0 || slot >= kSlots || slot >= int(panes.size()) || !panes[slot]
        || m_chosenImage < 0 || m_chosenImage >= int(m_imageFiles.size()))
        return;
    const CString path = m_imageFiles[m_chosenImage];
    if (!panes[slot]->OpenFile(path, 0))
        return;
    m_lastLoadedPath = path;
    if (Links().frame)
        Links().frame->ShowCompareWindow(TRUE);
    Slot& s = m_slots[slot];
    s.loaded = 1;
    s.coloured = 0;
    s.offset = {0, 0};
    s.store = panes[slot]->GetStore();
    m_active = 1;
    MainStore()->SetMergeMode(1);
    if (moveOn) {
        m_selectedSlot = std::min(m_selectedSlot + 1, kSlots - 1);
        m_positionList.SetCurSel(m_selectedSlot);
    }
    UpdateControlState();
    if (moveOn)
        ShowSelectedSlot();
}

LRESULT CChannelMergePanel::OnMergePanelRefresh(WPARAM, LPARAM)
{
    // The strip changes with every tab switch; refilling is slow and only a shown panel
    // needs it.
    m_bListsStale = !IsWindowVisible();
    if (!m_bListsStale) RefillLists();
    return 0;
}

LRESULT CChannelMergePanel::OnMergeSelectSlot(WPARAM wParam, LPARAM)
{
    m_chosenImage = int(wParam);
    m_imageList.SetCurSel(int(wParam));
    return 0;
}

LRESULT CChannelMergePanel::OnMergeLoadSlot(WPARAM, LPARAM)
{
    LoadSlot(m_selectedSlot, 1);
    return 0;
}

void CChannelMergePanel::OnOpenImage()
{
    const int image = m_imageList.GetCurSel();
    const int slot = m_positionList.GetCurSel();
    if (image < 0 || image >= int(m_imageFiles.size()) || slot < 0 || slot >= kSlots)
        return;
    m_chosenImage = image;
    LoadSlot(slot, 0);
}

void CChannelMergePanel::OnSlotButton(UINT id)
{
    UpdateData(TRUE);
    m_selectedSlot = int(id - IDC_MERGE_SLOT0);
    UpdateControlState();
    ShowSelectedSlot();
}

void CChannelMergePanel::ShowSelectedSlot()
{
    for (int k = 0; k < kSlots; ++k)
        CheckDlgButton(IDC_MERGE_SLOT0 + k, k == m_selectedSlot ? BST_CHECKED : BST_UNCHECKED);
    m_offsetX = m_slots[m_selectedSlot].offset.x;
    m_offsetY = m_slots[m_selectedSlot].offset.y;
    UpdateData(FALSE);
}

void CChannelMergePanel::OnApplyColor()
{
    std::vector<CComparePane*> panes = Panes();
    if (m_selectedSlot >= int(panes.size()) || !m_slots[m_selectedSlot].loaded)
        return;
    CImageStore* store = panes[m_selectedSlot]->GetStore();
    ChannelColorRequest request;
    request.optimize = m_optimize;
    request.colours.push_back(m_currentColour);
    if (!store || !MainStore()->ApplyChannelColor(request, store, 1))
        return;
    store->ApplyAdjustments();
    m_slots[m_selectedSlot].coloured = 1;
    panes[m_selectedSlot]->Invalidate();
    panes[m_selectedSlot]->UpdateWindow();
    m_selectedSlot = std::min(m_selectedSlot + 1, kSlots - 1);
    m_positionList.SetCurSel(m_selectedSlot);
    UpdateControlState();
    ShowSelectedSlot();
}

void CChannelMergePanel::OnOffsetStep(UINT id)
{
    UpdateData(TRUE);
    switch (id) {
    case IDC_MERGE_X_PLUS: m_offsetX = std::min(m_offsetX + 1, kMaxOffset); break;
    case IDC_MERGE_X_MINUS: m_offsetX = std::max(m_offsetX - 1, -kMaxOffset); break;
    case IDC_MERGE_Y_PLUS: m_offsetY = std::min(m_offsetY + 1, kMaxOffset); break;
    case IDC_MERGE_Y_MINUS: m_offsetY = std::max(m_offsetY - 1, -kMaxOffset); break;
    }
    UpdateData(FALSE);
}

void CChannelMergePanel::OnApplyOffset()
{
    UpdateData(TRUE);
    m_offsetX = std::clamp(m_offsetX, -kMaxOffset, kMaxOffset);
    m_offsetY = std::clamp(m_offsetY, -kMaxOffset, kMaxOffset);
    std::vector<CComparePane*> panes = Panes();
    if (m_selectedSlot >= int(panes.size()) || !m_slots[m_selectedSlot].loaded)
        return;
    CImageStore* store = panes[m_selectedSlot]->GetStore();
    if (store) {
        // From the committed picture each time: offsets are not cumulative.
        store->RevertAdjustments();
        CImageStore::ShiftImage(store, m_offsetX, m_offsetY);
    }
    panes[m_selectedSlot]->Invalidate();
    panes[m_selectedSlot]->UpdateWindow();
    m_slots[m_selectedSlot].offset = {m_offsetX, m_offsetY};
}

void CChannelMergePanel::OnOptimize()
{
    UpdateData(TRUE);
}

void CChannelMergePanel::CloseSlot(int slot)
{
    if (slot < 0 || slot >= kSlots)
        return;
    std::vector<CComparePane*> panes = Panes();
    if (slot < int(panes.size()))
        panes[slot]->ReleaseImages();
    m_slots[slot].loaded = 0;
    m_slots[slot].coloured = 0;
    if (Links().frame)
        Links().frame->ShowCompareWindow(TRUE);
    bool any = false;
    for (const Slot& s : m_slots)
        any = any || s.loaded;
    if (!any) {
        MainStore()->SetMergeMode(0);
        if (Links().frame)
            Links().frame->ShowCompareWindow(FALSE);
        m_active = 0;
        ShowSelectedSlot();
    }
    UpdateControlState();
}

void CChannelMergePanel::OnCloseSlotButton(UINT id)
{
    CloseSlot(int(id - IDC_MERGE_CLOSE_SLOT0));
}

void CChannelMergePanel::OnCloseSelected()
{
    CloseSlot(m_selectedSlot);
}

void CChannelMergePanel::OnCloseAll()
{
    for (CComparePane* pane : Panes())
        pane->ReleaseImages();
    for (Slot& s : m_slots) {
        s.loaded = 0;
        s.coloured = 0;
    }
    m_active = 0;
    if (Links().frame)
        Links().frame->ShowCompareWindow(FALSE);
    MainStore()->SetMergeMode(0);
    UpdateControlState();
}

int CChannelMergePanel::MergeAll()
{
    const CString extension = FileExtensionOf(m_lastLoadedPath);
    const CString folder = FolderOf(m_lastLoadedPath);
    if (extension.IsEmpty() || folder.IsEmpty())
        return CHANNEL_MERGE_FAILED;
    CString output = folder + L"combine" + extension;
    MakeUniqueFileName(output);
    std::vector<CComparePane*> panes = Panes();
    std::vector<CImageStore*> stores;
    std::vector<POINT> offsets;
    for (int k = 0; k < kSlots && k < int(panes.size()); ++k) {
        if (!m_slots[k].loaded)
            continue;
        CImageStore* store = panes[k]->GetStore();
        // An uncoloured channel goes in white (its grey levels in all three).
        if (!m_slots[k].coloured) {
            ChannelColorRequest request;
            request.optimize = m_optimize;
            request.colours.push_back(kWhite);
            MainStore()->ApplyChannelColor(request, store, 0);
        }
        stores.push_back(store);
        offsets.push_back(m_slots[k].offset);
    }
    const int result = MainStore()->MergeChannels(stores, offsets, output);
    if (result == CHANNEL_MERGE_DONE)
        m_lastOutput = output;
    return result;
}

void CChannelMergePanel::OnMergeAll()
{
    UpdateData(TRUE);
    const int result = MergeAll();
    if (result == CHANNEL_MERGE_SIZES_DIFFER) {
        Message(IDS_SIZE_MISMATCH);
        return;
    }
    if (result != CHANNEL_MERGE_DONE) {
        Message(IDS_MERGE_FAILED);
        return;
    }
    std::vector<CComparePane*> panes = Panes();
    for (int k = 0; k < kSlots; ++k) {
        if (!m_slots[k].loaded)
            continue;
        m_slots[k].loaded = 0;
        m_slots[k].coloured = 0;
        if (k < int(panes.size()))
            panes[k]->ReleaseImages();
    }
    m_selectedSlot = 0;
    m_positionList.SetCurSel(0);
    m_active = 0;
    MainStore()->SetMergeMode(0);
    UpdateControlState();
    if (Links().strip && Links().strip->GetSafeHwnd())
        if (CWnd* progress = Links().strip->GetDlgItem(IDC_STRIP_PROGRESS))
            progress->ShowWindow(SW_SHOW);
    if (Links().thumbList)
        Links().thumbList->AddFile(m_lastOutput, 1);
    if (Links().strip)
        Links().strip->RefreshAfterChange();
    if (Links().doc)
        Links().doc->OnOpenDocument(m_lastOutput);
    if (Links().frame)
        Links().frame->ShowCompareWindow(FALSE);
    if (Links().strip)
        Links().strip->UpdateCurrentImageLabel(0);
    RefillLists();
    Invalidate();
}
