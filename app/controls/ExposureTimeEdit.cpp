#include "ExposureTimeEdit.h"

namespace {
const ULONGLONG kUnits[] = { 60000000, 1000000, 1000, 1 };
const int kWidths[] = { -12, -12, -11, -11 };
} // namespace

CExposureTimeEdit::CExposureTimeEdit()
    : CDurationEdit(4, kUnits, kWidths, 2, IDC_MINUTES, IDC_FIRST_BUTTON), m_nMillisecondsOnly(0), m_nSubSecond(0)
{
}

CExposureTimeEdit::~CExposureTimeEdit() {}

BOOL CExposureTimeEdit::Create(CWnd* pParent, const RECT& rect, UINT nID, UINT nEditBmp, UINT nButtonBmp)
{
    return CreateFields(pParent, rect, nID, nEditBmp, nButtonBmp);
}

void CExposureTimeEdit::Enable(BOOL bEnable)
{
    for (int i = 0; i < m_nFields; i++) EnableField(i, bEnable);
    if (m_nMillisecondsOnly) {
        EnableField(0, FALSE);
        EnableField(1, FALSE);
        EnableField(3, FALSE);
    } else if (m_nSubSecond) {
        EnableField(0, FALSE);
        EnableField(1, FALSE);
    }
}

void CExposureTimeEdit::SetValue(UINT nMicroseconds) { ApplyComposed(nMicroseconds); }

void CExposureTimeEdit::ApplyComposed(ULONGLONG value) { ShowValue(value < m_nMax ? value : m_nMax); }

// As the time-span steps, one field finer; the microseconds step by 100 and a step that
// would carry the total past the maximum is taken back.
void CExposureTimeEdit::StepUp(int i)
{
    const UINT* M = m_nSplitMax;
    UINT* f = m_nField;
    if (i == 3) {
        UINT nOld = f[3];
        UINT n = ReadFieldText(3) + 100;
        if (n <= m_nFieldMax[3]) {
            f[3] = n;
            if (Compose(f) > m_nMax) f[3] = nOld;
        }
        return;
    }
    UINT n = ReadFieldText(i) + 1;
    BOOL bHigherAtMax = TRUE;
    for (int k = 0; k < i; k++) bHigherAtMax = bHigherAtMax && f[k] == M[k];
    if (!bHigherAtMax) {
        if (n <= m_nFieldMax[i]) f[i] = n;
        return;
    }
    if (n > M[i]) return;
    f[i] = n;
    if (n < M[i]) return;
    // Reached this field's part of the maximum: clear what would go beyond it.
    if (i == 0) {
        if (f[1] > M[1]) {
            f[1] = f[2] = f[3] = 0;
        } else if (f[1] == M[1] && f[2] > M[2]) {
            f[2] = f[3] = 0;
        } else if (f[1] == M[1] && f[2] == M[2]) {
            f[3] = 0;
        }
    } else if (i == 1) {
        if (f[2] > M[2]) f[2] = f[3] = 0;
        else if (f[2] == M[2] && f[3] > M[3]) f[3] = 0;
    } else {
        if (f[3] > M[3]) f[3] = 0;
    }
}

void SplitMicros(int* pMinutes, int* pSeconds, int* pMilliseconds, int* pMicroseconds, unsigned nMicros)
{
    if (pMinutes != NULL) *pMinutes = (int)(nMicros / 60000000u);
    if (pSeconds != NULL) *pSeconds = (int)(nMicros / 1000000u % 60u);
    if (pMilliseconds != NULL) *pMilliseconds = (int)(nMicros / 1000u % 1000u);
    if (pMicroseconds != NULL) *pMicroseconds = (int)(nMicros % 1000u);
}
