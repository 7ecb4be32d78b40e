#include "app/image/ImageAdjustPanel.h"
#include "app/browse/FolderPanel.h"
#include "app/browse/ThumbnailListCtrl.h"
#include "app/browse/ThumbnailStrip.h"
#include "app/compose/ComposeMessages.h"
#include "app/compose/ComposeStringIds.h"
#include "app/compose/ImageFusionDialog.h"
#include "app/compose/StitchProgressDialog.h"
#include "app/compose/StitchWorkers.h"
#include "app/store/ImageStore.h"
#include "app/image/LevelsDialog.h"
#include "app/shell/DravenluxDoc.h"
#include "app/shell/DravenluxView.h"
#include "app/shell/MainFrame.h"
#include "app/shell/ShellLinks.h"

namespace {

const UINT kButtonSkin[4] = {194, 196, 195, 197};   // normal, pressed, hover, disabled
const UINT kEditNormal = 294;
const UINT kEditDisabled = 295;
const UINT kChannel = 168;
const UINT kChannelActive = 169;
const UINT kThumb = 165;
const int kStripProgress = 1555;
const int kButtonIds[5] = {IDC_ADJUST_LEVELS, IDC_ADJUST_APPLY, IDC_ADJUST_DEFAULT, IDC_ADJUST_EDOF,
                           IDC_ADJUST_STITCH};

CImageStore* Store()
{
    return Links().store != NULL ? Links().store : CImageStore::Instance();
}

}  // namespace

const CImageAdjustPanel::SliderRow CImageAdjustPanel::kSliderRows[kSliders] = {
    {IDC_ADJUST_BRIGHTNESS, IDC_ADJUST_BRIGHTNESS_VALUE, IDC_ADJUST_BRIGHTNESS_LABEL, -255, 255, 0, 0.0, L"%d",
     &CImageStore::SetBrightness},
    {IDC_ADJUST_GAMMA, IDC_ADJUST_GAMMA_VALUE, IDC_ADJUST_GAMMA_LABEL, 1, 200, 100, 0.01, L"%.2f",
     &CImageStore::SetGamma},
    {IDC_ADJUST_CONTRAST, IDC_ADJUST_CONTRAST_VALUE, IDC_ADJUST_CONTRAST_LABEL, -80, 80, 0, 0.0, L"%d",
     &CImageStore::SetContrast},
    {IDC_ADJUST_SATURATION, IDC_ADJUST_SATURATION_VALUE, IDC_ADJUST_SATURATION_LABEL, -180, 180, 0, 0.0, L"%d",
     &CImageStore::SetSaturation},
    {IDC_ADJUST_SHARPEN, IDC_ADJUST_SHARPEN_VALUE, IDC_ADJUST_SHARPEN_LABEL, 0, 30, 0, 0.1, L"%.1f",
     &CImageStore::SetSharpen},
};

IMPLEMENT_DYNAMIC(CImageAdjustPanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CImageAdjustPanel, CPanelDialog)
    ON_BN_CLICKED(IDC_ADJUST_LEVELS, OnLevels)
    ON_BN_CLICKED(IDC_ADJUST_APPLY, OnApply)
    ON_BN_CLICKED(IDC_ADJUST_DEFAULT, OnDefault)
    ON_BN_CLICKED(IDC_ADJUST_EDOF, OnDepthOfField)
    ON_BN_CLICKED(IDC_ADJUST_STITCH, OnStitch)
    ON_MESSAGE(WM_SLIDER_MOVING, OnSliderMessage)
    ON_MESSAGE(WM_SLIDER_MOVED, OnSliderMessage)
    ON_MESSAGE(WM_STITCH_DONE, OnStitchDone)
    ON_MESSAGE(WM_STITCH_PROGRESS_CLOSED, OnStitchProgressClosed)
END_MESSAGE_MAP()

CImageAdjustPanel::CImageAdjustPanel(CWnd* pParent) : CPanelDialog(IDD, pParent), m_pStitchProgress(NULL) {}

