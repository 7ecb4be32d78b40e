#include "app/capture/VideoSettingsDialog.h"
#include "app/capture/CaptureStringIds.h"

IMPLEMENT_DYNAMIC(CVideoSettingsDialog, CPanelDialog)

namespace {

const UINT kButtonNormal = 194, kButtonHover = 195, kButtonPressed = 196, kButtonDisabled = 197;
const UINT kRadioNormal = 183, kRadioPressed = 182, kRadioDisabled = 184;
const UINT kCheckNormal = 180, kCheckPressed = 179, kCheckDisabled = 181;
const UINT kEditNormal = 294, kEditDisabled = 295;

// Stop value ranges: seconds when recording by time, else frames.
const int kMaxStopSeconds = 7200;
const int kMaxStopFrames = 10000;
const int kMaxIntervalSeconds = 86400;
const int kMaxRate = 100;

const COLORREF kBandColour = 0xFAFAFA;
const COLORREF kGroupTextColour = 0xE3DCD8;
const int kBandHeight = 20;

const int kTransparentLabels[] = {IDC_VS_INTERVAL_LABEL, IDC_VS_COMPRESS_LABEL, IDC_VS_INTERVAL_UNIT, IDC_VS_TITLE,
                                  IDC_VS_MANUAL_LABEL,   IDC_VS_AUTO_LABEL,     IDC_VS_AUTO_STOP_LABEL,
                                  IDC_VS_MODE_LABEL,     IDC_VS_RATE_LABEL,     IDC_VS_RATE_UNIT};
const int kGroups[] = {IDC_VS_CODEC_GROUP, IDC_VS_STOP_GROUP, IDC_VS_OTHER_GROUP};

// Compressors the camera library records with; any other code it records uncompressed.
const DWORD kRecordingCompressors[] = {
    mmioFOURCC('M', 'P', '4', '2'), mmioFOURCC('M', 'P', 'G', '4'), mmioFOURCC('W', 'M', 'V', '3'),
    mmioFOURCC('A', 'C', 'D', 'V'), mmioFOURCC('H', 'F', 'Y', 'U'), mmioFOURCC('X', 'V', 'I', 'D'),
};

BOOL Contains(const int* ids, size_t count, int id)
{
    for (size_t i = 0; i < count; i++)
        if (ids[i] == id) return TRUE;
    return FALSE;
}

// The description as the list keeps it: through the ANSI code page, at most 256 bytes.
CString ListedDescription(const WCHAR* description)
{
    char ansi[256] = {};
    // A description longer than the buffer is cut, not dropped.
    ::WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK | WC_DEFAULTCHAR, description, -1, ansi, sizeof(ansi), NULL,
                          NULL);
    ansi[sizeof(ansi) - 1] = 0;
    WCHAR wide[257] = {};
    ::MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, 256);
    return CString(wide);
}

} // namespace

BEGIN_MESSAGE_MAP(CVideoSettingsDialog, CPanelDialog)
    ON_BN_CLICKED(IDC_VS_CONFIGURE, OnConfigure)
    ON_BN_CLICKED(IDC_VS_MANUAL, OnManualStop)
    ON_BN_CLICKED(IDC_VS_AUTO, OnAutoStop)
    ON_MESSAGE(WM_COMBO_SELCHANGED, OnComboSelChanged)
    ON_WM_NCHITTEST()
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CVideoSettingsDialog::CVideoSettingsDialog(CWnd* pParent, CCompressorCatalog* catalog)
    : CPanelDialog(IDD, pParent), m_pCatalog(catalog != NULL ? catalog : &CCompressorCatalog::System()),
      m_nSelected(0), m_bConfigurable(FALSE)
{
}

CVideoSettingsDialog::~CVideoSettingsDialog() {}

BOOL CVideoSettingsDialog::IsRecordingCompressor(DWORD handler)
{
    for (DWORD fcc : kRecordingCompressors)
        if (fcc == handler) return TRUE;
    return FALSE;
}

