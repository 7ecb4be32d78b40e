// The common part of the time-span and exposure-time edits: a duration entered field by
// field (minutes first), each field a numeric edit with an up and a down repeat button
// and a spare button shown in their place while the user types.
#pragma once
#include "NumericEdit.h"
#include "RepeatButton.h"
#include "SkinBackground.h"

// Sent (not posted) to the parent after every step, commit and keystroke; wParam the id.
#define WM_TIMESPAN_CHANGED 0x0900

class CDurationEdit : public CWnd
{
public:
    enum { MAX_FIELDS = 4 };
    virtual ~CDurationEdit();

    void SetEditBitmaps(UINT nNormal, UINT nDisabled);
    void SetUpButtonBitmaps(UINT nNormal, UINT nPressed, UINT nHover, UINT nDisabled);
    void SetDownButtonBitmaps(UINT nNormal, UINT nPressed, UINT nHover, UINT nDisabled);
    void SetSpareButtonBitmaps(UINT nNormal, UINT nPressed, UINT nHover, UINT nDisabled);
    // The range in the control's unit; each field gets the limits that follow from it.
    void SetRange(UINT nMin, UINT nMax);
    UINT GetValue();   // composed from the stored fields, not from the texts

    int FieldCount() const { return m_nFields; }
    UINT GetField(int i) const { return m_nField[i]; }
    UINT GetFieldMin(int i) const { return m_nFieldMin[i]; }
    UINT GetFieldMax(int i) const { return m_nFieldMax[i]; }
    CNumericEdit& FieldEdit(int i) { return m_edit[i]; }
    CRepeatButton& UpButton(int i) { return m_button[3 * i]; }
    CRepeatButton& DownButton(int i) { return m_button[3 * i + 1]; }
    CRepeatButton& SpareButton(int i) { return m_button[3 * i + 2]; }

protected:
    // units: each field's size in the control's unit, minutes first; widths: each
    // edit's width relative to the edit bitmap's; nMsField: the millisecond field,
    // whose maximum is never 0.
    CDurationEdit(int nFields, const ULONGLONG* units, const int* widths, int nMsField, UINT nFirstEditID,
                  UINT nFirstButtonID);

    BOOL CreateFields(CWnd* pParent, const RECT& rect, UINT nID, UINT nEditBmp, UINT nButtonBmp);
    // Shows value split into the fields, each limited to its maximum.
    void ShowValue(ULONGLONG value);
    ULONGLONG Compose(const UINT* fields) const;
    UINT ReadFieldText(int i);
    void SetField(int i, UINT n);
    void KeepAboveZero();   // all fields 0: the lowest becomes 1
    void Notify();
    void EnableField(int i, BOOL bEnable);

    // What one tick of field i's up or down button does.
    virtual void StepUp(int i) = 0;
    virtual void StepDown(int i);
    virtual UINT StepSize(int) const { return 1; }
    // How the fields composed after a step are shown again.
    virtual void ApplyComposed(ULONGLONG value) { ShowValue(value); }
    void Commit(int i);

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

    int FieldOfEdit(UINT nID) const;
    void SetButtonSkins(int nWhich, UINT nNormal, UINT nPressed, UINT nHover, UINT nDisabled);

    const int m_nFields;
    const int m_nMsField;
    ULONGLONG m_unit[MAX_FIELDS];
    int m_width[MAX_FIELDS];
    const UINT m_nFirstEditID, m_nFirstButtonID;

    CNumericEdit m_edit[MAX_FIELDS];
    CRepeatButton m_button[3 * MAX_FIELDS];   // per field: up, down, spare
    UINT m_nValue;
    UINT m_nMax, m_nMin;
    UINT m_nField[MAX_FIELDS];
    UINT m_nFieldMax[MAX_FIELDS], m_nFieldMin[MAX_FIELDS];
    UINT m_nSplitMax[MAX_FIELDS];   // the maximum split into fields
    CSkinBackground m_background;
};
