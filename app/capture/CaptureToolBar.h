// Capture tool column (placeholder).
#pragma once
#include "afxwin.h"
#include "app/capture/CaptureToolBarIds.h"

class CCaptureToolBar : public CDialog
{
    DECLARE_DYNAMIC(CCaptureToolBar)
public:
    explicit CCaptureToolBar(CWnd* pParent = NULL);
    virtual ~CCaptureToolBar();
    enum { IDD = IDD_CAPTURE_TOOLBAR };

    virtual void UpdateControlState();
    virtual void RefreshFromCamera();
    virtual void ShowZoom(float zoom);
    virtual void OnZoomFit();
    virtual void RefitLivePreview();

protected:

    DECLARE_MESSAGE_MAP()
};
