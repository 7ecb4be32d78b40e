// The About box: version, ownership and contact lines; the logo and the web-address
// line open the maker's web address.
#pragma once
#include "afxwin.h"
#include "app/res/resource.h"

class CAboutDialog : public CDialog
{
    DECLARE_DYNAMIC(CAboutDialog)
public:
    explicit CAboutDialog(CWnd* pParent = NULL);
    virtual ~CAboutDialog();
    enum { IDD = IDD_ABOUTBOX };

    virtual BOOL PreTranslateMessage(MSG* pMsg) override;
};
