// Lets the user pick a rectangle on the screen inside a bounding area: a dimmed
// snapshot of the screen with the chosen rectangle undimmed, a tracker frame and OK
// and Cancel buttons under the rectangle.  Run modally; IDOK means a rectangle was
// confirmed.
#pragma once
#include "RegionTracker.h"
#include "SkinBitmapButton.h"
#include "ScreenRegionDialogIds.h"

class CScreenRegionDialog : public CDialog
{
public:
    enum { TRACKER_STYLE = CRegionTracker::dottedLine | CRegionTracker::resizeOutside | CRegionTracker::centeredHandles };
    static const COLORREF TRACKER_COLOR = 0x3200FF;

    explicit CScreenRegionDialog(CWnd* pParent = NULL);
    virtual ~CScreenRegionDialog();

    int SetBoundsRect(const RECT* pRect);       // screen coordinates; returns 1
    BOOL GetSelectedRect(RECT* pRect) const;    // FALSE when the rectangle is empty

    BOOL HasRectangle() const { return m_bHasRect; }
    BOOL IsDragging() const { return m_bDragging; }
    CRegionTracker& Tracker() { return m_tracker; }
    CSkinBitmapButton& OkButton() { return m_btnOK; }
    CSkinBitmapButton& CancelButton() { return m_btnCancel; }

protected:
    virtual void DoDataExchange(CDataExchange* pDX) override;
    virtual BOOL OnInitDialog() override;
    virtual void OnCancel() override;   // Escape: drops the rectangle first, closes the second time

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnOkButton();
    afx_msg void OnCancelButton();
    DECLARE_MESSAGE_MAP()

    void DropRectangle();
    void HideButtons();

    int m_cxScreen, m_cyScreen;
    CDC m_dcPlain, m_dcDimmed, m_dcWork;
    CBitmap m_bmpPlain, m_bmpDimmed, m_bmpWork;
    CBitmap *m_pOldPlain, *m_pOldDimmed, *m_pOldWork;
    CRegionTracker m_tracker;
    CRect m_rectBounds;
    CPoint m_ptPress;
    int m_bDragging;
    int m_bHasRect;
    HCURSOR m_hCursor;
    CSkinBitmapButton m_btnOK, m_btnCancel;
};
