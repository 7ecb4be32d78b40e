// The camera panels' sliders until the skinned slider joins the program: a static that
// keeps range and position the way the skinned slider does, so the panels read them
// the same way (its owner is told of changes by WM_SLIDER_MOVING / WM_SLIDER_MOVED).
#pragma once
#include "afxwin.h"

#ifndef WM_SLIDER_MOVING
#define WM_SLIDER_MOVING 0x28D1
#define WM_SLIDER_MOVED  0x28D2
#endif
#ifndef WM_COMBO_SELCHANGED
#define WM_COMBO_SELCHANGED 0x0800
#endif

class CPanelSlider : public CStatic
{
public:
    void SetRange(int nMin, int nMax, BOOL = FALSE)
    {
        m_nMin = nMin;
        m_nMax = nMax;
    }
    void SetPos(int nPos) { m_nPos = nPos < m_nMin ? m_nMin : (nPos > m_nMax ? m_nMax : nPos); }
    int GetPos() const { return m_nPos; }
    void Enable(BOOL bEnable)
    {
        m_bEnabled = bEnable;
        if (m_hWnd != NULL) EnableWindow(bEnable);
    }
    BOOL IsEnabled() const { return m_bEnabled; }

    int m_nMax = 100;
    int m_nMin = 0;
    int m_nPos = 0;

private:
    BOOL m_bEnabled = TRUE;
};
