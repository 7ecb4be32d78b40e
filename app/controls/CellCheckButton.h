// A check box living in one cell of a check list; it tells its notify window when it is
// clicked, with the row and column it was made for.
#pragma once
#include "afxwin.h"

// Sent to the notify window: wParam the row, lParam the column.
#define WM_CELLCHECK_CLICKED 0x0600

class CCellCheckButton : public CButton
{
public:
    CCellCheckButton(int nRow, int nColumn, const RECT& rect, HWND hNotify);
    virtual ~CCellCheckButton();

    int m_nRow;
    int m_nColumn;
    CRect m_rect;
    HWND m_hNotify;
    int m_bEnabled;

protected:
    afx_msg void OnClicked();
    DECLARE_MESSAGE_MAP()
};
