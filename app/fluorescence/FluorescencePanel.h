// The Capture page's fluorescence panel: the dye of the live picture (by name, by the
// dye slider or by seven swatches), black level and black balance, the cooling target,
// the sensor temperature with its chart, and the door to the fluorescence wizard.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/fluorescence/FluorescencePanelIds.h"
#include "app/store/DyeTable.h"
#include "camera/core/QrCCamera.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/controls/SkinComboBox.h"
#include "app/controls/SkinEdit.h"
#include "app/controls/SkinSlider.h"

class CFluorescencePanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CFluorescencePanel)
public:
    explicit CFluorescencePanel(CWnd* pParent = NULL);
    virtual ~CFluorescencePanel();
    enum { IDD = IDD_FLUORESCENCE_PANEL };

    // Enabling and slider ranges from the manager record and parameter information.
    virtual void UpdateControlState();
    // Cooling target, sensor temperature and black level.
    virtual void RefreshFromCamera();
    // The library's dye settings into combo, slider and check box, then sent back.
    void LoadDyeFromCamera();
    // The same without sending (the page's refresh).
    virtual void ShowDyeSettings();
    // Builds the dye settings from combo and slider and sends them; mode 0 the dye's
    // own colour, 1 red, 2 magenta. Sends nothing while no dye is chosen.
    void ApplyDye(int mode);

    // The cooling target last sent to the library (-30, the library's start value,
    // before any).
    int CoolingTarget() const { return m_coolingTarget; }

protected:
    virtual BOOL OnInitDialog() override;
    virtual void OnMakeRest() override;
    virtual void DoDataExchange(CDataExchange* pDX) override;
    virtual BOOL PreTranslateMessage(MSG* pMsg) override;

    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnDefault();
    afx_msg void OnApplyCheck();
    afx_msg void OnBlackBalance();
    afx_msg void OnFluorescenceWizard();
    afx_msg LRESULT OnComboSelChanged(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSliderChanged(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCameraTemperature(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // Selects the stored dye in the combo and moves the slider to it.
    void SelectStoredDye();
    void ShowCurrentColour(int r, int g, int b);
    CRect ChartRect() const;
    // Enables a control; a skinned slider also takes the state itself.
    void EnableItem(int id, BOOL on);
    void SetDegreesText(int id, int degrees);

    CSkinBitmapButton m_blackBalanceButton;
    CSkinBitmapButton m_wizardButton;
    CSkinEdit m_blackLevelEdit;
    CSkinSlider m_blackLevelSlider;
    CSkinEdit m_coolingEdit;
    CSkinSlider m_coolingSlider;
    CSkinEdit m_temperatureEdit;
    CSkinBitmapButton m_applyCheck;
    CSkinBitmapButton m_defaultButton;
    CSkinSlider m_dyeSlider;
    CSkinComboBox m_dyeCombo;
    CStatic m_currentColourFrame;
    CStatic m_swatches[7];   // 1399 to 1405

    int m_applyFlag;
    DyeNames m_dyeNames;
    COLORREF m_colours[8];   // [0] current dye, [1..7] swatches 1399..1405
    DyeSettings m_dye;
    CFont m_font;
    int m_coolingTarget;
};
