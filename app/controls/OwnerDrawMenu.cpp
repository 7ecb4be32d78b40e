#include "OwnerDrawMenu.h"
#include <vector>

COwnerDrawMenu::COwnerDrawMenu(CImageList* pImageList)
    : m_crBack(::GetSysColor(COLOR_MENU)), m_crText(::GetSysColor(COLOR_MENUTEXT)),
      m_crHighlight(::GetSysColor(COLOR_HIGHLIGHT)), m_crHighlightText(::GetSysColor(COLOR_HIGHLIGHTTEXT)),
      m_logFont(), m_pImageList(NULL), m_cxIcon(0), m_cyIcon(0)
{
    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = sizeof(ncm);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    m_logFont = ncm.lfMenuFont;
    lstrcpynW(m_logFont.lfFaceName, L"Arial", LF_FACESIZE);
    m_brBack.CreateSolidBrush(m_crBack);
    m_brHighlight.CreateSolidBrush(m_crHighlight);
    SetImageList(pImageList);
}

COwnerDrawMenu::~COwnerDrawMenu() { DestroyAll(); }

void COwnerDrawMenu::SetImageList(CImageList* pImageList)
{
    m_pImageList = pImageList;
    m_cxIcon = m_cyIcon = 0;
    IMAGEINFO info = {};
    if (pImageList != NULL && pImageList->GetSafeHandle() != NULL && pImageList->GetImageInfo(0, &info)) {
        m_cxIcon = info.rcImage.right - info.rcImage.left;
        m_cyIcon = info.rcImage.bottom - info.rcImage.top;
    }
}

void COwnerDrawMenu::SetBackColor(COLORREF cr)
{
    m_crBack = cr;
    m_brBack.DeleteObject();
    m_brBack.CreateSolidBrush(cr);
}

void COwnerDrawMenu::SetHighlightColor(COLORREF cr)
{
    m_crHighlight = cr;
    m_brHighlight.DeleteObject();
    m_brHighlight.CreateSolidBrush(cr);
}

BOOL COwnerDrawMenu::AppendItem(UINT nFlags, UINT_PTR nID, LPCWSTR lpszText, int nImage, int nSelectedImage,
                                int nDisabledImage)
{
    if (!(nFlags & MF_OWNERDRAW) && nImage == -1) return AppendMenu(nFlags, nID, lpszText);
    Item* pItem = new Item;
    pItem->text = lpszText;
    pItem->nImage = nImage;
    pItem->nSelectedImage = nSelectedImage;
    pItem->nDisabledImage = nDisabledImage;
    pItem->nSpare = 0;
    m_items.Add(pItem);
    return AppendMenu(nFlags | MF_OWNERDRAW, nID, (LPCWSTR)pItem);
}

void COwnerDrawMenu::DestroyAll()
{
    for (INT_PTR i = m_subMenus.GetSize() - 1; i >= 0; i--) delete (COwnerDrawMenu*)m_subMenus[i];
    m_subMenus.RemoveAll();
    m_brBack.DeleteObject();
    m_brHighlight.DeleteObject();
    for (INT_PTR i = 0; i < m_items.GetSize(); i++) delete (Item*)m_items[i];
    m_items.RemoveAll();
    DestroyMenu();
}

BOOL COwnerDrawMenu::LoadMenu(UINT nIDResource)
{
    LPCWSTR name = MAKEINTRESOURCEW(nIDResource);
    HINSTANCE hInst = AfxFindResourceHandle(name, (LPCWSTR)RT_MENU);
    HRSRC hRes = ::FindResourceW(hInst, name, (LPCWSTR)RT_MENU);
    if (hRes == NULL) return FALSE;
    HGLOBAL hData = ::LoadResource(hInst, hRes);
    const BYTE* pData = hData != NULL ? (const BYTE*)::LockResource(hData) : NULL;
    if (pData == NULL) return FALSE;
    return BuildFromTemplate(pData, ::SizeofResource(hInst, hRes));
}

