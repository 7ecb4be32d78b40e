// Counter panel (placeholder).
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/measure/CounterPanelIds.h"

class CCounterPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CCounterPanel)
public:
    explicit CCounterPanel(CWnd* pParent = NULL);
    virtual ~CCounterPanel();
    enum { IDD = IDD_COUNTER_PANEL };

    virtual void UpdateControlState();

protected:

    DECLARE_MESSAGE_MAP()
};
