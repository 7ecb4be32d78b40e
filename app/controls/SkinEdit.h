// A text edit drawn on a bitmap background.
#pragma once
#include "afxwin.h"

// Sent (not posted) to the parent on every text change, wParam the control id.  It
// shares its number with WM_CUT; receivers tell the two apart by the id.
#define WM_EDIT_CHANGED 0x0300

class CSkinEdit : public CEdit
{
public:
    CSkinEdit();
    virtual ~CSkinEdit();

    void SetBitmaps(UINT nNormal, UINT nDisabled);
    // A click hands the keyboard focus to pTarget, or to the edit's grandparent.
    void SetFocusRedirect(BOOL bRedirect, CWnd* pTarget = NULL);
    virtual HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnChangeReflect();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()

    CBitmap m_bmpNormal, m_bmpDisabled;
    BOOL m_bFocusRedirect;
    CWnd* m_pFocusTarget;
};

// The skinned edits' background: the state's bitmap stretched over the client area
// moved by (dx, dy) and grown by (dw, dh).
void DrawEditBackground(CWnd* pEdit, CDC* pDC, CBitmap& normal, CBitmap& disabled, int dx, int dy, int dw, int dh);
