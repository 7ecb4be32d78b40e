#include "app/capture/WhiteBalanceWizard.h"
#include "app/capture/CameraPanel.h"

IMPLEMENT_DYNAMIC(CWhiteBalanceWizard, CDialog)

BEGIN_MESSAGE_MAP(CWhiteBalanceWizard, CDialog)
END_MESSAGE_MAP()

CWhiteBalanceWizard::CWhiteBalanceWizard(CWnd* pOwner) : CDialog(IDD, pOwner), m_pOwner(pOwner) {}
CWhiteBalanceWizard::~CWhiteBalanceWizard() {}

void CWhiteBalanceWizard::TellOwner()
{
    if (m_pOwner != NULL && m_pOwner->m_hWnd != NULL) m_pOwner->PostMessage(WM_WB_WIZARD_CLOSED, 0, 0);
}

void CWhiteBalanceWizard::OnOK()
{
    TellOwner();
}

void CWhiteBalanceWizard::OnCancel()
{
    TellOwner();
}
