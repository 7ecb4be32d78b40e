// The caption bar in the main frame's rebar: the program's name, File and Help menus,
// the camera list, the Measure button and the window buttons; it also drags the window.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/shell/TitleBarIds.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/controls/SkinComboBox.h"
#include "app/controls/SkinEdit.h"
#include "app/controls/OwnerDrawMenu.h"

class CTitleBar : public CPanelDialog
{
    DECLARE_DYNAMIC(CTitleBar)
public:
    explicit CTitleBar(CWnd* pParent = NULL);
    virtual ~CTitleBar();
    enum { IDD = IDD_TITLE_BAR };

    virtual int IsMaximized() const { return m_bMaximized; }
    // The camera combo is enabled only while the camera is not running.
    virtual void EnableByCameraState();
    virtual void ToggleMaximize();
    // The frame and the pages laid out again at the size they have and the live picture
    // fitted: where the toggle pressed twice ends, at the cost of one layout.
    virtual void RelayoutFrame();

    CSkinComboBox& GetCameraCombo() { return m_cameraCombo; }
    CSkinEdit& GetCameraName() { return m_cameraName; }

    virtual BOOL OnInitDialog() override;
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    virtual void DoDataExchange(CDataExchange* pDX) override;

    // The combo selection last passed to the camera library.
    int m_nCameraIndex;
    int m_bMaximized;

protected:
    afx_msg void OnClose();
    afx_msg void OnMinimize();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnFileMenu();
    afx_msg void OnHelpMenu();
    afx_msg void OnPrintPreview();
    afx_msg void OnPrint();
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMaximize();
    afx_msg void OnHelp();
    afx_msg void OnUpdater();
    afx_msg void OnMeasure();
    afx_msg LRESULT OnComboSelChanged(WPARAM wParam, LPARAM lParam);
    afx_msg void OnUpdatePrint(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

    void ChooseCamera();
    void PostFrameSize();
    void TellPagesFoldsChanged();
    // The live picture fitted; after a resize also placed, and the frame painted at once.
    void FitLiveZoomAndRepaint(BOOL resized);
    void ShowMenu(COwnerDrawMenu& menu, int buttonId);
    void SetMaximizeSkin(BOOL restore);

    CSkinBitmapButton m_btnMeasure;
    CSkinComboBox m_cameraCombo;
    CSkinBitmapButton m_btnMaximize;
    CSkinEdit m_cameraName;
    CSkinBitmapButton m_btnHelp;
    CSkinBitmapButton m_btnFile;
    CSkinBitmapButton m_btnMinimize;
    CSkinBitmapButton m_btnClose;
    COwnerDrawMenu m_fileMenu;
    COwnerDrawMenu m_helpMenu;
};

