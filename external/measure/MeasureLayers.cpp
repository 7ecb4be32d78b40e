// Layers and the layer file (UTF-8 text, one record a line):
//   OrvLayers 1
//   layer <visible 0|1> <name>
//   current <index>
//   unit <item code> <layer> <point count> <x> <y> ... [| <annotation text>]
#include "MeasureImpl.h"
#include "afxprotect.h"
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

const char kMagic[] = "OrvLayers 1";

} // namespace

std::string ToUtf8(LPCWSTR text)
{
    if (!text || !*text)
        return std::string();
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    if (n > 1)
        ::WideCharToMultiByte(CP_UTF8, 0, text, -1, &s[0], n, nullptr, nullptr);
    return s;
}

CString FromUtf8(const std::string& text)
{
    if (text.empty())
        return CString();
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0);
    CString s;
    LPWSTR buf = s.GetBuffer(n);
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), buf, n);
    s.ReleaseBuffer(n);
    return s;
}

bool ReadWholeFile(LPCWSTR path, std::string& text)
{
    HANDLE h = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    bool ok = ::GetFileSizeEx(h, &size) && size.QuadPart < (64 << 20);
    if (ok)
    {
        text.assign((size_t)size.QuadPart, '\0');
        DWORD got = 0;
        ok = text.empty() || (::ReadFile(h, &text[0], (DWORD)text.size(), &got, nullptr) && got == text.size());
    }
    ::CloseHandle(h);
    return ok;
}

