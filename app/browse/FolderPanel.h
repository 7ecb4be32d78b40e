// The folder panel of the Browse page: which folder the strip shows, and a Browse
// button that picks another one with the system folder picker.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/browse/FolderPanelIds.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/controls/SkinEdit.h"

class CFolderPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CFolderPanel)
public:
    explicit CFolderPanel(CWnd* pParent = NULL);
    virtual ~CFolderPanel();
    enum { IDD = IDD_FOLDER_PANEL };

    virtual void OnBrowse();
    // The folder shown (read back from the edit).
    virtual CString GetFolderText() const { return m_strFolder; }
    // Shows folder in the edit and reads it back.
    virtual void SetFolderText(const CString& folder);
    // A chosen folder as the strip gets it: a backslash added beyond a drive root.
    static CString NormaliseChosenFolder(const CString& chosen);

    CSkinEdit m_edit;
    CSkinBitmapButton m_btnBrowse;
    CString m_strFolder;

protected:
    virtual BOOL OnInitDialog() override;
    virtual void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnBrowseClicked();
    DECLARE_MESSAGE_MAP()
};
