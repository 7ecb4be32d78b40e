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
