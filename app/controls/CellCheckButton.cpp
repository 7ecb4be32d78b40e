#include "CellCheckButton.h"

CCellCheckButton::CCellCheckButton(int nRow, int nColumn, const RECT& rect, HWND hNotify)
    : m_nRow(nRow), m_nColumn(nColumn), m_rect(rect), m_hNotify(hNotify), m_bEnabled(1)
{
}

CCellCheckButton::~CCellCheckButton() {}

BEGIN_MESSAGE_MAP(CCellCheckButton, CButton)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

void CCellCheckButton::OnClicked()
{
    if (m_hNotify != NULL) ::SendMessageW(m_hNotify, WM_CELLCHECK_CLICKED, (WPARAM)m_nRow, (LPARAM)m_nColumn);
}