void CVideoSettingsDialog::DoDataExchange(CDataExchange* pDX)
{
    CPanelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_VS_COMPRESSOR, m_compressorCombo);
    DDX_Control(pDX, IDC_VS_UNIT, m_unitCombo);
    DDX_Control(pDX, IDC_VS_CONFIGURE, m_configureButton);
    DDX_Control(pDX, IDC_VS_MANUAL, m_manualRadio);
    DDX_Control(pDX, IDC_VS_AUTO, m_autoRadio);
    DDX_Control(pDX, IDC_VS_MODE, m_modeCheck);
    DDX_Control(pDX, IDOK, m_okButton);
    DDX_Control(pDX, IDCANCEL, m_cancelButton);
    DDX_Control(pDX, IDC_VS_STOP_VALUE, m_stopEdit);
    DDX_Control(pDX, IDC_VS_INTERVAL, m_intervalEdit);
    DDX_Control(pDX, IDC_VS_RATE, m_rateEdit);
}

// Escape cancels here, unlike in the panels.
BOOL CVideoSettingsDialog::PreTranslateMessage(MSG* pMsg) { return CDialog::PreTranslateMessage(pMsg); }

BOOL CVideoSettingsDialog::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    CRect window;
    GetWindowRect(&window);
    SetWindowRgn(::CreateRoundRectRgn(0, 0, window.Width(), window.Height(), 18, 15), TRUE);

    CString title;
    title.LoadString(IDS_VIDEO_SETTINGS_TITLE);
    SetDlgItemText(IDC_VS_TITLE, title);
    SetWindowText(title);

    m_compressorCombo.SetBitmaps(624, 625, 627, 626);
    m_unitCombo.SetBitmaps(307, 304, 306, 305);
    for (CSkinBitmapButton* button : {&m_configureButton, &m_okButton, &m_cancelButton})
        button->SetSkin(kButtonNormal, kButtonPressed, kButtonHover, kButtonDisabled, 0, 0);
    for (CSkinBitmapButton* radio : {&m_manualRadio, &m_autoRadio})
        radio->SetSkin(kRadioNormal, kRadioPressed, 0, kRadioDisabled, 0, 0);
    m_modeCheck.SetSkin(kCheckNormal, kCheckPressed, 0, kCheckDisabled, 0, 0);
    for (CNumericEdit* edit : {&m_stopEdit, &m_intervalEdit, &m_rateEdit})
        edit->SetBitmaps(kEditNormal, kEditDisabled);
    m_rateEdit.SetRange(1, kMaxRate);
    m_intervalEdit.SetRange(1, kMaxIntervalSeconds);

    CString unit;
    unit.LoadString(IDS_UNIT_FRAMES);
    m_unitCombo.AddString(unit);
    unit.LoadString(IDS_UNIT_SECONDS);
    m_unitCombo.AddString(unit);
    m_unitCombo.SetCurSel(0);

    BuildCompressorList();
    for (const CString& description : m_descriptions) m_compressorCombo.AddString(description);
    m_compressorCombo.AddString(L"No Compressor");
    m_nSelected = GetCompressorCount();
    m_compressorCombo.SetCurSel(m_nSelected);
    m_bConfigurable = FALSE;

    QrCCameraGetMgrParameter(&m_mgr);
    m_compressorCombo.SetCurSel(StoredSelection());
    UpdateConfigureState();
    m_configureButton.EnableWindow(m_bConfigurable);

    LoadEnableStatesFromRecord();
    LoadControls();
    return TRUE;
}

void CVideoSettingsDialog::BuildCompressorList()
{
    m_descriptions.clear();
    m_handlers.clear();
    m_indices.clear();
    ICINFO found = {};
    for (DWORD i = 0; m_pCatalog->Info(i, &found); i++) {
        HIC hic = m_pCatalog->OpenQuery(found.fccHandler);
        if (hic == NULL) continue;
        ICINFO info = {};
        info.dwSize = sizeof(info);
        m_pCatalog->GetInfo(hic, &info);
        const CString description = ListedDescription(info.szDescription);
        // A later compressor of the same description replaces the earlier one.
        for (size_t k = 0; k < m_descriptions.size(); k++) {
            if (m_descriptions[k] == description) {
                m_descriptions.erase(m_descriptions.begin() + k);
                m_handlers.erase(m_handlers.begin() + k);
                m_indices.erase(m_indices.begin() + k);
                break;
            }
        }
        if (IsRecordingCompressor(info.fccHandler)) {
            m_indices.push_back(i);
            m_descriptions.push_back(description);
            m_handlers.push_back(info.fccHandler);
        }
        m_pCatalog->Close(hic);
        ::ZeroMemory(&found, sizeof(found));
    }
}

