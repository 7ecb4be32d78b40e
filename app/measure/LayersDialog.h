// The layers panel: the measurement library's layers with a current and a visibility
// mark each; new, delete and rename; saving and loading all layers with their units.
// Row index = library layer index; layer 0 is the background, always visible.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/controls/CheckListCtrl.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/measure/LayersDialogIds.h"

class CLayersDialog : public CPanelDialog
{
    DECLARE_DYNAMIC(CLayersDialog)
public:
    explicit CLayersDialog(CWnd* pParent = NULL);
    virtual ~CLayersDialog();
    enum { IDD = IDD_LAYERS_DIALOG };

    virtual void RefreshLayerList();
    virtual void UpdateControlState();
    // Makes sure a drawn unit lands on a working layer: creates the background and a
    // first layer when missing, and moves off the background.
    virtual void EnsureWorkLayer();

    const CString& GetFilePath() const { return m_path; }
    CCheckListCtrl& List() { return m_list; }

protected:
    virtual BOOL OnInitDialog() override;
    virtual void OnOK() override;
    virtual void OnCancel() override;

    afx_msg void OnNewLayer();
    afx_msg void OnDeleteLayer();
    afx_msg void OnRenameLayer();
    afx_msg void OnBrowse();
    afx_msg void OnSaveLayers();
    afx_msg void OnLoadLayers();
    afx_msg void OnCloseButton();
    afx_msg LRESULT OnCellCheck(WPARAM row, LPARAM column);
    DECLARE_MESSAGE_MAP()

    // "圖層NN" with the library's layer count.
    CString ProposedName() const;
    // A row with both marks checked, at index row.
    void InsertCheckedRow(int row, const CString& name);
    void FillRows();
    void ShowMessage(UINT id);
    void InstallHeaderHook();

    CCheckListCtrl m_list;
    CSkinBitmapButton m_buttons[7];
    CString m_path;
};
