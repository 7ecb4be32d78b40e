// The program's track bar: a static control that draws a channel and a thumb from
// bitmaps, moves the thumb by mouse or keys, and posts every change to its parent.
#pragma once
#include "afxwin.h"

// Posted to the parent: wParam the control id, lParam the position.
#define WM_SLIDER_MOVING 0x28D1   // while the thumb is dragged
#define WM_SLIDER_MOVED  0x28D2   // on release and after each key

class CSkinSlider : public CStatic
{
public:
    // Stands for "the colour of the bitmap's pixel at (keyX, keyY)".
    static const COLORREF KEY_FROM_PIXEL = 0xFF000000;

    CSkinSlider();
    virtual ~CSkinSlider();

    void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE);
    void SetMin(int nMin, BOOL bRedraw = FALSE);
    void SetMax(int nMax, BOOL bRedraw = FALSE);
    void SetPos(int nPos);   // clamped to the range; posts nothing
    int GetPos() const { return m_nPos; }
    void SetPageStep(int nStep) { m_nPageStep = nStep; }
    void SetVertical(BOOL bVertical) { m_bVertical = bVertical; }
    void Enable(BOOL bEnable);
    BOOL IsEnabled() const { return m_bEnabled; }
    BOOL IsDragging() const { return m_bDragging; }

    // Id 0 removes the bitmaps.  Returns 0 when a bitmap cannot be loaded.
    BOOL SetChannelBitmaps(UINT nID, UINT nActiveID, BOOL bTransparent, COLORREF crKey = KEY_FROM_PIXEL,
                           int nKeyX = 0, int nKeyY = 0);
    BOOL SetThumbBitmaps(UINT nID, UINT nActiveID, BOOL bTransparent, COLORREF crKey = KEY_FROM_PIXEL,
                         int nKeyX = 0, int nKeyY = 0);

    // The thumb centre's coordinate along the axis for the current position.
    int PositionToPixel() const;

    // Read and written directly by the panels, as the controls always allowed.
    int m_nMax;
    int m_nMin;
    int m_nPos;
    int m_nPageStep;
    int m_nMarginLeft, m_nMarginRight, m_nMarginTop, m_nMarginBottom;

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

    int Travel() const;
    int PixelToPosition(int nPixel) const;
    int Clamp(int nPos) const;
    void HandleDrag(CPoint point);
    void PostToParent(UINT message);
    void DeleteBitmaps();
    void DeleteChannel();
    void DeleteThumb();
    BOOL LoadWithMask(UINT nID, CBitmap& bmp, CBitmap& mask, BOOL bTransparent, COLORREF crKey, int x, int y);
    void DrawPart(CDC* pDC, CBitmap& bmp, CBitmap& mask, BOOL bTransparent, int xDst, int yDst, int xSrc,
                  int ySrc, int cx, int cy);

    CRect m_rcClient;
    int m_nChannelWidth, m_nChannelHeight;
    int m_nThumbWidth, m_nThumbHeight;
    int m_nSavedX, m_nSavedY;   // -1: no thumb background saved
    int m_nGrabOffset;
    BOOL m_bVertical;
    BOOL m_bChannelActive, m_bThumbActive;
    BOOL m_bChannelTransparent, m_bThumbTransparent;
    BOOL m_bThumbLoaded, m_bChannelLoaded;
    BOOL m_bDragging;
    BOOL m_bEnabled;
    CBitmap m_bmpChannel, m_bmpChannelMask, m_bmpChannelActive, m_bmpChannelActiveMask;
    CBitmap m_bmpThumb, m_bmpThumbMask, m_bmpThumbActive, m_bmpThumbActiveMask;
    CBitmap m_bmpThumbBack;
};
