// A duration in microseconds entered as minutes, seconds, milliseconds and microseconds.
#pragma once
#include "DurationEdit.h"

class CExposureTimeEdit : public CDurationEdit
{
public:
    enum { IDC_MINUTES = 3000, IDC_SECONDS = 3001, IDC_MILLISECONDS = 3002, IDC_MICROSECONDS = 3003,
           IDC_FIRST_BUTTON = 3004 };
    CExposureTimeEdit();
    virtual ~CExposureTimeEdit();

    BOOL Create(CWnd* pParent, const RECT& rect, UINT nID, UINT nEditBmp, UINT nButtonBmp);
    // Enables or disables every field, then keeps disabled what the owner's flags rule out.
    void Enable(BOOL bEnable);
    void SetValue(UINT nMicroseconds);   // limited to the maximum first

    int m_nMillisecondsOnly;   // only the millisecond field is ever enabled
    int m_nSubSecond;          // minutes and seconds stay disabled

protected:
    virtual void StepUp(int i) override;
    virtual UINT StepSize(int i) const override { return i == 3 ? 100 : 1; }
    virtual void ApplyComposed(ULONGLONG value) override;
};

// Splits a duration in microseconds into the four fields the panels show.
void SplitMicros(int* pMinutes, int* pSeconds, int* pMilliseconds, int* pMicroseconds, unsigned nMicros);
