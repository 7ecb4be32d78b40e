#include "app/shell/ProgressPopup.h"
#include "app/shell/PanelDialog.h"

IMPLEMENT_DYNAMIC(CProgressPopup, CDialog)

BEGIN_MESSAGE_MAP(CProgressPopup, CDialog)
    ON_WM_SIZE()
END_MESSAGE_MAP()

CProgressPopup::CProgressPopup(CWnd* pParent) : CDialog(IDD, pParent) {}
CProgressPopup::~CProgressPopup() {}

BOOL CProgressPopup::OnInitDialog()
{
    CDialog::OnInitDialog();
    CRect client;
    GetClientRect(&client);
    m_progress.Create(WS_CHILD | WS_VISIBLE | PBS_SMOOTH, client, this, 0);
    m_progress.SetRange32(0, 255);
    m_progress.SetPos(100);
    return TRUE;
}

BOOL CProgressPopup::PreTranslateMessage(MSG* pMsg) { return PanelPreTranslate(this, pMsg); }

void CProgressPopup::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (m_progress.m_hWnd != NULL) m_progress.MoveWindow(0, 0, cx, cy);
}
