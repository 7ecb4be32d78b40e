// The caption bar in the main frame's rebar: the program's name, File and Help menus,
// the camera list, the Measure button and the window buttons; it also drags the window.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/shell/TitleBarIds.h"

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

    CComboBox& GetCameraCombo() { return m_cameraCombo; }
    CEdit& GetCameraName() { return m_cameraName; }

    virtual BOOL OnInitDialog() override;
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

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
    afx_msg void OnCameraSelChange();
    afx_msg LRESULT OnComboSelChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    void ChooseCamera();
    void PostFrameSize();
    void ShowMenu(HMENU menu, int buttonId);

    CComboBox m_cameraCombo;
    CEdit m_cameraName;
    HMENU m_hFileMenu;
    HMENU m_hHelpMenu;
};

