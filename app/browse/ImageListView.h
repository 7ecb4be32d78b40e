// The thumbnail strip's view: the lower pane of the right-hand column, filled by the
// strip dialog.
#pragma once
#include "afxwin.h"
#include "app/browse/ThumbnailStrip.h"

class CImageListView : public CScrollView
{
    DECLARE_DYNCREATE(CImageListView)
public:
    CImageListView();
    virtual ~CImageListView();

    CThumbnailStrip m_strip;

    virtual void OnDraw(CDC* pDC) override;
    virtual void OnInitialUpdate() override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    BOOL m_bSized;
};
