// The capture tool column beside the live preview: zoom in, out, 1:1 and fit, full
// screen, crop to a region and back, flips, the comparison pane and the background
// option, with the current zoom as a percentage at its top.  Each button acts on the
// preview and its overlay together and keeps the image store's zoom in step.
#pragma once
#include "afxwin.h"
#include "app/capture/CaptureToolBarIds.h"
#include "app/controls/SkinBitmapButton.h"

class CCaptureToolBar : public CDialog
{
    DECLARE_DYNAMIC(CCaptureToolBar)
public:
    explicit CCaptureToolBar(CWnd* pParent = NULL);
    virtual ~CCaptureToolBar();
    enum { IDD = IDD_CAPTURE_TOOLBAR };

    virtual BOOL OnInitDialog() override;
    virtual void DoDataExchange(CDataExchange* pDX) override;

    // Every button enabled while a camera is chosen.
    virtual void UpdateControlState();
    // The flip checks from the camera (cleared while it is not live).
    virtual void RefreshFromCamera();
    virtual void ShowZoom(float zoom);
    // The store's zoom becomes the preview's; the main view follows.
    virtual void SyncStoreZoomToPreview(BOOL repaint = TRUE);
    // Re-applies the preview's zoom and layout (the frame was resized).
    virtual void RefitLivePreview();
    virtual void OnZoomFit();

    // The thirteen buttons, in the order they are bound.
    CSkinBitmapButton m_buttons[13];
    int m_bMirrorH, m_bMirrorV, m_bCompare, m_bBlackBackground;

protected:
    enum ZoomKind { ZOOM_IN, ZOOM_OUT, ZOOM_ACTUAL, ZOOM_FIT };
    void Zoom(ZoomKind kind);
    void Flip(BOOL horizontal, BOOL paneAlways);

    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnZoomIn();
    afx_msg void OnZoomOut();
    afx_msg void OnActualSize();
    afx_msg void OnCrop();
    afx_msg void OnRestore();
    afx_msg void OnMirrorHSmall();
    afx_msg void OnMirrorVSmall();
    afx_msg void OnCompare();
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnFullScreen();
    afx_msg void OnBlackBackground();
    afx_msg void OnMirrorH();
    afx_msg void OnMirrorV();
    DECLARE_MESSAGE_MAP()

    HBITMAP m_hBackground;
    HDC m_hMemDC;
    HGDIOBJ m_hOldBitmap;
};

