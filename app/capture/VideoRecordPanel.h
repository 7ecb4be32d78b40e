// Video record panel (placeholder): capture and play buttons, frame rate and counter.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/capture/VideoRecordPanelIds.h"

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
