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
    // The room the panes of one direction share: the client less the borders and gaps.
    int PaneRoom(BOOL columns) const;
    // Gives the last column (or row) size pixels and the first the rest, both clamped at 0
    // when the room is smaller, and lays the panes out.  For two panes in that direction.
    void FixLastColumn(int size);
    void FixLastRow(int size);
    // Where the last layout put a pane, in screen coordinates.
    CRect PaneScreenRect(int row, int col) const;
    virtual void OnDrawSplitter(CDC* pDC, ESplitType nType, const RECT& rect) override;

protected:
    afx_msg void OnLButtonDown(UINT nFlags, CPoint pt);
    afx_msg void OnMouseMove(UINT nFlags, CPoint pt);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()
};
