#include "app/fluorescence/FluorescenceWizard.h"

#include "app/shell/AppDirectory.h"
#include "app/shell/ShellLinks.h"
#include "app/store/ImageStore.h"
#include "app/shell/CapturePage.h"
#include "app/capture/ExposurePanel.h"

IMPLEMENT_DYNAMIC(CFluorescenceWizard, CDialog)

namespace {

// The product whose guide can run at a reduced resolution.
const int kSpeedUpProduct = 25;

const int kTransparentStatics[] = {IDC_FLUO_CURRENT_LABEL, IDC_FLUO_CURRENT_RGB,
                                   IDC_FLUW_GUIDE_TEXT, IDC_FLUW_STAIN_LABEL,
                                   IDC_FLUW_SPEEDUP_LABEL, IDC_FLUW_ENHANCE_LABEL,
                                   IDC_FLUW_ENHANCE_VALUE, IDC_FLUW_APPLY_LABEL};

}  // namespace

BEGIN_MESSAGE_MAP(CFluorescenceWizard, CDialog)
    ON_WM_CTLCOLOR()
    ON_WM_PAINT()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_FLUW_IMAGE_STEP, OnImageStep)
    ON_BN_CLICKED(IDC_FLUW_OPTIMISE_STEP, OnOptimiseStep)
    ON_BN_CLICKED(IDC_FLUW_FINISH, OnFinish)
    ON_BN_CLICKED(IDC_FLUW_SPEEDUP, OnCheckClicked)
    ON_BN_CLICKED(IDC_FLUO_DEFAULT, OnDefault)
    ON_BN_CLICKED(IDC_FLUW_APPLY, OnApplyCheck)
    ON_MESSAGE(WM_CAMERA_FRAME_STATUS, OnCameraFrameStatus)
    ON_MESSAGE(WM_SLIDER_MOVING, OnSliderChanged)
    ON_MESSAGE(WM_SLIDER_MOVED, OnSliderChanged)
END_MESSAGE_MAP()

CFluorescenceWizard::CFluorescenceWizard(CWnd* pParent)
    : CDialog(IDD, pParent), m_speedUp(1), m_applyFlag(0), m_savedDrawDC(nullptr),
      m_savedDrawWnd(nullptr), m_savedShowRect(), m_savedParams(), m_speedUpSwitched(FALSE), m_step(0), m_colour(RGB(255, 255, 255)),
      m_hBackground(nullptr), m_hMemDC(nullptr), m_oldBitmap(nullptr)
{
}

CFluorescenceWizard::~CFluorescenceWizard()
{
    if (m_hMemDC) {
        SelectObject(m_hMemDC, m_oldBitmap);
        DeleteDC(m_hMemDC);
    }
    if (m_hBackground)
        DeleteObject(m_hBackground);
}

void CFluorescenceWizard::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FLUO_DYE_COMBO, m_dyeCombo);
    DDX_Control(pDX, IDC_FLUO_CURRENT_COLOUR, m_currentColourFrame);
    DDX_Control(pDX, IDC_FLUO_DEFAULT, m_defaultButton);
    DDX_Control(pDX, IDC_FLUW_APPLY, m_applyCheck);
    DDX_Control(pDX, IDC_FLUW_DYE_SLIDER, m_dyeSlider);
    DDX_Control(pDX, IDC_FLUW_SPEEDUP, m_speedUpCheck);
    DDX_Control(pDX, IDC_FLUW_FINISH, m_finishButton);
    DDX_Control(pDX, IDC_FLUW_OPTIMISE_STEP, m_optimiseButton);
    DDX_Control(pDX, IDC_FLUW_IMAGE_STEP, m_imageButton);
    DDX_Check(pDX, IDC_FLUW_SPEEDUP, m_speedUp);
    DDX_Check(pDX, IDC_FLUW_APPLY, m_applyFlag);
}

