#include "app/measure/AuxToolsDialog.h"

namespace {

const UINT kEditNormal = 294;
const UINT kEditDisabled = 295;
const int kMinSpacing = 1;
const int kMaxSpacing = 65535;

// A whole number of decimal digits, -1 for anything else.
int ParseDigits(const CString& text)
{
    if (text.IsEmpty() || text.GetLength() > 9)
        return -1;
    int value = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return -1;
        value = value * 10 + (text[i] - L'0');
    }
    return value;
}

}  // namespace

IMPLEMENT_DYNAMIC(CAuxToolsDialog, CDialog)

BEGIN_MESSAGE_MAP(CAuxToolsDialog, CDialog)
    ON_WM_PAINT()
    ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

CAuxToolsDialog::CAuxToolsDialog(CWnd* pParent)
    : CDialog(IDD, pParent), m_gridOn(0), m_spacing(0), m_color(RGB(0, 255, 0)), m_lineDetection(0)
{
}

CAuxToolsDialog::~CAuxToolsDialog() {}

COLORREF CAuxToolsDialog::StoredGridColor(COLORREF chosen)
{
    return chosen == RGB(255, 255, 255) ? RGB(254, 254, 254) : chosen;
}

BOOL CAuxToolsDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_spacingEdit.SubclassDlgItem(IDC_AUX_GRID_SPACING, this);
    m_spacingEdit.SetBitmaps(kEditNormal, kEditDisabled);
    m_spacingEdit.SetRange(kMinSpacing, kMaxSpacing);
    UpdateData(FALSE);
    return TRUE;
}

void CAuxToolsDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_AUX_GRID_ON, m_gridOn);
    DDX_Check(pDX, IDC_AUX_LINE_DETECTION, m_lineDetection);
    DDX_Text(pDX, IDC_AUX_UNIT, m_unit);
    if (!pDX->m_bSaveAndValidate) {
        DDX_Text(pDX, IDC_AUX_GRID_SPACING, m_spacing);
        return;
    }
    // The edit holds only numbers inside its range; anything else keeps the spacing.
    CString text;
    m_spacingEdit.GetWindowText(text);
    const int value = ParseDigits(text);
    if (value >= kMinSpacing && value <= kMaxSpacing)
        m_spacing = value;
}

void CAuxToolsDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CAuxToolsDialog::OnPaint()
{
    CPaintDC dc(this);
    CWnd* swatch = GetDlgItem(IDC_AUX_GRID_COLOR);
    if (swatch == NULL)
        return;
    CRect r;
    swatch->GetClientRect(&r);
    swatch->MapWindowPoints(this, &r);
    CBrush brush(m_color);
    dc.FillRect(&r, &brush);
}

void CAuxToolsDialog::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    UpdateData(TRUE);
    CWnd* swatch = GetDlgItem(IDC_AUX_GRID_COLOR);
    if (swatch != NULL) {
        CPoint inSwatch = point;
        MapWindowPoints(swatch, &inSwatch, 1);
        CRect r;
        swatch->GetClientRect(&r);
        if (r.PtInRect(inSwatch)) {
            CColorDialog dialog(m_color, 0, this);
            if (dialog.DoModal() == IDOK)
                m_color = StoredGridColor(dialog.GetColor());
        }
    }
    UpdateData(FALSE);
    Invalidate();
    CDialog::OnLButtonDblClk(nFlags, point);
}
