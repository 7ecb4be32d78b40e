#include "app/shell/TabPage.h"
#include "app/shell/FoldPanel.h"
#include "app/shell/ShellLaunch.h"
#include "app/res/resource.h"

IMPLEMENT_DYNAMIC(CTabPage, CPanelDialog)

BEGIN_MESSAGE_MAP(CTabPage, CPanelDialog)
    ON_MESSAGE(WM_FOLDPANEL_TOGGLED, OnFoldPanelToggled)
    ON_WM_SIZE()
    ON_WM_VSCROLL()
    ON_WM_LBUTTONDOWN()
    ON_BN_CLICKED(IDC_PAGE_UPDATE, OnUpdateButton)
END_MESSAGE_MAP()

namespace {
const int kScrollUnit = 10;
} // namespace

CTabPage::CTabPage(UINT nIDTemplate, CWnd* pParent)
    : CPanelDialog(nIDTemplate, pParent, L"skin\\panel_bg.bmp"), m_pBackPointer(pParent), m_bScrollable(0),
      m_scrollOffset(0), m_bDeferSections(FALSE), m_bDeferredPlace(FALSE),
      m_bSectionsBuilt(FALSE), m_nextDeferred(0), m_pRestPending(NULL), m_nextAfterStep(0), m_bBuilding(FALSE)
{
}

CTabPage::~CTabPage() { DeleteSections(); }

void CTabPage::DeleteSections()
{
    while (!m_sections.empty()) {
        CFoldPanel* section = m_sections.back();
        m_sections.pop_back();
        if (section->m_hWnd != NULL) section->DestroyWindow();
        delete section;
    }
}

BOOL CTabPage::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    AddTransparentStatic(IDC_PAGE_COMPANY);
    m_btnUpdate.SubclassDlgItem(IDC_PAGE_UPDATE, this);
    m_btnUpdate.SetSkin(639, 636, 638, 637, 0, 0, CSkinBitmapButton::DRAW_STRETCH, 0, 4);
    return TRUE;
}

CFoldPanel* CTabPage::AddSection(CDialog& panel, UINT panelIdd, UINT titleId)
{
    CFoldPanel* section = new CFoldPanel(this);
    section->Create(CFoldPanel::IDD, this);
    section->ShowWindow(SW_SHOW);
    section->SetIndex((int)m_sections.size());
    CString title;
    title.LoadString(titleId);
    section->SetTitle(title);
    m_sections.push_back(section);

    panel.Create(panelIdd, section);
    panel.ShowWindow(SW_SHOW);
    CRect pr;
    panel.GetWindowRect(&pr);
    section->MoveWindow(PAGE_CONTENT_LEFT, 0, 198, pr.Height() + section->GetTitleHeight() + 2);
    section->SetExpanded(TRUE);
    section->SetChild(&panel);
    return section;
}

CFoldPanel* CTabPage::AddSectionInSteps(CPanelDialog& panel, UINT panelIdd, UINT titleId)
{
    const BOOL steps = m_bDeferredPlace && !m_bSectionsBuilt;
    if (steps) panel.LeaveRestForLater();
    CFoldPanel* section = AddSection(panel, panelIdd, titleId);
    if (steps && panel.IsRestPending()) m_pRestPending = &panel;
    // A panel that makes everything at once leaves nothing pending for a later Create.
    panel.LeaveNothingForLater();
    return section;
}

void CTabPage::DeferSections()
{
    m_bDeferSections = TRUE;
    LinkDeferredParts(true);
}

void CTabPage::AddOrDeferSections()
{
    if (m_bDeferSections) {
        m_bDeferredPlace = TRUE;
        return;
    }
    m_bSectionsBuilt = TRUE;
    while (m_nextDeferred < DeferredSectionCount()) AddDeferredSection(m_nextDeferred++);
}

bool CTabPage::CanBuild() const
{
    return m_bDeferredPlace && !m_bSectionsBuilt && !m_bBuilding && m_hWnd != NULL && !Links().noMoreBuilds;
}

