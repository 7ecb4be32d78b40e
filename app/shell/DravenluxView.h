// The main image view: paints the image store's picture, feeds mouse input to
// selection, ruler and measuring by the document's interaction mode, offers a one-item
// context menu (crop) and runs the redraw thread that applies display adjustments in
// the background.
#pragma once
#include "afxwin.h"
#include "app/controls/OwnerDrawMenu.h"

class CDravenluxDoc;

// Sent by the redraw thread after an adjustment pass (wParam 0, lParam 0).
const UINT WM_REDRAW_IMAGE = 0xA00;
// The context menu's crop command.
const UINT ID_VIEW_CROP = 0x8005;

class CDravenluxView : public CScrollView
{
    DECLARE_DYNCREATE(CDravenluxView)
public:
    CDravenluxView();
    virtual ~CDravenluxView();

    CDravenluxDoc* GetDocument() const;

    // Scroll sizes from the store's image and zoom; the browse tool column shows the zoom.
    virtual void RefreshMainView();

    virtual void OnDraw(CDC* pDC) override;
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;

    // The live overlay calls these with its own points, so measuring on the live picture
    // goes through the same code.
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);

    // Whether the store has adjustments to apply (its six change tests); the redraw
    // thread asks this every 10 ms.
    virtual BOOL AdjustmentsPending();
    // The redraw thread, for tests: running while the handle is non-null.
    HANDLE GetRedrawThread() const { return m_hRedrawThread; }
    // Stops the redraw thread, letting messages it sends through while waiting.
    void StopRedrawThread();
    // Whether the live preview, shown, covers the whole view on the screen.
    BOOL IsUnderLivePicture();

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnDestroy();
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnCrop();
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg LRESULT OnRedrawRequest(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    static unsigned RedrawThreadEntry(void* param);
    void RedrawLoop();
    CPoint OverlayOffset() const;
    int Mode() const;

    COwnerDrawMenu m_contextMenu;
    HANDLE m_hRedrawThread;
    volatile LONG m_bRunRedraw;
    CPoint m_ptLast;
};
