// The browse tool column beside the main view: zoom, rotation, pointer, selection (crop)
// mode, revert, delete, print layout, open, save a copy and save as, with the zoom shown
// at its top.  Every tool acts on the links' image store and main view, and does
// nothing while the store holds no picture.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/browse/BrowseToolBarIds.h"
#include "app/controls/SkinBitmapButton.h"

class CBrowseToolBar : public CPanelDialog
{
    DECLARE_DYNAMIC(CBrowseToolBar)
public:
    explicit CBrowseToolBar(CWnd* pParent = NULL);
    virtual ~CBrowseToolBar();
    enum { IDD = IDD_BROWSE_TOOLBAR, TOOL_COUNT = 14 };

    // zoom 1.0 is 100 %: one decimal below 1000 %, whole numbers from there on.
    virtual void ShowZoom(float zoom);
    static CString FormatZoom(float zoom);
    // Leaves selection mode (the crop commands' drag in the main view).
    virtual void CancelSelectionMode();
    virtual void UpdateControlState();

    virtual void OnRotateRight();
    virtual void OnRotateLeft();
    virtual void OnZoomIn();
    virtual void OnZoomOut();
    virtual void OnActualSize();
    virtual void OnFitToWindow();
    virtual void OnPointerTool();
    virtual void OnSelectToggle();
    virtual void OnRevert();
    virtual void OnDeleteImage();
    virtual void OnPrintLayout();
    virtual void OnOpenImage();
    virtual void OnSaveCopy();
    virtual void OnSaveImage();

    // "name.ext" in folder -> "name_bak.ext"; empty when the file name has no ".".
    static CString BackupPathOf(const CString& path);

    CSkinBitmapButton m_buttons[TOOL_COUNT];   // in the column's order
    int m_nSelectCheck;                        // check state of the selection toggle

protected:
    virtual BOOL OnInitDialog() override;
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

    BOOL HasImage() const;
    void RefreshView(BOOL invalidate);
    // Shows the strip's progress bar, puts path at the front, opens it.
    void PublishSavedFile(const CString& path);
};
