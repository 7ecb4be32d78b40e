// Folder panel (placeholder).
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/browse/FolderPanelIds.h"

class CFolderPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CFolderPanel)
public:
    explicit CFolderPanel(CWnd* pParent = NULL);
    virtual ~CFolderPanel();
    enum { IDD = IDD_FOLDER_PANEL };

protected:

    DECLARE_MESSAGE_MAP()
};