bool CTabPage::AllSectionsAdded() const
{
    return m_nextDeferred >= DeferredSectionCount() && m_pRestPending == NULL;
}

void CTabPage::AddNextDeferred()
{
    // Back to the top: the layout works in unscrolled coordinates.
    if (m_scrollOffset != 0) ScrollWindow(0, m_scrollOffset);
    m_scrollOffset = 0;
    m_bBuilding = TRUE;
    if (m_pRestPending != NULL) {
        CPanelDialog* panel = m_pRestPending;
        m_pRestPending = NULL;
        panel->MakeRest();
    } else if (m_nextDeferred < DeferredSectionCount()) {
        AddDeferredSection(m_nextDeferred++);
    }
    m_bBuilding = FALSE;
}

BOOL CTabPage::NextAfterStep()
{
    // As the making itself: what the steps ask of the links is there as it is.
    m_bBuilding = TRUE;
    const BOOL more = AfterSectionsBuiltStep(m_nextAfterStep++);
    m_bBuilding = FALSE;
    if (!more) m_bSectionsBuilt = TRUE;
    return more;
}

void CTabPage::BuildNow()
{
    if (!CanBuild()) return;
    while (!AllSectionsAdded()) AddNextDeferred();
    LayoutPanels();
    while (NextAfterStep()) {
    }
}

bool CTabPage::BuildStep()
{
    if (!CanBuild()) return false;
    if (!AllSectionsAdded()) {
        AddNextDeferred();
        LayoutPanels();
        return true;
    }
    return NextAfterStep() != FALSE;
}

CPoint CTabPage::FirstSectionOrigin() { return CPoint(PAGE_CONTENT_LEFT, PAGE_CONTENT_TOP); }

