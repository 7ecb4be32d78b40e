// A report list with a real check box in the cells of its second and third columns;
// the layers dialog shows its current and visible layers with it.
#pragma once
#include "CellCheckButton.h"

class CCheckListCtrl : public CListCtrl
{
public:
    enum { IDC_CELL_CHECK = 4000 };
    CCheckListCtrl();
    virtual ~CCheckListCtrl();

    // A check box over cell (nRow, nColumn) for column 1 or 2, appended to that column's
    // buttons.  Mode 1 checks it; mode 2 on column 2 sets bCheck.  FALSE for any other
    // column or when the cell has no rectangle.
    BOOL AddCheckButton(int nRow, int nColumn, HWND hNotify, int nMode, int bCheck);
    void RemoveAllButtons();
    // Moves the check states of the rows below up by one and drops the last row's
    // buttons with the item; rows that do not exist are ignored.
    void RemoveRow(int nRow);
    void SetCurrentRow(int nRow);
    BOOL IsSecondChecked(int nRow) const;
    void ToggleSecond(int nRow);

    CCellCheckButton* GetButton(int nRow, int nColumn) const;
    int GetButtonRowCount(int nColumn) const;

protected:
    static BOOL IsChecked(const CCellCheckButton* p);
    static void SetChecked(CCellCheckButton* p, BOOL bCheck);

    CObArray m_buttons[3];   // [1] column 1, [2] column 2, one per row; [0] unused
};
