// Video record panel (placeholder): capture and play buttons, frame rate and counter.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/capture/VideoRecordPanelIds.h"

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

    virtual void UpdateControlState();

protected:

    DECLARE_MESSAGE_MAP()
};
