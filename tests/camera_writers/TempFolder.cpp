#include "TempFolder.h"

std::u16string Widen(const char* ascii)
{
    std::u16string s;
    for (; *ascii; ++ascii)
        s.push_back(static_cast<char16_t>(static_cast<unsigned char>(*ascii)));
    return s;
}

TempFolder::TempFolder()
{
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static LONG counter;
    WCHAR name[MAX_PATH + 64];
    wsprintfW(name, L"%sorvwr-%lu-%ld\\", temp, GetCurrentProcessId(),
              InterlockedIncrement(&counter));
    CreateDirectoryW(name, nullptr);
    m_path = reinterpret_cast<const char16_t*>(name);
}

TempFolder::~TempFolder()
{
    std::u16string pattern = m_path + u"*";
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(W(pattern), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW(W(m_path + reinterpret_cast<const char16_t*>(found.cFileName)));
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(W(m_path));
}

std::u16string TempFolder::Path(const char* name) const
{
    return m_path + Widen(name);
}

void TempFolder::Touch(const char* name) const
{
    HANDLE file = CreateFileW(W(Path(name)), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

std::string UnixPath(const std::u16string& windowsPath)
{
    char* unixPath = wine_get_unix_file_name(W(windowsPath));
    std::string result = unixPath ? unixPath : "";
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

std::vector<BYTE> ReadWholeFile(const std::u16string& path)
{
    std::vector<BYTE> data;
    HANDLE file = CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return data;
    LARGE_INTEGER size;
    GetFileSizeEx(file, &size);
    data.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!data.empty())
        ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &got, nullptr);
    data.resize(got);
    CloseHandle(file);
    return data;
}

bool FileExists(const std::u16string& path)
{
    return GetFileAttributesW(W(path)) != INVALID_FILE_ATTRIBUTES;
}
