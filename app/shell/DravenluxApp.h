// The application: refuses a second copy, sets up the registry profile and the one
// document template, lets the framework create the main frame, shows it maximised and
// opens the camera.
#pragma once
#include "afxwin.h"

class CDravenluxApp : public CWinApp
{
public:
    CDravenluxApp();
    virtual ~CDravenluxApp();

    virtual BOOL InitInstance() override;

    afx_msg void OnAppAbout();

protected:
    DECLARE_MESSAGE_MAP()

    HANDLE m_hMutex;
};
