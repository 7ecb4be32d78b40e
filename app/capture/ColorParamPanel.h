// Colour parameter panel (placeholder).
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/capture/ColorParamPanelIds.h"

class CColorParamPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CColorParamPanel)
public:
    explicit CColorParamPanel(CWnd* pParent = NULL);
    virtual ~CColorParamPanel();
    enum { IDD = IDD_COLOR_PARAM_PANEL };

    virtual void ConfigureForCamera();
    virtual void RefreshFromCamera();
    virtual void UpdateControlState();
    // The white-balance, black-balance and flat-field buttons, also run by other panels.
    virtual void OnWhiteBalance();
    virtual void OnBlackBalance();
    virtual void OnCalcFlatField();

protected:

    DECLARE_MESSAGE_MAP()
};
