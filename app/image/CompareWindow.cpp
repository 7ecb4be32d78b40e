#include "app/image/CompareWindow.h"

IMPLEMENT_DYNAMIC(CCompareWindow, CDialog)

BEGIN_MESSAGE_MAP(CCompareWindow, CDialog)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CCompareWindow::CCompareWindow(CWnd* pParent) : CDialog(IDD, pParent), m_layout(0), m_plannedLayout(0) {}

CCompareWindow::~CCompareWindow()
{
    DestroyPanes();
}

void CCompareWindow::OnOK() {}
void CCompareWindow::OnCancel() {}

void CCompareWindow::PlanPanes(int layout)
{
    DestroyPanes();
    m_layout = layout;
    m_plannedLayout = layout;
}

void CCompareWindow::MakePlannedPanes()
{
    if (m_plannedLayout == 0 || GetSafeHwnd() == NULL) return;
    const int layout = m_plannedLayout;
    m_plannedLayout = 0;
    CreatePanes(layout);
}

int CCompareWindow::CreatePanes(int layout)
{
    const int count = layout == 1 ? 2 : (layout == 2 ? 4 : 0);
    m_layout = layout;
    m_plannedLayout = 0;
    DestroyPanes();
    for (int i = 0; i < count; ++i) {
        CComparePane* pane = new CComparePane(NULL);
        if (!pane->Create(CComparePane::IDD, this)) {
            delete pane;
            DestroyPanes();
            return 0;
        }
        pane->ModifyStyle(WS_POPUP, WS_CHILD);
        pane->SetParent(this);
        pane->ShowWindow(SW_SHOW);
        m_panes.push_back(pane);
    }
    if (GetSafeHwnd() != NULL && count > 0)
        LayoutPanes();
    return 1;
}

void CCompareWindow::DestroyPanes()
{
    for (CComparePane* pane : m_panes) {
        if (pane->GetSafeHwnd() != NULL)
            pane->DestroyWindow();
        delete pane;
    }
    m_panes.clear();
}

void CCompareWindow::LayoutPanes()
{
    if (GetSafeHwnd() == NULL)
        return;
    CRect client;
    GetClientRect(&client);
    const int w = client.Width() / 2, h = client.Height() / 2;
    for (size_t i = 0; i < m_panes.size(); ++i) {
        CComparePane* pane = m_panes[i];
        if (pane->GetSafeHwnd() == NULL)
            continue;
        if (m_layout == 1 && i < 2)
            pane->MoveWindow((int)i * w, 0, w, client.Height());
        else if (m_layout == 2 && i < 4)
            pane->MoveWindow((int)(i % 2) * w, (int)(i / 2) * h, w, h);
        pane->ResizePicture();
    }
    Invalidate();
}

void CCompareWindow::GetPanes(std::vector<CComparePane*>& out)
{
    MakePlannedPanes();
    out = m_panes;
}

void CCompareWindow::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    LayoutPanes();
}

BOOL CCompareWindow::OnEraseBkgnd(CDC*)
{
    return TRUE;
}
