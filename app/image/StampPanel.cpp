#include "app/image/StampPanel.h"
#include "app/browse/BrowseToolBar.h"
#include "app/store/ImageStore.h"
#include "app/shell/DravenluxView.h"
#include "app/shell/ShellLinks.h"

namespace {

const UINT kCheckSkin[3] = {180, 179, 181};         // normal, checked, disabled
const UINT kButtonSkin[4] = {194, 196, 195, 197};   // normal, pressed, hover, disabled
const UINT kEditNormal = 297;
const UINT kEditDisabled = 296;
const int kControls[] = {IDC_STAMP_TEXT, IDC_STAMP_DATE, IDC_STAMP_TIME, IDC_STAMP_DATE_LABEL,
                         IDC_STAMP_TIME_LABEL, IDC_STAMP_COLOR_LABEL, IDC_STAMP_COLOR, IDC_STAMP_SAVE};

CImageStore* Store()
{
    return Links().store != NULL ? Links().store : CImageStore::Instance();
}

}  // namespace

IMPLEMENT_DYNAMIC(CStampPanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CStampPanel, CPanelDialog)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_BN_CLICKED(IDC_STAMP_DATE, OnDate)
    ON_BN_CLICKED(IDC_STAMP_TIME, OnTime)
    ON_BN_CLICKED(IDC_STAMP_SAVE, OnSave)
    ON_EN_UPDATE(IDC_STAMP_TEXT, OnTextUpdate)
END_MESSAGE_MAP()

CStampPanel::CStampPanel(CWnd* pParent)
    : CPanelDialog(IDD, pParent), m_showDate(0), m_showTime(0), m_color(RGB(255, 0, 0))
{
}

CStampPanel::~CStampPanel() {}

void CStampPanel::DoDataExchange(CDataExchange* pDX)
{
    CPanelDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_STAMP_DATE, m_showDate);
    DDX_Check(pDX, IDC_STAMP_TIME, m_showTime);
}

BOOL CStampPanel::OnInitDialog()
{
    AddTransparentStatic(IDC_STAMP_DATE_LABEL);
    AddTransparentStatic(IDC_STAMP_TIME_LABEL);
    AddTransparentStatic(IDC_STAMP_COLOR_LABEL);
    CPanelDialog::OnInitDialog();
    m_date.SubclassDlgItem(IDC_STAMP_DATE, this);
    m_time.SubclassDlgItem(IDC_STAMP_TIME, this);
    m_date.SetSkin(kCheckSkin[0], kCheckSkin[1], 0, kCheckSkin[2], 0, 0);
    m_time.SetSkin(kCheckSkin[0], kCheckSkin[1], 0, kCheckSkin[2], 0, 0);
    m_save.SubclassDlgItem(IDC_STAMP_SAVE, this);
    m_save.SetSkin(kButtonSkin[0], kButtonSkin[1], kButtonSkin[2], kButtonSkin[3], 0, 0);
    m_text.SubclassDlgItem(IDC_STAMP_TEXT, this);
    m_text.SetBitmaps(kEditNormal, kEditDisabled);
    UpdateData(FALSE);
    UpdateControlState();
    return TRUE;
}

void CStampPanel::UpdateControlState()
{
    if (GetSafeHwnd() == NULL)
        return;
    for (int id : kControls)
        GetDlgItem(id)->EnableWindow(TRUE);
}

void CStampPanel::ResetStamp()
{
    m_showDate = 0;
    m_showTime = 0;
    if (GetSafeHwnd() == NULL)
        return;
    UpdateData(FALSE);
    SetDlgItemText(IDC_STAMP_TEXT, L"");
}

void CStampPanel::InvalidateMainView()
{
    if (Links().view != NULL && Links().view->GetSafeHwnd() != NULL)
        Links().view->Invalidate(FALSE);
}

void CStampPanel::OnDate()
{
    UpdateData(TRUE);
    Store()->SetShowDate(m_showDate);
    InvalidateMainView();
}

void CStampPanel::OnTime()
{
    UpdateData(TRUE);
    Store()->SetShowTime(m_showTime);
    InvalidateMainView();
}

void CStampPanel::OnTextUpdate()
{
    UpdateData(TRUE);
    CString text;
    GetDlgItemText(IDC_STAMP_TEXT, text);
    Store()->SetStampText(text);
    InvalidateMainView();
}

void CStampPanel::SaveCopy()
{
    if (Links().browseTools != NULL)
        Links().browseTools->OnSaveCopy();
}

void CStampPanel::OnSave()
{
    SaveCopy();
}

void CStampPanel::OnLButtonDown(UINT nFlags, CPoint point)
{
    CWnd* swatch = GetDlgItem(IDC_STAMP_COLOR);
    CColorDialog dialog(m_color, 0, this);
    CPoint inSwatch = point;
    MapWindowPoints(swatch, &inSwatch, 1);
    CRect r;
    swatch->GetClientRect(&r);
    if (r.PtInRect(inSwatch) && dialog.DoModal() == IDOK) {
        m_color = dialog.GetColor();
        Store()->SetStampColor(m_color);
        Invalidate();
    }
    CPanelDialog::OnLButtonDown(nFlags, point);
}

void CStampPanel::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    PaintSkin(&dc, client);
    CWnd* swatch = GetDlgItem(IDC_STAMP_COLOR);
    CRect r;
    swatch->GetClientRect(&r);
    swatch->MapWindowPoints(this, &r);
    CBrush brush(m_color);
    dc.FillRect(&r, &brush);
}
