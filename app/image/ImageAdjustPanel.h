// Image adjust panel (placeholder).
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/image/ImageAdjustPanelIds.h"

class CImageAdjustPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CImageAdjustPanel)
public:
    explicit CImageAdjustPanel(CWnd* pParent = NULL);
    virtual ~CImageAdjustPanel();
    enum { IDD = IDD_IMAGE_ADJUST_PANEL };

    virtual void UpdateControlState();
    virtual void ResetSliders();

protected:

    DECLARE_MESSAGE_MAP()
};