BOOL CFluorescenceWizard::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_hBackground = (HBITMAP)LoadImageW(nullptr, AppPath(L"skin\\panel_small_bg.bmp"), IMAGE_BITMAP,
                                        0, 0, LR_LOADFROMFILE);
    if (m_hBackground) {
        HDC dc = ::GetDC(m_hWnd);
        m_hMemDC = CreateCompatibleDC(dc);
        ::ReleaseDC(m_hWnd, dc);
        m_oldBitmap = SelectObject(m_hMemDC, m_hBackground);
    }

    for (CSkinBitmapButton* button : {&m_imageButton, &m_optimiseButton, &m_finishButton, &m_defaultButton})
        button->SetSkin(IDB_FLUW_BUTTON_NORMAL, IDB_FLUW_BUTTON_PRESSED, IDB_FLUW_BUTTON_HOVER,
                        IDB_FLUW_BUTTON_DISABLED, 0, 0, CSkinBitmapButton::DRAW_NATURAL, 0, 4);
    for (CSkinBitmapButton* check : {&m_speedUpCheck, &m_applyCheck})
        check->SetSkin(IDB_FLUO_CHECK_NORMAL, IDB_FLUO_CHECK_PRESSED, 0, IDB_FLUO_CHECK_DISABLED, 0, 0,
                       CSkinBitmapButton::DRAW_NATURAL, 0, 4);
    m_dyeSlider.SetChannelBitmaps(IDB_FLUO_DYE_CHANNEL, IDB_FLUO_DYE_CHANNEL, TRUE);
    m_dyeSlider.SetThumbBitmaps(IDB_FLUO_THUMB, IDB_FLUO_THUMB, FALSE);

    // The live picture comes here while the wizard is open.
    HWND picture = GetDlgItem(IDC_FLUW_PICTURE)->m_hWnd;
    QrCCameraGetDrawHDC(&m_savedDrawDC);
    m_savedDrawWnd = m_savedDrawDC ? WindowFromDC(m_savedDrawDC) : nullptr;
    QrCCameraSetDrawHWnd(picture);
    QrCCameraGetShowRect(&m_savedShowRect);
    QrCCameraGetCurParameter(&m_savedParams);
    CRect frame;
    ::GetWindowRect(picture, &frame);
    RECT show = {0, 0, frame.Width(), frame.Height()};
    QrCCameraSetShowRect(&show);

    m_imageButton.EnableWindow(TRUE);
    m_optimiseButton.EnableWindow(FALSE);

    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    const BOOL speedUp = info.productIndex == kSpeedUpProduct;
    m_speedUpCheck.EnableWindow(speedUp);
    GetDlgItem(IDC_FLUW_SPEEDUP_LABEL)->EnableWindow(speedUp);

    DyeTableMap table;
    CImageStore::Instance()->GetDyeTable(table);
    m_dyeCombo.ResetContent();
    for (const auto& entry : table)
        m_dyeCombo.AddString(entry.first);

    LoadDyeFromCamera();
    UpdateData(FALSE);
    Invalidate(TRUE);
    return TRUE;
}

void CFluorescenceWizard::InvalidateItem(int id)
{
    CRect rect;
    GetDlgItem(id)->GetWindowRect(&rect);
    ScreenToClient(&rect);
    InvalidateRect(&rect, TRUE);
}

void CFluorescenceWizard::ShowCurrentColour(int r, int g, int b)
{
    m_colour = RGB(r, g, b);
    CString text;
    text.Format(L"RGB(%03d,%03d,%03d)", r, g, b);
    SetDlgItemText(IDC_FLUO_CURRENT_RGB, text);
    InvalidateItem(IDC_FLUO_CURRENT_COLOUR);
    InvalidateItem(IDC_FLUO_CURRENT_RGB);
}

