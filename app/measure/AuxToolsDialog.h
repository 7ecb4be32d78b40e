// The measuring grid and line detection settings: grid on or off, spacing (in the
// calibration's unit), grid colour (double-click the swatch) and line detection.
#pragma once
#include "afxwin.h"
#include "app/controls/NumericEdit.h"
#include "app/measure/AuxToolsDialogIds.h"

class CAuxToolsDialog : public CDialog
{
    DECLARE_DYNAMIC(CAuxToolsDialog)
public:
    explicit CAuxToolsDialog(CWnd* pParent = NULL);
    virtual ~CAuxToolsDialog();
    enum { IDD = IDD_AUX_TOOLS };

    void SetUnitText(LPCWSTR text) { m_unit = text; }
    void SetGridOn(int on) { m_gridOn = on ? 1 : 0; }
    int GetGridOn() const { return m_gridOn; }
    void SetGridSpacing(int spacing) { m_spacing = spacing; }
    int GetGridSpacing() const { return m_spacing; }
    void SetGridColor(COLORREF color) { m_color = color; }
    COLORREF GetGridColor() const { return m_color; }
    void SetLineDetection(int on) { m_lineDetection = on ? 1 : 0; }
    int GetLineDetection() const { return m_lineDetection; }

    // The colour dialog's answer as the grid keeps it: pure white would vanish into the
    // program's white, so it becomes 0xFEFEFE.
    static COLORREF StoredGridColor(COLORREF chosen);

protected:
    virtual BOOL OnInitDialog() override;
    virtual void DoDataExchange(CDataExchange* pDX) override;
    virtual void OnOK() override;
    afx_msg void OnPaint();
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

    CNumericEdit m_spacingEdit;
    int m_gridOn;
    int m_spacing;
    COLORREF m_color;
    int m_lineDetection;
    CString m_unit;
};
