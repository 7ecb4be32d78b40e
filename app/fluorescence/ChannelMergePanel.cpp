#include "app/fluorescence/ChannelMergePanel.h"

IMPLEMENT_DYNAMIC(CChannelMergePanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CChannelMergePanel, CPanelDialog)
    ON_MESSAGE(WM_MERGE_PANEL_REFRESH, OnMergePanelRefresh)
    ON_MESSAGE(WM_MERGE_SELECT_SLOT, OnMergeSelectSlot)
    ON_MESSAGE(WM_MERGE_LOAD_SLOT, OnMergeLoadSlot)
END_MESSAGE_MAP()

CChannelMergePanel::CChannelMergePanel(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CChannelMergePanel::~CChannelMergePanel() {}

void CChannelMergePanel::UpdateControlState() {}

void CChannelMergePanel::RefillLists() {}

LRESULT CChannelMergePanel::OnMergePanelRefresh(WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    return 0;
}

LRESULT CChannelMergePanel::OnMergeSelectSlot(WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    return 0;
}

LRESULT CChannelMergePanel::OnMergeLoadSlot(WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    return 0;
}
