// An integer edit with a range, on a bitmap background.
#pragma once
#include "SkinEdit.h"

// Sent (not posted) to the parent, wParam the control id, when an update leaves a
// number inside the range in the field.  Losing the focus is forwarded to the parent
// as WM_KILLFOCUS with the control id in wParam.
#define WM_NUMEDIT_VALUE 0x0930

class CNumericEdit : public CEdit
{
public:
    CNumericEdit();
    virtual ~CNumericEdit();

    void SetRange(int nMin, int nMax);   // the value becomes nMin; the text stays
    void SetBitmaps(UINT nNormal, UINT nDisabled);
    void SetFocusRedirect(BOOL bRedirect) { m_bFocusRedirect = bRedirect; }
    void SetAltInset(BOOL bAlt) { m_bAltInset = bAlt; }
    virtual HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);

    int GetValue() const { return m_nValue; }   // -1 while the field is empty
    int GetMin() const { return m_nMin; }
    int GetMax() const { return m_nMax; }

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnChangeReflect();
    afx_msg void OnUpdateReflect();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()

    // Replaces the text without treating the change as the user's.
    void ReplaceText(const CString& text, int nCaret);

    CBitmap m_bmpNormal, m_bmpDisabled;
    int m_nMax;
    int m_nMin;
    int m_nValue;
    BOOL m_bFocusRedirect;
    BOOL m_bAltInset;
    BOOL m_bCorrecting;
};
