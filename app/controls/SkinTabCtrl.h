// The tab strip of the manage view, painted from one bitmap per selected tab with bold
// captions over it.
#pragma once
#include "afxwin.h"

class CSkinTabCtrl : public CTabCtrl
{
public:
    CSkinTabCtrl();
    virtual ~CSkinTabCtrl();
    // The strip while tab 0, 1 or 2 is selected (0 = none).
    void SetBitmaps(UINT nTab0, UINT nTab1, UINT nTab2);
    // The rectangle tab nItem's caption is drawn in.
    CRect GetCaptionRect(int nItem) const;

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

    CBitmap m_bmpTab[3];
};