void CTabPage::LayoutPanels()
{
    if (m_hWnd == NULL) return;
    CRect client;
    GetClientRect(&client);
    CPoint origin = FirstSectionOrigin();
    int lastBottom = origin.y - 5;
    for (size_t i = 0; i < m_sections.size(); i++) {
        CFoldPanel* section = m_sections[i];
        CRect r;
        section->GetWindowRect(&r);
        int top = (i == 0) ? origin.y : lastBottom + 5;
        section->SetWindowPos(NULL, origin.x, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        lastBottom = top + r.Height();
    }

    CWnd* logo = GetDlgItem(IDC_PAGE_LOGO);
    CWnd* company = GetDlgItem(IDC_PAGE_COMPANY);
    if (logo == NULL || company == NULL || m_btnUpdate.m_hWnd == NULL) return;
    CRect lr;
    logo->GetWindowRect(&lr);
    int w = lr.Width(), h = lr.Height();
    int left = 100 - w / 2;
    CRect br;
    m_btnUpdate.GetWindowRect(&br);
    // Near the bottom while the sections leave room, else right below them; the update
    // button below the logo stays inside the page.
    int below = 8 + br.Height() + 2;
    if (below < 30) below = 30;
    int top = (lastBottom + 80 <= client.bottom) ? client.bottom - below - h : lastBottom + 30;
    logo->SetWindowPos(NULL, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const int companyLeft = left + w + 8;
    int companyWidth = client.right - companyLeft;
    if (companyWidth > 150) companyWidth = 150;
    company->SetWindowPos(NULL, companyLeft, top + 11, companyWidth, 20, SWP_NOZORDER | SWP_NOACTIVATE);
    m_btnUpdate.SetWindowPos(NULL, 100 - br.Width() / 2, top + h + 8, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetContentHeight(top + h + br.Height() + 10);
}

void CTabPage::SetContentHeight(int contentHeight)
{
    CRect client;
    GetClientRect(&client);
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    si.nPage = (UINT)(client.Height() / kScrollUnit);
    si.nMin = 0;
    si.nMax = contentHeight / kScrollUnit - 1;
    si.nPos = 0;
    si.nTrackPos = 0;
    SetScrollInfo(SB_VERT, &si, TRUE);
    m_bScrollable = (int)si.nPage <= si.nMax;
    m_scrollOffset = 0;
    Invalidate(FALSE);
}

LRESULT CTabPage::OnFoldPanelToggled(WPARAM, LPARAM)
{
    // A section being made opens and closes as it is put in; the step lays the page out
    // once when it is done.
    if (m_bBuilding) return 0;
    SCROLLINFO before = {};
    before.cbSize = sizeof(before);
    GetScrollInfo(SB_VERT, &before, SIF_ALL);
    // Back to the top first: the layout works in unscrolled coordinates.
    if (m_scrollOffset != 0) ScrollWindow(0, m_scrollOffset);
    SetContentHeight(10);
    Invalidate(FALSE);
    LayoutPanels();
    SCROLLINFO after = {};
    after.cbSize = sizeof(after);
    GetScrollInfo(SB_VERT, &after, SIF_ALL);
    if (m_bScrollable && after.nMax >= before.nMax) ScrollTo(before.nPos);
    return 0;
}

void CTabPage::ScrollTo(int pos)
{
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    GetScrollInfo(SB_VERT, &si, SIF_ALL);
    int highest = si.nMax - (int)si.nPage + 1;
    if (pos > highest) pos = highest;
    if (pos < si.nMin) pos = si.nMin;
    int old = m_scrollOffset / kScrollUnit;
    if (pos == old) return;
    ScrollWindow(0, (old - pos) * kScrollUnit);
    m_scrollOffset = pos * kScrollUnit;
    SetScrollPos(SB_VERT, pos, TRUE);
    RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CTabPage::OnSize(UINT nType, int cx, int cy)
{
    CPanelDialog::OnSize(nType, cx, cy);
    if (m_scrollOffset != 0) ScrollWindow(0, m_scrollOffset);
    m_scrollOffset = 0;
    LayoutPanels();
}

void CTabPage::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    GetScrollInfo(SB_VERT, &si, SIF_ALL);
    int pos = m_scrollOffset / kScrollUnit;
    int highest = si.nMax - (int)si.nPage + 1;
    int target = pos;
    switch (nSBCode) {
    case SB_LINEUP:
        if (pos > si.nMin) target = pos - 1;
        break;
    case SB_LINEDOWN:
        if (pos < highest) target = pos + 1;
        break;
    case SB_PAGEUP: {
        int remaining = pos - si.nMin;
        target = pos - (remaining < 6 ? remaining : 5);
        break;
    }
    case SB_PAGEDOWN: {
        int remaining = highest - pos;
        target = pos + (remaining < 6 ? remaining : 5);
        break;
    }
    case SB_THUMBTRACK:
        target = (int)nPos;
        break;
    case SB_TOP:
        target = si.nMin;
        break;
    case SB_BOTTOM:
        target = highest;
        break;
    default:
        break;
    }
    if (target != pos && target >= si.nMin && target <= (highest > si.nMin ? highest : si.nMin)) {
        ScrollWindow(0, (pos - target) * kScrollUnit);
        m_scrollOffset = target * kScrollUnit;
        SetScrollPos(SB_VERT, target, TRUE);
        Invalidate(FALSE);
    }
    CPanelDialog::OnVScroll(nSBCode, nPos, pScrollBar);
}

void CTabPage::OnLButtonDown(UINT nFlags, CPoint point)
{
    CWnd* logo = GetDlgItem(IDC_PAGE_LOGO);
    if (logo != NULL) {
        CRect r;
        logo->GetWindowRect(&r);
        ScreenToClient(&r);
        if (r.PtInRect(point)) {
            CString address;
            address.LoadString(IDS_WEB_ADDRESS);
            ShellLaunch(NULL, L"open", address, NULL, NULL, SW_SHOWNORMAL);
        }
    }
    CPanelDialog::OnLButtonDown(nFlags, point);
}

void CTabPage::OnUpdateButton() { StartUpdater(); }
