// Measurement overlay over the live preview (placeholder).
#pragma once
#include "afxwin.h"
#include "app/capture/OverlayWndIds.h"

class COverlayWnd : public CDialog
{
    DECLARE_DYNAMIC(COverlayWnd)
public:
    explicit COverlayWnd(CWnd* pParent = NULL);
    virtual ~COverlayWnd();
    enum { IDD = IDD_OVERLAY_WND };

    virtual void ZoomActualSize();
    virtual void ZoomToFit();
    virtual void ApplyZoom();
    virtual void GetScrollOffset(POINT* offset);

protected:

    DECLARE_MESSAGE_MAP()
};
