// The video record panel above the Capture page's sections: the capture and play
// buttons, the live frame rate and the shot counter.  The capture panel and the
// Capture page write its counter and show or hide its labels.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/capture/VideoRecordPanelIds.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/controls/SkinSlider.h"
#include "app/controls/SkinEdit.h"

// Posted to the video record panel: the camera opened or an exposure changed (0, 0); the
// frame rate (1, frames per second x 1000), at most once a second; the camera stopped.
const UINT WM_EXPOSURE_PROGRESS_START = 0xB00;
const UINT WM_EXPOSURE_PROGRESS_POS = 0xB01;
const UINT WM_EXPOSURE_PROGRESS_STOP = 0xB02;

class CVideoRecordPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CVideoRecordPanel)
public:
    explicit CVideoRecordPanel(CWnd* pParent = NULL);
    virtual ~CVideoRecordPanel();
    enum { IDD = IDD_VIDEO_RECORD_PANEL };

    virtual BOOL OnInitDialog() override;
    // Play and capture buttons, frame-rate labels and counter from the manager record.
    virtual void UpdateControlState();

    // Whether the play button shows the "running" skin (camera open).
    BOOL PlayShowsRunning() const { return m_bPlayRunning; }

protected:
    virtual void DoDataExchange(CDataExchange* pDX) override;
    void SetPlaySkin(BOOL running);

    afx_msg void OnCapture();
    afx_msg void OnPlay();
    afx_msg LRESULT OnExposureProgressPos(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnExposureProgressStart(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnExposureProgressStop(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    CSkinBitmapButton m_captureButton;
    CSkinBitmapButton m_playButton;
    CSkinSlider m_slider;
    CSkinBitmapButton m_check;
    CSkinEdit m_edit;
    BOOL m_bPlayRunning;
};
