#include "camera/device/CameraListBase.h"

CCameraListBase::CCameraListBase() : m_currentIndex(0) {}
CCameraListBase::~CCameraListBase() = default;

int CCameraListBase::Open() { return 0; }
void CCameraListBase::Close() {}
void CCameraListBase::Refresh() {}
BOOL CCameraListBase::GetGuid(GUID*) { return FALSE; }

int CCameraListBase::DeviceChange(CString& name, const char*, int)
{
    name.Empty();
    return 0;
}

int CCameraListBase::GetCount() const
{
    return static_cast<int>(m_entries.size());
}

void CCameraListBase::SetCurrentIndex(int index)
{
    const int count = GetCount();
    if (index >= count)
        index = count - 1;
    if (index < 0)
        index = 0;
    m_currentIndex = index;
}

CameraListEntry* CCameraListBase::GetEntry(int index)
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    return &m_entries[index];
}

CameraListEntry* CCameraListBase::GetCurrentEntry()
{
    return GetEntry(m_currentIndex);
}

void CCameraListBase::AddEntry(const CameraListEntry& entry)
{
    m_entries.push_back(entry);
}

void CCameraListBase::RemoveAllEntries()
{
    m_entries.clear();
}

void CCameraListBase::RemoveByName(const CString& name)
{
    if (m_entries.empty())
        return;
    const CameraListEntry* current = GetCurrentEntry();
    if (current && current->deviceName == name)
        m_currentIndex = 0;
    for (size_t i = 0; i < m_entries.size();) {
        if (m_entries[i].deviceName == name)
            m_entries.erase(m_entries.begin() + i);
        else
            ++i;
    }
    // Entries before the current one may have gone: keep the index inside the list.
    SetCurrentIndex(m_currentIndex);
}

void CCameraListBase::FillComboBox(HWND comboBox) const
{
    if (!comboBox)
        return;
    for (const CameraListEntry& entry : m_entries)
        SendMessageW(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(entry.displayName)));
    SendMessageW(comboBox, CB_SETCURSEL, m_currentIndex, 0);
}
