#include "app/image/CompareWindow.h"

IMPLEMENT_DYNAMIC(CCompareWindow, CDialog)

BEGIN_MESSAGE_MAP(CCompareWindow, CDialog)
END_MESSAGE_MAP()

CCompareWindow::CCompareWindow(CWnd* pParent) : CDialog(IDD, pParent) {}
CCompareWindow::~CCompareWindow() { DestroyPanes(); }

void CCompareWindow::CreatePanes(int layout)
{
    DestroyPanes();
    int count = layout == 2 ? 4 : 2;
    for (int i = 0; i < count; i++) {
        CComparePane* pane = new CComparePane(this);
        pane->Create(CComparePane::IDD, this);
        m_panes.push_back(pane);
    }
}

void CCompareWindow::DestroyPanes()
{
    for (size_t i = 0; i < m_panes.size(); i++) {
        if (m_panes[i]->m_hWnd != NULL) m_panes[i]->DestroyWindow();
        delete m_panes[i];
    }
    m_panes.clear();
}

void CCompareWindow::LayoutPanes() {}

void CCompareWindow::GetPanes(std::vector<CComparePane*>& out)
{
    out = m_panes;
}
