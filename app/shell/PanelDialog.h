// The look every panel of the program shares: a skin bitmap from the program folder
// stretched over the client area, transparent static texts, and Enter and Escape that
// never reach the dialog (so they never close a panel).
//
// Derive a panel from CPanelDialog instead of CDialog, name its transparent statics
// with AddTransparentStatic, and chain OnInitDialog to the base.  A panel that keeps
// the plain dialog look stays a CDialog and may still use PanelPreTranslate.
#pragma once
#include "afxwin.h"

class CPanelDialog : public CDialog
{
    DECLARE_DYNAMIC(CPanelDialog)
public:
    // skinFile: relative to the program folder, e.g. "skin\\panel_small_bg.bmp".
    CPanelDialog(UINT nIDTemplate, CWnd* pParent = NULL, LPCWSTR skinFile = L"skin\\panel_small_bg.bmp");
    virtual ~CPanelDialog();

    virtual BOOL OnInitDialog() override;
    virtual BOOL PreTranslateMessage(MSG* pMsg) override;

    // Statics painted with a transparent background.  Without any named, every static
    // text is transparent.
    void AddTransparentStatic(int nID);
    // Replaces the background bitmap (the caption bar and the tab pages use others).
    void SetSkinFile(LPCWSTR skinFile);
    HBITMAP GetSkinBitmap() const { return m_hSkin; }

    // A panel made in the background between messages may leave the rest of its making
    // to a message of its own: asked before Create, OnInitDialog makes what the panel
    // cannot be without and MakeRest the rest.  Asked nothing, OnInitDialog makes it all.
    void LeaveRestForLater() { m_bRestLater = TRUE; }
    void LeaveNothingForLater() { m_bRestLater = FALSE; }
    BOOL IsRestPending() const { return m_bRestPending && m_hWnd != NULL; }
    void MakeRest();

protected:
    // What a panel that can make its rest later leaves out of OnInitDialog; its
    // OnInitDialog ends with FinishInitDialog.
    virtual void OnMakeRest() {}
    void FinishInitDialog();

    // Paints the skin over rect (client coordinates) of dc.
    void PaintSkin(CDC* pDC, const RECT& rect);
    void LoadSkin();

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

    // Skipped by the dialog's enter and escape handling: wParam 13 or 27.
    static BOOL IsEnterOrEscape(const MSG* pMsg) { return pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE; }

    CString m_skinFile;
    HBITMAP m_hSkin;
    HDC m_hMemDC;
    HDC m_hMemDC2;
    HGDIOBJ m_hOldBitmap;
    CUIntArray m_transparent;
    BOOL m_bRestLater;    // asked for the making that comes next
    BOOL m_bRestPending;
};

// The shared pre-translation of panels: FALSE at once for Enter and Escape (wParam 13
// or 27), else the dialog's own.
BOOL PanelPreTranslate(CDialog* pDialog, MSG* pMsg);
