// A progress bar in plain colours (green fill, red peak marker) that remembers the
// highest position set since its last reset; the focus meter uses it.
#pragma once
#include "afxwin.h"

class CSkinProgressCtrl : public CProgressCtrl
{
public:
    CSkinProgressCtrl();
    virtual ~CSkinProgressCtrl();

    void SetRange(int nMin, int nMax);   // the position goes back to nMin
    void SetPos(int nPos);
    void Reset();                        // position and peak back to the minimum
    void SetBackColor(COLORREF cr) { m_crBack = cr; }
    int GetPos() const { return m_nPos; }
    UINT GetPeak() const { return m_nPeak; }

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

    UINT m_nPeak;
    int m_nPos;
    int m_nMin;
    int m_nMax;
    COLORREF m_crBack;
};
