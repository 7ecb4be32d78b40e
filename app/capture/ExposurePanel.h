// Exposure panel (placeholder).
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/capture/ExposurePanelIds.h"

// Posted by the preview window at most once a second: re-read levels and histogram.
const UINT WM_LEVELS_REFRESH = 0xC00;

class CExposurePanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CExposurePanel)
public:
    explicit CExposurePanel(CWnd* pParent = NULL);
    virtual ~CExposurePanel();
    enum { IDD = IDD_EXPOSURE_PANEL };

    virtual void ConfigureForCamera();
    virtual void RefreshFromCamera();
    virtual void UpdateControlState();
    virtual void EnableLongExposure();

protected:

    DECLARE_MESSAGE_MAP()
};
