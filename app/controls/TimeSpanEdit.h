// A duration in milliseconds entered as minutes, seconds and milliseconds.
#pragma once
#include "DurationEdit.h"

class CTimeSpanEdit : public CDurationEdit
{
public:
    enum { IDC_MINUTES = 2000, IDC_SECONDS = 2001, IDC_MILLISECONDS = 2002, IDC_FIRST_BUTTON = 2003 };
    CTimeSpanEdit();
    virtual ~CTimeSpanEdit();

    // FALSE when the window cannot be made or a bitmap cannot be loaded; the bitmaps
    // (edit background and spin button) only give the layout its sizes.
    BOOL Create(CWnd* pParent, const RECT& rect, UINT nID, UINT nEditBmp, UINT nButtonBmp);
    void Enable(BOOL bEnable);
    void SetValue(UINT nMilliseconds);

protected:
    virtual void StepUp(int i) override;
};
