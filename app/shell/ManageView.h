// The left control column: a tab control with the Capture, Browse and Image pages.
// Switching tabs switches the right-hand area between live capture and image work and
// moves the measurement object between the live overlay and the main view.
#pragma once
#include "afxwin.h"
#include "app/shell/CapturePage.h"
#include "app/shell/BrowsePage.h"
#include "app/shell/ImagePage.h"
#include "app/controls/SkinTabCtrl.h"

#define IDC_MANAGE_TAB 132
#define IDB_TAB_CAPTURE 360
#define IDB_TAB_BROWSE 361
#define IDB_TAB_IMAGE 362

class CManageView : public CScrollView
{
    DECLARE_DYNCREATE(CManageView)
public:
    CManageView();
    virtual ~CManageView();

    enum { TAB_CAPTURE = 0, TAB_BROWSE = 1, TAB_IMAGE = 2 };

    CSkinTabCtrl m_tab;
    CCapturePage m_capturePage;
    CBrowsePage m_browsePage;
    CImagePage m_imagePage;

    // Builds one section the first paint did not need (the collapsed Capture sections
    // first, then those of the hidden Browse and Image pages); whether more wait.  Asking
    // the links for any of them, or switching to its tab, builds its page's at once.
    bool BuildDeferredStep();

    virtual int GetCurrentTab() const;
    // Selects tab and runs the switch as a user's click would.
    virtual void SelectTab(int tab);

    virtual void OnDraw(CDC* pDC) override;
    virtual void OnInitialUpdate() override;
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnTabSelChange(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    void SwitchTo(int tab);
};
