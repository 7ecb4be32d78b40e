#include "app/compose/StitchProgressDialog.h"

#include "app/compose/ComposeMessages.h"

#include <commctrl.h>

namespace {
const UINT_PTR kProgressTimer = 22;
const UINT kProgressMs = 500;
}

IMPLEMENT_DYNAMIC(CStitchProgressDialog, CPanelDialog)

BEGIN_MESSAGE_MAP(CStitchProgressDialog, CPanelDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CStitchProgressDialog::CStitchProgressDialog(CWnd* owner)
    : CPanelDialog(IDD, NULL), m_owner(owner), m_step(0)
{
}

CStitchProgressDialog::~CStitchProgressDialog() {}

BOOL CStitchProgressDialog::OnInitDialog()
{
    AddTransparentStatic(IDC_STITCH_LABEL);
    AddTransparentStatic(IDC_STITCH_STATUS);
    CPanelDialog::OnInitDialog();
    ::SendDlgItemMessageW(m_hWnd, IDC_STITCH_BAR, PBM_SETRANGE32, 0, 100);
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->ShowWindow(SW_HIDE);
    return TRUE;
}

void CStitchProgressDialog::StartProgress()
{
    m_step = 0;
    ::SendDlgItemMessageW(m_hWnd, IDC_STITCH_BAR, PBM_SETPOS, 0, 0);
    SetTimer(kProgressTimer, kProgressMs, NULL);
}

void CStitchProgressDialog::StopProgress()
{
    KillTimer(kProgressTimer);
    ::SendDlgItemMessageW(m_hWnd, IDC_STITCH_BAR, PBM_SETPOS, 100, 0);
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->ShowWindow(SW_SHOW);
}

void CStitchProgressDialog::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kProgressTimer) {
        CPanelDialog::OnTimer(nIDEvent);
        return;
    }
    m_step = (m_step + 1) % 100;
    ::SendDlgItemMessageW(m_hWnd, IDC_STITCH_BAR, PBM_SETPOS, m_step, 0);
}

// The owner destroys the window; it never ends itself.
void CStitchProgressDialog::OnOK()
{
    if (m_owner && m_owner->GetSafeHwnd())
        ::PostMessageW(m_owner->GetSafeHwnd(), WM_STITCH_PROGRESS_CLOSED, 0, 0);
}

void CStitchProgressDialog::OnCancel() {}
