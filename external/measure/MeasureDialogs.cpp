#include "MeasureDialogs.h"
#include <cmath>
#include <cstdlib>

namespace {

enum : WORD { kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082, kListBox = 0x0083 };

// A DLGTEMPLATE with its items, laid out word by word.
class TemplateBuilder
{
public:
    TemplateBuilder(LPCWSTR title, short cx, short cy)
    {
        PutDword(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
        PutDword(0);
        m_countAt = m_words.size();
        m_words.push_back(0);
        PutShort(0);
        PutShort(0);
        PutShort(cx);
        PutShort(cy);
        m_words.push_back(0);   // no menu
        m_words.push_back(0);   // standard dialog class
        PutString(title);
        m_words.push_back(9);
        PutString(L"MS Shell Dlg");
    }
    TemplateBuilder& Item(WORD cls, WORD id, DWORD style, short x, short y, short cx, short cy,
                          LPCWSTR text = L"")
    {
        if (m_words.size() % 2)
            m_words.push_back(0);   // items start on a DWORD
        PutDword(style | WS_CHILD | WS_VISIBLE);
        PutDword(0);
        PutShort(x);
        PutShort(y);
        PutShort(cx);
        PutShort(cy);
        m_words.push_back(id);
        m_words.push_back(0xFFFF);
        m_words.push_back(cls);
        PutString(text);
        m_words.push_back(0);
        m_words[m_countAt]++;
        return *this;
    }
    LPCDLGTEMPLATE Get() const { return (LPCDLGTEMPLATE)m_words.data(); }

private:
    void PutShort(short v) { m_words.push_back((WORD)v); }
    void PutDword(DWORD v)
    {
        m_words.push_back(LOWORD(v));
        m_words.push_back(HIWORD(v));
    }
    void PutString(LPCWSTR s)
    {
        for (; *s; ++s)
            m_words.push_back(*s);
        m_words.push_back(0);
    }
    std::vector<WORD> m_words;
    size_t m_countAt = 0;
};

double ReadNumber(HWND dlg, int id, bool& ok)
{
    WCHAR buf[64] = {};
    ::GetDlgItemTextW(dlg, id, buf, 64);
    char narrow[64] = {};
    ::WideCharToMultiByte(CP_ACP, 0, buf, -1, narrow, sizeof(narrow), nullptr, nullptr);
    char* end = nullptr;
    const double v = strtod(narrow, &end);
    while (end && *end == ' ')
        ++end;
    ok = end && end != narrow && *end == '\0' && std::isfinite(v) && v > 0;
    return v;
}

class CCalibrationDialog : public CDialog
{
public:
    CCalibrationDialog(double pixels, CString unit) : m_pixels(pixels), m_unit(unit) {}
    double m_pixels;
    double m_length = 0;
    CString m_unit;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        CString text;
        if (m_pixels > 0)
        {
            text.Format(L"%.2f", m_pixels);
            ::SetDlgItemTextW(m_hWnd, IDC_CALIB_PIXELS, text);
        }
        ::SetDlgItemTextW(m_hWnd, IDC_CALIB_UNIT, m_unit);
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_CALIB_LENGTH));
        return FALSE;
    }
    void OnOK() override
    {
        bool pixelsOk = false, lengthOk = false;
        const double pixels = ReadNumber(m_hWnd, IDC_CALIB_PIXELS, pixelsOk);
        const double length = ReadNumber(m_hWnd, IDC_CALIB_LENGTH, lengthOk);
        WCHAR unit[32] = {};
        ::GetDlgItemTextW(m_hWnd, IDC_CALIB_UNIT, unit, 32);
        if (!pixelsOk || !lengthOk || !unit[0])
        {
            ::MessageBeep(MB_ICONWARNING);   // stays open until the numbers make sense
            return;
        }
        m_pixels = pixels;
        m_length = length;
        m_unit = unit;
        CDialog::OnOK();
    }
};

} // namespace

int RunCalibrationDialog(CQrMeasure::Impl& m)
{
    // The reference is the selected line, else the last line drawn.
    double pixels = 0;
    int ref = (m.selected >= 0 && m.units[m.selected].item == CQrMeasure::ItemLine) ? m.selected : -1;
    for (int i = (int)m.units.size() - 1; i >= 0 && ref < 0; --i)
        if (m.units[i].item == CQrMeasure::ItemLine)
            ref = i;
    if (ref >= 0)
    {
        const auto& p = m.units[ref].pts;
        pixels = std::hypot(p[1].x - p[0].x, p[1].y - p[0].y);
    }

    TemplateBuilder t(L"校正", 160, 86);
    t.Item(kStatic, 0xFFFF, SS_LEFT, 7, 9, 60, 10, L"像素長度：")
        .Item(kEdit, IDC_CALIB_PIXELS, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 70, 7, 80, 13)
        .Item(kStatic, 0xFFFF, SS_LEFT, 7, 27, 60, 10, L"實際長度：")
        .Item(kEdit, IDC_CALIB_LENGTH, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 70, 25, 80, 13)
        .Item(kStatic, 0xFFFF, SS_LEFT, 7, 45, 60, 10, L"單位：")
        .Item(kEdit, IDC_CALIB_UNIT, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 70, 43, 80, 13)
        .Item(kButton, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 40, 65, 50, 14, L"確定")
        .Item(kButton, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 100, 65, 50, 14, L"取消");
    CCalibrationDialog dlg(pixels, m.unitName);
    dlg.InitModalIndirect(t.Get(), m.measureWnd);
    if (dlg.DoModal() != IDOK)
        return 0;
    {
        MeasureGuard guard(m);
        m.perPixel = (float)(dlg.m_length / dlg.m_pixels);
        m.unitName = dlg.m_unit;
    }
    m.Redraw();
    return 1;
}