CImageAdjustPanel::~CImageAdjustPanel()
{
    if (m_pStitchProgress != NULL) {
        if (m_pStitchProgress->GetSafeHwnd() != NULL)
            m_pStitchProgress->DestroyWindow();
        delete m_pStitchProgress;
    }
}

int CImageAdjustPanel::RowOf(int sliderId)
{
    for (int i = 0; i < kSliders; ++i)
        if (kSliderRows[i].slider == sliderId)
            return i;
    return -1;
}

int CImageAdjustPanel::GetSliderPos(int id) const
{
    const int row = RowOf(id);
    return row >= 0 ? m_sliders[row].GetPos() : 0;
}

BOOL CImageAdjustPanel::OnInitDialog()
{
    for (const SliderRow& r : kSliderRows)
        AddTransparentStatic(r.label);
    CPanelDialog::OnInitDialog();
    for (int i = 0; i < kSliders; ++i) {
        const SliderRow& r = kSliderRows[i];
        m_sliders[i].SubclassDlgItem(r.slider, this);
        m_sliders[i].SetChannelBitmaps(kChannel, kChannelActive, TRUE);
        m_sliders[i].SetThumbBitmaps(kThumb, kThumb, TRUE);
        m_sliders[i].SetRange(r.minimum, r.maximum);
        m_sliders[i].SetPos(r.neutral);
        m_values[i].SubclassDlgItem(r.value, this);
        m_values[i].SetBitmaps(kEditNormal, kEditDisabled);
        m_values[i].SetFocusRedirect(TRUE);
    }
    m_unusedA.SubclassDlgItem(IDC_ADJUST_UNUSED_A, this);
    m_unusedB.SubclassDlgItem(IDC_ADJUST_UNUSED_B, this);
    for (int i = 0; i < 5; ++i) {
        m_buttons[i].SubclassDlgItem(kButtonIds[i], this);
        m_buttons[i].SetSkin(kButtonSkin[0], kButtonSkin[1], kButtonSkin[2], kButtonSkin[3], 0, 0);
    }
    UpdateControlState();
    ShowValues();
    return TRUE;
}

void CImageAdjustPanel::ShowValue(int row)
{
    const SliderRow& r = kSliderRows[row];
    const int pos = m_sliders[row].GetPos();
    CString text;
    if (r.scale == 0.0)
        text.Format(r.format, pos);
    else
        text.Format(r.format, pos * r.scale);
    AfxSetWindowText(::GetDlgItem(m_hWnd, r.value), text);
}

void CImageAdjustPanel::ShowValues()
{
    if (GetSafeHwnd() == NULL)
        return;
    for (int i = 0; i < kSliders; ++i)
        ShowValue(i);
}

void CImageAdjustPanel::ResetSliders()
{
    if (GetSafeHwnd() == NULL)
        return;
    for (int i = 0; i < kSliders; ++i)
        m_sliders[i].SetPos(kSliderRows[i].neutral);
    ShowValues();
}

void CImageAdjustPanel::UpdateControlState()
{
    if (GetSafeHwnd() == NULL)
        return;
    for (int i = 0; i < kSliders; ++i) {
        GetDlgItem(kSliderRows[i].label)->EnableWindow(TRUE);
        GetDlgItem(kSliderRows[i].value)->EnableWindow(TRUE);
        m_sliders[i].Enable(TRUE);
    }
    for (int id : kButtonIds)
        GetDlgItem(id)->EnableWindow(TRUE);
    Invalidate();
}

LRESULT CImageAdjustPanel::OnSliderMessage(WPARAM wParam, LPARAM)
{
    const int row = RowOf((int)wParam);
    if (row < 0 || m_sliders[row].GetSafeHwnd() == NULL)
        return 0;
    ShowValue(row);
    (Store()->*kSliderRows[row].setter)(m_sliders[row].GetPos());
    return 0;
}

