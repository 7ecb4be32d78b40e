// The channel merge panel on the Image page: up to four fluorescence pictures in the
// comparison window's panes, each coloured and shifted, added into one "combine"
// picture beside the picture loaded last. Panes, strip, document, store and frame are
// reached through the links only.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/compose/ChannelMergePanelIds.h"
#include "app/compose/ComposeSkins.h"
#include "app/controls/SkinComboBox.h"
#include "app/controls/SkinEdit.h"
#include "app/controls/SkinSlider.h"
#include "app/store/DyeTable.h"

#include <vector>

class CImageStore;
class CComparePane;

// Posted to the panel: refill (from the strip; a hidden panel refills when it next
// shows), select the list entry wParam, and load the selected file into the current slot
// (both from the document).
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
    static const int kSlots = 4;

    virtual BOOL OnInitDialog() override;
    virtual void OnMakeRest() override;
    virtual void UpdateControlState();
    virtual void RefillLists();

    // State, for the shell and tests.
    BOOL IsActive() const { return m_active; }
    int GetSelectedSlot() const { return m_selectedSlot; }
    BOOL IsSlotLoaded(int slot) const { return slot >= 0 && slot < kSlots && m_slots[slot].loaded; }
    BOOL IsSlotColoured(int slot) const { return slot >= 0 && slot < kSlots && m_slots[slot].coloured; }
    const CString& GetLastOutput() const { return m_lastOutput; }
    DyeRecord GetCurrentColour() const { return m_currentColour; }
    int GetDyeSliderPos() const { return m_slider.GetPos(); }

protected:
    struct Slot
    {
        int loaded = 0;
        int coloured = 0;
        CImageStore* store = nullptr;
        POINT offset = {0, 0};
    };

    virtual void DoDataExchange(CDataExchange* pDX) override;
    std::vector<CComparePane*> Panes() const;
    void LoadSlot(int slot, int moveOn);
    void ApplySelectedDye(int mode);
    void ShowSelectedSlot();
    void CloseSlot(int slot);
    void SelectDyeByPrefix(const CString& name);
    void SetSliderToName(const CString& name);
    int MergeAll();
    void Message(UINT stringId);

    afx_msg void OnStart();
    afx_msg void OnCloseAll();
    afx_msg void OnSlotButton(UINT id);
    afx_msg void OnCloseSlotButton(UINT id);
    afx_msg void OnCloseSelected();
    afx_msg void OnOpenImage();
    afx_msg void OnApplyColor();
    afx_msg void OnApplyOffset();
    afx_msg void OnOffsetStep(UINT id);
    afx_msg void OnMergeAll();
    afx_msg void OnOptimize();
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg LRESULT OnMergePanelRefresh(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMergeSelectSlot(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMergeLoadSlot(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnComboSelChanged(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSliderMoved(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    int m_optimize;
    int m_offsetX, m_offsetY;
    std::vector<CString> m_imageFiles;
    std::vector<CString> m_dyeNames;
    CString m_lastOutput;
    COLORREF m_swatchColours[8];
    int m_selectedSlot;
    int m_chosenImage;
    int m_active;
    CString m_lastLoadedPath;
    DyeRecord m_currentColour;
    BOOL m_bListsStale;   // the strip changed while the panel was hidden
    Slot m_slots[kSlots];
    CSkinComboBox m_dyeList, m_imageList, m_positionList;
    CSkinSlider m_slider;
    CSkinButtonSet m_skins;
    CSkinEdit m_offsetXEdit, m_offsetYEdit;
};