namespace {

LPCWSTR ItemName(int item)
{
    switch (item)
    {
    case CQrMeasure::ItemLine: return L"直線";
    case CQrMeasure::ItemRectangle: return L"矩形";
    case CQrMeasure::ItemCircle3: return L"三點圓";
    case CQrMeasure::ItemPolygon: return L"多邊形";
    case CQrMeasure::ItemAngle: return L"角度";
    case CQrMeasure::ItemPointCount: return L"點計數";
    case CQrMeasure::ItemAnnotation: return L"註釋";
    case CQrMeasure::ItemArc: return L"弧度";
    case CQrMeasure::ItemCircle2: return L"兩點圓";
    case CQrMeasure::ItemParallel: return L"平行線";
    case CQrMeasure::ItemDiameterCircle: return L"直徑圓";
    case CQrMeasure::ItemConcentric: return L"同心圓";
    case CQrMeasure::ItemPointToLine: return L"點至線";
    case CQrMeasure::ItemPolyline: return L"折線";
    default: return L"";
    }
}

class CMeasureListDialog : public CDialog
{
public:
    explicit CMeasureListDialog(const CQrMeasure::Impl& m) : m_m(m) {}

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        HWND list = ::GetDlgItem(m_hWnd, IDC_MEASURE_LIST);
        int n = 0;
        for (const MeasureUnit& u : m_m.units)
        {
            const MeasureValue v = MeasureUnitValue(u, m_m.perPixel, m_m.unitName, m_m.decimals);
            CString row;
            row.Format(L"%d\t%s\t%s", ++n, ItemName(u.item), (LPCWSTR)v.text);
            ::SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)(LPCWSTR)row);
        }
        return TRUE;
    }

private:
    const CQrMeasure::Impl& m_m;
};

} // namespace

int RunMeasureListDialog(CQrMeasure::Impl& m)
{
    TemplateBuilder t(L"測量列表", 200, 160);
    t.Item(kListBox, IDC_MEASURE_LIST, LBS_NOINTEGRALHEIGHT | LBS_USETABSTOPS | WS_VSCROLL | WS_BORDER,
           7, 7, 186, 124)
        .Item(kButton, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 143, 138, 50, 14, L"確定");
    CMeasureListDialog dlg(m);
    dlg.InitModalIndirect(t.Get(), m.measureWnd);
    dlg.DoModal();
    return 1;
}

