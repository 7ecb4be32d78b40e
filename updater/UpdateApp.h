// The updater's application object: one copy at a time, one modal update dialog.
#pragma once
#include "afxwin.h"

class CUpdateApp : public CWinApp
{
public:
    CUpdateApp();
    virtual BOOL InitInstance() override;
    virtual int ExitInstance() override;

private:
    HANDLE m_hMutex;
};
