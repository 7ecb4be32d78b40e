// Channel merge panel (placeholder).
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/fluorescence/ChannelMergePanelIds.h"

// Posted to the panel: refill (from the strip), select the list entry wParam, and load
// the selected file into the current slot (both from the document).
const UINT WM_MERGE_PANEL_REFRESH = 0xD00;
const UINT WM_MERGE_SELECT_SLOT = 0xD01;
const UINT WM_MERGE_LOAD_SLOT = 0xD02;

class CChannelMergePanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CChannelMergePanel)
public:
    explicit CChannelMergePanel(CWnd* pParent = NULL);
    virtual ~CChannelMergePanel();
    enum { IDD = IDD_CHANNEL_MERGE_PANEL };

    virtual void UpdateControlState();
    virtual void RefillLists();

protected:
    afx_msg LRESULT OnMergePanelRefresh(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMergeSelectSlot(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMergeLoadSlot(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
