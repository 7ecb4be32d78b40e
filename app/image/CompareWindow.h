// The comparison window: two panes side by side (layout 1) or four in a 2 x 2 grid
// (layout 2); it owns the panes.
#pragma once
#include "afxwin.h"
#include "app/image/CompareWindowIds.h"
#include <vector>
#include "app/image/ComparePane.h"

class CCompareWindow : public CDialog
{
    DECLARE_DYNAMIC(CCompareWindow)
public:
    explicit CCompareWindow(CWnd* pParent = NULL);
    virtual ~CCompareWindow();
    enum { IDD = IDD_COMPARE_WINDOW };

    // 1 done (also for a layout without panes), 0 when a pane could not be made.
    virtual int CreatePanes(int layout);
    // The panes of layout, made when first asked for (GetPanes, or MakePlannedPanes
    // before the window shows): each is a window of its own, and the program's start
    // need not wait for them.
    void PlanPanes(int layout);
    void MakePlannedPanes();
    virtual void DestroyPanes();
    virtual void LayoutPanes();
    void GetPanes(std::vector<CComparePane*>& out);
    int GetLayout() const { return m_layout; }

    std::vector<CComparePane*> m_panes;

protected:
    virtual void OnOK() override;
    virtual void OnCancel() override;
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    int m_layout;
    int m_plannedLayout;
};
