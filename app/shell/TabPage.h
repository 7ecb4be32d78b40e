// What the Capture, Browse and Image pages share: fold sections stacked over the page
// skin, the logo, company word and update button below them, and vertical scrolling
// in steps of 10 pixels.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/shell/TabPageIds.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/shell/ShellLinks.h"
#include <vector>

class CFoldPanel;

// Where the sections and the panels above them start: a 198-pixel section then ends
// inside the page's client area also beside its scroll bar (218 - 17 = 201 pixels).
const int PAGE_CONTENT_LEFT = 2;
const int PAGE_CONTENT_TOP = 22;

class CTabPage : public CPanelDialog, public CBuildOnDemand
{
    DECLARE_DYNAMIC(CTabPage)
public:
    CTabPage(UINT nIDTemplate, CWnd* pParent);
    virtual ~CTabPage();

    // Sections in order; allocated and owned by the page (DeleteSections frees them).
    std::vector<CFoldPanel*> m_sections;
    CWnd* m_pBackPointer;

    virtual BOOL OnInitDialog() override;
    // Stacks the sections, places logo, company word and update button, and resets the
    // scroll range to the content.
    virtual void LayoutPanels();
    // Frees the sections, last first; the manage view calls it before the pages go.
    void DeleteSections();

    // Called before Create (the frame does): the sections the first paint does not show
    // are left to BuildStep (one at a time) or BuildNow (all that wait), which asking the
    // links for any of them runs; never twice, not before the page is made, not while
    // the frame goes.
    void DeferSections();
    virtual void BuildNow() override;
    // A section being made that asks for its neighbours gets them as they are.
    virtual bool Built() const override { return m_bSectionsBuilt || !m_bDeferredPlace || m_bBuilding; }
    // Builds the next waiting section; whether more wait.
    bool BuildStep();
    BOOL SectionsBuilt() const { return m_bSectionsBuilt; }

    int IsScrollable() const { return m_bScrollable; }
    int GetScrollOffset() const { return m_scrollOffset; }

protected:
    // Creates one section with title string titleId and panel (template panelIdd)
    // inside, sized to the panel and expanded.
    CFoldPanel* AddSection(CDialog& panel, UINT panelIdd, UINT titleId);
    // The same for a panel of the sections left for later: one that can make its rest
    // later (OnMakeRest) makes it, made between messages, in a step of its own (the next).
    CFoldPanel* AddSectionInSteps(CPanelDialog& panel, UINT panelIdd, UINT titleId);
    // The sections left for later (all of them are made at once when nothing is
    // deferred), in order.
    virtual int DeferredSectionCount() const { return 0; }
    virtual void AddDeferredSection(int /*index*/) {}
    // Once the last of them is made: show what they depend on.
    virtual void AfterSectionsBuilt() {}
    // The same in steps, one between messages when the sections are made so; FALSE once
    // a step finds nothing left to do.
    virtual BOOL AfterSectionsBuiltStep(int step)
    {
        if (step == 0) AfterSectionsBuilt();
        return FALSE;
    }
    // The links members naming the parts BuildNow makes: have this page build them
    // (build), or forget them as the page goes.  Each page calls it from its destructor.
    virtual void LinkDeferredParts(bool /*build*/) {}
    // Only while the member still names this page's part: a test may have put its own.
    template <class T>
    void Link(LinkedPart<T>& link, T* part, bool build)
    {
        if (build)
            link.BuildWith(part, this);
        else
            link.Forget(part);
    }
    // From the page's OnInitDialog, once what always comes first is made.
    void AddOrDeferSections();
    // Where the first section goes: (5, 22) unless a page puts something above.
    virtual CPoint FirstSectionOrigin();
    void SetContentHeight(int contentHeight);
    void ScrollTo(int pos);

    afx_msg LRESULT OnFoldPanelToggled(WPARAM wParam, LPARAM lParam);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnUpdateButton();
    DECLARE_MESSAGE_MAP()

    CSkinBitmapButton m_btnUpdate;
    int m_bScrollable;
    int m_scrollOffset;
    BOOL m_bDeferSections;
    BOOL m_bDeferredPlace;   // the page is made up to where the waiting sections go
    BOOL m_bSectionsBuilt;
    int m_nextDeferred;   // the next section BuildStep adds
    CPanelDialog* m_pRestPending;   // the panel the next step finishes
    int m_nextAfterStep;
    BOOL m_bBuilding;

private:
    bool CanBuild() const;
    bool AllSectionsAdded() const;
    void AddNextDeferred();
    BOOL NextAfterStep();
};
