// The composition launcher on the Image page: three buttons that open the composition
// dialog in its three modes.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/compose/FusionPanelIds.h"

class CFusionPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CFusionPanel)
public:
    explicit CFusionPanel(CWnd* pParent = NULL);
    virtual ~CFusionPanel();
    enum { IDD = IDD_FUSION_PANEL };

    virtual BOOL OnInitDialog() override;
    // The buttons work only while a camera is known.
    virtual void UpdateControlState();

protected:
    // Runs the composition dialog modally in a mode; a test overrides it to record.
    virtual void OpenComposition(int mode);

    afx_msg void OnEdof();
    afx_msg void OnStitch();
    afx_msg void OnHdr();
    DECLARE_MESSAGE_MAP()
};
