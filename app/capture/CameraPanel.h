// The camera panel of the Capture page: the one switch that opens and stops the live
// camera (PlayCamera), the resolution, exposure and white-balance controls, the region
// display with the focus meter, and the closing of an unplugged camera.
//
// It keeps no camera state: every operation reads the camera library's records afresh.
// Many controls of its template are never shown; they are still bound, enabled and
// disabled by the refresh rules, and other panels reach their operations.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/capture/CameraPanelIds.h"
#include "app/capture/CameraHotplugListener.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/controls/SkinComboBox.h"
#include "app/controls/SkinEdit.h"
#include "app/controls/SkinSlider.h"

class CWhiteBalanceWizard;

// Posted by the white-balance wizard to the camera panel when it wants to be closed.
const UINT WM_WB_WIZARD_CLOSED = 0xB10;
// Posted by the camera panel to itself: open the live picture's placeholder.
const UINT WM_OPEN_PLACEHOLDER = 0xB11;

// Timers of the panel.
const UINT_PTR TIMER_EXPOSURE_COMMIT = 11;   // exposure slider of camera types 11-13
const UINT_PTR TIMER_STOP_RETRY = 15;        // a stop refused while a recording ends
const UINT_PTR TIMER_REMOVE_CURRENT = 16;    // removal retry: drop the current camera
const UINT_PTR TIMER_REMOVE_DESELECT = 17;   // removal retry: select no camera

class CCameraPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CCameraPanel)
public:
    explicit CCameraPanel(CWnd* pParent = NULL);
    virtual ~CCameraPanel();
    enum { IDD = IDD_CAMERA_PANEL };

    virtual BOOL OnInitDialog() override;
    virtual void DoDataExchange(CDataExchange* pDX) override;

    // Stops the camera when it runs, opens it when it is stopped.
    virtual void PlayCamera();
    // The same, with the placeholder picture opened by a message of its own after it: at
    // start-up the open would make one long stop of the window with the camera's.
    void PlayCameraPlaceholderLater();
    // The three refreshes: visibility, enabling and ranges; the resolution lists;
    // positions, checks and texts.  Any component calls them after any camera change.
    virtual void RefreshControls();
    virtual void RefreshResolutionCombos();
    virtual void RefreshSliders();
    virtual void OnCapture();
    virtual int IsPartialDisplay();
    virtual void OnPartialDisplay();
    virtual void OnFullDisplay();
    // For the fluorescence wizard: the second-smallest preview resolution.
    virtual void UseSmallPreviewResolution();
    // The capture tool column's flip, crop and restore buttons; nothing while stopped.
    virtual void ToggleMirrorHorizontal();
    virtual void ToggleMirrorVertical();
    virtual void PartialDisplayIfLive();
    virtual void FullDisplayIfLive();
    // Writes the exposure text 1150 from the current parameters.
    virtual void ShowExposureTime();

    CWhiteBalanceWizard* GetWizard() const { return m_pWizard; }
    CSkinSlider& Slider(int id);

protected:
    // The user's rectangle on the screen inside bounds; FALSE when cancelled.
    virtual BOOL PickScreenRegion(const CRect& bounds, CRect* chosen);
    // Writes a blank picture of the camera's size and opens it as the document, so the
    // store, main view and measuring work at the live picture's size.
    virtual void OpenMeasurePlaceholder();

    void OpenCamera();
    void StopCamera();
    void FinishRemoval(BOOL dropCurrent);
    void SetPlayCaption(UINT stringId);
    void UpdateGainLabel(int cameraType);
    void EnableSaturation(BOOL on);
    void ShowLockIcons(BOOL on);
    void FitLivePictures();
    void Enable(int id, BOOL on);
    void Show(int id, BOOL on);

    afx_msg void OnResolutionLock();
    afx_msg void OnPreviewResolutionChanged();
    afx_msg void OnCaptureResolutionChanged();
    afx_msg void OnFrameSpeedNormal();
    afx_msg void OnFrameSpeedHigh();
    afx_msg void OnMirrorHorizontal();
    afx_msg void OnMirrorVertical();
    afx_msg void OnAutoExposure();
    afx_msg void OnWhiteBalance();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDefaultSettings();
    afx_msg void OnColorEnhancement();
    afx_msg void OnMonochrome();
    afx_msg void OnEnhancedColorMode();
    afx_msg void OnMonochromeMode();
    afx_msg void OnFlatFieldCalibration();
    afx_msg void OnFlatField();
    afx_msg void OnDataWidth8();
    afx_msg void OnDataWidth16();
    afx_msg void OnWhiteBalanceWizard();
    afx_msg void OnFluorescenceWizard();
    afx_msg void OnWhiteBalanceLock();
    afx_msg void OnPlayButton();
    afx_msg void OnCaptureButton();
    afx_msg void OnPartialButton();
    afx_msg void OnFullButton();
    afx_msg LRESULT OnSliderChanged(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnComboSelChanged(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCameraRemoved(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnWizardClosed(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnOpenPlaceholder(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

public:
    // Controls bound to the template.
    CSkinBitmapButton m_play, m_capture, m_partial, m_full, m_whiteBalance, m_wbWizard, m_defaults;
    CSkinBitmapButton m_flatCalibrate, m_fluoWizard;
    CSkinBitmapButton m_resLockCheck, m_mirrorHCheck, m_mirrorVCheck, m_autoExposureCheck, m_enhanceCheck;
    CSkinBitmapButton m_monoCheck, m_flatFieldCheck, m_wbLockCheck;
    CSkinBitmapButton m_speedNormal, m_speedHigh, m_modeEnhanced, m_modeMono, m_depth8, m_depth16;
    CSkinComboBox m_previewRes, m_captureRes;
    CSkinSlider m_exposure, m_gain, m_contrast, m_saturation, m_gamma, m_unused;
    CSkinEdit m_exposureText, m_gainText, m_contrastText, m_saturationText, m_gammaText;

    // Check integers exchanged with their check boxes.
    int m_bResLock;
    int m_bMirrorH;
    int m_bMirrorV;
    int m_bAutoExposure;
    int m_bColorEnhancement;
    int m_bMonochrome;
    int m_bFlatField;
    int m_bWhiteBalanceLock;

protected:
    int m_bPartialDisplay;
    CWhiteBalanceWizard* m_pWizard;
    // 1 between a stop the library refused and the retry that gets through: the library
    // reports the camera stopped meanwhile, and the retry must not open it again.
    int m_bStopPending;
    BOOL m_bPlaceholderLater;
};
