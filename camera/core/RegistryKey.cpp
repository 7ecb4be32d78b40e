#include "camera/core/RegistryKey.h"

BOOL CRegistryKey::Open(LPCWSTR subKey)
{
    Close();
    return RegOpenKeyExW(m_root, subKey, 0, KEY_ALL_ACCESS, &m_key) == ERROR_SUCCESS
               ? TRUE : (m_key = nullptr, FALSE);
}

BOOL CRegistryKey::Create(LPCWSTR subKey)
{
    Close();
    DWORD disposition = 0;
    return RegCreateKeyExW(m_root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, &m_key, &disposition) == ERROR_SUCCESS
               ? TRUE : (m_key = nullptr, FALSE);
}

void CRegistryKey::Close()
{
    if (m_key) {
        RegCloseKey(m_key);
        m_key = nullptr;
    }
}

BOOL CRegistryKey::WriteNumber(LPCWSTR name, DWORD value)
{
    return m_key && RegSetValueExW(m_key, name, 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&value), sizeof value) == ERROR_SUCCESS;
}

BOOL CRegistryKey::WriteText(LPCWSTR name, const CString& text)
{
    const DWORD bytes = static_cast<DWORD>((text.GetLength() + 1) * sizeof(WCHAR));
    return m_key && RegSetValueExW(m_key, name, 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(static_cast<LPCWSTR>(text)),
                                   bytes) == ERROR_SUCCESS;
}

BOOL CRegistryKey::ReadNumber(LPCWSTR name, DWORD* value)
{
    DWORD type = 0, data = 0, size = sizeof data;
    const BOOL ok = m_key && RegQueryValueExW(m_key, name, nullptr, &type,
                                              reinterpret_cast<BYTE*>(&data), &size) == ERROR_SUCCESS &&
                    type == REG_DWORD && size == sizeof data;
    *value = ok ? data : 0;
    return ok;
}

BOOL CRegistryKey::ReadText(LPCWSTR name, CString* text)
{
    WCHAR buffer[TEXT_MAX + 1] = {0};
    DWORD type = 0, size = sizeof buffer;
    if (!m_key || RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                                   &size) != ERROR_SUCCESS || type != REG_SZ)
        return FALSE;
    buffer[TEXT_MAX] = 0;
    *text = buffer;
    return TRUE;
}

BOOL CRegistryKey::LastWriteTime(FILETIME* time)
{
    return m_key && time &&
           RegQueryInfoKeyW(m_key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, time) == ERROR_SUCCESS;
}

void CRegistryBatch::WriteNumber(LPCWSTR name, DWORD value)
{
    m_values.names.Add(name);
    m_values.kinds.Add(REG_DWORD);
    m_values.texts.Add(CString());
    m_values.numbers.Add(value);
}

void CRegistryBatch::WriteText(LPCWSTR name, const CString& text)
{
    m_values.names.Add(name);
    m_values.kinds.Add(REG_SZ);
    m_values.texts.Add(text);
    m_values.numbers.Add(0);
}

BOOL CRegistryBatch::Same(const Memo& memo, const CString& path) const
{
    if (!memo.valid || memo.path != path || memo.names.GetSize() != m_values.names.GetSize())
        return FALSE;
    for (INT_PTR i = 0; i < m_values.names.GetSize(); ++i) {
        if (memo.names[i] != m_values.names[i] || memo.kinds[i] != m_values.kinds[i] ||
            memo.numbers[i] != m_values.numbers[i] || memo.texts[i] != m_values.texts[i])
            return FALSE;
    }
    return TRUE;
}

BOOL CRegistryBatch::Commit(LPCWSTR path, Memo* memo, HKEY root)
{
    CRegistryKey key(root);
    if (!key.OpenOrCreate(path))
        return FALSE;
    FILETIME now = {0, 0};
    if (memo && Same(*memo, path) && key.LastWriteTime(&now) &&
        CompareFileTime(&now, &memo->written) == 0)
        return TRUE;
    BOOL ok = TRUE;
    for (INT_PTR i = 0; i < m_values.names.GetSize(); ++i) {
        ok &= m_values.kinds[i] == REG_DWORD ? key.WriteNumber(m_values.names[i], m_values.numbers[i])
                                             : key.WriteText(m_values.names[i], m_values.texts[i]);
    }
    if (!memo)
        return ok;
    memo->valid = ok && key.LastWriteTime(&memo->written);
    memo->path = path;
    memo->names.Copy(m_values.names);
    memo->kinds.Copy(m_values.kinds);
    memo->texts.Copy(m_values.texts);
    memo->numbers.Copy(m_values.numbers);
    return ok;
}
