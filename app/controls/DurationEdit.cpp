#include "DurationEdit.h"

CDurationEdit::CDurationEdit(int nFields, const ULONGLONG* units, const int* widths, int nMsField,
                             UINT nFirstEditID, UINT nFirstButtonID)
    : m_nFields(nFields), m_nMsField(nMsField), m_nFirstEditID(nFirstEditID), m_nFirstButtonID(nFirstButtonID),
      m_nValue(1), m_nMax(200), m_nMin(1)
{
    for (int i = 0; i < MAX_FIELDS; i++) {
        m_unit[i] = i < nFields ? units[i] : 1;
        m_width[i] = i < nFields ? widths[i] : 0;
        m_nField[i] = m_nFieldMax[i] = m_nFieldMin[i] = m_nSplitMax[i] = 0;
    }
    m_nField[nFields - 1] = 1;
    m_nFieldMax[nFields - 1] = 200;
    m_nFieldMin[nFields - 1] = 1;
}

CDurationEdit::~CDurationEdit()
{
    for (int i = 3 * m_nFields - 1; i >= 0; i--) m_button[i].DestroyWindow();
    for (int i = m_nFields - 1; i >= 0; i--) m_edit[i].DestroyWindow();
}

BEGIN_MESSAGE_MAP(CDurationEdit, CWnd)
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CDurationEdit::CreateFields(CWnd* pParent, const RECT& rect, UINT nID, UINT nEditBmp, UINT nButtonBmp)
{
    // The bitmaps only give the layout its sizes.
    CBitmap edit, button;
    BITMAP be = {}, bb = {};
    if (LOWORD(nEditBmp) == 0 || LOWORD(nButtonBmp) == 0 || !edit.LoadBitmap(LOWORD(nEditBmp)) ||
        !button.LoadBitmap(LOWORD(nButtonBmp)) || !edit.GetBitmap(&be) || !button.GetBitmap(&bb))
        return FALSE;
    if (!CWnd::Create(NULL, NULL, WS_CHILD | WS_VISIBLE, rect, pParent, nID)) return FALSE;
    HFONT hFont = (HFONT)pParent->SendMessage(WM_GETFONT);
    SendMessage(WM_SETFONT, (WPARAM)hFont, TRUE);

    const int E = be.bmWidth, He = be.bmHeight, B = bb.bmWidth, Hb = bb.bmHeight, h = Hb / 2;
    CRect rcEdit(5, 5, 5 + E + m_width[0], He + 2);
    for (int i = 0; i < m_nFields; i++) {
        m_edit[i].Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_NUMBER | ES_CENTER, rcEdit, this, m_nFirstEditID + i);
        m_edit[i].SetAltInset(TRUE);
        m_edit[i].SendMessage(WM_SETFONT, (WPARAM)hFont, TRUE);
        CRect up(rcEdit.right, rcEdit.top - 2, rcEdit.right + B, rcEdit.top - 2 + h);
        CRect down(up.left, up.bottom + 1, up.right, up.bottom + 1 + h);
        CRect spare(up.left, down.bottom - Hb, up.right, down.bottom);
        UINT nButton = m_nFirstButtonID + 3 * i;
        UpButton(i).Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, up, this, nButton);
        DownButton(i).Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, down, this, nButton + 1);
        SpareButton(i).Create(L"", WS_CHILD | BS_PUSHBUTTON, spare, this, nButton + 2);
        if (i + 1 < m_nFields) {
            int left = up.right + 6;
            rcEdit = CRect(left, spare.top + 2, left + E + m_width[i + 1], down.bottom - 1);
        }
    }
    SetRange(1, 100);
    ShowValue(1);
    return TRUE;
}

int CDurationEdit::OnCreate(LPCREATESTRUCT)
{
    if (Default() == -1) return -1;
    m_background.Load(this);
    return 0;
}

BOOL CDurationEdit::OnEraseBkgnd(CDC*) { return TRUE; }

