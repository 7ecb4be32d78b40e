// The Capture page's parameter groups: named parameter sets of the current camera
// (the camera library's parameter teams) saved, loaded and deleted by name, the backup
// and restore of all settings to and from a folder, and the black-background option of
// the live picture that the capture tool column and the preview window toggle.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/capture/ParameterGroupPanelIds.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/controls/SkinComboBox.h"

class CParameterGroupPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CParameterGroupPanel)
public:
    explicit CParameterGroupPanel(CWnd* pParent = NULL);
    virtual ~CParameterGroupPanel();
    enum { IDD = IDD_PARAMETER_GROUP_PANEL };

    // Save, load, delete and the name box usable only while the camera runs.
    virtual void UpdateControlState();
    // The team names from the library, the one in use selected.
    virtual void RefillGroupCombo();
    void FillTeamCombo() { RefillGroupCombo(); }

    // The black-background option of the live picture: the capture tool column toggles
    // it; the preview re-applies the colours after full screen while it is on.
    virtual void ToggleBlackBackground();
    virtual int IsBlackBackground() const { return m_bBlackBackground; }
    virtual void ApplyBackgroundColors();

    // Parameter teams a camera of that type may hold.
    static int TeamLimit(int cameraType);

    // A load or save whose library part, or a load whose refresh of the page, is still
    // running.
    enum TeamWork { TEAM_LOAD = 1, TEAM_SAVE = 2 };
    BOOL IsBusy() const { return m_hWorker != NULL || m_finishPhase != FINISH_NONE; }

protected:
    virtual BOOL OnInitDialog() override;
    virtual void DoDataExchange(CDataExchange* pDX) override;

    // The folder the user picks for backup and restore, with a trailing backslash
    // unless it is a drive root; FALSE when cancelled or not a file-system folder.
    virtual BOOL PickFolder(CString* folder);

    afx_msg void OnSaveTeam();
    afx_msg void OnLoadTeam();
    afx_msg void OnDeleteTeam();
    afx_msg void OnFullScreen();
    afx_msg void OnBackup();
    afx_msg void OnRestore();
    afx_msg LRESULT OnComboSelChanged(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTeamDone(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnFinishStep(WPARAM wParam, LPARAM lParam);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

    // The library's part of a load or save waits on the camera: it runs on a worker
    // thread while the panel's controls are disabled, and OnTeamDone finishes on the GUI
    // thread.  FALSE when no thread could be started (the work then ran here).
    BOOL StartTeamWork(TeamWork work, int index, BOOL applyAfterSave);

private:
    // The typed or picked name, and its team index (the team count when no team has
    // that name); FALSE, after telling the user, when the name is empty.
    BOOL FindTeam(CString* name, int* index);
    // After a load or restore: the Capture page laid out and refreshed, this section
    // opened, the tool column refreshed, then the main window laid out again.  A load
    // posts itself one step at a time; FinishStep runs the next and says whether more
    // follow.
    enum FinishPhase { FINISH_NONE, FINISH_LAYOUT, FINISH_REFRESH, FINISH_SECTION, FINISH_FRAME, FINISH_DONE };
    void RefreshPageAfterLoad();
    BOOL FinishStep(FinishPhase& phase, int& refreshStep);
    void RelayoutFrame();

    void SetBusy(HANDLE worker);
    void FinishSave(BOOL saved);

    CSkinComboBox m_nameCombo;
    CSkinBitmapButton m_buttons[7];
    int m_bBlackBackground;
    int m_nLastSelection;
    HANDLE m_hWorker;   // the team worker while it runs
    FinishPhase m_finishPhase;   // a load's refresh of the page still to come
    int m_nRefreshStep;   // the page's next refresh step while in FINISH_REFRESH
};
