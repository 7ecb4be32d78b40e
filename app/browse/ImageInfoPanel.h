// Image information panel (placeholder).
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/browse/ImageInfoPanelIds.h"

class CImageInfoPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CImageInfoPanel)
public:
    explicit CImageInfoPanel(CWnd* pParent = NULL);
    virtual ~CImageInfoPanel();
    enum { IDD = IDD_IMAGE_INFO_PANEL };

    virtual void Refresh();

protected:

    DECLARE_MESSAGE_MAP()
};
