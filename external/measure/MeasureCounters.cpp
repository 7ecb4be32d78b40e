// The five-class cell counter and its export (tab-separated UTF-16 text, which
// spreadsheet programs open as a sheet).
#include "MeasureImpl.h"
#include "afxprotect.h"

void CQrMeasure::Impl::NotifyCounters(WPARAM state) const
{
    if (countersWnd && ::IsWindow(countersWnd->GetSafeHwnd()))
        ::SendMessageW(countersWnd->GetSafeHwnd(), CQrMeasure::WM_COUNTERS_CHANGED, state, 0);
}

void CQrMeasure::SetCompteursWnd(CWnd* pWnd)
{
    m_pImpl->countersWnd = pWnd;
}

int CQrMeasure::SetCompteursColor(unsigned char counterClass)
{
    if (counterClass >= kCounterClasses)
        return 0;
    m_pImpl->counterClass = counterClass;
    return 1;
}

void CQrMeasure::SetCompteursName(const std::vector<CString>& names)
{
    for (size_t k = 0; k < names.size() && k < (size_t)kCounterClasses; ++k)
        m_pImpl->counterNames[k] = names[k];
}

void CQrMeasure::GetCompteursInfo(std::vector<CString>& names, std::vector<int>& counts,
                                  std::vector<float>& shares, unsigned char& currentClass)
{
    const Impl& m = *m_pImpl;
    MeasureGuard guard(m);
    names.assign(m.counterNames, m.counterNames + kCounterClasses);
    counts.assign(kCounterClasses, 0);
    for (const CounterMark& mark : m.marks)
        ++counts[mark.counterClass];
    const int total = (int)m.marks.size();
    shares.assign(kCounterClasses, 0.0f);
    for (int k = 0; k < kCounterClasses && total > 0; ++k)
        shares[k] = (float)counts[k] / (float)total;
    currentClass = (unsigned char)m.counterClass;
}

int CQrMeasure::ExportCompteursToExcel(LPCWSTR path)
{
    if (!path || !*path)
        return 0;
    std::vector<CString> names;
    std::vector<int> counts;
    std::vector<float> shares;
    unsigned char current = 0;
    GetCompteursInfo(names, counts, shares, current);

    CString text = L"類別\t數量\t比例\r\n";
    int total = 0;
    for (int k = 0; k < kCounterClasses; ++k)
    {
        // Tabs or line breaks in a name would shift the columns.
        CString name = names[k];
        name.Replace(L'\t', L' ');
        name.Replace(L'\r', L' ');
        name.Replace(L'\n', L' ');
        CString row;
        row.Format(L"%s\t%d\t%.1f%%\r\n", (LPCWSTR)name, counts[k], shares[k] * 100.0);
        text += row;
        total += counts[k];
    }
    CString last;
    last.Format(L"合計\t%d\t%.1f%%\r\n", total, total ? 100.0 : 0.0);
    text += last;

    HANDLE h = AfxCreateFileRespectingProtection(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    const WCHAR bom = 0xFEFF;
    DWORD put = 0;
    bool ok = ::WriteFile(h, &bom, sizeof(bom), &put, nullptr) && put == sizeof(bom);
    const DWORD bytes = (DWORD)(text.GetLength() * sizeof(WCHAR));
    ok = ok && ::WriteFile(h, (LPCWSTR)text, bytes, &put, nullptr) && put == bytes;
    ::CloseHandle(h);
    return ok ? 1 : 0;
}

void CQrMeasure::ClearAllCompteurs()
{
    {
        MeasureGuard guard(*m_pImpl);
        m_pImpl->marks.clear();
        m_pImpl->counterClass = 0;
    }
    m_pImpl->Redraw();
}
