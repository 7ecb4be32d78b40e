// The composition dialog: a folder's files into one sharp picture from a focus stack
// (worker), one mosaic from tiles (worker) or one HDR picture (on the GUI thread).
//
// Each start gathers its inputs here, on the GUI thread, into a job its worker owns;
// while a worker runs the dialog refuses to close by any means, so the worker's final
// message always finds it.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/compose/ImageFusionDialogIds.h"

#include <vector>

class CImageStore;

enum FusionMode
{
    FUSION_MODE_EDOF = 0,
    FUSION_MODE_HDR = 1,
    FUSION_MODE_STITCH = 2,
};

class CImageFusionDialog : public CPanelDialog
{
    DECLARE_DYNAMIC(CImageFusionDialog)
public:
    explicit CImageFusionDialog(CWnd* pParent = NULL);
    virtual ~CImageFusionDialog();
    enum { IDD = IDD_IMAGE_FUSION };

    void SetMode(int mode) { m_mode = mode; }
    int GetMode() const { return m_mode; }
    BOOL IsBusy() const { return m_busy; }
    // The folder shown in the folder field.
    CString GetFolder() const;
    // The merge list's names, top to bottom.
    std::vector<CString> GetMergeNames() const;
    // Shows a text in the status line.
    void SetStatus(UINT stringId);

    virtual BOOL OnInitDialog() override;
    virtual BOOL PreTranslateMessage(MSG* pMsg) override;

    // Fills the lists from a folder (as a choice in the folder browser does).
    void ChangeFolder(const CString& folder);
    // 1 added at position, 0 refused (unreadable, or of another size than the list's first).
    int AddToMergeList(int position, const CString& name);

protected:
    virtual void OnOK() override;
    virtual void OnCancel() override;

    void ScanFolder(const CString& folder);
    void RefreshControls();
    int ShowPreview(const CString& path);
    void StartProgress();
    void StopProgress();
    void StartEdof();
    int StartStitch();
    void Finish();

    afx_msg void OnBrowse();
    afx_msg void OnAdd();
    afx_msg void OnRemove();
    afx_msg void OnAddAll();
    afx_msg void OnRemoveAll();
    afx_msg void OnMerge();
    afx_msg void OnSourceSelChange();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnPaint();
    afx_msg void OnDestroy();
    afx_msg LRESULT OnFusionProgress(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnStitchDone(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    int m_mode;
    BOOL m_busy;
    int m_refWidth, m_refHeight;
    std::vector<CString> m_folderFiles;   // lower-cased full paths
    int m_mergeCount;
    CString m_resultPath;
    int m_progressStep;
    CImageStore* m_preview;
    HBRUSH m_greyBrush;
};
