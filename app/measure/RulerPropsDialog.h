// The ruler cross's look: ruler colour, the background colour of its bands and text, and
// whether that background is transparent. Every change goes to the image store at once
// (no OK button); a double click on a swatch picks its colour.
#pragma once
#include "afxwin.h"
#include "app/store/ImageRequests.h"
#include "app/measure/RulerPropsDialogIds.h"

class CRulerPropsDialog : public CDialog
{
    DECLARE_DYNAMIC(CRulerPropsDialog)
public:
    explicit CRulerPropsDialog(CWnd* pParent = NULL);
    virtual ~CRulerPropsDialog();
    enum { IDD = IDD_RULER_PROPS };

    const RulerAttributes& GetAttributes() const { return m_attributes; }

protected:
    virtual void DoDataExchange(CDataExchange* pDX) override;
    virtual BOOL OnInitDialog() override;
    afx_msg void OnPaint();
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnTransparent();
    afx_msg void OnDefault();
    DECLARE_MESSAGE_MAP()

    // Store, parent repaint and the live overlay's redraw.
    void Apply();
    BOOL HitSwatch(const CStatic& swatch, CPoint point) const;

    CStatic m_colorSwatch;
    CStatic m_backgroundSwatch;
    RulerAttributes m_attributes;
    int m_transparent;
};
