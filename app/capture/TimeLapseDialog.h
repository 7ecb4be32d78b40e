// The time-lapse settings dialog: the interval and number of shots of a timed series,
// and, with "use record", the same interval and number for a time-lapse recording at
// the chosen playback rate.  On OK it stores its settings in the camera library; the
// capture panel then takes them into its request.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/capture/TimeLapseDialogIds.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/controls/NumericEdit.h"
#include "app/controls/TimeSpanEdit.h"
#include "camera/core/QrCCamera.h"

class CTimeLapseDialog : public CPanelDialog
{
    DECLARE_DYNAMIC(CTimeLapseDialog)
public:
    explicit CTimeLapseDialog(CWnd* pParent = NULL);
    virtual ~CTimeLapseDialog();
    enum { IDD = IDD_TIME_LAPSE };

    virtual BOOL OnInitDialog() override;
    virtual BOOL PreTranslateMessage(MSG* pMsg) override;

    // The request as the dialog holds it (after OK: as stored in the library).
    const CaptureParam& Request() const { return m_mgr.capture; }
    CTimeSpanEdit& IntervalInput() { return m_interval; }

protected:
    virtual void DoDataExchange(CDataExchange* pDX) override;
    virtual void OnOK() override;

    void RefreshEnableStates();
    void LoadControls();
    // Interval, shot count, use-record check and rate into the request (fields left
    // empty keep their values).
    void ReadControls();

    afx_msg void OnUseRecord();
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnPaint();
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

    CameraMgrParam m_mgr;
    CTimeSpanEdit m_interval;
    CNumericEdit m_countEdit;
    CNumericEdit m_rateEdit;
    CSkinBitmapButton m_useRecordCheck;
    CSkinBitmapButton m_okButton;
};
