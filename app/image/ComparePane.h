// One comparison pane: a picture in an image store of its own, shown at the store's zoom
// on a picture control sized to the zoomed picture, with scroll bars in steps of 10
// pixels and dragging with the left button.
#pragma once
#include "afxwin.h"
#include "app/image/ComparePaneIds.h"
#include "app/store/ImageStore.h"

class CComparePane : public CDialog
{
    DECLARE_DYNAMIC(CComparePane)
public:
    explicit CComparePane(CWnd* pParent = NULL);
    virtual ~CComparePane();
    enum { IDD = IDD_COMPARE_PANE };
    static const int kStep = 10;        // pixels per scroll position
    static const int kPageStep = 5;     // positions per page
    static const int kDragDivisor = 50; // pointer pixels per position while dragging

    virtual BOOL OnInitDialog();
    virtual int OpenFile(LPCWSTR path, int readInfo);
    virtual void ReleaseImages();
    virtual void FitToWindow(int keepOwnZoom);
    virtual void SetZoom(float zoom);
    virtual float GetZoom();
    // Opens the file selected in the thumbnail strip unless it is a video or a raw file.
    virtual int OpenSelectedThumbnail();
    virtual void MirrorImage();
    virtual void FlipImage();
    virtual void ResizePicture();
    virtual void SetScrollSizes(int width, int height);
    CImageStore* GetStore();
    CPoint GetScrollOffset() const { return CPoint(m_scrollX, m_scrollY); }

    CImageStore* m_pStore;   // owned
    float m_zoom;

protected:
    // The strip's current index (its selected file).
    virtual int SelectedThumbnailIndex();
    virtual void OnOK() override;
    virtual void OnCancel() override;

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

    // Moves one bar to a position (clamped), the picture with it.
    void ScrollTo(int bar, int position);
    int TopPosition(int bar);
    void Scroll(int bar, UINT code);

    CBrush m_background;
    CPoint m_press;
    int m_scrollX, m_scrollY;
};
