#include "SkinTabCtrl.h"

CSkinTabCtrl::CSkinTabCtrl() {}
CSkinTabCtrl::~CSkinTabCtrl() {}

BEGIN_MESSAGE_MAP(CSkinTabCtrl, CTabCtrl)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

void CSkinTabCtrl::SetBitmaps(UINT nTab0, UINT nTab1, UINT nTab2)
{
    UINT ids[3] = { nTab0, nTab1, nTab2 };
    for (int i = 0; i < 3; i++) {
        m_bmpTab[i].DeleteObject();
        if (LOWORD(ids[i])) m_bmpTab[i].LoadBitmap(LOWORD(ids[i]));
    }
    if (m_hWnd != NULL) Invalidate();
}

BOOL CSkinTabCtrl::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    pDC->FillSolidRect(&rect, RGB(199, 204, 211));
    return TRUE;
}

CRect CSkinTabCtrl::GetCaptionRect(int nItem) const
{
    CRect rect;
    GetItemRect(nItem, &rect);
    if (nItem == GetCurSel()) {
        rect.left -= 1;
        rect.top -= 2;
        rect.bottom += 1;
    }
    return rect;
}

void CSkinTabCtrl::OnPaint()
{
    CPaintDC dc(this);
    int nSel = GetCurSel();
    CRect rect0;
    GetItemRect(0, &rect0);
    if (nSel >= 0 && nSel < 3 && m_bmpTab[nSel].GetSafeHandle() != NULL) {
        BITMAP bm = {};
        m_bmpTab[nSel].GetBitmap(&bm);
        CDC mem;
        mem.CreateCompatibleDC(&dc);
        CBitmap* pOld = mem.SelectObject(&m_bmpTab[nSel]);
        dc.SetStretchBltMode(COLORONCOLOR);
        dc.StretchBlt(rect0.left - 1, rect0.top - 2, 3 * rect0.Width(), rect0.Height() + 3, &mem, 0, 0, bm.bmWidth,
                      bm.bmHeight, SRCCOPY);
        mem.SelectObject(pOld);
    }

    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = sizeof(ncm);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    int nCount = GetItemCount();
    for (int i = 0; i < nCount; i++) {
        CRect rect = GetCaptionRect(i);
        WCHAR text[256] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 256;
        GetItem(i, &item);

        LOGFONTW lf = ncm.lfMenuFont;
        lf.lfWeight = FW_BOLD;
        lstrcpynW(lf.lfFaceName, L"Arial", LF_FACESIZE);
        CFont font;
        font.CreateFontIndirect(&lf);
        CFont* pOldFont = dc.SelectObject(&font);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(RGB(0, 0, 0));
        dc.DrawText(text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        dc.SelectObject(pOldFont);
    }
}
