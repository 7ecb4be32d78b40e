#include "app/measure/RulerPropsDialog.h"
#include "app/store/ImageStore.h"
#include "app/shell/ShellLinks.h"
#include "app/capture/OverlayWnd.h"

namespace {

// Asks the live overlay to repaint what lies over the preview (its WM_OVERLAY_REDRAW).
const UINT kOverlayRedraw = 0xA01;

CImageStore* Store()
{
    return Links().store != NULL ? Links().store : CImageStore::Instance();
}

void FillSwatch(CDC& dc, CWnd* owner, const CStatic& swatch, COLORREF color)
{
    if (swatch.GetSafeHwnd() == NULL)
        return;
    CRect r;
    swatch.GetClientRect(&r);
    swatch.MapWindowPoints(owner, &r);
    CBrush brush(color);
    dc.FillRect(&r, &brush);
}

}  // namespace

IMPLEMENT_DYNAMIC(CRulerPropsDialog, CDialog)

BEGIN_MESSAGE_MAP(CRulerPropsDialog, CDialog)
    ON_WM_PAINT()
    ON_WM_LBUTTONDBLCLK()
    ON_BN_CLICKED(IDC_RULER_TRANSPARENT, OnTransparent)
    ON_BN_CLICKED(IDC_RULER_DEFAULT, OnDefault)
END_MESSAGE_MAP()

CRulerPropsDialog::CRulerPropsDialog(CWnd* pParent) : CDialog(IDD, pParent), m_transparent(1)
{
    memset(&m_attributes, 0, sizeof m_attributes);
}

CRulerPropsDialog::~CRulerPropsDialog() {}

void CRulerPropsDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RULER_COLOR_SWATCH, m_colorSwatch);
    DDX_Control(pDX, IDC_RULER_BK_SWATCH, m_backgroundSwatch);
    DDX_Check(pDX, IDC_RULER_TRANSPARENT, m_transparent);
}

BOOL CRulerPropsDialog::OnInitDialog()
{
    Store()->GetRulerAttributes(m_attributes);
    m_transparent = m_attributes.transparentBK ? 1 : 0;
    CDialog::OnInitDialog();
    return TRUE;
}

void CRulerPropsDialog::OnPaint()
{
    CPaintDC dc(this);
    FillSwatch(dc, this, m_colorSwatch, m_attributes.pen.lopnColor);
    FillSwatch(dc, this, m_backgroundSwatch, m_attributes.brush.lbColor);
}

BOOL CRulerPropsDialog::HitSwatch(const CStatic& swatch, CPoint point) const
{
    if (swatch.GetSafeHwnd() == NULL)
        return FALSE;
    MapWindowPoints(const_cast<CStatic*>(&swatch), &point, 1);
    CRect r;
    swatch.GetClientRect(&r);
    return r.PtInRect(point);
}

void CRulerPropsDialog::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    COLORREF* target = NULL;
    if (HitSwatch(m_backgroundSwatch, point))
        target = &m_attributes.brush.lbColor;
    else if (HitSwatch(m_colorSwatch, point))
        target = &m_attributes.pen.lopnColor;
    if (target == NULL) {
        CDialog::OnLButtonDblClk(nFlags, point);
        return;
    }
    CColorDialog dialog(*target, 0, this);
    if (dialog.DoModal() == IDOK)
        *target = dialog.GetColor();
    UpdateData(FALSE);
    Invalidate();
    UpdateWindow();
    Apply();
}

void CRulerPropsDialog::OnTransparent()
{
    UpdateData(TRUE);
    m_attributes.transparentBK = m_transparent ? 1 : 0;
    Apply();
}

void CRulerPropsDialog::OnDefault()
{
    m_transparent = 1;
    m_attributes.transparentBK = 1;
    m_attributes.pen.lopnStyle = PS_SOLID;
    m_attributes.pen.lopnWidth.x = 1;
    m_attributes.pen.lopnColor = 0;
    m_attributes.brush.lbStyle = BS_HOLLOW;
    m_attributes.brush.lbColor = 0xFEFFFF;
    m_attributes.brush.lbHatch = 5;
    UpdateData(FALSE);
    Invalidate();
    Store()->ResetRulerPosition();
    Apply();
}

void CRulerPropsDialog::Apply()
{
    Store()->SetRulerAttributes(m_attributes);
    CWnd* parent = GetParent();
    if (parent != NULL)
        parent->Invalidate(TRUE);
    COverlayWnd* overlay = Links().overlay;
    if (overlay != NULL && overlay->GetSafeHwnd() != NULL)
        overlay->PostMessage(kOverlayRedraw, 0, 0);
}
