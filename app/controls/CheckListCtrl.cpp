#include "CheckListCtrl.h"

CCheckListCtrl::CCheckListCtrl() {}
CCheckListCtrl::~CCheckListCtrl() { RemoveAllButtons(); }

BOOL CCheckListCtrl::IsChecked(const CCellCheckButton* p)
{
    return p != NULL && p->m_hWnd != NULL && ::SendMessageW(p->m_hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CCheckListCtrl::SetChecked(CCellCheckButton* p, BOOL bCheck)
{
    if (p != NULL && p->m_hWnd != NULL) ::SendMessageW(p->m_hWnd, BM_SETCHECK, bCheck ? BST_CHECKED : BST_UNCHECKED, 0);
}

CCellCheckButton* CCheckListCtrl::GetButton(int nRow, int nColumn) const
{
    if (nColumn < 1 || nColumn > 2 || nRow < 0 || nRow >= m_buttons[nColumn].GetSize()) return NULL;
    return (CCellCheckButton*)m_buttons[nColumn][nRow];
}

int CCheckListCtrl::GetButtonRowCount(int nColumn) const
{
    return (nColumn < 1 || nColumn > 2) ? 0 : (int)m_buttons[nColumn].GetSize();
}

BOOL CCheckListCtrl::AddCheckButton(int nRow, int nColumn, HWND hNotify, int nMode, int bCheck)
{
    if (nColumn != 1 && nColumn != 2) return FALSE;
    CRect cell;
    if (!GetSubItemRect(nRow, nColumn, LVIR_BOUNDS, cell)) return FALSE;
    CCellCheckButton* pButton = new CCellCheckButton(nRow, nColumn, cell, hNotify);
    if (!pButton->Create(L"", WS_CHILD | WS_VISIBLE | BS_CHECKBOX, cell, this, IDC_CELL_CHECK)) {
        delete pButton;
        return FALSE;
    }
    m_buttons[nColumn].Add(pButton);
    if (nMode == 1) SetChecked(pButton, TRUE);
    else if (nMode == 2 && nColumn == 2) SetChecked(pButton, bCheck);
    return TRUE;
}

void CCheckListCtrl::RemoveAllButtons()
{
    for (int c = 1; c <= 2; c++) {
        for (INT_PTR r = m_buttons[c].GetSize() - 1; r >= 0; r--) delete (CCellCheckButton*)m_buttons[c][r];
        m_buttons[c].RemoveAll();
    }
}

void CCheckListCtrl::RemoveRow(int nRow)
{
    if (nRow < 0) return;
    BOOL bAny = FALSE;
    for (int c = 1; c <= 2; c++) {
        INT_PTR n = m_buttons[c].GetSize();
        if (nRow >= n) continue;
        bAny = TRUE;
        for (INT_PTR r = nRow; r + 1 < n; r++)
            SetChecked((CCellCheckButton*)m_buttons[c][r], IsChecked((CCellCheckButton*)m_buttons[c][r + 1]));
        delete (CCellCheckButton*)m_buttons[c][n - 1];
        m_buttons[c].RemoveAt(n - 1);
    }
    if (!bAny && nRow >= GetItemCount()) return;
    DeleteItem(nRow);
    Invalidate();
}

void CCheckListCtrl::SetCurrentRow(int nRow)
{
    if (GetButton(nRow, 1) == NULL && GetButton(nRow, 2) == NULL) return;
    for (INT_PTR r = 0; r < m_buttons[1].GetSize(); r++)
        if (r != nRow) SetChecked((CCellCheckButton*)m_buttons[1][r], FALSE);
    SetChecked(GetButton(nRow, 1), TRUE);
    SetChecked(GetButton(nRow, 2), TRUE);
}

BOOL CCheckListCtrl::IsSecondChecked(int nRow) const { return IsChecked(GetButton(nRow, 2)); }

void CCheckListCtrl::ToggleSecond(int nRow)
{
    CCellCheckButton* pSecond = GetButton(nRow, 2);
    if (pSecond == NULL || IsChecked(GetButton(nRow, 1))) return;
    SetChecked(pSecond, !IsChecked(pSecond));
}
