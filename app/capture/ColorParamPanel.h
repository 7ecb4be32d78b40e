// The Capture page's colour panel: red, green and blue gains, gamma, contrast,
// saturation, denoise, sharpness and colour temperature; white balance (one push, from
// a region, or the camera's own with its lock), black balance, the factory default,
// colour enhancement and monochrome output, flat-field calibration and correction.
//
// It keeps no camera state: every operation reads the camera library's records afresh
// and writes every change straight to it.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/capture/ColorParamPanelIds.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/controls/SkinEdit.h"
#include "app/controls/SkinSlider.h"
#include "camera/core/QrCCamera.h"

// Kelvin of a colour-temperature step (0..63); steps beyond either end give that end.
int ColorTemperatureKelvin(int step);

// The display-value ranges the gamma, contrast and saturation sliders offer for the
// parameter information's device ranges, converted as the camera library converts.
struct DisplayRanges
{
    int gammaMin, gammaMax, contrastMin, contrastMax, saturationMin, saturationMax;
};
DisplayRanges DisplayRangesFor(const CameraParamInfo& info, int modeWord);

class CColorParamPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CColorParamPanel)
public:
    explicit CColorParamPanel(CWnd* pParent = NULL);
    virtual ~CColorParamPanel();
    enum { IDD = IDD_COLOR_PARAM_PANEL };

    // Enabling, visibility and slider ranges for the camera and product.
    virtual void ConfigureForCamera();
    // Positions and checks from the current parameters.
    virtual void RefreshFromCamera();
    // The value texts from the positions; saturation of the driver-library cameras.
    virtual void UpdateControlState();
    // The button operations, also run by the camera and fluorescence panels.
    virtual void OnWhiteBalance();
    virtual void OnBlackBalance();
    virtual void OnCalcFlatField();

protected:
    virtual BOOL OnInitDialog() override;
    virtual void OnMakeRest() override;
    virtual void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnLockWhiteBalance();
    afx_msg void OnAreaWhiteBalance();
    afx_msg void OnDefault();
    afx_msg void OnColorEnhancement();
    afx_msg void OnMonochrome();
    afx_msg void OnColorMode();
    afx_msg void OnMonochromeMode();
    afx_msg void OnB2RGBSmooth();
    afx_msg void OnB2RGBSharp();
    afx_msg void OnFlatField();
    afx_msg LRESULT OnSliderChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void ApplyGains();
    // Sends gamma, saturation and contrast again through their display-value setters.
    void ReapplySliderValues();
    void ShowGains(const CameraCurParam& cur);
    void ShowColorTemperature(int step);
    // The white-balance button names what a press will switch to.
    void ShowWhiteBalanceCaption(int automaticOn);
    void EnableSaturation(BOOL on);
    void Enable(int id, BOOL on);
    void Show(int id, BOOL on);
    void SetValueText(int id, const CString& text);
    // The four checks to their controls, as a slider move needs them (a whole data
    // exchange walks every control).
    void PushChecks();
    CSkinSlider& Slider(int id);

    CSkinSlider m_sliders[9];
    CSkinEdit m_values[9];
    CSkinBitmapButton m_buttons[13];
    int m_colorEnhancement;
    int m_monochrome;
    int m_flatField;
    int m_lockWhiteBalance;
};
