// White-balance wizard (placeholder until its own work replaces it): a modeless popup
// of the camera panel that never destroys itself; OK and Cancel tell the owner, which
// destroys and deletes it.
#pragma once
#include "afxwin.h"
#include "app/capture/WhiteBalanceWizardIds.h"

class CWhiteBalanceWizard : public CDialog
{
    DECLARE_DYNAMIC(CWhiteBalanceWizard)
public:
    explicit CWhiteBalanceWizard(CWnd* pOwner = NULL);
    virtual ~CWhiteBalanceWizard();
    enum { IDD = IDD_WB_WIZARD };

protected:
    virtual void OnOK() override;
    virtual void OnCancel() override;
    void TellOwner();
    DECLARE_MESSAGE_MAP()

    CWnd* m_pOwner;
};
