// The About box, opened from the update dialog's system menu.
#pragma once
#include "afxwin.h"
#include "UpdateIds.h"

class CAboutDlg : public CDialog
{
public:
    enum { IDD = IDD_ABOUTBOX };
    explicit CAboutDlg(CWnd* pParent = NULL) : CDialog(IDD, pParent) {}
};
