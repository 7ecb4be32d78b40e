#include "app/capture/TimeLapseDialog.h"
#include "app/capture/CaptureStringIds.h"

IMPLEMENT_DYNAMIC(CTimeLapseDialog, CPanelDialog)

namespace {

const UINT kButtonNormal = 194, kButtonHover = 195, kButtonPressed = 196, kButtonDisabled = 197;
const UINT kCheckNormal = 180, kCheckPressed = 179, kCheckDisabled = 181;
const UINT kEditNormal = 294, kEditDisabled = 295;
// The interval input: its fields, up, down and spare buttons.
const UINT kSpanEditNormal = 319, kSpanEditDisabled = 318;
const UINT kUpNormal = 317, kUpPressed = 314, kUpHover = 316, kUpDisabled = 315;
const UINT kDownNormal = 313, kDownPressed = 310, kDownHover = 312, kDownDisabled = 311;
const UINT kSpare = 320;

const UINT kMinInterval = 1, kMaxInterval = 3600000;
const int kMaxCount = 20000;
const int kMaxRate = 100;

const COLORREF kBandColour = 0xFAFAFA;
const int kBandHeight = 20;

const int kTransparentLabels[] = {IDC_TL_COUNT_LABEL,      IDC_TL_COUNT_UNIT,       IDC_TL_INTERVAL_LABEL,
                                  IDC_TL_MINUTES_LABEL,    IDC_TL_SECONDS_LABEL,    IDC_TL_MILLISECONDS_LABEL,
                                  IDC_TL_TITLE,            IDC_TL_USE_RECORD_LABEL, IDC_TL_RATE_LABEL,
                                  IDC_TL_RATE_UNIT};

} // namespace

BEGIN_MESSAGE_MAP(CTimeLapseDialog, CPanelDialog)
    ON_BN_CLICKED(IDC_TL_USE_RECORD, OnUseRecord)
    ON_WM_NCHITTEST()
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CTimeLapseDialog::CTimeLapseDialog(CWnd* pParent) : CPanelDialog(IDD, pParent) {}

CTimeLapseDialog::~CTimeLapseDialog() {}

void CTimeLapseDialog::DoDataExchange(CDataExchange* pDX)
{
    CPanelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TL_COUNT, m_countEdit);
    DDX_Control(pDX, IDC_TL_RATE, m_rateEdit);
    DDX_Control(pDX, IDC_TL_USE_RECORD, m_useRecordCheck);
    DDX_Control(pDX, IDOK, m_okButton);
}

// Escape cancels here, unlike in the panels.
BOOL CTimeLapseDialog::PreTranslateMessage(MSG* pMsg) { return CDialog::PreTranslateMessage(pMsg); }

BOOL CTimeLapseDialog::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    CRect window;
    GetWindowRect(&window);
    SetWindowRgn(::CreateRoundRectRgn(0, 0, window.Width(), window.Height(), 18, 15), TRUE);

    CString title;
    title.LoadString(IDS_TIME_LAPSE_TITLE);
    SetDlgItemText(IDC_TL_TITLE, title);
    SetWindowText(title);

    // The interval input takes the place (and the id) of its placeholder static.
    CRect place;
    CWnd* placeholder = GetDlgItem(IDC_TL_INTERVAL);
    placeholder->GetWindowRect(&place);
    ScreenToClient(&place);
    placeholder->DestroyWindow();
    // The spare button spans the up and down pair: its height lays out the fields.
    m_interval.Create(this, place, IDC_TL_INTERVAL, kSpanEditNormal, kSpare);
    m_interval.SetEditBitmaps(kSpanEditNormal, kSpanEditDisabled);
    m_interval.SetUpButtonBitmaps(kUpNormal, kUpPressed, kUpHover, kUpDisabled);
    m_interval.SetDownButtonBitmaps(kDownNormal, kDownPressed, kDownHover, kDownDisabled);
    m_interval.SetSpareButtonBitmaps(kSpare, kSpare, kSpare, kSpare);
    m_interval.SetRange(kMinInterval, kMaxInterval);

    m_countEdit.SetBitmaps(kEditNormal, kEditDisabled);
    m_rateEdit.SetBitmaps(kEditNormal, kEditDisabled);
    m_countEdit.SetRange(1, kMaxCount);
    m_rateEdit.SetRange(1, kMaxRate);
    m_useRecordCheck.SetSkin(kCheckNormal, kCheckPressed, 0, kCheckDisabled, 0, 0);
    m_okButton.SetSkin(kButtonNormal, kButtonPressed, kButtonHover, kButtonDisabled, 0, 0);

    QrCCameraGetMgrParameter(&m_mgr);
    RefreshEnableStates();
    LoadControls();
    return TRUE;
}

