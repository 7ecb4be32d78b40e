// A fresh folder under the Wine temp folder for one test, removed with its files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with a trailing backslash, and a path inside it.
    const WCHAR* Path() const { return reinterpret_cast<const WCHAR*>(m_path.c_str()); }
    std::u16string Path(const char* name) const;
    void Touch(const char* name) const;  // creates an empty file

private:
    std::u16string m_path;
};

// The path as a WCHAR string for the Win32 calls.
inline const WCHAR* W(const std::u16string& s)
{
    return reinterpret_cast<const WCHAR*>(s.c_str());
}

std::u16string Widen(const char* ascii);
std::string UnixPath(const std::u16string& windowsPath);
std::vector<BYTE> ReadWholeFile(const std::u16string& path);
bool FileExists(const std::u16string& path);