void CDurationEdit::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    m_background.Paint(&dc, rect);
}

void CDurationEdit::SetEditBitmaps(UINT nNormal, UINT nDisabled)
{
    for (int i = 0; i < m_nFields; i++)
        if (m_edit[i].m_hWnd != NULL) m_edit[i].SetBitmaps(nNormal, nDisabled);
}

void CDurationEdit::SetButtonSkins(int nWhich, UINT nNormal, UINT nPressed, UINT nHover, UINT nDisabled)
{
    for (int i = 0; i < m_nFields; i++) {
        CRepeatButton& b = m_button[3 * i + nWhich];
        if (b.m_hWnd != NULL) b.SetSkin(nNormal, nPressed, nHover, nDisabled, 0, 0, 0, 0, 4);
    }
}

void CDurationEdit::SetUpButtonBitmaps(UINT n, UINT p, UINT h, UINT d) { SetButtonSkins(0, n, p, h, d); }
void CDurationEdit::SetDownButtonBitmaps(UINT n, UINT p, UINT h, UINT d) { SetButtonSkins(1, n, p, h, d); }
void CDurationEdit::SetSpareButtonBitmaps(UINT n, UINT p, UINT h, UINT d) { SetButtonSkins(2, n, p, h, d); }

// Field limits: the top field holds what the maximum allows; a lower field holds its
// whole unit (59 or 999) once a higher field can be non-zero, else the maximum's share.
// A lower field's minimum is 0 unless every higher field must stay 0; only then does
// the range's minimum reach into it.
void CDurationEdit::SetRange(UINT nMin, UINT nMax)
{
    m_nMin = nMin;
    m_nMax = nMax;
    BOOL bHigherMaxZero = TRUE;
    for (int i = 0; i < m_nFields; i++) {
        ULONGLONG modulus = i == 0 ? 0 : m_unit[i - 1] / m_unit[i];
        ULONGLONG maxShare = nMax / m_unit[i], minShare = nMin / m_unit[i];
        if (i > 0) {
            maxShare %= modulus;
            minShare %= modulus;
        }
        m_nSplitMax[i] = (UINT)maxShare;
        if (i == 0) m_nFieldMax[i] = (UINT)maxShare;
        else m_nFieldMax[i] = m_nFieldMax[i - 1] != 0 ? (UINT)(modulus - 1) : (UINT)maxShare;
        if (i == m_nMsField && m_nFieldMax[i] == 0) m_nFieldMax[i] = 1;
        m_nFieldMin[i] = bHigherMaxZero ? (UINT)minShare : 0;
        if (i == m_nFields - 1 && bHigherMaxZero && m_nFieldMin[i] == 0) m_nFieldMin[i] = 1;
        bHigherMaxZero = bHigherMaxZero && m_nFieldMax[i] == 0;
        m_edit[i].SetRange((int)m_nFieldMin[i], (int)m_nFieldMax[i]);
    }
}

ULONGLONG CDurationEdit::Compose(const UINT* fields) const
{
    ULONGLONG total = 0;
    for (int i = 0; i < m_nFields; i++) total += (ULONGLONG)fields[i] * m_unit[i];
    return total;
}

UINT CDurationEdit::GetValue()
{
    m_nValue = (UINT)Compose(m_nField);
    return m_nValue;
}

void CDurationEdit::SetField(int i, UINT n)
{
    m_nField[i] = n;
    if (m_edit[i].m_hWnd != NULL) {
        CString text;
        text.Format(L"%u", n);
        m_edit[i].SetWindowText(text);
    }
}

void CDurationEdit::ShowValue(ULONGLONG value)
{
    m_nValue = (UINT)value;
    for (int i = 0; i < m_nFields; i++) {
        ULONGLONG share = value / m_unit[i];
        if (i > 0) share %= m_unit[i - 1] / m_unit[i];
        SetField(i, share < m_nFieldMax[i] ? (UINT)share : m_nFieldMax[i]);
    }
}