void CImageAdjustPanel::RedrawMainView()
{
    CDravenluxView* view = Links().view;
    if (view == NULL || view->GetSafeHwnd() == NULL)
        return;
    view->RefreshMainView();
    view->Invalidate(FALSE);
}

void CImageAdjustPanel::OnApply()
{
    Store()->ApplyAdjustments();
    RedrawMainView();
    ResetSliders();
}

void CImageAdjustPanel::OnDefault()
{
    Store()->RevertAdjustments();
    RedrawMainView();
    ResetSliders();
}

void CImageAdjustPanel::OnLevels()
{
    CLevelsDialog dialog(NULL);
    dialog.DoModal();
}

void CImageAdjustPanel::OnDepthOfField()
{
    CImageFusionDialog dialog(NULL);
    dialog.DoModal();
}

int CImageAdjustPanel::StartStitch(const CString& folder)
{
    return StartStitchFromFiles(folder, m_hWnd);
}

void CImageAdjustPanel::GetStitchResult(CString& path)
{
    GetStitchResultPath(path);
}

void CImageAdjustPanel::OnStitch()
{
    CString folder;
    if (Links().folder != NULL)
        folder = Links().folder->GetFolderText();
    if (!StartStitch(folder) || m_pStitchProgress != NULL)
        return;
    GetDlgItem(IDC_ADJUST_STITCH)->EnableWindow(FALSE);
    m_pStitchProgress = new CStitchProgressDialog(this);
    if (!m_pStitchProgress->Create(CStitchProgressDialog::IDD, NULL)) {
        delete m_pStitchProgress;
        m_pStitchProgress = NULL;
        GetDlgItem(IDC_ADJUST_STITCH)->EnableWindow(TRUE);
        return;
    }
    CRect area;
    if (Links().frame != NULL && Links().frame->GetSafeHwnd() != NULL) {
        Links().frame->GetClientRect(&area);
        Links().frame->ClientToScreen(&area);
    } else {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    CRect own;
    m_pStitchProgress->GetWindowRect(&own);
    m_pStitchProgress->SetWindowPos(NULL, area.left + (area.Width() - own.Width()) / 2,
                                    area.top + (area.Height() - own.Height()) / 2, 0, 0,
                                    SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_pStitchProgress->ShowWindow(SW_SHOW);
    m_pStitchProgress->StartProgress();
}

LRESULT CImageAdjustPanel::OnStitchDone(WPARAM wParam, LPARAM)
{
    CString status;
    if (wParam != 0) {
        CString path;
        GetStitchResult(path);
        ShellLinks& links = Links();
        if (links.strip != NULL && links.strip->GetSafeHwnd() != NULL)
            if (CWnd* progress = links.strip->GetDlgItem(kStripProgress))
                progress->ShowWindow(SW_SHOW);
        if (links.thumbList != NULL)
            links.thumbList->AddFile(path, 1);
        if (links.strip != NULL)
            links.strip->RefreshAfterChange();
        if (links.doc != NULL)
            links.doc->OnOpenDocument(path);
        if (links.strip != NULL)
            links.strip->UpdateCurrentImageLabel(1);
        status.LoadString(IDS_STITCH_DONE);
    } else {
        status.LoadString(IDS_STITCH_FAILED);
    }
    if (m_pStitchProgress != NULL && m_pStitchProgress->GetSafeHwnd() != NULL) {
        m_pStitchProgress->SetDlgItemText(IDC_STITCH_STATUS, status);
        m_pStitchProgress->Invalidate();
        m_pStitchProgress->UpdateWindow();
        m_pStitchProgress->StopProgress();
    }
    GetDlgItem(IDC_ADJUST_STITCH)->EnableWindow(TRUE);
    return 0;
}

LRESULT CImageAdjustPanel::OnStitchProgressClosed(WPARAM, LPARAM)
{
    if (m_pStitchProgress != NULL) {
        if (m_pStitchProgress->GetSafeHwnd() != NULL)
            m_pStitchProgress->DestroyWindow();
        delete m_pStitchProgress;
        m_pStitchProgress = NULL;
    }
    return 0;
}
