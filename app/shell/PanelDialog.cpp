#include "app/shell/PanelDialog.h"
#include "app/shell/AppDirectory.h"

IMPLEMENT_DYNAMIC(CPanelDialog, CDialog)

BEGIN_MESSAGE_MAP(CPanelDialog, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CPanelDialog::CPanelDialog(UINT nIDTemplate, CWnd* pParent, LPCWSTR skinFile)
    : CDialog(nIDTemplate, pParent), m_skinFile(skinFile), m_hSkin(NULL), m_hMemDC(NULL), m_hMemDC2(NULL),
      m_hOldBitmap(NULL), m_bRestLater(FALSE), m_bRestPending(FALSE)
{
}

CPanelDialog::~CPanelDialog()
{
    if (m_hMemDC != NULL) {
        ::SelectObject(m_hMemDC, m_hOldBitmap);
        ::DeleteDC(m_hMemDC);
    }
    if (m_hMemDC2 != NULL) ::DeleteDC(m_hMemDC2);
    if (m_hSkin != NULL) ::DeleteObject(m_hSkin);
}

void CPanelDialog::SetSkinFile(LPCWSTR skinFile)
{
    m_skinFile = skinFile;
    if (m_hWnd != NULL) {
        LoadSkin();
        Invalidate(FALSE);
    }
}

void CPanelDialog::LoadSkin()
{
    if (m_hMemDC != NULL) {
        ::SelectObject(m_hMemDC, m_hOldBitmap);
        ::DeleteDC(m_hMemDC);
        m_hMemDC = NULL;
    }
    if (m_hMemDC2 != NULL) ::DeleteDC(m_hMemDC2);
    m_hMemDC2 = NULL;
    if (m_hSkin != NULL) ::DeleteObject(m_hSkin);
    m_hSkin = AfxLoadBitmapFile(AppPath(m_skinFile));
    HDC hdc = ::GetDC(m_hWnd);
    m_hMemDC = ::CreateCompatibleDC(hdc);
    m_hMemDC2 = ::CreateCompatibleDC(hdc);
    ::ReleaseDC(m_hWnd, hdc);
    m_hOldBitmap = m_hSkin != NULL ? ::SelectObject(m_hMemDC, m_hSkin) : NULL;
}

BOOL CPanelDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    LoadSkin();
    return TRUE;
}

void CPanelDialog::FinishInitDialog()
{
    m_bRestPending = m_bRestLater;
    m_bRestLater = FALSE;
    if (!m_bRestPending) OnMakeRest();
}

void CPanelDialog::MakeRest()
{
    if (!IsRestPending()) return;
    m_bRestPending = FALSE;
    OnMakeRest();
}

void CPanelDialog::AddTransparentStatic(int nID) { m_transparent.Add((UINT)nID); }

void CPanelDialog::PaintSkin(CDC* pDC, const RECT& rect)
{
    if (m_hSkin == NULL || m_hMemDC == NULL) {
        pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_BTNFACE));
        return;
    }
    BITMAP bm = {};
    ::GetObjectW(m_hSkin, sizeof(bm), &bm);
    CRect client;
    GetClientRect(&client);
    ::SetStretchBltMode(pDC->m_hDC, COLORONCOLOR);
    ::StretchBlt(pDC->m_hDC, client.left, client.top, client.Width(), client.Height(), m_hMemDC, 0, 0,
                 bm.bmWidth, bm.bmHeight, SRCCOPY);
}

void CPanelDialog::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    PaintSkin(&dc, client);
}

BOOL CPanelDialog::OnEraseBkgnd(CDC*) { return TRUE; }

HBRUSH CPanelDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hbr = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (nCtlColor != CTLCOLOR_STATIC || pWnd == NULL) return hbr;
    BOOL bTransparent = m_transparent.GetSize() == 0;
    for (int i = 0; i < m_transparent.GetSize() && !bTransparent; i++)
        bTransparent = (int)m_transparent[i] == pWnd->GetDlgCtrlID();
    if (!bTransparent) return hbr;
    pDC->SetBkMode(TRANSPARENT);
    return (HBRUSH)::GetStockObject(HOLLOW_BRUSH);
}

BOOL CPanelDialog::PreTranslateMessage(MSG* pMsg) { return PanelPreTranslate(this, pMsg); }

BOOL PanelPreTranslate(CDialog* pDialog, MSG* pMsg)
{
    if (pMsg->wParam == 13 || pMsg->wParam == 27) return FALSE;
    return pDialog->CDialog::PreTranslateMessage(pMsg);
}