BOOL COwnerDrawMenu::BuildFromTemplate(const BYTE* pData, DWORD cbData)
{
    if (cbData < 4) return FALSE;
    DestroyMenu();
    if (!CreateMenu()) return FALSE;
    const WORD* p = (const WORD*)pData;
    const WORD* pEnd = (const WORD*)(pData + (cbData & ~1u));
    p = (const WORD*)(pData + 4 + p[1]);

    // Each level is a menu; a pop-up item that ends its own level ends its parent's too.
    std::vector<COwnerDrawMenu*> stack(1, this);
    std::vector<bool> endsParent(1, false);
    while (!stack.empty() && p < pEnd) {
        WORD wFlags = *p++;
        WORD wID = 0;
        if (!(wFlags & MF_POPUP)) {
            if (p >= pEnd) break;
            wID = *p++;
        }
        CString text;
        const WORD* pText = p;
        while (p < pEnd && *p != 0) p++;
        if (p >= pEnd) break;   // a text running off the end: nothing more to trust
        text = CString((LPCWSTR)pText, (int)(p - pText));
        p++;

        bool bEnd = (wFlags & MF_END) != 0;
        UINT nFlags = wFlags & ~MF_END;
        if (nFlags & MF_POPUP) {
            COwnerDrawMenu* pSub = new COwnerDrawMenu(NULL);
            pSub->CreatePopupMenu();
            stack.back()->AppendItem(nFlags, (UINT_PTR)pSub->m_hMenu, text);
            m_subMenus.Add(pSub);
            stack.push_back(pSub);
            endsParent.push_back(bEnd);
            continue;
        }
        if (nFlags == 0 && wID == 0 && text.IsEmpty()) nFlags = MF_SEPARATOR;
        stack.back()->AppendItem(nFlags, wID, text);
        if (!bEnd) continue;
        for (;;) {
            bool bCascade = endsParent.back();
            stack.pop_back();
            endsParent.pop_back();
            if (!bCascade || stack.empty()) break;
        }
    }
    return TRUE;
}

void COwnerDrawMenu::MeasureItem(LPMEASUREITEMSTRUCT lpMIS)
{
    lpMIS->itemWidth = ITEM_WIDTH;
    lpMIS->itemHeight = ITEM_HEIGHT;
}

void COwnerDrawMenu::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CRect rect(lpDIS->rcItem);
    UINT state = lpDIS->itemState;
    const Item* pItem = (const Item*)lpDIS->itemData;
    BOOL bSelected = (state & ODS_SELECTED) != 0;
    BOOL bGrayed = (state & ODS_GRAYED) != 0;

    HICON hIcon = NULL;
    if (pItem != NULL && pItem->nImage != -1 && m_pImageList != NULL && m_pImageList->GetSafeHandle() != NULL) {
        int nImage = -1;
        if (bGrayed) nImage = pItem->nDisabledImage;
        else if (bSelected) nImage = pItem->nSelectedImage;
        if (nImage == -1) nImage = pItem->nImage;
        hIcon = ::ImageList_GetIcon(m_pImageList->GetSafeHandle(), nImage, ILD_NORMAL);
    }

    if (bSelected) {
        pDC->FillRect(&rect, &m_brHighlight);
    } else {
        pDC->FillRect(&rect, &m_brBack);
        CPen pen(PS_SOLID, 1, m_crBack);
        CPen* pOldPen = pDC->SelectObject(&pen);
        CGdiObject* pOldBrush = pDC->SelectStockObject(NULL_BRUSH);
        pDC->Rectangle(&rect);
        pDC->SelectObject(pOldBrush);
        pDC->SelectObject(pOldPen);
    }
    COLORREF crText = bSelected ? m_crHighlightText : m_crText;
    CFont font;
    font.CreateFontIndirect(&m_logFont);
    CFont* pOldFont = pDC->SelectObject(&font);

    if (hIcon != NULL) {
        ::DrawIconEx(lpDIS->hDC, rect.left, rect.top + (rect.Height() - m_cyIcon) / 2, hIcon, m_cxIcon, m_cyIcon, 0,
                     NULL, DI_NORMAL);
        ::DestroyIcon(hIcon);
    }
    rect.left += m_cxIcon + 2;

    int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const UINT nFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS;
    if (pItem != NULL && !pItem->text.IsEmpty()) {
        if (bGrayed) {
            CRect shifted(rect);
            shifted.OffsetRect(1, 1);
            pDC->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
            pDC->DrawText(pItem->text, &shifted, nFormat);
            pDC->SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
            pDC->DrawText(pItem->text, &rect, nFormat);
        } else {
            pDC->SetTextColor(crText);
            pDC->DrawText(pItem->text, &rect, nFormat);
        }
    }
    pDC->SetBkMode(nOldMode);
    pDC->SelectObject(pOldFont);
}
