// Black and white levels of the opened picture: histogram of the adjustment base with the
// two level markers, a two-handle range bar, two numeric edits and Auto. Changes go to
// the process-wide store at once; Cancel puts back the levels in force at the opening.
// A rounded window that drags by any point of its client area.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/controls/NumericEdit.h"
#include "app/controls/RangeBar.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/image/LevelsDialogIds.h"

class CLevelsDialog : public CPanelDialog
{
    DECLARE_DYNAMIC(CLevelsDialog)
public:
    explicit CLevelsDialog(CWnd* pParent = NULL);
    virtual ~CLevelsDialog();
    enum { IDD = IDD_LEVELS_DIALOG };

    int GetLow() const { return m_low; }
    int GetHigh() const { return m_high; }
    CRangeBar& RangeBar() { return m_range; }
    CRect GetHistogramRect() const { return m_histogram; }

protected:
    virtual BOOL OnInitDialog() override;
    virtual BOOL PreTranslateMessage(MSG* pMsg) override;
    virtual void OnCancel() override;

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnAuto();
    afx_msg LRESULT OnEditValue(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnRangeChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    void ShowLevels();
    // Writes both edits; their value notifications are ignored meanwhile, or the first
    // one would put the bar back to the other edit's old value.
    void WriteEdits(int low, int high);
    void ReadEdits();
    void RedrawHistogram(BOOL now);

    CRangeBar m_range;
    CNumericEdit m_lowEdit, m_highEdit;
    CSkinBitmapButton m_auto, m_ok, m_cancel;
    int m_low, m_high;
    int m_savedLow, m_savedHigh;
    int m_writingEdits;
    CRect m_histogram;
};
