// The Capture page's exposure panel: automatic or manual exposure with its target and
// lock, the exposure time by slider or typed (minutes to microseconds), long exposure,
// gain in the camera's unit, frame speed or pixel clock, data width and anti-ripple;
// in its lower half the live histogram with the display levels of one channel or of
// all (black, white and middle by markers, typed, automatic or from a region).
//
// It keeps no camera state: every operation reads the camera library's records afresh.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/capture/ExposurePanelIds.h"
#include "app/controls/ExposureTimeEdit.h"
#include "app/controls/LevelsBar.h"
#include "app/controls/NumericEdit.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/controls/SkinComboBox.h"
#include "app/controls/SkinEdit.h"
#include "app/controls/SkinSlider.h"
#include "camera/core/QrCCamera.h"

// Posted by the preview window at most once a second: re-read levels and histogram.
const UINT WM_LEVELS_REFRESH = 0xC00;

// Timer that applies an exposure stored by the slider of camera types 11 to 13.
const UINT_PTR TIMER_EXPOSURE_APPLY = 11;
const UINT EXPOSURE_APPLY_DELAY_MS = 200;

// Levels bar scale: 188 steps stand for the 256 levels and the middle's 0..100.
const int LEVELS_BAR_STEPS = 188;

// How the exposure slider counts for one camera and state.
struct ExposureScale
{
    enum Kind { NONE, CORE_STEPS, MILLISECONDS, LONG_VALUES };
    Kind kind = NONE;
    double stepMs = 1.0;          // CORE_STEPS: milliseconds per slider step
    int sliderMin = 1, sliderMax = 10000;
    UINT timeMin = 1, timeMax = 10000;   // the time input's range, microseconds
};

// The gain as the panel shows it for a camera: "%.3fdB", "%.1fdB" or "%d".
CString GainText(int cameraType, int sensorKind, int position);

// The exposure slider's scale for a running camera with long exposure off; rowTimeUs is
// the library's sensor row time (lines cameras).  Every range holds at least one step.
ExposureScale ExposureScaleFor(const CameraMgrParam& mgr, const CameraParamInfo& info, float rowTimeUs);
// Between slider positions and microseconds; long-exposure values through the library.
int ExposureToPosition(const ExposureScale& scale, UINT microseconds);
UINT PositionToExposure(const ExposureScale& scale, int position);

class CExposurePanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CExposurePanel)
public:
    explicit CExposurePanel(CWnd* pParent = NULL);
    virtual ~CExposurePanel();
    enum { IDD = IDD_EXPOSURE_PANEL };

    // Slider ranges, shown and hidden controls for the current camera; the whole panel
    // disabled without a running camera.
    virtual void ConfigureForCamera();
    // Positions, checks and levels from the current parameters.
    virtual void RefreshFromCamera();
    // Enabling by exposure mode, the gain text, the channel and pixel-clock lists.
    virtual void UpdateControlState();
    // Long exposure ticked as if by the user.
    virtual void EnableLongExposure();

    // The scale the exposure slider has for the camera as it is now.
    ExposureScale CurrentExposureScale();

    int IsRestartPending() const { return m_bRestartPending; }

protected:
    virtual BOOL OnInitDialog() override;
    virtual void OnMakeRest() override;
    virtual void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnAeLock();
    afx_msg void OnLongExposure();
    afx_msg void OnRestartLongExposure();
    afx_msg void OnAutoExposure();
    afx_msg void OnManualExposure();
    afx_msg void OnFrameSpeedNormal();
    afx_msg void OnFrameSpeedHigh();
    afx_msg void OnDataWidth8();
    afx_msg void OnDataWidth16();
    afx_msg void OnAntiRipple();
    afx_msg void OnApplyLevels();
    afx_msg void OnDefaultLevels();
    afx_msg void OnAreaLevels();
    afx_msg void OnAutoLevels();
    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg LRESULT OnSliderMessage(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnExposureTimeTyped(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnLevelsChanged(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnLevelsRefresh(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnComboSelChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void SyncExposureDisplay();
    void UpdateRestartMarker();
    void UpdateGainUnitLabel(int cameraType);
    void SetRestartPending();
    void ApplyExposureRanges(const ExposureScale& scale);
    void FillChannelCombo(const CameraMgrParam& mgr, const CameraParamInfo& info, BOOL colourKnown);
    void SelectChannel(int channel);
    // The levels as the camera has them now, into markers and edits.
    void ShowCameraLevels();
    // "%d" of value into an edit, unless it shows that already.
    void ShowNumber(CWnd& edit, int value);
    // Black, white and middle read back from their edits.
    void ReadLevelValues();
    void RepaintHistogram();
    // The histogram area in client coordinates; FALSE without its static.
    BOOL HistogramRect(CRect* rect);
    void DrawHistogram(CDC* pDC, const CRect& rect);
    void AfterSpeedOrWidth(BOOL repaintCameraPanel);
    void RefreshCameraPanel(BOOL controls, BOOL sliders, BOOL combos, BOOL repaint);
    void Enable(int id, BOOL on);
    void Show(int id, BOOL on);
    void PostExposureProgress();

    CExposureTimeEdit m_time;
    CLevelsBar m_levels;
    CSkinComboBox m_pixelClock;
    CSkinComboBox m_channel;
    CNumericEdit m_middleEdit, m_whiteEdit, m_blackEdit;
    CSkinBitmapButton m_autoLevelsCheck, m_defaultButton, m_areaButton, m_applyButton;
    CSkinBitmapButton m_antiRippleCheck;
    CSkinBitmapButton m_width8, m_width16;
    CSkinBitmapButton m_speedNormal, m_speedHigh;
    CSkinEdit m_gainText;
    CSkinBitmapButton m_aeLockCheck;
    CSkinBitmapButton m_longCheck;
    CSkinBitmapButton m_autoRadio, m_manualRadio;
    CSkinBitmapButton m_restartButton;
    CSkinSlider m_aeTarget, m_gain, m_exposure;

    int m_aeLock;
    int m_longExposure;
    int m_antiRipple;
    int m_autoLevels;
    UINT m_white;
    UINT m_black;
    UINT m_middle;
    int m_bRestartPending;
    HWND m_histogramArea;
};
