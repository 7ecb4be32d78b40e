#include "app/shell/FoldPanel.h"

IMPLEMENT_DYNAMIC(CFoldPanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CFoldPanel, CPanelDialog)
    ON_BN_CLICKED(IDC_FOLD_TOGGLE, OnToggle)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CFoldPanel::CFoldPanel(CWnd* pParent)
    : CPanelDialog(IDD, pParent), m_bExpanded(0), m_pChild(NULL), m_index(0), m_bHaveRects(FALSE)
{
}

CFoldPanel::~CFoldPanel() {}

void CFoldPanel::DoDataExchange(CDataExchange* pDX)
{
    CPanelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FOLD_TOGGLE, m_toggle);
}

BOOL CFoldPanel::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    AddTransparentStatic(IDC_FOLD_TITLE);
    m_toggle.SetSkin(IDB_FOLD_NORMAL, IDB_FOLD_PRESSED, 0, 0, 0, 0, CSkinBitmapButton::DRAW_STRETCH, 0, 0);
    return TRUE;
}

BOOL CFoldPanel::ToggleChecked() const { return IsDlgButtonChecked(IDC_FOLD_TOGGLE) == BST_CHECKED; }
void CFoldPanel::SetToggleChecked(BOOL checked)
{
    CheckDlgButton(IDC_FOLD_TOGGLE, checked ? BST_CHECKED : BST_UNCHECKED);
}

void CFoldPanel::SetTitle(LPCWSTR title)
{
    if (GetDlgItem(IDC_FOLD_TITLE) != NULL) SetDlgItemText(IDC_FOLD_TITLE, title);
}

void CFoldPanel::SetChild(CWnd* panel)
{
    m_pChild = panel;
    PlaceChild();
}

void CFoldPanel::PlaceChild()
{
    if (m_pChild == NULL || m_pChild->m_hWnd == NULL) return;
    CWnd* area = GetDlgItem(IDC_FOLD_CHILD_AREA);
    if (area == NULL) return;
    CRect r;
    area->GetWindowRect(&r);
    ScreenToClient(&r);
    m_pChild->SetWindowPos(NULL, r.left, r.top + 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CFoldPanel::GetTitleHeight()
{
    CWnd* area = GetDlgItem(IDC_FOLD_CHILD_AREA);
    if (area == NULL) return 0;
    CRect self, r;
    GetWindowRect(&self);
    area->GetWindowRect(&r);
    return r.bottom - self.top;
}

void CFoldPanel::ShowToggle(BOOL show)
{
    CWnd* toggle = GetDlgItem(IDC_FOLD_TOGGLE);
    if (toggle == NULL) return;
    toggle->EnableWindow(show);
    toggle->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CFoldPanel::SetExpanded(BOOL expanded)
{
    if ((expanded != 0) == (m_bExpanded != 0)) return;
    SetToggleChecked(expanded);
    Apply();
}

void CFoldPanel::Apply()
{
    m_bExpanded = ToggleChecked() ? 1 : 0;
    if (!m_bHaveRects) {
        // The full size is the one the section had at its first change of state.
        GetWindowRect(&m_fullRect);
        m_collapsedRect = m_fullRect;
        m_collapsedRect.bottom = m_fullRect.top + GetTitleHeight();
        m_bHaveRects = TRUE;
    }
    const CRect& r = m_bExpanded ? m_fullRect : m_collapsedRect;
    SetWindowPos(NULL, 0, 0, r.Width(), r.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate(FALSE);
    CWnd* parent = GetParent();
    if (parent != NULL) parent->SendMessage(WM_FOLDPANEL_TOGGLED, (WPARAM)m_index, (LPARAM)m_bExpanded);
}

void CFoldPanel::OnToggle() { Apply(); }

void CFoldPanel::OnLButtonDown(UINT nFlags, CPoint point)
{
    CWnd* toggle = GetDlgItem(IDC_FOLD_TOGGLE);
    if (toggle != NULL && (toggle->GetStyle() & WS_VISIBLE)) {
        SetToggleChecked(!m_bExpanded);
        ::Sleep(100);
        Apply();
    }
    CPanelDialog::OnLButtonDown(nFlags, point);
}

void CFoldPanel::OnSize(UINT nType, int cx, int cy)
{
    CPanelDialog::OnSize(nType, cx, cy);
    PlaceChild();
}

void CFoldPanel::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    PaintSkin(&dc, client);
    // The skin stays visible only in the bottom two rows, as the line between sections.
    CRect fill(client.left, client.top, client.right, client.bottom - 2);
    if (fill.bottom > fill.top) dc.FillSolidRect(&fill, RGB(195, 205, 227));
}
