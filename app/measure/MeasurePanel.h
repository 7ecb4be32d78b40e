// Measurement panel (placeholder).
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/measure/MeasurePanelIds.h"

class CMeasurePanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CMeasurePanel)
public:
    explicit CMeasurePanel(CWnd* pParent = NULL);
    virtual ~CMeasurePanel();
    enum { IDD = IDD_MEASURE_PANEL };

    virtual void Refresh();
    virtual void DisableTools();
    virtual void ResetMeasurements();
    virtual void SyncToolButtons();

protected:

    DECLARE_MESSAGE_MAP()
};
