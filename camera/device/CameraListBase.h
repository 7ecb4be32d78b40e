// CCameraListBase: what the camera manager needs of a camera list. The three lists
// (first and second ZedOdir list, ZuzIrazo list) share this layout: a current index
// and the entries; each list class overrides the calls into its outside library.
// The base answers as a list whose library offers nothing.
#pragma once

#include "camera/device/CameraDevice.h"

class CCameraListBase {
public:
    CCameraListBase();
    virtual ~CCameraListBase();

    // --- outside library ---------------------------------------------------------
    virtual int Open();                  // opens the library; its result
    virtual void Close();                // ExitDevice / HdExitDevice
    virtual void Refresh();              // re-enumerates; the current index stays
    virtual BOOL GetGuid(GUID* guid);    // device-interface GUID of the library
    // The name of the device that came or went (library DeviceChange); 1 when a
    // name came back, else 0.
    virtual int DeviceChange(CString& name, const char* devicePath, int arrived);

    // --- entries -----------------------------------------------------------------
    int GetCount() const;
    int GetCurrentIndex() const { return m_currentIndex; }
    // Clamped to 0 .. count - 1 (0 on an empty list).
    void SetCurrentIndex(int index);
    CameraListEntry* GetEntry(int index);
    CameraListEntry* GetCurrentEntry();
    void AddEntry(const CameraListEntry& entry);
    void RemoveAllEntries();
    // Removes every entry of that device name; the current index becomes 0 when the
    // current entry was one of them.
    void RemoveByName(const CString& name);
    // Adds every display name in order and selects the current index.
    void FillComboBox(HWND comboBox) const;

protected:
    int m_currentIndex;
    std::vector<CameraListEntry> m_entries;
};
