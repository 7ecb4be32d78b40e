// A button painted from bitmaps, one per state, optionally shaped by a mask; it keeps
// check-box and radio behaviour itself, since owner drawing removes the native one.
#pragma once
#include "afxwin.h"

// Posted to the other buttons of a radio group when one becomes checked.
#define WM_RADIO_UNCHECK 0x0500

class CSkinBitmapButton : public CButton
{
public:
    enum Kind { KIND_PUSH = 0, KIND_CHECKBOX = 2, KIND_RADIO = 4 };
    enum DrawMode { DRAW_NATURAL = 0, DRAW_STRETCH = 1, DRAW_TILE = 2 };

    CSkinBitmapButton();
    virtual ~CSkinBitmapButton();

    // Bitmap resource ids (0 = none); a disabled id of 0 takes the normal bitmap.  A
    // mask (white = outside) shapes the window; with DRAW_NATURAL the window takes the
    // mask's size.
    void SetSkin(UINT nNormal, UINT nPressed, UINT nHover, UINT nDisabled, UINT nFocus, UINT nMask,
                 short nDrawMode = DRAW_STRETCH, short bEdge3D = 0, short nCaptionOffset = 0);
    // The tip window is made when the pointer first comes over the button: a window per
    // button made up front would slow the start of every bar.
    void SetToolTipText(LPCWSTR lpszText);
    COLORREF SetTextColor(COLORREF crText);
    void SetRightAlignedText(BOOL bRight);

    int GetKind() const { return m_nKind; }
    BOOL IsHover() const { return m_bHover; }

protected:
    virtual void PreSubclassWindow() override;
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnMouseLeave();
    afx_msg LRESULT OnRadioUncheck(WPARAM, LPARAM);
    afx_msg LRESULT OnSetCheck(WPARAM wParam, LPARAM);
    afx_msg LRESULT OnGetCheck(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

    void RelayToTip(UINT message, WPARAM wParam, LPARAM lParam);
    // What a click (or Space) does to a check box or radio button.
    void ToggleByUser();
    void DrawSkinBitmap(CDC* pDC, CBitmap& bitmap, const CRect& rect);
    BOOL CursorOverSelf() const;

    BOOL m_bRightText;
    BYTE m_bChecked;
    int m_nKind;
    BYTE m_bHover;
    BYTE m_bMouseDown;
    CToolTipCtrl* m_pToolTip;
    CString m_strTip;
    CBitmap m_bmpNormal, m_bmpPressed, m_bmpDisabled, m_bmpMask, m_bmpHover, m_bmpFocus;
    short m_nCaptionOffset;
    COLORREF m_crText;
    // The window region made from the mask belongs to the system once installed: no
    // handle to it is kept.
    BOOL m_bEdge3D;
    short m_nDrawMode;
};

// Builds the region of a mask bitmap's pixels that are not crTransparent, one
// rectangle per horizontal run; an empty region when every pixel is transparent.
HRGN CreateRegionFromMask(HBITMAP hMask, COLORREF crTransparent);
