#include "app/image/LevelsDialog.h"
#include "app/store/ImageStore.h"
#include "app/shell/ShellLinks.h"

namespace {

const UINT kButtonSkin[4] = {194, 196, 195, 197};   // normal, pressed, hover, disabled
const UINT kEditNormal = 294;
const UINT kEditDisabled = 295;
const UINT kRangeTrack = 323;
const UINT kRangeLow = 325;
const UINT kRangeHigh = 326;
const int kBandHeight = 20;

CImageStore* Store()
{
    return Links().store != NULL ? Links().store : CImageStore::Instance();
}

// A level typed into an edit, -1 when the text is not one.
int ParseLevel(const CString& text)
{
    if (text.IsEmpty() || text.GetLength() > 3)
        return -1;
    int value = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return -1;
        value = value * 10 + (text[i] - L'0');
    }
    return value <= 255 ? value : -1;
}

}  // namespace

IMPLEMENT_DYNAMIC(CLevelsDialog, CPanelDialog)

BEGIN_MESSAGE_MAP(CLevelsDialog, CPanelDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_NCHITTEST()
    ON_BN_CLICKED(IDC_LEVELS_AUTO, OnAuto)
    ON_MESSAGE(WM_NUMEDIT_VALUE, OnEditValue)
    ON_MESSAGE(WM_RANGE_CHANGED, OnRangeChanged)
END_MESSAGE_MAP()

CLevelsDialog::CLevelsDialog(CWnd* pParent)
    : CPanelDialog(IDD, pParent), m_low(0), m_high(255), m_savedLow(0), m_savedHigh(255),
      m_writingEdits(0)
{
}

CLevelsDialog::~CLevelsDialog() {}

BOOL CLevelsDialog::OnInitDialog()
{
    AddTransparentStatic(IDC_LEVELS_LABEL);
    CPanelDialog::OnInitDialog();
    CRect window;
    GetWindowRect(&window);
    SetWindowRgn(::CreateRoundRectRgn(0, 0, window.Width(), window.Height(), 18, 15), TRUE);

    GetDlgItem(IDC_LEVELS_HISTOGRAM)->GetWindowRect(&m_histogram);
    ScreenToClient(&m_histogram);
    // The bar takes the placeholder's place and id.
    CWnd* placeholder = GetDlgItem(IDC_LEVELS_RANGE);
    CRect bar;
    placeholder->GetWindowRect(&bar);
    ScreenToClient(&bar);
    placeholder->DestroyWindow();
    m_range.Create(this, bar, IDC_LEVELS_RANGE, kRangeTrack, kRangeLow, kRangeHigh);
    m_range.SetRange(0, 255);

    m_lowEdit.SubclassDlgItem(IDC_LEVELS_LOW, this);
    m_highEdit.SubclassDlgItem(IDC_LEVELS_HIGH, this);
    for (CNumericEdit* edit : {&m_lowEdit, &m_highEdit}) {
        edit->SetBitmaps(kEditNormal, kEditDisabled);
        edit->SetRange(0, 255);
    }
    CSkinBitmapButton* buttons[3] = {&m_auto, &m_ok, &m_cancel};
    const int ids[3] = {IDC_LEVELS_AUTO, IDOK, IDCANCEL};
    for (int i = 0; i < 3; ++i) {
        buttons[i]->SubclassDlgItem(ids[i], this);
        buttons[i]->SetSkin(kButtonSkin[0], kButtonSkin[1], kButtonSkin[2], kButtonSkin[3], 0, 0);
    }

    CImageStore* store = Store();
    store->ComputeHistogram();
    WORD black = 0, white = 255;
    store->GetLevels(black, white);
    m_low = m_savedLow = black;
    m_high = m_savedHigh = white;
    ShowLevels();
    return TRUE;
}

// A modal dialog with OK and Cancel keeps the usual Enter and Escape.
BOOL CLevelsDialog::PreTranslateMessage(MSG* pMsg)
{
    return CDialog::PreTranslateMessage(pMsg);
}

void CLevelsDialog::WriteEdits(int low, int high)
{
    m_writingEdits = 1;
    CString text;
    text.Format(L"%d", low);
    SetDlgItemText(IDC_LEVELS_LOW, text);
    text.Format(L"%d", high);
    SetDlgItemText(IDC_LEVELS_HIGH, text);
    m_writingEdits = 0;
}

void CLevelsDialog::ShowLevels()
{
    WriteEdits(m_low, m_high);
    m_range.SetLowHigh(m_low, m_high);
}

void CLevelsDialog::ReadEdits()
{
    CString text;
    GetDlgItemText(IDC_LEVELS_LOW, text);
    const int low = ParseLevel(text);
    GetDlgItemText(IDC_LEVELS_HIGH, text);
    const int high = ParseLevel(text);
    if (low >= 0)
        m_low = low;
    if (high >= 0)
        m_high = high;
}

void CLevelsDialog::RedrawHistogram(BOOL now)
{
    InvalidateRect(&m_histogram, FALSE);
    if (now)
        UpdateWindow();
}

LRESULT CLevelsDialog::OnRangeChanged(WPARAM, LPARAM)
{
    WriteEdits(m_range.GetLow(), m_range.GetHigh());
    ReadEdits();
    RedrawHistogram(TRUE);
    Store()->SetLevels(m_low, m_high);
    return 0;
}

LRESULT CLevelsDialog::OnEditValue(WPARAM, LPARAM)
{
    if (m_writingEdits)
        return 0;
    ReadEdits();
    m_range.SetLowHigh(m_low, m_high);
    Store()->SetLevels(m_low, m_high);
    RedrawHistogram(FALSE);
    return 0;
}

void CLevelsDialog::OnAuto()
{
    CImageStore* store = Store();
    store->ApplyAutoLevels();
    WORD black = 0, white = 255;
    store->GetLevels(black, white);
    m_low = black;
    m_high = white;
    ShowLevels();
    m_lowEdit.Invalidate();
    m_highEdit.Invalidate();
    RedrawHistogram(FALSE);
}

void CLevelsDialog::OnCancel()
{
    Store()->SetLevels(m_savedLow, m_savedHigh);
    CPanelDialog::OnCancel();
}

BOOL CLevelsDialog::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CLevelsDialog::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    PaintSkin(&dc, client);
    dc.FillSolidRect(CRect(client.left, client.top, client.right, client.top + kBandHeight), RGB(250, 250, 250));
    dc.FillSolidRect(&m_histogram, RGB(191, 191, 191));
    Store()->DrawHistogram(&dc, m_histogram);
    Store()->DrawLevelMarkers(&dc, m_histogram);
}

LRESULT CLevelsDialog::OnNcHitTest(CPoint point)
{
    CRect client;
    GetClientRect(&client);
    ClientToScreen(&client);
    if (client.PtInRect(point))
        return HTCAPTION;
    return CPanelDialog::OnNcHitTest(point);
}
