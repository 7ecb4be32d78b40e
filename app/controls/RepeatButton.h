// A skinned button that, while held down, tells its parent every 50 ms.
#pragma once
#include "SkinBitmapButton.h"

// Posted to the parent, wParam the button's id.  It shares its number with
// WM_LBUTTONDOWN: receivers tell the two apart by the id in wParam.
#define WM_REPEAT_TICK 0x0201

class CRepeatButton : public CSkinBitmapButton
{
public:
    enum { TIMER_REPEAT = 10, REPEAT_MS = 50 };
    CRepeatButton();
    virtual ~CRepeatButton();
    BOOL IsRepeating() const { return m_bRepeating; }

protected:
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnCancelMode(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

    void StopRepeat();
    BOOL m_bRepeating;
};
