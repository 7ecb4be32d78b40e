// A solid-colour popup the main frame uses as thin borders between its floating
// panels: a background colour, an inner rectangle in a second colour and, below that
// rectangle, a third colour.
#pragma once
#include "afxwin.h"
#include "app/shell/ColorPanelIds.h"

class CColorPanel : public CDialog
{
    DECLARE_DYNAMIC(CColorPanel)
public:
    explicit CColorPanel(CWnd* pParent = NULL);
    virtual ~CColorPanel();
    enum { IDD = IDD_COLOR_PANEL };

    virtual void SetColor(int r, int g, int b);
    virtual void SetInnerColor(int r, int g, int b);
    virtual void SetLowerColor(int r, int g, int b);
    virtual void SetInnerRect(const RECT& rect);
    const CRect& GetInnerRect() const { return m_inner; }

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    static void Replace(HBRUSH& brush, int r, int g, int b);
    HBRUSH m_background;
    HBRUSH m_innerBrush;
    HBRUSH m_lowerBrush;
    CRect m_inner;
};
