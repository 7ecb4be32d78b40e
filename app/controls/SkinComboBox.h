// A drop-down list painted from state bitmaps, with the selected text drawn over them.
#pragma once
#include "afxwin.h"

// Posted to the parent on every selection change (wParam the control id); the parent
// never sees the list's own CBN_SELCHANGE.
#define WM_COMBO_SELCHANGED 0x0800

class CSkinComboBox : public CComboBox
{
public:
    enum { ARROW_ZONE = 20 };
    enum Look { LOOK_NORMAL = 0, LOOK_PRESSED = 1, LOOK_HOVER = 2 };

    CSkinComboBox();
    virtual ~CSkinComboBox();

    void SetBitmaps(UINT nNormal, UINT nPressed, UINT nHover, UINT nDisabled);
    void SetShowText(BOOL bShow) { m_bShowText = bShow; }
    void SetCenteredText(BOOL bCentred) { m_bCentredText = bCentred; }
    void SetMaxTextLength(int nCount) { m_nMaxTextLength = nCount; }
    int GetLook() const { return m_nLook; }

protected:
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnSetFocusReflect();
    afx_msg void OnEditUpdateReflect();
    afx_msg void OnSelChangeReflect();
    afx_msg void OnMouseLeave();
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

    BOOL InArrowZone(CPoint point) const;
    void SetLook(BYTE nLook);

    CBitmap m_bmpNormal, m_bmpPressed, m_bmpDisabled, m_bmpHover;
    BYTE m_nLook;
    BOOL m_bShowText;
    BOOL m_bCentredText;
    int m_nMaxTextLength;
};