void CFluorescenceWizard::LoadDyeFromCamera()
{
    CImageStore::Instance()->GetDyeNames(m_dyeNames);
    m_dyeSlider.SetRange(0, (int)m_dyeNames.size() - 1, FALSE);

    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    m_dye = mgr.dye;
    m_applyFlag = m_dye.ApplyDye ? 1 : 0;
    DyeTableMap table;
    CImageStore::Instance()->GetDyeTable(table);
    const int entry = StoredDyeEntry(table, m_dyeNames, m_dye.NameIndex, m_dye.ColorIndex);
    m_dyeCombo.SetCurSel(entry);
    CString name;
    if (entry >= 0)
        m_dyeCombo.GetLBText(entry, name);
    m_dyeSlider.SetPos(DyeSliderPosition(m_dyeNames, table, name, m_dye.ColorIndex));
    ShowCurrentColour(m_dye.R, m_dye.G, m_dye.B);
    UpdateData(FALSE);
}

void CFluorescenceWizard::ApplyDyeFromSlider()
{
    DyeTableMap table;
    CImageStore::Instance()->GetDyeTable(table);
    const int pos = m_dyeSlider.GetPos();
    if (pos < 0 || pos >= (int)m_dyeNames.size())
        return;
    const CString& name = m_dyeNames[pos];
    auto it = table.find(name);
    if (it == table.end())
        return;
    m_dye.ColorIndex = pos;
    m_dye.NameIndex = m_dyeCombo.FindString(0, name);
    m_dye.ExWaveLen = it->second.excitation;
    m_dye.EmWaveLen = it->second.emission;
    m_dye.R = it->second.R;
    m_dye.G = it->second.G;
    m_dye.B = it->second.B;
    m_dye.ApplyDye = m_applyFlag;
    QrCCameraSetFluorescenceDye(&m_dye);
    ShowCurrentColour(m_dye.R, m_dye.G, m_dye.B);
}

LRESULT CFluorescenceWizard::OnSliderChanged(WPARAM wParam, LPARAM)
{
    if ((int)wParam == IDC_FLUW_DYE_SLIDER)
        ApplyDyeFromSlider();
    return 0;
}

void CFluorescenceWizard::OnImageStep()
{
    m_step = 1;
    m_imageButton.EnableWindow(FALSE);
    m_optimiseButton.EnableWindow(FALSE);
    m_speedUpCheck.EnableWindow(FALSE);
    GetDlgItem(IDC_FLUW_SPEEDUP_LABEL)->EnableWindow(FALSE);
    if (m_speedUp) {
        QrCCameraFluoSpeedupRes(0);
        m_speedUpSwitched = TRUE;
    }
    QrCCameraFluorescenceGuide(this, 1);
}

void CFluorescenceWizard::OnOptimiseStep()
{
    m_imageButton.EnableWindow(FALSE);
    m_optimiseButton.EnableWindow(FALSE);
    m_step = 2;
    QrCCameraFluorescenceGuide(this, 2);
}

CString CFluorescenceWizard::ResultText(const CString& caption, unsigned exposureMicros, int gain)
{
    CString exposureLabel, gainLabel;
    exposureLabel.LoadString(IDS_FLUO_EXPOSURE_LABEL);
    gainLabel.LoadString(IDS_FLUO_GAIN_LABEL);
    const float seconds = (float)exposureMicros * 0.000001f;
    const float decibels = (float)gain * 0.0351f + 6.0f;
    CString lines;
    lines.Format(L"\r\n%s%.2fS\r\n%s%.3fdB", (LPCWSTR)exposureLabel, (double)seconds,
                 (LPCWSTR)gainLabel, (double)decibels);
    return CString(L"\r\n\r\n") + caption + lines;
}

void CFluorescenceWizard::ShowResult()
{
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    CString caption;
    GetWindowText(caption);
    SetDlgItemText(IDC_FLUW_GUIDE_TEXT, ResultText(caption, (unsigned)cur.exposureTime, cur.gain));
}

