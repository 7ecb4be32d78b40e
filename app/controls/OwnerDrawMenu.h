// A popup menu whose items draw themselves in the program's colours and font, with an
// optional icon from an image list.
#pragma once
#include "afxwin.h"

class COwnerDrawMenu : public CMenu
{
public:
    enum { ITEM_WIDTH = 100, ITEM_HEIGHT = 30 };
    // The colours the program's menus are given by their owners.
    static const COLORREF OWNER_TEXT = RGB(0, 0, 0);
    static const COLORREF OWNER_BACK = RGB(216, 220, 227);
    static const COLORREF OWNER_HIGHLIGHT = RGB(178, 184, 190);
    static const COLORREF OWNER_HIGHLIGHT_TEXT = RGB(255, 255, 255);

    // One owner-drawn item; its address is the item's data in the menu.
    struct Item
    {
        CString text;   // the whole text, however long
        int nImage;
        int nSelectedImage;
        int nDisabledImage;
        int nSpare;
    };

    explicit COwnerDrawMenu(CImageList* pImageList = NULL);
    virtual ~COwnerDrawMenu();

    void SetImageList(CImageList* pImageList);
    void SetTextColor(COLORREF cr) { m_crText = cr; }
    void SetHighlightTextColor(COLORREF cr) { m_crHighlightText = cr; }
    void SetBackColor(COLORREF cr);
    void SetHighlightColor(COLORREF cr);

    // Without MF_OWNERDRAW and an image the item is an ordinary one.
    BOOL AppendItem(UINT nFlags, UINT_PTR nID, LPCWSTR lpszText, int nImage = -1, int nSelectedImage = -1,
                    int nDisabledImage = -1);
    // Builds the menu (owner-drawn sub-menus included) from a menu resource of the program.
    virtual BOOL LoadMenu(UINT nIDResource);
    virtual void DestroyAll();

    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override;
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;

    int GetSubMenuCount() const { return (int)m_subMenus.GetSize(); }

protected:
    // Parses a standard menu template; stops at the end of the data whatever it says.
    BOOL BuildFromTemplate(const BYTE* pData, DWORD cbData);

    CPtrArray m_items;      // Item*, owned
    CPtrArray m_subMenus;   // COwnerDrawMenu*, owned
    COLORREF m_crBack, m_crText, m_crHighlight, m_crHighlightText;
    LOGFONTW m_logFont;
    CImageList* m_pImageList;
    int m_cxIcon, m_cyIcon;
    CBrush m_brBack, m_brHighlight;
};
