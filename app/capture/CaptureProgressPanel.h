// The progress strip of a still capture: timer 20 moves the bar through an estimate of
// the shot's duration taken from the camera's exposure; timer 21 counts the wait
// between the shots of a timed series.  Driven only by three messages.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/capture/CaptureProgressPanelIds.h"
#include "app/controls/SkinSlider.h"
#include "app/controls/SkinEdit.h"

// To the capture progress panel (wParam 0, lParam 0): a still capture started, a shot
// was saved, the capture ended.
const UINT WM_CAPTURE_PROGRESS_START = 0xB05;
const UINT WM_CAPTURE_PROGRESS_SAVED = 0xB06;
const UINT WM_CAPTURE_PROGRESS_END = 0xB07;

class CCaptureProgressPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CCaptureProgressPanel)
public:
    enum { TIMER_SHOT = 20, TIMER_INTERVAL = 21, INTERVAL_STEPS = 100, DEFAULT_PERIOD = 100 };

    // What the shot estimate is made from.
    struct ShotInputs
    {
        unsigned exposureUs;    // the current exposure
        int flatField;          // flat-field correction on
        int mode;               // the manager's mode word
        int cameraType;
        int previewRes, captureRes;
        int product;            // product index
        int processing;         // ProcessingEnabled of the request
        int fluorescenceType;
    };
    // Ticks to the full bar, the shot timer's period in ms, and whether the bar starts
    // again from 0.
    struct ShotEstimate
    {
        int total;
        int period;
        BOOL restart;
    };
    // The first shot of a capture, and each further shot of a series after its wait.
    static ShotEstimate FirstShot(const ShotInputs& in);
    static ShotEstimate NextShot(const ShotInputs& in);

    explicit CCaptureProgressPanel(CWnd* pParent = NULL);
    virtual ~CCaptureProgressPanel();
    enum { IDD = IDD_CAPTURE_PROGRESS_PANEL };

    virtual BOOL OnInitDialog() override;

    int GetTickTotal() const { return m_nTotal; }
    int GetTicks() const { return m_nTicks; }
    int GetPosition() const { return m_slider.GetPos(); }
    // The periods the two timers were last started with; 0 while stopped.
    int GetShotPeriod() const { return m_nShotPeriod; }
    int GetIntervalPeriod() const { return m_nIntervalPeriod; }

protected:
    virtual void DoDataExchange(CDataExchange* pDX) override;

    static ShotInputs ReadInputs();
    void StartShot(const ShotEstimate& estimate);
    void StopTimer(UINT id);
    void ShowPercent(int percent);
    void RefreshLabel();
    // One count up, never past limit.
    void Tick(int limit);

    afx_msg LRESULT OnProgressStart(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnProgressSaved(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnProgressEnd(WPARAM wParam, LPARAM lParam);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

    CSkinSlider m_slider;
    CSkinEdit m_percentEdit;
    int m_nTotal;
    int m_nTicks;
    int m_nShotPeriod;
    int m_nIntervalPeriod;
};
