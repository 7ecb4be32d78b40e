// Layers panel (placeholder).
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/measure/LayersDialogIds.h"

class CLayersDialog : public CPanelDialog
{
    DECLARE_DYNAMIC(CLayersDialog)
public:
    explicit CLayersDialog(CWnd* pParent = NULL);
    virtual ~CLayersDialog();
    enum { IDD = IDD_LAYERS_DIALOG };

    virtual void RefreshLayerList();
    virtual void UpdateControlState();

protected:

    DECLARE_MESSAGE_MAP()
};
