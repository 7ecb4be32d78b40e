#include "RepeatButton.h"

CRepeatButton::CRepeatButton() : m_bRepeating(FALSE) {}
CRepeatButton::~CRepeatButton() {}

BEGIN_MESSAGE_MAP(CRepeatButton, CSkinBitmapButton)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_TIMER()
    ON_WM_CAPTURECHANGED()
    ON_WM_KILLFOCUS()
    ON_WM_ENABLE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_CANCELMODE, OnCancelMode)
END_MESSAGE_MAP()

void CRepeatButton::StopRepeat()
{
    if (m_bRepeating) KillTimer(TIMER_REPEAT);
    m_bRepeating = FALSE;
}

void CRepeatButton::OnLButtonDown(UINT nFlags, CPoint point)
{
    SetTimer(TIMER_REPEAT, REPEAT_MS);
    m_bRepeating = TRUE;
    CSkinBitmapButton::OnLButtonDown(nFlags, point);
}

void CRepeatButton::OnLButtonUp(UINT nFlags, CPoint point)
{
    StopRepeat();
    CSkinBitmapButton::OnLButtonUp(nFlags, point);
}

void CRepeatButton::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == TIMER_REPEAT) {
        // Only a held button ticks: a lost capture or focus ends the repeat even when
        // the matching message went astray.
        if (!m_bRepeating || !IsWindowEnabled()) {
            StopRepeat();
            return;
        }
        CWnd* pParent = GetParent();
        if (pParent != NULL) pParent->PostMessage(WM_REPEAT_TICK, (WPARAM)GetDlgCtrlID(), 0);
    }
    Default();
}

// The button-up may never come: a dialog opened by the parent's tick handler takes the
// capture, or the handler disables this button.
void CRepeatButton::OnCaptureChanged(CWnd*)
{
    StopRepeat();
    Default();
}

void CRepeatButton::OnKillFocus(CWnd* pNewWnd)
{
    StopRepeat();
    CSkinBitmapButton::OnKillFocus(pNewWnd);
}

void CRepeatButton::OnEnable(BOOL bEnable)
{
    if (!bEnable) StopRepeat();
    Default();
}

void CRepeatButton::OnDestroy()
{
    StopRepeat();
    Default();
}

LRESULT CRepeatButton::OnCancelMode(WPARAM, LPARAM)
{
    StopRepeat();
    return Default();
}