LRESULT CFluorescenceWizard::OnCameraFrameStatus(WPARAM, LPARAM)
{
    if (m_step == 1) {
        QrCCameraReadValue();
        ShowResult();
        m_imageButton.EnableWindow(TRUE);
        m_optimiseButton.EnableWindow(TRUE);
        if (CExposurePanel* exposure = Links().exposure)
            exposure->RefreshFromCamera();
    } else if (m_step == 2) {
        QrCCameraFluoSpeedupRes(1);
        QrCCameraReadValue();
        ShowResult();
        m_imageButton.EnableWindow(TRUE);
        m_optimiseButton.EnableWindow(FALSE);
    }
    InvalidateItem(IDC_FLUW_GUIDE_TEXT);
    InvalidateItem(IDC_FLUW_SPEEDUP_LABEL);
    return 0;
}

void CFluorescenceWizard::OnOK()
{
    // Enter presses the default button.
    OnFinish();
}

void CFluorescenceWizard::OnFinish()
{
    QrCCameraFluoSpeedupRes(1);
    QrCCameraReadValue();
    if (CCapturePage* page = Links().capturePage) {
        page->RefreshAllPanels();
        if (page->GetSafeHwnd())
            page->Invalidate(TRUE);
    }
    EndDialog(IDOK);
}

// Escape and the close box: the camera goes back to the resolution, exposure and gain
// it had when the wizard opened (the drawing and shown rectangle follow in OnDestroy).
void CFluorescenceWizard::OnCancel()
{
    QrCCameraFluorescenceGuide(NULL, 0);
    if (m_speedUpSwitched)
        QrCCameraFluoSpeedupRes(1);
    if (!m_savedParams.aeOn)
        QrCCameraSetExposureTimeMS(m_savedParams.exposureTime, 1);
    QrCCameraSetAnalogGain(m_savedParams.gain);
    QrCCameraReadValue();
    if (m_step != 0)   // the image step showed the guide's values there
        if (CExposurePanel* exposure = Links().exposure)
            exposure->RefreshFromCamera();
    CDialog::OnCancel();
}

void CFluorescenceWizard::OnCheckClicked()
{
    UpdateData(TRUE);
}

void CFluorescenceWizard::OnDefault()
{
    QrCCameraParameterDefault(3);
    LoadDyeFromCamera();
}

void CFluorescenceWizard::OnApplyCheck()
{
    UpdateData(TRUE);
    m_dye.ApplyDye = m_applyFlag;
    QrCCameraSetFluorescenceDye(&m_dye);
}

void CFluorescenceWizard::OnDestroy()
{
    CDialog::OnDestroy();
    // The grab thread must stop addressing this window before it goes.
    QrCCameraFluorescenceGuide(NULL, 0);
    QrCCameraSetShowRect(&m_savedShowRect);
    // Taking our frame's context made the library give back the one it had taken for
    // the earlier window; a fresh one of that window is what can still be drawn into.
    if (m_savedDrawWnd && ::IsWindow(m_savedDrawWnd))
        QrCCameraSetDrawHWnd(m_savedDrawWnd);
    else
        QrCCameraSetDrawHDC(m_savedDrawDC);
}

void CFluorescenceWizard::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    if (m_hMemDC) {
        BITMAP bm = {};
        GetObject(m_hBackground, sizeof(bm), &bm);
        StretchBlt(dc.m_hDC, 0, 0, client.Width(), client.Height(), m_hMemDC, 0, 0, bm.bmWidth,
                   bm.bmHeight, SRCCOPY);
    } else {
        FillRect(dc.m_hDC, &client, GetSysColorBrush(COLOR_BTNFACE));
    }
    CRect rect;
    m_currentColourFrame.GetClientRect(&rect);
    CClientDC frameDC(&m_currentColourFrame);
    CBrush brush(m_colour);
    frameDC.FillRect(&rect, &brush);
}

HBRUSH CFluorescenceWizard::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    const int id = pWnd ? pWnd->GetDlgCtrlID() : 0;
    for (int transparent : kTransparentStatics) {
        if (id == transparent) {
            pDC->SetBkMode(TRANSPARENT);
            return (HBRUSH)GetStockObject(HOLLOW_BRUSH);
        }
    }
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}
