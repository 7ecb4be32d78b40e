// The cell counter: five named classes; each click on the image counts for the current
// class; the panel shows counts and shares and exports them. Counting runs from Start
// until the library reports its end or the user clears all.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/controls/SkinEdit.h"
#include "app/measure/CounterPanelIds.h"

class CCounterPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CCounterPanel)
public:
    explicit CCounterPanel(CWnd* pParent = NULL);
    virtual ~CCounterPanel();
    enum { IDD = IDD_COUNTER_PANEL };
    static const int kClasses = 5;

    virtual void UpdateControlState();
    virtual void RefreshCounts();
    virtual void SyncClassButtons();
    int IsCounting() const { return m_counting; }
    // A picture was opened: counting has ended and the counts are the new measurement's.
    void ShowOpenedPicture();
    // Where the export's save dialog starts: the folder of the picture counted.
    CString ExportFolder() const;

protected:
    virtual BOOL OnInitDialog() override;
    virtual void OnMakeRest() override;
    // The export file chosen by the user; FALSE when cancelled.
    virtual BOOL AskExportPath(CString& path);

    afx_msg void OnStart();
    afx_msg void OnClassButton(UINT id);
    afx_msg void OnClearAll();
    afx_msg void OnExport();
    afx_msg LRESULT OnCountersChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    void StartCounting();
    void SendNames();

    CSkinBitmapButton m_selectors[kClasses];
    CSkinEdit m_names[kClasses];
    CSkinBitmapButton m_start, m_export, m_clear;
    int m_counting;
};