UINT CDurationEdit::ReadFieldText(int i)
{
    CString text;
    m_edit[i].GetWindowText(text);
    ULONGLONG n = 0;
    for (int k = 0; k < text.GetLength() && text[k] >= L'0' && text[k] <= L'9'; k++) {
        n = n * 10 + (text[k] - L'0');
        if (n > 0xFFFFFFFFULL) return 0xFFFFFFFFu;
    }
    return (UINT)n;
}

void CDurationEdit::KeepAboveZero()
{
    for (int i = 0; i < m_nFields; i++)
        if (m_nField[i] != 0) return;
    SetField(m_nFields - 1, 1);
}

void CDurationEdit::Notify()
{
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent != NULL) ::SendMessageW(hParent, WM_TIMESPAN_CHANGED, (WPARAM)GetDlgCtrlID(), 0);
}

void CDurationEdit::EnableField(int i, BOOL bEnable)
{
    if (m_edit[i].m_hWnd != NULL) m_edit[i].EnableWindow(bEnable);
    for (int k = 0; k < 3; k++)
        if (m_button[3 * i + k].m_hWnd != NULL) m_button[3 * i + k].EnableWindow(bEnable);
}

void CDurationEdit::StepDown(int i)
{
    long long n = (long long)ReadFieldText(i) - StepSize(i);
    if (n < 0) return;
    m_nField[i] = (UINT)n;
    KeepAboveZero();
}

// A typed field is taken when the whole stays within the range; a total beyond either
// end becomes that end.
void CDurationEdit::Commit(int i)
{
    UINT fields[MAX_FIELDS];
    memcpy(fields, m_nField, sizeof(fields));
    fields[i] = ReadFieldText(i);
    ULONGLONG total = Compose(fields);
    if (total > m_nMax) {
        ShowValue(m_nMax);
    } else if (total < m_nMin) {
        ShowValue(m_nMin);
    } else {
        SetField(i, fields[i]);
        KeepAboveZero();
        m_nValue = (UINT)Compose(m_nField);
    }
    SpareButton(i).ShowWindow(SW_HIDE);
    UpButton(i).ShowWindow(SW_SHOW);
    DownButton(i).ShowWindow(SW_SHOW);
    Invalidate();
    Notify();
    Invalidate();
    UpdateWindow();
}

int CDurationEdit::FieldOfEdit(UINT nID) const
{
    return (nID >= m_nFirstEditID && nID < m_nFirstEditID + (UINT)m_nFields) ? (int)(nID - m_nFirstEditID) : -1;
}

LRESULT CDurationEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Three of the fields' notifications reuse system message numbers: the sender's id
    // in wParam tells them apart.
    if (message == WM_EDIT_CHANGED) {
        int i = FieldOfEdit((UINT)wParam);
        if (i >= 0) {
            if (::GetFocus() == m_edit[i].m_hWnd) {
                UpButton(i).ShowWindow(SW_HIDE);
                DownButton(i).ShowWindow(SW_HIDE);
                SpareButton(i).ShowWindow(SW_SHOW);
                Notify();
            }
            return 0;
        }
    } else if (message == WM_KILLFOCUS) {
        int i = FieldOfEdit((UINT)wParam);
        if (i >= 0) {
            Commit(i);
            return 0;
        }
        Invalidate();
        UpdateWindow();
    } else if (message == WM_REPEAT_TICK && wParam >= m_nFirstButtonID &&
               wParam < m_nFirstButtonID + 3 * (UINT)m_nFields) {
        int i = (int)(wParam - m_nFirstButtonID) / 3;
        int kind = (int)(wParam - m_nFirstButtonID) % 3;
        if (kind != 2) {
            if (kind == 0) StepUp(i);
            else StepDown(i);
            ApplyComposed(Compose(m_nField));
            Notify();
        }
        return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
