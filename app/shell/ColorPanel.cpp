#include "app/shell/ColorPanel.h"

IMPLEMENT_DYNAMIC(CColorPanel, CDialog)

BEGIN_MESSAGE_MAP(CColorPanel, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CColorPanel::CColorPanel(CWnd* pParent)
    : CDialog(IDD, pParent), m_background(NULL), m_innerBrush(NULL), m_lowerBrush(NULL), m_inner(0, 0, 0, 0)
{
    // Brushes are made on first use: no Win32 calls while objects are being built.
}

CColorPanel::~CColorPanel()
{
    if (m_background) ::DeleteObject(m_background);
    if (m_innerBrush) ::DeleteObject(m_innerBrush);
    if (m_lowerBrush) ::DeleteObject(m_lowerBrush);
}

void CColorPanel::Replace(HBRUSH& brush, int r, int g, int b)
{
    if (brush != NULL) ::DeleteObject(brush);
    brush = ::CreateSolidBrush(RGB(r, g, b));
}

void CColorPanel::SetColor(int r, int g, int b)
{
    Replace(m_background, r, g, b);
    Replace(m_innerBrush, r, g, b);
    Replace(m_lowerBrush, r, g, b);
}

void CColorPanel::SetInnerColor(int r, int g, int b) { Replace(m_innerBrush, r, g, b); }
void CColorPanel::SetLowerColor(int r, int g, int b) { Replace(m_lowerBrush, r, g, b); }
void CColorPanel::SetInnerRect(const RECT& rect) { m_inner = rect; }

BOOL CColorPanel::OnEraseBkgnd(CDC*) { return TRUE; }

void CColorPanel::OnPaint()
{
    CPaintDC dc(this);
    if (m_background == NULL) Replace(m_background, 189, 189, 189);
    if (m_innerBrush == NULL) Replace(m_innerBrush, 189, 189, 189);
    if (m_lowerBrush == NULL) Replace(m_lowerBrush, 189, 189, 189);
    CRect client;
    GetClientRect(&client);
    ::FillRect(dc.m_hDC, &client, m_background);
    ::FillRect(dc.m_hDC, &m_inner, m_innerBrush);
    CRect lower(client.left, m_inner.bottom, client.right, client.bottom);
    if (lower.bottom > lower.top) ::FillRect(dc.m_hDC, &lower, m_lowerBrush);
}
