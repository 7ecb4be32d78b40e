// The measurement overlay over the live preview: a layered popup whose white pixels are
// see-through, so the picture the camera library draws into the preview shows under the
// marks the image store draws here.  Its mouse input goes to the main view's handlers;
// its scroll bars scroll itself, the preview and the main view together.
#pragma once
#include "afxwin.h"
#include "app/capture/OverlayWndIds.h"

// Posted to the overlay (0, 0): repaint the marks (the ruler's attributes changed).
const UINT WM_OVERLAY_REDRAW = 0xA01;

class COverlayWnd : public CDialog
{
    DECLARE_DYNAMIC(COverlayWnd)
public:
    explicit COverlayWnd(CWnd* pParent = NULL);
    virtual ~COverlayWnd();
    enum { IDD = IDD_OVERLAY_WND };

    virtual BOOL OnInitDialog() override;
    virtual BOOL PreTranslateMessage(MSG* pMsg) override;

    // The preview's zoom steps on the overlay's own zoom; only while the camera is live.
    virtual void ZoomIn();
    virtual void ZoomOut();
    virtual void ZoomActualSize();
    virtual void ZoomToFit();
    virtual void ApplyZoom();
    virtual void ApplyZoomToShownRect();
    virtual void SetScrollBars(int width, int height);
    virtual void GetScrollOffset(POINT* offset);
    virtual void GetScrollFlags(int* horizontal, int* vertical);
    virtual void SetCursorPoint(POINT* point);
    virtual float GetZoom() { return m_zoom; }

    // Also called by the preview window with its own mouse data.
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);

    float m_zoom;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg LRESULT OnOverlayRedraw(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    void Scroll(int bar, UINT nSBCode, UINT nPos);

    CPoint m_paintOffset;     // scroll offset in pixels handed to the store's drawing
    CPoint m_scrollOffset;    // the same offset, for the main view's mouse mapping
    int m_vScrolling, m_hScrolling;
    CRITICAL_SECTION m_lock;
    // Kept from one paint to the next: the overlay is painted on every move of the
    // pointer over it, and a new picture of its size cost more to fill the first time
    // than all the rest of a paint.
    CBitmap m_paintSurface;
};
