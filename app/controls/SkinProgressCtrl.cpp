#include "SkinProgressCtrl.h"

CSkinProgressCtrl::CSkinProgressCtrl()
    : m_nPeak(0), m_nPos(0), m_nMin(0), m_nMax(100), m_crBack(::GetSysColor(COLOR_BTNFACE))
{
}

CSkinProgressCtrl::~CSkinProgressCtrl() {}

BEGIN_MESSAGE_MAP(CSkinProgressCtrl, CProgressCtrl)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

void CSkinProgressCtrl::SetRange(int nMin, int nMax)
{
    m_nMin = nMin;
    m_nMax = nMax;
    m_nPos = nMin;
    if (m_hWnd != NULL) SendMessage(PBM_SETRANGE, 0, MAKELPARAM(nMin, nMax));
}

void CSkinProgressCtrl::SetPos(int nPos)
{
    m_nPos = nPos;
    if ((UINT)nPos > m_nPeak) m_nPeak = (UINT)nPos;
    if (m_hWnd != NULL) SendMessage(PBM_SETPOS, (WPARAM)nPos, 0);
}

void CSkinProgressCtrl::Reset()
{
    m_nPos = m_nMin;
    m_nPeak = (UINT)m_nMin;
    if (m_hWnd != NULL) Invalidate();
}

BOOL CSkinProgressCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CSkinProgressCtrl::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    int W = rect.Width(), H = rect.Height();
    if (W <= 0 || H <= 0) return;
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap canvas;
    canvas.CreateCompatibleBitmap(&dc, W, H);
    CBitmap* pOld = mem.SelectObject(&canvas);

    // Scaled by the maximum alone; a maximum of 0 fills nothing, and positions out of
    // range stay inside the control.
    int nFill = 0, nPeak = -1;
    if (m_nMax > 0) {
        long long fill = (long long)m_nPos * W / m_nMax;
        long long peak = (long long)m_nPeak * W / m_nMax;
        nFill = fill < 0 ? 0 : (fill > W ? W : (int)fill);
        int nLast = W > 3 ? W - 3 : 0;
        nPeak = peak > nLast ? nLast : (int)peak;
    }
    mem.FillSolidRect(0, 0, nFill, H, RGB(0, 255, 0));
    mem.FillSolidRect(nFill, 0, W - nFill, H, m_crBack);
    if (nPeak >= 0) mem.FillSolidRect(nPeak, 0, 3, H, RGB(255, 0, 0));
    dc.BitBlt(0, 0, W, H, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(pOld);
}
