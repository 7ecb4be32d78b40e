// The main frame's splitter: static, laid out by the program, bars that cannot be
// dragged, one-pixel gaps and a flat grey border.
#pragma once
#include "afxwin.h"

class CFixedSplitterWnd : public CSplitterWnd
{
    DECLARE_DYNAMIC(CFixedSplitterWnd)
public:
    CFixedSplitterWnd();
    virtual ~CFixedSplitterWnd();

    void SetThinGaps();
    virtual void OnDrawSplitter(CDC* pDC, ESplitType nType, const RECT& rect) override;

protected:
    afx_msg void OnLButtonDown(UINT nFlags, CPoint pt);
    afx_msg void OnMouseMove(UINT nFlags, CPoint pt);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()
};
