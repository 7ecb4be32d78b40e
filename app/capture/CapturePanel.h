// The capture panel: the saving settings (format, folder, name prefix or time stamp,
// ask before saving, timed series, recording, measurement merge, noise reduction), and
// every capture of the program.  A timed series of stills is fed into the thumbnail
// strip one file at a time by CaptureFollowUpThread, from a name queue the Capture page
// fills as the camera library reports each shot.
#pragma once
#include <set>
#include <string>
#include <vector>
#include "app/shell/PanelDialog.h"
#include "app/capture/CapturePanelIds.h"
#include "app/capture/PrefixEdit.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/controls/SkinComboBox.h"
#include "app/controls/NumericEdit.h"
#include "camera/core/QrCCamera.h"
#include "afxmt.h"

// Posted by the main frame for the hot keys F9, F10 and F11 (wParam 0, lParam 0); F9's
// also by the preview window for the camera's capture notice.
const UINT WM_HOTKEY_CAPTURE = 0x950;
const UINT WM_HOTKEY_RECORD_START = 0x951;
const UINT WM_HOTKEY_RECORD_STOP = 0x952;
// From the series collector to the panel: wParam the files added so far; lParam 0 after
// each file, SERIES_ENDED once when the collector ends.
const UINT WM_SERIES_PROGRESS = 0x625;
const LPARAM SERIES_ENDED = 1;

class CThumbnailListCtrl;

#include "app/capture/CaptureFollowUpThread.h"

class CCapturePanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CCapturePanel)
public:
    explicit CCapturePanel(CWnd* pParent = NULL);
    virtual ~CCapturePanel();
    enum { IDD = IDD_CAPTURE_PANEL };

    virtual BOOL OnInitDialog() override;
    virtual void OnMakeRest() override;
    virtual void DoDataExchange(CDataExchange* pDX) override;

    // Record button, counter and noise reduction from the manager record.
    virtual void UpdateControlState();
    // One capture request with the current settings: a still, or a timed series.
    virtual void OnCapture();
    // A recording with the current settings.
    virtual void StartVideoRecording();
    // The capture settings the panel holds (what a capture would request); null while
    // the panel has none.
    virtual const CaptureParam* GetCaptureSettings();
    // The record button at rest: "錄像", the idle bitmaps, black caption.
    virtual void ShowRecordIdle(BOOL enable);

    // The Capture page's side of the series: each saved file's name (a name queued in
    // this series already is not queued again), and the end of the shots.
    void QueueSavedName(const CString& name);
    void CloseNameQueue();
    // Control 1150 from m_nShotCounter.
    void ShowShotCounter();

    // The request as the panel holds it.
    const CaptureParam& Request() const { return m_mgr.capture; }
    int GetExpectedCount() const { return m_nExpected; }
    BOOL RecordShowsRecording() const { return m_bRecordSkinRecording; }
    // Picture-type codes of the format list's entries, and back.
    static BYTE TypeFromSelection(int selection);
    static int SelectionFromType(int pictureType);

    // A capture series is being collected (the collector thread runs).
    volatile LONG m_bSeriesRunning;
    // Set to make a running series end; 1 while no series runs.
    volatile LONG m_bSeriesStop;
    // Shots counted so far; shown in control 1150.
    int m_nShotCounter;
    // Names of captured files waiting for the collector, guarded by m_queueLock.
    CStringList m_nameQueue;
    CCriticalSection m_queueLock;

protected:
    friend void CaptureFollowUpThread(void* panel);

    void FillFormatList();
    void LoadControlsFromRecord();
    void RefreshEnableStates();
    // The edits, checks and format as the user left them, into the request.
    void ControlsToRequest();
    void SetRecordSkin(BOOL recording);
    // After a refused request: what OnCapture or StartVideoRecording changed, back as the
    // manager record says.
    void RestoreAfterRefusal();
    void EnableCaptureButtons(BOOL enable);
    CWnd* ReceiveWindow();
    void StartCollector();
    // Ends a running collector and waits for it (messages sent to this thread go on
    // being answered meanwhile), then closes its event.
    void StopCollector();
    void EndSeries();

    afx_msg void OnDestroy();
    afx_msg void OnFormatSelChange();
    afx_msg LRESULT OnComboSelChanged(WPARAM wParam, LPARAM lParam);
    afx_msg void OnTimeStampChecked();
    afx_msg void OnSeriesChecked();
    afx_msg void OnAsk();
    afx_msg void OnNoAsk();
    afx_msg void OnBrowseFolder();
    afx_msg void OnVideoSettings();
    afx_msg void OnTimeLapseSettings();
    afx_msg void OnRecord();
    afx_msg void OnMergeMeasurement();
    afx_msg void OnDenoise();
    afx_msg LRESULT OnSeriesProgress(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnHotkeyCapture(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnHotkeyRecordStart(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnHotkeyRecordStop(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // The panel's copy of the manager record; its capture settings are the request.
    CameraMgrParam m_mgr;
    // Dialog-exchange values.
    CString m_strFolder;
    CString m_strPrefix;
    int m_nFormat;
    int m_bTimeStamp;
    int m_bSeries;
    int m_bMerge;
    int m_bDenoise;
    int m_nRecordLength;
    int m_bTimeRecord;

    // The series collector.
    int m_nExpected;
    HANDLE m_hSeriesDone;
    BOOL m_bQueueClosed;                  // guarded by m_queueLock
    std::set<CString> m_queuedNames;      // upper-cased; guarded by m_queueLock
    HWND m_hStripProgress;
    CThumbnailListCtrl* m_pThumbList;

    BOOL m_bRecordSkinRecording;

    CSkinComboBox m_formatCombo;
    CSkinBitmapButton m_askRadio, m_noAskRadio;
    CSkinBitmapButton m_timeStampCheck, m_seriesCheck, m_mergeCheck, m_denoiseCheck, m_timeRecordCheck;
    CSkinBitmapButton m_browseButton, m_seriesSettingsButton, m_videoSettingsButton, m_recordButton;
    CSkinBitmapButton m_captureButton, m_playButton, m_changeCheck;
    CSkinEdit m_folderEdit;
    CPrefixEdit m_prefixEdit;
    CNumericEdit m_lengthEdit, m_edit1065, m_shotsEdit;
};
