// The stamp the main view draws over the picture and saved copies carry: date, time, a
// free text and its colour. Every change goes to the process-wide store at once.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/controls/SkinEdit.h"
#include "app/image/StampPanelIds.h"

class CStampPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CStampPanel)
public:
    explicit CStampPanel(CWnd* pParent = NULL);
    virtual ~CStampPanel();
    enum { IDD = IDD_STAMP_PANEL };

    virtual void UpdateControlState();
    // Clears the panel's date and time flags and its text (the store keeps its own).
    virtual void ResetStamp();
    COLORREF GetStampColor() const { return m_color; }

protected:
    virtual BOOL OnInitDialog() override;
    virtual void DoDataExchange(CDataExchange* pDX) override;
    // The browse tool column's save of a copy with stamp and measurements.
    virtual void SaveCopy();

    afx_msg void OnPaint();
    afx_msg void OnDate();
    afx_msg void OnTime();
    afx_msg void OnTextUpdate();
    afx_msg void OnSave();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

    void InvalidateMainView();

    CSkinBitmapButton m_date, m_time, m_save;
    CSkinEdit m_text;
    int m_showDate, m_showTime;
    COLORREF m_color;
};
