// The live preview window: the camera library draws every frame into its video static
// (146), stretched into the rectangle this window lays out for the zoom.  The window
// scrolls and drags the picture in step with the overlay above it, switches full-screen
// preview, and turns the library's frame and focus messages into panel updates, a
// capture request and the focus meter.
#pragma once
#include "afxwin.h"
#include "app/capture/PreviewWndIds.h"
#include "app/shell/LeaveBar.h"

class CPreviewWnd : public CDialog
{
    DECLARE_DYNAMIC(CPreviewWnd)
public:
    explicit CPreviewWnd(CWnd* pParent = NULL);
    virtual ~CPreviewWnd();
    enum { IDD = IDD_PREVIEW_WND };

    virtual BOOL OnInitDialog() override;
    virtual BOOL PreTranslateMessage(MSG* pMsg) override;

    // Layout and zoom.  The zoom operations act only while the camera is live; otherwise
    // they repaint.
    virtual void FitVideoToWindow();
    virtual void FitShownRectToWindow();
    virtual void ApplyZoom();
    virtual void ApplyZoomToShownRect();
    virtual void ZoomIn();
    virtual void ZoomOut();
    virtual void ZoomActualSize();
    virtual void ZoomToFit();
    virtual float GetZoom();
    virtual void SetScrollBars(int width, int height);
    virtual void GetScrollFlags(int* horizontal, int* vertical);
    virtual void SetBackgroundColor(BYTE r, BYTE g, BYTE b);
    virtual void ToggleFullScreen();
    CStatic* GetVideoStatic();

    CStatic m_video;         // id 146, where the live picture is drawn
    CBrush m_background;
    CLeaveBar m_leaveBar;
    float m_zoom;

protected:
    // Moves the video static (client coordinates) and tells the library where to draw.
    void PlaceVideo(int x, int y, int width, int height);
    // x and y that centre a width x height picture in the client area (0 when larger).
    CPoint CentreIn(int width, int height);
    void ZoomToShownRect(CSize shown);

    afx_msg void OnPaint();
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg LRESULT OnFrameStatus(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnFocusValue(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    int m_anchorX, m_anchorY;          // client point of the last left press
    int m_vScrolling, m_hScrolling;    // more than one page in that direction
    int m_dragStartH, m_dragStartV;    // the overlay's scroll positions at the press
    DWORD m_lastStatusTick;            // last throttled panel update
    CRITICAL_SECTION m_layoutLock;
};
