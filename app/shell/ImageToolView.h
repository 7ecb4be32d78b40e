// The narrow view beside the main view that hosts the browse tool column (shown while
// an image is browsed; the capture tool column takes its place during live preview).
#pragma once
#include "afxwin.h"
#include "app/browse/BrowseToolBar.h"
#include "app/capture/CaptureToolBar.h"

class CImageToolView : public CScrollView
{
    DECLARE_DYNCREATE(CImageToolView)
public:
    CImageToolView();
    virtual ~CImageToolView();

    CBrowseToolBar m_browseTools;
    // Never created: the frame's own capture tool column is the one in use.
    CCaptureToolBar m_unusedCaptureTools;

    virtual void OnDraw(CDC* pDC) override;
    virtual void OnInitialUpdate() override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};
