// Files the user has marked read-only. The system cannot be counted on to refuse
// writing them: under Wine a read-only file is replaced by MoveFileEx with
// MOVEFILE_REPLACE_EXISTING, and opened for writing and truncated by a process
// running as root. Every writer of the program asks here first.
//
// Plain Win32 and header-only, so modules that do not link the framework (the image
// library, the stand-ins) use the same rule.
#pragma once

#include <windows.h>

// TRUE when path names an existing file marked read-only; the last error is then
// ERROR_ACCESS_DENIED, as a system that refuses would have set it.
inline BOOL AfxIsProtectedFile(LPCWSTR path)
{
    const DWORD attributes = path != NULL ? ::GetFileAttributesW(path) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !(attributes & FILE_ATTRIBUTE_READONLY))
        return FALSE;
    ::SetLastError(ERROR_ACCESS_DENIED);
    return TRUE;
}

// CreateFileW that never opens a read-only file for writing.
inline HANDLE AfxCreateFileRespectingProtection(LPCWSTR path, DWORD access, DWORD share,
                                                LPSECURITY_ATTRIBUTES security, DWORD disposition,
                                                DWORD attributes)
{
    if ((access & (GENERIC_WRITE | FILE_WRITE_DATA | FILE_APPEND_DATA)) && AfxIsProtectedFile(path))
        return INVALID_HANDLE_VALUE;
    return ::CreateFileW(path, access, share, security, disposition, attributes, NULL);
}