int CVideoSettingsDialog::StoredSelection() const
{
    const int count = GetCompressorCount();
    const DWORD stored = (DWORD)m_mgr.capture.Compress;
    if (stored == kNoCompression) return count;
    for (int i = 0; i < count; i++)
        if (m_handlers[i] == stored) return i;
    const int position = m_mgr.capture.CompressID;
    return position >= 0 && position < count ? position : count;
}

int CVideoSettingsDialog::SelectedEntry() const
{
    const int sel = m_compressorCombo.GetCurSel();
    return sel >= 0 ? sel : GetCompressorCount();
}

DWORD CVideoSettingsDialog::GetSelectedCompressor()
{
    if (m_nSelected < 0 || m_nSelected >= GetCompressorCount()) return kNoCompression;
    ICINFO found = {};
    if (!m_pCatalog->Info(m_indices[m_nSelected], &found)) return kNoCompression;
    HIC hic = m_pCatalog->OpenQuery(found.fccHandler);
    if (hic == NULL) return kNoCompression;
    ICINFO info = {};
    info.dwSize = sizeof(info);
    m_pCatalog->GetInfo(hic, &info);
    m_pCatalog->Close(hic);
    return info.fccHandler;
}

void CVideoSettingsDialog::UpdateConfigureState()
{
    m_bConfigurable = FALSE;
    m_nSelected = SelectedEntry();
    if (m_nSelected >= GetCompressorCount()) return;
    ICINFO found = {};
    if (!m_pCatalog->Info(m_indices[m_nSelected], &found)) return;
    HIC hic = m_pCatalog->OpenQuery(found.fccHandler);
    if (hic == NULL) return;
    m_bConfigurable = m_pCatalog->Configure(hic, (HWND)-1, ICMF_CONFIGURE_QUERY) == ICERR_OK;
    m_pCatalog->Close(hic);
}

void CVideoSettingsDialog::OnConfigure()
{
    if (!m_bConfigurable) return;
    m_nSelected = SelectedEntry();
    if (m_nSelected >= GetCompressorCount()) return;
    ICINFO found = {};
    if (!m_pCatalog->Info(m_indices[m_nSelected], &found)) return;
    HIC hic = m_pCatalog->OpenQuery(found.fccHandler);
    if (hic == NULL) return;
    m_pCatalog->Configure(hic, NULL, 0);
    m_pCatalog->Close(hic);
}

void CVideoSettingsDialog::SetStopRange()
{
    m_stopEdit.SetRange(1, m_mgr.capture.IsTimeRecord ? kMaxStopSeconds : kMaxStopFrames);
}

void CVideoSettingsDialog::EnableStopValue(BOOL enable)
{
    for (int id : {IDC_VS_AUTO_STOP_LABEL, IDC_VS_STOP_VALUE, IDC_VS_UNIT}) {
        CWnd* item = GetDlgItem(id);
        if (item != NULL) item->EnableWindow(enable);
    }
}

void CVideoSettingsDialog::LoadEnableStatesFromRecord()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    m_manualRadio.SetCheck(mgr.capture.IsManual ? BST_CHECKED : BST_UNCHECKED);
    m_autoRadio.SetCheck(mgr.capture.IsManual ? BST_UNCHECKED : BST_CHECKED);
    m_stopEdit.SetRange(1, mgr.capture.IsTimeRecord ? kMaxStopSeconds : kMaxStopFrames);
    EnableStopValue(m_mgr.capture.IsManual == 0);
}

void CVideoSettingsDialog::RefreshEnableStates()
{
    EnableStopValue(m_mgr.capture.IsManual == 0);
    SetStopRange();
    m_configureButton.EnableWindow(m_bConfigurable);
}

