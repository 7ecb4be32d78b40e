#include "TimeSpanEdit.h"

namespace {
const ULONGLONG kUnits[] = { 60000, 1000, 1 };
const int kWidths[] = { -10, -10, 0 };
} // namespace

CTimeSpanEdit::CTimeSpanEdit() : CDurationEdit(3, kUnits, kWidths, 2, IDC_MINUTES, IDC_FIRST_BUTTON) {}
CTimeSpanEdit::~CTimeSpanEdit() {}

BOOL CTimeSpanEdit::Create(CWnd* pParent, const RECT& rect, UINT nID, UINT nEditBmp, UINT nButtonBmp)
{
    return CreateFields(pParent, rect, nID, nEditBmp, nButtonBmp);
}

void CTimeSpanEdit::Enable(BOOL bEnable)
{
    for (int i = 0; i < m_nFields; i++) EnableField(i, bEnable);
}

void CTimeSpanEdit::SetValue(UINT nMilliseconds) { ShowValue(nMilliseconds); }

// Up steps never pass the maximum (M:S.L): a field that reaches its part of the
// maximum clears the lower fields that would carry the total beyond it.
void CTimeSpanEdit::StepUp(int i)
{
    UINT n = ReadFieldText(i) + 1;
    const UINT* M = m_nSplitMax;
    if (i == 0) {
        if (n == M[0]) {
            m_nField[0] = n;
            if (m_nField[1] > M[1]) {
                m_nField[1] = m_nField[2] = 0;
            } else if (m_nField[1] == M[1] && m_nField[2] > M[2]) {
                m_nField[2] = 0;
            }
        } else if (n < M[0]) {
            m_nField[0] = n;
        }
    } else if (i == 1) {
        if (m_nField[0] != M[0]) {
            if (n <= m_nFieldMax[1]) m_nField[1] = n;
        } else if (n == M[1]) {
            m_nField[1] = n;
            if (m_nField[2] > M[2]) m_nField[2] = 0;
        } else if (n < M[1]) {
            m_nField[1] = n;
        }
    } else {
        UINT nLimit = (m_nField[0] == M[0] && m_nField[1] == M[1]) ? M[2] : m_nFieldMax[2];
        if (n <= nLimit) m_nField[2] = n;
    }
}
