// Builds dialog templates in memory for the tests.
#pragma once
#include <windows.h>
#include <vector>

class DlgTemplate
{
public:
    enum { BUTTON = 0x0080, EDIT = 0x0081, STATIC = 0x0082, LISTBOX = 0x0083, COMBOBOX = 0x0085 };

    DlgTemplate(DWORD style, short cx, short cy, LPCWSTR title = L"")
    {
        style |= DS_SETFONT;
        PutDword(style);
        PutDword(0);
        m_countAt = m_words.size();
        m_words.push_back(0);
        PutShort(0); PutShort(0); PutShort(cx); PutShort(cy);
        m_words.push_back(0);   // no menu
        m_words.push_back(0);   // default class
        PutString(title);
        m_words.push_back(9);
        PutString(L"MS Shell Dlg");
    }

    DlgTemplate& Item(WORD classAtom, WORD id, DWORD style, short x, short y, short cx, short cy, LPCWSTR text = L"")
    {
        if (m_words.size() % 2) m_words.push_back(0);   // items are DWORD-aligned
        PutDword(style | WS_CHILD | WS_VISIBLE);
        PutDword(0);
        PutShort(x); PutShort(y); PutShort(cx); PutShort(cy);
        m_words.push_back(id);
        m_words.push_back(0xFFFF);
        m_words.push_back(classAtom);
        PutString(text);
        m_words.push_back(0);   // no creation data
        m_words[m_countAt]++;
        return *this;
    }

    LPCDLGTEMPLATE Get() const { return (LPCDLGTEMPLATE)m_words.data(); }

private:
    void PutDword(DWORD d) { m_words.push_back(LOWORD(d)); m_words.push_back(HIWORD(d)); }
    void PutShort(short s) { m_words.push_back((WORD)s); }
    void PutString(LPCWSTR s) { while (*s) m_words.push_back(*s++); m_words.push_back(0); }

    std::vector<WORD> m_words;
    size_t m_countAt;
};
