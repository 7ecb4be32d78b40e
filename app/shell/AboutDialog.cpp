#include "app/shell/AboutDialog.h"
#include "app/shell/ShellLaunch.h"

IMPLEMENT_DYNAMIC(CAboutDialog, CDialog)

CAboutDialog::CAboutDialog(CWnd* pParent) : CDialog(IDD, pParent) {}
CAboutDialog::~CAboutDialog() {}

// The press lands on the control under the pointer, so it is caught on its way there.
BOOL CAboutDialog::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_LBUTTONDOWN && m_hWnd != NULL) {
        const int ids[2] = {IDC_ABOUT_LOGO, IDC_ABOUT_WEB};
        POINT pt = pMsg->pt;
        for (int id : ids) {
            CWnd* item = GetDlgItem(id);
            if (item == NULL) continue;
            CRect r;
            item->GetWindowRect(&r);
            if (r.PtInRect(pt)) {
                CString address;
                address.LoadString(IDS_WEB_ADDRESS);
                ShellLaunch(m_hWnd, L"open", address, L"", L"", SW_SHOWNORMAL);
                break;
            }
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}