bool WriteWholeFile(LPCWSTR path, const std::string& text)
{
    HANDLE h = AfxCreateFileRespectingProtection(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD put = 0;
    const bool ok = ::WriteFile(h, text.data(), (DWORD)text.size(), &put, nullptr) && put == text.size();
    ::CloseHandle(h);
    return ok;
}

int CQrMeasure::GetLayersNum()
{
    return (int)m_pImpl->layers.size();
}

int CQrMeasure::NewLayer(LPCWSTR name)
{
    if (!name || !*name)
        return 0;
    MeasureGuard guard(*m_pImpl);
    m_pImpl->layers.push_back(LayerInfo{ name, true });
    // New units go to the layer just made, as the layers list shows it current.
    m_pImpl->currentLayer = (int)m_pImpl->layers.size() - 1;
    return 1;
}

int CQrMeasure::DeleteLayer(int index)
{
    Impl& m = *m_pImpl;
    MeasureGuard guard(m);
    if (index <= 0 || index >= (int)m.layers.size())
        return 0;   // the background stays
    m.layers.erase(m.layers.begin() + index);
    std::vector<MeasureUnit> kept;
    for (MeasureUnit& u : m.units)
    {
        if (u.layer == index)
            continue;
        if (u.layer > index)
            --u.layer;
        kept.push_back(u);
    }
    m.units.swap(kept);
    m.selected = -1;
    m.dragging = false;
    if (m.drafting && m.draft.layer == index)
    {
        m.drafting = false;
        m.draft.pts.clear();
    }
    if (m.currentLayer >= index)
        m.currentLayer = m.currentLayer == index ? index - 1 : m.currentLayer - 1;
    m.Redraw();
    return 1;
}

int CQrMeasure::RenameLayer(int index, LPCWSTR name)
{
    if (index < 0 || index >= (int)m_pImpl->layers.size() || !name || !*name)
        return 0;
    MeasureGuard guard(*m_pImpl);
    m_pImpl->layers[index].name = name;
    return 1;
}

void CQrMeasure::SetCurrentLayer(int index)
{
    if (index < 0 || index >= (int)m_pImpl->layers.size())
        return;
    {
        MeasureGuard guard(*m_pImpl);
        m_pImpl->currentLayer = index;
        m_pImpl->layers[index].visible = true;   // one draws only on a layer one sees
    }
    m_pImpl->Redraw();
}

void CQrMeasure::SetLayerVisible(int index, int visible)
{
    Impl& m = *m_pImpl;
    if (index < 0 || index >= (int)m.layers.size())
        return;
    if (!visible && (index == 0 || index == m.currentLayer))
        return;
    {
        MeasureGuard guard(m);
        m.layers[index].visible = visible != 0;
    }
    m.Redraw();
}

void CQrMeasure::GetLayersName(std::vector<CString>& names)
{
    names.clear();
    for (const LayerInfo& l : m_pImpl->layers)
        names.push_back(l.name);
}

int CQrMeasure::GetCurrentLayerIndex()
{
    return m_pImpl->layers.empty() ? 0 : m_pImpl->currentLayer;
}

int CQrMeasure::IsLayerVisible(int index)
{
    if (index < 0 || index >= (int)m_pImpl->layers.size())
        return 0;
    return m_pImpl->layers[index].visible ? 1 : 0;
}

namespace {

CString FromAnsi(const char* path)
{
    CString wide;
    if (!path || !*path)
        return wide;
    const int n = ::MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (n > 1)
    {
        ::MultiByteToWideChar(CP_ACP, 0, path, -1, wide.GetBuffer(n), n);
        wide.ReleaseBuffer(n - 1);
    }
    return wide;
}

} // namespace

int CQrMeasure::SaveLayersAndMsrs(const char* path)
{
    const CString wide = FromAnsi(path);
    return SaveLayersAndMsrs((LPCWSTR)wide);
}

int CQrMeasure::LoadLayersAndMsrs(const char* path)
{
    if (!path)
        return 0;
    const CString wide = FromAnsi(path);
    return LoadLayersAndMsrs((LPCWSTR)wide);
}

int CQrMeasure::SaveLayersAndMsrs(LPCWSTR path)
{
    if (!path || !*path)
        return 0;
    const Impl& m = *m_pImpl;
    MeasureGuard guard(m);
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(10);
    out << kMagic << "\r\n";
    for (const LayerInfo& l : m.layers)
        out << "layer " << (l.visible ? 1 : 0) << ' ' << ToUtf8(l.name) << "\r\n";
    out << "current " << m.currentLayer << "\r\n";
    for (const MeasureUnit& u : m.units)
    {
        out << "unit " << u.item << ' ' << u.layer << ' ' << u.pts.size();
        for (const DPoint& p : u.pts)
            out << ' ' << p.x << ' ' << p.y;
        if (!u.note.IsEmpty())
        {
            CString note = u.note;
            note.Replace(L'\r', L' ');
            note.Replace(L'\n', L' ');
            out << " | " << ToUtf8(note);
        }
        out << "\r\n";
    }
    return WriteWholeFile(path, out.str()) ? 1 : 0;
}

int CQrMeasure::LoadLayersAndMsrs(LPCWSTR path)
{
    std::string text;
    if (!path || !*path || !ReadWholeFile(path, text))
        return 0;
    if (text.size() >= 3 && (unsigned char)text[0] == 0xEF && (unsigned char)text[1] == 0xBB)
        text.erase(0, 3);

    // Everything is read into fresh lists first: a damaged file changes nothing.
    std::vector<LayerInfo> layers;
    std::vector<MeasureUnit> units;
    int current = 0;
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    std::string line;
    bool magic = false;
    while (std::getline(in, line))
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        if (!magic)
        {
            if (line != kMagic)
                return 0;
            magic = true;
            continue;
        }
        std::istringstream rec(line);
        rec.imbue(std::locale::classic());
        std::string kind;
        rec >> kind;
        if (kind == "layer")
        {
            int visible = 1;
            if (!(rec >> visible))
                return 0;
            std::string name;
            std::getline(rec, name);
            if (!name.empty() && name[0] == ' ')
                name.erase(0, 1);
            if (name.empty())
                return 0;
            layers.push_back(LayerInfo{ FromUtf8(name), visible != 0 });
        }
        else if (kind == "current")
        {
            if (!(rec >> current))
                return 0;
        }
        else if (kind == "unit")
        {
            MeasureUnit u;
            size_t count = 0;
            if (!(rec >> u.item >> u.layer >> count) || count > 100000)
                return 0;
            for (size_t i = 0; i < count; ++i)
            {
                DPoint p;
                if (!(rec >> p.x >> p.y))
                    return 0;
                u.pts.push_back(p);
            }
            std::string rest;
            std::getline(rec, rest);
            const size_t bar = rest.find('|');
            if (bar != std::string::npos)
                u.note = FromUtf8(rest.substr(bar + 2 <= rest.size() ? bar + 2 : bar + 1));
            if (!UnitIsValid(u) || u.layer < 0)
                return 0;
            units.push_back(u);
        }
        else
            return 0;
    }
    if (!magic)
        return 0;
    for (const MeasureUnit& u : units)
        if (!layers.empty() && u.layer >= (int)layers.size())
            return 0;
    if (current < 0 || (current >= (int)layers.size() && !(layers.empty() && current == 0)))
        return 0;

    Impl& m = *m_pImpl;
    {
        MeasureGuard guard(m);
        m.layers.swap(layers);
        m.units.swap(units);
        m.currentLayer = current;
        m.drafting = false;
        m.draft.pts.clear();
        m.selected = -1;
        m.dragging = false;
    }
    m.Redraw();
    return 1;
}