void CVideoSettingsDialog::LoadControls()
{
    const CaptureParam& c = m_mgr.capture;
    m_manualRadio.SetCheck(c.IsManual ? BST_CHECKED : BST_UNCHECKED);
    m_autoRadio.SetCheck(c.IsManual ? BST_UNCHECKED : BST_CHECKED);
    m_unitCombo.SetCurSel(c.IsTimeRecord ? 1 : 0);
    const int limit = c.IsTimeRecord ? kMaxStopSeconds : kMaxStopFrames;
    int stop = c.AviFrame;
    if (stop < 1) stop = 1;
    if (stop > limit) stop = limit;
    CString text;
    text.Format(L"%d", stop);
    m_stopEdit.SetWindowText(text);
    m_modeCheck.SetCheck(c.IsMode ? BST_CHECKED : BST_UNCHECKED);
    text.Format(L"%d", c.FPS);
    m_rateEdit.SetWindowText(text);
    text.Format(L"%d", c.Interval / 1000);
    m_intervalEdit.SetWindowText(text);
    Invalidate();
}

void CVideoSettingsDialog::ReadStopValue()
{
    const int value = m_stopEdit.GetValue();
    if (value >= m_stopEdit.GetMin() && value <= m_stopEdit.GetMax()) m_mgr.capture.AviFrame = value;
}

void CVideoSettingsDialog::OnManualStop()
{
    ReadStopValue();
    m_mgr.capture.IsManual = 1;
    RefreshEnableStates();
    LoadControls();
}

void CVideoSettingsDialog::OnAutoStop()
{
    ReadStopValue();
    m_mgr.capture.IsManual = 0;
    RefreshEnableStates();
    LoadControls();
}

LRESULT CVideoSettingsDialog::OnComboSelChanged(WPARAM wParam, LPARAM)
{
    if ((int)wParam == IDC_VS_COMPRESSOR) {
        UpdateConfigureState();
        m_configureButton.EnableWindow(m_bConfigurable);
        Invalidate();
    } else if ((int)wParam == IDC_VS_UNIT) {
        ReadStopValue();
        m_mgr.capture.IsTimeRecord = m_unitCombo.GetCurSel() == 1 ? 1 : 0;
        RefreshEnableStates();
        LoadControls();
    }
    return 0;
}

void CVideoSettingsDialog::OnOK()
{
    ReadStopValue();
    m_nSelected = SelectedEntry();
    CaptureParam& c = m_mgr.capture;
    c.CompressID = (BYTE)m_nSelected;
    c.Compress = (int)GetSelectedCompressor();
    const int rate = m_rateEdit.GetValue();
    if (rate >= 1 && rate <= kMaxRate) c.FPS = rate;
    // Interval stays as found: the field only holds whole seconds, and a time-lapse
    // interval of less than a second would become 0 (every frame written).
    QrCCameraSetCameraCaptureConfig(&c);
    EndDialog(IDOK);
}

LRESULT CVideoSettingsDialog::OnNcHitTest(CPoint point)
{
    CRect client;
    GetClientRect(&client);
    ClientToScreen(&client);
    if (client.PtInRect(point)) return HTCAPTION;
    return CPanelDialog::OnNcHitTest(point);
}

void CVideoSettingsDialog::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    PaintSkin(&dc, client);
    dc.FillSolidRect(0, 0, client.Width(), kBandHeight, kBandColour);
}

HBRUSH CVideoSettingsDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hbr = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    const int id = pWnd != NULL ? pWnd->GetDlgCtrlID() : 0;
    if (Contains(kTransparentLabels, sizeof(kTransparentLabels) / sizeof(int), id)) {
        pDC->SetBkMode(TRANSPARENT);
        return (HBRUSH)::GetStockObject(HOLLOW_BRUSH);
    }
    if (Contains(kGroups, sizeof(kGroups) / sizeof(int), id)) {
        pDC->SetTextColor(kGroupTextColour);
        return (HBRUSH)::GetStockObject(HOLLOW_BRUSH);
    }
    return hbr;
}