namespace {

struct SavedCalibration
{
    CString name;
    float perPixel;
    CString unit;
};

std::vector<SavedCalibration> LoadTable()
{
    std::vector<SavedCalibration> table;
    HKEY key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, QRM_CALIBRATION_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return table;
    for (DWORD i = 0;; ++i)
    {
        WCHAR name[128], data[128];
        DWORD nameLen = 128, dataLen = sizeof(data), type = 0;
        if (::RegEnumValueW(key, i, name, &nameLen, nullptr, &type, (BYTE*)data, &dataLen) != ERROR_SUCCESS)
            break;
        if (type != REG_SZ || dataLen < sizeof(WCHAR))
            continue;
        data[dataLen / sizeof(WCHAR) < 127 ? dataLen / sizeof(WCHAR) : 127] = 0;
        const std::string text = ToUtf8(data);
        char* end = nullptr;
        const double v = strtod(text.c_str(), &end);
        if (!end || *end != ' ' || !(v > 0) || !std::isfinite(v))
            continue;   // a damaged entry is skipped, not applied
        table.push_back(SavedCalibration{ name, (float)v, FromUtf8(end + 1) });
    }
    ::RegCloseKey(key);
    return table;
}

bool StoreEntry(const SavedCalibration& e)
{
    HKEY key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, QRM_CALIBRATION_KEY, 0, nullptr, 0, KEY_WRITE, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        return false;
    CString data;
    data.Format(L"%.9g %s", e.perPixel, (LPCWSTR)e.unit);
    const bool ok = ::RegSetValueExW(key, e.name, 0, REG_SZ, (const BYTE*)(LPCWSTR)data,
                                     (data.GetLength() + 1) * sizeof(WCHAR)) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return ok;
}

void RemoveEntry(const CString& name)
{
    HKEY key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, QRM_CALIBRATION_KEY, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    ::RegDeleteValueW(key, name);
    ::RegCloseKey(key);
}

class CCalibrationTableDialog : public CDialog
{
public:
    explicit CCalibrationTableDialog(const CQrMeasure::Impl& m) : m_m(m) {}
    SavedCalibration m_chosen{};

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        Fill();
        return TRUE;
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        switch (LOWORD(wParam))
        {
        case IDC_TABLE_ADD:
        {
            WCHAR name[64] = {};
            ::GetDlgItemTextW(m_hWnd, IDC_TABLE_NAME, name, 64);
            CString trimmed(name);
            trimmed.Trim();
            if (trimmed.IsEmpty() || !StoreEntry(SavedCalibration{ trimmed, m_m.perPixel, m_m.unitName }))
                ::MessageBeep(MB_ICONWARNING);
            Fill();
            return TRUE;
        }
        case IDC_TABLE_DELETE:
        {
            const int sel = Selected();
            if (sel >= 0)
                RemoveEntry(m_table[sel].name);
            Fill();
            return TRUE;
        }
        }
        return CDialog::OnCommand(wParam, lParam);
    }
    void OnOK() override
    {
        const int sel = Selected();
        if (sel < 0)
        {
            ::MessageBeep(MB_ICONWARNING);
            return;
        }
        m_chosen = m_table[sel];
        CDialog::OnOK();
    }

private:
    int Selected() const
    {
        const int sel = (int)::SendDlgItemMessageW(m_hWnd, IDC_TABLE_LIST, LB_GETCURSEL, 0, 0);
        return sel >= 0 && sel < (int)m_table.size() ? sel : -1;
    }
    void Fill()
    {
        m_table = LoadTable();
        ::SendDlgItemMessageW(m_hWnd, IDC_TABLE_LIST, LB_RESETCONTENT, 0, 0);
        for (const SavedCalibration& e : m_table)
        {
            CString row;
            row.Format(L"%s\t%g %s", (LPCWSTR)e.name, e.perPixel, (LPCWSTR)e.unit);
            ::SendDlgItemMessageW(m_hWnd, IDC_TABLE_LIST, LB_ADDSTRING, 0, (LPARAM)(LPCWSTR)row);
        }
    }
    const CQrMeasure::Impl& m_m;
    std::vector<SavedCalibration> m_table;
};

class CAnnotationDialog : public CDialog
{
public:
    CString m_text;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_NOTE_TEXT));
        return FALSE;
    }
    void OnOK() override
    {
        WCHAR text[256] = {};
        ::GetDlgItemTextW(m_hWnd, IDC_NOTE_TEXT, text, 256);
        m_text = text;
        CDialog::OnOK();
    }
};

} // namespace

int RunCalibrationTableDialog(CQrMeasure::Impl& m)
{
    TemplateBuilder t(L"校正表", 200, 150);
    t.Item(kListBox, IDC_TABLE_LIST, LBS_NOINTEGRALHEIGHT | LBS_USETABSTOPS | WS_VSCROLL | WS_BORDER | WS_TABSTOP,
           7, 7, 186, 90)
        .Item(kStatic, 0xFFFF, SS_LEFT, 7, 105, 30, 10, L"名稱：")
        .Item(kEdit, IDC_TABLE_NAME, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 40, 103, 73, 13)
        .Item(kButton, IDC_TABLE_ADD, BS_PUSHBUTTON | WS_TABSTOP, 118, 103, 36, 14, L"加入")
        .Item(kButton, IDC_TABLE_DELETE, BS_PUSHBUTTON | WS_TABSTOP, 157, 103, 36, 14, L"刪除")
        .Item(kButton, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 87, 128, 50, 14, L"套用")
        .Item(kButton, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 143, 128, 50, 14, L"關閉");
    CCalibrationTableDialog dlg(m);
    dlg.InitModalIndirect(t.Get(), m.measureWnd);
    if (dlg.DoModal() != IDOK)
        return 0;
    {
        MeasureGuard guard(m);
        m.perPixel = dlg.m_chosen.perPixel;
        if (!dlg.m_chosen.unit.IsEmpty())
            m.unitName = dlg.m_chosen.unit;
    }
    m.Redraw();
    return 1;
}

bool AskAnnotationText(CWnd* pParent, CString& text)
{
    TemplateBuilder t(L"註釋", 160, 50);
    t.Item(kEdit, IDC_NOTE_TEXT, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 7, 146, 13)
        .Item(kButton, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 47, 29, 50, 14, L"確定")
        .Item(kButton, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 103, 29, 50, 14, L"取消");
    CAnnotationDialog dlg;
    dlg.InitModalIndirect(t.Get(), pParent);
    if (dlg.DoModal() != IDOK)
        return false;
    dlg.m_text.Trim();
    if (dlg.m_text.IsEmpty())
        return false;
    text = dlg.m_text;
    return true;
}
