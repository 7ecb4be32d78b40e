// CRegistryKey: one open key under a fixed root, with the few value kinds the camera
// library stores (numbers as REG_DWORD, texts as REG_SZ).
#pragma once

#include "afx.h"

class CRegistryKey {
public:
    explicit CRegistryKey(HKEY root = HKEY_CURRENT_USER) : m_root(root), m_key(nullptr) {}
    virtual ~CRegistryKey() { Close(); }

    BOOL Open(LPCWSTR subKey);
    BOOL Create(LPCWSTR subKey);
    // Opens, and creates the key when it does not exist yet.
    BOOL OpenOrCreate(LPCWSTR subKey) { return Open(subKey) || Create(subKey); }
    void Close();
    BOOL IsOpen() const { return m_key != nullptr; }

    BOOL WriteNumber(LPCWSTR name, DWORD value);
    BOOL WriteText(LPCWSTR name, const CString& text);
    // A missing value reads as 0 and answers FALSE.
    BOOL ReadNumber(LPCWSTR name, DWORD* value);
    // At most TEXT_MAX characters; a missing or longer value leaves text unchanged.
    BOOL ReadText(LPCWSTR name, CString* text);

    enum { TEXT_MAX = 199 };

private:
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    HKEY m_root;
    HKEY m_key;
};
