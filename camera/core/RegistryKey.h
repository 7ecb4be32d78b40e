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
    // When the key or one of its values last changed; FALSE when not open.
    BOOL LastWriteTime(FILETIME* time);

    enum { TEXT_MAX = 199 };

private:
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    HKEY m_root;
    HKEY m_key;
};

// The values a save puts under one key, gathered first and written together. A save
// that would write exactly what this process wrote there last, into a key nobody has
// changed since (its last write time says so), writes nothing: saving the settings at
// every stop of the live picture then costs one look at the key, not a call per value.
class CRegistryBatch {
public:
    // What was last written under a key, kept by the caller from one save to the next.
    struct Memo {
        CString path;
        CStringArray names;
        CDWordArray kinds;              // REG_DWORD or REG_SZ
        CStringArray texts;
        CDWordArray numbers;
        FILETIME written = {0, 0};
        BOOL valid = FALSE;
    };

    void WriteNumber(LPCWSTR name, DWORD value);
    void WriteText(LPCWSTR name, const CString& text);
    // Opens (or creates) the key and writes the values unless the memo shows them there.
    BOOL Commit(LPCWSTR path, Memo* memo, HKEY root = HKEY_CURRENT_USER);

private:
    BOOL Same(const Memo& memo, const CString& path) const;
    Memo m_values;
};
