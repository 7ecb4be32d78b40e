// A collapsible section of a tab page: a title row with a toggle button and one panel
// below it.  Every applied change is reported to the page with WM_FOLDPANEL_TOGGLED.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/shell/FoldPanelIds.h"
#include "app/controls/SkinBitmapButton.h"

// Sent (wParam section index, lParam expanded) to the section's parent after a change.
const UINT WM_FOLDPANEL_TOGGLED = 0x600;

class CFoldPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CFoldPanel)
public:
    explicit CFoldPanel(CWnd* pParent = NULL);
    virtual ~CFoldPanel();
    enum { IDD = IDD_FOLD_PANEL };

    void SetIndex(int index) { m_index = index; }
    int GetIndex() const { return m_index; }
    void SetTitle(LPCWSTR title);
    void SetChild(CWnd* panel);
    CWnd* GetChild() const { return m_pChild; }
    // Nothing happens when the state does not change.
    virtual void SetExpanded(BOOL expanded);
    BOOL IsExpanded() const { return m_bExpanded; }
    // From the section's top edge to the bottom of the title area.
    int GetTitleHeight();
    void ShowToggle(BOOL show);

    virtual BOOL OnInitDialog() override;
    virtual void DoDataExchange(CDataExchange* pDX) override;

protected:
    void Apply();
    void PlaceChild();
    BOOL ToggleChecked() const;
    void SetToggleChecked(BOOL checked);

    afx_msg void OnToggle();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

    CSkinBitmapButton m_toggle;
    int m_bExpanded;
    CWnd* m_pChild;
    int m_index;
    CRect m_fullRect;
    CRect m_collapsedRect;
    BOOL m_bHaveRects;
};
