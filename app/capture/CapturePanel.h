// Capture panel (placeholder): the flags, counter and name queue others touch, and the
// hot-key messages of the main frame, which do nothing yet.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/capture/CapturePanelIds.h"
#include "afxmt.h"
#include "app/controls/SkinBitmapButton.h"
// Posted by the main frame for the hot keys F9, F10 and F11 (wParam 0, lParam 0).
const UINT WM_HOTKEY_CAPTURE = 0x950;
const UINT WM_HOTKEY_RECORD_START = 0x951;
const UINT WM_HOTKEY_RECORD_STOP = 0x952;

class CCapturePanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CCapturePanel)
public:
    explicit CCapturePanel(CWnd* pParent = NULL);
    virtual ~CCapturePanel();
    enum { IDD = IDD_CAPTURE_PANEL };

    virtual void UpdateControlState();
    virtual void OnCapture();
    virtual void StartVideoRecording();
    virtual void DoDataExchange(CDataExchange* pDX);

    // A capture series is being collected (the collector thread runs).
    volatile LONG m_bSeriesRunning;
    // Set to make a running series end.
    volatile LONG m_bSeriesStop;
    // Shots counted so far; shown in control 1150.
    int m_nShotCounter;
    // Names of captured files waiting for the collector, guarded by m_queueLock.
    CStringList m_nameQueue;
    CCriticalSection m_queueLock;
    // The record button, re-skinned while recording.
    CSkinBitmapButton m_btnRecord;

protected:
    afx_msg LRESULT OnHotkeyCapture(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnHotkeyRecordStart(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnHotkeyRecordStop(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
