// The library's front: UTF-8 paths to Win32 files, and the job handed to the native
// stitcher as encoded buffers.
#include <windows.h>
#include "afxprotect.h"

#include "eaImage.h"
#include "Stitcher.h"

#include <string>
#include <vector>

namespace {

// A UTF-8 path as a Win32 path that passes the 260-character limit: full, with the
// long-path prefix when it is long. Empty when the text is not UTF-8.
std::vector<WCHAR> WidePath(const char* utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    if (n <= 1)
        return {};
    std::vector<WCHAR> wide(n);
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, wide.data(), n);
    DWORD full = GetFullPathNameW(wide.data(), 0, nullptr, nullptr);
    if (!full)
        return wide;
    std::vector<WCHAR> path(full + 4);
    static const WCHAR kPrefix[] = {'\\', '\\', '?', '\\'};
    DWORD got = GetFullPathNameW(wide.data(), full, path.data() + 4, nullptr);
    if (!got || got >= full)
        return wide;
    const bool unc = path[4] == '\\' && path[5] == '\\';
    if (got < MAX_PATH - 12 || unc)
        return std::vector<WCHAR>(path.begin() + 4, path.end());
    std::copy(kPrefix, kPrefix + 4, path.begin());
    return path;
}

bool ReadWholeFile(const char* utf8, std::vector<unsigned char>* bytes)
{
    std::vector<WCHAR> path = WidePath(utf8);
    if (path.empty())
        return false;
    HANDLE f = CreateFileW(path.data(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(f, &size) && size.QuadPart > 0 && size.QuadPart < 0x7FFFFFFF;
    if (ok) {
        bytes->resize(size_t(size.QuadPart));
        DWORD got = 0;
        ok = ReadFile(f, bytes->data(), DWORD(bytes->size()), &got, nullptr) && got == bytes->size();
    }
    CloseHandle(f);
    return ok;
}

// Writes the whole file or, failing, leaves none behind.
bool WriteWholeFile(const char* utf8, const std::vector<unsigned char>& bytes)
{
    std::vector<WCHAR> path = WidePath(utf8);
    if (path.empty())
        return false;
    HANDLE f = AfxCreateFileRespectingProtection(path.data(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                 FILE_ATTRIBUTE_NORMAL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD put = 0;
    bool ok = WriteFile(f, bytes.data(), DWORD(bytes.size()), &put, nullptr) && put == bytes.size();
    ok = CloseHandle(f) && ok;
    if (!ok)
        DeleteFileW(path.data());
    return ok;
}

std::string Extension(const char* path)
{
    std::string p(path);
    size_t slash = p.find_last_of("\\/");
    size_t dot = p.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string();
    return p.substr(dot);
}

int Stitch(int reserved, int count, const char* const* paths, const char* output)
{
    if (reserved != 0 || count < 2 || !paths || !output || !*output)
        return EA_ERR_ARGUMENT;
    for (int i = 0; i < count; ++i)
        if (!paths[i] || !*paths[i])
            return EA_ERR_ARGUMENT;
    const std::string extension = Extension(output);
    if (!eastitch::CanWrite(extension))
        return EA_ERR_ARGUMENT;
    std::vector<std::vector<unsigned char>> files(count);
    for (int i = 0; i < count; ++i)
        if (!ReadWholeFile(paths[i], &files[i]))
            return EA_ERR_READ;
    std::vector<unsigned char> encoded;
    int result = eastitch::StitchFiles(files, extension, &encoded, nullptr);
    if (result != eastitch::kOk)
        return result;
    files.clear();
    return WriteWholeFile(output, encoded) ? EA_OK : EA_ERR_WRITE;
}

}  // namespace

extern "C" __attribute__((ms_abi)) int eaStitch(int reserved, int count, const char* const* paths,
                                                const char* output)
{
    try {
        return Stitch(reserved, count, paths, output);
    } catch (...) {
        return EA_ERR_RESOURCES;
    }
}