void CTimeLapseDialog::RefreshEnableStates()
{
    const BOOL on = m_mgr.capture.IsMode != 0;
    for (int id : {IDC_TL_RATE_UNIT, IDC_TL_RATE_LABEL, IDC_TL_RATE}) {
        CWnd* item = GetDlgItem(id);
        if (item != NULL) item->EnableWindow(on);
    }
}

void CTimeLapseDialog::LoadControls()
{
    const CaptureParam& c = m_mgr.capture;
    m_interval.SetValue((UINT)c.Space);
    CString text;
    text.Format(L"%d", c.Count);
    m_countEdit.SetWindowText(text);
    m_useRecordCheck.SetCheck(c.IsMode ? BST_CHECKED : BST_UNCHECKED);
    text.Format(L"%d", c.FPS);
    m_rateEdit.SetWindowText(text);
    Invalidate();
}

void CTimeLapseDialog::ReadControls()
{
    // A field still being typed in is taken when it loses the focus.
    HWND focus = ::GetFocus();
    if (focus != NULL && ::GetParent(focus) == m_interval.m_hWnd) m_okButton.SetFocus();
    CaptureParam& c = m_mgr.capture;
    c.Space = (int)m_interval.GetValue();
    const int count = m_countEdit.GetValue();
    if (count >= 1 && count <= kMaxCount) c.Count = count;
    const int rate = m_rateEdit.GetValue();
    if (rate >= 1 && rate <= kMaxRate) c.FPS = rate;
    c.IsMode = m_useRecordCheck.GetCheck() == BST_CHECKED ? 1 : 0;
}

void CTimeLapseDialog::OnUseRecord()
{
    ReadControls();
    RefreshEnableStates();
    LoadControls();
}

void CTimeLapseDialog::OnOK()
{
    ReadControls();
    CaptureParam& c = m_mgr.capture;
    c.Interval = c.Space;
    // The shot count becomes a recording length only for a time-lapse recording, which
    // counts frames: a plain recording keeps its own stop settings.
    if (c.IsMode) {
        c.AviFrame = c.Count;
        c.IsTimeRecord = 0;
    }
    QrCCameraSetCameraCaptureConfig(&c);
    EndDialog(IDOK);
}

LRESULT CTimeLapseDialog::OnNcHitTest(CPoint point)
{
    CRect client;
    GetClientRect(&client);
    ClientToScreen(&client);
    if (client.PtInRect(point)) return HTCAPTION;
    return CPanelDialog::OnNcHitTest(point);
}

void CTimeLapseDialog::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    PaintSkin(&dc, client);
    dc.FillSolidRect(0, 0, client.Width(), kBandHeight, kBandColour);
}

HBRUSH CTimeLapseDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hbr = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    const int id = pWnd != NULL ? pWnd->GetDlgCtrlID() : 0;
    for (int label : kTransparentLabels) {
        if (label == id) {
            pDC->SetBkMode(TRANSPARENT);
            return (HBRUSH)::GetStockObject(HOLLOW_BRUSH);
        }
    }
    return hbr;
}
